// Opening, filtering and sorting the audit-trail page over a large table:
// the time until the first rows are there and the memory it takes, next to
// the sqlite3 shell reading the first 100 rows of the same statement.
//   bench_pages [ROWS]   (default 1,000,000; the data file is made once)
#include "Application.h"
#include "DB.h"
#include "DataMod.h"
#include "PageBenchData.h"
#include "PageQueries.h"
#include "SqlDialect.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <cstdio>
#include <sys/resource.h>

namespace {
long peakKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

double sqliteFirstRows(const QString& file, const QString& sql)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {file, sql + QStringLiteral(" LIMIT 100")});
    p.waitForFinished(-1);
    return t.nsecsElapsed() / 1e6;
}

// Opens the page statement and reads its first 100 rows, as the grid does.
double openFirstRows(TQuery& q, const QStringList& sql)
{
    QElapsedTimer t;
    t.start();
    q.Close();
    q.SQL().Assign(sql);
    q.Open();
    q.FetchTo(99);
    return t.nsecsElapsed() / 1e6;
}
}  // namespace

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    const int rows = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 1000000;
    const QString file = QDir::temp().filePath(QStringLiteral("kvsys-bench-audit-%1.db").arg(rows));
    if (!QFile::exists(file)) {
        std::printf("making %d audit rows in %s ...\n", rows, qPrintable(file));
        QString error;
        if (!MakeAuditBenchDatabase(file, QStringLiteral(KV_SOURCE_DIR "/db/schema.sql"), rows, &error)) {
            std::printf("failed: %s\n", qPrintable(error));
            return 1;
        }
    }
    TDatabase db;
    db.DatabaseName = QLatin1String(kDatabaseName);
    db.AliasName = file;
    db.LoginPrompt = false;
    db.SetConnected(true);

    const PageQuery* page = FindPageQuery(1008);
    TQuery q(nullptr, QLatin1String(kDatabaseName));
    q.SetFieldDefs(page->Fields);

    struct Case {
        const char* name;
        QStringList sql;
    };
    QStringList filtered = page->Sql;
    filtered.insert(filtered.size() - 1, QStringLiteral("WHERE TableName LIKE 'TSUPP%'"));
    QStringList sortedByUser = page->Sql;
    sortedByUser.last() = QStringLiteral("ORDER BY  UserID");
    QStringList sortedById = page->Sql;
    sortedById.last() = QStringLiteral("ORDER BY  AuditID DESC");
    QStringList sortedByDescription = page->Sql;
    sortedByDescription.last() = QStringLiteral("ORDER BY  ActionDescription");
    const Case cases[] = {
        {"open page 1008 (ORDER BY A.ActionTime DESC)", page->Sql},
        {"filter TableName LIKE 'TSUPP%'", filtered},
        {"sort by AuditID DESC", sortedById},
        {"sort by UserID", sortedByUser},
        {"sort by ActionDescription (joined column)", sortedByDescription},
    };
    std::printf("%-46s %12s %12s %14s\n", "case", "kvsys ms", "sqlite3 ms", "peak RSS MB");
    for (const Case& c : cases) {
        const double ours = openFirstRows(q, c.sql);
        const double theirs = sqliteFirstRows(file, db.PrepareSql(c.sql.join(QChar('\n'))));
        std::printf("%-46s %12.1f %12.1f %14.1f\n", c.name, ours, theirs, peakKb() / 1024.0);
    }
    std::printf("rows fetched by the page: %d of %d\n", q.FetchedCount(), rows);
    return 0;
}
