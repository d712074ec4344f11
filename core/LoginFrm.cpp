#include "LoginFrm.h"
#include "OperatorIdentity.h"
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <memory>

namespace {
LoginFormHook& hook()
{
    static LoginFormHook h;
    return h;
}

bool namesAFile(const QString& text)
{
    return text.contains(QChar('/')) || text.contains(QChar('\\'));
}

// Every letter typed (or set) becomes lower case. With keepPaths, a text
// that names a file (it holds a path separator) keeps its case, letters
// typed before the first separator included: file names differ by case,
// data source names do not.
void makeLowerCase(QLineEdit* edit, bool keepPaths = false)
{
    auto typed = std::make_shared<QString>();  // the text as the operator gave it
    auto shown = std::make_shared<QString>();
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit, keepPaths, typed, shown](const QString& text) {
        if (text == *shown)
            return;
        // What changed between the text shown and the new one, put into the
        // text as typed.
        qsizetype head = 0;
        while (head < text.size() && head < shown->size() && text[head] == (*shown)[head])
            ++head;
        qsizetype tail = 0;
        while (tail < text.size() - head && tail < shown->size() - head &&
               text[text.size() - 1 - tail] == (*shown)[shown->size() - 1 - tail])
            ++tail;
        if (typed->size() == shown->size())
            *typed = typed->left(head) + text.mid(head, text.size() - head - tail) + typed->right(tail);
        else
            *typed = text;
        *shown = keepPaths && namesAFile(*typed) ? *typed : typed->toLower();
        if (*shown != text) {
            const int pos = edit->cursorPosition();
            edit->setText(*shown);
            edit->setCursorPosition(pos);
        }
    });
}

// The box takes one line: text pasted with line breaks keeps its first line
// (a break would reach the settings file as lines of its own).
void makeSingleLine(QLineEdit* edit)
{
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit] {
        const QString text = edit->text();  // as the other handlers left it
        const qsizetype cut = text.indexOf(QRegularExpression(QStringLiteral("[\\r\\n]")));
        if (cut >= 0)
            edit->setText(text.left(cut));
    });
}
}  // namespace

LoginFormHook SetLoginFormHook(LoginFormHook h)
{
    LoginFormHook old = std::move(hook());
    hook() = std::move(h);
    return old;
}

TLoginForm::TLoginForm(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("LoginForm"));
    setWindowTitle(QStringLiteral("Invoice Brellinghast Login"));
    // A title and a close button only: the prompt is not resized or minimized.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    auto label = [this](const char* name, const QString& text, int top) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(16, top, 260, 16);
        return l;
    };
    auto edit = [this](const char* name, int top) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setGeometry(16, top, 260, 22);
        return e;
    };
    lblEnterDSN = label("lblEnterDSN", QStringLiteral("Please Enter ODBC DSN:"), 12);
    edtDSN = edit("edtDSN", 30);
    lblEnterName = label("lblEnterName", QStringLiteral("Please Enter Your User Name:"), 62);
    edtName = edit("edtName", 80);
    lblEnterPassword = label("lblEnterPassword", QStringLiteral("Please Enter Password"), 112);
    edtPassword = edit("edtPassword", 130);
    edtPassword->setEchoMode(QLineEdit::Password);
    edtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // "*"
    makeLowerCase(edtDSN, true);
    makeLowerCase(edtName);
    for (QLineEdit* e : {edtDSN, edtName, edtPassword})
        makeSingleLine(e);
    // tUser's login and password columns hold 50 characters.
    edtName->setMaxLength(kLoginLength);
    edtPassword->setMaxLength(kLoginLength);
    lblEnterDSN->setBuddy(edtDSN);
    lblEnterName->setBuddy(edtName);
    lblEnterPassword->setBuddy(edtPassword);

    btnOK = new QPushButton(QStringLiteral("&Ok"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setGeometry(56, 180, 80, 26);
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(156, 180, 80, 26);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    // The password comes first: the other two are usually filled in already.
    setTabOrder(edtPassword, edtDSN);
    setTabOrder(edtDSN, edtName);
    setTabOrder(edtName, btnOK);
    setTabOrder(btnOK, btnCancel);
    edtPassword->setFocus();
    fitToTitle();
}

void TLoginForm::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowTitleChange && btnCancel)
        fitToTitle();
}

void TLoginForm::fitToTitle()
{
    // The caption in a title bar's bold font, beside the window's icon and
    // its close button.
    QFont titleFont = font();
    titleFont.setBold(true);
    const int w = qMax(292, QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + 96);
    setFixedSize(w, 236);
    for (QWidget* c : std::initializer_list<QWidget*>{lblEnterDSN, edtDSN, lblEnterName, edtName, lblEnterPassword,
                                                       edtPassword})
        c->resize(w - 32, c->height());
    btnOK->move(w / 2 - 90, btnOK->y());
    btnCancel->move(w / 2 + 10, btnCancel->y());
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

bool LoginPrompt(const QString& Title, bool OdbcMode, QString& Dsn, TStringList& Params)
{
    TLoginForm form;
    form.edtDSN->setText(Dsn);
    if (OdbcMode) {
        form.setWindowTitle(QStringLiteral("SQLServer ODBC Link: ") + Title);
        form.lblEnterName->setText(QStringLiteral("Enter ODBC identity:"));
        const QString user = Params.Values(QStringLiteral("USER NAME"));
        form.edtName->setText(user.isEmpty() ? QStringLiteral("sa") : user);
        form.edtPassword->setText(Params.Values(QStringLiteral("PASSWORD")));
    } else {
        form.lblEnterDSN->hide();
        form.edtDSN->hide();
        form.lblEnterName->setText(QStringLiteral("User Name:"));
        form.edtName->setEnabled(false);
        form.edtName->setText(Operator().OPERATORNAME);
    }
    form.edtPassword->setFocus();
    const int result = hook() ? hook()(form) : form.exec();
    if (result != QDialog::Accepted)
        return false;
    Params.SetValue(QStringLiteral("USER NAME"), form.edtName->text().trimmed());
    Params.SetValue(QStringLiteral("PASSWORD"), form.edtPassword->text().trimmed());  // none when empty
    Dsn = form.edtDSN->text().trimmed();
    return true;
}
