#pragma once
// The three date texts: reports (dd/mm/yyyy), SQL dates (yyyymmdd) and SQL
// date-times / audit action times (yyyymmdd HH:mm:ss, 24-hour, so every
// server reads them whatever its locale).
#include "SysUtils.h"
#include <QString>

QString DateToDMY(TDateTime date);
QString DateToYMD(TDateTime date);
QString DateTimeToSql(TDateTime dateTime);
