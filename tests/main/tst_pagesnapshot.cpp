#include "MainFixture.h"
#include <QPushButton>

// Another program writes to the database while a long page stands open and
// half read (the operator has scrolled past its first rows): the next page
// opened shows what the other program wrote, and a change made on it is
// saved with its audit row.
class TestPageSnapshot : public QObject {
    Q_OBJECT
    kvtest::MainFixture fx;

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void cleanup() { fx.Stop(); }

    void halfReadPageHoldsNoOtherPageBack()
    {
        fx.Start({"1"});
        fx.db->Exec("WITH RECURSIVE n(i) AS (SELECT 100 UNION ALL SELECT i + 1 FROM n WHERE i < 599) "
                    "INSERT INTO tApplication (ID, Description, Active) SELECT i, 'Application ' || i, 1 FROM n;");
        QVERIFY(fx.Open(1006));
        TQuery* applications = fx.form->CurrentQuery(1006);
        QVERIFY(applications->WindowRows() > 0);
        const int past = applications->WindowRows() + 30;
        QCOMPARE(applications->MoveBy(past), past);
        QVERIFY(!applications->AllFetched());

        fx.db->Exec("INSERT INTO tActivity (ID, Description, StartDate, EndDate, Active) "
                    "VALUES (900, 'Written elsewhere', '20250101', NULL, 1);");
        kvtest::MessageRecorder boxes;
        QVERIFY(fx.Open(1001));
        TQuery* activities = fx.form->CurrentQuery(1001);
        QVERIFY(activities->Locate("id", 900));
        QTest::mouseClick(fx.form->btnDel, Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(fx.db->Value("SELECT Active || '|' || EndDate FROM tActivity WHERE ID = 900"), QString("0|20260305"));
        QCOMPARE(fx.db->Value("SELECT FieldName || '|' || NewValue FROM tAuditTrail WHERE TableID = 900 "
                              "AND TableName = 'tActivity'"),
                 QString("EndDate|20260305"));

        // The half-read page reads on to its last row.
        applications->Last();
        QCOMPARE(QString::number(applications->FetchedCount()),
                 fx.db->Value("SELECT COUNT(*) FROM tApplication WHERE Active = 1"));
    }
};

KV_TEST_MAIN(TestPageSnapshot)
#include "tst_pagesnapshot.moc"
