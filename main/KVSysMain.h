#pragma once
// The main window: the browser of the system tables. A tree of table groups
// on the left; each table on its own tab page with a grid over the page's
// query; the operator's identity; the switch between the main and the test
// database.
#include "DB.h"
#include "DBModel.h"
#include "Graphics.h"
#include "PageRegistry.h"
#include "VCLUtils.h"
#include <QHash>
#include <QMainWindow>
#include <QStringList>
#include <QVector>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QMenu;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class TDBNavigator;
class TFormStorage;
class TKitSplitter;
class TSpeedBar;
class TSpeedItem;
class TKitDBGrid;
class TPageControl;
class TDataSetModel;

class TMainForm : public QMainWindow {
    Q_OBJECT
    Q_PROPERTY(QString OPERATORNAME READ OperatorName WRITE SetOperatorName)
    Q_PROPERTY(int OPERATORNUMBER READ OperatorNumber WRITE SetOperatorNumber)
    Q_PROPERTY(QString OPERATORFULLNAME READ OperatorFullName WRITE SetOperatorFullName)

public:
    // Args: the command line without the program name (operator id, then "1"
    // for the test database). Creation runs FormCreate; a first argument that
    // is not a number raises EConvertError.
    explicit TMainForm(const QStringList& args, QWidget* parent = nullptr);
    ~TMainForm() override;

    // One table page and its parts.
    struct TPage {
        const PageInfo* Info = nullptr;
        QWidget* Sheet = nullptr;
        TQuery* Query = nullptr;
        TDataSource* DataSource = nullptr;
        TKitDBGrid* Grid = nullptr;      // made when the page is first opened
        TDataSetModel* Model = nullptr;  // the grid's
        QVector<TGridColumn> Columns;    // the grid's columns
    };

    // Components.
    TSpeedBar* ToolBarSystem;
    TSpeedItem* sbtnPrinterSetup;
    TSpeedItem* sbtnPrint;
    TSpeedItem* sbtnFile;
    TSpeedItem* sbtnTabClose;
    TSpeedItem* sbtnExit;
    QLabel* lblTestData;
    TDBNavigator* dbNavigator;
    QWidget* panelLeftSystem;
    QTreeWidget* TreeViewSystem;
    TKitSplitter* KitSplitterSystem;
    QWidget* panelRightSystem;
    QWidget* panelTopOfTab;
    QComboBox* cbField;
    QLineEdit* edtValue;
    QCheckBox* cbActive;
    QCheckBox* cbNotActive;
    QPushButton* btnClear;
    QPushButton* btnApply;
    QPushButton* btnAdd;
    QPushButton* btnDel;
    TPageControl* SysPageControl;
    QAction* mnuFilePrintSetup;
    QAction* mnuFilePrint;
    QAction* mnuFileCloseTab;
    QAction* mnuFileExit;
    QAction* mnuUpdateSystemData;
    QAction* mnuToolsSelectMainDatabaseItem;
    QAction* mnuToolsSelectTestDatabaseItem;
    QMenu* mnuTools;
    TQuery* qry;
    QTimer* Timebomb;
    TFormStorage* MainFormFormStorage;
    QAction* mnuHelpAbout;

    // Operator identity (kept in core, where the editors read it).
    QString OperatorName() const;
    int OperatorNumber() const;
    void SetOperatorName(const QString& value);
    void SetOperatorNumber(int value);
    void SetOperatorFullName(const QString& value);
    QString OperatorFullName() const;

    // Audit action ids as text.
    QString FUpdateEventID, FDeleteEventID, FInsertEventID;
    // Per-tab filter state, in sheet order.
    QStringList FTabNames;
    QVector<int> FTabFilterField;
    QStringList FTabFilterValue;
    QVector<bool> FTabShowCurrent;
    QVector<bool> FTabShowTerminated;
    int FTabIndexCache = 0;
    bool FTestData = false;

    // Handlers.
    void FormCreate(const QStringList& args);
    void FormClose();
    void TreeViewSystemChange();
    void SysPageControlChange();
    void KitDBGridSysDblClick();
    void btnAddClick();
    void btnDeleteClick();
    void KitDBGridSysGetCellParams(QObject* Sender, TField* Field, TFont& AFont, TColor& Background, bool Highlight);
    void KitDBGridSysTitleClick(TField* Column);
    void ActionPrintCurrentTab();
    void ActionFileCurrentTab();
    void mnuMainFilePrinterSetupClick();
    void mnuFilePrintSetupClick();
    void ActionTabClose();
    void ActionExit();
    void mnuFileExitClick();
    void mnuHelpAboutClick();
    void mnuToolsSelectMainDatabaseItemClick();
    void mnuToolsSelectTestDatabaseItemClick();
    QString GetUserName();
    QString CheckEnvironment();
    void PaintTreeViewSystem();

    void OpenTab(QWidget* sheet);
    void CloseTab(QWidget* sheet);
    void ClearTabSheets();

    // The page registry.
    int CurrentTabPageID() const;
    TQuery* CurrentQuery(int pageId) const;
    TDataSource* CurrentDataSource(int pageId) const;
    QString CurrentTable(int pageId) const;
    const TPage* PageOf(int pageId) const;
    const QVector<TPage>& PageList() const { return FPages; }
    QWidget* SheetOf(int pageId) const;

    // Edit dispatch and deactivation, reached with right 14.
    void EditRecord(int pageId, bool add);
    void DeleteRecord(int pageId);
    // Reads a page's rows again and makes the row of `key` (the page's key
    // field) current; where it is no longer on the page, no row is current,
    // which the page tells where `tellGone` says so. A Null key: the first
    // row, as opening makes it current.
    void ReloadPage(TQuery* query, const QVariant& key, bool tellGone = true);

    // Filter bar.
    void FieldChange(int pageId);
    void LimitFilterValue();
    QString CurrentField(int pageId) const;
    void ApplyFilter();
    QString GetTabFilterValue(QWidget* sheet);
    void SetTabFilterValue(QWidget* sheet, const QString& value);
    int GetTabFilterField(QWidget* sheet);
    void SetTabFilterField(QWidget* sheet, int index);
    bool GetTabShowCurrent(QWidget* sheet);
    void SetTabShowCurrent(QWidget* sheet, bool value);
    bool GetTabShowTerminated(QWidget* sheet);
    void SetTabShowTerminated(QWidget* sheet, bool value);
    void cbFieldChange();
    void btnApplyFilterClick();
    void btnClearClick();
    void cbActiveClick();
    void cbNotActiveClick();

    // The printed report's title for the page in front.
    QString PrintTitle() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void buildMenu();
    void buildPages();
    void buildGrid(TPage& page);
    void buildFilterBar();
    int tabIndex(QWidget* sheet);
    QHash<int, QString> PageFilterClause;
    void readEventIds();
    void initTabState();
    void updateTestLabel();
    void selectDatabaseSet(bool test);  // the two Tools menu switches
    void updateMinimumSize(bool fitTree = false);
    void placeFilterBar();
    QVector<TPage> FPages;
    // The filter bar's controls at the places the desktop's font gave them,
    // and how much narrower the bar may become (its two inputs give up to
    // half their width where the screen leaves it no more room).
    QVector<QPair<QWidget*, QRect>> m_filterPlaces;
    int m_filterNatural = 0;
    int m_filterGive = 0;
    bool m_closed = false;
    bool m_quietGone = false;  // a row gone from a page is not told
};

extern TMainForm* MainForm;
// Page id of the page in front, 0 when none.
extern int ActivePageID;
extern bool TreePainting;
extern bool MainFormCreating;
