#include "FieldText.h"
#include "Locale.h"
#include "TestSupport.h"

// The text a field gives for a stored value, written straight as bytes for
// exports, is byte for byte the text AsString gives: for every kind of field
// and stored value, under regional formats that keep dates and times apart
// and under ones that mix them.
class TestFieldText : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

private slots:
    void initTestCase()
    {
        db = std::make_unique<kvtest::TestDatabase>(false, "dbFieldText");
        // Date texts in the database's forms (the same time on other days
        // too) and beside them, numbers (amounts, and floating-point numbers
        // at the edges of the fixed notation, of fifteen digits and of
        // halves between two fifteen-digit neighbours), odd texts (quotes,
        // non-ASCII, bytes that are no UTF-8), blobs, null.
        db->Exec("CREATE TABLE tValues (N INTEGER PRIMARY KEY, V);"
                 "INSERT INTO tValues (V) VALUES "
                 "('20260305'), ('20260305 14:07:09'), ('20260305 00:00:00'), ('20260305 00:00:01'),"
                 "('19991231 23:59:59'), ('20240229 12:00:00'), ('20260229'), ('20261332'), ('00000000'),"
                 "('20260305 24:00:00'), ('20260305 14:60:00'), (' 20260305'), ('20260305 '),"
                 "('2026-03-05 14:07:09'), ('2026-03-05T14:07:09.250'), ('20260305 14:07:09.5'),"
                 "('20260305 14:07'), ('20260305X14:07:09'), ('20260306 14:07:09'), ('19991231 14:07:09'), (''), ('text \"with\" quotes, commas'),"
                 "('Zoë €'), (CAST(x'ff41' AS TEXT)), (0), (1), (-5), (2), (9223372036854775807),"
                 "(-9223372036854775808), (1.5), (-0.25), (1e20), (NULL), (x'0102'), ('12'), (' 7 '),"
                 "(123.45), (-1234567.89), (0.1), (1.0), (-0.0), (0.0001), (0.00009999), (1e15), (999999999999999.0),"
                 "(999999999999999.9), (100000000000000.5), (9401882822357.625), (0.1 + 0.2), (1.0 / 3),"
                 "(123456789012.345), (4.35), (9007199254740993),"
                 "('yes'), ('True'), ('0');");
    }
    void cleanupTestCase()
    {
        db.reset();
        SetFormatSettings(TFormatSettings::DayFirstEnglish());
    }

    void sameBytesAsAsString_data()
    {
        QTest::addColumn<QString>("shortDate");
        QTest::addColumn<QString>("longTime");
        QTest::addColumn<int>("type");
        QTest::addColumn<QChar>("decimal");
        const struct {
            const char* name;
            const char* date;
            const char* time;
            char decimal;
        } formats[] = {
            {"day first", "dd/mm/yyyy", "hh:nn:ss", '.'},
            {"month first, 12 hours", "m/d/yyyy", "h:nn:ss am/pm", '.'},
            {"time shows the day", "dd/mm/yyyy", "hh:nn:ss \"on\" dd", '.'},
            {"date shows the hour", "dd/mm/yyyy hh", "hh:nn:ss", '.'},
            {"quoted letters, decimal comma", "yyyy-mm-dd", "hh\"h\"nn'm'", ','},
        };
        const struct {
            const char* name;
            TFieldType type;
        } types[] = {{"text", ftString},     {"integer", ftInteger}, {"large integer", ftLargeint},
                     {"float", ftFloat},     {"money", ftCurrency},   {"date-time", ftDateTime}, {"date", ftDate},
                     {"time", ftTime},       {"flag", ftBoolean},     {"memo", ftMemo}};
        for (const auto& f : formats)
            for (const auto& t : types)
                QTest::addRow("%s, %s", f.name, t.name) << f.date << f.time << int(t.type) << QChar(f.decimal);
    }
    void sameBytesAsAsString()
    {
        QFETCH(QString, shortDate);
        QFETCH(QString, longTime);
        QFETCH(int, type);
        QFETCH(QChar, decimal);
        TFormatSettings fs = TFormatSettings::DayFirstEnglish();
        fs.ShortDateFormat = shortDate;
        fs.LongTimeFormat = longTime;
        fs.DecimalSeparator = decimal;
        SetFormatSettings(fs);
        TFieldDef def;
        def.Name = "V";
        def.DataType = TFieldType(type);
        TQuery q(nullptr, "dbFieldText");
        q.SQL().SetText("SELECT V FROM tValues ORDER BY N");
        q.SetFieldDefs({def});
        q.Open();
        // Twice over the rows: what the writer keeps from the first round
        // gives the same bytes in the second.
        for (int round = 0; round < 2; ++round) {
            TFieldText text(q.Fields(0));
            for (q.First(); !q.Eof(); q.Next()) {
                QByteArray written = "x";
                text.Append(written, q.ValueRef(q.CurrentRow(), 0));
                const QByteArray expected = "x" + q.Fields(0)->AsString().toUtf8();
                QVERIFY2(written == expected, qPrintable(QString("row %1: %2 / %3")
                                                             .arg(q.RecNo())
                                                             .arg(QString::fromUtf8(written), QString::fromUtf8(expected))));
            }
        }
    }
};

KV_TEST_MAIN(TestFieldText)
#include "tst_fieldtext.moc"
