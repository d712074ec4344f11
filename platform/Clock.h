#pragma once
// The program's clock. Tests fix it so that dates and stamps are known.
#include <QDateTime>

namespace Clock {
QDateTime Now();
QDate Today();
void SetFixed(const QDateTime& when);  // tests only
void SetSystem();
}  // namespace Clock
