#include "LookupCombo.h"
#include "TestSupport.h"
#include <QLineEdit>
#include <QAbstractItemModelTester>
#include <QSignalSpy>

// The lookup combo: filled from a query with an id per item; only the
// operator's picks signal; a stored id that is not listed survives until the
// operator picks something else; one list of rows can stand behind several.
class TestLookupCombo : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

private slots:
    void init()
    {
        db = std::make_unique<kvtest::TestDatabase>();
        db->Exec("INSERT INTO tSupplier (ID, SupplierName, Active) VALUES (3,'Telstra',1),(5,'Optus',1),"
                 "(8,'Gone Ltd',0),(9,'Vocus',1);");
    }
    void cleanup() { db.reset(); }

    // Filling and setting an id choose quietly; the operator's pick signals
    // with the item's id. A stored id that is not listed survives until the
    // operator picks something else or the list is refilled.
    void picksAndStoredIds()
    {
        TLookupCombo combo;
        combo.Fill({"SELECT ID, SupplierName", "FROM tSupplier", "WHERE Active = 1", "ORDER BY SupplierName"},
                   "SupplierName", "ID", true);
        QCOMPARE(combo.ItemID(0), 0);  // the blank first
        QCOMPARE(combo.currentIndex(), -1);
        QSignalSpy picks(&combo, &TLookupCombo::PickedID);
        QVERIFY(combo.SetID(3));
        QCOMPARE(combo.currentText(), QString("Telstra"));
        QVERIFY(!combo.SetID(8));  // the supplier is inactive: not in the list
        QCOMPARE(combo.currentIndex(), -1);
        QCOMPARE(combo.ID(), 8);  // saving the untouched window keeps it
        QCOMPARE(picks.count(), 0);

        combo.show();
        combo.setFocus();
        QTest::keyClick(&combo, Qt::Key_Down);
        QTest::keyClick(&combo, Qt::Key_Down);
        QCOMPARE(picks.count(), 2);
        QCOMPARE(picks.last().first().toInt(), 5);
        QCOMPARE(combo.ID(), 5);
        QVERIFY(combo.Picked());

        combo.SetID(8);
        combo.ClearItems();
        QCOMPARE(combo.ID(), 0);
        combo.AddItem("Telstra", 3);
        QCOMPARE(combo.currentIndex(), -1);
    }

    // An editable list: a stored id outside the list shows its own text and
    // survives until the operator types; the item shown is the one chosen,
    // whatever other item has its text; erased text chooses nothing. (Typed
    // text resolving to an item is tested through the editors.)
    void editableList()
    {
        TLookupCombo combo;
        combo.SetEditable(true);
        combo.Fill({"SELECT ID, SupplierName", "FROM tSupplier", "WHERE Active = 1", "ORDER BY SupplierName"},
                   "SupplierName");
        combo.AddItem("Telstra", 10);  // a second item of the same text
        combo.show();
        QLineEdit* edit = combo.lineEdit();
        QVERIFY(!combo.SetID(8, "Gone Ltd"));
        QCOMPARE(combo.currentText(), QString("Gone Ltd"));
        QCOMPARE(combo.ID(), 8);
        QVERIFY(combo.TextKnown());

        QVERIFY(combo.SetID(10));
        QCOMPARE(combo.ID(), 10);
        edit->selectAll();
        QTest::keyClicks(edit, "Telstra");
        QCOMPARE(combo.ID(), 10);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QCOMPARE(combo.ID(), 0);  // erased: not chosen, though an item was
    }

    // One list behind two combos: each keeps its own choice, both show a
    // row added later, and the list keeps to the rules of item models while
    // it is filled, added to and emptied.
    void sharedList()
    {
        TLookupList list;
        QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::QtTest);
        TLookupRows rows;
        rows.Add(u"Telstra", 3);
        rows.Add(u"Optus", 5);
        list.Assign(rows);
        TLookupCombo a, b;
        a.SetEditable(true);
        a.SetList(&list);
        b.SetList(&list);
        QCOMPARE(a.currentIndex(), -1);
        QCOMPARE(b.currentIndex(), -1);
        QVERIFY(a.SetID(5));
        QCOMPARE(a.currentText(), QString("Optus"));
        QCOMPARE(b.currentIndex(), -1);
        list.Append(u"Vocus", 9);
        QCOMPARE(b.itemText(2), QString("Vocus"));
        QVERIFY(b.SetID(9));
        QCOMPARE(a.ID(), 5);
        QCOMPARE(b.ID(), 9);
        list.Clear();
        QCOMPARE(a.count(), 0);
    }
};

KV_TEST_MAIN(TestLookupCombo)
#include "tst_lookupcombo.moc"
