#include "DataMod.h"
#include "DateFunctions.h"
#include "GenFns.h"
#include "IniFiles.h"
#include "Locale.h"
#include "TestSupport.h"
#include <QFile>

class TestGenFns : public QObject {
    Q_OBJECT
private slots:
    void numberTexts_data()
    {
        QTest::addColumn<QString>("routine");
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::addColumn<bool>("flag");
        QTest::newRow("cut: digit then letter") << "cut" << " 12a4 " << "12" << true;
        QTest::newRow("cut: clean number keeps its blanks") << "cut" << " 124 " << " 124 " << false;
        QTest::newRow("cut: inner blank") << "cut" << "1 2" << "1" << true;
        QTest::newRow("decimal: point") << "decimal" << "12.50" << "12.50" << true;
        QTest::newRow("decimal: comma") << "decimal" << "12,50" << "12" << false;
        QTest::newRow("strip: only the last") << "strip" << " 12ab " << "12a" << true;
        QTest::newRow("strip: digits") << "strip" << "123 " << "123 " << false;
    }
    void numberTexts()
    {
        QFETCH(QString, routine);
        QFETCH(QString, in);
        QFETCH(QString, out);
        QFETCH(bool, flag);
        QString s = in;
        bool f = !flag;
        if (routine == "cut")
            CutAtFirstNonDigit(s, f);
        else if (routine == "decimal")
            CheckDecimalText(s, f);
        else
            StripTrailingNonDigit(s, f);
        QCOMPARE(s, out);
        QCOMPARE(f, flag);
    }

    void sortToggle_data()
    {
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("result");
        QTest::newRow("new column ascending") << "ORDER BY Description" << "ID" << "ORDER BY  ID";
        QTest::newRow("same column descending") << "ORDER BY  ID" << "ID" << "ORDER BY  ID DESC";
        QTest::newRow("descending goes back") << "ORDER BY ID DESC" << "ID" << "ORDER BY  ID";
        QTest::newRow("a name that merely ends the line") << "ORDER BY  ServiceID" << "ID" << "ORDER BY  ID";
        QTest::newRow("qualified key") << "ORDER BY tTransactionGroup.ID" << "ID"
                                       << "ORDER BY tTransactionGroup.ID DESC";
        QTest::newRow("not an ORDER BY line") << "WHERE Active = 1" << "ID" << "WHERE Active = 1";
        QTest::newRow("several keys left alone") << "ORDER BY A, B" << "C" << "ORDER BY A, B";
        QTest::newRow("reserved name in brackets") << "ORDER BY [Table]" << "Table" << "ORDER BY [Table] DESC";
        QTest::newRow("reserved name sorts in brackets") << "ORDER BY ID" << "Table" << "ORDER BY  [Table]";
    }
    void sortToggle()
    {
        QFETCH(QString, last);
        QFETCH(QString, field);
        QFETCH(QString, result);
        TStringList sql{"SELECT *", "FROM tX", last};
        ToggleSortOrder(field, sql);
        QCOMPARE(sql.Lines(), QStringList({"SELECT *", "FROM tX", result}));
    }

    // SQL texts take neither the regional comma nor a 12-hour clock; totals
    // round each value to cents (halves to even) before adding.
    void sqlTextsAndTotals()
    {
        const TDateTime d = EncodeDate(2026, 3, 5) + EncodeTime(14, 7, 9, 0);
        TFormatSettings fs = TFormatSettings::DayFirstEnglish();
        fs.DecimalSeparator = ',';
        fs.LongTimeFormat = "h:nn:ss AMPM";
        fs.DateSeparator = '.';
        SetFormatSettings(fs);
        const QStringList texts{CurrToFixed2(0.1), CurrToFixed2(1.005), CurrToFixed2(-2.345),
                                DateTimeToSql(d), DateToDMY(d), DateToYMD(EncodeDate(987, 1, 2))};
        SetFormatSettings(TFormatSettings::DayFirstEnglish());
        QCOMPARE(texts, QStringList({"0.10", "1.01", "-2.35", "20260305 14:07:09", "05/03/2026", "09870102"}));
        QCOMPARE(AddCurrRounded(0.125, 0.125), 0.24);
        QCOMPARE(AddCurrRounded(0.135, 0.0), 0.14);
        QCOMPARE(AddCurrRounded(-0.125, 1.0), 0.88);
    }

    void auditLines()
    {
        TStringList lines;
        AddAuditField("NAME", "A", "A", lines);
        AddAuditField("NAME", "A", "a", lines);
        AddAuditField("ENDDATE", "20260101", "", lines);
        AddAuditField("STARTDATE", "", "20260305", lines);
        AddAuditField("NOTE", "it's", "O'Neil", lines);
        QCOMPARE(lines.Lines(), QStringList({",'NAME','A','a')", ",'ENDDATE','20260101',NULL)",
                                             ",'STARTDATE',NULL,'20260305')", ",'NOTE','it''s','O''Neil')"}));
        QString insert, columns, values;
        BeginAuditTrail("o'brien", "12", "tCustomer", insert, columns, values);
        QCOMPARE(insert, QString("INSERT INTO tAuditTrail"));
        QCOMPARE(columns, QString("(UserID,ActionTime,Action,TableName,TableID,FieldName,OldValue,NewValue)"));
        QCOMPARE(values, QString("VALUES ('o''brien','20260305 14:07:09',12,'tCustomer',"));
        // Without a tEvent id there is no row to write.
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, BeginAuditTrail("u", "", "tX", insert, columns, values));
    }

    void auditTrailIsWritten()
    {
        kvtest::TestDatabase db;
        db.Exec("INSERT INTO tAudit (ID, [Table]) VALUES (1, 'tCustomer');");
        QVERIFY(IsTableAudited(" TCUSTOMER "));
        QVERIFY(!IsTableAudited("tCust%"));  // a table name matches only itself

        QString insert, columns, values;
        BeginAuditTrail("o'brien", "12", "tCustomer", insert, columns, values);
        AppendText("42", values);
        TStringList lines;
        AddAuditField("NAME", "Acme", "Acme's", lines);
        AddAuditField("ENDDATE", "20260101", "", lines);
        WriteAuditTrail(insert, columns, values, lines);
        QCOMPARE(db.Rows("SELECT UserID, ActionTime, Action, TableName, TableID, FieldName, OldValue, NewValue "
                         "FROM tAuditTrail ORDER BY FieldName"),
                 QStringList({"o'brien|20260305 14:07:09|12|tCustomer|42|ENDDATE|20260101|NULL",
                              "o'brien|20260305 14:07:09|12|tCustomer|42|NAME|Acme|Acme's"}));

        // The rows of one change stand or fall together.
        db.Exec("CREATE TRIGGER noNotes BEFORE INSERT ON tAuditTrail WHEN NEW.FieldName = 'NOTE' "
                "BEGIN SELECT RAISE(ABORT, 'notes refused'); END;");
        TStringList two;
        AddAuditField("NAME", "a", "b", two);
        AddAuditField("NOTE", "c", "d", two);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, WriteAuditTrail(insert, columns, values, two));
        QCOMPARE(db.Value("SELECT COUNT(*) FROM tAuditTrail"), QString("2"));
    }

    void parameters()
    {
        kvtest::TestDatabase db;
        QString value = "x";
        GetParameter("UserDirectory", value);
        QCOMPARE(value, QString());
        SetParameter("UserDirectory", "/home/o'brien/exports", "PARMTEXT");
        QCOMPARE(db.Rows("SELECT Parm, ParmField, ParmText, ParmUserDefined FROM tParameter"),
                 QStringList({"UserDirectory|PARMTEXT|/home/o'brien/exports|1"}));
        SetParameter("UserDirectory", "/tmp", "PARMTEXT");
        GetParameter("userdirectory", value);
        QCOMPARE(value, QString("/tmp"));
        GetParameter("User%", value);  // a parameter name matches only itself
        QCOMPARE(value, QString());

        // Only what both servers read as a number goes in bare.
        for (const char* bad : {"1; DELETE FROM tUser", "1,000", "inf", "nan", "1e999", "0x10"})
            QVERIFY_THROWS_EXCEPTION(EConvertError, SetParameter("MaxRows", bad, "PARMNUMBER"));
        QCOMPARE(db.Value("SELECT COUNT(*) FROM tParameter WHERE Parm = 'MaxRows'"), QString("0"));
        SetParameter("MaxRows", "250", "PARMNUMBER");
        GetParameter("MaxRows", value);
        QCOMPARE(value, QString("250"));
        // Only a plain column name from the row is spliced into the statement.
        db.Exec("INSERT INTO tParameter (Parm, ParmField) VALUES ('Evil', 'ParmText FROM tUser --');");
        try {
            GetParameter("Evil", value);
            QFAIL("a statement was spliced into the parameter query");
        } catch (const EDatabaseError& e) {
            QCOMPARE(e.Message(), QString("Field 'ParmText FROM tUser --' not found"));
        }
    }

    void testDatabaseDecision()
    {
        QFile::remove(SettingsFileName());
        TIniFile ini(SettingsFileName());
        ini.WriteString("DBconnection", "KVDSN", "kvmain");
        QVERIFY(!IsTestDatabase());
        ini.WriteString("TestCfg", "id1", TDM::EncodeString("kvmain"));
        QVERIFY(IsTestDatabase());
        ini.WriteString("TestCfg", "id1", "zz");  // unreadable counts as missing
        QVERIFY(!IsTestDatabase());
        ini.WriteString("DBconnection", "KVDSN", "/data/kv_Test.db");
        QVERIFY(IsTestDatabase());
    }
};

KV_TEST_MAIN(TestGenFns)
#include "tst_genfns.moc"
