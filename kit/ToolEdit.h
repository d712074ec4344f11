#pragma once
// The combo edit: a masked edit with a button at its right edge that drops
// down a popup window under it (the date edit's calendar, the number edit's
// calculator); the popup window itself; and the date edit.
//
// The popup never takes the focus: the edit keeps it and hands the keys that
// belong to the popup over, so typing stays in one place. That is why the
// popup is a window that is never activated rather than a Qt popup (which
// grabs keyboard and mouse).
#include "DateUtil.h"
#include "KitCtrls.h"
#include <QFrame>
#include <QKeyCombination>
#include <QLineEdit>
#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <functional>

class TCustomComboEdit;
class TPopupCalendar;

enum TPopupAlign { epaRight, epaLeft };
enum TGlyphKind { gkCustom, gkDefault, gkDropDown, gkEllipsis };
enum TCalendarStyle { csPopup, csDialog };
enum TYearDigits { dyDefault, dyFour, dyTwo };

// A key with its modifiers (Alt+Down).
using TShortCut = QKeyCombination;

// ---------------------------------------------------------------- popup window

// A top-level window with a one-pixel border, shown under its edit without
// being activated. It hands the value over and back; closing it calls the
// owner's close callback.
class TPopupWindow : public QFrame {
    Q_OBJECT
public:
    explicit TPopupWindow(QWidget* AOwner);

    virtual QVariant GetValue() const = 0;
    virtual void SetValue(const QVariant& Value) = 0;
    // Asks the owner to close the popup, accepting its value or not.
    virtual void CloseUp(bool Accept);
    virtual QString GetPopupText() const;

    // Shows the window with its top-left corner at Origin (screen
    // coordinates), without moving the focus; hides it.
    void Show(const QPoint& Origin);
    void Hide();

    std::function<void(bool Accept)> OnCloseUp;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

// ---------------------------------------------------------------- edit button

// The button inside the combo edit. A press while the popup is open closes
// it with acceptance; the click that ends that press does nothing more.
class TEditButton : public TKitSpeedButton {
    Q_OBJECT
public:
    explicit TEditButton(TCustomComboEdit* AOwner, QWidget* parent);
    void Click() override;

protected:
    void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) override;
    void Paint(QPainter& Canvas) override;

private:
    TCustomComboEdit* m_owner;
    bool m_noAction = false;
};

// ---------------------------------------------------------------- combo edit

class TCustomComboEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TCustomComboEdit(QWidget* parent = nullptr);
    ~TCustomComboEdit() override;

    // The mask, in the kit's notation: "!99/99/9999;1; " (9 an
    // optional digit, 0 a required one, / the date separator, : the time
    // separator; the second field 1 keeps the literals in the text; the
    // third is the character shown for a blank). Empty: no mask.
    QString EditMask() const { return m_editMask; }
    void SetEditMask(const QString& Value);
    bool IsMasked() const { return !m_editMask.isEmpty(); }
    // The text as shown, blanks of the mask in its blank character.
    QString EditText() const { return displayText(); }
    void SetEditText(const QString& Value);
    // The text with the mask's literals, its blanks as spaces ("  /  /    "
    // for an empty date).
    virtual QString Text() const;
    virtual void SetText(const QString& Value);
    bool Modified() const { return isModified(); }
    void SetModified(bool Value) { setModified(Value); }
    // Selects the whole text when the edit is entered from the keyboard.
    bool AutoSelect() const { return m_autoSelect; }
    void SetAutoSelect(bool Value) { m_autoSelect = Value; }
    void SelectAll() { selectAll(); }

    TShortCut ClickKey() const { return m_clickKey; }
    void SetClickKey(TShortCut Value) { m_clickKey = Value; }
    virtual bool ReadOnly() const { return m_readOnly; }  // GetReadOnly
    void SetReadOnly(bool Value);
    bool DirectInput() const { return m_directInput; }
    void SetDirectInput(bool Value);
    TPopupAlign PopupAlign() const { return m_popupAlign; }
    void SetPopupAlign(TPopupAlign Value) { m_popupAlign = Value; }
    TGlyphKind GlyphKind() const { return m_glyphKind; }
    void SetGlyphKind(TGlyphKind Value);
    // Width of the button and its container; below 2 hides the button.
    int ButtonWidth() const { return m_buttonWidth; }
    void SetButtonWidth(int Value);
    QString ButtonHint() const;
    void SetButtonHint(const QString& Value);
    QImage Glyph() const;
    void SetGlyph(const QImage& Value);  // switches to gkCustom
    int NumGlyphs() const;
    void SetNumGlyphs(int Value);
    TEditButton* Button() const { return m_button; }

    // The popup (none for a plain combo edit). Setting one takes it over
    // and frees the one before.
    TPopupWindow* Popup() const { return m_popup; }
    void SetPopup(TPopupWindow* Value);
    bool PopupVisible() const { return m_popupVisible; }

    // Opens the popup under (or above) the edit; with DisableEdit the edit
    // is read-only while it is open.
    virtual void PopupDropDown(bool DisableEdit);
    // Closes an open popup, taking its value when Accept.
    void PopupCloseUp(bool Accept);
    // What the button does.
    virtual void ButtonClick();
    void DoClick() { ButtonClick(); }

    TNotifyEvent OnButtonClick;
    TNotifyEvent OnChange;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    virtual QImage DefaultGlyph() const { return QImage(); }
    virtual void ShowPopup(const QPoint& Origin);
    virtual void HidePopup();
    virtual bool AcceptPopup(QVariant& Value);
    virtual void AcceptValue(const QVariant& Value);
    virtual void SetPopupValue(const QVariant& Value);
    virtual QVariant GetPopupValue() const;
    virtual void PopupChange() {}
    virtual bool EditCanModify() const { return !m_readOnly; }
    // The text changed: the change event, or PopupChange while the popup
    // shows; nothing while the edit rewrites its own text.
    virtual void Change();
    // Entering and leaving the edit (not window activation).
    virtual void DoEnter();
    virtual void DoExit();
    // Escape in a masked edit gives back the text it had when entered.
    virtual void ResetMaskText();

    // Applies the read-only state that ReadOnly, DirectInput and an open
    // popup together give.
    void UpdateEditReadOnly();
    static bool IsEnterExitReason(Qt::FocusReason Reason);
    // Leaving was refused (a check on exit failed): the edit takes the
    // focus back and counts as not left.
    void RefuseExit();

    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    bool m_formatting = false;  // the edit rewrites its own text
    int m_defNumGlyphs = 1;     // images in the default glyph
    bool m_entered = false;     // between DoEnter and DoExit

    // Call after a default glyph is available (derived constructors).
    void UpdateButtonGlyph();

private:
    void layoutButton();
    void updateMinimumHeight();
    void installPopupWatch(bool on);
    bool isPopupPart(QObject* object) const;

    QWidget* m_btnControl = nullptr;  // the button's container
    TEditButton* m_button = nullptr;
    QString m_editMask;
    QList<bool> m_maskLiteral;  // per text position, from the mask
    QChar m_maskBlank{' '};
    bool m_maskSaveLiterals = true;
    bool m_autoSelect = true;
    QString m_textOnEnter;
    TShortCut m_clickKey{Qt::ALT | Qt::Key_Down};
    bool m_readOnly = false;
    bool m_directInput = true;
    bool m_popupVisible = false;
    bool m_closing = false;
    bool m_losingFocus = false;
    bool m_editDisabled = false;  // read-only while the popup is open
    TPopupAlign m_popupAlign = epaRight;
    TGlyphKind m_glyphKind = gkCustom;
    QImage m_customGlyph;
    int m_customNumGlyphs = 1;
    int m_buttonWidth = 21;
    QPointer<TPopupWindow> m_popup;
    bool m_watching = false;
};

// ---------------------------------------------------------------- date edit

// (Sender, the date about to be taken, whether to take it)
using TExecDateDialog = std::function<void(QObject* Sender, TDateTime& ADate, bool& Action)>;

class TCustomDateEdit : public TCustomComboEdit {
    Q_OBJECT
public:
    explicit TCustomDateEdit(QWidget* parent = nullptr);
    ~TCustomDateEdit() override;

    // A blank or unreadable text reads as the null date (today with
    // DefaultToday); never raises.
    TDateTime Date() const;
    // An invalid value or the null date empties the edit (today with
    // DefaultToday); never raises. Modified tells whether the date changed.
    void SetDate(TDateTime Value);
    // SetDate, then the text selected (the keys and the popup use it).
    virtual void ApplyDate(TDateTime Value);

    QChar BlanksChar() const { return m_blanksChar; }
    void SetBlanksChar(QChar Value);  // below 32: a blank
    QStringList CalendarHints() const { return m_calendarHints; }
    void SetCalendarHints(const QStringList& Value);  // at most 4 lines kept
    bool CheckOnExit() const { return m_checkOnExit; }
    void SetCheckOnExit(bool Value) { m_checkOnExit = Value; }
    bool DefaultToday() const { return m_defaultToday; }
    void SetDefaultToday(bool Value) { m_defaultToday = Value; }
    QString DialogTitle() const { return m_dialogTitle; }
    void SetDialogTitle(const QString& Value) { m_dialogTitle = Value; }
    TColor PopupColor() const { return m_popupColor; }
    void SetPopupColor(TColor Value);
    TCalendarStyle CalendarStyle() const { return m_calendarStyle; }
    void SetCalendarStyle(TCalendarStyle Value);
    TDayOfWeekName StartOfWeek() const { return m_startOfWeek; }
    void SetStartOfWeek(TDayOfWeekName Value);
    TDaysOfWeek Weekends() const { return m_weekends; }
    void SetWeekends(TDaysOfWeek Value);
    TColor WeekendColor() const { return m_weekendColor; }
    void SetWeekendColor(TColor Value);
    TYearDigits YearDigits() const { return m_yearDigits; }
    void SetYearDigits(TYearDigits Value);

    // The format the text is written in ("DD/MM/YYYY").
    QString DateFormat() const { return m_dateFormat; }
    TPopupCalendar* PopupCalendar() const;

    // Rebuilds format and mask from the locale and writes the date again.
    void UpdateMask();
    // Raises EConvertError "'text' is not a valid date" for a text that is
    // not blank and not a date; rewrites a good one in the format.
    void CheckValidDate();
    // Only blanks and date separators: no date typed, whatever the
    // locale's separator.
    bool TextIsBlank() const;

    void ButtonClick() override;

    TExecDateDialog OnAcceptDate;

protected:
    QImage DefaultGlyph() const override;
    bool AcceptPopup(QVariant& Value) override;
    void AcceptValue(const QVariant& Value) override;
    void SetPopupValue(const QVariant& Value) override;
    void DoExit() override;

    void keyPressEvent(QKeyEvent* event) override;

private:
    bool fourDigitYear() const;
    void createPopupCalendar();
    void updatePopupSettings();

    QChar m_blanksChar{' '};
    QStringList m_calendarHints;
    bool m_checkOnExit = false;
    bool m_defaultToday = false;
    QString m_dialogTitle;
    TColor m_popupColor = clBtnFace;
    TCalendarStyle m_calendarStyle = csPopup;
    TDayOfWeekName m_startOfWeek = Mon;
    TDaysOfWeek m_weekends{Sun};
    TColor m_weekendColor = clRed;
    TYearDigits m_yearDigits = dyDefault;
    QString m_dateFormat;
};

class TDateEdit : public TCustomDateEdit {
    Q_OBJECT
public:
    explicit TDateEdit(QWidget* parent = nullptr);
};
