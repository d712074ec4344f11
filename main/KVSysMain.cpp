#include "KVSysMain.h"
#include "About.h"
#include "AccessRightsSys.h"
#include "AppUtils.h"
#include "AuditTrail.h"
#include "ComCtrls.h"
#include "CommonControlFns.h"
#include "Application.h"
#include "DBCtrls.h"
#include "DBModel.h"
#include "KitDBCtrl.h"
#include "KitSplit.h"
#include "Placemnt.h"
#include "SpeedBar.h"
#include "DataMod.h"
#include "GenFns.h"
#include "GenericPrint.h"
#include "Dialogs.h"
#include "OperatorIdentity.h"
#include "PageQueries.h"
#include "Platform.h"
#include "RecordEditor.h"  // ScaleToFont
#include "RowKey.h"
#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QShortcut>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <limits>

TMainForm* MainForm = nullptr;
int ActivePageID = 0;
bool TreePainting = false;
bool MainFormCreating = false;

namespace {
// Rows a page asks the engine for first: more than a screen shows.
constexpr int kFirstWindowRows = 100;

const QString kCaption = QStringLiteral("Brellinghast System Tables");
const QString kRowGoneFromPage = QStringLiteral("The row you picked is no longer on this page. No row is picked now.");

// A handler of the window as a guarded slot: what it raises is shown and
// stops there.
template <typename Handler>
auto handlerOf(TMainForm* form, Handler h)
{
    return Guarded([form, h] { (form->*h)(); });
}

enum class ToolGlyph { PrinterSetup, Print, File, Close, Exit };

// The tool bar's pictures, drawn at 16 by 16 on the olive the speed buttons
// take as transparent.
QImage toolGlyph(ToolGlyph kind)
{
    QImage img(16, 16, QImage::Format_RGB32);
    const QColor olive(128, 128, 0);
    img.fill(olive);
    QPainter p(&img);
    p.setPen(Qt::black);
    switch (kind) {
    case ToolGlyph::PrinterSetup:
    case ToolGlyph::Print:
        p.fillRect(4, 1, 8, 6, Qt::white);  // paper
        p.drawRect(4, 1, 7, 5);
        p.fillRect(1, 6, 14, 6, QColor(192, 192, 192));  // printer body
        p.drawRect(1, 6, 13, 5);
        p.fillRect(4, 11, 8, 4, Qt::white);
        p.drawRect(4, 11, 7, 3);
        if (kind == ToolGlyph::PrinterSetup) {
            p.setPen(QColor(0, 0, 128));
            p.drawLine(9, 8, 14, 3);  // a pencil over it
            p.drawLine(10, 8, 15, 3);
        } else {
            p.fillRect(12, 8, 2, 2, Qt::green);
        }
        break;
    case ToolGlyph::File:
        p.fillRect(3, 1, 10, 14, Qt::white);
        p.drawRect(3, 1, 9, 13);
        p.setPen(QColor(0, 128, 0));
        for (int y = 4; y <= 12; y += 2)
            p.drawLine(5, y, 10, y);
        break;
    case ToolGlyph::Close:
        p.fillRect(2, 2, 12, 12, Qt::white);
        p.drawRect(2, 2, 11, 11);
        p.setPen(QPen(QColor(128, 0, 0), 2));
        p.drawLine(5, 5, 10, 10);
        p.drawLine(10, 5, 5, 10);
        break;
    case ToolGlyph::Exit:
        p.fillRect(3, 1, 9, 14, QColor(128, 64, 0));  // a door
        p.drawRect(3, 1, 8, 13);
        p.fillRect(9, 8, 2, 2, Qt::yellow);
        break;
    }
    return img;
}

}  // namespace

TMainForm::TMainForm(const QStringList& args, QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(kCaption);
    resize(1000, 680);
    MainForm = this;
    Operator().OnFullNameChanged = [this](const QString& name) { SetOperatorFullName(name); };
    buildLayout();
    buildMenu();
    buildPages();
    // The window's placement and the tree's width are kept between runs; a
    // first run opens maximized.
    SetFormPosition(this, poDefault);
    SetApplicationMainForm(this);
    MainFormFormStorage = new TFormStorage(this);
    MainFormFormStorage->setObjectName(QStringLiteral("MainFormFormStorage"));
    MainFormFormStorage->SetIniFileName(SettingsFolder() + QStringLiteral("Tarvalis.ini"));
    MainFormFormStorage->SetStoredProps({QStringLiteral("panelLeftSystem.Width")});
    MainFormFormStorage->Loaded();
    qry = new TQuery(this, QLatin1String(kDatabaseName));
    qry->setObjectName(QStringLiteral("qry"));
    Timebomb = new QTimer(this);
    Timebomb->setObjectName(QStringLiteral("Timebomb"));
    Timebomb->setInterval(100);
    connect(Timebomb, &QTimer::timeout, this, handlerOf(this, &TMainForm::ActionExit));
    try {
        FormCreate(args);
    } catch (...) {
        Operator().OnFullNameChanged = nullptr;
        MainForm = nullptr;
        throw;
    }
    // The smallest window keeps the bars whole beside the tree, however wide
    // the tree is made; a tree kept from the last run that would leave the
    // bar no room on this screen is made narrower.
    updateMinimumSize(true);
    KitSplitterSystem->OnPosChanged = [this](QObject*) { updateMinimumSize(); };
    MainFormFormStorage->OnRestorePlacement = [this](QObject*) { updateMinimumSize(true); };
}

void TMainForm::updateMinimumSize(bool fitTree)
{
    // The filter bar needs its width as the font gave it, or, where the
    // screen is narrower than the tree and that bar, as little as its
    // inputs may give up.
    const int tight = m_filterNatural - m_filterGive;
    int room = std::numeric_limits<int>::max();
    if (const QScreen* s = screen())
        room = s->availableGeometry().width() - (frameGeometry().width() - width());
    const int splitter = KitSplitterSystem->width();
    if (fitTree) {
        const int floor = TreeViewSystem->fontMetrics().averageCharWidth() * 12;
        const int spare = room - splitter - tight;
        if (panelLeftSystem->width() > spare && panelLeftSystem->width() > floor)
            panelLeftSystem->resize(qMax(spare, floor), panelLeftSystem->height());
    }
    const int filterWidth = qBound(tight, room - panelLeftSystem->width() - splitter, m_filterNatural);
    // The splitter leaves the pages at least that wide.
    KitSplitterSystem->SetBottomRightLimit(filterWidth);

    // The speed bar: its items, then the test label and the navigator at
    // its right end.
    int barWidth = 0;
    ToolBarSystem->ForEachItem([this, &barWidth](TSpeedItem* item) {
        if (item->Visible())
            barWidth = qMax(barWidth, item->Left() + ToolBarSystem->BtnWidth());
    });
    barWidth += 8 + lblTestData->width() + 8 + dbNavigator->width() + ToolBarSystem->BtnOffsetHorz();

    // The tree with its largest group open needs no scroll bar; the pages
    // show their tabs and a few rows under the filter bar.
    int rows = TreeViewSystem->topLevelItemCount();
    int largest = 0;
    for (int i = 0; i < TreeViewSystem->topLevelItemCount(); ++i)
        largest = qMax(largest, TreeViewSystem->topLevelItem(i)->childCount());
    rows += largest;
    const int rowHeight = rows > 0 ? TreeViewSystem->sizeHintForRow(0) : 0;
    const int treeHeight = rows * qMax(rowHeight, TreeViewSystem->fontMetrics().height()) +
                           2 * TreeViewSystem->frameWidth() + 4;
    const int pagesHeight = panelTopOfTab->height() + 8 * fontMetrics().height();

    const int width = qMax(panelLeftSystem->width() + KitSplitterSystem->width() + filterWidth, barWidth);
    const int height = menuBar()->sizeHint().height() + ToolBarSystem->height() + qMax(treeHeight, pagesHeight);
    setMinimumSize(width, height);
}

TMainForm::~TMainForm()
{
    Operator().OnFullNameChanged = nullptr;
    if (MainForm == this)
        MainForm = nullptr;
}

void TMainForm::buildLayout()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("MainClient"));
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    ToolBarSystem = new TSpeedBar(central);
    ToolBarSystem->setObjectName(QStringLiteral("ToolBarSystem"));
    ToolBarSystem->SetBevelOuter(bvLowered);
    ToolBarSystem->SetBtnOffsetHorz(3);
    ToolBarSystem->SetBtnOffsetVert(3);
    ToolBarSystem->SetOptions(ToolBarSystem->Options() & ~sbAllowDrag);  // it stays at the top
    auto* basic = new TSpeedbarSection(ToolBarSystem);
    basic->SetCaption(QStringLiteral("Basic"));
    ToolBarSystem->AddSection(basic);
    auto tool = [this](const char* name, const char* caption, const char* hint, int left, ToolGlyph glyph,
                       void (TMainForm::*handler)()) {
        auto* item = new TSpeedItem(this);
        item->SetName(QLatin1String(name));
        ToolBarSystem->AddItem(0, item);
        item->SetCaption(QLatin1String(caption));
        item->SetHint(QLatin1String(hint));  // after the caption, which sets a hint of its own
        item->SetLeft(left);
        item->SetTop(3);
        item->SetGlyph(toolGlyph(glyph));
        item->SetVisible(true);
        item->OnClick = [this, handler](QObject*) { RunGuarded([this, handler] { (this->*handler)(); }); };
        return item;
    };
    sbtnPrinterSetup = tool("sbtnPrinterSetup", "Printer Setup", "Printer Setup|", 3, ToolGlyph::PrinterSetup,
                            &TMainForm::mnuMainFilePrinterSetupClick);
    sbtnPrint = tool("sbtnPrint", "Print", "Print|", 27, ToolGlyph::Print, &TMainForm::ActionPrintCurrentTab);
    sbtnFile = tool("sbtnFile", "CSV File", "Save to csv File|", 51, ToolGlyph::File, &TMainForm::ActionFileCurrentTab);
    sbtnTabClose = tool("sbtnTabClose", "Close Table", "Close Table", 147, ToolGlyph::Close, &TMainForm::ActionTabClose);
    sbtnExit = tool("sbtnExit", "Exit", "Exit", 179, ToolGlyph::Exit, &TMainForm::ActionExit);

    lblTestData = new QLabel(QStringLiteral("TEST  DATA"), ToolBarSystem);
    lblTestData->setObjectName(QStringLiteral("lblTestData"));
    QFont bold = lblTestData->font();
    bold.setBold(true);
    lblTestData->setFont(bold);
    lblTestData->setAutoFillBackground(true);
    QPalette pal = lblTestData->palette();
    pal.setColor(QPalette::Window, palette().color(QPalette::Dark));  // the button-shadow colour
    pal.setColor(QPalette::WindowText, Qt::yellow);
    lblTestData->setPalette(pal);
    lblTestData->setContentsMargins(6, 2, 6, 2);
    lblTestData->adjustSize();
    lblTestData->move(0, 6);
    lblTestData->hide();
    dbNavigator = new TDBNavigator(ToolBarSystem);
    dbNavigator->setObjectName(QStringLiteral("dbNavigator"));
    dbNavigator->resize(dbNavigator->sizeHint().width(), 25);
    dbNavigator->hide();
    SetControlAlign(dbNavigator, alRight);  // re-docked whenever shown or hidden
    TSpeedBar::SetAnchoredRight(lblTestData, dbNavigator->width() + 8);
    outer->addWidget(ToolBarSystem);

    // The tree on the left, the pages on the right, the splitter between:
    // docked edge by edge, so the splitter resizes the left panel.
    auto* body = new QWidget(central);
    auto* row = new TAlignLayout(body);

    panelLeftSystem = new QWidget(body);
    panelLeftSystem->setObjectName(QStringLiteral("panelLeftSystem"));
    // Its width, until the operator sets another, grows with the desktop's
    // font as the tables' names do.
    panelLeftSystem->resize(ScaledPixels(185, FontScale(panelLeftSystem->font()).width()), 400);
    auto* left = new QVBoxLayout(panelLeftSystem);
    left->setContentsMargins(0, 0, 0, 0);
    TreeViewSystem = new QTreeWidget(panelLeftSystem);
    TreeViewSystem->setObjectName(QStringLiteral("TreeViewSystem"));
    TreeViewSystem->setHeaderHidden(true);
    TreeViewSystem->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeViewSystem->setMouseTracking(true);  // hot tracking
    QPalette tp = TreeViewSystem->palette();
    tp.setColor(QPalette::Base, QColor(192, 192, 192));  // silver
    // The selection stays visible while the tree is not focused.
    tp.setColor(QPalette::Inactive, QPalette::Highlight, tp.color(QPalette::Active, QPalette::Highlight));
    tp.setColor(QPalette::Inactive, QPalette::HighlightedText, tp.color(QPalette::Active, QPalette::HighlightedText));
    TreeViewSystem->setPalette(tp);
    left->addWidget(TreeViewSystem);
    row->addDocked(panelLeftSystem, alLeft);

    KitSplitterSystem = new TKitSplitter(body);
    KitSplitterSystem->setObjectName(QStringLiteral("KitSplitterSystem"));
    KitSplitterSystem->BeginLoading();
    KitSplitterSystem->resize(1, 400);
    KitSplitterSystem->SetAlign(alLeft);
    KitSplitterSystem->SetControlFirst(panelLeftSystem);
    KitSplitterSystem->Loaded();
    row->addWidget(KitSplitterSystem);

    panelRightSystem = new QWidget(body);
    panelRightSystem->setObjectName(QStringLiteral("panelRightSystem"));
    auto* right = new QVBoxLayout(panelRightSystem);
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(0);
    panelTopOfTab = new QWidget(panelRightSystem);
    panelTopOfTab->setObjectName(QStringLiteral("panelTopOfTab"));
    panelTopOfTab->setFixedHeight(44);
    panelTopOfTab->hide();
    right->addWidget(panelTopOfTab);
    buildFilterBar();
    SysPageControl = new TPageControl(panelRightSystem);
    SysPageControl->setObjectName(QStringLiteral("SysPageControl"));
    right->addWidget(SysPageControl, 1);
    row->addDocked(panelRightSystem, alClient);
    outer->addWidget(body, 1);
    setCentralWidget(central);

    // The tree reports a change 50 ms after it happens, so moving through it
    // with the keys does not open every page on the way.
    auto* changeDelay = new QTimer(this);
    changeDelay->setSingleShot(true);
    changeDelay->setInterval(50);
    connect(TreeViewSystem, &QTreeWidget::currentItemChanged, this, [this, changeDelay](QTreeWidgetItem* item) {
        if (TreePainting)
            return;
        if (item && item->childCount() > 0)
            item->setExpanded(true);  // auto-expand
        changeDelay->start();
    });
    // One group open at a time: the tree then needs no scroll bar, and the
    // table names keep their whole width.
    connect(TreeViewSystem, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* opened) {
        if (TreePainting || opened->parent())
            return;
        for (int i = 0; i < TreeViewSystem->topLevelItemCount(); ++i)
            if (QTreeWidgetItem* group = TreeViewSystem->topLevelItem(i); group != opened)
                group->setExpanded(false);
    });
    connect(changeDelay, &QTimer::timeout, this, Guarded([this] {
        if (!TreePainting)
            TreeViewSystemChange();
    }));
    connect(SysPageControl, &TPageControl::currentChanged, this,
            handlerOf(this, &TMainForm::SysPageControlChange));
}

void TMainForm::buildFilterBar()
{
    QWidget* bar = panelTopOfTab;
    QFont bold = bar->font();
    bold.setBold(true);

    cbField = new QComboBox(bar);
    cbField->setObjectName(QStringLiteral("cbField"));
    cbField->setToolTip(QStringLiteral("Field to apply the filter"));
    cbField->setFont(bold);
    cbField->setGeometry(6, 10, 170, 24);
    cbField->setMaxVisibleItems(20);

    edtValue = new QLineEdit(bar);
    edtValue->setObjectName(QStringLiteral("edtValue"));
    edtValue->setFont(bold);
    edtValue->setGeometry(184, 10, 170, 24);
    // Every letter typed becomes a capital.
    TypeCapitals(edtValue);

    cbActive = new QCheckBox(QStringLiteral("Current"), bar);
    cbActive->setObjectName(QStringLiteral("cbActive"));
    cbActive->setChecked(true);
    cbActive->setGeometry(364, 3, 100, 18);
    cbNotActive = new QCheckBox(QStringLiteral("Terminated"), bar);
    cbNotActive->setObjectName(QStringLiteral("cbNotActive"));
    cbNotActive->setGeometry(364, 22, 100, 18);

    auto button = [bar](const char* name, const QString& caption, int left) {
        auto* b = new QPushButton(caption, bar);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(left, 9, 64, 26);
        return b;
    };
    btnClear = button("btnClear", QStringLiteral("&Clear"), 470);
    btnApply = button("btnApply", QStringLiteral("A&pply"), 538);
    btnAdd = button("btnAdd", QStringLiteral("&Add"), 620);
    btnDel = button("btnDel", QStringLiteral("&Del"), 688);

    connect(cbField, QOverload<int>::of(&QComboBox::activated), this, handlerOf(this, &TMainForm::cbFieldChange));
    connect(cbActive, &QCheckBox::clicked, this, handlerOf(this, &TMainForm::cbActiveClick));
    connect(cbNotActive, &QCheckBox::clicked, this, handlerOf(this, &TMainForm::cbNotActiveClick));
    connect(btnClear, &QPushButton::clicked, this, handlerOf(this, &TMainForm::btnClearClick));
    connect(btnApply, &QPushButton::clicked, this, handlerOf(this, &TMainForm::btnApplyFilterClick));
    connect(btnAdd, &QPushButton::clicked, this, handlerOf(this, &TMainForm::btnAddClick));
    connect(btnDel, &QPushButton::clicked, this, handlerOf(this, &TMainForm::btnDeleteClick));
    // Apply is the window's default button and Clear its cancel button: Enter
    // and Escape reach them from anywhere in the window while the bar shows.
    for (auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* apply = new QShortcut(QKeySequence(key), bar);
        apply->setContext(Qt::WindowShortcut);
        connect(apply, &QShortcut::activated, btnApply, &QPushButton::click);
    }
    auto* clear = new QShortcut(QKeySequence(Qt::Key_Escape), bar);
    clear->setContext(Qt::WindowShortcut);
    connect(clear, &QShortcut::activated, btnClear, &QPushButton::click);
    // The bar and its controls grow with the desktop's font as the editors do.
    ScaleToFont(bar);
    int left = std::numeric_limits<int>::max();
    for (QWidget* w : bar->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        m_filterPlaces.append({w, w->geometry()});
        m_filterNatural = qMax(m_filterNatural, w->geometry().right() + 1);
        left = qMin(left, w->x());
        if (w == cbField || w == edtValue)
            m_filterGive += w->width() / 2;
    }
    m_filterNatural += qMax(left, 0);  // the margin of its left edge on the right as well
    bar->installEventFilter(this);
}

void TMainForm::placeFilterBar()
{
    // The inputs give what the bar lacks, each in proportion to its width;
    // the controls right of them move left by what they gave.
    const int lack = qBound(0, m_filterNatural - panelTopOfTab->width(), m_filterGive);
    const int shrinkable = 2 * m_filterGive;
    int given = 0;
    for (const auto& [w, place] : m_filterPlaces) {
        QRect r = place.translated(-given, 0);
        if (w == cbField || w == edtValue) {
            const int give = shrinkable > 0 ? lack * place.width() / shrinkable : 0;
            r.setWidth(place.width() - give);
            given += give;
        }
        w->setGeometry(r);
    }
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == panelTopOfTab && event->type() == QEvent::Resize)
        placeFilterBar();
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::buildMenu()
{
    QMenuBar* menu = menuBar();
    menu->setObjectName(QStringLiteral("MenuSystem"));
    QMenu* file = menu->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    mnuFilePrintSetup = file->addAction(QStringLiteral("Printer set&up"));
    mnuFilePrintSetup->setObjectName(QStringLiteral("mnuFilePrintSetup"));
    connect(mnuFilePrintSetup, &QAction::triggered, this, handlerOf(this, &TMainForm::mnuFilePrintSetupClick));
    mnuFilePrint = file->addAction(QStringLiteral("&Print"));
    mnuFilePrint->setObjectName(QStringLiteral("mnuFilePrint"));
    connect(mnuFilePrint, &QAction::triggered, this, handlerOf(this, &TMainForm::ActionPrintCurrentTab));
    mnuFileCloseTab = file->addAction(QStringLiteral("&Close Tab"));
    mnuFileCloseTab->setObjectName(QStringLiteral("mnuFileCloseTab"));
    connect(mnuFileCloseTab, &QAction::triggered, this, handlerOf(this, &TMainForm::ActionTabClose));
    file->addSeparator();
    mnuFileExit = file->addAction(QStringLiteral("E&xit"));
    mnuFileExit->setObjectName(QStringLiteral("mnuFileExit"));
    connect(mnuFileExit, &QAction::triggered, this, handlerOf(this, &TMainForm::mnuFileExitClick));

    menu->addMenu(QStringLiteral("&Options"))->setObjectName(QStringLiteral("mnuOptions"));
    menu->addMenu(QStringLiteral("&Reports"))->setObjectName(QStringLiteral("mnuReports"));
    menu->addMenu(QStringLiteral("&View"))->setObjectName(QStringLiteral("mnuView"));
    QMenu* update = menu->addMenu(QStringLiteral("&Update"));
    update->setObjectName(QStringLiteral("mnuUpdate"));
    mnuUpdateSystemData = update->addAction(QStringLiteral("&System data"));
    mnuUpdateSystemData->setObjectName(QStringLiteral("mnuUpdateSystemData"));

    mnuTools = menu->addMenu(QStringLiteral("&Tools"));
    mnuTools->setObjectName(QStringLiteral("mnuTools"));
    mnuToolsSelectMainDatabaseItem = mnuTools->addAction(QStringLiteral("Select &Main Database"));
    mnuToolsSelectMainDatabaseItem->setObjectName(QStringLiteral("mnuToolsSelectMainDatabaseItem"));
    connect(mnuToolsSelectMainDatabaseItem, &QAction::triggered, this,
            handlerOf(this, &TMainForm::mnuToolsSelectMainDatabaseItemClick));
    mnuToolsSelectTestDatabaseItem = mnuTools->addAction(QStringLiteral("Select &Test Database"));
    mnuToolsSelectTestDatabaseItem->setObjectName(QStringLiteral("mnuToolsSelectTestDatabaseItem"));
    connect(mnuToolsSelectTestDatabaseItem, &QAction::triggered, this,
            handlerOf(this, &TMainForm::mnuToolsSelectTestDatabaseItemClick));

    QMenu* help = menu->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpAbout = help->addAction(QStringLiteral("&About"));
    mnuHelpAbout->setObjectName(QStringLiteral("mnuHelpAbout"));
    connect(mnuHelpAbout, &QAction::triggered, this, handlerOf(this, &TMainForm::mnuHelpAboutClick));
}

void TMainForm::buildGrid(TPage& page)
{
    // The grids never edit in place; titles are push buttons that sort.
    auto* grid = new TKitDBGrid(page.Sheet);
    grid->setObjectName(QLatin1String(page.Info->Grid));
    grid->SetOptions(dgTitles | dgIndicator | dgColumnResize | dgColLines | dgRowLines | dgAlwaysShowSelection |
                     dgConfirmDelete | dgCancelOnExit);
    grid->SetTitleButtons(true);
    TFont titleFont = grid->TitleFont();
    titleFont.Font.setBold(true);
    grid->SetTitleFont(titleFont);
    for (const TGridColumn& c : page.Columns)
        grid->Columns().Add(c.FieldName, c.Title);
    grid->SetDataSource(page.DataSource);
    grid->OnDblClick = [this](QObject*) { RunGuarded([this] { KitDBGridSysDblClick(); }); };
    grid->OnTitleClick = [this](TColumn* column) {
        RunGuarded([this, column] { KitDBGridSysTitleClick(column ? column->Field() : nullptr); });
    };
    if (page.Info->InactiveBlue)
        grid->OnGetCellParams = [this](QObject* sender, TField* field, TFont& font, TColor& background,
                                       bool highlight) {
            KitDBGridSysGetCellParams(sender, field, font, background, highlight);
        };
    page.Sheet->layout()->addWidget(grid);
    page.Grid = grid;
    page.Model = grid->Model();
    connect(page.Model, &TDataSetModel::FetchFailed, this, [](const QString& message) {
        MessageDlg(ExceptionDisplayText(message), mtError, mbOK);
    });
}

void TMainForm::buildPages()
{
    for (const PageInfo& info : Pages()) {
        TPage page;
        page.Info = &info;
        page.Sheet = new QWidget(SysPageControl);
        page.Sheet->setObjectName(QLatin1String(info.Sheet));
        auto* layout = new QVBoxLayout(page.Sheet);
        layout->setContentsMargins(0, 0, 0, 0);

        page.Query = new TQuery(this, QLatin1String(kDatabaseName));
        page.Query->setObjectName(QLatin1String(info.Query));
        const PageQuery* pq = FindPageQuery(info.PageID);
        QVector<TGridColumn> columns;
        if (pq) {
            page.Query->SQL().Assign(pq->Sql);
            page.Query->SetFieldDefs(pq->Fields);
            for (const QString& name : pq->GridColumns) {
                TGridColumn c{name, QString()};
                for (const PageGridTitle& t : pq->Titles)
                    if (t.Field == name)
                        c.Title = t.Title;
                columns << c;
            }
        }
        // A page keeps its current row by the row's key when it reads its
        // rows again; one whose row has gone says so.
        const QString key = PageKeyField(info.PageID);
        for (const TFieldDef& f : page.Query->FieldDefs())
            if (f.Name.compare(key, Qt::CaseInsensitive) == 0)
                page.Query->KeyField = key;
        connect(page.Query, &TDataSet::CurrentRowGone, this, [this] {
            // Told once the reading that found it out is over.
            if (!m_quietGone)
                QMetaObject::invokeMethod(this, [] { MessageDlg(kRowGoneFromPage, mtInformation, mbOK, 0); },
                                          Qt::QueuedConnection);
        });
        page.DataSource = new TDataSource(this, page.Query);
        page.DataSource->setObjectName(QLatin1String(info.DataSource));
        page.Columns = columns;  // the grid is built when the page first opens

        SysPageControl->addTab(page.Sheet, QLatin1String(info.Caption));
        FPages.append(page);
    }
}

// --------------------------------------------------------------- identity

QString TMainForm::OperatorName() const
{
    return Operator().OPERATORNAME;
}

int TMainForm::OperatorNumber() const
{
    return Operator().OPERATORNUMBER;
}

void TMainForm::SetOperatorName(const QString& value)
{
    Operator().SetOperatorName(value);
}

void TMainForm::SetOperatorNumber(int value)
{
    Operator().SetOperatorNumber(value);
}

QString TMainForm::OperatorFullName() const
{
    return Operator().OPERATORFULLNAME;
}

void TMainForm::SetOperatorFullName(const QString& value)
{
    Operator().OPERATORFULLNAME = value;
    setWindowTitle(kCaption + QStringLiteral("       Operator: ") + value);
}

// --------------------------------------------------------------- creation

void TMainForm::FormCreate(const QStringList& args)
{
    TreePainting = false;
    MainFormCreating = true;
    ActivePageID = 0;
    TOperatorIdentity& op = Operator();

    if (args.isEmpty()) {
        SetOperatorName(GetUserName());
        StampLastLoggedOn(op.OPERATORNAME, op.OperatorNumberText);
    } else {
        op.OperatorNumberText = args.first().trimmed();
        // A set the operator does not complete leaves the start on the
        // database it is on; one that does not connect and is not mended
        // ends the start (EAbort).
        DM->SetDatabaseSet(args.value(1) == QLatin1String("1"));
    }
    op.OPERATORNUMBER = StrToInt(op.OperatorNumberText);

    if (!CheckUserAccess(args.isEmpty(), op.UserRights)) {
        Timebomb->start();
    } else {
        readEventIds();
        initTabState();
        PaintTreeViewSystem();
        FTestData = IsTestDatabase();
        if (FTestData && !HasRight(15)) {
            FTestData = false;
            // Without the right the start never stays on the test database.
            if (!DM->SetDatabaseSet(false))
                Abort();
        }
        updateTestLabel();
    }
    MainFormCreating = false;
}

void TMainForm::readEventIds()
{
    const TAuditEventIds ids = ReadAuditEventIds();
    FUpdateEventID = ids.Update;
    FDeleteEventID = ids.Delete;
    FInsertEventID = ids.Insert;
}

void TMainForm::initTabState()
{
    const int n = SysPageControl->count();
    FTabNames.clear();
    FTabFilterField = QVector<int>(n, -1);
    FTabFilterValue = QStringList();
    FTabShowCurrent = QVector<bool>(n, true);
    FTabShowTerminated = QVector<bool>(n, false);
    FTabIndexCache = 0;
    for (int i = 0; i < n; ++i) {
        const QString name = SysPageControl->widget(i)->objectName();
        FTabNames << name;
        FTabFilterValue << QString();
        if (name == QLatin1String("TabServiceID")) {
            FTabFilterField[i] = 1;
            FTabFilterValue[i] = QStringLiteral("02");
        } else if (name == QLatin1String("TabAdjustment")) {
            FTabFilterField[i] = 5;
            FTabFilterValue[i] = QStringLiteral("1111");
        }
    }
}

void TMainForm::updateTestLabel()
{
    lblTestData->setVisible(FTestData);
}

QString TMainForm::GetUserName()
{
    // The platform's own user name service; the environment as a fallback.
    QString name = PlatformUserName();
    if (name.isEmpty())
        name = CheckEnvironment();
    return name.isEmpty() ? QStringLiteral("unknown") : name;
}

QString TMainForm::CheckEnvironment()
{
    QString name = qEnvironmentVariable("USERNAME");
    if (name.isEmpty())
        name = qEnvironmentVariable("USER");
    return name;
}

void TMainForm::PaintTreeViewSystem()
{
    TreePainting = true;
    TreeViewSystem->clear();
    for (const TreeGroup& g : TreeGroups(HasRight(15), HasRight(15) && HasRight(9))) {
        auto* group = new QTreeWidgetItem(TreeViewSystem, QStringList(g.Name));
        for (const QString& node : g.Nodes)
            new QTreeWidgetItem(group, QStringList(node));
    }
    mnuToolsSelectMainDatabaseItem->setVisible(HasRight(15));
    mnuToolsSelectTestDatabaseItem->setVisible(HasRight(15));
    if (!MainFormCreating)
        TreeViewSystem->setFocus();
    TreePainting = false;
    ClearTabSheets();
}

// --------------------------------------------------------------- pages

void TMainForm::TreeViewSystemChange()
{
    if (TreePainting)
        return;
    QTreeWidgetItem* item = TreeViewSystem->currentItem();
    if (item) {
        if (const PageInfo* info = FindPageByNode(item->text(0)))
            OpenTab(SheetOf(info->PageID));
    }
    SysPageControl->show();
    SysPageControlChange();
}

void TMainForm::OpenTab(QWidget* sheet)
{
    const int index = SysPageControl->indexOf(sheet);
    if (index < 0)
        return;
    for (TPage& page : FPages)
        if (page.Sheet == sheet && !page.Grid)
            buildGrid(page);  // a page's grid is made when the page is first shown
    SysPageControl->setTabVisible(index, true);
    SysPageControl->show();
    SysPageControl->setCurrentIndex(index);
    ProcessMessages();  // the page is painted before its query runs
    ActivePageID = CurrentTabPageID();
    if (const TPage* page = PageOf(ActivePageID)) {
        // The engine is first asked for a screenful and a little more (as the
        // page's filter and sort ask again); the rest is read when wanted.
        page->Query->FirstWindow = qMax(kFirstWindowRows, page->Grid->VisibleRowCount() + 1);
        page->Query->Open();
    }
}

void TMainForm::CloseTab(QWidget* sheet)
{
    const int index = SysPageControl->indexOf(sheet);
    if (index < 0)
        return;
    SysPageControl->setTabVisible(index, false);
    for (const TPage& p : FPages)
        if (p.Sheet == sheet)
            p.Query->Close();
    SysPageControlChange();
}

void TMainForm::ClearTabSheets()
{
    // Every page closed as CloseTab closes one, with the tab rows laid out
    // once for all of them.
    SysPageControl->HideAllTabs();
    for (const TPage& p : FPages)
        p.Query->Close();
    SysPageControlChange();
    SysPageControl->hide();
    panelTopOfTab->hide();
}

void TMainForm::ActionTabClose()
{
    if (SysPageControl->isVisible() && SysPageControl->currentWidget() &&
        SysPageControl->isTabVisible(SysPageControl->currentIndex()))
        CloseTab(SysPageControl->currentWidget());
}

void TMainForm::SysPageControlChange()
{
    const int index = SysPageControl->currentIndex();
    if (SysPageControl->isHidden() || index < 0 || !SysPageControl->isTabVisible(index)) {
        ActivePageID = 0;  // no page in front
        dbNavigator->hide();
        panelTopOfTab->hide();
        cbActive->hide();
        cbNotActive->hide();
        return;
    }
    ActivePageID = CurrentTabPageID();
    QWidget* sheet = SysPageControl->currentWidget();

    cbField->clear();
    cbField->addItems(GetFilterFields(ActivePageID));
    edtValue->setText(GetTabFilterValue(sheet));
    cbField->setCurrentIndex(GetTabFilterField(sheet));
    cbActive->setChecked(GetTabShowCurrent(sheet));
    cbNotActive->setChecked(GetTabShowTerminated(sheet));

    dbNavigator->SetDataSource(CurrentDataSource(ActivePageID));
    dbNavigator->show();
    panelTopOfTab->show();

    // The boxes only mean something on pages whose query has an Active field.
    bool hasActive = false;
    if (TQuery* q = CurrentQuery(ActivePageID)) {
        for (const TFieldDef& f : q->FieldDefs())
            hasActive = hasActive || f.Name == QLatin1String("Active");
        for (int i = 0; !hasActive && i < q->FieldCount(); ++i)
            hasActive = q->Fields(i)->FieldName() == QLatin1String("Active");
    }
    cbActive->setVisible(hasActive);
    cbNotActive->setVisible(hasActive);
}

// --------------------------------------------------------------- filter bar

int TMainForm::tabIndex(QWidget* sheet)
{
    const QString name = sheet ? sheet->objectName() : QString();
    if (FTabIndexCache >= 0 && FTabIndexCache < FTabNames.size() && FTabNames[FTabIndexCache] == name)
        return FTabIndexCache;
    const int found = FTabNames.indexOf(name);
    FTabIndexCache = found < 0 ? 0 : found;
    return found;
}

QString TMainForm::GetTabFilterValue(QWidget* sheet)
{
    const int i = tabIndex(sheet);
    return i < 0 ? QString() : FTabFilterValue[i];
}

void TMainForm::SetTabFilterValue(QWidget* sheet, const QString& value)
{
    const int i = tabIndex(sheet);
    if (i >= 0)
        FTabFilterValue[i] = value;
    edtValue->setText(value);
}

int TMainForm::GetTabFilterField(QWidget* sheet)
{
    const int i = tabIndex(sheet);
    return i < 0 ? -1 : FTabFilterField[i];
}

void TMainForm::SetTabFilterField(QWidget* sheet, int index)
{
    const int i = tabIndex(sheet);
    if (i >= 0)
        FTabFilterField[i] = index;
    if (index == -1)
        cbField->setCurrentIndex(-1);
    FieldChange(ActivePageID);
}

bool TMainForm::GetTabShowCurrent(QWidget* sheet)
{
    const int i = tabIndex(sheet);
    return i >= 0 && FTabShowCurrent[i];
}

void TMainForm::SetTabShowCurrent(QWidget* sheet, bool value)
{
    const int i = tabIndex(sheet);
    if (i >= 0)
        FTabShowCurrent[i] = value;
}

bool TMainForm::GetTabShowTerminated(QWidget* sheet)
{
    const int i = tabIndex(sheet);
    return i >= 0 && FTabShowTerminated[i];
}

void TMainForm::SetTabShowTerminated(QWidget* sheet, bool value)
{
    const int i = tabIndex(sheet);
    if (i >= 0)
        FTabShowTerminated[i] = value;
}

void TMainForm::FieldChange(int pageId)
{
    QString clause;
    if (FilterClause(pageId, cbField->currentIndex(), clause))
        PageFilterClause[pageId] = clause;
    if (pageId == ActivePageID)
        LimitFilterValue();
}

void TMainForm::LimitFilterValue()
{
    // The value box takes no more than the chosen column holds; a column
    // without a declared length (numbers, dates, long texts) takes a prefix
    // long enough to single out any row.
    int limit = 255;
    const QString column = CurrentField(ActivePageID).trimmed().section(QChar(' '), 0, 0);
    if (const TQuery* q = CurrentQuery(ActivePageID))
        for (const TFieldDef& d : q->FieldDefs())
            if (d.Name.compare(column, Qt::CaseInsensitive) == 0 && d.Size > 0)
                limit = d.Size;
    edtValue->setMaxLength(limit);
}

QString TMainForm::CurrentField(int pageId) const
{
    if (!FindPage(pageId))
        return QStringLiteral("ID");
    return PageFilterClause.value(pageId);
}

void TMainForm::cbFieldChange()
{
    SetTabFilterField(SysPageControl->currentWidget(), cbField->currentIndex());
    edtValue->setFocus();
}

void TMainForm::btnApplyFilterClick()
{
    SetTabFilterValue(SysPageControl->currentWidget(), edtValue->text());
    ApplyFilter();
}

void TMainForm::btnClearClick()
{
    SetTabFilterField(SysPageControl->currentWidget(), -1);
    SetTabFilterValue(SysPageControl->currentWidget(), QString());
}

void TMainForm::cbActiveClick()
{
    SetTabShowCurrent(SysPageControl->currentWidget(), cbActive->isChecked());
}

void TMainForm::cbNotActiveClick()
{
    SetTabShowTerminated(SysPageControl->currentWidget(), cbNotActive->isChecked());
}

void TMainForm::ApplyFilter()
{
    TQuery* q = CurrentQuery(ActivePageID);
    if (!q)
        return;
    const QString value = edtValue->text();
    QString clause = CurrentField(ActivePageID).trimmed();
    if (!value.trimmed().isEmpty() && clause.isEmpty()) {
        cbFieldChange();  // no column chosen yet: the one the box shows
        clause = CurrentField(ActivePageID);
    }
    ActiveBoxes boxes{!cbActive->isHidden(), cbActive->isChecked(), cbNotActive->isChecked()};
    if (boxes.Shown && !boxes.Current && !boxes.Terminated) {
        cbNotActive->setChecked(true);  // neither ticked means the terminated rows
        cbNotActiveClick();
    }
    // Built and checked before the page closes: a value no statement can
    // carry, or this connection cannot, is refused with the page left as it
    // was.
    const FilteredLines filtered = FilterQueryLines(q->SQL().Lines(), clause, value, boxes);
    if (const TDatabase* db = q->Database()) {
        try {
            db->CheckCarried(filtered.Lines.join(QChar('\n')));
        } catch (const EUncarriedText& refused) {
            // Only the value box takes what the operator types.
            const QString column = cbField->currentText().trimmed();
            throw EDatabaseError(refused.Refusal(
                column.isEmpty() ? QStringLiteral("The filter value") : "The filter value for " + column, false));
        }
    }
    // The row the operator picked stays picked where the filter keeps it.
    const QVariant picked =
        !q->KeyField.isEmpty() && q->RowPicked() ? q->FieldByName(q->KeyField)->Value() : QVariant();
    q->Close();
    if (filtered.ValueDropped)
        edtValue->clear();
    q->SQL().Assign(filtered.Lines);
    q->Open();
    if (picked.isValid())
        q->LocateKey(picked);
}

void TMainForm::ReloadPage(TQuery* query, const QVariant& key, bool tellGone)
{
    query->Close();
    query->Open();
    if (query->KeyField.isEmpty() || key.isNull())
        return;  // the first row, as opening makes it current
    const bool quiet = std::exchange(m_quietGone, !tellGone);
    struct Restore {
        bool& flag;
        bool value;
        ~Restore() { flag = value; }
    } restore{m_quietGone, quiet};
    query->LocateKey(key);
}

int TMainForm::CurrentTabPageID() const
{
    const int index = SysPageControl->currentIndex();
    if (index < 0 || !SysPageControl->isTabVisible(index))
        return 0;
    QWidget* sheet = SysPageControl->widget(index);
    for (const TPage& p : FPages)
        if (p.Sheet == sheet)
            return p.Info->PageID;
    return 0;
}

const TMainForm::TPage* TMainForm::PageOf(int pageId) const
{
    for (const TPage& p : FPages)
        if (p.Info->PageID == pageId)
            return &p;
    return nullptr;
}

QWidget* TMainForm::SheetOf(int pageId) const
{
    const TPage* p = PageOf(pageId);
    return p ? p->Sheet : nullptr;
}

TQuery* TMainForm::CurrentQuery(int pageId) const
{
    const TPage* p = PageOf(pageId);
    return p ? p->Query : nullptr;
}

TDataSource* TMainForm::CurrentDataSource(int pageId) const
{
    const TPage* p = PageOf(pageId);
    return p ? p->DataSource : nullptr;
}

QString TMainForm::CurrentTable(int pageId) const
{
    const TPage* p = PageOf(pageId);
    return p ? QLatin1String(p->Info->Table) : QStringLiteral("empty");
}

// --------------------------------------------------------------- grids

void TMainForm::KitDBGridSysDblClick()
{
    if (HasRight(14))
        EditRecord(ActivePageID, false);
}

void TMainForm::btnAddClick()
{
    if (HasRight(14))
        EditRecord(ActivePageID, true);
}

void TMainForm::btnDeleteClick()
{
    if (HasRight(14))
        DeleteRecord(ActivePageID);
}

void TMainForm::KitDBGridSysGetCellParams(QObject*, TField* Field, TFont& AFont, TColor&, bool Highlight)
{
    // Inactive rows are drawn blue (on the grids that ask for it), where the
    // Current box means something: the page's query has an Active field.
    if (Highlight || cbActive->isHidden())
        return;
    TDataSet* ds = Field ? Field->DataSet() : CurrentQuery(ActivePageID);
    TField* active = ds ? ds->FindField(QStringLiteral("Active")) : nullptr;
    if (active && !active->AsBoolean())
        AFont.Color = QColor(0, 0, 255);
}

void TMainForm::KitDBGridSysTitleClick(TField* Column)
{
    TQuery* q = CurrentQuery(ActivePageID);
    if (!q || !Column)
        return;
    const QString field = Column->FieldName();
    q->Close();
    TStringList sql = q->SQL();
    ToggleSortOrder(field, sql);
    q->SQL().Assign(sql);
    q->Open();
}

// --------------------------------------------------------------- actions

void TMainForm::ActionExit()
{
    close();
}

void TMainForm::ActionPrintCurrentTab()
{
    if (!SysPageControl->isVisible())
        return;
    if (CurrentTable(ActivePageID).toUpper() == QLatin1String("EMPTY"))
        return;
    const QString title = PrintTitle();
    // Printed to a file, the report is proposed under the page's table name.
    const QString file = CurrentTable(ActivePageID);
    if (ActivePageID == 1051)
        PrintDataSet(PageOf(1051)->Grid->DataSet(), title, file);  // the grid's data set
    else
        PrintQuery(CurrentQuery(ActivePageID), title, file);
}

void TMainForm::ActionFileCurrentTab()
{
    if (!SysPageControl->isVisible())
        return;
    if (ActivePageID != 1051) {
        if (TQuery* q = CurrentQuery(ActivePageID))
            ExportDataSetToCsv(q, CurrentTable(ActivePageID));
        return;
    }
    if (MessageDlg(QStringLiteral("Export only for tServiceID with \"TQ_\" services?"), mtConfirmation, mbYesNo) !=
        mrYes) {
        ExportDataSetToCsv(CurrentQuery(1051), QStringLiteral("tServiceID"));
        return;
    }
    auto* q = new TQuery(this, QLatin1String(kDatabaseName));
    q->setObjectName(QStringLiteral("qServiceExport"));
    q->SQL().Assign(QStringList{
        QStringLiteral("SELECT dbo.tServiceID.ServiceID, dbo.tServiceType.Code, dbo.tCustomer.ShipTo, dbo.tGroup.Description AS Grp,"),
        QStringLiteral(" dbo.tDepartment.Description AS Dept"),
        QStringLiteral("FROM   dbo.tServiceType INNER JOIN dbo.tServiceID ON dbo.tServiceType.ID = dbo.tServiceID.ServiceTypeID"),
        QStringLiteral(" INNER JOIN dbo.tDepartment"),
        QStringLiteral("  INNER JOIN dbo.tCentre ON dbo.tDepartment.ID = dbo.tCentre.DepartmentID"),
        QStringLiteral("  INNER JOIN dbo.tGroup ON dbo.tDepartment.GroupID = dbo.tGroup.ID"),
        QStringLiteral("  INNER JOIN dbo.tCustomer ON dbo.tGroup.CustomerID = dbo.tCustomer.ID"),
        QStringLiteral(" ON dbo.tServiceID.CustomerCentreID = dbo.tCentre.ID"),
        QStringLiteral("WHERE  (dbo.tServiceType.Code LIKE 'TQ%') AND (dbo.tServiceID.Active = 1)"),
        QStringLiteral("ORDER BY dbo.tServiceID.ServiceID"),
    });
    q->Open();
    ExportDataSetToCsv(q, QStringLiteral("user"));
}

void TMainForm::mnuMainFilePrinterSetupClick()
{
    ExecutePrintDialog(TPrintDialogPurpose::Setup, this);
}

void TMainForm::mnuFilePrintSetupClick()
{
    mnuMainFilePrinterSetupClick();
}

void TMainForm::mnuHelpAboutClick()
{
    TAboutBox box(this);
    box.exec();
}

void TMainForm::mnuFileExitClick()
{
    close();
}

void TMainForm::mnuToolsSelectMainDatabaseItemClick()
{
    selectDatabaseSet(false);
}

void TMainForm::mnuToolsSelectTestDatabaseItemClick()
{
    selectDatabaseSet(true);
}

void TMainForm::selectDatabaseSet(bool test)
{
    // A set that is not completed or not mended leaves the program on the
    // database it was on, its pages open and the test label as it was.
    if (!DM->SetDatabaseSet(test))
        return;
    FTestData = IsTestDatabase();
    updateTestLabel();
}

QString TMainForm::PrintTitle() const
{
    QString title = CurrentTable(ActivePageID);
    const QLineEdit* value = findChild<QLineEdit*>(QStringLiteral("edtValue"));
    const QComboBox* field = findChild<QComboBox*>(QStringLiteral("cbField"));
    const QString fieldText = field ? field->currentText().trimmed() : QString();
    const QString valueText = value ? value->text().trimmed() : QString();
    if (!fieldText.isEmpty() && !valueText.isEmpty())
        return title + QStringLiteral(" - Filtered on ") + field->currentText() + QStringLiteral(" = ") + value->text();
    return title + QStringLiteral(" - Unfiltered View");
}

// --------------------------------------------------------------- closing

void TMainForm::FormClose()
{
    if (!Timebomb->isActive())
        ClearTabSheets();
    Timebomb->stop();
    // A stamp that cannot be written (a read-only data source) is told, and
    // the connection is closed all the same.
    try {
        StampLastLoggedOff(Operator().OperatorNumberText);
    } catch (const std::exception& e) {
        HandleException(e);
    }
    DM->dbKVdata->SetConnected(false);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (!m_closed) {
        m_closed = true;
        RunGuarded([this] { FormClose(); });
    }
    event->accept();
}
