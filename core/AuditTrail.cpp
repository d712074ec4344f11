#include "AuditTrail.h"
#include "DB.h"
#include "DataMod.h"
#include "DateFunctions.h"
#include "SysUtils.h"
#include "GenFns.h"
#include "SqlText.h"

TAuditEventIds ReadAuditEventIds()
{
    TAuditEventIds ids;
    TQuery q(nullptr, QLatin1String(kDatabaseName));
    q.SQL().Add(QStringLiteral("SELECT *"));
    q.SQL().Add(QStringLiteral("FROM tEvent"));
    q.SQL().Add(QStringLiteral("WHERE Description LIKE 'Reference%'"));
    q.Open();
    for (; !q.Eof(); q.Next()) {
        const QString desc = q.FieldByName(QStringLiteral("Description"))->AsString().toUpper();
        const QString id = q.FieldByName(QStringLiteral("id"))->AsString();
        if (desc.contains(QLatin1String("UPDATE")))
            ids.Update = id;
        else if (desc.contains(QLatin1String("DELETE")))
            ids.Delete = id;
        else if (desc.contains(QLatin1String("INSERT")))
            ids.Insert = id;
    }
    q.Close();
    return ids;
}

TAuditTrail::TAuditTrail(const QString& userId, const QString& action, const QString& table)
    : m_user(userId), m_table(table), m_action(action)
{
    m_time = DateTimeToSql(Now());
    BeginAuditTrailAt(userId, action, table, m_time, m_insertLine, m_columns, m_values);
}

void TAuditTrail::AddField(const QString& fieldName, const QString& oldValue, const QString& newValue)
{
    const int rows = m_fields.Count();
    AddAuditField(fieldName, oldValue, newValue, m_fields);
    if (m_fields.Count() > rows)
        m_oldValues.append({fieldName, oldValue});
}

void TAuditTrail::AddStoredField(const QString& fieldName, const QString& storedValue, const QString& newValue)
{
    const int rows = m_fields.Count();
    AddStoredAuditField(fieldName, storedValue, newValue, m_fields);
    if (m_fields.Count() > rows)
        m_oldValues.append({fieldName, storedValue});
}

void TAuditTrail::AddToggleRow(const QString& fieldName, const QString& oldSql, const QString& newSql)
{
    m_toggles.append({fieldName, oldSql, newSql});
}

QVector<QStringList> TAuditTrail::Statements() const
{
    QVector<QStringList> all;
    for (int i = 0; i < m_fields.Count(); ++i)
        all.append({m_insertLine, m_columns, m_values + m_tableId + m_fields[i]});
    for (const QStringList& t : m_toggles)
        all.append({QStringLiteral("INSERT INTO tAuditTrail"),
                    QStringLiteral("(UserID,ActionTime,Action,TableName,FieldName,Oldvalue,NewValue,TableID)"),
                    QStringLiteral("VALUES ('") + SqlStr(m_user) + QStringLiteral("','") + m_time +
                        QStringLiteral("',") + m_action.trimmed() + QStringLiteral(",'") + SqlStr(m_table) +
                        QStringLiteral("','") + SqlStr(t[0]) + QStringLiteral("',") + t[1] + QChar(',') + t[2] +
                        QChar(',') + m_tableId + QChar(')')});
    return all;
}

void TAuditTrail::Write() const
{
    if (IsEmpty())
        return;
    bool numeric = false;
    m_tableId.toLongLong(&numeric);
    if (!numeric)
        throw EDatabaseError(QStringLiteral("The audit rows of %1 name no row (table id '%2')").arg(m_table, m_tableId));
    // The operator cannot remove what the stored value holds: say whose it is.
    if (const TDatabase* db = TDatabase::Find(QLatin1String(kDatabaseName)))
        for (const auto& [field, old] : m_oldValues)
            db->CheckCarriedAsStored(field, old);
    WriteAuditStatements(Statements());
}

void WriteAuditStatements(const QVector<QStringList>& statements)
{
    if (statements.isEmpty())
        return;
    TQuery q(nullptr, QLatin1String(kDatabaseName));
    // All rows of one change or none (inside a caller's transaction, that one).
    TTransaction all(q.Database());
    for (const QStringList& lines : statements) {
        q.SQL().Assign(lines);
        q.ExecSQL();
    }
    all.Commit();
}
