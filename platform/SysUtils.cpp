#include "SysUtils.h"
#include "Clock.h"
#include "Locale.h"
#include <climits>
#include <cmath>

namespace {
const QDate kEpoch(1899, 12, 30);
const qint64 kMsPerDay = 86400000;
}  // namespace

bool IsLeapYear(int year)
{
    return (year % 4 == 0) && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& out)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    out = double(kEpoch.daysTo(QDate(year, month, day)));
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime r;
    if (!TryEncodeDate(year, month, day, r))
        throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    return r;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec)
{
    if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
        throw EConvertError(QStringLiteral("Invalid argument to time encode"));
    return (((hour * 60.0 + min) * 60.0 + sec) * 1000.0 + msec) / double(kMsPerDay);
}

QDate DateTimeToQDate(TDateTime dt)
{
    return kEpoch.addDays(qint64(std::floor(dt)));
}

QDateTime DateTimeToQDateTime(TDateTime dt)
{
    const double day = std::floor(dt);
    qint64 ms = qint64(std::llround((dt - day) * double(kMsPerDay)));
    QDate d = kEpoch.addDays(qint64(day));
    if (ms >= kMsPerDay) {
        d = d.addDays(1);
        ms -= kMsPerDay;
    }
    return QDateTime(d, QTime::fromMSecsSinceStartOfDay(int(ms)), Qt::UTC);
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day)
{
    const QDate d = DateTimeToQDateTime(dt).date();
    year = d.year();
    month = d.month();
    day = d.day();
}

void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec)
{
    const QTime t = DateTimeToQDateTime(dt).time();
    hour = t.hour();
    min = t.minute();
    sec = t.second();
    msec = t.msec();
}

TDateTime DateOf(TDateTime dt)
{
    return std::floor(dt + 1e-9);
}

int DayOfWeek(TDateTime dt)
{
    return DateTimeToQDate(dt).dayOfWeek() % 7 + 1;
}

TDateTime IncMonth(TDateTime dt, int months)
{
    int y, m, d;
    DecodeDate(dt, y, m, d);
    const int total = y * 12 + (m - 1) + months;
    y = total / 12;
    m = total % 12 + 1;
    d = qMin(d, DaysInMonth(y, m));
    TDateTime out;
    if (!TryEncodeDate(y, m, d, out))
        throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    return out + (dt - std::floor(dt));
}

TDateTime QDateToDateTime(const QDate& d)
{
    return d.isValid() ? double(kEpoch.daysTo(d)) : 0.0;
}

TDateTime QDateTimeToDateTime(const QDateTime& dt)
{
    if (!dt.isValid())
        return 0.0;
    return double(kEpoch.daysTo(dt.date())) + dt.time().msecsSinceStartOfDay() / double(kMsPerDay);
}

TDateTime Now()
{
    return QDateTimeToDateTime(Clock::Now());
}

TDateTime Date()
{
    return QDateToDateTime(Clock::Today());
}

namespace {
bool startsWithCI(const QString& s, int at, const char* what)
{
    return QStringView(s).mid(at).startsWith(QLatin1String(what), Qt::CaseInsensitive);
}

// A run of one format letter (in either case), or a quoted literal.
struct FormatRun {
    QChar c;
    QChar lower;
    int length;  // characters the run takes in the format
    bool quoted;
    QStringView literal;
};

FormatRun formatRunAt(const QString& fmt, int i)
{
    FormatRun r{fmt[i], fmt[i].toLower(), 1, false, QStringView()};
    if (r.c == QChar('"') || r.c == QChar('\'')) {
        int end = fmt.indexOf(r.c, i + 1);
        if (end < 0)
            end = int(fmt.size());
        r.quoted = true;
        r.literal = QStringView(fmt).mid(i + 1, end - i - 1);
        r.length = end + 1 - i;
        return r;
    }
    while (i + r.length < fmt.size() && fmt[i + r.length].toLower() == r.lower)
        ++r.length;
    return r;
}

void appendFormatted(QString& out, const QString& fmt, const QDateTime& when, int depth);

void appendFormatted(QString& out, const QString& fmt, const QDateTime& when, int depth)
{
    const TFormatSettings& fs = FormatSettings();
    const QDate d = when.date();
    const QTime t = when.time();
    const bool twelve = fmt.contains(QLatin1String("am/pm"), Qt::CaseInsensitive) ||
                        fmt.contains(QLatin1String("a/p"), Qt::CaseInsensitive) ||
                        fmt.contains(QLatin1String("ampm"), Qt::CaseInsensitive);
    bool lastWasHour = false;
    int i = 0;
    while (i < fmt.size()) {
        const FormatRun run = formatRunAt(fmt, i);
        const QChar c = run.c;
        const QChar lc = run.lower;
        const int n = run.length;
        if (run.quoted) {
            out += run.literal;
            i += run.length;
            continue;
        }
        if (lc == QChar('d')) {
            if (n == 1) out += QString::number(d.day());
            else if (n == 2) out += QString::number(d.day()).rightJustified(2, QChar('0'));
            else if (n == 3) out += fs.ShortDayNames.value(d.dayOfWeek() % 7);
            else if (n == 4) out += fs.LongDayNames.value(d.dayOfWeek() % 7);
            else if (n == 5 && depth < 2) appendFormatted(out, fs.ShortDateFormat, when, depth + 1);
            else if (depth < 2) appendFormatted(out, fs.LongDateFormat, when, depth + 1);
            lastWasHour = false;
        } else if (lc == QChar('m')) {
            if (lastWasHour && n <= 2) {
                out += n == 1 ? QString::number(t.minute()) : QString::number(t.minute()).rightJustified(2, QChar('0'));
            } else if (n == 1) out += QString::number(d.month());
            else if (n == 2) out += QString::number(d.month()).rightJustified(2, QChar('0'));
            else if (n == 3) out += fs.ShortMonthNames.value(d.month() - 1);
            else out += fs.LongMonthNames.value(d.month() - 1);
            lastWasHour = false;
        } else if (lc == QChar('y')) {
            out += n <= 2 ? QString::number(d.year() % 100).rightJustified(2, QChar('0'))
                          : QString::number(d.year()).rightJustified(4, QChar('0'));
            lastWasHour = false;
        } else if (lc == QChar('h')) {
            int h = t.hour();
            if (twelve) {
                h %= 12;
                if (h == 0)
                    h = 12;
            }
            out += n == 1 ? QString::number(h) : QString::number(h).rightJustified(2, QChar('0'));
            lastWasHour = true;
        } else if (lc == QChar('n')) {
            out += n == 1 ? QString::number(t.minute()) : QString::number(t.minute()).rightJustified(2, QChar('0'));
            lastWasHour = false;
        } else if (lc == QChar('s')) {
            out += n == 1 ? QString::number(t.second()) : QString::number(t.second()).rightJustified(2, QChar('0'));
            lastWasHour = false;
        } else if (lc == QChar('z')) {
            out += n < 3 ? QString::number(t.msec()) : QString::number(t.msec()).rightJustified(3, QChar('0'));
            lastWasHour = false;
        } else if (lc == QChar('t') && depth < 2) {
            appendFormatted(out, n == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, when, depth + 1);
            lastWasHour = false;
        } else if (lc == QChar('c') && depth < 2) {
            appendFormatted(out, fs.ShortDateFormat, when, depth + 1);
            if (t.msecsSinceStartOfDay() != 0) {
                out += QChar(' ');
                appendFormatted(out, fs.LongTimeFormat, when, depth + 1);
            }
            lastWasHour = false;
        } else if (lc == QChar('a') && startsWithCI(fmt, i, "ampm")) {
            out += t.hour() < 12 ? fs.TimeAMString : fs.TimePMString;
            i += 4;
            continue;
        } else if (lc == QChar('a') && startsWithCI(fmt, i, "am/pm")) {
            const QString piece = fmt.mid(i, 5);
            out += t.hour() < 12 ? piece.left(2) : piece.mid(3, 2);
            i += 5;
            continue;
        } else if (lc == QChar('a') && startsWithCI(fmt, i, "a/p")) {
            const QString piece = fmt.mid(i, 3);
            out += t.hour() < 12 ? piece.left(1) : piece.mid(2, 1);
            i += 3;
            continue;
        } else if (c == QChar('/')) {
            out += QString(n, fs.DateSeparator);
        } else if (c == QChar(':')) {
            out += QString(n, fs.TimeSeparator);
        } else {
            out += QString(n, c);
        }
        i += n;
    }
}
}  // namespace

TDateTimeFormatUse DateTimeFormatUse(const QString& format)
{
    // The letters as appendFormatted reads them.
    TDateTimeFormatUse use;
    bool lastWasHour = false;
    int i = 0;
    while (i < format.size()) {
        const FormatRun run = formatRunAt(format, i);
        const QChar lc = run.lower;
        if (run.quoted) {
            i += run.length;
            continue;
        }
        if (lc == QChar('a') && (startsWithCI(format, i, "ampm") || startsWithCI(format, i, "am/pm") ||
                                 startsWithCI(format, i, "a/p"))) {
            use.Time = true;
            i += startsWithCI(format, i, "ampm") ? 4 : startsWithCI(format, i, "a/p") ? 3 : 5;
            continue;
        }
        if (lc == QChar('d'))
            (run.length <= 4 ? use.Date : use.Nested) = true;
        else if (lc == QChar('m'))
            (lastWasHour && run.length <= 2 ? use.Time : use.Date) = true;
        else if (lc == QChar('y'))
            use.Date = true;
        else if (lc == QChar('h') || lc == QChar('n') || lc == QChar('s') || lc == QChar('z'))
            use.Time = true;
        else if (lc == QChar('t') || lc == QChar('c'))
            use.Nested = true;
        if (lc.isLetter())
            lastWasHour = lc == QChar('h');
        i += run.length;
    }
    return use;
}

QString FormatDateTime(const QString& format, TDateTime dt)
{
    QString out;
    appendFormatted(out, format.isEmpty() ? QStringLiteral("c") : format, DateTimeToQDateTime(dt), 0);
    return out;
}

QString DateToStr(TDateTime dt)
{
    return FormatDateTime(FormatSettings().ShortDateFormat, dt);
}

QString TimeToStr(TDateTime dt)
{
    return FormatDateTime(FormatSettings().LongTimeFormat, dt);
}

QString DateTimeToStr(TDateTime dt)
{
    return FormatDateTime(QStringLiteral("c"), dt);
}

TIntegerFit ScanIntText(const QString& s, int& out)
{
    // Leading blanks, an optional sign, then
    // decimal digits or "$"/"0x" and hex digits, and nothing after them.
    int i = 0;
    while (i < s.size() && s[i] == QChar(' '))
        ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == QChar('-') || s[i] == QChar('+'))) {
        neg = s[i] == QChar('-');
        ++i;
    }
    int base = 10;
    if (i < s.size() && s[i] == QChar('$')) {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == QChar('0') && (s[i + 1] == QChar('x') || s[i + 1] == QChar('X'))) {
        base = 16;
        i += 2;
    }
    if (i >= s.size())
        return TIntegerFit::NotInteger;
    qint64 v = 0;
    bool beyond = false;
    for (; i < s.size(); ++i) {
        const int digit = QStringLiteral("0123456789abcdef").indexOf(s[i].toLower());
        if (digit < 0 || digit >= base)
            return TIntegerFit::NotInteger;
        if (!beyond)
            v = v * base + digit;
        beyond = beyond || v > qint64(INT_MAX) + 1;
    }
    if (neg)
        v = -v;
    if (beyond || v < INT_MIN || v > INT_MAX)
        return TIntegerFit::OutOfRange;
    out = int(v);
    return TIntegerFit::Fits;
}

bool TryStrToInt(const QString& s, int& out)
{
    return ScanIntText(s, out) == TIntegerFit::Fits;
}

int StrToInt(const QString& s)
{
    int v;
    if (!TryStrToInt(s, v))
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(s));
    return v;
}

int StrToIntDef(const QString& s, int def)
{
    int v;
    return TryStrToInt(s, v) ? v : def;
}

QString IntToStr(long long v)
{
    return QString::number(v);
}

QString IntToHex(unsigned long long v, int digits)
{
    return QString::number(v, 16).toUpper().rightJustified(digits, QChar('0'));
}
