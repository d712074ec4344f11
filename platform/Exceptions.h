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
// typed; nothing was sent. Or, AuditOld(), a stored value that the audit
// trail would have to keep as the old value. A window that knows which of
// its inputs holds the text names it (Refusal); the message as raised says
// "The text holds ..." (or names the audited field).
class EUncarriedText : public EDatabaseError {
public:
    // `named`: the character as a message names it ("the character 🐧
    // (U+1F427), which the data source ... cannot take as typed, nor any
    // other emoji or rare symbol"); `character`: the character itself;
    // `text`: the text that holds it, as it was given (in a statement, its
    // quoted text with the doubled quotes single); `field`: for an audited
    // old value, the field it is kept under.
    EUncarriedText(const QString& named, const QString& character, const QString& text,
                   const QString& field = QString())
        : EDatabaseError(refusal(field.isNull() ? QStringLiteral("The text") : field, named, false, !field.isNull())),
          m_named(named), m_character(character), m_text(text), m_auditOld(!field.isNull())
    {
    }
    const QString& Character() const { return m_character; }
    const QString& Text() const { return m_text; }
    bool AuditOld() const { return m_auditOld; }
    // The refusal naming the input that holds the text: "<input> holds ...
    // Remove it and try again."; for a stored text the operator left alone
    // (`stored`) "The stored value of <input> holds ... It is written back as
    // it was, ..."; for an audited old value "The stored value of <input>
    // holds ... The audit trail must keep that value as it was, ...".
    QString Refusal(const QString& input, bool stored) const { return refusal(input, m_named, stored, m_auditOld); }

private:
    static QString refusal(const QString& input, const QString& named, bool stored, bool auditOld)
    {
        if (!stored && !auditOld)
            return input + QStringLiteral(" holds ") + named + QStringLiteral(". Remove it and try again.");
        return QStringLiteral("The stored value of ") + input + QStringLiteral(" holds ") + named +
               (auditOld ? QStringLiteral(". The audit trail must keep that value as it was")
                         : QStringLiteral(". It is written back as it was")) +
               QStringLiteral(", so this change cannot be saved here: save it through a data source that carries "
                              "the character.");
    }

    QString m_named;
    QString m_character;
    QString m_text;
    bool m_auditOld;
};

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
