#include "KitSplit.h"
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

// ---------------------------------------------------------------- docking

namespace {

const char* const AlignProperty = "Align";

}  // namespace

TAlign ControlAlign(const QWidget* Control)
{
    if (!Control)
        return alNone;
    const QVariant v = Control->property(AlignProperty);
    return v.isValid() ? static_cast<TAlign>(v.toInt()) : alNone;
}

void SetControlAlign(QWidget* Control, TAlign Align)
{
    if (Control)
        Control->setProperty(AlignProperty, int(Align));
}

void ArrangeDocked(const QList<QWidget*>& Controls, const QRect& Rect)
{
    QRect r = Rect;
    // Each side in turn takes its strip off what is left, as the class
    // library docks; the client controls share the rest.
    for (TAlign side : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (QWidget* w : Controls) {
            if (!w || w->isHidden() || ControlAlign(w) != side)
                continue;
            switch (side) {
            case alTop:
                w->setGeometry(r.left(), r.top(), r.width(), w->height());
                r.setTop(r.top() + w->height());
                break;
            case alBottom:
                w->setGeometry(r.left(), r.top() + r.height() - w->height(), r.width(), w->height());
                r.setHeight(r.height() - w->height());
                break;
            case alLeft:
                w->setGeometry(r.left(), r.top(), w->width(), r.height());
                r.setLeft(r.left() + w->width());
                break;
            case alRight:
                w->setGeometry(r.left() + r.width() - w->width(), r.top(), w->width(), r.height());
                r.setWidth(r.width() - w->width());
                break;
            case alClient:
                w->setGeometry(r.left(), r.top(), qMax(0, r.width()), qMax(0, r.height()));
                break;
            case alNone:
                break;
            }
        }
    }
}

bool DocksChildren(const QWidget* Parent)
{
    return Parent && (!Parent->layout() || qobject_cast<TAlignLayout*>(Parent->layout()));
}

void AlignControls(QWidget* Parent)
{
    if (!Parent)
        return;
    if (QLayout* layout = Parent->layout()) {
        if (qobject_cast<TAlignLayout*>(layout)) {
            layout->invalidate();
            layout->activate();
        }
        return;
    }
    QList<QWidget*> docked;
    for (QObject* child : Parent->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && !w->isWindow() && ControlAlign(w) != alNone)
            docked << w;
    }
    ArrangeDocked(docked, Parent->rect());
}

TAlignLayout::TAlignLayout(QWidget* Parent) : QLayout(Parent)
{
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

TAlignLayout::~TAlignLayout()
{
    while (!m_items.isEmpty())
        delete m_items.takeFirst();
}

void TAlignLayout::addDocked(QWidget* Widget, TAlign Align)
{
    SetControlAlign(Widget, Align);
    addWidget(Widget);
}

void TAlignLayout::addItem(QLayoutItem* Item)
{
    m_items.append(Item);
}

QLayoutItem* TAlignLayout::itemAt(int Index) const
{
    return Index >= 0 && Index < m_items.size() ? m_items.at(Index) : nullptr;
}

QLayoutItem* TAlignLayout::takeAt(int Index)
{
    return Index >= 0 && Index < m_items.size() ? m_items.takeAt(Index) : nullptr;
}

int TAlignLayout::count() const
{
    return int(m_items.size());
}

QSize TAlignLayout::sizeHint() const
{
    int fixedWidth = 0;
    int fixedHeight = 0;
    QSize client(0, 0);
    for (QLayoutItem* item : m_items) {
        QWidget* w = item->widget();
        if (!w || w->isHidden())
            continue;
        switch (ControlAlign(w)) {
        case alTop:
        case alBottom:
            fixedHeight += w->height();
            break;
        case alLeft:
        case alRight:
            fixedWidth += w->width();
            break;
        case alClient:
            client = client.expandedTo(w->sizeHint());
            break;
        case alNone:
            break;
        }
    }
    const QMargins m = contentsMargins();
    return QSize(fixedWidth + client.width() + m.left() + m.right(),
                 fixedHeight + client.height() + m.top() + m.bottom());
}

QSize TAlignLayout::minimumSize() const
{
    // Docked sizes are the operator's; the layout never forces a minimum.
    return QSize(0, 0);
}

void TAlignLayout::setGeometry(const QRect& Rect)
{
    QLayout::setGeometry(Rect);
    QList<QWidget*> widgets;
    for (QLayoutItem* item : m_items)
        if (QWidget* w = item->widget())
            widgets << w;
    ArrangeDocked(widgets, Rect.marginsRemoved(contentsMargins()));
}

// ---------------------------------------------------------------- drag line

// The line shown while dragging: a strip of the form's own image with its
// colours inverted, as a white pen in XOR mode would draw it. The form does
// not change during a drag, so one picture taken at the start serves every
// position of the line.
class TKitSplitLine : public QWidget {
public:
    TKitSplitLine(QWidget* Form, QImage Inverted) : QWidget(Form), m_image(std::move(Inverted))
    {
        setObjectName(QStringLiteral("KitSplitLine"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const qreal ratio = m_image.devicePixelRatio();
        p.drawImage(QRectF(rect()), m_image,
                    QRectF(QPointF(geometry().topLeft()) * ratio, QSizeF(size()) * ratio));
    }

private:
    QImage m_image;
};

// ---------------------------------------------------------------- splitter

namespace {

void ApplyCursorNumber(QWidget* Widget, int Number)
{
    switch (Number) {
    case crHSplit:
        Widget->setCursor(Qt::SplitHCursor);
        break;
    case crVSplit:
        Widget->setCursor(Qt::SplitVCursor);
        break;
    case crNoDrop:
        Widget->setCursor(Qt::ForbiddenCursor);
        break;
    default:
        Widget->unsetCursor();
        break;
    }
}

// A 3-D edge Width pixels wide inside Rect, which shrinks by it.
void DrawBevel(QPainter& P, QRect& Rect, TPanelBevel Bevel, int Width, const QPalette& Palette)
{
    if (Bevel == bvNone)
        return;
    QColor topLeft = Palette.color(QPalette::Light);
    QColor bottomRight = Palette.color(QPalette::Dark);
    if (Bevel == bvLowered)
        std::swap(topLeft, bottomRight);
    for (int i = 0; i < Width && Rect.width() > 0 && Rect.height() > 0; ++i) {
        if (Bevel != bvSpace) {
            P.fillRect(QRect(Rect.left(), Rect.top(), 1, Rect.height()), topLeft);
            P.fillRect(QRect(Rect.left(), Rect.top(), Rect.width(), 1), topLeft);
            P.fillRect(QRect(Rect.right(), Rect.top(), 1, Rect.height()), bottomRight);
            P.fillRect(QRect(Rect.left(), Rect.bottom(), Rect.width(), 1), bottomRight);
        }
        Rect.adjust(1, 1, -1, -1);
    }
}

}  // namespace

TKitSplitter::TKitSplitter(QWidget* Parent) : QWidget(Parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(185, 3);
}

TKitSplitter::~TKitSplitter()
{
    if (m_dragging)
        qApp->removeEventFilter(this);
    delete m_line;
}

void TKitSplitter::SetControlFirst(QWidget* Value)
{
    if (Value == this || (Value && Value->isWindow()))
        Value = nullptr;
    m_controlFirst = Value;
    updateCursor();
}

void TKitSplitter::SetControlSecond(QWidget* Value)
{
    if (Value == this || (Value && Value->isWindow()))
        Value = nullptr;
    m_controlSecond = Value;
    updateCursor();
}

void TKitSplitter::SetAlign(TAlign Value)
{
    const TAlign old = Align();
    // Docking a free bar gives it the bar's thickness; a form being built
    // keeps the size it was given.
    if ((old == alNone || old == alClient) && !m_loading) {
        if (Value == alTop || Value == alBottom)
            resize(width(), 3);
        else if (Value == alLeft || Value == alRight)
            resize(3, height());
    }
    SetControlAlign(this, Value);
    AlignControls(parentWidget());
    if (!m_controlFirst && !m_controlSecond)
        SetControlFirst(findControl());
    updateCursor();
}

void TKitSplitter::SetLimitOffset(int Value)
{
    m_topLeftLimit = Value;
    m_bottomRightLimit = Value;
}

void TKitSplitter::SetBevelInner(TPanelBevel Value)
{
    m_bevelInner = Value;
    update();
}

void TKitSplitter::SetBevelOuter(TPanelBevel Value)
{
    m_bevelOuter = Value;
    update();
}

void TKitSplitter::SetBevelWidth(int Value)
{
    m_bevelWidth = qMax(1, Value);
    update();
}

int TKitSplitter::SplitMode() const
{
    if (!m_controlFirst)
        return 0;
    const TAlign a1 = ControlAlign(m_controlFirst);
    const TAlign a2 = ControlAlign(m_controlSecond);
    int mode = 0;
    if ((a1 == alTop || a1 == alBottom) && (a2 == alNone || a2 == alClient))
        mode = 1;
    else if (a1 == alClient && (a2 == alBottom || a2 == alTop))
        mode = 2;
    else if ((a1 == alLeft || a1 == alRight) && (a2 == alNone || a2 == alClient))
        mode = 3;
    else if (a1 == alClient && (a2 == alRight || a2 == alLeft))
        mode = 4;
    // The bar must be docked on the same side as the control it sizes.
    if ((mode == 1 || mode == 3) && Align() != a1)
        return 0;
    if ((mode == 2 || mode == 4) && Align() != a2)
        return 0;
    return mode;
}

int TKitSplitter::Cursor() const
{
    switch (SplitMode()) {
    case 1:
    case 2:
        return crVSplit;
    case 3:
    case 4:
        return crHSplit;
    default:
        return crDefault;
    }
}

void TKitSplitter::Loaded()
{
    m_loading = false;
    updateCursor();
}

void TKitSplitter::PosChanging(int X, int Y, bool& AllowChange)
{
    if (OnPosChanging)
        OnPosChanging(this, X, Y, AllowChange);
}

void TKitSplitter::PosChanged()
{
    if (OnPosChanged)
        OnPosChanged(this);
}

void TKitSplitter::updateCursor()
{
    if (!m_dragging)
        ApplyCursorNumber(this, Cursor());
}

void TKitSplitter::showDragCursor(bool NoDrop)
{
    ApplyCursorNumber(this, NoDrop ? crNoDrop : (horizontalSplit() ? crVSplit : crHSplit));
}

void TKitSplitter::mousePressEvent(QMouseEvent* Event)
{
    Event->accept();
    if (Event->button() != Qt::LeftButton || m_dragging || !parentWidget())
        return;
    m_splitMode = SplitMode();
    if (m_splitMode == 0)
        return;
    m_dragging = true;
    // Hints stay off and Escape belongs to the splitter until the drag ends;
    // every other key still reaches the control that has the focus.
    QToolTip::hideText();
    qApp->installEventFilter(this);
    m_pressPoint = Event->position().toPoint();
    startSizing();
}

void TKitSplitter::mouseMoveEvent(QMouseEvent* Event)
{
    Event->accept();
    if (!m_dragging)
        return;
    int x = Event->position().toPoint().x();
    int y = Event->position().toPoint().y();
    bool allow = true;
    PosChanging(x, y, allow);
    if (!allow) {
        ApplyCursorNumber(this, crNoDrop);
        return;
    }
    const int asked = horizontalSplit() ? y : x;
    clampPoint(x, y);
    const bool noDrop = (horizontalSplit() ? y : x) != asked;
    if (noDrop != m_noDrop) {
        m_noDrop = noDrop;
        showDragCursor(noDrop);
    }
    moveLine(QPoint(x - m_pressPoint.x() + width() / 2, y - m_pressPoint.y() + height() / 2));
}

void TKitSplitter::mouseReleaseEvent(QMouseEvent* Event)
{
    Event->accept();
    if (m_dragging)
        stopSizing(Event->position().toPoint().x(), Event->position().toPoint().y(), true);
}

bool TKitSplitter::eventFilter(QObject* Watched, QEvent* Event)
{
    if (!m_dragging)
        return false;
    switch (Event->type()) {
    case QEvent::ToolTip:
        return true;
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress: {
        auto* w = qobject_cast<QWidget*>(Watched);
        auto* key = static_cast<QKeyEvent*>(Event);
        if (!w || w->window() != window() || key->key() != Qt::Key_Escape)
            return false;
        // Claim Escape before any shortcut sees it, then cancel on the press.
        Event->accept();
        if (Event->type() == QEvent::KeyPress)
            stopSizing(0, 0, false);
        return true;
    }
    default:
        return false;
    }
}

void TKitSplitter::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    QRect r = rect();
    DrawBevel(p, r, m_bevelOuter, m_bevelWidth, palette());
    DrawBevel(p, r, m_bevelInner, m_bevelWidth, palette());
}

void TKitSplitter::startSizing()
{
    const QRect client = parentWidget()->rect();
    m_minPoint = QPoint(client.left() + m_topLeftLimit, client.top() + m_topLeftLimit) - pos();
    m_maxPoint = QPoint(client.width() - m_bottomRightLimit, client.height() - m_bottomRightLimit) - pos();
    m_noDrop = false;

    QImage inverted = window()->grab().toImage();
    inverted.invertPixels();
    delete m_line;
    m_line = new TKitSplitLine(window(), std::move(inverted));
    m_lineShown = false;
    moveLine(QPoint(width() / 2, height() / 2));
}

void TKitSplitter::stopSizing(int X, int Y, bool Apply)
{
    if (!m_dragging)
        return;
    bool allow = Apply;
    if (Apply)
        PosChanging(X, Y, allow);
    delete m_line;
    m_lineShown = false;
    m_noDrop = false;
    if (Apply) {
        if (!allow) {
            // Refused at the last moment: the bar goes where the line is.
            X = m_pressPoint.x() + m_linePoint.x() - width() / 2;
            Y = m_pressPoint.y() + m_linePoint.y() - height() / 2;
        }
        clampPoint(X, Y);
        applySize(X, Y);
    }
    m_dragging = false;
    qApp->removeEventFilter(this);
    updateCursor();
    if (Apply)
        PosChanged();
}

void TKitSplitter::clampPoint(int& X, int& Y) const
{
    if (X - m_pressPoint.x() < m_minPoint.x())
        X = m_minPoint.x() + m_pressPoint.x();
    else if (X - m_pressPoint.x() + width() > m_maxPoint.x())
        X = m_maxPoint.x() - width() + m_pressPoint.x();
    if (Y - m_pressPoint.y() < m_minPoint.y())
        Y = m_minPoint.y() + m_pressPoint.y();
    else if (Y - m_pressPoint.y() + height() > m_maxPoint.y())
        Y = m_maxPoint.y() - height() + m_pressPoint.y();
}

void TKitSplitter::moveLine(const QPoint& Point)
{
    // Only the coordinate across the bar counts; the line is kept inside
    // the parent.
    QPoint p = horizontalSplit() ? QPoint(0, Point.y()) : QPoint(Point.x(), 0);
    const QWidget* parent = parentWidget();
    QPoint inParent = p + pos();
    inParent.setX(qBound(0, inParent.x(), parent->width()));
    inParent.setY(qBound(0, inParent.y(), parent->height()));
    p = inParent - pos();
    if (m_lineShown && p == m_linePoint)
        return;
    m_linePoint = p;
    m_lineShown = true;
    if (!m_line)
        return;

    const int across = thickness();
    const int penWidth = across < 4 ? 2 : across - 2;
    const QPoint origin = mapTo(window(), QPoint(0, 0));
    const QPoint at = mapTo(window(), p);
    const QRect line = horizontalSplit() ? QRect(origin.x(), at.y() - penWidth / 2, width(), penWidth)
                                         : QRect(at.x() - penWidth / 2, origin.y(), penWidth, height());
    m_line->setGeometry(line);
    m_line->raise();
    m_line->show();
}

void TKitSplitter::applySize(int X, int Y)
{
    int dx = X - m_pressPoint.x();
    int dy = Y - m_pressPoint.y();
    const TAlign a1 = ControlAlign(m_controlFirst);
    const TAlign a2 = ControlAlign(m_controlSecond);
    // A control docked on the far side grows as the bar moves towards it.
    if (a1 == alRight || a2 == alRight)
        dx = -dx;
    if (a1 == alBottom || a2 == alBottom)
        dy = -dy;

    QWidget* target = (m_splitMode == 1 || m_splitMode == 3) ? m_controlFirst.data() : m_controlSecond.data();
    QWidget* parent = parentWidget();
    if (!target || !parent)
        return;
    const bool vertical = horizontalSplit();
    const int extent = vertical ? parent->height() : parent->width();
    int size = (vertical ? target->height() : target->width()) + (vertical ? dy : dx);
    if (size < 1)
        size = 1;
    else if (size >= extent - thickness())
        size = extent - thickness() - 3;
    size = qMax(0, size);
    if (vertical)
        target->resize(target->width(), size);
    else
        target->resize(size, target->height());
    AlignControls(parent);
}

QWidget* TKitSplitter::findControl() const
{
    const QWidget* parent = parentWidget();
    if (!parent)
        return nullptr;
    const QRect g = geometry();
    QPoint p;
    switch (Align()) {
    case alTop:
        p = QPoint(g.left(), g.top() - 1);
        break;
    case alBottom:
        p = QPoint(g.left(), g.top() + g.height());
        break;
    case alLeft:
        p = QPoint(g.left() - 1, g.top());
        break;
    case alRight:
        p = QPoint(g.left() + g.width(), g.top());
        break;
    default:
        return nullptr;
    }
    for (QObject* child : parent->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && w != this && !w->isWindow() && !w->isHidden() && w != m_line && w->geometry().contains(p))
            return w;
    }
    return nullptr;
}
