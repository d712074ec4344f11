#include "EditDispatch.h"
#include "MainFixture.h"
#include "RecordEditor.h"
#include "SysEditServiceKpi.h"
#include <QLineEdit>
#include <QPushButton>

// The service pages' editors driven from the main window: what each page
// copies into its editor, in which mode, and the page reloaded after a save.
class TestEditService : public QObject {
    Q_OBJECT
    kvtest::MainFixture fx;

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void cleanup()
    {
        TRecordEditor::SetShowModalHook(nullptr);
        fx.Stop();
    }

    // The service-level page: the mode is set before the question and the id
    // is copied after Yes too, but an addition never shows it.
    void serviceLevelPage()
    {
        fx.Start({"1"});
        QVERIFY(fx.Open(1052));
        TQuery* q = fx.form->CurrentQuery(1052);
        q->Next();
        const int id = q->FieldByName("id")->AsInteger();
        const QString number = q->FieldByName("KpiNumber")->AsString();
        QStringList seen;
        std::function<void(TSysEditServiceKpiForm&)> act;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            auto& f = static_cast<TSysEditServiceKpiForm&>(e);
            seen << f.windowTitle() + "|" + f.edtID->text() + "|" + f.KpiNumber() + "|" + f.FaultDetect();
            if (act)
                act(f);
            return f.result();
        });
        kvtest::MessageRecorder boxes;
        act = [](TSysEditServiceKpiForm& f) {
            f.edtFaultDetect->setText("Remote diagnostics");
            QTest::mouseClick(f.btnOk, Qt::LeftButton);
        };
        fx.form->KitDBGridSysDblClick();
        QCOMPARE(q->FieldByName("id")->AsInteger(), id);  // reloaded, on the same row
        QCOMPARE(q->FieldByName("FaultDetect")->AsString(), QString("Remote diagnostics"));

        act = nullptr;
        boxes.Answer(mrYes);
        fx.form->btnAddClick();
        boxes.Answer(mrNo);
        fx.form->btnAddClick();
        QCOMPARE(seen, QStringList({"System Table: tServiceKpi (EDIT)|" + QString::number(id) + "|" + number +
                                        "|Proactive monitoring",
                                    "System Table: tServiceKpi (ADD)||" + number + "|Remote diagnostics",
                                    "System Table: tServiceKpi (ADD)|||"}));
        QCOMPARE(boxes.Texts(), QStringList({"Use the present data as a starting point?",
                                             "Use the present data as a starting point?"}));

        // An empty page still takes an addition.
        fx.db->Exec("DELETE FROM tServiceKpi;");
        q->Close();
        q->Open();
        boxes.Answer(mrNo);
        act = [](TSysEditServiceKpiForm& f) {
            f.edtKpiNumber->setText("301");
            QTest::mouseClick(f.btnOk, Qt::LeftButton);
        };
        fx.form->btnAddClick();
        QCOMPARE(q->RecordCount(), 1);
        QCOMPARE(q->FieldByName("KpiNumber")->AsString(), QString("301"));
    }
};

KV_TEST_MAIN(TestEditService)
#include "tst_editservice.moc"
