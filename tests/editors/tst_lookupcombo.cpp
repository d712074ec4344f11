#include "LookupCombo.h"
#include "TestSupport.h"
#include <QAbstractItemView>
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
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
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

    // A typed text names the item with exactly that text (blanks around it
    // aside; the first of several), else the one item that differs from it
    // in letter case only; Return keeps the text as typed.
    void typedTexts_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("id");
        QTest::newRow("exact") << "Optus" << 5;
        QTest::newRow("exact, in small letters") << "optus" << 6;
        QTest::newRow("two in another case") << "OPTUS" << 0;
        QTest::newRow("one in another case") << "telstra" << 3;
        QTest::newRow("one in another case, beyond ASCII") << QString::fromUtf8("\xC3\xB6rebro") << 11;
        QTest::newRow("blanks around") << " Telstra  " << 3;
        QTest::newRow("the first of two the same") << "Vocus" << 9;
        QTest::newRow("two the same in another case") << "vocus" << 0;
        QTest::newRow("a beginning") << "Tel" << 0;
    }
    void typedTexts()
    {
        QFETCH(QString, typed);
        QFETCH(int, id);
        TLookupCombo combo;
        combo.SetEditable(true);
        for (const auto& [text, rowId] : {std::pair{"Telstra", 3}, {"Optus", 5}, {"optus", 6}, {"Vocus", 9},
                                          {"Vocus", 10}, {"\xC3\x96rebro", 11}})
            combo.AddItem(QString::fromUtf8(text), rowId);
        combo.show();
        combo.setFocus();
        combo.lineEdit()->setFocus();
        for (const QChar c : typed)  // keys beyond ASCII too
            QTest::sendKeyEvent(QTest::Click, combo.lineEdit(), Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::keyClick(&combo, Qt::Key_Return);
        QCOMPARE(combo.currentText(), typed);
        QCOMPARE(combo.ID(), id);
        QCOMPARE(combo.TextKnown(), id != 0);
    }

    // In a list that takes typing, a choice in the dropped-down list (by
    // Return or a click) signals and holds, also where another item shows
    // the same text.
    void listChoices()
    {
        TLookupCombo combo;
        combo.SetEditable(true);
        combo.AddItem("Vocus", 9);
        combo.AddItem("Vocus", 10);
        combo.AddItem("Optus", 5);
        QSignalSpy picks(&combo, &TLookupCombo::PickedID);
        combo.SetID(9);
        combo.show();
        combo.setFocus();
        QTest::keyClick(&combo, Qt::Key_Down);
        QAbstractItemView* list = combo.view();
        QVERIFY(list->isVisible());
        list->setCurrentIndex(list->model()->index(1, 0));
        QTest::keyClick(list, Qt::Key_Return);
        QVERIFY(!list->isVisible());
        QCOMPARE(picks.count(), 1);
        QCOMPARE(combo.ID(), 10);

        combo.showPopup();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(2, 0)).center());
        QCOMPARE(picks.count(), 2);
        QCOMPARE(picks.last().first().toInt(), 5);
        QCOMPARE(combo.ID(), 5);
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
