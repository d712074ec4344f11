#include "OperatorIdentity.h"

void TOperatorIdentity::SetOperatorNumber(int id)
{
    if (id <= 0)
        return;
    OPERATORNUMBER = id;
    OperatorNumberText = QString::number(id);
}

void TOperatorIdentity::SetOperatorFullName(const QString& fullName)
{
    OPERATORFULLNAME = fullName;
    if (OnFullNameChanged)
        OnFullNameChanged(fullName);
}

TOperatorIdentity& Operator()
{
    static TOperatorIdentity op;
    return op;
}

bool HasRight(int userFunction)
{
    return userFunction >= 1 && userFunction <= 17 && Operator().UserRights[userFunction - 1];
}
