#include "KitSplit.h"
#include "TestSupport.h"
#include <QLineEdit>
#include <memory>

namespace {

QWidget* Panel(QWidget* parent, const QColor& colour)
{
    auto* w = new QWidget(parent);
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
    return w;
}

const QColor PanelColour(200, 100, 50);
const QColor ClientColour(10, 200, 30);

// A 600 x 400 form: a docked panel, the splitter beside it and a client
// area with an edit that has the focus.
struct Form {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    QWidget* panel = nullptr;
    TKitSplitter* splitter = nullptr;
    QWidget* client = nullptr;
    QLineEdit* edit = nullptr;
    int changed = 0;

    // side: alLeft, alRight, alTop or alBottom; the panel is 150 across.
    explicit Form(TAlign side = alLeft, bool withLayout = true)
    {
        window->resize(600, 400);
        panel = Panel(window.get(), PanelColour);
        panel->resize(150, 150);
        splitter = new TKitSplitter(window.get());
        client = Panel(window.get(), ClientColour);
        edit = new QLineEdit(client);
        edit->setGeometry(10, 10, 100, 20);
        if (withLayout) {
            auto* layout = new TAlignLayout(window.get());
            layout->addDocked(panel, side);
            layout->addWidget(splitter);
            layout->addDocked(client, alClient);
        } else {
            SetControlAlign(panel, side);
            SetControlAlign(client, alClient);
        }
        // As a form is built: a 1-pixel bar, docked afterwards.
        splitter->BeginLoading();
        splitter->resize(1, 1);
        splitter->SetAlign(side);
        splitter->Loaded();
        splitter->OnPosChanged = [this](QObject*) { ++changed; };
        window->show();
        edit->setFocus();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    QWidget* line() const { return window->findChild<QWidget*>(QStringLiteral("KitSplitLine")); }

    void press(QPoint at) { QTest::mousePress(splitter, Qt::LeftButton, {}, at); }
    void move(QPoint to) { QTest::mouseMove(splitter, to); }
    void release(QPoint at) { QTest::mouseRelease(splitter, Qt::LeftButton, {}, at); }
    void drag(QPoint from, QPoint to)
    {
        press(from);
        move(to);
        release(to);
    }
};

}  // namespace

class TestSplitter : public QObject {
    Q_OBJECT
private slots:
    void splitModes_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");  // -1: no second control
        QTest::addColumn<int>("own");
        QTest::addColumn<int>("mode");
        QTest::newRow("left panel, left bar") << int(alLeft) << -1 << int(alLeft) << 3;
        QTest::newRow("left panel, client beyond") << int(alLeft) << int(alClient) << int(alLeft) << 3;
        QTest::newRow("bottom panel, client beyond") << int(alBottom) << int(alClient) << int(alBottom) << 1;
        QTest::newRow("client, bottom second") << int(alClient) << int(alBottom) << int(alBottom) << 2;
        QTest::newRow("client, right second") << int(alClient) << int(alRight) << int(alRight) << 4;
        QTest::newRow("top panel, left bar") << int(alTop) << -1 << int(alLeft) << 0;
        QTest::newRow("client, right second, left bar") << int(alClient) << int(alRight) << int(alLeft) << 0;
        QTest::newRow("undocked panel") << int(alNone) << -1 << int(alLeft) << 0;
        QTest::newRow("no first control") << -2 << -1 << int(alLeft) << 0;
    }
    void splitModes()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(int, own);
        QFETCH(int, mode);
        QWidget parent;
        TKitSplitter splitter(&parent);
        SetControlAlign(&splitter, TAlign(own));
        QWidget a(&parent);
        QWidget b(&parent);
        SetControlAlign(&a, TAlign(qMax(first, 0)));
        SetControlAlign(&b, TAlign(qMax(second, 0)));
        splitter.SetControlFirst(first == -2 ? nullptr : &a);
        splitter.SetControlSecond(second == -1 ? nullptr : &b);
        QCOMPARE(splitter.SplitMode(), mode);
        const int cursor = mode == 0 ? crDefault : mode <= 2 ? crVSplit : crHSplit;
        QCOMPARE(splitter.Cursor(), cursor);
        if (mode == 0)
            QVERIFY(!splitter.testAttribute(Qt::WA_SetCursor));
        else
            QCOMPARE(splitter.cursor().shape(), mode <= 2 ? Qt::SplitVCursor : Qt::SplitHCursor);
    }

    void dragResizesOnRelease()
    {
        Form f;
        QCOMPARE(f.splitter->geometry(), QRect(150, 0, 1, 400));
        QCOMPARE(f.splitter->ControlFirst(), f.panel);  // found beside it when docked
        f.press(QPoint(0, 100));
        QVERIFY(f.splitter->Dragging());
        QVERIFY(f.line());
        QCOMPARE(f.line()->geometry(), QRect(149, 0, 2, 400));  // at the bar to begin with
        f.move(QPoint(50, 120));
        QCOMPARE(f.line()->geometry(), QRect(199, 0, 2, 400));
        QCOMPARE(f.panel->width(), 150);  // nothing moves before the release
        QCOMPARE(f.splitter->x(), 150);
        QCOMPARE(f.changed, 0);
        f.release(QPoint(50, 120));
        QVERIFY(!f.splitter->Dragging());
        QVERIFY(!f.line());
        QCOMPARE(f.panel->geometry(), QRect(0, 0, 200, 400));
        QCOMPARE(f.splitter->geometry(), QRect(200, 0, 1, 400));
        QCOMPARE(f.client->geometry(), QRect(201, 0, 399, 400));
        QCOMPARE(f.changed, 1);
    }

    void lineShowsTheFormInverted()
    {
        Form f;
        f.press(QPoint(0, 100));
        f.move(QPoint(51, 100));
        const QImage shot = f.window->grab().toImage();
        const QColor inverted(255 - ClientColour.red(), 255 - ClientColour.green(), 255 - ClientColour.blue());
        QCOMPARE(shot.pixelColor(200, 300), inverted);
        QCOMPARE(shot.pixelColor(201, 300), inverted);
        QCOMPARE(shot.pixelColor(203, 300), ClientColour);
        f.release(QPoint(51, 100));
        // The panel now reaches under where the line was; nothing of it is left.
        QCOMPARE(f.window->grab().toImage().pixelColor(200, 300), PanelColour);
    }

    void limits_data()
    {
        QTest::addColumn<int>("topLeft");
        QTest::addColumn<int>("bottomRight");
        QTest::addColumn<int>("releaseX");
        QTest::addColumn<int>("width");
        QTest::newRow("past the right limit") << 20 << 20 << 1000 << 600 - 20 - 1;
        QTest::newRow("past the left limit") << 20 << 20 << -1000 << 20;
        QTest::newRow("wider limits") << 50 << 100 << 1000 << 600 - 100 - 1;
        QTest::newRow("no right limit stops 3 short") << 20 << 0 << 1000 << 600 - 1 - 3;
        QTest::newRow("no left limit keeps 1 pixel") << 0 << 20 << -1000 << 1;
        QTest::newRow("just inside") << 20 << 20 << 428 << 578;
    }
    void limits()
    {
        QFETCH(int, topLeft);
        QFETCH(int, bottomRight);
        QFETCH(int, releaseX);
        QFETCH(int, width);
        Form f;
        f.splitter->SetTopLeftLimit(topLeft);
        f.splitter->SetBottomRightLimit(bottomRight);
        f.drag(QPoint(0, 100), QPoint(releaseX, 100));
        QCOMPARE(f.panel->width(), width);
        QCOMPARE(f.splitter->x(), width);
    }

    void noDropCursorAtTheLimit()
    {
        Form f;
        QCOMPARE(f.splitter->cursor().shape(), Qt::SplitHCursor);
        f.press(QPoint(0, 100));
        f.move(QPoint(500, 100));
        QCOMPARE(f.splitter->cursor().shape(), Qt::ForbiddenCursor);
        QCOMPARE(f.line()->x(), 579 - 1);  // held at the limit
        f.move(QPoint(100, 100));
        QCOMPARE(f.splitter->cursor().shape(), Qt::SplitHCursor);
        QCOMPARE(f.line()->x(), 250 - 1);
        f.release(QPoint(100, 100));
        QCOMPARE(f.splitter->cursor().shape(), Qt::SplitHCursor);
    }

    void escapeCancels()
    {
        Form f;
        f.press(QPoint(0, 100));
        f.move(QPoint(80, 100));
        QTest::keyClick(f.edit, Qt::Key_A);  // other keys reach the focused control
        QVERIFY(f.splitter->Dragging());
        QTest::keyClick(f.edit, Qt::Key_Escape);
        QVERIFY(!f.splitter->Dragging());
        QVERIFY(!f.line());
        f.release(QPoint(80, 100));
        QCOMPARE(f.panel->width(), 150);
        QCOMPARE(f.changed, 0);
        QCOMPARE(f.edit->text(), QStringLiteral("a"));
        QCOMPARE(f.splitter->cursor().shape(), Qt::SplitHCursor);
    }

    void refusedPositions()
    {
        Form f;
        f.splitter->OnPosChanging = [](QObject*, int X, int, bool& AllowChange) { AllowChange = X <= 60; };
        f.press(QPoint(0, 100));
        f.move(QPoint(40, 100));
        QCOMPARE(f.line()->x(), 190 - 1);
        f.move(QPoint(100, 100));
        QCOMPARE(f.splitter->cursor().shape(), Qt::ForbiddenCursor);
        QCOMPARE(f.line()->x(), 190 - 1);  // the line stays
        f.release(QPoint(100, 100));        // refused again: the bar goes where the line is
        QCOMPARE(f.panel->width(), 190);
        QCOMPARE(f.changed, 1);
    }

    void rightDockedPanelGrowsLeftwards()
    {
        Form f(alRight, false);
        QCOMPARE(f.panel->geometry(), QRect(450, 0, 150, 400));
        f.drag(QPoint(0, 50), QPoint(-30, 50));
        QCOMPARE(f.panel->geometry(), QRect(420, 0, 180, 400));
        QCOMPARE(f.client->geometry(), QRect(0, 0, 419, 400));
    }

    void topPanelSplitsHorizontally()
    {
        Form f(alTop);
        f.splitter->resize(600, 4);  // a thicker bar draws a thicker line
        AlignControls(f.window.get());
        QCOMPARE(f.splitter->geometry(), QRect(0, 150, 600, 4));
        QCOMPARE(f.splitter->cursor().shape(), Qt::SplitVCursor);
        f.press(QPoint(300, 1));
        f.move(QPoint(310, 41));
        QCOMPARE(f.line()->geometry(), QRect(0, 191, 600, 2));
        f.release(QPoint(310, 41));
        QCOMPARE(f.panel->geometry(), QRect(0, 0, 600, 190));
        QCOMPARE(f.client->geometry(), QRect(0, 194, 600, 206));
    }

    void noDragWithoutASplitMode()
    {
        Form f;
        SetControlAlign(f.panel, alTop);  // no longer on the bar's side
        QCOMPARE(f.splitter->SplitMode(), 0);
        f.drag(QPoint(0, 100), QPoint(60, 100));
        QVERIFY(!f.line());
        QCOMPARE(f.panel->width(), 150);
        QCOMPARE(f.changed, 0);
    }

    void dockingKeepsThePanelWidth()
    {
        Form f;
        f.drag(QPoint(0, 100), QPoint(-40, 100));
        f.window->resize(800, 300);
        QTRY_COMPARE(f.client->width(), 800 - 110 - 1);
        QCOMPARE(f.panel->geometry(), QRect(0, 0, 110, 300));
    }

    void alignSetter()
    {
        QWidget parent;
        parent.resize(400, 300);
        QWidget* panel = Panel(&parent, PanelColour);
        panel->resize(120, 10);
        SetControlAlign(panel, alLeft);

        // A free bar takes the bar's thickness and finds its control.
        auto* free = new TKitSplitter(&parent);
        free->SetAlign(alLeft);
        QCOMPARE(free->geometry(), QRect(120, 0, 3, 300));
        QCOMPARE(free->ControlFirst(), panel);
        QCOMPARE(free->cursor().shape(), Qt::SplitHCursor);

        // From one edge to another only the docking changes.
        free->resize(5, 300);
        free->SetAlign(alRight);
        QCOMPARE(free->width(), 5);
        QCOMPARE(free->ControlFirst(), panel);  // kept once set

        // A bar being loaded keeps the width it was given.
        auto* loaded = new TKitSplitter(&parent);
        loaded->BeginLoading();
        loaded->resize(1, 3);
        loaded->SetAlign(alLeft);
        loaded->Loaded();
        QCOMPARE(loaded->width(), 1);
    }

    void controlsItMayNotSize()
    {
        QWidget parent;
        auto* splitter = new TKitSplitter(&parent);
        splitter->SetControlFirst(splitter);
        QVERIFY(!splitter->ControlFirst());
        splitter->SetControlSecond(&parent);  // a window
        QVERIFY(!splitter->ControlSecond());
        auto* panel = new QWidget(&parent);
        splitter->SetControlFirst(panel);
        QCOMPARE(splitter->ControlFirst(), panel);
        delete panel;
        QVERIFY(!splitter->ControlFirst());
    }
};

KV_TEST_MAIN(TestSplitter)
#include "tst_splitter.moc"
