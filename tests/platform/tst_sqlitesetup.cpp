// The SQLite connection set-up: LIKE that folds case over all of Unicode,
// WAL where the file may be written, read-only opening where it may not.
#include "SqlText.h"
#include "SqliteSetup.h"
#include "TestSupport.h"
#include <QCryptographicHash>
#include <QFile>

namespace {
QByteArray digest(const QString& file)
{
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

QString firstValue(const QString& sql)
{
    TQuery q(nullptr, "dbKVdata");
    q.SQL().SetText(sql);
    q.Open();
    return q.Fields(0)->AsString();
}
// A page whose first window is one row, read to its end: the rest comes
// through a connection of its own. Its last row's first value and the count.
QString lastPastTheWindow(const QString& sql)
{
    TQuery page(nullptr, "dbKVdata");
    page.SQL().SetText(sql);
    page.FirstWindow = 1;
    page.Open();
    page.Last();
    return QStringLiteral("%1 of %2").arg(page.Fields(0)->AsString()).arg(page.FetchedCount());
}
}  // namespace

class TestSqliteSetup : public QObject {
    Q_OBJECT

private slots:
    void likeRule_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("escape");
        QTest::addColumn<bool>("match");
        QTest::newRow("accented capital typed, small stored") << "É%" << "éclair" << "" << true;
        QTest::newRow("accent still counts") << "E%" << "éclair" << "" << false;
        QTest::newRow("cyrillic") << "ДОМ" << "дом" << "" << true;
        QTest::newRow("greek final sigma folds") << "ΟΔΟΣ" << "οδος" << "" << true;
        QTest::newRow("outside the BMP") << "𐐀%" << "𐐨x" << "" << true;  // Deseret capital / small
        QTest::newRow("underscore is one character, not one byte") << "a_c" << "aéc" << "" << true;
        QTest::newRow("percent in the middle") << "a%c%e" << "abcde" << "" << true;
        QTest::newRow("percent needs the rest") << "a%x" << "abc" << "" << false;
        QTest::newRow("percent returns past a false start") << "%ab" << "aab" << "" << true;
        QTest::newRow("escaped percent is itself") << "50\\%" << "50%" << "\\" << true;
        QTest::newRow("escaped percent is no wildcard") << "50\\%" << "500" << "\\" << false;
        QTest::newRow("escaped bracket") << "a\\[1]" << "a[1]" << "\\" << true;
        QTest::newRow("pattern ending in its escape") << "a\\" << "a" << "\\" << false;
        QTest::newRow("set") << "[abc]x" << "Bx" << "" << true;
        QTest::newRow("range") << "[a-f]%" << "Delta" << "" << true;
        QTest::newRow("negated set") << "[^a-f]%" << "Delta" << "" << false;
        QTest::newRow("unclosed set is a bracket") << "a[b" << "a[b" << "" << true;
        QTest::newRow("empty pattern, empty text") << "" << "" << "" << true;
        QTest::newRow("empty pattern, some text") << "" << "x" << "" << false;
        QTest::newRow("only percents") << "%%%" << "" << "" << true;
    }
    void likeRule()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(QString, escape);
        QFETCH(bool, match);
        const char32_t esc = escape.isEmpty() ? 0 : escape.at(0).unicode();
        QCOMPARE(SqliteSetup::LikeMatch(pattern, text, esc), match);

        // The same on the connection, through the dialect's own LIKE.
        kvtest::TestDatabase db(false);
        const QString sql = QString("SELECT CASE WHEN '%1' LIKE '%2'%3 THEN 1 ELSE 0 END")
                                .arg(SqlStr(text), SqlStr(pattern),
                                     esc ? " ESCAPE '" + SqlStr(escape) + "'" : QString());
        QCOMPARE(firstValue(sql), QString(match ? "1" : "0"));
    }

    void likeOnTheConnection()
    {
        kvtest::TestDatabase db(false);
        db.Exec("CREATE TABLE tItem (ID INTEGER PRIMARY KEY, Name TEXT COLLATE NOCASE, Password TEXT);"
                "INSERT INTO tItem (Name, Password) VALUES ('éclair', 'Secret'), ('Éponge', 'x'), ('eclipse', 'y');");
        QCOMPARE(firstValue("SELECT COUNT(*) FROM tItem WHERE Name LIKE 'É%'"), QString("2"));
        // A page read past its first window reads on a connection of its own:
        // the same rule there.
        QCOMPARE(lastPastTheWindow("SELECT Name FROM tItem WHERE Name LIKE '[ÉX]%' ORDER BY ID"),
                 QString("Éponge of 2"));
        QCOMPARE(firstValue("SELECT COUNT(*) FROM tItem WHERE Name LIKE " + SqlLikeExact("ÉCLAIR")), QString("1"));
        QCOMPARE(firstValue("SELECT COUNT(*) FROM tItem WHERE Name LIKE NULL"), QString("0"));
        // The password stays compared exactly.
        QCOMPARE(firstValue("SELECT COUNT(*) FROM tItem WHERE Password = 'secret'"), QString("0"));
        // A value past the engine's own pattern limit (50,000 bytes) is
        // still a value: 16,385 emoji, as pasted into a box.
        QString many;
        for (int i = 0; i < 16385; ++i)
            many += QString::fromUtf8("😀");
        TQuery w(nullptr, "dbKVdata");
        w.SQL().SetText("INSERT INTO tItem (Name) VALUES ('" + SqlStr(many) + "')");
        w.ExecSQL();
        QCOMPARE(firstValue("SELECT COUNT(*) FROM tItem WHERE Name LIKE " + SqlLikeExact(many)), QString("1"));
        QCOMPARE(firstValue("SELECT COUNT(*) FROM tItem WHERE Name LIKE " + SqlLikeExact(many + "_")), QString("0"));
        // An escape of two characters is the engine's error, as ever.
        TQuery bad(nullptr, "dbKVdata");
        bad.SQL().SetText("SELECT 1 WHERE 'a' LIKE 'a' ESCAPE 'xy'");
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, bad.Open());
    }

    void writableFileGetsWal()
    {
        kvtest::TestDatabase db(false);
        QVERIFY(!db.Db()->ReadOnly());
        QCOMPARE(firstValue("PRAGMA journal_mode").toLower(), QString("wal"));
    }

    void unwritableFolderOpensReadOnly_data()
    {
        QTest::addColumn<bool>("wal");
        QTest::newRow("rollback journal file") << false;
        QTest::newRow("file once opened in WAL mode") << true;
    }
    void unwritableFolderOpensReadOnly()
    {
        QFETCH(bool, wal);
        QTemporaryDir dir;
        const QString file = dir.filePath("ro.db");
        kvtest::ExecSqliteScript(file, QString("%1CREATE TABLE tItem (ID INTEGER PRIMARY KEY, Name TEXT);"
                                               "INSERT INTO tItem (Name) VALUES ('kept'), ('kept too');")
                                           .arg(wal ? "PRAGMA journal_mode=WAL;" : ""));
        const QByteArray before = digest(file);
        kvtest::MessageRecorder boxes;
        {
            kvtest::ReadOnlyFolder readOnly(dir.path());
            TDatabase db;
            db.DatabaseName = "dbKVdata";
            db.AliasName = file;
            db.LoginPrompt = false;
            db.SetConnected(true);
            QVERIFY(db.ReadOnly());
            QCOMPARE(firstValue("SELECT Name FROM tItem"), QString("kept"));
            // Past its first window a page reads on a connection of its own,
            // opened as this one was.
            QCOMPARE(lastPastTheWindow("SELECT Name FROM tItem ORDER BY ID"), QString("kept too of 2"));

            // A transaction is refused before anything runs, and a lone write
            // that reaches the engine says the same.
            try {
                TTransaction t(&db);
                QFAIL("a transaction started on a read-only source");
            } catch (const EDatabaseError& e) {
                QCOMPARE(e.Message(), "The data source " + file + " is read-only: nothing can be saved");
            }
            TQuery w(nullptr, "dbKVdata");
            w.SQL().SetText("UPDATE tItem SET Name = 'changed'");
            try {
                w.ExecSQL();
                QFAIL("a write went through");
            } catch (const EDatabaseError& e) {
                QCOMPARE(e.Message(), db.ReadOnlyMessage());
            }
        }
        QCOMPARE(digest(file), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"ro.db"}));  // no journal files left
        QCOMPARE(boxes.Count(), 0);
    }
};

KV_TEST_MAIN(TestSqliteSetup)
#include "tst_sqlitesetup.moc"
