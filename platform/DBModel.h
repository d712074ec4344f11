#pragma once
// A table model over a data set, for the grids: rows are fetched as the view
// scrolls towards them, cells show the fields' display texts, and the model
// follows the data set as it opens, closes and reads more rows.
#include "DB.h"
#include <QAbstractTableModel>
#include <QPointer>

struct TGridColumn {
    QString FieldName;
    QString Title;  // empty: the field's display label
};

class TDataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TDataSetModel(TDataSource* source, QObject* parent = nullptr);

    // The columns to show, in order; empty shows every field.
    void SetColumns(const QVector<TGridColumn>& columns);
    const QVector<TGridColumn>& Columns() const { return m_columns; }

    TDataSource* DataSource() const { return m_source; }
    TDataSet* DataSet() const { return m_source ? m_source->DataSet() : nullptr; }
    // The field shown in a column; nullptr while the data set is closed.
    TField* FieldAt(int column) const;
    QString TitleAt(int column) const;
    // Takes in rows the data set read while it told no one (a MoveBy or a
    // move with controls disabled), so a view can show the current record.
    void SyncRowCount() { rowsArrived(); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool canFetchMore(const QModelIndex& parent = QModelIndex()) const override;
    void fetchMore(const QModelIndex& parent = QModelIndex()) override;

    static constexpr int kFetchBatch = 256;

signals:
    // Reading more rows failed: the rows so far stay and reading stops. The
    // window that shows the model tells the operator.
    void FetchFailed(const QString& message);

private:
    void rebuild();
    void attach();
    void rowsArrived();
    void runPendingFetch();
    QPointer<TDataSource> m_source;
    QPointer<TDataSet> m_attached;
    QVector<QMetaObject::Connection> m_links;
    QVector<TGridColumn> m_columns;
    QVector<TField*> m_fields;  // resolved while open
    int m_rows = 0;
    bool m_fetchFailed = false;
    bool m_inserting = false;
    bool m_fetchPending = false;
};
