#pragma once
// The application object. Its notify() is the last guard for exceptions that
// leave an event handler: the message is shown in an error box and the
// program carries on.
#include <QApplication>
#include <exception>

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The program's title: the caption of message boxes of no particular kind
// and the name of the registry key placements are kept under; the
// application's name until one is set. It is not Qt's display name, which
// the window system would add to the end of every window title.
QString ApplicationTitle();
void SetApplicationTitle(const QString& title);

// Shows the error box for an exception (silent for EAbort). Usable wherever
// code catches an exception to report it and go on.
void HandleException(const std::exception& e);
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
