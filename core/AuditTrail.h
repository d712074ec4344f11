#pragma once
// The audit trail's one writer and the one reader of its action ids.
//
// Every change to an audited table leaves one tAuditTrail row per changed
// field. The record editors and the main window's deletion both write them
// through TAuditTrail, inside the transaction of the change they record, so
// a change and its audit rows stand or fall together.
#include "StringList.h"
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

// The tEvent ids of the three audit actions, as text.
struct TAuditEventIds {
    QString Update;
    QString Delete;
    QString Insert;
};

// Reads the ids of the tEvent rows whose Description begins "Reference": the
// upper-cased Description containing UPDATE, else DELETE, else INSERT decides
// the action; a later row overwrites an earlier one of the same kind.
TAuditEventIds ReadAuditEventIds();

// The rows of one change. The action time is taken once, at construction, so
// every row of one change carries the same time.
//
//   TAuditTrail audit(userName, events.Update, "tCentre");
//   audit.SetTableID(idText);                    // or the id the INSERT gave
//   audit.AddField("DESCRIPTION", kept, now);    // nothing when equal
//   audit.Write();                               // inside the save's transaction
class TAuditTrail {
public:
    TAuditTrail(const QString& userId, const QString& action, const QString& table);

    const QString& Table() const { return m_table; }

    // The changed row's id. Write() refuses rows without one: an audit row
    // that names no row would be worse than useless.
    void SetTableID(const QString& id) { m_tableId = id.trimmed(); }
    void SetTableID(qint64 id) { m_tableId = QString::number(id); }
    const QString& TableID() const { return m_tableId; }

    // One row in the shared layout when NewValue differs from OldValue
    // (exact text comparison); an empty side is written as NULL.
    void AddField(const QString& fieldName, const QString& oldValue, const QString& newValue);
    // The same with the old value as it was stored: a null text is NULL, an
    // empty or blank text is written as it stands.
    void AddStoredField(const QString& fieldName, const QString& storedValue, const QString& newValue);

    // One row in the main window's own deactivation layout: its own column
    // order and letter case, the values standing as the caller gives them in
    // SQL (quoted or bare).
    void AddToggleRow(const QString& fieldName, const QString& oldSql, const QString& newSql);

    bool IsEmpty() const { return m_fields.Count() == 0 && m_toggles.isEmpty(); }
    int Count() const { return m_fields.Count() + int(m_toggles.size()); }

    // The statements Write() runs, each as its text lines.
    QVector<QStringList> Statements() const;

    // Runs every statement in one transaction (the caller's when one is
    // open). Nothing is run when there are no rows. An old value the
    // connection cannot carry as stored is refused before anything is
    // sent, the message naming its field: the trail must keep it whole.
    void Write() const;

private:
    QString m_user;
    QString m_table;
    QString m_action;
    QString m_time;
    QString m_insertLine, m_columns, m_values;
    QString m_tableId;
    TStringList m_fields;
    QVector<QPair<QString, QString>> m_oldValues;  // field, old value: of the rows in m_fields
    QVector<QStringList> m_toggles;  // field, old, new
};

// Runs audit statements (each as its text lines) in one transaction, the
// caller's when one is open. The one place audit rows are executed.
void WriteAuditStatements(const QVector<QStringList>& statements);
