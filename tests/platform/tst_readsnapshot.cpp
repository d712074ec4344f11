#include "TestSupport.h"

// A page that has read only part of its rows keeps what it shows, but it must
// not hold the program's connection at the moment its reading started: rows
// another program writes to the same file show in every statement run after
// them, and a save through the connection goes through.
class TestReadSnapshot : public QObject {
    Q_OBJECT

    static constexpr int kRows = 500;
    static constexpr int kWindow = 100;

    static void seed(kvtest::TestDatabase& file)
    {
        file.Exec(QString("CREATE TABLE tItem (ID INTEGER PRIMARY KEY, Name TEXT);"
                          "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                          "INSERT INTO tItem SELECT i, printf('item %03d', i) FROM n;")
                      .arg(kRows));
    }
    static void openPage(TQuery& page)
    {
        page.SQL().SetText("SELECT ID, Name FROM tItem ORDER BY ID");
        page.FirstWindow = kWindow;
        page.Open();
    }
    static QString names(TQuery& q, const QList<int>& rows)
    {
        QStringList out;
        for (int row : rows)
            out << q.Fields(1)->AsStringOf(q.RawValue(row, 1));
        return out.join(QChar('|'));
    }
    static QString count(const QString& database)
    {
        TQuery q(nullptr, database);
        q.SQL().SetText("SELECT COUNT(*) AS N, MAX(Name) AS Last FROM tItem");
        q.Open();
        return q.Fields(0)->AsString() + QChar('|') + q.Fields(1)->AsString();
    }

private slots:
    // How far the page has read when the other program writes: only opened,
    // its first window whole (the rows a grid shows first), or on past it.
    // Read on to its end, it shows the rows as they were when it went past
    // its first window: before the writes, or after them (its first rows
    // then give way to the newer ones).
    void halfReadPageLetsTheConnectionMoveOn_data()
    {
        QTest::addColumn<bool>("odbc");
        QTest::addColumn<int>("readTo");
        QTest::addColumn<bool>("readsOnBeforeTheWrites");
        for (bool odbc : {false, true}) {
            const char* route = odbc ? "through ODBC" : "SQLite file";
            QTest::addRow("%s, just opened", route) << odbc << 0 << false;
            QTest::addRow("%s, first window read", route) << odbc << kWindow - 1 << false;
            QTest::addRow("%s, past the first window", route) << odbc << kWindow + 49 << true;
        }
    }
    void halfReadPageLetsTheConnectionMoveOn()
    {
        QFETCH(bool, odbc);
        QFETCH(int, readTo);
        QFETCH(bool, readsOnBeforeTheWrites);
        kvtest::TestDatabase file(false, "dbFile");
        seed(file);
        std::unique_ptr<kvtest::OdbcDataSource> dsn;
        std::unique_ptr<TDatabase> viaOdbc;
        if (odbc) {
            dsn = std::make_unique<kvtest::OdbcDataSource>("kvsnapshot", file.File());
            if (!dsn->Available())
                QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
            viaOdbc = dsn->Connect("dbOdbc");
        }
        const QString database = odbc ? "dbOdbc" : "dbFile";
        TDatabase* db = odbc ? viaOdbc.get() : file.Db();

        TQuery page(nullptr, database);
        openPage(page);
        page.FetchTo(readTo);
        QVERIFY(!page.AllFetched());
        QCOMPARE(count(database), QString("500|item 500"));

        // Another program adds a row and changes one.
        file.Exec("INSERT INTO tItem VALUES (501, 'item 501 elsewhere');"
                  "UPDATE tItem SET Name = 'changed' WHERE ID = 3;");
        QCOMPARE(count(database), QString("501|item 501 elsewhere"));

        // A save through the program's connection.
        {
            TTransaction tx(db);
            TQuery w(nullptr, database);
            w.SQL().SetText("UPDATE tItem SET Name = 'saved here' WHERE ID = 2");
            w.ExecSQL();
            QCOMPARE(w.RowsAffected(), 1);
            w.SQL().SetText("INSERT INTO tItem (Name) VALUES ('item 502 here')");
            QCOMPARE(w.ExecInsert(), 502);
            tx.Commit();
        }
        QCOMPARE(file.Value("SELECT group_concat(Name, '|') FROM tItem WHERE ID IN (2, 3, 501, 502)"),
                 QString("saved here|changed|item 501 elsewhere|item 502 here"));

        // The page reads on to its end, each row once, in its order.
        page.Last();
        if (readsOnBeforeTheWrites) {
            QCOMPARE(page.FetchedCount(), kRows);
            QCOMPARE(names(page, {0, 1, 2, kWindow, kRows - 1}),
                     QString("item 001|item 002|item 003|item 101|item 500"));
        } else {
            QCOMPARE(page.FetchedCount(), kRows + 2);
            QCOMPARE(names(page, {0, 1, 2, kWindow, kRows + 1}),
                     QString("item 001|saved here|changed|item 101|item 502 here"));
        }
        // Read again, it has everything.
        page.Close();
        page.Open();
        page.Last();
        QCOMPARE(page.FetchedCount(), kRows + 2);
        QCOMPARE(names(page, {1, 2, kRows, kRows + 1}), QString("saved here|changed|item 501 elsewhere|item 502 here"));
        // Read to the end, nothing holds the journal: it is copied into the
        // file and emptied.
        QCOMPARE(file.Value("PRAGMA wal_checkpoint(TRUNCATE)"), QString("0|0|0"));
    }

    // A forward-only reader (an export) half way through: the same, and it
    // goes on with the rows as they were when it started.
    void readerHalfWayLetsTheConnectionMoveOn()
    {
        kvtest::TestDatabase file(false, "dbFile");
        seed(file);
        TQuery reader(nullptr, "dbFile");
        reader.SQL().SetText("SELECT ID, Name FROM tItem ORDER BY ID");
        reader.UniDirectional = true;
        reader.Open();
        QCOMPARE(reader.MoveBy(kWindow), kWindow);
        file.Exec("INSERT INTO tItem VALUES (501, 'item 501 elsewhere');");
        QCOMPARE(count("dbFile"), QString("501|item 501 elsewhere"));
        {
            TTransaction tx(file.Db());
            TQuery w(nullptr, "dbFile");
            w.SQL().SetText("UPDATE tItem SET Name = 'saved here' WHERE ID = 400");
            w.ExecSQL();
            tx.Commit();
        }
        QStringList seen;
        for (; !reader.Eof(); reader.Next())
            if (reader.Fields(0)->AsInteger() % 100 == 0)
                seen << reader.Fields(1)->AsString();
        QCOMPARE(seen.join(QChar('|')), QString("item 200|item 300|item 400|item 500"));
    }

    // Inside a transaction a page reads the transaction's own writes, also
    // past its first window.
    void transactionReadsItsOwnWrites()
    {
        kvtest::TestDatabase file(false, "dbFile");
        seed(file);
        TTransaction tx(file.Db());
        TQuery w(nullptr, "dbFile");
        w.SQL().SetText("UPDATE tItem SET Name = 'not yet committed' WHERE ID IN (2, 300)");
        w.ExecSQL();
        TQuery page(nullptr, "dbFile");
        openPage(page);
        page.Last();
        QCOMPARE(names(page, {1, 299}), QString("not yet committed|not yet committed"));
    }
};

KV_TEST_MAIN(TestReadSnapshot)
#include "tst_readsnapshot.moc"
