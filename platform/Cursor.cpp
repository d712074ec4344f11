#include "Cursor.h"
#include "SqliteSetup.h"
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <cstring>
#include <utility>
#include <sqlite3.h>

namespace {

QString withContext(const QString& context, const QString& msg)
{
    return context.isEmpty() ? msg : context + QStringLiteral(": ") + msg;
}

[[noreturn]] void noResultSet(const QString& context)
{
    throw EDatabaseError(withContext(context, QStringLiteral("The statement does not return a result set")));
}

TFieldDef stringDef(const QString& name, int length)
{
    TFieldDef d;
    d.Name = name;
    d.DataType = ftString;
    d.Size = length > 0 && length < 8000 ? length : 255;
    return d;
}

// ------------------------------------------------------------ the engine's

// A column's declared type, read as the SQLite driver reads it; a column
// without one (an expression) takes the type of its first value.
TFieldType typeFromDeclared(const char* declared, int firstValueType)
{
    if (declared && *declared) {
        const QByteArray t = QByteArray(declared).toLower();
        if (t == "integer" || t == "int")
            return ftInteger;
        if (t == "double" || t == "float" || t == "real" || t.startsWith("numeric"))
            return ftFloat;
        if (t == "blob")
            return ftBlob;
        if (t == "boolean" || t == "bool")
            return ftBoolean;
        return ftString;
    }
    switch (firstValueType) {
    case SQLITE_INTEGER: return ftInteger;
    case SQLITE_FLOAT: return ftFloat;
    case SQLITE_BLOB: return ftBlob;
    default: return ftString;
    }
}

// Only blanks and comments may follow the statement.
bool onlyBlanksAndComments(const char* p)
{
    while (*p) {
        if (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n' || *p == ';') {
            ++p;
        } else if (p[0] == '-' && p[1] == '-') {
            while (*p && *p != '\n')
                ++p;
        } else if (p[0] == '/' && p[1] == '*') {
            const char* end = std::strstr(p + 2, "*/");
            if (!end)
                return true;
            p = end + 2;
        } else {
            return false;
        }
    }
    return true;
}

// Closes a connection of the cursor's own.
struct TCloseConnection {
    void operator()(sqlite3* h) const { sqlite3_close_v2(h); }
};
using TOwnConnection = std::unique_ptr<sqlite3, TCloseConnection>;

class TSqliteCursor : public TCursor {
public:
    // `own`, when given, is the connection `db`, the cursor's alone: it is
    // closed as soon as the statement ends. Otherwise `db` is the program's
    // connection `program`, which is told when the statement fails.
    // `params` are bound to the ? marks; such a statement on the program's
    // connection is taken from, and given back to, the ones it keeps.
    TSqliteCursor(sqlite3* db, TOwnConnection own, TDatabase* program, const QString& text, const QString& context,
                  const QVariantList& params = {})
        : m_db(db), m_own(std::move(own)), m_program(program), m_context(context)
    {
        const QByteArray utf8 = text.toUtf8();
        if (m_program && !m_own && !params.isEmpty()) {
            m_kept = utf8;
            m_stmt = m_program->TakeStatement(utf8);
        }
        if (!m_stmt) {
            const char* tail = nullptr;
            if (sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()) + 1, &m_stmt, &tail) != SQLITE_OK)
                fail(engineMessage());
            if (!m_stmt)
                noResultSet(m_context);  // blanks or comments only
            if (tail && !onlyBlanksAndComments(tail))
                fail(QStringLiteral("Unable to execute multiple statements at a time"));
        }
        for (int i = 0; i < params.size(); ++i)
            if (bind(i + 1, params[i]) != SQLITE_OK)
                fail(engineMessage());
        m_columnCount = sqlite3_column_count(m_stmt);
        if (m_columnCount == 0) {
            finish();
            noResultSet(m_context);
        }
        // Names and declared types are read before the first step, which
        // finishes a statement without rows.
        QVector<QByteArray> declared;
        declared.reserve(m_columnCount);
        m_columns.reserve(m_columnCount);
        for (int c = 0; c < m_columnCount; ++c) {
            m_columns.push_back(stringDef(QString::fromUtf8(sqlite3_column_name(m_stmt, c)), -1));
            declared.push_back(QByteArray(sqlite3_column_decltype(m_stmt, c)));
        }
        // The statement runs (and sorts) on its first step, as it does when
        // the rows are read through Qt's query.
        advance();
        if (!m_error.isEmpty())
            fail(m_error);
        for (int c = 0; c < m_columnCount; ++c) {
            TFieldDef& d = m_columns[c];
            d.DataType = typeFromDeclared(declared[c].constData(), m_pending ? sqlite3_column_type(m_stmt, c) : SQLITE_NULL);
            if (d.DataType != ftString)
                d.Size = 0;
        }
    }
    ~TSqliteCursor() override { finish(); }

    bool Next(TRowStore& rows) override
    {
        if (!m_pending) {
            if (!m_error.isEmpty())
                fail(std::exchange(m_error, QString()));
            return false;
        }
        rows.BeginRow();
        for (int c = 0; c < m_columnCount; ++c) {
            switch (sqlite3_column_type(m_stmt, c)) {
            case SQLITE_INTEGER:
                rows.PutInt(sqlite3_column_int64(m_stmt, c));
                break;
            case SQLITE_FLOAT:
                rows.PutFloat(sqlite3_column_double(m_stmt, c));
                break;
            case SQLITE_TEXT: {
                const char* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, c));
                rows.PutText(text, sqlite3_column_bytes(m_stmt, c));
                break;
            }
            case SQLITE_BLOB: {
                const char* blob = static_cast<const char*>(sqlite3_column_blob(m_stmt, c));
                rows.PutBlob(blob, sqlite3_column_bytes(m_stmt, c));
                break;
            }
            default:
                rows.PutNull();
                break;
            }
        }
        rows.EndRow();
        // On to the next row at once: a statement whose last row has been
        // read ends here, and its read snapshot with it. An error there is
        // raised by the next call.
        advance();
        return true;
    }

private:
    // Steps to the next row (m_pending); at the end or on an error (kept in
    // m_error) the statement is finished.
    void advance()
    {
        const int rc = sqlite3_step(m_stmt);
        m_pending = rc == SQLITE_ROW;
        if (m_pending)
            return;
        if (rc != SQLITE_DONE)
            m_error = engineMessage();
        finish();
    }
    QString engineMessage() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }
    int bind(int mark, const QVariant& value)
    {
        if (value.isNull())
            return sqlite3_bind_null(m_stmt, mark);
        switch (value.typeId()) {
        case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
        case QMetaType::Bool:
            return sqlite3_bind_int64(m_stmt, mark, value.toLongLong());
        case QMetaType::Double:
            return sqlite3_bind_double(m_stmt, mark, value.toDouble());
        default: {
            const QByteArray utf8 = value.toString().toUtf8();
            return sqlite3_bind_text(m_stmt, mark, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        }
        }
    }
    // Lets go of the statement (and of the connection when it is the
    // cursor's own); one with ? marks goes back to the connection's own.
    void finish()
    {
        if (m_stmt && !m_kept.isEmpty() && m_program) {
            sqlite3_reset(m_stmt);
            sqlite3_clear_bindings(m_stmt);
            m_program->KeepStatement(m_kept, m_stmt);
        } else {
            sqlite3_finalize(m_stmt);
        }
        m_stmt = nullptr;
        m_pending = false;
        if (m_own) {
            m_own.reset();
            m_db = nullptr;
        }
    }
    [[noreturn]] void fail(const QString& msg)
    {
        finish();
        if (m_program)
            m_program->StatementFailed();
        throw EDatabaseError(withContext(m_context, msg));
    }

    sqlite3* m_db;
    TOwnConnection m_own;
    QPointer<TDatabase> m_program;
    sqlite3_stmt* m_stmt = nullptr;
    QByteArray m_kept;  // the text under which the statement is kept; empty: finalized
    QString m_context;
    int m_columnCount = 0;
    bool m_pending = false;  // a row stepped to and not yet stored
    QString m_error;         // the engine's message from the last step
};

// ------------------------------------------------------------ Qt's

TFieldDef defFromDriver(const QSqlField& f)
{
    TFieldDef d;
    d.Name = f.name();
    switch (f.metaType().id()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort:
        d.DataType = ftInteger;
        break;
    case QMetaType::Double: case QMetaType::Float:
        d.DataType = ftFloat;
        break;
    case QMetaType::Bool:
        d.DataType = ftBoolean;
        break;
    case QMetaType::QDate:
        d.DataType = ftDate;
        break;
    case QMetaType::QTime:
        d.DataType = ftTime;
        break;
    case QMetaType::QDateTime:
        d.DataType = ftDateTime;
        break;
    case QMetaType::QByteArray:
        d.DataType = ftBlob;
        break;
    default:
        d = stringDef(f.name(), f.length());
        break;
    }
    return d;
}

TFetchFault& fetchFault()
{
    static TFetchFault fault;
    return fault;
}

class TQtCursor : public TCursor {
public:
    TQtCursor(TDatabase& db, const QString& text, const QString& context, const QVariantList& params)
        : m_db(&db), m_query(std::make_unique<QSqlQuery>(db.Connection())), m_context(context)
    {
        // SQLite steps through its rows as they are read; other servers get a
        // scrollable (server-side) cursor so other statements can run beside it.
        m_query->setForwardOnly(db.IsSqlite());
        bool ran = false;
        if (params.isEmpty()) {
            ran = m_query->exec(text);
        } else if (m_query->prepare(text)) {
            for (const QVariant& value : params)
                m_query->addBindValue(value);
            ran = m_query->exec();
        }
        if (!ran)
            db.StatementError(m_query->lastError(), m_context);
        if (!m_query->isSelect())
            noResultSet(m_context);
        const QSqlRecord rec = m_query->record();
        m_columnCount = rec.count();
        for (int c = 0; c < m_columnCount; ++c)
            m_columns.push_back(defFromDriver(rec.field(c)));
    }

    bool Next(TRowStore& rows) override
    {
        if (!m_query)
            return false;
        const QSqlError fault = fetchFault() ? fetchFault()(m_fetched) : QSqlError();
        if (fault.type() == QSqlError::NoError && m_query->next()) {
            rows.BeginRow();
            for (int c = 0; c < m_columnCount; ++c)
                rows.PutVariant(m_query->value(c));
            rows.EndRow();
            ++m_fetched;
            return true;
        }
        const QSqlError err = fault.type() != QSqlError::NoError ? fault : m_query->lastError();
        m_query.reset();  // frees the statement (and its read lock)
        if (err.type() != QSqlError::NoError) {
            if (m_db)
                m_db->StatementError(err, m_context);
            DatabaseErrorFrom(err, m_context);
        }
        return false;
    }

private:
    QPointer<TDatabase> m_db;
    std::unique_ptr<QSqlQuery> m_query;
    QString m_context;
    int m_columnCount = 0;
    int m_fetched = 0;
};

}  // namespace

TFetchFault SetFetchFault(TFetchFault fault)
{
    return std::exchange(fetchFault(), std::move(fault));
}

namespace {
std::unique_ptr<TCursor> engineCursor(TDatabase& db, const QString& engineText, const QString& context,
                                      const QVariantList& params)
{
    sqlite3* handle = db.IsEmbedded() ? SqliteSetup::EngineHandle(db.Connection()) : nullptr;
    if (!handle)
        return nullptr;
    return std::make_unique<TSqliteCursor>(handle, TOwnConnection(), &db, engineText, context, params);
}
}  // namespace

std::unique_ptr<TCursor> OpenEngineCursor(TDatabase& db, const QString& engineText, const QString& context)
{
    return engineCursor(db, engineText, context, {});
}

std::unique_ptr<TCursor> OpenQtCursor(TDatabase& db, const QString& engineText, const QString& context)
{
    return std::make_unique<TQtCursor>(db, engineText, context, QVariantList());
}

std::unique_ptr<TCursor> OpenCursor(TDatabase& db, const QString& engineText, const QString& context,
                                    const QVariantList& params)
{
    if (auto cursor = engineCursor(db, engineText, context, params))
        return cursor;
    return std::make_unique<TQtCursor>(db, engineText, context, params);
}

std::unique_ptr<TCursor> OpenReaderCursor(TDatabase& db, const QString& engineText, const QString& context)
{
    // A transaction reads on its own connection: it must see its own writes.
    // Through ODBC nothing is held: SQL Server gives each statement a view of
    // its own, not the connection, and the SQLite ODBC driver has read a
    // statement's rows when it runs.
    if (!db.IsEmbedded() || db.InTransaction())
        return OpenCursor(db, engineText, context);
    TOwnConnection own(SqliteSetup::OpenReader(db.Connection()));
    sqlite3* handle = own.get();
    return std::make_unique<TSqliteCursor>(handle, std::move(own), nullptr, engineText, context);
}
