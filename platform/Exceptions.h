#pragma once
// The exception family of the program. Every error the program raises on its
// own derives from Exception, so the application's last-resort handler can
// show its text and carry on.
#include <QString>
#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8().toStdString()) {}
    const QString& Message() const { return m_message; }
    const char* what() const noexcept override { return m_utf8.c_str(); }

private:
    QString m_message;
    std::string m_utf8;
};

#define KV_DECLARE_EXCEPTION(Name, Base) \
    class Name : public Base { public: using Base::Base; };

KV_DECLARE_EXCEPTION(EDatabaseError, Exception)
// A text that a statement would send and its data source cannot carry as
// typed; nothing was sent.
KV_DECLARE_EXCEPTION(EUncarriedText, EDatabaseError)
KV_DECLARE_EXCEPTION(EConvertError, Exception)
KV_DECLARE_EXCEPTION(ERangeError, Exception)
KV_DECLARE_EXCEPTION(EInvalidOperation, Exception)
KV_DECLARE_EXCEPTION(EPrinter, Exception)
KV_DECLARE_EXCEPTION(EInOutError, Exception)
KV_DECLARE_EXCEPTION(EResNotFound, Exception)

// Silent exception (raised by Abort): unwinds to whoever catches it, and the
// last-resort display shows no message for it.
class EAbort : public Exception {
public:
    EAbort() : Exception(QStringLiteral("Operation aborted")) {}
};
[[noreturn]] inline void Abort() { throw EAbort(); }
