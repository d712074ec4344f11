#include "SplitBenchData.h"
#include "PageBenchData.h"

bool MakeSplitBenchDatabase(const QString& file, const QString& schemaFile, int customers, QString* error)
{
    // ShipTo: four letters or digits, from i spread over all 36^4 codes
    // (7919 is prime to 36), so no two customers share one and the rows
    // are not stored in ShipTo order.
    const QString fill = QStringLiteral(
        "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"
        "BEGIN;"
        "INSERT INTO tEvent (ID, Description) VALUES (1,'Reference Update'),(2,'Reference Delete'),"
        "(3,'Reference Insert');"
        "INSERT INTO tAudit (\"Table\") VALUES ('tServiceSplit');"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1), "
        "c(i, x) AS (SELECT i, (i * 7919) % 1679616 FROM n) "
        "INSERT INTO tCustomer (ID, ShipTo, FullName, Active) "
        "SELECT i, substr('0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ', x / 46656 % 36 + 1, 1) || "
        "  substr('0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ', x / 1296 % 36 + 1, 1) || "
        "  substr('0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ', x / 36 % 36 + 1, 1) || "
        "  substr('0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ', x % 36 + 1, 1), "
        "  'Customer ' || i, CASE WHEN i % 20 = 0 THEN 0 ELSE 1 END FROM c;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO tServiceID (ID, ServiceID, Description, ServiceTypeID, CustomerCentreID, Active) "
        "SELECT i, '02' || (90000000 + (i * 7919) % 10000000), 'Line ' || i || ' at site ' || (i % 977), "
        "  1 + i % 40, 1 + i % 300, CASE WHEN i % 50 = 0 THEN 0 ELSE 1 END FROM n;"
        "INSERT INTO tServiceSplit (ServiceID, CustomerID, CallPercentage, RentPercentage, OtherPercentage, Active) "
        "SELECT ID, 1 + (ID * 31) % %1, 50, 60, 70, 1 FROM tServiceID WHERE ID % 5 = 0 "
        "UNION ALL SELECT ID, 1 + (ID * 37) % %1, 50, 40, 30, 1 FROM tServiceID WHERE ID % 5 = 0;"
        "COMMIT; ANALYZE;")
                             .arg(customers);
    return MakeSchemaBenchDatabase(file, schemaFile, fill, error);
}

int SplitBenchService()
{
    return 5;
}

QStringList SplitBenchCustomerList()
{
    return {QStringLiteral("SELECT ID, ShipTo"), QStringLiteral("FROM tCustomer"), QStringLiteral("WHERE Active = 1"),
            QStringLiteral("ORDER BY ShipTo")};
}

QStringList SplitBenchServiceList(bool adding)
{
    return {QStringLiteral("SELECT tServiceID.ID, tServiceID.ServiceID, tServiceID.Description"),
            QStringLiteral("FROM tServiceID"),
            QStringLiteral("LEFT JOIN tServiceSplit ON tServiceID.ID = tServiceSplit.ServiceID"),
            adding ? QStringLiteral("WHERE tServiceSplit.CustomerID IS NULL")
                   : QStringLiteral("WHERE tServiceSplit.CustomerID IS NOT NULL"),
            QStringLiteral("AND tServiceID.Active = 1"), QStringLiteral("ORDER BY tServiceID.ServiceID")};
}
