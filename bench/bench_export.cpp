// Times the CSV export of a million-row page against the sqlite3 shell
// writing the same statement as CSV, in the same run: the audit-trail page
// (page 1008), the service id page (page 1051: nine joins, money, dates and
// flags) and a service-like page of one table with dates, money and flags.
//   bench_export [ROWS [ROUNDS [PAGE]]]   (default 1,000,000 rows, 5 rounds,
//   every page; PAGE: only the pages whose name holds that word, such as
//   1051; the data files are made once and kept in the temporary folder)
// Both sides run in every round, one after the other; the medians are shown.
#include "Application.h"
#include "BenchSupport.h"
#include "DB.h"
#include "DataMod.h"
#include "Dialogs.h"
#include "ExportBenchData.h"
#include "GenFns.h"
#include "Locale.h"
#include "PageQueries.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>

namespace {
TFieldDef field(const QString& name, TFieldType type, int size = 0, bool currency = false)
{
    TFieldDef d;
    d.Name = name;
    d.DataType = type;
    d.Size = size;
    d.Currency = currency;
    return d;
}

qint64 lines(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    qint64 n = 0;
    while (!f.atEnd())
        n += f.read(1 << 20).count('\n');
    return n;
}

struct Case {
    QString name;
    QString file;
    QStringList sql;
    QVector<TFieldDef> fields;
};

void run(const Case& c, int rounds, const QString& shell, const QString& ourFile, const QString& shellFile)
{
    TDatabase db;
    ConnectBenchDatabase(db, c.file);
    TQuery page(nullptr, db.DatabaseName);
    page.SQL().Assign(c.sql);
    page.SetFieldDefs(c.fields);
    page.FirstWindow = 100;
    const QString sql = db.PrepareSql(c.sql.join(QChar('\n')));
    std::vector<double> ours, theirs;
    for (int round = 0; round < rounds; ++round) {
        // The page as the operator has it in front, just opened: its rows
        // are not counted yet.
        page.Close();
        page.Open();
        QElapsedTimer t;
        t.start();
        ExportDataSetToCsv(&page, QStringLiteral("bench"));
        ours.push_back(t.nsecsElapsed() / 1e9);
        QProcess p;
        p.setStandardOutputFile(shellFile);
        t.restart();
        p.start(shell, {QStringLiteral("-csv"), QStringLiteral("-header"), c.file, sql});
        p.waitForFinished(-1);
        theirs.push_back(t.nsecsElapsed() / 1e9);
    }
    const double a = BenchMedian(ours), b = BenchMedian(theirs);
    double rss, peak;
    BenchMemory(rss, peak);
    std::printf("%s\n", qPrintable(c.name));
    std::printf("  ExportDataSetToCsv:  %.3f s  (%lld lines, %lld bytes)\n", a, lines(ourFile),
                QFileInfo(ourFile).size());
    std::printf("  sqlite3 -csv:        %.3f s  (%lld lines, %lld bytes)\n", b, lines(shellFile),
                QFileInfo(shellFile).size());
    std::printf("  ratio:               %.2f   (memory %.1f MB, peak %.1f MB)\n", a / b, rss, peak);
}
}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    SetFormatSettings(TFormatSettings::DayFirstEnglish());
    const int rows = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 1000000;
    const int rounds = qMax(1, argc > 2 ? QString::fromLatin1(argv[2]).toInt() : 5);
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    const QString audit = AuditBenchFile(rows);
    const QString servicePages = ServicePagesBenchFile(rows);
    const QString services = QDir::temp().filePath(QStringLiteral("kvsys-bench-export-%1.db").arg(rows));
    if (!QFile::exists(services)) {
        std::printf("making %d rows in %s ...\n", rows, qPrintable(services));
        QString error;
        if (!MakeExportBenchDatabase(services, rows, &error))
            std::printf("failed: %s\n", qPrintable(error));
    }
    if (shell.isEmpty() || audit.isEmpty() || servicePages.isEmpty() || !QFile::exists(services)) {
        std::printf("needs the data files and the sqlite3 shell\n");
        return 1;
    }
    QTemporaryDir out;
    const QString ourFile = out.filePath(QStringLiteral("export.csv"));
    const QString shellFile = out.filePath(QStringLiteral("sqlite3.csv"));
    SetSaveDialogHook([&](const TSaveDialogRequest&) { return ourFile; });
    SetMessageHandler([](const TMessageBox& b) {
        std::fprintf(stderr, "message: %s\n", qPrintable(b.Text));
        return int(mrOk);
    });

    const PageQuery* auditPage = FindPageQuery(1008);
    const PageQuery* servicePage = FindPageQuery(1051);
    const Case cases[] = {
        {QStringLiteral("page 1008, audit trail (%1 rows, medians of %2 rounds)").arg(rows).arg(rounds), audit,
         auditPage->Sql, auditPage->Fields},
        {QStringLiteral("page 1051, service ids"), servicePages, servicePage->Sql, servicePage->Fields},
        {QStringLiteral("service-like page with dates, money and flags"), services, ExportBenchQuery(),
         {field(QStringLiteral("ID"), ftInteger), field(QStringLiteral("ServiceID"), ftString, 12),
          field(QStringLiteral("Description"), ftString, 40), field(QStringLiteral("CustomerCode"), ftString, 10),
          field(QStringLiteral("StartDate"), ftDateTime), field(QStringLiteral("EndDate"), ftDateTime),
          field(QStringLiteral("MonthlyRental"), ftFloat, 0, true), field(QStringLiteral("Active"), ftBoolean)}},
    };
    const QString only = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    for (const Case& c : cases)
        if (c.name.contains(only))
            run(c, rounds, shell, ourFile, shellFile);
    return 0;
}
