#pragma once
// TKitDBGrid: the data-aware grid of the table pages. A table view over the
// data set's lazy model: it shows the rows the view needs, never counts or
// reads them all, and shares the data set's current record both ways.
//
// Over a plain view it adds the per-cell colour event, title cells drawn
// and tracked as push buttons, an indicator column, frozen data columns,
// one-record moves by arrow keys and the mouse wheel, a guarded Ctrl+Delete,
// and (unused by the program's windows) several selected rows, sort markers
// in the titles, glyphs for binary fields and the column layout kept
// through a placement component.
#include "DB.h"
#include "DBModel.h"
#include "Graphics.h"
#include "KitCtrls.h"
#include "Placemnt.h"
#include "VCLUtils.h"
#include <QPointer>
#include <QSet>
#include <QTableView>
#include <array>
#include <QVector>
#include <functional>
#include <memory>

class QHeaderView;
class TIniFile;
class TKitDBGrid;
struct TColumnLayout;
struct TFieldLayout;

// ---------------------------------------------------------------- options

enum TDBGridOption : unsigned {
    dgEditing = 1u << 0,
    dgAlwaysShowEditor = 1u << 1,
    dgTitles = 1u << 2,
    dgIndicator = 1u << 3,
    dgColumnResize = 1u << 4,
    dgColLines = 1u << 5,
    dgRowLines = 1u << 6,
    dgTabs = 1u << 7,
    dgRowSelect = 1u << 8,
    dgAlwaysShowSelection = 1u << 9,
    dgConfirmDelete = 1u << 10,
    dgCancelOnExit = 1u << 11,
    dgMultiSelect = 1u << 12
};
using TDBGridOptions = unsigned;

constexpr TDBGridOptions DefaultKitDBGridOptions = dgEditing | dgTitles | dgIndicator | dgColumnResize | dgColLines
                                                   | dgRowLines | dgConfirmDelete | dgCancelOnExit;

enum TSortMarker { smNone = 0, smDown = 1, smUp = 2 };

// ---------------------------------------------------------------- events

using TGetCellParamsEvent =
    std::function<void(QObject* Sender, TField* Field, TFont& AFont, TColor& Background, bool Highlight)>;
using TGetCellPropsEvent = std::function<void(QObject* Sender, TField* Field, TFont& AFont, TColor& Background)>;
using TGetBtnParamsEvent = std::function<void(QObject* Sender, TField* Field, TFont& AFont, TColor& Background,
                                              TSortMarker& SortMarker, bool IsDown)>;
using TCheckTitleBtnEvent = std::function<void(QObject* Sender, int ACol, TField* Field, bool& Enabled)>;
using TTitleClickEvent = std::function<void(QObject* Sender, int ACol, TField* Field)>;
using TDBEditShowEvent = std::function<void(QObject* Sender, TField* Field, bool& AllowEdit)>;
using TKeyEvent = std::function<void(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift)>;
using TKeyPressEvent = std::function<void(QObject* Sender, QChar& Key)>;
using TMouseWheelUpDownEvent =
    std::function<void(QObject* Sender, Qt::KeyboardModifiers Shift, const QPoint& MousePos, bool& Handled)>;

class TColumn;
// The base grid's title click, with the column under the release.
using TDBGridClickEvent = std::function<void(TColumn* Column)>;
// The owner's own drawing of a data cell, after the grid's.
using TDrawColumnCellEvent =
    std::function<void(QObject* Sender, QPainter& Canvas, const QRect& Rect, int DataCol, TColumn* Column)>;

// ---------------------------------------------------------------- columns

// One column of the grid: a field by name, its title and width. Persistent
// columns are the grid's Columns(); without them the grid makes one per
// field of the data set each time it opens.
class TColumn {
public:
    const QString& FieldName() const { return m_fieldName; }
    void SetFieldName(const QString& Value);
    // The title; the field's display label unless one was given.
    QString Title() const;
    void SetTitle(const QString& Value);
    TAlignment TitleAlignment() const { return m_titleAlignment; }
    void SetTitleAlignment(TAlignment Value);
    // Pixels; unless one was given, from the field's display width.
    int Width() const;
    void SetWidth(int Value);
    bool Visible() const { return m_visible; }
    void SetVisible(bool Value);
    TAlignment Alignment() const;  // the field's
    TField* Field() const;         // nullptr while the data set is closed
    // Position among the grid's columns (the model column).
    int Index() const;
    TKitDBGrid* Grid() const { return m_grid; }

private:
    friend class TKitDBGrid;
    friend class TDBGridColumns;
    TColumn(TKitDBGrid* grid, const QString& fieldName) : m_grid(grid), m_fieldName(fieldName) {}
    void changed(bool relayout);
    TKitDBGrid* m_grid;
    QString m_fieldName;
    QString m_title;
    TAlignment m_titleAlignment = taLeftJustify;
    int m_width = 0;  // 0: from the field
    bool m_visible = true;
    TField* m_field = nullptr;
    bool m_default = false;  // made by the grid for a field
};

class TDBGridColumns {
public:
    int Count() const { return int(m_items.size()); }
    TColumn* Items(int Index) const { return m_items.at(Index).get(); }
    TColumn* operator[](int Index) const { return Items(Index); }
    TColumn* Add(const QString& FieldName, const QString& Title = QString(), int Width = 0);
    void Clear();
    void Move(int From, int To);
    TColumn* ColumnByField(const QString& FieldName) const;  // nullptr when none
    int IndexOf(const TColumn* Column) const;

private:
    friend class TKitDBGrid;
    explicit TDBGridColumns(TKitDBGrid* grid) : m_grid(grid) {}
    TKitDBGrid* m_grid;
    std::vector<std::unique_ptr<TColumn>> m_items;
};

// ---------------------------------------------------------------- grid

class TKitDBGrid : public QTableView {
    Q_OBJECT
public:
    explicit TKitDBGrid(QWidget* parent = nullptr);
    ~TKitDBGrid() override;

    TDataSource* DataSource() const { return m_source; }
    void SetDataSource(TDataSource* Value);
    TDataSet* DataSet() const { return m_source ? m_source->DataSet() : nullptr; }
    TDataSetModel* Model() const { return m_model; }
    // The data set is open and linked (the data link is active).
    bool LinkActive() const;

    // Persistent columns; empty: every field of the data set, in order.
    TDBGridColumns& Columns() { return *m_columns; }
    // The columns shown (persistent or made for the fields), model order.
    int ColumnCount() const { return int(m_shown.size()); }
    TColumn* ColumnAt(int DataCol) const;
    TField* FieldAt(int DataCol) const;
    int SelectedIndex() const;  // the current data column, -1 without one

    // Published properties.
    TDBGridOptions Options() const;
    void SetOptions(TDBGridOptions Value);
    bool DefaultDrawing() const { return m_defaultDrawing; }
    void SetDefaultDrawing(bool Value);
    int FixedCols() const;
    void SetFixedCols(int Value);
    bool ClearSelection() const { return m_clearSelection; }
    void SetClearSelection(bool Value) { m_clearSelection = Value; }
    // The placement whose save and restore keep the column layout.
    TFormPlacement* IniStorage() const { return m_iniLink.Storage(); }
    void SetIniStorage(TFormPlacement* Value) { m_iniLink.SetStorage(Value); }
    bool MultiSelect() const { return m_multiSelect; }
    void SetMultiSelect(bool Value);
    bool ShowGlyphs() const { return m_showGlyphs; }
    void SetShowGlyphs(bool Value);
    bool TitleButtons() const { return m_titleButtons; }
    void SetTitleButtons(bool Value);
    int RowsHeight() const;
    void SetRowsHeight(int Value);
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool Value) { m_readOnly = Value; }
    const TFont& TitleFont() const { return m_titleFont; }
    void SetTitleFont(const TFont& Value);
    TColor Color() const { return m_color; }
    void SetColor(TColor Value);
    TColor FixedColor() const { return m_fixedColor; }
    void SetFixedColor(TColor Value);

    // Rows selected under MultiSelect (record numbers from 0, ascending).
    QVector<int> SelectedRows() const;
    bool RowSelected(int Row) const { return m_selected.contains(Row); }
    void SelectRow(int Row, bool Select);
    void ClearSelectedRows();
    bool CurrentRowSelected() const;
    void SetCurrentRowSelected(bool Value);

    // The cell-parameter dispatch (OnGetCellParams, else OnGetCellProps).
    void GetCellProps(TField* Field, TFont& AFont, TColor& Background, bool Highlight);
    // The glyph a field is shown as: an index into the shared bitmaps
    // ("DBG_BLOB" 0, "DBG_MEMO" 1, ... "DBG_DATA" 5), -1 for text.
    int FieldGlyph(const TField* Field) const;
    static QImage GridBitmap(int Index);  // 0..8, loaded once
    // Whether the in-place editor may show for the current cell. The grids
    // never edit in place; the answer is kept for owners that ask.
    bool CanEditShow();

    // Column layout in a profile file (or any placement store); an empty
    // section means the default one (the grid's for persistent columns,
    // else the data set's).
    void SaveLayout(TIniFile& IniFile, const QString& Section = QString());
    void RestoreLayout(TIniFile& IniFile, const QString& Section = QString());
    void SaveLayout(const TIniStore& Store, const QString& Section = QString());
    void RestoreLayout(const TIniStore& Store, const QString& Section = QString());

    // Where a title or data cell lies, in the grid's own coordinates (for
    // owners that place things, and for tests).
    QRect TitleRect(int DataCol) const;
    QRect CellRect(int DataCol, int Row) const;
    // The visible data rows, first and count.
    int TopRow() const;
    int VisibleRowCount() const;

    // Events.
    TGetCellParamsEvent OnGetCellParams;
    TGetCellPropsEvent OnGetCellProps;
    TGetBtnParamsEvent OnGetBtnParams;
    TCheckTitleBtnEvent OnCheckButton;
    TTitleClickEvent OnTitleBtnClick;
    TDBGridClickEvent OnTitleClick;
    TDBEditShowEvent OnShowEditor;
    TNotifyEvent OnEditChange;
    TNotifyEvent OnTopLeftChanged;
    TNotifyEvent OnDblClick;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;
    TDrawColumnCellEvent OnDrawColumnCell;

protected:
    virtual void CheckTitleButton(int ACol, bool& Enabled);
    virtual void DoTitleClick(int ACol, TField* Field);
    virtual void EditChanged();
    // Whether the data set takes changes through the grid. The program's
    // queries are read-only, so the grid never deletes or edits their rows;
    // a data set class that can change rows overrides these two.
    virtual bool DataSetCanModify() const { return false; }
    virtual void DeleteRecords(const QVector<int>& Rows) { Q_UNUSED(Rows); }

    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void changeEvent(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void updateGeometries() override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    friend class TColumn;
    friend class TDBGridColumns;
    friend class TKitDBGridDelegate;
    friend class TKitDBGridTitles;
    friend class TKitDBGridIndicator;
    friend class TKitDBGridFrozen;

    void attachModel();
    void modelWasReset();
    void applyModelColumns();
    void layoutColumns();
    int defaultWidth(const TColumn* column) const;
    void columnChanged(TColumn* column, bool relayout);
    void columnResized(int logical, int newSize);
    void applyOptions();
    void applyRowHeights();
    int titleHeight() const;
    void applyFixedCols();
    void updateFrozen();
    void updateFrozenGeometry();
    void syncFromDataSet();
    void moveToRow(int row);
    void pickRow(int row);
    void moveToColumn(int col);
    int firstScrollingColumn() const;
    bool takeFocus();
    bool dataSetEmpty() const;
    void deleteKey();
    void baseKeyDown(QKeyEvent* e, int key, Qt::KeyboardModifiers shift);
    void moveRecord(int direction, Qt::KeyboardModifiers shift);
    void topLeftChanged();
    QPoint toGrid(const QWidget* from, const QPoint& pos) const;
    // The owner's mouse events, at the grid's own coordinates.
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, const QPoint& gridPos);
    void mouseMove(Qt::KeyboardModifiers shift, const QPoint& gridPos);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, const QPoint& gridPos);
    void baseTitleClick(Qt::MouseButton button, const QPoint& gridPos);
    // A press and a release on the indicator or the frozen columns (from:
    // their viewport): a press moves to the data row under it (row, -1 for
    // none) and moves no column.
    void rowMousePress(const QWidget* from, QMouseEvent* e, int row);
    void rowMouseRelease(const QWidget* from, QMouseEvent* e);

    // Title buttons (the title headers call these with their own events).
    int titleColumnAt(const QPoint& gridPos) const;
    bool inTitleRow(const QPoint& gridPos) const;
    bool titleMousePress(QHeaderView* header, QMouseEvent* e);
    bool titleMouseMove(QHeaderView* header, QMouseEvent* e);
    bool titleMouseRelease(QHeaderView* header, QMouseEvent* e);
    void stopTracking();
    void repaintTitles();

    // Drawing.
    void drawDataCell(QPainter& p, const QRect& rect, const QModelIndex& index, const QAbstractItemView* view);
    void drawTitleCell(QPainter& p, const QRect& rect, int col);
    void drawIndicatorCell(QPainter& p, const QRect& rect, int row);

    // Layout storage.
    QString layoutSection() const;  // the default section
    QVector<TColumnLayout> columnLayouts() const;
    QVector<TFieldLayout> fieldLayouts() const;
    bool layoutLinked() const;
    void iniSave();
    void iniLoad();

    QPointer<TDataSource> m_source;
    TDataSetModel* m_model = nullptr;
    QVector<QMetaObject::Connection> m_sourceLinks;
    std::unique_ptr<TDBGridColumns> m_columns;
    QVector<TColumn*> m_shown;                         // model column -> column
    std::vector<std::unique_ptr<TColumn>> m_defaults;  // made for the fields
    QStringList m_fieldOrder;                          // restored order of the fields
    class TKitDBGridTitles* m_titles = nullptr;
    class TKitDBGridIndicator* m_indicator = nullptr;
    class TKitDBGridFrozen* m_frozen = nullptr;

    std::array<QImage, 2> m_msImages;  // selected row, selected current row
    TIniLink m_iniLink;
    TDBGridOptions m_options = DefaultKitDBGridOptions;
    bool m_showGlyphs = true;
    bool m_defaultDrawing = true;
    bool m_multiSelect = false;
    bool m_selecting = false;
    bool m_clearSelection = true;
    bool m_titleButtons = false;
    int m_pressedCol = -1;
    bool m_pressed = false;
    bool m_tracking = false;
    bool m_swapButtons = false;
    bool m_resizing = false;
    int m_fixedCols = 0;      // as set, or as cut when applied
    int m_frozenCount = 0;    // frozen data columns in force
    int m_selectionAnchor = -1;
    QSet<int> m_selected;
    bool m_readOnly = false;
    int m_rowsHeight = 0;     // 0: from the font
    TFont m_titleFont;
    TColor m_color = clWindow;
    TColor m_fixedColor = clBtnFace;
    bool m_settingWidths = false;
    bool m_inKeyDown = false;
    bool m_focusing = false;  // the view is taking the focus
};
