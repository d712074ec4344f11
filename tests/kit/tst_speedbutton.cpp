#include "KitCtrls.h"
#include "TestSupport.h"
#include <QDialog>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <memory>

namespace {

// A glyph of N square cells, each filled with its own colour on an olive
// ground (the bottom-left pixel, so olive is the transparent colour).
QImage cellsGlyph(const QList<QColor>& cells, int side = 12)
{
    QImage img(side * int(cells.size()), side, QImage::Format_ARGB32);
    img.fill(QColor(128, 128, 0));
    for (int i = 0; i < cells.size(); ++i)
        for (int y = 2; y < side - 2; ++y)
            for (int x = 2; x < side - 2; ++x)
                img.setPixelColor(i * side + x, y, cells.at(i));
    return img;
}

bool contains(const QImage& image, const QColor& colour)
{
    const QRgb want = colour.rgb();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == want)
                return true;
    return false;
}

}  // namespace

class TestSpeedButton : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> host;
    int clicks = 0;

    TKitSpeedButton* addButton(int left = 10, int top = 10)
    {
        auto* b = new TKitSpeedButton(host.get());
        b->SetBounds(left, top, 25, 25);
        b->OnClick = [this](QObject*) { ++clicks; };
        b->show();
        return b;
    }

private slots:
    void init()
    {
        host = std::make_unique<QWidget>();
        host->setObjectName("host");
        host->setGeometry(100, 100, 300, 200);
        host->show();
        host->activateWindow();
        QVERIFY(QTest::qWaitForWindowExposed(host.get()));
        clicks = 0;
    }
    void cleanup() { host.reset(); }

    // -------------------------------------------------------------- glyphs

    void glyphCountFollowsItsShape_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("expected");
        QTest::newRow("48x16 holds three") << QSize(48, 16) << 3;
        QTest::newRow("96x16 is six, too many: one") << QSize(96, 16) << 1;
        QTest::newRow("80x16 holds five") << QSize(80, 16) << 5;
        QTest::newRow("square holds one") << QSize(16, 16) << 1;
        QTest::newRow("not a multiple keeps the count") << QSize(20, 16) << 2;
    }
    void glyphCountFollowsItsShape()
    {
        QFETCH(QSize, size);
        QFETCH(int, expected);
        TKitSpeedButton b;
        b.SetNumGlyphs(2);
        QImage img(size, QImage::Format_ARGB32);
        img.fill(Qt::white);
        b.SetGlyph(img);
        QCOMPARE(b.NumGlyphs(), expected);
    }

    void glyphImagesPerState()
    {
        const QColor up(255, 0, 0), disabled(0, 0, 255), down(0, 200, 0), exclusive(200, 200, 200),
            inactive(90, 90, 90);
        TKitButtonGlyph g;
        g.SetGlyph(cellsGlyph({up, disabled, down, exclusive, inactive}));
        QCOMPARE(g.NumGlyphs(), 5);
        QVERIFY(contains(g.CreateButtonGlyph(rbsUp), up));
        QVERIFY(contains(g.CreateButtonGlyph(rbsDisabled), disabled));
        QVERIFY(contains(g.CreateButtonGlyph(rbsDown), down));
        QVERIFY(contains(g.CreateButtonGlyph(rbsExclusive), exclusive));
        QVERIFY(contains(g.CreateButtonGlyph(rbsInactive), inactive));
        // The transparent colour is left out.
        QCOMPARE(qAlpha(g.CreateButtonGlyph(rbsUp).pixel(0, 0)), 0);

        // Two images: down and exclusive fall back to the first one.
        g.SetGlyph(cellsGlyph({up, disabled}));
        QVERIFY(contains(g.CreateButtonGlyph(rbsDown), up));
        QVERIFY(contains(g.CreateButtonGlyph(rbsExclusive), up));
        // Fewer than five: inactive is the first image in grey.
        const QImage grey = g.CreateButtonGlyph(rbsInactive);
        const int level = (77 * 255) >> 8;
        QVERIFY(contains(grey, QColor(level, level, level)));
        QVERIFY(!contains(grey, up));
    }

    void disabledButtonShowsEmbossedOrSecondImage()
    {
        const QColor red(255, 0, 0), blue(0, 0, 255);
        TKitSpeedButton* b = addButton();
        b->SetGlyph(cellsGlyph({red}));
        b->setEnabled(false);
        QCOMPARE(b->State(), rbsDisabled);
        QImage shot = b->grab().toImage();
        QVERIFY(!contains(shot, red));
        QVERIFY(contains(shot, ColorToQColor(clBtnShadow)));

        b->SetGlyph(cellsGlyph({red, blue}));
        QCOMPARE(b->NumGlyphs(), 2);
        shot = b->grab().toImage();
        QVERIFY(contains(shot, blue));
        QVERIFY(!contains(shot, red));
    }

    // -------------------------------------------------------------- push button

    void pressDrawsDownAndReleaseInsideClicks()
    {
        TKitSpeedButton* b = addButton();
        const QImage upFace = b->grab().toImage();
        QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(b->State(), rbsDown);
        QCOMPARE(clicks, 0);
        QVERIFY(b->grab().toImage() != upFace);
        QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(6, 6));
        QCOMPARE(clicks, 1);
        QCOMPARE(b->grab().toImage(), upFace);
    }

    void releasePointDecidesTheClick_data()
    {
        QTest::addColumn<QPoint>("release");
        QTest::addColumn<bool>("clicked");
        QTest::newRow("top-left corner") << QPoint(0, 0) << true;
        QTest::newRow("last column") << QPoint(24, 12) << true;
        QTest::newRow("bottom edge row (y = height)") << QPoint(12, 25) << true;
        QTest::newRow("below the bottom edge row") << QPoint(12, 26) << false;
        QTest::newRow("right edge (x = width)") << QPoint(25, 12) << false;
        QTest::newRow("left of the button") << QPoint(-1, 12) << false;
        QTest::newRow("above the button") << QPoint(12, -1) << false;
    }
    void releasePointDecidesTheClick()
    {
        QFETCH(QPoint, release);
        QFETCH(bool, clicked);
        TKitSpeedButton* b = addButton();
        QTest::mousePress(b, Qt::LeftButton, {}, QPoint(12, 12));
        QTest::mouseRelease(b, Qt::LeftButton, {}, release);
        QCOMPARE(clicks, clicked ? 1 : 0);
        QCOMPARE(b->State(), rbsUp);
    }

    void rightButtonAndDisabledButtonDoNotPress()
    {
        TKitSpeedButton* b = addButton();
        QTest::mouseClick(b, Qt::RightButton, {}, QPoint(5, 5));
        QCOMPARE(clicks, 0);
        QCOMPARE(b->State(), rbsUp);

        b->setEnabled(false);
        QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(b->State(), rbsDisabled);
        QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicks, 0);
    }

    void disablingWhileHeldEndsThePress()
    {
        TKitSpeedButton* b = addButton();
        QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
        b->setEnabled(false);
        QVERIFY(!b->Pressed());
        b->setEnabled(true);
        QCOMPARE(b->State(), rbsUp);
        QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicks, 0);
    }

    void pressButtonFromCode()
    {
        TKitSpeedButton* b = addButton();
        b->PressButton();
        QCOMPARE(clicks, 1);
        QCOMPARE(b->State(), rbsUp);

        b->SetGroupIndex(3);
        b->SetAllowAllUp(true);
        b->PressButton();
        QVERIFY(b->Down());
        QCOMPARE(b->State(), rbsExclusive);
        b->PressButton();
        QVERIFY(!b->Down());
        QCOMPARE(clicks, 3);
    }

    // -------------------------------------------------------------- groups

    void groupKeepsOneButtonDown()
    {
        TKitSpeedButton* a = addButton(10);
        TKitSpeedButton* b = addButton(40);
        TKitSpeedButton* c = addButton(70);
        TKitSpeedButton* other = addButton(100);
        for (TKitSpeedButton* x : {a, b, c})
            x->SetGroupIndex(1);
        other->SetGroupIndex(2);
        other->SetDown(true);

        QTest::mouseClick(a, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(a->Down());
        QCOMPARE(a->State(), rbsExclusive);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(b->Down());
        QVERIFY(!a->Down());
        QCOMPARE(a->State(), rbsUp);
        QVERIFY(other->Down());  // another group is left alone

        // Without AllowAllUp the down button stays down, though it clicks.
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(b->Down());
        QCOMPARE(clicks, 3);

        // A release outside keeps it exclusive.
        QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(b->State(), rbsExclusive);
        QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 40));
        QVERIFY(b->Down());
        QCOMPARE(b->State(), rbsExclusive);
        QCOMPARE(clicks, 3);
    }

    void allowAllUpIsSharedByTheGroup()
    {
        TKitSpeedButton* a = addButton(10);
        TKitSpeedButton* b = addButton(40);
        a->SetGroupIndex(1);
        b->SetGroupIndex(1);
        b->SetDown(true);
        a->SetAllowAllUp(true);
        QVERIFY(b->AllowAllUp());
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!b->Down());
        QCOMPARE(b->State(), rbsUp);
        QVERIFY(!a->Down());
    }

    void settingDownFromCode()
    {
        TKitSpeedButton* a = addButton(10);
        TKitSpeedButton* b = addButton(40);
        a->SetDown(true);  // no group: ignored
        QVERIFY(!a->Down());
        a->SetGroupIndex(5);
        b->SetGroupIndex(5);
        a->SetDown(true);
        QCOMPARE(a->State(), rbsExclusive);
        b->SetDown(true);
        QVERIFY(!a->Down());
        QCOMPARE(a->State(), rbsUp);
        b->SetDown(false);  // not AllowAllUp
        QVERIFY(b->Down());
        QCOMPARE(clicks, 0);
    }

    void doubleClickOnlyOnADownButton()
    {
        int doubles = 0;
        TKitSpeedButton* push = addButton(10);
        TKitSpeedButton* group = addButton(40);
        group->SetGroupIndex(1);
        for (TKitSpeedButton* x : {push, group})
            x->OnDblClick = [&doubles](QObject*) { ++doubles; };
        QTest::mouseDClick(push, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(doubles, 0);
        group->SetDown(true);
        QTest::mouseDClick(group, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(doubles, 1);
    }

    // -------------------------------------------------------------- repeat

    void heldTimerButtonRepeatsItsClick()
    {
        auto* b = new TKitTimerSpeedButton(host.get());
        b->SetBounds(10, 10, 14, 14);
        b->SetInitPause(300);
        b->SetRepeatInterval(20);
        b->OnClick = [this](QObject*) { ++clicks; };
        b->show();

        QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicks, 0);  // the press itself does not click
        QTest::qWait(50);
        QCOMPARE(clicks, 0);  // nothing before the initial pause
        QTRY_VERIFY_WITH_TIMEOUT(clicks >= 4, 2000);

        // Held outside the button: no repeats.
        QTest::mouseMove(b, QPoint(40, 40));
        QTest::qWait(30);
        const int outside = clicks;
        QTest::qWait(100);
        QCOMPARE(clicks, outside);

        QTest::mouseMove(b, QPoint(5, 5));
        QTRY_VERIFY_WITH_TIMEOUT(clicks > outside, 2000);
        QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
        const int released = clicks;
        QTest::qWait(100);
        QCOMPARE(clicks, released);  // the release clicked once more, the timer stopped
    }

    void releaseBeforeThePauseClicksOnce()
    {
        auto* b = new TKitTimerSpeedButton(host.get());
        b->SetInitPause(40);
        b->SetRepeatInterval(20);
        b->OnClick = [this](QObject*) { ++clicks; };
        b->show();
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::qWait(150);
        QCOMPARE(clicks, 1);
    }

    // -------------------------------------------------------------- drop-down menu

    void dropDownMenuPositions_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<QPoint>("point");
        QTest::newRow("bottom, left aligned") << int(dmpBottom) << int(paLeft) << QPoint(-1, 25);
        QTest::newRow("bottom, right aligned") << int(dmpBottom) << int(paRight) << QPoint(26, 25);
        QTest::newRow("right, left aligned") << int(dmpRight) << int(paLeft) << QPoint(25, -1);
        QTest::newRow("right, centred") << int(dmpRight) << int(paCenter) << QPoint(12, 25);
    }
    void dropDownMenuPositions()
    {
        QFETCH(int, position);
        QFETCH(int, alignment);
        QFETCH(QPoint, point);
        TKitSpeedButton* b = addButton();
        QMenu menu;
        menu.setProperty("Alignment", alignment);
        b->SetDropDownMenu(&menu);
        b->SetMenuPosition(TKitDropDownMenuPos(position));
        QCOMPARE(b->DropDownMenuPos(), point);
    }

    void dropDownMenuRunsInsteadOfTheClick()
    {
        TKitSpeedButton* b = addButton(20, 20);
        QMenu menu;
        int chosen = 0;
        QAction* item = menu.addAction("First");
        connect(item, &QAction::triggered, this, [&chosen] { ++chosen; });
        b->SetDropDownMenu(&menu);

        QPoint shownAt;
        QObject* popupComponent = nullptr;
        QTimer::singleShot(50, this, [&] {
            if (QApplication::activePopupWidget() == &menu) {
                shownAt = menu.pos();
                popupComponent = menu.property("PopupComponent").value<QObject*>();
                item->trigger();
                menu.close();
            }
        });
        QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));  // returns when the menu closed
        QCOMPARE(shownAt, b->mapToGlobal(QPoint(-1, 25)));
        QCOMPARE(popupComponent, b);
        QCOMPARE(chosen, 1);
        QCOMPARE(b->State(), rbsUp);
        QVERIFY(!b->Pressed());
        QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicks, 0);
    }

    void dropDownMarkIsDrawnAndMenuLossClearsIt()
    {
        TKitSpeedButton* b = addButton();
        const QImage plain = b->grab().toImage();
        auto* menu = new QMenu;
        b->SetDropDownMenu(menu);
        const QImage marked = b->grab().toImage();
        QVERIFY(marked != plain);
        b->SetMarkDropDown(false);
        QCOMPARE(b->grab().toImage(), plain);
        b->SetMarkDropDown(true);
        delete menu;
        QVERIFY(b->DropDownMenu() == nullptr);
        QCOMPARE(b->grab().toImage(), plain);
    }

    // -------------------------------------------------------------- flat, tracking

    void flatButtonShowsItsFaceUnderTheMouse()
    {
        const QColor red(255, 0, 0);
        TKitSpeedButton* b = addButton(50, 50);
        b->SetFlat(true);
        b->SetGlyph(cellsGlyph({red}));
        int entered = 0, left = 0;
        b->OnMouseEnter = [&entered](QObject*) { ++entered; };
        b->OnMouseLeave = [&left](QObject*) { ++left; };
        QTest::mouseMove(host.get(), QPoint(5, 5));

        const QImage away = b->grab().toImage();
        QVERIFY(!contains(away, red));  // grey while the mouse is elsewhere
        QVERIFY(!contains(away, ColorToQColor(clWindowFrame)));  // and no face

        QTest::mouseMove(b, QPoint(10, 10));
        QTRY_VERIFY(b->MouseInControl());
        QCOMPARE(entered, 1);
        const QImage over = b->grab().toImage();
        QVERIFY(contains(over, red));
        QVERIFY(over != away);

        QTest::mouseMove(host.get(), QPoint(5, 5));
        QTRY_VERIFY(!b->MouseInControl());
        QCOMPARE(left, 1);
        QCOMPARE(b->grab().toImage(), away);
    }

    // -------------------------------------------------------------- caption, result

    void modalResultGoesToTheDialog()
    {
        QDialog dialog;
        auto* b = new TKitSpeedButton(&dialog);
        b->SetModalResult(mrOk);
        b->OnClick = [this](QObject*) { ++clicks; };
        QTimer::singleShot(0, this, [b] { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5)); });
        QCOMPARE(dialog.exec(), int(mrOk));
        QCOMPARE(clicks, 1);
    }

    void acceleratorClicks()
    {
        TKitSpeedButton* b = addButton();
        b->SetCaption("&Go");
        QVERIFY(QTest::qWaitForWindowActive(host.get()));
        QTest::keyClick(host.get(), Qt::Key_G, Qt::AltModifier);
        QCOMPARE(clicks, 1);
        b->setEnabled(false);
        QTest::keyClick(host.get(), Qt::Key_G, Qt::AltModifier);
        QCOMPARE(clicks, 1);
    }

    void hintShowsItsShortPart()
    {
        TKitSpeedButton* b = addButton();
        b->SetHint("Previous Year|");
        QCOMPARE(b->toolTip(), QString("Previous Year"));
        b->SetShowHint(false);
        QVERIFY(b->toolTip().isEmpty());
        host->setProperty("ShowHint", true);
        b->SetParentShowHint(true);
        QCOMPARE(b->toolTip(), QString("Previous Year"));
    }

    // -------------------------------------------------------------- layout

    void glyphLayout_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("margin");
        QTest::addColumn<int>("spacing");
        QTest::addColumn<bool>("mark");
        QTest::addColumn<QPoint>("glyph");
        QTest::addColumn<QRect>("markRect");
        // A 16 x 16 glyph without caption in a 25 x 25 inner rectangle at 2, 2.
        QTest::newRow("top, centred") << int(blGlyphTop) << -1 << 1 << false << QPoint(6, 6) << QRect();
        QTest::newRow("bottom, margin 3") << int(blGlyphBottom) << 3 << 1 << false << QPoint(6, 8) << QRect();
        QTest::newRow("right, margin 2") << int(blGlyphRight) << 2 << 1 << false << QPoint(9, 6) << QRect();
        QTest::newRow("top with mark beside the glyph")
            << int(blGlyphTop) << -1 << 1 << true << QPoint(3, 6) << QRect(20, 12, 7, 4);
        QTest::newRow("left with mark, no caption: centred mark")
            << int(blGlyphLeft) << -1 << 1 << true << QPoint(2, 6) << QRect(11, 12, 7, 4);
    }
    void glyphLayout()
    {
        QFETCH(int, layout);
        QFETCH(int, margin);
        QFETCH(int, spacing);
        QFETCH(bool, mark);
        QFETCH(QPoint, glyph);
        QFETCH(QRect, markRect);
        const QFontMetrics fm(QApplication::font());
        const TButtonGeometry g = TKitButtonGlyph::CalcButtonLayout(
            fm, QRect(2, 2, 25, 25), QString(), TButtonLayout(layout), margin, spacing, mark, QSize(16, 16), 0);
        QCOMPARE(g.GlyphPos, glyph);
        QCOMPARE(g.MarkRect, markRect);
        QVERIFY(g.TextBounds.isEmpty());
    }

    void captionLayout()
    {
        const QFontMetrics fm(QApplication::font());
        const QRect client(0, 0, 120, 30);
        const int textWidth = fm.horizontalAdvance("Print");

        // Margin and spacing both -1 share the free room in three.
        TButtonGeometry g = TKitButtonGlyph::CalcButtonLayout(fm, client, "Print", blGlyphLeft, -1, -1, false,
                                              QSize(16, 16), 0);
        const int third = (120 - 16 - textWidth) / 3;
        QCOMPARE(g.GlyphPos.x(), third);
        QCOMPARE(g.TextBounds.left(), third + 16 + third);

        // The mark follows the caption when the glyph is on the left.
        g = TKitButtonGlyph::CalcButtonLayout(fm, client, "Print", blGlyphLeft, 4, 3, true,
                                              QSize(16, 16), 0);
        QCOMPARE(g.MarkRect.left(), g.TextBounds.left() + textWidth + 3);

        // A caption too wide for the room is cut with "...".
        g = TKitButtonGlyph::CalcButtonLayout(fm, QRect(0, 0, 40, 30), "Printer Setup", blGlyphLeft, 2, 2,
                                              false, QSize(16, 16), 0);
        QVERIFY(g.Caption.endsWith("..."));
        QVERIFY(g.TextBounds.width() <= 40 - 16 - 2 - 2);
    }
};

KV_TEST_MAIN(TestSpeedButton)
#include "tst_speedbutton.moc"
