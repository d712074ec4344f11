#include "CurrEdit.h"
#include "DateFunctions.h"
#include "EditDispatch.h"
#include "LookupCombo.h"
#include "MainFixture.h"
#include "RecordEditor.h"
#include "SysEditAgreement.h"
#include "SysEditServiceSplit.h"
#include "SysEditServType.h"
#include "SysEditTariff.h"
#include "ToolEdit.h"
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

// The pages of service types, agreements, agreement tariffs and service
// splits on the demo database: Add and a double-click open their editors with
// the page's row as each page copies it, and a save writes the row and its
// audit rows and reloads the page.
class TestAgreementAndServicePages : public QObject {
    Q_OBJECT
    kvtest::MainFixture fx;

    // Opens the page, runs `action` with every editor the main window shows
    // handed to `seen` (which gives the modal result).
    template <typename Form>
    void onShow(const std::function<int(Form&)>& seen)
    {
        TRecordEditor::SetShowModalHook([seen](TRecordEditor& e) {
            auto* f = dynamic_cast<Form*>(&e);
            return f ? seen(*f) : int(mrAbort);
        });
    }
    QStringList audit(const QString& table) const
    {
        return fx.db->Rows("SELECT UserID || '|' || Action || '|' || TableID || '|' || FieldName || '|' || "
                           "quote(OldValue) || '|' || quote(NewValue) FROM tAuditTrail WHERE ActionTime = '20260305 14:07:09' "
                           "AND TableName = '" +
                           table + "' ORDER BY AuditID");
    }

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init() { fx.Start({"1"}); }
    void cleanup()
    {
        TRecordEditor::SetShowModalHook(nullptr);
        fx.Stop();
    }

    void serviceTypeOpens()
    {
        QVERIFY(fx.Open(1063));
        TQuery* q = fx.form->CurrentQuery(1063);
        QVERIFY(q->Locate("Code", "TQF"));
        QStringList seen;
        onShow<TSysEditServTypeForm>([&](TSysEditServTypeForm& f) {
            seen << QStringList{f.windowTitle(), f.edtID->text(), f.edtCode->text(), f.edtDescription->text(),
                                f.edtSupplierID->text(), f.edtSupplier->text(), f.cbRevenueElement->currentText(),
                                f.cbExpenseElement->currentText(), f.edtSystemID->text(), f.edtSystem->text(),
                                f.edtStartDate->Text(), f.edtEndDate->Text(), f.edtExpectedRent->text(),
                                f.edtFrequency->text(), QString::number(f.ckNoCalls->isChecked())}
                        .join('|');
            return int(mrCancel);
        });
        kvtest::MessageRecorder boxes;
        fx.form->KitDBGridSysDblClick();
        boxes.Answer(mrYes);
        fx.form->btnAddClick();
        boxes.Answer(mrNo);
        fx.form->btnAddClick();
        const QString row = "TQF|Tie-line queue - fax|1|Brellink Telecommunications|R4110  Fixed voice revenue|"
                            "E5110  Fixed voice expense|1|Fixed Voice|";
        QCOMPARE(seen, QStringList({"System Edit: tServiceType (EDIT)|7|" + row + "01/01/2012|  /  /    |45|3|1",
                                    "System Edit: tServiceType (ADD)||" + row + "05/03/2026|  /  /    |45|3|1",
                                    "System Edit: tServiceType (ADD)||||||||||05/03/2026|  /  /    ||0|0"}));
        QCOMPARE(boxes.Texts(), QStringList({"Use the present data as a starting point?",
                                             "Use the present data as a starting point?"}));
    }

    void serviceTypeSaves()
    {
        QVERIFY(fx.Open(1063));
        TQuery* q = fx.form->CurrentQuery(1063);
        QVERIFY(q->Locate("Code", "PAGE") == false);  // inactive rows are not on the page
        QVERIFY(q->Locate("Code", "TQF"));
        onShow<TSysEditServTypeForm>([](TSysEditServTypeForm& f) {
            f.edtDescription->setText("Tie-line queue - facsimile");
            QTest::mouseClick(f.btnOk, Qt::LeftButton);
            return f.result();
        });
        kvtest::MessageRecorder boxes;
        fx.form->KitDBGridSysDblClick();
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(q->FieldByName("Code")->AsString(), QString("TQF"));
        QCOMPARE(q->FieldByName("Description")->AsString(), QString("Tie-line queue - facsimile"));
        QCOMPARE(audit("tServiceType"),
                 QStringList({"demo|1|7|DESCRIPTION|'Tie-line queue - fax'|'Tie-line queue - facsimile'"}));
    }

    void agreementOpensAndSaves()
    {
        QVERIFY(fx.Open(1003));
        TQuery* q = fx.form->CurrentQuery(1003);
        QVERIFY(q->Locate("AgreementNo", "WOG-2021-004"));
        QStringList seen;
        onShow<TSysEditAgreementForm>([&](TSysEditAgreementForm& f) {
            seen << QStringList{f.windowTitle(), f.edtID->text(), f.edtAgreementNo->text(),
                                f.edtDescription->text(), f.cbAgreementType->currentText(),
                                f.cbSupplier->currentText(), f.cbBatchType->currentText(),
                                f.cbValidAccountNumber->currentText(), f.edtStartDate->Text(),
                                f.edtEndDate->Text()}
                        .join('|');
            return int(mrCancel);
        });
        kvtest::MessageRecorder boxes;
        fx.form->KitDBGridSysDblClick();
        boxes.Answer(mrYes);
        fx.form->btnAddClick();
        boxes.Answer(mrNo);
        fx.form->btnAddClick();
        const QString row = "WOG-2021-004|Mobile fleet|Whole of government contract|"
                            "Corvane Mobile|Corvane mobile fleet|CM-778120|";
        QCOMPARE(seen, QStringList({"System Edit: tAgreement (EDIT)|3|" + row + "01/01/2021|  /  /    ",
                                    "System Edit: tAgreement (ADD)||" + row + "05/03/2026|  /  /    ",
                                    "System Edit: tAgreement (ADD)||||||||05/03/2026|  /  /    "}));

        onShow<TSysEditAgreementForm>([](TSysEditAgreementForm& f) {
            f.edtDescription->setText("Mobile fleet and data");
            QTest::mouseClick(f.btnOk, Qt::LeftButton);
            return f.result();
        });
        fx.form->KitDBGridSysDblClick();
        QCOMPARE(boxes.Count(), 2);
        QCOMPARE(q->FieldByName("Description")->AsString(), QString("Mobile fleet and data"));
        QCOMPARE(audit("tAgreement"), QStringList({"demo|1|3|DESCRIPTION|'Mobile fleet'|'Mobile fleet and data'"}));
    }

    // Amounts keep their cents (a maximum charge too); a count the row does
    // not hold stays empty.
    void tariffOpensAndSaves()
    {
        fx.db->Exec("UPDATE tAgreementTariffs SET MaxCharge = 2.75 WHERE ID = 4;");
        QVERIFY(fx.Open(1004));
        TQuery* q = fx.form->CurrentQuery(1004);
        QVERIFY(q->Locate("id", 4));
        QStringList seen;
        onShow<TSysEditTariffForm>([&](TSysEditTariffForm& f) {
            QStringList values{f.windowTitle(), f.edtID->text(), f.cbAgreement->currentText(),
                               f.cbSupplierServiceCode->currentText()};
            for (const TTariffValue& v : TariffValues())
                values << f.Input(v.Property)->text();
            values << QString::number(f.ckSurcharge->isChecked()) << QString::number(f.ckDiscount->isChecked())
                   << QString::number(f.ckChargePeriod->isChecked());
            seen << values.join('|');
            return int(mrCancel);
        });
        kvtest::MessageRecorder boxes;
        fx.form->KitDBGridSysDblClick();
        boxes.Answer(mrYes);
        fx.form->btnAddClick();
        boxes.Answer(mrNo);
        fx.form->btnAddClick();
        const QString row = "WOG-2019-001- Fixed voice services|BT-STD- CALL- National call|"
                            "|0.3|30|60|0.3|3600|2.75|180|0.12|600|0.1|3600|0.08||||||5|0|1|0";
        QCOMPARE(seen, QStringList({"Agreement Tariffs (EDIT)|4|" + row, "Agreement Tariffs (ADD)||" + row,
                                    "Agreement Tariffs (ADD)|||||||||||||||||||||||0|0|0"}));

        onShow<TSysEditTariffForm>([](TSysEditTariffForm& f) {
            f.Input("Stage1Charge")->setText("0.115");
            QTest::mouseClick(f.btnOk, Qt::LeftButton);
            return f.result();
        });
        fx.form->KitDBGridSysDblClick();
        QCOMPARE(boxes.Count(), 2);
        QCOMPARE(q->FieldByName("id")->AsInteger(), 4);
        QCOMPARE(q->FieldByName("Stage1Charge")->AsString(), QString("0.115"));
        QCOMPARE(audit("tAgreementTariffs"), QStringList({"demo|1|4|STAGE1CHARGE|'0.12'|'0.115'"}));
    }

    // The mode is set before the service and again after it: editing shows
    // the row's service and its split; adding from the row shows the first
    // service without a split and the copied split; adding without it
    // shows nothing chosen.
    void serviceSplitOpensAndSaves()
    {
        QVERIFY(fx.Open(1061));
        TQuery* q = fx.form->CurrentQuery(1061);
        QVERIFY(q->Locate("id", 2));
        QStringList seen;
        onShow<TSplitForm>([&](TSplitForm& f) {
            seen << QStringList{f.windowTitle(), QString::number(f.cbServiceID->isEnabled()),
                                f.cbServiceID->currentText(), f.cbShipTo[0]->currentText(), f.edtRent[0]->text(),
                                f.cbShipTo[1]->currentText(), f.edtOther[1]->text(), f.cbShipTo[2]->currentText()}
                        .join('|');
            return int(mrCancel);
        });
        kvtest::MessageRecorder boxes;
        fx.form->KitDBGridSysDblClick();
        boxes.Answer(mrYes);
        fx.form->btnAddClick();
        boxes.Answer(mrNo);
        fx.form->btnAddClick();
        const QString firstUnsplit =
            fx.db->Value("SELECT ServiceID FROM tServiceID WHERE Active = 1 AND ID NOT IN "
                         "(SELECT ServiceID FROM tServiceSplit WHERE Active = 1) ORDER BY ServiceID LIMIT 1");
        const QString service = q->FieldByName("ServiceID_Desc")->AsString();
        QCOMPARE(seen, QStringList({"SplitForm (EDIT)|0|" + service + "|HLTH|50|EDUC|50|",
                                    "SplitForm (ADD)|1|" + firstUnsplit + "|HLTH|50|EDUC|50|",
                                    "SplitForm (ADD)|1||||||"}));

        onShow<TSplitForm>([](TSplitForm& f) {
            f.edtRent[0]->setText("70");
            f.edtRent[1]->setText("30");
            QTest::mouseClick(f.btnOk, Qt::LeftButton);
            return f.result();
        });
        fx.form->KitDBGridSysDblClick();
        QCOMPARE(boxes.Count(), 2);
        QCOMPARE(q->FieldByName("id")->AsInteger(), 2);
        QCOMPARE(q->FieldByName("RentPercentage")->AsInteger(), 30);
        QCOMPARE(audit("tServiceSplit"), QStringList({"demo|1|1|RENTPERCENTAGE|'50'|'70'",
                                                      "demo|1|2|RENTPERCENTAGE|'50'|'30'"}));
    }

    // Adding on an empty page, from its (missing) current row: the editor
    // opens in add mode with nothing copied, and no error.
    void emptyPages_data()
    {
        QTest::addColumn<int>("pageId");
        QTest::addColumn<QString>("table");
        QTest::newRow("agreements") << 1003 << "tAgreement";
        QTest::newRow("tariffs") << 1004 << "tAgreementTariffs";
        QTest::newRow("splits") << 1061 << "tServiceSplit";
    }
    void emptyPages()
    {
        QFETCH(int, pageId);
        QFETCH(QString, table);
        fx.db->Exec("DELETE FROM " + table + ";");
        QVERIFY(fx.Open(pageId));
        QStringList seen;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            seen << e.windowTitle();
            return int(mrCancel);
        });
        kvtest::MessageRecorder boxes;
        boxes.Answer(mrYes);
        fx.form->btnAddClick();
        QCOMPARE(boxes.Texts(), QStringList({"Use the present data as a starting point?"}));
        QCOMPARE(seen.size(), 1);
        QVERIFY(seen.first().endsWith(" (ADD)"));
    }
};

KV_TEST_MAIN(TestAgreementAndServicePages)
#include "tst_agreementandservicepages.moc"
