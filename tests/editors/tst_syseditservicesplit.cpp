#include "LookupCombo.h"
#include "OperatorIdentity.h"
#include "SysEditServiceSplit.h"
#include "TestSupport.h"
#include <QLineEdit>
#include <QPushButton>

// The service split editor: the services it offers, the split rows it loads,
// the checks every row passes before any is written (customers, whole
// shares, totals of 100), and the rows and audit rows it writes, all in one
// transaction.
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

// A line as "ShipTo rent calls other", "-" for an input left as it is.
void enter(TSplitForm& f, int row, const QString& line)
{
    const QStringList parts = line.split(' ');
    QWidget* inputs[] = {f.cbShipTo[row - 1]->lineEdit(), f.edtRent[row - 1], f.edtCalls[row - 1],
                         f.edtOther[row - 1]};
    for (int i = 0; i < 4 && i < parts.size(); ++i)
        if (parts[i] != "-")
            retype(inputs[i], parts[i] == "_" ? QString() : parts[i]);
}

QStringList items(const TLookupCombo* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << QString("%1 %2").arg(list->ItemID(i)).arg(list->itemText(i));
    return out;
}

QVector<QStringList> splitStatements(const TRecordEditor& f)
{
    QVector<QStringList> out;
    for (const QStringList& s : f.LastStatements())
        if (!s.first().startsWith("INSERT INTO tAuditTrail"))
            out << s;
    return out;
}

}  // namespace

class TestSysEditServiceSplit : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

    std::unique_ptr<TSplitForm> adding(int service = 0)
    {
        auto f = std::make_unique<TSplitForm>();
        f->SetAppendMode(true);
        if (service)
            f->SetServiceID(service);
        f->SetAppendMode(true);
        f->show();
        return f;
    }
    std::unique_ptr<TSplitForm> editing(int service)
    {
        auto f = std::make_unique<TSplitForm>();
        f->SetAppendMode(false);
        f->SetServiceID(service);
        f->SetAppendMode(false);
        f->show();
        return f;
    }
    QStringList rows(const QString& where = "1") const
    {
        return db->Rows("SELECT ID || ' ' || ServiceID || ' ' || CustomerID || ' ' || ifnull(RentPercentage,'-') || "
                        "' ' || ifnull(CallPercentage,'-') || ' ' || ifnull(OtherPercentage,'-') || ' ' || Active "
                        "FROM tServiceSplit WHERE " + where + " ORDER BY ID");
    }
    QStringList audit() const
    {
        return db->Rows("SELECT Action || '|' || TableID || '|' || FieldName || '|' || quote(OldValue) || '|' || "
                        "quote(NewValue) FROM tAuditTrail ORDER BY AuditID");
    }

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init()
    {
        db = std::make_unique<kvtest::TestDatabase>();
        db->Exec("BEGIN;"
                 "INSERT INTO tEvent (ID, Description) VALUES (11,'Reference Update'),(12,'Reference Delete'),"
                 "(13,'Reference Insert');"
                 "INSERT INTO tAudit (\"Table\") VALUES ('tServiceSplit');"
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
                 "(4,6,14,100,100,100,0),(5,7,11,100,100,0,1),(6,7,13,0,0,100,1);"
                 "COMMIT;");
        Operator() = TOperatorIdentity();
        Operator().OPERATORNAME = "demo";
    }
    void cleanup() { db.reset(); }

    // Adding offers the services without active split rows, editing those
    // with them (once each); the customer lists are sorted, each item with
    // its own customer's id.
    void lists()
    {
        auto add = adding();
        QCOMPARE(add->windowTitle(), QString("SplitForm (ADD)"));
        QCOMPARE(items(add->cbServiceID),
                 QStringList({"3 0299001003", "4 0299001004", "6 0299001006"}));
        QVERIFY(add->cbServiceID->isEnabled());
        QCOMPARE(items(add->cbShipTo[0]), QStringList({"12 A_1", "11 A-1", "13 B", "14 c", "16 D"}));

        auto edit = editing(1);
        QCOMPARE(edit->windowTitle(), QString("SplitForm (EDIT)"));
        QCOMPARE(items(edit->cbServiceID), QStringList({"1 0299001001", "2 0299001002", "7 0299001007"}));
        QVERIFY(!edit->cbServiceID->isEnabled());
        QCOMPARE(edit->cbServiceID->currentText(), QString("0299001001"));
        QCOMPARE(edit->dbedtServiceDescription->text(), QString("Shared PABX"));
    }

    // Adding: one INSERT per line with a customer and a share, in one
    // transaction; the customer is the one whose item was chosen, whatever
    // the order of the database's list.
    void addRoundTrip()
    {
        auto f = adding();
        f->cbServiceID->setFocus();
        QTest::keyClick(f->cbServiceID, Qt::Key_Down);
        QCOMPARE(f->dbedtServiceDescription->text(), QString("Unsplit line"));
        f->cbShipTo[0]->setCurrentIndex(0);  // "A_1", picked from the list
        enter(*f, 1, "- 60 50 40");
        enter(*f, 2, "B");  // a customer without shares: not written
        enter(*f, 4, "c 40 50 60");
        kvtest::MessageRecorder boxes;
        QTest::mouseClick(f->btnOk, Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(f->result(), int(mrOk));
        const QVector<QStringList> expected{
            {"INSERT INTO tServiceSplit", "(ServiceID,CustomerID,CallPercentage,RentPercentage,OtherPercentage,Active)",
             "VALUES (3,12,50,60,40,1)"},
            {"INSERT INTO tServiceSplit", "(ServiceID,CustomerID,CallPercentage,RentPercentage,OtherPercentage,Active)",
             "VALUES (3,14,50,40,60,1)"}};
        QCOMPARE(splitStatements(*f), expected);
        QCOMPARE(rows("ServiceID = 3"), QStringList({"7 3 12 60 50 40 1", "8 3 14 40 50 60 1"}));
        QCOMPARE(audit(), QStringList({"13|7|CUSTOMERID|NULL|'12'", "13|7|CALLPERCENTAGE|NULL|'50'",
                                       "13|7|RENTPERCENTAGE|NULL|'60'", "13|7|OTHERPERCENTAGE|NULL|'40'",
                                       "13|8|CUSTOMERID|NULL|'14'", "13|8|CALLPERCENTAGE|NULL|'50'",
                                       "13|8|RENTPERCENTAGE|NULL|'40'", "13|8|OTHERPERCENTAGE|NULL|'60'"}));
    }

    // Every line is checked before anything is written.
    void checks_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");  // "row:input=text" after the check
        const QString totals = "Integer totals are not 100. Please review your data.";
        QTest::newRow("99") << QStringList{"A_1 99 100 100"} << totals << "";
        QTest::newRow("100") << QStringList{"A_1 100 100 100"} << "" << "";
        QTest::newRow("101") << QStringList{"A_1 50 100 100", "B 51 _ _"} << totals << "";
        QTest::newRow("negative") << QStringList{"A_1 100 100 100", "B 10 -10 _"}
                                  << "Whole integers only. Calls2 adjusted. Save aborted." << "2:Calls=";
        QTest::newRow("not a number") << QStringList{"A_1 100 100 5O"}
                                      << "Whole integers only. Other1 adjusted. Save aborted." << "1:Other=5";
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
        auto f = adding(3);
        for (int i = 0; i < lines.size(); ++i)
            enter(*f, i + 1, lines[i]);
        kvtest::MessageRecorder boxes;
        f->btnOkClick();
        QCOMPARE(boxes.Texts(), message.isEmpty() ? QStringList() : QStringList({message}));
        QCOMPARE(f->result() == mrOk, message.isEmpty());
        if (!message.isEmpty()) {
            QCOMPARE(boxes.Boxes().first().Type, mtWarning);
            QCOMPARE(rows("ServiceID = 3"), QStringList());
        }
        if (!shown.isEmpty()) {
            const int row = shown.section(':', 0, 0).toInt();
            const QString input = shown.section(':', 1).section('=', 0, 0);
            QLineEdit* e = input == "Rent" ? f->edtRent[row - 1] : input == "Calls" ? f->edtCalls[row - 1]
                                                                                    : f->edtOther[row - 1];
            QCOMPARE(e->text(), shown.section('=', 1));
        }
    }

    // Editing: each changed row on one SET line (customer, then the shares);
    // a cleared customer retires its row; a customer typed into a blank line
    // is a new row.
    void editRoundTrip()
    {
        auto f = editing(1);
        enter(*f, 1, "D 60 - 40");
        enter(*f, 2, "_");
        enter(*f, 3, "c 40 50 60");
        kvtest::MessageRecorder boxes;
        QTest::mouseClick(f->btnOk, Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(f->result(), int(mrOk));
        const QVector<QStringList> expected{
            {"UPDATE tServiceSplit", "SET CustomerID = 16,RentPercentage = 60,OtherPercentage = 40", "WHERE ID = 1"},
            {"UPDATE tServiceSplit", "SET Active = 0", "WHERE ID = 2"},
            {"INSERT INTO tServiceSplit", "(ServiceID,CustomerID,CallPercentage,RentPercentage,OtherPercentage,Active)",
             "VALUES (1,14,50,40,60,1)"}};
        QCOMPARE(splitStatements(*f), expected);
        QCOMPARE(rows("ServiceID = 1"), QStringList({"1 1 16 60 50 40 1", "2 1 13 50 50 50 0", "7 1 14 40 50 60 1"}));
        QCOMPARE(audit(), QStringList({"11|1|CUSTOMERID|'11'|'16'", "11|1|RENTPERCENTAGE|'50'|'60'",
                                       "11|1|OTHERPERCENTAGE|'50'|'40'", "11|2|ACTIVE|'1'|'0'",
                                       "13|7|CUSTOMERID|NULL|'14'", "13|7|CALLPERCENTAGE|NULL|'50'",
                                       "13|7|RENTPERCENTAGE|NULL|'40'", "13|7|OTHERPERCENTAGE|NULL|'60'"}));
    }

    // A bad line after good ones, or a failure while writing, leaves every
    // stored split as it was.
    void nothingHalfWritten()
    {
        auto f = editing(1);
        enter(*f, 1, "- 40 - -");
        enter(*f, 2, "- 6O - -");
        kvtest::MessageRecorder boxes;
        f->btnOkClick();
        QCOMPARE(boxes.Texts(), QStringList({"Whole integers only. Rent2 adjusted. Save aborted."}));
        QCOMPARE(f->edtRent[1]->text(), QString("6"));

        db->Exec("CREATE TRIGGER refuse BEFORE UPDATE ON tServiceSplit WHEN OLD.ID = 2 "
                 "BEGIN SELECT RAISE(ABORT, 'split 2 is locked'); END;");
        enter(*f, 2, "- 60 - -");
        f->btnOkClick();
        QCOMPARE(boxes.Count(), 2);
        QVERIFY(boxes.Texts().last().contains("split 2 is locked"));
        QVERIFY(f->result() != mrOk);
        QCOMPARE(rows("ServiceID = 1"), QStringList({"1 1 11 50 50 50 1", "2 1 13 50 50 50 1"}));
        QCOMPARE(audit(), QStringList());
    }

    // A split whose customer is no longer active shows that customer, counts
    // in the totals and keeps it until another is chosen.
    void inactiveCustomerKept()
    {
        auto f = editing(2);
        QCOMPARE(f->cbShipTo[0]->currentText(), QString("Old"));
        kvtest::MessageRecorder boxes;
        f->btnOkClick();
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(splitStatements(*f), QVector<QStringList>());
        QCOMPARE(rows("ID = 3"), QStringList({"3 2 15 100 100 100 1"}));

        auto g = editing(2);
        enter(*g, 1, "b");
        g->btnOkClick();
        QCOMPARE(splitStatements(*g).first(),
                 QStringList({"UPDATE tServiceSplit", "SET CustomerID = 13", "WHERE ID = 3"}));
        QCOMPARE(audit(), QStringList({"11|3|CUSTOMERID|'15'|'13'"}));
    }

    // An erased share of a kept row is NULL.
    void erasedShare()
    {
        auto f = editing(7);
        enter(*f, 1, "- - - _");
        kvtest::MessageRecorder boxes;
        f->btnOkClick();
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(splitStatements(*f).first(),
                 QStringList({"UPDATE tServiceSplit", "SET OtherPercentage = NULL", "WHERE ID = 5"}));
        QCOMPARE(rows("ID = 5"), QStringList({"5 7 11 100 100 - 1"}));
        QCOMPARE(audit(), QStringList({"11|5|OTHERPERCENTAGE|'0'|NULL"}));
    }

    // Adding from a split service: it is not offered, so the first offered
    // service is shown and the copied split is written for it.
    void addingFromTheCurrentRow()
    {
        auto f = adding(1);
        QCOMPARE(f->cbServiceID->currentText(), QString("0299001003"));
        QCOMPARE(f->ServiceID(), 3);
        QCOMPARE(f->cbShipTo[1]->currentText(), QString("B"));
        kvtest::MessageRecorder boxes;
        f->btnOkClick();
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(rows("ServiceID = 3"), QStringList({"7 3 11 50 50 50 1", "8 3 13 50 50 50 1"}));
        QCOMPARE(rows("ServiceID = 1").size(), 2);
    }

    void addingNeedsAService()
    {
        auto f = adding();
        enter(*f, 1, "A_1 100 100 100");
        kvtest::MessageRecorder boxes;
        f->btnOkClick();
        QCOMPARE(boxes.Texts(), QStringList({"A ServiceID MUST be chosen."}));
        QCOMPARE(rows().size(), 6);
    }

    // Cancel closes without checking anything.
    void cancelOnlyCloses()
    {
        auto f = editing(1);
        enter(*f, 1, "- 1 - -");
        kvtest::MessageRecorder boxes;
        QTest::mouseClick(f->btnCancel, Qt::LeftButton);
        QCOMPARE(boxes.Count(), 0);
        QCOMPARE(f->result(), int(mrCancel));
        QCOMPARE(rows("ServiceID = 1"), QStringList({"1 1 11 50 50 50 1", "2 1 13 50 50 50 1"}));
    }
};

KV_TEST_MAIN(TestSysEditServiceSplit)
#include "tst_syseditservicesplit.moc"
