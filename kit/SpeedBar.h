#pragma once
// TSpeedBar: a tool bar panel that lays its glyph buttons out on a grid and
// groups them in named sections. Each button belongs to a TSpeedItem, which
// carries the button's settings and sits in one TSpeedbarSection. Other
// widgets (a label, a navigator) sit on the bar as ordinary children and are
// docked like on any panel.
//
// The bar also offers a customising mode (buttons are dragged to another
// place or off the bar, and brought back from a setup window), docking to
// another edge of its parent by dragging, and keeping its layout in a form
// placement's file.
#include "Exceptions.h"
#include "KitCtrls.h"
#include "KitSplit.h"  // TAlign, TPanelBevel
#include "Placemnt.h"
#include <QDialog>
#include <QImage>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>

class QListWidget;
class TSpeedBar;
class TSpeedItem;
class TSpeedbarSection;

KV_DECLARE_EXCEPTION(ESpeedbarError, Exception)

enum TBoundLine : unsigned { blTop = 1u << 0, blBottom = 1u << 1, blLeft = 1u << 2, blRight = 1u << 3 };
using TBoundLines = unsigned;
enum TBarPosition { bpAuto, bpCustom };
enum TBarOrientation { boHorizontal, boVertical };
enum TSpeedbarOption : unsigned {
    sbAllowDrag = 1u << 0,
    sbAllowResize = 1u << 1,
    sbFlatBtns = 1u << 2,
    sbGrayedBtns = 1u << 3,
    sbTransparentBtns = 1u << 4,
    sbStretchBitmap = 1u << 5
};
using TSpeedbarOptions = unsigned;

using TApplyAlignEvent = std::function<void(QObject* Sender, TAlign Align, bool& Apply)>;

// The visible button of an item.
class TSpeedbarButton : public TKitSpeedButton {
    Q_OBJECT
public:
    explicit TSpeedbarButton(TSpeedItem* Item);
    TSpeedItem* Item() const { return m_item; }
    // On a bar: always the bar's button size, and never inside the offset
    // band across the bar.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    void Paint(QPainter& Canvas) override;
    QPoint PaintGlyph(QPainter& Canvas, const QRect& ARect, TKitButtonState AState, bool DrawMark) override;
    // In customising mode the mouse drags the button instead of pressing it.
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

private:
    TSpeedBar* bar() const;
    TSpeedItem* m_item;
    QPointer<QWidget> m_dragImage;  // the TBtnControl while dragging
    QPoint m_dragOffset;
};

// The floating image of a button while it is dragged in customising mode.
class TBtnControl : public QWidget {
    Q_OBJECT
public:
    TBtnControl(QWidget* Parent, const QPixmap& Image);

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    QPixmap m_image;
};

class TSpeedItem : public QObject {
    Q_OBJECT
public:
    explicit TSpeedItem(QObject* Owner = nullptr);
    ~TSpeedItem() override;

    TSpeedbarButton* Button() const { return m_button; }
    TSpeedBar* SpeedBar() const { return m_bar; }
    TSpeedbarSection* Section() const;
    int SectionIndex() const;  // -1 when on no bar

    int Tag() const { return m_tag; }
    void SetTag(int Value) { m_tag = Value; }
    bool AllowAllUp() const { return m_button->AllowAllUp(); }
    void SetAllowAllUp(bool Value) { m_button->SetAllowAllUp(Value); }
    bool AllowTimer() const { return m_button->AllowTimer(); }
    void SetAllowTimer(bool Value) { m_button->SetAllowTimer(Value); }
    // The text drawn on the button.
    QString BtnCaption() const { return m_button->Caption(); }
    void SetBtnCaption(const QString& Value) { m_button->SetCaption(Value); }
    // The item's name for the operator (the setup window, the hint).
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& Value);
    int GroupIndex() const { return m_button->GroupIndex(); }
    void SetGroupIndex(int Value) { m_button->SetGroupIndex(Value); }
    bool Down() const { return m_button->Down(); }
    void SetDown(bool Value) { m_button->SetDown(Value); }
    QMenu* DropDownMenu() const { return m_button->DropDownMenu(); }
    void SetDropDownMenu(QMenu* Value) { m_button->SetDropDownMenu(Value); }
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool Value);
    QFont Font() const { return m_button->font(); }
    void SetFont(const QFont& Value) { m_button->setFont(Value); }
    int Cursor() const { return m_cursor; }
    void SetCursor(int Value);
    const QImage& Glyph() const { return m_button->Glyph(); }
    void SetGlyph(const QImage& Value) { m_button->SetGlyph(Value); }
    QString Hint() const { return m_button->Hint(); }
    void SetHint(const QString& Value) { m_button->SetHint(Value); }
    // An image of the bar's image list drawn instead of the glyph; -1 none.
    int ImageIndex() const { return m_imageIndex; }
    void SetImageIndex(int Value);
    TButtonLayout Layout() const { return m_button->Layout(); }
    void SetLayout(TButtonLayout Value) { m_button->SetLayout(Value); }
    int Margin() const { return m_button->Margin(); }
    void SetMargin(int Value) { m_button->SetMargin(Value); }
    bool MarkDropDown() const { return m_button->MarkDropDown(); }
    void SetMarkDropDown(bool Value) { m_button->SetMarkDropDown(Value); }
    int NumGlyphs() const { return m_button->NumGlyphs(); }
    void SetNumGlyphs(int Value) { m_button->SetNumGlyphs(Value); }
    bool ParentShowHint() const { return m_button->ParentShowHint(); }
    void SetParentShowHint(bool Value) { m_button->SetParentShowHint(Value); }
    bool ParentFont() const { return m_button->ParentFont(); }
    void SetParentFont(bool Value) { m_button->SetParentFont(Value); }
    bool ShowHint() const { return m_button->ShowHint(); }
    void SetShowHint(bool Value) { m_button->SetShowHint(Value); }
    int Spacing() const { return m_button->Spacing(); }
    void SetSpacing(int Value) { m_button->SetSpacing(Value); }
    // Kept in the bar's layout storage.
    bool Stored() const { return m_stored; }
    void SetStored(bool Value) { m_stored = Value; }
    // The button's place on the bar.
    int Left() const { return m_button->x(); }
    void SetLeft(int Value);
    int Top() const { return m_button->y(); }
    void SetTop(int Value);
    // The button shows when the item and the bar are visible.
    bool Visible() const { return m_visible; }
    void SetVisible(bool Value);
    bool WordWrap() const { return m_button->WordWrap(); }
    void SetWordWrap(bool Value) { m_button->SetWordWrap(Value); }

    // The item's name (objectName); an item whose caption is its name is
    // renamed in its caption too.
    QString Name() const { return objectName(); }
    void SetName(const QString& Value) { setObjectName(Value); }

    // An item read from a form: joins the section named SectionName on the
    // bar, else the section of index SectionIndex (at least 0).
    void PlaceOnBar(TSpeedBar* Bar, const QString& SectionName, int SectionIndex = 0);

    // Clicks the button from code.
    void ButtonClick();

    // Raised with the button as sender.
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    // The button's state from the item's and the bar's (the bar calls it).
    void UpdateVisibility();
    void UpdateEnabled();

private:
    friend class TSpeedBar;
    void nameChanged(const QString& NewName);

    TSpeedbarButton* m_button;
    QPointer<TSpeedBar> m_bar;
    QString m_caption;
    QString m_name;
    int m_tag = 0;
    bool m_enabled = true;
    bool m_visible = false;
    bool m_stored = true;
    int m_cursor = 0;
    int m_imageIndex = -1;
};

class TSpeedbarSection : public QObject {
    Q_OBJECT
public:
    explicit TSpeedbarSection(QObject* Owner = nullptr);
    ~TSpeedbarSection() override;

    QString Caption() const { return m_caption; }
    // Raises ESpeedbarError "String list does not allow duplicates" when
    // another section of its bar has that caption.
    void SetCaption(const QString& Value);
    // Place in the bar's list; -1 when on no bar. Setting it moves the
    // section (clamped to the list).
    int Index() const;
    void SetIndex(int Value);
    TSpeedBar* SpeedBar() const { return m_bar; }
    int ItemCount() const { return int(m_items.size()); }
    TSpeedItem* Items(int Index) const { return m_items.at(Index); }

private:
    friend class TSpeedBar;
    friend class TSpeedItem;
    QString m_caption;
    QList<TSpeedItem*> m_items;
    QPointer<TSpeedBar> m_bar;
};

class TSpeedbarSetupWindow;

class TSpeedBar : public QWidget {
    Q_OBJECT
    // Read by the buttons' ParentShowHint.
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
public:
    explicit TSpeedBar(QWidget* Parent = nullptr);
    ~TSpeedBar() override;

    TBoundLines BoundLines() const { return m_boundLines; }
    void SetBoundLines(TBoundLines Value);
    TBarPosition Position() const { return m_position; }
    void SetPosition(TBarPosition Value);
    // alTop and alBottom make a horizontal bar, alLeft and alRight a
    // vertical one; alNone and alClient raise ESpeedbarError while Position
    // is bpAuto.
    TAlign Align() const { return ControlAlign(this); }
    void SetAlign(TAlign Value);
    TSpeedbarOptions Options() const { return m_options; }
    void SetOptions(TSpeedbarOptions Value);
    int BtnOffsetHorz() const { return m_offset.x(); }
    void SetBtnOffsetHorz(int Value);
    int BtnOffsetVert() const { return m_offset.y(); }
    void SetBtnOffsetVert(int Value);
    int BtnWidth() const { return m_btnSize.width(); }
    void SetBtnWidth(int Value);
    int BtnHeight() const { return m_btnSize.height(); }
    void SetBtnHeight(int Value);
    TFormPlacement* IniStorage() const { return m_iniLink.Storage(); }
    void SetIniStorage(TFormPlacement* Value) { m_iniLink.SetStorage(Value); }
    int Version() const { return m_version; }
    void SetVersion(int Value) { m_version = Value; }
    const QImage& Wallpaper() const { return m_wallpaper; }
    void SetWallpaper(const QImage& Value);
    const QList<QImage>& Images() const { return m_images; }
    void SetImages(const QList<QImage>& Value);

    // Panel properties.
    TPanelBevel BevelInner() const { return m_bevelInner; }
    void SetBevelInner(TPanelBevel Value);
    TPanelBevel BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TPanelBevel Value);
    int BevelWidth() const { return m_bevelWidth; }
    void SetBevelWidth(int Value);
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int Value);
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool Value);

    TApplyAlignEvent OnApplyAlign;
    TNotifyEvent OnCustomize;
    TNotifyEvent OnPosChanged;
    TNotifyEvent OnVisibleChanged;

    // The smallest offset the bevels and border allow.
    int MinButtonsOffset() const;
    TBarOrientation Orientation() const { return m_orientation; }
    void SetOrientation(TBarOrientation Value);
    // The grid the buttons snap to: horizontal and vertical step.
    QSize GridStep() const { return m_gridStep; }
    // A button's top-left corner snapped to the grid: rounded along the bar,
    // truncated across it, never inside the offset band.
    QPoint SnapToGrid(const QPoint& Pos) const;
    // The first grid place along the bar where no visible button stands.
    QPoint FirstFreePlace() const;

    // Sections. AddSection makes the caption unique (" (1)", " (2)", ...)
    // and returns the section's index.
    int AddSection(TSpeedbarSection* Section);
    int SectionCount() const { return int(m_sections.size()); }
    TSpeedbarSection* Sections(int Index) const { return m_sections.at(Index); }
    // Exact, case-sensitive; -1 when none.
    int SearchSection(const QString& Caption) const;
    void RemoveSection(int Index);  // frees the section and its items

    // Items. An item already on the bar moves to the section (the index is
    // clamped to the last); a new one is bound to the bar with its button
    // hidden until its visibility is applied. A bar without sections first
    // gets one with an empty caption.
    void AddItem(int SectionIndex, TSpeedItem* Item);
    void RemoveItem(TSpeedItem* Item);
    int ItemsCount(int SectionIndex) const;
    TSpeedItem* Items(int SectionIndex, int Index) const;
    bool FindItem(const TSpeedItem* Item, int& SectionIndex, int& Index) const;
    TSpeedItem* SearchItem(const QString& Name) const;
    void ForEachItem(const std::function<void(TSpeedItem* Item)>& Proc) const;

    // Customising: buttons are always enabled and not flat, and the mouse
    // drags them; the setup window lists the sections and their items.
    void StartEditing();
    void EndEditing();
    bool Editing() const { return m_editing; }
    // Raises OnCustomize, starts editing and opens the setup window.
    void Customize(int HelpCtx = 0);
    TSpeedbarSetupWindow* SetupWindow() const { return m_setupWindow; }

    // Multiplies the button size and offsets by M / D and snaps the buttons
    // to the new grid.
    void ChangeScale(int M, int D);

    // While the form builds the bar, setting Align keeps the size set;
    // Loaded sizes the buttons and applies the items' visibility.
    void BeginLoading() { m_loading = true; }
    void Loaded();
    bool Loading() const { return m_loading; }

    // The layout in the placement's file, in the placement's section, "\"
    // and the bar's default section name.
    void SaveToIni();
    void LoadFromIni();
    QString LayoutSection() const;

    // A child held Distance pixels from the bar's right edge (its own right
    // edge to the bar's), whatever the bar's width; a negative distance lets
    // it go.
    static void SetAnchoredRight(QWidget* Control, int Distance);

    // Docks the ordinary children inside the bevels and bound lines, and
    // raises the offsets to the smallest the bevels allow.
    virtual void AlignControls();

    void setVisible(bool Visible) override;
    QSize sizeHint() const override;

protected:
    virtual void Paint(QPainter& Canvas);
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    void childEvent(QChildEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

private:
    friend class TSpeedItem;
    friend class TSpeedbarSection;
    friend class TSpeedbarButton;
    void updateGridSize();
    void bindItem(TSpeedItem* Item);
    void forEachButton(const std::function<void(TSpeedbarButton*)>& Proc) const;
    void checkOffsets();
    void growToButtons();
    void setBtnOffset(const QPoint& Value);
    void setBtnSize(const QSize& Value);
    void applyThickness(int Thickness);
    void sectionCaptionCheck(const TSpeedbarSection* Section, const QString& Caption) const;
    void removeSection(TSpeedbarSection* Section);
    void dropButton(TSpeedbarButton* Button, const QPoint& GlobalPos, const QPoint& Offset);
    int resizeEdgeAt(const QPoint& Pos) const;
    TAlign dockSideAt(const QPoint& GlobalPos) const;
    void updateSizePolicy();

    QList<TSpeedbarSection*> m_sections;
    TBarOrientation m_orientation = boHorizontal;
    QSize m_gridStep{8, 23};
    QSize m_btnSize{24, 23};
    QPoint m_offset;
    TBoundLines m_boundLines = 0;
    TBarPosition m_position = bpAuto;
    TSpeedbarOptions m_options = sbAllowDrag | sbGrayedBtns;
    int m_version = 0;
    QImage m_wallpaper;
    QList<QImage> m_images;
    TPanelBevel m_bevelInner = bvNone;
    TPanelBevel m_bevelOuter = bvRaised;
    int m_bevelWidth = 1;
    int m_borderWidth = 0;
    bool m_showHint = true;
    bool m_updating = false;
    bool m_loading = false;
    bool m_editing = false;
    bool m_aligning = false;
    QPointer<TSpeedbarSetupWindow> m_setupWindow;
    TIniLink m_iniLink;

    // Docking and resizing by mouse.
    enum { mdNone, mdDock, mdResize } m_mouseMode = mdNone;
    QPoint m_pressPos;
    int m_pressThickness = 0;
};

// The setup window of customising mode: the sections, the items of the
// chosen one; a double click puts a hidden item on the bar or takes a
// shown one off. Closing it ends customising.
class TSpeedbarSetupWindow : public QDialog {
    Q_OBJECT
public:
    explicit TSpeedbarSetupWindow(TSpeedBar* Bar);
    ~TSpeedbarSetupWindow() override;
    QListWidget* SectionList() const { return m_sectionList; }
    QListWidget* ButtonsList() const { return m_buttonsList; }
    // Fills the lists again (items moved or shown).
    void UpdateLists();
    // The item of a row of the buttons list.
    TSpeedItem* ItemAt(int Row) const;
    void ToggleItem(int Row);

private:
    void fillButtons();
    QPointer<TSpeedBar> m_bar;
    QListWidget* m_sectionList;
    QListWidget* m_buttonsList;
};
