#include "Platform.h"
#include "SpeedBar.h"
#include "TestSupport.h"
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>
#include <memory>

// A window with the main window's tool bar: docked at the top, lowered
// bevel, one section "Basic" with five items, and a label and a plain widget
// in the navigator's place on the bar as ordinary children.
class TSpeedForm : public QWidget {
    Q_OBJECT
public:
    TSpeedForm()
    {
        resize(600, 300);
        auto* layout = new TAlignLayout(this);
        ToolBarSystem = new TSpeedBar(this);
        ToolBarSystem->setObjectName(QStringLiteral("ToolBarSystem"));
        ToolBarSystem->SetBevelOuter(bvLowered);
        ToolBarSystem->SetBtnOffsetHorz(3);
        ToolBarSystem->SetBtnOffsetVert(3);
        layout->addDocked(ToolBarSystem, alTop);
        client = new QWidget(this);
        layout->addDocked(client, alClient);

        auto* basic = new TSpeedbarSection(this);
        basic->SetCaption(QStringLiteral("Basic"));
        ToolBarSystem->AddSection(basic);
        const struct {
            const char* name;
            const char* caption;
            const char* hint;
            int left;
        } buttons[] = {{"sbtnPrinterSetup", "Printer Setup", "Printer Setup|", 3},
                     {"sbtnPrint", "Print", "Print|", 27},
                     {"sbtnFile", "CSV File", "Save to csv File|", 51},
                     {"sbtnTabClose", "Close Table", "Close Table", 147},
                     {"sbtnExit", "Exit", "Exit", 179}};
        for (const auto& d : buttons) {
            auto* item = new TSpeedItem(this);
            item->SetName(QString::fromLatin1(d.name));
            ToolBarSystem->AddItem(0, item);
            item->SetCaption(QString::fromLatin1(d.caption));
            item->SetHint(QString::fromLatin1(d.hint));
            item->SetLeft(d.left);
            item->SetTop(3);
            item->SetVisible(true);
            const QString name = item->Name();
            item->OnClick = [this, name](QObject*) { clicks << name; };
            this->items << item;
        }

        lblTestData = new QLabel(QStringLiteral("TEST  DATA"), ToolBarSystem);
        lblTestData->setObjectName(QStringLiteral("lblTestData"));
        lblTestData->setGeometry(0, 6, 80, 17);
        TSpeedBar::SetAnchoredRight(lblTestData, 120);
        dbNavigator = new QWidget(ToolBarSystem);
        dbNavigator->setObjectName(QStringLiteral("dbNavigator"));
        dbNavigator->resize(100, 10);
        SetControlAlign(dbNavigator, alRight);
        ToolBarSystem->AlignControls();
    }

    bool Shown()
    {
        show();
        return QTest::qWaitForWindowExposed(this);
    }
    TSpeedItem* item(int i) const { return items.at(i); }
    TSpeedbarButton* button(int i) const { return items.at(i)->Button(); }

    TSpeedBar* ToolBarSystem;
    QWidget* client;
    QLabel* lblTestData;
    QWidget* dbNavigator;
    QList<TSpeedItem*> items;
    QStringList clicks;
};

namespace {

QPoint Centre(QWidget* w)
{
    return w->rect().center();
}

}  // namespace

class TestSpeedBar : public QObject {
    Q_OBJECT
private slots:
    // ------------------------------------------------------------ grid and placement

    void offsetsFollowTheBevels_data()
    {
        QTest::addColumn<int>("outer");
        QTest::addColumn<int>("inner");
        QTest::addColumn<int>("border");
        QTest::addColumn<bool>("flat");
        QTest::addColumn<int>("offset");
        QTest::newRow("raised, as created") << int(bvRaised) << int(bvNone) << 0 << false << 3;
        QTest::newRow("lowered, as the main window") << int(bvLowered) << int(bvNone) << 0 << false << 3;
        QTest::newRow("no bevel") << int(bvNone) << int(bvNone) << 0 << false << 2;
        QTest::newRow("flat buttons") << int(bvRaised) << int(bvNone) << 0 << true << 1;
        QTest::newRow("two bevels and a border") << int(bvRaised) << int(bvLowered) << 2 << false << 6;
    }
    void offsetsFollowTheBevels()
    {
        QFETCH(int, outer);
        QFETCH(int, inner);
        QFETCH(int, border);
        QFETCH(bool, flat);
        QFETCH(int, offset);
        TSpeedBar bar;
        bar.SetBevelOuter(TPanelBevel(outer));
        bar.SetBevelInner(TPanelBevel(inner));
        bar.SetBorderWidth(border);
        if (flat)
            bar.SetOptions(bar.Options() | sbFlatBtns);
        QCOMPARE(bar.MinButtonsOffset(), offset);
        // An offset below the least is raised to it, by setting or by the
        // bevels growing.
        bar.SetBtnOffsetHorz(0);
        QCOMPARE(bar.BtnOffsetHorz(), offset);
        QVERIFY(bar.BtnOffsetVert() >= offset);
    }

    void gridStep_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("step");
        QTest::newRow("24, the default") << 24 << 8;
        QTest::newRow("16") << 16 << 8;
        QTest::newRow("30") << 30 << 10;
        QTest::newRow("23, a prime") << 23 << 1;
    }
    void gridStep()
    {
        QFETCH(int, width);
        QFETCH(int, step);
        TSpeedBar bar;
        bar.SetBtnWidth(width);
        QCOMPARE(bar.GridStep(), QSize(step, 23));
    }

    void mainWindowItemsStandOnTheGrid()
    {
        TSpeedForm form;
        QVERIFY(form.Shown());
        QCOMPARE(form.ToolBarSystem->height(), 29);
        QCOMPARE(form.button(3)->geometry(), QRect(147, 3, 24, 23));
        QCOMPARE(form.ToolBarSystem->SnapToGrid(QPoint(150, 9)), QPoint(147, 3));
        QCOMPARE(form.ToolBarSystem->SnapToGrid(QPoint(152, 30)), QPoint(155, 26));
    }

    void buttonNeverEntersTheOffsetBand()
    {
        TSpeedForm form;
        form.item(1)->SetTop(0);
        QCOMPARE(form.item(1)->Top(), 3);
        form.button(1)->SetBounds(10, -5, 50, 50);
        QCOMPARE(form.button(1)->geometry(), QRect(10, 3, 24, 23));
        form.ToolBarSystem->SetBtnOffsetVert(5);  // every button moves along
        QCOMPARE(form.item(1)->Top(), 5);
        QCOMPARE(form.item(0)->Top(), 5);
    }

    // ------------------------------------------------------------ sections

    void sectionCaptionsAreUnique()
    {
        TSpeedBar bar;
        for (int i = 0; i < 3; ++i) {
            auto* s = new TSpeedbarSection;
            s->SetCaption(QStringLiteral("Basic"));
            QCOMPARE(bar.AddSection(s), i);
        }
        QCOMPARE(bar.Sections(2)->Caption(), QStringLiteral("Basic (2)"));
        try {
            bar.Sections(2)->SetCaption(QStringLiteral("Basic"));
            QFAIL("a duplicate caption was taken");
        } catch (const ESpeedbarError& e) {
            QCOMPARE(e.Message(), QStringLiteral("String list does not allow duplicates"));
        }
        QCOMPARE(bar.Sections(2)->Caption(), QStringLiteral("Basic (2)"));
        QCOMPARE(bar.SearchSection(QStringLiteral("basic")), -1);
    }

    void itemFindsItsSectionByName()
    {
        TSpeedBar bar;
        auto* item = new TSpeedItem;
        // A bar without sections gets one with an empty caption.
        item->PlaceOnBar(&bar, QStringLiteral("Tools"), 3);
        QCOMPARE(bar.SectionCount(), 1);
        QCOMPARE(bar.Sections(0)->Caption(), QString());
        QCOMPARE(item->SectionIndex(), 0);

        auto* tools = new TSpeedbarSection;
        tools->SetCaption(QStringLiteral("Tools"));
        bar.AddSection(tools);
        auto* second = new TSpeedItem;
        second->PlaceOnBar(&bar, QStringLiteral("Tools"));
        QCOMPARE(second->SectionIndex(), 1);
        auto* third = new TSpeedItem;
        third->PlaceOnBar(&bar, QStringLiteral("Nowhere"));
        QCOMPARE(third->SectionIndex(), 0);
        // An item already on the bar moves; the index is clamped.
        bar.AddItem(7, third);
        QCOMPARE(third->SectionIndex(), 1);
        QCOMPARE(bar.ItemsCount(0), 1);
        QCOMPARE(bar.ItemsCount(1), 2);
    }

    void removingASectionFreesItsItems()
    {
        TSpeedForm form;
        QPointer<TSpeedItem> print = form.item(1);
        QPointer<TSpeedbarButton> button = form.button(1);
        form.ToolBarSystem->RemoveSection(0);
        QCOMPARE(form.ToolBarSystem->SectionCount(), 0);
        QVERIFY(print.isNull());
        QVERIFY(button.isNull());
        form.items.clear();
    }

    // ------------------------------------------------------------ visibility and enabled state

    void hiddenItemsAndHiddenBar()
    {
        TSpeedForm form;
        form.item(2)->SetVisible(false);
        QVERIFY(form.Shown());
        form.ToolBarSystem->hide();
        form.ToolBarSystem->show();
        QVERIFY(form.button(2)->isHidden());  // showing the bar again keeps a hidden item hidden
        QVERIFY(form.button(1)->isVisible());
        // A hidden item's button takes no click.
        form.item(4)->SetVisible(false);
        QTest::mouseClick(form.ToolBarSystem, Qt::LeftButton, {}, QPoint(190, 14));
        QVERIFY(form.clicks.isEmpty());
    }

    void disabledItemsTakeNoClick()
    {
        TSpeedForm form;
        QVERIFY(form.Shown());
        form.item(3)->SetEnabled(false);
        QVERIFY(!form.button(3)->isEnabled());
        QTest::mouseClick(form.button(3), Qt::LeftButton, {}, Centre(form.button(3)));
        QVERIFY(form.clicks.isEmpty());

        // The bar's state comes on top of the item's.
        form.ToolBarSystem->setEnabled(false);
        QVERIFY(!form.button(1)->isEnabled());
        form.ToolBarSystem->setEnabled(true);
        QVERIFY(form.button(1)->isEnabled());
        QVERIFY(!form.button(3)->isEnabled());

        // While customising every button is enabled and none is flat.
        form.ToolBarSystem->SetOptions(form.ToolBarSystem->Options() | sbFlatBtns);
        QVERIFY(form.button(1)->Flat());
        form.ToolBarSystem->StartEditing();
        QVERIFY(form.button(3)->isEnabled());
        QVERIFY(!form.button(1)->Flat());
        form.ToolBarSystem->EndEditing();
        QVERIFY(!form.button(3)->isEnabled());
        QVERIFY(form.button(1)->Flat());
    }

    void clickingAnItemRunsItsHandler()
    {
        TSpeedForm form;
        QVERIFY(form.Shown());
        QObject* sender = nullptr;
        form.item(1)->OnClick = [&](QObject* s) { sender = s; form.clicks << QStringLiteral("print"); };
        QTest::mouseClick(form.button(1), Qt::LeftButton, {}, Centre(form.button(1)));
        QCOMPARE(form.clicks, QStringList{QStringLiteral("print")});
        QCOMPARE(sender, form.button(1));
        form.item(0)->ButtonClick();
        QCOMPARE(form.clicks.last(), QStringLiteral("sbtnPrinterSetup"));
    }

    void hintsShowTheirShortPartWhileTheBarShowsHints()
    {
        TSpeedForm form;
        QCOMPARE(form.button(2)->toolTip(), QStringLiteral("Save to csv File"));
        QCOMPARE(form.button(4)->toolTip(), QStringLiteral("Exit"));
        form.ToolBarSystem->SetShowHint(false);
        QCOMPARE(form.button(2)->toolTip(), QString());
    }

    void captionToHint_data()
    {
        QTest::addColumn<QString>("oldHint");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        // The old caption is "Print" in every row.
        QTest::newRow("plain caption, hint with an empty long part") << "Print|" << "Output" << "Output|";
        QTest::newRow("plain caption keeps the long part") << "Print|Prints the page" << "Output"
                                                           << "Output|Prints the page";
        QTest::newRow("caption with a long part is the hint") << "Print|Prints" << "Output|Sends it out"
                                                              << "Output|Sends it out";
        QTest::newRow("caption with an empty long part keeps the old one") << "Print|Prints" << "Output|"
                                                                           << "Output|Prints";
        QTest::newRow("a hint of its own is left alone") << "Send to the printer|" << "Output"
                                                         << "Send to the printer|";
    }
    void captionToHint()
    {
        QFETCH(QString, oldHint);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        TSpeedBar bar;
        auto* item = new TSpeedItem;
        bar.AddItem(0, item);
        item->SetCaption(QStringLiteral("Print"));
        item->SetHint(oldHint);
        item->SetCaption(caption);
        QCOMPARE(item->Caption(), caption);
        QCOMPARE(item->Hint(), hint);
    }

    // ------------------------------------------------------------ orientation and docking

    void alignDecidesTheOrientation()
    {
        TSpeedForm form;
        QVERIFY(form.Shown());
        form.ToolBarSystem->SetBtnOffsetHorz(5);
        const QPoint before = form.button(3)->pos();
        form.ToolBarSystem->SetAlign(alLeft);
        QCOMPARE(form.ToolBarSystem->Orientation(), boVertical);
        QCOMPARE(form.ToolBarSystem->BtnWidth(), 23);
        QCOMPARE(form.ToolBarSystem->BtnHeight(), 24);
        QCOMPARE(form.button(3)->pos(), QPoint(before.y(), before.x()));
        // Docked at the left, the bar keeps its thickness across.
        QCOMPARE(form.ToolBarSystem->geometry(), QRect(0, 0, 29, 300));
        form.ToolBarSystem->SetAlign(alBottom);
        QCOMPARE(form.ToolBarSystem->Orientation(), boHorizontal);
        QCOMPARE(form.button(3)->pos(), before);
        QCOMPARE(form.ToolBarSystem->geometry(), QRect(0, 300 - 29, 600, 29));
    }

    void noneOrClientRefusedWhileAuto_data()
    {
        QTest::addColumn<int>("align");
        QTest::newRow("alNone") << int(alNone);
        QTest::newRow("alClient") << int(alClient);
    }
    void noneOrClientRefusedWhileAuto()
    {
        QFETCH(int, align);
        TSpeedForm form;
        try {
            form.ToolBarSystem->SetAlign(TAlign(align));
            QFAIL("the docking was taken");
        } catch (const ESpeedbarError& e) {
            QCOMPARE(e.Message(), QStringLiteral("Cannot set this property value while Position is bpAuto"));
        }
        QCOMPARE(form.ToolBarSystem->Align(), alTop);
        form.ToolBarSystem->SetPosition(bpCustom);
        form.ToolBarSystem->SetAlign(TAlign(align));
        QCOMPARE(int(form.ToolBarSystem->Align()), align);
        QCOMPARE(form.ToolBarSystem->Orientation(), boHorizontal);
    }

    void draggingTheBarDocksItToTheNearestEdge()
    {
        TSpeedForm form;
        QVERIFY(form.Shown());
        TSpeedBar* bar = form.ToolBarSystem;
        QList<TAlign> offered;
        bar->OnApplyAlign = [&](QObject*, TAlign a, bool&) { offered << a; };
        // A click on the bar leaves it where it is.
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(300, 10));
        QCOMPARE(bar->Align(), alTop);
        QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(300, 10));
        QTest::mouseMove(bar, QPoint(300, 150));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(590, 150));
        QCOMPARE(offered, QList<TAlign>{alRight});
        QCOMPARE(bar->Align(), alRight);
        QCOMPARE(bar->Orientation(), boVertical);
    }

    // A parent with a layout of its own would keep the bar in its place,
    // turned on end: the drop is ignored.
    void dropIgnoredWhereTheParentDoesNotDock()
    {
        QWidget window;
        auto* column = new QVBoxLayout(&window);
        auto* bar = new TSpeedBar(&window);
        column->addWidget(bar);
        column->addWidget(new QWidget(&window), 1);
        window.resize(600, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(bar->Options() & sbAllowDrag);
        const QRect before = bar->geometry();
        QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(300, 10));
        QTest::mouseMove(bar, QPoint(5, 200));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(5, 200));
        QCOMPARE(bar->Align(), alTop);
        QCOMPARE(bar->Orientation(), boHorizontal);
        QCOMPARE(bar->geometry(), before);
    }

    // ------------------------------------------------------------ children on the bar

    void ordinaryChildrenSitOnTheBar()
    {
        TSpeedForm form;
        QVERIFY(form.Shown());
        // Docked right inside the lowered bevel.
        QCOMPARE(form.dbNavigator->geometry(), QRect(600 - 1 - 100, 1, 100, 29 - 2));
        // The label keeps its distance to the right edge.
        QCOMPARE(form.lblTestData->x(), 600 - 120 - 80);
        form.resize(700, 300);
        QCOMPARE(form.lblTestData->x(), 500);
        // A navigator shown later, at another width, is docked then.
        form.dbNavigator->hide();
        form.dbNavigator->resize(60, 10);
        form.dbNavigator->show();
        QCOMPARE(form.dbNavigator->geometry(), QRect(700 - 1 - 60, 1, 60, 29 - 2));
    }

    // ------------------------------------------------------------ customising

    void customisingDragSnapsToTheGrid()
    {
        TSpeedForm form;
        QVERIFY(form.Shown());
        TSpeedbarButton* print = form.button(1);
        // Outside customising mode a drag is a press.
        QTest::mousePress(print, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(print, Qt::LeftButton, {}, QPoint(80, 5));
        QCOMPARE(print->x(), 27);

        form.ToolBarSystem->StartEditing();
        // Dropped with its left edge at 100: the grid place nearest to it.
        QTest::mousePress(print, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(form.findChild<TBtnControl*>() != nullptr);
        QTest::mouseMove(print, QPoint(78, 6));
        QTest::mouseRelease(print, Qt::LeftButton, {}, QPoint(78, 6));
        QCOMPARE(print->pos(), QPoint(99, 3));
        QVERIFY(form.findChild<TBtnControl*>() == nullptr);
        QVERIFY(form.clicks.isEmpty());

        // Dropped off the bar, the item leaves it.
        QTest::mousePress(print, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(print, Qt::LeftButton, {}, QPoint(5, 200));
        QVERIFY(!form.item(1)->Visible());
        QVERIFY(print->isHidden());
        form.ToolBarSystem->EndEditing();
    }

    void setupWindowBringsAnItemBack()
    {
        TSpeedForm form;
        QVERIFY(form.Shown());
        int customized = 0;
        form.ToolBarSystem->OnCustomize = [&](QObject*) { ++customized; };
        form.item(0)->SetVisible(false);
        form.ToolBarSystem->Customize();
        QCOMPARE(customized, 1);
        QVERIFY(form.ToolBarSystem->Editing());
        TSpeedbarSetupWindow* setup = form.ToolBarSystem->SetupWindow();
        QVERIFY(setup);
        QCOMPARE(setup->ButtonsList()->count(), 5);
        QCOMPARE(setup->ButtonsList()->item(0)->text(), QStringLiteral("Printer Setup"));
        // Back on the bar at the first free grid place.
        setup->ToggleItem(0);
        QVERIFY(form.item(0)->Visible());
        QCOMPARE(form.item(0)->Left(), 3);
        form.item(2)->SetVisible(false);
        form.item(2)->SetLeft(300);
        setup->ToggleItem(2);
        QCOMPARE(form.item(2)->Left(), 51);  // 3 and 27 are taken, the places between overlap them
        setup->ToggleItem(1);
        QVERIFY(!form.item(1)->Visible());
        setup->close();
        QVERIFY(!form.ToolBarSystem->Editing());
    }

    // ------------------------------------------------------------ layout storage

    void layoutIsKeptThroughThePlacement()
    {
        const QString file = SettingsFolder() + QStringLiteral("SpeedBar.ini");
        QFile::remove(file);
        {
            TSpeedForm form;
            TFormPlacement placement(&form);
            placement.SetIniFileName(file);
            form.ToolBarSystem->SetIniStorage(&placement);
            form.ToolBarSystem->SetVersion(2);
            form.item(4)->SetStored(false);
            form.item(3)->SetVisible(false);
            placement.SetActive(false);
            placement.SaveFormPlacement();
        }
        const QString section = QStringLiteral("TSpeedForm\\TSpeedFormToolBarSystem");
        TIniFile ini(file);
        QCOMPARE(ini.ReadSection(section),
                 (QStringList{QStringLiteral("Position"), QStringLiteral("Width"), QStringLiteral("Version"),
                              QStringLiteral("PixelsPerInch"), QStringLiteral("BtnWidth"), QStringLiteral("BtnHeight"),
                              QStringLiteral("Button1"), QStringLiteral("Button2"), QStringLiteral("Button3"),
                              QStringLiteral("Count")}));
        QCOMPARE(ini.ReadString(section, QStringLiteral("Position"), QString()), QString::number(alTop));
        QCOMPARE(ini.ReadString(section, QStringLiteral("Width"), QString()), QStringLiteral("29"));
        QCOMPARE(ini.ReadString(section, QStringLiteral("Button2"), QString()), QStringLiteral("sbtnPrint,27,3"));
        QCOMPARE(ini.ReadString(section, QStringLiteral("Count"), QString()), QStringLiteral("3"));

        TSpeedForm form;
        TFormPlacement placement(&form);
        placement.SetIniFileName(file);
        form.ToolBarSystem->SetIniStorage(&placement);
        form.item(1)->SetLeft(99);
        form.ToolBarSystem->SetVersion(3);  // a newer layout ignores the stored one
        placement.RestoreFormPlacement();
        QCOMPARE(form.item(1)->Left(), 99);
        form.ToolBarSystem->SetVersion(2);
        placement.RestoreFormPlacement();
        QCOMPARE(form.item(1)->Left(), 27);
        QVERIFY(form.item(0)->Visible());
        QVERIFY(!form.item(3)->Visible());
        QVERIFY(!form.item(4)->Visible());  // not stored, so hidden
    }
};

KV_TEST_MAIN(TestSpeedBar)
#include "tst_speedbar.moc"
