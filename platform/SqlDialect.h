#pragma once
// The program writes every statement in SQL Server's dialect. When the server
// behind the connection is SQLite, the text is translated just before it runs.
// The translation works on tokens, so string literals, bracketed and quoted
// names are never touched:
// - "dbo." qualifiers are dropped;
// - LEFT(x,n), RIGHT(x,n), SUBSTRING(x,a,b), LEN(x), ISNULL(a,b) and
//   GETDATE() become their SQLite forms;
// - "+" between strings becomes "||" (a chain of "+" is a string chain when
//   one of its operands is a string literal, a string function or an
//   expression that yields one of those);
// - a number glued to a keyword ("12AND") is separated;
// - "DELETE t" without FROM gets its FROM;
// - "SELECT TOP n ..." becomes "SELECT ... LIMIT n";
// - a table's lock hints ("WITH (UPDLOCK, HOLDLOCK)") are dropped: a write
//   transaction on SQLite holds the file's write lock from its start.
#include <QString>

namespace SqlDialect {
QString ToSqlite(const QString& sqlServerText);
// The statement without its final top-level ORDER BY clause (for counting
// rows: neither server takes ORDER BY inside a derived table).
QString WithoutTrailingOrderBy(const QString& text);
// The statement asking for its first `rows` rows only (SQL Server's TOP,
// still in SQL Server's dialect); empty when the text is not one plain
// SELECT that can be limited so (set operators, INTO, a TOP of its own, more
// than one statement).
QString WithRowLimit(const QString& text, int rows);
}
