#include "DBLogin.h"
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

bool LoginDialogEx(const QString& databaseName, QString& userName, QString& password)
{
    QDialog dlg;
    dlg.setObjectName(QStringLiteral("LoginDialog"));
    dlg.setWindowTitle(QStringLiteral("Database Login"));
    auto* layout = new QVBoxLayout(&dlg);
    auto* db = new QLabel(QStringLiteral("Database: %1").arg(databaseName), &dlg);
    db->setObjectName(QStringLiteral("DatabaseName"));
    layout->addWidget(db);
    auto* form = new QFormLayout;
    auto* user = new QLineEdit(userName, &dlg);
    user->setObjectName(QStringLiteral("UserName"));
    auto* pass = new QLineEdit(&dlg);
    pass->setObjectName(QStringLiteral("Password"));
    pass->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("&User Name:"), user);
    form->addRow(QStringLiteral("&Password:"), pass);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    layout->addWidget(buttons);
    (userName.isEmpty() ? user : pass)->setFocus();
    if (dlg.exec() != QDialog::Accepted)
        return false;
    userName = user->text();
    password = pass->text();
    return true;
}
