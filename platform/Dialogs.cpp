#include "Dialogs.h"
#include "Application.h"
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {
MessageHandler& handler()
{
    static MessageHandler h;
    return h;
}
int g_beeps = 0;

struct ButtonInfo {
    TMsgDlgBtn btn;
    const char* caption;
    int result;
};
const ButtonInfo kButtons[] = {
    {mbYes, "&Yes", mrYes},         {mbNo, "&No", mrNo},
    {mbOK, "OK", mrOk},             {mbCancel, "Cancel", mrCancel},
    {mbAbort, "&Abort", mrAbort},   {mbRetry, "&Retry", mrRetry},
    {mbIgnore, "&Ignore", mrIgnore}, {mbAll, "&All", mrAll},
    {mbNoToAll, "N&o to All", mrNoToAll}, {mbYesToAll, "Yes to &All", mrYesToAll},
    {mbHelp, "&Help", mrNone},
};
}  // namespace

QString MessageCaption(TMsgDlgType type)
{
    switch (type) {
    case mtWarning: return QStringLiteral("Warning");
    case mtError: return QStringLiteral("Error");
    case mtInformation: return QStringLiteral("Information");
    case mtConfirmation: return QStringLiteral("Confirm");
    case mtCustom: break;
    }
    return ApplicationTitle();
}

MessageHandler SetMessageHandler(MessageHandler h)
{
    MessageHandler old = std::move(handler());
    handler() = std::move(h);
    return old;
}

int MessageDlg(const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int)
{
    TMessageBox box{MessageCaption(type), msg, type, buttons};
    if (handler())
        return handler()(box);

    QMessageBox mb(QApplication::activeWindow());
    mb.setWindowTitle(box.Caption);
    mb.setText(msg);
    switch (type) {
    case mtWarning: mb.setIcon(QMessageBox::Warning); break;
    case mtError: mb.setIcon(QMessageBox::Critical); break;
    case mtInformation: mb.setIcon(QMessageBox::Information); break;
    case mtConfirmation: mb.setIcon(QMessageBox::Question); break;
    case mtCustom: mb.setIcon(QMessageBox::NoIcon); break;
    }
    QAbstractButton* first = nullptr;
    QAbstractButton* def = nullptr;
    QAbstractButton* esc = nullptr;
    QAbstractButton* okB = nullptr;
    QAbstractButton* noB = nullptr;
    QAbstractButton* yesB = nullptr;
    for (const ButtonInfo& bi : kButtons) {
        if (!(buttons & bi.btn))
            continue;
        QPushButton* b = mb.addButton(QString::fromLatin1(bi.caption), QMessageBox::ActionRole);
        b->setProperty("kvResult", bi.result);
        if (!first) first = b;
        if (bi.btn == mbOK) okB = b;
        if (bi.btn == mbYes) yesB = b;
        if (bi.btn == mbNo) noB = b;
        if (bi.btn == mbCancel) esc = b;
    }
    if (!first) {
        okB = first = mb.addButton(QStringLiteral("OK"), QMessageBox::ActionRole);
        first->setProperty("kvResult", int(mrOk));
    }
    // The default button is OK, else Yes, else the first; Escape presses
    // Cancel, else No, else OK.
    def = okB ? okB : (yesB ? yesB : first);
    if (!esc) esc = noB ? noB : okB;
    mb.setDefaultButton(qobject_cast<QPushButton*>(def));
    if (esc)
        mb.setEscapeButton(esc);
    mb.exec();
    QAbstractButton* clicked = mb.clickedButton();
    if (!clicked)
        return esc ? esc->property("kvResult").toInt() : int(mrCancel);
    return clicked->property("kvResult").toInt();
}

void ShowMessage(const QString& msg)
{
    MessageDlg(msg, mtCustom, mbOK);
}

void MessageBeep()
{
    ++g_beeps;
    if (!handler())
        QApplication::beep();
}

int BeepCount()
{
    return g_beeps;
}
