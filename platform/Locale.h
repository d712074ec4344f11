#pragma once
// The regional settings the program formats and parses with (the class
// library's format variables). Filled from the system locale; tests set it.
#include <QObject>
#include <QString>
#include <QStringList>

struct TFormatSettings {
    QChar DateSeparator = '/';
    QString ShortDateFormat = QStringLiteral("dd/mm/yyyy");   // class-library pattern letters
    QString LongDateFormat = QStringLiteral("dddd, d mmmm yyyy");
    QChar TimeSeparator = ':';
    QString ShortTimeFormat = QStringLiteral("hh:nn");
    QString LongTimeFormat = QStringLiteral("hh:nn:ss");
    QString TimeAMString = QStringLiteral("AM");
    QString TimePMString = QStringLiteral("PM");
    QChar DecimalSeparator = '.';
    QChar ThousandSeparator = ',';
    QString CurrencyString = QStringLiteral("$");
    int CurrencyFormat = 0;    // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
    int NegCurrFormat = 1;     // 0..15 as the regional settings number them
    int CurrencyDecimals = 2;
    int TwoDigitYearCenturyWindow = 50;
    QStringList ShortMonthNames;  // 12
    QStringList LongMonthNames;   // 12
    QStringList ShortDayNames;    // 7, Sunday first
    QStringList LongDayNames;     // 7, Sunday first
    int FirstDayOfWeek = 1;       // 0 Sunday .. 6 Saturday (1 = Monday)

    // Day-first English profile (used when the system locale is "C").
    static TFormatSettings DayFirstEnglish();
    // Built from a Qt locale.
    static TFormatSettings FromLocale(const class QLocale& locale);
};

// The program's one profile. Initialised from the system locale on first use.
const TFormatSettings& FormatSettings();
void SetFormatSettings(const TFormatSettings& settings);

// Converts a Qt date/time pattern ("dd.MM.yyyy", "h:mm:ss AP") to the
// program's format letters ("dd.mm.yyyy", "h:nn:ss AMPM": m month, n minute).
QString FormatLettersFromQt(const QString& qtPattern);

// Tells controls that show dates or numbers that the profile changed, so
// they can re-render.
class TFormatSettingsNotifier : public QObject {
    Q_OBJECT
public:
    static TFormatSettingsNotifier* instance();
signals:
    void changed();
};
