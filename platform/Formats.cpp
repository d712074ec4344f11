#include "Formats.h"
#include "Locale.h"
#include <QLocale>
#include <cmath>

namespace {
QString groupThousands(const QString& digits, QChar sep)
{
    QString out;
    const int n = int(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += sep;
        out += digits[i];
    }
    return out;
}

// Fixed text of |value| with `digits` decimals, in the locale's separators.
QString fixedText(double absValue, int digits, bool thousands)
{
    const TFormatSettings& fs = FormatSettings();
    QString s = QString::number(absValue, 'f', qBound(0, digits, 18));
    QString intPart = s, frac;
    const int dot = s.indexOf(QChar('.'));
    if (dot >= 0) {
        intPart = s.left(dot);
        frac = s.mid(dot + 1);
    }
    if (thousands && !fs.ThousandSeparator.isNull())
        intPart = groupThousands(intPart, fs.ThousandSeparator);
    return frac.isEmpty() ? intPart : intPart + fs.DecimalSeparator + frac;
}

bool isNegativeAfterRounding(double value, int digits)
{
    return value < 0 && std::abs(value) * std::pow(10.0, digits) >= 0.5;
}
}  // namespace

QString FloatToStrF(double value, TFloatFormat format, int precision, int digits)
{
    const TFormatSettings& fs = FormatSettings();
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    switch (format) {
    case ffGeneral: {
        if (value == 0)
            return QStringLiteral("0");
        const int p = qBound(1, precision, 18);
        QString s = QString::number(value, 'g', p);
        const int e = s.indexOf(QChar('e'));
        if (e >= 0) {
            QString mant = s.left(e);
            int exp = s.mid(e + 1).toInt();
            const double absV = std::abs(value);
            if (absV >= 1e-5 && exp < p) {
                s = QString::number(value, 'f', qMax(0, p - 1 - exp));
                if (s.contains(QChar('.'))) {
                    while (s.endsWith(QChar('0')))
                        s.chop(1);
                    if (s.endsWith(QChar('.')))
                        s.chop(1);
                }
            } else {
                s = mant + QChar('E') + (exp < 0 ? QStringLiteral("-") : QString()) + QString::number(std::abs(exp));
            }
        }
        s.replace(QChar('.'), fs.DecimalSeparator);
        return s;
    }
    case ffExponent: {
        QString s = QString::number(value, 'E', qBound(1, precision, 18) - 1);
        s.replace(QChar('.'), fs.DecimalSeparator);
        return s;
    }
    case ffFixed:
    case ffNumber: {
        const bool neg = isNegativeAfterRounding(value, digits);
        return (neg ? QStringLiteral("-") : QString()) + fixedText(std::abs(value), digits, format == ffNumber);
    }
    case ffCurrency:
        return CurrToStrF(value, ffCurrency, digits);
    }
    return QString();
}

QString FloatToStr(double value)
{
    return FloatToStrF(value, ffGeneral, 15, 0);
}

QString CurrToStrF(double value, TFloatFormat format, int digits)
{
    if (format != ffCurrency)
        return FloatToStrF(value, format, 19, digits);
    const TFormatSettings& fs = FormatSettings();
    const QString num = fixedText(std::abs(value), digits, true);
    const QString& c = fs.CurrencyString;
    if (!isNegativeAfterRounding(value, digits)) {
        switch (fs.CurrencyFormat) {
        case 1: return num + c;
        case 2: return c + QChar(' ') + num;
        case 3: return num + QChar(' ') + c;
        default: return c + num;
        }
    }
    switch (fs.NegCurrFormat) {
    case 0: return QChar('(') + c + num + QChar(')');
    case 2: return c + QChar('-') + num;
    case 3: return c + num + QChar('-');
    case 4: return QChar('(') + num + c + QChar(')');
    case 5: return QChar('-') + num + c;
    case 6: return num + QChar('-') + c;
    case 7: return num + c + QChar('-');
    case 8: return QChar('-') + num + QChar(' ') + c;
    case 9: return QChar('-') + c + QChar(' ') + num;
    case 10: return num + QChar(' ') + c + QChar('-');
    case 11: return c + QChar(' ') + num + QChar('-');
    case 12: return c + QStringLiteral(" -") + num;
    case 13: return num + QStringLiteral("- ") + c;
    case 14: return QChar('(') + c + QChar(' ') + num + QChar(')');
    case 15: return QChar('(') + num + QChar(' ') + c + QChar(')');
    default: return QChar('-') + c + num;
    }
}

bool TryStrToFloat(const QString& s, double& out)
{
    const TFormatSettings& fs = FormatSettings();
    QString t = s.trimmed();
    if (t.isEmpty())
        return false;
    // Only the regional decimal separator counts as the point.
    if (fs.DecimalSeparator != QChar('.')) {
        if (t.contains(QChar('.')))
            return false;
        t.replace(fs.DecimalSeparator, QChar('.'));
    }
    for (QChar c : t)
        if (!(c.isDigit() || c == QChar('.') || c == QChar('-') || c == QChar('+') || c == QChar('e') || c == QChar('E')))
            return false;
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok)
        return false;
    out = v;
    return true;
}

namespace {
bool apostropheLike(QChar c)
{
    return c == QChar('\'') || c == QChar(0x2018) || c == QChar(0x2019);
}

bool blankLike(QChar c)
{
    return c == QChar(' ') || c == QChar(0xA0) || c == QChar(0x2009) || c == QChar(0x202F);
}

// What an operator types for the thousands separator: the separator
// itself, any apostrophe for an apostrophe, any blank for a blank.
bool typedFor(QChar c, QChar separator)
{
    return c == separator || (apostropheLike(separator) && apostropheLike(c)) ||
           (blankLike(separator) && blankLike(c));
}

int digitsAfter(const QString& text, int at)
{
    int n = 0;
    while (at + 1 + n < text.size() && text[at + 1 + n].isDigit())
        ++n;
    return n;
}
}  // namespace

QString NormalizeAmountText(const QString& typed, bool* grouped)
{
    const TFormatSettings& fs = FormatSettings();
    const QChar dec = fs.DecimalSeparator;
    const QChar thou = fs.ThousandSeparator;
    if (grouped)
        *grouped = false;
    QString t = typed.trimmed();
    if (thou != dec)
        for (QChar& c : t)
            if (typedFor(c, thou))
                c = thou;
    for (QChar point : {QChar('.'), QChar(',')})
        if (point != dec && point != thou)
            t.replace(point, dec);
    if (thou == dec || !t.contains(thou))
        return t;
    const int at = int(t.indexOf(thou));
    const bool lonePoint = (thou == QChar('.') || thou == QChar(',')) && t.count(thou) == 1 && !t.contains(dec);
    // Fewer than three digits after it: it cannot group thousands.
    if (lonePoint && digitsAfter(t, at) < 3) {
        t[at] = dec;
        return t;
    }
    t.remove(thou);
    if (grouped)
        *grouped = true;
    return t;
}

bool TypedForThousandSeparator(QChar c)
{
    const TFormatSettings& fs = FormatSettings();
    return fs.ThousandSeparator != fs.DecimalSeparator && typedFor(c, fs.ThousandSeparator);
}

bool AmountPointText(const QString& typed, QString& out, bool* grouped)
{
    QString t = NormalizeAmountText(typed, grouped);
    double value;
    if (!TryStrToFloat(t, value))
        return false;
    const QChar dec = FormatSettings().DecimalSeparator;
    if (dec != QChar('.'))
        t.replace(dec, QChar('.'));
    out = t;
    return true;
}

double StrToFloat(const QString& s)
{
    double v;
    if (!TryStrToFloat(s, v))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(s));
    return v;
}

double RoundHalfEven(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    // Work on the decimal text so that 0.125 is a true half, as it is for a
    // currency value held in fixed point.
    const double scaled = std::stod(QString::number(value * scale, 'f', 6).toStdString());
    const double fl = std::floor(scaled);
    const double diff = scaled - fl;
    double r;
    if (std::abs(diff - 0.5) < 1e-9)
        r = std::fmod(fl, 2.0) == 0.0 ? fl : fl + 1.0;
    else
        r = std::round(scaled);
    return r / scale;
}

namespace {
// The decimal digits of a non-negative value as the formats show it:
// 15 significant digits, then rounded half away from zero at `maxFrac`
// decimals (so 0.105 with two decimals is 0.11, as on paper).
void decimalDigits(double value, int maxFrac, QString& intDigits, QString& fracDigits)
{
    intDigits.clear();
    fracDigits.clear();
    if (value != 0.0 && std::isfinite(value)) {
        const QString e = QString::number(value, 'e', 14);
        const QString digits = e.left(1) + e.mid(2, 14);
        const int pos = e.mid(e.indexOf(QChar('e')) + 1).toInt() + 1;  // digits before the point
        if (pos <= 0) {
            fracDigits = QString(-pos, QChar('0')) + digits;
        } else if (pos >= digits.size()) {
            intDigits = digits + QString(pos - digits.size(), QChar('0'));
        } else {
            intDigits = digits.left(pos);
            fracDigits = digits.mid(pos);
        }
    }
    if (fracDigits.size() > maxFrac) {
        const bool up = fracDigits[maxFrac] >= QChar('5');
        fracDigits.truncate(maxFrac);
        if (up) {
            QString all = intDigits + fracDigits;
            int i = int(all.size()) - 1;
            for (; i >= 0; --i) {
                if (all[i] == QChar('9')) {
                    all[i] = QChar('0');
                } else {
                    all[i] = QChar(all[i].unicode() + 1);
                    break;
                }
            }
            if (i < 0)
                all.prepend(QChar('1'));
            intDigits = all.left(all.size() - fracDigits.size());
            fracDigits = all.right(fracDigits.size());
        }
    }
    while (fracDigits.size() < maxFrac)
        fracDigits += QChar('0');
}
}  // namespace

QString FormatFloat(const QString& format, double value)
{
    const TFormatSettings& fs = FormatSettings();
    // Split into sections outside quotes.
    QStringList sections;
    QString cur;
    QChar quote;
    for (QChar c : format) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            cur += c;
        } else if (c == QChar('"') || c == QChar('\'')) {
            quote = c;
            cur += c;
        } else if (c == QChar(';')) {
            sections << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    sections << cur;
    QString section = sections.value(0);
    bool withSign = value < 0;
    if (value < 0 && sections.size() > 1 && !sections[1].isEmpty()) {
        section = sections[1];
        withSign = false;
    } else if (value == 0 && sections.size() > 2 && !sections[2].isEmpty()) {
        section = sections[2];
    }
    if (section.isEmpty())
        return FloatToStr(value);

    // Placeholders, grouping and decimals of the section.
    int first = -1, last = -1, point = -1, minInt = 0, minDec = 0, maxDec = 0;
    bool group = false;
    quote = QChar();
    for (int i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QChar('"') || c == QChar('\'')) {
            quote = c;
            continue;
        }
        if (c == QChar('0') || c == QChar('#')) {
            if (first < 0)
                first = i;
            last = i;
            if (point < 0) {
                if (c == QChar('0'))
                    ++minInt;
            } else {
                ++maxDec;
                if (c == QChar('0'))
                    minDec = maxDec;
            }
        } else if (c == QChar('.') && point < 0 && first >= 0) {
            point = i;
            last = qMax(last, i);
        } else if (c == QChar(',') && point < 0) {
            // A comma anywhere before the point asks for grouping, also in
            // front of the first digit (",0.00", "$,0.00").
            group = true;
        }
    }
    auto literal = [](const QString& piece) {
        QString out;
        QChar q;
        for (QChar c : piece) {
            if (!q.isNull()) {
                if (c == q)
                    q = QChar();
                else
                    out += c;
            } else if (c == QChar('"') || c == QChar('\'')) {
                q = c;
            } else if (c != QChar(',')) {
                out += c;
            }
        }
        return out;
    };
    if (first < 0)
        return literal(section);

    QString intPart, frac;
    decimalDigits(std::abs(value), maxDec, intPart, frac);
    while (frac.size() > minDec && frac.endsWith(QChar('0')))
        frac.chop(1);
    while (intPart.startsWith(QChar('0')))
        intPart.remove(0, 1);
    while (intPart.size() < minInt)
        intPart.prepend(QChar('0'));
    if (group && !fs.ThousandSeparator.isNull()) {
        QString g;
        const int n = int(intPart.size());
        for (int i = 0; i < n; ++i) {
            if (i > 0 && (n - i) % 3 == 0)
                g += fs.ThousandSeparator;
            g += intPart[i];
        }
        intPart = g;
    }
    QString number = intPart;
    if (!frac.isEmpty())
        number += fs.DecimalSeparator + frac;
    bool nonZero = false;
    for (QChar c : intPart + frac)
        nonZero = nonZero || (c.isDigit() && c != QChar('0'));
    if (intPart.isEmpty() && frac.isEmpty())
        number = QStringLiteral("0");
    if (withSign && nonZero)
        number.prepend(QChar('-'));
    return literal(section.left(first)) + number + literal(section.mid(last + 1));
}
