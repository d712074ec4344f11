#include "CommonControlFns.h"
#include "GenFns.h"
#include "MainFixture.h"
#include "PageQueries.h"
#include <QSignalSpy>
#include <QTemporaryDir>

// How the 53 page queries read their rows on the demo data: the same fields
// and texts through the SQLite file and through an ODBC data source on it;
// the same rows in the same order when a page first asks for a window of
// rows, as opened, sorted by each of its grid's columns both ways, and
// filtered; and a CSV export that holds each field's text, byte for byte.
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

// The page's statement as the operator can make it: as opened, sorted by
// each grid column (ascending, then descending), and filtered on its first
// text column with a value every text matches.
QList<QPair<QString, QStringList>> variants(const PageQuery& p)
{
    QList<QPair<QString, QStringList>> out{{QStringLiteral("as opened"), p.Sql}};
    for (const QString& column : p.GridColumns) {
        TStringList sql;
        sql.Assign(p.Sql);
        for (const char* way : {"ascending", "descending"}) {
            ToggleSortOrder(column, sql);
            out.append({QStringLiteral("by %1 %2").arg(column, QLatin1String(way)), sql.Lines()});
        }
    }
    const QStringList captions = GetFilterFields(p.PageID);
    for (int i = 0; i < captions.size(); ++i) {
        QString clause;
        if (FilterClause(p.PageID, i, clause) && clause.endsWith(QLatin1String("LIKE '"))) {
            ActiveBoxes both;
            both.Terminated = true;
            out.append({QStringLiteral("filtered on ") + captions[i],
                        FilterQueryLines(p.Sql, clause, QStringLiteral("%"), both).Lines});
            break;
        }
    }
    return out;
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

    // A window of three rows: the engine's first rows under the row limit
    // are the whole statement's first rows, the rest follow in its order, and
    // the rows read first never need replacing.
    void firstWindowKeepsTheOrder_data() { pageRows(); }
    void firstWindowKeepsTheOrder()
    {
        QFETCH(int, pageId);
        const PageQuery* p = FindPageQuery(pageId);
        for (const auto& variant : variants(*p)) {
            const QString what = QStringLiteral("%1 %2").arg(pageId).arg(variant.first);
            auto whole = page(pageId, "dbKVdata");
            auto windowed = page(pageId, "dbKVdata");
            whole->SQL().Assign(variant.second);
            windowed->SQL().Assign(variant.second);
            windowed->FirstWindow = 3;
            QSignalSpy replaced(windowed.get(), &TDataSet::RowsReplaced);
            whole->Open();
            windowed->Open();
            const QStringList expected = shownRows(*whole);
            QVERIFY2(windowed->WindowRows() == 3, qPrintable(what));
            windowed->FetchTo(2);
            QStringList first;
            for (int row = 0; row < windowed->FetchedCount(); ++row) {
                QStringList cells;
                for (int i = 0; i < windowed->FieldCount(); ++i)
                    cells << windowed->Fields(i)->DisplayTextOf(windowed->RawValue(row, i));
                first << cells.join(QChar('|'));
            }
            QVERIFY2(first == expected.mid(0, 3), qPrintable(what));
            QVERIFY2(shownRows(*windowed) == expected, qPrintable(what));
            QVERIFY2(replaced.isEmpty(), qPrintable(what));
        }
    }

    // The export writes, for the page as the operator has it open, the names
    // and then each row's field texts (AsString) in double quotes, inner
    // quotes doubled, separated by commas, each line ended by CR LF.
    void exportHoldsTheFieldTexts_data() { pageRows(); }
    void exportHoldsTheFieldTexts()
    {
        QFETCH(int, pageId);
        auto q = page(pageId, "dbKVdata");
        q->FirstWindow = 3;
        q->Open();
        QStringList names;
        for (int i = 0; i < q->FieldCount(); ++i)
            names << q->Fields(i)->FieldName();
        QByteArray expected = CsvLine(names) + "\r\n";
        for (q->First(); !q->Eof(); q->Next()) {
            for (int i = 0; i < q->FieldCount(); ++i) {
                if (i)
                    expected += ',';
                expected += '"' + q->Fields(i)->AsString().toUtf8().replace("\"", "\"\"") + '"';
            }
            expected += "\r\n";
        }
        // (The export keeps its folder in tParameter, a page of its own.)
        QTemporaryDir dir;
        const QString file = dir.filePath("page.csv");
        const SaveDialogHook previous = SetSaveDialogHook([&](const TSaveDialogRequest&) { return file; });
        ExportDataSetToCsv(q.get(), "page");
        SetSaveDialogHook(previous);
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), expected);
    }
};

KV_TEST_MAIN(TestPageReading)
#include "tst_pagereading.moc"
