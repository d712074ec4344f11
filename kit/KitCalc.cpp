#include "KitCalc.h"
#include "Dialogs.h"
#include "Formats.h"
#include "Locale.h"
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------- keys

namespace {

struct KeySpec {
    TCalcBtnKind kind;
    const char* caption;  // empty: a glyph from "CALCBTNS"
    TColor color;
    int col, row;
};

// Six columns by five rows under the display.
const KeySpec kKeys[] = {
    {cbMC, "MC", clPurple, 0, 0},   {cbNum7, "7", clNavy, 1, 0},  {cbNum8, "8", clNavy, 2, 0},
    {cbNum9, "9", clNavy, 3, 0},    {cbDiv, "/", clMaroon, 4, 0}, {cbSqr, "sqrt", clNavy, 5, 0},
    {cbMR, "MR", clPurple, 0, 1},   {cbNum4, "4", clNavy, 1, 1},  {cbNum5, "5", clNavy, 2, 1},
    {cbNum6, "6", clNavy, 3, 1},    {cbMul, "*", clMaroon, 4, 1}, {cbPcnt, "%", clNavy, 5, 1},
    {cbMS, "MS", clPurple, 0, 2},   {cbNum1, "1", clNavy, 1, 2},  {cbNum2, "2", clNavy, 2, 2},
    {cbNum3, "3", clNavy, 3, 2},    {cbSub, "-", clMaroon, 4, 2}, {cbRev, "1/x", clNavy, 5, 2},
    {cbMP, "MP", clPurple, 0, 3},   {cbNum0, "0", clNavy, 1, 3},  {cbSgn, "\xC2\xB1", clNavy, 2, 3},
    {cbDcm, ",", clNavy, 3, 3},     {cbAdd, "+", clMaroon, 4, 3}, {cbEql, "=", clMaroon, 5, 3},
    {cbBck, "<-", clBtnText, 0, 4}, {cbClr, "C", clBtnText, 1, 4}, {cbOk, "", clBtnText, 4, 4},
    {cbCancel, "", clBtnText, 5, 4},
};

constexpr int kBtnW = 30, kBtnH = 22, kGap = 2, kDisplayH = 24;
const char kKeyMap[] = "0123456789_./*-+Q%R=";

}  // namespace

TCalcButton::TCalcButton(TCalcBtnKind AKind, QWidget* parent) : TKitSpeedButton(parent), m_kind(AKind)
{
    SetStyle(bsNew);
}

// ---------------------------------------------------------------- panel

TCalculatorPanel::TCalculatorPanel(QWidget* parent) : QFrame(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    QFont bold = QApplication::font("QMessageBox");
    bold.setBold(true);

    m_memoryLabel = new QLabel(QStringLiteral("M"), this);
    m_memoryLabel->setObjectName(QStringLiteral("MemoryLabel"));
    m_memoryLabel->setGeometry(kGap, kGap, kBtnW - 8, kDisplayH - 2);
    m_memoryLabel->setAlignment(Qt::AlignCenter);
    m_memoryLabel->setVisible(false);
    m_display = new QLabel(this);
    m_display->setObjectName(QStringLiteral("Display"));
    m_display->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_display->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_display->setAutoFillBackground(true);
    m_display->setBackgroundRole(QPalette::Base);
    const int width = kGap + 6 * (kBtnW + kGap);
    m_display->setGeometry(kBtnW, kGap, width - kBtnW - kGap, kDisplayH - 2);

    const QImage glyphs = LoadKitBitmap(QStringLiteral("CALCBTNS"));
    for (const KeySpec& k : kKeys) {
        auto* b = new TCalcButton(k.kind, this);
        QString caption = QString::fromUtf8(k.caption);
        if (k.kind == cbDcm)
            caption = FormatSettings().DecimalSeparator;
        if (caption.isEmpty()) {
            b->SetGlyph(CopyBitmapCell(glyphs, 2, 1, k.kind == cbOk ? 0 : 1));
        } else {
            b->SetCaption(caption);
            b->setFont(bold);
            b->SetFontColor(k.color);
        }
        b->SetBounds(kGap + k.col * (kBtnW + kGap), kDisplayH + kGap + k.row * (kBtnH + kGap), kBtnW, kBtnH);
        const TCalcBtnKind kind = k.kind;
        b->OnClick = [this, kind](QObject*) { ButtonClick(kind); };
        m_buttons[size_t(kind)] = b;
    }
    resize(width, kDisplayH + kGap + 5 * (kBtnH + kGap));
    setText(QStringLiteral("0"));
}

QString TCalculatorPanel::DisplayText() const
{
    return m_display->text();
}

double TCalculatorPanel::DisplayValue() const
{
    double v;
    return m_state != csError && TryStrToFloat(m_text, v) ? v : 0.0;
}

void TCalculatorPanel::SetDisplayValue(double Value)
{
    m_operator = cbNone;
    m_state = csFirst;
    setText(FloatToStr(Value));
}

void TCalculatorPanel::setText(const QString& text)
{
    m_text = text;
    m_display->setText(text);
    if (OnDisplayChange)
        OnDisplayChange(this);
}

void TCalculatorPanel::clear()
{
    m_operand = 0;
    m_operator = cbNone;
    m_state = csFirst;
    setText(QStringLiteral("0"));
}

void TCalculatorPanel::error()
{
    m_state = csError;
    m_operator = cbNone;
    m_text = QStringLiteral("0");
    m_display->setText(QStringLiteral("Error"));
    if (OnError)
        OnError(this);
}

bool TCalculatorPanel::calculate()
{
    const double v = DisplayValue();
    double r = m_operand;
    switch (m_operator) {
    case cbAdd: r = m_operand + v; break;
    case cbSub: r = m_operand - v; break;
    case cbMul: r = m_operand * v; break;
    case cbDiv:
        if (v == 0) {
            error();
            return false;
        }
        r = m_operand / v;
        break;
    default: r = v; break;
    }
    if (!std::isfinite(r)) {
        error();
        return false;
    }
    m_operand = r;
    setText(FloatToStr(r));
    return true;
}

void TCalculatorPanel::ButtonClick(TCalcBtnKind Kind)
{
    if (m_state == csError && Kind != cbClr && Kind != cbCancel) {
        if (m_beepOnError)
            MessageBeep();
        return;
    }
    const QChar dec = FormatSettings().DecimalSeparator;
    const double v = DisplayValue();
    switch (Kind) {
    case cbNum0: case cbNum1: case cbNum2: case cbNum3: case cbNum4:
    case cbNum5: case cbNum6: case cbNum7: case cbNum8: case cbNum9: {
        const QChar digit('0' + (Kind - cbNum0));
        if (m_state == csFirst || m_text == QLatin1String("0"))
            setText(digit);
        else if (m_text == QLatin1String("-0"))
            setText(QStringLiteral("-") + digit);
        else if (std::count_if(m_text.begin(), m_text.end(), [](QChar c) { return c.isDigit(); }) < 15)
            setText(m_text + digit);
        m_state = csValid;
        break;
    }
    case cbDcm:
        if (m_state == csFirst)
            setText(QStringLiteral("0") + dec);
        else if (!m_text.contains(dec))
            setText(m_text + dec);
        m_state = csValid;
        break;
    case cbSgn:
        if (m_text.startsWith(QChar('-')))
            setText(m_text.mid(1));
        else if (v != 0 || m_text.contains(dec))
            setText(QStringLiteral("-") + m_text);
        break;
    case cbBck:
        if (m_state == csValid) {
            QString t = m_text.left(m_text.size() - 1);
            if (t.isEmpty() || t == QLatin1String("-")) {
                t = QStringLiteral("0");
                m_state = csFirst;
            }
            setText(t);
        }
        break;
    case cbClr: clear(); break;
    case cbAdd: case cbSub: case cbMul: case cbDiv:
        if (m_operator != cbNone && m_state == csValid) {
            if (!calculate())
                return;
        } else if (m_operator == cbNone || m_state == csValid) {
            m_operand = v;
        }
        m_operator = Kind;
        m_state = csFirst;
        break;
    case cbEql:
        if (m_operator != cbNone && !calculate())
            return;
        m_operator = cbNone;
        m_state = csFirst;
        break;
    case cbPcnt:
        setText(FloatToStr(m_operator != cbNone ? m_operand * v / 100.0 : v / 100.0));
        m_state = csValid;
        break;
    case cbSqr:
        if (v < 0) {
            error();
            return;
        }
        setText(FloatToStr(std::sqrt(v)));
        m_state = csValid;
        break;
    case cbRev:
        if (v == 0) {
            error();
            return;
        }
        setText(FloatToStr(1.0 / v));
        m_state = csValid;
        break;
    case cbMP: m_memory += v; m_state = csFirst; break;
    case cbMS: m_memory = v; m_state = csFirst; break;
    case cbMR:
        setText(FloatToStr(m_memory));
        m_state = csValid;
        break;
    case cbMC: m_memory = 0; break;
    case cbOk:
        if (OnOk)
            OnOk(this);
        break;
    case cbCancel:
        if (OnCancel)
            OnCancel(this);
        break;
    case cbNone: break;
    }
    m_memoryLabel->setVisible(m_memory != 0);
}

void TCalculatorPanel::CalcKey(QChar Key)
{
    const QChar up = Key.toUpper();
    TCalcBtnKind kind = cbNone;
    if (Key == QChar('\r') || Key == QChar('\n'))
        kind = cbEql;
    else if (Key == QChar(27) || up == QChar('C'))
        kind = cbClr;
    else if (Key == QChar('\b'))
        kind = cbBck;
    else if (Key == QChar(',') || Key == FormatSettings().DecimalSeparator)
        kind = cbDcm;
    else if (const int at = QString::fromLatin1(kKeyMap).indexOf(up); at >= 0)
        kind = TCalcBtnKind(at);
    if (kind != cbNone)
        ButtonClick(kind);
}

void TCalculatorPanel::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: CalcKey(QChar('\r')); return;
    case Qt::Key_Escape: CalcKey(QChar(27)); return;
    case Qt::Key_Backspace: CalcKey(QChar('\b')); return;
    default: break;
    }
    if (event->text().size() == 1) {
        CalcKey(event->text()[0]);
        return;
    }
    QFrame::keyPressEvent(event);
}

TLocCalculator::TLocCalculator(QWidget* parent) : TCalculatorPanel(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setFrameStyle(QFrame::NoFrame);
    for (int k = 0; k < CalcButtonCount; ++k)
        Button(TCalcBtnKind(k))->SetFlat(true);
}

// ---------------------------------------------------------------- popup

TPopupCalculator::TPopupCalculator(QWidget* AOwner) : TPopupWindow(AOwner)
{
    m_calculator = new TLocCalculator(this);
    m_calculator->setObjectName(QStringLiteral("Calculator"));
    m_calculator->setAttribute(Qt::WA_NoMousePropagation);
    m_calculator->move(contentsRect().topLeft());
    m_calculator->OnOk = [this](QObject*) { CloseUp(true); };
    m_calculator->OnCancel = [this](QObject*) { CloseUp(false); };
    const QMargins m = contentsMargins();
    resize(m_calculator->width() + m.left() + m.right(), m_calculator->height() + m.top() + m.bottom());
}

QVariant TPopupCalculator::GetValue() const
{
    return m_calculator->DisplayValue();
}

void TPopupCalculator::SetValue(const QVariant& Value)
{
    double v = 0;
    if (Value.typeId() == QMetaType::QString) {
        if (!TryStrToFloat(Value.toString(), v))
            v = 0;
    } else if (Value.isValid()) {
        v = Value.toDouble();
    }
    m_calculator->SetDisplayValue(v);
}

TPopupCalculator* CreatePopupCalculator(QWidget* AOwner)
{
    auto* popup = new TPopupCalculator(AOwner);
    popup->setObjectName(QStringLiteral("PopupCalculator"));
    return popup;
}
