#include "Application.h"
#include "Dialogs.h"
#include "Exceptions.h"
#include <QLineEdit>
#include <QValidator>

namespace {
// A line edit at its width takes of an inserted text the units that fit, so
// a character of two can lose its second half there; the first is dropped
// too.
class TWholeCharacters : public QValidator {
public:
    explicit TWholeCharacters(QLineEdit* edit) : QValidator(edit), m_edit(edit) {}
    State validate(QString& input, int& pos) const override
    {
        if (input.size() >= m_edit->maxLength() && pos > 0 && input.at(pos - 1).isHighSurrogate() &&
            (pos == input.size() || !input.at(pos).isLowSurrogate()))
            input.remove(--pos, 1);
        return Acceptable;
    }

private:
    const QLineEdit* m_edit;
};
}  // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    if (event->type() == QEvent::Polish)
        if (auto* edit = qobject_cast<QLineEdit*>(receiver); edit && !edit->validator())
            edit->setValidator(new TWholeCharacters(edit));
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        HandleException(e);
    } catch (...) {
        MessageDlg(QStringLiteral("Unknown error."), mtError, mbOK);
    }
    return false;
}

namespace {
QString& title()
{
    static QString t;
    return t;
}
}  // namespace

QString ApplicationTitle()
{
    return title().isEmpty() ? QCoreApplication::applicationName() : title();
}

void SetApplicationTitle(const QString& t)
{
    title() = t;
}

QString ExceptionDisplayText(const QString& message)
{
    QString m = message.trimmed();
    if (!m.isEmpty() && m.back() > QChar('.'))
        m += QChar('.');
    return m;
}

void HandleException(const std::exception& e, TMsgDlgType type)
{
    if (dynamic_cast<const EAbort*>(&e))
        return;
    const auto* ours = dynamic_cast<const Exception*>(&e);
    const QString msg = ours ? ours->Message() : QString::fromUtf8(e.what());
    MessageDlg(ExceptionDisplayText(msg), type, mbOK);
}

bool RunGuarded(const std::function<void()>& work, TMsgDlgType type)
{
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        HandleException(e, type);
    } catch (...) {
        MessageDlg(QStringLiteral("Unknown error."), type, mbOK);
    }
    return false;
}

void ProcessMessages()
{
    QCoreApplication::processEvents();
}

TBusyCursor::TBusyCursor()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_set = true;
    }
}

TBusyCursor::~TBusyCursor()
{
    if (m_set)
        QApplication::restoreOverrideCursor();
}
