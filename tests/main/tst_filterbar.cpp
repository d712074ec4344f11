#include "EditorSupport.h"
#include "KitDBCtrl.h"
#include "EditorSupport.h"
#include "MainFixture.h"
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include "ComCtrls.h"

// The filter bar above the pages, on the demo data, as the operator uses it
// (the rule itself and the column lists: tst_filterrule).
class TestFilterBar : public QObject {
    Q_OBJECT
    kvtest::MainFixture fx;
    TMainForm* f = nullptr;
    kvtest::TestDatabase* db = nullptr;

    void open(int pageId) { QVERIFY(fx.Open(pageId)); }
    void chooseColumn(const QString& caption)
    {
        const int i = f->cbField->findText(caption);
        QVERIFY2(i >= 0, qPrintable(caption));
        f->cbField->setCurrentIndex(i);
        emit f->cbField->activated(i);  // as the operator's pick
    }
    void type(const QString& text) { kvtest::Retype(f->edtValue, text); }
    QString slotLine(int pageId, int index) { return f->CurrentQuery(pageId)->SQL()[index]; }
    QStringList column(int pageId, const QString& field)
    {
        QStringList out;
        TQuery* q = f->CurrentQuery(pageId);
        for (q->First(); !q->Eof(); q->Next())
            out << q->FieldByName(field)->AsString();
        return out;
    }

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init()
    {
        fx.Start({"1"});  // the demo administrator
        f = fx.form.get();
        db = fx.db.get();
        f->show();
    }
    void cleanup() { fx.Stop(); }

    void textColumnWithCurrentRows()
    {
        open(1001);
        QVERIFY(f->cbActive->isVisible());
        chooseColumn("Description");
        type("ab");
        QCOMPARE(f->edtValue->text(), QString("AB"));
        QTest::mouseClick(f->btnApply, Qt::LeftButton);
        TQuery* q = f->CurrentQuery(1001);
        QCOMPARE(q->SQL().Lines(),
                 QStringList({"SELECT *", "FROM (SELECT tActivity.*, tCustomer.ShipTo", "FROM tActivity",
                              "LEFT JOIN tCustomer ON ((tActivity.CustomerID = tCustomer.ID) AND (tCustomer.Active = 1)))  AS AY",
                              "WHERE Description LIKE 'AB%'AND Active = 1", "ORDER BY Description"}));
        QVERIFY(q->Active());
        for (const QString& d : column(1001, "Description"))
            QVERIFY(d.startsWith("ab", Qt::CaseInsensitive));
    }

    void untickingCurrentShowsTerminatedRows()
    {
        open(1013);
        QVERIFY(!column(1013, "Active").contains("False"));
        QTest::mouseClick(f->cbActive, Qt::LeftButton);
        QVERIFY(!f->cbActive->isChecked());
        QTest::mouseClick(f->btnApply, Qt::LeftButton);
        QVERIFY(f->cbNotActive->isChecked());
        QCOMPARE(slotLine(1013, f->CurrentQuery(1013)->SQL().Count() - 2), QString("WHERE Active <> 1"));
        const QStringList active = column(1013, "Active");
        QVERIFY(!active.isEmpty());
        QVERIFY(!active.contains("True"));
        // Both ticked: every row, no Active piece.
        QTest::mouseClick(f->cbActive, Qt::LeftButton);
        QTest::mouseClick(f->btnApply, Qt::LeftButton);
        QVERIFY(column(1013, "Active").contains("True"));
        QVERIFY(column(1013, "Active").contains("False"));
        QVERIFY(!f->CurrentQuery(1013)->SQL().Lines().join('\n').contains("WHERE"));
    }

    void accentedLettersMatchWhateverTheirCase()
    {
        db->Exec("INSERT INTO tAgreementType (Description, Active) VALUES ('économie', 1), ('Électricité', 1),"
                 "('ecole', 1);");
        open(1005);
        chooseColumn("Description");
        f->edtValue->clear();
        QTest::sendKeyEvent(QTest::Click, f->edtValue, Qt::Key_Eacute, QString("é"), Qt::NoModifier);
        QCOMPARE(f->edtValue->text(), QString("É"));  // the box upper-cases
        QTest::mouseClick(f->btnApply, Qt::LeftButton);
        QStringList found = column(1005, "Description");
        found.sort();
        QCOMPARE(found, QStringList({"Électricité", "économie"}));
    }

    // The value box takes no more than the chosen column holds; a character
    // that does not fit is left out whole, never cut in half, whether it is
    // committed by an input method, typed or pasted.
    void valueBoxTakesNoMoreThanTheColumn()
    {
        open(1016);
        chooseColumn("FullName");  // 50 characters
        const QString penguin = "🐧";
        f->edtValue->setText(QString(49, 'X') + penguin);
        QCOMPARE(f->edtValue->text(), QString(49, 'X'));
        f->edtValue->setText(QString(80, 'x'));
        QCOMPARE(f->edtValue->text().size(), 50);
        QGuiApplication::clipboard()->setText(penguin);
        const std::function<void()> routes[] = {
            [&] {
                QInputMethodEvent commit;
                commit.setCommitString(penguin);
                QApplication::sendEvent(f->edtValue, &commit);
            },
            [&] { QTest::sendKeyEvent(QTest::Click, f->edtValue, Qt::Key_unknown, penguin, Qt::NoModifier); },
            [&] { QTest::keySequence(f->edtValue, QKeySequence::Paste); }};
        for (const auto& add : routes) {
            type(QString(49, 'X'));
            add();
            QCOMPARE(f->edtValue->text(), QString(49, 'X'));
        }
        chooseColumn("ID");  // a number: a bounded prefix
        f->edtValue->setText(QString(100000, '7'));
        QCOMPARE(f->edtValue->text().size(), 255);
        QTest::mouseClick(f->btnApply, Qt::LeftButton);
        QVERIFY(f->CurrentQuery(1016)->Active());
    }

    void hostileTextStaysInsideTheFilter()
    {
        open(1016);
        chooseColumn("FullName");
        TQuery* q = f->CurrentQuery(1016);
        const int all = q->RecordCount();
        // A lone half of a surrogate pair before an apostrophe finds nothing
        // rather than ending the literal.
        f->edtValue->setText(QString(QChar(0xD83D)) + "' OR 1=1 --");
        QTest::mouseClick(f->btnApply, Qt::LeftButton);
        QVERIFY(q->Active());
        QCOMPARE(q->RecordCount(), 0);

        // A NUL is refused with a message, and the page stays as it was.
        type("");
        QTest::mouseClick(f->btnApply, Qt::LeftButton);
        QCOMPARE(q->RecordCount(), all);
        kvtest::MessageRecorder boxes;
        f->edtValue->setText(QString("O") + QChar(0) + "' OR 1=1 --");
        QTest::mouseClick(f->btnApply, Qt::LeftButton);
        QCOMPARE(boxes.Count(), 1);
        QVERIFY2(boxes.Texts().first().contains("NUL character"), qPrintable(boxes.Texts().first()));
        QVERIFY(q->Active());
        QCOMPARE(q->RecordCount(), all);
    }

    // A value reaches the page's statement as typed, or is refused with the
    // program's own message naming the value box and the page left as it
    // was: through the SQLite ODBC driver characters beyond the Basic
    // Multilingual Plane are not carried. Letters of another script find
    // their rows on both routes, and so do letters whose capital is two
    // letters, which the box shows as typed. The capitals leave Undo and Redo
    // working, and the composition of an input method that commits a letter
    // goes on where it was.
    void valuesOnEveryRoute_data()
    {
        QTest::addColumn<bool>("odbc");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("carried");
        QTest::addColumn<QString>("inBox");  // what the box shows
        for (const bool odbc : {false, true}) {
            const char* route = odbc ? "through ODBC" : "SQLite file";
            for (const QString value : {"X🐧 OR 1=1 --", "X🐧) OR (1=1) --", "😀"})
                QTest::addRow("%s: %s", route, qPrintable(value)) << odbc << value << !odbc << value;
            QTest::addRow("%s: another script", route) << odbc << QString("北京") << true << QString("北京");
            QTest::addRow("%s: ß", route) << odbc << QString("straßenbahn") << true << QString("STRAßENBAHN");
            QTest::addRow("%s: ligatures", route) << odbc << QString("ﬁbre ﬂ") << true << QString("ﬁBRE ﬂ");
        }
    }
    void valuesOnEveryRoute()
    {
        QFETCH(bool, odbc);
        QFETCH(QString, value);
        QFETCH(bool, carried);
        QFETCH(QString, inBox);
        if (odbc) {
            fx.Stop();
            if (!fx.StartThroughOdbc({"1"}))
                QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
            f = fx.form.get();
            f->show();
        }
        fx.db->Exec("INSERT INTO tCustomer (ShipTo, FullName) VALUES ('XP', 'X🐧 OR 1=1 -- Pty'),"
                    "('XQ', 'X🐧) OR (1=1) --'), ('XR', '😀 Club'), ('BJ', '北京 Telecom'),"
                    "('SB', 'Straßenbahn Betriebe'), ('FF', 'ﬁbre ﬂow Pty')");
        open(1016);
        chooseColumn("FullName");
        type("X");
        QTest::mouseClick(f->btnApply, Qt::LeftButton);
        const QStringList before = f->CurrentQuery(1016)->SQL().Lines();
        const QStringList shown = column(1016, "FullName");
        QVERIFY(shown.contains("X🐧 OR 1=1 -- Pty"));
        kvtest::MessageRecorder boxes;
        type(value);
        QCOMPARE(f->edtValue->text(), inBox);
        QCOMPARE(f->edtValue->cursorPosition(), inBox.size());
        QTest::keySequence(f->edtValue, QKeySequence::Undo);
        QCOMPARE(f->edtValue->text(), QString("X"));
        QTest::keySequence(f->edtValue, QKeySequence::Redo);
        QCOMPARE(f->edtValue->text(), inBox);
        // A letter committed while the next one is composed: the composition
        // stays after it, where its letter then goes.
        QInputMethodEvent composing("1", {{QInputMethodEvent::Cursor, 1, 1}});
        composing.setCommitString("x");
        QApplication::sendEvent(f->edtValue, &composing);
        const QRect composedAt = f->edtValue->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        QInputMethodEvent composed;
        composed.setCommitString("1");
        QApplication::sendEvent(f->edtValue, &composed);
        QCOMPARE(f->edtValue->text(), inBox + "X1");
        QCOMPARE(f->edtValue->inputMethodQuery(Qt::ImCursorRectangle).toRect(), composedAt);
        QTest::keyClick(f->edtValue, Qt::Key_Backspace);
        QTest::keyClick(f->edtValue, Qt::Key_Backspace);
        QTest::mouseClick(f->btnApply, Qt::LeftButton);
        if (!carried) {
            QCOMPARE(boxes.Count(), 1);
            QVERIFY2(boxes.Texts().first().startsWith("The filter value for FullName holds the character "),
                     qPrintable(boxes.Texts().first()));
            QCOMPARE(f->CurrentQuery(1016)->SQL().Lines(), before);
            QCOMPARE(column(1016, "FullName"), shown);
            return;
        }
        QStringList expected;
        for (const QString& name : fx.db->Rows("SELECT FullName FROM tCustomer WHERE Active = 1"))
            if (name.startsWith(value, Qt::CaseInsensitive))
                expected << name;
        QVERIFY(!expected.isEmpty());
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(column(1016, "FullName"), expected);
    }

    // A value the chosen column cannot take, or one without a column (page
    // 1022 offers none), applies only the Active piece; the number box
    // empties. Enter applies: Apply is the default button.
    void valueThatCannotApply()
    {
        open(1013);
        TQuery* q = f->CurrentQuery(1013);
        type("42");
        QTest::mouseClick(f->btnApply, Qt::LeftButton);
        QVERIFY(q->Active());
        QCOMPARE(q->SQL()[q->SQL().Count() - 2], QString("WHERE Active = 1"));
        chooseColumn("ID");
        type("abc");
        QTest::keyClick(f->edtValue, Qt::Key_Return);
        QCOMPARE(f->edtValue->text(), QString());
        QCOMPARE(q->SQL()[q->SQL().Count() - 2], QString("WHERE Active = 1"));
        open(1022);
        QCOMPARE(f->cbField->count(), 0);
        type("7");
        QTest::mouseClick(f->btnApply, Qt::LeftButton);
        QVERIFY(f->CurrentQuery(1022)->Active());
        QVERIFY(!f->CurrentQuery(1022)->SQL().Lines().join('\n').contains("WHERE 7"));
    }

    // The service and adjustment pages open with a column and value shown:
    // Apply filters on them as the operator sees them.
    void shownColumnAppliesAsTheOperatorSeesIt()
    {
        open(1051);
        QCOMPARE(f->cbField->currentText(), QString("ServiceID"));
        QCOMPARE(f->edtValue->text(), QString("02"));
        QTest::mouseClick(f->btnApply, Qt::LeftButton);
        QVERIFY(f->CurrentQuery(1051)->SQL().Lines().contains("WHERE ServiceID LIKE '02%'AND Active = 1"));
        for (const QString& s : column(1051, "ServiceID"))
            QVERIFY(s.startsWith("02"));
        open(1002);
        QTest::mouseClick(f->btnApply, Qt::LeftButton);
        QVERIFY(f->CurrentQuery(1002)->SQL().Lines().contains("WHERE BatchID = 1111"));
        for (const QString& b : column(1002, "BatchID"))
            QCOMPARE(b, QString("1111"));
    }

    void eachTabKeepsItsState()
    {
        open(1006);
        chooseColumn("Description");
        type("NET");
        f->SetTabFilterValue(f->SheetOf(1006), f->edtValue->text());
        open(1048);
        chooseColumn("ID");
        QCOMPARE(f->CurrentField(1048), QString("ID = "));
        QCOMPARE(f->CurrentField(1006), QString("Description LIKE '"));  // each page keeps its clause
        QCOMPARE(f->CurrentField(999), QString("ID"));
        open(1006);
        QCOMPARE(f->cbField->currentText(), QString("Description"));
        QCOMPARE(f->edtValue->text(), QString("NET"));
        f->ActionTabClose();
        open(1006);  // and after closing and reopening the page
        QCOMPARE(f->edtValue->text(), QString("NET"));
        QCOMPARE(f->PrintTitle(), QString("tApplication - Filtered on Description = NET"));
        f->edtValue->setText("  ");
        QCOMPARE(f->PrintTitle(), QString("tApplication - Unfiltered View"));
    }

    // Enter applies and Escape clears from anywhere in the window; clearing
    // leaves the page as it was filtered until the next Apply.
    void enterAppliesAndEscapeClears()
    {
        open(1013);
        chooseColumn("Description");
        f->edtValue->setText("A");
        QWidget* grid = f->PageOf(1013)->Grid;
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Return);
        const QStringList filtered = f->CurrentQuery(1013)->SQL().Lines();
        QVERIFY(filtered.contains("WHERE Description LIKE 'A%'AND Active = 1"));
        QTest::keyClick(grid, Qt::Key_Escape);
        QCOMPARE(f->cbField->currentIndex(), -1);
        QCOMPARE(f->edtValue->text(), QString());
        QCOMPARE(f->CurrentQuery(1013)->SQL().Lines(), filtered);
        QTest::mouseClick(f->btnApply, Qt::LeftButton);
        QVERIFY(f->CurrentQuery(1013)->SQL().Lines().contains("WHERE Active = 1"));
    }

    // The bar grows with the desktop's font as the editors do: no control
    // runs into another, every caption reads whole and every input is tall
    // enough for its text; at the standard font it keeps the layout it is
    // given (as at a smaller font, which leaves it as given).
    void barAtTheDesktopFont_data()
    {
        QTest::addColumn<int>("points");
        for (int points : kvtest::kFontPoints)
            QTest::addRow("%d pt", points) << points;
    }
    void barAtTheDesktopFont()
    {
        QFETCH(int, points);
        QStringList given, standardCut;
        for (int size : {8, 9, points}) {
            fx.Stop();
            kvtest::ApplicationFont font(size);
            fx.Start({"1"});
            f = fx.form.get();
            f->show();
            QVERIFY(QTest::qWaitForWindowExposed(f));
            open(1013);
            QWidget* bar = f->panelTopOfTab;
            QVERIFY(bar->isVisible());
            QCoreApplication::processEvents();  // the window lays out the bar it now shows
            const QStringList faults = kvtest::LayoutFaults(*bar);
            QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
            // The window can be as narrow as the screen, and there, as at its
            // smallest, the bar shows every control whole.
            const QRect screen = f->screen()->availableGeometry();
            QVERIFY2(f->minimumWidth() <= screen.width(), qPrintable(QString::number(f->minimumWidth())));
            f->resize(f->minimumSize());
            QTRY_COMPARE(f->width(), f->minimumWidth());
            QCoreApplication::processEvents();
            const QStringList outside = kvtest::OutsideTheWindow(*bar);
            QVERIFY2(outside.isEmpty(), qPrintable(outside.join("; ")));
            const QStringList narrowFaults = kvtest::LayoutFaults(*bar);
            QVERIFY2(narrowFaults.isEmpty(), qPrintable(narrowFaults.join("; ")));
            f->showMaximized();
            QTRY_VERIFY(f->width() >= f->minimumWidth() && f->width() <= screen.width());
            QCoreApplication::processEvents();
            // The tree beside it, as wide as it first is, shows whole every
            // table name that it shows whole at the standard font (9 pt).
            QTreeWidget* tree = f->TreeViewSystem;
            QStringList cut;
            for (int group = 0; group < tree->topLevelItemCount(); ++group) {
                tree->collapseAll();
                tree->expandItem(tree->topLevelItem(group));
                QCoreApplication::processEvents();
                for (int i = 0; i < tree->topLevelItem(group)->childCount(); ++i) {
                    const QTreeWidgetItem* item = tree->topLevelItem(group)->child(i);
                    const int text = tree->fontMetrics().horizontalAdvance(item->text(0));
                    if (text + 8 > tree->visualItemRect(item).width())
                        cut << item->text(0);
                }
            }
            tree->collapseAll();
            if (size == 9)
                standardCut = cut;
            for (const QString& name : cut)
                QVERIFY2(size == 8 || standardCut.contains(name), qPrintable(name + " is cut"));
            QStringList layout{QString("bar height %1").arg(bar->height())};
            for (const QWidget* w : bar->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
                layout << QString("%1 at %2,%3 %4 x %5")
                              .arg(w->objectName())
                              .arg(w->x())
                              .arg(w->y())
                              .arg(w->width())
                              .arg(w->height());
            if (size == 8)
                given = layout;
            else if (points == 9)
                QCOMPARE(layout, given);
        }
    }
};

KV_TEST_MAIN_LAPTOP_SCREEN(TestFilterBar)
#include "tst_filterbar.moc"
