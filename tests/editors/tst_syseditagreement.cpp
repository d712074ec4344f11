#include "EditorSupport.h"
#include "SysEditAgreement.h"

// The agreement editor: its four lists and the refills the operator's picks
// make, the rows and audit rows it writes when adding and changing, its
// statement lines and its checks.
class TestSysEditAgreement : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

    // The editor for a row as the main window fills it.
    static std::unique_ptr<TSysEditAgreementForm> editing(int id)
    {
        TQuery q(nullptr, "dbKVdata");
        q.SQL().Assign(QStringList{"SELECT * FROM tAgreement WHERE ID = " + QString::number(id)});
        q.Open();
        auto f = std::make_unique<TSysEditAgreementForm>();
        f->SetAgreementNo(q.FieldByName("AgreementNo")->AsString());
        f->SetDescription(q.FieldByName("Description")->AsString());
        f->SetAgreementTypeID(q.FieldByName("AgreementTypeID")->AsInteger());
        f->SetSupplierID(q.FieldByName("SupplierID")->AsInteger());
        f->SetBatchTypeID(q.FieldByName("BatchTypeID")->AsInteger());
        f->SetValidAccountNumberID(q.FieldByName("ValidAccountNumberID")->AsInteger());
        f->SetID(id);
        if (!q.FieldByName("StartDate")->IsNull())
            f->SetStartDate(kvtest::Ymd(q.FieldByName("StartDate")->AsString()));
        if (!q.FieldByName("EndDate")->IsNull())
            f->SetEndDate(kvtest::Ymd(q.FieldByName("EndDate")->AsString()));
        f->SetAppendMode(false);
        return f;
    }
    QString row(int id) const
    {
        return db->Value(QString("SELECT AgreementNo || '|' || ifnull(Description,'-') || '|' || "
                                 "ifnull(AgreementTypeID,'-') || '|' || ifnull(SupplierID,'-') || '|' || "
                                 "ifnull(BatchTypeID,'-') || '|' || ifnull(ValidAccountNumberID,'-') || '|' || "
                                 "ifnull(StartDate,'-') || '|' || ifnull(EndDate,'-') || '|' || Active "
                                 "FROM tAgreement WHERE ID = %1")
                             .arg(id));
    }

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init()
    {
        db = kvtest::EditorDatabase(
            {"tAgreement"},
            "INSERT INTO tAgreementType (ID, Description, Active) VALUES (1,'Whole of government',1),"
            "(2,'Agency',1),(3,'Legacy',0);"
            "INSERT INTO tSupplier (ID, SupplierName, Active) VALUES (1,'Telstra',1),(2,'Optus',1),"
            "(3,'Gone Ltd',0),(4,'Lonely Pty',1);"
            "INSERT INTO tBatchType (ID, Description, SupplierID, Active) VALUES (0,'Unassigned',1,1),"
            "(1,'Telstra fixed',1,1),(2,'Telstra mobile',1,1),(3,'Optus mobile',2,1),(4,'Telstra old',1,0);"
            "INSERT INTO tValidAccountNumber (ID, AccountNo, BatchTypeID, Active) VALUES (0,'NONE',2,1),"
            "(1,'ACC-100',1,1),(2,'ACC-200',2,1),(3,'ACC-300',3,1),(4,'ACC-201',2,1);"
            "INSERT INTO tAgreement (ID, AgreementNo, Description, AgreementTypeID, SupplierID, "
            "ValidAccountNumberID, BatchTypeID, StartDate, EndDate, Active) VALUES "
            "(1,'WOG-1','Fixed voice',1,1,1,1,'20190701',NULL,1),"
            "(2,'OLD-1','Paging',3,3,NULL,NULL,'20000101','20101231',0),"
            "(3,'SUS-1','Suspended',2,2,3,3,NULL,NULL,0)",
            "demo");
    }
    void cleanup() { db.reset(); }

    // Only the operator's picks narrow the dependent lists: a supplier its
    // batch types (the first chosen, account numbers untouched), a batch
    // type its account numbers. Rows with an id of 0 or less never show.
    void refillsOnTheOperatorsPick()
    {
        auto f = editing(1);
        QCOMPARE(f->cbBatchType->count(), 3);  // the values set refill nothing
        QCOMPARE(f->cbSupplier->currentText(), QString("Telstra"));

        kvtest::Enter(*f, {"cbSupplier=Optus"});
        QCOMPARE(kvtest::Items(f->cbBatchType), QStringList({"3 Optus mobile"}));
        QCOMPARE(f->BatchTypeID(), 3);
        QCOMPARE(f->cbValidAccountNumber->count(), 4);
        QCOMPARE(f->ValidAccountNumberID(), 1);

        kvtest::Enter(*f, {"cbSupplier=Telstra"});
        QCOMPARE(kvtest::Items(f->cbBatchType), QStringList({"1 Telstra fixed", "2 Telstra mobile"}));
        kvtest::Enter(*f, {"cbBatchType=Telstra mobile"});
        QCOMPARE(kvtest::Items(f->cbValidAccountNumber), QStringList({"2 ACC-200", "4 ACC-201"}));
        QCOMPARE(f->ValidAccountNumberID(), 2);

        // A supplier without batch types leaves none chosen: NULL on change.
        kvtest::Enter(*f, {"cbSupplier=Lonely Pty"});
        QCOMPARE(f->cbBatchType->count(), 0);
        KV_EXPECT_SAVED(*f);
        QCOMPARE(f->LastStatements().first(),
                 QStringList({"UPDATE tAgreement", "SET AgreementNo = 'WOG-1',", "SupplierID = 4,",
                              "BatchTypeID = NULL,", "ValidAccountNumberID = 2", "WHERE id = 1"}));
        QCOMPARE(row(1), QString("WOG-1|Fixed voice|1|4|-|2|20190701|-|1"));
    }

    // Adding: apostrophes leave the texts; an agreement added with an end
    // date is stored inactive, and its audit rows still name it.
    void addRoundTrip()
    {
        TSysEditAgreementForm f;
        f.SetStartDate(kvtest::Ymd("20260305"));
        f.SetAppendMode(true);
        QCOMPARE(f.windowTitle(), QString("System Edit: tAgreement (ADD)"));
        kvtest::Enter(f, {"edtAgreementNo= WOG-'9 ", "edtDescription=Mobile's fleet", "cbAgreementType=Agency",
                          "cbSupplier=Optus", "edtEndDate=20261231"});
        KV_EXPECT_SAVED(f);
        QCOMPARE(f.LastStatements().first(),
                 QStringList({"INSERT INTO tAgreement",
                              "(AgreementNo,Description,AgreementTypeID,SupplierID,BatchTypeID,StartDate,EndDate,Active)",
                              "VALUES ('WOG-9','Mobiles fleet',2,2,3,'20260305','20261231',0)"}));
        QCOMPARE(row(4), QString("WOG-9|Mobiles fleet|2|2|3|-|20260305|20261231|0"));
        QCOMPARE(db->AuditRows(),
                 kvtest::Prefixed("demo|13|tAgreement|4|",
                                  {"AGREEMENTNO|NULL|'WOG-9'", "DESCRIPTION|NULL|'Mobiles fleet'",
                                   "AGREEMENTTYPEID|NULL|'2'", "SUPPLIERID|NULL|'2'", "BATCHTYPEID|NULL|'3'",
                                   "STARTDATE|NULL|'20260305'", "ENDDATE|NULL|'20261231'", "ACTIVE|NULL|'0'"}));
    }

    // Changing: the number always, then what differs; a cleared start date
    // is written as NULL; a new end date ends the agreement.
    void editRoundTrip()
    {
        auto f = editing(1);
        QCOMPARE(f->windowTitle(), QString("System Edit: tAgreement (EDIT)"));
        kvtest::Enter(*f, {"edtDescription=Fixed voice and data", "cbAgreementType=Agency", "edtStartDate=",
                           "edtEndDate=20260630"});
        KV_EXPECT_SAVED(*f);
        QCOMPARE(f->LastStatements().first(),
                 QStringList({"UPDATE tAgreement", "SET AgreementNo = 'WOG-1',", "Description = 'Fixed voice and data',",
                              "AgreementTypeID = 2,", "StartDate = NULL,", "EndDate = '20260630', Active = 0",
                              "WHERE id = 1"}));
        QCOMPARE(row(1), QString("WOG-1|Fixed voice and data|2|1|1|1|-|20260630|0"));
        QCOMPARE(db->AuditRows(),
                 kvtest::Prefixed("demo|11|tAgreement|1|",
                                  {"DESCRIPTION|'Fixed voice'|'Fixed voice and data'", "AGREEMENTTYPEID|'1'|'2'",
                                   "STARTDATE|'20190701'|NULL", "ENDDATE|NULL|'20260630'", "ACTIVE|'1'|'0'"}));
    }

    // Saving without changes writes the number alone: an inactive agreement
    // stays inactive; its inactive type and supplier stay stored. Clearing
    // the end date is what brings one back.
    void unchangedAndReopened()
    {
        for (int id : {1, 2, 3}) {
            auto f = editing(id);
            KV_EXPECT_SAVED(*f);
            QCOMPARE(f->LastStatements().first().size(), 3);
        }
        QCOMPARE(row(2), QString("OLD-1|Paging|3|3|-|-|20000101|20101231|0"));
        QCOMPARE(row(3), QString("SUS-1|Suspended|2|2|3|3|-|-|0"));
        QCOMPARE(db->AuditRows(), QStringList());

        auto f = editing(2);
        kvtest::Enter(*f, {"edtEndDate="});
        KV_EXPECT_SAVED(*f);
        QCOMPARE(f->LastStatements().first(), QStringList({"UPDATE tAgreement", "SET AgreementNo = 'OLD-1',",
                                                           "EndDate = NULL, Active = 1", "WHERE id = 2"}));
        QCOMPARE(row(2), QString("OLD-1|Paging|3|3|-|-|20000101|-|1"));
        QCOMPARE(db->AuditRows(), kvtest::Prefixed("demo|11|tAgreement|2|", {"ENDDATE|'20101231'|NULL",
                                                                            "ACTIVE|'0'|'1'"}));
    }

    // Apostrophes leave only what the operator changed: a number and a
    // description left alone are written as stored and audit nothing.
    void storedApostrophes()
    {
        db->Exec("UPDATE tAgreement SET AgreementNo = 'O''B-1', Description = 'It''s voice' WHERE ID = 1");
        auto f = editing(1);
        KV_EXPECT_SAVED(*f);
        QCOMPARE(f->LastStatements().first(),
                 QStringList({"UPDATE tAgreement", "SET AgreementNo = 'O''B-1'", "WHERE id = 1"}));
        QCOMPARE(db->AuditRows(), QStringList());
        f = editing(1);
        kvtest::Enter(*f, {"edtDescription=Tom's voice"});
        KV_EXPECT_SAVED(*f);
        QCOMPARE(row(1), QString("O'B-1|Toms voice|1|1|1|1|20190701|-|1"));
        QCOMPARE(db->AuditRows(), QStringList{"demo|11|tAgreement|1|DESCRIPTION|'It''s voice'|'Toms voice'"});
    }

    // A change without a row id is refused rather than run on no row.
    void changeWithoutRowId()
    {
        auto f = editing(1);
        f->SetID(0);
        KV_EXPECT_REFUSED(*f, "This agreement has no ID, so it cannot be changed.");
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("message");
        QTest::newRow("no number") << "  " << "Fixed" << "AgreementNo MUST be entered.";
        QTest::newRow("no description") << "WOG-2" << "" << "Description MUST be entered.";
    }
    void refusals()
    {
        QFETCH(QString, number);
        QFETCH(QString, description);
        QFETCH(QString, message);
        auto f = editing(1);
        kvtest::Enter(*f, {"edtAgreementNo=" + number, "edtDescription=" + description});
        KV_EXPECT_REFUSED(*f, message);
        QCOMPARE(f->edtAgreementNo->text(), number);
        QCOMPARE(row(1), QString("WOG-1|Fixed voice|1|1|1|1|20190701|-|1"));
    }
};

KV_TEST_MAIN(TestSysEditAgreement)
#include "tst_syseditagreement.moc"
