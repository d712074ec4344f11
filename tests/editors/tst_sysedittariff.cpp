#include "CurrEdit.h"
#include "EditorSupport.h"
#include "SysEditTariff.h"

// The agreement tariff editor: its two lists and their labels, the rows and
// audit rows it writes when adding and changing, its statement lines, and
// what it refuses.
class TestSysEditTariff : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

    // The editor for a row as the main window fills it: only the values the
    // row holds.
    static std::unique_ptr<TSysEditTariffForm> editing(int id)
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
        return f;
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
        db = kvtest::EditorDatabase(
            {"tAgreementTariffs"},
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
            "(2,4,2,NULL,0.3,0.3,60,2,3600,30,60,0.22,300,0.19,600,0.16,900,0.1,1200,0.05,1,2.5,0,NULL,0,1)",
            "demo");
    }
    void cleanup() { db.reset(); }

    // Adding writes the amounts that are not 0 (a surcharge rate only above
    // 0) and the counts above 0; its audit rows name the row the INSERT made,
    // though the agreement already has a tariff for that code. A missing
    // part of a label is an empty text, so every row can be chosen by its
    // label. Amounts typed with a decimal comma reach SQL with a point.
    void addRoundTrip()
    {
        kvtest::DecimalSeparator separator(',');
        TSysEditTariffForm f;
        f.SetAppendMode(true);
        QCOMPARE(f.windowTitle(), QString("Agreement Tariffs (ADD)"));
        QCOMPARE(kvtest::Items(f.cbAgreement),
                 QStringList({"2 No number", "3 Blank number", "1 WOG-1- Fixed voice", "5 WOG-2- "}));
        QCOMPARE(kvtest::Items(f.cbSupplierServiceCode),
                 QStringList({"2 BT-LOC- - Local call", "1 BT-RENT- RENT- Line rental"}));
        kvtest::Enter(f, {"cbAgreement=WOG-1- Fixed voice", "cbSupplierServiceCode=bt-rent- rent- line rental",
                          "edtFixedCharge=12,5", "edtFlagFall=0,1234", "edtChargeIntervalSecs=60", "edtMinDuration=0",
                          "edtStage1Duration=30", "edtStage1Charge=0,0125", "edtSurcharge=-1", "edtDiscount=-2,5",
                          "ckChargePeriod=1"});
        KV_EXPECT_SAVED(f);
        QCOMPARE(f.LastStatements().first(),
                 QStringList({"INSERT INTO tAgreementTariffs",
                              "(Active,AgreementID,SupplierServiceCodeID,FixedCharge,FlagFall,ChargeIntervalSecs,"
                              "Stage1Duration,Stage1Charge,DiscountRate,Surcharge,Discount,ChargePeriod)",
                              "VALUES (1,1,1,12.5,0.1234,60,30,0.0125,-2.5,0,0,1)"}));
        QCOMPARE(row(3), QString("1 1 12.5 0.1234 60 - - - - 30 0.0125 - - - - - - - - - -2.5 0 0 1 1"));
        QCOMPARE(db->AuditRows(),
                 kvtest::Prefixed("demo|13|tAgreementTariffs|3|",
                                  {"AGREEMENTID|NULL|'1'", "SUPPLIERSERVICECODEID|NULL|'1'", "FIXEDCHARGE|NULL|'12.5'",
                                   "FLAGFALL|NULL|'0.1234'", "CHARGEINTERVALSECS|NULL|'60'", "STAGE1DURATION|NULL|'30'",
                                   "STAGE1CHARGE|NULL|'0.0125'", "DISCOUNTRATE|NULL|'-2.5'", "SURCHARGE|NULL|'0'",
                                   "DISCOUNT|NULL|'0'", "CHARGEPERIOD|NULL|'1'"}));
    }

    // Changing: the agreement always, then what differs. A cleared amount
    // is 0, a cleared count NULL; counts the row never held are written as
    // NULL again, without audit rows. Amounts reach SQL with a decimal point
    // whatever the regional settings.
    void editRoundTrip()
    {
        kvtest::DecimalSeparator separator(',');
        auto f = editing(1);
        QCOMPARE(f->windowTitle(), QString("Agreement Tariffs (EDIT)"));
        QCOMPARE(f->cbAgreement->currentText(), QString("WOG-1- Fixed voice"));
        QCOMPARE(f->Input("MinDuration")->text(), QString("0"));
        kvtest::Enter(*f, {"edtFixedCharge=", "edtFlagFall=0,3", "edtMinDuration=30", "edtMaxDuration=",
                           "edtStage1Charge=0,125", "ckChargePeriod=1"});
        KV_EXPECT_SAVED(*f);
        QCOMPARE(f->LastStatements().first(),
                 QStringList({"UPDATE tAgreementTariffs", "SET AgreementID = 1,", "FixedCharge = 0,", "FlagFall = 0.3,",
                              "MinDuration = 30,", "MaxDuration = NULL,", "Stage1Charge = 0.125,",
                              "Stage2Duration = NULL,", "Stage3Duration = NULL,", "Stage4Duration = NULL,",
                              "Stage5Duration = NULL,", "ChargePeriod = 1", "WHERE id = 1"}));
        QCOMPARE(row(1), QString("1 1 0.0 0.3 60 30 0.15 - 2.5 180 0.125 - - - - - - - - - 5.0 0 1 1 1"));
        QCOMPARE(db->AuditRows(),
                 kvtest::Prefixed("demo|11|tAgreementTariffs|1|",
                                  {"FIXEDCHARGE|'29.95'|'0'", "FLAGFALL|'0'|'0.3'", "MINDURATION|NULL|'30'",
                                   "MAXDURATION|'3600'|NULL", "STAGE1CHARGE|'0.12'|'0.125'", "CHARGEPERIOD|'0'|'1'"}));
    }

    // A tariff of an agreement that is no longer listed keeps it; flipping
    // one switch writes that switch alone.
    void oneSwitchOfAnUnlistedAgreement()
    {
        auto f = editing(2);
        QCOMPARE(f->cbAgreement->currentText(), QString());
        kvtest::Enter(*f, {"ckChargePeriod=1"});
        KV_EXPECT_SAVED(*f);
        QCOMPARE(f->LastStatements().first(), QStringList({"UPDATE tAgreementTariffs", "SET AgreementID = 4,",
                                                           "ChargePeriod = 1", "WHERE id = 2"}));
        QCOMPARE(db->AuditRows(), QStringList({"demo|11|tAgreementTariffs|2|CHARGEPERIOD|'0'|'1'"}));
        QCOMPARE(db->Value("SELECT AgreementID FROM tAgreementTariffs WHERE ID = 2"), QString("4"));
    }

    // Amounts show as the currency's plain text: no symbol, no grouping, no
    // trailing zeros, up to the four decimals a currency holds.
    void amountsShown_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("shown");
        QTest::newRow("thousands") << 1234.5 << "1234.5";
        QTest::newRow("whole") << 8000.0 << "8000";
        QTest::newRow("four decimals") << 0.1234 << "0.1234";
    }
    void amountsShown()
    {
        QFETCH(double, amount);
        QFETCH(QString, shown);
        TSysEditTariffForm f;
        f.SetAmount("FixedCharge", amount);
        f.show();
        QCOMPARE(static_cast<TCustomNumEdit*>(f.Input("FixedCharge"))->ShownText(), shown);
    }

    // A change without a row id is refused rather than run on no row.
    void changeWithoutRowId()
    {
        auto f = editing(1);
        f->SetID(0);
        KV_EXPECT_REFUSED(*f, "This tariff has no ID, so it cannot be changed.");
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("message");
        const QString both = "An Agreement and a SupplierServiceCode MUST be selected.";
        QTest::newRow("agreement erased") << QStringList({"cbAgreement="}) << both;
        QTest::newRow("agreement that is not listed") << QStringList({"cbAgreement=WOG-9"}) << both;
        QTest::newRow("count that is no number") << QStringList({"edtChargeIntervalSecs=6O"})
                                                 << "'6O' is not a valid integer value.";
    }
    void refusals()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, message);
        auto f = editing(1);
        kvtest::Enter(*f, typed);
        KV_EXPECT_REFUSED(*f, message);
        QCOMPARE(row(1), QString("1 1 29.95 - 60 0 0.15 3600 2.5 180 0.12 - - - - - - - - - 5.0 0 1 0 1"));
        QCOMPARE(db->AuditRows(), QStringList());
    }
};

KV_TEST_MAIN(TestSysEditTariff)
#include "tst_sysedittariff.moc"
