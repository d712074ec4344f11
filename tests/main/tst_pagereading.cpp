#include "MainFixture.h"
#include "PageQueries.h"

// How the 53 page queries read their rows on the demo data: the same fields
// and texts through the SQLite file and through an ODBC data source on it.
namespace {

// Every row as the grid shows it: the display texts of all fields.
QStringList shownRows(TQuery& q)
{
    QStringList rows;
    for (q.First(); !q.Eof(); q.Next()) {
        QStringList cells;
        for (int i = 0; i < q.FieldCount(); ++i)
            cells << q.Fields(i)->DisplayText();
        rows << cells.join(QChar('|'));
    }
    return rows;
}

void pageRows()
{
    QTest::addColumn<int>("pageId");
    for (const PageQuery& p : PageQueries())
        QTest::addRow("%d %s", p.PageID, qPrintable(p.QueryName)) << p.PageID;
}

}  // namespace

class TestPageReading : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;
    std::unique_ptr<kvtest::OdbcDataSource> dsn;
    std::unique_ptr<TDatabase> odbc;

    std::unique_ptr<TQuery> page(int pageId, const QString& database)
    {
        const PageQuery* p = FindPageQuery(pageId);
        auto q = std::make_unique<TQuery>(nullptr, database);
        q->setObjectName(p->QueryName);
        q->SQL().Assign(p->Sql);
        q->SetFieldDefs(p->Fields);
        return q;
    }

private slots:
    void initTestCase()
    {
        db = std::make_unique<kvtest::TestDatabase>(true, "dbKVdata");
        db->Exec(kvtest::DemoSql());
        dsn = std::make_unique<kvtest::OdbcDataSource>("kvpages", db->File());
        if (dsn->Available())
            odbc = dsn->Connect("dbOdbcPages");
    }
    void cleanupTestCase()
    {
        odbc.reset();
        db.reset();
    }

    void sameThroughOdbc_data() { pageRows(); }
    void sameThroughOdbc()
    {
        QFETCH(int, pageId);
        if (!odbc)
            QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
        auto direct = page(pageId, "dbKVdata");
        auto viaOdbc = page(pageId, "dbOdbcPages");
        direct->Open();
        viaOdbc->Open();
        QCOMPARE(viaOdbc->FieldCount(), direct->FieldCount());
        const QStringList rows = shownRows(*direct);
        QVERIFY2(!rows.isEmpty(), "the demo data has rows on every page");
        QCOMPARE(shownRows(*viaOdbc), rows);
    }
};

KV_TEST_MAIN(TestPageReading)
#include "tst_pagereading.moc"
