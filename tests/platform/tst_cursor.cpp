#include "Cursor.h"
#include "TestSupport.h"

// The two cursors, the engine's own on a SQLite file (on the program's
// connection or one of its own) and Qt's query on any connection, put the
// same values for the same rows; a data set reads the
// same fields and texts through the file and through an ODBC data source.
class TestCursor : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

    static TRowStore readAll(TCursor& cursor)
    {
        TRowStore rows;
        while (cursor.Next(rows)) {
        }
        return rows;
    }
    static QString describe(const TFieldDef& d)
    {
        return QStringLiteral("%1 %2 %3").arg(d.Name).arg(int(d.DataType)).arg(d.Size);
    }

private slots:
    void initTestCase()
    {
        db = std::make_unique<kvtest::TestDatabase>(false, "dbCursor");
        // Integers at every width the rows keep, texts short and long, odd
        // characters, blobs, nulls, and values of another type than declared.
        db->Exec(QStringLiteral(
                     "CREATE TABLE tMixed (ID INTEGER PRIMARY KEY, I INTEGER, R REAL, T TEXT, B BLOB, D TEXT, "
                     "F INTEGER, N NUMERIC, V VARCHAR(20));"
                     "INSERT INTO tMixed VALUES "
                     "(1, 0, 0.0, '', x'', '20260305', 0, 1.5, 'v'),"
                     "(2, -1, -2.5, 'Zoë ''quoted'' \"double\" €', x'00ff10', '20260305 14:07:09', 1, 7, 'w'),"
                     "(3, 9223372036854775807, 1e300, '%1', NULL, '2026-03-05 14:07:09.123', NULL, NULL, NULL),"
                     "(4, -9223372036854775808, 0.1, 'x', x'41', NULL, 5, 'abc', 12),"
                     "(5, 127, 3.0, '%2', zeroblob(300), 'not a date', 0, 2, NULL),"
                     "(6, 128, -0.0, 'tab\tnew\nline', NULL, '', 1, NULL, 'u'),"
                     "(7, -129, 1e-300, 'a', NULL, '19991231', 0, NULL, NULL),"
                     "(8, 32768, 2.5, 'b', NULL, NULL, 1, NULL, NULL),"
                     "(9, -2147483649, 7, 'text in a number column', NULL, NULL, 'yes', NULL, NULL),"
                     "(10, 'abc', 'def', 42, 4.5, 20260305, 2, NULL, NULL);")
                     .arg(QString(300, QChar('L')), QString(239, QChar('s'))));
    }
    void cleanupTestCase() { db.reset(); }

    void sameValuesBothWays_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("rows");
        QTest::newRow("table") << "SELECT * FROM tMixed ORDER BY ID" << 10;
        QTest::newRow("expressions") << "SELECT ID * 2 AS Twice, T || '!' AS Bang, NULL AS Empty, R / 3 AS Third, "
                                        "length(B) AS Size, CAST(I AS TEXT) AS IText FROM tMixed ORDER BY ID"
                                     << 10;
        QTest::newRow("aggregate") << "SELECT COUNT(*) AS N, MAX(T) AS M, SUM(ID) AS S FROM tMixed" << 1;
        QTest::newRow("join") << "SELECT X.ID, Y.T FROM tMixed X LEFT JOIN tMixed Y ON Y.ID = X.ID + 1 ORDER BY X.ID"
                              << 10;
        QTest::newRow("no rows") << "SELECT * FROM tMixed WHERE ID < 0" << 0;
    }
    void sameValuesBothWays()
    {
        QFETCH(QString, sql);
        QFETCH(int, rows);
        auto engine = OpenEngineCursor(*db->Db(), sql, "q");
        QVERIFY(engine);
        auto qt = OpenQtCursor(*db->Db(), sql, "q");
        QCOMPARE(engine->Columns().size(), qt->Columns().size());
        for (int c = 0; c < engine->Columns().size(); ++c)
            QCOMPARE(describe(engine->Columns()[c]), describe(qt->Columns()[c]));
        const TRowStore a = readAll(*engine);
        const TRowStore b = readAll(*qt);
        // On a connection of its own: the same values.
        auto reader = OpenReaderCursor(*db->Db(), sql, "q");
        const TRowStore own = readAll(*reader);
        QCOMPARE(own.End(), rows);
        for (int r = 0; r < rows; ++r)
            QCOMPARE(own.RowBytes(r), a.RowBytes(r));
        QCOMPARE(a.End(), rows);
        QCOMPARE(b.End(), rows);
        for (int r = 0; r < rows; ++r) {
            QCOMPARE(a.RowBytes(r), b.RowBytes(r));
            for (int c = 0; c < engine->Columns().size(); ++c) {
                const QVariant va = a.Value(r, c).toVariant();
                const QVariant vb = b.Value(r, c).toVariant();
                QCOMPARE(va.typeId(), vb.typeId());
                QCOMPARE(va, vb);
            }
        }
    }

    // The values come back as the engine holds them.
    void valuesKeepTheirType()
    {
        auto cursor = OpenEngineCursor(*db->Db(), "SELECT I, R, T, B FROM tMixed ORDER BY ID", "q");
        const TRowStore rows = readAll(*cursor);
        QCOMPARE(rows.Value(2, 0).toVariant(), QVariant(qlonglong(9223372036854775807LL)));
        QCOMPARE(rows.Value(3, 0).i, std::numeric_limits<qint64>::min());
        QCOMPARE(rows.Value(6, 0).i, qint64(-129));
        QCOMPARE(rows.Value(1, 1).toVariant(), QVariant(-2.5));
        QCOMPARE(rows.Value(1, 2).toVariant(), QVariant(QStringLiteral("Zoë 'quoted' \"double\" €")));
        QCOMPARE(rows.Value(2, 2).size, 300);
        QCOMPARE(rows.Value(1, 3).toVariant(), QVariant(QByteArray("\x00\xff\x10", 3)));
        QCOMPARE(rows.Value(4, 3).size, 300);
        QVERIFY(rows.Value(2, 3).isNull());
        QVERIFY(!rows.Value(2, 3).toVariant().isValid());
        QCOMPARE(rows.Value(9, 0).toVariant(), QVariant(QStringLiteral("abc")));  // text in a number column
        // Leading U+FEFF characters are the text's own, not marks to drop.
        auto marked = OpenEngineCursor(*db->Db(), "SELECT char(65279, 65279) || 'abc'", "q");
        QCOMPARE(readAll(*marked).Value(0, 0).toVariant(), QVariant(QString(2, QChar(0xFEFF)) + "abc"));
        QVERIFY(rows.Value(0, 9).isNull());  // no such column
    }

    void errorsBothWays_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("rowsBefore");
        QTest::addColumn<QString>("message");
        QTest::newRow("no such table") << "SELECT * FROM tNothing" << 0 << "q: no such table: tNothing";
        QTest::newRow("no rows to return") << "UPDATE tMixed SET I = I WHERE 1 = 0" << 0
                                           << "q: The statement does not return a result set";
        QTest::newRow("half way") << "SELECT ID, CASE WHEN ID = 4 THEN abs(I) ELSE 0 END AS A FROM tMixed "
                                     "WHERE ID IN (1, 2, 4, 5) ORDER BY ID"
                                  << 2 << "q: integer overflow";
    }
    void errorsBothWays()
    {
        QFETCH(QString, sql);
        QFETCH(int, rowsBefore);
        QFETCH(QString, message);
        for (auto open : {&OpenEngineCursor, &OpenQtCursor, &OpenReaderCursor}) {
            TRowStore rows;
            QString error;
            try {
                auto cursor = open(*db->Db(), sql, "q");
                while (cursor->Next(rows)) {
                }
            } catch (const EDatabaseError& e) {
                error = e.Message();
            }
            QCOMPARE(error, message);
            QCOMPARE(rows.End(), rowsBefore);
        }
    }

    // Values bound to a statement's ? marks, on the file and through ODBC:
    // the statement read again for other values (kept by the file's
    // connection, not prepared again) finds their rows.
    void boundValuesReadAgain()
    {
        kvtest::OdbcDataSource dsn("kvbound", db->File());
        const std::unique_ptr<TDatabase> odbc = dsn.Available() ? dsn.Connect("dbOdbcBound") : nullptr;
        for (const char* name : {"dbCursor", "dbOdbcBound"}) {
            if (!TDatabase::Find(name))
                continue;  // no ODBC here
            TQuery q(nullptr, name);
            q.SQL().Add("SELECT ID FROM tMixed WHERE T = ? OR ID = ? ORDER BY ID");
            QStringList found;
            for (const QVariantList& values : {QVariantList{"Zoë 'quoted' \"double\" €", 0}, {QVariant(), 7},
                                               {"x", qlonglong(8)}}) {
                q.Close();
                q.Params = values;
                q.Open();
                QStringList ids;
                for (; !q.Eof(); q.Next())
                    ids << q.Fields(0)->AsString();
                found << ids.join(',');
            }
            QCOMPARE(found, QStringList({"2", "7", "4,8"}));
        }
        const QByteArray kept = db->Db()->PrepareSql("SELECT ID FROM tMixed WHERE T = ? OR ID = ? ORDER BY ID").toUtf8();
        sqlite3_stmt* statement = db->Db()->TakeStatement(kept);
        QVERIFY(statement);
        db->Db()->KeepStatement(kept, statement);
    }

    // Through an ODBC data source on the same file a query reads the same
    // fields (names, types, sizes) and the same values and texts.
    void odbcReadsTheSameFields()
    {
        kvtest::OdbcDataSource dsn("kvcursor", db->File());
        if (!dsn.Available())
            QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
        const std::unique_ptr<TDatabase> odbc = dsn.Connect("dbOdbcCursor");
        QVERIFY(!odbc->IsEmbedded());

        // Numbers of every width come whole (the SQLite ODBC driver gives
        // 32-bit ones unless asked for more); the SQLite ODBC driver reads no
        // text in an INTEGER column: those rows are left out.
        const QString sql = "SELECT ID, I, R, T, D, F, V, ID * 2 AS Twice, T + '!' AS Bang FROM tMixed "
                            "WHERE ID NOT IN (9, 10) ORDER BY ID";
        TQuery direct(nullptr, "dbCursor");
        TQuery viaOdbc(nullptr, "dbOdbcCursor");
        for (TQuery* q : {&direct, &viaOdbc})
            q->SQL().Add(sql);
        auto def = [](const char* name, TFieldType type, bool currency = false) {
            TFieldDef d;
            d.Name = QLatin1String(name);
            d.DataType = type;
            d.Size = type == ftString ? 40 : 0;
            d.Currency = currency;
            return d;
        };
        const QVector<TFieldDef> typed = {def("ID", ftInteger), def("I", ftLargeint), def("R", ftFloat, true),
                                          def("T", ftString), def("D", ftDateTime), def("F", ftBoolean),
                                          def("V", ftString), def("Twice", ftInteger), def("Bang", ftString)};
        for (bool persistent : {false, true}) {
            for (TQuery* q : {&direct, &viaOdbc}) {
                q->Close();
                q->SetFieldDefs(persistent ? typed : QVector<TFieldDef>());
                q->Open();
            }
            QCOMPARE(viaOdbc.FieldCount(), direct.FieldCount());
            for (int i = 0; i < direct.FieldCount(); ++i) {
                QCOMPARE(viaOdbc.Fields(i)->FieldName(), direct.Fields(i)->FieldName());
                if (persistent || (i != 7 && i != 8))  // expressions: the ODBC driver names them text
                    QCOMPARE(int(viaOdbc.Fields(i)->DataType()), int(direct.Fields(i)->DataType()));
            }
            int rows = 0;
            for (; !direct.Eof(); direct.Next(), viaOdbc.Next(), ++rows) {
                QVERIFY(!viaOdbc.Eof());
                for (int i = 0; i < direct.FieldCount(); ++i) {
                    const TField* a = direct.Fields(i);
                    const TField* b = viaOdbc.Fields(i);
                    const QString where = QStringLiteral("row %1 %2").arg(rows + 1).arg(a->FieldName());
                    QVERIFY2(a->IsNull() == b->IsNull(), qPrintable(where));
                    QVERIFY2(a->DisplayText() == b->DisplayText(),
                             qPrintable(where + ": " + a->DisplayText() + " / " + b->DisplayText()));
                    try {
                        QVERIFY2(a->AsString() == b->AsString(), qPrintable(where));
                    } catch (const EConvertError&) {
                        QVERIFY_THROWS_EXCEPTION(EConvertError, b->AsString());
                    }
                }
            }
            QVERIFY(viaOdbc.Eof());
            QCOMPARE(rows, 8);
        }
    }
};

KV_TEST_MAIN(TestCursor)
#include "tst_cursor.moc"
