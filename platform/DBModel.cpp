#include "DBModel.h"
#include "Application.h"

TDataSetModel::TDataSetModel(TDataSource* source, QObject* parent) : QAbstractTableModel(parent), m_source(source)
{
    if (m_source) {
        connect(m_source, &TDataSource::DataSetChanged, this, [this] { attach(); });
        connect(m_source, &TDataSource::StateChange, this, [this] { rebuild(); });
    }
    attach();
}

void TDataSetModel::attach()
{
    for (const auto& c : m_links)
        disconnect(c);
    m_links.clear();
    m_attached = DataSet();
    if (m_attached) {
        m_links << connect(m_attached, &TDataSet::RowsFetched, this, [this] { rowsArrived(); });
        m_links << connect(m_attached, &TDataSet::RowsReplaced, this, [this] { rebuild(); });
        m_links << connect(m_attached, &TDataSet::DataChanged, this, [this] {
            rowsArrived();
            if (m_rows > 0 && !m_fields.isEmpty())
                emit dataChanged(index(0, 0), index(m_rows - 1, int(m_fields.size()) - 1));
        });
    }
    rebuild();
}

void TDataSetModel::SetColumns(const QVector<TGridColumn>& columns)
{
    m_columns = columns;
    rebuild();
}

void TDataSetModel::rebuild()
{
    const bool wasInserting = m_inserting;
    m_inserting = true;  // no fetching while the model is being reset
    beginResetModel();
    m_fields.clear();
    m_rows = 0;
    m_fetchFailed = false;
    TDataSet* ds = DataSet();
    if (ds && ds->Active()) {
        if (m_columns.isEmpty()) {
            for (int i = 0; i < ds->FieldCount(); ++i)
                m_fields << ds->Fields(i);
        } else {
            for (const TGridColumn& c : m_columns)
                if (TField* f = ds->FindField(c.FieldName))
                    m_fields << f;
        }
        m_rows = ds->FetchedCount();
    }
    endResetModel();
    m_inserting = wasInserting;
    if (!m_inserting) {
        rowsArrived();  // what views read while being reset
        runPendingFetch();
    }
}

void TDataSetModel::rowsArrived()
{
    TDataSet* ds = DataSet();
    if (!ds || !ds->Active())
        return;
    // Views may ask for more rows while they are told about the last ones;
    // those arrive in the same loop, never as a nested insertion.
    if (m_inserting)
        return;
    m_inserting = true;
    for (int now = ds->FetchedCount(); now > m_rows; now = ds->FetchedCount()) {
        beginInsertRows(QModelIndex(), m_rows, now - 1);
        m_rows = now;
        endInsertRows();
    }
    m_inserting = false;
    runPendingFetch();
}

void TDataSetModel::runPendingFetch()
{
    if (m_fetchPending && !m_inserting) {
        m_fetchPending = false;
        if (canFetchMore())
            fetchMore();
    }
}

TField* TDataSetModel::FieldAt(int column) const
{
    return column >= 0 && column < m_fields.size() ? m_fields[column] : nullptr;
}

QString TDataSetModel::TitleAt(int column) const
{
    TField* f = FieldAt(column);
    if (!f)
        return QString();
    for (const TGridColumn& c : m_columns)
        if (c.FieldName.compare(f->FieldName(), Qt::CaseInsensitive) == 0 && !c.Title.isEmpty())
            return c.Title;
    return f->DisplayLabel();
}

int TDataSetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TDataSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_fields.size());
}

QVariant TDataSetModel::data(const QModelIndex& index, int role) const
{
    TField* f = FieldAt(index.column());
    TDataSet* ds = DataSet();
    if (!f || !ds || !ds->Active() || index.row() >= m_rows)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return f->DisplayTextOf(ds->RawValue(index.row(), f->Index()));
    case Qt::EditRole:
        return f->ValueOf(ds->RawValue(index.row(), f->Index()));
    case Qt::TextAlignmentRole:
        switch (f->Alignment()) {
        case taRightJustify: return int(Qt::AlignRight | Qt::AlignVCenter);
        case taCenter: return int(Qt::AlignHCenter | Qt::AlignVCenter);
        case taLeftJustify: break;
        }
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

QVariant TDataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return TitleAt(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags TDataSetModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

bool TDataSetModel::canFetchMore(const QModelIndex& parent) const
{
    TDataSet* ds = DataSet();
    return !parent.isValid() && ds && ds->Active() && !ds->AllFetched() && !m_fetchFailed;
}

void TDataSetModel::fetchMore(const QModelIndex& parent)
{
    TDataSet* ds = DataSet();
    if (parent.isValid() || !ds || !ds->Active())
        return;
    if (m_inserting) {
        m_fetchPending = true;  // once the model has told the views of the last rows
        return;
    }
    // A data set with a first window has read it on opening: a view that
    // shows no more than that never gets here.
    const int wanted = m_rows + kFetchBatch;
    try {
        ds->FetchTo(wanted - 1);
    } catch (const std::exception& e) {
        // The rows so far stay; the data set has stopped reading.
        m_fetchFailed = true;
        const auto* ours = dynamic_cast<const Exception*>(&e);
        emit FetchFailed(ours ? ours->Message() : QString::fromUtf8(e.what()));
    }
    rowsArrived();  // also when controls are disabled and the data set kept quiet
}
