// Times the dialect translation on hostile and large statements, each at two
// sizes: the time per character should stay flat as the input doubles.
#include "Exceptions.h"
#include "SqlDialect.h"
#include <QElapsedTimer>
#include <QString>
#include <cstdio>
#include <functional>

namespace {
struct Case {
    const char* name;
    std::function<QString(int)> make;  // a statement of about n parts
    int n;
};

QString joins(int n)
{
    QString sql = "SELECT * FROM tUser U0";
    for (int i = 1; i <= n; ++i)
        sql += QString(" LEFT JOIN tUser U%1 ON U%1.ID = U%2.ID").arg(i).arg(i - 1);
    return sql;
}
QString nestedJoinGroups(int n)
{
    // Joins inside each other 100 deep, repeated as derived tables.
    QString one = "SELECT * FROM a0";
    for (int i = 1; i <= 100; ++i)
        one += QString(" JOIN a%1").arg(i);
    for (int i = 100; i >= 1; --i)
        one += QString(" ON c%1").arg(i);
    QString sql = "SELECT 1 FROM x";
    for (int i = 0; i < n / 100; ++i)
        sql += QString(" UNION SELECT 1 FROM (%1) AS d%2").arg(one).arg(i);
    return sql;
}
QString nestedRight(int n)
{
    // RIGHT 150 deep inside its length, repeated.
    QString one = "1";
    for (int i = 0; i < 150; ++i)
        one = QString("RIGHT(Name, %1)").arg(one);
    QString sql = "SELECT 1";
    for (int i = 0; i < n / 150; ++i)
        sql += ", " + one;
    return sql;
}
QString stringChains(int n)
{
    QString sql = "SELECT 'a'";
    for (int i = 0; i < n; ++i)
        sql += QString(" + ISNULL(c%1, '') + CASE WHEN x = %1 THEN 'y' ELSE LEFT(z, 2) END").arg(i);
    return sql;
}
QString deepParentheses(int n)
{
    QString sql = "SELECT 1";
    for (int i = 0; i < n / 190; ++i)
        sql += ", " + QString(190, '(') + "LEN('x') + 'y'" + QString(190, ')');
    return sql;
}
QString literals(int n)
{
    QString sql = "SELECT ''";
    for (int i = 0; i < n; ++i)
        sql += "N''N'it''s'";
    return sql;
}
}  // namespace

int main()
{
    const Case cases[] = {
        {"20,000 joins in a chain", joins, 20000},
        {"joins 100 deep, repeated", nestedJoinGroups, 20000},
        {"RIGHT 150 deep, repeated", nestedRight, 20000},
        {"string chains with CASE", stringChains, 20000},
        {"parentheses 190 deep, repeated", deepParentheses, 20000},
        {"adjacent N literals", literals, 20000},
    };
    std::printf("%-34s %10s %10s %10s %12s %8s\n", "statement", "chars", "ms", "2x chars", "2x ms", "ratio");
    for (const Case& c : cases) {
        double ms[2];
        qsizetype chars[2];
        for (int k = 0; k < 2; ++k) {
            const QString sql = c.make(c.n << k);
            chars[k] = sql.size();
            QElapsedTimer t;
            t.start();
            qsizetype out = 0;
            try {
                out = SqlDialect::ToSqlite(sql).size();
            } catch (const Exception& e) {
                std::printf("%s: %s\n", c.name, e.what());
            }
            ms[k] = t.nsecsElapsed() / 1e6;
            if (out > 8 * chars[k])
                std::printf("%s: output %lld characters for %lld\n", c.name, (long long)out, (long long)chars[k]);
        }
        std::printf("%-34s %10lld %10.1f %10lld %12.1f %8.2f\n", c.name, (long long)chars[0], ms[0],
                    (long long)chars[1], ms[1], ms[1] / ms[0]);
    }
    return 0;
}
