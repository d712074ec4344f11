#include "Formats.h"
#include <cmath>
#include "Locale.h"
#include "SysUtils.h"
#include "TestSupport.h"
#include <QLocale>

class TestSysUtils : public QObject {
    Q_OBJECT
private slots:
    void init() { SetFormatSettings(TFormatSettings::DayFirstEnglish()); }

    void strToInt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "124" << true << 124;
        QTest::newRow("leading blanks") << "  7" << true << 7;
        QTest::newRow("trailing blank") << "7 " << false << 0;
        QTest::newRow("negative") << "-15" << true << -15;
        QTest::newRow("hex pair") << "$A9" << true << 0xA9;
        QTest::newRow("hex lower") << "$ff" << true << 255;
        QTest::newRow("not hex") << "$G1" << false << 0;
        QTest::newRow("blank in hex") << "$ 1" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("letters") << "abc" << false << 0;
        QTest::newRow("too large") << "99999999999" << false << 0;
    }
    void strToInt()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        int v = -1;
        QCOMPARE(TryStrToInt(text, v), ok);
        if (ok) {
            QCOMPARE(v, value);
            QCOMPARE(StrToInt(text), value);
        } else {
            try {
                StrToInt(text);
                QFAIL("must raise");
            } catch (const EConvertError& e) {
                QCOMPARE(e.Message(), QString("'%1' is not a valid integer value").arg(text));
            }
        }
        QCOMPARE(StrToIntDef(text, -9), ok ? value : -9);
    }

    void dateNumbers()
    {
        QCOMPARE(EncodeDate(1899, 12, 30), 0.0);
        QCOMPARE(EncodeDate(2026, 3, 5), 46086.0);
        int y, m, d;
        DecodeDate(46086.75, y, m, d);
        QCOMPARE(QList<int>({y, m, d}), QList<int>({2026, 3, 5}));
        int h, n, s, ms;
        DecodeTime(46086.75, h, n, s, ms);
        QCOMPARE(QList<int>({h, n, s, ms}), QList<int>({18, 0, 0, 0}));
        QVERIFY_THROWS_EXCEPTION(EConvertError, EncodeDate(2026, 2, 29));
        QCOMPARE(DaysInMonth(2028, 2), 29);
        QCOMPARE(Date(), EncodeDate(2026, 3, 5));  // the tests' fixed clock
    }

    void incMonthCutsTheDay_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<int>("months");
        QTest::addColumn<QDate>("to");
        QTest::newRow("31 Jan to a short February") << QDate(2026, 1, 31) << 1 << QDate(2026, 2, 28);
        QTest::newRow("31 Jan to a leap February") << QDate(2024, 1, 31) << 1 << QDate(2024, 2, 29);
        QTest::newRow("31 Mar back to 30 days") << QDate(2026, 3, 31) << -1 << QDate(2026, 2, 28);
        QTest::newRow("over the year end") << QDate(2026, 12, 15) << 1 << QDate(2027, 1, 15);
        QTest::newRow("back over the year start") << QDate(2026, 1, 15) << -1 << QDate(2025, 12, 15);
        QTest::newRow("29 Feb a year on") << QDate(2024, 2, 29) << 12 << QDate(2025, 2, 28);
    }
    void incMonthCutsTheDay()
    {
        QFETCH(QDate, from);
        QFETCH(int, months);
        QFETCH(QDate, to);
        QCOMPARE(DateTimeToQDate(IncMonth(QDateToDateTime(from) + 0.5, months)), to);
        QCOMPARE(IncMonth(QDateToDateTime(from) + 0.5, months) - std::floor(IncMonth(QDateToDateTime(from) + 0.5, months)), 0.5);
    }
    void dayOfWeekCountsFromSunday()
    {
        QCOMPARE(DayOfWeek(EncodeDate(2026, 3, 1)), 1);  // a Sunday
        QCOMPARE(DayOfWeek(EncodeDate(2026, 3, 5)), 5);  // a Thursday
        QCOMPARE(DayOfWeek(EncodeDate(2026, 3, 7)), 7);
    }

    void formatDateTime_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("text");
        QTest::newRow("short date") << "dd/mm/yyyy" << "05/03/2026";
        QTest::newRow("no zeros") << "d/m/yy" << "5/3/26";
        QTest::newRow("minutes after hours") << "hh:mm" << "14:07";
        QTest::newRow("nn minutes") << "h:nn:ss" << "14:07:09";
        QTest::newRow("month names") << "mmm mmmm" << "Mar March";
        QTest::newRow("day names") << "ddd dddd" << "Thu Thursday";
        QTest::newRow("am/pm") << "h:nn ampm" << "2:07 PM";
        QTest::newRow("quoted literal") << "yyyy\"-\"mm" << "2026-03";
        QTest::newRow("c") << "c" << "05/03/2026 14:07:09";
        QTest::newRow("title") << "MMMM, YYYY" << "March, 2026";
    }
    void formatDateTime()
    {
        QFETCH(QString, format);
        QFETCH(QString, text);
        QCOMPARE(FormatDateTime(format, Now()), text);
    }
    void separatorsFollowTheProfile()
    {
        TFormatSettings fs = TFormatSettings::DayFirstEnglish();
        fs.DateSeparator = '.';
        SetFormatSettings(fs);
        QCOMPARE(FormatDateTime("dd/mm/yyyy", Date()), QString("05.03.2026"));
        QCOMPARE(DateToStr(Date()), QString("05.03.2026"));
        QCOMPARE(FormatLettersFromQt("dd.MM.yyyy"), QString("dd.mm.yyyy"));
        QCOMPARE(FormatLettersFromQt("h:mm:ss AP"), QString("h:nn:ss AMPM"));
    }

    void floats_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("general");
        QTest::addColumn<QString>("currency");
        QTest::newRow("simple") << 1.25 << "1.25" << "$1.25";
        QTest::newRow("whole") << 1234567.0 << "1234567" << "$1,234,567.00";
        QTest::newRow("negative") << -0.5 << "-0.5" << "-$0.50";
        QTest::newRow("tiny negative rounds to zero") << -0.001 << "-0.001" << "$0.00";
        QTest::newRow("large") << 1e20 << "1E20" << "$100,000,000,000,000,000,000.00";
        QTest::newRow("small") << 0.0000015 << "1.5E-6" << "$0.00";
        QTest::newRow("zero") << 0.0 << "0" << "$0.00";
    }
    void floats()
    {
        QFETCH(double, value);
        QFETCH(QString, general);
        QFETCH(QString, currency);
        QCOMPARE(FloatToStr(value), general);
        QCOMPARE(CurrToStrF(value, ffCurrency, 2), currency);
    }
    void strToFloatUsesTheRegionalPoint()
    {
        QCOMPARE(StrToFloat("12.5"), 12.5);
        TFormatSettings fs = TFormatSettings::DayFirstEnglish();
        fs.DecimalSeparator = ',';
        SetFormatSettings(fs);
        QCOMPARE(StrToFloat("12,5"), 12.5);
        QVERIFY_THROWS_EXCEPTION(EConvertError, StrToFloat("12.5"));
        QVERIFY_THROWS_EXCEPTION(EConvertError, StrToFloat("1,234,5"));
    }
    // Typed amounts under the regional settings built from each locale: a
    // thousands separator (or the apostrophe or blank typed for it) groups,
    // a lone point or comma before fewer than three digits is the point.
    void amountReading_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("pointText");  // empty: no number
        QTest::addColumn<bool>("grouped");
        QTest::newRow("de_DE point groups") << "de_DE" << "1.000" << "1000" << true;
        QTest::newRow("de_DE grouped with decimals") << "de_DE" << " 1.234,5 " << "1234.5" << true;
        QTest::newRow("de_DE lone point") << "de_DE" << "300.5" << "300.5" << false;
        QTest::newRow("de_DE point before four digits") << "de_DE" << "1.0000" << "10000" << true;
        QTest::newRow("de_DE two commas") << "de_DE" << "1,2,3" << "" << false;
        QTest::newRow("de_CH typed apostrophe") << "de_CH" << "1'000.5" << "1000.5" << true;
        QTest::newRow("de_CH its own apostrophe") << "de_CH" << QString::fromUtf8("1\u2019000.5") << "1000.5" << true;
        QTest::newRow("de_CH comma as the point") << "de_CH" << "1,5" << "1.5" << false;
        QTest::newRow("fr_FR typed blank") << "fr_FR" << "1 000,5" << "1000.5" << true;
        QTest::newRow("fr_FR its own blank") << "fr_FR" << QString::fromUtf8("1\u202F000,5") << "1000.5" << true;
        QTest::newRow("fr_FR point as the comma") << "fr_FR" << "1.000" << "1.000" << false;
        QTest::newRow("en_AU lone comma") << "en_AU" << "1,5" << "1.5" << false;
        QTest::newRow("en_AU grouped") << "en_AU" << "-1,234.5" << "-1234.5" << true;
    }
    void amountReading()
    {
        QFETCH(QString, locale);
        QFETCH(QString, typed);
        QFETCH(QString, pointText);
        QFETCH(bool, grouped);
        SetFormatSettings(TFormatSettings::FromLocale(QLocale(locale)));
        QString text;
        bool dropped = false;
        QCOMPARE(AmountPointText(typed, text, &dropped), !pointText.isEmpty());
        if (!pointText.isEmpty()) {
            QCOMPARE(text, pointText);
            QCOMPARE(dropped, grouped);
        }
    }
    void formatFloat_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("optional decimals") << "#0.##" << 12.5 << "12.5";
        QTest::newRow("optional decimals, whole") << "#0.##" << 3.0 << "3";
        QTest::newRow("rounds") << "#0.##" << 2.346 << "2.35";
        QTest::newRow("grouping") << "#,##0.00" << 1234567.891 << "1,234,567.89";
        QTest::newRow("negative") << "#,##0.00" << -1234.5 << "-1,234.50";
        QTest::newRow("negative section") << "0.00;(0.00)" << -2.5 << "(2.50)";
        QTest::newRow("zero section") << "0.00;-0.00;nil" << 0.0 << "nil";
        QTest::newRow("no integer digits") << "#.##" << 0.5 << ".5";
        QTest::newRow("literal text") << "\"km \"0.0" << 3.25 << "km 3.3";
        QTest::newRow("three decimals") << "0.000" << 1.0 << "1.000";
        QTest::newRow("half a cent rounds up as on paper") << "0.00" << 0.105 << "0.11";
        QTest::newRow("carry into the integer part") << "#,##0.00" << 999.999 << "1,000.00";
        QTest::newRow("small negative rounds to zero without a sign") << "0.00" << -0.001 << "0.00";
        QTest::newRow("comma before the first digit groups") << ",0.##" << 1234.5 << "1,234.5";
        QTest::newRow("symbol then grouping") << "$,0.00;-$,0.00" << 1234.5 << "$1,234.50";
        QTest::newRow("symbol then grouping, negative") << "$,0.00;-$,0.00" << -1234.5 << "-$1,234.50";
        QTest::newRow("quoted point in a trailing symbol") << ",0.00 'kr.'" << 1234567.0 << "1,234,567.00 kr.";
    }
    void formatFloat()
    {
        QFETCH(QString, format);
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(FormatFloat(format, value), text);
    }

    void roundHalfEven()
    {
        QCOMPARE(RoundHalfEven(0.125, 2), 0.12);
        QCOMPARE(RoundHalfEven(0.135, 2), 0.14);
        QCOMPARE(RoundHalfEven(-0.125, 2), -0.12);
        QCOMPARE(RoundHalfEven(2.5, 0), 2.0);
        QCOMPARE(RoundHalfEven(3.5, 0), 4.0);
    }
};

KV_TEST_MAIN(TestSysUtils)
#include "tst_sysutils.moc"
