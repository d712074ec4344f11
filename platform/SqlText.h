#pragma once
// Building SQL text safely. Every value spliced into a statement goes through
// one of these, whatever server the statement runs on.
#include <QString>

// The value with every apostrophe doubled; the caller keeps its quotes:
//   "WHERE Parm LIKE '" + SqlStr(parm) + "'"
// A UTF-16 surrogate without its partner becomes U+FFFD: a statement reader
// that pairs it with the following code unit would otherwise swallow the
// first apostrophe of a doubled pair and end the literal early. A value
// holding a NUL character raises EDatabaseError: the statement would end
// there.
QString SqlStr(const QString& value);

// A LIKE operand that stands for equality: the quoted value with its own
// %, _ and [ escaped so they match only themselves, followed by an ESCAPE
// clause when one was needed. A value without those characters gives the
// plain quoted text, so the statement reads as it always did:
//   "WHERE UserLogin LIKE " + SqlLikeExact(login)
// Surrogates and NUL as for SqlStr.
QString SqlLikeExact(const QString& value);

// Numbers never follow the locale: "." as decimal point, no grouping. With
// decimals < 0 the text keeps every significant digit (it reads back as the
// same double); plain digits while they fit a decimal literal, else
// exponent form. Infinity and NaN raise EConvertError.
QString SqlFloat(double value, int decimals = -1);

// True when the text is a number both servers read as one: optional sign,
// digits with at most one decimal point, optional exponent; no grouping, no
// blanks inside, no "inf" or "nan", and finite.
bool IsSqlNumber(const QString& text);
