#include "EditDispatch.h"
#include "RecordEditor.h"
#include "SysEdit.h"
#include "ToolEdit.h"
#include <QLineEdit>
#include "MainFixture.h"
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>

// The main window's route to the record editors: which pages react, the
// starting-point question, the empty-page rules, the page reloaded (and its
// row found again) when the editor wrote something, the editor freed.
namespace {

// Records what the main window does to it.
class TProbeEditor : public TRecordEditor {
public:
    using TRecordEditor::TRecordEditor;
    QStringList calls;
    void SetAppendMode(bool value) override
    {
        calls << (value ? "AppendMode true" : "AppendMode false");
        TRecordEditor::SetAppendMode(value);
    }
    // A write that keeps the window open.
    void SaveAndStay()
    {
        RunSave([](TSaveAttempt& save) {
            save.Exec({"UPDATE tActivity", "SET Description = 'Touched'", "WHERE ID = 1"});
            return false;
        });
    }
};

}  // namespace

class TestEditDispatch : public QObject {
    Q_OBJECT
    kvtest::MainFixture fx;
    QPointer<TProbeEditor> probe;
    QStringList calls;      // of the last probe
    int created = 0;
    std::function<int(TProbeEditor&)> onShow;

    void startAs(const QString& operatorId)
    {
        fx.Start({operatorId});
        SetEditorWiringHook([this](int) {
            TEditorWiring w;
            w.Create = [this](QWidget* owner) {
                ++created;
                probe = new TProbeEditor(owner);
                return probe.data();
            };
            w.Copy = [](TRecordEditor& e, TDataSet& row, bool add, int keptId) {
                static_cast<TProbeEditor&>(e).calls
                    << QString("copy %1 %2 %3").arg(add ? "add" : "edit").arg(keptId)
                           .arg(row.FieldByName("Description")->AsString());
            };
            w.SetTodayDefault = [](TRecordEditor& e) { static_cast<TProbeEditor&>(e).calls << "today"; };
            return w;
        });
        TRecordEditor::SetShowModalHook([this](TRecordEditor& e) {
            auto& p = static_cast<TProbeEditor&>(e);
            calls = p.calls;
            return onShow ? onShow(p) : int(mrCancel);
        });
    }

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init()
    {
        created = 0;
        calls.clear();
        onShow = nullptr;
    }
    void cleanup()
    {
        SetEditorWiringHook(nullptr);
        TRecordEditor::SetShowModalHook(nullptr);
        fx.Stop();
    }

    void startingPointQuestion()
    {
        startAs("1");
        QVERIFY(fx.Open(1001));
        TQuery* q = fx.form->CurrentQuery(1001);
        const int current = q->FieldByName("id")->AsInteger();
        const QString description = q->FieldByName("Description")->AsString();
        kvtest::MessageRecorder boxes;

        boxes.Answer(mrYes);
        QTest::mouseClick(fx.form->btnAdd, Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList({"Use the present data as a starting point?"}));
        QCOMPARE(boxes.Boxes().first().Type, mtConfirmation);
        QCOMPARE(boxes.Boxes().first().Buttons, TMsgDlgButtons(mbYes | mbNo));
        QCOMPARE(calls, QStringList({QString("copy add %1 %2").arg(current).arg(description), "AppendMode true"}));

        boxes.Answer(mrNo);
        QTest::mouseClick(fx.form->btnAdd, Qt::LeftButton);
        QCOMPARE(calls, QStringList({"today", "AppendMode true"}));

        fx.form->KitDBGridSysDblClick();
        QCOMPARE(boxes.Count(), 2);  // editing asks nothing
        QCOMPARE(calls, QStringList({QString("copy edit %1 %2").arg(current).arg(description), "AppendMode false"}));
        QCOMPARE(created, 3);
        QVERIFY(probe.isNull());  // each editor is freed when it closes

        // Pages without the question add from a blank editor.
        QVERIFY(fx.Open(1015));
        QTest::mouseClick(fx.form->btnAdd, Qt::LeftButton);
        QCOMPARE(boxes.Count(), 2);
        QCOMPARE(calls, QStringList({"AppendMode true"}));
    }

    // OK, or a write before Cancel, reloads the page and finds the row that
    // was current; a plain Cancel leaves the page alone.
    void reloadAfterWrites_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("write");
        QTest::addColumn<bool>("reloaded");
        QTest::newRow("OK") << int(mrOk) << false << true;
        QTest::newRow("Cancel") << int(mrCancel) << false << false;
        QTest::newRow("written, then Cancel") << int(mrCancel) << true << true;
    }
    void reloadAfterWrites()
    {
        QFETCH(int, result);
        QFETCH(bool, write);
        QFETCH(bool, reloaded);
        startAs("1");
        QVERIFY(fx.Open(1001));
        TQuery* q = fx.form->CurrentQuery(1001);
        q->Next();
        q->Next();
        const int current = q->FieldByName("id")->AsInteger();
        QSignalSpy opened(q, &TDataSet::AfterOpen);
        kvtest::MessageRecorder boxes;
        boxes.Answer(mrYes);
        onShow = [&](TProbeEditor& editor) {
            if (write)
                editor.SaveAndStay();
            return result;
        };
        QTest::mouseClick(fx.form->btnAdd, Qt::LeftButton);
        QCOMPARE(opened.count(), reloaded ? 1 : 0);
        QCOMPARE(q->FieldByName("id")->AsInteger(), current);
        QCOMPARE(fx.db->Value("SELECT Description FROM tActivity WHERE ID = 1") == "Touched", write);
        QCOMPARE(boxes.Count(), 1);
    }

    // Adding on an empty page goes on only where the page allows it; editing
    // an empty page never does.
    void emptyPages_data()
    {
        QTest::addColumn<int>("pageId");
        QTest::addColumn<QString>("table");
        QTest::addColumn<bool>("add");
        QTest::addColumn<int>("editors");
        QTest::newRow("add, opens empty") << 1001 << "tActivity" << true << 1;
        QTest::newRow("edit, opens empty") << 1001 << "tActivity" << false << 0;
        QTest::newRow("add, does not open empty") << 1013 << "tCentre" << true << 0;
        QTest::newRow("edit, does not open empty") << 1013 << "tCentre" << false << 0;
    }
    void emptyPages()
    {
        QFETCH(int, pageId);
        QFETCH(QString, table);
        QFETCH(bool, add);
        QFETCH(int, editors);
        startAs("1");
        fx.db->Exec("DELETE FROM " + table + ";");
        QVERIFY(fx.Open(pageId));
        kvtest::MessageRecorder boxes;
        boxes.Answer(mrYes);  // Yes on an empty page copies nothing but zeros
        onShow = [](TProbeEditor&) { return int(mrOk); };
        fx.form->EditRecord(pageId, add);
        QCOMPARE(created, editors);
        QCOMPARE(boxes.Count(), editors);  // the question, when it goes on
        if (editors)
            QCOMPARE(calls, QStringList({"copy add 0 ", "AppendMode true"}));
    }

    // Pages that do nothing, and the operator page's pointer to its rights.
    void pagesWithoutEditors()
    {
        startAs("1");
        kvtest::MessageRecorder boxes;
        SetEditorWiringHook(nullptr);  // the program's own wiring
        for (int pageId : {1046, 1009, 1002}) {
            QVERIFY(fx.Open(pageId));
            fx.form->EditRecord(pageId, true);
            fx.form->EditRecord(pageId, false);
        }
        QCOMPARE(boxes.Count(), 0);

        QVERIFY(fx.Open(1081));
        QTest::mouseClick(fx.form->btnAdd, Qt::LeftButton);
        fx.form->KitDBGridSysDblClick();
        QCOMPARE(boxes.Texts(), QStringList({"Select tUserFunction to edit this table.",
                                             "Select tUserFunction to edit this table."}));
        QCOMPARE(boxes.Boxes().first().Type, mtInformation);

        // Without operators on the page: nothing.
        fx.Stop();
        startAs("1");
        fx.db->Exec("DELETE FROM tUser;");
        QVERIFY(fx.Open(1081));
        fx.form->EditRecord(1081, true);
        fx.form->EditRecord(1081, false);
        QCOMPARE(boxes.Count(), 2);
    }

    // The generic editor on every page that uses it: a double-click opens
    // it laid out for the page's table with the current row, Add after Yes
    // with the row (and its id only where the page copies it), nothing
    // unexpected on the way.
    void genericPages_data()
    {
        QTest::addColumn<int>("pageId");
        for (const TEditPage& p : EditPages())
            if (p.Kind == TEditKind::Generic)
                QTest::newRow(qPrintable(QString::number(p.PageID))) << p.PageID;
    }
    void genericPages()
    {
        QFETCH(int, pageId);
        fx.Start({"1"});
        QVERIFY(fx.Open(pageId));
        TQuery* q = fx.form->CurrentQuery(pageId);
        QVERIFY(!q->IsEmpty());
        const QString id = q->FieldByName("id")->AsString();
        const TEditPage* page = FindEditPage(pageId);
        QStringList seen;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            auto& f = static_cast<TSysEditForm&>(e);
            seen << QString("%1 %2 %3").arg(f.TableNameID()).arg(f.AppendMode()).arg(f.Edit1());
            return int(mrCancel);
        });
        kvtest::MessageRecorder boxes;
        fx.form->KitDBGridSysDblClick();
        boxes.Answer(mrYes);
        fx.form->btnAddClick();
        const bool idOnAdd = QList<int>{1005, 1045, 1049, 1050, 1069, 1070}.contains(pageId);
        QCOMPARE(seen, QStringList({QString("%1 0 %2").arg(page->Code).arg(id),
                                    QString("%1 1 %2").arg(page->Code).arg(idOnAdd ? id : QString())}));
        QCOMPARE(boxes.Texts().size(), page->Question ? 1 : 0);
    }

    // Editing through the main window: the row and its audit rows written,
    // the page reloaded on the same row.
    void saveFromThePage()
    {
        fx.Start({"1"});
        QVERIFY(fx.Open(1001));
        TQuery* q = fx.form->CurrentQuery(1001);
        q->Next();
        const int id = q->FieldByName("id")->AsInteger();
        const QString old = q->FieldByName("Description")->AsString();
        TRecordEditor::SetShowModalHook([](TRecordEditor& e) {
            auto& f = static_cast<TSysEditForm&>(e);
            f.edtEdit2->setText("Renamed activity");
            QTest::mouseClick(f.btnOk, Qt::LeftButton);
            return f.result();
        });
        kvtest::MessageRecorder boxes;
        fx.form->KitDBGridSysDblClick();
        QCOMPARE(boxes.Count(), 0);
        QCOMPARE(q->FieldByName("id")->AsInteger(), id);
        QCOMPARE(q->FieldByName("Description")->AsString(), QString("Renamed activity"));
        QCOMPARE(fx.db->Rows(QString("SELECT UserID || '|' || Action || '|' || FieldName || '|' || OldValue || '|' "
                                     "|| NewValue FROM tAuditTrail WHERE TableName = 'tActivity' AND TableID = %1")
                                 .arg(id)),
                 QStringList({"demo|1|DESCRIPTION|" + old + "|Renamed activity"}));
    }

    // Flags without a value read as not set; a person added from the current
    // row gets today shown in its start date without keeping it.
    void copyRules()
    {
        fx.Start({"1"});
        fx.db->Exec("UPDATE tElement SET PlatinumUpdate = NULL, LostRevenueFlag = NULL;");
        QVERIFY(fx.Open(1041));
        QStringList seen;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            auto& f = static_cast<TSysEditForm&>(e);
            seen << QString("%1 %2 [%3] [%4]").arg(f.Check1()).arg(f.Check2()).arg(f.edtEdit7->text(), f.Kept(7));
            return int(mrCancel);
        });
        kvtest::MessageRecorder boxes;
        fx.form->KitDBGridSysDblClick();
        QCOMPARE(boxes.Count(), 0);
        QCOMPARE(seen.size(), 1);
        QVERIFY(seen.first().startsWith("0 0 "));
        seen.clear();
        QVERIFY(fx.Open(1047));
        boxes.Answer(mrYes);
        fx.form->btnAddClick();
        QCOMPARE(seen, QStringList({"0 0 [05/03/2026] []"}));
    }

    void noEditingWithoutTheRight()
    {
        startAs("2");  // may look, not edit
        QVERIFY(fx.Open(1001));
        kvtest::MessageRecorder boxes;
        QTest::mouseClick(fx.form->btnAdd, Qt::LeftButton);
        fx.form->KitDBGridSysDblClick();
        QCOMPARE(created, 0);
        QCOMPARE(boxes.Count(), 0);
    }
};

KV_TEST_MAIN(TestEditDispatch)
#include "tst_editdispatch.moc"
