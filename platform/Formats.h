#pragma once
// Number texts in the regional settings' separators, as the run-time
// library's float routines give them.
#include "Exceptions.h"
#include <QString>

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

QString FloatToStrF(double value, TFloatFormat format, int precision, int digits);
QString FloatToStr(double value);                      // ffGeneral, 15 digits
QString CurrToStrF(double value, TFloatFormat format, int digits);
// A format pattern: sections "positive;negative;zero"; 0 and # digit
// placeholders, "." the regional decimal point, "," thousands grouping,
// quoted or other characters copied as they stand.
QString FormatFloat(const QString& format, double value);
// Parses with the regional decimal separator; thousands separators refused.
// Raises EConvertError "'s' is not a valid floating point value".
double StrToFloat(const QString& s);
bool TryStrToFloat(const QString& s, double& out);

// A typed amount read the one way every amount input of the program reads
// it, given back in the regional separators: blanks around it trimmed; "."
// and "," read as the decimal separator where they are not the thousands
// separator; an apostrophe or a blank typed for the thousands separator the
// settings name (a typographic apostrophe, a no-break space) counts as it.
// Thousands separators are dropped ("1.000" is 1000 where "." groups
// thousands), except a lone "." or "," in a text without a decimal
// separator that has fewer than three digits after it: grouping nothing, it
// is the decimal point ("300.5" is 300 and a half there too). `grouped`
// tells whether a thousands separator was dropped.
QString NormalizeAmountText(const QString& typed, bool* grouped = nullptr);
// Whether a typed character stands for the regional thousands separator:
// the separator itself, any apostrophe for an apostrophe, any blank for a
// blank.
bool TypedForThousandSeparator(QChar c);
// The same amount with "." as its point and nothing else changed
// ("1000,50" gives "1000.50"); false when the text is no number.
bool AmountPointText(const QString& typed, QString& out, bool* grouped = nullptr);
// Rounds half to even at the given number of decimals (banker's rounding,
// as currency arithmetic does).
double RoundHalfEven(double value, int decimals);
