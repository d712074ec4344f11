#include "BenchSupport.h"
#include "DB.h"
#include "DataMod.h"
#include "IniFiles.h"
#include "PageBenchData.h"
#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstdio>

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
