#pragma once
// The class library's own database login dialog, shown when a database
// connects with LoginPrompt set.
#include <QString>

bool LoginDialogEx(const QString& databaseName, QString& userName, QString& password);
