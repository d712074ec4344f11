#pragma once
// Run-time routines: the date-time number (days since 30 December 1899),
// conversions between numbers and text that raise EConvertError with the
// value in the message, and formatting by date format letters.
#include "Exceptions.h"
#include <QDate>
#include <QDateTime>
#include <QString>

// Days since 30 December 1899; the fraction is the time of day. 0 is "no date".
using TDateTime = double;

TDateTime EncodeDate(int year, int month, int day);          // raises EConvertError
bool TryEncodeDate(int year, int month, int day, TDateTime& out);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
void DecodeDate(TDateTime dt, int& year, int& month, int& day);
void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec);
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
TDateTime DateOf(TDateTime dt);  // the date part
int DayOfWeek(TDateTime dt);     // 1 Sunday .. 7 Saturday
// The same day Months later or earlier, cut to the days of the month it
// lands in (31 January + 1 gives 28 or 29 February); the time is kept.
TDateTime IncMonth(TDateTime dt, int months);

QDate DateTimeToQDate(TDateTime dt);
QDateTime DateTimeToQDateTime(TDateTime dt);
TDateTime QDateToDateTime(const QDate& d);
TDateTime QDateTimeToDateTime(const QDateTime& dt);

TDateTime Now();   // through the clock seam
TDateTime Date();  // today, no time

// Class-library format letters: d dd ddd dddd m mm mmm mmmm yy yyyy h hh n nn
// s ss z zzz am/pm a/p ampm / : "text" 'text' c.
QString FormatDateTime(const QString& format, TDateTime dt);
QString DateToStr(TDateTime dt);      // short date format
QString TimeToStr(TDateTime dt);      // long time format
QString DateTimeToStr(TDateTime dt);  // short date, then long time when there is a time
// What a format shows: parts of the date, of the time, or other formats
// inside it ("c", "t", "ddddd").
struct TDateTimeFormatUse {
    bool Date = false;
    bool Time = false;
    bool Nested = false;
};
TDateTimeFormatUse DateTimeFormatUse(const QString& format);

// Integers: leading and trailing blanks allowed, "$" hex prefix.
int StrToInt(const QString& s);  // raises EConvertError "'s' is not a valid integer value"
int StrToIntDef(const QString& s, int def);
bool TryStrToInt(const QString& s, int& out);
// How a value reads as a 32-bit integer: it fits (and is given), it is no
// integer, or it is one outside the range, which is never cut to fit.
enum class TIntegerFit { Fits, NotInteger, OutOfRange };
// A text as StrToInt reads it, its number's size aside.
TIntegerFit ScanIntText(const QString& s, int& out);
QString IntToStr(long long v);
QString IntToHex(unsigned long long v, int digits);
