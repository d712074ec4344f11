#pragma once
// Operator login against tUser, the rights table from tUserFunction, and the
// log-on and log-off stamps.
#include "OperatorIdentity.h"
#include <QString>

// Logs the operator in and fills Rights; true when the program may be used.
// Relogin: the program was started without an operator id.
bool CheckUserAccess(bool Relogin, TUserRights& Rights);
// Looks the login name up, returns its id as text ("0" when unknown) and
// stamps LastLoggedOn.
void StampLastLoggedOn(const QString& Name, QString& IdText);
// Stamps LastLoggedOff of that id (nothing for "0" or empty).
void StampLastLoggedOff(const QString& IdText);
