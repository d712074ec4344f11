#include "SpeedBar.h"
#include <QApplication>
#include <QChildEvent>
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char* const AnchorRightProperty = "kvAnchorRight";

// The grid step along a button edge of Size pixels: the smallest divisor of
// Size from a third of it (at most 8) up; a size without such a divisor
// below itself falls back to a smaller one.
int GridStepFor(int Size)
{
    int d = qMax(1, qMin(8, Size / 3));
    while (Size % d != 0)
        ++d;
    if (d == Size && Size > 1) {
        do
            --d;
        while (Size % d != 0 && d >= 2);
    }
    return d;
}

int MulDiv(int Value, int M, int D)
{
    return D == 0 ? Value : qRound(double(Value) * M / D);
}

void DrawBevel(QPainter& P, QRect& Rect, TPanelBevel Bevel, int Width)
{
    if (Bevel == bvNone)
        return;
    QColor topLeft = ColorToQColor(clBtnHighlight);
    QColor bottomRight = ColorToQColor(clBtnShadow);
    if (Bevel == bvLowered)
        std::swap(topLeft, bottomRight);
    else if (Bevel == bvSpace)
        topLeft = bottomRight = ColorToQColor(clBtnFace);
    Frame3D(P, Rect, topLeft, bottomRight, Width);
}

QString ShortHint(const QString& Hint)
{
    const qsizetype bar = Hint.indexOf(QChar('|'));
    return bar < 0 ? Hint : Hint.left(bar);
}

// The part after "|", or the whole hint when it has no "|".
QString LongHint(const QString& Hint)
{
    const qsizetype bar = Hint.indexOf(QChar('|'));
    return bar < 0 ? Hint : Hint.mid(bar + 1);
}

}  // namespace

// ---------------------------------------------------------------- button

TSpeedbarButton::TSpeedbarButton(TSpeedItem* Item) : TKitSpeedButton(nullptr), m_item(Item)
{
    hide();
    setGeometry(0, 0, 24, 23);
    SetStyle(bsNew);
    SetParentShowHint(true);
    SetParentFont(true);
}

TSpeedBar* TSpeedbarButton::bar() const
{
    return m_item ? m_item->SpeedBar() : nullptr;
}

void TSpeedbarButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (TSpeedBar* b = bar()) {
        AWidth = b->BtnWidth();
        AHeight = b->BtnHeight();
        if (b->Orientation() == boHorizontal)
            ATop = qMax(ATop, b->BtnOffsetVert());
        else
            ALeft = qMax(ALeft, b->BtnOffsetHorz());
    }
    TKitSpeedButton::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TSpeedbarButton::Paint(QPainter& Canvas)
{
    if (isVisible())
        TKitSpeedButton::Paint(Canvas);
}

QPoint TSpeedbarButton::PaintGlyph(QPainter& Canvas, const QRect& ARect, TKitButtonState AState, bool DrawMark)
{
    const TSpeedBar* b = bar();
    const int index = m_item ? m_item->ImageIndex() : -1;
    if (b && index >= 0 && index < b->Images().size())
        return DrawButtonGlyph(Canvas, ARect, AState, DrawMark, &b->Images().at(index));
    return TKitSpeedButton::PaintGlyph(Canvas, ARect, AState, DrawMark);
}

void TSpeedbarButton::mousePressEvent(QMouseEvent* Event)
{
    TSpeedBar* b = bar();
    if (!b || !b->Editing()) {
        TKitSpeedButton::mousePressEvent(Event);
        return;
    }
    if (Event->button() != Qt::LeftButton)
        return;
    m_dragOffset = Event->position().toPoint();
    QWidget* top = b->window();
    auto* image = new TBtnControl(top, grab());
    image->move(mapTo(top, QPoint(0, 0)));
    image->show();
    image->raise();
    m_dragImage = image;
}

void TSpeedbarButton::mouseMoveEvent(QMouseEvent* Event)
{
    TSpeedBar* b = bar();
    if (!b || !b->Editing()) {
        TKitSpeedButton::mouseMoveEvent(Event);
        return;
    }
    if (m_dragImage) {
        QWidget* top = m_dragImage->parentWidget();
        m_dragImage->move(top->mapFromGlobal(Event->globalPosition().toPoint()) - m_dragOffset);
    }
}

void TSpeedbarButton::mouseReleaseEvent(QMouseEvent* Event)
{
    TSpeedBar* b = bar();
    if (!b || !b->Editing()) {
        TKitSpeedButton::mouseReleaseEvent(Event);
        return;
    }
    if (!m_dragImage || Event->button() != Qt::LeftButton)
        return;
    delete m_dragImage;
    b->dropButton(this, Event->globalPosition().toPoint(), m_dragOffset);
}

TBtnControl::TBtnControl(QWidget* Parent, const QPixmap& Image) : QWidget(Parent), m_image(Image)
{
    setObjectName(QStringLiteral("BtnControl"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(Image.deviceIndependentSize().toSize());
}

void TBtnControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawPixmap(0, 0, m_image);
    // Marked as a button on the move.
    DrawInvertedFrame(p, rect(), 1);
}

// ---------------------------------------------------------------- item

TSpeedItem::TSpeedItem(QObject* Owner) : QObject(Owner)
{
    m_button = new TSpeedbarButton(this);
    m_button->SetLayout(blGlyphTop);
    m_button->SetMargin(-1);
    m_button->SetSpacing(4);
    m_button->OnClick = [this](QObject* sender) {
        if (OnClick)
            OnClick(sender);
    };
    m_button->OnDblClick = [this](QObject* sender) {
        if (OnDblClick)
            OnDblClick(sender);
    };
    m_button->OnMouseEnter = [this](QObject* sender) {
        if (OnMouseEnter)
            OnMouseEnter(sender);
    };
    m_button->OnMouseLeave = [this](QObject* sender) {
        if (OnMouseLeave)
            OnMouseLeave(sender);
    };
    m_button->OnMouseDown = [this](QObject* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                                   int y) {
        if (OnMouseDown)
            OnMouseDown(sender, button, shift, x, y);
    };
    m_button->OnMouseUp = [this](QObject* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                                 int y) {
        if (OnMouseUp)
            OnMouseUp(sender, button, shift, x, y);
    };
    m_button->OnMouseMove = [this](QObject* sender, Qt::KeyboardModifiers shift, int x, int y) {
        if (OnMouseMove)
            OnMouseMove(sender, shift, x, y);
    };
    connect(this, &QObject::objectNameChanged, this, &TSpeedItem::nameChanged);
}

TSpeedItem::~TSpeedItem()
{
    if (TSpeedbarSection* section = Section())
        section->m_items.removeAll(this);
    m_bar = nullptr;
    delete m_button;
}

TSpeedbarSection* TSpeedItem::Section() const
{
    auto* section = qobject_cast<TSpeedbarSection*>(parent());
    return section && section->m_items.contains(const_cast<TSpeedItem*>(this)) ? section : nullptr;
}

int TSpeedItem::SectionIndex() const
{
    const TSpeedbarSection* section = Section();
    return section ? section->Index() : -1;
}

void TSpeedItem::SetCaption(const QString& Value)
{
    const bool loading = m_bar && m_bar->Loading();
    const QString hint = Hint();
    // The hint follows the caption while its short part is the caption.
    if (!loading && ShortHint(hint) == m_caption) {
        const qsizetype bar = Value.indexOf(QChar('|'));
        QString newHint;
        if (bar >= 0) {
            if (!Value.mid(bar + 1).isEmpty())
                newHint = Value;
            else
                newHint = Value.left(bar) + QChar('|') + LongHint(hint);
        } else if (hint.contains(QChar('|'))) {
            newHint = Value + QChar('|') + LongHint(hint);
        } else {
            newHint = Value + QChar('|');
        }
        SetHint(newHint);
    }
    m_caption = Value;
    if (m_bar && m_bar->SetupWindow())
        m_bar->SetupWindow()->UpdateLists();
}

void TSpeedItem::nameChanged(const QString& NewName)
{
    if (m_caption == m_name)
        SetCaption(NewName);
    m_name = NewName;
}

void TSpeedItem::SetEnabled(bool Value)
{
    m_enabled = Value;
    UpdateEnabled();
}

void TSpeedItem::SetCursor(int Value)
{
    m_cursor = Value;
    if (Value == crDefault)
        m_button->unsetCursor();
    else
        m_button->setCursor(ScreenCursor(Value));
}

void TSpeedItem::SetImageIndex(int Value)
{
    m_imageIndex = Value;
    m_button->update();
}

void TSpeedItem::SetLeft(int Value)
{
    m_button->SetBounds(Value, m_button->y(), m_button->width(), m_button->height());
}

void TSpeedItem::SetTop(int Value)
{
    m_button->SetBounds(m_button->x(), Value, m_button->width(), m_button->height());
}

void TSpeedItem::SetVisible(bool Value)
{
    m_visible = Value;
    UpdateVisibility();
    if (m_bar && m_bar->SetupWindow())
        m_bar->SetupWindow()->UpdateLists();
}

void TSpeedItem::UpdateVisibility()
{
    const bool show = m_visible && m_bar && !m_bar->isHidden();
    if (show && m_button->parentWidget() != m_bar)
        m_button->setParent(m_bar);
    m_button->setVisible(show);
}

void TSpeedItem::UpdateEnabled()
{
    if (m_bar && m_bar->Editing())
        m_button->setEnabled(true);
    else
        m_button->setEnabled(m_enabled && (!m_bar || m_bar->isEnabled()));
}

void TSpeedItem::PlaceOnBar(TSpeedBar* Bar, const QString& SectionName, int SectionIndex)
{
    if (!Bar)
        return;
    int section = Bar->SearchSection(SectionName);
    if (section < 0)
        section = qMax(0, SectionIndex);
    Bar->AddItem(section, this);
}

void TSpeedItem::ButtonClick()
{
    m_button->Click();
}

// ---------------------------------------------------------------- section

TSpeedbarSection::TSpeedbarSection(QObject* Owner) : QObject(Owner) {}

TSpeedbarSection::~TSpeedbarSection()
{
    while (!m_items.isEmpty())
        delete m_items.last();
    if (m_bar)
        m_bar->removeSection(this);
}

void TSpeedbarSection::SetCaption(const QString& Value)
{
    if (m_bar)
        m_bar->sectionCaptionCheck(this, Value);
    m_caption = Value;
    if (m_bar && m_bar->SetupWindow())
        m_bar->SetupWindow()->UpdateLists();
}

int TSpeedbarSection::Index() const
{
    return m_bar ? int(m_bar->m_sections.indexOf(const_cast<TSpeedbarSection*>(this))) : -1;
}

void TSpeedbarSection::SetIndex(int Value)
{
    if (!m_bar)
        return;
    const int from = Index();
    const int to = qBound(0, Value, m_bar->SectionCount() - 1);
    if (from != to)
        m_bar->m_sections.move(from, to);
}

// ---------------------------------------------------------------- bar

TSpeedBar::TSpeedBar(QWidget* Parent) : QWidget(Parent)
{
    const int offset = MinButtonsOffset();
    m_offset = QPoint(offset, offset);
    resize(width(), 2 * offset + m_btnSize.height());
    setFont(QApplication::font("QMenu"));
    SetControlAlign(this, alTop);
    updateGridSize();
    updateSizePolicy();
    m_iniLink.OnSave = [this](QObject*) { SaveToIni(); };
    m_iniLink.OnLoad = [this](QObject*) { LoadFromIni(); };
}

TSpeedBar::~TSpeedBar()
{
    delete m_setupWindow;
    m_updating = true;
    while (!m_sections.isEmpty())
        delete m_sections.last();
}

int TSpeedBar::MinButtonsOffset() const
{
    int offset = (m_options & sbFlatBtns) ? 0 : 2;
    offset += m_borderWidth;
    if (m_bevelOuter != bvNone)
        offset += m_bevelWidth;
    if (m_bevelInner != bvNone)
        offset += m_bevelWidth;
    return offset;
}

void TSpeedBar::updateGridSize()
{
    if (m_orientation == boHorizontal)
        m_gridStep = QSize(GridStepFor(m_btnSize.width()), m_btnSize.height());
    else
        m_gridStep = QSize(m_btnSize.width(), GridStepFor(m_btnSize.height()));
}

void TSpeedBar::updateSizePolicy()
{
    if (m_orientation == boHorizontal)
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    else
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    updateGeometry();
}

QSize TSpeedBar::sizeHint() const
{
    // Across the bar it keeps the thickness it was given; along it, room for
    // its buttons.
    int extent = 0;
    forEachButton([&](TSpeedbarButton* b) {
        if (!b->isHidden())
            extent = qMax(extent, m_orientation == boHorizontal ? b->x() + b->width() : b->y() + b->height());
    });
    return m_orientation == boHorizontal ? QSize(extent, height()) : QSize(width(), extent);
}

void TSpeedBar::forEachButton(const std::function<void(TSpeedbarButton*)>& Proc) const
{
    ForEachItem([&](TSpeedItem* item) { Proc(item->Button()); });
}

void TSpeedBar::ForEachItem(const std::function<void(TSpeedItem*)>& Proc) const
{
    for (const TSpeedbarSection* section : m_sections)
        for (TSpeedItem* item : QList<TSpeedItem*>(section->m_items))
            if (item)
                Proc(item);
}

void TSpeedBar::SetBoundLines(TBoundLines Value)
{
    if (Value == m_boundLines)
        return;
    m_boundLines = Value;
    AlignControls();
    update();
}

void TSpeedBar::SetPosition(TBarPosition Value)
{
    if (Value == m_position)
        return;
    m_position = Value;
    if (m_position == bpAuto) {
        const TAlign a = Align();
        if (a == alTop || a == alBottom)
            SetOrientation(boHorizontal);
        else if (a == alLeft || a == alRight)
            SetOrientation(boVertical);
    }
}

void TSpeedBar::SetAlign(TAlign Value)
{
    if (m_position == bpAuto && (Value == alNone || Value == alClient))
        throw ESpeedbarError(QStringLiteral("Cannot set this property value while Position is bpAuto"));
    if (Value == Align())
        return;
    const QSize oldSize = size();
    SetControlAlign(this, Value);
    if (m_position == bpAuto) {
        const TBarOrientation o = (Value == alLeft || Value == alRight) ? boVertical : boHorizontal;
        if (o != m_orientation) {
            SetOrientation(o);
            // The bar keeps its thickness across; the docking gives its length.
            if (!m_loading)
                resize(oldSize.height(), oldSize.width());
        }
    }
    if (m_loading)
        resize(oldSize);
    updateSizePolicy();
    ::AlignControls(parentWidget());
}

void TSpeedBar::SetOptions(TSpeedbarOptions Value)
{
    if (Value == m_options)
        return;
    m_options = Value;
    ForEachItem([this](TSpeedItem* item) { bindItem(item); });
    checkOffsets();
    update();
}

// The buttons keep their places relative to the offset.
void TSpeedBar::setBtnOffset(const QPoint& Value)
{
    const QPoint delta = Value - m_offset;
    if (delta.isNull())
        return;
    m_offset = Value;
    forEachButton([&](TSpeedbarButton* b) {
        b->SetBounds(b->x() + delta.x(), b->y() + delta.y(), b->width(), b->height());
    });
}

void TSpeedBar::SetBtnOffsetHorz(int Value)
{
    setBtnOffset(QPoint(qMax(Value, MinButtonsOffset()), m_offset.y()));
}

void TSpeedBar::SetBtnOffsetVert(int Value)
{
    setBtnOffset(QPoint(m_offset.x(), qMax(Value, MinButtonsOffset())));
}

// Every button takes the new size (SetBounds gives a button on the bar the
// bar's size), and the bar grows to hold them.
void TSpeedBar::setBtnSize(const QSize& Value)
{
    if (Value == m_btnSize)
        return;
    m_btnSize = Value;
    updateGridSize();
    growToButtons();
    forEachButton([](TSpeedbarButton* b) { b->SetBounds(b->x(), b->y(), 0, 0); });
    update();
}

void TSpeedBar::SetBtnWidth(int Value)
{
    if (Value >= 1)
        setBtnSize(QSize(Value, m_btnSize.height()));
}

void TSpeedBar::SetBtnHeight(int Value)
{
    if (Value >= 1)
        setBtnSize(QSize(m_btnSize.width(), Value));
}

void TSpeedBar::growToButtons()
{
    if (m_orientation == boHorizontal) {
        const int least = 2 * m_offset.y() + m_btnSize.height();
        if (height() < least)
            applyThickness(least);
    } else {
        const int least = 2 * m_offset.x() + m_btnSize.width();
        if (width() < least)
            applyThickness(least);
    }
}

void TSpeedBar::applyThickness(int Thickness)
{
    if (m_orientation == boHorizontal)
        resize(width(), Thickness);
    else
        resize(Thickness, height());
    updateGeometry();
    ::AlignControls(parentWidget());
}

void TSpeedBar::SetWallpaper(const QImage& Value)
{
    m_wallpaper = Value;
    update();
}

void TSpeedBar::SetImages(const QList<QImage>& Value)
{
    m_images = Value;
    forEachButton([](TSpeedbarButton* b) { b->update(); });
}

void TSpeedBar::SetBevelInner(TPanelBevel Value)
{
    m_bevelInner = Value;
    AlignControls();
    update();
}

void TSpeedBar::SetBevelOuter(TPanelBevel Value)
{
    m_bevelOuter = Value;
    AlignControls();
    update();
}

void TSpeedBar::SetBevelWidth(int Value)
{
    m_bevelWidth = qMax(1, Value);
    AlignControls();
    update();
}

void TSpeedBar::SetBorderWidth(int Value)
{
    m_borderWidth = qMax(0, Value);
    AlignControls();
    update();
}

void TSpeedBar::SetShowHint(bool Value)
{
    m_showHint = Value;
    // Buttons that follow the bar read it again.
    forEachButton([](TSpeedbarButton* b) {
        if (b->ParentShowHint())
            b->SetParentShowHint(true);
    });
}

void TSpeedBar::SetOrientation(TBarOrientation Value)
{
    if (Value == m_orientation)
        return;
    if (m_loading) {
        m_orientation = Value;
        updateGridSize();
        updateSizePolicy();
        return;
    }
    m_updating = true;
    m_orientation = Value;
    m_btnSize.transpose();
    m_gridStep.transpose();
    m_offset = QPoint(m_offset.y(), m_offset.x());
    forEachButton([](TSpeedbarButton* b) { b->SetBounds(b->y(), b->x(), 0, 0); });
    m_updating = false;
    updateSizePolicy();
    update();
}

QPoint TSpeedBar::SnapToGrid(const QPoint& Pos) const
{
    int along = m_orientation == boHorizontal ? Pos.x() - m_offset.x() : Pos.y() - m_offset.y();
    int across = m_orientation == boHorizontal ? Pos.y() - m_offset.y() : Pos.x() - m_offset.x();
    const int alongStep = m_orientation == boHorizontal ? m_gridStep.width() : m_gridStep.height();
    const int acrossStep = m_orientation == boHorizontal ? m_gridStep.height() : m_gridStep.width();
    along = qMax(0, qRound(double(along) / alongStep) * alongStep);
    across = qMax(0, across / acrossStep * acrossStep);
    return m_orientation == boHorizontal ? QPoint(m_offset.x() + along, m_offset.y() + across)
                                         : QPoint(m_offset.x() + across, m_offset.y() + along);
}

QPoint TSpeedBar::FirstFreePlace() const
{
    QList<QRect> taken;
    forEachButton([&](TSpeedbarButton* b) {
        if (!b->isHidden())
            taken << b->geometry();
    });
    const bool horizontal = m_orientation == boHorizontal;
    const int step = horizontal ? m_gridStep.width() : m_gridStep.height();
    for (int k = 0;; ++k) {
        const QPoint p = horizontal ? QPoint(m_offset.x() + k * step, m_offset.y())
                                    : QPoint(m_offset.x(), m_offset.y() + k * step);
        const QRect r(p, m_btnSize);
        bool vacant = true;
        for (const QRect& t : taken)
            vacant = vacant && !t.intersects(r);
        if (vacant)
            return p;
    }
}

// ---------------------------------------------------------------- sections and items

void TSpeedBar::sectionCaptionCheck(const TSpeedbarSection* Section, const QString& Caption) const
{
    if (m_loading)
        return;
    const int other = SearchSection(Caption);
    if (other >= 0 && m_sections.at(other) != Section)
        throw ESpeedbarError(QStringLiteral("String list does not allow duplicates"));
}

int TSpeedBar::AddSection(TSpeedbarSection* Section)
{
    if (!Section)
        return -1;
    if (Section->m_bar == this)
        return Section->Index();
    if (Section->m_bar)
        Section->m_bar->removeSection(Section);
    const QString base = Section->m_caption;
    QString caption = base;
    for (int n = 1; SearchSection(caption) >= 0; ++n)
        caption = base + QStringLiteral(" (%1)").arg(n);
    Section->m_caption = caption;
    m_sections.append(Section);
    Section->m_bar = this;
    Section->setParent(this);
    for (TSpeedItem* item : Section->m_items) {
        item->m_bar = this;
        item->m_button->setParent(this);
        bindItem(item);
        if (!m_loading) {
            item->UpdateVisibility();
            item->UpdateEnabled();
        }
    }
    if (m_setupWindow)
        m_setupWindow->UpdateLists();
    return int(m_sections.size()) - 1;
}

int TSpeedBar::SearchSection(const QString& Caption) const
{
    for (int i = 0; i < m_sections.size(); ++i)
        if (m_sections.at(i)->m_caption == Caption)
            return i;
    return -1;
}

void TSpeedBar::RemoveSection(int Index)
{
    delete m_sections.at(Index);
}

void TSpeedBar::removeSection(TSpeedbarSection* Section)
{
    m_sections.removeAll(Section);
    Section->m_bar = nullptr;
    for (TSpeedItem* item : Section->m_items) {
        item->m_bar = nullptr;
        item->m_button->hide();
        item->m_button->setParent(nullptr);
    }
    if (m_setupWindow)
        m_setupWindow->UpdateLists();
}

void TSpeedBar::bindItem(TSpeedItem* Item)
{
    TSpeedbarButton* b = Item->m_button;
    if (!m_loading)
        b->SetBounds(b->x(), b->y(), 0, 0);
    b->SetStyle(bsNew);
    b->SetFlat((m_options & sbFlatBtns) && !m_editing);
    b->SetTransparent(m_options & sbTransparentBtns);
    b->SetGrayedInactive(m_options & sbGrayedBtns);
    Item->UpdateEnabled();
    b->update();
}

void TSpeedBar::AddItem(int SectionIndex, TSpeedItem* Item)
{
    if (!Item)
        return;
    int section = -1, index = -1;
    if (FindItem(Item, section, index)) {
        const int target = qBound(0, SectionIndex, SectionCount() - 1);
        if (target != section) {
            m_sections.at(section)->m_items.removeAt(index);
            m_sections.at(target)->m_items.append(Item);
            Item->setParent(m_sections.at(target));
        }
    } else {
        if (Item->m_bar)
            Item->m_bar->RemoveItem(Item);
        if (m_sections.isEmpty())
            AddSection(new TSpeedbarSection(this));
        TSpeedbarSection* target = m_sections.at(qBound(0, SectionIndex, SectionCount() - 1));
        target->m_items.append(Item);
        Item->setParent(target);
        Item->m_bar = this;
        Item->m_button->setParent(this);  // hidden until its visibility is applied
        bindItem(Item);
        if (!m_loading)
            Item->UpdateVisibility();
    }
    if (m_setupWindow)
        m_setupWindow->UpdateLists();
}

void TSpeedBar::RemoveItem(TSpeedItem* Item)
{
    int section = -1, index = -1;
    if (!FindItem(Item, section, index))
        return;
    m_sections.at(section)->m_items.removeAt(index);
    Item->m_bar = nullptr;
    Item->setParent(nullptr);
    Item->m_button->hide();
    Item->m_button->setParent(nullptr);
    if (m_setupWindow)
        m_setupWindow->UpdateLists();
}

int TSpeedBar::ItemsCount(int SectionIndex) const
{
    return SectionIndex >= 0 && SectionIndex < m_sections.size() ? m_sections.at(SectionIndex)->ItemCount() : 0;
}

TSpeedItem* TSpeedBar::Items(int SectionIndex, int Index) const
{
    if (SectionIndex < 0 || SectionIndex >= m_sections.size())
        return nullptr;
    const TSpeedbarSection* section = m_sections.at(SectionIndex);
    return Index >= 0 && Index < section->ItemCount() ? section->Items(Index) : nullptr;
}

bool TSpeedBar::FindItem(const TSpeedItem* Item, int& SectionIndex, int& Index) const
{
    for (int s = 0; s < m_sections.size(); ++s) {
        const int i = int(m_sections.at(s)->m_items.indexOf(const_cast<TSpeedItem*>(Item)));
        if (i >= 0) {
            SectionIndex = s;
            Index = i;
            return true;
        }
    }
    SectionIndex = Index = -1;
    return false;
}

TSpeedItem* TSpeedBar::SearchItem(const QString& Name) const
{
    TSpeedItem* found = nullptr;
    ForEachItem([&](TSpeedItem* item) {
        if (!found && item->objectName().compare(Name, Qt::CaseInsensitive) == 0)
            found = item;
    });
    return found;
}

// ---------------------------------------------------------------- loading, scaling

void TSpeedBar::Loaded()
{
    m_loading = false;
    updateGridSize();
    ForEachItem([this](TSpeedItem* item) {
        bindItem(item);
        item->UpdateVisibility();
    });
    AlignControls();
}

void TSpeedBar::ChangeScale(int M, int D)
{
    if (M == D || D == 0)
        return;
    m_btnSize = QSize(MulDiv(m_btnSize.width(), M, D), MulDiv(m_btnSize.height(), M, D));
    m_offset = QPoint(MulDiv(m_offset.x(), M, D), MulDiv(m_offset.y(), M, D));
    updateGridSize();
    forEachButton([&](TSpeedbarButton* b) {
        const QPoint p = SnapToGrid(QPoint(MulDiv(b->x(), M, D), MulDiv(b->y(), M, D)));
        b->SetBounds(p.x(), p.y(), 0, 0);
    });
    growToButtons();
    update();
}

// ---------------------------------------------------------------- customising

void TSpeedBar::StartEditing()
{
    m_editing = true;
    ForEachItem([this](TSpeedItem* item) { bindItem(item); });
}

void TSpeedBar::EndEditing()
{
    m_editing = false;
    ForEachItem([this](TSpeedItem* item) { bindItem(item); });
}

void TSpeedBar::Customize(int)
{
    if (OnCustomize)
        OnCustomize(this);
    StartEditing();
    if (!m_setupWindow)
        m_setupWindow = new TSpeedbarSetupWindow(this);
    m_setupWindow->UpdateLists();
    m_setupWindow->show();
    m_setupWindow->raise();
}

void TSpeedBar::dropButton(TSpeedbarButton* Button, const QPoint& GlobalPos, const QPoint& Offset)
{
    TSpeedItem* item = Button->Item();
    const QPoint at = mapFromGlobal(GlobalPos);
    if (rect().contains(at)) {
        const QPoint p = SnapToGrid(at - Offset);
        Button->SetBounds(p.x(), p.y(), 0, 0);
        if (OnPosChanged)
            OnPosChanged(this);
    } else {
        item->SetVisible(false);  // dragged off the bar
    }
    if (m_setupWindow)
        m_setupWindow->UpdateLists();
}

// ---------------------------------------------------------------- layout storage

QString TSpeedBar::LayoutSection() const
{
    return m_iniLink.RootSection() + DefaultSectionName(this);
}

void TSpeedBar::SaveToIni()
{
    const TIniStore store = m_iniLink.IniStore();
    if (!store.IsOpen())
        return;
    const QString section = LayoutSection();
    IniStorageEraseSection(store, section);
    const TAlign a = Align();
    IniStorageWriteInteger(store, section, QStringLiteral("Position"), int(a));
    IniStorageWriteInteger(store, section, QStringLiteral("Width"),
                           (a == alLeft || a == alRight) ? width() : height());
    IniStorageWriteInteger(store, section, QStringLiteral("Version"), m_version);
    IniStorageWriteInteger(store, section, QStringLiteral("PixelsPerInch"), ScreenPixelsPerInch());
    IniStorageWriteInteger(store, section, QStringLiteral("BtnWidth"), m_btnSize.width());
    IniStorageWriteInteger(store, section, QStringLiteral("BtnHeight"), m_btnSize.height());
    int count = 0;
    ForEachItem([&](TSpeedItem* item) {
        if (!item->Visible() || !item->Stored())
            return;
        ++count;
        IniStorageWriteString(store, section, QStringLiteral("Button%1").arg(count),
                              QStringLiteral("%1,%2,%3").arg(item->Name()).arg(item->Left()).arg(item->Top()));
    });
    IniStorageWriteInteger(store, section, QStringLiteral("Count"), count);
}

void TSpeedBar::LoadFromIni()
{
    const TIniStore store = m_iniLink.IniStore();
    if (!store.IsOpen())
        return;
    const QString section = LayoutSection();
    if (IniStorageReadInteger(store, section, QStringLiteral("Version"), 0) < m_version)
        return;
    const int position = IniStorageReadInteger(store, section, QStringLiteral("Position"), int(Align()));
    if (position >= alNone && position <= alClient) {
        try {
            SetAlign(static_cast<TAlign>(position));
        } catch (const ESpeedbarError&) {
            // A stored docking the bar cannot take leaves the present one.
        }
    }
    const int ppi = IniStorageReadInteger(store, section, QStringLiteral("PixelsPerInch"), ScreenPixelsPerInch());
    const int current = m_orientation == boHorizontal ? height() : width();
    const int thickness = IniStorageReadInteger(store, section, QStringLiteral("Width"), current);
    if (thickness > 0)
        applyThickness(MulDiv(thickness, ScreenPixelsPerInch(), ppi));
    const int count = IniStorageReadInteger(store, section, QStringLiteral("Count"), 0);
    if (count <= 0)
        return;
    ForEachItem([](TSpeedItem* item) { item->SetVisible(false); });
    for (int i = 1; i <= count; ++i) {
        const QStringList parts =
            IniStorageReadString(store, section, QStringLiteral("Button%1").arg(i), QString()).split(QChar(','));
        if (parts.size() < 3)
            continue;
        TSpeedItem* item = SearchItem(parts.at(0).trimmed());
        if (!item)
            continue;
        item->Button()->SetBounds(parts.at(1).trimmed().toInt(), parts.at(2).trimmed().toInt(), 0, 0);
        item->SetVisible(true);
    }
}

// ---------------------------------------------------------------- children and painting

void TSpeedBar::SetAnchoredRight(QWidget* Control, int Distance)
{
    if (!Control)
        return;
    Control->setProperty(AnchorRightProperty, Distance < 0 ? QVariant() : QVariant(Distance));
    if (auto* bar = qobject_cast<TSpeedBar*>(Control->parentWidget()))
        bar->AlignControls();
}

void TSpeedBar::AlignControls()
{
    // Placing a child resizes it, which asks for another pass.
    if (m_aligning)
        return;
    m_aligning = true;
    QRect r = rect();
    const int edge = m_borderWidth + (m_bevelOuter != bvNone ? m_bevelWidth : 0)
                     + (m_bevelInner != bvNone ? m_bevelWidth : 0);
    r.adjust(edge, edge, -edge, -edge);
    if (m_boundLines & blTop)
        r.setTop(r.top() + 2);
    if (m_boundLines & blBottom)
        r.setBottom(r.bottom() - 2);
    if (m_boundLines & blLeft)
        r.setLeft(r.left() + 2);
    if (m_boundLines & blRight)
        r.setRight(r.right() - 2);
    QList<QWidget*> docked;
    for (QObject* child : children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && !w->isWindow() && !qobject_cast<TSpeedbarButton*>(w) && ControlAlign(w) != alNone)
            docked << w;
    }
    ArrangeDocked(docked, r);
    for (QObject* child : children()) {
        auto* w = qobject_cast<QWidget*>(child);
        const QVariant distance = w ? w->property(AnchorRightProperty) : QVariant();
        if (distance.isValid())
            w->move(width() - distance.toInt() - w->width(), w->y());
    }
    m_aligning = false;
    checkOffsets();
}

void TSpeedBar::checkOffsets()
{
    const int least = MinButtonsOffset();
    if (m_offset.x() < least)
        SetBtnOffsetHorz(least);
    if (m_offset.y() < least)
        SetBtnOffsetVert(least);
}

void TSpeedBar::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    AlignControls();
}

void TSpeedBar::childEvent(QChildEvent* Event)
{
    QWidget::childEvent(Event);
    // Ordinary children are docked again when they are shown, hidden or
    // resized, as a panel docks its controls.
    if (Event->type() == QEvent::ChildAdded && Event->child()->isWidgetType())
        Event->child()->installEventFilter(this);
    else if (Event->type() == QEvent::ChildPolished)
        AlignControls();
}

bool TSpeedBar::eventFilter(QObject* Watched, QEvent* Event)
{
    switch (Event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Resize:
        if (Watched->parent() == this && !qobject_cast<TSpeedbarButton*>(Watched)
            && !qobject_cast<TBtnControl*>(Watched))
            AlignControls();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(Watched, Event);
}

void TSpeedBar::changeEvent(QEvent* Event)
{
    QWidget::changeEvent(Event);
    if (Event->type() == QEvent::EnabledChange)
        ForEachItem([](TSpeedItem* item) { item->UpdateEnabled(); });
}

void TSpeedBar::setVisible(bool Visible)
{
    const bool wasShown = !isHidden();
    QWidget::setVisible(Visible);
    if (wasShown == !isHidden())
        return;
    ForEachItem([](TSpeedItem* item) { item->UpdateVisibility(); });
    if (OnVisibleChanged)
        OnVisibleChanged(this);
}

void TSpeedBar::paintEvent(QPaintEvent*)
{
    if (m_updating)
        return;
    QPainter canvas(this);
    Paint(canvas);
}

void TSpeedBar::Paint(QPainter& Canvas)
{
    const QColor face = palette().color(backgroundRole());
    Canvas.fillRect(rect(), face);
    QRect r = rect();
    DrawBevel(Canvas, r, m_bevelOuter, m_bevelWidth);
    Frame3D(Canvas, r, face, face, m_borderWidth);
    DrawBevel(Canvas, r, m_bevelInner, m_bevelWidth);
    const QRect inner = r;

    if (!m_wallpaper.isNull()) {
        Canvas.save();
        Canvas.setClipRect(inner);
        if (m_options & sbStretchBitmap) {
            Canvas.drawImage(inner, m_wallpaper);
        } else {
            const int edge = rect().width() - inner.width();  // both sides
            const int pw = m_wallpaper.width();
            const int ph = m_wallpaper.height();
            for (int col = 0; col <= (width() - edge) / pw; ++col)
                for (int row = 0; row <= (height() - edge) / ph; ++row)
                    Canvas.drawImage(inner.left() + col * pw, inner.top() + row * ph, m_wallpaper);
        }
        Canvas.restore();
    }

    const QColor shadow = ColorToQColor(clBtnShadow);
    const QColor highlight = ColorToQColor(clBtnHighlight);
    const int w = width();
    const int h = height();
    const bool top = m_boundLines & blTop;
    const bool bottom = m_boundLines & blBottom;
    if (top) {
        Canvas.fillRect(QRect(0, 0, w, 1), shadow);
        Canvas.fillRect(QRect(0, 1, w, 1), highlight);
    }
    if (m_boundLines & blLeft) {
        Canvas.fillRect(QRect(0, 0, 1, h), shadow);
        Canvas.fillRect(QRect(1, top ? 1 : 0, 1, h), highlight);
    }
    if (bottom) {
        Canvas.fillRect(QRect(0, h - 2, w, 1), shadow);
        Canvas.fillRect(QRect(0, h - 1, w, 1), highlight);
    }
    if (m_boundLines & blRight) {
        Canvas.fillRect(QRect(w - 2, 0, 1, bottom ? h - 1 : h), shadow);
        Canvas.fillRect(QRect(w - 1, 0, 1, h), highlight);
    }
}

// ---------------------------------------------------------------- docking and resizing by mouse

int TSpeedBar::resizeEdgeAt(const QPoint& Pos) const
{
    // The edge that faces the parent's inside.
    const int grip = 4;
    switch (Align()) {
    case alTop:
        return Pos.y() >= height() - grip ? 1 : 0;
    case alBottom:
        return Pos.y() < grip ? 1 : 0;
    case alLeft:
        return Pos.x() >= width() - grip ? 1 : 0;
    case alRight:
        return Pos.x() < grip ? 1 : 0;
    default:
        return 0;
    }
}

TAlign TSpeedBar::dockSideAt(const QPoint& GlobalPos) const
{
    const QWidget* parent = parentWidget();
    if (!parent)
        return Align();
    const QPoint p = parent->mapFromGlobal(GlobalPos);
    const int distances[4] = {p.y(), parent->height() - p.y(), p.x(), parent->width() - p.x()};
    const TAlign sides[4] = {alTop, alBottom, alLeft, alRight};
    int best = 0;
    for (int i = 1; i < 4; ++i)
        if (distances[i] < distances[best])
            best = i;
    return sides[best];
}

void TSpeedBar::mousePressEvent(QMouseEvent* Event)
{
    m_mouseMode = mdNone;
    if (Event->button() != Qt::LeftButton || m_editing)
        return;
    const TAlign a = Align();
    const bool docked = a == alTop || a == alBottom || a == alLeft || a == alRight;
    m_pressPos = Event->globalPosition().toPoint();
    if ((m_options & sbAllowResize) && resizeEdgeAt(Event->position().toPoint())) {
        m_mouseMode = mdResize;
        m_pressThickness = m_orientation == boHorizontal ? height() : width();
    } else if ((m_options & sbAllowDrag) && docked && DocksChildren(parentWidget())) {
        // Only a parent that docks its children can take the bar at another
        // edge; any other layout would keep it where it is, turned.
        m_mouseMode = mdDock;
    }
}

void TSpeedBar::mouseMoveEvent(QMouseEvent* Event)
{
    const QPoint global = Event->globalPosition().toPoint();
    if (m_mouseMode == mdResize) {
        int delta = m_orientation == boHorizontal ? global.y() - m_pressPos.y() : global.x() - m_pressPos.x();
        if (Align() == alBottom || Align() == alRight)
            delta = -delta;
        const int least = m_orientation == boHorizontal ? 2 * m_offset.y() + m_btnSize.height()
                                                        : 2 * m_offset.x() + m_btnSize.width();
        applyThickness(qMax(least, m_pressThickness + delta));
    } else if (m_mouseMode == mdDock
               && (global - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        setCursor(ScreenCursor(crDragHand));
    }
}

void TSpeedBar::mouseReleaseEvent(QMouseEvent* Event)
{
    const auto mode = m_mouseMode;
    m_mouseMode = mdNone;
    unsetCursor();
    if (mode == mdResize) {
        if (OnPosChanged)
            OnPosChanged(this);
        return;
    }
    if (mode != mdDock || Event->button() != Qt::LeftButton)
        return;
    const QPoint global = Event->globalPosition().toPoint();
    // A click, or a drop on the bar itself, leaves it where it is.
    if ((global - m_pressPos).manhattanLength() < QApplication::startDragDistance()
        || rect().contains(mapFromGlobal(global)))
        return;
    const TAlign side = dockSideAt(global);
    if (side == Align())
        return;
    bool apply = true;
    if (OnApplyAlign)
        OnApplyAlign(this, side, apply);
    if (!apply)
        return;
    SetAlign(side);
    if (OnPosChanged)
        OnPosChanged(this);
}

// ---------------------------------------------------------------- setup window

TSpeedbarSetupWindow::TSpeedbarSetupWindow(TSpeedBar* Bar) : QDialog(Bar->window()), m_bar(Bar)
{
    setObjectName(QStringLiteral("SpeedbarSetupWindow"));
    setWindowTitle(QStringLiteral("Customize"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("&Categories:"), this));
    m_sectionList = new QListWidget(this);
    m_sectionList->setObjectName(QStringLiteral("SectionList"));
    layout->addWidget(m_sectionList);
    layout->addWidget(new QLabel(QStringLiteral("Co&mmands:"), this));
    m_buttonsList = new QListWidget(this);
    m_buttonsList->setObjectName(QStringLiteral("ButtonsList"));
    layout->addWidget(m_buttonsList);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("CloseBtn"));
    layout->addWidget(close);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_sectionList, &QListWidget::currentRowChanged, this, [this] { fillButtons(); });
    // Queued: toggling fills the list again, which must not happen inside
    // the list's own signal.
    connect(m_buttonsList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        const int row = m_buttonsList->row(item);
        QMetaObject::invokeMethod(this, [this, row] { ToggleItem(row); }, Qt::QueuedConnection);
    });
    // Closing the window ends customising.
    connect(this, &QDialog::finished, this, [this] {
        if (m_bar)
            m_bar->EndEditing();
    });
}

TSpeedbarSetupWindow::~TSpeedbarSetupWindow()
{
    if (m_bar && m_bar->Editing())
        m_bar->EndEditing();
}

void TSpeedbarSetupWindow::UpdateLists()
{
    const int row = qMax(0, m_sectionList->currentRow());
    const QSignalBlocker block(m_sectionList);
    m_sectionList->clear();
    if (m_bar)
        for (int i = 0; i < m_bar->SectionCount(); ++i)
            m_sectionList->addItem(m_bar->Sections(i)->Caption());
    if (m_sectionList->count() > 0)
        m_sectionList->setCurrentRow(qMin(row, m_sectionList->count() - 1));
    fillButtons();
}

void TSpeedbarSetupWindow::fillButtons()
{
    m_buttonsList->clear();
    const int section = m_sectionList->currentRow();
    if (!m_bar || section < 0)
        return;
    for (int i = 0; i < m_bar->ItemsCount(section); ++i) {
        const TSpeedItem* item = m_bar->Items(section, i);
        auto* row = new QListWidgetItem(item->Caption(), m_buttonsList);
        // Items on the bar are marked.
        QFont f = row->font();
        f.setBold(item->Visible());
        row->setFont(f);
    }
}

TSpeedItem* TSpeedbarSetupWindow::ItemAt(int Row) const
{
    return m_bar ? m_bar->Items(m_sectionList->currentRow(), Row) : nullptr;
}

void TSpeedbarSetupWindow::ToggleItem(int Row)
{
    TSpeedItem* item = ItemAt(Row);
    if (!item)
        return;
    if (item->Visible()) {
        item->SetVisible(false);
    } else {
        const QPoint p = m_bar->FirstFreePlace();
        item->Button()->SetBounds(p.x(), p.y(), 0, 0);
        item->SetVisible(true);
    }
}
