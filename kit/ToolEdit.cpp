#include "ToolEdit.h"
#include "Application.h"
#include "Dialogs.h"
#include "Locale.h"
#include "PickDate.h"
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QTimer>

// ---------------------------------------------------------------- masks

namespace {

struct QtMask {
    QString mask;             // Qt's input mask, blank character included
    QList<bool> literal;      // per text position
    QChar blank{' '};
    bool saveLiterals = true;
};

// A mask in the kit's notation (ToolEdit.h) in Qt's. Its / and : stand for the
// locale's separators; Qt's own mask letters among the literals are escaped.
QtMask translateMask(const QString& mask)
{
    QtMask out;
    if (mask.isEmpty())
        return out;
    QStringList fields{QString()};
    for (int i = 0; i < mask.size(); ++i) {
        if (mask[i] == QChar('\\') && i + 1 < mask.size() && fields.size() == 1) {
            fields.last() += mask.mid(i, 2);
            ++i;
        } else if (mask[i] == QChar(';') && fields.size() < 3) {
            fields << QString();
        } else {
            fields.last() += mask[i];
        }
    }
    out.saveLiterals = fields.size() < 2 || fields[1] != QLatin1String("0");
    if (fields.size() > 2 && !fields[2].isEmpty())
        out.blank = fields[2][0];

    const TFormatSettings& fs = FormatSettings();
    const QString qtSpecial = QStringLiteral("AaNnXx90Dd#HhBb><!\\[]{}");
    auto literal = [&](QChar c) {
        if (qtSpecial.contains(c))
            out.mask += QChar('\\');
        out.mask += c;
        out.literal << true;
    };
    auto slot = [&](char qt) {
        out.mask += QChar(qt);
        out.literal << false;
    };
    const QString& m = fields[0];
    for (int i = 0; i < m.size(); ++i) {
        const QChar c = m[i];
        switch (c.unicode()) {
        case '!': break;  // blanks kept at the start: Qt keeps positions anyway
        case '>': out.mask += QChar('>'); break;
        case '<':
            if (i + 1 < m.size() && m[i + 1] == QChar('>')) {
                out.mask += QChar('!');
                ++i;
            } else {
                out.mask += QChar('<');
            }
            break;
        case '\\':
            if (i + 1 < m.size())
                literal(m[++i]);
            break;
        case 'L': slot('A'); break;
        case 'l': slot('a'); break;
        case 'A': slot('N'); break;
        case 'a': slot('n'); break;
        case 'C': slot('X'); break;
        case 'c': slot('x'); break;
        case '0': slot('9'); break;
        case '9': slot('0'); break;
        case '#': slot('#'); break;
        case '/': literal(fs.DateSeparator); break;
        case ':': literal(fs.TimeSeparator); break;
        case '_': literal(QChar(' ')); break;
        default: literal(c); break;
        }
    }
    out.mask += QChar(';');
    out.mask += out.blank;
    return out;
}

// The combo-box arrow and the ellipsis, drawn black on a white ground that
// becomes transparent (the bottom-left pixel's colour).
QImage dropDownArrow()
{
    QImage img(7, 4, QImage::Format_ARGB32);
    img.fill(Qt::white);
    for (int row = 0; row < 3; ++row)
        for (int x = row; x < 7 - row; ++x)
            img.setPixel(x, row, qRgb(0, 0, 0));
    // Bottom row: the tip in the middle, the corners stay ground.
    img.setPixel(3, 3, qRgb(0, 0, 0));
    return img;
}

QImage ellipsisGlyph(int width)
{
    QImage img(qMax(1, width), 4, QImage::Format_ARGB32);
    img.fill(Qt::white);
    const int start = (img.width() - 10) / 2;
    for (int dot = 0; dot < 3; ++dot)
        for (int y = 1; y < 3; ++y)
            for (int x = 0; x < 2; ++x) {
                const int px = start + dot * 4 + x;
                if (px >= 0 && px < img.width())
                    img.setPixel(px, y, qRgb(0, 0, 0));
            }
    return img;
}

}  // namespace

// ---------------------------------------------------------------- popup window

TPopupWindow::TPopupWindow(QWidget* AOwner) : QFrame(AOwner, Qt::ToolTip)
{
    // A tool-tip window is the one kind that no platform activates when it
    // shows: the edit under it keeps the focus.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColorToQColor(clBtnFace));
    pal.setColor(QPalette::WindowText, ColorToQColor(clWindowText));
    setPalette(pal);
}

void TPopupWindow::CloseUp(bool Accept)
{
    if (OnCloseUp)
        OnCloseUp(Accept);
}

QString TPopupWindow::GetPopupText() const
{
    return QString();
}

void TPopupWindow::Show(const QPoint& Origin)
{
    move(Origin);
    show();
}

void TPopupWindow::Hide()
{
    m_pressed = false;
    hide();
}

void TPopupWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
    QFrame::mousePressEvent(event);
}

void TPopupWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_pressed) {
        m_pressed = false;
        CloseUp(rect().contains(event->position().toPoint()));
        return;
    }
    QFrame::mouseReleaseEvent(event);
}

// ---------------------------------------------------------------- edit button

TEditButton::TEditButton(TCustomComboEdit* AOwner, QWidget* parent) : TKitSpeedButton(parent), m_owner(AOwner)
{
    setObjectName(QStringLiteral("Button"));
}

void TEditButton::MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    m_noAction = false;
    if (Button == Qt::LeftButton && m_owner->PopupVisible()) {
        m_owner->PopupCloseUp(true);
        m_noAction = true;
    }
    TKitSpeedButton::MouseDown(Button, Shift, X, Y);
}

void TEditButton::Click()
{
    if (m_noAction) {
        m_noAction = false;
        return;
    }
    TKitSpeedButton::Click();
}

void TEditButton::Paint(QPainter& Canvas)
{
    TKitSpeedButton::Paint(Canvas);
    if (State() == rbsDown || State() == rbsExclusive)
        return;
    // The line that parts the button from the text.
    const TColor line = Style() == bsWin31 ? clBtnShadow : clBtnFace;
    Canvas.fillRect(QRect(0, 0, 1, height()), ColorToQColor(line));
    Canvas.fillRect(QRect(1, 1, 1, qMax(0, height() - 2)), ColorToQColor(clBtnHighlight));
}

// ---------------------------------------------------------------- combo edit

TCustomComboEdit::TCustomComboEdit(QWidget* parent) : QLineEdit(parent)
{
    m_btnControl = new QWidget(this);
    m_btnControl->setObjectName(QStringLiteral("BtnControl"));
    m_btnControl->setCursor(Qt::ArrowCursor);
    m_button = new TEditButton(this, m_btnControl);
    m_button->OnClick = [this](QObject*) { ButtonClick(); };
    connect(this, &QLineEdit::textChanged, this, [this] { Change(); });
    resize(121, 21);
    updateMinimumHeight();
    layoutButton();
}

// No lower than the text with its border: the smaller of the program's and
// the edit's font, plus four border widths and one.
void TCustomComboEdit::updateMinimumHeight()
{
    const int text = qMin(QFontMetrics(QApplication::font()).height(), fontMetrics().height());
    setMinimumHeight(text + (hasFrame() ? 4 : 0) + 1);
}

TCustomComboEdit::~TCustomComboEdit()
{
    installPopupWatch(false);
    if (m_popup)
        m_popup->OnCloseUp = nullptr;
}

// -------------------------------------------------------------- mask and text

void TCustomComboEdit::SetEditMask(const QString& Value)
{
    m_editMask = Value;
    const QtMask qm = translateMask(Value);
    m_maskLiteral = qm.literal;
    m_maskBlank = qm.blank;
    m_maskSaveLiterals = qm.saveLiterals;
    setInputMask(qm.mask);
}

void TCustomComboEdit::SetEditText(const QString& Value)
{
    setText(Value);
}

QString TCustomComboEdit::Text() const
{
    if (!IsMasked())
        return text();
    const QString shown = displayText();
    QString out;
    for (int i = 0; i < shown.size(); ++i) {
        const bool lit = i < m_maskLiteral.size() && m_maskLiteral[i];
        if (lit) {
            if (m_maskSaveLiterals)
                out += shown[i];
        } else {
            out += shown[i] == m_maskBlank ? QChar(' ') : shown[i];
        }
    }
    return out;
}

void TCustomComboEdit::SetText(const QString& Value)
{
    if (!IsMasked()) {
        setText(Value);
        return;
    }
    // Blanks given as spaces stand in their positions.
    QString v = Value;
    if (m_maskBlank != QChar(' '))
        for (int i = 0; i < v.size() && i < m_maskLiteral.size(); ++i)
            if (!m_maskLiteral[i] && v[i] == QChar(' '))
                v[i] = m_maskBlank;
    setText(v);
}

// -------------------------------------------------------------- properties

void TCustomComboEdit::SetReadOnly(bool Value)
{
    m_readOnly = Value;
    UpdateEditReadOnly();
}

void TCustomComboEdit::SetDirectInput(bool Value)
{
    m_directInput = Value;
    UpdateEditReadOnly();
}

void TCustomComboEdit::UpdateEditReadOnly()
{
    setReadOnly(m_readOnly || !m_directInput || m_editDisabled);
}

void TCustomComboEdit::SetGlyphKind(TGlyphKind Value)
{
    m_glyphKind = Value;
    UpdateButtonGlyph();
}

void TCustomComboEdit::SetButtonWidth(int Value)
{
    m_buttonWidth = Value;
    if (m_glyphKind == gkEllipsis)
        UpdateButtonGlyph();
    else
        layoutButton();
}

QString TCustomComboEdit::ButtonHint() const
{
    return m_button->Hint();
}

void TCustomComboEdit::SetButtonHint(const QString& Value)
{
    m_button->SetHint(Value);
}

QImage TCustomComboEdit::Glyph() const
{
    return m_button->Glyph();
}

void TCustomComboEdit::SetGlyph(const QImage& Value)
{
    m_customGlyph = Value;
    m_glyphKind = gkCustom;
    m_button->SetGlyph(Value);
    m_customNumGlyphs = m_button->NumGlyphs();
    layoutButton();
}

int TCustomComboEdit::NumGlyphs() const
{
    return m_button->NumGlyphs();
}

void TCustomComboEdit::SetNumGlyphs(int Value)
{
    switch (m_glyphKind) {
    case gkDropDown:
    case gkEllipsis: Value = 1; break;
    case gkDefault: Value = m_defNumGlyphs; break;
    case gkCustom: m_customNumGlyphs = Value; break;
    }
    m_button->SetNumGlyphs(Value);
}

void TCustomComboEdit::UpdateButtonGlyph()
{
    switch (m_glyphKind) {
    case gkDefault: {
        const QImage glyph = DefaultGlyph();
        m_button->SetGlyph(glyph);
        m_button->SetNumGlyphs(m_defNumGlyphs);
        if (!glyph.isNull())
            m_buttonWidth = qMax(m_buttonWidth, glyph.width() / m_defNumGlyphs + 6);
        break;
    }
    case gkDropDown:
        m_button->SetGlyph(dropDownArrow());
        m_button->SetNumGlyphs(1);
        m_buttonWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        break;
    case gkEllipsis:
        m_button->SetGlyph(ellipsisGlyph(m_buttonWidth - 6));
        m_button->SetNumGlyphs(1);
        break;
    case gkCustom:
        m_button->SetGlyph(m_customGlyph);
        m_button->SetNumGlyphs(m_customNumGlyphs);
        break;
    }
    layoutButton();
}

void TCustomComboEdit::layoutButton()
{
    const int bw = m_buttonWidth >= 2 ? m_buttonWidth : 0;
    m_btnControl->setVisible(bw > 0);
    if (bw > 0) {
        if (hasFrame())
            m_btnControl->setGeometry(width() - bw - 2, 2, bw, qMax(0, height() - 4));
        else
            m_btnControl->setGeometry(width() - bw, 0, bw, height());
        m_button->SetBounds(0, 0, bw, m_btnControl->height());
    }
    setTextMargins(0, 0, bw, 0);
}

// -------------------------------------------------------------- popup

void TCustomComboEdit::SetPopup(TPopupWindow* Value)
{
    if (Value == m_popup)
        return;
    if (m_popupVisible)
        PopupCloseUp(false);
    if (m_popup) {
        m_popup->OnCloseUp = nullptr;
        delete m_popup.data();
    }
    m_popup = Value;
    if (m_popup) {
        if (m_popup->parentWidget() != this)
            m_popup->setParent(this, m_popup->windowFlags());
        m_popup->OnCloseUp = [this](bool accept) { PopupCloseUp(accept); };
    }
}

void TCustomComboEdit::PopupDropDown(bool DisableEdit)
{
    if (!m_popup || ReadOnly() || m_popupVisible)
        return;
    const QPoint p = mapToGlobal(QPoint(0, 0));
    const QScreen* scr = screen();
    const QRect sr = scr ? scr->geometry() : QRect(0, 0, 1024, 768);
    const QSize ps = m_popup->size();
    int y = p.y() + height();
    if (y + ps.height() > sr.y() + sr.height())
        y = p.y() - ps.height();  // no room below: above the edit
    int x = p.x();
    if (m_popupAlign == epaRight) {
        x -= ps.width() - width();
        if (x < sr.x())
            x = p.x();
    } else if (x + ps.width() > sr.x() + sr.width()) {
        x -= ps.width() - width();
    }
    x = qMax(sr.x(), qMin(x, sr.x() + sr.width() - ps.width()));

    SetPopupValue(Text().isEmpty() ? QVariant() : QVariant(Text()));
    if (!hasFocus())
        setFocus();
    ShowPopup(QPoint(x, y));
    m_popupVisible = true;
    if (DisableEdit) {
        m_editDisabled = true;
        UpdateEditReadOnly();
    }
    installPopupWatch(true);
}

void TCustomComboEdit::PopupCloseUp(bool Accept)
{
    if (!m_popup || !m_popupVisible || m_closing)
        return;
    m_closing = true;
    installPopupWatch(false);
    QVariant value = GetPopupValue();
    HidePopup();
    // The focus comes back to the edit, unless leaving it is what closes
    // the popup.
    if (!m_losingFocus && !hasFocus() && isVisible() && isEnabled())
        setFocus();
    m_editDisabled = false;
    UpdateEditReadOnly();
    update();
    if (Accept && AcceptPopup(value) && EditCanModify()) {
        AcceptValue(value);
        if (hasFocus())
            selectAll();
    }
    m_popupVisible = false;
    m_closing = false;
}

void TCustomComboEdit::ShowPopup(const QPoint& Origin)
{
    m_popup->Show(Origin);
}

void TCustomComboEdit::HidePopup()
{
    m_popup->Hide();
}

bool TCustomComboEdit::AcceptPopup(QVariant&)
{
    return true;
}

void TCustomComboEdit::AcceptValue(const QVariant& Value)
{
    const QString s = Value.toString();
    if (Text() != s) {
        SetText(s);  // the text change notifies
        setModified(true);
    }
}

void TCustomComboEdit::SetPopupValue(const QVariant& Value)
{
    m_popup->SetValue(Value);
}

QVariant TCustomComboEdit::GetPopupValue() const
{
    return m_popup->GetValue();
}

void TCustomComboEdit::ButtonClick()
{
    if (ReadOnly())
        return;
    if (OnButtonClick)
        OnButtonClick(this);
    if (m_popup) {
        if (m_popupVisible)
            PopupCloseUp(true);
        else
            PopupDropDown(true);
    }
}

void TCustomComboEdit::Change()
{
    if (m_formatting)
        return;
    if (m_popup && m_popup->isVisible())
        PopupChange();
    else if (OnChange)
        OnChange(this);
}

// While the popup is open, a press anywhere else in the program closes it
// without taking its value, as does switching to another program.
void TCustomComboEdit::installPopupWatch(bool on)
{
    if (on == m_watching || !qApp)
        return;
    m_watching = on;
    if (on)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

bool TCustomComboEdit::isPopupPart(QObject* object) const
{
    auto* w = qobject_cast<QWidget*>(object);
    if (!w)
        return true;
    if (w == this || w == m_btnControl || m_btnControl->isAncestorOf(w))
        return true;
    return m_popup && (w == m_popup || m_popup->isAncestorOf(w));
}

bool TCustomComboEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (m_popupVisible) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
            if (watched->isWidgetType() && !isPopupPart(watched))
                PopupCloseUp(false);
            break;
        case QEvent::ApplicationDeactivate:
            PopupCloseUp(false);
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Hide:
            // The form moved away from under the popup.
            if (watched == window())
                PopupCloseUp(false);
            break;
        default:
            break;
        }
    }
    return QLineEdit::eventFilter(watched, event);
}

// -------------------------------------------------------------- events

void TCustomComboEdit::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (m_buttonWidth > 0 && QKeyCombination(mods, Qt::Key(event->key())) == m_clickKey) {
        ButtonClick();
        event->accept();
        return;
    }
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        if (m_popupVisible) {
            PopupCloseUp(key != Qt::Key_Escape);
            event->accept();
            return;
        }
        if (key == Qt::Key_Escape)
            ResetMaskText();
        // The form's default or cancel button takes it.
        event->ignore();
        return;
    }
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed[0] >= QChar(' ') &&
                           !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    const QString before = displayText();
    const int cursor = cursorPosition();
    QLineEdit::keyPressEvent(event);
    // A character the mask refuses leaves text and cursor as they were.
    if (printable && IsMasked() && !isReadOnly() && displayText() == before && cursorPosition() == cursor)
        MessageBeep();
}

void TCustomComboEdit::ResetMaskText()
{
    if (IsMasked() && isModified() && !isReadOnly()) {
        setText(m_textOnEnter);
        selectAll();
    }
}

void TCustomComboEdit::mousePressEvent(QMouseEvent* event)
{
    if (m_popupVisible && event->button() == Qt::LeftButton) {
        if (!hasFocus())
            setFocus(Qt::MouseFocusReason);
        PopupCloseUp(false);
    }
    QLineEdit::mousePressEvent(event);
}

bool TCustomComboEdit::IsEnterExitReason(Qt::FocusReason Reason)
{
    // Switching windows and opening menus leave the edit the form's active
    // control: no exit, and no enter on the way back.
    return Reason != Qt::ActiveWindowFocusReason && Reason != Qt::PopupFocusReason;
}

void TCustomComboEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (!m_entered) {
        m_entered = true;
        DoEnter();
        m_textOnEnter = displayText();
        if (m_autoSelect && event->reason() != Qt::MouseFocusReason)
            selectAll();
    }
}

void TCustomComboEdit::focusOutEvent(QFocusEvent* event)
{
    if (m_popupVisible) {
        m_losingFocus = true;
        PopupCloseUp(false);
        m_losingFocus = false;
    }
    QLineEdit::focusOutEvent(event);
    if (m_entered && IsEnterExitReason(event->reason())) {
        m_entered = false;
        DoExit();
    }
}

void TCustomComboEdit::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TCustomComboEdit::DoExit()
{
    if (OnExit)
        OnExit(this);
}

void TCustomComboEdit::RefuseExit()
{
    // As if the edit had never been left: the focus comes back to it once
    // the message about its text is gone.
    m_entered = true;
    QTimer::singleShot(0, this, [this] {
        setFocus(Qt::OtherFocusReason);
        selectAll();
    });
}

void TCustomComboEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    layoutButton();
}

void TCustomComboEdit::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::StyleChange && m_glyphKind == gkDropDown)
        UpdateButtonGlyph();
    if (event->type() == QEvent::FontChange)
        updateMinimumHeight();
    if (event->type() == QEvent::EnabledChange && !isEnabled() && m_popupVisible)
        PopupCloseUp(false);
}

// ---------------------------------------------------------------- date edit

TCustomDateEdit::TCustomDateEdit(QWidget* parent)
    : TCustomComboEdit(parent), m_dialogTitle(QStringLiteral("Select a Date"))
{
    m_defNumGlyphs = 2;
    SetGlyphKind(gkDefault);
    createPopupCalendar();
    // The locale's date order, separator and century reach open editors.
    connect(TFormatSettingsNotifier::instance(), &TFormatSettingsNotifier::changed, this,
            [this] { UpdateMask(); });
}

TCustomDateEdit::~TCustomDateEdit() = default;

QImage TCustomDateEdit::DefaultGlyph() const
{
    static const QImage glyph = LoadKitBitmap(QStringLiteral("DEDITBMP"));
    return glyph;
}

TPopupCalendar* TCustomDateEdit::PopupCalendar() const
{
    return qobject_cast<TPopupCalendar*>(Popup());
}

void TCustomDateEdit::createPopupCalendar()
{
    auto* popup = new TPopupCalendar(this);
    popup->setObjectName(QStringLiteral("PopupCalendar"));
    SetPopup(popup);
    updatePopupSettings();
}

void TCustomDateEdit::updatePopupSettings()
{
    if (TPopupCalendar* popup = PopupCalendar()) {
        QPalette pal = popup->palette();
        pal.setColor(QPalette::Window, ColorToQColor(m_popupColor));
        popup->setPalette(pal);
        SetupPopupCalendar(popup, m_startOfWeek, m_weekends, m_weekendColor, m_calendarHints);
    }
}

bool TCustomDateEdit::fourDigitYear() const
{
    switch (m_yearDigits) {
    case dyFour: return true;
    case dyTwo: return false;
    default: return FourDigitYear();
    }
}

void TCustomDateEdit::UpdateMask()
{
    const TDateTime kept = Date();
    const bool modified = isModified();
    {
        const bool formatting = m_formatting;
        m_formatting = true;
        m_dateFormat = DefaultDateFormat(fourDigitYear());
        // Set again even when the letters are the same: the separator the
        // mask shows may be the one that changed.
        SetEditMask(QString());
        SetEditMask(DefaultDateEditMask(m_blanksChar, fourDigitYear()));
        m_formatting = formatting;
    }
    updatePopupSettings();
    const bool formatting = m_formatting;
    m_formatting = true;  // the date itself did not change
    SetDate(kept);
    m_formatting = formatting;
    setModified(modified);
}

TDateTime TCustomDateEdit::Date() const
{
    return ParseDateFmtDef(m_dateFormat, Text(), m_defaultToday ? ::Date() : NullDate);
}

void TCustomDateEdit::SetDate(TDateTime Value)
{
    if (!IsValidDateValue(Value) || Value == NullDate)
        Value = m_defaultToday ? ::Date() : NullDate;
    const TDateTime old = Date();
    SetText(Value == NullDate ? QString() : FormatDateTime(m_dateFormat, Value));
    setModified(Date() != old);
}

void TCustomDateEdit::ApplyDate(TDateTime Value)
{
    SetDate(Value);
    selectAll();
}

bool TCustomDateEdit::TextIsBlank() const
{
    const QChar sep = FormatSettings().DateSeparator;
    for (QChar c : Text())
        if (c != QChar(' ') && c != sep && c != QChar('/'))
            return false;
    return true;
}

void TCustomDateEdit::CheckValidDate()
{
    if (TextIsBlank())
        return;
    const TDateTime d = ParseDateFmt(m_dateFormat, Text());
    const bool formatting = m_formatting;
    m_formatting = true;
    SetDate(d);
    m_formatting = formatting;
}

void TCustomDateEdit::DoExit()
{
    if (m_checkOnExit) {
        try {
            CheckValidDate();
        } catch (const Exception& e) {
            RefuseExit();
            HandleException(e);
            return;
        }
    }
    TCustomComboEdit::DoExit();
}

void TCustomDateEdit::SetBlanksChar(QChar Value)
{
    if (Value < QChar(' '))
        Value = QChar(' ');
    if (Value == m_blanksChar)
        return;
    m_blanksChar = Value;
    UpdateMask();
}

void TCustomDateEdit::SetCalendarHints(const QStringList& Value)
{
    m_calendarHints = Value.mid(0, 4);
    updatePopupSettings();
}

void TCustomDateEdit::SetPopupColor(TColor Value)
{
    m_popupColor = Value;
    updatePopupSettings();
}

void TCustomDateEdit::SetCalendarStyle(TCalendarStyle Value)
{
    if (Value == m_calendarStyle)
        return;
    m_calendarStyle = Value;
    if (Value == csDialog)
        SetPopup(nullptr);
    else
        createPopupCalendar();
}

void TCustomDateEdit::SetStartOfWeek(TDayOfWeekName Value)
{
    m_startOfWeek = Value;
    updatePopupSettings();
}

void TCustomDateEdit::SetWeekends(TDaysOfWeek Value)
{
    m_weekends = Value;
    updatePopupSettings();
}

void TCustomDateEdit::SetWeekendColor(TColor Value)
{
    m_weekendColor = Value;
    updatePopupSettings();
}

void TCustomDateEdit::SetYearDigits(TYearDigits Value)
{
    if (Value == m_yearDigits)
        return;
    m_yearDigits = Value;
    UpdateMask();
}

bool TCustomDateEdit::AcceptPopup(QVariant& Value)
{
    TDateTime d = Value.isNull() || !Value.isValid() || Value.toString().isEmpty() ? NullDate : Value.toDouble();
    bool action = true;
    if (OnAcceptDate)
        OnAcceptDate(this, d, action);
    Value = d;
    return action;
}

void TCustomDateEdit::AcceptValue(const QVariant& Value)
{
    // The text change itself runs the change notification.
    SetDate(Value.toDouble());
}

void TCustomDateEdit::SetPopupValue(const QVariant&)
{
    Popup()->SetValue(ParseDateFmtDef(m_dateFormat, Text(), ::Date()));
}

void TCustomDateEdit::ButtonClick()
{
    TCustomComboEdit::ButtonClick();
    if (m_calendarStyle != csDialog || ReadOnly())
        return;
    TDateTime d = Date();
    bool action = ExecuteDateDialog(d, m_dialogTitle, m_startOfWeek, m_weekends, m_weekendColor, m_calendarHints);
    if (isVisible() && isEnabled())
        setFocus();
    if (action && OnAcceptDate)
        OnAcceptDate(this, d, action);
    if (action && EditCanModify())
        ApplyDate(d);
}

void TCustomDateEdit::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    const int key = event->key();
    if (ButtonWidth() > 0 && QKeyCombination(mods, Qt::Key(key)) == ClickKey()) {
        TCustomComboEdit::keyPressEvent(event);
        return;
    }
    const QString typed = event->text();
    const QChar ch = typed.size() == 1 ? typed[0] : QChar();
    const bool plusMinus = keypad && (key == Qt::Key_Plus || key == Qt::Key_Minus);

    if (PopupVisible()) {
        TPopupCalendar* popup = PopupCalendar();
        const bool calendarKey = key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Left ||
                                 key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down || plusMinus;
        const bool calendarChar = ch == QChar('+') || ch == QChar('-') || ch == QChar('T') || ch == QChar('t');
        if (popup && (calendarKey || calendarChar)) {
            QKeyEvent copy(event->type(), key, event->modifiers(), typed, event->isAutoRepeat(), event->count());
            QCoreApplication::sendEvent(popup->Calendar(), &copy);
            event->accept();
            return;
        }
    } else if (DirectInput() && !ReadOnly()) {
        if (plusMinus && mods == Qt::NoModifier) {
            TDateTime d = Date();
            if (d == NullDate)
                d = ::Date();
            ApplyDate(d + (key == Qt::Key_Plus ? 1 : -1));
            event->accept();
            return;
        }
        const bool plainChar = !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (plainChar && (ch == QChar('T') || ch == QChar('t'))) {
            ApplyDate(::Date());
            event->accept();
            return;
        }
        if (plainChar && (ch == QChar('+') || ch == QChar('-'))) {
            event->accept();  // dropped
            return;
        }
    }
    TCustomComboEdit::keyPressEvent(event);
}

TDateEdit::TDateEdit(QWidget* parent) : TCustomDateEdit(parent)
{
    UpdateMask();
}
