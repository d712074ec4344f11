#include "SqlText.h"
#include <QLocale>
#include <cmath>

QString SqlStr(const QString& value)
{
    QString v = value;
    v.replace(QChar('\''), QStringLiteral("''"));
    return v;
}

QString SqlLikeExact(const QString& value)
{
    const bool needsEscape = value.contains(QChar('%')) || value.contains(QChar('_')) ||
                             value.contains(QChar('['));
    if (!needsEscape)
        return QChar('\'') + SqlStr(value) + QChar('\'');
    QString v;
    for (QChar c : value) {
        if (c == QChar('%') || c == QChar('_') || c == QChar('[') || c == QChar('\\'))
            v += QChar('\\');
        v += c;
    }
    return QChar('\'') + SqlStr(v) + QStringLiteral("' ESCAPE '\\'");
}

QString SqlFloat(double value, int decimals)
{
    const QLocale c = QLocale::c();
    if (decimals >= 0)
        return c.toString(value, 'f', decimals).remove(QChar(','));
    QString s = QString::number(value, 'g', 15);
    if (s.contains(QChar('e'))) {
        // Plain digits: servers read them in every dialect.
        s = QString::number(value, 'f', 15);
        if (s.contains(QChar('.'))) {
            while (s.endsWith(QChar('0')))
                s.chop(1);
            if (s.endsWith(QChar('.')))
                s.chop(1);
        }
    }
    return s;
}
