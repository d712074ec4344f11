#pragma once
// The calculator of the kit: a panel of keys with a display and a memory,
// and the drop-down that exchanges its value with a number edit. The
// program's windows never open it; it is kept with the kit.
//
// The arithmetic is the pocket calculator's: operators work left to right
// as they are keyed, "=" ends the chain, "%" takes that percentage of the
// first operand, sqrt and 1/x act on the number shown.
#include "ToolEdit.h"
#include <QFrame>
#include <array>

class QLabel;

enum TCalcBtnKind {
    cbNone = -1,
    cbNum0, cbNum1, cbNum2, cbNum3, cbNum4, cbNum5, cbNum6, cbNum7, cbNum8, cbNum9,
    cbSgn, cbDcm, cbDiv, cbMul, cbSub, cbAdd, cbSqr, cbPcnt, cbRev, cbEql,
    cbBck, cbClr, cbMP, cbMS, cbMR, cbMC, cbOk, cbCancel
};
constexpr int CalcButtonCount = cbCancel + 1;

enum TCalcState { csFirst, csValid, csError };

class TCalcButton : public TKitSpeedButton {
    Q_OBJECT
public:
    TCalcButton(TCalcBtnKind AKind, QWidget* parent);
    TCalcBtnKind Kind() const { return m_kind; }

private:
    TCalcBtnKind m_kind;
};

class TCalculatorPanel : public QFrame {
    Q_OBJECT
public:
    explicit TCalculatorPanel(QWidget* parent = nullptr);

    // The number shown; 0 while it shows "Error".
    double DisplayValue() const;
    void SetDisplayValue(double Value);
    QString DisplayText() const;
    double Memory() const { return m_memory; }
    TCalcState State() const { return m_state; }
    bool BeepOnError() const { return m_beepOnError; }
    void SetBeepOnError(bool Value) { m_beepOnError = Value; }
    TCalcButton* Button(TCalcBtnKind Kind) const { return m_buttons[size_t(Kind)]; }

    // A typed key: the characters of "0123456789_./*-+Q%R=" for their
    // keys, Enter as "=", Escape and "C" as clear, backspace as "<-", ","
    // and the decimal separator as the decimal key.
    void CalcKey(QChar Key);
    void ButtonClick(TCalcBtnKind Kind);

    TNotifyEvent OnOk;
    TNotifyEvent OnCancel;
    TNotifyEvent OnError;
    TNotifyEvent OnDisplayChange;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setText(const QString& text);
    void error();
    void clear();
    bool calculate();  // the pending operation; false on an error

    QLabel* m_display = nullptr;
    QLabel* m_memoryLabel = nullptr;
    std::array<TCalcButton*, CalcButtonCount> m_buttons{};
    QString m_text = QStringLiteral("0");
    TCalcState m_state = csFirst;
    double m_operand = 0;
    TCalcBtnKind m_operator = cbNone;
    double m_memory = 0;
    bool m_beepOnError = true;
};

// The panel as the drop-down shows it: flat, in the popup's colour.
class TLocCalculator : public TCalculatorPanel {
    Q_OBJECT
public:
    explicit TLocCalculator(QWidget* parent = nullptr);
};

class TPopupCalculator : public TPopupWindow {
    Q_OBJECT
public:
    explicit TPopupCalculator(QWidget* AOwner);
    QVariant GetValue() const override;
    void SetValue(const QVariant& Value) override;
    TLocCalculator* Calculator() const { return m_calculator; }

private:
    TLocCalculator* m_calculator = nullptr;
};

TPopupCalculator* CreatePopupCalculator(QWidget* AOwner);
