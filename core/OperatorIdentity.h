#pragma once
// Who is using the program: the operator identity that the access check
// fills, the main window shows and the record editors write into their audit
// rows, and the operator's rights. The main window's OPERATORNAME,
// OPERATORNUMBER and OPERATORFULLNAME properties read and write it here.
#include <QString>
#include <array>
#include <functional>

// Entry n-1 stands for user function n (1 to 17).
using TUserRights = std::array<bool, 17>;

struct TOperatorIdentity {
    QString OPERATORNAME;        // login name
    int OPERATORNUMBER = 0;      // tUser id
    QString OperatorNumberText = QStringLiteral("0");
    QString OPERATORFULLNAME;
    TUserRights UserRights{};

    void SetOperatorName(const QString& name) { OPERATORNAME = name; }
    // A value of 0 or less is ignored; otherwise the id and its text are kept.
    void SetOperatorNumber(int id);
    void SetOperatorFullName(const QString& fullName);

    // The main window shows the full name in its caption.
    std::function<void(const QString&)> OnFullNameChanged;
};

TOperatorIdentity& Operator();
// UserRights entry for user function n (1-based); false outside 1..17.
bool HasRight(int userFunction);
