#pragma once
// The number edit: an edit that holds a number and takes only characters
// that keep its text a number. While it is being edited it shows the plain
// number ("1234.5"); otherwise it paints the number in its display format
// ("$1,234.50" in the currency edit), without changing its text.
#include "ToolEdit.h"

class TPopupCalculator;

class TCustomNumEdit : public TCustomComboEdit {
    Q_OBJECT
public:
    explicit TCustomNumEdit(QWidget* parent = nullptr);

    // Where the display text stands when the edit is not being edited.
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment AValue);
    bool BeepOnError() const { return m_beepOnError; }
    void SetBeepOnError(bool AValue);
    // Leaving checks the range and refuses a value outside it.
    bool CheckOnExit() const { return m_checkOnExit; }
    void SetCheckOnExit(bool AValue) { m_checkOnExit = AValue; }
    int DecimalPlaces() const { return m_decimalPlaces; }
    void SetDecimalPlaces(int AValue);
    // The display format; empty shows FloatToStr. Until set it follows
    // StandardDisplayFormat (and so the locale).
    QString DisplayFormat() const;
    void SetDisplayFormat(const QString& AValue);
    bool FormatOnEditing() const { return m_formatOnEditing; }
    void SetFormatOnEditing(bool AValue);
    // Equal bounds: no range; see ApplyValueRange for the rest.
    double MaxValue() const { return m_maxValue; }
    void SetMaxValue(double AValue);
    double MinValue() const { return m_minValue; }
    void SetMinValue(double AValue);
    bool ZeroEmpty() const { return m_zeroEmpty; }
    void SetZeroEmpty(bool AValue);

    // Reads the text again; a text that is not a number reads as MinValue.
    // Never raises.
    double Value() const;
    void SetValue(double AValue);
    // The edit text as it stands ("1234.5"), focused or not.
    QString Text() const override { return text(); }
    // Raises EConvertError for a text that is not a number; the value is
    // then unchanged.
    void SetText(const QString& AValue) override;

    // The text shown when the edit is not being edited.
    virtual QString GetDisplayText() const;
    // The same for a value the edit would hold.
    QString DisplayTextOf(double value) const;
    // What the edit shows right now: the plain text while it is being
    // edited without a popup, else the display text.
    QString ShownText() const;
    virtual QString StandardDisplayFormat() const;
    // Whether typing Key where the selection is keeps the text a number
    // within the decimals and the sign the range allows. A blank is taken
    // only where it stands for the thousands separator.
    virtual bool AcceptsKeyChar(QChar Key) const;
    // The text as every amount input reads it (NormalizeAmountText: blanks
    // trimmed, thousands separators dropped, "." or "," as the decimal
    // separator), "" as "0" and "-" as "-0".
    static QString NormalizeNumberText(const QString& S);
    // The value put into range: MinValue < MaxValue clamps; MinValue >
    // MaxValue bounds below only when MaxValue is 0, above only when
    // MinValue is 0. With Raise a value that had to change raises
    // ERangeError "Value must be between ... and ...".
    double ApplyValueRange(bool Raise, double AValue) const;
    // Rewrites the text from the value (Escape does it).
    void Reset();

    // Gives the edit the drop-down calculator (the program's edits have
    // none).
    void UseCalculator(bool AValue);
    TPopupCalculator* PopupCalculator() const;

protected:
    virtual void UpdateEditText();
    // The calculator found no result.
    virtual void PopupCalculatorError();
    QImage DefaultGlyph() const override;
    void AcceptValue(const QVariant& AValue) override;
    void Change() override;
    void DoEnter() override;
    void DoExit() override;
    // Paste is read into the value at once; text that is not a number is
    // refused.
    void PasteChecked(bool Selection);
    // Typed text, from keys or an input method, goes in character by
    // character as each key alone would: one that AcceptsKeyChar refuses
    // beeps and is left out, and the characters after it are taken.
    void TypeKeys(const QString& typed);

    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString editFormat(bool thousands) const;
    void setOwnText(const QString& s);
    void reformatWhileEditing();

    TAlignment m_alignment = taRightJustify;
    mutable double m_value = 0;
    double m_minValue = 0;
    double m_maxValue = 0;
    int m_decimalPlaces = 2;
    bool m_beepOnError = true;
    bool m_checkOnExit = false;
    bool m_zeroEmpty = true;
    bool m_formatOnEditing = false;
    QString m_displayFormat;  // null: the standard one
};

// The money input: no button, the locale's currency format.
class TCurrencyEdit : public TCustomNumEdit {
    Q_OBJECT
public:
    explicit TCurrencyEdit(QWidget* parent = nullptr);
    QString StandardDisplayFormat() const override;
};

// The locale's currency as a display format: ",0.00" with the symbol
// placed by the currency format, then ";-" and the same again, so a
// negative amount shows a minus before the whole positive form.
QString CurrencyDisplayFormat();

// Shows a currency value as the currency's plain decimal text, with the
// four decimals the currency holds: no symbol, no grouping, no trailing
// zeros ("8000", "1234.5"), the regional decimal separator; as many
// decimals may be typed.
void UsePlainCurrencyText(TCustomNumEdit* edit);
