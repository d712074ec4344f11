#include "BenchSupport.h"
#include "DB.h"
#include "DataMod.h"
#include "IniFiles.h"
#include "PageBenchData.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>

void BenchMemory(double& rss, double& peak)
{
    rss = peak = 0;
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() >= 2 && parts[0] == "VmRSS:")
            rss = parts[1].toDouble() / 1024.0;
        if (parts.size() >= 2 && parts[0] == "VmHWM:")
            peak = parts[1].toDouble() / 1024.0;
    }
}

double BenchMedian(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

double EngineStepSeconds(const QString& file, const QByteArray& sql, qint64& rows, qint64 untilId)
{
    QElapsedTimer t;
    t.start();
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr);
    const int columns = sqlite3_column_count(stmt);
    rows = 0;
    qint64 bytes = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_INTEGER: bytes += sqlite3_column_int64(stmt, c) & 1; break;
            case SQLITE_FLOAT: bytes += sqlite3_column_double(stmt, c) > 0; break;
            case SQLITE_NULL: break;
            default:
                sqlite3_column_text(stmt, c);
                bytes += sqlite3_column_bytes(stmt, c);
                break;
            }
        }
        ++rows;
        if (untilId >= 0 && sqlite3_column_int64(stmt, 0) == untilId)
            break;
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    const double s = t.nsecsElapsed() / 1e9;
    return bytes >= 0 ? s : -s;  // the bytes read, so that nothing is left out
}

QString AuditBenchFile(int rows)
{
    const QString file = QDir::temp().filePath(QStringLiteral("kvsys-bench-audit-%1.db").arg(rows));
    if (QFile::exists(file))
        return file;
    std::printf("making %d audit rows in %s ...\n", rows, qPrintable(file));
    QString error;
    if (!MakeAuditBenchDatabase(file, QStringLiteral(KV_SOURCE_DIR "/db/schema.sql"), rows, &error)) {
        std::printf("failed: %s\n", qPrintable(error));
        return QString();
    }
    return file;
}

QString ServicePagesBenchFile(int rows)
{
    const QString file = QDir::temp().filePath(QStringLiteral("kvsys-bench-reload-%1.db").arg(rows));
    if (QFile::exists(file))
        return file;
    std::printf("making %d services and %d customers in %s ...\n", rows, rows, qPrintable(file));
    std::fflush(stdout);
    QString error;
    if (!MakeReloadBenchDatabase(file, QStringLiteral(KV_SOURCE_DIR "/db/schema.sql"),
                                 QStringLiteral(KV_SOURCE_DIR "/db/demo.sql"), rows, &error)) {
        std::printf("failed: %s\n", qPrintable(error));
        QFile::remove(file);
        return QString();
    }
    return file;
}

void ConnectBenchDatabase(TDatabase& db, const QString& file)
{
    db.DatabaseName = QStringLiteral("dbKVdata");
    db.AliasName = file;
    db.LoginPrompt = false;
    db.SetConnected(true);
}

void UseBenchSettings(const QString& folder, const QString& dbFile)
{
    qputenv("XDG_CONFIG_HOME", folder.toLocal8Bit());
    TIniFile ini(SettingsFileName());
    auto write = [&](const char* section, const char* key, const QString& value) {
        ini.WriteString(QLatin1String(section), QLatin1String(key), value);
    };
    write("DBconnection", "KVDSN", dbFile);
    write("DBconnection", "ur", TDM::EncodeString(QStringLiteral("sa")));
    write("DBconnection", "pd", TDM::EncodeString(QStringLiteral("demo")));
    write("MainCfg", "id1", TDM::EncodeString(dbFile));
    write("MainCfg", "id2", TDM::EncodeString(QStringLiteral("sa")));
    write("MainCfg", "id3", TDM::EncodeString(QStringLiteral("demo")));
    write("General", "GetLog", QStringLiteral("1"));
}
