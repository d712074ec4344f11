#include "KitCtrls.h"
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QThread>
#include <QTimer>

// ---------------------------------------------------------------- frame

void DrawButtonFrame(QPainter& Canvas, QRect& Rect, bool IsDown, bool IsFlat, TButtonStyle Style)
{
    const bool newStyle = Style != bsWin31;
    const QColor face = ColorToQColor(clBtnFace);
    const QColor shadow = ColorToQColor(clBtnShadow);
    const QColor highlight = ColorToQColor(clBtnHighlight);
    const QColor frame = ColorToQColor(clWindowFrame);
    if (!IsDown) {
        if (newStyle) {
            if (!IsFlat) {
                Frame3D(Canvas, Rect, highlight, frame, 1);
                Frame3D(Canvas, Rect, face, shadow, 1);
            } else {
                Frame3D(Canvas, Rect, highlight, shadow, 1);
            }
        } else if (!IsFlat) {
            Frame3D(Canvas, Rect, frame, frame, 1);
            Frame3D(Canvas, Rect, highlight, shadow, 1);
        } else {
            Frame3D(Canvas, Rect, highlight, frame, 1);
        }
    } else if (newStyle) {
        Frame3D(Canvas, Rect, frame, highlight, 1);
        if (!IsFlat)
            Frame3D(Canvas, Rect, shadow, face, 1);
    } else if (!IsFlat) {
        Frame3D(Canvas, Rect, frame, frame, 1);
        // The pressed old-style face has only a shadow along its left and top.
        Canvas.fillRect(QRect(Rect.left(), Rect.top(), 1, Rect.height()), shadow);
        Canvas.fillRect(QRect(Rect.left(), Rect.top(), Rect.width(), 1), shadow);
    } else {
        Frame3D(Canvas, Rect, frame, highlight, 1);
    }
    Rect.adjust(1, 1, -1, -1);
}

// ---------------------------------------------------------------- glyph

namespace {

constexpr int kMarkWidth = 7;
constexpr int kMarkHeight = 4;
constexpr int kMaxCaption = 255;

// A flat button's glyph while the mouse is elsewhere: every pixel that is
// neither see-through nor the button face becomes grey of its brightness.
QImage greyImage(const QImage& image)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb face = ColorToQColor(clBtnFace).rgb() & 0xFFFFFF;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = line[x];
            if (qAlpha(p) == 0 || (p & 0xFFFFFF) == face)
                continue;
            const int g = (77 * qRed(p) + 150 * qGreen(p) + 29 * qBlue(p)) >> 8;
            line[x] = qRgba(g, g, g, qAlpha(p));
        }
    }
    return out;
}

void drawMark(QPainter& canvas, const QRect& mark, const QColor& colour)
{
    for (int row = 0; row < kMarkHeight; ++row)
        canvas.fillRect(QRect(mark.x() + row, mark.y() + row, kMarkWidth - 2 * row, 1), colour);
}

}  // namespace

TKitButtonGlyph::TKitButtonGlyph() = default;

void TKitButtonGlyph::SetGlyph(const QImage& value)
{
    m_glyph = value.isNull() ? QImage() : value.convertToFormat(QImage::Format_ARGB32);
    if (m_glyph.height() > 0) {
        m_transparentColor = BitmapTransparentColor(m_glyph);
        if (m_glyph.width() % m_glyph.height() == 0) {
            const int n = m_glyph.width() / m_glyph.height();
            m_numGlyphs = n > 5 ? 1 : n;
        }
    }
    Invalidate();
    if (OnChange)
        OnChange();
}

void TKitButtonGlyph::SetNumGlyphs(int value)
{
    value = qBound(1, value, 5);
    if (value == m_numGlyphs)
        return;
    m_numGlyphs = value;
    Invalidate();
    if (OnChange)
        OnChange();
}

void TKitButtonGlyph::SetAlignment(TAlignment value)
{
    if (value == m_alignment)
        return;
    m_alignment = value;
    if (OnChange)
        OnChange();
}

void TKitButtonGlyph::SetWordWrap(bool value)
{
    if (value == m_wordWrap)
        return;
    m_wordWrap = value;
    if (OnChange)
        OnChange();
}

QSize TKitButtonGlyph::GlyphSize() const
{
    if (m_glyph.isNull())
        return QSize(0, 0);
    return QSize(m_glyph.width() / m_numGlyphs, m_glyph.height());
}

void TKitButtonGlyph::Invalidate()
{
    m_images.fill(QImage());
    m_built.fill(false);
}

QImage TKitButtonGlyph::cell(int index) const
{
    const QSize size = GlyphSize();
    return m_glyph.copy(index * size.width(), 0, size.width(), size.height());
}

// Which image a state shows:
//  - down is the up image unless there are at least 3 images;
//  - up, down and exclusive use the image of their number (0, 2, 3), or
//    image 0 when there are fewer;
//  - disabled uses image 1, or embosses image 0 when there is only one;
//  - inactive uses image 4 when there are five, else greys image 0.
QImage TKitButtonGlyph::CreateButtonGlyph(TKitButtonState state)
{
    if (state == rbsDown && m_numGlyphs < 3)
        state = rbsUp;
    if (m_built[state])
        return m_images[state];
    QImage image;
    if (!m_glyph.isNull() && GlyphSize().width() > 0) {
        switch (state) {
        case rbsUp:
        case rbsDown:
        case rbsExclusive:
            image = MaskedBitmap(cell(int(state) < m_numGlyphs ? int(state) : 0), m_transparentColor);
            break;
        case rbsDisabled:
            if (m_numGlyphs >= 2)
                image = MaskedBitmap(cell(1), m_transparentColor);
            else
                image = MaskedBitmap(CreateGrayedBitmap(cell(0), m_transparentColor, clBtnFace,
                                                        clBtnShadow, clBtnHighlight),
                                     clBtnFace);
            break;
        case rbsInactive:
            if (m_numGlyphs == 5)
                image = MaskedBitmap(cell(4), m_transparentColor);
            else
                image = greyImage(MaskedBitmap(cell(0), m_transparentColor));
            break;
        }
    }
    m_images[state] = image;
    m_built[state] = true;
    return image;
}

// An image-list image is drawn as it is, embossed when disabled and grey
// when inactive.
QImage TKitButtonGlyph::listImageFor(const QImage& image, TKitButtonState state) const
{
    if (state == rbsDisabled) {
        QImage out(image.size(), QImage::Format_ARGB32);
        out.fill(Qt::transparent);
        QPainter p(&out);
        DrawImageListGrayed(p, image, 0, 0);
        return out;
    }
    if (state == rbsInactive)
        return greyImage(image);
    return image;
}

int TKitButtonGlyph::textFlags() const
{
    int flags = Qt::TextShowMnemonic | Qt::AlignVCenter;
    flags |= m_alignment == taLeftJustify ? Qt::AlignLeft
             : m_alignment == taRightJustify ? Qt::AlignRight
                                             : Qt::AlignHCenter;
    if (m_wordWrap)
        flags |= Qt::TextWordWrap;
    return flags;
}

TButtonGeometry TKitButtonGlyph::CalcButtonLayout(const QFontMetrics& Metrics, const QRect& Client,
                                                  const QString& Caption, TButtonLayout Layout,
                                                  int Margin, int Spacing, bool DropDownMark,
                                                  const QSize& GlyphSize, int TextFlags)
{
    TButtonGeometry g;
    const int W = Client.width();
    const int H = Client.height();
    const bool horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
    const bool hasGlyph = GlyphSize.width() > 0 && GlyphSize.height() > 0;
    QSize glyph = hasGlyph ? GlyphSize : QSize(0, 0);

    // Room the caption may take.
    QSize room;
    if (horizontal)
        room = QSize(W - glyph.width() - (Margin != -1 ? Margin : 0) - (Spacing != -1 ? Spacing : 0) -
                         (DropDownMark ? 9 : 0),
                     H);
    else
        room = QSize(W, H - glyph.height() - (Margin != -1 ? Margin : 0) - (Spacing != -1 ? Spacing : 0));
    room = room.expandedTo(QSize(0, 0));

    QString text = Caption.left(kMaxCaption);
    QSize textSize(0, 0);
    if (!text.isEmpty()) {
        // A wrapping caption gets its lines instead of the ellipsis.
        if (!(TextFlags & Qt::TextWordWrap))
            text = ShortenTextWithEllipsis(Metrics, text, room.width());
        const QRect calc = Metrics.boundingRect(QRect(0, 0, room.width(), room.height()),
                                                (TextFlags & ~(Qt::AlignVertical_Mask | Qt::AlignHorizontal_Mask)) |
                                                    Qt::AlignLeft | Qt::AlignTop,
                                                text);
        textSize = QSize(qMin(calc.width(), room.width()), qMin(calc.height(), room.height()));
    }
    g.Caption = text;
    const QSize drawnText = textSize;
    const QSize drawnGlyph = glyph;

    // The mark takes 6 pixels beside the glyph, or 9 beside the caption.
    const bool markOnGlyph = DropDownMark && hasGlyph && Layout != blGlyphLeft;
    if (DropDownMark) {
        if (markOnGlyph)
            glyph.rwidth() += 6;
        else
            textSize.rwidth() += 9;
    }

    QPoint glyphPos, textPos;
    if (horizontal) {
        glyphPos.setY(H / 2 - glyph.height() / 2);
        textPos.setY(H / 2 - textSize.height() / 2);
    } else {
        glyphPos.setX(W / 2 - glyph.width() / 2);
        textPos.setX(W / 2 - textSize.width() / 2);
    }

    if (text.isEmpty() || !hasGlyph)
        Spacing = 0;
    const int clientExtent = horizontal ? W : H;
    const int glyphExtent = horizontal ? glyph.width() : glyph.height();
    const int textExtent = horizontal ? textSize.width() : textSize.height();
    if (Margin == -1) {
        if (Spacing == -1) {
            Margin = (clientExtent - glyphExtent - textExtent) / 3;
            Spacing = Margin;
        } else {
            Margin = clientExtent / 2 - (glyphExtent + Spacing + textExtent) / 2;
        }
    } else if (Spacing == -1) {
        Spacing = (clientExtent - Margin - glyphExtent) / 2 - textExtent / 2;
    }

    switch (Layout) {
    case blGlyphLeft:
        glyphPos.setX(Margin);
        textPos.setX(glyphPos.x() + glyph.width() + Spacing);
        break;
    case blGlyphRight:
        glyphPos.setX(W - Margin - glyph.width());
        textPos.setX(glyphPos.x() - Spacing - textSize.width());
        break;
    case blGlyphTop:
        glyphPos.setY(Margin);
        textPos.setY(glyphPos.y() + glyph.height() + Spacing);
        break;
    case blGlyphBottom:
        glyphPos.setY(H - Margin - glyph.height());
        textPos.setY(glyphPos.y() - Spacing - textSize.height());
        break;
    }
    glyphPos += Client.topLeft();
    textPos += Client.topLeft();
    g.GlyphPos = glyphPos;
    if (!text.isEmpty())
        g.TextBounds = QRect(textPos, drawnText);

    if (DropDownMark) {
        QPoint mark;
        if (markOnGlyph)
            mark = QPoint(glyphPos.x() + drawnGlyph.width() + 1,
                          glyphPos.y() + drawnGlyph.height() / 2 - kMarkHeight / 2);
        else if (!text.isEmpty())
            mark = QPoint(textPos.x() + drawnText.width() + 3,
                          textPos.y() + drawnText.height() / 2 - kMarkHeight / 2);
        else
            mark = QPoint(Client.x() + W / 2 - kMarkWidth / 2, Client.y() + H / 2 - kMarkHeight / 2);
        g.MarkRect = QRect(mark, QSize(kMarkWidth, kMarkHeight));
    }
    return g;
}

QPoint TKitButtonGlyph::Draw(QPainter& Canvas, const QRect& Client, const QString& Caption,
                             TButtonLayout Layout, int Margin, int Spacing, bool DropDownMark,
                             TKitButtonState State, bool RightToLeft, const QImage* ListImage)
{
    const QSize glyphSize = ListImage ? ListImage->size() : GlyphSize();
    int flags = textFlags();
    if (RightToLeft && m_alignment != taCenter)
        flags = (flags & ~Qt::AlignHorizontal_Mask) |
                (m_alignment == taLeftJustify ? Qt::AlignRight : Qt::AlignLeft);
    const TButtonGeometry g = CalcButtonLayout(QFontMetrics(Canvas.font()), Client, Caption, Layout,
                                               Margin, Spacing, DropDownMark, glyphSize, flags);

    const QImage image = ListImage ? listImageFor(*ListImage, State) : CreateButtonGlyph(State);
    if (!image.isNull())
        Canvas.drawImage(g.GlyphPos, image);

    const QColor textColour = Canvas.pen().color();
    if (!g.TextBounds.isEmpty()) {
        Canvas.save();
        if (RightToLeft)
            Canvas.setLayoutDirection(Qt::RightToLeft);
        flags |= Qt::AlignAbsolute;
        if (State == rbsDisabled) {
            Canvas.setPen(ColorToQColor(clBtnHighlight));
            Canvas.drawText(g.TextBounds.translated(1, 1), flags, g.Caption);
            Canvas.setPen(ColorToQColor(clBtnShadow));
        }
        Canvas.drawText(g.TextBounds, flags, g.Caption);
        Canvas.restore();
    }
    if (!g.MarkRect.isEmpty()) {
        if (State == rbsDisabled) {
            drawMark(Canvas, g.MarkRect.translated(1, 1), ColorToQColor(clBtnHighlight));
            drawMark(Canvas, g.MarkRect, ColorToQColor(clBtnShadow));
        } else {
            drawMark(Canvas, g.MarkRect, textColour);
        }
    }
    return g.GlyphPos;
}

// ---------------------------------------------------------------- button

TKitSpeedButton::TKitSpeedButton(QWidget* parent) : QWidget(parent)
{
    resize(25, 25);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);  // OnMouseMove also while no button is held
    m_glyph.OnChange = [this] { update(); };
}

TKitSpeedButton::~TKitSpeedButton()
{
    m_glyph.OnChange = nullptr;
}

QSize TKitSpeedButton::sizeHint() const
{
    return QSize(25, 25);
}

void TKitSpeedButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    setGeometry(ALeft, ATop, AWidth, AHeight);
}

void TKitSpeedButton::SetAlignment(TAlignment value)
{
    m_glyph.SetAlignment(value);
}

void TKitSpeedButton::SetAllowAllUp(bool value)
{
    if (value == m_allowAllUp)
        return;
    m_allowAllUp = value;
    updateExclusive();
}

void TKitSpeedButton::SetAllowTimer(bool value)
{
    if (value == m_allowTimer)
        return;
    m_allowTimer = value;
    if (!value) {
        delete m_repeatTimer;
        m_repeatTimer = nullptr;
    }
}

void TKitSpeedButton::SetGroupIndex(int value)
{
    if (value == m_groupIndex)
        return;
    m_groupIndex = value;
    updateExclusive();
}

void TKitSpeedButton::SetDown(bool value)
{
    if (m_groupIndex == 0)
        value = false;
    if (value == m_down)
        return;
    if (m_down && !m_allowAllUp)
        return;
    m_down = value;
    if (value) {
        if (m_state == rbsUp)
            update();
        m_state = rbsExclusive;
    } else {
        m_state = rbsUp;
        repaint();
    }
    if (value)
        updateExclusive();
}

void TKitSpeedButton::SetDropDownMenu(QMenu* value)
{
    if (value == m_dropDownMenu)
        return;
    m_dropDownMenu = value;  // a guarded pointer: a menu going away clears it
    if (value)
        connect(value, &QObject::destroyed, this, [this] { update(); });
    update();
}

void TKitSpeedButton::SetFlat(bool value)
{
    if (value == m_flat)
        return;
    m_flat = value;
    update();
}

void TKitSpeedButton::SetGlyph(const QImage& value)
{
    m_glyph.SetGlyph(value);
}

void TKitSpeedButton::SetGrayedInactive(bool value)
{
    if (value == m_grayedInactive)
        return;
    m_grayedInactive = value;
    update();
}

void TKitSpeedButton::SetLayout(TButtonLayout value)
{
    if (value == m_layout)
        return;
    m_layout = value;
    update();
}

void TKitSpeedButton::SetMargin(int value)
{
    if (value == m_margin || value < -1)
        return;
    m_margin = value;
    update();
}

void TKitSpeedButton::SetMarkDropDown(bool value)
{
    if (value == m_markDropDown)
        return;
    m_markDropDown = value;
    update();
}

void TKitSpeedButton::SetNumGlyphs(int value)
{
    m_glyph.SetNumGlyphs(value);
}

void TKitSpeedButton::SetSpacing(int value)
{
    if (value == m_spacing)
        return;
    m_spacing = value;
    update();
}

void TKitSpeedButton::SetStyle(TButtonStyle value)
{
    if (value == m_style)
        return;
    m_style = value;
    update();
}

void TKitSpeedButton::SetTransparent(bool value)
{
    if (value == m_transparent)
        return;
    m_transparent = value;
    setAttribute(Qt::WA_OpaquePaintEvent, !value);
    update();
}

void TKitSpeedButton::SetWordWrap(bool value)
{
    m_glyph.SetWordWrap(value);
}

void TKitSpeedButton::SetCaption(const QString& value)
{
    if (value == m_caption)
        return;
    m_caption = value;
    updateShortcut();
    update();
}

void TKitSpeedButton::SetHint(const QString& value)
{
    m_hint = value;
    updateHint();
}

void TKitSpeedButton::SetShowHint(bool value)
{
    m_showHint = value;
    m_parentShowHint = false;
    updateHint();
}

void TKitSpeedButton::SetParentShowHint(bool value)
{
    m_parentShowHint = value;
    updateHint();
}

void TKitSpeedButton::updateHint()
{
    bool show = m_showHint;
    if (m_parentShowHint) {
        // A parent without a ShowHint property of its own shows hints.
        const QVariant parentShow = parentWidget() ? parentWidget()->property("ShowHint") : QVariant();
        show = parentShow.isValid() ? parentShow.toBool() : true;
    }
    const qsizetype bar = m_hint.indexOf(QLatin1Char('|'));
    setToolTip(show ? (bar < 0 ? m_hint : m_hint.left(bar)) : QString());
    setStatusTip(bar < 0 ? m_hint : m_hint.mid(bar + 1));
}

void TKitSpeedButton::updateShortcut()
{
    if (m_shortcutId != 0)
        releaseShortcut(m_shortcutId);
    m_shortcutId = 0;
    const QKeySequence key = QKeySequence::mnemonic(m_caption);
    if (!key.isEmpty())
        m_shortcutId = grabShortcut(key);
}

bool TKitSpeedButton::ParentFont() const
{
    return !testAttribute(Qt::WA_SetFont);
}

void TKitSpeedButton::SetParentFont(bool value)
{
    if (value)
        setFont(QFont());  // back to the parent's font
    else if (ParentFont())
        setFont(font());
}

TColor TKitSpeedButton::FontColor() const
{
    return QColorToColor(palette().color(QPalette::ButtonText));
}

void TKitSpeedButton::SetFontColor(TColor value)
{
    QPalette pal = palette();
    pal.setColor(QPalette::ButtonText, ColorToQColor(value));
    setPalette(pal);
}

// ---------------------------------------------------------------- groups

void TKitSpeedButton::updateExclusive()
{
    if (m_groupIndex == 0 || !parentWidget())
        return;
    const QObjectList siblings = parentWidget()->children();
    for (QObject* sibling : siblings) {
        if (sibling == this || !sibling->isWidgetType())
            continue;
        TKitButtonPressedEvent notice(m_groupIndex, this);
        QCoreApplication::sendEvent(sibling, &notice);
    }
}

void TKitSpeedButton::buttonPressed(int groupIndex, TKitSpeedButton* sender)
{
    if (groupIndex != m_groupIndex || !sender || sender == this)
        return;
    if (sender->Down() && m_down) {
        m_down = false;
        m_state = rbsUp;
        update();
    }
    m_allowAllUp = sender->AllowAllUp();
}

// ---------------------------------------------------------------- clicks

void TKitSpeedButton::Click()
{
    if (m_modalResult != 0) {
        QWidget* form = window();
        form->setProperty("ModalResult", m_modalResult);
        if (auto* dialog = qobject_cast<QDialog*>(form))
            dialog->done(m_modalResult);
    }
    if (OnClick)
        OnClick(this);
}

void TKitSpeedButton::PressButton()
{
    m_state = rbsDown;
    repaint();
    QElapsedTimer held;
    held.start();
    while (held.elapsed() < 20)
        QThread::msleep(2);
    if (m_groupIndex != 0)
        SetDown(!m_down);
    m_state = m_down ? rbsExclusive : rbsUp;
    repaint();
    Click();
}

// ---------------------------------------------------------------- mouse

// The button's own area for presses and releases: x from 0 to width - 1,
// y from 0 to height inclusive (the row just below still counts).
bool TKitSpeedButton::insideForRelease(int x, int y) const
{
    return x >= 0 && x < width() && y >= 0 && y <= height();
}

void TKitSpeedButton::MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    if (m_menuTracking)
        return;
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
    if (isEnabled())
        m_mouseInControl = true;
    if (Button != Qt::LeftButton || !isEnabled())
        return;
    if (!m_down) {
        m_state = rbsDown;
        update();
    }
    m_dragging = true;
    if (m_dropDownMenu) {
        QPointer<TKitSpeedButton> self(this);
        dropDown(Shift, X, Y);
        if (!self)
            return;
    }
    if (m_allowTimer && m_dragging) {
        if (!m_repeatTimer) {
            m_repeatTimer = new QTimer(this);
            connect(m_repeatTimer, &QTimer::timeout, this, &TKitSpeedButton::repeatTick);
        }
        m_repeatTimer->start(m_initPause);
    }
}

QPoint TKitSpeedButton::DropDownMenuPos() const
{
    const QVariant a = m_dropDownMenu ? m_dropDownMenu->property("Alignment") : QVariant();
    const int alignment = a.isValid() ? a.toInt() : paLeft;
    if (m_menuPosition == dmpBottom) {
        switch (alignment) {
        case paRight: return QPoint(width() + 1, height());
        case paCenter: return QPoint(width() / 2, height());
        default: return QPoint(-1, height());
        }
    }
    switch (alignment) {
    case paRight: return QPoint(-1, -1);
    case paCenter: return QPoint(width() / 2, height());
    default: return QPoint(width(), -1);
    }
}

// The menu runs modally from the press. The press then ends as a release at
// the press point, with the in-menu flag still set, so the menu swallows the
// click; a press replayed onto the button by the closing menu arrives while
// the flag is set and is ignored likewise.
void TKitSpeedButton::dropDown(Qt::KeyboardModifiers shift, int x, int y)
{
    QPointer<QMenu> menu = m_dropDownMenu;
    QPointer<TKitSpeedButton> self(this);
    m_menuTracking = true;
    repaint();
    menu->setProperty("PopupComponent", QVariant::fromValue<QObject*>(this));
    const QVariant a = menu->property("Alignment");
    const int alignment = a.isValid() ? a.toInt() : paLeft;
    QPoint at = mapToGlobal(DropDownMenuPos());
    if (alignment == paRight)
        at.rx() -= menu->sizeHint().width();
    else if (alignment == paCenter)
        at.rx() -= menu->sizeHint().width() / 2;
    menu->exec(at);
    if (!self)
        return;
    MouseUp(Qt::LeftButton, shift, x, y);
    m_menuTracking = false;
}

void TKitSpeedButton::MouseMove(Qt::KeyboardModifiers Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
    if (!m_dragging)
        return;
    TKitButtonState newState = m_down ? rbsExclusive : rbsUp;
    if (insideForRelease(X, Y))
        newState = m_down ? rbsExclusive : rbsDown;
    if (newState != m_state) {
        m_state = newState;
        update();
    }
}

void TKitSpeedButton::MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
    if (Button != Qt::LeftButton || !m_dragging)
        return;
    m_dragging = false;
    const bool inside = insideForRelease(X, Y);
    if (m_groupIndex == 0) {
        m_state = rbsUp;
        update();
    } else if (inside) {
        SetDown(!m_down);
        m_state = m_down ? rbsExclusive : rbsUp;
        update();
    } else {
        m_state = m_down ? rbsExclusive : rbsUp;
        update();
    }
    QPointer<TKitSpeedButton> self(this);
    if (inside && !m_menuTracking)
        Click();
    if (!self)
        return;
    UpdateTracking();
    stopRepeat();
}

void TKitSpeedButton::repeatTick()
{
    m_repeatTimer->setInterval(m_repeatInterval);
    // The mouse counts as held only while no popup has taken it.
    if (m_state == rbsDown && m_dragging && !QApplication::activePopupWidget())
        Click();
}

void TKitSpeedButton::stopRepeat()
{
    if (m_repeatTimer)
        m_repeatTimer->stop();
}

void TKitSpeedButton::CancelMode()
{
    stopRepeat();
    if (!m_dragging)
        return;
    m_dragging = false;
    m_state = m_down ? rbsExclusive : rbsUp;
    update();
}

void TKitSpeedButton::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    MouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void TKitSpeedButton::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    MouseMove(event->modifiers(), p.x(), p.y());
}

void TKitSpeedButton::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    MouseUp(event->button(), event->modifiers(), p.x(), p.y());
}

void TKitSpeedButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click is a press like any other.
    QPointer<TKitSpeedButton> self(this);
    mousePressEvent(event);
    if (self && event->button() == Qt::LeftButton && m_down && OnDblClick)
        OnDblClick(this);
}

// ---------------------------------------------------------------- tracking

void TKitSpeedButton::UpdateTracking()
{
    const bool inside = isEnabled() && isVisible() && underMouse() && IsForegroundTask();
    if (inside && !m_mouseInControl)
        MouseEnter();
    else if (!inside && m_mouseInControl)
        MouseLeave();
}

void TKitSpeedButton::MouseEnter()
{
    m_mouseInControl = true;
    if (m_flat)
        repaint();
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TKitSpeedButton::MouseLeave()
{
    m_mouseInControl = false;
    if (m_flat)
        update();
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TKitSpeedButton::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    UpdateTracking();
}

void TKitSpeedButton::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    UpdateTracking();
}

void TKitSpeedButton::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    UpdateTracking();
}

void TKitSpeedButton::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    CancelMode();
}

void TKitSpeedButton::syncEnabledState()
{
    if (!isEnabled()) {
        m_state = rbsDisabled;
        m_dragging = false;
    } else if (m_state == rbsDisabled) {
        m_state = m_down && m_groupIndex != 0 ? rbsExclusive : rbsUp;
    }
}

void TKitSpeedButton::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (!isEnabled())
            stopRepeat();
        syncEnabledState();
        UpdateTracking();
        update();
        break;
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
        m_glyph.Invalidate();  // the state images use the system colours
        update();
        break;
    case QEvent::ParentChange:
        updateHint();
        break;
    default:
        break;
    }
}

bool TKitSpeedButton::event(QEvent* event)
{
    switch (int(event->type())) {
    case TKitButtonPressedEvent::EventType: {
        auto* notice = static_cast<TKitButtonPressedEvent*>(event);
        buttonPressed(notice->GroupIndex, notice->Button);
        return true;
    }
    case QEvent::Shortcut:
        if (static_cast<QShortcutEvent*>(event)->shortcutId() == m_shortcutId) {
            if (isEnabled())
                Click();
            return true;
        }
        break;
    case QEvent::WindowBlocked:  // a modal window took the mouse
        CancelMode();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

// ---------------------------------------------------------------- paint

void TKitSpeedButton::paintEvent(QPaintEvent*)
{
    // Painted off screen first, as a whole, so the face never flickers.
    const qreal ratio = devicePixelRatioF();
    QPixmap buffer(size() * ratio);
    buffer.setDevicePixelRatio(ratio);
    buffer.fill(Qt::transparent);
    {
        QPainter canvas(&buffer);
        Paint(canvas);
    }
    QPainter(this).drawPixmap(0, 0, buffer);
}

void TKitSpeedButton::Paint(QPainter& Canvas)
{
    syncEnabledState();
    TKitButtonState paintState = m_state;
    if (m_flat && !m_mouseInControl)
        paintState = rbsInactive;

    Canvas.setFont(font());
    // A transparent button leaves the buffer clear, so the parent shows.
    if (!m_transparent)
        Canvas.fillRect(rect(), ColorToQColor(clBtnFace));

    const bool pressed = m_state == rbsDown || m_state == rbsExclusive;
    QRect paintRect = rect();
    if (paintState != rbsInactive || m_state == rbsExclusive)
        DrawButtonFrame(Canvas, paintRect, pressed, m_flat, m_style);
    else
        paintRect.adjust(2, 2, -2, -2);

    if (m_state == rbsExclusive && !m_transparent && (!m_flat || paintState == rbsInactive)) {
        // The dither of a button that stays down.
        QImage pattern(2, 2, QImage::Format_RGB32);
        const QRgb face = ColorToQColor(clBtnFace).rgb();
        const QRgb light = ColorToQColor(clBtnHighlight).rgb();
        pattern.setPixel(0, 0, face);
        pattern.setPixel(1, 1, face);
        pattern.setPixel(1, 0, light);
        pattern.setPixel(0, 1, light);
        Canvas.setBrushOrigin(0, 0);
        Canvas.fillRect(paintRect.adjusted(-1, -1, 1, 1), QBrush(pattern));
    }

    if (pressed)
        paintRect.translate(1, 1);
    const TKitButtonState glyphState =
        m_state == rbsDisabled || !m_grayedInactive ? m_state : paintState;
    Canvas.setPen(palette().color(QPalette::ButtonText));
    PaintGlyph(Canvas, paintRect, glyphState, m_markDropDown && m_dropDownMenu);
}

QPoint TKitSpeedButton::PaintGlyph(QPainter& Canvas, const QRect& ARect, TKitButtonState AState,
                                   bool DrawMark)
{
    return DrawButtonGlyph(Canvas, ARect, AState, DrawMark, nullptr);
}

QPoint TKitSpeedButton::DrawButtonGlyph(QPainter& Canvas, const QRect& ARect, TKitButtonState AState,
                                        bool DrawMark, const QImage* ListImage)
{
    return m_glyph.Draw(Canvas, ARect, m_caption, m_layout, m_margin, m_spacing, DrawMark, AState,
                        layoutDirection() == Qt::RightToLeft, ListImage);
}

// ---------------------------------------------------------------- timer button

TKitTimerSpeedButton::TKitTimerSpeedButton(QWidget* parent) : TKitSpeedButton(parent)
{
    SetAllowTimer(true);
    SetStyle(bsWin31);
}

// ---------------------------------------------------------------- button image

TButtonImage::TButtonImage() = default;

void TButtonImage::Draw(QPainter& Canvas, int X, int Y, int Margin, int Spacing, TButtonLayout Layout)
{
    DrawEx(Canvas, X, Y, Margin, Spacing, Layout, Canvas.font(), nullptr);
}

void TButtonImage::DrawEx(QPainter& Canvas, int X, int Y, int Margin, int Spacing, TButtonLayout Layout,
                          const QFont& AFont, const QImage* ListImage)
{
    Canvas.save();
    QRect r(QPoint(X, Y), m_buttonSize);
    Canvas.fillRect(r, ColorToQColor(clBtnFace));
    DrawButtonFrame(Canvas, r, false, false, bsNew);
    Canvas.setFont(AFont);
    Canvas.setPen(ColorToQColor(clBtnText));
    m_glyph.Draw(Canvas, r, m_caption, Layout, Margin, Spacing, false, rbsUp, false, ListImage);
    Canvas.restore();
}
