#include "EditorSupport.h"
#include "SysEdit.h"
#include <QLabel>

// The generic record editor: its layouts, the statements each table's save
// builds, the rows and audit rows it writes, and what it refuses.
namespace {

// "n=text" sets input n (7 and 8: a date as yyyymmdd, empty clears it;
// c1, c2: a check box as 0 or 1).
using Values = QStringList;

// Rows the duplicate checks find.
const char* const kInUse =
    "INSERT INTO tAgreementType (ID, Description) VALUES (1,'TQ11'),(2,'Panel');"
    "INSERT INTO tElement (ID, ElementCode, CustomerID) VALUES (9,'EL1',7);"
    "INSERT INTO tFunction (ID, Description) VALUES (14,'Edit');"
    "INSERT INTO tProgram (ID, Description) VALUES (12,'Loader');"
    "INSERT INTO tDiscountedRate (ID, ServiceTypeID, CustomerID, Rate) VALUES (6,4,7,1);"
    "INSERT INTO tLocation (ID, Description) VALUES (3,'TQ11');";

}  // namespace

class TestSysEdit : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

    // The row being changed as stored when its editor opens: the kept values
    // in their columns (amounts with a point).
    void storeKept(int code, const Values& kept)
    {
        const QString table = TSysEditForm::TableName(code);
        QString id;
        QStringList sets;
        for (const QString& kv : kept) {
            const QString key = kv.section('=', 0, 0);
            QString v = kv.section('=', 1);
            const QString column =
                TSysEditForm::ColumnOf(code, key == "c1" ? 11 : key == "c2" ? 12 : key.toInt());
            if (key == "1")
                id = v;
            else if (!column.isEmpty())
                sets << column + " = " +
                            (v.isEmpty() ? "NULL"
                                         : "'" + v.replace(QRegularExpression("^(-?\\d+),(\\d+)$"), "\\1.\\2")
                                                     .replace("'", "''") + "'");
        }
        if (table.isEmpty() || id.isEmpty())
            return;
        db->Exec("INSERT OR IGNORE INTO " + table + " (ID) VALUES (" + id + ");" +
                 (sets.isEmpty() ? QString() : "UPDATE " + table + " SET " + sets.join(", ") + " WHERE ID = " + id + ";"));
    }

    // The editor laid out for `code`, the `kept` values set as the main
    // window sets them, in add or edit mode; when changing a row that the
    // test's database holds, that row as the editor shows it (unless the
    // row is `gone`).
    std::unique_ptr<TSysEditForm> editor(int code, bool add, const Values& kept = {}, bool gone = false)
    {
        if (!add && db && !gone)
            storeKept(code, kept);
        auto f = std::make_unique<TSysEditForm>();
        f->SetTableNameID(code);
        for (const QString& kv : kept) {
            const QString key = kv.section('=', 0, 0), v = kv.section('=', 1);
            if (key == "c1" || key == "c2")
                f->setProperty(key == "c1" ? "Check1" : "Check2", v == "1");
            else if (key == "7" || key == "8")
                f->setProperty(("Edit" + key).toLatin1(), kvtest::Ymd(v));
            else
                f->setProperty(("Edit" + key).toLatin1(), v);
        }
        f->SetAppendMode(add);
        return f;
    }
    // What the operator types or ticks; "n=\b": End and Backspace in input n.
    static void type(TSysEditForm& f, const Values& values)
    {
        QStringList inputs;
        for (const QString& kv : values)
            if (kv.endsWith("=\b")) {
                f.show();
                auto* edit = f.findChild<QLineEdit*>("edtEdit" + kv.section('=', 0, 0));
                edit->setFocus();
                QTest::keyClick(edit, Qt::Key_End);
                QTest::keyClick(edit, Qt::Key_Backspace);
            } else {
                inputs << (kv.startsWith('c') ? "CheckBox" + kv.mid(1) : "edtEdit" + kv);
            }
        kvtest::Enter(f, inputs);
    }
    void audited(const QString& table) { db->Exec("INSERT INTO tAudit (\"Table\") VALUES ('" + table + "');"); }

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init()
    {
        db = kvtest::EditorDatabase(
            {}, "INSERT INTO tCustomer (ID, ShipTo) VALUES (7,'ACME'),(8,'Globex');"
                "INSERT INTO tDepartment (ID) VALUES (2); INSERT INTO tGroup (ID) VALUES (3);"
                "INSERT INTO tBatchType (ID) VALUES (5); INSERT INTO tServiceType (ID) VALUES (4);"
                "INSERT INTO tTransactionGroup (ID, Description) VALUES (2,'Group');"
                "INSERT INTO tSystem (ID, System, BatchTypeID) VALUES (3,'Sys',6);"
                "INSERT INTO tTransactionType (ID) VALUES (3);"
                "INSERT INTO tValidAccountNumber (ID, AccountNo) VALUES (2,'ACC');"
                "INSERT INTO tSupplier (ID, SupplierName) VALUES (5,'Telstra');"
                "INSERT INTO tDubiousType (ID) VALUES (1),(4); INSERT INTO tDubiousResolution (ID) VALUES (2),(6)");
        Operator().OPERATORNUMBER = 1;
    }
    void cleanup() { db.reset(); }

    // ------------------------------------------------------------ layouts

    void layouts()
    {
        auto f = editor(14, false);
        QCOMPARE(f->windowTitle(), QString("System Edit: tTransactionType (EDIT)"));
        QCOMPARE(f->lblEdit1->text(), QString("ID"));
        QVERIFY(!f->edtEdit1->isEnabled());
        for (QWidget* w : {(QWidget*)f->edtEdit3, (QWidget*)f->edtEdit5, (QWidget*)f->edtEdit7, (QWidget*)f->edtEdit8})
            QVERIFY(!w->isHidden() && w->isEnabled());
        // The name displays and, on this table alone, their labels are grey.
        for (QWidget* w : {(QWidget*)f->edtEdit4, (QWidget*)f->edtEdit6, (QWidget*)f->lblEdit4, (QWidget*)f->lblEdit6})
            QVERIFY(!w->isHidden() && !w->isEnabled());
        QCOMPARE(f->lblEdit4->text(), QString("TransactionGroup"));
        QVERIFY(f->lblEdit3->isEnabled());
        QVERIFY(f->edtEdit9->isHidden() && f->CheckBox1->isHidden());
        QCOMPARE(f->lblEdit7->text(), QString("StartDate"));

        f = editor(19, true);
        QVERIFY(f->edtEdit2->isHidden() && f->lblEdit2->isHidden());
        QVERIFY(f->edtEdit3->isEnabled() && f->edtEdit5->isEnabled());
        QVERIFY(!f->edtEdit4->isEnabled() && !f->edtEdit6->isEnabled());
        QVERIFY(f->lblEdit4->isEnabled());
        QCOMPARE(f->lblEdit5->text(), QString("ResolutionID"));
        QVERIFY(f->edtEdit7->isHidden());

        // Programs (and functions) take the new row's ID typed when adding.
        f = editor(26, true);
        QCOMPARE(f->windowTitle(), QString("System Edit: tProgram (ADD)"));
        QVERIFY(f->edtEdit1->isEnabled());
        f->SetAppendMode(false);
        QVERIFY(!f->edtEdit1->isEnabled());
        QVERIFY(f->windowTitle().endsWith(" (EDIT)"));

        // An element's code is typed when adding and only shown when changing
        // (unless the element has none yet).
        f = editor(5, false, {"3=EL1"});
        QVERIFY(!f->edtEdit3->isHidden() && !f->edtEdit3->isEnabled());
        f = editor(5, true);
        QVERIFY(f->edtEdit3->isEnabled());

        // Code 18 has nothing to write and closes with OK.
        f = editor(18, true);
        KV_EXPECT_SAVED(*f);
        QVERIFY(f->LastStatements().isEmpty());
    }

    // Every label of every layout reads whole at the desktop's font,
    // whatever its size: as wide and as high as its text, inside the window,
    // clear of the column beside it and of every input; the inputs are inside
    // the window and tall enough for their text.
    void labelsReadWhole_data()
    {
        QTest::addColumn<int>("points");
        for (int points : kvtest::kFontPoints)
            QTest::addRow("%d pt", points) << points;
    }
    void labelsReadWhole()
    {
        QFETCH(int, points);
        kvtest::ApplicationFont font(points);
        for (int code = 0; code <= 29; ++code) {
            auto f = editor(code, false);
            f->show();
            const int secondColumn = f->edtEdit2->x();
            for (const QLabel* l : f->findChildren<QLabel*>()) {
                if (!l->isVisible() || l->text().isEmpty())
                    continue;  // hidden, or on a date input's calendar that is not open
                const QString what = QString("code %1: %2").arg(code).arg(l->text());
                QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(what));
                QVERIFY2(l->height() >= l->sizeHint().height(), qPrintable(what));
                QVERIFY2(l->geometry().right() < (l->x() < secondColumn ? secondColumn : f->width()), qPrintable(what));
            }
            const QStringList faults = kvtest::LayoutFaults(*f);
            QVERIFY2(faults.isEmpty(), qPrintable(QString("code %1: ").arg(code) + faults.join("; ")));
        }
    }

    // Texts wider than their inputs show from their start, the one with the
    // focus too.
    void longTextsShowTheirStart()
    {
        auto f = editor(4, false, {"1=7", "2=Standby generator maintenance for the business telephone line",
                                   "3=7", "4=Brellinghast Metropolitan Health and Hospitals Service"});
        f->show();
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.get()));
        QCOMPARE(f->focusWidget(), f->edtEdit2);
        for (QLineEdit* e : {f->edtEdit2, f->edtEdit4}) {
            QVERIFY(e->fontMetrics().horizontalAdvance(e->text()) > e->width());
            QCOMPARE(e->cursorPosition(), 0);
        }
    }

    // ------------------------------------------------------------ statements

    void statementLines_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("add");
        QTest::addColumn<Values>("kept");
        QTest::addColumn<Values>("typed");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("reference and dates, add") << 4 << true << Values{} << Values{"2=Field work", "3=7", "7=20260201"}
            << QStringList{"INSERT INTO tActivity", "(Description,CustomerID,StartDate,Active)",
                           "VALUES ('Field work',7,'20260201',1)"};
        QTest::newRow("reference and dates, end date cleared")
            << 4 << false << Values{"1=3", "2=Old", "3=7", "7=20250101", "8=20251231"} << Values{"2=New", "8="}
            << QStringList{"UPDATE tActivity", "SET Description = 'New',CustomerID = 7, EndDate = NULL, Active = 1",
                           "WHERE id = 3"};
        QTest::newRow("description only, add") << 10 << true << Values{} << Values{"2=Perth"}
            << QStringList{"INSERT INTO tDestination", "(Description,Active)", "VALUES ('Perth',1)"};
        QTest::newRow("description only, blank before Active") << 23 << true << Values{} << Values{"2=Billing"}
            << QStringList{"INSERT INTO tApplication", "(Description, Active)", "VALUES ('Billing', 1)"};
        QTest::newRow("description only, edit") << 27 << false << Values{"1=2", "2=Old"} << Values{"2=Panel"}
            << QStringList{"UPDATE tAgreementType", "SET Description = 'Panel'", "WHERE id = 2"};
        QTest::newRow("location with both dates") << 0 << true << Values{}
            << Values{"2=Level 3", "7=20260201", "8=20260301"}
            << QStringList{"INSERT INTO tLocation", "(Description,StartDate,EndDate,Active)",
                           "VALUES ('Level 3','20260201','20260301',0)"};
        QTest::newRow("person, email cleared") << 1 << false << Values{"1=4", "2=Jo", "3=jo@example.com"}
            << Values{"3="} << QStringList{"UPDATE tPerson", "SET Person = 'Jo', EmailAddress = NULL", "WHERE id = 4"};
        QTest::newRow("account without batch type") << 2 << true << Values{} << Values{"2=ACC1", "5=T-9"}
            << QStringList{"INSERT INTO tValidAccountNumber", "(AccountNo,TenderNo,Active)", "VALUES ('ACC1','T-9',1)"};
        QTest::newRow("system, add") << 7 << true << Values{} << Values{"2=Billing", "3=5"}
            << QStringList{"INSERT INTO tSystem", "(System,BatchTypeID,Active,DateEntered,DateLastChanged,UserID)",
                           "VALUES ('Billing',5,1,'20260305 14:07:09','20260305 14:07:09',1)"};
        QTest::newRow("system, edit") << 7 << false << Values{"1=9", "2=Billing", "3=5"} << Values{"2=Bills"}
            << QStringList{"UPDATE tSystem",
                           "SET System = 'Bills',BatchTypeID = 5, DateLastChanged = '20260305 14:07:09', UserID = 1",
                           "WHERE id = 9"};
        QTest::newRow("transaction group, add") << 13 << true << Values{} << Values{"2=Small", "3=0.5"}
            << QStringList{"INSERT INTO tTransactionGroup", "(Description,CostRangeFrom)", "VALUES ('Small',0.5)"};
        QTest::newRow("transaction group, edit") << 13 << false << Values{"1=2", "2=Small", "3=0.5"}
            << Values{"3=", "4=100"}
            << QStringList{"UPDATE tTransactionGroup", "SET Description = 'Small', CostRangeFrom = NULL, CostRangeTo = 100",
                           "WHERE id = 2"};
        QTest::newRow("transaction type, add") << 14 << true << Values{} << Values{"2=Rental", "3=2", "5=3"}
            << QStringList{"INSERT INTO tTransactionType",
                           "(Description,TransactionGroupID,SystemID,Active,LastUpdatedBy)",
                           "VALUES ('Rental',2,3,1, 'admin')"};
        QTest::newRow("rate, add") << 15 << true << Values{}
            << Values{"2=4", "3=2.5", "5=1.2", "6=120", "9=Peak's"}
            << QStringList{"INSERT INTO tRate", "(ServiceTypeID,Cost,Cost100,Length,Active,Description,LastUpdatedBy)",
                           "VALUES (4,1.2,120,2.500,1,  'Peaks', 'admin')"};
        QTest::newRow("rate, add without length") << 15 << true << Values{} << Values{"2=4", "5=1", "6=2", "4=7"}
            << QStringList{"INSERT INTO tRate", "(ServiceTypeID,Cost,Cost100,Length,Percentage,Active,LastUpdatedBy)",
                           "VALUES (4,1,2,0.000,7,1, 'admin')"};
        QTest::newRow("rate, edit") << 15 << false << Values{"1=6", "2=4", "3=2", "5=1", "6=100"}
            << Values{"3=2.5", "5=1.2", "6=120", "4=12.3456"}
            << QStringList{"UPDATE tRate",
                           "SET ServiceTypeID = 4, Cost = 1.2, Cost100 = 120, Length = 2.5, Percentage = 12.346, "
                           "LastUpdatedBy = 'admin'",
                           "WHERE id = 6"};
        QTest::newRow("function, add") << 17 << true << Values{} << Values{"1=18", "2=Reports"}
            << QStringList{"INSERT INTO tFunction", "(ID, Description)", "VALUES (18,'Reports')"};
        QTest::newRow("program, add") << 26 << true << Values{} << Values{"1=12", "2=Loader"}
            << QStringList{"INSERT INTO tProgram", "(ID,Description)", "VALUES (12,'Loader')"};
        QTest::newRow("dubious pair, edit") << 19 << false << Values{"1=5", "3=4", "5=6"} << Values{"3=1", "5=2"}
            << QStringList{"UPDATE tDubiousValidResolution", "SET DubiousTypeID = 1,", " DubiousResolutionID = 2",
                           "WHERE ID = 5"};
        QTest::newRow("dubious pair, add") << 19 << true << Values{} << Values{"3=1", "5=2"}
            << QStringList{"INSERT INTO tDubiousValidResolution", "(DubiousTypeID,DubiousResolutionID,Active)",
                           "VALUES (1,2,1)"};
        QTest::newRow("element, add in small letters") << 5 << true << Values{}
            << Values{"2=3", "3=el1", "4=Rent", "5=7", "c1=1"}
            << QStringList{"INSERT INTO tElement",
                           "(ElementCode, CustomerID, PlatinumUpdate, LostRevenueFlag, Description, ServiceGroupID,Active)",
                           "VALUES ('EL1', 7, 1, 0, 'Rent', 3,1)"};
        QTest::newRow("element, description on its own line") << 5 << false
            << Values{"1=9", "2=3", "3=EL1", "4=Rent", "5=7", "9=4"} << Values{"4=Lease", "2=", "9=5"}
            << QStringList{"UPDATE tElement", "SET CustomerID = 7,",
                           " Description = 'Lease', ServiceGroupID = NULL, ReportGroupID = 5", "WHERE id = 9"};
        QTest::newRow("discounted rate, edit") << 25 << false << Values{"1=6", "2=10", "3=4", "5=7"} << Values{"2=12.5"}
            << QStringList{"UPDATE tDiscountedRate", "SET ServiceTypeID = 4,", " CustomerID = 7,", " Rate = 12.5",
                           "WHERE id = 6"};
        QTest::newRow("discount, add without rate") << 28 << true << Values{} << Values{"3=4", "5=7", "9=2.5"}
            << QStringList{"INSERT INTO tDiscount", "(ServiceTypeID, CustomerID, DiscountRate, Active, NonStdRevAdminFee)",
                           "VALUES (4, 7, NULL, 1, 2.5)"};
        QTest::newRow("discount, edit") << 28 << false << Values{"1=8", "2=5", "3=4", "5=7", "9=1", "10=3"}
            << Values{"2=10", "9=", "10="}
            << QStringList{"UPDATE tDiscount", "SET ServiceTypeID = 4,", " CustomerID = 7,", " DiscountRate = 10,",
                           " NonStdRevAdminFee = NULL,", " NonStdExpAdminFee = NULL", "WHERE id = 8"};
        QTest::newRow("cost range, add") << 29 << true << Values{} << Values{"3=2", "5=3", "9=0"}
            << QStringList{"INSERT INTO tCostRange", "(ValidAccountNumberID, TransactionTypeID, CostRangeFrom, CostRangeTo)",
                           "VALUES (2, 3, 0, NULL)"};
        QTest::newRow("agreement, add") << 24 << true << Values{} << Values{"2=AG-1", "3=5", "7=20260201"}
            << QStringList{"INSERT INTO tAgreement", "(AgreementNo,SupplierID,StartDate)", "VALUES ('AG-1',5,'20260201')"};
    }
    void statementLines()
    {
        QFETCH(int, code);
        QFETCH(bool, add);
        QFETCH(Values, kept);
        QFETCH(Values, typed);
        QFETCH(QStringList, lines);
        if (!add)  // the row being changed
            db->Exec("INSERT OR IGNORE INTO " + TSysEditForm::TableName(code) + " (ID) VALUES (" +
                     kept.filter(QRegularExpression("^1=")).first().mid(2) + ");");
        auto f = editor(code, add, kept);
        type(*f, typed);
        KV_EXPECT_SAVED(*f);
        QVERIFY(!f->LastStatements().isEmpty());
        QCOMPARE(f->LastStatements().first(), lines);
    }

    // Under a decimal comma an amount is read with it or with a point that
    // cannot group thousands (a grouped amount is refused); SQL and the audit
    // rows have the point. An amount left as the page filled it in is no
    // change and is not written.
    void regionalAmounts_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("add");
        QTest::addColumn<Values>("kept");
        QTest::addColumn<Values>("typed");
        QTest::addColumn<QString>("message");  // empty: saved
        QTest::addColumn<QStringList>("lines");  // saved: the row's statement
        QTest::addColumn<QStringList>("audit");  // saved: field|old|new; refused: the input and what it shows
        QTest::newRow("cost range typed with a comma") << 13 << true << Values{} << Values{"2=Small", "3=0,5"} << ""
            << QStringList{"INSERT INTO tTransactionGroup", "(Description,CostRangeFrom)", "VALUES ('Small',0.5)"}
            << QStringList{"DESCRIPTION|NULL|'Small'", "COSTRANGEFROM|NULL|'0.5'"};
        QTest::newRow("rate, one amount changed") << 15 << false
            << Values{"1=6", "2=4", "3=2,5", "4=5", "5=32,5", "6=3250"} << Values{"6=3250,75"} << ""
            << QStringList{"UPDATE tRate", "SET ServiceTypeID = 4, Cost100 = 3250.75, LastUpdatedBy = 'admin'",
                           "WHERE id = 6"}
            << QStringList{"COST100|'3250'|'3250.75'"};
        QTest::newRow("discount, fee added") << 28 << false << Values{"1=8", "2=7,5", "3=4", "5=7", "9=1,5"}
            << Values{"10=0,25"} << ""
            << QStringList{"UPDATE tDiscount", "SET ServiceTypeID = 4,", " CustomerID = 7,",
                           " NonStdExpAdminFee = 0.25", "WHERE id = 8"}
            << QStringList{"NONSTDEXPADMINFEE|'NULL'|'0.25'"};
        QTest::newRow("cost range typed with a point") << 29 << false << Values{"1=5", "3=2", "5=3", "9=-0,5", "10=250"}
            << Values{"10=300.5"} << ""
            << QStringList{"UPDATE tCostRange", "SET ValidAccountNumberID = 2,", " TransactionTypeID = 3,",
                           " CostRangeTo = 300.5", "WHERE id = 5"}
            << QStringList{"COSTRANGETO|'250'|'300.5'"};
        QTest::newRow("discounted rate untouched") << 25 << false << Values{"1=6", "2=28,5", "3=4", "5=7"} << Values{}
            << "No data changes were detected." << QStringList() << QStringList{"2", "28,5"};
        QTest::newRow("grouped amount refused") << 29 << true << Values{} << Values{"3=2", "5=3", "9=1.000,5"}
            << "CostRangeFrom error - must be a number." << QStringList() << QStringList{"9", "1.000,5"};
    }
    void regionalAmounts()
    {
        QFETCH(int, code);
        QFETCH(bool, add);
        QFETCH(Values, kept);
        QFETCH(Values, typed);
        QFETCH(QString, message);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, audit);
        kvtest::DecimalSeparator separator(',');
        audited(TSysEditForm::TableName(code));
        if (!add)
            db->Exec("INSERT INTO " + TSysEditForm::TableName(code) + " (ID) VALUES (" + kept.first().mid(2) + ");");
        auto f = editor(code, add, kept);
        type(*f, typed);
        if (!message.isEmpty()) {
            KV_EXPECT_REFUSED(*f, message);
            QCOMPARE(f->findChild<QLineEdit*>("edtEdit" + audit.first())->text(), audit.last());
            return;
        }
        KV_EXPECT_SAVED(*f);
        QCOMPARE(f->LastStatements().first(), lines);
        QStringList rows;
        for (const QString& row : db->AuditRows())
            rows << row.section('|', 4);
        QCOMPARE(rows, audit);
    }

    // ------------------------------------------------------------ round trips

    // An audited change: the row and one audit row per changed field, with
    // the id of the row the INSERT made (even with an end date, which stores
    // the row inactive, and another row of the same text); not audited: no
    // audit rows at all.
    void roundTrips_data()
    {
        QTest::addColumn<bool>("isAudited");
        QTest::newRow("audited") << true;
        QTest::newRow("not audited") << false;
    }
    void roundTrips()
    {
        QFETCH(bool, isAudited);
        if (isAudited)
            audited("tActivity");
        db->Exec("INSERT INTO tActivity (ID, Description, CustomerID, Active) VALUES (30,'Field work',8,1);");
        auto f = editor(4, true);
        type(*f, {"2=Field work", "3=7", "7=20260201", "8=20260301"});
        KV_EXPECT_SAVED(*f);
        QCOMPARE(db->Rows("SELECT ID || '|' || Description || '|' || CustomerID || '|' || ifnull(StartDate, '') || '|' "
                          "|| ifnull(EndDate, '') || '|' || Active FROM tActivity ORDER BY ID"),
                 QStringList({"30|Field work|8|||1", "31|Field work|7|20260201|20260301|0"}));
        QStringList expected;
        if (isAudited)
            expected = kvtest::Prefixed("admin|13|tActivity|31|",
                                        {"CUSTOMERID|NULL|'7'", "DESCRIPTION|NULL|'Field work'",
                                         "STARTDATE|NULL|'20260201'", "ENDDATE|NULL|'20260301'", "ACTIVE|NULL|'0'"});
        QCOMPARE(db->AuditRows(), expected);

        // Changing it back: the end date cleared reactivates the row.
        auto e = editor(4, false, {"1=31", "2=Field work", "3=7", "7=20260201", "8=20260301"});
        type(*e, {"8="});
        KV_EXPECT_SAVED(*e);
        QCOMPARE(db->Value("SELECT quote(EndDate) || '|' || Active FROM tActivity WHERE ID = 31"), QString("NULL|1"));
        if (isAudited)
            expected << "admin|11|tActivity|31|ENDDATE|'20260301'|NULL" << "admin|11|tActivity|31|ACTIVE|'0'|'1'";
        QCOMPARE(db->AuditRows(), expected);

        // Nothing changed: the UPDATE still runs, without audit rows.
        KV_EXPECT_SAVED(*editor(4, false, {"1=31", "2=Field work", "3=7", "7=20260201"}));
        QCOMPARE(db->AuditRows(), expected);
    }

    // ------------------------------------------------------------ refusals

    // Each check's message; an input a check rewrote shows what passed.
    void refusals_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("add");
        QTest::addColumn<Values>("kept");
        QTest::addColumn<Values>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("input");     // the input the check rewrote (0: none)
        QTest::addColumn<QString>("left");  // what it then shows
        QTest::newRow("entry condition") << 4 << true << Values{} << Values{"2=Work"}
            << "Incomplete data. You must complete all fields." << 0 << "";
        QTest::newRow("table without layout") << 12 << true << Values{} << Values{}
            << "Incomplete data. You must complete all fields." << 0 << "";
        QTest::newRow("reference not a number") << 4 << true << Values{} << Values{"2=Work", "3=12x"}
            << "CustomerID must be a number." << 3 << "12";
        QTest::newRow("reference missing") << 4 << true << Values{} << Values{"2=Work", "3=99"}
            << "CustomerID does not exist." << 3 << "99";
        QTest::newRow("reference too large for 32 bits") << 8 << true << Values{} << Values{"2=Sales", "3=99999999999"}
            << "GroupID must be a number." << 3 << "99999999999";
        QTest::newRow("mandatory description") << 13 << true << Values{} << Values{"3=1"}
            << "Description field is Mandatory." << 0 << "";
        QTest::newRow("cost range not a number") << 13 << true << Values{} << Values{"2=Small", "3=1,5"}
            << "CostRangeFrom must be a number." << 3 << "1";
        QTest::newRow("cost range two points") << 13 << true << Values{} << Values{"2=Small", "4=1.2.3"}
            << "CostRangeTo must be a number." << 4 << "1.2.3";
        QTest::newRow("transaction type mandatory") << 14 << true << Values{} << Values{"2=Rent", "3=2"}
            << "SystemID field is Mandatory." << 0 << "";
        QTest::newRow("unchanged description") << 27 << false << Values{"1=2", "2=Panel"} << Values{}
            << "No data changes were detected." << 0 << "";
        QTest::newRow("a description is mandatory") << 21 << true << Values{} << Values{}
            << "A Description is Mandatory." << 0 << "";
        QTest::newRow("rate cost") << 15 << true << Values{} << Values{"2=4", "5=1.2x", "6=1"}
            << "Cost must be a number." << 5 << "1.2";
        QTest::newRow("rate length") << 15 << true << Values{} << Values{"2=4", "5=1", "6=1", "3=2m"}
            << "Length must be a number." << 3 << "2";
        QTest::newRow("rate part cost") << 15 << false << Values{"1=6", "2=4", "5=1", "6=1", "10=3"}
            << Values{"10=3a"} << "PartCost must be a number." << 10 << "3";
        QTest::newRow("element service group") << 5 << true << Values{} << Values{"3=EL9", "5=7", "2=4.5"}
            << "ServiceGroupID must be a number." << 2 << "4";
        QTest::newRow("element report group") << 5 << false << Values{"1=9", "3=EL9", "5=7"} << Values{"9=x"}
            << "ReportGroupID must be a number." << 9 << "";
        QTest::newRow("function id") << 17 << true << Values{} << Values{"1=1a", "2=Reports"}
            << "ID must be a number." << 1 << "1";
        QTest::newRow("program id keeps its text") << 26 << true << Values{} << Values{"1=12a", "2=Loader"}
            << "ProgramID must be an integer." << 1 << "12a";
        QTest::newRow("dubious type") << 19 << true << Values{} << Values{"3=9", "5=2"}
            << "DubiousTypeID is an invalid number." << 0 << "";
        QTest::newRow("discount rate") << 28 << true << Values{} << Values{"3=4", "5=7", "2=5%"}
            << "Rate error - must be a number." << 2 << "5";
        QTest::newRow("discount service type left as typed") << 28 << true << Values{} << Values{"3= 44 ", "5=7"}
            << "ServiceTypeID does not exist." << 3 << " 44 ";
        QTest::newRow("discounted rate unchanged") << 25 << false << Values{"1=6", "2=1", "3=4", "5=7"} << Values{}
            << "No data changes were detected." << 0 << "";
        QTest::newRow("cost range account") << 29 << true << Values{} << Values{"3=x", "5=3"}
            << "ValidAccountNumberID error - must be a number." << 3 << "";
        const QString exists = "This Description already exists in the table. Data not saved.";
        QTest::newRow("description of another row, any case") << 27 << true << Values{} << Values{"2=panel"}
            << exists << 0 << "";
        QTest::newRow("renamed to another row's description") << 27 << false << Values{"1=1", "2=TQ11"}
            << Values{"2=Panel"} << exists << 0 << "";
        QTest::newRow("location in use, any case") << 0 << true << Values{} << Values{"2=tq11"}
            << "The \"Description\" field must be unique - try again." << 0 << "";
        QTest::newRow("element code in use") << 5 << true << Values{} << Values{"3=el1", "5=7"}
            << "The ElementCode MUST be a unique value." << 0 << "";
        QTest::newRow("element without a code given one in use") << 5 << false << Values{"1=10", "3=", "5=7"}
            << Values{"3=el1"} << "The ElementCode MUST be a unique value." << 0 << "";
        QTest::newRow("function id in use") << 17 << true << Values{} << Values{"1=14", "2=Other"}
            << "ID must be a unique number." << 0 << "";
        QTest::newRow("program id in use") << 26 << true << Values{} << Values{"1=12", "2=Other"}
            << "ProgramID already exists. It must be unique." << 0 << "";
        QTest::newRow("discounted rate pair in use") << 25 << true << Values{} << Values{"3=4", "5=7"}
            << "This combination already exists. Changes not saved." << 0 << "";
    }
    void refusals()
    {
        QFETCH(int, code);
        QFETCH(bool, add);
        QFETCH(Values, kept);
        QFETCH(Values, typed);
        QFETCH(QString, message);
        QFETCH(int, input);
        QFETCH(QString, left);
        db->Exec(kInUse);
        auto f = editor(code, add, kept);
        type(*f, typed);
        KV_EXPECT_REFUSED(*f, message);
        if (input)
            QCOMPARE(f->findChild<QLineEdit*>(QString("edtEdit%1").arg(input))->text(), left);
    }

    // ------------------------------------------------------------ mended faults

    // The wildcards of LIKE stand for themselves in the duplicate checks:
    // TQ_1 is not TQ11. A function's ID is the one typed, also in its audit
    // rows.
    void typedTextsAndIds()
    {
        db->Exec(kInUse);
        audited("tFunction");
        for (int code : {27, 0}) {
            auto f = editor(code, true);
            type(*f, {"2=TQ_1"});
            KV_EXPECT_SAVED(*f);
        }
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tAgreementType"), QString("3"));
        QCOMPARE(db->Rows("SELECT Description FROM tLocation ORDER BY ID"), QStringList({"TQ11", "TQ_1"}));
        auto p = editor(17, true);
        type(*p, {"1=40", "2=O'Brien's reports"});
        KV_EXPECT_SAVED(*p);
        QCOMPARE(db->Value("SELECT Description FROM tFunction WHERE ID = 40"), QString("O'Brien's reports"));
        QCOMPARE(db->AuditRows(), QStringList({"admin|13|tFunction|40|DESCRIPTION|NULL|'O''Brien''s reports'"}));
    }

    // An edit of a row that is not in the table (removed meanwhile) is
    // refused: no audit row claims the change, the window stays open.
    void editOfAMissingRow()
    {
        audited("tDestination");
        auto f = editor(10, false, {"1=99", "2=Perth"}, true);
        type(*f, {"2=Darwin"});
        QCOMPARE(kvtest::Click(*f), QStringList({"Another operator changed this row after you opened it: it is no "
                                                 "longer in the table. Nothing was saved; close the editor and open "
                                                 "the row again."}));
        QVERIFY(f->result() != mrOk);
        QVERIFY(!f->Wrote());
        QCOMPARE(db->AuditRows(), QStringList());
    }

    // A description changed to a text with apostrophes is stored exactly as
    // typed, on every table whose edit writes one (the rate's description
    // alone drops its apostrophes).
    void descriptionsWithApostrophes_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<Values>("kept");  // besides the id 50
        QTest::addColumn<int>("input");    // the description's input
        for (int code : {0, 10, 11, 13, 16, 17, 20, 21, 22, 23, 26, 27})
            QTest::newRow(qPrintable(TSysEditForm::TableName(code))) << code << Values{"2=Old"} << 2;
        const QList<QPair<int, QString>> references = {{3, "2"}, {4, "7"}, {6, "7"}, {8, "3"}, {9, "7"}};
        for (const auto& [code, reference] : references)
            QTest::newRow(qPrintable(TSysEditForm::TableName(code))) << code << Values{"2=Old", "3=" + reference} << 2;
        QTest::newRow("tTransactionType") << 14 << Values{"2=Old", "3=2", "5=3"} << 2;
        QTest::newRow("tElement") << 5 << Values{"3=EL5", "4=Old", "5=7"} << 4;
    }
    void descriptionsWithApostrophes()
    {
        QFETCH(int, code);
        QFETCH(Values, kept);
        QFETCH(int, input);
        const QString table = TSysEditForm::TableName(code);
        db->Exec("INSERT INTO " + table + " (ID, Description) VALUES (50,'Old');");
        auto f = editor(code, false, Values{"1=50"} + kept);
        const QString typed = "O'Brien's 'quoted'' line";
        type(*f, {QString("%1=%2").arg(input).arg(typed)});
        KV_EXPECT_SAVED(*f);
        QCOMPARE(db->Value("SELECT Description FROM " + table + " WHERE ID = 50"), typed);
    }

    // What an edit stores and audits: an end date set where there was none
    // or changed, an element's group ids changed or cleared, and the fields
    // an operator clears stored as NULL.
    void editRowsAndAudits_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("row");  // the row being changed, id 31
        QTest::addColumn<Values>("kept");
        QTest::addColumn<Values>("typed");
        QTest::addColumn<QString>("stored");  // an expression over the row
        QTest::addColumn<QString>("value");   // what it gives after the save
        QTest::addColumn<QStringList>("audit");  // field|old|new
        const QString activity = "INSERT INTO tActivity (ID, Description, CustomerID, StartDate, EndDate, Active) "
                                 "VALUES (31,'Field work',7,'20250101',%1)";
        const Values keptActivity{"1=31", "2=Field work", "3=7", "7=20250101"};
        const QString ended = "quote(EndDate) || '|' || Active";
        QTest::newRow("end date set") << 4 << activity.arg("NULL,1") << keptActivity << Values{"8=20260131"}
            << ended << "'20260131'|0" << QStringList{"ENDDATE|NULL|'20260131'", "ACTIVE|'1'|'0'"};
        QTest::newRow("end date changed") << 4 << activity.arg("'20251231',0") << keptActivity + Values{"8=20251231"}
            << Values{"8=20260131"} << ended << "'20260131'|0" << QStringList{"ENDDATE|'20251231'|'20260131'"};
        const QString element = "INSERT INTO tElement (ID, ElementCode, CustomerID, ServiceGroupID, ReportGroupID) "
                                "VALUES (31,'EL1',7,3,4)";
        const Values keptElement{"1=31", "2=3", "3=EL1", "5=7", "9=4"};
        QTest::newRow("report group changed") << 5 << element << keptElement << Values{"9=5"} << "ReportGroupID" << "5"
            << QStringList{"REPORTGROUPID|'4'|'5'"};
        QTest::newRow("service group cleared") << 5 << element << keptElement << Values{"2="}
            << "quote(ServiceGroupID)" << "NULL" << QStringList{"SERVICEGROUPID|'3'|NULL"};
        const QString rate = "INSERT INTO tRate (ID, ServiceTypeID, Length, Cost, Cost100, Description, PartCost) "
                             "VALUES (31,4,0,1,100,'Peak',2.5)";
        const Values keptRate{"1=31", "2=4", "3=0", "5=1", "6=100", "9=Peak", "10=2.5"};
        QTest::newRow("rate description cleared") << 15 << rate << keptRate << Values{"9="} << "quote(Description)"
            << "NULL" << QStringList{"DESCRIPTION|'Peak'|NULL"};
        QTest::newRow("rate part cost cleared") << 15 << rate << keptRate << Values{"10="} << "quote(PartCost)"
            << "NULL" << QStringList{"PARTCOST|'2.5'|NULL"};
        QTest::newRow("rate description with apostrophes left as stored")
            << 15 << "INSERT INTO tRate (ID, ServiceTypeID, Length, Cost, Cost100, Description) "
                     "VALUES (31,4,0,1,100,'O''Neil''s peak')"
            << Values{"1=31", "2=4", "3=0", "5=1", "6=100", "9=O'Neil's peak"} << Values{"5=2"} << "Description"
            << "O'Neil's peak" << QStringList{"COST|'1'|'2'"};
        const QString long40010 = QString("Level ").repeated(6669).left(40010);
        QTest::newRow("40,010-character location, End and Backspace")
            << 0 << "INSERT INTO tLocation (ID, Description) VALUES (31,'" + long40010 + "')"
            << Values{"1=31", "2=" + long40010} << Values{"2=\b"} << "length(Description)" << "40009"
            << QStringList{"DESCRIPTION|'" + long40010 + "'|'" + long40010.left(40009) + "'"};
        QTest::newRow("tender number cleared") << 2
            << "INSERT INTO tValidAccountNumber (ID, AccountNo, TenderNo) VALUES (31,'ACC3','T-9')"
            << Values{"1=31", "2=ACC3", "5=T-9"} << Values{"5="} << "quote(TenderNo)" << "NULL"
            << QStringList{"TENDERNO|'T-9'|NULL"};
    }
    void editRowsAndAudits()
    {
        QFETCH(int, code);
        QFETCH(QString, row);
        QFETCH(Values, kept);
        QFETCH(Values, typed);
        QFETCH(QString, stored);
        QFETCH(QString, value);
        QFETCH(QStringList, audit);
        const QString table = TSysEditForm::TableName(code);
        audited(table);
        db->Exec(row + ";");
        auto f = editor(code, false, kept);
        type(*f, typed);
        KV_EXPECT_SAVED(*f);
        QCOMPARE(db->Value("SELECT " + stored + " FROM " + table + " WHERE ID = 31"), value);
        QCOMPARE(db->AuditRows(), kvtest::Prefixed("admin|11|" + table + "|31|", audit));
    }

    // Two discount rows with the same service type and customer: the edit
    // changes the one opened.
    void discountEditTouchesOneRow()
    {
        db->Exec("INSERT INTO tDiscount (ID, ServiceTypeID, CustomerID, DiscountRate) VALUES (1,4,7,5),(2,4,7,6);");
        auto f = editor(28, false, {"1=2", "2=6", "3=4", "5=7"});
        type(*f, {"2=9", "5=8"});
        KV_EXPECT_SAVED(*f);
        QCOMPARE(db->Rows("SELECT ID || '|' || CustomerID || '|' || DiscountRate FROM tDiscount ORDER BY ID"),
                 QStringList({"1|7|5.0", "2|8|9.0"}));
    }

    // Adding a dubious pair that exists: refused when active, reactivated
    // (and said so) when not; the main window hears of the write either way.
    void dubiousPairAgain()
    {
        audited("tDubiousValidResolution");
        db->Exec("INSERT INTO tDubiousValidResolution (ID, DubiousTypeID, DubiousResolutionID, Active) VALUES "
                 "(5,1,2,1),(6,4,6,0);");
        auto f = editor(19, true);
        type(*f, {"3=1", "5=2"});
        KV_EXPECT_REFUSED(*f, "This combination already exists. Changes not saved.");
        QVERIFY(!f->Wrote());
        type(*f, {"3=4", "5=6"});
        kvtest::MessageRecorder boxes;
        f->btnOkClick();
        QCOMPARE(boxes.Texts(), QStringList({"This combination already existed and has been reactivated."}));
        QCOMPARE(boxes.Boxes().last().Type, mtInformation);
        QVERIFY(f->result() != mrOk);
        QVERIFY(f->Wrote());
        QCOMPARE(db->Rows("SELECT ID || '|' || Active FROM tDubiousValidResolution"), QStringList({"5|1", "6|1"}));
        QCOMPARE(db->AuditRows(), QStringList({"admin|11|tDubiousValidResolution|6|ACTIVE|'0'|'1'"}));
    }

    // A date counts as empty by the date edit's own test, whatever the
    // separator; a text that is no date is refused, not stored.
    void dateInputs()
    {
        auto f = editor(0, true);
        type(*f, {"2=Annex", "7=  -  -    "});
        KV_EXPECT_SAVED(*f);
        QCOMPARE(f->LastStatements().first().at(1), QString("(Description,Active)"));

        auto g = editor(0, true);
        type(*g, {"2=Basement", "7=31/02/2026"});
        const QStringList boxes = kvtest::Click(*g);
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes.first().contains("31/02/2026"));
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tLocation"), QString("1"));
    }

    // A location's description reaches the table exactly as typed, or the
    // save is refused with the program's own message, naming the input by
    // its label, before anything is written: through the SQLite ODBC driver
    // characters beyond the Basic Multilingual Plane are not carried, nor a
    // leading U+FEFF or U+FFFE. On edit and on add; the other rows and
    // columns stay as they were, and the audit rows tell only what was
    // saved.
    void textsOnEveryRoute_data()
    {
        QTest::addColumn<bool>("odbc");
        QTest::addColumn<bool>("add");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("carried");
        const QStringList beyond = {"🐧", "𝄞 clef", "😀", "👨‍👩‍👧", "x🐧, Active = 0 --", "🐧 OR 1=1 --",
                                    "x🐧, Description = (SELECT group_concat(UserLogin || Password) FROM tUser) --"};
        const QStringList within = {"Crème brûlée à Zürich", "北京\u00A0office ħ'€"};
        // Through ODBC Qt reads a text starting with U+FEFF without it, and
        // one starting with U+FFFE byte-swapped.
        const QStringList marked = {QChar(0xFEFF) + QString("north"), QChar(0xFFFE) + QString("abc")};
        for (const bool odbc : {false, true})
            for (const bool add : {false, true})
                for (const QString& typed : beyond + within + marked)
                    QTest::addRow("%s, %s: %s", odbc ? "through ODBC" : "SQLite file", add ? "add" : "edit",
                                  qPrintable(typed))
                        << odbc << add << typed << (!odbc || within.contains(typed));
    }
    void textsOnEveryRoute()
    {
        QFETCH(bool, odbc);
        QFETCH(bool, add);
        QFETCH(QString, typed);
        QFETCH(bool, carried);
        db.reset();
        kvtest::TestDatabase file(true, odbc ? "dbFile" : "dbKVdata");
        file.Exec("INSERT INTO tEvent (ID, Description) VALUES (11,'Reference Update'),(13,'Reference Insert');"
                  "INSERT INTO tAudit (\"Table\") VALUES ('tLocation');"
                  "INSERT INTO tUser (ID, UserLogin, Password) VALUES (1,'admin','Secret');"
                  "INSERT INTO tLocation (ID, Description, StartDate, Active) VALUES (3,'TQ11','20260101',1),"
                  "(4,'Other','20260101',1);");
        std::unique_ptr<kvtest::OdbcDataSource> source;
        std::unique_ptr<TDatabase> viaOdbc;
        if (odbc) {
            source = std::make_unique<kvtest::OdbcDataSource>("kvtexts", file.File());
            if (!source->Available())
                QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
            viaOdbc = source->Connect("dbKVdata");
        }
        const QString rows = "SELECT ID || '|' || hex(Description) || '|' || ifnull(StartDate, '') || '|' || "
                             "ifnull(EndDate, '') || '|' || Active FROM tLocation ORDER BY ID";
        QStringList expected = file.Rows(rows);
        const QString hex = typed.toUtf8().toHex().toUpper();
        auto f = add ? editor(0, true) : editor(0, false, {"1=3", "2=TQ11", "7=20260101"});
        type(*f, {"2=" + typed});
        QCOMPARE(f->edtEdit2->text(), typed);
        const QStringList boxes = kvtest::Click(*f);
        if (!carried) {
            QCOMPARE(boxes.size(), 1);
            QVERIFY2(boxes.first().startsWith("Location holds the character ") &&
                         boxes.first().contains("data source kvtexts cannot take as typed"),
                     qPrintable(boxes.first()));
            QCOMPARE(file.Rows(rows), expected);
            QCOMPARE(file.AuditRows(), QStringList());
            return;
        }
        QCOMPARE(boxes.join("#"), QString());
        if (add)
            QCOMPARE(file.Value("SELECT hex(Description) FROM tLocation WHERE ID = 5"), hex);
        else
            expected[0] = "3|" + hex + "|" + expected[0].section('|', 2);
        QCOMPARE(file.Rows(rows).mid(0, 2), expected);
        QCOMPARE(file.AuditRows().filter("|DESCRIPTION|"),
                 QStringList(QString("admin|%1|DESCRIPTION|%2|'%3'")
                                 .arg(add ? "13|tLocation|5" : "11|tLocation|3", add ? "NULL" : "'TQ11'",
                                      QString(typed).replace("'", "''"))));
    }

    // Saves through the ODBC route (to SQLite through its ODBC driver): the
    // row, audit rows naming the id the INSERT gave, then a change of it.
    void saveThroughOdbc()
    {
        db.reset();
        kvtest::TestDatabase file(true, "dbFile");
        file.Exec("INSERT INTO tEvent (ID, Description) VALUES (11,'Reference Update'),(13,'Reference Insert');"
                  "INSERT INTO tCustomer (ID, ShipTo) VALUES (7,'ACME');"
                  "INSERT INTO tAudit (\"Table\") VALUES ('tGroup');"
                  "INSERT INTO tGroup (ID, Description, CustomerID) VALUES (40,'Sales',7);");
        kvtest::OdbcDataSource source("kvsave", file.File());
        if (!source.Available())
            QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
        auto odbc = source.Connect("dbKVdata");
        QVERIFY(!odbc->IsEmbedded());
        auto f = editor(9, true);
        type(*f, {"2=Sales", "3=7", "7=20260201"});
        KV_EXPECT_SAVED(*f);
        // A change finds its row by the id; one whose row is not there is
        // refused.
        auto e = editor(9, false, {"1=41", "2=Sales", "3=7", "7=20260201"});
        type(*e, {"2=Sales east"});
        KV_EXPECT_SAVED(*e);
        auto gone = editor(9, false, {"1=99", "2=Sales", "3=7"});
        const QStringList refused{"Another operator changed this row after you opened it: it is no longer in the "
                                  "table. Nothing was saved; close the editor and open the row again."};
        QCOMPARE(kvtest::Click(*gone), refused);
        f.reset();
        e.reset();
        gone.reset();
        odbc.reset();
        QCOMPARE(file.Rows("SELECT ID || '|' || Description || '|' || ifnull(StartDate, '') FROM tGroup ORDER BY ID"),
                 QStringList({"40|Sales|", "41|Sales east|20260201"}));
        QCOMPARE(file.AuditRows(), kvtest::Prefixed("admin|13|tGroup|41|",
                                                    {"CUSTOMERID|NULL|'7'", "DESCRIPTION|NULL|'Sales'",
                                                     "STARTDATE|NULL|'20260201'", "ACTIVE|NULL|'1'"})
                                       << "admin|11|tGroup|41|DESCRIPTION|'Sales'|'Sales east'");
    }
};

KV_TEST_MAIN(TestSysEdit)
#include "tst_sysedit.moc"
