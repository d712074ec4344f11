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
        QTest::newRow("TOP")
            << "SELECT TOP 2 ID\nFROM tUser\nORDER BY ID DESC" << "SELECT ID\nFROM tUser\nORDER BY ID DESC LIMIT 2"
            << "3;2";
        QTest::newRow("TOP in parentheses after DISTINCT")
            << "SELECT DISTINCT TOP (1) Active FROM tUser ORDER BY Active"
            << "SELECT DISTINCT Active FROM tUser ORDER BY Active LIMIT 1" << "0";
        QTest::newRow("TOP in a derived table, before a comment and a semicolon")
            << "SELECT * FROM (SELECT TOP 1 ID FROM tUser ORDER BY ID DESC) AS X /* last */;"
            << "SELECT * FROM (SELECT ID FROM tUser ORDER BY ID DESC LIMIT 1) AS X /* last */;" << "3";
        QTest::newRow("TOP in a literal untouched")
            << "SELECT 'SELECT TOP 1' AS T" << "SELECT 'SELECT TOP 1' AS T" << "SELECT TOP 1";
        QTest::newRow("lock hints dropped, a name WITH and a CTE kept")
            << "WITH [with] AS (SELECT ID FROM tUser) SELECT U.UserLogin\nFROM tUser U WITH (UPDLOCK, HOLDLOCK)"
               "\nJOIN [with] ON [with].ID = U.ID WHERE U.UserLogin <> 'WITH (UPDLOCK)' AND U.ID = 1"
            << "WITH [with] AS (SELECT ID FROM tUser) SELECT U.UserLogin\nFROM tUser U \n"
               "JOIN [with] ON [with].ID = U.ID WHERE U.UserLogin <> 'WITH (UPDLOCK)' AND U.ID = 1"
            << "jsmith";
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

    // The first rows of a statement, still in SQL Server's dialect.
    void rowLimit_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("limited");
        QTest::newRow("plain") << "SELECT ID, UserLogin\nFROM tUser\nORDER BY ID"
                               << "SELECT TOP 2 ID, UserLogin\nFROM tUser\nORDER BY ID";
        QTest::newRow("DISTINCT") << "SELECT DISTINCT *\nFROM (SELECT Active FROM tUser) AS A"
                                  << "SELECT DISTINCT TOP 2 *\nFROM (SELECT Active FROM tUser) AS A";
        QTest::newRow("blank lines and a comment first") << "\n-- users\nselect * from tUser"
                                                        << "\n-- users\nselect TOP 2 * from tUser";
        QTest::newRow("union inside a derived table") << "SELECT * FROM (SELECT 1 AS A UNION SELECT 2) AS U"
                                                      << "SELECT TOP 2 * FROM (SELECT 1 AS A UNION SELECT 2) AS U";
        QTest::newRow("union") << "SELECT ID FROM tUser UNION SELECT UserID FROM tUserFunction" << "";
        QTest::newRow("limited already") << "SELECT TOP 5 ID FROM tUser" << "";
        QTest::newRow("not a select") << "UPDATE tUser SET Active = 1" << "";
        QTest::newRow("two statements") << "SELECT 1; SELECT 2" << "";
        QTest::newRow("into a table") << "SELECT * INTO tCopy FROM tUser" << "";
    }
    void rowLimit()
    {
        QFETCH(QString, sql);
        QFETCH(QString, limited);
        QCOMPARE(SqlDialect::WithRowLimit(sql, 2), limited);
        if (!limited.isEmpty())
            QCOMPARE(run(limited).count(';'), 1);  // two rows on the engine
    }

    // Text that is not whole goes to the server as written: nothing a rewrite
    // adds can land inside an open literal or comment.
    void unfinishedTextIsLeftForTheServer_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("open parenthesis") << "SELECT (1";
        QTest::newRow("stray close") << "SELECT 1)";
        QTest::newRow("literal open inside RIGHT") << "SELECT RIGHT(UserLogin, 'abc) FROM tUser";
        QTest::newRow("literal open inside LEN") << "SELECT LEN('abc";
        QTest::newRow("open N literal") << "SELECT ISNULL(a, N'x";
        QTest::newRow("open bracket name") << "SELECT LEN([Table FROM tAudit";
        QTest::newRow("open quoted name") << "SELECT LEN(\"x) FROM tAudit";
        QTest::newRow("open block comment") << "SELECT LEN(x) /* LEFT(a,1)";
        QTest::newRow("line comment at the end") << "SELECT LEN(x) -- LEFT(a,1)";
    }
    void unfinishedTextIsLeftForTheServer()
    {
        QFETCH(QString, sql);
        QCOMPARE(SqlDialect::ToSqlite(sql), sql);
    }

    void adjacentLiteralsStayApart_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty then N empty") << "SELECT ''N''" << "SELECT '' ''";
        QTest::newRow("text then N text") << "SELECT 'a'N'b'" << "SELECT 'a' 'b'";
        QTest::newRow("N text then N text") << "SELECT N'a'N'b'" << "SELECT 'a' 'b'";
        QTest::newRow("doubled quote inside") << "SELECT N'it''s'" << "SELECT 'it''s'";
    }
    void adjacentLiteralsStayApart()
    {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        QCOMPARE(SqlDialect::ToSqlite(sql), expected);
    }

    void deepNestingIsRefusedClearly_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("10,500 parentheses") << "SELECT " + QString(10500, '(') + "1" + QString(10500, ')');
        QString cases = "SELECT ";
        for (int i = 0; i < 5000; ++i)
            cases += "CASE WHEN 1=1 THEN ";
        cases += "'x'";
        for (int i = 0; i < 5000; ++i)
            cases += " END";
        QTest::newRow("5,000 CASEs inside each other") << cases + " + 'y'";
        QString joins = "SELECT * FROM tUser U0";
        for (int i = 1; i <= 5000; ++i)
            joins += QString(" JOIN tUser U%1").arg(i);
        for (int i = 5000; i >= 1; --i)
            joins += QString(" ON U%1.ID = U%2.ID").arg(i).arg(i - 1);
        QTest::newRow("5,000 joins inside each other") << joins;
    }
    void deepNestingIsRefusedClearly()
    {
        QFETCH(QString, sql);
        try {
            SqlDialect::ToSqlite(sql);
            QFAIL("the nesting was followed");
        } catch (const EDatabaseError& e) {
            QCOMPARE(e.Message(), QString("The statement nests more than 200 levels deep"));
        }
    }

    void nestingWithinTheLimitTranslates()
    {
        const QString sql = "SELECT " + QString(60, '(') + "LEN('ab ')" + QString(60, ')') + " AS n";
        QCOMPARE(run(sql), QString("2"));  // the engine's own parser stops near 100
        const QString deep = "SELECT " + QString(199, '(') + "LEN(x)" + QString(199, ')');  // 200 with LEN's own
        QCOMPARE(SqlDialect::ToSqlite(deep), "SELECT " + QString(199, '(') + "length(rtrim(x))" + QString(199, ')'));
    }

    void nestedRightGrowsLinearly()
    {
        // RIGHT inside RIGHT's length: each level adds a bounded text.
        QString sql = "1";
        for (int i = 0; i < 90; ++i) {
            sql = QString("RIGHT('12345', %1)").arg(sql);
            if (i == 0 || i == 6)  // the engine's parser takes subqueries about 8 deep
                QCOMPARE(run("SELECT " + sql + " AS r"), QString(i == 0 ? "5" : "12345"));
        }
        const QString out = SqlDialect::ToSqlite("SELECT " + sql + " AS r");
        QVERIFY2(out.size() < 100 * 90, qPrintable(QString::number(out.size())));
        QCOMPARE(run("SELECT RIGHT(UserLogin, LEN(FirstName) - 1) AS r FROM tUser WHERE ID = 1"), QString("ith"));
        QCOMPARE(run("SELECT RIGHT(UserLogin, 0) + '|' AS r FROM tUser WHERE ID = 1"), QString("|"));
    }

    void manyJoinsInOneChain()
    {
        QString sql = "SELECT * FROM tUser U0";
        for (int i = 1; i <= 20000; ++i)
            sql += QString(" LEFT JOIN tUser U%1 ON U%1.ID = U%2.ID").arg(i).arg(i - 1);
        QCOMPARE(SqlDialect::ToSqlite(sql), sql);
        // Joins inside each other, as deep as the limit allows, each get
        // their parentheses.
        QString nested = "SELECT * FROM a0";
        for (int i = 1; i <= 150; ++i)
            nested += QString(" JOIN a%1").arg(i);
        for (int i = 150; i >= 1; --i)
            nested += QString(" ON c%1").arg(i);
        const QString out = SqlDialect::ToSqlite(nested);
        QCOMPARE(out.count('('), 149);
        QVERIFY2(out.startsWith("SELECT * FROM a0 JOIN (a1 JOIN (a2 JOIN"), qPrintable(out.left(60)));
        QVERIFY2(out.endsWith("JOIN a150 ON c150) ON c149) ON c148) ON c147) ON c146) ON c145) ON c144) ON c143) "
                              "ON c142) ON c141) ON c140) ON c139) ON c138) ON c137) ON c136) ON c135) ON c134) ON "
                              "c133) ON c132) ON c131) ON c130) ON c129) ON c128) ON c127) ON c126) ON c125) ON "
                              "c124) ON c123) ON c122) ON c121) ON c120) ON c119) ON c118) ON c117) ON c116) ON "
                              "c115) ON c114) ON c113) ON c112) ON c111) ON c110) ON c109) ON c108) ON c107) ON "
                              "c106) ON c105) ON c104) ON c103) ON c102) ON c101) ON c100) ON c99) ON c98) ON c97) "
                              "ON c96) ON c95) ON c94) ON c93) ON c92) ON c91) ON c90) ON c89) ON c88) ON c87) ON "
                              "c86) ON c85) ON c84) ON c83) ON c82) ON c81) ON c80) ON c79) ON c78) ON c77) ON c76) "
                              "ON c75) ON c74) ON c73) ON c72) ON c71) ON c70) ON c69) ON c68) ON c67) ON c66) ON "
                              "c65) ON c64) ON c63) ON c62) ON c61) ON c60) ON c59) ON c58) ON c57) ON c56) ON c55) "
                              "ON c54) ON c53) ON c52) ON c51) ON c50) ON c49) ON c48) ON c47) ON c46) ON c45) ON "
                              "c44) ON c43) ON c42) ON c41) ON c40) ON c39) ON c38) ON c37) ON c36) ON c35) ON c34) "
                              "ON c33) ON c32) ON c31) ON c30) ON c29) ON c28) ON c27) ON c26) ON c25) ON c24) ON "
                              "c23) ON c22) ON c21) ON c20) ON c19) ON c18) ON c17) ON c16) ON c15) ON c14) ON c13) "
                              "ON c12) ON c11) ON c10) ON c9) ON c8) ON c7) ON c6) ON c5) ON c4) ON c3) ON c2) ON c1"),
                 qPrintable(out.right(80)));
    }
};

KV_TEST_MAIN(TestSqlDialect)
#include "tst_sqldialect.moc"
