#include "Application.h"
#include "Dialogs.h"
#include "Exceptions.h"
#include <QLineEdit>
#include <QPointer>
#include <QValidator>
#include <QVector>

namespace {

// Which event is being handled: 1 for one sent from outside any event, more
// for one sent while another is handled; 0 outside events.
thread_local int g_eventDepth = 0;

// What the operator put into an edit, rewritten by the edit's rules. The
// edit's validator refused the insertion, so the edit took it back whole;
// once the event that put it in has been handled, the rewritten text goes in
// at the same place, as the operator's own insertion: Undo takes it back in
// one step, as it would have taken back what was put in.
struct TRewrite {
    QPointer<QLineEdit> Edit;
    QString Before;   // the edit's text once the insertion was taken back
    int Start = 0;    // where the insertion went, replacing Removed characters
    int Removed = 0;
    QString Text;
    int Depth = 0;    // the event that put it in
};
thread_local QVector<TRewrite> g_rewrites;

// The rewrites of insertions made while the event at `depth` (or one it
// sent) was handled, in the order they were made. One whose edit changed
// since is dropped.
void rewriteInsertions(int depth)
{
    for (qsizetype i = 0; i < g_rewrites.size();) {
        if (g_rewrites.at(i).Depth < depth) {
            ++i;
            continue;
        }
        const TRewrite r = g_rewrites.takeAt(i);
        if (!r.Edit || r.Edit->text() != r.Before)
            continue;
        // Taking the insertion back put the cursor (and what it replaced,
        // selected) where it was; moving it would end a composition.
        const bool selected = r.Removed > 0 ? r.Edit->selectionStart() == r.Start &&
                                                  r.Edit->selectedText().size() == r.Removed
                                            : !r.Edit->hasSelectedText() && r.Edit->cursorPosition() == r.Start;
        if (!selected && r.Removed > 0)
            r.Edit->setSelection(r.Start, r.Removed);
        else if (!selected)
            r.Edit->setCursorPosition(r.Start);
        r.Edit->insert(r.Text);
    }
}

// The text with each letter whose capital is one character in its capital.
QString capitals(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
        const QString c = text.mid(i, n);
        const QString upper = c.toUpper();
        out += upper.size() == n && (n == 1 || upper.at(0).isHighSurrogate()) ? upper : c;
        i += n;
    }
    return out;
}

// The rules of what the operator puts into an edit. The text put in is
// found by comparing the edit's new text with the one it held: a text set
// by code (the edit has nothing to undo) and one that Undo or Redo brings
// back are taken as they are, but for the half of a character that a text
// set at the width may end in.
class TTypedText : public QValidator {
public:
    explicit TTypedText(QLineEdit* edit) : QValidator(edit), m_edit(edit), m_last(edit->text()) {}
    bool Capitals = false;

    State validate(QString& text, int& pos) const override
    {
        const bool set = !m_edit->isUndoAvailable() && !m_edit->isRedoAvailable();
        if (text == m_last || set || m_edit->isRedoAvailable()) {
            if (set && text.size() >= m_edit->maxLength() && !text.isEmpty() && text.back().isHighSurrogate()) {
                text.chop(1);
                pos = qMin(pos, int(text.size()));
            }
            m_last = text;
            return Acceptable;
        }
        // What was put in ends at the cursor; the text after it is as it was.
        const qsizetype after = text.size(), before = m_last.size();
        const qsizetype most = qMin(before, after - qBound(qsizetype(0), qsizetype(pos), after));
        qsizetype kept = 0;
        while (kept < most && text.at(after - 1 - kept) == m_last.at(before - 1 - kept))
            ++kept;
        qsizetype start = 0;
        while (start < before - kept && start < after - kept && text.at(start) == m_last.at(start))
            ++start;
        const QString put = text.mid(start, after - kept - start);
        QString rewritten = put;
        // At the width the last character may have lost its second half.
        if (!rewritten.isEmpty() && rewritten.back().isHighSurrogate() && after >= m_edit->maxLength() &&
            (kept == 0 || !text.at(after - kept).isLowSurrogate()))
            rewritten.chop(1);
        if (Capitals)
            rewritten = capitals(rewritten);
        if (rewritten == put) {
            m_last = text;
            return Acceptable;
        }
        if (!rewritten.isEmpty()) {
            g_rewrites.append({m_edit, m_last, int(start), int(before - kept - start), rewritten, g_eventDepth});
            if (g_eventDepth == 0)  // put in by code outside any event
                QMetaObject::invokeMethod(qApp, [] { rewriteInsertions(0); }, Qt::QueuedConnection);
        }
        return Invalid;
    }

private:
    QLineEdit* m_edit;
    mutable QString m_last;  // the text the edit holds
};

TTypedText* typedText(QLineEdit* edit)
{
    if (auto* rules = dynamic_cast<TTypedText*>(const_cast<QValidator*>(edit->validator())))
        return rules;
    auto* rules = new TTypedText(edit);
    edit->setValidator(rules);
    return rules;
}
}  // namespace

void KeepCharactersWhole(QLineEdit* edit)
{
    if (!edit->validator())
        typedText(edit);
}

void TypeCapitals(QLineEdit* edit)
{
    typedText(edit)->Capitals = true;
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    if (event->type() == QEvent::Polish)
        if (auto* edit = qobject_cast<QLineEdit*>(receiver))
            KeepCharactersWhole(edit);
    const int depth = ++g_eventDepth;
    bool handled = false;
    try {
        handled = QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        HandleException(e);
    } catch (...) {
        MessageDlg(QStringLiteral("Unknown error."), mtError, mbOK);
    }
    --g_eventDepth;
    if (!g_rewrites.isEmpty())
        RunGuarded([depth] { rewriteInsertions(depth); });
    return handled;
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
