#pragma once
// Message boxes and beeps. Every box the program shows goes through
// MessageDlg, so tests can answer and record them; every refused keystroke
// goes through MessageBeep, so tests can count them.
#include <QString>
#include <functional>

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn : unsigned {
    mbYes = 1u << 0, mbNo = 1u << 1, mbOK = 1u << 2, mbCancel = 1u << 3, mbAbort = 1u << 4,
    mbRetry = 1u << 5, mbIgnore = 1u << 6, mbAll = 1u << 7, mbNoToAll = 1u << 8,
    mbYesToAll = 1u << 9, mbHelp = 1u << 10
};
using TMsgDlgButtons = unsigned;
constexpr TMsgDlgButtons mbYesNo = mbYes | mbNo;
constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;

// Modal results. The numbers are fixed: callers keep and compare them.
enum TModalResult : int {
    mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
    mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10
};

struct TMessageBox {
    QString Caption;
    QString Text;
    TMsgDlgType Type = mtCustom;
    TMsgDlgButtons Buttons = mbOK;
};

// Shows a box and returns the modal result of the button pressed (Escape
// gives the cancel button's result).
int MessageDlg(const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx = 0);
// A plain box with the application title and an OK button.
void ShowMessage(const QString& msg);

// The caption a box of that type carries ("Warning", "Error", ...).
QString MessageCaption(TMsgDlgType type);

// Tests: a handler that answers every box instead of showing it. Returns the
// previous handler.
using MessageHandler = std::function<int(const TMessageBox&)>;
MessageHandler SetMessageHandler(MessageHandler handler);

// A short system beep (refused keystrokes, disabled buttons).
void MessageBeep();
int BeepCount();  // beeps since the start, for tests
