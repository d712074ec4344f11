#pragma once
// Building SQL text safely. Every value spliced into a statement goes through
// one of these, whatever server the statement runs on.
#include <QString>

// The value with every apostrophe doubled; the caller keeps its quotes:
//   "WHERE Parm LIKE '" + SqlStr(parm) + "'"
QString SqlStr(const QString& value);

// A LIKE operand that stands for equality: the quoted value with its own
// %, _ and [ escaped so they match only themselves, followed by an ESCAPE
// clause when one was needed. A value without those characters gives the
// plain quoted text, so the statement reads as it always did:
//   "WHERE UserLogin LIKE " + SqlLikeExact(login)
QString SqlLikeExact(const QString& value);

// Numbers never follow the locale: "." as decimal point, no grouping.
QString SqlFloat(double value, int decimals = -1);
