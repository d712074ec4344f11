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
// Rounds half to even at the given number of decimals (banker's rounding,
// as currency arithmetic does).
double RoundHalfEven(double value, int decimals);
