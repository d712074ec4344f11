#include "CurrEdit.h"
#include "Application.h"
#include "Dialogs.h"
#include "Formats.h"
#include "KitCalc.h"
#include "Locale.h"
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

// ---------------------------------------------------------------- number edit

TCustomNumEdit::TCustomNumEdit(QWidget* parent) : TCustomComboEdit(parent)
{
    m_defNumGlyphs = 2;
    SetGlyphKind(gkDefault);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);  // while editing
    setAcceptDrops(false);                           // only checked text gets in
    UpdateEditText();
    // New separators: the text is written again from the value it holds.
    connect(TFormatSettingsNotifier::instance(), &TFormatSettingsNotifier::changed, this, [this] {
        if (!m_entered)
            setOwnText(m_value == 0 && m_zeroEmpty ? QString() : FormatFloat(editFormat(false), m_value));
        update();
    });
}

QImage TCustomNumEdit::DefaultGlyph() const
{
    static const QImage glyph = LoadKitBitmap(QStringLiteral("CEDITBMP"));
    return glyph;
}

// -------------------------------------------------------------- rules

QString TCustomNumEdit::NormalizeNumberText(const QString& S)
{
    // The program's one reading of typed amounts.
    QString t = NormalizeAmountText(S);
    if (t.isEmpty())
        t = QStringLiteral("0");
    else if (t == QLatin1String("-"))
        t = QStringLiteral("-0");
    return t;
}

double TCustomNumEdit::ApplyValueRange(bool Raise, double AValue) const
{
    double v = AValue;
    if (m_minValue < m_maxValue) {
        v = qBound(m_minValue, v, m_maxValue);
    } else if (m_minValue > m_maxValue) {
        if (m_maxValue == 0 && v < m_minValue)
            v = m_minValue;
        else if (m_minValue == 0 && v > m_maxValue)
            v = m_maxValue;
    }
    if (Raise && v != AValue)
        throw ERangeError(QStringLiteral("Value must be between %1 and %2")
                              .arg(FloatToStrF(m_minValue, ffFixed, 18, m_decimalPlaces),
                                   FloatToStrF(m_maxValue, ffFixed, 18, m_decimalPlaces)));
    return v;
}

bool TCustomNumEdit::AcceptsKeyChar(QChar Key) const
{
    // The blanks around a typed amount are dropped when it is read, but a
    // blank typed among its digits stands only for a thousands separator
    // that is a blank; anything else would end the number there.
    if (Key.isSpace() && !TypedForThousandSeparator(Key))
        return false;
    const QString current = text();
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    const int length = hasSelectedText() ? int(selectedText().size()) : 0;
    const QString result = NormalizeNumberText(QString(current).replace(start, length, Key));
    const QChar dec = FormatSettings().DecimalSeparator;
    const int point = result.indexOf(dec);
    if (point >= 0) {
        const QString upper = result.toUpper();
        int exponent = upper.indexOf(QChar('E'), point);
        if (exponent < 0)
            exponent = int(result.size());
        if (exponent - point - 1 > m_decimalPlaces)
            return false;
    }
    double v;
    if (!TryStrToFloat(result, v))
        return false;
    return !(m_minValue >= 0 && m_maxValue > 0 && v < 0);
}

// -------------------------------------------------------------- value and text

QString TCustomNumEdit::editFormat(bool thousands) const
{
    QString f = thousands ? QStringLiteral(",0") : QStringLiteral("0");
    if (m_decimalPlaces > 0)
        f += QChar('.') + QString(m_decimalPlaces, QChar('#'));
    return f;
}

void TCustomNumEdit::setOwnText(const QString& s)
{
    const bool formatting = m_formatting;
    m_formatting = true;
    setText(s);
    m_formatting = formatting;
}

void TCustomNumEdit::UpdateEditText()
{
    const QString s = m_value == 0 && m_zeroEmpty
                          ? QString()
                          : FormatFloat(editFormat(m_formatOnEditing && m_entered), m_value);
    setText(s);
}

double TCustomNumEdit::Value() const
{
    double v;
    if (TryStrToFloat(NormalizeNumberText(text()), v))
        m_value = ApplyValueRange(false, v);
    else
        m_value = m_minValue;
    return m_value;
}

void TCustomNumEdit::SetValue(double AValue)
{
    m_value = ApplyValueRange(false, AValue);
    UpdateEditText();
    update();
}

void TCustomNumEdit::SetText(const QString& AValue)
{
    const double v = StrToFloat(NormalizeNumberText(AValue));
    m_value = ApplyValueRange(false, v);
    UpdateEditText();
    update();
}

QString TCustomNumEdit::GetDisplayText() const
{
    return DisplayTextOf(Value());
}

QString TCustomNumEdit::DisplayTextOf(double v) const
{
    // A zero that shows empty while edited shows empty here too.
    if (v == 0 && m_zeroEmpty)
        return QString();
    const QString format = DisplayFormat();
    return format.isEmpty() ? FloatToStr(v) : FormatFloat(format, v);
}

QString TCustomNumEdit::ShownText() const
{
    return m_entered && !PopupVisible() ? text() : GetDisplayText();
}

QString TCustomNumEdit::StandardDisplayFormat() const
{
    return QStringLiteral(",0.##");
}

QString TCustomNumEdit::DisplayFormat() const
{
    return m_displayFormat.isNull() ? StandardDisplayFormat() : m_displayFormat;
}

void TCustomNumEdit::Reset()
{
    UpdateEditText();
    if (DirectInput())
        selectAll();
}

// -------------------------------------------------------------- setters

void TCustomNumEdit::SetAlignment(TAlignment AValue)
{
    m_alignment = AValue;
    if (m_formatOnEditing)
        SetFormatOnEditing(true);
    update();
}

void TCustomNumEdit::SetBeepOnError(bool AValue)
{
    m_beepOnError = AValue;
    if (TPopupCalculator* calc = PopupCalculator())
        calc->Calculator()->SetBeepOnError(AValue);
}

void TCustomNumEdit::SetDecimalPlaces(int AValue)
{
    m_decimalPlaces = qMax(0, AValue);
    UpdateEditText();
    update();
}

void TCustomNumEdit::SetDisplayFormat(const QString& AValue)
{
    m_displayFormat = AValue.isNull() ? QStringLiteral("") : AValue;
    UpdateEditText();
    update();
}

void TCustomNumEdit::SetZeroEmpty(bool AValue)
{
    m_zeroEmpty = AValue;
    UpdateEditText();
    update();
}

void TCustomNumEdit::SetMaxValue(double AValue)
{
    m_maxValue = AValue;
    SetValue(m_value);
}

void TCustomNumEdit::SetMinValue(double AValue)
{
    m_minValue = AValue;
    SetValue(m_value);
}

void TCustomNumEdit::SetFormatOnEditing(bool AValue)
{
    m_formatOnEditing = AValue;
    const Qt::Alignment h = !AValue ? Qt::AlignLeft
                            : m_alignment == taRightJustify ? Qt::AlignRight
                            : m_alignment == taCenter ? Qt::AlignHCenter
                                                      : Qt::AlignLeft;
    setAlignment(h | Qt::AlignVCenter);
    if (m_entered) {
        if (AValue) {
            reformatWhileEditing();
        } else {
            Value();  // re-read into the value
            setOwnText(m_value == 0 && m_zeroEmpty ? QString() : FormatFloat(editFormat(false), m_value));
        }
    }
}

// -------------------------------------------------------------- calculator

void TCustomNumEdit::UseCalculator(bool AValue)
{
    if (AValue == (PopupCalculator() != nullptr))
        return;
    if (!AValue) {
        SetPopup(nullptr);
        return;
    }
    TPopupCalculator* calc = CreatePopupCalculator(this);
    calc->Calculator()->SetBeepOnError(m_beepOnError);
    calc->Calculator()->OnError = [this](QObject*) { PopupCalculatorError(); };
    SetPopup(calc);
}

TPopupCalculator* TCustomNumEdit::PopupCalculator() const
{
    return qobject_cast<TPopupCalculator*>(Popup());
}

void TCustomNumEdit::PopupCalculatorError()
{
    if (m_beepOnError)
        MessageBeep();
}

void TCustomNumEdit::AcceptValue(const QVariant& AValue)
{
    const QString before = text();
    SetValue(AValue.toDouble());
    if (text() != before)
        setModified(true);
}

// -------------------------------------------------------------- editing

void TCustomNumEdit::Change()
{
    if (m_formatting)
        return;
    if (m_formatOnEditing && m_entered)
        reformatWhileEditing();
    TCustomComboEdit::Change();
}

// Thousands separators regrouped as the operator types; what follows the
// decimal separator stays as typed, and the cursor keeps its distance from
// the end.
void TCustomNumEdit::reformatWhileEditing()
{
    const TFormatSettings& fs = FormatSettings();
    const QString t = text();
    const int point = t.indexOf(fs.DecimalSeparator);
    QString whole = point >= 0 ? t.left(point) : t;
    const QString rest = point >= 0 ? t.mid(point) : QString();
    const bool negative = whole.startsWith(QChar('-'));
    if (negative)
        whole.remove(0, 1);
    whole.remove(fs.ThousandSeparator);
    for (QChar c : whole)
        if (!c.isDigit())
            return;  // not a plain number: left alone
    QString grouped;
    for (int i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            grouped += fs.ThousandSeparator;
        grouped += whole[i];
    }
    const QString out = (negative ? QStringLiteral("-") : QString()) + grouped + rest;
    if (out == t)
        return;
    const int fromEnd = int(t.size()) - cursorPosition();
    setOwnText(out);
    setCursorPosition(qMax(0, int(out.size()) - fromEnd));
}

void TCustomNumEdit::DoEnter()
{
    setOwnText(m_value == 0 && m_zeroEmpty ? QString()
                                            : FormatFloat(editFormat(m_formatOnEditing), m_value));
    update();
    TCustomComboEdit::DoEnter();
}

void TCustomNumEdit::DoExit()
{
    try {
        const double v = StrToFloat(NormalizeNumberText(text()));
        if (m_checkOnExit)
            ApplyValueRange(true, v);
        m_value = ApplyValueRange(false, v);
    } catch (const Exception& e) {
        RefuseExit();
        HandleException(e);
        return;
    }
    setOwnText(m_value == 0 && m_zeroEmpty ? QString() : FormatFloat(editFormat(false), m_value));
    setCursorPosition(0);
    update();
    TCustomComboEdit::DoExit();
}

void TCustomNumEdit::PasteChecked(bool Selection)
{
    if (!DirectInput() || ReadOnly())
        return;
    const QString pasted = QGuiApplication::clipboard()->text(Selection ? QClipboard::Selection : QClipboard::Clipboard);
    const QString before = text();
    insert(pasted);
    double v;
    if (TryStrToFloat(NormalizeNumberText(text()), v)) {
        m_value = ApplyValueRange(false, v);
        return;
    }
    setOwnText(before);
    selectAll();
    setFocus();
    if (m_beepOnError)
        MessageBeep();
}

void TCustomNumEdit::TypeKeys(const QString& typed)
{
    const TFormatSettings& fs = FormatSettings();
    for (const char32_t code : typed.toUcs4()) {
        QChar ch = QChar::requiresSurrogates(code) ? QChar() : QChar(code);
        if ((ch == QChar('.') || ch == QChar(',')) && ch != fs.ThousandSeparator)
            ch = fs.DecimalSeparator;
        if (!ch.isNull() && AcceptsKeyChar(ch))
            insert(QString(ch));
        else if (m_beepOnError)
            MessageBeep();
    }
}

namespace {
// The text a key types, as a line edit takes it: none for a control
// character or a Ctrl (or Ctrl+Shift) combination. AltGr, which several
// systems report as Ctrl+Alt and others as Alt, types.
QString typedText(const QKeyEvent* event)
{
    const QString text = event->text();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (text.isEmpty() || mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier))
        return QString();
    const QChar first = text.front();
    const bool types = first.isPrint() || first.isSurrogate() || first.category() == QChar::Other_Format ||
                       first.category() == QChar::Other_PrivateUse;
    return types ? text : QString();
}
}  // namespace

void TCustomNumEdit::keyPressEvent(QKeyEvent* event)
{
    const TFormatSettings& fs = FormatSettings();
    const QString typed = event->text();
    const QChar ch = typed.size() == 1 ? typed[0] : QChar();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool plain = !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));

    if (TPopupCalculator* calc = PopupCalculator(); calc && PopupVisible() && plain) {
        const QChar up = ch.toUpper();
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        const bool backspace = event->key() == Qt::Key_Backspace;
        const bool calcChar = !ch.isNull() && ch != fs.ThousandSeparator &&
                              (QStringLiteral("%*+,-./0123456789=CQR_").contains(up) || ch == fs.DecimalSeparator);
        if (enter || backspace || calcChar) {
            calc->Calculator()->CalcKey(enter ? QChar('\r') : backspace ? QChar('\b') : ch);
            event->accept();
            return;
        }
    }
    if (event->matches(QKeySequence::Paste)) {
        PasteChecked(false);
        event->accept();
        return;
    }
    const int key = event->key();
    if (key == Qt::Key_Escape && !PopupVisible()) {
        Reset();
        TCustomComboEdit::keyPressEvent(event);  // and the form's cancel button
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape ||
        (ButtonWidth() > 0 && QKeyCombination(mods, Qt::Key(key)) == ClickKey())) {
        TCustomComboEdit::keyPressEvent(event);
        return;
    }
    if (const QString keys = typedText(event); !keys.isEmpty() && !isReadOnly()) {
        TypeKeys(keys);
        event->accept();
        return;
    }
    TCustomComboEdit::keyPressEvent(event);
}

void TCustomNumEdit::inputMethodEvent(QInputMethodEvent* event)
{
    // A read-only edit takes nothing, whoever sends the event.
    if (isReadOnly()) {
        event->ignore();
        return;
    }
    if (event->commitString().isEmpty()) {
        TCustomComboEdit::inputMethodEvent(event);
        return;
    }
    // What the input method commits is typed over the text it replaces; the
    // text it shows while composing stays its own.
    const int start = qBound(0, cursorPosition() + event->replacementStart(), int(text().size()));
    if (event->replacementLength() > 0)
        setSelection(start, qMin(event->replacementLength(), int(text().size()) - start));
    else if (event->replacementStart() != 0)
        setCursorPosition(start);
    TypeKeys(event->commitString());
    QInputMethodEvent composing(event->preeditString(), event->attributes());
    TCustomComboEdit::inputMethodEvent(&composing);
    event->accept();
}

void TCustomNumEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createStandardContextMenu();
    if (QAction* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"))) {
        paste->disconnect();
        paste->setEnabled(DirectInput() && !ReadOnly() && !QGuiApplication::clipboard()->text().isEmpty());
        connect(paste, &QAction::triggered, this, [this] { PasteChecked(false); });
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TCustomNumEdit::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        PasteChecked(true);  // the selection paste of X11
        event->accept();
        return;
    }
    TCustomComboEdit::mouseReleaseEvent(event);
}

void TCustomNumEdit::paintEvent(QPaintEvent* event)
{
    if (m_entered && !PopupVisible()) {
        TCustomComboEdit::paintEvent(event);
        return;
    }
    QPainter p(this);
    QStyleOptionFrame opt;
    initStyleOption(&opt);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &opt, &p, this);
    QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &opt, this);
    r = r.marginsRemoved(textMargins()).adjusted(2, 0, -2, 0);
    const Qt::Alignment h = m_alignment == taRightJustify ? Qt::AlignRight
                            : m_alignment == taCenter     ? Qt::AlignHCenter
                                                          : Qt::AlignLeft;
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    p.drawText(r, int(h | Qt::AlignVCenter), ShownText());
}

// ---------------------------------------------------------------- currency edit

TCurrencyEdit::TCurrencyEdit(QWidget* parent) : TCustomNumEdit(parent)
{
    SetButtonWidth(0);
}

QString TCurrencyEdit::StandardDisplayFormat() const
{
    return CurrencyDisplayFormat();
}

QString CurrencyDisplayFormat()
{
    const TFormatSettings& fs = FormatSettings();
    QString p = QStringLiteral(",0.") + QString(qMax(0, fs.CurrencyDecimals), QChar('0'));
    QString s;
    for (QChar c : fs.CurrencyString) {
        if (c == QChar(',') || c == QChar('.'))
            s += QChar('\'') + QString(c) + QChar('\'');
        else
            s += c;
    }
    if (!s.isEmpty()) {
        switch (fs.CurrencyFormat) {
        case 0: p = s + p; break;
        case 1: p = p + s; break;
        case 2: p = s + QChar(' ') + p; break;
        case 3: p = p + QChar(' ') + s; break;
        default: break;
        }
    }
    return QStringLiteral("%1;-%2").arg(p, p);
}

void UsePlainCurrencyText(TCustomNumEdit* edit)
{
    edit->SetDecimalPlaces(4);
    edit->SetDisplayFormat(QStringLiteral("0.####"));
}
