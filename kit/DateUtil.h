#pragma once
// Date helpers of the kit: where day, month and year stand in a format, the
// date edit's default format and mask by locale, two-digit years, and the
// parsing of what an operator types into a date edit.
#include "SysUtils.h"
#include <QChar>
#include <QString>
#include <initializer_list>

// The order of the parts in a date format.
enum TDateOrder { doMDY = 0, doDMY = 1, doYMD = 2 };

// Days of the week as the calendar names them (Sunday first).
enum TDayOfWeekName { Sun, Mon, Tue, Wed, Thu, Fri, Sat };

// A set of weekdays ([Sun, Sat]).
class TDaysOfWeek {
public:
    constexpr TDaysOfWeek() = default;
    constexpr TDaysOfWeek(std::initializer_list<TDayOfWeekName> days)
    {
        for (TDayOfWeekName d : days)
            m_bits |= 1u << unsigned(d);
    }
    constexpr bool Contains(TDayOfWeekName d) const { return (m_bits >> unsigned(d)) & 1u; }
    constexpr bool operator==(const TDaysOfWeek& o) const { return m_bits == o.m_bits; }
    constexpr bool operator!=(const TDaysOfWeek& o) const { return m_bits != o.m_bits; }

private:
    unsigned m_bits = 0;
};

// The null date: no date at all.
constexpr TDateTime NullDate = 0.0;

// The kit's own two-digit-year window: a year typed as 0..99 lands within
// the hundred years that start this many years before the current one. It
// is separate from the regional settings' window (TFormatSettings), so 70
// reads as 1970 in 2026.
extern unsigned char TwoDigitYearCenturyWindow;

// The first D, M or Y/E of the format, in upper case, decides; none of them
// gives day-month-year.
TDateOrder DateOrderOf(const QString& DateFormat);
// The order of the locale's short date format.
TDateOrder DefaultDateOrder();
// Whether the locale's short date format shows four-digit years.
bool FourDigitYear();
// "DD/MM/YYYY" and its siblings, in the locale's order.
QString DefaultDateFormat(bool fourDigitYear);
// "!99/99/9999;1;" and its siblings, with the blank character appended.
QString DefaultDateEditMask(QChar BlanksChar, bool fourDigitYear);

// A year below 100 moved into the century window; others kept.
int ExpandTwoDigitYear(int Year);
int CurrentYear();  // from the clock
bool IsValidDate(int Year, int Month, int Day);  // year 1..9999
bool IsValidDateValue(TDateTime Value);

// Reads a date typed for Format ("DD/MM/YYYY"): first by the positions of
// the format's letters, then freely (numbers between date separators). The
// empty text is the null date and succeeds; a text of blanks is no date.
bool TryParseDateFmt(const QString& DateFormat, const QString& S, TDateTime& Date);
// Raises EConvertError "'S' is not a valid date".
TDateTime ParseDateFmt(const QString& DateFormat, const QString& S);
TDateTime ParseDateFmtDef(const QString& DateFormat, const QString& S, TDateTime Default);
