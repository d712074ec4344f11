#pragma once
// The database login dialog: asks for a user name and password when a
// database connects with LoginPrompt set.
#include <QString>

bool LoginDialogEx(const QString& databaseName, QString& userName, QString& password);
