#pragma once
// The month calendar, the date edit's drop-down calendar and the date
// dialog.
//
// TKitCalendar is a 7 by 7 grid: a row of day names, then six weeks. Only
// cells that show a day can be selected; the date itself moves across month
// ends (Left on the 1st gives the last day of the month before).
#include "DateUtil.h"
#include "KitCtrls.h"
#include "ToolEdit.h"
#include <QDialog>
#include <QSizeF>
#include <QStringList>
#include <array>

class QLabel;

class TKitCalendar : public QWidget {
    Q_OBJECT
public:
    explicit TKitCalendar(QWidget* parent = nullptr);

    TDateTime CalendarDate() const { return m_date; }
    // Any change clears UseCurrentDate, lays the month out again and fires
    // OnChange.
    void SetCalendarDate(TDateTime Value);
    int Day() const;
    int Month() const;
    int Year() const;
    // While set, the calendar shows today until a date is set.
    bool UseCurrentDate() const { return m_useCurrentDate; }
    void SetUseCurrentDate(bool Value);
    // A read-only calendar takes no date from the mouse or the keys.
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool Value) { m_readOnly = Value; }
    TDayOfWeekName StartOfWeek() const { return m_startOfWeek; }
    void SetStartOfWeek(TDayOfWeekName Value);
    TDaysOfWeek Weekends() const { return m_weekends; }
    void SetWeekends(TDaysOfWeek Value);
    TColor WeekendColor() const { return m_weekendColor; }
    void SetWeekendColor(TColor Value);

    // The grid.
    static constexpr int ColCount = 7;
    static constexpr int RowCount = 7;
    int Col() const;  // the selected cell
    int Row() const;
    int ColWidth() const;
    int RowHeight() const;
    QRect CellRect(int ACol, int ARow) const;
    // -1, -1 outside the cells.
    void MouseToCell(int X, int Y, int& ACol, int& ARow) const;
    // Row 0: the short day name; below: the day of the month, or empty.
    QString CellText(int ACol, int ARow) const;
    int DayNum(int ACol, int ARow) const;  // 0 for a cell without a day
    bool IsWeekendColumn(int ACol) const;

    // The month buttons keep the day, cut to the new month; the year
    // buttons turn 29 February into the 28th first.
    void NextMonth();
    void PrevMonth();
    void NextYear();
    void PrevYear();
    void UpdateCalendar();

    TNotifyEvent OnChange;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseUp;

protected:
    virtual void DrawCell(QPainter& Canvas, int ACol, int ARow, const QRect& ARect, bool Selected);
    virtual bool VertLines() const { return true; }
    virtual bool HorzLines() const { return true; }
    virtual QColor CellColor(bool Fixed) const;
    virtual void Change();
    bool SelectCell(int ACol, int ARow) const;
    // Moves the selection to a cell of this month (the grid's own moves).
    void MoveToCell(int ACol, int ARow);

    void paintEvent(QPaintEvent* event) override;
    // While the left button is held the selection follows the pointer, so
    // the day it is released on is the one taken.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int monthOffset() const;
    void selectAt(const QPoint& Pos);  // the day under the pointer, if any

    TDateTime m_date = NullDate;
    bool m_useCurrentDate = true;
    bool m_readOnly = false;
    TDayOfWeekName m_startOfWeek = Mon;
    TDaysOfWeek m_weekends{Sun};
    TColor m_weekendColor = clRed;
};

// The calendar as the popup and the date dialog show it: flat, in its
// parent's colour, a line only under the day names, never focused (the
// edit keeps the focus), today framed.
class TLocCalendar : public TKitCalendar {
    Q_OBJECT
public:
    explicit TLocCalendar(QWidget* parent = nullptr);

protected:
    bool VertLines() const override { return false; }
    bool HorzLines() const override { return false; }
    QColor CellColor(bool Fixed) const override;
    void DrawCell(QPainter& Canvas, int ACol, int ARow, const QRect& ARect, bool Selected) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
};

// The date edit's drop-down: title with the month, four repeating buttons
// (year and month back and forward) and the calendar. A click on a day
// takes it. Its size and the places in it are given for the standard font
// and grow with the font in use (FontScale), so every day name, day and the
// title read whole at any desktop font size.
class TPopupCalendar : public TPopupWindow {
    Q_OBJECT
public:
    explicit TPopupCalendar(QWidget* AOwner);

    // The calendar date.
    QVariant GetValue() const override;
    // A null, empty or blank value shows today.
    void SetValue(const QVariant& Value) override;

    TLocCalendar* Calendar() const { return m_calendar; }
    QLabel* TitleLabel() const { return m_title; }
    // 0 previous year, 1 previous month, 2 next month, 3 next year.
    TKitTimerSpeedButton* NavButton(int Index) const { return m_buttons[size_t(Index)]; }

    void PrevYearBtnClick() { m_calendar->PrevYear(); }
    void PrevMonthBtnClick() { m_calendar->PrevMonth(); }
    void NextMonthBtnClick() { m_calendar->NextMonth(); }
    void NextYearBtnClick() { m_calendar->NextYear(); }
    void TopPanelDblClick() { m_calendar->SetCalendarDate(::Date()); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void calendarMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void updateTitle();
    void layoutChildren();
    // Pixels as given for the standard font at 96 dots per inch, across
    // and down.
    int scaledX(int v) const;
    int scaledY(int v) const;

    QWidget* m_back = nullptr;
    QWidget* m_top = nullptr;
    QLabel* m_title = nullptr;
    TLocCalendar* m_calendar = nullptr;
    std::array<TKitTimerSpeedButton*, 4> m_buttons{};
    QSizeF m_scale{1, 1};
};

// Passes the date edit's calendar settings on; up to four hints replace the
// navigation buttons' own ones, in button order.
void SetupPopupCalendar(TPopupWindow* PopupCalendar, TDayOfWeekName AStartOfWeek, TDaysOfWeek AWeekends,
                        TColor AWeekendColor, const QStringList& BtnHints);

// The modal date dialog (the date edit's csDialog style).
class TSelectDateDlg : public QDialog {
    Q_OBJECT
public:
    explicit TSelectDateDlg(QWidget* parent = nullptr);

    TDateTime Date() const { return m_calendar->CalendarDate(); }
    void SetDate(TDateTime Value);  // the null date shows today
    TLocCalendar* Calendar() const { return m_calendar; }
    QLabel* TitleLabel() const { return m_title; }
    TKitTimerSpeedButton* NavButton(int Index) const { return m_buttons[size_t(Index)]; }

    void PrevYearBtnClick() { m_calendar->PrevYear(); }
    void NextYearBtnClick() { m_calendar->NextYear(); }
    void PrevMonthBtnClick() { m_calendar->PrevMonth(); }
    void NextMonthBtnClick() { m_calendar->NextMonth(); }
    void CalendarChange();
    void CalendarDblClick() { accept(); }
    void TopPanelDblClick() { m_calendar->SetCalendarDate(::Date()); }
    // Enter OK, Escape cancel, Page Up/Down a month (with Ctrl a year), Tab
    // the next month and Shift+Tab the one before.
    bool FormKeyDown(int Key, Qt::KeyboardModifiers Shift);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_title = nullptr;
    TLocCalendar* m_calendar = nullptr;
    std::array<TKitTimerSpeedButton*, 4> m_buttons{};
    bool m_forwarding = false;
};

// Shows the dialog; on OK ADate gets the chosen date and the result is
// true. A null date starts at today.
bool ExecuteDateDialog(TDateTime& ADate, const QString& DlgCaption, TDayOfWeekName AStartOfWeek,
                       TDaysOfWeek AWeekends, TColor AWeekendColor, const QStringList& BtnHints);
