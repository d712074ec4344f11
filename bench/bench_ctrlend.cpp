// Ctrl+End on the audit-trail page over a million rows, in the program's
// main window: the time until the grid shows the last row and the memory it
// takes, next to a minimal program stepping the same statement through every
// row with the engine's own API.
//   bench_ctrlend [ROWS [ROUNDS]]   (default 1,000,000 rows, 5 rounds; the
//   data file is made once and kept in the temporary folder)
// Both sides run in every round, one after the other; the medians are shown.
#include "Application.h"
#include "BenchSupport.h"
#include "DB.h"
#include "KitDBCtrl.h"
#include "Locale.h"
#include "KVSysMain.h"
#include "DataMod.h"
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <cstdio>
#include <sqlite3.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    SetFormatSettings(TFormatSettings::DayFirstEnglish());
    const int rows = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 1000000;
    const int rounds = qMax(1, argc > 2 ? QString::fromLatin1(argv[2]).toInt() : 5);
    const QString file = AuditBenchFile(rows);
    if (file.isEmpty())
        return 1;
    // An operator who may see the audit trail (rights 7, 9 and 15).
    {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(file).constData(), &db);
        sqlite3_exec(db,
                     "INSERT OR IGNORE INTO tUser (ID, UserLogin, FirstName, Surname, Password, Active) "
                     "VALUES (1, 'bench', 'Bench', 'Operator', 'bench', 1);"
                     "DELETE FROM tUserFunction WHERE UserID = 1;"
                     "INSERT INTO tUserFunction (UserID, FunctionID) VALUES (1, 7), (1, 9), (1, 15);",
                     nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    QTemporaryDir settings;
    UseBenchSettings(settings.path(), file);

    // The program's main window, page 1008 opened from the tree's node.
    double rss0, peak0;
    BenchMemory(rss0, peak0);
    DM = new TDM(&app);
    DM->DMCreate();
    TMainForm form(QStringList{QStringLiteral("1")});
    form.show();
    QCoreApplication::processEvents();
    QWidget* sheet = form.SheetOf(1008);
    form.OpenTab(sheet);
    TKitDBGrid* grid = form.PageOf(1008)->Grid;
    TQuery* query = form.CurrentQuery(1008);

    const QByteArray sql = DM->dbKVdata->PrepareSql(query->SQL().Lines().join(QChar('\n'))).toUtf8();
    std::vector<double> ours, theirs;
    double rssOpen = 0, peakOpen = 0, rssEnd = 0, peakEnd = 0, rssClosed = 0, peakClosed = 0;
    qint64 stepped = 0;
    int shown = 0;
    for (int round = 0; round < rounds; ++round) {
        if (round > 0)
            form.OpenTab(sheet);
        QCoreApplication::processEvents();
        grid->setFocus();
        BenchMemory(rssOpen, peakOpen);
        QElapsedTimer t;
        t.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
        QCoreApplication::sendEvent(grid, &press);
        QCoreApplication::processEvents();
        grid->viewport()->repaint();
        ours.push_back(t.nsecsElapsed() / 1e9);
        shown = grid->currentIndex().row() + 1;
        BenchMemory(rssEnd, peakEnd);
        t.restart();
        form.ActionTabClose();
        QCoreApplication::processEvents();
        const double closing = t.nsecsElapsed() / 1e9;
        BenchMemory(rssClosed, peakClosed);
        theirs.push_back(std::abs(EngineStepSeconds(file, sql, stepped)));
        std::printf("round %d: Ctrl+End %.3f s, closing the page %.3f s; engine %.3f s\n", round + 1, ours.back(),
                    closing, theirs.back());
    }
    const double a = BenchMedian(ours), b = BenchMedian(theirs);
    std::printf("rows: %d (grid on row %d; engine stepped %lld)\n", rows, shown, stepped);
    std::printf("Ctrl+End, page 1008:            %.3f s (median of %d)\n", a, rounds);
    std::printf("engine stepping every row:      %.3f s\n", b);
    std::printf("ratio:                          %.2f\n", a / b);
    std::printf("memory: %.1f MB at start, %.1f MB with the page open, %.1f MB after Ctrl+End, "
                "%.1f MB after closing the page; peak %.1f MB\n",
                rss0, rssOpen, rssEnd, rssClosed, peakClosed);
    form.close();
    return 0;
}
