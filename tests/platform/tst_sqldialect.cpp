#include "SqlDialect.h"
#include "TestSupport.h"

// Each construct of SQL Server's dialect the program uses, translated and run
// on the real SQLite engine.
class TestSqlDialect : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

    QString run(const QString& sql)
    {
        TQuery q(nullptr, "dbKVdata");
        q.SQL().SetText(sql);
        q.Open();
        QStringList rows;
        for (; !q.Eof(); q.Next()) {
            QStringList cols;
            for (int i = 0; i < q.FieldCount(); ++i)
                cols << (q.Fields(i)->IsNull() ? QStringLiteral("NULL") : q.Fields(i)->AsString());
            rows << cols.join('|');
        }
        return rows.join(';');
    }

private slots:
    void initTestCase()
    {
        db = std::make_unique<kvtest::TestDatabase>(false);
        db->Exec("CREATE TABLE tUser (ID INTEGER PRIMARY KEY, UserLogin TEXT COLLATE NOCASE, FirstName TEXT, "
                 "Surname TEXT, Active INTEGER);"
                 "INSERT INTO tUser VALUES (1,'jsmith','John','Smith',1),(2,'ncase',NULL,'Case',1),"
                 "(3,'old','Olga','Old',0);"
                 "CREATE TABLE tAudit (ID INTEGER PRIMARY KEY, [Table] TEXT, Comment TEXT);"
                 "INSERT INTO tAudit VALUES (1,'tCustomer','Customers are audited since the 2019 review');"
                 "CREATE TABLE tUserFunction (UserID INTEGER, FunctionID INTEGER);"
                 "INSERT INTO tUserFunction VALUES (1,7),(1,14),(2,7);"
                 "CREATE TABLE tServiceKPI (ID INTEGER PRIMARY KEY, KpiNumber TEXT, Description TEXT, Active INTEGER);"
                 "INSERT INTO tServiceKPI VALUES (1,'K1','Gold  ',1);");
        QVERIFY(db->Db()->IsSqlite());
        QVERIFY(db->Db()->IsEmbedded());
    }

    void translate_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("rows");

        QTest::newRow("dbo qualifiers dropped")
            << "SELECT dbo.tUser.UserLogin FROM dbo.tUser WHERE dbo.tUser.ID = 1"
            << "SELECT tUser.UserLogin FROM tUser WHERE tUser.ID = 1" << "jsmith";
        QTest::newRow("bracketed dbo")
            << "SELECT [dbo].[tUser].UserLogin FROM [dbo].tUser WHERE ID = 1"
            << "SELECT [tUser].UserLogin FROM tUser WHERE ID = 1" << "jsmith";
        QTest::newRow("LEFT function")
            << "SELECT LEFT(A.Comment,9) AS \"Comment\" FROM tAudit A"
            << "SELECT substr(A.Comment,1,9) AS \"Comment\" FROM tAudit A" << "Customers";
        QTest::newRow("LEFT JOIN untouched")
            << "SELECT U.ID FROM tUser U LEFT JOIN tUserFunction F ON F.UserID = U.ID AND F.FunctionID = 14 "
               "WHERE F.UserID IS NULL ORDER BY U.ID"
            << "SELECT U.ID FROM tUser U LEFT JOIN tUserFunction F ON F.UserID = U.ID AND F.FunctionID = 14 "
               "WHERE F.UserID IS NULL ORDER BY U.ID"
            << "2;3";
        QTest::newRow("RIGHT function")
            << "SELECT RIGHT(UserLogin, 3) FROM tUser WHERE ID = 1"
            << "SELECT substr(UserLogin,-( 3), 3) FROM tUser WHERE ID = 1" << "ith";
        QTest::newRow("RIGHT longer than the text")
            << "SELECT RIGHT(UserLogin,20) FROM tUser WHERE ID = 3"
            << "SELECT substr(UserLogin,-(20),20) FROM tUser WHERE ID = 3" << "old";
        QTest::newRow("SUBSTRING")
            << "SELECT SUBSTRING(Surname,1,3) AS S FROM tUser WHERE ID = 1"
            << "SELECT substr(Surname,1,3) AS S FROM tUser WHERE ID = 1" << "Smi";
        QTest::newRow("string plus with literal")
            << "SELECT RTRIM(KpiNumber + ' ' + Description) AS Description FROM tServiceKPI"
            << "SELECT RTRIM(KpiNumber || ' ' || Description) AS Description FROM tServiceKPI" << "K1 Gold";
        QTest::newRow("string plus through CASE")
            << "SELECT (Surname + (CASE WHEN FirstName IS NULL THEN '' ELSE ', ' + FirstName END)) AS Operator "
               "FROM tUser WHERE ID < 3 ORDER BY ID"
            << "SELECT (Surname || (CASE WHEN FirstName IS NULL THEN '' ELSE ', ' || FirstName END)) AS Operator "
               "FROM tUser WHERE ID < 3 ORDER BY ID"
            << "Smith, John;Case";
        QTest::newRow("numeric plus stays")
            << "SELECT ID + 10 AS N FROM tUser WHERE (CASE WHEN Active = 1 THEN 'y' ELSE 'n' END) = 'n'"
            << "SELECT ID + 10 AS N FROM tUser WHERE (CASE WHEN Active = 1 THEN 'y' ELSE 'n' END) = 'n'" << "13";
        QTest::newRow("number glued to keyword")
            << "SELECT ID FROM tUser WHERE ID = 1AND Active = 1"
            << "SELECT ID FROM tUser WHERE ID = 1 AND Active = 1" << "1";
        QTest::newRow("bracketed names and quoted aliases")
            << "SELECT A.[Table] AS \"T\", A.ID AS \"Id\" FROM tAudit A ORDER BY [Table]"
            << "SELECT A.[Table] AS \"T\", A.ID AS \"Id\" FROM tAudit A ORDER BY [Table]" << "tCustomer|1";
        QTest::newRow("literals never touched")
            << "SELECT 'dbo.x + LEFT(a,1) 12AND' AS T, 'it''s' AS U"
            << "SELECT 'dbo.x + LEFT(a,1) 12AND' AS T, 'it''s' AS U" << "dbo.x + LEFT(a,1) 12AND|it's";
        QTest::newRow("ISNULL and LEN")
            << "SELECT ISNULL(FirstName,'-') AS F, LEN(Description) AS L FROM tUser, tServiceKPI WHERE tUser.ID = 2"
            << "SELECT ifnull(FirstName,'-') AS F, length(rtrim(Description)) AS L FROM tUser, tServiceKPI "
               "WHERE tUser.ID = 2"
            << "-|4";
        QTest::newRow("CAST as varchar")
            << "SELECT CAST(ID as varchar(60)) + 'x' AS C FROM tUser WHERE ID = 1"
            << "SELECT CAST(ID as varchar(60)) || 'x' AS C FROM tUser WHERE ID = 1" << "1x";
        QTest::newRow("LIKE with escape")
            << "SELECT COUNT(*) FROM tUser WHERE UserLogin LIKE 'j\\_smith' ESCAPE '\\'"
            << "SELECT COUNT(*) FROM tUser WHERE UserLogin LIKE 'j\\_smith' ESCAPE '\\'" << "0";
        QTest::newRow("unicode literal")
            << "SELECT N'Caf' + N'é' AS C" << "SELECT 'Caf' || 'é' AS C" << "Café";
    }
    void translate()
    {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        QFETCH(QString, rows);
        QCOMPARE(SqlDialect::ToSqlite(sql), expected);
        QCOMPARE(run(sql), rows);
    }

    void deleteWithoutFrom()
    {
        QCOMPARE(SqlDialect::ToSqlite("DELETE tUserFunction\nWHERE UserID = 1\nAND FunctionID = 14"),
                 QString("DELETE FROM tUserFunction\nWHERE UserID = 1\nAND FunctionID = 14"));
        QCOMPARE(SqlDialect::ToSqlite("DELETE FROM tProgram\nWHERE ID = 3"), QString("DELETE FROM tProgram\nWHERE ID = 3"));
        TQuery q(nullptr, "dbKVdata");
        q.SQL().SetText("DELETE tUserFunction\nWHERE UserID = 1\nAND FunctionID = 14");
        q.ExecSQL();
        QCOMPARE(q.RowsAffected(), 1);
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tUserFunction WHERE UserID = 1"), QString("1"));
    }

    void rightJoinAndDerivedTables()
    {
        // The operator-rights page: a derived table of DISTINCT ids right-joined
        // to the operators.
        const QString sql = "SELECT DISTINCT *\nFROM (SELECT tUser.ID AS UserID, uf7.FunctionID AS \"F7\"\n"
                            "FROM ((SELECT DISTINCT UserID\nFROM tUserFunction) AS uf\n"
                            "RIGHT JOIN tUser ON uf.UserID = tUser.ID)\n"
                            "LEFT JOIN tUserFunction uf7 ON uf.userid = uf7.userid AND uf7.Functionid = 7) AS uff\n"
                            "ORDER BY UserID";
        QCOMPARE(run(sql), QString("1|7;2|7;3|NULL"));
    }

    void nestedJoinsGetParentheses()
    {
        // SQL Server's nested join form: the last ON belongs to the second join.
        const QString sql = "SELECT U.UserLogin, F.FunctionID, A.[Table]\n"
                            "FROM   tUser U INNER JOIN tUserFunction F\n"
                            "  INNER JOIN tAudit A ON A.ID = F.FunctionID - 6\n"
                            " ON F.UserID = U.ID\n"
                            "WHERE  (U.Active = 1)\n"
                            "ORDER BY U.UserLogin";
        QCOMPARE(SqlDialect::ToSqlite(sql),
                 QString("SELECT U.UserLogin, F.FunctionID, A.[Table]\n"
                         "FROM   tUser U INNER JOIN (tUserFunction F\n"
                         "  INNER JOIN tAudit A ON A.ID = F.FunctionID - 6)\n"
                         " ON F.UserID = U.ID\n"
                         "WHERE  (U.Active = 1)\n"
                         "ORDER BY U.UserLogin"));
        QCOMPARE(run(sql), QString("jsmith|7|tCustomer;ncase|7|tCustomer"));
        // An ordinary chain is left as it is.
        const QString chain = "SELECT * FROM tUser U LEFT JOIN tUserFunction F ON F.UserID = U.ID "
                              "LEFT JOIN tAudit A ON A.ID = 1";
        QCOMPARE(SqlDialect::ToSqlite(chain), chain);
    }

    void trailingOrderByRemoved()
    {
        QCOMPARE(SqlDialect::WithoutTrailingOrderBy("SELECT *\nFROM (SELECT a FROM t ORDER BY a) AS x\nORDER BY  b DESC"),
                 QString("SELECT *\nFROM (SELECT a FROM t ORDER BY a) AS x\n"));
        QCOMPARE(SqlDialect::WithoutTrailingOrderBy("SELECT * FROM tProgram"), QString("SELECT * FROM tProgram"));
        QCOMPARE(SqlDialect::WithoutTrailingOrderBy("SELECT 'ORDER BY x' AS t"), QString("SELECT 'ORDER BY x' AS t"));
    }

    void unbalancedTextIsLeftForTheServer()
    {
        QCOMPARE(SqlDialect::ToSqlite("SELECT (1"), QString("SELECT (1"));
        QCOMPARE(SqlDialect::ToSqlite("SELECT 1)"), QString("SELECT 1)"));
    }
};

KV_TEST_MAIN(TestSqlDialect)
#include "tst_sqldialect.moc"
