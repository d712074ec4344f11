#include "DBModel.h"
#include "TestSupport.h"
#include <QAbstractItemModelTester>
#include <QSignalSpy>

// The grids' model over a data set: lazy rows, and a model Qt's views can
// trust through opening, fetching, moving and closing.
class TestDBModel : public QObject {
    Q_OBJECT

    static void seed(kvtest::TestDatabase& db, int rows)
    {
        db.Exec(QString("CREATE TABLE tItem (ID INTEGER PRIMARY KEY, Name TEXT, Grp INTEGER);"
                        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                        "INSERT INTO tItem SELECT i, 'item ' || i, i % 3 FROM n;")
                    .arg(rows));
    }
    static QStringList ids(TDataSet& q)
    {
        QStringList out;
        for (int row = 0; q.FetchTo(row); ++row)
            out << q.RawValue(row, 0).toString();
        return out;
    }

private slots:
    void modelStaysConsistent()
    {
        kvtest::TestDatabase db(false);
        db.Exec("CREATE TABLE tItem (ID INTEGER PRIMARY KEY, Name TEXT, Amount REAL, Active INTEGER);"
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
                "INSERT INTO tItem SELECT i, 'item ' || i, i * 0.5, i % 2 FROM n;");
        TQuery q(nullptr, "dbKVdata");
        q.SQL().SetText("SELECT * FROM tItem ORDER BY ID");
        TDataSource ds(nullptr, &q);
        TDataSetModel model(&ds);
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.columnCount(), 0);
        q.Open();
        QCOMPARE(model.columnCount(), 4);
        QVERIFY(model.rowCount() >= 1);
        QVERIFY(model.canFetchMore(QModelIndex()));
        model.fetchMore(QModelIndex());
        QVERIFY(model.rowCount() > 1);
        QVERIFY(q.FetchedCount() < 1000);  // batches, not everything
        q.MoveBy(600);  // the data set reads ahead; the model hears of it
        QCOMPARE(model.rowCount(), q.FetchedCount());
        QCOMPARE(model.data(model.index(600, 1)).toString(), QString("item 601"));
        QCOMPARE(model.data(model.index(0, 2), Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));

        // Qt's checker follows every change from here on (it fetches on every
        // insertion, so the rest of the rows arrive through it).
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.SetColumns({{"Name", "Item"}, {"ID", ""}});
        QCOMPARE(model.columnCount(), 2);
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QString("Item"));
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("ID"));
        while (model.canFetchMore(QModelIndex()))
            model.fetchMore(QModelIndex());
        QCOMPARE(model.rowCount(), 1000);
        q.Close();
        QCOMPARE(model.rowCount(), 0);
        q.Open();
        QVERIFY(model.rowCount() > 0);
    }

    // A data set with a first window: the engine is asked for that many rows,
    // the model's first fetch stops there, and reading on takes the rest from
    // the whole statement in its order.
    void firstWindowThenTheWholeStatement()
    {
        kvtest::TestDatabase db(false);
        seed(db, 600);
        const QString sql = "SELECT ID, Name FROM tItem ORDER BY Grp DESC, Name";
        TQuery whole(nullptr, "dbKVdata");
        whole.SQL().SetText(sql);
        whole.Open();
        const QStringList expected = ids(whole);

        TQuery q(nullptr, "dbKVdata");
        q.SQL().SetText(sql);
        q.FirstWindow = 10;
        TDataSource ds(nullptr, &q);
        TDataSetModel model(&ds);
        QSignalSpy replaced(&q, &TDataSet::RowsReplaced);
        q.Open();
        QCOMPARE(q.WindowRows(), 10);
        QCOMPARE(model.rowCount(), 10);  // the window, read whole on opening
        QVERIFY(model.canFetchMore(QModelIndex()));
        QCOMPARE(q.RecordCount(), 600);  // the whole statement's, counted by the engine
        model.fetchMore(QModelIndex());
        QCOMPARE(q.WindowRows(), 0);
        QCOMPARE(model.rowCount(), 10 + TDataSetModel::kFetchBatch);
        q.Last();
        QCOMPARE(q.RecNo(), 600);
        QCOMPARE(model.rowCount(), 600);
        QCOMPARE(ids(q), expected);
        QCOMPARE(replaced.count(), 0);

        // Fewer rows than the window: all of them at once.
        q.Close();
        q.FirstWindow = 1000;
        q.Open();
        QVERIFY(!q.FetchTo(600));
        QVERIFY(q.AllFetched());
        QCOMPARE(ids(q), expected);
    }

    // Rows changed between the window and the rest: the whole statement's
    // rows take the place of the window's, and the model starts again.
    void windowReadAgainWhenTheRowsChanged()
    {
        kvtest::TestDatabase db(false);
        seed(db, 40);
        TQuery q(nullptr, "dbKVdata");
        q.SQL().SetText("SELECT ID, Name FROM tItem ORDER BY ID");
        q.FirstWindow = 5;
        TDataSource ds(nullptr, &q);
        TDataSetModel model(&ds);
        QSignalSpy replaced(&q, &TDataSet::RowsReplaced);
        q.Open();
        QCOMPARE(model.rowCount(), 5);
        q.Last();
        QCOMPARE(replaced.count(), 0);

        q.Close();
        q.Open();
        QCOMPARE(model.data(model.index(0, 0)).toString(), QString("1"));
        db.Exec("DELETE FROM tItem WHERE ID <= 2 OR ID > 30;");  // another program
        // Qt's checker reads on as a view would, and follows the new start.
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        q.Last();
        QCOMPARE(replaced.count(), 1);
        QCOMPARE(q.RecNo(), 28);
        QCOMPARE(model.rowCount(), 28);
        QCOMPARE(model.data(model.index(0, 0)).toString(), QString("3"));
        QCOMPARE(q.FieldByName("ID")->AsInteger(), 30);
    }

    // A read that fails part way is reported to whoever shows the model;
    // the model itself shows nothing and keeps the rows it has.
    void failedFetchIsReported()
    {
        kvtest::TestDatabase db(false);
        db.Exec("CREATE TABLE tItem (ID INTEGER PRIMARY KEY);"
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                "INSERT INTO tItem SELECT i FROM n;");
        TQuery q(nullptr, "dbKVdata");
        // Past row 1000 the value overflows and the engine stops with an error.
        q.SQL().SetText("SELECT ID, CASE WHEN ID > 1000 THEN abs(-9223372036854775807 - 1) ELSE ID END AS V "
                        "FROM tItem ORDER BY ID");
        TDataSource ds(nullptr, &q);
        TDataSetModel model(&ds);
        QSignalSpy failed(&model, &TDataSetModel::FetchFailed);
        kvtest::MessageRecorder boxes;
        q.Open();
        while (model.canFetchMore(QModelIndex()))
            model.fetchMore(QModelIndex());
        QCOMPARE(failed.count(), 1);
        QVERIFY(failed.first().first().toString().contains("overflow", Qt::CaseInsensitive));
        QCOMPARE(boxes.Count(), 0);
        QVERIFY(model.rowCount() >= 1000);
        QVERIFY(model.rowCount() < 2000);
    }
};

KV_TEST_MAIN(TestDBModel)
#include "tst_dbmodel.moc"
