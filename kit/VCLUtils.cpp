#include "VCLUtils.h"
#include "Dialogs.h"
#include "Exceptions.h"
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QWidget>

// Resources of a static library must be registered by hand.
static void initKitResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(kit);
        return true;
    }();
    Q_UNUSED(done);
}

// ---------------------------------------------------------------- colours

namespace {

QColor systemColor(int index)
{
    const QPalette pal = QGuiApplication::palette();
    switch (index) {
    case 0: return pal.color(QPalette::Button);                           // scroll bar
    case 1: return pal.color(QPalette::Window);                           // desktop
    case 2: return pal.color(QPalette::Active, QPalette::Highlight);       // active caption
    case 3: return pal.color(QPalette::Inactive, QPalette::Highlight);     // inactive caption
    case 4: return pal.color(QPalette::Window);                           // menu
    case 5: return pal.color(QPalette::Base);                             // window
    case 6: return pal.color(QPalette::Shadow);                           // window frame
    case 7: return pal.color(QPalette::WindowText);                       // menu text
    case 8: return pal.color(QPalette::Text);                             // window text
    case 9: return pal.color(QPalette::Active, QPalette::HighlightedText); // caption text
    case 10: case 11: return pal.color(QPalette::Button);                 // borders
    case 12: return pal.color(QPalette::Mid);                             // MDI work space
    case 13: return pal.color(QPalette::Active, QPalette::Highlight);
    case 14: return pal.color(QPalette::Active, QPalette::HighlightedText);
    case 15: return pal.color(QPalette::Button);                          // button face
    case 16: return pal.color(QPalette::Dark);                            // button shadow
    case 17: return pal.color(QPalette::Disabled, QPalette::Text);        // grey text
    case 18: return pal.color(QPalette::ButtonText);
    case 19: return pal.color(QPalette::Inactive, QPalette::HighlightedText);
    case 20: return pal.color(QPalette::Light);                           // button highlight
    case 21: return pal.color(QPalette::Shadow);                          // 3-D dark shadow
    case 22: return pal.color(QPalette::Midlight);                        // 3-D light
    case 23: return pal.color(QPalette::ToolTipText);
    case 24: return pal.color(QPalette::ToolTipBase);
    default: return QColor(Qt::black);
    }
}

TColor rgbOf(const QColor& c)
{
    return TColor(c.red() | (c.green() << 8) | (c.blue() << 16));
}

}  // namespace

TColor ColorToRGB(TColor color)
{
    if (color < 0)
        return rgbOf(systemColor(color & 0xFF));
    return color;
}

QColor ColorToQColor(TColor color)
{
    if (color == clNone || color == clDefault)
        return QColor();
    const TColor rgb = ColorToRGB(color) & 0xFFFFFF;
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

TColor QColorToColor(const QColor& color)
{
    return color.isValid() ? rgbOf(color) : clNone;
}

TColor PaletteColorOf(TColor color)
{
    return ColorToRGB(color) | 0x02000000;
}

// ---------------------------------------------------------------- cursors

namespace {

QHash<int, QCursor>& cursorTable()
{
    static QHash<int, QCursor> table;
    return table;
}

QCursor resourceCursor(const QString& name, int hotX, int hotY)
{
    initKitResources();
    QPixmap pixmap(QStringLiteral(":/kit/%1.png").arg(name));
    if (pixmap.isNull())
        return QCursor(Qt::ArrowCursor);
    return QCursor(pixmap, hotX, hotY);
}

Qt::CursorShape standardShape(int id)
{
    switch (id) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass: case crSQLWait: return Qt::WaitCursor;
    case crDrag: return Qt::DragMoveCursor;
    case crNoDrop: case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crMultiDrag: return Qt::DragCopyCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

}  // namespace

QCursor ScreenCursor(int id)
{
    auto& table = cursorTable();
    if (table.isEmpty()) {
        // The kit's own cursors join the table the first time it is used.
        table.insert(crHand, resourceCursor(QStringLiteral("KIT_HANDCUR"), 11, 1));
        table.insert(crDragHand, resourceCursor(QStringLiteral("KIT_DRAGCUR"), 16, 16));
    }
    const auto it = table.constFind(id);
    return it != table.constEnd() ? *it : QCursor(standardShape(id));
}

void SetScreenCursor(int id, const QCursor& cursor)
{
    ScreenCursor(crDefault);  // the kit's cursors first, so they can be replaced
    cursorTable().insert(id, cursor);
}

// ---------------------------------------------------------------- resources

bool KitBitmapExists(const QString& name)
{
    initKitResources();
    return QFile::exists(QStringLiteral(":/kit/%1.png").arg(name));
}

QImage LoadKitBitmap(const QString& name)
{
    initKitResources();
    QImage image(QStringLiteral(":/kit/%1.png").arg(name));
    if (image.isNull())
        throw EResNotFound(QStringLiteral("Resource %1 not found").arg(name));
    return image.convertToFormat(QImage::Format_ARGB32);
}

// ---------------------------------------------------------------- drawing

TColor BitmapTransparentColor(const QImage& bitmap)
{
    if (bitmap.isNull())
        return clNone;
    const QRgb corner = bitmap.pixel(0, bitmap.height() - 1);
    if (qAlpha(corner) == 0)
        return clNone;
    return rgbOf(QColor(corner));
}

QImage MaskedBitmap(const QImage& bitmap, TColor transparentColor)
{
    QImage out = bitmap.convertToFormat(QImage::Format_ARGB32);
    if (transparentColor == clDefault)
        transparentColor = BitmapTransparentColor(bitmap);
    if (transparentColor == clNone || out.isNull())
        return out;
    const QRgb key = ColorToQColor(transparentColor).rgb() & 0xFFFFFF;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((line[x] & 0xFFFFFF) == key)
                line[x] = 0;
    }
    return out;
}

QImage CopyBitmapCell(const QImage& graphic, int Cols, int Rows, int Index)
{
    if (graphic.isNull() || Cols < 1 || Rows < 1 || Index < 0 || Index >= Cols * Rows)
        return QImage();
    const int w = graphic.width() / Cols;
    const int h = graphic.height() / Rows;
    return graphic.copy((Index % Cols) * w, (Index / Cols) * h, w, h);
}

void PaintParentImage(QWidget* Control, QPainter& Dest)
{
    QWidget* parent = Control ? Control->parentWidget() : nullptr;
    if (!parent)
        return;
    const QRect area = Control->geometry();  // in the parent's coordinates
    parent->render(&Dest, QPoint(0, 0), QRegion(area), QWidget::DrawWindowBackground);
    for (QObject* child : parent->children()) {
        if (child == Control)
            break;  // later children lie above the control
        auto* sibling = qobject_cast<QWidget*>(child);
        if (!sibling || !sibling->isVisible() || sibling->isWindow())
            continue;
        const QRect overlap = sibling->geometry() & area;
        if (overlap.isEmpty())
            continue;
        sibling->render(&Dest, overlap.topLeft() - area.topLeft(),
                        QRegion(overlap.translated(-sibling->pos())),
                        QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
}

void StretchBltTransparent(QPainter& Dest, const QRect& DstRect, const QImage& Source,
                           const QRect& SrcRect, TColor TransparentColor)
{
    if (Source.isNull() || DstRect.isEmpty() || SrcRect.isEmpty())
        return;
    const QImage part = MaskedBitmap(Source.copy(SrcRect), TransparentColor == clDefault
                                                               ? BitmapTransparentColor(Source)
                                                               : TransparentColor);
    Dest.drawImage(DstRect, part);
}

void DrawBitmapRectTransparent(QPainter& Dest, int DstX, int DstY, const QRect& SrcRect,
                               const QImage& Bitmap, TColor TransparentColor)
{
    StretchBltTransparent(Dest, QRect(QPoint(DstX, DstY), SrcRect.size()), Bitmap, SrcRect,
                          TransparentColor);
}

void DrawBitmapTransparent(QPainter& Dest, int DstX, int DstY, const QImage& Bitmap,
                           TColor TransparentColor)
{
    DrawBitmapRectTransparent(Dest, DstX, DstY, Bitmap.rect(), Bitmap, TransparentColor);
}

namespace {

// The ink of a glyph for embossing: what is neither see-through, the
// transparent or the face colour, nor (near) white.
QVector<bool> inkMask(const QImage& image, TColor transparent, TColor face)
{
    const QImage src = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = transparent == clNone ? 0xFFFFFFFFu : (ColorToQColor(transparent).rgb() & 0xFFFFFF);
    const QRgb faceRgb = ColorToQColor(face).rgb() & 0xFFFFFF;
    QVector<bool> ink(src.width() * src.height(), false);
    for (int y = 0; y < src.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            const QRgb p = line[x];
            const QRgb rgb = p & 0xFFFFFF;
            const int brightness = (77 * qRed(p) + 150 * qGreen(p) + 29 * qBlue(p)) >> 8;
            ink[y * src.width() + x] = qAlpha(p) >= 128 && rgb != key && rgb != faceRgb && brightness < 0xF0;
        }
    }
    return ink;
}

QImage embossed(const QImage& image, const QVector<bool>& ink, const QColor& ground,
                const QColor& shadow, const QColor& highlight)
{
    QImage out(image.size(), QImage::Format_ARGB32);
    out.fill(ground.isValid() ? ground : QColor(Qt::transparent));
    const int w = image.width();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < w; ++x)
            if (ink[y * w + x] && x + 1 < w && y + 1 < image.height())
                out.setPixelColor(x + 1, y + 1, highlight);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < w; ++x)
            if (ink[y * w + x])
                out.setPixelColor(x, y, shadow);
    return out;
}

}  // namespace

QImage CreateGrayedBitmap(const QImage& Bitmap, TColor TransparentColor, TColor BackColor,
                          TColor ShadowColor, TColor HighlightColor)
{
    if (Bitmap.isNull())
        return QImage();
    if (TransparentColor == clDefault)
        TransparentColor = BitmapTransparentColor(Bitmap);
    return embossed(Bitmap, inkMask(Bitmap, TransparentColor, BackColor), ColorToQColor(BackColor),
                    ColorToQColor(ShadowColor), ColorToQColor(HighlightColor));
}

QImage CreateGrayedBitmapDefault(const QImage& Bitmap)
{
    return CreateGrayedBitmap(Bitmap, clDefault, clBtnFace, clBtnShadow, clBtnHighlight);
}

void DrawImageListGrayed(QPainter& Dest, const QImage& Image, int X, int Y)
{
    if (Image.isNull())
        return;
    Dest.drawImage(X, Y, embossed(Image, inkMask(Image, clNone, clBtnFace), QColor(),
                                  ColorToQColor(clBtnShadow), ColorToQColor(clBtnHighlight)));
}

void Frame3D(QPainter& Canvas, QRect& Rect, const QColor& TopColor, const QColor& BottomColor,
             int Width)
{
    for (int i = 0; i < Width; ++i) {
        const int x0 = Rect.left(), y0 = Rect.top(), x1 = Rect.right(), y1 = Rect.bottom();
        if (x1 >= x0 && y1 >= y0) {
            Canvas.fillRect(QRect(x0, y0, 1, y1 - y0), TopColor);
            Canvas.fillRect(QRect(x0, y0, x1 - x0, 1), TopColor);
            Canvas.fillRect(QRect(x1, y0, 1, y1 - y0 + 1), BottomColor);
            Canvas.fillRect(QRect(x0, y1, x1 - x0 + 1, 1), BottomColor);
        }
        Rect.adjust(1, 1, -1, -1);
    }
}

void DrawInvertedFrame(QPainter& Canvas, const QRect& Rect, int Width)
{
    Canvas.save();
    // Raster devices only: the frame inverts what it covers, so drawing it
    // twice removes it.
    Canvas.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    QPen pen(Qt::white, 1, Qt::DotLine);
    Canvas.setPen(pen);
    Canvas.setBrush(Qt::NoBrush);
    QRect r = Rect;
    for (int i = 0; i < Width && r.width() > 1 && r.height() > 1; ++i) {
        Canvas.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }
    Canvas.restore();
}

void BeepDefault()
{
    MessageBeep();
}

int RectWidth(const QRect& R)
{
    return R.width();
}

int RectHeight(const QRect& R)
{
    return R.height();
}

bool IsPointInRect(const QPoint& P, const QRect& R)
{
    return P.x() >= R.x() && P.x() <= R.x() + R.width() && P.y() >= R.y() &&
           P.y() <= R.y() + R.height();
}

QString ShortenTextWithEllipsis(const QFontMetrics& Metrics, const QString& Text, int MaxWidth)
{
    if (Metrics.horizontalAdvance(Text) <= MaxWidth)
        return Text;
    const QString dots = QStringLiteral("...");
    QString s = Text;
    while (!s.isEmpty() && Metrics.horizontalAdvance(s + dots) > MaxWidth)
        s.chop(1);
    return s + dots;
}

void DrawCellTextOnCanvas(QPainter& Canvas, const QRect& ARect, const QString& S,
                          TAlignment Align, TVertAlignment VertAlign, bool WordWrap,
                          bool ARightToLeft)
{
    Canvas.save();
    Canvas.fillRect(ARect, Canvas.brush());
    Canvas.setClipRect(ARect, Qt::IntersectClip);
    if (ARightToLeft && Align != taCenter)
        Align = Align == taLeftJustify ? taRightJustify : taLeftJustify;
    const QFontMetrics fm(Canvas.font());
    const int lineHeight = fm.height();  // the text height of "W"
    const QRect inner(ARect.x() + 2, ARect.y() + 2, qMax(0, ARect.width() - 5), qMax(0, ARect.height() - 4));
    int textHeight = lineHeight;
    int flags = Align == taLeftJustify ? Qt::AlignLeft : Align == taRightJustify ? Qt::AlignRight
                                                                                 : Qt::AlignHCenter;
    if (WordWrap) {
        flags |= Qt::TextWordWrap;
        textHeight = fm.boundingRect(QRect(0, 0, inner.width(), 0x7FFF), flags, S).height();
    }
    int y = ARect.y() + 2;
    if (VertAlign == vaCenter)
        y = ARect.y() + (ARect.height() - textHeight) / 2;
    else if (VertAlign == vaBottomJustify)
        y = ARect.y() + ARect.height() - textHeight - 2;
    if (ARightToLeft)
        Canvas.setLayoutDirection(Qt::RightToLeft);
    Canvas.drawText(QRect(inner.x(), y, inner.width(), textHeight), flags | Qt::AlignTop | Qt::AlignAbsolute, S);
    Canvas.restore();
}

void DrawCellTextFull(QWidget* Control, QPainter& Canvas, const QRect& ARect, const QString& S,
                      TAlignment Align, TVertAlignment VertAlign, bool WordWrap)
{
    const bool rightToLeft = Control && Control->layoutDirection() == Qt::RightToLeft;
    DrawCellTextOnCanvas(Canvas, ARect, S, Align, VertAlign, WordWrap, rightToLeft);
}

void DrawCellText(QWidget* Control, QPainter& Canvas, const QRect& ARect, const QString& S,
                  TAlignment Align, TVertAlignment VertAlign)
{
    DrawCellTextFull(Control, Canvas, ARect, S, Align, VertAlign, false);
}

// ---------------------------------------------------------------- the font

namespace {

// The standard font the places and sizes are given for: 9 points at 96 dots
// per inch (DejaVu Sans, 12 pixels), whose 52 letters A to Z and a to z
// take 385 pixels and whose lines are 14 pixels high.
constexpr double kStandardLettersWidth = 385;
constexpr double kStandardLineHeight = 14;

}  // namespace

QSizeF FontScale(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return QSizeF(qMax(1.0, letters / kStandardLettersWidth), qMax(1.0, metrics.height() / kStandardLineHeight));
}

int ScaledPixels(int pixels, double factor)
{
    return qRound(pixels * factor);
}

// ---------------------------------------------------------------- system

bool IsForegroundTask()
{
    return QApplication::activeWindow() != nullptr;
}

bool IsExistingDirectory(const QString& Path)
{
    return !Path.isEmpty() && QFileInfo(Path).isDir();
}
