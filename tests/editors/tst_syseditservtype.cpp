#include "CurrEdit.h"
#include "DateFunctions.h"
#include "LookupCombo.h"
#include "OperatorIdentity.h"
#include "SysEditServType.h"
#include "TestSupport.h"
#include "ToolEdit.h"
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

// The service type editor: the rows and audit rows it writes when adding and
// changing, its statement lines, its checks, the billing frequency input, and
// the values it must not lose (an empty rent, an inactive element).
namespace {

TDateTime ymd(const QString& s)
{
    return EncodeDate(s.left(4).toInt(), s.mid(4, 2).toInt(), s.mid(6, 2).toInt());
}

// Types into an input as the operator does, replacing what it held.
void retype(QWidget* input, const QString& text)
{
    input->setFocus();
    QTest::keySequence(input, QKeySequence::SelectAll);
    if (text.isEmpty())
        QTest::keyClick(input, Qt::Key_Backspace);
    else
        QTest::keyClicks(input, text);
}

}  // namespace

class TestSysEditServType : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

    // The editor for row 1 as the main window fills it.
    std::unique_ptr<TSysEditServTypeForm> editRow1()
    {
        auto f = std::make_unique<TSysEditServTypeForm>();
        f->SetID(1);
        f->SetStartDate(ymd("20100701"));
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
        f->SetSplitService(false);
        f->SetVRTServiceType(false);
        f->SetNoCalls(false);
        f->SetFrequency(3);
        f->SetAppendMode(false);
        f->show();
        return f;
    }
    std::unique_ptr<TSysEditServTypeForm> adding()
    {
        auto f = std::make_unique<TSysEditServTypeForm>();
        f->SetStartDate(ymd("20260305"));
        f->SetAppendMode(true);
        f->show();
        return f;
    }
    QStringList audit() const
    {
        return db->Rows("SELECT Action || '|' || TableID || '|' || FieldName || '|' || quote(OldValue) || '|' || "
                        "quote(NewValue) FROM tAuditTrail ORDER BY AuditID");
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
        db = std::make_unique<kvtest::TestDatabase>();
        db->Exec("BEGIN;"
                 "INSERT INTO tEvent (ID, Description) VALUES (11,'Reference Update'),(12,'Reference Delete'),"
                 "(13,'Reference Insert');"
                 "INSERT INTO tAudit (\"Table\") VALUES ('tServiceType');"
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
                 "(3,'TX11','Tie line',2,NULL,3,1,1,NULL,1,0,0,0,0,NULL,NULL,1);"
                 "COMMIT;");
        Operator() = TOperatorIdentity();
        Operator().OPERATORNAME = " demo ";
    }
    void cleanup() { db.reset(); }

    void elementLists()
    {
        TSysEditServTypeForm f;
        QCOMPARE(f.cbRevenueElement->count(), 3);
        QCOMPARE(f.cbRevenueElement->itemText(0), QString("4100  Rental revenue"));
        QCOMPARE(f.cbRevenueElement->itemText(1), QString("4200"));
        QCOMPARE(f.cbExpenseElement->ItemID(2), 3);
    }

    // Adding: the columns with a value, in order; apostrophes leave the
    // code; the audit rows name the row the INSERT made, even when it is
    // stored inactive because of its end date.
    void addRoundTrip()
    {
        kvtest::MessageRecorder boxes;
        auto f = adding();
        QCOMPARE(f->windowTitle(), QString("System Edit: tServiceType (ADD)"));
        f->edtCode->setText(" NEW'1 ");
        f->edtDescription->setText("New type");
        f->edtSupplierID->setText("2");
        f->edtSystemID->setText("1");
        f->cbRevenueElement->setCurrentIndex(0);
        f->edtEndDate->SetDate(ymd("20261231"));
        retype(f->edtExpectedRent, "12.5");
        retype(f->edtFrequency, "3");
        QTest::mouseClick(f->btnOk, Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(f->result(), int(mrOk));
        QCOMPARE(f->LastStatements().first(),
                 QStringList({"INSERT INTO tServiceType",
                              "(Code,Description,SupplierID,AdminFee,RevenueElementID,SystemID,ExportToTims,"
                              "StartDate,EndDate,Active,SplitService,VRTServiceType,ExpectedRent,Frequency,NoCalls)",
                              "VALUES ('NEW1','New type',2,1,1,1,1,'20260305','20261231',0,0,0,12.50,3,0)"}));
        QCOMPARE(row(4), QString("NEW1|New type|2|1|-|1|11000|20260305|20261231|0|12.5|3"));
        QCOMPARE(audit(), QStringList({"13|4|CODE|NULL|'NEW1'", "13|4|DESCRIPTION|NULL|'New type'",
                                       "13|4|SUPPLIERID|NULL|'2'", "13|4|ADMINFEE|NULL|'1'",
                                       "13|4|REVENUEELEMENTID|NULL|'1'", "13|4|SYSTEMID|NULL|'1'",
                                       "13|4|EXPORTTOTIMS|NULL|'1'", "13|4|STARTDATE|NULL|'20260305'",
                                       "13|4|ENDDATE|NULL|'20261231'", "13|4|ACTIVE|NULL|'0'",
                                       "13|4|SPLITSERVICE|NULL|'0'", "13|4|VRTSERVICETYPE|NULL|'0'",
                                       "13|4|EXPECTEDRENT|NULL|'12.50'", "13|4|FREQUENCY|NULL|'3'",
                                       "13|4|NOCALLS|NULL|'0'"}));
        QCOMPARE(db->Value("SELECT DISTINCT UserID || '|' || ActionTime FROM tAuditTrail"),
                 QString("demo|20260305 14:07:09"));
    }

    // The fewest columns: no description, system, end date, rent or
    // frequency; an empty rent input is 0, not a conversion error.
    void addLeavesOutEmptyValues()
    {
        kvtest::MessageRecorder boxes;
        auto f = adding();
        f->edtStartDate->SetDate(0);
        f->edtCode->setText("MIN");
        f->edtSupplierID->setText("1");
        f->cbExpenseElement->setCurrentIndex(2);
        f->ckAdminFee->setChecked(false);
        retype(f->edtFrequency, "");
        QCOMPARE(f->edtFrequency->text(), QString("0"));
        f->btnOkClick();
        QCOMPARE(boxes.Texts(), QStringList());
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
        kvtest::MessageRecorder boxes;
        auto f = editRow1();
        QCOMPARE(f->windowTitle(), QString("System Edit: tServiceType (EDIT)"));
        QCOMPARE(f->edtID->text(), QString("1"));
        QCOMPARE(f->cbExpenseElement->currentText(), QString("6100  Carrier costs"));
        f->edtDescription->setText("Business line (it's new)");
        f->cbExpenseElement->setCurrentIndex(1);
        f->edtSystemID->clear();
        retype(f->edtExpectedRent, "31.5");
        retype(f->edtFrequency, "12");
        f->edtStartDate->SetDate(0);
        f->edtEndDate->SetDate(ymd("20260630"));
        f->ckAdminFee->setChecked(true);
        f->ckNoCalls->setChecked(true);
        QTest::mouseClick(f->btnOk, Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(f->LastStatements().first(),
                 QStringList({"UPDATE tServiceType", "SET Code = 'PSTN',", "Description = 'Business line (its new)',",
                              "ExpenseElementID = 2,", "SystemID = NULL,", "ExpectedRent = 31.5,",
                              "Frequency = 12,", "StartDate = NULL,", "EndDate = '20260630', Active = 0,",
                              "AdminFee = 1,", "NoCalls = 1", "WHERE id = 1"}));
        QCOMPARE(row(1), QString("PSTN|Business line (its new)|1|1|2|-|11001|-|20260630|0|31.5|12"));
        QCOMPARE(audit(), QStringList({"11|1|DESCRIPTION|'Business line'|'Business line (its new)'",
                                       "11|1|EXPENSEELEMENTID|'3'|'2'", "11|1|SYSTEMID|'1'|NULL",
                                       "11|1|EXPECTEDRENT|'29.95'|'31.5'", "11|1|FREQUENCY|'3'|'12'",
                                       "11|1|STARTDATE|'20100701'|NULL", "11|1|ENDDATE|NULL|'20260630'",
                                       "11|1|ACTIVE|'1'|'0'", "11|1|ADMINFEE|'0'|'1'", "11|1|NOCALLS|'0'|'1'"}));
    }

    // Clearing an end date brings the row back; an empty rent over a
    // stored 0 changes nothing.
    void clearedValues()
    {
        auto f = std::make_unique<TSysEditServTypeForm>();
        f->SetID(2);
        f->SetCode("OLD");
        f->SetSupplierID(1);
        f->SetRevenueElementID(1);
        f->SetEndDate(ymd("20101231"));
        f->SetAdminFee(true);
        f->SetExportToTims(true);
        f->SetAppendMode(false);
        f->edtEndDate->SetDate(0);
        f->btnOkClick();
        QCOMPARE(f->LastStatements().first(),
                 QStringList({"UPDATE tServiceType", "SET Code = 'OLD',", "EndDate = NULL, Active = 1",
                              "WHERE id = 2"}));
        QCOMPARE(audit(), QStringList({"11|2|ENDDATE|'20101231'|NULL", "11|2|ACTIVE|'0'|'1'"}));

        auto zero = std::make_unique<TSysEditServTypeForm>();
        zero->SetID(3);
        zero->SetCode("TX11");
        zero->SetSupplierID(2);
        zero->SetExpenseElementID(3);
        zero->SetExpectedRent(0);
        zero->SetAdminFee(true);
        zero->SetExportToTims(true);
        zero->SetFrequency(1);
        zero->SetAppendMode(false);
        QCOMPARE(zero->edtExpectedRent->text(), QString());
        zero->btnOkClick();
        QCOMPARE(zero->LastStatements().first(),
                 QStringList({"UPDATE tServiceType", "SET Code = 'TX11'", "WHERE id = 3"}));

    }

    // A stored element that is no longer listed (inactive) stays stored.
    void inactiveElementKept()
    {
        db->Exec("UPDATE tServiceType SET RevenueElementID = 4 WHERE ID = 1;");
        auto f = std::make_unique<TSysEditServTypeForm>();
        f->SetID(1);
        f->SetCode("PSTN");
        f->SetSupplierID(1);
        f->SetRevenueElementID(4);
        f->SetAppendMode(false);
        QCOMPARE(f->cbRevenueElement->currentIndex(), -1);
        f->edtDescription->setText("Renamed");
        kvtest::MessageRecorder boxes;
        f->btnOkClick();
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(f->LastStatements().first().filter("RevenueElementID"), QStringList());
        QCOMPARE(db->Value("SELECT RevenueElementID FROM tServiceType WHERE ID = 1"), QString("4"));
    }

    void refusals_data()
    {
        QTest::addColumn<bool>("add");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("supplier");
        QTest::addColumn<QString>("system");
        QTest::addColumn<int>("element");  // index in the revenue list, -1 none
        QTest::addColumn<QString>("endDate");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("supplierShown");
        QTest::addColumn<QString>("systemShown");
        const QString required =
            "You must provide: Code, SupplierID, and either RevenueElementID or ExpenseElementID.";
        QTest::newRow("no code") << true << "  " << "1" << "" << 0 << "" << required << "1" << "";
        QTest::newRow("no element") << true << "A" << "1" << "" << -1 << "" << required << "1" << "";
        QTest::newRow("code of an inactive row") << true << "old" << "1" << "" << 0 << ""
                                                 << "The Code MUST be a unique value." << "1" << "";
        QTest::newRow("code equal without its apostrophe") << true << "PS'TN" << "1" << "" << 0 << ""
                                                           << "The Code MUST be a unique value." << "1" << "";
        QTest::newRow("supplier with a letter") << true << "A" << "12x" << "" << 0 << ""
                                                << "SupplierID MUST be an integer." << "12" << "";
        QTest::newRow("unknown supplier") << true << "A" << "9" << "" << 0 << ""
                                          << "SupplierID does not exist." << "9" << "";
        QTest::newRow("system with a letter") << true << "A" << "1" << "1b" << 0 << ""
                                              << "SystemID MUST be an integer." << "1" << "1";
        QTest::newRow("end date that is no date") << true << "A" << "1" << "" << 0 << "31/02/2026"
                                                  << "'31/02/2026' is not a valid date." << "1" << "";
    }
    void refusals()
    {
        QFETCH(bool, add);
        QFETCH(QString, code);
        QFETCH(QString, supplier);
        QFETCH(QString, system);
        QFETCH(int, element);
        QFETCH(QString, endDate);
        QFETCH(QString, message);
        QFETCH(QString, supplierShown);
        QFETCH(QString, systemShown);
        auto f = add ? adding() : editRow1();
        f->edtCode->setText(code);
        f->edtSupplierID->setText(supplier);
        f->edtSystemID->setText(system);
        f->cbRevenueElement->setCurrentIndex(element);
        f->cbExpenseElement->setCurrentIndex(-1);
        if (!endDate.isEmpty())
            f->edtEndDate->SetText(endDate);
        kvtest::MessageRecorder boxes;
        QTest::mouseClick(f->btnOk, Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList({message}));
        QCOMPARE(boxes.Boxes().first().Type, mtWarning);
        QVERIFY(f->result() != mrOk);
        QCOMPARE(f->edtSupplierID->text(), supplierShown);
        QCOMPARE(f->edtSystemID->text(), systemShown);
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tServiceType"), QString("3"));
        QCOMPARE(row(1), QString("PSTN|Business line|1|1|3|1|01000|20100701|-|1|29.95|3"));
        QCOMPARE(audit(), QStringList());
    }

    // A row keeps its own code, in any letter case; wildcards in a code
    // match only themselves.
    void uniqueCodes()
    {
        kvtest::MessageRecorder boxes;
        auto own = editRow1();
        own->edtCode->setText("pstn");
        own->btnOkClick();
        auto wild = adding();
        wild->edtCode->setText("TX_1");
        wild->edtSupplierID->setText("1");
        wild->cbRevenueElement->setCurrentIndex(0);
        wild->btnOkClick();
        QCOMPARE(boxes.Texts(), QStringList());
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
        retype(f->edtFrequency, typed);
        QCOMPARE(f->edtFrequency->text(), shown);
        f->btnOkClick();
        QCOMPARE(f->LastStatements().first().filter("Frequency"), written);
    }

};

KV_TEST_MAIN(TestSysEditServType)
#include "tst_syseditservtype.moc"
