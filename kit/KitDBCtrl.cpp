#include "KitDBCtrl.h"
#include "DBUtils.h"
#include "Dialogs.h"
#include "IniFiles.h"
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QWheelEvent>
#include <algorithm>

namespace {

constexpr int kIndicatorWidth = 14;

// The raised (or, pressed, sunken) inner edge of a button cell: bottom and
// right first, then top and left.
void drawButtonEdge(QPainter& p, const QRect& r, bool sunken)
{
    QColor light = ColorToQColor(clBtnHighlight);
    QColor dark = ColorToQColor(clBtnShadow);
    if (sunken)
        std::swap(light, dark);
    p.setPen(dark);
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    p.setPen(light);
    p.drawLine(r.left(), r.top(), r.right() - 1, r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
}

QColor gridLineColor()
{
    return ColorToQColor(clSilver);
}

}  // namespace

// ---------------------------------------------------------------- helpers

// Paints the data cells of the grid (and of its frozen part) through the
// grid, so both follow the same cell-parameter rules.
class TKitDBGridDelegate : public QStyledItemDelegate {
public:
    TKitDBGridDelegate(TKitDBGrid* grid, QAbstractItemView* view)
        : QStyledItemDelegate(view), m_grid(grid), m_view(view)
    {
    }
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        m_grid->drawDataCell(*p, option.rect, index, m_view);
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const override
    {
        return QSize(m_grid->columnWidth(index.column()), m_grid->RowsHeight());
    }
    QWidget* createEditor(QWidget*, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return nullptr;  // no in-place editing
    }

private:
    TKitDBGrid* m_grid;
    QAbstractItemView* m_view;
};

// The title row: cells drawn (as buttons or flat) by the grid, presses
// tracked by the grid; only column sizing is left to the header itself.
class TKitDBGridTitles : public QHeaderView {
public:
    TKitDBGridTitles(TKitDBGrid* grid, QWidget* parent) : QHeaderView(Qt::Horizontal, parent), m_grid(grid)
    {
        setSectionsClickable(false);
        setSectionsMovable(false);
        setHighlightSections(false);
        setMinimumSectionSize(2);
    }

    // The pointer is on a border that sizes a column.
    bool onResizeBorder(int x) const
    {
        const int visual = visualIndexAt(x);
        if (visual < 0)
            return false;
        const int logical = logicalIndex(visual);
        const int pos = sectionViewportPosition(logical);
        const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
        int target = -1;
        if (x < pos + grip) {
            for (int v = visual - 1; v >= 0; --v)
                if (!isSectionHidden(logicalIndex(v))) {
                    target = logicalIndex(v);
                    break;
                }
        } else if (pos + sectionSize(logical) - x < grip) {
            target = logical;
        }
        return target >= 0 && sectionResizeMode(target) == QHeaderView::Interactive;
    }

    void basePress(QMouseEvent* e) { QHeaderView::mousePressEvent(e); }
    void baseMove(QMouseEvent* e) { QHeaderView::mouseMoveEvent(e); }
    void baseRelease(QMouseEvent* e) { QHeaderView::mouseReleaseEvent(e); }

    QSize sizeHint() const override
    {
        return QSize(QHeaderView::sizeHint().width(), m_grid->titleHeight());
    }

protected:
    void paintSection(QPainter* p, const QRect& rect, int logical) const override
    {
        m_grid->drawTitleCell(*p, rect, logical);
    }
    void mousePressEvent(QMouseEvent* e) override { m_grid->titleMousePress(this, e); }
    void mouseMoveEvent(QMouseEvent* e) override { m_grid->titleMouseMove(this, e); }
    void mouseReleaseEvent(QMouseEvent* e) override { m_grid->titleMouseRelease(this, e); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { m_grid->mouseDoubleClickEvent(e); }
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::WindowDeactivate)
            m_grid->stopTracking();  // the press is cancelled (a box came up)
        return QHeaderView::event(e);
    }

private:
    TKitDBGrid* m_grid;
};

// The indicator column: the current-row arrow and the marks of selected rows.
class TKitDBGridIndicator : public QHeaderView {
public:
    explicit TKitDBGridIndicator(TKitDBGrid* grid) : QHeaderView(Qt::Vertical, grid), m_grid(grid)
    {
        setSectionsClickable(false);
        setHighlightSections(false);
        setMinimumSectionSize(1);
        setSectionResizeMode(QHeaderView::Fixed);
    }
    QSize sizeHint() const override { return QSize(kIndicatorWidth, QHeaderView::sizeHint().height()); }

protected:
    void paintSection(QPainter* p, const QRect& rect, int logical) const override
    {
        m_grid->drawIndicatorCell(*p, rect, logical);
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        m_grid->rowMousePress(viewport(), e, logicalIndexAt(e->position().toPoint().y()));
    }
    void mouseMoveEvent(QMouseEvent*) override {}
    void mouseReleaseEvent(QMouseEvent* e) override { m_grid->rowMouseRelease(viewport(), e); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { m_grid->mouseDoubleClickEvent(e); }

private:
    TKitDBGrid* m_grid;
};

// The frozen data columns: a view over the same model and current cell,
// laid over the left of the grid, that scrolls only vertically.
class TKitDBGridFrozen : public QTableView {
public:
    explicit TKitDBGridFrozen(TKitDBGrid* grid) : QTableView(grid), m_grid(grid)
    {
        setObjectName(QStringLiteral("KitDBGridFrozen"));
        setFocusPolicy(Qt::NoFocus);
        setFrameStyle(QFrame::NoFrame);
        setHorizontalHeader(new TKitDBGridTitles(grid, this));
        verticalHeader()->hide();
        verticalHeader()->setMinimumSectionSize(1);
        verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setShowGrid(false);
        setSelectionMode(QAbstractItemView::NoSelection);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setItemDelegate(new TKitDBGridDelegate(grid, this));
        setCornerButtonEnabled(false);
        setAutoScroll(false);
    }

protected:
    // A press on a frozen cell moves the row only, as a press on the
    // indicator would: the current column is never a frozen one.
    void mousePressEvent(QMouseEvent* e) override
    {
        const QModelIndex index = indexAt(e->position().toPoint());
        m_grid->rowMousePress(viewport(), e, index.isValid() ? index.row() : -1);
    }
    void mouseMoveEvent(QMouseEvent*) override {}
    void mouseReleaseEvent(QMouseEvent* e) override { m_grid->rowMouseRelease(viewport(), e); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { m_grid->mouseDoubleClickEvent(e); }
    void wheelEvent(QWheelEvent* e) override { m_grid->wheelEvent(e); }
    void keyPressEvent(QKeyEvent* e) override { e->ignore(); }

private:
    TKitDBGrid* m_grid;
};

// ---------------------------------------------------------------- columns

void TColumn::changed(bool relayout)
{
    if (m_grid)
        m_grid->columnChanged(this, relayout);
}

void TColumn::SetFieldName(const QString& Value)
{
    if (m_fieldName == Value)
        return;
    m_fieldName = Value;
    changed(true);
}

QString TColumn::Title() const
{
    if (!m_title.isEmpty())
        return m_title;
    if (m_field)
        return m_field->DisplayLabel();
    return m_fieldName;
}

void TColumn::SetTitle(const QString& Value)
{
    if (m_title == Value)
        return;
    m_title = Value;
    changed(false);
}

void TColumn::SetTitleAlignment(TAlignment Value)
{
    if (m_titleAlignment == Value)
        return;
    m_titleAlignment = Value;
    changed(false);
}

int TColumn::Width() const
{
    if (m_width > 0)
        return m_width;
    return m_grid ? m_grid->defaultWidth(this) : 64;
}

void TColumn::SetWidth(int Value)
{
    if (m_width == Value)
        return;
    m_width = qMax(0, Value);
    changed(false);
}

void TColumn::SetVisible(bool Value)
{
    if (m_visible == Value)
        return;
    m_visible = Value;
    changed(false);
}

TAlignment TColumn::Alignment() const
{
    return m_field ? m_field->Alignment() : taLeftJustify;
}

TField* TColumn::Field() const
{
    return m_field;
}

int TColumn::Index() const
{
    return m_grid ? int(m_grid->m_shown.indexOf(const_cast<TColumn*>(this))) : -1;
}

TColumn* TDBGridColumns::Add(const QString& FieldName, const QString& Title, int Width)
{
    m_items.emplace_back(new TColumn(m_grid, FieldName));
    TColumn* c = m_items.back().get();
    c->m_title = Title;
    c->m_width = qMax(0, Width);
    m_grid->applyModelColumns();
    return c;
}

void TDBGridColumns::Clear()
{
    if (m_items.empty())
        return;
    m_items.clear();
    m_grid->applyModelColumns();
}

void TDBGridColumns::Move(int From, int To)
{
    if (From < 0 || From >= Count() || To < 0 || To >= Count() || From == To)
        return;
    auto item = std::move(m_items[size_t(From)]);
    m_items.erase(m_items.begin() + From);
    m_items.insert(m_items.begin() + To, std::move(item));
    m_grid->applyModelColumns();
}

TColumn* TDBGridColumns::ColumnByField(const QString& FieldName) const
{
    for (const auto& c : m_items)
        if (c->FieldName().compare(FieldName, Qt::CaseInsensitive) == 0)
            return c.get();
    return nullptr;
}

int TDBGridColumns::IndexOf(const TColumn* Column) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].get() == Column)
            return int(i);
    return -1;
}

// ---------------------------------------------------------------- grid

TKitDBGrid::TKitDBGrid(QWidget* parent) : QTableView(parent), m_columns(new TDBGridColumns(this))
{
    m_titleFont.Font = font();
    m_titleFont.Color = ColorToQColor(clWindowText);

    m_titles = new TKitDBGridTitles(this, this);
    setHorizontalHeader(m_titles);
    m_indicator = new TKitDBGridIndicator(this);
    setVerticalHeader(m_indicator);
    setItemDelegate(new TKitDBGridDelegate(this, this));
    setShowGrid(false);  // lines are the cells' own, by the options
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setCornerButtonEnabled(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setWordWrap(false);
    setFocusPolicy(Qt::StrongFocus);

    // Selected-row marks of the indicator, white as their see-through colour.
    m_msImages[0] = MaskedBitmap(LoadKitBitmap(QStringLiteral("DBG_MSDOT")), clWhite);
    m_msImages[1] = MaskedBitmap(LoadKitBitmap(QStringLiteral("DBG_MSARROW")), clWhite);

    m_iniLink.OnSave = [this](QObject*) { iniSave(); };
    m_iniLink.OnLoad = [this](QObject*) { iniLoad(); };

    connect(m_titles, &QHeaderView::sectionResized, this,
            [this](int logical, int, int newSize) { columnResized(logical, newSize); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { topLeftChanged(); });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { topLeftChanged(); });

    attachModel();
    applyOptions();
    applyRowHeights();
}

TKitDBGrid::~TKitDBGrid()
{
    m_iniLink.SetStorage(nullptr);
    for (const auto& c : m_sourceLinks)
        disconnect(c);
}

bool TKitDBGrid::LinkActive() const
{
    TDataSet* ds = DataSet();
    return ds && ds->Active() && m_source && m_source->Enabled;
}

void TKitDBGrid::SetDataSource(TDataSource* Value)
{
    if (Value == m_source)
        return;
    for (const auto& c : m_sourceLinks)
        disconnect(c);
    m_sourceLinks.clear();
    m_source = Value;
    attachModel();
    if (m_source) {
        // Another data set on the source: the model follows it and resets.
        m_sourceLinks << connect(m_source, &TDataSource::DataChange, this, [this] { syncFromDataSet(); });
    }
}

void TKitDBGrid::attachModel()
{
    TDataSetModel* old = m_model;
    QItemSelectionModel* oldSelection = selectionModel();
    m_model = new TDataSetModel(m_source, this);
    m_model->setObjectName(QStringLiteral("KitDBGridModel"));
    setModel(m_model);
    if (m_frozen) {
        m_frozen->setModel(m_model);
        m_frozen->setSelectionModel(selectionModel());
    }
    delete oldSelection;
    delete old;
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { modelWasReset(); });
    // Rows arriving while the data set moves (a Locate further down) may
    // carry the current record.
    connect(m_model, &QAbstractItemModel::rowsInserted, this, [this] { syncFromDataSet(); });
    applyModelColumns();
}

void TKitDBGrid::applyModelColumns()
{
    QVector<TGridColumn> cols;
    if (m_columns->Count() > 0) {
        for (int i = 0; i < m_columns->Count(); ++i)
            cols << TGridColumn{m_columns->Items(i)->FieldName(), m_columns->Items(i)->m_title};
    } else {
        for (const QString& name : m_fieldOrder)
            cols << TGridColumn{name, QString()};
    }
    m_model->SetColumns(cols);  // resets the model, which lays the grid out again
}

void TKitDBGrid::modelWasReset()
{
    stopTracking();
    m_selected.clear();
    m_selecting = false;
    m_selectionAnchor = -1;
    m_shown.clear();
    m_defaults.clear();
    for (int i = 0; i < m_columns->Count(); ++i)
        m_columns->Items(i)->m_field = nullptr;
    if (LinkActive()) {
        const bool persistent = m_columns->Count() > 0;
        int next = 0;
        for (int c = 0; c < m_model->columnCount(); ++c) {
            TField* f = m_model->FieldAt(c);
            TColumn* col = nullptr;
            if (persistent) {
                while (next < m_columns->Count()
                       && m_columns->Items(next)->FieldName().compare(f->FieldName(), Qt::CaseInsensitive) != 0)
                    ++next;
                if (next < m_columns->Count())
                    col = m_columns->Items(next++);
            }
            if (!col) {
                m_defaults.emplace_back(new TColumn(this, f->FieldName()));
                col = m_defaults.back().get();
                col->m_default = true;
                col->m_visible = f->Visible();
            }
            col->m_field = f;
            m_shown << col;
        }
    }
    layoutColumns();
    applyFixedCols();
    syncFromDataSet();
}

TColumn* TKitDBGrid::ColumnAt(int DataCol) const
{
    return DataCol >= 0 && DataCol < m_shown.size() ? m_shown[DataCol] : nullptr;
}

TField* TKitDBGrid::FieldAt(int DataCol) const
{
    TColumn* c = ColumnAt(DataCol);
    return c ? c->Field() : nullptr;
}

int TKitDBGrid::SelectedIndex() const
{
    const QModelIndex cur = currentIndex();
    return cur.isValid() ? cur.column() : -1;
}

int TKitDBGrid::defaultWidth(const TColumn* column) const
{
    const QFontMetrics fm(font());
    const TField* f = column->Field();
    int w = f ? fm.horizontalAdvance(QLatin1Char('0')) * f->DisplayWidth() + 4 : 64;
    if (m_options & dgTitles) {
        const QFontMetrics tfm(m_titleFont.Font);
        w = qMax(w, tfm.horizontalAdvance(column->Title()) + 6);
    }
    return w;
}

void TKitDBGrid::layoutColumns()
{
    m_settingWidths = true;
    for (int c = 0; c < m_shown.size(); ++c) {
        setColumnHidden(c, !m_shown[c]->Visible());
        setColumnWidth(c, m_shown[c]->Width());
    }
    m_settingWidths = false;
    updateFrozen();
    m_titles->viewport()->update();
    viewport()->update();
}

void TKitDBGrid::columnChanged(TColumn*, bool relayout)
{
    if (relayout)
        applyModelColumns();  // another field: the model's columns change
    else
        layoutColumns();
}

void TKitDBGrid::columnResized(int logical, int newSize)
{
    if (!m_settingWidths) {
        if (TColumn* col = ColumnAt(logical)) {
            col->m_width = newSize;
            // A column of its own for a field: the field keeps the width.
            if (col->m_default && col->Field()) {
                const int charWidth = qMax(1, QFontMetrics(font()).horizontalAdvance(QLatin1Char('0')));
                col->Field()->SetDisplayWidth(qMax(1, (newSize - 4 + charWidth / 2) / charWidth));
            }
        }
        if (m_frozen && logical < m_frozenCount)
            m_frozen->setColumnWidth(logical, newSize);
    }
    updateFrozenGeometry();
}

// ---------------------------------------------------------------- properties

TDBGridOptions TKitDBGrid::Options() const
{
    return m_multiSelect ? (m_options | dgMultiSelect) : (m_options & ~TDBGridOptions(dgMultiSelect));
}

void TKitDBGrid::SetOptions(TDBGridOptions Value)
{
    m_options = Value & ~TDBGridOptions(dgMultiSelect);
    applyOptions();
    SetMultiSelect(Value & dgMultiSelect);
}

void TKitDBGrid::applyOptions()
{
    const QHeaderView::ResizeMode mode =
        (m_options & dgColumnResize) ? QHeaderView::Interactive : QHeaderView::Fixed;
    m_titles->setVisible(m_options & dgTitles);
    m_titles->setSectionResizeMode(mode);
    m_indicator->setVisible(m_options & dgIndicator);
    setSelectionBehavior((m_options & dgRowSelect) ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    setTabKeyNavigation(m_options & dgTabs);
    if (m_frozen) {
        m_frozen->horizontalHeader()->setVisible(m_options & dgTitles);
        m_frozen->horizontalHeader()->setSectionResizeMode(mode);
    }
    updateGeometries();
    layoutColumns();
}

void TKitDBGrid::SetDefaultDrawing(bool Value)
{
    m_defaultDrawing = Value;
    viewport()->update();
}

int TKitDBGrid::FixedCols() const
{
    return LinkActive() ? m_frozenCount : m_fixedCols;
}

void TKitDBGrid::SetFixedCols(int Value)
{
    Value = qMax(0, Value);
    m_fixedCols = Value;
    m_frozenCount = 0;
    if (LinkActive() && ColumnCount() > 1) {
        // Never all columns: the last one always scrolls.
        m_frozenCount = qMin(Value, ColumnCount() - 1);
        m_fixedCols = m_frozenCount;
    }
    updateFrozen();
    const QModelIndex cur = currentIndex();
    if (cur.isValid() && cur.column() < m_frozenCount)
        moveToColumn(firstScrollingColumn());
}

void TKitDBGrid::applyFixedCols()
{
    SetFixedCols(m_fixedCols);
}

void TKitDBGrid::SetMultiSelect(bool Value)
{
    m_multiSelect = Value;
    if (!Value)
        ClearSelectedRows();
}

void TKitDBGrid::SetShowGlyphs(bool Value)
{
    m_showGlyphs = Value;
    viewport()->update();
    if (m_frozen)
        m_frozen->viewport()->update();
}

void TKitDBGrid::SetTitleButtons(bool Value)
{
    m_titleButtons = Value;
    SetOptions(Options());
    repaintTitles();
}

int TKitDBGrid::RowsHeight() const
{
    return m_rowsHeight > 0 ? m_rowsHeight : QFontMetrics(font()).height() + 3;
}

void TKitDBGrid::SetRowsHeight(int Value)
{
    if (Value == m_rowsHeight || Value <= 0)
        return;
    m_rowsHeight = Value;
    applyRowHeights();
}

int TKitDBGrid::titleHeight() const
{
    if (m_rowsHeight > 0)
        return m_rowsHeight + 2;
    return QFontMetrics(m_titleFont.Font).height() + 6;
}

void TKitDBGrid::applyRowHeights()
{
    m_indicator->setDefaultSectionSize(RowsHeight());
    if (m_frozen)
        m_frozen->verticalHeader()->setDefaultSectionSize(RowsHeight());
    m_titles->setFont(m_titleFont.Font);
    m_titles->updateGeometry();
    updateGeometries();
}

void TKitDBGrid::SetTitleFont(const TFont& Value)
{
    m_titleFont = Value;
    if (m_frozen)
        m_frozen->horizontalHeader()->setFont(Value.Font);
    applyRowHeights();
    layoutColumns();
}

void TKitDBGrid::SetColor(TColor Value)
{
    m_color = Value;
    viewport()->update();
}

void TKitDBGrid::SetFixedColor(TColor Value)
{
    m_fixedColor = Value;
    repaintTitles();
    m_indicator->viewport()->update();
}

// ---------------------------------------------------------------- multi-select

QVector<int> TKitDBGrid::SelectedRows() const
{
    QVector<int> rows(m_selected.begin(), m_selected.end());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TKitDBGrid::SelectRow(int Row, bool Select)
{
    if (Row < 0 || Select == m_selected.contains(Row))
        return;
    if (Select)
        m_selected.insert(Row);
    else
        m_selected.remove(Row);
    viewport()->update();
    m_indicator->viewport()->update();
    if (m_frozen)
        m_frozen->viewport()->update();
}

void TKitDBGrid::ClearSelectedRows()
{
    if (m_selected.isEmpty())
        return;
    m_selected.clear();
    viewport()->update();
    m_indicator->viewport()->update();
    if (m_frozen)
        m_frozen->viewport()->update();
}

bool TKitDBGrid::CurrentRowSelected() const
{
    return LinkActive() && RowSelected(DataSet()->CurrentRow());
}

void TKitDBGrid::SetCurrentRowSelected(bool Value)
{
    if (LinkActive())
        SelectRow(DataSet()->CurrentRow(), Value);
}

// ---------------------------------------------------------------- cells

void TKitDBGrid::GetCellProps(TField* Field, TFont& AFont, TColor& Background, bool Highlight)
{
    if (OnGetCellParams) {
        OnGetCellParams(this, Field, AFont, Background, Highlight);
        return;
    }
    if (!OnGetCellProps)
        return;
    if (Highlight) {
        // The older event knows one colour: on a highlighted cell it is the
        // text's, since the background is the highlight.
        TColor text = QColorToColor(AFont.Color);
        OnGetCellProps(this, Field, AFont, text);
        AFont.Color = ColorToQColor(text);
    } else {
        OnGetCellProps(this, Field, AFont, Background);
    }
}

int TKitDBGrid::FieldGlyph(const TField* Field) const
{
    if (!m_showGlyphs || !Field)
        return -1;
    switch (Field->DataType()) {
    case ftBytes: case ftVarBytes: case ftBlob: case ftTypedBinary: return 0;
    case ftMemo: case ftFmtMemo: return 1;
    case ftGraphic: return 2;
    case ftParadoxOle: case ftDBaseOle: return 3;
    case ftCursor: case ftReference: case ftDataSet: return 5;
    default: return -1;
    }
}

QImage TKitDBGrid::GridBitmap(int Index)
{
    static const std::array<QImage, 9> bitmaps = [] {
        static const char* const names[9] = {"DBG_BLOB", "DBG_MEMO", "DBG_PICT", "DBG_OLE", "DBG_OBJECT",
                                             "DBG_DATA", "DBG_NOTEMPTY", "DBG_SMDOWN", "DBG_SMUP"};
        std::array<QImage, 9> out;
        for (int i = 0; i < 9; ++i)
            out[size_t(i)] = LoadKitBitmap(QLatin1String(names[i]));
        return out;
    }();
    return Index >= 0 && Index < 9 ? bitmaps[size_t(Index)] : QImage();
}

bool TKitDBGrid::CanEditShow()
{
    const int col = SelectedIndex();
    TField* field = FieldAt(col);
    bool result = (m_options & dgEditing) && !(m_options & dgRowSelect) && !m_readOnly && LinkActive()
                  && DataSetCanModify() && field;
    if (result && FieldGlyph(field) >= 0)
        result = false;
    if (OnShowEditor)
        OnShowEditor(this, field, result);
    return result;
}

void TKitDBGrid::EditChanged()
{
    if (OnEditChange)
        OnEditChange(this);
}

void TKitDBGrid::drawDataCell(QPainter& p, const QRect& rect, const QModelIndex& index, const QAbstractItemView*)
{
    const int col = index.column();
    const int row = index.row();
    TColumn* column = ColumnAt(col);
    TField* field = FieldAt(col);
    TDataSet* ds = DataSet();
    if (!field || !LinkActive())
        return;

    const QModelIndex cur = currentIndex();
    const bool rowSelect = m_options & dgRowSelect;
    const bool focused = hasFocus();
    const bool selectedCell = cur.isValid() && cur.row() == row && (rowSelect || cur.column() == col);
    const bool shownSelected = selectedCell && ((m_options & dgAlwaysShowSelection) || focused);
    const bool highlight = shownSelected || (m_multiSelect && RowSelected(row));

    QRect cell = rect;
    if (m_options & dgColLines)
        cell.setRight(cell.right() - 1);
    if (m_options & dgRowLines)
        cell.setBottom(cell.bottom() - 1);

    TFont font{this->font(), ColorToQColor(highlight ? clHighlightText : clWindowText)};
    TColor background = highlight ? clHighlight : m_color;

    p.save();
    // The owner's events read the painted row through the fields.
    TActiveRecordScope painted(ds, row);
    GetCellProps(field, font, background, highlight);
    const QColor back = ColorToQColor(background);
    if (m_defaultDrawing) {
        const int glyph = FieldGlyph(field);
        if (glyph >= 0) {
            p.fillRect(cell, back);
            const QImage image = GridBitmap(glyph);
            DrawBitmapTransparent(p, (2 * cell.left() + cell.width() - image.width()) / 2,
                                  (2 * cell.top() + cell.height() - image.height()) / 2, image, clOlive);
        } else {
            p.setBrush(back);
            p.setPen(font.Color);
            p.setFont(font.Font);
            DrawCellText(this, p, cell, field->DisplayTextOf(ds->RawValue(row, field->Index())),
                         column ? column->Alignment() : field->Alignment(), vaCenter);
        }
    }
    if (OnDrawColumnCell)
        OnDrawColumnCell(this, p, cell, col, column);
    if (m_defaultDrawing && shownSelected && !rowSelect && focused) {
        p.setPen(QPen(font.Color, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(cell.adjusted(0, 0, -1, -1));
    }
    p.setPen(gridLineColor());
    if (m_options & dgColLines)
        p.drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
    if (m_options & dgRowLines)
        p.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
    p.restore();
}

void TKitDBGrid::drawTitleCell(QPainter& p, const QRect& rect, int col)
{
    p.save();
    p.setClipRect(rect);
    p.fillRect(rect, ColorToQColor(m_fixedColor));
    TColumn* column = LinkActive() ? ColumnAt(col) : nullptr;
    if (!column || !column->Visible()) {
        p.restore();
        return;
    }
    TField* field = column->Field();
    const bool down = m_pressed && m_titleButtons && col == m_pressedCol;
    QRect r = rect;
    const bool bothLines = (m_options & dgColLines) && (m_options & dgRowLines);
    if (m_titleButtons || bothLines) {
        drawButtonEdge(p, r, down);
        r.adjust(1, 1, -1, -1);
    } else {
        p.setPen(gridLineColor());
        if (m_options & dgColLines)
            p.drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
        if (m_options & dgRowLines)
            p.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
    }
    TFont font = m_titleFont;
    TColor background = m_fixedColor;
    TSortMarker marker = smNone;
    if (m_titleButtons && field && OnGetBtnParams)
        OnGetBtnParams(this, field, font, background, marker, down);
    if (down)
        r.adjust(1, 1, 0, 0);
    const QColor back = ColorToQColor(background);
    if (!LinkActive()) {  // the owner's event closed the data set
        p.fillRect(r, back);
        p.restore();
        return;
    }
    const QImage bitmap = marker == smDown ? GridBitmap(7) : marker == smUp ? GridBitmap(8) : QImage();
    const int margin = bitmap.isNull() ? 1 : bitmap.width() + 6;
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    p.fillRect(r, back);
    p.setBrush(back);
    p.setPen(font.Color);
    p.setFont(font.Font);
    QRect textRect = r;
    if (rtl)
        textRect.setLeft(r.left() + margin - 1);
    else
        textRect.setRight(r.right() - margin + 1);
    const QString caption = ShortenTextWithEllipsis(QFontMetrics(font.Font), column->Title(), r.width() - margin);
    DrawCellText(this, p, textRect, caption, column->TitleAlignment(), vaCenter);
    if (!bitmap.isNull()) {
        const int right = r.left() + r.width();
        const int x = rtl ? r.left() + 3 : right - bitmap.width() - 3 - (down ? 2 : 0);
        const int y = (2 * r.top() + r.height() - bitmap.height()) / 2;
        if (x > r.left() - (rtl ? 1 : 0) && y > r.top() && x + bitmap.width() < right
            && y + bitmap.height() < r.top() + r.height())
            DrawBitmapTransparent(p, x, y, bitmap, clFuchsia);
    }
    p.restore();
}

void TKitDBGrid::drawIndicatorCell(QPainter& p, const QRect& rect, int row)
{
    p.save();
    p.fillRect(rect, ColorToQColor(m_fixedColor));
    const bool bothLines = (m_options & dgColLines) && (m_options & dgRowLines);
    QRect r = rect;
    if (bothLines) {
        drawButtonEdge(p, r, false);
        r.adjust(1, 1, -1, -1);
    } else {
        p.setPen(gridLineColor());
        if (m_options & dgColLines)
            p.drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
        if (m_options & dgRowLines)
            p.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
    }
    if (LinkActive()) {
        const int current = DataSet()->CurrentRow();
        if (m_multiSelect && RowSelected(row)) {
            const QImage& image = m_msImages[row == current ? 1 : 0];
            const int margin = bothLines ? 1 : 2;
            const int x = r.left() + r.width() - image.width() - margin;
            const int y = (2 * r.top() + r.height() - image.height()) / 2;
            p.drawImage(x, y, image);
        } else if (row == current) {
            const int cx = r.left() + r.width() / 2 - 1;
            const int cy = r.top() + r.height() / 2;
            p.setPen(Qt::NoPen);
            p.setBrush(ColorToQColor(clWindowText));
            const QPoint arrow[3] = {QPoint(cx - 2, cy - 4), QPoint(cx + 2, cy), QPoint(cx - 2, cy + 4)};
            p.drawPolygon(arrow, 3);
        }
    }
    p.restore();
}

void TKitDBGrid::paintEvent(QPaintEvent* e)
{
    QTableView::paintEvent(e);
    if ((m_options & dgRowSelect) && m_defaultDrawing && hasFocus() && currentIndex().isValid()) {
        const int row = currentIndex().row();
        QRect band;
        for (int c = 0; c < m_model->columnCount(); ++c)
            if (!isColumnHidden(c))
                band |= visualRect(m_model->index(row, c));
        if (!band.isEmpty()) {
            QPainter p(viewport());
            p.setPen(QPen(ColorToQColor(clWindowText), 1, Qt::DotLine));
            p.drawRect(band.adjusted(0, 0, -1, -1));
        }
    }
}

// ---------------------------------------------------------------- the current record

void TKitDBGrid::syncFromDataSet()
{
    m_indicator->viewport()->update();
    if (!LinkActive())
        return;
    const int row = DataSet()->CurrentRow();
    if (row >= m_model->rowCount())
        m_model->SyncRowCount();
    if (row < 0 && currentIndex().isValid()) {
        // No row current: none is highlighted until the operator picks one.
        selectionModel()->clear();
        return;
    }
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex cur = currentIndex();
    if (cur.isValid() && cur.row() == row)
        return;
    const int col = cur.isValid() ? cur.column() : firstScrollingColumn();
    if (col >= 0)
        setCurrentIndex(m_model->index(row, col));
}

void TKitDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (current.isValid() && !m_focusing && LinkActive() && DataSet()->CurrentRow() != current.row())
        DataSet()->SetRecNo(current.row() + 1);
    if (current.row() != previous.row()) {
        m_indicator->viewport()->update();
        if (m_options & dgRowSelect)
            viewport()->update();
        if (m_frozen)
            m_frozen->viewport()->update();
    }
}

void TKitDBGrid::pickRow(int row)
{
    // A click on the row in front picks it as much as a click on another.
    if (row >= 0 && LinkActive() && DataSet()->CurrentRow() == row && !DataSet()->RowPicked())
        DataSet()->SetRecNo(row + 1);
}

void TKitDBGrid::moveToRow(int row)
{
    if (!LinkActive() || row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex cur = currentIndex();
    const int col = cur.isValid() ? cur.column() : firstScrollingColumn();
    if (col >= 0)
        setCurrentIndex(m_model->index(row, col));
}

void TKitDBGrid::moveToColumn(int col)
{
    const QModelIndex cur = currentIndex();
    if (col >= 0 && cur.isValid())
        setCurrentIndex(m_model->index(cur.row(), col));
}

int TKitDBGrid::firstScrollingColumn() const
{
    for (int c = m_frozenCount; c < ColumnCount(); ++c)
        if (!isColumnHidden(c))
            return c;
    for (int c = 0; c < ColumnCount(); ++c)
        if (!isColumnHidden(c))
            return c;
    return -1;
}

int TKitDBGrid::TopRow() const
{
    return qMax(0, rowAt(0));
}

int TKitDBGrid::VisibleRowCount() const
{
    return qMax(1, viewport()->height() / qMax(1, RowsHeight()));
}

QRect TKitDBGrid::TitleRect(int DataCol) const
{
    if (DataCol < 0 || DataCol >= ColumnCount())
        return QRect();
    const QHeaderView* header =
        DataCol < m_frozenCount && m_frozen ? m_frozen->horizontalHeader() : static_cast<QHeaderView*>(m_titles);
    const QRect r(header->sectionViewportPosition(DataCol), 0, header->sectionSize(DataCol), header->height());
    return QRect(header->viewport()->mapTo(this, r.topLeft()), r.size());
}

QRect TKitDBGrid::CellRect(int DataCol, int Row) const
{
    if (DataCol < 0 || DataCol >= ColumnCount() || Row < 0 || Row >= m_model->rowCount())
        return QRect();
    const QTableView* view = DataCol < m_frozenCount && m_frozen ? static_cast<QTableView*>(m_frozen) : this;
    const QRect r = view->visualRect(m_model->index(Row, DataCol));
    return QRect(view->viewport()->mapTo(this, r.topLeft()), r.size());
}

// ---------------------------------------------------------------- frozen columns

void TKitDBGrid::updateFrozen()
{
    if (m_frozenCount <= 0) {
        if (m_frozen)
            m_frozen->hide();
        return;
    }
    if (!m_frozen) {
        m_frozen = new TKitDBGridFrozen(this);
        m_frozen->setModel(m_model);
        m_frozen->setSelectionModel(selectionModel());
        m_frozen->verticalHeader()->setDefaultSectionSize(RowsHeight());
        m_frozen->horizontalHeader()->setFont(m_titleFont.Font);
        connect(m_frozen->verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(), &QScrollBar::setValue);
        connect(verticalScrollBar(), &QScrollBar::valueChanged, m_frozen->verticalScrollBar(), &QScrollBar::setValue);
        connect(m_frozen->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
            if (!m_settingWidths && logical < m_frozenCount)
                setColumnWidth(logical, size);  // the grid's own header records it
        });
        applyOptions();
    }
    m_settingWidths = true;
    for (int c = 0; c < m_model->columnCount(); ++c) {
        m_frozen->setColumnHidden(c, c >= m_frozenCount || isColumnHidden(c));
        m_frozen->setColumnWidth(c, columnWidth(c));
    }
    m_settingWidths = false;
    m_frozen->show();
    updateFrozenGeometry();
}

void TKitDBGrid::updateFrozenGeometry()
{
    if (!m_frozen || m_frozenCount <= 0 || !m_frozen->isVisible())
        return;
    int width = 0;
    for (int c = 0; c < m_frozenCount; ++c)
        if (!isColumnHidden(c))
            width += columnWidth(c);
    const bool titles = m_options & dgTitles;
    const int top = titles ? m_titles->y() : viewport()->y();
    const int headerHeight = titles ? m_titles->height() : 0;
    m_frozen->horizontalHeader()->setFixedHeight(qMax(0, headerHeight));
    m_frozen->setGeometry(viewport()->x(), top, width, viewport()->height() + headerHeight);
    m_frozen->verticalScrollBar()->setValue(verticalScrollBar()->value());
}

void TKitDBGrid::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    QTableView::scrollTo(index, hint);
    // A scrolling column must not end up under the frozen ones.
    if (m_frozenCount > 0 && index.isValid() && index.column() >= m_frozenCount) {
        int frozenWidth = 0;
        for (int c = 0; c < m_frozenCount; ++c)
            if (!isColumnHidden(c))
                frozenWidth += columnWidth(c);
        const QRect r = visualRect(index);
        if (r.left() < frozenWidth)
            horizontalScrollBar()->setValue(horizontalScrollBar()->value() - (frozenWidth - r.left()));
    }
}

void TKitDBGrid::updateGeometries()
{
    QTableView::updateGeometries();
    updateFrozenGeometry();
}

void TKitDBGrid::resizeEvent(QResizeEvent* e)
{
    QTableView::resizeEvent(e);
    updateFrozenGeometry();
}

void TKitDBGrid::changeEvent(QEvent* e)
{
    QTableView::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        applyRowHeights();
        layoutColumns();
    }
}

void TKitDBGrid::focusInEvent(QFocusEvent* e)
{
    // Taking the focus picks no row: a data set without a current row keeps
    // none (the view would make its first cell current).
    const bool none = LinkActive() && !DataSet()->HasCurrent();
    m_focusing = none;
    QTableView::focusInEvent(e);
    m_focusing = false;
    if (none && currentIndex().isValid() && !DataSet()->HasCurrent())
        selectionModel()->clear();
    viewport()->update();
}

void TKitDBGrid::focusOutEvent(QFocusEvent* e)
{
    QTableView::focusOutEvent(e);
    viewport()->update();
}

void TKitDBGrid::topLeftChanged()
{
    if ((m_options & dgRowSelect) && m_defaultDrawing)
        viewport()->update();
    if (m_tracking)
        stopTracking();
    if (OnTopLeftChanged)
        OnTopLeftChanged(this);
}

// ---------------------------------------------------------------- mouse

QPoint TKitDBGrid::toGrid(const QWidget* from, const QPoint& pos) const
{
    return from->mapTo(this, pos);
}

bool TKitDBGrid::takeFocus()
{
    if (!(focusPolicy() & Qt::ClickFocus) || !isEnabled())
        return true;  // nothing to try
    setFocus(Qt::MouseFocusReason);
    return window()->focusWidget() == this;
}

void TKitDBGrid::mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, const QPoint& gridPos)
{
    if (OnMouseDown)
        OnMouseDown(this, button, shift, gridPos.x(), gridPos.y());
}

void TKitDBGrid::mouseMove(Qt::KeyboardModifiers shift, const QPoint& gridPos)
{
    if (OnMouseMove)
        OnMouseMove(this, shift, gridPos.x(), gridPos.y());
}

void TKitDBGrid::mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, const QPoint& gridPos)
{
    if (OnMouseUp)
        OnMouseUp(this, button, shift, gridPos.x(), gridPos.y());
}

// The base grid's title click: a left release over a title.
void TKitDBGrid::baseTitleClick(Qt::MouseButton button, const QPoint& gridPos)
{
    if (button != Qt::LeftButton || !LinkActive() || !OnTitleClick)
        return;
    const int col = titleColumnAt(gridPos);
    if (col >= 0)
        OnTitleClick(ColumnAt(col));
}

void TKitDBGrid::rowMousePress(const QWidget* from, QMouseEvent* e, int row)
{
    if (!takeFocus())
        return;
    if (row >= 0 && LinkActive()) {
        moveToRow(row);
        pickRow(row);
    }
    mouseDown(e->button(), e->modifiers(), toGrid(from, e->position().toPoint()));
}

void TKitDBGrid::rowMouseRelease(const QWidget* from, QMouseEvent* e)
{
    mouseUp(e->button(), e->modifiers(), toGrid(from, e->position().toPoint()));
}

void TKitDBGrid::mousePressEvent(QMouseEvent* e)
{
    if (!takeFocus())
        return;
    QTableView::mousePressEvent(e);  // moves the current cell, and so the record
    const QPoint pos = e->position().toPoint();
    pickRow(indexAt(pos).row());
    mouseDown(e->button(), e->modifiers(), toGrid(viewport(), pos));
    if (m_multiSelect && e->button() == Qt::LeftButton && LinkActive() && indexAt(pos).isValid()) {
        m_selecting = false;
        if (e->modifiers() & Qt::ControlModifier) {
            SetCurrentRowSelected(!CurrentRowSelected());
        } else {
            ClearSelectedRows();
            if (m_clearSelection)
                SetCurrentRowSelected(true);
        }
    }
}

void TKitDBGrid::mouseMoveEvent(QMouseEvent* e)
{
    QTableView::mouseMoveEvent(e);
    mouseMove(e->modifiers(), toGrid(viewport(), e->position().toPoint()));
}

void TKitDBGrid::mouseReleaseEvent(QMouseEvent* e)
{
    QTableView::mouseReleaseEvent(e);
    const QPoint g = toGrid(viewport(), e->position().toPoint());
    // A press in the cells released over a title is a title click too.
    baseTitleClick(e->button(), g);
    mouseUp(e->button(), e->modifiers(), g);
}

void TKitDBGrid::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    if (takeFocus() && OnDblClick)
        OnDblClick(this);
}

void TKitDBGrid::wheelEvent(QWheelEvent* e)
{
    e->accept();
    const int delta = e->angleDelta().y();
    if (delta == 0)
        return;
    bool handled = false;
    const QPoint pos = e->position().toPoint();
    if (delta < 0 && OnMouseWheelDown)
        OnMouseWheelDown(this, e->modifiers(), pos, handled);
    else if (delta > 0 && OnMouseWheelUp)
        OnMouseWheelUp(this, e->modifiers(), pos, handled);
    if (handled || !takeFocus() || !LinkActive())
        return;
    DataSet()->MoveBy(delta < 0 ? 1 : -1);
}

// ---------------------------------------------------------------- title buttons

int TKitDBGrid::titleColumnAt(const QPoint& gridPos) const
{
    if (!(m_options & dgTitles) || !rect().contains(gridPos))
        return -1;
    if (m_frozen && m_frozen->isVisible()) {
        const QHeaderView* h = m_frozen->horizontalHeader();
        const QRect area(h->mapTo(this, QPoint(0, 0)), h->size());
        if (area.contains(gridPos)) {
            const int col = h->logicalIndexAt(gridPos.x() - area.left());
            return col >= 0 && col < m_frozenCount ? col : -1;
        }
    }
    const QRect area(m_titles->mapTo(this, QPoint(0, 0)), m_titles->size());
    if (!m_titles->isVisible() || !area.contains(gridPos))
        return -1;
    return m_titles->logicalIndexAt(gridPos.x() - area.left());
}

bool TKitDBGrid::inTitleRow(const QPoint& gridPos) const
{
    return titleColumnAt(gridPos) >= 0;
}

void TKitDBGrid::CheckTitleButton(int ACol, bool& Enabled)
{
    if (ACol < 0 || ACol >= ColumnCount()) {
        Enabled = false;
        return;
    }
    if (OnCheckButton)
        OnCheckButton(this, ACol, FieldAt(ACol), Enabled);
}

void TKitDBGrid::DoTitleClick(int ACol, TField* Field)
{
    if (OnTitleBtnClick)
        OnTitleBtnClick(this, ACol, Field);
}

bool TKitDBGrid::titleMousePress(QHeaderView* header, QMouseEvent* e)
{
    auto* titles = static_cast<TKitDBGridTitles*>(header);
    const QPoint pos = e->position().toPoint();
    const QPoint g = toGrid(titles->viewport(), pos);
    if (!takeFocus())
        return true;
    Qt::MouseButton button = e->button();
    if (button == Qt::LeftButton && titles->onResizeBorder(pos.x())) {
        m_resizing = true;
        titles->basePress(e);
        mouseDown(button, e->modifiers(), g);
        return true;
    }
    const int col = titleColumnAt(g);
    if (m_titleButtons && LinkActive() && col >= 0) {
        if (button == Qt::RightButton && (m_options & dgColumnResize)) {
            m_swapButtons = true;
            button = Qt::LeftButton;
        }
        if (button == Qt::LeftButton) {
            bool enabled = true;
            CheckTitleButton(col, enabled);
            if (!enabled) {
                MessageBeep();
                return true;
            }
            m_tracking = true;
            m_pressedCol = col;
            m_pressed = true;
            repaintTitles();
            return true;
        }
    }
    mouseDown(button, e->modifiers(), g);
    return true;
}

bool TKitDBGrid::titleMouseMove(QHeaderView* header, QMouseEvent* e)
{
    auto* titles = static_cast<TKitDBGridTitles*>(header);
    const QPoint g = toGrid(titles->viewport(), e->position().toPoint());
    if (m_tracking) {
        const bool over = titleColumnAt(g) == m_pressedCol;
        if (over != m_pressed) {
            m_pressed = over;
            repaintTitles();
        }
    }
    titles->baseMove(e);
    mouseMove(e->modifiers(), g);
    return true;
}

bool TKitDBGrid::titleMouseRelease(QHeaderView* header, QMouseEvent* e)
{
    auto* titles = static_cast<TKitDBGridTitles*>(header);
    const QPoint g = toGrid(titles->viewport(), e->position().toPoint());
    Qt::MouseButton button = e->button();
    const bool wasResizing = m_resizing;
    m_resizing = false;
    if (m_tracking && m_pressedCol >= 0) {
        const bool counted = titleColumnAt(g) == m_pressedCol;
        const int col = m_pressedCol;
        stopTracking();
        // The right button that pressed the title stays a right button.
        m_swapButtons = false;
        if (counted && col < ColumnCount() && LinkActive())
            DoTitleClick(col, FieldAt(col));
    } else if (m_swapButtons) {
        m_swapButtons = false;
        if (button == Qt::RightButton)
            button = Qt::LeftButton;
    }
    titles->baseRelease(e);
    if (!wasResizing)
        baseTitleClick(button, g);
    mouseUp(button, e->modifiers(), g);
    return true;
}

void TKitDBGrid::stopTracking()
{
    if (!m_tracking && !m_pressed && m_pressedCol < 0)
        return;
    m_tracking = false;
    m_pressed = false;
    m_pressedCol = -1;
    repaintTitles();
}

void TKitDBGrid::repaintTitles()
{
    m_titles->viewport()->update();
    if (m_frozen)
        m_frozen->horizontalHeader()->viewport()->update();
}

// ---------------------------------------------------------------- keys

void TKitDBGrid::keyPressEvent(QKeyEvent* e)
{
    int key = e->key();
    const Qt::KeyboardModifiers shift = e->modifiers();
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
    e->accept();
    if (!LinkActive()) {
        e->ignore();  // the form may still want Enter or Escape
        return;
    }
    if (key == 0)
        return;

    const bool ctrl = shift & Qt::ControlModifier;
    const bool rowSelect = m_options & dgRowSelect;
    auto clearRows = [this] {
        m_selecting = false;
        if (m_multiSelect && m_clearSelection)
            ClearSelectedRows();
    };
    if (ctrl) {
        switch (key) {
        case Qt::Key_PageUp: case Qt::Key_PageDown: case Qt::Key_End: case Qt::Key_Home:
        case Qt::Key_Up: case Qt::Key_Down:
            clearRows();
            break;
        case Qt::Key_Left:
            if (m_frozenCount > 0) {
                moveToColumn(firstScrollingColumn());
                return;
            }
            break;
        case Qt::Key_Delete:
            deleteKey();
            return;
        default:
            break;
        }
    } else {
        switch (key) {
        case Qt::Key_Home:
            if (m_frozenCount > 0 && ColumnCount() > 1 && !rowSelect) {
                moveToColumn(firstScrollingColumn());
                return;
            }
            clearRows();
            break;
        case Qt::Key_Left:
            if (m_frozenCount > 0 && !rowSelect && SelectedIndex() <= firstScrollingColumn())
                return;
            if (rowSelect)
                clearRows();
            break;
        case Qt::Key_Right:
            if (rowSelect)
                clearRows();
            break;
        case Qt::Key_Up:
            moveRecord(-1, shift);
            return;
        case Qt::Key_Down:
            moveRecord(1, shift);
            return;
        case Qt::Key_End: case Qt::Key_Escape: case Qt::Key_PageUp: case Qt::Key_PageDown:
            clearRows();
            break;
        case Qt::Key_Insert:
            if (DataSetCanModify() && !m_readOnly && (m_options & dgEditing))
                clearRows();
            break;
        default:
            break;
        }
    }
    baseKeyDown(e, key, shift);

    // Character input: the owner may change or swallow the character; a
    // grid that does not edit has nothing more to do with it.
    const QString text = e->text();
    if (!text.isEmpty() && text[0].isPrint() && !(shift & (Qt::ControlModifier | Qt::AltModifier))) {
        QChar ch = text[0];
        if (OnKeyPress)
            OnKeyPress(this, ch);
        e->accept();
    }
}

void TKitDBGrid::moveRecord(int direction, Qt::KeyboardModifiers shift)
{
    TDataSet* ds = DataSet();
    if (m_multiSelect) {
        if (shift & Qt::ShiftModifier) {
            if (!m_selecting) {
                m_selecting = true;
                m_selectionAnchor = ds->CurrentRow();
                SelectRow(m_selectionAnchor, true);
            } else if ((ds->CurrentRow() - m_selectionAnchor) * direction < 0) {
                SelectRow(ds->CurrentRow(), false);  // shrinking back towards the anchor
            }
        } else {
            m_selecting = false;
            if (m_clearSelection)
                ClearSelectedRows();
        }
    }
    // At the end nothing is appended: the grid does not add rows.
    ds->MoveBy(direction);
    if (m_multiSelect && m_selecting)
        SelectRow(ds->CurrentRow(), true);
}

void TKitDBGrid::baseKeyDown(QKeyEvent* e, int key, Qt::KeyboardModifiers shift)
{
    TDataSet* ds = DataSet();
    const bool ctrl = shift & Qt::ControlModifier;
    const int cur = ds->CurrentRow();
    if (ctrl) {
        switch (key) {
        case Qt::Key_Home: ds->First(); return;
        case Qt::Key_End: ds->Last(); return;
        case Qt::Key_PageUp: case Qt::Key_Up: ds->MoveBy(TopRow() - cur); return;
        case Qt::Key_PageDown: case Qt::Key_Down: ds->MoveBy(TopRow() + VisibleRowCount() - 1 - cur); return;
        default: break;
        }
    } else {
        switch (key) {
        case Qt::Key_PageUp: ds->MoveBy(-VisibleRowCount()); return;
        case Qt::Key_PageDown: ds->MoveBy(VisibleRowCount()); return;
        default: break;
        }
    }
    switch (key) {
    case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Home: case Qt::Key_End: case Qt::Key_Tab:
    case Qt::Key_Backtab:
        QTableView::keyPressEvent(e);
        break;
    default:
        // Enter, Escape and the like belong to the form.
        if (e->text().isEmpty() || !e->text()[0].isPrint())
            e->ignore();
        break;
    }
}

bool TKitDBGrid::dataSetEmpty() const
{
    TDataSet* ds = DataSet();
    return !ds || !ds->Active() || (ds->Bof() && ds->Eof());
}

void TKitDBGrid::deleteKey()
{
    if (m_readOnly || !DataSetCanModify() || dataSetEmpty())
        return;
    const QString msg = m_selected.size() < 2 ? QStringLiteral("Delete record?")
                                              : QStringLiteral("Delete all selected records?");
    if ((m_options & dgConfirmDelete) && MessageDlg(msg, mtConfirmation, mbYesNo) != mrYes)
        return;
    const QVector<int> rows = m_selected.isEmpty() ? QVector<int>{DataSet()->CurrentRow()} : SelectedRows();
    ClearSelectedRows();
    DeleteRecords(rows);
}

// ---------------------------------------------------------------- layout storage

QString TKitDBGrid::layoutSection() const
{
    return m_columns->Count() > 0 ? DefaultSectionName(this) : GetDataSetSection(DataSet());
}

QVector<TColumnLayout> TKitDBGrid::columnLayouts() const
{
    QVector<TColumnLayout> items;
    for (int i = 0; i < m_columns->Count(); ++i)
        items << TColumnLayout{m_columns->Items(i)->FieldName(), m_columns->Items(i)->Width()};
    return items;
}

// The fields in the order the grid shows them, or last restored them, or
// the data set's own order.
QVector<TFieldLayout> TKitDBGrid::fieldLayouts() const
{
    TDataSet* ds = DataSet();
    QVector<TFieldLayout> fields;
    if (!ds)
        return fields;
    QStringList order;
    if (!m_shown.isEmpty()) {
        for (TColumn* c : m_shown)
            order << c->FieldName();
    } else if (!m_fieldOrder.isEmpty()) {
        order = m_fieldOrder;
    } else {
        for (int i = 0; i < ds->FieldCount(); ++i)
            order << ds->Fields(i)->FieldName();
    }
    for (const QString& name : order)
        if (TField* f = ds->FindField(name))
            fields << TFieldLayout{f->FieldName(), f->DisplayWidth(), f->Visible()};
    return fields;
}

void TKitDBGrid::SaveLayout(TIniFile& IniFile, const QString& Section)
{
    SaveLayout(TIniStore{nullptr, &IniFile}, Section);
}

void TKitDBGrid::RestoreLayout(TIniFile& IniFile, const QString& Section)
{
    RestoreLayout(TIniStore{nullptr, &IniFile}, Section);
}

void TKitDBGrid::SaveLayout(const TIniStore& Store, const QString& Section)
{
    const QString section = Section.isEmpty() ? layoutSection() : Section;
    if (m_columns->Count() > 0)
        SaveColumnsLayout(Store, section, objectName(), columnLayouts());
    else if (TDataSet* ds = DataSet())
        SaveFieldsLayout(Store, section, ds->objectName(), fieldLayouts());
}

void TKitDBGrid::RestoreLayout(const TIniStore& Store, const QString& Section)
{
    TDataSet* ds = DataSet();
    const QString section = Section.isEmpty() ? layoutSection() : Section;
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);
    if (m_columns->Count() > 0) {
        const QVector<TColumnLayout> restored = RestoreColumnsLayout(Store, section, objectName(), columnLayouts());
        // Re-order the columns as stored; duplicates keep their order.
        std::vector<std::unique_ptr<TColumn>> old = std::move(m_columns->m_items);
        m_columns->m_items.clear();
        for (const TColumnLayout& item : restored) {
            for (auto& c : old) {
                if (c && c->FieldName() == item.FieldName) {
                    if (c->Width() != item.Width)
                        c->m_width = qMax(0, item.Width);
                    m_columns->m_items.push_back(std::move(c));
                    break;
                }
            }
        }
        for (auto& c : old)
            if (c)
                m_columns->m_items.push_back(std::move(c));
        applyModelColumns();
    } else if (ds) {
        const QVector<TFieldLayout> fields = fieldLayouts();
        if (!fields.isEmpty()) {
            const QVector<TFieldLayout> restored = RestoreFieldsLayout(Store, section, ds->objectName(), fields, false);
            m_fieldOrder.clear();
            for (const TFieldLayout& f : restored) {
                if (TField* field = ds->FindField(f.FieldName))
                    field->SetDisplayWidth(f.DisplayWidth);
                m_fieldOrder << f.FieldName;
            }
            applyModelColumns();
        }
    }
    setUpdatesEnabled(updates);
}

// The placement's save and restore keep the layout of a named grid, in the
// placement's store under its section.
bool TKitDBGrid::layoutLinked() const
{
    return !objectName().isEmpty() && m_iniLink.IniStore().IsOpen();
}

void TKitDBGrid::iniSave()
{
    if (layoutLinked())
        SaveLayout(m_iniLink.IniStore(), m_iniLink.RootSection() + layoutSection());
}

void TKitDBGrid::iniLoad()
{
    if (layoutLinked())
        RestoreLayout(m_iniLink.IniStore(), m_iniLink.RootSection() + layoutSection());
}
