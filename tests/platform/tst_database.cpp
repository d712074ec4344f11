#include "Cursor.h"
#include "DBModel.h"
#include "Formats.h"
#include "Locale.h"
#include "SqlText.h"
#include "TestSupport.h"
#include <QDir>
#include <QFile>
#include <sqlite3.h>

class TestDatabase : public QObject {
    Q_OBJECT

    static void seed(kvtest::TestDatabase& db, int rows)
    {
        db.Exec(QString("CREATE TABLE tItem (ID INTEGER PRIMARY KEY, Name TEXT COLLATE NOCASE, Amount REAL, "
                        "StartDate TEXT, Stamp TEXT, Active INTEGER, Memo BLOB);"
                        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                        "INSERT INTO tItem SELECT i, 'item ' || i, i * 1.25, '20260305', '20260305 14:07:09', "
                        "i % 2, NULL FROM n;")
                    .arg(rows));
    }
    static QVector<TFieldDef> itemFields()
    {
        QVector<TFieldDef> f(6);
        f[0] = {"ID", ftInteger, 0, "", 7, -1, false, true, ""};
        f[1] = {"Name", ftString, 50, "Item", 0, -1, false, true, ""};
        f[2] = {"Amount", ftFloat, 0, "", 0, -1, true, true, ""};
        f[3] = {"StartDate", ftDateTime, 0, "", 10, -1, false, true, ""};
        f[4] = {"Stamp", ftDateTime, 0, "", 0, -1, false, true, ""};
        f[5] = {"Active", ftBoolean, 0, "", 0, -1, false, true, ""};
        return f;
    }

    // The statements of a test run on "dbRoute": the file itself, or an ODBC
    // data source on it; `file` is named "dbFile" on the ODBC route.
    struct Route {
        std::unique_ptr<kvtest::OdbcDataSource> dsn;
        std::unique_ptr<TDatabase> odbc;
    };
    static bool connectRoute(Route& route, const kvtest::TestDatabase& file, bool odbc)
    {
        if (!odbc)
            return true;
        route.dsn = std::make_unique<kvtest::OdbcDataSource>("kvroute", file.File());
        if (!route.dsn->Available())
            return false;
        route.odbc = route.dsn->Connect("dbRoute");
        return true;
    }
    static void exec(const QString& sql)
    {
        TQuery w(nullptr, "dbRoute");
        w.SQL().SetText(sql);
        w.ExecSQL();
    }
    static void routes()
    {
        QTest::addColumn<bool>("odbc");
        QTest::newRow("SQLite file") << false;
        QTest::newRow("through ODBC") << true;
    }

private slots:
    void navigationAndLazyFetching()
    {
        kvtest::TestDatabase db(false);
        seed(db, 5000);
        TQuery q(nullptr, "dbKVdata");
        q.SQL().Add("SELECT *");
        q.SQL().Add("FROM tItem");
        q.SQL().Add("ORDER BY ID");
        QSignalSpy scrolled(&q, &TDataSet::AfterScroll);
        q.Open();
        QVERIFY(q.Active());
        QVERIFY(q.Bof());
        QVERIFY(!q.Eof());
        QCOMPARE(q.RecNo(), 1);
        QVERIFY2(q.FetchedCount() < 100, "opening must not read the whole table");
        QCOMPARE(q.RecordCount(), 5000);  // counted by the server
        QVERIFY(q.FetchedCount() < 100);
        q.Next();
        q.Next();
        QCOMPARE(q.FieldByName("id")->AsInteger(), 3);
        q.Prior();
        QCOMPARE(q.FieldByName("ID")->AsInteger(), 2);
        QVERIFY(!q.Bof());
        q.Prior();
        q.Prior();
        QVERIFY(q.Bof());
        QCOMPARE(q.RecNo(), 1);
        QCOMPARE(q.MoveBy(10), 10);
        QCOMPARE(q.RecNo(), 11);
        q.Last();
        QVERIFY(q.Eof());
        QCOMPARE(q.FieldByName("ID")->AsInteger(), 5000);
        q.Next();
        QVERIFY(q.Eof());
        QCOMPARE(q.RecNo(), 5000);
        QVERIFY(scrolled.count() >= 5);
        q.First();
        QVERIFY(q.Bof());
        QCOMPARE(q.FieldByName("ID")->AsInteger(), 1);
        q.SetRecNo(4321);
        QCOMPARE(q.FieldByName("Name")->AsString(), QString("item 4321"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q.FieldByName("NoSuchField"));
        q.SQL().Add("-- changing the text closes the query");
        QVERIFY(!q.Active());
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q.Next());
    }

    void emptyResult()
    {
        kvtest::TestDatabase db(false);
        seed(db, 3);
        TQuery q(nullptr, "dbKVdata");
        q.SQL().SetText("SELECT * FROM tItem WHERE ID > 99");
        q.Open();
        QVERIFY(q.IsEmpty());
        QVERIFY(q.Bof() && q.Eof());
        QCOMPARE(q.RecordCount(), 0);
        QCOMPARE(q.RecNo(), 0);
        QCOMPARE(q.FieldByName("Name")->AsString(), QString());
        QCOMPARE(q.FieldByName("ID")->AsInteger(), 0);
        QVERIFY(q.FieldByName("ID")->IsNull());
        q.First();
        q.Last();
        QVERIFY(q.Eof());
    }

    void typedFieldsConvertByDeclaredType()
    {
        kvtest::TestDatabase db(false);
        seed(db, 2);
        db.Exec("INSERT INTO tItem VALUES (3, NULL, -1234.5, NULL, '2026-03-05T08:09:10', 0, x'0102');");
        TQuery q(nullptr, "dbKVdata");
        q.SQL().SetText("SELECT ID, Name, Amount, StartDate, Stamp, Active FROM tItem ORDER BY ID");
        q.SetFieldDefs(itemFields());
        q.Open();
        TField* name = q.FieldByName("NAME");
        TField* amount = q.FieldByName("Amount");
        TField* start = q.FieldByName("StartDate");
        TField* stamp = q.FieldByName("Stamp");
        TField* active = q.FieldByName("Active");
        QCOMPARE(name->DisplayLabel(), QString("Item"));
        QCOMPARE(name->DisplayWidth(), 50);
        QCOMPARE(q.FieldByName("ID")->DisplayWidth(), 7);
        QCOMPARE(amount->DisplayWidth(), 10);
        QCOMPARE(amount->Alignment(), taRightJustify);
        QCOMPARE(name->Alignment(), taLeftJustify);
        QCOMPARE(start->Value().toDateTime().date(), QDate(2026, 3, 5));
        QCOMPARE(start->Value().toDateTime().time(), QTime(0, 0));
        QCOMPARE(start->AsDateTime(), EncodeDate(2026, 3, 5));
        QCOMPARE(start->DisplayText(), QString("05/03/2026"));
        QCOMPARE(stamp->DisplayText(), QString("05/03/2026 14:07:09"));
        QCOMPARE(amount->AsFloat(), 1.25);
        QCOMPARE(amount->DisplayText(), QString("$1.25"));
        QCOMPARE(active->AsBoolean(), true);
        QCOMPARE(active->DisplayText(), QString("True"));
        QCOMPARE(active->Value(), QVariant(true));
        q.Last();
        QVERIFY(name->IsNull());
        QCOMPARE(name->AsString(), QString());
        QCOMPARE(start->AsDateTime(), 0.0);
        QCOMPARE(stamp->AsDateTime(), EncodeDate(2026, 3, 5) + EncodeTime(8, 9, 10, 0));
        QCOMPARE(amount->DisplayText(), QString("-$1,234.50"));
        QCOMPARE(active->DisplayText(), QString("False"));
        QCOMPARE(active->AsInteger(), 0);

        TFormatSettings fs = TFormatSettings::DayFirstEnglish();
        fs.DecimalSeparator = ',';
        fs.ThousandSeparator = '.';
        fs.CurrencyString = "EUR";
        fs.CurrencyFormat = 3;
        fs.NegCurrFormat = 8;
        SetFormatSettings(fs);
        QCOMPARE(amount->DisplayText(), QString("-1.234,50 EUR"));
        QCOMPARE(amount->AsString(), QString("-1234,5"));
        SetFormatSettings(TFormatSettings::DayFirstEnglish());
    }

    void persistentFieldsOutliveClose()
    {
        kvtest::TestDatabase db(false);
        seed(db, 3);
        TQuery q(nullptr, "dbKVdata");
        q.SQL().SetText("SELECT ID, Name, Amount, StartDate, Stamp, Active FROM tItem");
        q.SetFieldDefs(itemFields());
        q.Open();
        TField* name = q.FieldByName("Name");
        q.Close();
        QCOMPARE(name->FieldName(), QString("Name"));  // a handler may still hold it
        QVERIFY(name->IsNull());
        q.SQL().SetText("SELECT Stamp, StartDate, Amount, Name, ID, Active FROM tItem ORDER BY ID DESC");
        q.Open();
        QCOMPARE(q.FieldByName("Name"), name);
        QCOMPARE(name->AsString(), QString("item 3"));  // mapped to the new column order
    }

    void missingPersistentFieldRaises()
    {
        kvtest::TestDatabase db(false);
        seed(db, 1);
        TQuery q(nullptr, "dbKVdata");
        q.setObjectName("qSysItem");
        q.SQL().SetText("SELECT ID, Name FROM tItem");
        q.SetFieldDefs(itemFields());
        try {
            q.Open();
            QFAIL("opening must fail");
        } catch (const EDatabaseError& e) {
            QCOMPARE(e.Message(), QString("qSysItem: Field 'Amount' not found"));
        }
        QVERIFY(!q.Active());
    }

    void badStatementRaisesWithTheEngineMessage()
    {
        kvtest::TestDatabase db(false);
        TQuery q(nullptr, "dbKVdata");
        q.SQL().SetText("SELECT * FROM tNothing");
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q.Open());
        try {
            q.Open();
        } catch (const EDatabaseError& e) {
            QVERIFY2(e.Message().contains("tNothing"), qPrintable(e.Message()));
        }
    }

    void locate()
    {
        kvtest::TestDatabase db(false);
        seed(db, 300);
        TQuery q(nullptr, "dbKVdata");
        q.SQL().SetText("SELECT ID, Name, Amount, StartDate, Stamp, Active FROM tItem ORDER BY ID DESC");
        q.SetFieldDefs(itemFields());
        q.Open();
        QVERIFY(q.Locate("ID", 150));
        QCOMPARE(q.FieldByName("Name")->AsString(), QString("item 150"));
        QVERIFY(q.Locate("Name", "ITEM 7", loCaseInsensitive));
        QCOMPARE(q.FieldByName("ID")->AsInteger(), 7);
        QVERIFY(!q.Locate("Name", "ITEM 8"));
        QCOMPARE(q.FieldByName("ID")->AsInteger(), 7);  // unchanged when not found
        QVERIFY(q.Locate("Name", "item 29", loPartialKey));
        QCOMPARE(q.FieldByName("ID")->AsInteger(), 299);
        QVERIFY(q.Locate("ID;Active", QVariantList{12, false}));
        QVERIFY(!q.Locate("ID;Active", QVariantList{12, true}));
        QVERIFY(!q.Locate("ID", 9999));
    }

    // The value sought is compared with each row as the field reads it,
    // whatever form it is given in; whole numbers exactly, past what a
    // double holds too.
    void locateComparesAsTheFieldReads_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("options");
        QTest::addColumn<qlonglong>("found");  // the row's ID; 0: none
        const qlonglong big = (qlonglong(1) << 53) + 1;  // a double reads it as 2^53
        QTest::newRow("whole number past 2^53") << "ID" << QVariant(big) << 0 << big;
        QTest::newRow("whole number as text") << "ID" << QVariant("  150 ") << 0 << 150LL;
        QTest::newRow("whole number not there") << "ID" << QVariant(9999) << 0 << 0LL;
        QTest::newRow("number that is no number") << "ID" << QVariant("abc") << 0 << 0LL;
        QTest::newRow("amount") << "Amount" << QVariant(187.5) << 0 << 150LL;
        QTest::newRow("amount as text") << "Amount" << QVariant("187.5") << 0 << 150LL;
        QTest::newRow("flag off") << "Active" << QVariant(false) << 0 << 2LL;
        QTest::newRow("flag as a number") << "Active" << QVariant(1) << 0 << 1LL;
        QTest::newRow("text, exact case") << "Name" << QVariant("item 7") << 0 << 7LL;
        QTest::newRow("text, other case") << "Name" << QVariant("ITEM 7") << 0 << 0LL;
        QTest::newRow("text beyond ASCII") << "Name" << QVariant(QString::fromUtf8("Zoë")) << 0 << 3LL;
        QTest::newRow("text beyond ASCII, any case")
            << "Name" << QVariant(QString::fromUtf8("ZOË")) << int(loCaseInsensitive) << 3LL;
        QTest::newRow("text, beginning") << "Name" << QVariant("item 29") << int(loPartialKey) << 29LL;
        QTest::newRow("null text") << "Name" << QVariant() << 0 << 4LL;
        QTest::newRow("date-time") << "Stamp" << QVariant(QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9), Qt::UTC))
                                   << 0 << 1LL;
    }
    void locateComparesAsTheFieldReads()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(int, options);
        QFETCH(qlonglong, found);
        kvtest::TestDatabase db(false);
        seed(db, 300);
        const qlonglong big = (qlonglong(1) << 53) + 1;
        db.Exec(QString("UPDATE tItem SET Name = 'Zoë' WHERE ID = 3; UPDATE tItem SET Name = NULL WHERE ID = 4;"
                        "INSERT INTO tItem (ID, Name, Active) VALUES (%1, 'first big', 1), (%2, 'second big', 1);")
                    .arg(big - 1)
                    .arg(big));
        TQuery q(nullptr, "dbKVdata");
        q.SQL().SetText("SELECT ID, Name, Amount, StartDate, Stamp, Active FROM tItem ORDER BY ID");
        q.SetFieldDefs(itemFields());
        q.Open();
        q.MoveBy(9);
        QCOMPARE(q.Locate(field, value, options), found != 0);
        QCOMPARE(q.FieldByName("ID")->Value().toLongLong(), found != 0 ? found : 10);
    }

    // Looking for a row far down the page reads the rows on the way; the
    // grid is told of them once, and of the move once.
    void locateTellsTheControlsOnce()
    {
        kvtest::TestDatabase db(false);
        seed(db, 5000);
        TQuery q(nullptr, "dbKVdata");
        q.SQL().SetText("SELECT ID, Name FROM tItem ORDER BY ID");
        q.FirstWindow = 100;
        q.Open();
        TDataSource source(nullptr, &q);
        TDataSetModel model(&source);
        QSignalSpy fetched(&q, &TDataSet::RowsFetched);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy scrolled(&q, &TDataSet::AfterScroll);
        QVERIFY(q.Locate("ID", 4000));
        QCOMPARE(q.RecNo(), 4000);
        QCOMPARE(fetched.count(), 1);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(model.rowCount(), q.FetchedCount());
        QCOMPARE(scrolled.count(), 1);
        // Not found: the rows read are told all the same, and nothing moves.
        fetched.clear();
        scrolled.clear();
        QVERIFY(!q.Locate("ID", 0));
        QCOMPARE(fetched.count(), 1);
        QCOMPARE(model.rowCount(), 5000);
        QCOMPARE(scrolled.count(), 0);
        QCOMPARE(q.RecNo(), 4000);
    }

    void uniDirectionalKeepsNoRowsBehind()
    {
        kvtest::TestDatabase db(false);
        seed(db, 2000);
        TQuery q(nullptr, "dbKVdata");
        q.UniDirectional = true;
        q.SQL().SetText("SELECT ID FROM tItem ORDER BY ID");
        q.Open();
        int sum = 0;
        for (q.First(); !q.Eof(); q.Next())
            sum += q.FieldByName("ID")->AsInteger();
        QCOMPARE(sum, 2000 * 2001 / 2);
        QVERIFY(q.FetchedCount() == 2000);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q.Prior());
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q.First());
    }

    void transactionsAreAllOrNothing()
    {
        kvtest::TestDatabase db(false);
        seed(db, 10);
        TQuery page(nullptr, "dbKVdata");
        page.SQL().SetText("SELECT * FROM tItem ORDER BY ID");
        page.Open();  // a page left open while the write runs
        TQuery w(nullptr, "dbKVdata");
        try {
            TTransaction tx(db.Db());
            w.SQL().SetText("UPDATE tItem SET Name = 'changed' WHERE ID = 1");
            w.ExecSQL();
            w.SQL().SetText("INSERT INTO tNoSuchTable VALUES (1)");
            w.ExecSQL();
            tx.Commit();
            QFAIL("the second statement must fail");
        } catch (const EDatabaseError&) {
        }
        QVERIFY(!db.Db()->InTransaction());
        QCOMPARE(db.Value("SELECT Name FROM tItem WHERE ID = 1"), QString("item 1"));
        page.Next();
        QCOMPARE(page.FieldByName("ID")->AsInteger(), 2);  // the page still reads after the rollback

        {
            TTransaction tx(db.Db());
            w.SQL().SetText("UPDATE tItem SET Name = 'it''s mine' WHERE ID = 1");
            w.ExecSQL();
            {
                TTransaction inner(db.Db());  // joins the outer one
                w.SQL().SetText("UPDATE tItem SET Name = 'second' WHERE ID = 2");
                w.ExecSQL();
                inner.Commit();
            }
            QVERIFY(db.Db()->InTransaction());
            tx.Commit();
        }
        page.Last();
        QCOMPARE(db.Value("SELECT Name FROM tItem WHERE ID = 1"), QString("it's mine"));
        QCOMPARE(db.Value("SELECT Name FROM tItem WHERE ID = 2"), QString("second"));
    }

    // A write transaction holds the file from its start: what it reads
    // before it writes stays as stored until it commits. Another program's
    // write waits (here: is turned away, as it does not wait) instead of
    // coming between, and the transaction's own write, after its read, goes
    // through rather than failing for a file changed since.
    void transactionHoldsTheFileFromItsStart_data()
    {
        routes();
        QTest::newRow("through ODBC, connected instead of another source") << true;
    }
    void transactionHoldsTheFileFromItsStart()
    {
        QFETCH(bool, odbc);
        kvtest::TestDatabase file(false, odbc ? "dbFile" : "dbRoute");
        seed(file, 3);
        Route route;
        if (!connectRoute(route, file, odbc))
            QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
        if (QByteArray(QTest::currentDataTag()).contains("instead"))
            route.odbc->ConnectInstead(route.odbc->AliasName, route.odbc->Params);
        sqlite3* other = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(file.File()).constData(), &other), SQLITE_OK);
        const auto otherWrites = [other](const char* sql) { return sqlite3_exec(other, sql, nullptr, nullptr, nullptr); };
        {
            TTransaction tx(TDatabase::Find("dbRoute"));
            TQuery read(nullptr, "dbRoute");
            read.SQL().SetText("SELECT Name\nFROM tItem WITH (UPDLOCK, HOLDLOCK)\nWHERE ID = 2");
            read.Open();
            QCOMPARE(read.FieldByName("Name")->AsString(), QString("item 2"));
            read.Close();
            QCOMPARE(otherWrites("UPDATE tItem SET Name = 'theirs' WHERE ID = 2"), SQLITE_BUSY);
            exec("UPDATE tItem SET Name = 'mine' WHERE ID = 2");
            tx.Commit();
        }
        QCOMPARE(otherWrites("UPDATE tItem SET Name = 'theirs' WHERE ID = 3"), SQLITE_OK);
        sqlite3_close(other);
        QCOMPARE(file.Rows("SELECT Name FROM tItem ORDER BY ID"), QStringList({"item 1", "mine", "theirs"}));
    }

    void newRowIdComesFromTheInsert()
    {
        kvtest::TestDatabase db(false);
        seed(db, 7);
        TQuery w(nullptr, "dbKVdata");
        w.SQL().SetText("INSERT INTO tItem (Name) VALUES ('item 1')");  // same text as row 1
        QCOMPARE(w.ExecInsert(), 8);
        QCOMPARE(w.ExecInsert(), 9);
    }

    // The id a new row gets is read whole, beyond 32 bits too, on both
    // routes; so are the ids of the rows read.
    void wideIdsWhole_data()
    {
        QTest::addColumn<bool>("odbc");
        QTest::addColumn<qlonglong>("last");  // the largest id before the INSERT
        for (const qlonglong last : {7LL, 2147483647LL, 3000000000LL, 9007199254740993LL}) {
            QTest::addRow("SQLite file, after %lld", last) << false << last;
            QTest::addRow("through ODBC, after %lld", last) << true << last;
        }
    }
    void wideIdsWhole()
    {
        QFETCH(bool, odbc);
        QFETCH(qlonglong, last);
        kvtest::TestDatabase file(false, odbc ? "dbFile" : "dbRoute");
        seed(file, 3);
        file.Exec(QString("INSERT INTO tItem (ID, Name) VALUES (%1, 'last')").arg(last));
        Route route;
        if (!connectRoute(route, file, odbc))
            QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
        TQuery w(nullptr, "dbRoute");
        w.SQL().SetText("INSERT INTO tItem (Name) VALUES ('new')");
        QCOMPARE(w.ExecInsert(), last + 1);
        TQuery q(nullptr, "dbRoute");
        q.SQL().SetText("SELECT ID FROM tItem WHERE ID > 3 ORDER BY ID");
        q.Open();
        QCOMPARE(q.Fields(0)->Value(), QVariant(last));
        QCOMPARE(q.Fields(0)->DisplayText(), QString::number(last));
        q.Next();
        QCOMPARE(q.Fields(0)->Value(), QVariant(last + 1));
        QVERIFY(q.Locate("ID", last));
        QCOMPARE(q.RecNo(), 1);
    }

    // A value read as a 32-bit integer is the number stored, or is refused
    // with a message naming it and its field: never cut to another number.
    // Numbers, doubles and texts stored, each in a column of its kind, on a
    // SQLite file and through ODBC; a double in an integer column (SQLite
    // keeps what it cannot make whole) on the file, the ODBC driver reading
    // such a column as whole numbers of its own. Null, flags, the rounding
    // of doubles and the texts StrToInt reads keep their readings.
    void integersReadWholeOrRefused_data()
    {
        QTest::addColumn<bool>("odbc");
        QTest::addColumn<QString>("column");  // Whole INTEGER, Amount REAL, Code TEXT, Flag (a flag)
        QTest::addColumn<QString>("stored");  // an SQL literal
        QTest::addColumn<QString>("read");    // the integer, or the error's class and message
        const QString tooLarge = "ERangeError The value %1 of %2 is too large for this program.";
        const struct {
            const char* name;
            const char* column;
            const char* stored;
            QString read;
        } rules[] = {
            {"integer, largest", "Whole", "2147483647", "2147483647"},
            {"integer, smallest", "Whole", "-2147483648", "-2147483648"},
            {"integer, null", "Whole", "NULL", "0"},
            {"integer, one past the largest", "Whole", "2147483648", tooLarge.arg("2147483648", "Whole")},
            {"integer, one past the smallest", "Whole", "-2147483649", tooLarge.arg("-2147483649", "Whole")},
            {"integer, 2^32+1", "Whole", "4294967297", tooLarge.arg("4294967297", "Whole")},
            {"integer, 2^53+1", "Whole", "9007199254740993", tooLarge.arg("9007199254740993", "Whole")},
            {"integer column, a half", "Whole", "2.5", "2"},
            {"integer column, a double past 64 bits", "Whole", "1e300", tooLarge.arg("1E300", "Whole")},
            {"double, largest", "Amount", "2147483647.0", "2147483647"},
            {"double, rounded down to the largest", "Amount", "2147483647.4", "2147483647"},
            {"double, rounded to the smallest", "Amount", "-2147483648.4", "-2147483648"},
            {"double, half to even", "Amount", "3.5", "4"},
            {"double, rounded past the largest", "Amount", "2147483647.5", tooLarge.arg("2147483647.5", "Amount")},
            {"double, 2^32+1", "Amount", "4294967297.0", tooLarge.arg("4294967297", "Amount")},
            {"double, 1e300", "Amount", "1e300", tooLarge.arg("1E300", "Amount")},
            {"double, minus 1e300", "Amount", "-1e300", tooLarge.arg("-1E300", "Amount")},
            {"text, largest", "Code", "'2147483647'", "2147483647"},
            {"text, smallest", "Code", "'-2147483648'", "-2147483648"},
            {"text, leading blanks", "Code", "'  42'", "42"},
            {"text, hex", "Code", "'$7FFFFFFF'", "2147483647"},
            {"text, one past the largest", "Code", "'2147483648'", tooLarge.arg("2147483648", "Code")},
            {"text, one past the smallest", "Code", "'-2147483649'", tooLarge.arg("-2147483649", "Code")},
            {"text, 2^32+1", "Code", "'4294967297'", tooLarge.arg("4294967297", "Code")},
            {"text, past 64 bits", "Code", "'99999999999999999999999'",
             tooLarge.arg("99999999999999999999999", "Code")},
            {"text, hex 2^32+1", "Code", "'$100000001'", tooLarge.arg("$100000001", "Code")},
            {"text, no number", "Code", "'12a'", "EConvertError '12a' is not a valid integer value"},
            {"flag", "Flag", "1", "1"},
        };
        for (const bool odbc : {false, true}) {
            for (const auto& r : rules) {
                if (!odbc || !QByteArray(r.name).startsWith("integer column"))
                    QTest::addRow("%s, %s", r.name, odbc ? "through ODBC" : "SQLite file")
                        << odbc << QString(r.column) << QString(r.stored) << r.read;
            }
        }
    }
    void integersReadWholeOrRefused()
    {
        QFETCH(bool, odbc);
        QFETCH(QString, column);
        QFETCH(QString, stored);
        QFETCH(QString, read);
        kvtest::TestDatabase file(false, odbc ? "dbFile" : "dbRoute");
        file.Exec("CREATE TABLE tValue (Whole INTEGER, Amount REAL, Code TEXT, Flag INTEGER);"
                  "INSERT INTO tValue (" + column + ") VALUES (" + stored + ");");
        Route route;
        if (!connectRoute(route, file, odbc))
            QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
        TQuery q(nullptr, "dbRoute");
        q.SQL().SetText("SELECT " + column + " FROM tValue");
        if (column == "Flag")
            q.SetFieldDefs({{"Flag", ftBoolean, 0, "", 0, -1, false, true, ""}});
        q.Open();
        const TField* field = q.Fields(0);
        QString got;
        int value = -1;
        try {
            got = QString::number(field->AsInteger());
        } catch (const ERangeError& e) {
            got = "ERangeError " + e.Message();
        } catch (const EConvertError& e) {
            got = "EConvertError " + e.Message();
        }
        QCOMPARE(got, read);
        QCOMPARE(field->TryAsInteger(value), !read.startsWith('E'));
        QCOMPARE(value, read.startsWith('E') ? 0 : read.toInt());
    }

    // When the engine itself rolls a transaction back (a trigger), the
    // failed statement's error is raised and the transaction is over:
    // nothing of it stays, no later statement runs in it and it cannot
    // commit. Every transaction after it on the same connection is whole,
    // committed together or rolled back together.
    void engineRollbackEndsTheTransaction_data() { routes(); }
    void engineRollbackEndsTheTransaction()
    {
        QFETCH(bool, odbc);
        kvtest::TestDatabase file(false, odbc ? "dbFile" : "dbRoute");
        file.Exec("CREATE TABLE tItem (ID INTEGER PRIMARY KEY, Name TEXT);"
                  "CREATE TRIGGER refuse BEFORE INSERT ON tItem WHEN NEW.Name = 'bad' "
                  "BEGIN SELECT RAISE(ROLLBACK, 'refused by the trigger'); END;");
        Route route;
        if (!connectRoute(route, file, odbc))
            QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
        TDatabase* db = TDatabase::Find("dbRoute");
        const auto insert = [](const QString& name) { exec("INSERT INTO tItem (Name) VALUES ('" + name + "')"); };
        {
            TTransaction tx(db);
            insert("first");
            try {
                insert("bad");
                QFAIL("the trigger let the row in");
            } catch (const EDatabaseError& e) {
                QVERIFY2(e.Message().contains("refused by the trigger"), qPrintable(e.Message()));
            }
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, insert("after"));
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, tx.Commit());
        }
        QVERIFY(!db->InTransaction());
        QCOMPARE(file.Rows("SELECT Name FROM tItem"), QStringList());
        for (const QString round : {"1", "2", "3"}) {
            {
                TTransaction tx(db);
                insert("kept " + round);
                insert("also kept " + round);
                tx.Commit();
            }
            {
                TTransaction tx(db);
                insert("dropped " + round);
            }
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, [&] {
                TTransaction tx(db);
                insert("dropped " + round);
                insert("bad");
            }());
        }
        QCOMPARE(file.Rows("SELECT Name FROM tItem ORDER BY ID"),
                 QStringList({"kept 1", "also kept 1", "kept 2", "also kept 2", "kept 3", "also kept 3"}));
    }

    // A database error while rows are fetched inside a transaction (the
    // engine's own on a SQLite file; through ODBC, whose SQLite driver reads
    // every row when the statement runs, one put in the driver's place)
    // rolls the transaction back at once: nothing of it stays and it takes
    // no further statement. The transaction after it is whole.
    void fetchErrorEndsTheTransaction_data() { routes(); }
    void fetchErrorEndsTheTransaction()
    {
        QFETCH(bool, odbc);
        kvtest::TestDatabase file(false, odbc ? "dbFile" : "dbRoute");
        seed(file, 5);
        Route route;
        if (!connectRoute(route, file, odbc))
            QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
        TDatabase* db = TDatabase::Find("dbRoute");
        const TFetchFault previous = SetFetchFault([](int row) {
            return row == 2 ? QSqlError(QString(), "the third row could not be read", QSqlError::StatementError)
                            : QSqlError();
        });
        const auto rename = [](int id, const QString& name) {
            exec(QString("UPDATE tItem SET Name = '%1' WHERE ID = %2").arg(name).arg(id));
        };
        {
            TTransaction tx(db);
            rename(1, "changed");
            TQuery q(nullptr, "dbRoute");
            // On the file the third row's abs() of the smallest integer fails.
            q.SQL().SetText(odbc ? "SELECT ID FROM tItem ORDER BY ID"
                                 : "SELECT CASE WHEN ID = 3 THEN abs(-9223372036854775807 - 1) ELSE ID END FROM tItem "
                                   "ORDER BY ID");
            q.Open();
            QCOMPARE(q.Fields(0)->AsInteger(), 1);
            try {
                q.Last();
                QFAIL("every row was read");
            } catch (const EDatabaseError& e) {
                QVERIFY2(e.Message().contains(odbc ? "the third row could not be read" : "integer overflow"),
                         qPrintable(e.Message()));
            }
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, rename(2, "after"));
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, tx.Commit());
        }
        SetFetchFault(previous);
        QCOMPARE(file.Rows("SELECT Name FROM tItem WHERE ID <= 2 ORDER BY ID"), QStringList({"item 1", "item 2"}));
        {
            TTransaction tx(db);
            rename(1, "kept");
            rename(2, "also kept");
            tx.Commit();
        }
        QCOMPARE(file.Rows("SELECT Name FROM tItem WHERE ID <= 2 ORDER BY ID"), QStringList({"kept", "also kept"}));
    }

    // So does a count of the rows that fails inside a transaction (here one
    // the engine takes alone but not counted: its closing semicolon); outside
    // one, the rows are counted as they are read.
    void countErrorEndsTheTransaction_data() { routes(); }
    void countErrorEndsTheTransaction()
    {
        QFETCH(bool, odbc);
        kvtest::TestDatabase file(false, odbc ? "dbFile" : "dbRoute");
        seed(file, 5000);  // more than the first read takes
        Route route;
        if (!connectRoute(route, file, odbc))
            QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
        TDatabase* db = TDatabase::Find("dbRoute");
        TQuery q(nullptr, "dbRoute");
        q.SQL().SetText("SELECT ID FROM tItem;");
        q.Open();
        QCOMPARE(q.RecordCount(), 5000);
        q.Close();
        {
            TTransaction tx(db);
            exec("UPDATE tItem SET Name = 'changed' WHERE ID = 1");
            q.Open();
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, q.RecordCount());
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, tx.Commit());
        }
        QCOMPARE(file.Rows("SELECT Name FROM tItem WHERE ID = 1"), QStringList({"item 1"}));
    }

    void quotingHelpers_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("apostrophe") << "O'Brien's";
        QTest::newRow("wildcards") << "50%_off[1]";
        QTest::newRow("backslash") << "C:\\data\\";
        QTest::newRow("injection") << "' OR '1'='1";
        QTest::newRow("plain") << "plain";
    }
    void quotingHelpers()
    {
        QFETCH(QString, value);
        kvtest::TestDatabase db(false);
        db.Exec("CREATE TABLE tUser (ID INTEGER PRIMARY KEY, UserLogin TEXT COLLATE NOCASE);"
                "INSERT INTO tUser (UserLogin) VALUES ('50x_offa1]'), ('o''brien''s'), ('anything');");
        TQuery w(nullptr, "dbKVdata");
        w.SQL().Add("INSERT INTO tUser (UserLogin)");
        w.SQL().Add("VALUES ('" + SqlStr(value) + "')");
        const int id = w.ExecInsert();
        QCOMPARE(db.Value(QString("SELECT UserLogin FROM tUser WHERE ID = %1").arg(id)), value);
        TQuery q(nullptr, "dbKVdata");
        q.SQL().Add("SELECT ID FROM tUser");
        q.SQL().Add("WHERE UserLogin LIKE " + SqlLikeExact(value));
        q.Open();
        QCOMPARE(q.RecordCount(), value == "O'Brien's" ? 2 : 1);  // LIKE compares case-insensitively
        QCOMPARE(q.FieldByName("ID")->AsInteger(), value == "O'Brien's" ? 2 : id);
    }
    void likeExactTextForPlainValues()
    {
        QCOMPARE(SqlLikeExact("jsmith"), QString("'jsmith'"));
        QCOMPARE(SqlLikeExact("a_b"), QString("'a\\_b' ESCAPE '\\'"));
        QCOMPARE(SqlFloat(1234.5), QString("1234.5"));
        QCOMPARE(SqlFloat(0.1 + 0.2, 2), QString("0.30"));
    }

    // The message says what went wrong, not the engine's "not an error" of a
    // statement the driver itself refused.
    void refusedStatementsSayWhy()
    {
        kvtest::TestDatabase db(false);
        seed(db, 1);
        TQuery q(nullptr, "dbKVdata");
        q.SQL().SetText("UPDATE tItem SET Name = 'x'; DELETE FROM tItem");
        try {
            q.ExecSQL();
            QFAIL("two statements ran");
        } catch (const EDatabaseError& e) {
            QVERIFY2(e.Message().contains("Unable to execute multiple statements at a time"), qPrintable(e.Message()));
            QVERIFY2(!e.Message().contains("not an error"), qPrintable(e.Message()));
        }
        QCOMPARE(db.Value("SELECT Name FROM tItem"), QString("item 1"));
    }

    void disconnectClosesEveryDataSet()
    {
        kvtest::TestDatabase db(false);
        seed(db, 3);
        TQuery a(nullptr, "dbKVdata"), b(nullptr, "dbKVdata");
        a.SQL().SetText("SELECT * FROM tItem");
        b.SQL().SetText("SELECT ID FROM tItem");
        a.Open();
        b.Open();
        QSignalSpy closed(&a, &TDataSet::AfterClose);
        db.Db()->SetConnected(false);
        QVERIFY(!a.Active());
        QVERIFY(!b.Active());
        QCOMPARE(closed.count(), 1);
        a.Open();  // connects again
        QVERIFY(db.Db()->Connected());
    }

    void dataSourceTellsControls()
    {
        kvtest::TestDatabase db(false);
        seed(db, 3);
        TQuery q(nullptr, "dbKVdata");
        q.SQL().SetText("SELECT * FROM tItem");
        TDataSource ds(nullptr, &q);
        QSignalSpy state(&ds, &TDataSource::StateChange);
        QSignalSpy data(&ds, &TDataSource::DataChange);
        q.Open();
        QCOMPARE(state.count(), 1);
        const int before = data.count();
        q.DisableControls();
        q.Next();
        q.Next();
        QCOMPARE(data.count(), before);
        q.EnableControls();
        QVERIFY(data.count() > before);
        q.Close();
        QCOMPARE(state.count(), 2);
    }

    void dataSourceRule()
    {
        // An existing SQLite file opens with the embedded engine; anything else
        // is an ODBC data source name, and an unknown one fails with a message.
        QTemporaryDir dir;
        TDatabase db;
        db.DatabaseName = "dbOther";
        db.LoginPrompt = false;
        db.AliasName = dir.filePath("missing.db");
        try {
            db.SetConnected(true);
            QFAIL("must not connect");
        } catch (const EDatabaseError& e) {
            QVERIFY2(!e.Message().isEmpty(), "the engine's message is passed on");
        }
        QVERIFY(!db.Connected());
        QVERIFY(!QFile::exists(dir.filePath("missing.db")));
        db.AliasName.clear();
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, db.SetConnected(true));
    }

    void loginDialogWhenAsked()
    {
        kvtest::TestDatabase file(false);
        TDatabase db;
        db.DatabaseName = "dbLogin";
        db.AliasName = file.File();
        QString seenUser;
        auto old = TDatabase::SetLoginDialog([&](const QString& name, QString& user, QString& password) {
            seenUser = name + "/" + user;
            password = "pw";
            return false;
        });
        try {
            db.SetConnected(true);
            QFAIL("a cancelled login must not connect");
        } catch (const EDatabaseError& e) {
            QCOMPARE(e.Message(), QString("Cannot connect to database 'dbLogin'"));
        }
        QCOMPARE(seenUser, QString("dbLogin/sa"));
        TDatabase::SetLoginDialog([](const QString&, QString&, QString&) { return true; });
        db.SetConnected(true);
        QVERIFY(db.Connected());
        TDatabase::SetLoginDialog(old);
    }

    void odbcRoute()
    {
        // A DSN in a private odbc.ini that leads to SQLite through the SQLite
        // ODBC driver: the same translated statements run through it.
        kvtest::TestDatabase file(false, "dbFile");
        seed(file, 20);
        QTemporaryDir odbcDir;
        if (!kvtest::DefineSqliteOdbcDsn(odbcDir.path(), "kvtest", file.File()))
            QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");

        TDatabase db;
        db.DatabaseName = "dbOdbc";
        db.AliasName = "kvtest";
        db.LoginPrompt = false;
        db.Params.SetValue("PASSWORD", "unused");
        db.SetConnected(true);
        QVERIFY(!db.IsEmbedded());
        QVERIFY(db.IsSqlite());
        TQuery q(nullptr, "dbOdbc");
        q.SQL().Add("SELECT dbo.tItem.ID, LEFT(dbo.tItem.Name, 4) + '!' AS Short");
        q.SQL().Add("FROM dbo.tItem");
        q.SQL().Add("WHERE ID > 10AND ID < 13");
        q.SQL().Add("ORDER BY ID");
        q.Open();
        QCOMPARE(q.FieldByName("Short")->AsString(), QString("item!"));
        QCOMPARE(q.RecordCount(), 2);
        q.Next();
        QCOMPARE(q.FieldByName("ID")->AsInteger(), 12);
        {
            TTransaction tx(&db);
            TQuery w(nullptr, "dbOdbc");
            w.SQL().SetText("INSERT INTO tItem (Name) VALUES ('via odbc')");
            QCOMPARE(w.ExecInsert(), 21);
            w.SQL().SetText("DELETE tItem WHERE ID = 1");
            w.ExecSQL();
            tx.Commit();
        }
        db.SetConnected(false);
        QCOMPARE(file.Value("SELECT COUNT(*) FROM tItem WHERE ID = 1 OR Name = 'via odbc'"), QString("1"));
    }
};

KV_TEST_MAIN(TestDatabase)
#include "tst_database.moc"
