#pragma once
// The connection prompt: asks for the ODBC data source and identity (ODBC
// mode), or for the operator's password (operator mode).
#include "StringList.h"
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The longest login name and password the operator table holds.
constexpr int kLoginLength = 50;

class TLoginForm : public QDialog {
    Q_OBJECT
public:
    explicit TLoginForm(QWidget* owner = nullptr);

    QLabel* lblEnterDSN = nullptr;
    QLineEdit* edtDSN = nullptr;        // lower case, except a file's path
    QLabel* lblEnterName = nullptr;
    QLineEdit* edtName = nullptr;       // lower case
    QLabel* lblEnterPassword = nullptr;
    QLineEdit* edtPassword = nullptr;   // shows "*"
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    // A new title widens the prompt until the title bar shows it whole.
    void changeEvent(QEvent* event) override;

private:
    void fitToTitle();
};

// Shows the prompt modally; true when the operator pressed OK. In ODBC mode
// it proposes Dsn, the list's "USER NAME" ("sa" when it has none) and its
// "PASSWORD". On OK the list's "USER NAME" is the trimmed name, "PASSWORD"
// the trimmed password (none when the box is empty) and Dsn the trimmed
// data source text.
bool LoginPrompt(const QString& Title, bool OdbcMode, QString& Dsn, TStringList& Params);

// Tests drive the prompt through this hook: it is called with the form
// before it is shown and returns the modal result to use instead of
// showing it (QDialog::Accepted or Rejected).
using LoginFormHook = std::function<int(TLoginForm&)>;
LoginFormHook SetLoginFormHook(LoginFormHook hook);
