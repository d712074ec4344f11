// Values spliced into statements on a real SQLite connection: whatever the
// text, it stays inside its literal and reads back as stored.
#include "SqlText.h"
#include "TestSupport.h"
#include <cmath>

namespace {
const QChar kHigh(0xD83D);  // the first half of an emoji
const QChar kLow(0xDE00);   // the second half
const QString kBreakOut = QStringLiteral("' OR 1=1 --");
}  // namespace

class TestSqlText : public QObject {
    Q_OBJECT

    static void seed(kvtest::TestDatabase& db)
    {
        db.Exec("CREATE TABLE tItem (ID INTEGER PRIMARY KEY, Name TEXT COLLATE NOCASE);"
                "INSERT INTO tItem (Name) VALUES ('alpha'), ('beta'), ('gamma');");
    }
    static int count(const QString& where)
    {
        TQuery q(nullptr, "dbKVdata");
        q.SQL().Add("SELECT ID FROM tItem");
        q.SQL().Add(where);
        q.Open();
        return q.RecordCount();
    }

private slots:
    void surrogatesStayInsideTheLiteral_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("stored");
        const QString fffd(QChar::ReplacementCharacter);
        QTest::newRow("lone high surrogate before an apostrophe") << kHigh + kBreakOut << fffd + kBreakOut;
        QTest::newRow("lone low surrogate before an apostrophe") << kLow + kBreakOut << fffd + kBreakOut;
        QTest::newRow("high surrogate at the end") << QString("x") + kHigh << QString("x") + fffd;
        QTest::newRow("reversed pair") << QString(kLow) + kHigh + "'" << fffd + fffd + "'";
        QTest::newRow("proper pair kept") << QString(kHigh) + kLow + "'" << QString(kHigh) + kLow + "'";
        QString many;
        for (int i = 0; i < 16385; ++i)
            many += QString(kHigh) + kLow;
        QTest::newRow("16385 emoji and a lone half") << many + kHigh + kBreakOut << many + fffd + kBreakOut;
    }
    void surrogatesStayInsideTheLiteral()
    {
        QFETCH(QString, value);
        QFETCH(QString, stored);
        kvtest::TestDatabase db(false);
        seed(db);
        QCOMPARE(count("WHERE Name = '" + SqlStr(value) + "'"), 0);
        QCOMPARE(count("WHERE Name LIKE " + SqlLikeExact(value)), 0);
        QCOMPARE(count("WHERE Name LIKE " + SqlLikeExact(value + "%")), 0);

        TQuery w(nullptr, "dbKVdata");
        w.SQL().Add("INSERT INTO tItem (Name)");
        w.SQL().Add("VALUES ('" + SqlStr(value) + "')");
        const int id = w.ExecInsert();
        TQuery r(nullptr, "dbKVdata");
        r.SQL().Add(QString("SELECT Name FROM tItem WHERE ID = %1").arg(id));
        r.Open();
        QCOMPARE(r.FieldByName("Name")->AsString(), stored);
        QCOMPARE(count("WHERE Name LIKE " + SqlLikeExact(value)), 1);
    }

    void nulIsRefusedBeforeTheEngine_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("NUL then a break-out") << QString("abc") + QChar(0) + kBreakOut;
        QTest::newRow("NUL alone") << QString(QChar(0));
    }
    void nulIsRefusedBeforeTheEngine()
    {
        QFETCH(QString, value);
        for (auto helper : {&SqlStr, &SqlLikeExact}) {
            try {
                helper(value);
                QFAIL("a value holding NUL was spliced");
            } catch (const EDatabaseError& e) {
                QVERIFY2(e.Message().contains("NUL character"), qPrintable(e.Message()));
            }
        }
    }

    void floatsKeepEveryDigit_data()
    {
        QTest::addColumn<double>("value");
        QTest::newRow("money") << 1234.5;
        QTest::newRow("a third") << 1.0 / 3.0;
        QTest::newRow("below 1e-4") << 1.2345678901234567e-5;
        QTest::newRow("below 5e-16") << 3.0e-17;
        QTest::newRow("smallest normal") << 2.2250738585072014e-308;
        QTest::newRow("large") << 1.7976931348623157e308;
        QTest::newRow("negative tiny") << -4.9406564584124654e-324;
        QTest::newRow("integer past 2^53") << 9007199254740993.0;
    }
    void floatsKeepEveryDigit()
    {
        QFETCH(double, value);
        const QString text = SqlFloat(value);
        QVERIFY2(!text.contains(','), qPrintable(text));
        QVERIFY2(IsSqlNumber(text), qPrintable(text));
        kvtest::TestDatabase db(false);
        TQuery q(nullptr, "dbKVdata");
        q.SQL().Add("SELECT " + text + " AS V");
        q.Open();
        QCOMPARE(q.FieldByName("V")->AsFloat(), value);
    }
    void floatsThatAreNotNumbersRaise()
    {
        QVERIFY_THROWS_EXCEPTION(EConvertError, SqlFloat(std::nan("")));
        QVERIFY_THROWS_EXCEPTION(EConvertError, SqlFloat(INFINITY));
    }

    void numberTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("number");
        QTest::newRow("integer") << "42" << true;
        QTest::newRow("signed decimal") << "-0.5" << true;
        QTest::newRow("exponent") << "1.5E-3" << true;
        QTest::newRow("point first") << ".5" << true;
        QTest::newRow("blanks around") << " 7 " << true;
        QTest::newRow("grouping") << "1,000" << false;
        QTest::newRow("inf") << "inf" << false;
        QTest::newRow("nan") << "nan" << false;
        QTest::newRow("overflow") << "1e999" << false;
        QTest::newRow("hex") << "0x10" << false;
        QTest::newRow("bare point") << "." << false;
        QTest::newRow("statement") << "1; DROP TABLE tItem" << false;
        QTest::newRow("empty exponent") << "1e" << false;
    }
    void numberTexts()
    {
        QFETCH(QString, text);
        QFETCH(bool, number);
        QCOMPARE(IsSqlNumber(text), number);
    }
};

KV_TEST_MAIN(TestSqlText)
#include "tst_sqltext.moc"
