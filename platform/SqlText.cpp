#include "SqlText.h"
#include "Exceptions.h"
#include <QLocale>
#include <cmath>

namespace {
// The value fit to stand inside a literal: lone surrogates replaced, NUL
// refused.
QString literalText(const QString& value)
{
    QString v = value;
    const qsizetype n = v.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = v.at(i);
        if (c.unicode() == 0)
            throw EDatabaseError(QStringLiteral("The text \"%1\" holds a NUL character (code 0), which a database "
                                                "statement cannot carry")
                                     .arg(v.left(i).right(40)));
        if (c.isHighSurrogate() && i + 1 < n && v.at(i + 1).isLowSurrogate()) {
            ++i;  // a proper pair
            continue;
        }
        if (c.isSurrogate())
            v[i] = QChar(QChar::ReplacementCharacter);
    }
    return v;
}
}  // namespace

QString SqlStr(const QString& value)
{
    QString v = literalText(value);
    v.replace(QChar('\''), QStringLiteral("''"));
    return v;
}

QString SqlLikeExact(const QString& value)
{
    const QString text = literalText(value);
    const bool needsEscape = text.contains(QChar('%')) || text.contains(QChar('_')) ||
                             text.contains(QChar('['));
    if (!needsEscape)
        return QChar('\'') + SqlStr(text) + QChar('\'');
    QString v;
    for (QChar c : text) {
        if (c == QChar('%') || c == QChar('_') || c == QChar('[') || c == QChar('\\'))
            v += QChar('\\');
        v += c;
    }
    return QChar('\'') + SqlStr(v) + QStringLiteral("' ESCAPE '\\'");
}

QString SqlFloat(double value, int decimals)
{
    if (!std::isfinite(value))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(value));
    const QLocale c = QLocale::c();
    if (decimals >= 0)
        return c.toString(value, 'f', decimals).remove(QChar(','));
    if (value == 0.0)
        return QStringLiteral("0");
    // The shortest digits that read back as the same double, then placed
    // around the point by the exponent.
    const QString e = QString::number(value, 'e', QLocale::FloatingPointShortest);
    const qsizetype ePos = e.indexOf(QChar('e'));
    const int exponent = e.mid(ePos + 1).toInt();
    const bool negative = e.startsWith(QChar('-'));
    QString digits = e.left(ePos);
    digits.remove(QChar('-'));
    digits.remove(QChar('.'));
    // A decimal literal holds at most 38 digits on SQL Server.
    const int intDigits = exponent + 1;
    const int width = intDigits > 0 ? qMax<int>(intDigits, int(digits.size())) : int(digits.size()) - intDigits;
    if (width > 38)
        return (negative ? QStringLiteral("-") : QString()) + digits.left(1) +
               (digits.size() > 1 ? QChar('.') + digits.mid(1) : QString()) + QChar('E') +
               QString::number(exponent);
    QString out;
    if (intDigits <= 0)
        out = QStringLiteral("0.") + QString(-intDigits, QChar('0')) + digits;
    else if (intDigits >= digits.size())
        out = digits + QString(intDigits - digits.size(), QChar('0'));
    else
        out = digits.left(intDigits) + QChar('.') + digits.mid(intDigits);
    return negative ? QChar('-') + out : out;
}

bool IsSqlNumber(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    const qsizetype n = t.size();
    if (i < n && (t[i] == QChar('+') || t[i] == QChar('-')))
        ++i;
    qsizetype digits = 0;
    while (i < n && t[i] >= QChar('0') && t[i] <= QChar('9'))
        ++i, ++digits;
    if (i < n && t[i] == QChar('.')) {
        ++i;
        while (i < n && t[i] >= QChar('0') && t[i] <= QChar('9'))
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < n && (t[i] == QChar('e') || t[i] == QChar('E'))) {
        ++i;
        if (i < n && (t[i] == QChar('+') || t[i] == QChar('-')))
            ++i;
        qsizetype expDigits = 0;
        while (i < n && t[i] >= QChar('0') && t[i] <= QChar('9'))
            ++i, ++expDigits;
        if (expDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    return ok && std::isfinite(v);
}
