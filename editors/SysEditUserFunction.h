#pragma once
// The operator and rights editor: one tUser row (login, password, first
// name, surname) and the operator's rights, one tUserFunction row per
// granted user function 1 to 16. The rights it writes are what the login
// check reads: 7 lets the operator use this program, 9 shows the audit
// tables, 14 allows adding, changing and deleting rows, 15 opens the
// Security group and the database switch. A change first reads the
// operator's row and rights again as stored now (RecordEditor.h); a right
// another program already granted or removed as this operator does is no
// change.
//
// The caller sets UserID when changing an operator, then the texts and
// Function1To16, then AppendMode.
#include "RecordEditor.h"
#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;

// Flag strings: one character per check box, box i standing at character i.
// A text whose last character (blanks aside) is not a digit loses that
// character, and the rest, trimmed, is padded with "0" and cut to sixteen
// characters; any other text is kept exactly as given.
QString FlagString(const QString& text);
// Box i (1-based) is ticked when the flag string has a character i and it is
// not "0": a string too short for its boxes grants nothing by default.
bool FlagTicked(const QString& flags, int box);

class TSysEditUserFunctionForm : public TRecordEditor {
    Q_OBJECT
    Q_PROPERTY(int UserID READ UserID WRITE SetUserID)
    Q_PROPERTY(QString UserLogin READ UserLogin WRITE SetUserLogin)
    Q_PROPERTY(QString Password READ Password WRITE SetPassword)
    Q_PROPERTY(QString FirstName READ FirstName WRITE SetFirstName)
    Q_PROPERTY(QString Surname READ Surname WRITE SetSurname)
    Q_PROPERTY(QString Function1To16 READ Function1To16 WRITE SetFunction1To16)

public:
    static constexpr int kFunctions = 16;

    explicit TSysEditUserFunctionForm(QWidget* owner = nullptr);

    QLineEdit* edtUserLogin;
    QLineEdit* edtPassword;  // shows "*"
    QLineEdit* edtFirstName;
    QLineEdit* edtSurname;
    std::array<QCheckBox*, kFunctions> cbF{};  // cbF[0] is cbF1
    QPushButton* btnOk;
    QPushButton* btnCancel;

    // The operator's id; its text is what the save checks and writes.
    int UserID() const;
    void SetUserID(int value);
    // The texts are kept as stored; the login shows as given, the others
    // trimmed. A save takes them as TextOf gives them.
    QString UserLogin() const;
    QString Password() const;
    QString FirstName() const;
    QString Surname() const;
    void SetUserLogin(const QString& v);
    void SetPassword(const QString& v);
    void SetFirstName(const QString& v);
    void SetSurname(const QString& v);
    // The rights as a flag string: ticks the boxes and keeps their states.
    QString Function1To16() const { return FFunction1To16; }
    void SetFunction1To16(const QString& v);

    bool Audited() const { return FAudited; }

    void btnOkClick();

private:
    bool saveNew(TSaveAttempt& save, const QString& login, const QString& password, const QString& firstName,
                 const QString& surname);
    bool saveChanges(TSaveAttempt& save, int id, const QString& login, const QString& password,
                     const QString& firstName, const QString& surname);
    // Inside a change's save: the operator's row and rights as stored now,
    // met with what the editor was opened with.
    void keepUpWithStored(TSaveAttempt& save, int id);
    static QStringList grantLines(qint64 id, int function);

    QString FUserIDText;
    QString FFunction1To16 = QStringLiteral("0000000000000000");
    bool FAudited = false;
};
