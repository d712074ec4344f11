#include "Dialogs.h"
#include "MaxMin.h"
#include "TestSupport.h"
#include "VCLUtils.h"
#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

class TestKitHelpers : public QObject {
    Q_OBJECT

private slots:
    void maxMin()
    {
        QCOMPARE(MaxInteger({3, -7, 12, 0}), 12);
        QCOMPARE(MinInteger({3, -7, 12, 0}), -7);
        QCOMPARE(MaxInteger({}), 0);
    }

    void colours_data()
    {
        QTest::addColumn<int>("color");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("clRed is 255") << int(clRed) << QColor(255, 0, 0);
        QTest::newRow("clOlive") << int(clOlive) << QColor(128, 128, 0);
        QTest::newRow("palette-relative flag ignored") << int(0x02000080) << QColor(128, 0, 0);
        QTest::newRow("button face from the palette")
            << int(clBtnFace) << QGuiApplication::palette().color(QPalette::Button);
        QTest::newRow("button shadow from the palette")
            << int(clBtnShadow) << QGuiApplication::palette().color(QPalette::Dark);
    }
    void colours()
    {
        QFETCH(int, color);
        QFETCH(QColor, expected);
        QCOMPARE(ColorToQColor(color).rgb(), expected.rgb());
        QCOMPARE(ColorToRGB(QColorToColor(expected)), QColorToColor(expected));
    }

    void specialColours()
    {
        QVERIFY(!ColorToQColor(clNone).isValid());
        QCOMPARE(PaletteColorOf(clRed), TColor(0x020000FF));
        QCOMPARE(PaletteColorOf(clWindow) & 0xFF000000, TColor(0x02000000));
        QCOMPARE(ColorToRGB(clWhite), clWhite);
    }

    void pointInRectIncludesAllEdges_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("inside");
        // A rectangle 10, 10 wide 20, high 5.
        QTest::newRow("top-left corner") << QPoint(10, 10) << true;
        QTest::newRow("right edge") << QPoint(30, 12) << true;
        QTest::newRow("bottom edge") << QPoint(12, 15) << true;
        QTest::newRow("past the right edge") << QPoint(31, 12) << false;
        QTest::newRow("below") << QPoint(12, 16) << false;
        QTest::newRow("left of it") << QPoint(9, 12) << false;
    }
    void pointInRectIncludesAllEdges()
    {
        QFETCH(QPoint, point);
        QFETCH(bool, inside);
        const QRect r(10, 10, 20, 5);
        QCOMPARE(IsPointInRect(point, r), inside);
    }

    void ellipsis()
    {
        const QFontMetrics fm(QApplication::font());
        QCOMPARE(ShortenTextWithEllipsis(fm, "Print", 500), QString("Print"));
        const QString cut = ShortenTextWithEllipsis(fm, "Reference Update", fm.horizontalAdvance("Refer..."));
        QVERIFY(cut.endsWith("..."));
        QVERIFY(cut.startsWith("Ref"));
        QVERIFY(fm.horizontalAdvance(cut) <= fm.horizontalAdvance("Refer..."));
        QCOMPARE(ShortenTextWithEllipsis(fm, "Reference", 0), QString("..."));
    }

    void frame3DColoursItsSides()
    {
        QImage img(6, 6, QImage::Format_RGB32);
        img.fill(Qt::white);
        QRect r(0, 0, 6, 6);
        {
            QPainter p(&img);
            Frame3D(p, r, Qt::red, Qt::blue, 1);
        }
        QCOMPARE(r, QRect(1, 1, 4, 4));
        QCOMPARE(img.pixelColor(0, 0), QColor(Qt::red));
        QCOMPARE(img.pixelColor(5, 0), QColor(Qt::blue));  // the far corners are the bottom colour
        QCOMPARE(img.pixelColor(5, 5), QColor(Qt::blue));
        QCOMPARE(img.pixelColor(2, 2), QColor(Qt::white));
    }

    void transparentColourIsTheBottomLeftPixel()
    {
        QImage bmp(4, 3, QImage::Format_ARGB32);
        bmp.fill(QColor(255, 0, 255));
        bmp.setPixelColor(1, 1, Qt::black);
        QCOMPARE(BitmapTransparentColor(bmp), clFuchsia);

        QImage out(4, 3, QImage::Format_RGB32);
        out.fill(Qt::green);
        {
            QPainter p(&out);
            DrawBitmapTransparent(p, 0, 0, bmp, clDefault);
        }
        QCOMPARE(out.pixelColor(0, 0), QColor(Qt::green));
        QCOMPARE(out.pixelColor(1, 1), QColor(Qt::black));

        out.fill(Qt::green);
        {
            QPainter p(&out);
            DrawBitmapTransparent(p, 0, 0, bmp, clNone);
        }
        QCOMPARE(out.pixelColor(0, 0), QColor(255, 0, 255));

        QImage seeThrough(2, 2, QImage::Format_ARGB32);
        seeThrough.fill(Qt::transparent);
        QCOMPARE(BitmapTransparentColor(seeThrough), clNone);
    }

    void copyBitmapCellTakesOneCell()
    {
        QImage grid(6, 4, QImage::Format_ARGB32);  // 3 x 2 cells of 2 x 2
        for (int i = 0; i < 6; ++i)
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 2; ++x)
                    grid.setPixelColor((i % 3) * 2 + x, (i / 3) * 2 + y, QColor(i * 40, 0, 0));
        const QImage cell = CopyBitmapCell(grid, 3, 2, 4);
        QCOMPARE(cell.size(), QSize(2, 2));
        QCOMPARE(cell.pixelColor(1, 1), QColor(160, 0, 0));
        QVERIFY(CopyBitmapCell(grid, 3, 2, 6).isNull());
    }

    void grayedBitmapEmbossesTheInk()
    {
        QImage glyph(5, 5, QImage::Format_ARGB32);
        glyph.fill(QColor(128, 128, 0));
        glyph.setPixelColor(1, 1, Qt::red);
        glyph.setPixelColor(2, 2, Qt::white);  // white is not ink
        const QImage grey = CreateGrayedBitmap(glyph, clOlive, clSilver, clGray, clWhite);
        QCOMPARE(grey.pixelColor(1, 1), QColor(128, 128, 128));
        QCOMPARE(grey.pixelColor(2, 2), QColor(Qt::white));  // the highlight, offset by 1, 1
        QCOMPARE(grey.pixelColor(3, 3), QColor(192, 192, 192));
        QCOMPARE(grey.pixelColor(0, 4), QColor(192, 192, 192));
        QCOMPARE(CreateGrayedBitmapDefault(glyph).pixelColor(1, 1), ColorToQColor(clBtnShadow));
    }

    void parentImageIsPaintedBeneath()
    {
        QWidget parent;
        parent.resize(60, 40);
        QPalette pal = parent.palette();
        pal.setColor(QPalette::Window, QColor(0, 90, 0));
        parent.setPalette(pal);
        parent.setAutoFillBackground(true);
        auto* below = new QWidget(&parent);
        below->setGeometry(0, 0, 15, 40);
        below->setAutoFillBackground(true);
        QPalette belowPal = below->palette();
        belowPal.setColor(QPalette::Window, QColor(200, 0, 0));
        below->setPalette(belowPal);
        auto* control = new QWidget(&parent);
        control->setGeometry(10, 10, 20, 20);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));

        QImage img(20, 20, QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            QPainter p(&img);
            PaintParentImage(control, p);
        }
        QCOMPARE(img.pixelColor(2, 10), QColor(200, 0, 0));  // the sibling beneath
        QCOMPARE(img.pixelColor(15, 10), QColor(0, 90, 0));  // the parent's background
    }

    void cellText()
    {
        QImage img(80, 30, QImage::Format_RGB32);
        img.fill(Qt::white);
        const QRect cell(10, 5, 60, 20);
        {
            QPainter p(&img);
            p.setBrush(QColor(0, 0, 200));
            p.setPen(Qt::white);
            DrawCellTextOnCanvas(p, cell, "Go", taRightJustify, vaCenter, false, false);
        }
        QCOMPARE(img.pixelColor(10, 5), QColor(0, 0, 200));  // the cell is filled
        QCOMPARE(img.pixelColor(5, 5), QColor(Qt::white));   // nothing outside it
        // Right aligned: the text's pixels are in the right half only.
        bool leftHalf = false, rightHalf = false;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                if (img.pixelColor(x, y) != QColor(0, 0, 200))
                    (x < cell.center().x() ? leftHalf : rightHalf) = true;
        QVERIFY(rightHalf);
        QVERIFY(!leftHalf);
    }

    void kitBitmaps_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : {"DEDITBMP", "CEDITBMP", "PREV2", "PREV1", "NEXT1", "NEXT2", "CALCBTNS",
                                 "DBG_MSDOT", "DBG_MSARROW", "DBG_BLOB", "DBG_MEMO", "DBG_PICT", "DBG_OLE",
                                 "DBG_OBJECT", "DBG_DATA", "DBG_NOTEMPTY", "DBG_SMDOWN", "DBG_SMUP"})
            QTest::newRow(name) << QString(name);
    }
    void kitBitmaps()
    {
        QFETCH(QString, name);
        QVERIFY(KitBitmapExists(name));
        const QImage bmp = LoadKitBitmap(name);
        QVERIFY(!bmp.isNull());
        QVERIFY(BitmapTransparentColor(bmp) != clNone);
    }

    void missingBitmapRaises()
    {
        QVERIFY(!KitBitmapExists("NOSUCHBMP"));
        QVERIFY_THROWS_EXCEPTION(EResNotFound, LoadKitBitmap("NOSUCHBMP"));
    }

    void kitCursors()
    {
        QCOMPARE(ScreenCursor(crHand).shape(), Qt::BitmapCursor);
        QVERIFY(!ScreenCursor(crHand).pixmap().isNull());
        QCOMPARE(ScreenCursor(crHSplit).shape(), Qt::SplitHCursor);
        QCOMPARE(ScreenCursor(12345).shape(), Qt::ArrowCursor);
    }

    void existingDirectory()
    {
        QTemporaryDir dir;
        QVERIFY(IsExistingDirectory(dir.path()));
        QFile file(dir.filePath("a.csv"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(!IsExistingDirectory(file.fileName()));
        QVERIFY(!IsExistingDirectory(dir.filePath("missing")));
        QVERIFY(!IsExistingDirectory(""));
    }
};

KV_TEST_MAIN(TestKitHelpers)
#include "tst_kithelpers.moc"
