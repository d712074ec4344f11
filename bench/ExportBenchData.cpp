#include "ExportBenchData.h"
#include <QFile>
#include <sqlite3.h>

namespace {
bool exec(sqlite3* db, const char* sql, QString* error)
{
    char* err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) == SQLITE_OK)
        return true;
    if (error)
        *error = QString::fromUtf8(err ? err : "unknown error");
    sqlite3_free(err);
    return false;
}
}  // namespace

bool MakeExportBenchDatabase(const QString& file, int rows, QString* error)
{
    QFile::remove(file);
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(file).constData(), &db) != SQLITE_OK) {
        if (error)
            *error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return false;
    }
    bool ok = exec(db,
                   "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"
                   "CREATE TABLE tBenchService (ID INTEGER PRIMARY KEY, ServiceID TEXT COLLATE NOCASE,"
                   " Description TEXT COLLATE NOCASE, CustomerCode TEXT COLLATE NOCASE, StartDate TEXT,"
                   " EndDate TEXT, MonthlyRental REAL, Active INTEGER);"
                   // The export keeps its folder here, as the program's database does.
                   "CREATE TABLE tParameter (Parm TEXT COLLATE NOCASE PRIMARY KEY, ParmField TEXT COLLATE NOCASE,"
                   " ParmText TEXT COLLATE NOCASE, ParmNumber REAL, ParmDate TEXT, ParmOLE BLOB,"
                   " ParmDescription TEXT COLLATE NOCASE, ParmUserDefined INTEGER);"
                   "BEGIN;",
                   error);
    sqlite3_stmt* st = nullptr;
    ok = ok && sqlite3_prepare_v2(db, "INSERT INTO tBenchService VALUES (?,?,?,?,?,?,?,?)", -1, &st, nullptr) ==
                   SQLITE_OK;
    static const char* const kinds[] = {"Leased line", "ISDN 30", "Mobile", "Freephone", "Centrex \"plus\"",
                                        "Data, managed"};
    for (int i = 1; ok && i <= rows; ++i) {
        const QByteArray service = "02" + QByteArray::number(10000000 + i);
        const QByteArray desc = QByteArray(kinds[i % 6]) + " for site " + QByteArray::number(i % 977);
        const QByteArray customer = "C" + QByteArray::number(1000 + i % 450);
        const QByteArray start = QByteArray::number(2000 + i % 26) + "0" + QByteArray::number(1 + i % 9) + "15";
        sqlite3_bind_int(st, 1, i);
        sqlite3_bind_text(st, 2, service.constData(), int(service.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, desc.constData(), int(desc.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 4, customer.constData(), int(customer.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 5, start.constData(), int(start.size()), SQLITE_TRANSIENT);
        if (i % 5 == 0)
            sqlite3_bind_text(st, 6, "20251231", 8, SQLITE_STATIC);
        else
            sqlite3_bind_null(st, 6);
        sqlite3_bind_double(st, 7, (i % 100000) / 100.0);
        sqlite3_bind_int(st, 8, i % 5 == 0 ? 0 : 1);
        ok = sqlite3_step(st) == SQLITE_DONE;
        sqlite3_reset(st);
        if (!ok && error)
            *error = QString::fromUtf8(sqlite3_errmsg(db));
    }
    sqlite3_finalize(st);
    ok = ok && exec(db, "COMMIT;", error);
    sqlite3_close(db);
    return ok;
}

QStringList ExportBenchQuery()
{
    return {QStringLiteral("SELECT ID, ServiceID, Description, CustomerCode, StartDate, EndDate, MonthlyRental, Active"),
            QStringLiteral("FROM dbo.tBenchService"), QStringLiteral("ORDER BY ID")};
}
