#include "CurrEdit.h"
#include "EditorSupport.h"
#include "SysEditServType.h"

// The service type editor: the rows and audit rows it writes when adding and
// changing, its statement lines, its checks, the billing frequency input, and
// the values it must not lose (an empty rent, an inactive element).
class TestSysEditServType : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

    // The editor for row 1 as the main window fills it.
    static std::unique_ptr<TSysEditServTypeForm> editRow1()
    {
        auto f = std::make_unique<TSysEditServTypeForm>();
        f->SetID(1);
        f->SetStartDate(kvtest::Ymd("20100701"));
        f->SetCode("PSTN");
        f->SetDescription("Business line");
        f->SetSupplierID(1);
        f->SetSupplierName("Telstra");
        f->SetRevenueElementID(1);
        f->SetExpenseElementID(3);
        f->SetSystemID(1);
        f->SetSystemName("Fixed Voice");
        f->SetExpectedRent(29.95);
        f->SetAdminFee(false);
        f->SetExportToTims(true);
        f->SetFrequency(3);
        f->SetAppendMode(false);
        return f;
    }
    static std::unique_ptr<TSysEditServTypeForm> adding()
    {
        auto f = std::make_unique<TSysEditServTypeForm>();
        f->SetStartDate(kvtest::Ymd("20260305"));
        f->SetAppendMode(true);
        return f;
    }
    QString row(int id) const
    {
        return db->Value(QString("SELECT Code || '|' || ifnull(Description,'-') || '|' || SupplierID || '|' || "
                                 "ifnull(RevenueElementID,'-') || '|' || ifnull(ExpenseElementID,'-') || '|' || "
                                 "ifnull(SystemID,'-') || '|' || AdminFee || ExportToTims || SplitService || "
                                 "VRTServiceType || NoCalls || '|' || ifnull(StartDate,'-') || '|' || "
                                 "ifnull(EndDate,'-') || '|' || Active || '|' || ifnull(ExpectedRent,'-') || '|' || "
                                 "ifnull(Frequency,'-') FROM tServiceType WHERE ID = %1")
                             .arg(id));
    }

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init()
    {
        db = kvtest::EditorDatabase(
            {"tServiceType"},
            "INSERT INTO tCustomer (ID, ShipTo, Active) VALUES (1,'ABC',1),(2,'VRT',1);"
            "INSERT INTO tElement (ID, ElementCode, Description, CustomerID, Active) VALUES "
            "(1,'4100','Rental revenue',2,1),(2,'4200',NULL,2,1),(3,'6100','Carrier costs',2,1),"
            "(4,'4900','Old revenue',2,0),(5,'7000','Not ours',1,1),(6,NULL,'No code',2,1);"
            "INSERT INTO tSupplier (ID, SupplierName) VALUES (1,'Telstra'),(2,'Optus');"
            "INSERT INTO tSystem (ID, System) VALUES (1,'Fixed Voice');"
            "INSERT INTO tServiceType (ID, Code, Description, SupplierID, RevenueElementID, ExpenseElementID, "
            "AdminFee, Frequency, SystemID, ExportToTims, SplitService, VRTServiceType, ExpectedRent, NoCalls, "
            "StartDate, EndDate, Active) VALUES "
            "(1,'PSTN','Business line',1,1,3,0,3,1,1,0,0,29.95,0,'20100701',NULL,1),"
            "(2,'OLD','Retired type',1,1,NULL,1,NULL,NULL,1,0,0,NULL,0,'20000101','20101231',0),"
            "(3,'TX11','Tie line',2,NULL,3,1,1,NULL,1,0,0,0,0,NULL,NULL,1)",
            " demo ");
    }
    void cleanup() { db.reset(); }

    // Adding: the columns with a value, in order; apostrophes leave the
    // code; the element lists come from the VRT customer, a missing part of
    // a label left out; the audit rows name the row the INSERT made, even
    // when it is stored inactive because of its end date.
    void addRoundTrip()
    {
        auto f = adding();
        QCOMPARE(f->windowTitle(), QString("System Edit: tServiceType (ADD)"));
        QCOMPARE(kvtest::Items(f->cbRevenueElement),
                 QStringList({"0 ", "1 4100  Rental revenue", "2 4200", "3 6100  Carrier costs"}));
        kvtest::Enter(*f, {"edtCode= NEW'1 ", "edtDescription=New type", "edtSupplierID=2", "edtSystemID=1",
                           "cbRevenueElement=4100  Rental revenue", "edtEndDate=20261231", "edtExpectedRent=12.5",
                           "edtFrequency=3"});
        KV_EXPECT_SAVED(*f);
        QCOMPARE(f->LastStatements().first(),
                 QStringList({"INSERT INTO tServiceType",
                              "(Code,Description,SupplierID,AdminFee,RevenueElementID,SystemID,ExportToTims,"
                              "StartDate,EndDate,Active,SplitService,VRTServiceType,ExpectedRent,Frequency,NoCalls)",
                              "VALUES ('NEW1','New type',2,1,1,1,1,'20260305','20261231',0,0,0,12.50,3,0)"}));
        QCOMPARE(row(4), QString("NEW1|New type|2|1|-|1|11000|20260305|20261231|0|12.5|3"));
        QCOMPARE(db->AuditRows(),
                 kvtest::Prefixed("demo|13|tServiceType|4|",
                                  {"CODE|NULL|'NEW1'", "DESCRIPTION|NULL|'New type'", "SUPPLIERID|NULL|'2'",
                                   "ADMINFEE|NULL|'1'", "REVENUEELEMENTID|NULL|'1'", "SYSTEMID|NULL|'1'",
                                   "EXPORTTOTIMS|NULL|'1'", "STARTDATE|NULL|'20260305'", "ENDDATE|NULL|'20261231'",
                                   "ACTIVE|NULL|'0'", "SPLITSERVICE|NULL|'0'", "VRTSERVICETYPE|NULL|'0'",
                                   "EXPECTEDRENT|NULL|'12.50'", "FREQUENCY|NULL|'3'", "NOCALLS|NULL|'0'"}));
    }

    // The fewest columns: no description, system, end date, rent or
    // frequency; an empty rent input is 0, not a conversion error.
    void addLeavesOutEmptyValues()
    {
        auto f = adding();
        kvtest::Enter(*f, {"edtStartDate=", "edtCode=MIN", "edtSupplierID=1", "cbExpenseElement=6100  Carrier costs",
                           "ckAdminFee=0", "edtExpectedRent=", "edtFrequency="});
        QCOMPARE(f->edtFrequency->text(), QString("0"));
        KV_EXPECT_SAVED(*f);
        QCOMPARE(f->LastStatements().first(),
                 QStringList({"INSERT INTO tServiceType",
                              "(Code,SupplierID,AdminFee,ExpenseElementID,ExportToTims,Active,SplitService,"
                              "VRTServiceType,NoCalls)",
                              "VALUES ('MIN',1,0,3,1,1,0,0,0)"}));
        QCOMPARE(row(4), QString("MIN|-|1|-|3|-|01000|-|-|1|-|-"));
    }

    // Changing: the code always, then only what differs, each with its audit
    // row from the saved value to the new one.
    void editRoundTrip()
    {
        auto f = editRow1();
        QCOMPARE(f->windowTitle(), QString("System Edit: tServiceType (EDIT)"));
        QCOMPARE(f->edtID->text(), QString("1"));
        QCOMPARE(f->cbExpenseElement->currentText(), QString("6100  Carrier costs"));
        kvtest::Enter(*f, {"edtDescription=Business line (it's new)", "cbExpenseElement=4200", "edtSystemID=",
                           "edtExpectedRent=31.5", "edtFrequency=12", "edtStartDate=", "edtEndDate=20260630",
                           "ckAdminFee=1", "ckNoCalls=1"});
        KV_EXPECT_SAVED(*f);
        QCOMPARE(f->LastStatements().first(),
                 QStringList({"UPDATE tServiceType", "SET Code = 'PSTN',", "Description = 'Business line (its new)',",
                              "ExpenseElementID = 2,", "SystemID = NULL,", "ExpectedRent = 31.5,",
                              "Frequency = 12,", "StartDate = NULL,", "EndDate = '20260630', Active = 0,",
                              "AdminFee = 1,", "NoCalls = 1", "WHERE id = 1"}));
        QCOMPARE(row(1), QString("PSTN|Business line (its new)|1|1|2|-|11001|-|20260630|0|31.5|12"));
        QCOMPARE(db->AuditRows(),
                 kvtest::Prefixed("demo|11|tServiceType|1|",
                                  {"DESCRIPTION|'Business line'|'Business line (its new)'",
                                   "EXPENSEELEMENTID|'3'|'2'", "SYSTEMID|'1'|NULL", "EXPECTEDRENT|'29.95'|'31.5'",
                                   "FREQUENCY|'3'|'12'", "STARTDATE|'20100701'|NULL", "ENDDATE|NULL|'20260630'",
                                   "ACTIVE|'1'|'0'", "ADMINFEE|'0'|'1'", "NOCALLS|'0'|'1'"}));
    }

    // Clearing an end date brings the row back; an empty rent over a stored
    // 0 changes nothing; a stored element that is no longer listed
    // (inactive) stays stored.
    void keptValues()
    {
        db->Exec("UPDATE tServiceType SET RevenueElementID = 4 WHERE ID = 2;");
        TSysEditServTypeForm f;
        f.SetID(2);
        f.SetCode("OLD");
        f.SetSupplierID(1);
        f.SetRevenueElementID(4);
        f.SetEndDate(kvtest::Ymd("20101231"));
        f.SetAdminFee(true);
        f.SetExportToTims(true);
        f.SetAppendMode(false);
        QCOMPARE(f.cbRevenueElement->currentIndex(), -1);
        kvtest::Enter(f, {"edtEndDate="});
        KV_EXPECT_SAVED(f);
        QCOMPARE(f.LastStatements().first(),
                 QStringList({"UPDATE tServiceType", "SET Code = 'OLD',", "EndDate = NULL, Active = 1", "WHERE id = 2"}));
        QCOMPARE(db->AuditRows(), kvtest::Prefixed("demo|11|tServiceType|2|",
                                                   {"ENDDATE|'20101231'|NULL", "ACTIVE|'0'|'1'"}));
        QCOMPARE(row(2), QString("OLD|Retired type|1|4|-|-|11000|20000101|-|1|-|-"));

        TSysEditServTypeForm zero;
        zero.SetID(3);
        zero.SetCode("TX11");
        zero.SetSupplierID(2);
        zero.SetExpenseElementID(3);
        zero.SetExpectedRent(0);
        zero.SetAdminFee(true);
        zero.SetExportToTims(true);
        zero.SetFrequency(1);
        zero.SetAppendMode(false);
        QCOMPARE(zero.edtExpectedRent->text(), QString());
        KV_EXPECT_SAVED(zero);
        QCOMPARE(zero.LastStatements().first(), QStringList({"UPDATE tServiceType", "SET Code = 'TX11'", "WHERE id = 3"}));
    }

    // Either element can be taken off a type with its list's empty choice
    // (both, and the save is refused as before).
    void elementTakenOff_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("kept");
        QTest::newRow("revenue") << "RevenueElementID" << "1";
        QTest::newRow("expense") << "ExpenseElementID" << "3";
    }
    void elementTakenOff()
    {
        QFETCH(QString, column);
        QFETCH(QString, kept);
        auto f = editRow1();
        kvtest::Enter(*f, {"cb" + column.chopped(2) + "="});
        KV_EXPECT_SAVED(*f);
        QCOMPARE(f->LastStatements().first(),
                 QStringList({"UPDATE tServiceType", "SET Code = 'PSTN',", column + " = NULL", "WHERE id = 1"}));
        QCOMPARE(db->AuditRows(), QStringList{"demo|11|tServiceType|1|" + column.toUpper() + "|'" + kept + "'|NULL"});
    }

    // Apostrophes leave only what the operator changed: a code and a
    // description left alone are written as stored and audit nothing.
    void storedApostrophes()
    {
        db->Exec("UPDATE tServiceType SET Code = 'O''B', Description = 'It''s a line' WHERE ID = 1");
        auto f = editRow1();
        f->SetCode("O'B");
        f->SetDescription("It's a line");
        KV_EXPECT_SAVED(*f);
        QCOMPARE(f->LastStatements().first(), QStringList({"UPDATE tServiceType", "SET Code = 'O''B'", "WHERE id = 1"}));
        QCOMPARE(db->AuditRows(), QStringList());
    }

    // The expected rent keeps the four decimals of a currency and shows as
    // plain text: left alone it writes nothing, typed it is stored whole.
    void rentKeepsFourDecimals()
    {
        db->Exec("UPDATE tServiceType SET ExpectedRent = 1250.125 WHERE ID = 1");
        auto f = editRow1();
        f->SetExpectedRent(1250.125);
        f->show();
        QCOMPARE(f->edtExpectedRent->ShownText(), QString("1250.125"));
        KV_EXPECT_SAVED(*f);
        QCOMPARE(f->LastStatements().first(), QStringList({"UPDATE tServiceType", "SET Code = 'PSTN'", "WHERE id = 1"}));
        auto added = adding();
        kvtest::Enter(*added, {"edtCode=NEW", "edtSupplierID=1", "cbRevenueElement=4200", "edtExpectedRent=12.3456"});
        KV_EXPECT_SAVED(*added);
        QCOMPARE(db->Value("SELECT ExpectedRent FROM tServiceType WHERE Code = 'NEW'"), QString("12.3456"));
    }

    // Each check's message; an input a check cut shows what passed; nothing
    // is written.
    void refusals_data()
    {
        QTest::addColumn<bool>("add");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");  // supplier|system after the check
        const QString required =
            "You must provide: Code, SupplierID, and either RevenueElementID or ExpenseElementID.";
        const QString unique = "The Code MUST be a unique value.";
        const QString element = "cbRevenueElement=4100  Rental revenue";
        QTest::newRow("no code") << true << QStringList({"edtCode=  ", "edtSupplierID=1", element}) << required
                                 << "1|";
        QTest::newRow("no element") << true << QStringList({"edtCode=A", "edtSupplierID=1"}) << required << "1|";
        QTest::newRow("code of an inactive row") << true << QStringList({"edtCode=old", "edtSupplierID=1", element})
                                                 << unique << "1|";
        QTest::newRow("code equal without its apostrophe")
            << true << QStringList({"edtCode=PS'TN", "edtSupplierID=1", element}) << unique << "1|";
        QTest::newRow("supplier with a letter") << true << QStringList({"edtCode=A", "edtSupplierID=12x", element})
                                                << "SupplierID MUST be an integer." << "12|";
        QTest::newRow("unknown supplier") << true << QStringList({"edtCode=A", "edtSupplierID=9", element})
                                          << "SupplierID does not exist." << "9|";
        QTest::newRow("system with a letter")
            << false << QStringList({"edtSystemID=1b"}) << "SystemID MUST be an integer." << "1|1";
        QTest::newRow("end date that is no date")
            << true << QStringList({"edtCode=A", "edtSupplierID=1", element, "edtEndDate=31/02/2026"})
            << "'31/02/2026' is not a valid date." << "1|";
    }
    void refusals()
    {
        QFETCH(bool, add);
        QFETCH(QStringList, typed);
        QFETCH(QString, message);
        QFETCH(QString, shown);
        auto f = add ? adding() : editRow1();
        kvtest::Enter(*f, typed);
        KV_EXPECT_REFUSED(*f, message);
        QCOMPARE(f->edtSupplierID->text() + "|" + f->edtSystemID->text(), shown);
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tServiceType"), QString("3"));
        QCOMPARE(row(1), QString("PSTN|Business line|1|1|3|1|01000|20100701|-|1|29.95|3"));
        QCOMPARE(db->AuditRows(), QStringList());
    }

    // A change without a row id is refused rather than run on no row.
    void changeWithoutRowId()
    {
        auto f = editRow1();
        f->SetID(0);
        KV_EXPECT_REFUSED(*f, "This service type has no ID, so it cannot be changed.");
    }

    // A row keeps its own code, in any letter case; wildcards in a code
    // match only themselves.
    void uniqueCodes()
    {
        auto own = editRow1();
        kvtest::Enter(*own, {"edtCode=pstn"});
        KV_EXPECT_SAVED(*own);
        auto wild = adding();
        kvtest::Enter(*wild, {"edtCode=TX_1", "edtSupplierID=1", "cbRevenueElement=4200"});
        KV_EXPECT_SAVED(*wild);
        QCOMPARE(db->Rows("SELECT Code FROM tServiceType ORDER BY ID"), QStringList({"pstn", "OLD", "TX11", "TX_1"}));
    }

    // The frequency input takes 0, 1, 3, 6 or 12 and falls back to the last
    // allowed value.
    void frequency_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("written");
        QTest::newRow("not allowed: 7") << "7" << "3" << QStringList();
        QTest::newRow("twelve") << "12" << "12" << QStringList({"Frequency = 12"});
        QTest::newRow("digit then letter") << "6a" << "6" << QStringList({"Frequency = 6"});
        QTest::newRow("cleared") << "" << "0" << QStringList({"Frequency = NULL"});
        QTest::newRow("too large") << "99999999999" << "3" << QStringList();
    }
    void frequency()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QStringList, written);
        auto f = editRow1();
        kvtest::Enter(*f, {"edtFrequency=" + typed});
        QCOMPARE(f->edtFrequency->text(), shown);
        KV_EXPECT_SAVED(*f);
        QCOMPARE(f->LastStatements().first().filter("Frequency"), written);
    }
};

KV_TEST_MAIN(TestSysEditServType)
#include "tst_syseditservtype.moc"
