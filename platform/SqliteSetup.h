#pragma once
// Opening a SQLite database file and setting up its connection, apart from
// the rest of the database layer:
// - a file the program may not write (or whose folder it may not write) is
//   opened read-only, and the WAL journal is chosen only where both are
//   writable (WAL needs its side files beside the database);
// - LIKE folds case over all of Unicode, with SQL Server's wildcards
//   (%, _, [set], [^set]) and an optional ESCAPE character, so a filter,
//   a login or a duplicate check matches on SQLite as on the server.
#include <QString>
#include <QStringView>
#include <functional>

class QSqlDatabase;
struct sqlite3;

namespace SqliteSetup {

// True when the file and its folder may both be written (PathWritable).
bool CanWrite(const QString& file);

// Readies `db` (a QSQLITE connection not yet open) to open `file`: its name
// and connect options. `readOnly` tells how it will be opened.
void Configure(QSqlDatabase& db, const QString& file, bool& readOnly);

// After opening: registers the LIKE functions and, where writable, switches
// the journal to WAL. Raises EDatabaseError when the driver offers no
// engine handle.
void SetUp(QSqlDatabase& db, bool readOnly);

// The engine's own handle of an open QSQLITE connection; nullptr when the
// driver offers none.
sqlite3* EngineHandle(const QSqlDatabase& db);

// A second, read-only connection to the file an open QSQLITE connection has
// open, with the same functions and busy timeout: a statement read through
// it keeps its own snapshot while the program's connection goes on. The
// caller closes it (sqlite3_close_v2). Raises EDatabaseError when the file
// cannot be opened.
sqlite3* OpenReader(const QSqlDatabase& db);

// The LIKE rule itself: `text` matches `pattern` with case folded over all
// of Unicode. escape is 0 for none.
bool LikeMatch(QStringView pattern, QStringView text, char32_t escape = 0);

}  // namespace SqliteSetup
