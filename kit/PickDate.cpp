#include "PickDate.h"
#include "Locale.h"
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionFocusRect>

// ---------------------------------------------------------------- calendar

TKitCalendar::TKitCalendar(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    m_date = ::Date();
    resize(7 * 26 + 6, 7 * 14 + 6);
}

int TKitCalendar::Day() const
{
    int y, m, d;
    DecodeDate(m_date, y, m, d);
    return d;
}

int TKitCalendar::Month() const
{
    int y, m, d;
    DecodeDate(m_date, y, m, d);
    return m;
}

int TKitCalendar::Year() const
{
    int y, m, d;
    DecodeDate(m_date, y, m, d);
    return y;
}

void TKitCalendar::SetCalendarDate(TDateTime Value)
{
    m_useCurrentDate = false;
    Value = DateOf(Value);
    if (Value == m_date)
        return;
    m_date = Value;
    UpdateCalendar();
    Change();
}

void TKitCalendar::SetUseCurrentDate(bool Value)
{
    m_useCurrentDate = Value;
    if (Value && m_date != ::Date()) {
        m_date = ::Date();
        UpdateCalendar();
        Change();
    }
}

void TKitCalendar::SetStartOfWeek(TDayOfWeekName Value)
{
    m_startOfWeek = Value;
    UpdateCalendar();
}

void TKitCalendar::SetWeekends(TDaysOfWeek Value)
{
    m_weekends = Value;
    update();
}

void TKitCalendar::SetWeekendColor(TColor Value)
{
    m_weekendColor = Value;
    update();
}

void TKitCalendar::UpdateCalendar()
{
    if (m_useCurrentDate)
        m_date = ::Date();
    update();
}

void TKitCalendar::Change()
{
    if (OnChange)
        OnChange(this);
}

// Day 1 stands in the column of its weekday counted from StartOfWeek, in
// the first week row.
int TKitCalendar::monthOffset() const
{
    const int first = DayOfWeek(EncodeDate(Year(), Month(), 1));  // 1 Sunday
    const int offset = 2 - ((first - int(m_startOfWeek) + 7) % 7);
    return offset == 2 ? -5 : offset;
}

int TKitCalendar::DayNum(int ACol, int ARow) const
{
    if (ACol < 0 || ACol >= ColCount || ARow < 1 || ARow >= RowCount)
        return 0;
    const int day = monthOffset() + ACol + (ARow - 1) * 7;
    return day >= 1 && day <= DaysInMonth(Year(), Month()) ? day : 0;
}

QString TKitCalendar::CellText(int ACol, int ARow) const
{
    if (ARow == 0)
        return FormatSettings().ShortDayNames.value((int(m_startOfWeek) + ACol) % 7);
    const int day = DayNum(ACol, ARow);
    return day > 0 ? QString::number(day) : QString();
}

bool TKitCalendar::IsWeekendColumn(int ACol) const
{
    return m_weekends.Contains(TDayOfWeekName((int(m_startOfWeek) + ACol) % 7));
}

int TKitCalendar::Col() const
{
    return (Day() - monthOffset()) % 7;
}

int TKitCalendar::Row() const
{
    return (Day() - monthOffset()) / 7 + 1;
}

int TKitCalendar::ColWidth() const
{
    return (width() - (VertLines() ? 6 : 0)) / ColCount;
}

int TKitCalendar::RowHeight() const
{
    return (height() - 6) / RowCount;
}

QRect TKitCalendar::CellRect(int ACol, int ARow) const
{
    const int lineW = VertLines() ? 1 : 0;
    return QRect(ACol * (ColWidth() + lineW), ARow * (RowHeight() + 1), ColWidth(), RowHeight());
}

void TKitCalendar::MouseToCell(int X, int Y, int& ACol, int& ARow) const
{
    ACol = ARow = -1;
    for (int r = 0; r < RowCount; ++r)
        for (int c = 0; c < ColCount; ++c)
            if (CellRect(c, r).adjusted(0, 0, 1, 1).contains(X, Y)) {
                ACol = c;
                ARow = r;
                return;
            }
}

bool TKitCalendar::SelectCell(int ACol, int ARow) const
{
    return !m_readOnly && DayNum(ACol, ARow) > 0;
}

void TKitCalendar::MoveToCell(int ACol, int ARow)
{
    if (SelectCell(ACol, ARow))
        SetCalendarDate(EncodeDate(Year(), Month(), DayNum(ACol, ARow)));
}

void TKitCalendar::NextMonth()
{
    SetCalendarDate(IncMonth(m_date, 1));
}

void TKitCalendar::PrevMonth()
{
    SetCalendarDate(IncMonth(m_date, -1));
}

void TKitCalendar::NextYear()
{
    int y, m, d;
    DecodeDate(m_date, y, m, d);
    if (m == 2 && d == 29)
        d = 28;
    if (y < 9999)
        SetCalendarDate(EncodeDate(y + 1, m, d));
}

void TKitCalendar::PrevYear()
{
    int y, m, d;
    DecodeDate(m_date, y, m, d);
    if (m == 2 && d == 29)
        d = 28;
    if (y > 1)
        SetCalendarDate(EncodeDate(y - 1, m, d));
}

QColor TKitCalendar::CellColor(bool Fixed) const
{
    return ColorToQColor(Fixed ? clBtnFace : clWindow);
}

void TKitCalendar::DrawCell(QPainter& Canvas, int ACol, int ARow, const QRect& ARect, bool Selected)
{
    const bool fixed = ARow == 0;
    Canvas.fillRect(ARect, Selected ? ColorToQColor(clHighlight) : CellColor(fixed));
    QColor ink = ColorToQColor(clWindowText);
    if (Selected)
        ink = ColorToQColor(clHighlightText);
    else if (IsWeekendColumn(ACol))
        ink = ColorToQColor(m_weekendColor);
    Canvas.setPen(ink);
    Canvas.drawText(ARect, Qt::AlignCenter, CellText(ACol, ARow));
    if (Selected && hasFocus()) {
        QStyleOptionFocusRect opt;
        opt.initFrom(this);
        opt.rect = ARect;
        opt.backgroundColor = ColorToQColor(clHighlight);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &opt, &Canvas, this);
    }
}

void TKitCalendar::paintEvent(QPaintEvent*)
{
    QPainter canvas(this);
    canvas.setFont(font());
    const QColor lines = ColorToQColor(clBtnFace).darker(115);
    canvas.fillRect(rect(), VertLines() || HorzLines() ? lines : CellColor(false));
    const int col = Col(), row = Row();
    for (int r = 0; r < RowCount; ++r)
        for (int c = 0; c < ColCount; ++c)
            DrawCell(canvas, c, r, CellRect(c, r), c == col && r == row);
}

void TKitCalendar::selectAt(const QPoint& Pos)
{
    int c, r;
    MouseToCell(Pos.x(), Pos.y(), c, r);
    MoveToCell(c, r);
}

void TKitCalendar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        selectAt(event->position().toPoint());
    event->accept();
}

void TKitCalendar::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        selectAt(event->position().toPoint());
    event->accept();
}

void TKitCalendar::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        selectAt(p);
    if (OnMouseUp)
        OnMouseUp(this, event->button(), event->modifiers(), p.x(), p.y());
    event->accept();
}

void TKitCalendar::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
    if (event->button() == Qt::LeftButton && OnDblClick)
        OnDblClick(this);
}

void TKitCalendar::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    const QString typed = event->text();
    if (m_readOnly) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (typed == QLatin1String("T") || typed == QLatin1String("t")) {
        SetCalendarDate(::Date());
        return;
    }
    if (mods == Qt::NoModifier) {
        const int key = event->key();
        if (key == Qt::Key_Left || (keypad && key == Qt::Key_Minus)) {
            SetCalendarDate(m_date - 1);
            return;
        }
        if (key == Qt::Key_Right || (keypad && key == Qt::Key_Plus)) {
            SetCalendarDate(m_date + 1);
            return;
        }
        // The grid's own moves: within the month only.
        switch (key) {
        case Qt::Key_Up: MoveToCell(Col(), Row() - 1); return;
        case Qt::Key_Down: MoveToCell(Col(), Row() + 1); return;
        case Qt::Key_PageUp: MoveToCell(Col(), 1); return;
        case Qt::Key_PageDown: MoveToCell(Col(), RowCount - 1); return;
        case Qt::Key_Home: MoveToCell(0, Row()); return;
        case Qt::Key_End: MoveToCell(ColCount - 1, Row()); return;
        default: break;
        }
    }
    QWidget::keyPressEvent(event);
}

// ---------------------------------------------------------------- loc calendar

TLocCalendar::TLocCalendar(QWidget* parent) : TKitCalendar(parent)
{
    setFocusPolicy(Qt::NoFocus);
    SetCalendarDate(::Date());  // starts at today, not following it
}

QColor TLocCalendar::CellColor(bool) const
{
    return parentWidget() ? parentWidget()->palette().color(QPalette::Window) : ColorToQColor(clBtnFace);
}

void TLocCalendar::DrawCell(QPainter& Canvas, int ACol, int ARow, const QRect& ARect, bool Selected)
{
    TKitCalendar::DrawCell(Canvas, ACol, ARow, ARect, Selected);
    if (ARow > 0 && DayNum(ACol, ARow) > 0 && EncodeDate(Year(), Month(), DayNum(ACol, ARow)) == ::Date()) {
        // Today sits in a sunken frame.
        QRect r = ARect;
        Frame3D(Canvas, r, ColorToQColor(clBtnShadow), ColorToQColor(clBtnHighlight), 1);
    }
}

void TLocCalendar::paintEvent(QPaintEvent* event)
{
    TKitCalendar::paintEvent(event);
    QPainter canvas(this);
    const QRect dayNames = CellRect(0, 0);
    canvas.fillRect(QRect(0, dayNames.bottom() + 1, width(), 1), ColorToQColor(clBtnShadow));
}

void TLocCalendar::changeEvent(QEvent* event)
{
    TKitCalendar::changeEvent(event);
    // Always takes the mouse, even when its own enabled state was cleared.
    if (event->type() == QEvent::EnabledChange && !isEnabled() &&
        (!parentWidget() || parentWidget()->isEnabled()))
        setEnabled(true);
}

// ---------------------------------------------------------------- navigation

namespace {

struct NavButtonSpec {
    const char* name;
    const char* bitmap;
    const char* hint;
};

const NavButtonSpec kNavButtons[4] = {
    {"PrevYearBtn", "PREV2", "Previous Year|"},
    {"PrevMonthBtn", "PREV1", "Previous Month|"},
    {"NextMonthBtn", "NEXT1", "Next Month|"},
    {"NextYearBtn", "NEXT2", "Next Year|"},
};

std::array<TKitTimerSpeedButton*, 4> makeNavButtons(QWidget* parent)
{
    std::array<TKitTimerSpeedButton*, 4> out{};
    for (size_t i = 0; i < out.size(); ++i) {
        auto* b = new TKitTimerSpeedButton(parent);
        b->setObjectName(QLatin1String(kNavButtons[i].name));
        b->SetGlyph(LoadKitBitmap(QLatin1String(kNavButtons[i].bitmap)));
        b->SetNumGlyphs(1);
        b->SetHint(QLatin1String(kNavButtons[i].hint));
        out[i] = b;
    }
    return out;
}

// The owner's four handlers (the popup's or the dialog's) on the buttons.
template <typename Owner>
void connectNavButtons(const std::array<TKitTimerSpeedButton*, 4>& buttons, Owner* owner)
{
    buttons[0]->OnClick = [owner](QObject*) { owner->PrevYearBtnClick(); };
    buttons[1]->OnClick = [owner](QObject*) { owner->PrevMonthBtnClick(); };
    buttons[2]->OnClick = [owner](QObject*) { owner->NextMonthBtnClick(); };
    buttons[3]->OnClick = [owner](QObject*) { owner->NextYearBtnClick(); };
}

// The title bar of the popup and of the dialog, Width wide: a year and a
// month button at each end, the month's title between them. Places and
// sizes as given are scaled by Scale across and down; the buttons at the
// right end mirror those at the left, so they stay as far in from that edge
// whatever the rounding.
void placeTitleBar(const std::array<TKitTimerSpeedButton*, 4>& buttons, QLabel* title, int width,
                   const QSizeF& scale)
{
    const auto across = [&](int v) { return ScaledPixels(v, scale.width()); };
    const int bw = across(14);
    const int bh = ScaledPixels(14, scale.height());
    buttons[0]->SetBounds(-1, -1, bw, bh);
    buttons[1]->SetBounds(across(12), -1, bw, bh);
    buttons[2]->SetBounds(width - across(12) - bw, -1, bw, bh);
    buttons[3]->SetBounds(width + 1 - bw, -1, bw, bh);
    title->setGeometry(across(29), 1, width - across(58), bh);
}

// The date edit's calendar settings on the popup's or the dialog's
// calendar; up to four hints replace the buttons' own ones.
template <typename Owner>
void applyCalendarSettings(Owner* owner, TDayOfWeekName startOfWeek, TDaysOfWeek weekends, TColor weekendColor,
                           const QStringList& hints)
{
    TLocCalendar* cal = owner->Calendar();
    cal->SetStartOfWeek(startOfWeek);
    cal->SetWeekends(weekends);
    cal->SetWeekendColor(weekendColor);
    for (int i = 0; i < 4; ++i)
        owner->NavButton(i)->SetHint(i < hints.size() ? hints[i] : QLatin1String(kNavButtons[i].hint));
}

QString monthTitle(TDateTime date)
{
    return FormatDateTime(QStringLiteral("MMMM, YYYY"), date);
}

// The popup and the dialog are laid out for 96 dots per inch.
double screenScale(const QWidget* w)
{
    const int dpi = w->logicalDpiY();
    return dpi > 0 && dpi != 96 ? dpi / 96.0 : 1.0;
}

// The popup is laid out for the standard font at 96 dots per inch: it grows
// with the screen's dots per inch and with a larger font, by whichever is
// more (a font in points already grows with the dots per inch).
QSizeF popupScale(const QWidget* w)
{
    const double dpi = screenScale(w);
    const QSizeF font = FontScale(w->font());
    return QSizeF(qMax(dpi, font.width()), qMax(dpi, font.height()));
}

}  // namespace

// ---------------------------------------------------------------- popup calendar

TPopupCalendar::TPopupCalendar(QWidget* AOwner) : TPopupWindow(AOwner)
{
    QFont f = QApplication::font("QMessageBox");
    setFont(f);
    m_back = new QWidget(this);
    m_back->setObjectName(QStringLiteral("BackPanel"));
    // Clicks on the panels and the title stay there: only a click on the
    // popup's own border area closes it.
    m_back->setAttribute(Qt::WA_NoMousePropagation);
    m_top = new QWidget(m_back);
    m_top->setObjectName(QStringLiteral("TopPanel"));
    m_title = new QLabel(m_top);
    m_title->setObjectName(QStringLiteral("TitleLabel"));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->installEventFilter(this);
    m_top->installEventFilter(this);
    m_buttons = makeNavButtons(m_top);
    connectNavButtons(m_buttons, this);
    m_calendar = new TLocCalendar(m_back);
    m_calendar->setObjectName(QStringLiteral("Calendar"));
    m_calendar->OnChange = [this](QObject*) { updateTitle(); };
    m_calendar->OnMouseUp = [this](QObject*, Qt::MouseButton b, Qt::KeyboardModifiers s, int x, int y) {
        calendarMouseUp(b, s, x, y);
    };
    m_scale = popupScale(this);
    const QSize size(qMax(scaledX(187), scaledX(180)), qMax(scaledY(124), scaledY(120)));
    resize(size);
    layoutChildren();  // a hidden window gets its resize event only when shown
    updateTitle();
}

int TPopupCalendar::scaledX(int v) const
{
    return ScaledPixels(v, m_scale.width());
}

int TPopupCalendar::scaledY(int v) const
{
    return ScaledPixels(v, m_scale.height());
}

void TPopupCalendar::resizeEvent(QResizeEvent* event)
{
    TPopupWindow::resizeEvent(event);
    layoutChildren();
}

void TPopupCalendar::layoutChildren()
{
    const QRect client = contentsRect();
    m_back->setGeometry(client);
    const int w = client.width();
    const int topH = scaledY(18);
    m_top->setGeometry(0, 0, w, topH);
    placeTitleBar(m_buttons, m_title, w, m_scale);
    m_calendar->setGeometry(0, topH, w, client.height() - topH);
}

QVariant TPopupCalendar::GetValue() const
{
    return m_calendar->CalendarDate();
}

void TPopupCalendar::SetValue(const QVariant& Value)
{
    TDateTime d = NullDate;
    if (Value.isValid() && !Value.isNull()) {
        if (Value.typeId() == QMetaType::QString) {
            const QString s = Value.toString();
            d = ParseDateFmtDef(DefaultDateFormat(FourDigitYear()), s, NullDate);
        } else {
            d = Value.toDouble();
        }
    }
    m_calendar->SetCalendarDate(d != NullDate && IsValidDateValue(d) ? d : ::Date());
    updateTitle();
}

void TPopupCalendar::updateTitle()
{
    m_title->setText(monthTitle(m_calendar->CalendarDate()));
}

void TPopupCalendar::calendarMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    if (Button != Qt::LeftButton || Shift != Qt::NoModifier)
        return;
    int c, r;
    m_calendar->MouseToCell(X, Y, c, r);
    if (r > 0 && !m_calendar->CellText(c, r).isEmpty())
        CloseUp(true);
}

bool TPopupCalendar::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == m_title || watched == m_top) && event->type() == QEvent::MouseButtonDblClick) {
        TopPanelDblClick();
        return true;
    }
    return TPopupWindow::eventFilter(watched, event);
}

void SetupPopupCalendar(TPopupWindow* PopupCalendar, TDayOfWeekName AStartOfWeek, TDaysOfWeek AWeekends,
                        TColor AWeekendColor, const QStringList& BtnHints)
{
    if (auto* popup = qobject_cast<TPopupCalendar*>(PopupCalendar))
        applyCalendarSettings(popup, AStartOfWeek, AWeekends, AWeekendColor, BtnHints);
}

// ---------------------------------------------------------------- date dialog

TSelectDateDlg::TSelectDateDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SelectDateDlg"));
    setWindowTitle(QStringLiteral("Select a Date"));
    setFocusPolicy(Qt::StrongFocus);
    const double s = screenScale(this);
    auto sc = [s](int v) { return ScaledPixels(v, s); };
    setFixedSize(sc(226), sc(190));

    auto* top = new QWidget(this);
    top->setObjectName(QStringLiteral("TopPanel"));
    top->setGeometry(sc(8), sc(6), sc(210), sc(18));
    top->installEventFilter(this);
    m_title = new QLabel(top);
    m_title->setObjectName(QStringLiteral("TitleLabel"));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->installEventFilter(this);
    m_buttons = makeNavButtons(top);
    placeTitleBar(m_buttons, m_title, top->width(), QSizeF(s, s));
    connectNavButtons(m_buttons, this);

    m_calendar = new TLocCalendar(this);
    m_calendar->setObjectName(QStringLiteral("Calendar"));
    m_calendar->setGeometry(sc(8), sc(26), sc(210), sc(120));
    m_calendar->OnChange = [this](QObject*) { CalendarChange(); };
    m_calendar->OnDblClick = [this](QObject*) { CalendarDblClick(); };

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OkBtn"));
    ok->setFocusPolicy(Qt::NoFocus);
    ok->setGeometry(sc(62), sc(155), sc(75), sc(25));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    cancel->setFocusPolicy(Qt::NoFocus);
    cancel->setGeometry(sc(143), sc(155), sc(75), sc(25));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    CalendarChange();
}

void TSelectDateDlg::SetDate(TDateTime Value)
{
    m_calendar->SetCalendarDate(Value == NullDate || !IsValidDateValue(Value) ? ::Date() : Value);
    CalendarChange();
}

void TSelectDateDlg::CalendarChange()
{
    m_title->setText(monthTitle(m_calendar->CalendarDate()));
}

bool TSelectDateDlg::FormKeyDown(int Key, Qt::KeyboardModifiers Shift)
{
    const bool ctrl = Shift & Qt::ControlModifier;
    switch (Key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: accept(); return true;
    case Qt::Key_Escape: reject(); return true;
    case Qt::Key_PageUp: ctrl ? PrevYearBtnClick() : PrevMonthBtnClick(); return true;
    case Qt::Key_PageDown: ctrl ? NextYearBtnClick() : NextMonthBtnClick(); return true;
    case Qt::Key_Tab: NextMonthBtnClick(); return true;
    case Qt::Key_Backtab: PrevMonthBtnClick(); return true;
    default: return false;
    }
}

bool TSelectDateDlg::event(QEvent* event)
{
    // Tab turns the month here; it must not move the focus first.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            FormKeyDown(key->key(), key->modifiers());
            return true;
        }
    }
    return QDialog::event(event);
}

void TSelectDateDlg::keyPressEvent(QKeyEvent* event)
{
    if (FormKeyDown(event->key(), event->modifiers()))
        return;
    // The rest (arrows, T) are the calendar's; what it leaves comes back
    // here through its parent and goes no further.
    if (m_forwarding) {
        event->ignore();
        return;
    }
    m_forwarding = true;
    QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text());
    QCoreApplication::sendEvent(m_calendar, &copy);
    m_forwarding = false;
}

bool TSelectDateDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick && (watched == m_title || watched == m_title->parent())) {
        TopPanelDblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool ExecuteDateDialog(TDateTime& ADate, const QString& DlgCaption, TDayOfWeekName AStartOfWeek,
                       TDaysOfWeek AWeekends, TColor AWeekendColor, const QStringList& BtnHints)
{
    TSelectDateDlg dlg;
    dlg.setWindowModality(Qt::ApplicationModal);
    dlg.setWindowTitle(DlgCaption);
    applyCalendarSettings(&dlg, AStartOfWeek, AWeekends, AWeekendColor, BtnHints);
    dlg.SetDate(ADate);
    if (const QScreen* scr = QGuiApplication::primaryScreen())
        dlg.move(scr->geometry().center() - dlg.rect().center());
    if (dlg.exec() != QDialog::Accepted)
        return false;
    ADate = dlg.Date();
    return true;
}
