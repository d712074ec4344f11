#include "GenFns.h"
#include "GenericPrint.h"
#include "About.h"
#include "DBCtrls.h"
#include "KitSplit.h"
#include "Platform.h"
#include "SpeedBar.h"
#include "EditorSupport.h"
#include "MainFixture.h"
#include <QAction>
#include <QLineEdit>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTreeWidget>

// Printing and exporting the page in front from the main window.
class TestMainActions : public QObject {
    Q_OBJECT
    kvtest::MainFixture fx;
    QTemporaryDir dir;

    QStringList printedTexts;
    static QByteArray read(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init()
    {
        fx.Start({"1"});
        fx.form->show();
        printedTexts.clear();
        SetReportTextHook([this](const TReportText& t) { printedTexts << t.Text; });
        Printer()->setOutputFormat(QPrinter::PdfFormat);
        Printer()->setOutputFileName(dir.filePath("report.pdf"));
    }
    void cleanup()
    {
        SetReportTextHook(nullptr);
        SetSaveDialogHook(nullptr);
        SetPrintDialogHook(nullptr);
        fx.Stop();
    }

    // Printed to a file, the report is proposed under the page's table name.
    void printsThePageWithItsTitle()
    {
        QVERIFY(fx.Open(1016));
        QStringList proposed;
        SetSaveDialogHook([&](const TSaveDialogRequest& r) {
            proposed << r.FileName;
            return dir.filePath("report.pdf");
        });
        fx.form->cbField->setCurrentIndex(fx.form->cbField->findText("ShipTo"));
        fx.form->edtValue->setText("A");  // shown, not applied: the title still says so
        kvtest::MessageRecorder boxes;
        QTest::mouseClick(fx.form->sbtnPrint->Button(), Qt::LeftButton);
        QVERIFY(printedTexts.contains("tCustomer - Filtered on ShipTo = A"));
        QCOMPARE(proposed, QStringList{"tCustomer.pdf"});
        QCOMPARE(boxes.Texts(), QStringList{"The report was written to " + dir.filePath("report.pdf") + "."});
        printedTexts.clear();
        fx.form->edtValue->clear();
        fx.form->mnuFilePrint->trigger();
        QVERIFY(printedTexts.contains("tCustomer - Unfiltered View"));
    }

    // Printer Setup is the same dialog, confirmed with OK: nothing prints,
    // as Print does not without a page.
    void printerSetupConfirmsWithOk()
    {
        QStringList seen;
        SetPrintDialogHook([&](QPrintDialog& dialog) {
            auto* buttons = dialog.findChild<QDialogButtonBox*>();
            seen << dialog.objectName() + ": " + (buttons ? buttons->button(QDialogButtonBox::Ok)->text() : "?");
            return int(QDialog::Accepted);
        });
        fx.form->ActionPrintCurrentTab();  // no page: nothing to print
        QVERIFY(fx.Open(1013));
        QTest::mouseClick(fx.form->sbtnPrinterSetup->Button(), Qt::LeftButton);
        fx.form->mnuFilePrintSetup->trigger();
        QCOMPARE(seen, QStringList({"MainPrinterSetupDialog: OK", "MainPrinterSetupDialog: OK"}));
        QVERIFY(printedTexts.isEmpty());
    }

    void exportsThePageUnderItsTableName()
    {
        QVERIFY(fx.Open(1005));
        QString proposed;
        SetSaveDialogHook([&](const TSaveDialogRequest& r) {
            proposed = r.FileName;
            return dir.filePath("types.csv");
        });
        QTest::mouseClick(fx.form->sbtnFile->Button(), Qt::LeftButton);
        QVERIFY(proposed.startsWith("tAgreementType"));
        // (the bytes of each page's export: tst_pagereading)
        QCOMPARE(read(dir.filePath("types.csv")).count('\n') - 1, fx.form->CurrentQuery(1005)->RecordCount());
    }

    // After a switch of database the page stays, closed and blank: print
    // and export agree that it holds no rows.
    void printAndExportOfAClosedPage()
    {
        kvtest::WriteConnectionSettings(fx.db->File(), fx.db->File());  // a test set to switch to
        QVERIFY(fx.Open(1013));
        fx.form->mnuToolsSelectTestDatabaseItem->trigger();
        QVERIFY(!fx.form->CurrentQuery(1013)->Active());
        QCOMPARE(ActivePageID, 1013);

        kvtest::MessageRecorder boxes;
        bool asked = false;
        SetSaveDialogHook([&](const TSaveDialogRequest&) {
            asked = true;
            return QString();
        });
        QTest::mouseClick(fx.form->sbtnFile->Button(), Qt::LeftButton);
        QVERIFY(!asked);
        QCOMPARE(boxes.Texts(), QStringList{"No entries found in table tCentre"});

        SetSaveDialogHook([&](const TSaveDialogRequest&) { return dir.filePath("closed.pdf"); });
        QTest::mouseClick(fx.form->sbtnPrint->Button(), Qt::LeftButton);
        QVERIFY(printedTexts.contains("tCentre - Unfiltered View"));
        QVERIFY(printedTexts.contains("Description"));  // the headings
        const QString someRow = fx.db->Value("SELECT Description FROM tCentre WHERE Active = 1 LIMIT 1");
        QVERIFY(!someRow.isEmpty());
        QVERIFY(!printedTexts.contains(someRow));
    }

    void serviceExportAsksForTheTqServices()
    {
        QVERIFY(fx.Open(1051));
        kvtest::MessageRecorder boxes;
        SetSaveDialogHook([&](const TSaveDialogRequest& r) { return dir.filePath(r.FileName.section('.', 0, 0) + ".csv"); });
        boxes.Answer(mrYes);
        fx.form->ActionFileCurrentTab();
        QCOMPARE(boxes.Texts().first(), QString("Export only for tServiceID with \"TQ_\" services?"));
        QCOMPARE(boxes.Boxes().first().Type, mtConfirmation);
        const QList<QByteArray> tq = read(dir.filePath("user.csv")).split('\n');
        QCOMPARE(tq.first(), QByteArray("\"ServiceID\",\"Code\",\"ShipTo\",\"Grp\",\"Dept\"\r"));
        QCOMPARE(qsizetype(tq.size() - 2),
                 qsizetype(fx.db->Value("SELECT COUNT(*) FROM tServiceID S JOIN tServiceType T ON T.ID = S.ServiceTypeID "
                                        "JOIN tCentre C ON C.ID = S.CustomerCentreID "
                                        "WHERE T.Code LIKE 'TQ%' AND S.Active = 1").toInt()));
        QVERIFY(tq.size() > 2);
        for (int i = 1; i < tq.size() - 1; ++i)
            QVERIFY(tq[i].split(',')[1].startsWith("\"TQ"));

        boxes.Answer(mrNo);
        fx.form->ActionFileCurrentTab();
        const QList<QByteArray> all = read(dir.filePath("tServiceID.csv")).split('\n');
        QCOMPARE(all.size() - 2, fx.form->CurrentQuery(1051)->RecordCount());
    }

    // The speed bar's Close Table and Exit; the navigator docked at its right.
    void toolBarItems()
    {
        QVERIFY(fx.Open(1013));
        QVERIFY(fx.form->dbNavigator->isVisible());
        QVERIFY(fx.form->dbNavigator->geometry().right() > fx.form->ToolBarSystem->width() - 20);
        QTest::mouseClick(fx.form->sbtnTabClose->Button(), Qt::LeftButton);
        QVERIFY(!fx.form->CurrentQuery(1013)->Active());
        QTest::mouseClick(fx.form->sbtnExit->Button(), Qt::LeftButton);
        QVERIFY(!fx.form->isVisible());
    }

    // Pressing on an empty part of the bar and letting go near the left edge
    // moves nothing: the bar stays a strip across the top.
    void speedBarStaysAtTheTopAfterADrag()
    {
        TMainForm* f = fx.form.get();
        QVERIFY(QTest::qWaitForWindowExposed(f));
        QVERIFY(fx.Open(1013));
        TSpeedBar* bar = f->ToolBarSystem;
        const QRect barBefore = bar->geometry();
        const QPoint treeBefore = f->TreeViewSystem->mapTo(f, QPoint(0, 0));
        const QPoint empty(100, bar->height() / 2);  // between the File and Close Table buttons
        QVERIFY(!bar->childAt(empty));
        QTest::mousePress(bar, Qt::LeftButton, {}, empty);
        QTest::mouseMove(bar, bar->mapFrom(f, QPoint(4, f->height() / 2)));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, bar->mapFrom(f, QPoint(4, f->height() / 2)));
        QCOMPARE(bar->Align(), alTop);
        QCOMPARE(bar->Orientation(), boHorizontal);
        QCOMPARE(bar->geometry(), barBefore);
        QCOMPARE(f->TreeViewSystem->mapTo(f, QPoint(0, 0)), treeBefore);
    }

    // The window cannot be made so small that the filter bar or the speed
    // bar lose a control, nor the tree need a scroll bar; a wider tree
    // makes the smallest window wider.
    void smallestWindowKeepsTheBarsWhole()
    {
        TMainForm* f = fx.form.get();
        f->showNormal();
        QVERIFY(QTest::qWaitForWindowExposed(f));
        QVERIFY(fx.Open(1051));
        f->lblTestData->show();
        f->resize(700, 450);
        QVERIFY(f->width() > 700);
        f->resize(f->minimumSize());
        QTRY_COMPARE(f->size(), f->minimumSize());
        auto whole = [f](QWidget* bar) {
            QList<QRect> taken;
            for (QWidget* w : bar->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                if (w->isHidden())
                    continue;
                if (!bar->rect().contains(w->geometry()))
                    return w->objectName() + " sticks out";
                for (const QRect& r : taken)
                    if (r.intersects(w->geometry()))
                        return w->objectName() + " overlaps";
                taken << w->geometry();
            }
            if (!f->rect().contains(QRect(bar->mapTo(f, QPoint(0, 0)), bar->size())))
                return bar->objectName() + " sticks out of the window";
            return QString();
        };
        QCOMPARE(whole(f->panelTopOfTab), QString());
        QCOMPARE(whole(f->ToolBarSystem), QString());
        QTreeWidgetItem* service = f->TreeViewSystem->findItems("Service", Qt::MatchExactly).first();
        f->TreeViewSystem->setCurrentItem(service);
        QVERIFY(service->isExpanded());
        QTRY_VERIFY(!f->TreeViewSystem->verticalScrollBar()->isVisible());

        // At the smallest width the tree cannot grow into the filter bar.
        TKitSplitter* splitter = f->KitSplitterSystem;
        const QPoint start = splitter->rect().center();
        const int tree = f->panelLeftSystem->width();
        QTest::mousePress(splitter, Qt::LeftButton, {}, start);
        QTest::mouseMove(splitter, start + QPoint(300, 0));
        QTest::mouseRelease(splitter, Qt::LeftButton, {}, start + QPoint(300, 0));
        QCOMPARE(f->panelLeftSystem->width(), tree);
        // In a wider window it can, and the smallest window grows with it.
        const int minimum = f->minimumWidth();
        f->resize(minimum + 400, f->height());
        QTRY_COMPARE(f->width(), minimum + 400);
        QTest::mousePress(splitter, Qt::LeftButton, {}, start);
        QTest::mouseMove(splitter, start + QPoint(300, 0));
        QTest::mouseRelease(splitter, Qt::LeftButton, {}, start + QPoint(300, 0));
        QCOMPARE(f->panelLeftSystem->width(), tree + 300);
        QCOMPARE(f->minimumWidth(), minimum + 300);
        f->resize(f->minimumSize());
        QTRY_COMPARE(f->size(), f->minimumSize());
        QCOMPARE(whole(f->panelTopOfTab), QString());
    }

    void placementAndTreeWidthAreKept()
    {
        const QString file = SettingsFolder() + "Tarvalis.ini";
        fx.Stop();  // the window of init() keeps its placement as it goes
        QFile::remove(file);
        fx.Start({"1"});
        fx.form->show();
        // The operator drags the splitter 40 pixels to the right.
        const int width = fx.form->panelLeftSystem->width();
        TKitSplitter* splitter = fx.form->KitSplitterSystem;
        QCOMPARE(splitter->width(), 1);
        const QPoint start = splitter->rect().center();
        QTest::mousePress(splitter, Qt::LeftButton, {}, start);
        QTest::mouseMove(splitter, start + QPoint(40, 0));
        QTest::mouseRelease(splitter, Qt::LeftButton, {}, start + QPoint(40, 0));
        QCOMPARE(fx.form->panelLeftSystem->width(), width + 40);
        fx.form->showNormal();
        fx.form->setGeometry(50, 60, 1100, 640);
        fx.form->close();
        // The next start restores them (the file's keys: tst_placement).
        fx.Stop();
        fx.Start({"1"});
        fx.form->show();
        QVERIFY(!fx.form->isMaximized());
        QCOMPARE(fx.form->panelLeftSystem->width(), width + 40);
        QCOMPARE(fx.form->size(), QSize(1100, 640));
    }

    // A tree kept wider than this screen leaves room for is made narrower, so
    // the filter bar shows whole in a window as wide as the screen; one that
    // leaves room keeps its width.
    void keptTreeLeavesTheFilterBarRoom_data()
    {
        QTest::addColumn<int>("kept");
        QTest::addColumn<bool>("narrowed");
        QTest::newRow("wider than the screen leaves") << 1000 << true;
        QTest::newRow("within what it leaves") << 400 << false;
    }
    void keptTreeLeavesTheFilterBarRoom()
    {
        QFETCH(int, kept);
        QFETCH(bool, narrowed);
        fx.Stop();
        QVERIFY(kvtest::WriteFileBytes(SettingsFolder() + "Tarvalis.ini",
                               "[TMainForm]\r\npanelLeftSystem_Width=" + QByteArray::number(kept) + "\r\n"));
        fx.Start({"1"});
        TMainForm* f = fx.form.get();
        f->showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(f));
        QVERIFY(fx.Open(1013));
        const int screen = f->screen()->availableGeometry().width();
        QTRY_VERIFY(f->width() <= screen);
        QCOMPARE(f->panelLeftSystem->width() < kept, narrowed);
        QCoreApplication::processEvents();
        const QStringList outside = kvtest::OutsideTheWindow(*f->panelTopOfTab);
        QVERIFY2(outside.isEmpty(), qPrintable(outside.join("; ")));
        const QStringList faults = kvtest::LayoutFaults(*f->panelTopOfTab);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
    }
};

KV_TEST_MAIN_LAPTOP_SCREEN(TestMainActions)
#include "tst_mainactions.moc"
