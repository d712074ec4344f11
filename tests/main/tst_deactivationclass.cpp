#include "KVSysMain.h"
#include "MainFixture.h"

// What Del does on each of the 53 pages, one window over the demo data for
// all of them.
class TestDeactivationClass : public QObject {
    Q_OBJECT
    kvtest::MainFixture demo;
    const QString today = "20260305";  // on the fixed clock

private slots:
    void initTestCase()
    {
        kvtest::QuietHeadlessNotices();
        demo.Start({"1"});  // the demo administrator
        QVERIFY(demo.form && !demo.form->Timebomb->isActive());
        // Every table of the schema is audited.
        for (const QString& name : demo.db->Rows("SELECT name FROM sqlite_master WHERE type = 'table'"))
            demo.db->Exec(QString("INSERT INTO tAudit (\"Table\") VALUES ('%1');").arg(name));
    }
    void cleanupTestCase() { demo.Stop(); }

    // Seen with every table audited: which table changes, how, and the audit
    // rows that say so.
    //   T   Active toggled, the page's own audit row on "Active" (login)
    //   TE  Active and EndDate, own audit row on "EndDate" (login)
    //   TT  Active and TerminationDate, own audit row (login)
    //   TH  Active, audit through the shared routines on "ACTIVE" (number)
    //   D   the row deleted, audit rows "ID" and "DESCRIPTION" (number)
    //   -   nothing at all
    void everyPageHasItsClass_data()
    {
        QTest::addColumn<int>("pageId");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("kind");
        const struct {
            int page;
            const char* table;
            const char* kind;
        } rows[] = {
            {1001, "tActivity", "TE"}, {1002, "", "-"}, {1003, "tAgreement", "TH"},
            {1004, "tAgreementTariffs", "TH"}, {1005, "tAgreementType", "TH"}, {1006, "tApplication", "T"},
            {1007, "", "-"}, {1008, "", "-"}, {1009, "", "-"}, {1010, "", "-"}, {1011, "", "-"},
            {1012, "tBatchType", "T"}, {1013, "tCentre", "TE"}, {1014, "", "-"}, {1015, "", "-"},
            {1016, "tCustomer", "TE"}, {1021, "", "-"}, {1022, "", "-"}, {1023, "", "-"},
            {1024, "tDepartment", "TE"}, {1025, "tDestination", "T"}, {1026, "", "-"}, {1027, "tDiscount", "T"},
            {1028, "tDiscountedRate", "T"}, {1029, "", "-"}, {1030, "", "-"}, {1031, "", "-"}, {1032, "", "-"},
            {1041, "tElement", "TE"}, {1042, "", "-"}, {1043, "tGroup", "TE"}, {1044, "tLocation", "TE"},
            {1045, "tOrigin", "T"}, {1046, "", "-"}, {1047, "tPerson", "T"}, {1048, "tProgram", "D"},
            {1049, "tRate", "TE"}, {1050, "", "-"}, {1051, "tServiceID", "TT"}, {1052, "tServiceKpi", "T"},
            {1061, "tServiceSplit", "T"}, {1062, "", "-"}, {1063, "tServiceType", "TE"}, {1064, "", "-"},
            {1065, "tSubledger", "TE"}, {1066, "tSupplier", "TE"}, {1067, "tSupplierServiceCode", "T"},
            {1068, "tSystem", "T"}, {1069, "", "-"}, {1070, "tTransactionType", "TE"}, {1081, "tUser", "T"},
            {1082, "tUser", "T"}, {1083, "tValidAccountNumber", "TE"},
        };
        for (const auto& r : rows)
            QTest::addRow("%d %s %s", r.page, r.table, r.kind) << r.page << QString(r.table) << QString(r.kind);
    }
    void everyPageHasItsClass()
    {
        QFETCH(int, pageId);
        QFETCH(QString, table);
        QFETCH(QString, kind);
        kvtest::MessageRecorder boxes;  // page 1048 is asked, 1061 tells
        QVERIFY(demo.Open(pageId));
        TQuery* q = demo.form->CurrentQuery(pageId);
        QVERIFY2(!q->IsEmpty(), "the demo data has rows on every page");
        TField* key = q->FindField(pageId == 1082 ? "UserID" : "id");
        const int id = key ? key->AsInteger() : 0;
        const QString lastAudit = demo.db->Value("SELECT COALESCE(MAX(AuditID), 0) FROM tAuditTrail");
        const QString before = table.isEmpty() ? QString() : demo.db->Value(
                                   QString("SELECT quote(Active) FROM %1 WHERE ID = %2").arg(table).arg(id));

        demo.form->DeleteRecord(pageId);

        const QStringList written =
            demo.db->Rows(QString("SELECT TableName || '|' || FieldName || '|' || UserID || '|' || TableID "
                                  "FROM tAuditTrail WHERE AuditID > %1 ORDER BY AuditID")
                              .arg(lastAudit));
        const QString byLogin = QString("|%1|%2").arg(demo.form->OperatorName()).arg(id);
        const QString byNumber = QString("|%1|%2").arg(demo.form->OperatorNumber()).arg(id);
        const QString state = table.isEmpty() ? QString() : demo.db->Value(
            QString("SELECT quote(Active) FROM %1 WHERE ID = %2").arg(table).arg(id));
        auto dateOf = [&](const QString& column) {
            return demo.db->Value(QString("SELECT %1 FROM %2 WHERE ID = %3").arg(column, table).arg(id));
        };
        if (kind == "-") {
            QVERIFY(written.isEmpty());
            QCOMPARE(boxes.Count(), 0);
        } else if (kind == "D") {
            QCOMPARE(written, QStringList({table + "|ID" + byNumber, table + "|DESCRIPTION" + byNumber}));
            QCOMPARE(demo.db->Value(QString("SELECT count(*) FROM %1 WHERE ID = %2").arg(table).arg(id)), QString("0"));
        } else {
            QCOMPARE(before, QString("1"));  // the page shows current rows: Del deactivates
            QCOMPARE(state, QString("0"));
            const QString field = kind == "T" ? "Active" : kind == "TE" ? "EndDate"
                                                  : kind == "TT" ? "TerminationDate" : "ACTIVE";
            QCOMPARE(written, QStringList({table + "|" + field + (kind == "TH" ? byNumber : byLogin)}));
            if (kind == "TE" || kind == "TT")
                QCOMPARE(dateOf(field), today);
        }
    }
};

KV_TEST_MAIN(TestDeactivationClass)
#include "tst_deactivationclass.moc"
