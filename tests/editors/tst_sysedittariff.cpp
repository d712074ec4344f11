#include "CurrEdit.h"
#include "Locale.h"
#include "LookupCombo.h"
#include "OperatorIdentity.h"
#include "SysEditTariff.h"
#include "TestSupport.h"
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

// The agreement tariff editor: its two lists and their labels, the rows and
// audit rows it writes when adding and changing, its statement lines, and
// what it refuses.
namespace {

// Types into an input as the operator does, replacing what it held.
void retype(QWidget* input, const QString& text)
{
    input->setFocus();
    QTest::keySequence(input, QKeySequence::SelectAll);
    QTest::keyClick(input, Qt::Key_Backspace);
    if (!text.isEmpty())
        QTest::keyClicks(input, text);
}

QStringList items(const TLookupCombo* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << QString("%1 %2").arg(list->ItemID(i)).arg(list->itemText(i));
    return out;
}

}  // namespace

class TestSysEditTariff : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

    // The editor for a row as the main window fills it: only the values the
    // row holds.
    std::unique_ptr<TSysEditTariffForm> editing(int id)
    {
        TQuery q(nullptr, "dbKVdata");
        q.SQL().Assign(QStringList{"SELECT * FROM tAgreementTariffs WHERE ID = " + QString::number(id)});
        q.Open();
        auto f = std::make_unique<TSysEditTariffForm>();
        f->SetAgreementID(q.FieldByName("AgreementID")->AsInteger());
        f->SetSupplierServiceCodeID(q.FieldByName("SupplierServiceCodeID")->AsInteger());
        for (const TTariffValue& v : TariffValues()) {
            if (q.FieldByName(v.Column)->IsNull())
                continue;
            if (v.Amount)
                f->SetAmount(v.Property, q.FieldByName(v.Column)->AsCurrency());
            else
                f->SetCount(v.Property, q.FieldByName(v.Column)->AsInteger());
        }
        f->SetCheckSurcharge(q.FieldByName("Surcharge")->AsBoolean());
        f->SetCheckDiscount(q.FieldByName("Discount")->AsBoolean());
        f->SetCheckChargePeriod(q.FieldByName("ChargePeriod")->AsBoolean());
        f->SetID(id);
        f->SetAppendMode(false);
        f->show();
        return f;
    }
    std::unique_ptr<TSysEditTariffForm> adding()
    {
        auto f = std::make_unique<TSysEditTariffForm>();
        f->SetAppendMode(true);
        f->show();
        return f;
    }
    QStringList audit() const
    {
        return db->Rows("SELECT Action || '|' || TableName || '|' || TableID || '|' || FieldName || '|' || "
                        "quote(OldValue) || '|' || quote(NewValue) FROM tAuditTrail ORDER BY AuditID");
    }
    QString row(int id) const
    {
        QStringList columns{"AgreementID", "SupplierServiceCodeID"};
        for (const TTariffValue& v : TariffValues())
            columns << v.Column;
        columns << "Surcharge" << "Discount" << "ChargePeriod" << "Active";
        for (QString& c : columns)
            c = "ifnull(" + c + ",'-')";
        return db->Value("SELECT " + columns.join(" || ' ' || ") + " FROM tAgreementTariffs WHERE ID = " +
                         QString::number(id));
    }

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init()
    {
        db = std::make_unique<kvtest::TestDatabase>();
        db->Exec("BEGIN;"
                 "INSERT INTO tEvent (ID, Description) VALUES (11,'Reference Update'),(12,'Reference Delete'),"
                 "(13,'Reference Insert');"
                 "INSERT INTO tAudit (\"Table\") VALUES ('tAgreementTariffs');"
                 "INSERT INTO tAgreement (ID, AgreementNo, Description, Active) VALUES (1,'WOG-1','Fixed voice',1),"
                 "(2,NULL,'No number',1),(3,'  ','Blank number',1),(4,'OLD-1','Paging',0),(5,'WOG-2',NULL,1);"
                 "INSERT INTO tSupplierServiceCode (id, Code, AmountCategory, Description, Active) VALUES "
                 "(1,'BT-RENT','RENT','Line rental',1),(2,'BT-LOC',NULL,'Local call',1),(3,'BT-OLD','RENT','Old',0);"
                 "INSERT INTO tAgreementTariffs (ID, AgreementID, SupplierServiceCodeID, FixedCharge, FlagFall, "
                 "MinCharge, MinDuration, MaxCharge, MaxDuration, ChargeIntervalSecs, Stage1Duration, Stage1Charge, "
                 "Stage2Duration, Stage2Charge, Stage3Duration, Stage3Charge, Stage4Duration, Stage4Charge, "
                 "Stage5Duration, Stage5Charge, Surcharge, SurchargeRate, Discount, DiscountRate, ChargePeriod, "
                 "Active) VALUES "
                 "(1,1,1,29.95,NULL,0.15,0,2.5,3600,60,180,0.12,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,NULL,1,5,0,1),"
                 "(2,4,2,NULL,0.3,0.3,60,2,3600,30,60,0.22,300,0.19,600,0.16,900,0.1,1200,0.05,1,2.5,0,NULL,0,1);"
                 "COMMIT;");
        Operator() = TOperatorIdentity();
        Operator().OPERATORNAME = "demo";
    }
    void cleanup() { db.reset(); }

    // A missing part of a label is an empty text, so every row can be
    // chosen by its label.
    void lists()
    {
        TSysEditTariffForm f;
        QCOMPARE(items(f.cbAgreement), QStringList({"2 No number", "3 Blank number", "1 WOG-1- Fixed voice",
                                                    "5 WOG-2- "}));
        QCOMPARE(items(f.cbSupplierServiceCode),
                 QStringList({"2 BT-LOC- - Local call", "1 BT-RENT- RENT- Line rental"}));
    }

    // Adding writes the amounts that are not 0 (a surcharge rate only above
    // 0) and the counts above 0; its audit rows name the row the INSERT made,
    // though the agreement already has a tariff for that code.
    void addRoundTrip()
    {
        auto f = adding();
        QCOMPARE(f->windowTitle(), QString("Agreement Tariffs (ADD)"));
        f->cbAgreement->setCurrentIndex(2);
        retype(f->cbSupplierServiceCode->lineEdit(), "bt-rent- rent- line rental");
        retype(f->Input("FixedCharge"), "12.5");
        retype(f->Input("FlagFall"), "0.1234");
        retype(f->Input("ChargeIntervalSecs"), "60");
        retype(f->Input("MinDuration"), "0");
        retype(f->Input("Stage1Duration"), "30");
        retype(f->Input("Stage1Charge"), "0.0125");
        retype(f->Input("Surcharge"), "-1");
        retype(f->Input("Discount"), "-2.5");
        f->ckChargePeriod->setChecked(true);
        kvtest::MessageRecorder boxes;
        QTest::mouseClick(f->btnOk, Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(f->result(), int(mrOk));
        QCOMPARE(f->LastStatements().first(),
                 QStringList({"INSERT INTO tAgreementTariffs",
                              "(Active,AgreementID,SupplierServiceCodeID,FixedCharge,FlagFall,ChargeIntervalSecs,"
                              "Stage1Duration,Stage1Charge,DiscountRate,Surcharge,Discount,ChargePeriod)",
                              "VALUES (1,1,1,12.5,0.1234,60,30,0.0125,-2.5,0,0,1)"}));
        QCOMPARE(row(3), QString("1 1 12.5 0.1234 60 - - - - 30 0.0125 - - - - - - - - - -2.5 0 0 1 1"));
        QCOMPARE(audit(), QStringList({"13|tAgreementTariffs|3|AGREEMENTID|NULL|'1'",
                                       "13|tAgreementTariffs|3|SUPPLIERSERVICECODEID|NULL|'1'",
                                       "13|tAgreementTariffs|3|FIXEDCHARGE|NULL|'12.5'",
                                       "13|tAgreementTariffs|3|FLAGFALL|NULL|'0.1234'",
                                       "13|tAgreementTariffs|3|CHARGEINTERVALSECS|NULL|'60'",
                                       "13|tAgreementTariffs|3|STAGE1DURATION|NULL|'30'",
                                       "13|tAgreementTariffs|3|STAGE1CHARGE|NULL|'0.0125'",
                                       "13|tAgreementTariffs|3|DISCOUNTRATE|NULL|'-2.5'",
                                       "13|tAgreementTariffs|3|SURCHARGE|NULL|'0'",
                                       "13|tAgreementTariffs|3|DISCOUNT|NULL|'0'",
                                       "13|tAgreementTariffs|3|CHARGEPERIOD|NULL|'1'"}));
    }

    // Changing: the agreement always, then what differs. A cleared amount
    // is 0, a cleared count NULL; counts the row never held are written as
    // NULL again, without audit rows.
    void editRoundTrip()
    {
        auto f = editing(1);
        QCOMPARE(f->windowTitle(), QString("Agreement Tariffs (EDIT)"));
        QCOMPARE(f->cbAgreement->currentText(), QString("WOG-1- Fixed voice"));
        QCOMPARE(f->Input("ChargeIntervalSecs")->text(), QString("60"));
        QCOMPARE(f->Input("MinDuration")->text(), QString("0"));
        QCOMPARE(f->Input("MaxCharge")->text(), QString("2.5"));
        retype(f->Input("FixedCharge"), "");
        retype(f->Input("MinDuration"), "30");
        retype(f->Input("MaxDuration"), "");
        retype(f->Input("Stage1Charge"), "0.125");
        f->ckChargePeriod->setChecked(true);
        kvtest::MessageRecorder boxes;
        QTest::mouseClick(f->btnOk, Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(f->LastStatements().first(),
                 QStringList({"UPDATE tAgreementTariffs", "SET AgreementID = 1,", "FixedCharge = 0,",
                              "MinDuration = 30,", "MaxDuration = NULL,", "Stage1Charge = 0.125,",
                              "Stage2Duration = NULL,", "Stage3Duration = NULL,", "Stage4Duration = NULL,",
                              "Stage5Duration = NULL,", "ChargePeriod = 1", "WHERE id = 1"}));
        QCOMPARE(row(1), QString("1 1 0.0 - 60 30 0.15 - 2.5 180 0.125 - - - - - - - - - 5.0 0 1 1 1"));
        QCOMPARE(audit(), QStringList({"11|tAgreementTariffs|1|FIXEDCHARGE|'29.95'|'0'",
                                       "11|tAgreementTariffs|1|MINDURATION|NULL|'30'",
                                       "11|tAgreementTariffs|1|MAXDURATION|'3600'|NULL",
                                       "11|tAgreementTariffs|1|STAGE1CHARGE|'0.12'|'0.125'",
                                       "11|tAgreementTariffs|1|CHARGEPERIOD|'0'|'1'"}));
    }

    // A tariff of an agreement that is no longer listed keeps it; flipping
    // one switch writes that switch alone.
    void oneSwitchOfAnUnlistedAgreement()
    {
        auto f = editing(2);
        QCOMPARE(f->cbAgreement->currentText(), QString());
        f->ckChargePeriod->setChecked(true);
        kvtest::MessageRecorder boxes;
        f->btnOkClick();
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(f->LastStatements().first(), QStringList({"UPDATE tAgreementTariffs", "SET AgreementID = 4,",
                                                           "ChargePeriod = 1", "WHERE id = 2"}));
        QCOMPARE(audit(), QStringList({"11|tAgreementTariffs|2|CHARGEPERIOD|'0'|'1'"}));
        QCOMPARE(db->Value("SELECT AgreementID FROM tAgreementTariffs WHERE ID = 2"), QString("4"));
    }

    // Amounts reach SQL with a decimal point whatever the regional settings.
    void amountsWithADecimalComma()
    {
        const TFormatSettings saved = FormatSettings();
        TFormatSettings comma = saved;
        comma.DecimalSeparator = ',';
        comma.ThousandSeparator = '.';
        SetFormatSettings(comma);
        auto f = editing(1);
        retype(f->Input("FlagFall"), "0,3");
        kvtest::MessageRecorder boxes;
        f->btnOkClick();
        SetFormatSettings(saved);
        QCOMPARE(boxes.Texts(), QStringList());
        QVERIFY(f->LastStatements().first().contains("FlagFall = 0.3,"));
        QCOMPARE(db->Value("SELECT FlagFall FROM tAgreementTariffs WHERE ID = 1"), QString("0.3"));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("agreement");  // typed over the shown text; "-" leaves it
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("message");
        const QString both = "An Agreement and a SupplierServiceCode MUST be selected.";
        QTest::newRow("agreement erased") << "" << "60" << both;
        QTest::newRow("agreement that is not listed") << "WOG-9" << "60" << both;
        QTest::newRow("count that is no number") << "-" << "6O" << "'6O' is not a valid integer value.";
    }
    void refusals()
    {
        QFETCH(QString, agreement);
        QFETCH(QString, count);
        QFETCH(QString, message);
        auto f = editing(1);
        if (agreement != "-")
            retype(f->cbAgreement->lineEdit(), agreement);
        retype(f->Input("ChargeIntervalSecs"), count);
        kvtest::MessageRecorder boxes;
        QTest::mouseClick(f->btnOk, Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList({message}));
        QCOMPARE(boxes.Boxes().first().Type, mtWarning);
        QVERIFY(f->result() != mrOk);
        QCOMPARE(f->Input("ChargeIntervalSecs")->text(), count);
        QCOMPARE(row(1), QString("1 1 29.95 - 60 0 0.15 3600 2.5 180 0.12 - - - - - - - - - 5.0 0 1 0 1"));
        QCOMPARE(audit(), QStringList());
    }

};

KV_TEST_MAIN(TestSysEditTariff)
#include "tst_sysedittariff.moc"
