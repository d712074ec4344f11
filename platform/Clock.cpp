#include "Clock.h"

namespace {
QDateTime& fixedTime()
{
    static QDateTime t;
    return t;
}
}  // namespace

namespace Clock {
QDateTime Now()
{
    return fixedTime().isValid() ? fixedTime() : QDateTime::currentDateTime();
}
QDate Today()
{
    return Now().date();
}
void SetFixed(const QDateTime& when)
{
    fixedTime() = when;
}
void SetSystem()
{
    fixedTime() = QDateTime();
}
}  // namespace Clock
