#include "EditDispatch.h"
#include "Locale.h"
#include "MainFixture.h"
#include "RecordEditor.h"
#include "SysEditServiceID.h"
#include "SysEditServiceKpi.h"
#include "ToolEdit.h"
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

namespace {
// Every column of a service the editor may write, as SQL literals.
const char* kServiceColumns =
    "quote(ServiceID)||quote(Service)||quote(ServiceTypeID)||quote(SupplierAccountID)||quote(CustomerCentreID)||"
    "quote(CustomerActivityID)||quote(CustomerElementID)||quote(CustomerSubLedgerID)||quote(PayType)||"
    "quote(CentreID)||quote(ActivityID)||quote(ElementID)||quote(SubledgerID)||quote(LocationID)||"
    "quote(PersonID)||quote(ApplicationID)||quote(CurrentRent)||quote(InstallationDate)||"
    "quote(TerminationDate)||quote(UpEnd)||quote(UpMDF)||quote(DownEnd)||quote(DownMDF)||quote(Length)||"
    "quote(Active)||quote(SACCnumber)||quote(Description)||quote(JobNo)||quote(ServiceKpiID)||quote(No)||"
    "quote(Part)||quote(BearerID)||quote(SpeedID)||quote(Drawing)||quote(ModemTypeID)||quote(Cost)||"
    "quote(Make)||quote(Ch)||quote(Mux)||quote(AuthorityID)||quote(ServiceCode)";
}  // namespace

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

    QString service(int id) const
    {
        return fx.db->Value(QString("SELECT %1 FROM tServiceID WHERE ID = %2").arg(kServiceColumns).arg(id));
    }

    // The service page on the demo data: a double-click fills the editor
    // with the row, and OK without a change writes every column back as it
    // was and audits nothing, row after row; also where the decimal
    // separator is a comma.
    void servicePageUntouchedSaves_data()
    {
        QTest::addColumn<QChar>("decimal");
        QTest::newRow("point") << QChar('.');
        QTest::newRow("comma") << QChar(',');
    }
    void servicePageUntouchedSaves()
    {
        QFETCH(QChar, decimal);
        const TFormatSettings saved = FormatSettings();
        TFormatSettings settings = saved;
        settings.DecimalSeparator = decimal;
        settings.ThousandSeparator = decimal == ',' ? QChar('.') : QChar(',');
        SetFormatSettings(settings);
        fx.Start({"1"});
        QVERIFY(fx.Open(1051));
        TQuery* q = fx.form->CurrentQuery(1051);
        const QString audits = fx.db->Value("SELECT COUNT(*) FROM tAuditTrail");
        QStringList seen;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            auto& f = static_cast<TSysEditServiceIDForm&>(e);
            seen << QStringList{f.windowTitle(), QString::number(f.ID()), f.ServiceID(),
                                f.LineDetails().LineLength, f.LineDetails().Ch, f.ServiceCode()}
                        .join('|');
            QTest::mouseClick(f.btnOk, Qt::LeftButton);
            return f.result();
        });
        kvtest::MessageRecorder boxes;
        int details = 0;
        for (int n = 0; n < 30; ++n, q->Next()) {
            const int id = q->FieldByName("id")->AsInteger();
            const QString before = service(id);
            // A number column as the editor shows it: no ".0" for a whole number.
            const auto number = [&](const char* column) {
                const QString sql = QString("SELECT coalesce(%1, '') FROM tServiceID WHERE ID = %2").arg(column);
                return fx.db->Value(sql.arg(id)).remove(QRegularExpression("\\.0$"));
            };
            const QString expected = QStringList{"System File: tServiceID (EDIT)", QString::number(id),
                                                 q->FieldByName("ServiceID")->AsString(), number("Length"),
                                                 number("Ch"), q->FieldByName("vServiceCode")->AsString()}
                                         .join('|');
            details += q->FieldByName("Length")->IsNull() ? 0 : 1;
            fx.form->KitDBGridSysDblClick();
            QCOMPARE(boxes.Texts(), QStringList());
            QCOMPARE(seen.takeLast(), expected);
            QCOMPARE(q->FieldByName("id")->AsInteger(), id);
            QCOMPARE(service(id), before);
        }
        SetFormatSettings(saved);
        QVERIFY(details > 5);  // rows with line details were among them
        QCOMPARE(fx.db->Value("SELECT COUNT(*) FROM tAuditTrail"), audits);
    }

    // Add after Yes starts from the row with today as the installation date
    // (not kept: it is the operator's value); Save then Cancel still reloads
    // the page. Add after No gives only today's date.
    void servicePageAdds()
    {
        fx.Start({"1"});
        QVERIFY(fx.Open(1051));
        TQuery* q = fx.form->CurrentQuery(1051);
        const int current = q->FieldByName("id")->AsInteger();
        const QString serviceId = q->FieldByName("ServiceID")->AsString();
        QSignalSpy reopened(q, &TDataSet::AfterOpen);
        QStringList seen;
        int newId = 0;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            auto& f = static_cast<TSysEditServiceIDForm&>(e);
            seen << QString("%1|%2|%3|%4|%5").arg(f.windowTitle(), f.edtID->text(), f.ServiceID(),
                                                  f.edtInstallationDate->text(), f.Kept("InstallationDate"));
            if (f.ServiceID().isEmpty())
                return int(mrCancel);
            f.edtServiceID->setText("0299999999");
            QTest::mouseClick(f.btnSave, Qt::LeftButton);
            newId = f.ID();
            return int(mrCancel);
        });
        kvtest::MessageRecorder boxes;
        boxes.Answer(mrYes);
        fx.form->btnAddClick();
        boxes.Answer(mrNo);
        fx.form->btnAddClick();
        QCOMPARE(seen, QStringList({"System File: tServiceID (ADD)||" + serviceId + "|05/03/2026|",
                                    "System File: tServiceID (ADD)|||05/03/2026|"}));
        QCOMPARE(boxes.Count(), 2);  // the two questions
        QCOMPARE(reopened.count(), 1);
        QCOMPARE(q->FieldByName("id")->AsInteger(), current);
        QVERIFY(newId > 0);
        QCOMPARE(fx.db->Value(QString("SELECT ServiceID || '|' || InstallationDate FROM tServiceID WHERE ID = %1")
                                  .arg(newId)),
                 QString("0299999999|20260305"));
        QCOMPARE(fx.db->Value(QString("SELECT COUNT(*) FROM tAuditTrail WHERE TableName = 'tServiceID' AND "
                                      "TableID = %1 AND UserID = 'demo'").arg(newId)).toInt() > 3, true);
    }
};

KV_TEST_MAIN(TestEditService)
#include "tst_editservice.moc"
