#include "AccessRightsSys.h"
#include "DataMod.h"
#include "DateFunctions.h"
#include "Dialogs.h"
#include "GenFns.h"
#include "IniFiles.h"
#include "LoginFrm.h"
#include "SqlText.h"

namespace {
// Opens a query naming the login name (and the password typed): a text the
// connection cannot carry is refused naming the input that holds it, the
// login name first, as it comes first in the statement.
void openNaming(TQuery& q, const QString& login, const QString& password = QString())
{
    try {
        q.Open();
    } catch (const EUncarriedText& refused) {
        const TDatabase* db = q.Database();
        if (db && !db->Uncarried(login).isEmpty())
            throw EDatabaseError(refused.Refusal(QStringLiteral("Login name"), false));
        if (!password.isEmpty() && refused.Text() == password)
            throw EDatabaseError(refused.Refusal(QStringLiteral("Password"), false));
        throw;
    }
}

bool passwordMode()
{
    return TIniFile(SettingsFileName()).ReadString(QStringLiteral("General"), QStringLiteral("GetLog"),
                                                   QStringLiteral("1")) == QLatin1String("1");
}
}  // namespace

bool CheckUserAccess(bool Relogin, TUserRights& Rights)
{
    TOperatorIdentity& op = Operator();
    const bool pwMode = passwordMode();
    bool ok = false;
    QString login;
    QString password;

    TQuery q(nullptr, QLatin1String(kDatabaseName));
    if (!Relogin && op.OPERATORNUMBER > 0) {
        q.SQL().Add(QStringLiteral("SELECT *"));
        q.SQL().Add(QStringLiteral("FROM tUser"));
        q.SQL().Add(QStringLiteral("WHERE ID = ") + QString::number(op.OPERATORNUMBER));
        q.SQL().Add(QStringLiteral("AND Active = 1"));
        q.Open();
        if (!q.IsEmpty()) {
            login = q.FieldByName(QStringLiteral("UserLogin"))->AsString();
            op.SetOperatorName(login);
            ok = true;
        } else {
            Relogin = true;
        }
        q.Close();
        q.SQL().Clear();
    }

    if (Relogin) {
        if (passwordMode()) {
            TStringList params;
            QString dsn;
            ok = LoginPrompt(QStringLiteral("User Access"), false, dsn, params);
            login = params.Values(QStringLiteral("USER NAME"));
            password = params.Values(QStringLiteral("PASSWORD"));
        } else {
            ok = true;
            login = op.OPERATORNAME;
        }
    }
    if (!ok)
        return false;

    // The login name matches only itself, and the password is compared as
    // stored: neither may act as a pattern.
    q.SQL().Add(QStringLiteral("SELECT *"));
    q.SQL().Add(QStringLiteral("FROM tUser"));
    q.SQL().Add(QStringLiteral("WHERE UserLogin LIKE ") + SqlLikeExact(login));
    q.SQL().Add(QStringLiteral("AND Active = 1"));
    if (pwMode && Relogin)
        q.SQL().Add(QStringLiteral("AND Password = '") + SqlStr(password) + QChar('\''));
    openNaming(q, login, password);
    if (q.IsEmpty()) {
        q.Close();
        MessageDlg(QStringLiteral("User and Password not found. Access is denied."), mtWarning, mbOK);
        return false;
    }
    const int id = q.FieldByName(QStringLiteral("ID"))->AsInteger();
    op.SetOperatorNumber(id);
    op.SetOperatorName(login);
    op.SetOperatorFullName((q.FieldByName(QStringLiteral("FirstName"))->AsString() + QChar(' ') +
                            q.FieldByName(QStringLiteral("Surname"))->AsString())
                               .trimmed());
    q.Close();

    if (!pwMode) {
        Rights.fill(true);
        return true;
    }
    Rights.fill(false);
    TQuery f(nullptr, QLatin1String(kDatabaseName));
    f.SQL().Add(QStringLiteral("SELECT *"));
    f.SQL().Add(QStringLiteral("FROM tUserFunction"));
    f.SQL().Add(QStringLiteral("WHERE UserID = ") + QString::number(id));
    f.SQL().Add(QStringLiteral("ORDER BY FunctionID"));
    f.Open();
    for (; !f.Eof(); f.Next()) {
        // Functions outside the table's 17 entries grant nothing.
        const int fn = f.FieldByName(QStringLiteral("FunctionID"))->AsInteger();
        if (fn >= 1 && fn <= int(Rights.size()))
            Rights[fn - 1] = true;
    }
    f.Close();
    return Rights[6];
}

void StampLastLoggedOn(const QString& Name, QString& IdText)
{
    const QString n = Name.trimmed().toLower();
    if (n.isEmpty() || n == QLatin1String("unknown")) {
        IdText = QStringLiteral("0");
        return;
    }
    TQuery q(nullptr, QLatin1String(kDatabaseName));
    q.SQL().Add(QStringLiteral("SELECT id FROM tUser"));
    q.SQL().Add(QStringLiteral("WHERE (UserLogin LIKE ") + SqlLikeExact(n) + QChar(')'));
    openNaming(q, n);
    if (q.IsEmpty()) {
        IdText = QStringLiteral("0");
        return;
    }
    IdText = QString::number(q.FieldByName(QStringLiteral("id"))->AsInteger());
    q.Close();
    q.SQL().Clear();
    q.SQL().Add(QStringLiteral("UPDATE tUser"));
    q.SQL().Add(QStringLiteral("SET LastLoggedOn ='") + DateTimeToSql(Now()) + QChar('\''));
    q.SQL().Add(QStringLiteral("WHERE (ID = ") + IdText + QChar(')'));
    q.ExecSQL();
}

void StampLastLoggedOff(const QString& IdText)
{
    const QString t = IdText.trimmed();
    int id = 0;
    // Only an id goes into the statement.
    if (t.isEmpty() || t == QLatin1String("0") || !TryStrToInt(t, id))
        return;
    TQuery q(nullptr, QLatin1String(kDatabaseName));
    q.SQL().Add(QStringLiteral("UPDATE tUser"));
    q.SQL().Add(QStringLiteral("SET LastLoggedOff ='") + DateTimeToSql(Now()) + QChar('\''));
    q.SQL().Add(QStringLiteral("WHERE (ID = ") + QString::number(id) + QChar(')'));
    q.ExecSQL();
}
