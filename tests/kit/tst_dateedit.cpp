#include "Clock.h"
#include "Locale.h"
#include "PickDate.h"
#include "TestSupport.h"
#include "ToolEdit.h"
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <memory>

namespace {

TDateTime D(int y, int m, int d)
{
    return EncodeDate(y, m, d);
}

QDate asDate(TDateTime v)
{
    return DateTimeToQDate(v);
}

QPoint dayCell(TKitCalendar* cal, int day)
{
    for (int r = 1; r < TKitCalendar::RowCount; ++r)
        for (int c = 0; c < TKitCalendar::ColCount; ++c)
            if (cal->DayNum(c, r) == day)
                return cal->CellRect(c, r).center();
    return QPoint(-1, -1);
}

}  // namespace

// A form as the editors have it: a date edit, another input to leave it
// for, and a default button.
class TestDateEdit : public QObject {
    Q_OBJECT

    std::unique_ptr<QDialog> form;
    TDateEdit* edit = nullptr;
    QLineEdit* other = nullptr;
    QPushButton* okButton = nullptr;
    int changes = 0;

    TPopupCalendar* popup() const { return edit->PopupCalendar(); }
    TLocCalendar* calendar() const { return popup()->Calendar(); }
    void enter() { edit->setFocus(Qt::TabFocusReason); }
    void openByKey() { QTest::keyClick(edit, Qt::Key_Down, Qt::AltModifier); }

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init()
    {
        SetFormatSettings(TFormatSettings::DayFirstEnglish());
        Clock::SetFixed(QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9)));
        form = std::make_unique<QDialog>();
        form->setGeometry(100, 100, 300, 200);
        edit = new TDateEdit(form.get());
        edit->setObjectName("edtStartDate");
        edit->setGeometry(16, 16, 121, 21);
        other = new QLineEdit(form.get());
        other->setObjectName("edtOther");
        other->setGeometry(16, 60, 121, 21);
        okButton = new QPushButton("OK", form.get());
        okButton->setGeometry(200, 160, 75, 25);
        okButton->setDefault(true);
        QObject::connect(okButton, &QPushButton::clicked, form.get(), &QDialog::accept);
        changes = 0;
        edit->OnChange = [this](QObject*) { ++changes; };
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        enter();
    }
    void cleanup()
    {
        form.reset();
        SetFormatSettings(TFormatSettings::DayFirstEnglish());
    }

    // -------------------------------------------------------------- text and value

    void blankEditReadsTheNullDate()
    {
        QCOMPARE(edit->Text(), QString("  /  /    "));
        QCOMPARE(edit->Date(), NullDate);
        // What the editors test for "no date".
        QVERIFY(edit->Text().trimmed().startsWith('/'));
        QVERIFY(edit->TextIsBlank());
        edit->SetText("05/03/2026");
        QVERIFY(!edit->TextIsBlank());
    }
    void typing_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("all digits") << "05032026" << "05/03/2026" << QDate(2026, 3, 5);
        QTest::newRow("separator jumps to the next field") << "1/2/2026" << "1 /2 /2026" << QDate(2026, 2, 1);
        QTest::newRow("two-digit year") << "010270" << "01/02/70  " << QDate(1970, 2, 1);
        QTest::newRow("half typed reads null") << "3102" << "31/02/    " << QDate();
    }
    void typing()
    {
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QTest::keyClicks(edit, keys);
        QCOMPARE(edit->Text(), text);
        QCOMPARE(date.isValid() ? asDate(edit->Date()) : QDate(), date);
        if (!date.isValid())
            QCOMPARE(edit->Date(), NullDate);
        QVERIFY(edit->Modified());
        QVERIFY(changes > 0);
    }
    void refusedCharactersBeep()
    {
        const int beeps = BeepCount();
        QTest::keyClicks(edit, "0x");
        QCOMPARE(edit->Text(), QString("0 /  /    "));
        QCOMPARE(BeepCount(), beeps + 1);
        // Overwriting, not inserting: a full edit takes no more digits.
        edit->SetDate(D(2026, 12, 25));
        edit->setCursorPosition(10);
        QTest::keyClick(edit, '1');
        QCOMPARE(edit->Text(), QString("25/12/2026"));
        QCOMPARE(BeepCount(), beeps + 2);
    }
    void halfTypedTextIsNoDate()
    {
        QTest::keyClicks(edit, "3102");
        QVERIFY(!edit->Text().trimmed().startsWith('/'));
        edit->SetText("31/02/2026");
        QCOMPARE(edit->Date(), NullDate);
        edit->SetText(QString());
        QCOMPARE(edit->Text(), QString("  /  /    "));
    }
    void setDateWritesTheFormat()
    {
        edit->SetDate(D(2026, 12, 25));
        QCOMPARE(edit->Text(), QString("25/12/2026"));
        QVERIFY(edit->Modified());
        edit->SetDate(NullDate);
        QCOMPARE(edit->Text(), QString("  /  /    "));
        QVERIFY(edit->Modified());
        edit->SetDate(D(2026, 1, 1));
        edit->SetDate(D(9999, 12, 31) + 10);  // past the year 9999
        QCOMPARE(edit->Text(), QString("  /  /    "));
        QCOMPARE(edit->Date(), NullDate);
    }
    void defaultTodayFillsBlanks()
    {
        edit->SetDefaultToday(true);
        QCOMPARE(asDate(edit->Date()), QDate(2026, 3, 5));
        edit->SetDate(NullDate);
        QCOMPARE(edit->Text(), QString("05/03/2026"));
        edit->SetText("31/02/2026");
        QCOMPARE(asDate(edit->Date()), QDate(2026, 3, 5));
    }
    void blanksCharIsShownButReadAsBlank()
    {
        edit->SetBlanksChar('_');
        QCOMPARE(edit->EditMask(), QString("!99/99/9999;1;_"));
        QCOMPARE(edit->EditText(), QString("__/__/____"));
        QCOMPARE(edit->Text(), QString("  /  /    "));
        edit->SetText("1 /2 /2026");
        QCOMPARE(asDate(edit->Date()), QDate(2026, 2, 1));
    }
    void twoDigitYearEdit()
    {
        edit->SetDate(D(1970, 2, 1));
        edit->SetYearDigits(dyTwo);
        QCOMPARE(edit->EditMask(), QString("!99/99/99;1; "));
        QCOMPARE(edit->Text(), QString("01/02/70"));
        QCOMPARE(asDate(edit->Date()), QDate(1970, 2, 1));
    }

    // -------------------------------------------------------------- keys

    void keypadPlusAndMinusStepADay()
    {
        QTest::keyClick(edit, Qt::Key_Plus, Qt::KeypadModifier);  // a blank edit starts from today
        QCOMPARE(asDate(edit->Date()), QDate(2026, 3, 6));
        edit->SetDate(D(2026, 2, 28));
        QTest::keyClick(edit, Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(asDate(edit->Date()), QDate(2026, 3, 1));
        QCOMPARE(edit->selectedText(), QString("01/03/2026"));
        QTest::keyClick(edit, Qt::Key_Minus, Qt::KeypadModifier);
        QTest::keyClick(edit, Qt::Key_Minus, Qt::KeypadModifier);
        QCOMPARE(asDate(edit->Date()), QDate(2026, 2, 27));
    }
    void tSetsTodayAndPlainSignsAreDropped()
    {
        edit->SetDate(D(2020, 1, 1));
        QTest::keyClick(edit, 't');
        QCOMPARE(asDate(edit->Date()), QDate(2026, 3, 5));
        edit->SetDate(D(2020, 1, 1));
        QTest::keyClick(edit, 'T', Qt::ShiftModifier);
        QCOMPARE(asDate(edit->Date()), QDate(2026, 3, 5));
        const int beeps = BeepCount();
        edit->selectAll();
        QTest::keyClick(edit, '+');
        QTest::keyClick(edit, '-');
        QCOMPARE(asDate(edit->Date()), QDate(2026, 3, 5));
        QCOMPARE(BeepCount(), beeps);
    }
    void keysNeedDirectInput()
    {
        edit->SetDate(D(2026, 1, 10));
        edit->SetDirectInput(false);
        QTest::keyClicks(edit, "1");
        QTest::keyClick(edit, 't');
        QTest::keyClick(edit, Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(asDate(edit->Date()), QDate(2026, 1, 10));
        // The calendar still works.
        openByKey();
        QVERIFY(edit->PopupVisible());
        QTest::keyClick(edit, Qt::Key_Right);
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(asDate(edit->Date()), QDate(2026, 1, 11));
        QVERIFY(edit->isReadOnly());
    }
    void enterAndEscapeReachTheFormsButtons()
    {
        QSignalSpy accepted(form.get(), &QDialog::accepted);
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(accepted.count(), 1);
        form->show();
        enter();
        QSignalSpy rejected(form.get(), &QDialog::rejected);
        QTest::keyClick(edit, Qt::Key_Escape);
        QCOMPARE(rejected.count(), 1);
    }
    void escapeGivesBackTheTextOfEntry()
    {
        edit->SetDate(D(2026, 1, 10));
        other->setFocus(Qt::TabFocusReason);
        enter();
        QTest::keyClicks(edit, "0202");
        QCOMPARE(edit->Text(), QString("02/02/    "));
        QTest::keyClick(edit, Qt::Key_Escape);
        QCOMPARE(edit->Text(), QString("10/01/2026"));
    }

    // -------------------------------------------------------------- popup

    void altDownOpensTheCalendarOnTheEditsDate()
    {
        openByKey();  // a blank edit opens on today
        QCOMPARE(asDate(calendar()->CalendarDate()), QDate(2026, 3, 5));
        QTest::keyClick(edit, Qt::Key_Escape);
        edit->SetDate(D(2026, 1, 31));
        openByKey();
        QVERIFY(edit->PopupVisible());
        QVERIFY(popup()->isVisible());
        QCOMPARE(asDate(calendar()->CalendarDate()), QDate(2026, 1, 31));
        QCOMPARE(popup()->TitleLabel()->text(), QString("January, 2026"));
        // The edit keeps the focus, read-only while the calendar is open.
        QCOMPARE(QApplication::focusWidget(), edit);
        QVERIFY(edit->isReadOnly());
        QVERIFY(!edit->ReadOnly());
    }
    void keysGoToTheOpenCalendar()
    {
        edit->SetDate(D(2026, 1, 31));
        openByKey();
        QTest::keyClick(edit, Qt::Key_Right);
        QCOMPARE(asDate(calendar()->CalendarDate()), QDate(2026, 2, 1));
        QTest::keyClick(edit, Qt::Key_Left);
        QTest::keyClick(edit, Qt::Key_Left);
        QCOMPARE(asDate(calendar()->CalendarDate()), QDate(2026, 1, 30));
        QTest::keyClick(edit, Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(asDate(calendar()->CalendarDate()), QDate(2026, 1, 31));
        QTest::keyClick(edit, 't');
        QCOMPARE(asDate(calendar()->CalendarDate()), QDate(2026, 3, 5));
        // The edit itself is untouched until the calendar is accepted.
        QCOMPARE(edit->Text(), QString("31/01/2026"));
    }
    void acceptingTakesTheCalendarDate_data()
    {
        QTest::addColumn<bool>("altDown");  // else Enter
        QTest::newRow("Enter") << false;
        QTest::newRow("Alt+Down again") << true;
    }
    void acceptingTakesTheCalendarDate()
    {
        QFETCH(bool, altDown);
        edit->SetDate(D(2026, 1, 31));
        edit->SetModified(false);
        openByKey();
        QTest::keyClick(edit, Qt::Key_Right);
        changes = 0;
        QSignalSpy accepted(form.get(), &QDialog::accepted);
        if (altDown)
            openByKey();
        else
            QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(!edit->PopupVisible());
        QCOMPARE(asDate(edit->Date()), QDate(2026, 2, 1));
        QVERIFY(edit->Modified());
        QCOMPARE(changes, 1);
        QCOMPARE(edit->selectedText(), QString("01/02/2026"));
        QCOMPARE(accepted.count(), 0);
    }
    // Pressing on one day and letting go on another: the selection follows
    // the pointer across an empty cell, and the day let go on is taken.
    void pressDragReleaseTakesTheReleasedDay()
    {
        edit->SetDate(D(2026, 3, 10));
        openByKey();
        TLocCalendar* c = calendar();
        QTest::mousePress(c, Qt::LeftButton, {}, dayCell(c, 3));
        QCOMPARE(asDate(c->CalendarDate()), QDate(2026, 3, 3));
        QTest::mouseMove(c, dayCell(c, 12));
        QCOMPARE(asDate(c->CalendarDate()), QDate(2026, 3, 12));
        QTest::mouseMove(c, c->CellRect(0, 1).center());  // no day there: the selection stays
        QCOMPARE(asDate(c->CalendarDate()), QDate(2026, 3, 12));
        QVERIFY(edit->PopupVisible());
        QTest::mouseRelease(c, Qt::LeftButton, {}, dayCell(c, 18));
        QVERIFY(!edit->PopupVisible());
        QCOMPARE(asDate(edit->Date()), QDate(2026, 3, 18));
        QCOMPARE(QApplication::focusWidget(), edit);
    }
    void navigationButtonsClipTheDay()
    {
        edit->SetDate(D(2026, 1, 31));
        openByKey();
        QTest::mouseClick(popup()->NavButton(2), Qt::LeftButton);
        QCOMPARE(asDate(calendar()->CalendarDate()), QDate(2026, 2, 28));
        QCOMPARE(popup()->TitleLabel()->text(), QString("February, 2026"));
        QTest::mouseClick(popup()->NavButton(1), Qt::LeftButton);
        QCOMPARE(asDate(calendar()->CalendarDate()), QDate(2026, 1, 28));
        QVERIFY(edit->PopupVisible());  // the buttons do not close it
        QCOMPARE(QApplication::focusWidget(), edit);
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(asDate(edit->Date()), QDate(2026, 1, 28));
    }
    void buttonOpensAndClosesWithAcceptance()
    {
        edit->SetDate(D(2026, 1, 31));
        int buttonClicks = 0;
        edit->OnButtonClick = [&](QObject*) { ++buttonClicks; };
        QTest::mouseClick(edit->Button(), Qt::LeftButton);
        QVERIFY(edit->PopupVisible());
        QCOMPARE(buttonClicks, 1);
        QTest::keyClick(edit, Qt::Key_Right);
        // The press closes it; the click that ends the press does nothing.
        QTest::mouseClick(edit->Button(), Qt::LeftButton);
        QVERIFY(!edit->PopupVisible());
        QCOMPARE(asDate(edit->Date()), QDate(2026, 2, 1));
        QCOMPARE(buttonClicks, 1);
    }
    void closingElsewhereTakesNothing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("press on the edit") << "edit";
        QTest::newRow("press on another control") << "label";
        QTest::newRow("focus leaves") << "leave";
        QTest::newRow("Escape, which the form does not see") << "escape";
    }
    void closingElsewhereTakesNothing()
    {
        QFETCH(QString, how);
        edit->SetDate(D(2026, 1, 31));
        auto* label = new QLabel("StartDate", form.get());
        label->setGeometry(150, 16, 80, 16);
        label->show();
        openByKey();
        QTest::keyClick(edit, Qt::Key_Right);
        if (how == "edit") {
            QTest::mousePress(edit, Qt::LeftButton, {}, QPoint(5, 5));
            QTest::mouseRelease(edit, Qt::LeftButton, {}, QPoint(5, 5));
        } else if (how == "label") {
            QTest::mouseClick(label, Qt::LeftButton);
        } else if (how == "leave") {
            other->setFocus(Qt::TabFocusReason);
            QCOMPARE(QApplication::focusWidget(), other);
        } else {
            changes = 0;
            QTest::keyClick(edit, Qt::Key_Escape);
            QCOMPARE(changes, 0);
            QVERIFY(form->isVisible());
        }
        QVERIFY(!edit->PopupVisible());
        QVERIFY(!popup()->isVisible());
        QCOMPARE(asDate(edit->Date()), QDate(2026, 1, 31));
        QVERIFY(!edit->isReadOnly());
    }
    void readOnlyEditKeepsItsPopupShut()
    {
        edit->SetReadOnly(true);
        openByKey();
        QVERIFY(!edit->PopupVisible());
        QTest::mouseClick(edit->Button(), Qt::LeftButton);
        QVERIFY(!edit->PopupVisible());
    }
    void acceptDateHandlerDecides()
    {
        edit->SetDate(D(2026, 1, 31));
        edit->OnAcceptDate = [](QObject*, TDateTime& date, bool& action) {
            if (DayOfWeek(date) == 1)  // no Sundays
                action = false;
            else
                date += 1;
        };
        openByKey();
        QTest::keyClick(edit, Qt::Key_Right);  // Sunday 1 February
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(asDate(edit->Date()), QDate(2026, 1, 31));
        openByKey();
        QTest::keyClick(edit, Qt::Key_Left);  // Friday 30 January
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(asDate(edit->Date()), QDate(2026, 1, 31));
        QTest::keyClick(edit, Qt::Key_Minus, Qt::KeypadModifier);  // not through the handler
        QCOMPARE(asDate(edit->Date()), QDate(2026, 1, 30));
    }
    void popupDropsBelowOrAbove()
    {
        openByKey();
        const QPoint editTop = edit->mapToGlobal(QPoint(0, 0));
        QCOMPARE(popup()->pos().y(), editTop.y() + edit->height());
        QTest::keyClick(edit, Qt::Key_Escape);
        const QRect screen = form->screen()->geometry();
        form->move(screen.width() - 300, screen.height() - 60);
        QTest::qWait(20);
        openByKey();
        const QPoint top = edit->mapToGlobal(QPoint(0, 0));
        QCOMPARE(popup()->pos().y(), top.y() - popup()->height());
        QCOMPARE(popup()->pos().x(), top.x() + edit->width() - popup()->width());
    }
    void changeFiresPopupChangeNotOnChangeWhileOpen()
    {
        edit->SetDate(D(2026, 1, 31));
        openByKey();
        changes = 0;
        edit->SetText("01/01/2026");  // written while the popup shows
        QCOMPARE(changes, 0);
        QTest::keyClick(edit, Qt::Key_Escape);
        edit->SetText("02/01/2026");
        QCOMPARE(changes, 1);
    }

    // -------------------------------------------------------------- locale

    void localeChangeReRendersTheText()
    {
        edit->SetDate(D(2026, 12, 25));
        edit->SetModified(false);
        TFormatSettings fs = TFormatSettings::DayFirstEnglish();
        fs.ShortDateFormat = "yyyy/mm/dd";
        SetFormatSettings(fs);
        QCOMPARE(edit->EditMask(), QString("!9999/99/99;1; "));
        QCOMPARE(edit->DateFormat(), QString("YYYY/MM/DD"));
        QCOMPARE(edit->Text(), QString("2026/12/25"));
        QCOMPARE(asDate(edit->Date()), QDate(2026, 12, 25));
        QVERIFY(!edit->Modified());

        fs.ShortDateFormat = "dd.mm.yyyy";
        fs.DateSeparator = '.';
        SetFormatSettings(fs);
        edit->selectAll();
        QTest::keyClicks(edit, "01022026");
        QCOMPARE(edit->Text(), QString("01.02.2026"));
    }

    // -------------------------------------------------------------- leaving

    void checkOnExitRefusesABadDate_data()
    {
        QTest::addColumn<bool>("check");
        QTest::newRow("checked") << true;
        QTest::newRow("not checked: it stays") << false;
    }
    void checkOnExitRefusesABadDate()
    {
        QFETCH(bool, check);
        kvtest::MessageRecorder boxes;
        edit->SetCheckOnExit(check);
        QTest::keyClicks(edit, "3102");
        other->setFocus(Qt::TabFocusReason);
        QCOMPARE(boxes.Texts(), check ? QStringList{"'31/02/    ' is not a valid date."} : QStringList());
        QTRY_COMPARE(QApplication::focusWidget(), check ? static_cast<QWidget*>(edit) : other);
        QCOMPARE(edit->Text(), QString("31/02/    "));
    }
    void checkOnExitRewritesAGoodDate()
    {
        kvtest::MessageRecorder boxes;
        edit->SetCheckOnExit(true);
        QTest::keyClicks(edit, "1/2/26");
        changes = 0;
        other->setFocus(Qt::TabFocusReason);
        QCOMPARE(boxes.Count(), 0);
        QCOMPARE(edit->Text(), QString("01/02/2026"));
        QCOMPARE(changes, 0);  // rewritten, not changed
        // A blank edit passes.
        enter();
        edit->SetDate(NullDate);
        other->setFocus(Qt::TabFocusReason);
        QCOMPARE(boxes.Count(), 0);
    }

    // -------------------------------------------------------------- button and dialog style

    void withoutButtonNoCalendar()
    {
        edit->SetGlyphKind(gkEllipsis);
        QCOMPARE(edit->NumGlyphs(), 1);
        edit->SetButtonWidth(1);
        QVERIFY(!edit->Button()->isVisible());
        edit->SetButtonWidth(0);
        openByKey();
        QVERIFY(!edit->PopupVisible());
    }
    void dialogStyleAsksInAModalDialog()
    {
        edit->SetDate(D(2026, 1, 31));
        edit->SetCalendarStyle(csDialog);
        QVERIFY(edit->Popup() == nullptr);
        QTimer::singleShot(0, [] {
            auto* dlg = qobject_cast<TSelectDateDlg*>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            QCOMPARE(asDate(dlg->Date()), QDate(2026, 1, 31));
            QCOMPARE(dlg->windowTitle(), QString("Select a Date"));
            QTest::keyClick(dlg, Qt::Key_PageDown);
            QTest::keyClick(dlg, Qt::Key_Return);
        });
        QTest::mouseClick(edit->Button(), Qt::LeftButton);
        QCOMPARE(asDate(edit->Date()), QDate(2026, 2, 28));
        QVERIFY(edit->Modified());

        edit->SetCalendarStyle(csPopup);
        QVERIFY(edit->PopupCalendar() != nullptr);
        openByKey();
        QVERIFY(edit->PopupVisible());
    }
    void calendarSettingsReachThePopup()
    {
        edit->SetStartOfWeek(Sun);
        edit->SetCalendarHints({"Back a year", "Back a month", "On a month", "On a year", "fifth"});
        QCOMPARE(edit->CalendarHints().size(), 4);
        QCOMPARE(calendar()->StartOfWeek(), Sun);
        QCOMPARE(popup()->NavButton(3)->Hint(), QString("On a year"));
        edit->SetCalendarHints({"Only the first"});
        QCOMPARE(popup()->NavButton(0)->Hint(), QString("Only the first"));
        QCOMPARE(popup()->NavButton(1)->Hint(), QString("Previous Month|"));
    }
};

KV_TEST_MAIN(TestDateEdit)
#include "tst_dateedit.moc"
