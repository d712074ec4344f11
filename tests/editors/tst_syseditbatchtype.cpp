#include "LookupCombo.h"
#include "OperatorIdentity.h"
#include "SysEditBatchType.h"
#include "TestSupport.h"
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

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

void pick(TLookupCombo* combo, int id)
{
    combo->setCurrentIndex(combo->IndexOfID(id));
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

    // Batch type 30 as the main window gives it to the editor: its supplier
    // no longer active, no program, a name kept for a flag switched off.
    std::unique_ptr<F> editorOf30()
    {
        auto f = std::make_unique<F>();
        f->SetBatchTypeID("30");
        f->SetDescription("Old Telstra");
        f->SetSupplierDisplayedName("Telstra");
        f->SetSupplierID(3);
        f->SetReportGroupID(2);
        f->SetDataSourceTypeID(1);
        f->SetFlag(F::AccountNo, true);
        f->SetFlagName(F::AccountNo, "Acct");
        f->SetFlagName(F::InvoiceNo, "Old invoice name");
        f->SetFlag(F::RentDates, false);
        f->SetFlag(F::CallDates, true);
        f->SetFlag(F::TenderNumber, false);
        f->SetFlag(F::MultiManual, false);
        f->SetFlag(F::EarlyRevenue, false);
        f->SetVar(1, "Calls");
        f->SetCritical1To15("100000001000000");
        f->SetDubious1To15("000000000000000");
        f->SetAppendMode(false);
        return f;
    }

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init()
    {
        db = std::make_unique<kvtest::TestDatabase>();
        db->Exec("INSERT INTO tEvent (ID, Description) VALUES (11,'Reference Update'),(12,'Reference Delete'),"
                 "(13,'Reference Insert');"
                 "INSERT INTO tAudit (\"Table\") VALUES ('tBatchType');"
                 "INSERT INTO tSupplier (ID, SupplierName, Active) VALUES (1,'Telstra',1),(2,'Optus',1),(3,'OldCo',0);"
                 "INSERT INTO tDataSourceType (ID, DataSource) VALUES (1,'CSV'),(2,'EDI');"
                 "INSERT INTO tProgram (ID, Description, Active) VALUES (1,'ImportA',1),(2,'ImportB',0);"
                 "INSERT INTO tReportGroup (ID, GroupDesc) VALUES (1,'Mobile'),(2,'Fixed');"
                 "INSERT INTO tBatchType (ID, Description, SupplierID, DataSourceTypeID, Active, ProgramID, "
                 "ReportGroupID, SupplierDisplayedName, AccountNo, AccountNoName, InvoiceNo, InvoiceNoName, CallDates, "
                 "CriticalCheck01, CriticalCheck09, Var01Description) VALUES (30,'Old Telstra',3,1,1,NULL,2,"
                 "'Telstra',1,'Acct',0,'Old invoice name',1,1,1,'Calls');");
        Operator() = TOperatorIdentity();
        Operator().OPERATORNAME = "admin";
    }
    void cleanup() { db.reset(); }

    // Adding from the page's defaults: the default tests, nothing chosen,
    // and a row of zeros with no program, names or descriptions.
    void addFromDefaults()
    {
        kvtest::MessageRecorder boxes;
        F f;
        f.SetAppendMode(true);
        QCOMPARE(f.windowTitle(), QString("System Table: tBatchType (ADD)"));
        QCOMPARE(checkedTests(f.ckCritical), QStringList({"1", "9", "10"}));
        QCOMPARE(checkedTests(f.ckDubious), QStringList());
        QCOMPARE(f.cbSupplier->currentIndex(), -1);
        QCOMPARE(f.cbSupplier->count(), 2);  // active suppliers only
        QCOMPARE(f.cbProgram->count(), 2);   // every program
        QTest::mouseClick(f.btnOk, Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(f.result(), int(mrOk));

        const QString zeros7 = "0,0,0,0,0,0,0,";
        QCOMPARE(f.LastStatements().first(),
                 QStringList({"INSERT INTO tBatchType",
                              "(Description, SupplierID, DataSourceTypeID, Active,",
                              "SupplierDisplayedName, ReportGroupID,",
                              "AccountNo, InvoiceNo, TotalRevenue, TotalPayable, TotalCredits, OpeningBalance, "
                              "PaymentsReceived,",
                              "TotalAdjustments, BatchStart, BatchEnd, PaymentDate, CreditsToCustomers, GST, "
                              "GSTAdjustment,",
                              "OrderNumber, RequisitionNumber, IssueDate, RentDates, CallDates, Rounding, "
                              "TenderNumber,MultiManualEntry,EarlyRevenue,",
                              joined("CriticalCheck", 1, 7, ", ") + ",", joined("CriticalCheck", 8, 15, ", ") + ",",
                              joined("DubiousCheck", 1, 7, ", ") + ",", joined("DubiousCheck", 8, 15, ", ") + ",",
                              "ProgramID)",
                              "VALUES (NULL,0,0,1,", "NULL,0,", zeros7, zeros7, "0,0,0,0,0,0,0,0,0,",
                              "1,0,0,0,0,0,0,", "0,1,1,0,0,0,0,0,", zeros7, "0,0,0,0,0,0,0,0,", "NULL)"}));
        // One audit row per id and box, all naming the new row.
        const QStringList audit = db->AuditRows();
        QCOMPARE(audit.size(), 3 + 53);
        QCOMPARE(audit.mid(0, 4), QStringList({"admin|13|tBatchType|31|SUPPLIERID|NULL|'0'",
                                               "admin|13|tBatchType|31|DATASOURCETYPEID|NULL|'0'",
                                               "admin|13|tBatchType|31|REPORTGROUPID|NULL|'0'",
                                               "admin|13|tBatchType|31|ACCOUNTNO|NULL|'0'"}));
        QCOMPARE(audit.last(), QString("admin|13|tBatchType|31|DUBIOUSCHECK15|NULL|'0'"));
    }

    // A full addition: every kind of value, texts with quotes, names and
    // descriptions cut to their columns; the audit rows name the new row
    // even though another row has the same description.
    void addEverything()
    {
        kvtest::MessageRecorder boxes;
        F f;
        f.SetAppendMode(true);
        f.edtDescription->setText(" Old Telstra ");
        pick(f.cbSupplier, 1);
        pick(f.cbDataSourceType, 2);
        pick(f.cbProgram, 1);
        pick(f.cbReportGroup, 1);
        f.edtSupplierDisplayedName->setText("O'Brien's");
        f.ckFlag[F::AccountNo]->setChecked(true);
        f.edtName[F::AccountNo]->setText(" Account ");
        f.ckFlag[F::GST]->setChecked(true);
        f.edtName[F::GST]->setText("GST $");
        f.edtName[F::Rounding]->setText(QString(60, 'r'));
        f.ckFlag[F::TenderNumber]->setChecked(true);
        f.ckFlag[F::EarlyRevenue]->setChecked(true);
        f.ckCritical[0]->setChecked(false);
        f.ckCritical[1]->setChecked(true);
        f.ckDubious[2]->setChecked(true);
        f.edtVar[0]->setText("Calls");
        f.edtVar[4]->setText("Rental period of the line");
        f.edtVar[14]->setText("it's");
        f.btnOkClick();
        QCOMPARE(boxes.Texts(), QStringList());

        const QStringList lines = f.LastStatements().first();
        QCOMPARE(lines.mid(10), QStringList({"ProgramID,AccountNoName,",
                                             " GSTName,",
                                             " RoundingName,",
                                             " Var01Description,",
                                             " Var05Description,",
                                             " Var15Description)",
                                             "VALUES ('Old Telstra',1,2,1,",
                                             "'O''Brien''s',1,",
                                             "1,0,0,0,0,0,0,",
                                             "0,0,0,0,0,1,0,",
                                             "0,0,0,0,0,0,1,0,1,",
                                             "0,1,0,0,0,0,0,",
                                             "0,1,1,0,0,0,0,0,",
                                             "0,0,1,0,0,0,0,",
                                             "0,0,0,0,0,0,0,0,",
                                             "1,'Account',",
                                             " 'GST $',",
                                             " '" + QString(50, 'r') + "',",
                                             " 'Calls',",
                                             " 'Rental period of the',",
                                             " 'it''s')"}));
        QCOMPARE(db->Rows("SELECT ID || '|' || SupplierDisplayedName || '|' || ProgramID || '|' || GSTname || '|' || "
                          "length(RoundingName) || '|' || Var05Description || '|' || Var15Description FROM tBatchType "
                          "WHERE ID = 31"),
                 QStringList({"31|O'Brien's|1|GST $|50|Rental period of the|it's"}));
        const QStringList audit = db->AuditRows();
        QVERIFY(audit.contains("admin|13|tBatchType|31|DESCRIPTION|NULL|'Old Telstra'"));
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
        kvtest::MessageRecorder boxes;
        auto f = editorOf30();
        QCOMPARE(f->windowTitle(), QString("System Table: tBatchType (EDIT)"));
        QCOMPARE(f->edtID->text(), QString("30"));
        QCOMPARE(f->cbSupplier->currentIndex(), -1);  // not among the active suppliers
        QCOMPARE(checkedTests(f->ckCritical), QStringList({"1", "9"}));
        f->edtDescription->setText("Telstra Fixed");
        f->ckFlag[F::AccountNo]->setChecked(false);
        f->ckCritical[9]->setChecked(true);
        f->edtVar[0]->setText("Call count");
        f->edtVar[1]->setText(QString(25, 'v'));
        QTest::mouseClick(f->btnOk, Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(f->result(), int(mrOk));

        QCOMPARE(f->LastStatements().first(),
                 QStringList({"UPDATE tBatchType",
                              "SET Description = 'Telstra Fixed', SupplierID = 3, DataSourceTypeID = 1,",
                              " AccountNo = 0, InvoiceNo = 0, TotalRevenue = 0, TotalPayable = 0, TotalCredits = 0, "
                              "OpeningBalance = 0, PaymentsReceived = 0,",
                              " TotalAdjustments = 0, BatchStart = 0, BatchEnd = 0, PaymentDate = 0, "
                              "CreditsToCustomers = 0, GST = 0, GSTAdjustment = 0,",
                              " OrderNumber = 0, RequisitionNumber = 0, IssueDate = 0, RentDates = 0, CallDates = 1, "
                              "Rounding = 0, TenderNumber = 0, MultiManualEntry = 0, EarlyRevenue = 0, "
                              "CriticalCheck01 = 1,",
                              " CriticalCheck02 = 0, CriticalCheck03 = 0, CriticalCheck04 = 0, CriticalCheck05 = 0, "
                              "CriticalCheck06 = 0, CriticalCheck07 = 0,",
                              " CriticalCheck08 = 0, CriticalCheck09 = 1, CriticalCheck10 = 1, CriticalCheck11 = 0, "
                              "CriticalCheck12 = 0, CriticalCheck13 = 0, CriticalCheck14 = 0, CriticalCheck15 = 0,",
                              " DubiousCheck01 = 0, DubiousCheck02 = 0, DubiousCheck03 = 0, DubiousCheck04 = 0, "
                              "DubiousCheck05 = 0, DubiousCheck06 = 0, DubiousCheck07 = 0,",
                              " DubiousCheck08 = 0, DubiousCheck09 = 0, DubiousCheck10 = 0, DubiousCheck11 = 0, "
                              "DubiousCheck12 = 0, DubiousCheck13 = 0, DubiousCheck14 = 0, DubiousCheck15 = 0,",
                              " ProgramID = NULL, AccountNoName = 'Acct', InvoiceNoName = 'Old invoice name', "
                              "TotalRevenueName = NULL, TotalPayableName = NULL,",
                              " TotalCreditsName = NULL, OpeningBalanceName = NULL, PaymentsReceivedName = NULL, "
                              "TotalAdjustmentsName = NULL, BatchStartName = NULL,",
                              " BatchEndName = NULL, PaymentDateName = NULL,",
                              " GSTName = NULL, GSTAdjustmentName = NULL, OrderNumberName = NULL, "
                              "RequisitionNumberName = NULL,",
                              " IssueDateName = NULL, RoundingName = NULL,",
                              " Var01Description = 'Call count', Var02Description = 'vvvvvvvvvvvvvvvvvvvv', "
                              "Var03Description = NULL, Var04Description = NULL,",
                              " Var05Description = NULL, Var06Description = NULL, Var07Description = NULL, "
                              "Var08Description = NULL,",
                              " Var09Description = NULL, Var10Description = NULL, Var11Description = NULL, "
                              "Var12Description = NULL,",
                              " Var13Description = NULL, Var14Description = NULL, Var15Description = NULL",
                              "WHERE id = 30"}));
        QCOMPARE(db->Rows("SELECT Description || '|' || SupplierID || '|' || ifnull(ProgramID, 'NULL') || '|' || "
                          "AccountNo || '|' || AccountNoName || '|' || InvoiceNoName || '|' || Var02Description "
                          "FROM tBatchType WHERE ID = 30"),
                 QStringList({"Telstra Fixed|3|NULL|0|Acct|Old invoice name|vvvvvvvvvvvvvvvvvvvv"}));
        QCOMPARE(db->AuditRows(), QStringList({"admin|11|tBatchType|30|DESCRIPTION|'Old Telstra'|'Telstra Fixed'",
                                               "admin|11|tBatchType|30|ACCOUNTNO|'1'|'0'",
                                               "admin|11|tBatchType|30|CRITICALCHECK10|'0'|'1'",
                                               "admin|11|tBatchType|30|VAR01DESCRIPTION|'Calls'|'Call count'",
                                               "admin|11|tBatchType|30|VAR02DESCRIPTION|NULL|'" +
                                                   QString(20, 'v') + "'"}));
    }

    // A supplier, program or report group chosen in the window replaces
    // the stored one.
    void changeLookups()
    {
        kvtest::MessageRecorder boxes;
        auto f = editorOf30();
        pick(f->cbSupplier, 2);
        pick(f->cbProgram, 2);
        pick(f->cbReportGroup, 1);
        f->edtSupplierDisplayedName->clear();
        f->btnOkClick();
        QCOMPARE(boxes.Count(), 0);
        const QStringList lines = f->LastStatements().first();
        QCOMPARE(lines.at(1), QString("SET Description = 'Old Telstra', SupplierID = 2, DataSourceTypeID = 1,"));
        QCOMPARE(lines.at(2), QString(" SupplierDisplayedName = NULL, ReportGroupID = 1,"));
        QVERIFY(lines.at(10).startsWith(" ProgramID = 2, AccountNoName = 'Acct',"));
        QCOMPARE(db->AuditRows(), QStringList({"admin|11|tBatchType|30|SUPPLIERID|'3'|'2'",
                                               "admin|11|tBatchType|30|SUPPLIERDISPLAYEDNAME|'Telstra'|NULL",
                                               "admin|11|tBatchType|30|REPORTGROUPID|'2'|'1'",
                                               "admin|11|tBatchType|30|PROGRAMID|NULL|'2'"}));
        QCOMPARE(db->Value("SELECT SupplierID || ProgramID || ReportGroupID || ifnull(SupplierDisplayedName, '-') "
                           "FROM tBatchType WHERE ID = 30"),
                 QString("221-"));
    }

    // Critical and dubious tests from their flag strings; the states set
    // are the saved ones.
    void testFlagStrings_data()
    {
        QTest::addColumn<QString>("critical");
        QTest::addColumn<QStringList>("checked");
        QTest::newRow("fifteen characters") << "010000001000001" << QStringList({"2", "9", "15"});
        QTest::newRow("a trailing letter pads") << "11x" << QStringList({"1", "2"});
        QTest::newRow("short: the rest stays clear") << "011" << QStringList({"2", "3"});
        QTest::newRow("all") << "111111111111111" << QStringList({"1", "2", "3", "4", "5", "6", "7", "8", "9",
                                                                  "10", "11", "12", "13", "14", "15"});
    }
    void testFlagStrings()
    {
        QFETCH(QString, critical);
        QFETCH(QStringList, checked);
        kvtest::MessageRecorder boxes;
        auto f = editorOf30();
        f->SetCritical1To15(critical);
        f->SetDubious1To15(critical);
        QCOMPARE(checkedTests(f->ckCritical), checked);
        QCOMPARE(checkedTests(f->ckDubious), checked);
        f->btnOkClick();
        QCOMPARE(boxes.Count(), 0);
        QCOMPARE(db->AuditRows(), QStringList());  // nothing changed against what was set
    }
};

KV_TEST_MAIN(TestSysEditBatchType)
#include "tst_syseditbatchtype.moc"
