#include "FieldText.h"
#include "Locale.h"
#include "SysUtils.h"
#include <charconv>
#include <cmath>

namespace {

bool digitsAt(const char* p, int n)
{
    for (int i = 0; i < n; ++i)
        if (p[i] < '0' || p[i] > '9')
            return false;
    return true;
}

int number(const char* p, int n)
{
    int v = 0;
    for (int i = 0; i < n; ++i)
        v = v * 10 + (p[i] - '0');
    return v;
}

void appendInteger(QByteArray& out, qint64 v)
{
    char buf[24];
    char* end = buf + sizeof buf;
    char* p = end;
    quint64 u = v < 0 ? 0 - quint64(v) : quint64(v);
    do {
        *--p = char('0' + u % 10);
        u /= 10;
    } while (u);
    if (v < 0)
        *--p = '-';
    out.append(p, end - p);
}

bool isAscii(const char* p, int n)
{
    for (int i = 0; i < n; ++i)
        if (static_cast<unsigned char>(p[i]) >= 0x80)
            return false;
    return true;
}

}  // namespace

TFieldText::TFieldText(const TField* field) : m_field(field)
{
    switch (field->DataType()) {
    case ftString: case ftFixedChar: case ftWideString: case ftUnknown:
        m_kind = Plain;
        break;
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: case ftLargeint:
        m_kind = Whole;
        break;
    case ftFloat: case ftCurrency: case ftBCD:
        m_kind = Real;
        m_decimal = QString(FormatSettings().DecimalSeparator).toUtf8();
        break;
    case ftBoolean:
        m_kind = Flag;
        break;
    case ftDateTime: {
        // A date-time's text is its date, then its time of day when it has
        // one; apart only when neither format shows something of the other.
        const TFormatSettings& fs = FormatSettings();
        const TDateTimeFormatUse date = DateTimeFormatUse(fs.ShortDateFormat);
        const TDateTimeFormatUse time = DateTimeFormatUse(fs.LongTimeFormat);
        m_kind = !date.Time && !date.Nested && !time.Date && !time.Nested ? Stamp : Other;
        break;
    }
    default:
        m_kind = Other;
        break;
    }
}

void TFieldText::appendConverted(QByteArray& out, const TValueRef& value)
{
    out += m_field->AsStringOf(value.toVariant()).toUtf8();
}

// A number's text is its fifteen significant digits, without trailing
// zeros, in fixed notation from 0.0001 up to 1E15. Where the shortest digits
// that read back as the same number are no more than fifteen, they are those
// digits (a number that close to them has no other nearest fifteen-digit
// neighbour), and they are written here; any other number goes through the
// field's conversion.
bool TFieldText::appendReal(QByteArray& out, double value) const
{
    if (value == 0) {
        out += '0';
        return true;
    }
    const double size = std::fabs(value);
    if (!(size >= 1e-4 && size < 1e15))
        return false;
    char buf[64];
    const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    if (r.ec != std::errc())
        return false;
    int digits = 0;
    const char* point = nullptr;
    for (const char* p = buf; p < r.ptr; ++p) {
        if (*p == '.')
            point = p;
        else if (*p >= '0' && *p <= '9' && (digits > 0 || *p != '0'))
            ++digits;
    }
    if (digits > 15)
        return false;
    if (!point || m_decimal == ".") {
        out.append(buf, r.ptr - buf);
    } else {
        out.append(buf, point - buf);
        out += m_decimal;
        out.append(point + 1, r.ptr - point - 1);
    }
    return true;
}

const QByteArray& TFieldText::dayText(int key, const char* digits)
{
    if (key != m_lastDay) {
        auto it = m_days.constFind(key);
        if (it == m_days.constEnd()) {
            if (m_days.size() >= 100000)
                m_days.clear();
            it = m_days.insert(key, m_field->AsStringOf(QString::fromLatin1(digits, 8)).toUtf8());
        }
        m_lastDay = key;
        m_lastDayText = *it;
    }
    return m_lastDayText;
}

bool TFieldText::appendStamp(QByteArray& out, const TValueRef& value)
{
    const char* p = value.data;
    const int n = value.size;
    if ((n != 8 && n != 17) || !digitsAt(p, 8))
        return false;
    const int y = number(p, 4), m = number(p + 4, 2), d = number(p + 6, 2);
    if (!QDate::isValid(y, m, d) || y < 1)
        return false;
    int seconds = 0;
    if (n == 17) {
        if (p[8] != ' ' || p[11] != ':' || p[14] != ':' || !digitsAt(p + 9, 2) || !digitsAt(p + 12, 2) ||
            !digitsAt(p + 15, 2))
            return false;
        const int h = number(p + 9, 2), mi = number(p + 12, 2), s = number(p + 15, 2);
        if (h > 23 || mi > 59 || s > 59)
            return false;
        seconds = h * 3600 + mi * 60 + s;
    }
    const QByteArray& day = dayText(y * 10000 + m * 100 + d, p);
    out += day;
    if (seconds == 0)
        return true;
    // The time of day: what follows the date and a blank in this value's
    // own text, kept for every other day at that second.
    if (m_times.empty())
        m_times.resize(86400);
    QByteArray& time = m_times[size_t(seconds)];
    if (time.isNull()) {
        const QByteArray whole = m_field->AsStringOf(QString::fromLatin1(p, n)).toUtf8();
        if (!whole.startsWith(day) || whole.size() < day.size() + 1 || whole[day.size()] != ' ') {
            out.chop(day.size());
            m_kind = Other;  // the formats do not part as expected
            return false;
        }
        time = whole.mid(day.size());
    }
    out += time;
    return true;
}

void TFieldText::Append(QByteArray& out, const TValueRef& value)
{
    switch (value.kind) {
    case TValueRef::Null:
        return;  // null reads as ""
    case TValueRef::Int:
        if (m_kind == Plain || m_kind == Whole) {
            appendInteger(out, value.i);
            return;
        }
        if (m_kind == Real && appendReal(out, double(value.i)))
            return;
        if (m_kind == Flag && (value.i == 0 || value.i == 1)) {
            QByteArray& text = m_flags[value.i];
            if (text.isNull())
                text = m_field->AsStringOf(QVariant(qlonglong(value.i))).toUtf8();
            out += text;
            return;
        }
        break;
    case TValueRef::Float:
        if (m_kind == Real && appendReal(out, value.d))
            return;
        break;
    case TValueRef::Text:
        if (m_kind == Plain && (isAscii(value.data, value.size) || value.bytes().isValidUtf8())) {
            out.append(value.data, value.size);
            return;
        }
        if (m_kind == Stamp && appendStamp(out, value))
            return;
        break;
    default:
        break;
    }
    appendConverted(out, value);
}
