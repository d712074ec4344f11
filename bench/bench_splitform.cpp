// Opening the service split editor over many customers and services: the
// time until the window has painted and the memory it takes, in add and in
// edit mode, next to the engine reading the same two lists (the active
// customers and the services of the mode) with its own API.
//   bench_splitform [CUSTOMERS...] [--rounds N]   (default 100,000 and
//   1,000,000 customers, 5 rounds; each data file is made once and kept in
//   the temporary folder)
// Each opening runs in a process of its own (so its peak memory is its own),
// the way the main window opens the editor: the mode, the service (editing),
// the mode again, shown; then the first ShipTo list is dropped down once.
// Then a customer's ShipTo is typed key by key, in small letters, into the
// third ShipTo row (blank in both modes), the row is left (its editing
// finished) and its customer read.
// The engine runs in every round too; medians shown, peak memory the
// highest of the rounds, read after each step: once the editor has opened
// and painted ("opened"), once the list has been dropped down and closed
// ("dropped") and once the ShipTo has been typed and its customer read
// ("typed", the whole run); "before": the process before the editor opened.
#include "Application.h"
#include "BenchSupport.h"
#include "DB.h"
#include "DataMod.h"
#include "LookupCombo.h"
#include "OperatorIdentity.h"
#include "SplitBenchData.h"
#include "SysEditServiceSplit.h"
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <cstdio>
#include <sqlite3.h>

namespace {

QString dataFile(int customers)
{
    const QString file = QDir::temp().filePath(QStringLiteral("kvsys-bench-split-%1.db").arg(customers));
    if (QFile::exists(file))
        return file;
    std::printf("making %d customers and services in %s ...\n", customers, qPrintable(file));
    std::fflush(stdout);
    QString error;
    if (!MakeSplitBenchDatabase(file, QStringLiteral(KV_SOURCE_DIR "/db/schema.sql"), customers, &error)) {
        std::printf("failed: %s\n", qPrintable(error));
        return QString();
    }
    return file;
}

// The anchor: both lists stepped through, every column read as text.
double engineReads(const QString& file, const QList<QByteArray>& statements, qint64& rows)
{
    QElapsedTimer t;
    t.start();
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    rows = 0;
    qint64 bytes = 0;
    for (const QByteArray& sql : statements) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr);
        const int columns = sqlite3_column_count(stmt);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) {
                sqlite3_column_text(stmt, c);
                bytes += sqlite3_column_bytes(stmt, c);
            }
            ++rows;
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return bytes >= 0 ? t.nsecsElapsed() / 1e9 : 0;
}

// A key pressed and released in the input, as the operator types it.
void press(QWidget* input, int key, const QString& text = QString())
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(input, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(input, &up);
}

// The child: the editor opened once, as the main window opens it, on a
// program that has already shown a window (fonts and style loaded).
int openOnce(int argc, char** argv)
{
    TApplication app(argc, argv);
    const QString file = QString::fromLocal8Bit(argv[2]);
    const bool adding = QByteArray(argv[3]) == "add";
    TDatabase db;
    ConnectBenchDatabase(db, file);
    Operator().OPERATORNAME = QStringLiteral("bench");
    {
        QDialog warm;
        warm.resize(300, 100);
        auto* combo = new QComboBox(&warm);
        combo->setEditable(true);
        combo->addItem(QStringLiteral("A"));
        new QLineEdit(&warm);
        warm.show();
        QCoreApplication::processEvents();
    }
    double rss0, peak0;
    BenchMemory(rss0, peak0);
    QElapsedTimer t;
    t.start();
    TSplitForm form;
    form.SetAppendMode(adding);
    if (!adding)
        form.SetServiceID(SplitBenchService());
    form.SetAppendMode(adding);
    form.show();
    QCoreApplication::processEvents();
    form.repaint();
    const double seconds = t.nsecsElapsed() / 1e9;
    double rss, peak;
    BenchMemory(rss, peak);
    // Then the first ShipTo list dropped down and closed again.
    t.restart();
    form.cbShipTo[0]->showPopup();
    QCoreApplication::processEvents();
    const double dropped = t.nsecsElapsed() / 1e9;
    form.cbShipTo[0]->hidePopup();
    double rssDropped, peakDropped;
    BenchMemory(rssDropped, peakDropped);
    // Then the last customer's ShipTo typed into the third row in small
    // letters, the row left, and its customer.
    TLookupCombo* row = form.cbShipTo[2];
    const QString typed = row->itemText(row->count() - 1).toLower();
    t.restart();
    row->lineEdit()->setFocus();
    for (const QChar c : typed)
        press(row->lineEdit(), c.toUpper().unicode(), QString(c));
    QMetaObject::invokeMethod(row->lineEdit(), "editingFinished");
    const int customer = row->ID();
    const double typing = t.nsecsElapsed() / 1e9;
    double rssTyped, peakTyped;
    BenchMemory(rssTyped, peakTyped);
    std::printf("opened %.4f peak %.1f before %.1f dropped %.4f peakdropped %.1f typed %.4f peaktyped %.1f "
                "customers %d services %d shown %s customer %d\n",
                seconds, peak, rss0, dropped, peakDropped, typing, peakTyped, int(form.cbShipTo[0]->count()),
                int(form.cbServiceID->count()), qPrintable(form.cbShipTo[0]->currentText()), customer);
    return 0;
}

struct TOpening {
    double Seconds = -1, Peak = 0, Before = 0, Dropped = 0, PeakDropped = 0, Typed = 0, PeakTyped = 0;
    QString Counts;
};

TOpening openInChild(const QString& file, bool adding)
{
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(),
            {QStringLiteral("--open"), file, adding ? QStringLiteral("add") : QStringLiteral("edit")});
    p.waitForFinished(-1);
    const QStringList words = QString::fromLocal8Bit(p.readAllStandardOutput()).simplified().split(QChar(' '));
    TOpening o;
    if (words.size() < 20 || words[0] != QLatin1String("opened")) {
        std::printf("the child failed: %s\n", p.readAllStandardError().constData());
        return o;
    }
    o.Seconds = words[1].toDouble();
    o.Peak = words[3].toDouble();
    o.Before = words[5].toDouble();
    o.Dropped = words[7].toDouble();
    o.PeakDropped = words[9].toDouble();
    o.Typed = words[11].toDouble();
    o.PeakTyped = words[13].toDouble();
    o.Counts = words.mid(14).join(QChar(' '));
    return o;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 3 && QByteArray(argv[1]) == "--open")
        return openOnce(argc, argv);

    QCoreApplication app(argc, argv);
    QList<int> sizes;
    int rounds = 5;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--rounds" && i + 1 < argc)
            rounds = qMax(1, QString::fromLatin1(argv[++i]).toInt());
        else
            sizes << QString::fromLatin1(argv[i]).toInt();
    }
    if (sizes.isEmpty())
        sizes = {100000, 1000000};

    std::printf("%-28s %9s %9s %6s %10s %15s %12s %16s %9s %14s\n", "opening, medians", "kvsys s", "engine s",
                "ratio", "before MB", "opened peak MB", "drop-down s", "dropped peak MB", "typed s", "typed peak MB");
    for (int customers : sizes) {
        const QString file = dataFile(customers);
        if (file.isEmpty())
            return 1;
        // The statements the engine runs, in its own dialect.
        TDatabase db;
        ConnectBenchDatabase(db, file);
        for (bool adding : {true, false}) {
            const QList<QByteArray> statements = {
                db.PrepareSql(SplitBenchCustomerList().join(QChar('\n'))).toUtf8(),
                db.PrepareSql(SplitBenchServiceList(adding).join(QChar('\n'))).toUtf8()};
            std::vector<double> ours, theirs, peaks, befores, drops, droppedPeaks, typings, typedPeaks;
            QString counts;
            qint64 rows = 0;
            for (int round = 0; round < rounds; ++round) {
                const TOpening o = openInChild(file, adding);
                if (o.Seconds < 0)
                    return 1;
                ours.push_back(o.Seconds);
                peaks.push_back(o.Peak);
                befores.push_back(o.Before);
                drops.push_back(o.Dropped);
                droppedPeaks.push_back(o.PeakDropped);
                typings.push_back(o.Typed);
                typedPeaks.push_back(o.PeakTyped);
                counts = o.Counts;
                theirs.push_back(engineReads(file, statements, rows));
            }
            const double a = BenchMedian(ours), b = BenchMedian(theirs);
            const QString name = QStringLiteral("%1 customers, %2").arg(customers).arg(adding ? "add" : "edit");
            const auto highest = [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); };
            std::printf("%-28s %9.3f %9.3f %6.2f %10.1f %15.1f %12.3f %16.1f %9.3f %14.1f\n", qPrintable(name), a, b,
                        a / b, BenchMedian(befores), highest(peaks), BenchMedian(drops), highest(droppedPeaks),
                        BenchMedian(typings), highest(typedPeaks));
            std::printf("    (lists: %s; engine rows %lld)\n", qPrintable(counts), rows);
            std::fflush(stdout);
        }
    }
    return 0;
}
