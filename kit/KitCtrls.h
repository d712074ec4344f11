#pragma once
// The kit's glyph button: TKitSpeedButton with its glyph painter, the
// auto-repeating variant the calendar's navigation uses, and the stand-alone
// button painter TButtonImage.
//
// The button is its own state machine (up, disabled, down, exclusive) rather
// than a QToolButton: groups of which one stays down, the click repeated
// while held, a drop-down menu that swallows the click, and a release on the
// row just below the button still counting as inside.
#include "VCLUtils.h"
#include <QEvent>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>

class QFontMetrics;
class QTimer;
class TKitSpeedButton;

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };
// Paint states of the button; the glyph has a fifth, for a flat button the
// mouse is not over.
enum TKitButtonState { rbsUp, rbsDisabled, rbsDown, rbsExclusive, rbsInactive };
enum TKitDropDownMenuPos { dmpBottom, dmpRight };
// How a drop-down menu lines up with its point; read from the menu's
// "Alignment" property (paLeft when it has none).
enum TPopupAlignment { paLeft, paRight, paCenter };

using TMouseEvent =
    std::function<void(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(QObject* Sender, Qt::KeyboardModifiers Shift, int X, int Y)>;

// Draws the 3-D face of a button inside Rect and shrinks Rect to the inner
// area. bsAutoDetect draws the new style.
void DrawButtonFrame(QPainter& Canvas, QRect& Rect, bool IsDown, bool IsFlat, TButtonStyle Style);

// Where glyph, caption and drop-down mark go in a button's inner rectangle.
struct TButtonGeometry {
    QPoint GlyphPos;   // top-left of the glyph image
    QRect TextBounds;  // the caption's rectangle (empty without caption)
    QString Caption;   // the caption as drawn: at most 255 characters, shortened with "..."
    QRect MarkRect;    // the 7 x 4 drop-down mark; empty without one
};

// Paints a button's glyph and caption. Keeps one image per state, built from
// the glyph on first need and dropped when the glyph changes.
class TKitButtonGlyph {
public:
    TKitButtonGlyph();

    const QImage& Glyph() const { return m_glyph; }
    // A glyph whose width is a whole multiple of its height holds that many
    // images (1 when more than 5); its bottom-left pixel is its transparent
    // colour.
    void SetGlyph(const QImage& value);
    int NumGlyphs() const { return m_numGlyphs; }
    void SetNumGlyphs(int value);  // 1..5
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment value);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool value);
    TColor TransparentColor() const { return m_transparentColor; }
    // Size of one image; 0 x 0 without a glyph.
    QSize GlyphSize() const;

    // The image shown in a state (see the state rules in the .cpp); null
    // without a glyph.
    QImage CreateButtonGlyph(TKitButtonState state);
    // Drops the state images (glyph or system colours changed).
    void Invalidate();

    // Lays out and draws glyph, caption and (DropDownMark) the drop-down
    // mark in Client. The caption is drawn in the painter's pen colour. A
    // ListImage (an image-list image) replaces the glyph. Returns the glyph's
    // position.
    QPoint Draw(QPainter& Canvas, const QRect& Client, const QString& Caption, TButtonLayout Layout,
                int Margin, int Spacing, bool DropDownMark, TKitButtonState State, bool RightToLeft,
                const QImage* ListImage = nullptr);

    // The layout alone. TextFlags are Qt text flags (word wrap, mnemonic).
    static TButtonGeometry CalcButtonLayout(const QFontMetrics& Metrics, const QRect& Client,
                                            const QString& Caption, TButtonLayout Layout, int Margin,
                                            int Spacing, bool DropDownMark, const QSize& GlyphSize,
                                            int TextFlags);

    std::function<void()> OnChange;  // the glyph or a drawing setting changed

private:
    QImage cell(int index) const;
    QImage listImageFor(const QImage& image, TKitButtonState state) const;
    int textFlags() const;

    QImage m_glyph;
    int m_numGlyphs = 1;
    TAlignment m_alignment = taCenter;
    bool m_wordWrap = false;
    TColor m_transparentColor = clFuchsia;
    std::array<QImage, 5> m_images;
    std::array<bool, 5> m_built{};
};

// Tells the buttons beside a button that went down in a group (sent to every
// child of the button's parent).
class TKitButtonPressedEvent : public QEvent {
public:
    static constexpr QEvent::Type EventType = QEvent::Type(0xB051);
    TKitButtonPressedEvent(int groupIndex, TKitSpeedButton* button)
        : QEvent(EventType), GroupIndex(groupIndex), Button(button) {}
    int GroupIndex;
    TKitSpeedButton* Button;
};

class TKitSpeedButton : public QWidget {
    Q_OBJECT
public:
    explicit TKitSpeedButton(QWidget* parent = nullptr);
    ~TKitSpeedButton() override;

    // Published properties (defaults in the constructor).
    TAlignment Alignment() const { return m_glyph.Alignment(); }
    void SetAlignment(TAlignment value);
    bool AllowAllUp() const { return m_allowAllUp; }
    void SetAllowAllUp(bool value);
    // Turning the repeat off frees the timer.
    bool AllowTimer() const { return m_allowTimer; }
    void SetAllowTimer(bool value);
    int GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(int value);
    bool Down() const { return m_down; }
    void SetDown(bool value);
    QMenu* DropDownMenu() const { return m_dropDownMenu; }
    void SetDropDownMenu(QMenu* value);
    TKitDropDownMenuPos MenuPosition() const { return m_menuPosition; }
    void SetMenuPosition(TKitDropDownMenuPos value) { m_menuPosition = value; }
    bool Flat() const { return m_flat; }
    void SetFlat(bool value);
    const QImage& Glyph() const { return m_glyph.Glyph(); }
    void SetGlyph(const QImage& value);
    bool GrayedInactive() const { return m_grayedInactive; }
    void SetGrayedInactive(bool value);
    int InitPause() const { return m_initPause; }
    void SetInitPause(int value) { m_initPause = value; }
    int RepeatInterval() const { return m_repeatInterval; }
    void SetRepeatInterval(int value) { m_repeatInterval = value; }
    TButtonLayout Layout() const { return m_layout; }
    void SetLayout(TButtonLayout value);
    int Margin() const { return m_margin; }
    void SetMargin(int value);
    bool MarkDropDown() const { return m_markDropDown; }
    void SetMarkDropDown(bool value);
    int ModalResult() const { return m_modalResult; }
    void SetModalResult(int value) { m_modalResult = value; }
    int NumGlyphs() const { return m_glyph.NumGlyphs(); }
    void SetNumGlyphs(int value);
    int Spacing() const { return m_spacing; }
    void SetSpacing(int value);
    TButtonStyle Style() const { return m_style; }
    void SetStyle(TButtonStyle value);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool value);
    bool WordWrap() const { return m_glyph.WordWrap(); }
    void SetWordWrap(bool value);

    // Republished control properties.
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& value);  // "&" marks the accelerator
    QString Hint() const { return m_hint; }
    void SetHint(const QString& value);     // "short|long": the tool tip shows the short part
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool value);
    // With ParentShowHint the parent's "ShowHint" property decides (shown
    // when the parent has none).
    bool ParentShowHint() const { return m_parentShowHint; }
    void SetParentShowHint(bool value);
    bool ParentFont() const;
    void SetParentFont(bool value);
    TColor FontColor() const;
    void SetFontColor(TColor value);
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool value) { setEnabled(value); }
    bool Visible() const { return isVisible(); }
    void SetVisible(bool value) { setVisible(value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);

    // Events.
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;  // only on a Down button
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    // Gives the window the ModalResult, then raises OnClick. The repeat
    // timer raises it too.
    virtual void Click();
    // A visible press from code: drawn down for about 20 ms, then released
    // (a group button toggles Down) and clicked.
    void PressButton();

    // Where the drop-down menu drops, in button coordinates.
    QPoint DropDownMenuPos() const;
    // The paint state (up, disabled, down, exclusive).
    TKitButtonState State() const { return m_state; }
    bool MouseInControl() const { return m_mouseInControl; }
    // True from a left press until its release or a cancel.
    bool Pressed() const { return m_dragging; }

protected:
    virtual void Paint(QPainter& Canvas);
    virtual QPoint PaintGlyph(QPainter& Canvas, const QRect& ARect, TKitButtonState AState,
                              bool DrawMark);
    // The standard glyph drawing, with an image-list image in place of the
    // glyph when ListImage is given (speed bar buttons).
    QPoint DrawButtonGlyph(QPainter& Canvas, const QRect& ARect, TKitButtonState AState,
                           bool DrawMark, const QImage* ListImage);
    virtual void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    virtual void MouseMove(Qt::KeyboardModifiers Shift, int X, int Y);
    virtual void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    virtual void MouseEnter();
    virtual void MouseLeave();
    // Re-checks whether the mouse is over the button (enter or leave).
    void UpdateTracking();
    // Ends a press without a click (the window lost the mouse).
    void CancelMode();
    TKitButtonGlyph& ButtonGlyph() { return m_glyph; }

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;
    QSize sizeHint() const override;

private:
    void buttonPressed(int groupIndex, TKitSpeedButton* sender);
    void updateExclusive();
    void syncEnabledState();
    bool insideForRelease(int x, int y) const;
    void dropDown(Qt::KeyboardModifiers shift, int x, int y);
    void repeatTick();
    void stopRepeat();
    void updateHint();
    void updateShortcut();

    TKitButtonGlyph m_glyph;
    TKitButtonState m_state = rbsUp;
    bool m_dragging = false;
    bool m_mouseInControl = false;
    bool m_menuTracking = false;
    bool m_allowAllUp = false;
    bool m_allowTimer = false;
    int m_groupIndex = 0;
    bool m_down = false;
    QPointer<QMenu> m_dropDownMenu;
    TKitDropDownMenuPos m_menuPosition = dmpBottom;
    bool m_flat = false;
    bool m_grayedInactive = true;
    int m_initPause = 500;
    int m_repeatInterval = 100;
    TButtonLayout m_layout = blGlyphTop;
    int m_margin = -1;
    bool m_markDropDown = true;
    int m_modalResult = 0;
    int m_spacing = 1;
    TButtonStyle m_style = bsAutoDetect;
    bool m_transparent = false;
    QString m_caption;
    QString m_hint;
    bool m_showHint = true;
    bool m_parentShowHint = false;
    int m_shortcutId = 0;
    QTimer* m_repeatTimer = nullptr;
};

// The calendar's navigation button: old-style face, click repeated while held.
class TKitTimerSpeedButton : public TKitSpeedButton {
    Q_OBJECT
public:
    explicit TKitTimerSpeedButton(QWidget* parent = nullptr);
};

// Paints a raised button face with glyph and caption anywhere (the speed
// bar's customising window shows its items with it).
class TButtonImage {
public:
    TButtonImage();

    const QImage& Glyph() const { return m_glyph.Glyph(); }
    void SetGlyph(const QImage& value) { m_glyph.SetGlyph(value); }
    int NumGlyphs() const { return m_glyph.NumGlyphs(); }
    void SetNumGlyphs(int value) { m_glyph.SetNumGlyphs(value); }
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& value) { m_caption = value; }
    QSize ButtonSize() const { return m_buttonSize; }
    void SetButtonSize(const QSize& value) { m_buttonSize = value; }
    TAlignment Alignment() const { return m_glyph.Alignment(); }
    void SetAlignment(TAlignment value) { m_glyph.SetAlignment(value); }
    bool WordWrap() const { return m_glyph.WordWrap(); }
    void SetWordWrap(bool value) { m_glyph.SetWordWrap(value); }

    // Draws the button with its top-left corner at X, Y in the painter's font.
    void Draw(QPainter& Canvas, int X, int Y, int Margin, int Spacing, TButtonLayout Layout);
    // The same with a font and an image-list image in place of the glyph.
    void DrawEx(QPainter& Canvas, int X, int Y, int Margin, int Spacing, TButtonLayout Layout,
                const QFont& AFont, const QImage* ListImage);

private:
    TKitButtonGlyph m_glyph;
    QString m_caption;
    QSize m_buttonSize{24, 23};
};
