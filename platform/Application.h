#pragma once
// The application object. Its notify() is the last guard for exceptions that
// leave an event handler: the message is shown in an error box and the
// program carries on.
#include "Dialogs.h"
#include <QApplication>
#include <exception>
#include <functional>

class QLineEdit;

// Every line edit it shows takes whole characters (KeepCharactersWhole). An
// edit that sets a validator of its own replaces this one.
class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// What the operator puts into the edit at its width (maxLength) is taken
// as far as whole characters fit: a character that does not fit is left
// out whole, never cut between the two halves of a surrogate pair, whether
// it is typed, pasted, dropped or committed by an input method. Undo and
// Redo go on working after it.
void KeepCharactersWhole(QLineEdit* edit);

// Letters the operator puts into the edit (typed, pasted, dropped or
// committed by an input method) become capitals where they were put, the
// cursor after them, each whose capital is one letter: a letter whose
// capital is more than one (ß, the ligature ﬀ) stays as typed. Text set by
// code shows as given. Undo, Redo and an input method's composition work as
// in any edit. Characters are kept whole as KeepCharactersWhole says.
void TypeCapitals(QLineEdit* edit);

// The program's title: the caption of message boxes of no particular kind
// and the name of the registry key placements are kept under; the
// application's name until one is set. It is not Qt's display name, which
// the window system would add to the end of every window title.
QString ApplicationTitle();
void SetApplicationTitle(const QString& title);

// Shows the error box for an exception (silent for EAbort). Usable wherever
// code catches an exception to report it and go on. Editors show the save's
// failures in the warning box instead.
void HandleException(const std::exception& e, TMsgDlgType type = mtError);

// The guard every handler that starts work runs in (buttons, menu items,
// timers, editors' Save and OK): an exception the work raises is shown in a
// box of the given type and stops there, so none unwinds through Qt's signal
// code and the window stays as it was. False when the work failed.
bool RunGuarded(const std::function<void()>& work, TMsgDlgType type = mtError);

// A slot that runs its work guarded:
//   connect(btnAdd, &QPushButton::clicked, this, Guarded([this] { btnAddClick(); }));
template <typename F>
auto Guarded(F work)
{
    return [work = std::move(work)]() { RunGuarded(work); };
}

// The text the error box shows: the message with a full stop added unless it
// already ends in punctuation.
QString ExceptionDisplayText(const QString& message);

// Lets pending window messages run (keeps the window painted during long
// work).
void ProcessMessages();

// The hourglass while a statement runs: the operator sees that the program
// is busy rather than frozen. Nests; does nothing without a window system.
class TBusyCursor {
public:
    TBusyCursor();
    ~TBusyCursor();
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;

private:
    bool m_set = false;
};
