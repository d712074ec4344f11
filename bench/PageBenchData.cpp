#include "PageBenchData.h"
#include <QFile>
#include <sqlite3.h>

bool MakeSchemaBenchDatabase(const QString& file, const QString& schemaFile, const QString& fill, QString* error)
{
    QFile::remove(file);
    QFile schema(schemaFile);
    if (!schema.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read %1").arg(schemaFile);
        return false;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(file).constData(), &db) != SQLITE_OK)
        return false;
    char* err = nullptr;
    const QByteArray script = schema.readAll() + fill.toUtf8();
    const int rc = sqlite3_exec(db, script.constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK && error)
        *error = QString::fromUtf8(err);
    sqlite3_free(err);
    sqlite3_close(db);
    return rc == SQLITE_OK;
}

bool MakeAuditBenchDatabase(const QString& file, const QString& schemaFile, int rows, QString* error)
{
    const QString fill = QStringLiteral(
        "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"
        "BEGIN;"
        "INSERT INTO tEvent (ID, Description) VALUES (1,'Reference Update'),(2,'Reference Delete'),"
        "(3,'Reference Insert'),(4,'Batch Import');"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO tAuditTrail (UserID, ActionTime, Action, TableName, TableID, FieldName, OldValue, NewValue) "
        "SELECT 'user' || (i % 37), "
        "  strftime('%Y%m%d %H:%M:%S', '2021-01-01', '+' || (i * 97 % 157680000) || ' seconds'), "
        "  1 + i % 4, "
        "  CASE i % 5 WHEN 0 THEN 'tCustomer' WHEN 1 THEN 'tSupplier' WHEN 2 THEN 'tServiceID' "
        "             WHEN 3 THEN 'tRate' ELSE 'tAgreement' END, "
        "  i % 5000, "
        "  CASE i % 3 WHEN 0 THEN 'DESCRIPTION' WHEN 1 THEN 'ENDDATE' ELSE 'ACTIVE' END, "
        "  'old value ' || (i % 1000), 'new value ' || (i % 997) "
        "FROM n;"
        "COMMIT; ANALYZE;")
                             .arg(rows);
    return MakeSchemaBenchDatabase(file, schemaFile, fill, error);
}
