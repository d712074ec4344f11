#include "Clock.h"
#include "DateUtil.h"
#include "Locale.h"
#include "TestSupport.h"

namespace {

// The regional profiles the rows name.
TFormatSettings profile(const QString& name)
{
    TFormatSettings fs = TFormatSettings::DayFirstEnglish();
    if (name == QLatin1String("mdy")) {
        fs.ShortDateFormat = QStringLiteral("M/d/yyyy");
    } else if (name == QLatin1String("ymd")) {
        fs.ShortDateFormat = QStringLiteral("yyyy/mm/dd");
    } else if (name == QLatin1String("dmy.")) {
        fs.ShortDateFormat = QStringLiteral("dd.mm.yyyy");
        fs.DateSeparator = '.';
    } else if (name == QLatin1String("dmy2")) {
        fs.ShortDateFormat = QStringLiteral("dd/mm/yy");
    }
    return fs;
}

}  // namespace

class TestDateUtil : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        SetFormatSettings(TFormatSettings::DayFirstEnglish());
        Clock::SetFixed(QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9)));
    }

    void dateOrderOfAFormat_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("order");
        QTest::newRow("day first") << "dd/mm/yyyy" << int(doDMY);
        QTest::newRow("month first") << "M/d/yy" << int(doMDY);
        QTest::newRow("year first") << "yyyy-MM-dd" << int(doYMD);
        QTest::newRow("era year first") << "ee/mm/dd" << int(doYMD);
        QTest::newRow("upper case") << "MM/DD/YYYY" << int(doMDY);
        QTest::newRow("no date letters") << "hh:nn" << int(doDMY);
    }
    void dateOrderOfAFormat()
    {
        QFETCH(QString, format);
        QFETCH(int, order);
        QCOMPARE(int(DateOrderOf(format)), order);
    }

    void defaultsFollowTheLocale_data()
    {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<bool>("fourDigits");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("mask");
        QTest::newRow("day first") << "dmy" << true << "DD/MM/YYYY" << "!99/99/9999;1; ";
        QTest::newRow("month first") << "mdy" << true << "MM/DD/YYYY" << "!99/99/9999;1; ";
        QTest::newRow("year first") << "ymd" << true << "YYYY/MM/DD" << "!9999/99/99;1; ";
        QTest::newRow("two-digit years") << "dmy2" << false << "DD/MM/YY" << "!99/99/99;1; ";
        QTest::newRow("dotted day first") << "dmy." << true << "DD/MM/YYYY" << "!99/99/9999;1; ";
    }
    void defaultsFollowTheLocale()
    {
        QFETCH(QString, profile);
        QFETCH(bool, fourDigits);
        QFETCH(QString, format);
        QFETCH(QString, mask);
        SetFormatSettings(::profile(profile));
        QCOMPARE(FourDigitYear(), fourDigits);
        QCOMPARE(DefaultDateFormat(FourDigitYear()), format);
        QCOMPARE(DefaultDateEditMask(QChar(' '), FourDigitYear()), mask);
    }
    void maskEndsInItsBlankCharacter()
    {
        QCOMPARE(DefaultDateEditMask(QChar('_'), true), QString("!99/99/9999;1;_"));
    }

    void twoDigitYears_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<int>("typed");
        QTest::addColumn<int>("year");
        const QDate y2026(2026, 3, 5);
        QTest::newRow("05 in 2026") << y2026 << 5 << 2005;
        QTest::newRow("70 in 2026") << y2026 << 70 << 1970;
        QTest::newRow("66, the window's first year") << y2026 << 66 << 1966;
        QTest::newRow("65, just outside it") << y2026 << 65 << 2065;
        QTest::newRow("00 in 2026") << y2026 << 0 << 2000;
        QTest::newRow("four digits kept") << y2026 << 1970 << 1970;
        QTest::newRow("100 kept") << y2026 << 100 << 100;
        QTest::newRow("70 in 2031 moves on") << QDate(2031, 1, 1) << 70 << 2070;
        QTest::newRow("71 in 2031") << QDate(2031, 1, 1) << 71 << 1971;
    }
    void twoDigitYears()
    {
        QFETCH(QDate, today);
        QFETCH(int, typed);
        QFETCH(int, year);
        Clock::SetFixed(QDateTime(today, QTime(9, 0)));
        QCOMPARE(ExpandTwoDigitYear(typed), year);
    }

    void validity_data()
    {
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("m");
        QTest::addColumn<int>("d");
        QTest::addColumn<bool>("valid");
        QTest::newRow("29 Feb of a leap year") << 2024 << 2 << 29 << true;
        QTest::newRow("29 Feb of 2026") << 2026 << 2 << 29 << false;
        QTest::newRow("29 Feb 1900, not leap") << 1900 << 2 << 29 << false;
        QTest::newRow("31 April") << 2026 << 4 << 31 << false;
        QTest::newRow("day 0") << 2026 << 1 << 0 << false;
        QTest::newRow("year 0") << 0 << 1 << 1 << false;
        QTest::newRow("year 9999") << 9999 << 12 << 31 << true;
        QTest::newRow("year 10000") << 10000 << 1 << 1 << false;
    }
    void validity()
    {
        QFETCH(int, y);
        QFETCH(int, m);
        QFETCH(int, d);
        QFETCH(bool, valid);
        QCOMPARE(IsValidDate(y, m, d), valid);
    }
    void validDateValues()
    {
        QVERIFY(IsValidDateValue(EncodeDate(2026, 3, 5)));
        QVERIFY(IsValidDateValue(EncodeDate(9999, 12, 31)));
        QVERIFY(!IsValidDateValue(EncodeDate(9999, 12, 31) + 1));
        QVERIFY(!IsValidDateValue(1e12));
        QVERIFY(!IsValidDateValue(std::nan("")));
    }

    // The parse table. A row names the profile, the format the edit uses,
    // the text, and the date read (an invalid QDate: the text is no date).
    void parsing_data()
    {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        const QDate none;
        // Mask pass: the characters at the format's letter positions.
        QTest::newRow("full day-first date") << "dmy" << "DD/MM/YYYY" << "25/12/2026" << QDate(2026, 12, 25);
        QTest::newRow("two-digit year in the window") << "dmy" << "DD/MM/YY" << "01/02/05" << QDate(2005, 2, 1);
        QTest::newRow("two digits in a four-digit year") << "dmy" << "DD/MM/YYYY" << "01/02/05  " << QDate(2005, 2, 1);
        QTest::newRow("blanks inside the fields") << "dmy" << "DD/MM/YYYY" << "1 /2 /2026" << QDate(2026, 2, 1);
        QTest::newRow("positions, whatever the separators") << "dmy" << "DD/MM/YYYY" << "01-02+2026" << QDate(2026, 2, 1);
        QTest::newRow("month first") << "mdy" << "MM/DD/YYYY" << "12/25/2026" << QDate(2026, 12, 25);
        QTest::newRow("year first") << "ymd" << "YYYY/MM/DD" << "2026/12/25" << QDate(2026, 12, 25);
        QTest::newRow("month by its name") << "dmy" << "DD/MMM/YYYY" << "05/Mar/2026" << QDate(2026, 3, 5);
        QTest::newRow("no year in the format") << "dmy" << "DD/MM" << "05/03" << QDate(2026, 3, 5);
        // Free pass: numbers between date separators.
        QTest::newRow("free, short numbers") << "dmy" << "DD/MM/YYYY" << "1/2/2026" << QDate(2026, 2, 1);
        QTest::newRow("free, two-digit year") << "dmy" << "DD/MM/YYYY" << "1/2/70" << QDate(1970, 2, 1);
        QTest::newRow("free, year first") << "ymd" << "YYYY/MM/DD" << "2026/2/1" << QDate(2026, 2, 1);
        QTest::newRow("free, day and month") << "dmy" << "DD/MM/YYYY" << "9/7" << QDate(2026, 7, 9);
        QTest::newRow("free, month and day") << "mdy" << "MM/DD/YYYY" << "9/7" << QDate(2026, 9, 7);
        QTest::newRow("free, blanks around") << "dmy" << "DD/MM/YYYY" << " 1 / 2 / 2026 " << QDate(2026, 2, 1);
        QTest::newRow("free, trailing separator") << "dmy" << "DD/MM/YYYY" << "1/2/2026/" << QDate(2026, 2, 1);
        QTest::newRow("free, the locale's separator") << "dmy." << "DD/MM/YYYY" << "1.2.2026" << QDate(2026, 2, 1);
        // Not dates.
        QTest::newRow("31 February") << "dmy" << "DD/MM/YYYY" << "31/02/2026" << none;
        QTest::newRow("month 13") << "dmy" << "DD/MM/YYYY" << "12/13/2026" << none;
        QTest::newRow("letters") << "dmy" << "DD/MM/YYYY" << "ab/cd/efgh" << none;
        QTest::newRow("year left blank") << "dmy" << "DD/MM/YYYY" << "01/02/    " << none;
        QTest::newRow("day left blank") << "dmy" << "DD/MM/YYYY" << "  /02/2026" << none;
        QTest::newRow("free, third number missing") << "dmy" << "DD/MM/YYYY" << "1/2/" << none;
        QTest::newRow("free, five digits") << "dmy" << "DD/MM/YYYY" << "1/2/20260" << none;
        QTest::newRow("free, text after") << "dmy" << "DD/MM/YYYY" << "1/2/2026 x" << none;
        QTest::newRow("free, other separator") << "dmy" << "DD/MM/YYYY" << "1-2-2026" << none;
        QTest::newRow("single number") << "dmy" << "DD/MM/YYYY" << "12" << none;
        QTest::newRow("separators only") << "dmy" << "DD/MM/YYYY" << "  /  /    " << none;
        // A letter repeated more than nine times: 4294967301 would wrap to 5.
        QTest::newRow("ten day letters, a number past an int") << "dmy" << "DDDDDDDDDD/MM/YYYY"
                                                              << "4294967301/03/2026" << none;
        QTest::newRow("twenty year letters") << "dmy" << "DD/MM/YYYYYYYYYYYYYYYYYYYY"
                                             << "05/03/99999999999999999999" << none;
        QTest::newRow("ten day letters, a small number") << "dmy" << "DDDDDDDDDD/MM/YYYY"
                                                        << "0000000005/03/2026" << QDate(2026, 3, 5);
        QTest::newRow("blanks only") << "dmy" << "DD/MM/YYYY" << "   " << none;
    }
    void parsing()
    {
        QFETCH(QString, profile);
        QFETCH(QString, format);
        QFETCH(QString, text);
        QFETCH(QDate, date);
        SetFormatSettings(::profile(profile));
        TDateTime got = -1;
        const bool ok = TryParseDateFmt(format, text, got);
        QCOMPARE(ok, date.isValid());
        if (ok)
            QCOMPARE(DateTimeToQDate(got), date);
        const TDateTime fallback = EncodeDate(2000, 1, 1);
        QCOMPARE(ParseDateFmtDef(format, text, fallback), ok ? got : fallback);
    }

    void emptyTextIsTheNullDate()
    {
        TDateTime d = -1;
        QVERIFY(TryParseDateFmt("DD/MM/YYYY", QString(), d));
        QCOMPARE(d, NullDate);
    }
    void parseDateFmtRaisesTheConversionError()
    {
        QCOMPARE(ParseDateFmt("DD/MM/YYYY", "05/03/2026"), EncodeDate(2026, 3, 5));
        try {
            ParseDateFmt("DD/MM/YYYY", "31/02/2026");
            QFAIL("must raise");
        } catch (const EConvertError& e) {
            QCOMPARE(e.Message(), QString("'31/02/2026' is not a valid date"));
        }
    }
    void centuryWindowIsTheKits()
    {
        const unsigned char kept = TwoDigitYearCenturyWindow;
        QCOMPARE(int(kept), 60);
        TwoDigitYearCenturyWindow = 0;  // no window: years stay in this century
        QCOMPARE(ExpandTwoDigitYear(70), 2070);
        QCOMPARE(ExpandTwoDigitYear(5), 2005);
        TwoDigitYearCenturyWindow = kept;
    }
};

KV_TEST_MAIN(TestDateUtil)
#include "tst_dateutil.moc"
