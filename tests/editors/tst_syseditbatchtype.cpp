#include "EditorSupport.h"
#include "SysEditBatchType.h"

// The batch type editor: the statements adding and changing a row write
// (line by line), their audit rows, and the rows the editor must not harm:
// an inactive supplier, no program, the names of flags switched off.
namespace {
using F = TSysEditBatchTypeForm;

QStringList checkedTests(const std::array<QCheckBox*, F::kTests>& boxes)
{
    QStringList on;
    for (int n = 1; n <= F::kTests; ++n)
        if (boxes[n - 1]->isChecked())
            on << QString::number(n);
    return on;
}

QString joined(const QString& prefix, int from, int to, const QString& separator)
{
    QStringList parts;
    for (int n = from; n <= to; ++n)
        parts << prefix + QString("%1").arg(n, 2, 10, QChar('0'));
    return parts.join(separator);
}
}  // namespace

class TestSysEditBatchType : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init()
    {
        db = kvtest::EditorDatabase({"tBatchType"}, kvtest::kBatchType30);
    }
    void cleanup() { db.reset(); }

    // A full addition: every kind of value, texts with quotes, names and
    // descriptions cut to their columns; the audit rows name the new row
    // even though another row has the same description.
    void add()
    {
        F f;
        f.SetAppendMode(true);
        QCOMPARE(f.windowTitle(), QString("System Table: tBatchType (ADD)"));
        kvtest::Enter(f, {"edtDescription= Old Telstra ", "cbSupplier=Telstra", "cbDataSourceType=EDI",
                          "cbProgram=ImportA", "cbReportGroup=Mobile", "edtSupplierDisplayedName=O'Brien's",
                          "ckAccountNo=1", "edtAccountNo= Account ", "ckGST=1", "edtGST=GST $",
                          "edtRounding=" + QString(60, 'r'), "ckTenderNumber=1", "ckPrelimRevenue=1",
                          "ckCritical01=0", "ckCritical02=1", "ckDubious03=1", "edtVar01=Calls",
                          "edtVar05=Rental period of the line", "edtVar15=it's"});
        KV_EXPECT_SAVED(f);
        QCOMPARE(f.LastStatements().first(),
                 QStringList({"INSERT INTO tBatchType", "(Description, SupplierID, DataSourceTypeID, Active,",
                              "SupplierDisplayedName, ReportGroupID,",
                              "AccountNo, InvoiceNo, TotalRevenue, TotalPayable, TotalCredits, OpeningBalance, "
                              "PaymentsReceived,",
                              "TotalAdjustments, BatchStart, BatchEnd, PaymentDate, CreditsToCustomers, GST, "
                              "GSTAdjustment,",
                              "OrderNumber, RequisitionNumber, IssueDate, RentDates, CallDates, Rounding, "
                              "TenderNumber,MultiManualEntry,EarlyRevenue,",
                              joined("CriticalCheck", 1, 7, ", ") + ",", joined("CriticalCheck", 8, 15, ", ") + ",",
                              joined("DubiousCheck", 1, 7, ", ") + ",", joined("DubiousCheck", 8, 15, ", ") + ",",
                              "ProgramID,AccountNoName,", " GSTName,", " RoundingName,", " Var01Description,",
                              " Var05Description,", " Var15Description)", "VALUES ('Old Telstra',1,2,1,",
                              "'O''Brien''s',1,", "1,0,0,0,0,0,0,", "0,0,0,0,0,1,0,", "0,0,0,0,0,0,1,0,1,",
                              "0,1,0,0,0,0,0,", "0,1,1,0,0,0,0,0,", "0,0,1,0,0,0,0,", "0,0,0,0,0,0,0,0,",
                              "1,'Account',", " 'GST $',", " '" + QString(50, 'r') + "',", " 'Calls',",
                              " 'Rental period of the',", " 'it''s')"}));
        QCOMPARE(db->Value("SELECT ID || '|' || SupplierDisplayedName || '|' || ProgramID || '|' || GSTname || '|' || "
                           "length(RoundingName) || '|' || Var05Description || '|' || Var15Description FROM tBatchType "
                           "WHERE ID = 31"),
                 QString("31|O'Brien's|1|GST $|50|Rental period of the|it's"));
        const QStringList audit = db->AuditRows();
        QCOMPARE(audit.size(), 4 + 53 + 8);  // four ids, every flag and test, eight texts
        QCOMPARE(audit.first(), QString("admin|13|tBatchType|31|DESCRIPTION|NULL|'Old Telstra'"));
        QVERIFY(audit.contains("admin|13|tBatchType|31|PROGRAMID|NULL|'1'"));
        QVERIFY(audit.contains("admin|13|tBatchType|31|ROUNDINGNAME|NULL|'" + QString(50, 'r') + "'"));
        QCOMPARE(audit.last(), QString("admin|13|tBatchType|31|VAR15DESCRIPTION|NULL|'it''s'"));
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tAuditTrail WHERE TableID <> 31"), QString("0"));
    }

    // Changing a row: the whole statement as the window writes it, the
    // inactive supplier and the missing program left as they were, the name
    // of a flag switched off written back, audit rows for what changed.
    void change()
    {
        auto f = kvtest::BatchTypeEditorOf30();
        QCOMPARE(f->windowTitle(), QString("System Table: tBatchType (EDIT)"));
        QCOMPARE(f->edtID->text(), QString("30"));
        QCOMPARE(f->cbSupplier->currentIndex(), -1);  // not among the active suppliers
        QCOMPARE(checkedTests(f->ckCritical), QStringList({"1", "9"}));
        kvtest::Enter(*f, {"edtDescription=Telstra Fixed", "ckAccountNo=0", "ckCritical10=1", "edtVar01=Call count",
                           "edtVar02=" + QString(25, 'v')});
        KV_EXPECT_SAVED(*f);

        QCOMPARE(f->LastStatements().first(),
                 kvtest::BatchType30Update({{"'Old Telstra'", "'Telstra Fixed'"},
                                            {"AccountNo = 1", "AccountNo = 0"},
                                            {"CriticalCheck10 = 0", "CriticalCheck10 = 1"},
                                            {"'Calls', Var02Description = NULL",
                                             "'Call count', Var02Description = '" + QString(20, 'v') + "'"}}));
        QCOMPARE(db->Value("SELECT Description || '|' || SupplierID || '|' || ifnull(ProgramID, 'NULL') || '|' || "
                           "AccountNo || '|' || AccountNoName || '|' || InvoiceNoName || '|' || Var02Description "
                           "FROM tBatchType WHERE ID = 30"),
                 QString("Telstra Fixed|3|NULL|0|Acct|Old invoice name|vvvvvvvvvvvvvvvvvvvv"));
        QCOMPARE(db->AuditRows(), kvtest::Prefixed("admin|11|tBatchType|30|",
                                                   {"DESCRIPTION|'Old Telstra'|'Telstra Fixed'", "ACCOUNTNO|'1'|'0'",
                                                    "CRITICALCHECK10|'0'|'1'", "VAR01DESCRIPTION|'Calls'|'Call count'",
                                                    "VAR02DESCRIPTION|NULL|'" + QString(20, 'v') + "'"}));
    }

    // Critical and dubious tests from flag strings shorter than fifteen:
    // the rest stays clear, and the states set are the saved ones.
    void shortTestFlagStrings()
    {
        auto f = kvtest::BatchTypeEditorOf30();
        f->SetCritical1To15("011");
        f->SetDubious1To15("011");
        QCOMPARE(checkedTests(f->ckCritical), QStringList({"2", "3"}));
        QCOMPARE(checkedTests(f->ckDubious), QStringList({"2", "3"}));
        KV_EXPECT_SAVED(*f);
        QCOMPARE(db->AuditRows(), QStringList());  // nothing changed against what was set
    }
};

KV_TEST_MAIN(TestSysEditBatchType)
#include "tst_syseditbatchtype.moc"
