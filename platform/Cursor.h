#pragma once
// A cursor reads the rows of one SELECT into a row store, one row at a time.
// On a SQLite file it steps the engine's own statement (texts stay UTF-8, no
// value is wrapped on the way); on an ODBC data source it reads through Qt's
// query. Both put the same values for the same data, so the data sets and
// everything above them never know which one runs.
#include "DB.h"
#include "RowStore.h"
#include <QString>
#include <QVector>
#include <memory>

class TCursor {
public:
    virtual ~TCursor() = default;
    // The result's columns as the driver describes them (name, type, size):
    // the fields of a data set without persistent ones.
    const QVector<TFieldDef>& Columns() const { return m_columns; }
    // Appends the next row to `rows`; false after the last one. An engine
    // error raises EDatabaseError and appends nothing.
    virtual bool Next(TRowStore& rows) = 0;

protected:
    QVector<TFieldDef> m_columns;
};

// Runs a statement that returns rows. `engineText` is what the server runs
// (already translated for SQLite); `context` names the data set in messages.
// The engine's own cursor where the connection has one, else Qt's.
std::unique_ptr<TCursor> OpenCursor(TDatabase& db, const QString& engineText, const QString& context);
// Each kind on its own (the engine's: nullptr on a connection without a
// SQLite handle).
std::unique_ptr<TCursor> OpenEngineCursor(TDatabase& db, const QString& engineText, const QString& context);
std::unique_ptr<TCursor> OpenQtCursor(TDatabase& db, const QString& engineText, const QString& context);
