// Times the CSV export of a million-row page against the sqlite3 shell
// writing the same query as CSV, in the same run.
//   bench_export [ROWS [RUNS]]   (default 1,000,000 rows, 3 runs; the data is
//   made once and kept in the temporary folder). The two sides run in turn and
//   the best time of each is compared, so a busy machine disturbs both alike.
#include "Application.h"
#include "BenchSupport.h"
#include "DB.h"
#include "DataMod.h"
#include "Dialogs.h"
#include "ExportBenchData.h"
#include "GenFns.h"
#include "Locale.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>

namespace {
TFieldDef field(const QString& name, TFieldType type, int size = 0, bool currency = false)
{
    TFieldDef d;
    d.Name = name;
    d.DataType = type;
    d.Size = size;
    d.Currency = currency;
    return d;
}

qint64 lines(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    qint64 n = 0;
    while (!f.atEnd()) {
        const QByteArray chunk = f.read(1 << 20);
        n += chunk.count('\n');
    }
    return n;
}
}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    SetFormatSettings(TFormatSettings::DayFirstEnglish());
    const int rows = app.arguments().size() > 1 ? app.arguments()[1].toInt() : 1000000;
    const int runs = qMax(1, app.arguments().size() > 2 ? app.arguments()[2].toInt() : 3);

    const QString dbFile = QDir::temp().filePath(QStringLiteral("kvsys-bench-export-%1.db").arg(rows));
    if (!QFile::exists(dbFile)) {
        std::printf("making %d rows in %s ...\n", rows, qPrintable(dbFile));
        QString error;
        if (!MakeExportBenchDatabase(dbFile, rows, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
    }
    QTemporaryDir out;
    const QString ourFile = out.filePath(QStringLiteral("export.csv"));
    const QString shellFile = out.filePath(QStringLiteral("sqlite3.csv"));

    TDatabase db;
    db.DatabaseName = QLatin1String(kDatabaseName);
    db.AliasName = dbFile;
    db.LoginPrompt = false;
    db.Open();

    TQuery page(nullptr, QLatin1String(kDatabaseName));
    for (const QString& line : ExportBenchQuery())
        page.SQL().Add(line);
    page.SetFieldDefs({field(QStringLiteral("ID"), ftInteger), field(QStringLiteral("ServiceID"), ftString, 12),
                       field(QStringLiteral("Description"), ftString, 40),
                       field(QStringLiteral("CustomerCode"), ftString, 10),
                       field(QStringLiteral("StartDate"), ftDateTime), field(QStringLiteral("EndDate"), ftDateTime),
                       field(QStringLiteral("MonthlyRental"), ftFloat, 0, true),
                       field(QStringLiteral("Active"), ftBoolean)});
    page.Open();

    SetSaveDialogHook([&](const TSaveDialogRequest&) { return ourFile; });
    SetMessageHandler([](const TMessageBox& b) {
        std::fprintf(stderr, "message: %s\n", qPrintable(b.Text));
        return int(mrOk);
    });

    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    const QString sql = db.PrepareSql(ExportBenchQuery().join(QChar('\n')));
    double rssBefore, peakBefore, rssAfter, peakAfter;
    BenchMemory(rssBefore, peakBefore);
    double ours = 1e9, theirs = shell.isEmpty() ? -1 : 1e9;
    QElapsedTimer t;
    for (int run = 0; run < runs; ++run) {
        t.start();
        ExportDataSetToCsv(&page, QStringLiteral("tBenchService"));
        ours = qMin(ours, t.nsecsElapsed() / 1e9);
        if (shell.isEmpty())
            continue;
        QProcess p;
        p.setStandardOutputFile(shellFile);
        t.restart();
        p.start(shell, {QStringLiteral("-csv"), QStringLiteral("-header"), dbFile, sql});
        p.waitForFinished(-1);
        theirs = qMin(theirs, t.nsecsElapsed() / 1e9);
    }
    BenchMemory(rssAfter, peakAfter);

    std::printf("rows:                 %d (best of %d runs)\n", rows, runs);
    std::printf("ExportDataSetToCsv:   %.3f s  (%lld lines, %lld bytes)\n", ours, lines(ourFile),
                QFileInfo(ourFile).size());
    std::printf("memory:               resident %.1f MB before, %.1f MB after; peak %.1f MB before, %.1f MB after\n",
                rssBefore, rssAfter, peakBefore, peakAfter);
    if (theirs >= 0) {
        std::printf("sqlite3 -csv:         %.3f s  (%lld lines, %lld bytes)\n", theirs, lines(shellFile),
                    QFileInfo(shellFile).size());
        std::printf("ratio:                %.2f\n", ours / theirs);
    } else {
        std::printf("sqlite3 -csv:         not installed\n");
    }
    return 0;
}
