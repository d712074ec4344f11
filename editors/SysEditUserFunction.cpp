#include "SysEditUserFunction.h"
#include "GenFns.h"
#include "SqlText.h"
#include "SysUtils.h"
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>

namespace {
const QString kCaption = QStringLiteral("System Edit: tUserFunction");
const QString kSixteenZeros = QStringLiteral("0000000000000000");
const QString kOperatorExists = QStringLiteral("This Operator already exists in the table.");

const char* const kFunctionCaptions[TSysEditUserFunctionForm::kFunctions] = {
    "Import Data Manual", "Import Data Keyed", "Import Data Auto", "Batch Review",
    "DOZ Revenue",        "DOZ Expenditure",   "Reference Data",   "Reference Data View",
    "Audit",              "Processed Import Data", "View Data",    "Invoice",
    "Credit Notes",       "User Maintenance",  "Developer",        "Payables",
};

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

QString keptFlagName(int function)
{
    return QStringLiteral("F") + QString::number(function);
}
}  // namespace

QString FlagString(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || isDigit(trimmed.back()))
        return text;
    return (trimmed.chopped(1).trimmed() + kSixteenZeros).left(16);
}

bool FlagTicked(const QString& flags, int box)
{
    return box >= 1 && box <= flags.size() && flags.at(box - 1) != QLatin1Char('0');
}

// ------------------------------------------------------------ the window

TSysEditUserFunctionForm::TSysEditUserFunctionForm(QWidget* owner) : TRecordEditor(owner)
{
    setObjectName(QStringLiteral("SysEditUserFunctionForm"));
    SetModeCaption(kCaption);
    setFixedSize(417, 340);

    auto labelled = [this](const char* name, const char* caption, int top) {
        QLineEdit* edit = AddEdit(QLatin1String(name), 104, top, 185);
        QLabel* label =
            AddLabel(QStringLiteral("lbl") + QLatin1String(name + 3), QLatin1String(caption), 16, top + 3);
        label->setBuddy(edit);
        return edit;
    };
    edtUserLogin = labelled("edtUserLogin", "User Login", 16);
    edtPassword = labelled("edtPassword", "Password", 44);
    edtPassword->setEchoMode(QLineEdit::Password);
    edtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // "*"
    edtFirstName = labelled("edtFirstName", "First Name", 72);
    edtSurname = labelled("edtSurname", "Surname", 100);

    // Boxes 1 to 8 down the left, 9 to 16 down the right.
    for (int i = 0; i < kFunctions; ++i)
        cbF[i] = AddCheck(QStringLiteral("cbF") + QString::number(i + 1), QLatin1String(kFunctionCaptions[i]),
                          i < 8 ? 16 : 216, 136 + (i % 8) * 20, 190);

    AddOkCancel(btnOk, btnCancel, QStringLiteral("&Save"), 120, 303, [this] { btnOkClick(); });
    ScaleToFont(this);

    ReadAuditIds();
    // One flag decides the audit rows of the operator and of the rights.
    FAudited = IsTableAudited(QStringLiteral("tUserFunction"));
    SetFunction1To16(kSixteenZeros);
}

int TSysEditUserFunctionForm::UserID() const
{
    return StrToInt(FUserIDText);
}

void TSysEditUserFunctionForm::SetUserID(int value)
{
    FUserIDText = QString::number(value);
}

QString TSysEditUserFunctionForm::UserLogin() const { return edtUserLogin->text(); }
QString TSysEditUserFunctionForm::Password() const { return edtPassword->text(); }
QString TSysEditUserFunctionForm::FirstName() const { return edtFirstName->text(); }
QString TSysEditUserFunctionForm::Surname() const { return edtSurname->text(); }

void TSysEditUserFunctionForm::SetUserLogin(const QString& v)
{
    KeepText(edtUserLogin, QStringLiteral("UserLogin"), v, false);
}
void TSysEditUserFunctionForm::SetPassword(const QString& v) { KeepText(edtPassword, QStringLiteral("Password"), v); }
void TSysEditUserFunctionForm::SetFirstName(const QString& v) { KeepText(edtFirstName, QStringLiteral("FirstName"), v); }
void TSysEditUserFunctionForm::SetSurname(const QString& v) { KeepText(edtSurname, QStringLiteral("Surname"), v); }

void TSysEditUserFunctionForm::SetFunction1To16(const QString& v)
{
    FFunction1To16 = FlagString(v);
    for (int i = 1; i <= kFunctions; ++i) {
        const bool ticked = FlagTicked(FFunction1To16, i);
        cbF[i - 1]->setChecked(ticked);
        FKept.Keep(keptFlagName(i), ticked);
    }
}

// ------------------------------------------------------------ the save

void TSysEditUserFunctionForm::btnOkClick()
{
    RunSave([this](TSaveAttempt& save) {
        // A change first meets the operator as stored now, so that the
        // checks and the statements take what the save writes.
        int id = 0;
        if (!FAppendMode) {
            if (!TryStrToInt(FUserIDText.trimmed(), id) || id < 1)
                Refuse(QStringLiteral("Invalid UserID value - Must be positive."));
            keepUpWithStored(save, id);
        }
        const QString login = TextOf(edtUserLogin);
        const QString password = TextOf(edtPassword);
        const QString firstName = TextOf(edtFirstName);
        const QString surname = TextOf(edtSurname);
        if (login.isEmpty() || password.isEmpty())
            Refuse(QStringLiteral("UserLogin and Password MUST be completed. Try again."));

        // No two operators share a login, active or not; an operator may
        // keep its own. The check holds until the save commits, so no other
        // program adds the login in between; where the table keeps logins
        // unique, a write that meets the login after all is refused alike.
        QStringList sameLogin{QStringLiteral("SELECT *"), LockedFrom(QStringLiteral("tUser")),
                              QStringLiteral("WHERE UserLogin LIKE ") + SqlLikeExact(login)};
        if (!FAppendMode)
            sameLogin << QStringLiteral("AND ID <> ") + QString::number(id);
        if (save.Exists(sameLogin))
            Refuse(kOperatorExists);

        return FAppendMode ? saveNew(save, login, password, firstName, surname)
                           : saveChanges(save, id, login, password, firstName, surname);
    });
}

void TSysEditUserFunctionForm::keepUpWithStored(TSaveAttempt& save, int id)
{
    const QString idText = QString::number(id);
    TStoredRow stored(QStringLiteral("tUser"), QStringLiteral("WHERE id = ") + idText);
    stored.Text(QStringLiteral("UserLogin"))
        .Text(QStringLiteral("Password"))
        .Text(QStringLiteral("FirstName"))
        .Text(QStringLiteral("Surname"));
    KeepUpWithStored(save, stored);

    // The rights as stored now. A box the operator left alone shows what is
    // stored; one the operator changed is written only where the right is
    // not stored so already: a right both granted, or both removed, is no
    // change, so it is neither written nor audited.
    QSet<int> granted;
    save.Read({QStringLiteral("SELECT FunctionID"), LockedFrom(QStringLiteral("tUserFunction")),
               QStringLiteral("WHERE UserID = ") + idText},
              [&](const TDataSet& row) { granted.insert(row.FieldByName(QStringLiteral("FunctionID"))->AsInteger()); });
    for (int i = 1; i <= kFunctions; ++i) {
        const bool now = granted.contains(i);
        if (!FKept.Changed(keptFlagName(i), cbF[i - 1]->isChecked()))
            cbF[i - 1]->setChecked(now);
        FKept.Keep(keptFlagName(i), now);
    }
}

QStringList TSysEditUserFunctionForm::grantLines(qint64 id, int function)
{
    return {QStringLiteral("INSERT INTO tUserFunction"), QStringLiteral("(UserID, FunctionID)"),
            QStringLiteral("VALUES (") + QString::number(id) + QStringLiteral(", ") + QString::number(function) +
                QChar(')')};
}

bool TSysEditUserFunctionForm::saveNew(TSaveAttempt& save, const QString& login, const QString& password,
                                       const QString& firstName, const QString& surname)
{
    const QString names =
        (firstName.isEmpty() ? QStringLiteral("NULL,") : Quote(firstName) + QChar(',')) +
        (surname.isEmpty() ? QStringLiteral("NULL, 1)") : QChar(' ') + Quote(surname) + QStringLiteral(", 1)"));
    const qint64 id = save.ExecInsert({QStringLiteral("INSERT INTO tUser"),
                                       QStringLiteral("(UserLogin, Password, FirstName, Surname, Active)"),
                                       QStringLiteral("VALUES (") + Quote(login) + QChar(',') + Quote(password) +
                                           QChar(','),
                                       names},
                                      kOperatorExists);
    if (FAudited) {
        TAuditTrail audit = NewAudit(AuditIds.Insert, QStringLiteral("tUser"));
        audit.SetTableID(id);
        audit.AddField(QStringLiteral("USERLOGIN"), QString(), login);
        audit.AddField(QStringLiteral("FIRSTNAME"), QString(), firstName);
        audit.AddField(QStringLiteral("SURNAME"), QString(), surname);
        audit.AddField(QStringLiteral("ACTIVE"), QString(), QStringLiteral("1"));
        save.Write(audit);
    }
    // The rights belong to the active operator just made; without it they
    // would belong to no one, so the whole save goes back.
    if (!save.Exists({QStringLiteral("SELECT id"), QStringLiteral("FROM tUser"),
                      QStringLiteral("WHERE ID = ") + QString::number(id), QStringLiteral("AND Active = 1")}))
        Refuse(QStringLiteral("The new operator could not be found after it was added, so its rights cannot be "
                              "written. Nothing has been saved."));
    for (int i = 1; i <= kFunctions; ++i)
        if (cbF[i - 1]->isChecked())
            save.Exec(grantLines(id, i));
    return true;
}

bool TSysEditUserFunctionForm::saveChanges(TSaveAttempt& save, int id, const QString& login,
                                           const QString& password, const QString& firstName,
                                           const QString& surname)
{
    const QString idText = QString::number(id);
    save.Exec({QStringLiteral("UPDATE tUser"), QStringLiteral("SET UserLogin = ") + Quote(login) + QChar(','),
               QStringLiteral("Password = ") + Quote(password) + QChar(','),
               QStringLiteral(" FirstName = ") + QuoteOrNull(firstName) + QChar(','),
               QStringLiteral(" Surname = ") + QuoteOrNull(surname), QStringLiteral("WHERE id = ") + idText},
              kOperatorExists);
    if (FAudited) {
        TAuditTrail audit = NewAudit(AuditIds.Update, QStringLiteral("tUser"));
        audit.SetTableID(id);
        audit.AddField(QStringLiteral("USERLOGIN"), FKept.Kept(QStringLiteral("UserLogin")), login);
        audit.AddField(QStringLiteral("PASSWORD"), FKept.Kept(QStringLiteral("Password")), password);
        audit.AddField(QStringLiteral("FIRSTNAME"), FKept.Kept(QStringLiteral("FirstName")), firstName);
        audit.AddField(QStringLiteral("SURNAME"), FKept.Kept(QStringLiteral("Surname")), surname);
        save.Write(audit);
    }

    // Only the rights that changed: a grant is added, a removal deleted.
    TAuditTrail rights = NewAudit(AuditIds.Update, QStringLiteral("tUserFunction"));
    rights.SetTableID(id);
    for (int i = 1; i <= kFunctions; ++i) {
        const bool ticked = cbF[i - 1]->isChecked();
        if (!FKept.Changed(keptFlagName(i), ticked))
            continue;
        const QString function = QString::number(i);
        if (ticked) {
            save.Exec(grantLines(id, i));
            rights.AddField(QStringLiteral("FUNCTIONID"), QString(), function);
        } else {
            save.Exec({QStringLiteral("DELETE tUserFunction"), QStringLiteral("WHERE UserID = ") + idText,
                       QStringLiteral("AND FunctionID = ") + function});
            rights.AddField(QStringLiteral("FUNCTIONID"), function, QString());
        }
    }
    if (FAudited)
        save.Write(rights);
    return true;
}
