#include "PageQueries.h"
#include "CommonControlFns.h"
#include "EditDispatch.h"
#include "KVSysMainDelete.h"
#include "PageRegistry.h"
#include "DataMod.h"
#include "TestSupport.h"
#include <QSet>

// The page queries are a long transcription: these checks catch a dropped
// line, a field out of order, a grid column that is no field, and above all
// a statement that does not run on the program's schema or returns other
// columns than its field list.

namespace {

const PageQuery& page(int id)
{
    const PageQuery* p = FindPageQuery(id);
    if (!p)
        qFatal("no page %d", id);
    return *p;
}

QStringList fieldNames(const PageQuery& p)
{
    QStringList names;
    for (const TFieldDef& f : p.Fields)
        names << f.Name;
    return names;
}

QStringList linesStarting(const PageQuery& p, const QString& prefix)
{
    QStringList out;
    for (const QString& line : p.Sql)
        if (line.startsWith(prefix, Qt::CaseInsensitive))
            out << line;
    return out;
}

// Opens the page's statement on the test database; with persistent fields
// or without (the driver's own columns).
QStringList openedColumns(const PageQuery& p, bool persistent, QString* error)
{
    TQuery q(nullptr, QLatin1String(kDatabaseName));
    q.setObjectName(p.QueryName);
    q.SQL().Assign(p.Sql);
    if (persistent)
        q.SetFieldDefs(p.Fields);
    QStringList names;
    try {
        q.Open();
        for (int i = 0; i < q.FieldCount(); ++i)
            names << q.Fields(i)->FieldName();
    } catch (const EDatabaseError& e) {
        *error = e.Message();
    }
    return names;
}

// Runs statements through the program's own connection; the engine's
// message when one fails.
QString execute(const QStringList& statements)
{
    try {
        for (const QString& sql : statements) {
            TQuery q(nullptr, QLatin1String(kDatabaseName));
            q.SQL().Add(sql);
            q.ExecSQL();
        }
    } catch (const EDatabaseError& e) {
        return e.Message();
    }
    return QString();
}

// The values of one field over all rows of the page's query.
QStringList columnValues(const PageQuery& p, const QString& field)
{
    TQuery q(nullptr, QLatin1String(kDatabaseName));
    q.SQL().Assign(p.Sql);
    q.SetFieldDefs(p.Fields);
    q.Open();
    QStringList values;
    for (q.First(); !q.Eof(); q.Next())
        values << q.FieldByName(field)->AsString();
    return values;
}

}  // namespace

class TestPageQueries : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

    static void pageRows()
    {
        QTest::addColumn<int>("id");
        for (const PageQuery& p : PageQueries())
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(p.PageID).arg(p.QueryName))) << p.PageID;
    }

    void freshDatabase()
    {
        db.reset();
        db = std::make_unique<kvtest::TestDatabase>();
    }

private slots:
    void initTestCase() { freshDatabase(); }
    void cleanupTestCase() { db.reset(); }

    // A page is described in several tables kept by page id: the registry
    // (names, tree place, blue rows), its query, its filter columns, what Del
    // does (run on every page in tst_deactivationclass) and its editor. They
    // are written apart, so a page added to one and forgotten in another is
    // caught here.
    void sameSetOfPages()
    {
        QList<int> registry, queries, editing;
        for (const PageInfo& p : Pages())
            registry << p.PageID;
        for (const PageQuery& q : PageQueries())
            queries << q.PageID;
        for (const TEditPage& p : EditPages())
            editing << p.PageID;
        QCOMPARE(registry.size(), 53);
        QCOMPARE(queries, registry);
        QCOMPARE(FilterListPages(), registry);
        QCOMPARE(editing, registry);
        for (int unknown : {0, 1000, 1017, 1020, 1053, 1084})
            QVERIFY(!FindPage(unknown) && !FindPageQuery(unknown) && !FindDeletePage(unknown));
    }

    // The page's node stands once in the full tree, under its group; the sort
    // toggle rewrites the last line and the filter bar looks for the WHERE
    // line, so their places must hold on every page.
    void layoutOfEveryPage_data() { pageRows(); }
    void layoutOfEveryPage()
    {
        QFETCH(int, id);
        const PageQuery& p = page(id);
        const PageInfo* info = FindPage(id);
        QVERIFY(info);
        QCOMPARE(p.QueryName, QString(info->Query));
        int found = 0;
        for (const TreeGroup& g : TreeGroups(true, true))
            for (const QString& node : g.Nodes)
                if (node == QLatin1String(info->Node)) {
                    ++found;
                    QCOMPARE(g.Name, QString(info->Group));
                }
        QCOMPARE(found, 1);
        QCOMPARE(FindPageByNode(info->Node), info);
        if (info->InactiveBlue)  // blue rows are drawn by the Active field
            QVERIFY(fieldNames(p).contains("Active", Qt::CaseInsensitive));
        // Grid columns and titles name fields, each once.
        const QStringList names = fieldNames(p);
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
        QCOMPARE(QSet<QString>(p.GridColumns.begin(), p.GridColumns.end()).size(), p.GridColumns.size());
        for (const QString& c : p.GridColumns)
            QVERIFY2(names.contains(c), qPrintable(c));
        for (const PageGridTitle& t : p.Titles)
            QVERIFY2(p.GridColumns.contains(t.Field), qPrintable(t.Field));

        QVERIFY(p.Sql.size() >= 2);
        QVERIFY(p.Sql.first().startsWith("SELECT", Qt::CaseInsensitive));
        for (const QString& line : p.Sql)
            QVERIFY2(!line.isEmpty() && !line.endsWith('\n'), qPrintable(line));
        if (p.QueryName == "qSysProgram") {
            QCOMPARE(p.Sql, QStringList({"SELECT *", "FROM tProgram"}));
            return;
        }
        QVERIFY2(p.Sql.last().startsWith("ORDER BY"), qPrintable(p.Sql.last()));
        QCOMPARE(linesStarting(p, "ORDER BY").size(), 1);
        QVERIFY(linesStarting(p, "WHERE").size() <= 1);
    }

    void defaultRestriction_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("where");
        QTest::newRow("service ids: 02 and active") << 1051 << "WHERE ServiceID LIKE '02%' AND Active = 1";
        QTest::newRow("adjustments: 02 only") << 1002 << "WHERE ServiceID LIKE '02%'";
        QTest::newRow("tariffs: derived table's Active") << 1004 << "WHERE NT.Active = 1";
        QTest::newRow("elements: non-zero Active") << 1041 << "WHERE Active <> 0";
        QTest::newRow("service split: no blank after =") << 1061 << "WHERE Active =1";
        QTest::newRow("user functions") << 1082 << "WHERE Active = 1";
        QTest::newRow("audit: none") << 1007 << "";
        QTest::newRow("service system: none") << 1062 << "";
    }
    void defaultRestriction()
    {
        QFETCH(int, id);
        QFETCH(QString, where);
        const QStringList lines = linesStarting(page(id), "WHERE");
        QCOMPARE(lines, where.isEmpty() ? QStringList() : QStringList{where});
        if (!where.isEmpty())
            QCOMPARE(page(id).Sql.at(page(id).Sql.size() - 2), where);
    }

    // Lines whose blanks and quotes are easily lost.
    void exactLines_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("text");
        QTest::newRow("double blank before AS") << 1001 << 4
            << "LEFT JOIN tCustomer ON ((tActivity.CustomerID = tCustomer.ID) AND (tCustomer.Active = 1)))  AS AY";
        QTest::newRow("quoted alias") << 1002 << 5
            << " ELSE ADJ.ServiceType END) AS \"ServiceType\", ADJ.TxnDate, ADJ.TxnTime,";
        QTest::newRow("trailing blank") << 1002 << 14 << "FROM tAdjustment ADJ ";
        QTest::newRow("three leading blanks") << 1003 << 12 << "   (tValidAccountNumber.Active = 1))";
        QTest::newRow("trailing blank after comma") << 1004 << 3
            << " tAgreementTariffs.FixedCharge, tAgreementTariffs.FlagFall, tAgreementTariffs.MinCharge, ";
        QTest::newRow("double blanks inside") << 1004 << 13 << " tAgreementTariffs.ChargePeriod,  tAgreementTariffs.Active,";
        QTest::newRow("quoted alias at line end") << 1004 << 18 << " tBatchType.Description AS \"BatchType\"";
        QTest::newRow("bracketed name") << 1007 << 6 << "ORDER BY [Table]";
        QTest::newRow("null-safe operator name") << 1010 << 4
            << " (tUser.SurName + (CASE WHEN tUser.FirstName IS NULL THEN '' ELSE ', ' + tUser.FirstName END)) AS Operator, tBatchStatus.Description AS BatchStatus";
        QTest::newRow("alias at end") << 1014 << 4 << " tTransactionType.Description AS \"TransactionType\"";
        QTest::newRow("blank before comma") << 1030 << 2 << "FROM (SELECT DR.ID,  DR.BatchID, ";
        QTest::newRow("lower-case select") << 1047 << 1 << "Select *";
        QTest::newRow("cast") << 1051 << 5
            << "FROM ((((((((SELECT SID.*, CAST(SID.ServiceCode as varchar(60)) AS vServiceCode, tServiceType.Code,";
        QTest::newRow("no leading blank") << 1051 << 24
            << "LEFT JOIN tSystem ON ((SID2.SystemID = tSystem.ID) AND (tSystem.Active = 1)))";
        QTest::newRow("lower-case as") << 1062 << 4
            << " tBatchType.Description AS BatchTypeDescription, tValidAccountNumber.ID as ValidAccountNumberID,";
        QTest::newRow("FROM glued to parenthesis") << 1068 << 2
            << "FROM(SELECT tSystem.*, tBatchType.Description AS BatchType, tUser.UserLogin";
        QTest::newRow("seventeen parentheses") << 1082 << 10 << "FROM (((((((((((((((((SELECT DISTINCT UserID";
        QTest::newRow("two aliases closed") << 1082 << 28
            << "LEFT JOIN tUserFunction uf16 ON uf.userid = uf16.userid AND uf16.Functionid = 16) AS uf0) AS uff";
    }
    void exactLines()
    {
        QFETCH(int, id);
        QFETCH(int, line);
        QFETCH(QString, text);
        const PageQuery& p = page(id);
        QVERIFY(line <= p.Sql.size());
        QCOMPARE(p.Sql.at(line - 1), text);
    }

    // Every statement runs on the schema and gives exactly its field list,
    // in order, and nothing more. Without persistent fields the statement's
    // own columns are the field list too: in field order, except where the
    // statement adds its joined columns after "t.*" or lists its columns in
    // another order (persistent fields put them in place); and with no
    // surplus, except that the service id page also passes on the raw
    // ServiceCode (shown cast as vServiceCode) and the service type's SystemID,
    // and the program page's "SELECT *" the Active flag its editor looks up
    // new rows by.
    void opensOnSchema_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("statementOrder");
        QTest::addColumn<QStringList>("surplus");
        const QSet<int> reordered = {1001, 1002, 1009, 1010, 1012, 1013, 1014, 1024, 1027, 1028, 1041,
                                     1043, 1049, 1051, 1061, 1063, 1065, 1068, 1070, 1082, 1083};
        const QHash<int, QStringList> surplus = {{1048, {"active"}}, {1051, {"servicecode", "systemid"}}};
        for (const PageQuery& p : PageQueries())
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(p.PageID).arg(p.QueryName)))
                << p.PageID << !reordered.contains(p.PageID) << surplus.value(p.PageID);
    }
    void opensOnSchema()
    {
        QFETCH(int, id);
        QFETCH(bool, statementOrder);
        QFETCH(QStringList, surplus);
        const PageQuery& p = page(id);
        QString error;
        const QStringList persistent = openedColumns(p, true, &error);
        if (!error.isEmpty()) {
            qWarning().noquote() << db->Db()->PrepareSql(p.Sql.join('\n'));
            QFAIL(qPrintable(error));
        }
        QCOMPARE(persistent, fieldNames(p));

        const QStringList driver = openedColumns(p, false, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QStringList columns;
        for (const QString& c : driver)
            columns << c.toLower();
        QStringList expected;
        for (const QString& n : fieldNames(p))
            expected << n.toLower();
        QStringList extra;
        for (const QString& c : columns)
            if (!expected.contains(c))
                extra << c;
        QCOMPARE(extra, surplus);
        for (const QString& c : surplus)
            columns.removeAll(c);
        if (!statementOrder) {
            columns.sort();
            expected.sort();
        }
        QCOMPARE(columns, expected);
    }

    // The operator name must not vanish for an operator without a first
    // name; "SurName, FirstName" otherwise.
    void batchHistoryOperatorName()
    {
        freshDatabase();
        const QString error = execute({
            "INSERT INTO tUser (ID, UserLogin, FirstName, SurName, Active) VALUES (71, 'jb', NULL, 'Bolt', 1)",
            "INSERT INTO tUser (ID, UserLogin, FirstName, SurName, Active) VALUES (72, 'ak', 'Ann', 'Kerr', 1)",
            "INSERT INTO tBatchStatusHistory (ID, BatchID, BatchStatusID, StatusChangeDate, UserID)"
            " VALUES (1, 5, 1, '20260301 10:00:00', 71)",
            "INSERT INTO tBatchStatusHistory (ID, BatchID, BatchStatusID, StatusChangeDate, UserID)"
            " VALUES (2, 5, 2, '20260302 10:00:00', 72)"});
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(columnValues(page(1010), "Operator"), QStringList({"Kerr, Ann", "Bolt"}));
    }

    // One row per active operator, the functions spread over F1..F16.
    void userFunctionsSpreadOverColumns()
    {
        freshDatabase();
        const QString error = execute({
            "INSERT INTO tUser (ID, UserLogin, SurName, Active) VALUES (1, 'amy', 'Ash', 1)",
            "INSERT INTO tUser (ID, UserLogin, SurName, Active) VALUES (2, 'bob', 'Burr', 1)",
            "INSERT INTO tUser (ID, UserLogin, SurName, Active) VALUES (3, 'cid', 'Cole', 0)",
            "INSERT INTO tUserFunction (UserID, FunctionID) VALUES (1, 7)",
            "INSERT INTO tUserFunction (UserID, FunctionID) VALUES (1, 14)",
            "INSERT INTO tUserFunction (UserID, FunctionID) VALUES (3, 15)"});
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QStringList rows = columnValues(page(1082), "UserLogin");
        for (int f = 1; f <= 16; ++f) {
            const QStringList values = columnValues(page(1082), QStringLiteral("F%1").arg(f));
            for (int r = 0; r < rows.size(); ++r)
                rows[r] += " " + (values.value(r).isEmpty() ? QStringLiteral("-") : values.value(r));
        }
        QCOMPARE(rows, QStringList({"amy - - - - - - 7 - - - - - - 14 - -", "bob - - - - - - - - - - - - - - - -"}));
    }

};

KV_TEST_MAIN(TestPageQueries)
#include "tst_pagequeries.moc"
