#pragma once
// The database layer: one connection component (TDatabase), read-only data
// sets over SQL text (TQuery) with typed fields (TField), and the data
// source that data-aware controls watch (TDataSource).
//
// A TQuery fetches rows on demand: opening a page over a million rows reads
// only what is looked at. Its current record is shared by everything that
// reads it (grids, navigator, code).
#include "Exceptions.h"
#include "RowStore.h"
#include "StringList.h"
#include "SysUtils.h"
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSqlDatabase>
#include <QVariant>
#include <QVector>
#include <memory>

class TCursor;
class TDataSet;
class TQuery;
struct sqlite3_stmt;

enum TFieldType {
    ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
    ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic,
    ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString,
    ftLargeint, ftADT, ftArray, ftReference, ftDataSet
};

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// A persistent field: what the page's field list says about one column.
struct TFieldDef {
    QString Name;
    TFieldType DataType = ftUnknown;
    int Size = 0;               // text fields: at most this many characters
    QString DisplayLabel;       // empty: the field name
    int DisplayWidth = 0;       // characters; 0: the type's default
    int Alignment = -1;         // a TAlignment; -1: the type's default
    bool Currency = false;      // floats shown as money
    bool Visible = true;
    QString DisplayFormat;      // floats: a FormatFloat pattern ("#0.##")
};

// A field's name as a key: names that differ only in letter case are one
// key. Lookups fold no copy of the name.
struct TFieldKey {
    QString Name;
    bool operator==(const TFieldKey& other) const { return Name.compare(other.Name, Qt::CaseInsensitive) == 0; }
};
size_t qHash(const TFieldKey& key, size_t seed = 0) noexcept;

class TField {
public:
    const QString& FieldName() const { return m_def.Name; }
    TFieldType DataType() const { return m_def.DataType; }
    int Size() const { return m_def.Size; }
    QString DisplayLabel() const { return m_def.DisplayLabel.isEmpty() ? m_def.Name : m_def.DisplayLabel; }
    void SetDisplayLabel(const QString& label) { m_def.DisplayLabel = label; }
    int DisplayWidth() const;
    void SetDisplayWidth(int w) { m_def.DisplayWidth = w; }
    TAlignment Alignment() const;
    bool Currency() const { return m_def.Currency; }
    bool Visible() const { return m_def.Visible; }
    void SetVisible(bool v) { m_def.Visible = v; }
    int Index() const { return m_index; }
    TDataSet* DataSet() const { return m_dataSet; }
    bool IsBlob() const;
    bool IsNumeric() const;

    // The current record's value, converted by the field's type: a date
    // field gives a QDateTime (from 'yyyymmdd', 'yyyymmdd hh:mm:ss' or ISO
    // text), a flag a bool, a number a number. Null stays null.
    QVariant Value() const;
    bool IsNull() const;
    // Null reads as "", 0, false, 0.0. A text that is not a number, date or
    // flag raises EConvertError.
    QString AsString() const;
    // A value outside the 32-bit range (a number, a number's text, or a
    // double that rounds beyond it, NaN and infinity too) raises ERangeError
    // naming the value and the field: it is never cut to another number.
    int AsInteger() const;
    // AsInteger for readers that pass a value over: false (and no
    // exception) where AsInteger would raise.
    bool TryAsInteger(int& value) const;
    double AsFloat() const;
    double AsCurrency() const { return AsFloat(); }
    bool AsBoolean() const;
    TDateTime AsDateTime() const;
    // The text a grid cell or report shows: dates in the short date format
    // (with the time when there is one), money as currency, flags as
    // True/False, memos and blobs as (MEMO)/(BLOB).
    QString DisplayText() const;
    QString Text() const { return DisplayText(); }

    // The same conversions for a raw value of this field (rows read outside
    // the current record, as a grid model or an export does).
    QVariant ValueOf(const QVariant& raw) const;
    QString DisplayTextOf(const QVariant& raw) const;
    QString AsStringOf(const QVariant& raw) const;

private:
    friend class TDataSet;
    TField(TDataSet* ds, const TFieldDef& def, int index, int column)
        : m_dataSet(ds), m_def(def), m_index(index), m_column(column) {}
    QVariant raw() const;
    TDataSet* m_dataSet;
    TFieldDef m_def;
    int m_index;
    int m_column;  // column of the result set
};

// Raw value conversions shared by fields and the export.
namespace FieldConv {
bool ParseDateTimeText(const QString& text, QDateTime& out);
QString FloatToDisplay(double v);
}  // namespace FieldConv

enum TLocateOption { loCaseInsensitive = 1, loPartialKey = 2 };
using TLocateOptions = int;

class TDatabase : public QObject {
    Q_OBJECT
public:
    explicit TDatabase(QObject* owner = nullptr);
    ~TDatabase() override;

    QString DatabaseName;        // the name queries give
    QString AliasName;           // data source: an existing SQLite file, or an ODBC DSN
    TStringList Params;          // "USER NAME=...", "PASSWORD=..."
    QString SessionName = QStringLiteral("Default");
    bool LoginPrompt = true;     // ask with the login dialog when connecting
    QString NetFileDir;          // kept for the caller; no engine setting here

    bool Connected() const;
    // Connecting resolves the alias, asks for the identity when LoginPrompt
    // is set, and raises EDatabaseError with the engine's message on failure.
    // Disconnecting closes every data set on this database.
    void SetConnected(bool value);
    // Opens the data source `alias` as the identity in `params` beside the
    // present connection, without the login dialog; only once it is open
    // are this database's data sets closed and the present connection
    // replaced by it. A data source that cannot be opened raises
    // EDatabaseError and leaves the database, its settings and its open
    // data sets as they were.
    void ConnectInstead(const QString& alias, const TStringList& params);
    void Open() { SetConnected(true); }
    void Close() { SetConnected(false); }

    void StartTransaction();
    // A transaction a statement of which failed was rolled back then:
    // committing it raises EDatabaseError, nothing being saved.
    void Commit();
    void Rollback();
    bool InTransaction() const { return m_inTransaction; }
    // Raises EDatabaseError when a statement of the open transaction failed
    // and ended it: nothing more runs in it until its guard lets it go.
    void CheckTransactionUsable() const;

    // True when the server is SQLite (reached directly or through ODBC); the
    // program's SQL Server text is then translated before it runs.
    bool IsSqlite() const { return m_sqlite; }
    // True when the embedded engine opened a file (no ODBC).
    bool IsEmbedded() const { return m_embedded; }
    QString PrepareSql(const QString& sqlServerText) const;
    // Raises EUncarriedText, naming the character, when the text holds one
    // of a kind that this connection does not carry exactly as it is. Each
    // kind of character beyond ASCII (Western European letters, the rest of
    // the Basic Multilingual Plane, characters beyond it such as emoji) is
    // sent and read back when the connection opens; a kind that does not
    // come back unchanged is never sent. So are texts starting with U+FEFF
    // and with U+FFFE: where one does not come back, no quoted text of a
    // statement may start with it.
    void CheckCarried(const QString& text) const;
    // The first character of `text` this connection does not carry, for a
    // message ("the character 🐧 (U+1F427), which the data source ... cannot
    // take as typed, nor any other emoji or rare symbol"); empty when it
    // carries the whole text. In a statement a text starts after its quote.
    // `at`, when given, is set to where that character stands in `text`.
    QString Uncarried(const QString& text, bool statement = false, qsizetype* at = nullptr) const;
    // Raises EUncarriedText for an old value the audit trail would keep
    // under `field` when this connection does not carry it as stored.
    void CheckCarriedAsStored(const QString& field, const QString& value) const;
    // What every statement of the program runs as: checked (CheckCarried),
    // then translated (PrepareSql). A text refused here counts as a failed
    // statement of the open transaction.
    QString StatementText(const QString& sqlServerText);
    // True when the data source was opened read-only (a SQLite file the
    // program may not write). Transactions are then refused, and a write
    // that reaches the engine raises the same clear message.
    bool ReadOnly() const { return m_readOnly; }
    QString ReadOnlyMessage() const;
    // A statement failed: the open transaction, if any, is rolled back at
    // once and takes no further statement (CheckTransactionUsable).
    void StatementFailed();
    // Raises EDatabaseError for a failed statement (StatementFailed): the
    // read-only message where that is the cause, else the engine's.
    [[noreturn]] void StatementError(const class QSqlError& err, const QString& context);
    QSqlDatabase& Connection() { return m_db; }
    // A statement with ? marks, prepared on the program's SQLite connection,
    // is kept once its rows are read, for the next reading of the same text
    // with other values (TQuery::Params); the connection lets them go when
    // it closes. Take returns nullptr when none is kept.
    sqlite3_stmt* TakeStatement(const QByteArray& engineText);
    void KeepStatement(const QByteArray& engineText, sqlite3_stmt* statement);

    static TDatabase* Find(const QString& databaseName);

    // The database login dialog (DBLogin.h); tests replace it. Returns false when
    // cancelled; otherwise user and password are set.
    using LoginDialogFn = std::function<bool(const QString& databaseName, QString& user, QString& password)>;
    static LoginDialogFn SetLoginDialog(LoginDialogFn fn);

signals:
    void AfterConnect();
    void AfterDisconnect();

private:
    friend class TDataSet;
    void registerDataSet(TDataSet* ds);
    void unregisterDataSet(TDataSet* ds);
    bool rollbackThroughDriver();
    QString m_connectionName;
    QSqlDatabase m_db;
    bool m_connected = false;
    bool m_sqlite = false;
    bool m_embedded = false;
    bool m_inTransaction = false;
    bool m_transactionFailed = false;  // rolled back when a statement failed
    bool m_readOnly = false;
    int m_uncarried = 0;  // kinds of character the connection does not carry
    QString m_lostAtStart;  // characters it does not carry at a text's start
    QString m_lockTable;    // SQLite through ODBC: the table a transaction locks first
    QString m_sourceName;
    QVector<QPointer<TDataSet>> m_dataSets;
    QHash<QByteArray, sqlite3_stmt*> m_statements;  // kept statements by their text
    mutable QHash<QString, QString> m_translated;   // PrepareSql's answers
    void letStatementsGo();
};

// Raises EDatabaseError built from a Qt SQL error.
[[noreturn]] void DatabaseErrorFrom(const class QSqlError& err, const QString& context = QString());

// True when a statement's error says that a unique key already holds the
// value it writes (a row with that key or unique value is there), on any
// server the program reaches.
bool IsDuplicateKeyError(const EDatabaseError& error);

class TDataSet : public QObject {
    Q_OBJECT
public:
    explicit TDataSet(QObject* owner = nullptr);
    ~TDataSet() override;

    QString DatabaseName;

    bool Active() const { return m_active; }
    void SetActive(bool value) { value ? Open() : Close(); }
    void Open();
    void Close();
    // Reads the rows again and returns to the same record number.
    void Refresh();

    // Persistent fields: when given, the data set exposes exactly these, in
    // this order, with their types and display settings.
    void SetFieldDefs(const QVector<TFieldDef>& defs);
    const QVector<TFieldDef>& FieldDefs() const { return m_defs; }

    int FieldCount() const { return int(m_fields.size()); }
    TField* Fields(int i) const { return m_fields.at(i).get(); }
    TField* FindField(const QString& name) const;
    TField* FieldByName(const QString& name) const;  // raises EDatabaseError when absent

    // Navigation: one current record, shared by the grid and the code.
    void First();
    void Next();
    void Prior();
    void Last();
    int MoveBy(int distance);
    bool Bof() const { return m_bof; }
    bool Eof() const { return m_eof; }
    bool IsEmpty();
    int RecNo() const { return m_active && m_cur >= 0 ? m_cur + 1 : 0; }
    void SetRecNo(int recNo);  // 1-based; fetches up to it
    // All rows; counted by the server when not all have been fetched.
    int RecordCount();
    bool Locate(const QString& keyFields, const QVariant& keyValues, TLocateOptions options = 0);

    // The field that names a row (a page's "id"); empty: a row is known by
    // its place only. With a key, where the rows read so far give way to a
    // new read of them (RowsReplaced), the current row is found again by its
    // key among the new rows; where a picked row (RowPicked) is no longer
    // there, no row is current and CurrentRowGone is told once the move or
    // read that found it out is over.
    QString KeyField;
    // Makes the row whose KeyField holds `key` current: one row asked of the
    // server by its key (the statement restricted to it) says whether it is
    // there before the page is read on to it. Where it is not, no row is
    // current and the answer is false.
    bool LocateKey(const QVariant& key);
    // True while a row is current. A data set with rows may have none: the
    // operator's row went when the rows were read again. Next then goes to
    // the first row.
    bool HasCurrent() const { return m_active && m_cur >= 0; }
    void ClearCurrent();
    // True when a move (the operator's or the program's) made the current
    // row current since the rows were read, not opening on the first row.
    // Only such a row is told gone where the rows are read again; a first
    // row that went gives way to the new first row.
    bool RowPicked() const { return HasCurrent() && m_picked; }

    // While disabled, data-aware controls are not told about moves.
    void DisableControls() { ++m_disableCount; }
    void EnableControls();
    bool ControlsDisabled() const { return m_disableCount > 0; }

    // Forward only: rows are not kept behind the current one (exports read
    // a million rows in constant memory). Prior and First after moving raise.
    // On a SQLite file the rows come from a snapshot of their own.
    bool UniDirectional = false;

    // Rows asked for first (0: all at once). Opening runs the statement with
    // the dialect's row limit (TOP on SQL Server, LIMIT on SQLite), so an
    // engine that sorts stops at the rows a grid shows; the window is read
    // whole on opening and the rest come from the whole statement when
    // something reads past them (on a SQLite file from a snapshot of their
    // own, so the page standing half read holds nothing else back). The rows
    // are the whole statement's, in its order: the first ones are read again
    // from it and replaced (RowsReplaced) when the two reads disagree.
    int FirstWindow = 0;
    // While the first window is all that was asked for: its size; else 0.
    int WindowRows() const { return m_window; }

    // Row access for views: rows are fetched up to the one asked for.
    int FetchedCount() const { return m_rows.End(); }
    bool AllFetched() const { return m_allFetched; }
    bool FetchTo(int row);  // true when the row exists
    QVariant RawValue(int row, int fieldIndex);
    // The stored value itself, without a QVariant (Null when the row or the
    // field is not there): for readers that go through many rows.
    TValueRef ValueRef(int row, int fieldIndex);
    // Every field's stored value of a row, in field order, in one pass.
    void RowValues(int row, QVector<TValueRef>& out);
    int CurrentRow() const { return m_active ? m_cur : -1; }
    // The row fields read: the current one, or the row a grid is drawing.
    int ActiveRecord() const { return m_drawRow >= 0 ? m_drawRow : CurrentRow(); }

    TDatabase* Database() const;

signals:
    void AfterOpen();
    void BeforeClose();
    void AfterClose();
    void AfterScroll();       // the current record changed
    void RowsFetched(int first, int last);
    void RowsReplaced();      // the rows read so far were read again and differ
    // The current row was not among the rows read again (see KeyField): no
    // row is current now.
    void CurrentRowGone();
    void DataChanged();       // controls should redraw everything

protected:
    virtual QString SelectText() const = 0;
    // Values for the statement's ? marks, in order.
    virtual QVariantList SelectParams() const { return {}; }
    QString Describe(const QString& msg) const;
    // The connection a statement of the data set runs on, connected, with
    // its transaction able to take the statement.
    TDatabase& StatementDatabase();

private:
    friend class TMoveScope;
    void fetchOne();
    void readPastWindow();
    bool keyIsThere(const TField& key, const QVariant& value);
    void indexFields();
    void tellCurrentRowGone();
    void setCurrent(int row, bool notify = true);
    void notifyScroll();
    void dropBehind();
    bool m_active = false;
    QVector<TFieldDef> m_defs;
    std::vector<std::unique_ptr<TField>> m_fields;
    QHash<TFieldKey, int> m_fieldIndex;  // the first field of each name
    std::unique_ptr<TCursor> m_cursor;
    TRowStore m_rows;
    int m_base = 0;            // rows before it are gone (UniDirectional)
    bool m_allFetched = false;
    int m_window = 0;          // the open statement's row limit while in force
    bool m_replaced = false;   // the rows read so far gave way to another read
    int m_found = -1;          // there, the current row's place found by its key; -1: gone
    bool m_foundByKey = false; // m_found holds the answer
    int m_readAgain = 0;       // how often the rows gave way to another read
    int m_moves = 0;           // moves under way (a move tells a lost row at its end)
    bool m_lost = false;       // the current row went and that has not been told yet
    bool m_picked = false;     // the current row came by a move, not by opening
    int m_cur = -1;
    bool m_bof = true;
    bool m_eof = true;
    int m_count = -1;
    int m_disableCount = 0;
    bool m_scrollPending = false;
    int m_drawRow = -1;
    int m_columnCount = 0;              // of the result set
    std::vector<TValueRef> m_columnValues;  // RowValues' scratch
    friend class TActiveRecordScope;
    QPointer<TDatabase> m_database;
    QString m_selectText;
};

// While a grid paints a row, the data set's fields read that row, so the
// grid's drawing events can look at any field of the painted row.
class TActiveRecordScope {
public:
    TActiveRecordScope(TDataSet* ds, int row) : m_ds(ds), m_saved(ds ? ds->m_drawRow : -1)
    {
        if (m_ds)
            m_ds->m_drawRow = row;
    }
    ~TActiveRecordScope()
    {
        if (m_ds)
            m_ds->m_drawRow = m_saved;
    }
    TActiveRecordScope(const TActiveRecordScope&) = delete;
    TActiveRecordScope& operator=(const TActiveRecordScope&) = delete;

private:
    TDataSet* m_ds;
    int m_saved;
};

class TQuery : public TDataSet {
    Q_OBJECT
public:
    explicit TQuery(QObject* owner = nullptr, const QString& databaseName = QString());

    // The statement as text lines, one clause per line. Changing it closes
    // the query: the new statement runs when it is opened again.
    TStringList& SQL() { return m_sql; }
    const TStringList& SQL() const { return m_sql; }
    // Values for the ? marks of a SELECT, in order (numbers, texts, Null).
    // They are bound, not spliced: a statement read again and again for
    // other values (one row by its key) is translated and, on a SQLite file,
    // prepared only once.
    QVariantList Params;

    // Runs a statement that returns no rows.
    void ExecSQL();
    int RowsAffected() const { return m_rowsAffected; }
    // Runs an INSERT and returns the id the server gave the new row, whole.
    qint64 ExecInsert();

protected:
    QString SelectText() const override;
    QVariantList SelectParams() const override { return Params; }

private:
    TStringList m_sql;
    int m_rowsAffected = -1;
};

// Reads a data set's rows from the first to the last without disturbing it,
// for reports and exports: a query gets a forward-only copy of its own, so
// memory stays flat however long the page is and the operator's row, sort
// and filter on the page are neither moved nor able to move the reading;
// other data sets are walked themselves with their controls quiet.
class TRowReader {
public:
    explicit TRowReader(TDataSet* dataSet);
    ~TRowReader();
    TRowReader(const TRowReader&) = delete;
    TRowReader& operator=(const TRowReader&) = delete;
    TDataSet* DataSet() const { return m_own ? m_own.get() : m_ds; }
    TDataSet* operator->() const { return DataSet(); }

private:
    TDataSet* m_ds;
    std::unique_ptr<TQuery> m_own;
    int m_keep = 0;
};

// Watches a data set for data-aware controls (grid, navigator).
class TDataSource : public QObject {
    Q_OBJECT
public:
    explicit TDataSource(QObject* owner = nullptr, TDataSet* dataSet = nullptr);
    TDataSet* DataSet() const { return m_dataSet; }
    void SetDataSet(TDataSet* ds);
    bool Enabled = true;

signals:
    void DataSetChanged();    // another data set was attached
    void StateChange();       // opened or closed
    void DataChange();        // the current record moved or rows arrived

private:
    QPointer<TDataSet> m_dataSet;
    QVector<QMetaObject::Connection> m_links;
};

// All or nothing: statements run between construction and Commit() belong to
// one transaction; leaving the scope without Commit() rolls them back. Inside
// an outer transaction the guard leaves the decision to the outer one.
class TTransaction {
public:
    explicit TTransaction(TDatabase* db);
    ~TTransaction();
    void Commit();
    TTransaction(const TTransaction&) = delete;
    TTransaction& operator=(const TTransaction&) = delete;

private:
    TDatabase* m_db;
    bool m_owner = false;
    bool m_done = false;
};
