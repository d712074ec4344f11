#include "DateUtil.h"
#include "Clock.h"
#include "Locale.h"

unsigned char TwoDigitYearCenturyWindow = 60;

TDateOrder DateOrderOf(const QString& DateFormat)
{
    for (QChar c : DateFormat.toUpper()) {
        if (c == QChar('D'))
            return doDMY;
        if (c == QChar('M'))
            return doMDY;
        if (c == QChar('Y') || c == QChar('E'))
            return doYMD;
    }
    return doDMY;
}

TDateOrder DefaultDateOrder()
{
    return DateOrderOf(FormatSettings().ShortDateFormat);
}

// Read from the profile each time rather than once at start-up, so that a
// locale change that drops or adds the century is followed as well.
bool FourDigitYear()
{
    return FormatSettings().ShortDateFormat.toUpper().contains(QLatin1String("YYYY"));
}

QString DefaultDateFormat(bool fourDigitYear)
{
    static const char* const four[] = {"MM/DD/YYYY", "DD/MM/YYYY", "YYYY/MM/DD"};
    static const char* const two[] = {"MM/DD/YY", "DD/MM/YY", "YY/MM/DD"};
    const int order = DefaultDateOrder();
    return QLatin1String(fourDigitYear ? four[order] : two[order]);
}

QString DefaultDateEditMask(QChar BlanksChar, bool fourDigitYear)
{
    QString mask;
    if (fourDigitYear)
        mask = DefaultDateOrder() == doYMD ? QStringLiteral("!9999/99/99;1;") : QStringLiteral("!99/99/9999;1;");
    else
        mask = QStringLiteral("!99/99/99;1;");
    return mask + BlanksChar;
}

int CurrentYear()
{
    return Clock::Today().year();
}

int ExpandTwoDigitYear(int Year)
{
    if (Year >= 100)
        return Year;
    const int base = CurrentYear() - TwoDigitYearCenturyWindow;
    Year += base / 100 * 100;
    if (TwoDigitYearCenturyWindow > 0 && Year < base)
        Year += 100;
    return Year;
}

bool IsValidDate(int Year, int Month, int Day)
{
    return Year >= 1 && Year <= 9999 && Month >= 1 && Month <= 12 && Day >= 1 && Day <= DaysInMonth(Year, Month);
}

bool IsValidDateValue(TDateTime Value)
{
    if (!(Value > -700000.0 && Value < 3000000.0))  // also refuses NaN
        return false;
    int y, m, d;
    DecodeDate(Value, y, m, d);
    return IsValidDate(y, m, d);
}

namespace {

constexpr int kMaxPart = 20;

// The non-blank characters of S at the positions where the upper-cased
// format has Letter.
QString charsAt(const QString& format, const QString& s, QChar letter)
{
    QString out;
    for (int i = 0; i < format.size() && i < s.size() && out.size() < kMaxPart; ++i)
        if (format[i] == letter && s[i] != QChar(' '))
            out += s[i];
    return out;
}

// Digits at the letter's positions as a number; -1 when there are none or
// they are not a number. A letter repeated more often than any date part
// needs (a format of ten D's) reads no number past 99999 rather than
// running past what an int holds.
int numberAt(const QString& format, const QString& s, QChar letter)
{
    const QString part = charsAt(format, s, letter);
    if (part.isEmpty())
        return -1;
    int v = 0;
    for (QChar c : part) {
        if (c < QChar('0') || c > QChar('9'))
            return -1;
        v = v * 10 + (c.unicode() - '0');
        if (v > 99999)
            return -1;
    }
    return v;
}

bool maskPass(const QString& dateFormat, const QString& s, TDateTime& date)
{
    const QString fmt = dateFormat.toUpper();
    int month = 0;
    if (fmt.contains(QLatin1String("MMM"))) {
        const QString name = charsAt(fmt, s, QChar('M'));
        const QStringList& names = FormatSettings().LongMonthNames;
        for (int i = 0; !name.isEmpty() && i < names.size(); ++i)
            if (names[i].startsWith(name, Qt::CaseInsensitive)) {
                month = i + 1;
                break;
            }
    }
    if (month == 0)
        month = numberAt(fmt, s, QChar('M'));
    const int day = fmt.contains(QChar('D')) ? numberAt(fmt, s, QChar('D')) : 1;
    int year = fmt.contains(QChar('Y')) ? numberAt(fmt, s, QChar('Y')) : CurrentYear();
    // A year left blank does not make a date: read as the null date rather
    // than as the year ending in 99, which would be saved without notice.
    if (year < 0)
        return false;
    year = ExpandTwoDigitYear(year);
    if (!IsValidDate(year, month, day))
        return false;
    date = EncodeDate(year, month, day);
    return true;
}

class FreeScanner {
public:
    explicit FreeScanner(const QString& s) : m_s(s) {}

    void skipBlanks()
    {
        while (m_pos < m_s.size() && m_s[m_pos] == QChar(' '))
            ++m_pos;
    }
    // Up to four digits.
    bool number(int& out)
    {
        skipBlanks();
        int n = 0;
        out = 0;
        while (m_pos < m_s.size() && m_s[m_pos] >= QChar('0') && m_s[m_pos] <= QChar('9')) {
            if (++n > 4)
                return false;
            out = out * 10 + (m_s[m_pos].unicode() - '0');
            ++m_pos;
        }
        return n > 0;
    }
    bool separator(QChar sep)
    {
        skipBlanks();
        if (m_pos < m_s.size() && m_s[m_pos] == sep) {
            ++m_pos;
            return true;
        }
        return false;
    }
    // Day-name words of far-eastern formats stand before the numbers.
    void skipWords()
    {
        while (m_pos < m_s.size() && !(m_s[m_pos] >= QChar('0') && m_s[m_pos] <= QChar('9')))
            ++m_pos;
    }
    bool atEnd()
    {
        skipBlanks();
        return m_pos >= m_s.size();
    }

private:
    const QString& m_s;
    int m_pos = 0;
};

bool freePass(const QString& dateFormat, const QString& s, TDateTime& date)
{
    const TFormatSettings& fs = FormatSettings();
    const QChar sep = fs.DateSeparator;
    FreeScanner scan(s);
    if (fs.ShortDateFormat.contains(QLatin1String("ddd"), Qt::CaseInsensitive))
        scan.skipWords();
    int n1, n2, n3;
    if (!scan.number(n1) || !scan.separator(sep) || !scan.number(n2))
        return false;
    const TDateOrder order = DateOrderOf(dateFormat);
    int y, m, d;
    if (scan.separator(sep)) {
        if (!scan.number(n3))
            return false;
        switch (order) {
        case doMDY: m = n1; d = n2; y = n3; break;
        case doDMY: d = n1; m = n2; y = n3; break;
        default: y = n1; m = n2; d = n3; break;
        }
        y = ExpandTwoDigitYear(y);
        scan.separator(sep);
    } else {
        y = CurrentYear();
        if (order == doDMY) {
            d = n1;
            m = n2;
        } else {
            m = n1;
            d = n2;
        }
    }
    if (!scan.atEnd() || !IsValidDate(y, m, d))
        return false;
    date = EncodeDate(y, m, d);
    return true;
}

}  // namespace

bool TryParseDateFmt(const QString& DateFormat, const QString& S, TDateTime& Date)
{
    if (S.isEmpty()) {
        Date = NullDate;
        return true;
    }
    return maskPass(DateFormat, S, Date) || freePass(DateFormat, S, Date);
}

TDateTime ParseDateFmt(const QString& DateFormat, const QString& S)
{
    TDateTime d;
    if (!TryParseDateFmt(DateFormat, S, d))
        throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(S));
    return d;
}

TDateTime ParseDateFmtDef(const QString& DateFormat, const QString& S, TDateTime Default)
{
    TDateTime d;
    return TryParseDateFmt(DateFormat, S, d) ? d : Default;
}
