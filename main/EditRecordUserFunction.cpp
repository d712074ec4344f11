// How the main window drives the operator and rights editor: the operator's
// id when editing, the texts, and the rights as one flag string.
#include "DB.h"
#include "EditDispatch.h"
#include "SysEditUserFunction.h"

TEditorWiring WireUserFunction(int)
{
    TEditorWiring w;
    w.Create = [](QWidget* owner) -> TRecordEditor* { return new TSysEditUserFunctionForm(owner); };
    w.Copy = [](TRecordEditor& e, TDataSet& row, bool add, int keptId) {
        auto& f = static_cast<TSysEditUserFunctionForm&>(e);
        if (!add)
            f.SetUserID(keptId);
        // An operator without a login opens with an empty one. The texts go
        // in as stored, so that a save writes back what it did not change.
        f.SetUserLogin(row.FieldByName(QStringLiteral("UserLogin"))->AsString());
        f.SetPassword(row.FieldByName(QStringLiteral("Password"))->AsString());
        f.SetFirstName(row.FieldByName(QStringLiteral("FirstName"))->AsString());
        f.SetSurname(row.FieldByName(QStringLiteral("Surname"))->AsString());
        // F1 .. F16 hold the function number of each right granted, else
        // nothing.
        QString flags;
        for (int i = 1; i <= TSysEditUserFunctionForm::kFunctions; ++i)
            flags += row.FieldByName(QStringLiteral("F") + QString::number(i))->AsInteger() == 0 ? QLatin1Char('0')
                                                                                                : QLatin1Char('1');
        f.SetFunction1To16(flags);
    };
    return w;
}
