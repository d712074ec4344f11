#include "PageRegistry.h"
#include "CommonControlFns.h"
#include "EditDispatch.h"
#include "KVSysMainDelete.h"
#include "PageQueries.h"
#include "TestSupport.h"
#include <QSet>

// A page is described in several tables kept by page id: the registry (names,
// table, tree place, blue rows), its query, its filter columns and what Del
// does to its rows. They are written apart; here they are held against each
// other, so a page added to one and forgotten in another is caught. The
// editors' page table counts too. (What Del does on each page is run in
// tst_deactivationclass.)
namespace {

QSet<QString> fieldNames(const PageQuery& q)
{
    QSet<QString> names;
    for (const TFieldDef& f : q.Fields)
        names << f.Name.toLower();  // fields are found without case
    return names;
}

}  // namespace

class TestPageRegistry : public QObject {
    Q_OBJECT

private slots:
    void sameSetOfPages()
    {
        QList<int> registry, queries;
        for (const PageInfo& p : Pages())
            registry << p.PageID;
        for (const PageQuery& q : PageQueries())
            queries << q.PageID;
        QCOMPARE(registry.size(), 53);
        QCOMPARE(queries, registry);
        QCOMPARE(FilterListPages(), registry);
        QList<int> editing;
        for (const TEditPage& p : EditPages())
            editing << p.PageID;
        QCOMPARE(editing, registry);
        for (int unknown : {0, 1000, 1017, 1020, 1053, 1084})
            QVERIFY(!FindPage(unknown) && !FindPageQuery(unknown) && !FindDeletePage(unknown));
    }

    void eachPage_data()
    {
        QTest::addColumn<int>("id");
        for (const PageInfo& p : Pages())
            QTest::newRow(qPrintable(QString("%1 %2").arg(p.PageID).arg(p.Caption))) << p.PageID;
    }
    void eachPage()
    {
        QFETCH(int, id);
        const PageInfo* info = FindPage(id);
        const PageQuery* query = FindPageQuery(id);
        QVERIFY(info && query);
        QCOMPARE(query->QueryName, QString(info->Query));
        const QSet<QString> fields = fieldNames(*query);

        // Its node stands once in the full tree, under its group.
        int found = 0;
        for (const TreeGroup& g : TreeGroups(true, true))
            for (const QString& node : g.Nodes)
                if (node == QLatin1String(info->Node)) {
                    ++found;
                    QCOMPARE(g.Name, QString(info->Group));
                }
        QCOMPARE(found, 1);
        QCOMPARE(FindPageByNode(info->Node), info);

        // Blue rows need the Active field they are drawn by.
        if (info->InactiveBlue)
            QVERIFY(fields.contains("active"));
    }
};

KV_TEST_MAIN(TestPageRegistry)
#include "tst_pageregistry.moc"
