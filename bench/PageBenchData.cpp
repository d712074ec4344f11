#include "PageBenchData.h"
#include <QFile>
#include <sqlite3.h>

namespace {
bool readScript(const QString& name, QByteArray& out, QString* error)
{
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read %1").arg(name);
        return false;
    }
    out += f.readAll();
    out += '\n';
    return true;
}

// Makes the file from the script; false with the engine's message.
bool runScript(const QString& file, const QByteArray& script, QString* error)
{
    QFile::remove(file);
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(file).constData(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    char* err = nullptr;
    const int rc = sqlite3_exec(db, script.constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK && error)
        *error = QString::fromUtf8(err);
    sqlite3_free(err);
    sqlite3_close(db);
    return rc == SQLITE_OK;
}
}  // namespace

bool MakeSchemaBenchDatabase(const QString& file, const QString& schemaFile, const QString& fill, QString* error)
{
    QByteArray script;
    return readScript(schemaFile, script, error) && runScript(file, script + fill.toUtf8(), error);
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

bool MakeReloadBenchDatabase(const QString& file, const QString& schemaFile, const QString& demoFile, int rows,
                             QString* error)
{
    QByteArray script;
    if (!readScript(schemaFile, script, error) || !readScript(demoFile, script, error))
        return false;
    // Every new row copies a demo row: services the active ones numbered
    // "02..." (each new one a number of its own, in the order made),
    // customers the active ones (ShipTo codes of four characters, as the
    // editor keeps them, shared by a few rows each).
    const QString fill = QStringLiteral(
        "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"
        "BEGIN;"
        "CREATE TEMP TABLE s AS SELECT row_number() OVER (ORDER BY ID) - 1 AS k, * FROM tServiceID"
        "  WHERE Active = 1 AND ServiceID LIKE '02%';"
        "CREATE TEMP TABLE c AS SELECT row_number() OVER (ORDER BY ID) - 1 AS k, * FROM tCustomer WHERE Active = 1;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO tServiceID (ServiceID, Service, ServiceTypeID, SupplierAccountID, CustomerCentreID,"
        "  CustomerActivityID, CustomerElementID, CustomerSubLedgerID, PayType, CentreID, ActivityID, ElementID,"
        "  SubledgerID, LocationID, PersonID, ApplicationID, CurrentRent, CurrentCalls, PreviousRent, PreviousCalls,"
        "  InstallationDate, TerminationDate, UpEnd, UpMDF, DownEnd, DownMDF, Length, Active, DateEntered,"
        "  DateLastChanged, LastUpdatedBy, SACCnumber, Description, JobNo, ServiceKpiID, No, Part, BearerID, SpeedID,"
        "  Drawing, ModemTypeID, Cost, Cost100, Make, Ch, Mux, LineID, StartTerminalID, Invoiced, TelcoID,"
        "  AuthorityID, VirtualCableID, ServiceMnemonicID, ServiceCode) "
        "SELECT '021' || printf('%08d', i), Service, ServiceTypeID, SupplierAccountID, CustomerCentreID,"
        "  CustomerActivityID, CustomerElementID, CustomerSubLedgerID, PayType, CentreID, ActivityID, ElementID,"
        "  SubledgerID, LocationID, PersonID, ApplicationID, CurrentRent + i % 100, CurrentCalls, PreviousRent,"
        "  PreviousCalls, InstallationDate, NULL, UpEnd, UpMDF, DownEnd, DownMDF, Length, 1, DateEntered,"
        "  DateLastChanged, LastUpdatedBy, SACCnumber, Description, JobNo, ServiceKpiID, No, Part, BearerID, SpeedID,"
        "  Drawing, ModemTypeID, Cost, Cost100, Make, Ch, Mux, LineID, StartTerminalID, Invoiced, TelcoID,"
        "  AuthorityID, VirtualCableID, ServiceMnemonicID, ServiceCode "
        "FROM n JOIN s ON s.k = i % (SELECT COUNT(*) FROM s);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO tCustomer (ShipTo, FullName, VNumber, Address01, Address02, Address03, Address04, Address05,"
        "  Address06, Status, Rate, Invoice, InvoiceServices, PlatinumUpdate, Active, StartDate, EndDate,"
        "  LastUpdatedBy, MaxExServiceAmount) "
        "SELECT printf('%04X', i % 65536), FullName || ' ' || i, VNumber, Address01, Address02, Address03, Address04,"
        "  Address05, Address06, Status, Rate, Invoice, InvoiceServices, PlatinumUpdate, 1, StartDate, NULL,"
        "  LastUpdatedBy, MaxExServiceAmount + i % 1000 "
        "FROM n JOIN c ON c.k = i % (SELECT COUNT(*) FROM c);"
        "DROP TABLE s; DROP TABLE c;"
        "COMMIT; ANALYZE;")
                             .arg(rows);
    return runScript(file, script + fill.toUtf8(), error);
}
