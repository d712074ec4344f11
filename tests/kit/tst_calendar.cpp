#include "Clock.h"
#include "Locale.h"
#include "PickDate.h"
#include "TestSupport.h"
#include <QLabel>
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

}  // namespace

class TestCalendar : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> host;
    TKitCalendar* cal = nullptr;
    int changes = 0;

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init()
    {
        SetFormatSettings(TFormatSettings::DayFirstEnglish());
        Clock::SetFixed(QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9)));
        host = std::make_unique<QWidget>();
        host->setGeometry(100, 100, 260, 200);
        cal = new TKitCalendar(host.get());
        cal->setGeometry(10, 10, 7 * 30 + 6, 7 * 18 + 6);
        changes = 0;
        cal->OnChange = [this](QObject*) { ++changes; };
        host->show();
        host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(host.get()));
        cal->setFocus();
    }
    void cleanup() { host.reset(); }

    // -------------------------------------------------------------- layout

    void firstDayStandsInItsWeekdayColumn_data()
    {
        QTest::addColumn<QDate>("month");
        QTest::addColumn<int>("startOfWeek");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("firstName");
        // 1 March 2026 is a Sunday, 1 April a Wednesday, 1 June a Monday.
        QTest::newRow("Sunday, weeks from Monday") << QDate(2026, 3, 1) << int(Mon) << 6 << "Mon";
        QTest::newRow("Sunday, weeks from Sunday") << QDate(2026, 3, 1) << int(Sun) << 0 << "Sun";
        QTest::newRow("Wednesday, weeks from Saturday") << QDate(2026, 4, 1) << int(Sat) << 4 << "Sat";
        QTest::newRow("Monday, weeks from Tuesday") << QDate(2026, 6, 1) << int(Tue) << 6 << "Tue";
    }
    void firstDayStandsInItsWeekdayColumn()
    {
        QFETCH(QDate, month);
        QFETCH(int, startOfWeek);
        QFETCH(int, col);
        QFETCH(QString, firstName);
        cal->SetStartOfWeek(TDayOfWeekName(startOfWeek));
        cal->SetCalendarDate(QDateToDateTime(month));
        QCOMPARE(cal->CellText(0, 0), firstName);
        QCOMPARE(cal->DayNum(col, 1), 1);
        QCOMPARE(cal->CellText(col, 1), QString("1"));
        for (int c = 0; c < col; ++c)
            QCOMPARE(cal->CellText(c, 1), QString());
        QCOMPARE(cal->Col(), col);
        QCOMPARE(cal->Row(), 1);
        // The month's last day is somewhere in the grid, nothing after it.
        const int last = month.daysInMonth();
        const int index = last - 1 + col;
        QCOMPARE(cal->DayNum(index % 7, index / 7 + 1), last);
        const int after = index + 1;
        if (after < 42)
            QCOMPARE(cal->DayNum(after % 7, after / 7 + 1), 0);
    }
    void dayNamesAndWeekends()
    {
        cal->SetStartOfWeek(Mon);
        QCOMPARE(cal->CellText(6, 0), QString("Sun"));
        QVERIFY(cal->IsWeekendColumn(6));
        QVERIFY(!cal->IsWeekendColumn(5));
        cal->SetWeekends({Sun, Sat});
        QVERIFY(cal->IsWeekendColumn(5));
        cal->SetStartOfWeek(Sun);
        QVERIFY(cal->IsWeekendColumn(0));
        QVERIFY(cal->IsWeekendColumn(6));
    }

    // -------------------------------------------------------------- selection

    void clickSelectsOnlyDays()
    {
        cal->SetCalendarDate(D(2026, 3, 10));
        changes = 0;
        QTest::mouseClick(cal, Qt::LeftButton, {}, cal->CellRect(0, 1).center());  // empty
        QCOMPARE(asDate(cal->CalendarDate()), QDate(2026, 3, 10));
        QTest::mouseClick(cal, Qt::LeftButton, {}, cal->CellRect(2, 0).center());  // a day name
        QCOMPARE(asDate(cal->CalendarDate()), QDate(2026, 3, 10));
        QCOMPARE(changes, 0);
        QTest::mouseClick(cal, Qt::LeftButton, {}, cal->CellRect(3, 3).center());  // third week, Thursday
        QCOMPARE(asDate(cal->CalendarDate()), QDate(2026, 3, 12));
        QCOMPARE(changes, 1);
        cal->SetReadOnly(true);
        QTest::mouseClick(cal, Qt::LeftButton, {}, cal->CellRect(3, 4).center());
        QCOMPARE(asDate(cal->CalendarDate()), QDate(2026, 3, 12));
    }

    void keys_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QDate>("to");
        const int none = int(Qt::NoModifier);
        const int keypad = int(Qt::KeypadModifier);
        QTest::newRow("Right over the month end") << QDate(2026, 1, 31) << int(Qt::Key_Right) << none << QDate(2026, 2, 1);
        QTest::newRow("Left over the month start") << QDate(2026, 3, 1) << int(Qt::Key_Left) << none << QDate(2026, 2, 28);
        QTest::newRow("Left over the year start") << QDate(2026, 1, 1) << int(Qt::Key_Left) << none << QDate(2025, 12, 31);
        QTest::newRow("keypad plus") << QDate(2024, 2, 28) << int(Qt::Key_Plus) << keypad << QDate(2024, 2, 29);
        QTest::newRow("plain minus does nothing") << QDate(2026, 3, 10) << int(Qt::Key_Minus) << none << QDate(2026, 3, 10);
        QTest::newRow("Down a week") << QDate(2026, 3, 10) << int(Qt::Key_Down) << none << QDate(2026, 3, 17);
        QTest::newRow("Up stays in the month") << QDate(2026, 3, 5) << int(Qt::Key_Up) << none << QDate(2026, 3, 5);
        QTest::newRow("Down stays in the month") << QDate(2026, 3, 28) << int(Qt::Key_Down) << none << QDate(2026, 3, 28);
        QTest::newRow("Right with Ctrl is not a day") << QDate(2026, 3, 10) << int(Qt::Key_Right) << int(Qt::ControlModifier) << QDate(2026, 3, 10);
        QTest::newRow("Page Down to the last week") << QDate(2026, 3, 10) << int(Qt::Key_PageDown) << none << QDate(2026, 3, 31);
    }
    void keys()
    {
        QFETCH(QDate, from);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QDate, to);
        cal->SetCalendarDate(QDateToDateTime(from));
        QTest::keyClick(cal, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(asDate(cal->CalendarDate()), to);
    }

    void monthAndYearSteps_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QString>("step");
        QTest::addColumn<QDate>("to");
        QTest::newRow("31 Jan next month") << QDate(2026, 1, 31) << "NextMonth" << QDate(2026, 2, 28);
        QTest::newRow("31 Jan next month, leap year") << QDate(2024, 1, 31) << "NextMonth" << QDate(2024, 2, 29);
        QTest::newRow("31 Mar previous month") << QDate(2026, 3, 31) << "PrevMonth" << QDate(2026, 2, 28);
        QTest::newRow("December next month") << QDate(2026, 12, 15) << "NextMonth" << QDate(2027, 1, 15);
        QTest::newRow("29 Feb next year") << QDate(2024, 2, 29) << "NextYear" << QDate(2025, 2, 28);
        QTest::newRow("29 Feb previous year") << QDate(2024, 2, 29) << "PrevYear" << QDate(2023, 2, 28);
        QTest::newRow("28 Feb next year stays") << QDate(2027, 2, 28) << "NextYear" << QDate(2028, 2, 28);
    }
    void monthAndYearSteps()
    {
        QFETCH(QDate, from);
        QFETCH(QString, step);
        QFETCH(QDate, to);
        cal->SetCalendarDate(QDateToDateTime(from));
        changes = 0;
        if (step == "NextMonth")
            cal->NextMonth();
        else if (step == "PrevMonth")
            cal->PrevMonth();
        else if (step == "NextYear")
            cal->NextYear();
        else
            cal->PrevYear();
        QCOMPARE(asDate(cal->CalendarDate()), to);
        QCOMPARE(changes, 1);
    }

    // -------------------------------------------------------------- popup

    void popupSizeAndTitle()
    {
        TPopupCalendar popup(host.get());
        popup.SetValue(D(2026, 12, 25));
        QCOMPARE(popup.TitleLabel()->text(), QString("December, 2026"));
        QCOMPARE(popup.GetValue().toDouble(), D(2026, 12, 25));
        popup.SetValue(QVariant());
        QCOMPARE(asDate(popup.GetValue().toDouble()), QDate(2026, 3, 5));
        popup.SetValue(QString("  /  /    "));
        QCOMPARE(asDate(popup.GetValue().toDouble()), QDate(2026, 3, 5));
        popup.SetValue(QString("24/12/2026"));
        QCOMPARE(asDate(popup.GetValue().toDouble()), QDate(2026, 12, 24));
        QCOMPARE(popup.NavButton(3)->Hint(), QString("Next Year|"));
        QVERIFY(popup.Calendar()->focusPolicy() == Qt::NoFocus);
    }

    // The date edit's drop-down at the desktop's font: every day name, day
    // and the month's title read whole, the six week rows and the buttons
    // lie inside it; at the standard font it keeps its given size.
    void popupReadsWholeAtEveryFontSize_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<QSize>("size");
        for (int points : kvtest::kFontPoints)
            QTest::addRow("%d pt", points) << points << (points == 9 ? QSize(187, 124) : QSize());
    }
    void popupReadsWholeAtEveryFontSize()
    {
        QFETCH(int, points);
        QFETCH(QSize, size);
        const kvtest::ApplicationFont font(points);
        auto* edit = new TDateEdit(host.get());
        edit->setGeometry(10, 10, 121, 21);
        edit->SetDate(D(2026, 3, 30));  // a month of six week rows
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Down, Qt::AltModifier);
        TPopupCalendar* popup = edit->PopupCalendar();
        QVERIFY(popup->isVisible());
        if (size.isValid())
            QCOMPARE(popup->size(), size);

        TLocCalendar* c = popup->Calendar();
        const QFontMetrics metrics(c->font());
        const auto inPopup = [&](const QWidget* w, const QRect& r) {
            return QRect(w->mapTo(popup, r.topLeft()), r.size());
        };
        QCOMPARE(c->CellText(0, 6), QString("30"));
        for (int r = 0; r < TKitCalendar::RowCount; ++r)
            for (int col = 0; col < TKitCalendar::ColCount; ++col) {
                const QRect cell = c->CellRect(col, r);
                // A week cell holds a day of one or two digits, all as wide.
                const QString text = r == 0 ? c->CellText(col, r) : QString("28");
                const QSize needs(metrics.horizontalAdvance(text), metrics.height());
                QVERIFY2(cell.width() >= needs.width() && cell.height() >= needs.height(),
                         qPrintable(QString("%1 has %2 by %3 of %4 by %5")
                                        .arg(text).arg(cell.width()).arg(cell.height())
                                        .arg(needs.width()).arg(needs.height())));
                QVERIFY2(popup->contentsRect().contains(inPopup(c, cell)), qPrintable(QString("row %1").arg(r)));
            }

        popup->SetValue(D(2026, 9, 30));
        const QLabel* title = popup->TitleLabel();
        QCOMPARE(title->text(), QString("September, 2026"));
        QVERIFY(title->width() >= title->fontMetrics().horizontalAdvance(title->text()));
        QVERIFY(title->height() >= title->fontMetrics().height());
        const QRect calendarAt = inPopup(c, c->rect());
        for (int i = 0; i < 4; ++i) {
            const QRect buttonAt = inPopup(popup->NavButton(i), popup->NavButton(i)->rect());
            QVERIFY(popup->rect().contains(buttonAt));
            QVERIFY(!buttonAt.intersects(calendarAt) && !buttonAt.intersects(inPopup(title, title->rect())));
        }
    }
    void heldButtonRepeats()
    {
        TPopupCalendar popup(host.get());
        popup.SetValue(D(2026, 1, 15));
        popup.Show(QPoint(100, 100));
        auto monthsOn = [&] {
            const QDate reached = asDate(popup.GetValue().toDouble());
            return (reached.year() - 2026) * 12 + reached.month() - 1;
        };
        QTest::mousePress(popup.NavButton(2), Qt::LeftButton);
        QTest::qWait(200);
        QCOMPARE(monthsOn(), 0);  // nothing before the first pause is over
        QTRY_VERIFY_WITH_TIMEOUT(monthsOn() >= 3, 5000);
        QTest::mouseRelease(popup.NavButton(2), Qt::LeftButton);
        const int released = monthsOn();
        QTest::qWait(300);
        QCOMPARE(monthsOn(), released);
        QCOMPARE(asDate(popup.GetValue().toDouble()).day(), 15);
    }
    void popupClosesOnAClickOfItsDay()
    {
        TPopupCalendar popup(host.get());
        QList<bool> closes;
        popup.OnCloseUp = [&](bool accept) { closes << accept; };
        popup.SetValue(D(2026, 3, 10));
        popup.Show(QPoint(100, 100));
        TLocCalendar* c = popup.Calendar();
        QTest::mouseClick(c, Qt::LeftButton, Qt::ShiftModifier, c->CellRect(3, 3).center());
        QVERIFY(closes.isEmpty());  // not with a modifier
        QTest::mouseClick(popup.TitleLabel(), Qt::LeftButton);
        QVERIFY(closes.isEmpty());
        QTest::mouseClick(c, Qt::LeftButton, {}, c->CellRect(4, 3).center());
        QCOMPARE(closes, QList<bool>{true});
        QCOMPARE(asDate(popup.GetValue().toDouble()), QDate(2026, 3, 13));
        // The popup's own border: accepted when released inside.
        QTest::mouseClick(&popup, Qt::LeftButton, {}, QPoint(0, 0));
        QCOMPARE(closes, (QList<bool>{true, true}));
    }

    // -------------------------------------------------------------- dialog

    void dialogKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QDate>("to");
        QTest::newRow("Page Down a month") << int(Qt::Key_PageDown) << int(Qt::NoModifier) << QDate(2026, 2, 28);
        QTest::newRow("Page Up a month") << int(Qt::Key_PageUp) << int(Qt::NoModifier) << QDate(2025, 12, 31);
        QTest::newRow("Ctrl+Page Down a year") << int(Qt::Key_PageDown) << int(Qt::ControlModifier) << QDate(2027, 1, 31);
        QTest::newRow("Tab the next month") << int(Qt::Key_Tab) << int(Qt::NoModifier) << QDate(2026, 2, 28);
        QTest::newRow("Shift+Tab the month before") << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << QDate(2025, 12, 31);
    }
    void dialogKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QDate, to);
        TSelectDateDlg dlg;
        dlg.SetDate(D(2026, 1, 31));
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));  // from 31 January 2026
        QTest::keyClick(&dlg, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(asDate(dlg.Date()), to);
        QCOMPARE(dlg.TitleLabel()->text(), FormatDateTime("MMMM, YYYY", QDateToDateTime(to)));
    }
    void dialogTitleBarButtons()
    {
        TSelectDateDlg dlg;
        dlg.SetDate(D(2026, 1, 31));
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        const std::array<QDate, 4> after{QDate(2025, 1, 31), QDate(2024, 12, 31), QDate(2025, 1, 31),
                                         QDate(2026, 1, 31)};
        for (int i = 0; i < 4; ++i) {
            QTest::mouseClick(dlg.NavButton(i), Qt::LeftButton);
            QCOMPARE(asDate(dlg.Date()), after[size_t(i)]);
        }
    }
    void executeDateDialog()
    {
        TDateTime chosen = D(2026, 1, 31);
        QTimer::singleShot(0, [] {
            auto* dlg = qobject_cast<TSelectDateDlg*>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            QCOMPARE(dlg->windowTitle(), QString("Pick one"));
            QCOMPARE(dlg->Calendar()->StartOfWeek(), Sun);
            QCOMPARE(dlg->NavButton(0)->Hint(), QString("Year back"));
            QTest::keyClick(dlg, Qt::Key_Right);
            QTest::keyClick(dlg, Qt::Key_Return);
        });
        QVERIFY(ExecuteDateDialog(chosen, "Pick one", Sun, {Sun}, clRed, {"Year back"}));
        QCOMPARE(asDate(chosen), QDate(2026, 2, 1));

        TDateTime none = NullDate;
        QTimer::singleShot(0, [] {
            auto* dlg = qobject_cast<TSelectDateDlg*>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            QCOMPARE(asDate(dlg->Date()), QDate(2026, 3, 5));  // a null date starts at today
            QTest::keyClick(dlg, Qt::Key_Escape);
        });
        QVERIFY(!ExecuteDateDialog(none, "Pick one", Mon, {Sun}, clRed, {}));
        QCOMPARE(none, NullDate);

        QTimer::singleShot(0, [] {
            auto* dlg = qobject_cast<TSelectDateDlg*>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            dlg->Calendar()->SetCalendarDate(EncodeDate(2026, 3, 1));
            TLocCalendar* c = dlg->Calendar();
            QPoint cell;
            for (int r = 1; r < 7; ++r)
                for (int col = 0; col < 7; ++col)
                    if (c->DayNum(col, r) == 12)
                        cell = c->CellRect(col, r).center();
            QTest::mouseDClick(c, Qt::LeftButton, {}, cell);
        });
        QVERIFY(ExecuteDateDialog(none, "Pick one", Mon, {Sun}, clRed, {}));
        QCOMPARE(asDate(none), QDate(2026, 3, 12));
    }

};

KV_TEST_MAIN(TestCalendar)
#include "tst_calendar.moc"
