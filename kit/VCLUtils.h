#pragma once
// Drawing and window helpers that the kit's controls share: colour numbers,
// the kit's bitmaps and cursors, 3-D frames, transparent and greyed bitmaps,
// grid cell text, rectangle helpers, the font's scale and the directory
// test.
#include "DB.h"  // TAlignment
#include <QColor>
#include <QCursor>
#include <QImage>
#include <QRect>
#include <QSizeF>
#include <QString>
#include <functional>

class QFont;
class QFontMetrics;
class QObject;
class QPainter;
class QWidget;

// ---------------------------------------------------------------- events

using TNotifyEvent = std::function<void(QObject* Sender)>;

// ---------------------------------------------------------------- colours

// A colour number: $00BBGGRR for a fixed colour,
// $80000000 + index for a system colour (resolved through the application
// palette), and two special values for "no colour" and "the default".
using TColor = qint32;

constexpr TColor TColorValue(quint32 v) { return static_cast<TColor>(v); }

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;     // no transparent colour
constexpr TColor clDefault = 0x20000000;  // the bitmap's bottom-left pixel

constexpr TColor clScrollBar = TColorValue(0x80000000);
constexpr TColor clBackground = TColorValue(0x80000001);
constexpr TColor clActiveCaption = TColorValue(0x80000002);
constexpr TColor clInactiveCaption = TColorValue(0x80000003);
constexpr TColor clMenu = TColorValue(0x80000004);
constexpr TColor clWindow = TColorValue(0x80000005);
constexpr TColor clWindowFrame = TColorValue(0x80000006);
constexpr TColor clMenuText = TColorValue(0x80000007);
constexpr TColor clWindowText = TColorValue(0x80000008);
constexpr TColor clCaptionText = TColorValue(0x80000009);
constexpr TColor clActiveBorder = TColorValue(0x8000000A);
constexpr TColor clInactiveBorder = TColorValue(0x8000000B);
constexpr TColor clAppWorkSpace = TColorValue(0x8000000C);
constexpr TColor clHighlight = TColorValue(0x8000000D);
constexpr TColor clHighlightText = TColorValue(0x8000000E);
constexpr TColor clBtnFace = TColorValue(0x8000000F);
constexpr TColor clBtnShadow = TColorValue(0x80000010);
constexpr TColor clGrayText = TColorValue(0x80000011);
constexpr TColor clBtnText = TColorValue(0x80000012);
constexpr TColor clInactiveCaptionText = TColorValue(0x80000013);
constexpr TColor clBtnHighlight = TColorValue(0x80000014);
constexpr TColor cl3DDkShadow = TColorValue(0x80000015);
constexpr TColor cl3DLight = TColorValue(0x80000016);
constexpr TColor clInfoText = TColorValue(0x80000017);
constexpr TColor clInfoBk = TColorValue(0x80000018);

// The RGB value ($00BBGGRR) of a colour; system colours come from the
// application palette. The palette-relative flag is dropped.
TColor ColorToRGB(TColor color);
QColor ColorToQColor(TColor color);  // clNone: an invalid QColor
TColor QColorToColor(const QColor& color);
// The RGB of a colour with the palette-relative flag $02000000.
TColor PaletteColorOf(TColor color);

// ---------------------------------------------------------------- cursors

// Cursor numbers (stock cursors negative), and the kit's own two.
enum : int {
    crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6,
    crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11,
    crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15, crMultiDrag = -16,
    crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20, crHandPoint = -21,
    crSizeAll = -22,
    crHand = 14000,     // resource "KIT_HANDCUR"
    crDragHand = 14001  // resource "KIT_DRAGCUR" (speed bar docking)
};

// The screen's cursor table: the numbered cursors above, the kit's two
// loaded from the program's resources on first use, and any registered
// with SetScreenCursor. An unknown number gives the arrow.
QCursor ScreenCursor(int id);
void SetScreenCursor(int id, const QCursor& cursor);

// ---------------------------------------------------------------- resources

// A bitmap resource of the program ("DEDITBMP", "PREV1", "DBG_MEMO", ...).
// Raises EResNotFound when there is none of that name.
QImage LoadKitBitmap(const QString& name);
bool KitBitmapExists(const QString& name);

// ---------------------------------------------------------------- drawing

// A bitmap's transparent colour: the colour of its bottom-left pixel;
// clNone when that pixel is itself see-through.
TColor BitmapTransparentColor(const QImage& bitmap);
// A copy in which every pixel of the transparent colour is see-through
// (clNone: the image unchanged, clDefault: the bottom-left pixel's colour).
QImage MaskedBitmap(const QImage& bitmap, TColor transparentColor);

// Cell Index (0-based, row by row) of a Cols x Rows grid of images.
QImage CopyBitmapCell(const QImage& graphic, int Cols, int Rows, int Index);

// Paints the parent's background and the sibling widgets beneath the
// control (those before it in stacking order that overlap it) into the
// painter, in the control's coordinates.
void PaintParentImage(QWidget* Control, QPainter& Dest);

// Draws the source rectangle of the bitmap into the destination rectangle,
// stretched, leaving pixels of the transparent colour out.
void StretchBltTransparent(QPainter& Dest, const QRect& DstRect, const QImage& Source,
                           const QRect& SrcRect, TColor TransparentColor);
void DrawBitmapRectTransparent(QPainter& Dest, int DstX, int DstY, const QRect& SrcRect,
                               const QImage& Bitmap, TColor TransparentColor);
void DrawBitmapTransparent(QPainter& Dest, int DstX, int DstY, const QImage& Bitmap,
                           TColor TransparentColor);

// The embossed image of a disabled glyph: the glyph's ink (pixels that are
// neither see-through, of the transparent colour, white nor the face colour)
// drawn in HighlightColor offset by 1, 1 and then in ShadowColor, on a
// BackColor ground.
QImage CreateGrayedBitmap(const QImage& Bitmap, TColor TransparentColor, TColor BackColor,
                          TColor ShadowColor, TColor HighlightColor);
// The same with clBtnFace, clBtnShadow, clBtnHighlight and the bottom-left
// pixel as transparent colour.
QImage CreateGrayedBitmapDefault(const QImage& Bitmap);
// The embossed image of an image-list image (its alpha channel is the mask)
// drawn at X, Y.
void DrawImageListGrayed(QPainter& Dest, const QImage& Image, int X, int Y);

// Draws a 3-D frame Width pixels wide inside Rect: TopColor along the left
// and top, BottomColor along the right and bottom; Rect shrinks by Width.
void Frame3D(QPainter& Canvas, QRect& Rect, const QColor& TopColor, const QColor& BottomColor,
             int Width);

// Width nested dotted rectangles inverting what lies beneath.
void DrawInvertedFrame(QPainter& Canvas, const QRect& Rect, int Width);

void BeepDefault();

int RectWidth(const QRect& R);
int RectHeight(const QRect& R);
// P inside R, all four edges included (R.x() + R.width() counts as inside).
bool IsPointInRect(const QPoint& P, const QRect& R);

// Text shortened, with "..." appended, until it fits MaxWidth.
QString ShortenTextWithEllipsis(const QFontMetrics& Metrics, const QString& Text, int MaxWidth);

// Grid cell text.
enum TVertAlignment { vaTopJustify, vaCenter, vaBottomJustify };
// Fills the cell with the painter's brush and draws S in the painter's pen
// colour, aligned inside it: 2 pixels from the left edge, 3 from the right
// one, vertical placement by the line height (the height of "W"); optionally
// word-wrapped and right to left (left and right alignment swap).
void DrawCellTextOnCanvas(QPainter& Canvas, const QRect& ARect, const QString& S,
                          TAlignment Align, TVertAlignment VertAlign, bool WordWrap,
                          bool ARightToLeft);
// The same for a cell of Control, right to left when the control is.
void DrawCellTextFull(QWidget* Control, QPainter& Canvas, const QRect& ARect, const QString& S,
                      TAlignment Align, TVertAlignment VertAlign, bool WordWrap);
void DrawCellText(QWidget* Control, QPainter& Canvas, const QRect& ARect, const QString& S,
                  TAlignment Align, TVertAlignment VertAlign);

// ---------------------------------------------------------------- the font

// How much larger `font` is than the standard font the windows' and the
// kit's places and sizes are given for: the average width of its letters
// over theirs across, its line height over theirs down; never below 1, so a
// smaller font leaves a window as given.
QSizeF FontScale(const QFont& font);
// Pixels as given (for the standard font at 96 dots per inch), scaled by
// `factor` and rounded.
int ScaledPixels(int pixels, double factor);

// ---------------------------------------------------------------- system

// True when the active window is one of this program's.
bool IsForegroundTask();

// True when Path names an existing directory.
bool IsExistingDirectory(const QString& Path);
