#include "RowKey.h"
#include "DB.h"
#include "Exceptions.h"
#include <limits>

QString PageKeyField(int pageId)
{
    constexpr int kUserFunctionPage = 1082;
    return pageId == kUserFunctionPage ? QStringLiteral("UserID") : QStringLiteral("id");
}

int RowKeyOf(const TField* key)
{
    bool number = false;
    const qlonglong id = key->Value().toLongLong(&number);
    if (number && (id > std::numeric_limits<int>::max() || id < std::numeric_limits<int>::min()))
        throw ERangeError(QStringLiteral("This row cannot be changed here: its id %1 is too large for this program.")
                              .arg(id));
    return key->AsInteger();
}
