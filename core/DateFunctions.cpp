#include "DateFunctions.h"

namespace {
QString two(int v)
{
    return QString::number(v).rightJustified(2, QChar('0'));
}
}  // namespace

QString DateToDMY(TDateTime date)
{
    int y, m, d;
    DecodeDate(date, y, m, d);
    return two(d) + QChar('/') + two(m) + QChar('/') + QString::number(y).rightJustified(4, QChar('0'));
}

QString DateToYMD(TDateTime date)
{
    int y, m, d;
    DecodeDate(date, y, m, d);
    return QString::number(y).rightJustified(4, QChar('0')) + two(m) + two(d);
}

QString DateTimeToSql(TDateTime dateTime)
{
    int h, n, s, ms;
    DecodeTime(dateTime, h, n, s, ms);
    return DateToYMD(dateTime) + QChar(' ') + two(h) + QChar(':') + two(n) + QChar(':') + two(s);
}
