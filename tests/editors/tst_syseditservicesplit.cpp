#include "EditorSupport.h"
#include "SysEditServiceSplit.h"
#include <QAbstractItemView>
#include <QWheelEvent>

// The service split editor: the services it offers, the split rows it loads,
// the checks every row passes before any is written (customers, whole
// shares, totals of 100), and the rows and audit rows it writes, all in one
// transaction.
namespace {

// A line as "ShipTo rent calls other": "-" leaves an input as it is, "_"
// erases it.
void enter(TSplitForm& f, int row, const QString& line)
{
    const QStringList parts = line.split(' ');
    const QStringList inputs = {"cbShipTo", "edtRent", "edtCalls", "edtOther"};
    for (int i = 0; i < parts.size(); ++i)
        if (parts[i] != "-")
            kvtest::Enter(f, {inputs[i] + QString::number(row) + "=" + (parts[i] == "_" ? QString() : parts[i])});
}

// Presses keys in a ShipTo row as the operator does, with the row in focus:
// key names ("Return", "Alt+Down"), each to the row or to its list while
// that is dropped down; "wheel" turns the mouse wheel over the row, "leave"
// moves the focus to the row's Rent share.
void press(TSplitForm& f, int row, const QString& keys)
{
    TLookupCombo* combo = f.cbShipTo[row - 1];
    f.show();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    combo->setFocus();
    for (const QString& key : keys.split(' ')) {
        if (key == "leave") {
            f.edtRent[row - 1]->setFocus();
        } else if (key == "wheel") {
            const QPointF at(combo->rect().center());
            QWheelEvent wheel(at, combo->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(combo, &wheel);
        } else {
            const QKeyCombination k = QKeySequence(key)[0];
            QWidget* target = combo->view()->isVisible() ? static_cast<QWidget*>(combo->view()) : combo;
            QTest::keyClick(target, k.key(), k.keyboardModifiers());
        }
    }
}

}  // namespace

class TestSysEditServiceSplit : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

    // The editor as the main window leaves it: the mode, the service, the
    // mode again.
    static std::unique_ptr<TSplitForm> editor(bool add, int service)
    {
        auto f = std::make_unique<TSplitForm>();
        f->SetAppendMode(add);
        if (service)
            f->SetServiceID(service);
        f->SetAppendMode(add);
        return f;
    }
    // Service 4 split between `customer` (split row 8) and B (row 9); a
    // customer 17 without a ShipTo.
    void splitOffFile(const QString& customer)
    {
        db->Exec("INSERT INTO tCustomer (ID, ShipTo, Active) VALUES (17, '  ', 1);"
                 "INSERT INTO tServiceSplit (ID, ServiceID, CustomerID, CallPercentage, RentPercentage, "
                 "OtherPercentage, Active) VALUES (8, 4, " + customer + ", 50, 50, 50, 1), (9, 4, 13, 50, 50, 50, 1)");
    }
    QStringList rows(const QString& where) const
    {
        return db->Rows("SELECT ID || ' ' || ServiceID || ' ' || ifnull(CustomerID,'-') || ' ' || ifnull(RentPercentage,'-') || "
                        "' ' || ifnull(CallPercentage,'-') || ' ' || ifnull(OtherPercentage,'-') || ' ' || Active "
                        "FROM tServiceSplit WHERE " + where + " ORDER BY ID");
    }

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init()
    {
        db = kvtest::EditorDatabase(
            {"tServiceSplit"},
            // In ShipTo order for the database "A-1" comes before "A_1"; the
            // lists sort them the other way round.
            "INSERT INTO tCustomer (ID, ShipTo, Active) VALUES (11,'A-1',1),(12,'A_1',1),(13,'B',1),"
            "(14,'c',1),(15,'Old',0),(16,'D',1);"
            "INSERT INTO tServiceID (ID, ServiceID, Description, Active) VALUES "
            "(1,'0299001001','Shared PABX',1),(2,'0299001002','Freecall shared',1),"
            "(3,'0299001003','Unsplit line',1),(4,'0299001004','Another line',1),"
            "(5,'0299001005','Gone',0),(6,'0299001006','All retired',1),(7,'0299001007','Rent and calls',1);"
            "INSERT INTO tServiceSplit (ID, ServiceID, CustomerID, CallPercentage, RentPercentage, "
            "OtherPercentage, Active) VALUES (1,1,11,50,50,50,1),(2,1,13,50,50,50,1),(3,2,15,100,100,100,1),"
            "(4,6,14,100,100,100,0),(5,7,11,100,100,0,1),(6,7,13,0,0,100,1)",
            "demo");
    }
    void cleanup() { db.reset(); }

    // Adding offers the services without active split rows, editing those
    // with them (once each); the customer lists are sorted, each item with
    // its own customer's id.
    void lists()
    {
        auto add = editor(true, 0);
        QCOMPARE(add->windowTitle(), QString("SplitForm (ADD)"));
        QCOMPARE(kvtest::Items(add->cbServiceID), QStringList({"3 0299001003", "4 0299001004", "6 0299001006"}));
        QVERIFY(add->cbServiceID->isEnabled());
        QCOMPARE(kvtest::Items(add->cbShipTo[0]), QStringList({"12 A_1", "11 A-1", "13 B", "14 c", "16 D"}));

        auto edit = editor(false, 1);
        QCOMPARE(edit->windowTitle(), QString("SplitForm (EDIT)"));
        QCOMPARE(kvtest::Items(edit->cbServiceID), QStringList({"1 0299001001", "2 0299001002", "7 0299001007"}));
        QVERIFY(!edit->cbServiceID->isEnabled());
        QCOMPARE(edit->cbServiceID->currentText(), QString("0299001001"));
        QCOMPARE(edit->dbedtServiceDescription->text(), QString("Shared PABX"));
    }

    // Adding: one INSERT per line with a customer and a share, in one
    // transaction; the customer is the one whose item was chosen, whatever
    // the order of the database's list. Without a service nothing is added.
    void addRoundTrip()
    {
        auto f = editor(true, 0);
        enter(*f, 1, "A_1 100 100 100");
        KV_EXPECT_REFUSED(*f, "A ServiceID MUST be chosen.");
        kvtest::Enter(*f, {"cbServiceID=0299001003"});
        QCOMPARE(f->dbedtServiceDescription->text(), QString("Unsplit line"));
        enter(*f, 1, "- 60 50 40");
        enter(*f, 2, "B");  // a customer without shares: not written
        enter(*f, 4, "c 40 50 60");
        KV_EXPECT_SAVED(*f);
        const QString columns = "(ServiceID,CustomerID,CallPercentage,RentPercentage,OtherPercentage,Active)";
        const QVector<QStringList> expected{{"INSERT INTO tServiceSplit", columns, "VALUES (3,12,50,60,40,1)"},
                                            {"INSERT INTO tServiceSplit", columns, "VALUES (3,14,50,40,60,1)"}};
        QCOMPARE(kvtest::RowStatements(*f), expected);
        QCOMPARE(rows("ServiceID = 3"), QStringList({"7 3 12 60 50 40 1", "8 3 14 40 50 60 1"}));
        QCOMPARE(db->AuditRows(), kvtest::Prefixed("demo|13|tServiceSplit|7|",
                                                   {"CUSTOMERID|NULL|'12'", "CALLPERCENTAGE|NULL|'50'",
                                                    "RENTPERCENTAGE|NULL|'60'", "OTHERPERCENTAGE|NULL|'40'"}) +
                                      kvtest::Prefixed("demo|13|tServiceSplit|8|",
                                                       {"CUSTOMERID|NULL|'14'", "CALLPERCENTAGE|NULL|'50'",
                                                        "RENTPERCENTAGE|NULL|'40'", "OTHERPERCENTAGE|NULL|'60'"}));
    }

    // Every line is checked before anything is written.
    void checks_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");  // "input=text" after the check
        const QString totals = "Integer totals are not 100. Please review your data.";
        QTest::newRow("99") << QStringList{"A_1 99 100 100"} << totals << "";
        QTest::newRow("100") << QStringList{"A_1 100 100 100"} << "" << "";
        QTest::newRow("101") << QStringList{"A_1 50 100 100", "B 51 _ _"} << totals << "";
        QTest::newRow("negative") << QStringList{"A_1 100 100 100", "B 10 -10 _"}
                                  << "Whole integers only. Calls2 adjusted. Save aborted." << "edtCalls2=";
        QTest::newRow("not a number") << QStringList{"A_1 100 100 5O"}
                                      << "Whole integers only. Other1 adjusted. Save aborted." << "edtOther1=5";
        QTest::newRow("blank line between") << QStringList{"A_1 60 60 60", "_ _ _ _", "c 40 40 40"} << "" << "";
        QTest::newRow("shares without a customer do not count")
            << QStringList{"A_1 100 100 100", "_ 50 50 50"} << "" << "";
        QTest::newRow("unknown customer") << QStringList{"A_1 50 50 50", "Nobody 50 50 50"}
                                          << "ShipTo2 is not a known customer. Save aborted." << "";
    }
    void checks()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, message);
        QFETCH(QString, shown);
        auto f = editor(true, 3);
        for (int i = 0; i < lines.size(); ++i)
            enter(*f, i + 1, lines[i]);
        if (message.isEmpty()) {
            KV_EXPECT_SAVED(*f);
            return;
        }
        KV_EXPECT_REFUSED(*f, message);
        QCOMPARE(rows("ServiceID = 3"), QStringList());
        if (!shown.isEmpty())
            QCOMPARE(f->findChild<QLineEdit*>(shown.section('=', 0, 0))->text(), shown.section('=', 1));
    }

    // Editing: each changed row on one SET line (customer, then the shares);
    // a cleared customer retires its row; a customer typed into a blank line
    // is a new row.
    void editRoundTrip()
    {
        auto f = editor(false, 1);
        enter(*f, 1, "D 60 - 40");
        enter(*f, 2, "_");
        enter(*f, 3, "c 40 50 60");
        KV_EXPECT_SAVED(*f);
        const QVector<QStringList> expected{
            {"UPDATE tServiceSplit", "SET CustomerID = 16,RentPercentage = 60,OtherPercentage = 40", "WHERE ID = 1"},
            {"UPDATE tServiceSplit", "SET Active = 0", "WHERE ID = 2"},
            {"INSERT INTO tServiceSplit", "(ServiceID,CustomerID,CallPercentage,RentPercentage,OtherPercentage,Active)",
             "VALUES (1,14,50,40,60,1)"}};
        QCOMPARE(kvtest::RowStatements(*f), expected);
        QCOMPARE(rows("ServiceID = 1"), QStringList({"1 1 16 60 50 40 1", "2 1 13 50 50 50 0", "7 1 14 40 50 60 1"}));
        QCOMPARE(db->AuditRows(),
                 QStringList({"demo|11|tServiceSplit|1|CUSTOMERID|'11'|'16'", "demo|11|tServiceSplit|1|RENTPERCENTAGE|'50'|'60'",
                              "demo|11|tServiceSplit|1|OTHERPERCENTAGE|'50'|'40'", "demo|11|tServiceSplit|2|ACTIVE|'1'|'0'"}) +
                     kvtest::Prefixed("demo|13|tServiceSplit|7|",
                                      {"CUSTOMERID|NULL|'14'", "CALLPERCENTAGE|NULL|'50'", "RENTPERCENTAGE|NULL|'40'",
                                       "OTHERPERCENTAGE|NULL|'60'"}));
    }

    // A bad line after good ones, or a failure while writing, leaves every
    // stored split as it was; Cancel only closes.
    void nothingHalfWritten()
    {
        auto f = editor(false, 1);
        enter(*f, 1, "- 40 - -");
        enter(*f, 2, "- 6O - -");
        KV_EXPECT_REFUSED(*f, "Whole integers only. Rent2 adjusted. Save aborted.");
        QCOMPARE(f->edtRent[1]->text(), QString("6"));

        db->Exec("CREATE TRIGGER refuse BEFORE UPDATE ON tServiceSplit WHEN OLD.ID = 2 "
                 "BEGIN SELECT RAISE(ABORT, 'split 2 is locked'); END;");
        enter(*f, 2, "- 60 - -");
        const QStringList boxes = kvtest::Click(*f);
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes.first().contains("split 2 is locked"));
        QVERIFY(f->result() != mrOk);
        QCOMPARE(kvtest::Click(*f, "btnCancel"), QStringList());
        QCOMPARE(f->result(), int(mrCancel));
        QCOMPARE(rows("ServiceID = 1"), QStringList({"1 1 11 50 50 50 1", "2 1 13 50 50 50 1"}));
        QCOMPARE(db->AuditRows(), QStringList());
    }

    // When the engine itself rolls a save back (a trigger on the audit
    // trail), the save is reported failed and leaves nothing. Every save
    // after it on the same connection is whole and reported as it went:
    // written with its audit rows, or refused with nothing left, also when
    // the refusal comes after its rows were written. On a SQLite file and
    // through ODBC alike.
    void wholeAfterTheEngineRolledBack_data()
    {
        QTest::addColumn<bool>("odbc");
        QTest::newRow("SQLite file") << false;
        QTest::newRow("through ODBC") << true;
    }
    void wholeAfterTheEngineRolledBack()
    {
        QFETCH(bool, odbc);
        std::unique_ptr<kvtest::OdbcDataSource> dsn;
        std::unique_ptr<TDatabase> viaOdbc;
        if (odbc) {
            db->Db()->DatabaseName = "dbFile";
            dsn = std::make_unique<kvtest::OdbcDataSource>("kvsplit", db->File());
            if (!dsn->Available())
                QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
            viaOdbc = dsn->Connect("dbKVdata");
        }
        db->Exec("CREATE TRIGGER auditFull BEFORE INSERT ON tAuditTrail WHEN NEW.NewValue = '77' "
                 "BEGIN SELECT RAISE(ROLLBACK, 'the audit trail is full'); END;");
        const QString all = "ID > 0";
        const QStringList untouched = rows(all);

        auto f = editor(false, 1);
        enter(*f, 1, "- 77 - -");
        enter(*f, 2, "- 23 - -");
        const QStringList failed = kvtest::Click(*f);
        QCOMPARE(failed.size(), 1);
        QVERIFY2(failed.first().contains("the audit trail is full"), qPrintable(failed.first()));
        QVERIFY(f->result() != mrOk);
        QCOMPARE(rows(all), untouched);
        QCOMPARE(db->AuditRows(), QStringList());

        enter(*f, 1, "- 60 - -");
        enter(*f, 2, "- 40 - -");
        KV_EXPECT_SAVED(*f);
        QStringList audit = {"demo|11|tServiceSplit|1|RENTPERCENTAGE|'50'|'60'",
                             "demo|11|tServiceSplit|2|RENTPERCENTAGE|'50'|'40'"};
        QCOMPARE(rows("ServiceID = 1"), QStringList({"1 1 11 60 50 50 1", "2 1 13 40 50 50 1"}));
        QCOMPARE(db->AuditRows(), audit);

        auto a = editor(true, 0);
        kvtest::Enter(*a, {"cbServiceID=0299001003"});
        enter(*a, 1, "B 100 100 100");
        KV_EXPECT_SAVED(*a);
        audit << kvtest::Prefixed("demo|13|tServiceSplit|7|", {"CUSTOMERID|NULL|'13'", "CALLPERCENTAGE|NULL|'100'",
                                                               "RENTPERCENTAGE|NULL|'100'",
                                                               "OTHERPERCENTAGE|NULL|'100'"});
        QCOMPARE(rows("ServiceID = 3"), QStringList({"7 3 13 100 100 100 1"}));
        QCOMPARE(db->AuditRows(), audit);

        // Refused by the stored totals after its rows were written: another
        // operator added a share meanwhile.
        auto g = editor(false, 7);
        enter(*g, 1, "- 90 - -");
        enter(*g, 2, "- 10 - -");
        db->Exec("INSERT INTO tServiceSplit (ID, ServiceID, CustomerID, CallPercentage, RentPercentage, "
                 "OtherPercentage, Active) VALUES (20, 7, 16, 0, 5, 0, 1)");
        const QStringList before = rows(all);
        QCOMPARE(kvtest::Click(*g), QStringList{"Integer totals are not 100. Please review your data."});
        QVERIFY(g->result() != mrOk);
        QCOMPARE(rows(all), before);
        QCOMPARE(db->AuditRows(), audit);

        db->Exec("DELETE FROM tServiceSplit WHERE ID = 20");
        KV_EXPECT_SAVED(*g);
        audit << "demo|11|tServiceSplit|5|RENTPERCENTAGE|'100'|'90'"
              << "demo|11|tServiceSplit|6|RENTPERCENTAGE|'0'|'10'";
        QCOMPARE(rows("ServiceID = 7"), QStringList({"5 7 11 90 100 0 1", "6 7 13 10 0 100 1"}));
        QCOMPARE(db->AuditRows(), audit);
    }

    // A split whose customer is no longer active shows that customer, counts
    // in the totals and keeps it until another is chosen; an erased share of
    // a kept row is NULL.
    void keptRows()
    {
        auto f = editor(false, 2);
        QCOMPARE(f->cbShipTo[0]->currentText(), QString("Old"));
        KV_EXPECT_SAVED(*f);
        QCOMPARE(kvtest::RowStatements(*f), QVector<QStringList>());
        f = editor(false, 2);
        enter(*f, 1, "b");
        KV_EXPECT_SAVED(*f);
        QCOMPARE(kvtest::RowStatements(*f).first(),
                 QStringList({"UPDATE tServiceSplit", "SET CustomerID = 13", "WHERE ID = 3"}));

        f = editor(false, 7);
        enter(*f, 1, "- - - _");
        KV_EXPECT_SAVED(*f);
        QCOMPARE(kvtest::RowStatements(*f).first(),
                 QStringList({"UPDATE tServiceSplit", "SET OtherPercentage = NULL", "WHERE ID = 5"}));
        QCOMPARE(rows("ID IN (3, 5)"), QStringList({"3 2 13 100 100 100 1", "5 7 11 100 100 - 1"}));
        QCOMPARE(db->AuditRows(), QStringList({"demo|11|tServiceSplit|3|CUSTOMERID|'15'|'13'",
                                               "demo|11|tServiceSplit|5|OTHERPERCENTAGE|'0'|NULL"}));
    }

    // A split row whose customer is gone, has no ShipTo or no customer at
    // all shows a text naming it, is kept as it is while left alone, counts
    // in the totals and can be retired. Such a service is listed among the
    // split ones, never among those that can be added.
    void rowsOffFile_data()
    {
        QTest::addColumn<QString>("customer");  // of split row 8
        QTest::addColumn<QString>("shown");
        QTest::newRow("customer gone") << "99" << "(customer 99)";
        QTest::newRow("customer without a ShipTo") << "17" << "(customer 17)";
        QTest::newRow("no customer") << "NULL" << "(no customer)";
    }
    void rowsOffFile()
    {
        QFETCH(QString, customer);
        QFETCH(QString, shown);
        splitOffFile(customer);
        // Copied into an addition, it gives the new row no customer.
        auto f = editor(true, 4);
        QVERIFY(!kvtest::Items(f->cbServiceID).contains("4 0299001004"));
        QCOMPARE(f->cbShipTo[0]->currentText(), shown);
        KV_EXPECT_REFUSED(*f, "ShipTo1 is not a known customer. Save aborted.");

        f = editor(false, 4);
        QVERIFY(kvtest::Items(f->cbServiceID).contains("4 0299001004"));
        QCOMPARE(f->cbShipTo[0]->currentText(), shown);
        KV_EXPECT_SAVED(*f);
        QCOMPARE(kvtest::RowStatements(*f), QVector<QStringList>());

        f = editor(false, 4);
        enter(*f, 2, "- 100 100 100");
        KV_EXPECT_REFUSED(*f, "Integer totals are not 100. Please review your data.");
        enter(*f, 1, "_");
        KV_EXPECT_SAVED(*f);
        QCOMPARE(rows("ServiceID = 4"), QStringList({"8 4 " + QString(customer == "NULL" ? "-" : customer) + " 50 50 50 0",
                                                     "9 4 13 100 100 100 1"}));
    }

    // Such a row given another customer's ShipTo takes that customer; a
    // ShipTo that is no customer's is refused.
    void rowsOffFileRetyped_data() { rowsOffFile_data(); }
    void rowsOffFileRetyped()
    {
        QFETCH(QString, customer);
        splitOffFile(customer);
        auto f = editor(false, 4);
        enter(*f, 1, "Nobody");
        KV_EXPECT_REFUSED(*f, "ShipTo1 is not a known customer. Save aborted.");
        enter(*f, 1, "D");
        KV_EXPECT_SAVED(*f);
        QCOMPARE(rows("ServiceID = 4"), QStringList({"8 4 16 50 50 50 1", "9 4 13 50 50 50 1"}));
        const QString old = customer == "NULL" ? "NULL" : "'" + customer + "'";
        QCOMPARE(db->AuditRows(), QStringList{"demo|11|tServiceSplit|8|CUSTOMERID|" + old + "|'16'"});
    }

    // A row the operator did not retype keeps its customer whatever is
    // pressed in it: a listed one, an inactive one whose ShipTo differs only
    // in letter case from an active customer's, and each of two customers
    // with the same ShipTo. Blanks typed before or after the ShipTo leave it
    // reading the same. Only a choice made in the dropped-down list, or a
    // text that reads otherwise, changes it.
    void untouchedRowsKeepTheirCustomer_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::newRow("Return") << "Return";
        QTest::newRow("Tab") << "Tab";
        QTest::newRow("the row left") << "leave";
        QTest::newRow("Down") << "Down Escape";
        QTest::newRow("Up") << "Up Escape";
        QTest::newRow("Page Down") << "PgDown Escape";
        QTest::newRow("Ctrl+Down") << "Ctrl+Down Return";
        QTest::newRow("list dropped down and closed") << "F4 Escape Return";
        QTest::newRow("list dropped down and closed with its key") << "Alt+Down Down Alt+Down leave";
        QTest::newRow("mouse wheel") << "wheel";
        QTest::newRow("a blank after") << "End Space";
        QTest::newRow("a blank after, Return") << "End Space Return";
        QTest::newRow("blanks before, the row left") << "Home Space Space leave";
        QTest::newRow("blanks both sides, Return") << "Home Space End Space Return";
    }
    void untouchedRowsKeepTheirCustomer()
    {
        QFETCH(QString, keys);
        db->Exec("INSERT INTO tCustomer (ID, ShipTo, Active) VALUES (21, 'ARTS', 0), (22, 'arts', 1), "
                 "(23, 'DUP', 1), (24, 'DUP', 1);"
                 "INSERT INTO tServiceSplit (ID, ServiceID, CustomerID, CallPercentage, RentPercentage, "
                 "OtherPercentage, Active) VALUES (8, 4, 21, 50, 50, 50, 1), (9, 4, 13, 50, 50, 50, 1), "
                 "(10, 4, 23, 0, 0, 0, 1), (11, 4, 24, 0, 0, 0, 1)");
        const QStringList before = rows("ServiceID = 4");
        const bool blanks = keys.contains("Space");
        for (int row : {1, 2, 3, 4}) {
            auto f = editor(false, 4);
            const QString shown = f->cbShipTo[row - 1]->currentText();
            QCOMPARE(shown, QStringList({"ARTS", "B", "DUP", "DUP"})[row - 1]);
            kvtest::MessageRecorder boxes;
            press(*f, row, keys);
            const QString text = f->cbShipTo[row - 1]->currentText();
            QCOMPARE(blanks ? text.trimmed() : text, shown);
            QVERIFY(blanks == (text != shown));
            if (f->isVisible())
                QTest::mouseClick(f->btnOk, Qt::LeftButton);
            QCOMPARE(boxes.Texts(), QStringList());
            QCOMPARE(f->result(), int(mrOk));
            QCOMPARE(kvtest::RowStatements(*f), QVector<QStringList>());
        }
        QCOMPARE(rows("ServiceID = 4"), before);
        QCOMPARE(db->AuditRows(), QStringList());

        // The operator's own choice in the list: the row takes that customer.
        auto f = editor(false, 4);
        press(*f, 1, "F4");
        QAbstractItemView* list = f->cbShipTo[0]->view();
        list->setCurrentIndex(list->model()->index(f->cbShipTo[0]->IndexOfID(22), 0));
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(f->cbShipTo[0]->currentText(), QString("arts"));
        KV_EXPECT_SAVED(*f);
        QCOMPARE(rows("ID = 8"), QStringList{"8 4 22 50 50 50 1"});

        // A text that reads otherwise, blanks round it or not, takes the
        // customer it names.
        f = editor(false, 4);
        kvtest::Enter(*f, {"cbShipTo3= b ", "cbShipTo2=D"});
        KV_EXPECT_SAVED(*f);
        QCOMPARE(rows("ID IN (9, 10)"), QStringList({"9 4 16 50 50 50 1", "10 4 13 0 0 0 1"}));
    }

    // A typed ShipTo names the customer with exactly that ShipTo; one that
    // differs in letter case only where no other customer's does; one that
    // matches several customers only in letter case names none. Return in
    // the row saves.
    void typedShipTo_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("customer");  // or the message
        QTest::newRow("dup of DUP and dup") << "dup" << "24";
        QTest::newRow("DUP of DUP and dup") << "DUP" << "23";
        QTest::newRow("Dup of DUP and dup") << "Dup" << "ShipTo1 is not a known customer. Save aborted.";
        QTest::newRow("arts2 of ARTS2 alone") << "arts2" << "25";
        QTest::newRow("ARTS of an inactive ARTS and an active arts") << "ARTS" << "22";
    }
    void typedShipTo()
    {
        QFETCH(QString, typed);
        QFETCH(QString, customer);
        db->Exec("INSERT INTO tCustomer (ID, ShipTo, Active) VALUES (21, 'ARTS', 0), (22, 'arts', 1), "
                 "(23, 'DUP', 1), (24, 'dup', 1), (25, 'ARTS2', 1)");
        auto f = editor(true, 3);
        enter(*f, 1, typed + " 100 100 100");
        kvtest::MessageRecorder boxes;
        press(*f, 1, "Return");
        if (customer.toInt() == 0) {
            QCOMPARE(boxes.Texts(), QStringList{customer});
            QCOMPARE(rows("ServiceID = 3"), QStringList());
            return;
        }
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(f->result(), int(mrOk));
        QCOMPARE(rows("ServiceID = 3"), QStringList{"7 3 " + customer + " 100 100 100 1"});
    }

    // A save never leaves a service's active shares off 100: the rows
    // beyond the tenth, which are not shown, count, and so do rows another
    // operator wrote while the window was open.
    void storedSharesTotal100()
    {
        // Rows 20 to 29 with 9, 10, 10; row 30 with 10, 0, 0.
        db->Exec("WITH RECURSIVE n(i) AS (SELECT 20 UNION ALL SELECT i + 1 FROM n WHERE i < 30) "
                 "INSERT INTO tServiceSplit (ID, ServiceID, CustomerID, RentPercentage, CallPercentage, "
                 "OtherPercentage, Active) SELECT i, 4, 11, 9 + (i = 30), 10 * (i < 30), 10 * (i < 30), 1 FROM n");
        auto f = editor(false, 4);
        QCOMPARE(f->edtRent[9]->text(), QString("9"));
        KV_EXPECT_SAVED(*f);  // 10 x 9 shown and 10 not shown
        f = editor(false, 4);
        enter(*f, 10, "_");
        KV_EXPECT_REFUSED(*f, "Integer totals are not 100. Please review your data.");

        f = editor(false, 1);
        enter(*f, 1, "- 60 - -");
        enter(*f, 2, "- 40 - -");
        db->Exec("INSERT INTO tServiceSplit (ServiceID, CustomerID, CallPercentage, RentPercentage, "
                 "OtherPercentage, Active) VALUES (1, 16, 0, 10, 0, 1)");
        QCOMPARE(kvtest::Click(*f), QStringList{"Integer totals are not 100. Please review your data."});
        QVERIFY(f->result() != mrOk);
        QCOMPARE(rows("ServiceID = 1 AND ID < 3"), QStringList({"1 1 11 50 50 50 1", "2 1 13 50 50 50 1"}));
    }

    // Adding from a split service: it is not offered, so the first offered
    // service is shown and the copied split is written for it.
    void addingFromTheCurrentRow()
    {
        auto f = editor(true, 1);
        QCOMPARE(f->cbServiceID->currentText(), QString("0299001003"));
        QCOMPARE(f->ServiceID(), 3);
        QCOMPARE(f->cbShipTo[1]->currentText(), QString("B"));
        KV_EXPECT_SAVED(*f);
        QCOMPARE(rows("ServiceID IN (1, 3)"), QStringList({"1 1 11 50 50 50 1", "2 1 13 50 50 50 1",
                                                            "7 3 11 50 50 50 1", "8 3 13 50 50 50 1"}));
    }
};

KV_TEST_MAIN(TestSysEditServiceSplit)
#include "tst_syseditservicesplit.moc"
