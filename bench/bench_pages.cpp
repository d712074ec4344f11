// Opening, filtering and sorting the audit-trail page over a large table:
// the time until the first rows are there, next to the sqlite3 shell reading
// the first 100 rows of the same statement, and the memory it takes.
//   bench_pages [ROWS [ROUNDS]]   (default 1,000,000 rows, 5 rounds; the data
//   file is made once)
// Both sides run in every round, one after the other; the medians are shown.
#include "Application.h"
#include "BenchSupport.h"
#include "DB.h"
#include "PageQueries.h"
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <cstdio>

namespace {
double sqliteFirstRows(const QString& shell, const QString& file, const QString& sql)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(shell, {file, sql + QStringLiteral(" LIMIT 100")});
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
    const int rounds = qMax(1, argc > 2 ? QString::fromLatin1(argv[2]).toInt() : 5);
    const QString file = AuditBenchFile(rows);
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (file.isEmpty() || shell.isEmpty()) {
        std::printf("needs the data file and the sqlite3 shell\n");
        return 1;
    }
    TDatabase db;
    ConnectBenchDatabase(db, file);

    const PageQuery* page = FindPageQuery(1008);
    TQuery q(nullptr, QStringLiteral("dbKVdata"));
    q.SetFieldDefs(page->Fields);
    q.FirstWindow = 100;  // as the main window opens its pages

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
    std::printf("%-46s %12s %12s %8s\n", "first rows, medians of the rounds", "kvsys ms", "sqlite3 ms", "ratio");
    for (const Case& c : cases) {
        std::vector<double> ours, theirs;
        for (int round = 0; round < rounds; ++round) {
            ours.push_back(openFirstRows(q, c.sql));
            theirs.push_back(sqliteFirstRows(shell, file, db.PrepareSql(c.sql.join(QChar('\n')))));
        }
        const double a = BenchMedian(ours), b = BenchMedian(theirs);
        std::printf("%-46s %12.1f %12.1f %8.2f\n", c.name, a, b, a / b);
    }
    double rss, peak;
    BenchMemory(rss, peak);
    std::printf("rows held by the page: %d of %d; memory %.1f MB, peak %.1f MB\n", q.FetchedCount(), rows, rss, peak);
    return 0;
}
