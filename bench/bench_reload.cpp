// Back to the edited row after a save, in the program's main window: the
// operator stands on a row far down a long page, double-clicks it, presses
// OK in the editor, and the page is read again up to that row. The time from
// OK to the grid showing the row again, next to a minimal program stepping
// the page's statement with the engine's own API until it reaches the same
// row (every column of every row read as the engine holds it). Before that,
// in each round, the row is opened ten times and the editor left with Cancel:
// the time from the double-click to the editor shown with the row's values.
//   bench_reload [ROWS [ROUNDS]]   (default: 100,000 and then 1,000,000 rows,
//   5 rounds; the data files are made once and kept in the temporary folder)
// Pages: the service ids (1051, nine joins) and the customers (1016). Both
// sides run in every round, one after the other; the medians are shown.
#include "Application.h"
#include "BenchSupport.h"
#include "DB.h"
#include "DataMod.h"
#include "Dialogs.h"
#include "KVSysMain.h"
#include "KitDBCtrl.h"
#include "Locale.h"
#include "RecordEditor.h"
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

namespace {
void runPage(TMainForm& form, const QString& file, int pageId, const char* name, int rounds)
{
    form.OpenTab(form.SheetOf(pageId));
    TQuery* query = form.CurrentQuery(pageId);
    TKitDBGrid* grid = form.PageOf(pageId)->Grid;
    const int target = query->RecordCount() * 9 / 10;  // the row edited: 90 % down the page
    const QByteArray sql = DM->dbKVdata->PrepareSql(query->SQL().Lines().join(QChar('\n'))).toUtf8();

    QElapsedTimer t, opening;
    std::vector<double> opened;
    bool cancel = false;
    TRecordEditor::SetShowModalHook([&](TRecordEditor& editor) {
        if (cancel) {
            opened.push_back(opening.nsecsElapsed() / 1e9);  // the editor, filled, is shown
            return int(mrCancel);
        }
        QPushButton* ok = editor.findChild<QPushButton*>(QStringLiteral("btnOk"));
        t.start();  // the operator presses OK: the save, then the page again
        if (ok)
            ok->click();
        return editor.result();
    });
    std::vector<double> ours, theirs;
    qint64 stepped = 0;
    int shownRow = -1, currentRow = -1;
    qint64 id = 0, foundId = 0;
    for (int round = 0; round < rounds; ++round) {
        query->SetRecNo(target + 1);
        QCoreApplication::processEvents();
        id = query->FieldByName(QStringLiteral("id"))->AsInteger();
        grid->setFocus();
        cancel = true;
        for (int open = 0; open < 10; ++open) {
            opening.start();
            form.KitDBGridSysDblClick();
        }
        cancel = false;
        form.KitDBGridSysDblClick();
        QCoreApplication::processEvents();
        grid->viewport()->repaint();
        ours.push_back(t.nsecsElapsed() / 1e9);
        shownRow = grid->currentIndex().row();
        currentRow = query->CurrentRow();
        foundId = query->FieldByName(QStringLiteral("id"))->AsInteger();
        theirs.push_back(std::abs(EngineStepSeconds(file, sql, stepped, id)));
        std::printf("  round %d: double-click to the editor %.2f ms; OK to the row shown %.3f s; engine %.3f s\n",
                    round + 1, BenchMedian(std::vector<double>(opened.end() - 10, opened.end())) * 1e3, ours.back(),
                    theirs.back());
        std::fflush(stdout);
    }
    TRecordEditor::SetShowModalHook(nullptr);
    const double a = BenchMedian(ours), b = BenchMedian(theirs);
    std::printf("page %d, %s: row %d of %d (id %lld); after OK the grid is on row %d, the page on row %d (id %lld);"
                " the engine stepped %lld rows\n",
                pageId, name, target, query->RecordCount(), id, shownRow, currentRow, foundId, stepped);
    std::printf("  double-click to the editor:  %.2f ms (median of %d)\n", BenchMedian(opened) * 1e3, int(opened.size()));
    std::printf("  OK to the row shown again:   %.3f s (median of %d)\n", a, rounds);
    std::printf("  engine re-reading to it:     %.3f s\n", b);
    std::printf("  ratio:                       %.2f%s\n", a / b,
                shownRow == target && currentRow == target && foundId == id ? "" : "   (NOT THE SAME ROW)");
    std::fflush(stdout);
    form.ActionTabClose();
}

void runSize(int rows, int rounds)
{
    const QString file = ServicePagesBenchFile(rows);
    if (file.isEmpty())
        return;
    QTemporaryDir settings;
    UseBenchSettings(settings.path(), file);
    DM = new TDM(qApp);
    DM->DMCreate();
    {
        TMainForm form(QStringList{QStringLiteral("1")});  // the demo's administrator
        form.show();
        QCoreApplication::processEvents();
        std::printf("%d rows more on each page, medians of %d rounds\n", rows, rounds);
        runPage(form, file, 1051, "service ids", rounds);
        runPage(form, file, 1016, "customers", rounds);
        form.close();
    }
    delete DM;
    DM = nullptr;
}
}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    SetFormatSettings(TFormatSettings::DayFirstEnglish());
    // The editor's boxes, if any, answered and shown here.
    SetMessageHandler([](const TMessageBox& b) {
        std::fprintf(stderr, "message: %s\n", qPrintable(b.Text));
        return int(mrOk);
    });
    const int rounds = qMax(1, argc > 2 ? QString::fromLatin1(argv[2]).toInt() : 5);
    if (argc > 1) {
        runSize(QString::fromLatin1(argv[1]).toInt(), rounds);
    } else {
        runSize(100000, rounds);
        runSize(1000000, rounds);
    }
    return 0;
}
