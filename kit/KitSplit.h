#pragma once
// TKitSplitter: a thin bar beside a docked control. Dragging it with the left
// button shows an inverted line over the form that follows the pointer within
// limits; releasing resizes the control and the docking moves the rest along.
//
// Widgets have no docking of their own, so this unit also gives them one: an
// alignment per widget (TAlign) and the rule that lays docked siblings out
// edge by edge in the order they were docked (TAlignLayout, AlignControls).
#include "VCLUtils.h"  // TNotifyEvent, cursor numbers
#include <QLayout>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>

// ---------------------------------------------------------------- docking

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// A widget's docking, kept with the widget (alNone until set).
TAlign ControlAlign(const QWidget* Control);
void SetControlAlign(QWidget* Control, TAlign Align);

// Lays out docked widgets in Rect in the given order: top ones stacked
// downwards, bottom ones upwards, then left, right, and the client ones in
// what remains. Docked widgets keep their extent across the docking side
// (height for top and bottom, width for left and right).
void ArrangeDocked(const QList<QWidget*>& Controls, const QRect& Rect);

// True when Parent lays its children out by their docking: through a
// TAlignLayout, or with no layout at all.
bool DocksChildren(const QWidget* Parent);

// Re-docks the children of Parent: through its TAlignLayout when it has one,
// by ArrangeDocked over its docked children in child order when it has no
// layout; a parent with some other layout is left to that layout.
void AlignControls(QWidget* Parent);

// A layout that docks its widgets by their TAlign, in the order added, and
// re-docks whenever the parent's size changes.
class TAlignLayout : public QLayout {
    Q_OBJECT
public:
    explicit TAlignLayout(QWidget* Parent = nullptr);
    ~TAlignLayout() override;

    // Adds the widget with this docking.
    void addDocked(QWidget* Widget, TAlign Align);

    void addItem(QLayoutItem* Item) override;
    QLayoutItem* itemAt(int Index) const override;
    QLayoutItem* takeAt(int Index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& Rect) override;

private:
    QList<QLayoutItem*> m_items;
};

// ---------------------------------------------------------------- splitter

enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };

// Raised on each move while dragging and once before applying; AllowChange
// false refuses the position.
using TSplitterMoveEvent = std::function<void(QObject* Sender, int X, int Y, bool& AllowChange)>;

class TKitSplitter : public QWidget {
    Q_OBJECT
public:
    explicit TKitSplitter(QWidget* Parent = nullptr);
    ~TKitSplitter() override;

    // The control on the splitter's top or left side that is resized, and
    // the optional one on the other side. Neither may be the splitter
    // itself or a window (either is stored as none); a control that is
    // destroyed is cleared.
    QWidget* ControlFirst() const { return m_controlFirst; }
    void SetControlFirst(QWidget* Value);
    QWidget* ControlSecond() const { return m_controlSecond; }
    void SetControlSecond(QWidget* Value);

    TAlign Align() const { return ControlAlign(this); }
    void SetAlign(TAlign Value);

    // Nearest distance of the bar to the parent's top or left edge, and to
    // its bottom or right edge.
    int TopLeftLimit() const { return m_topLeftLimit; }
    void SetTopLeftLimit(int Value) { m_topLeftLimit = Value; }
    int BottomRightLimit() const { return m_bottomRightLimit; }
    void SetBottomRightLimit(int Value) { m_bottomRightLimit = Value; }
    // The older single limit: sets both.
    void SetLimitOffset(int Value);

    TPanelBevel BevelInner() const { return m_bevelInner; }
    void SetBevelInner(TPanelBevel Value);
    TPanelBevel BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TPanelBevel Value);
    int BevelWidth() const { return m_bevelWidth; }
    void SetBevelWidth(int Value);

    // 0 (no split) to 4, from the docking of the two controls and of the
    // splitter: 1 and 2 split horizontally, 3 and 4 vertically.
    int SplitMode() const;
    // crVSplit or crHSplit by split mode, else crDefault.
    int Cursor() const;
    bool Dragging() const { return m_dragging; }

    // While a form is being built, setting Align keeps the size it was
    // given; Loaded ends that and sets the cursor.
    void BeginLoading() { m_loading = true; }
    void Loaded();

    TSplitterMoveEvent OnPosChanging;
    TNotifyEvent OnPosChanged;

protected:
    virtual void PosChanging(int X, int Y, bool& AllowChange);
    virtual void PosChanged();

    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    bool horizontalSplit() const { return m_splitMode == 1 || m_splitMode == 2; }
    int thickness() const { return horizontalSplit() ? height() : width(); }
    void updateCursor();
    void showDragCursor(bool NoDrop);
    void startSizing();
    void stopSizing(int X, int Y, bool Apply);
    void clampPoint(int& X, int& Y) const;
    void moveLine(const QPoint& Point);
    void applySize(int X, int Y);
    QWidget* findControl() const;

    QPointer<QWidget> m_controlFirst;
    QPointer<QWidget> m_controlSecond;
    int m_topLeftLimit = 20;
    int m_bottomRightLimit = 20;
    TPanelBevel m_bevelInner = bvNone;
    TPanelBevel m_bevelOuter = bvRaised;
    int m_bevelWidth = 1;
    bool m_loading = false;

    // Drag state.
    bool m_dragging = false;
    int m_splitMode = 0;
    QPoint m_linePoint;        // last line drawn, splitter client coordinates
    bool m_lineShown = false;
    QPoint m_pressPoint;
    bool m_noDrop = false;
    QPoint m_minPoint;
    QPoint m_maxPoint;
    QPointer<QWidget> m_line;  // the drag line over the form
};
