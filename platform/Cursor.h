#pragma once
// A cursor reads the rows of one SELECT into a row store, one row at a time.
// On a SQLite file it steps the engine's own statement (texts stay UTF-8, no
// value is wrapped on the way); on an ODBC data source it reads through Qt's
// query. Both put the same values for the same data, so the data sets and
// everything above them never know which one runs.
#include "DB.h"
#include "RowStore.h"
#include <QSqlError>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

class TCursor {
public:
    virtual ~TCursor() = default;
    // The result's columns as the driver describes them (name, type, size):
    // the fields of a data set without persistent ones.
    const QVector<TFieldDef>& Columns() const { return m_columns; }
    // Appends the next row to `rows`; false after the last one. An engine
    // error raises EDatabaseError and appends nothing. The engine's cursor
    // ends its statement as soon as the last row has been appended.
    virtual bool Next(TRowStore& rows) = 0;

protected:
    QVector<TFieldDef> m_columns;
};

// Runs a statement that returns rows. `engineText` is what the server runs
// (already translated for SQLite); `context` names the data set in messages.
// The engine's own cursor where the connection has one, else Qt's.
// `params` are bound to the statement's ? marks in order; on a SQLite file
// such a statement is prepared once and kept by the connection.
std::unique_ptr<TCursor> OpenCursor(TDatabase& db, const QString& engineText, const QString& context,
                                    const QVariantList& params = {});
// For a statement that may be read for a long time, across other statements
// and saves (the rest of a page beyond its first rows, an export): on a
// SQLite file it runs on a read-only connection of its own, closed when its
// last row has been read, so it reads one snapshot of its own while the
// program's connection sees every write as it comes and can write itself.
// Inside a transaction, and on an ODBC data source, the same as OpenCursor.
std::unique_ptr<TCursor> OpenReaderCursor(TDatabase& db, const QString& engineText, const QString& context);
// Each kind on its own (the engine's: nullptr on a connection without a
// SQLite handle).
std::unique_ptr<TCursor> OpenEngineCursor(TDatabase& db, const QString& engineText, const QString& context);
std::unique_ptr<TCursor> OpenQtCursor(TDatabase& db, const QString& engineText, const QString& context);

// Tests: a failure put in the place of the driver's answer when a row is
// fetched through Qt's query (a driver that reads every row when the
// statement runs reports none of its own there). Asked before each row with
// the row's number from 0; an error it gives is handled as the driver's.
// Returns the one it replaces.
using TFetchFault = std::function<QSqlError(int row)>;
TFetchFault SetFetchFault(TFetchFault fault);
