#include "Locale.h"
#include <QLocale>
#include <optional>

namespace {
std::optional<TFormatSettings>& current()
{
    static std::optional<TFormatSettings> s;
    return s;
}

QStringList names(const QLocale& l, bool months, QLocale::FormatType ft)
{
    QStringList out;
    if (months) {
        for (int m = 1; m <= 12; ++m)
            out << l.monthName(m, ft);
    } else {
        out << l.dayName(7, ft);  // Sunday first: day 1 is Sunday
        for (int d = 1; d <= 6; ++d)
            out << l.dayName(d, ft);
    }
    return out;
}
}  // namespace

QString FormatLettersFromQt(const QString& p)
{
    QString out;
    bool timePart = false;
    for (int i = 0; i < p.size();) {
        const QChar c = p[i];
        int n = 1;
        while (i + n < p.size() && p[i + n] == c)
            ++n;
        if (c == QChar('\'')) {
            const int end = p.indexOf(QChar('\''), i + 1);
            const int stop = end < 0 ? int(p.size()) : end + 1;
            out += QChar('"') + p.mid(i + 1, stop - i - 2) + QChar('"');
            i = stop;
            continue;
        }
        if (c == QChar('M'))
            out += QString(n, QChar('m'));
        else if (c == QChar('m'))
            out += QString(n, QChar('n'));
        else if (c == QChar('H') || c == QChar('h')) {
            out += QString(n, QChar('h'));
            timePart = true;
        } else if (c == QChar('A') || c == QChar('a'))
            out += QStringLiteral("AMPM");
        else if (c == QChar('P') || c == QChar('p'))
            ;  // part of AP
        else if (c == QChar('t'))
            ;  // time zone: not shown
        else
            out += QString(n, c);
        i += n;
    }
    Q_UNUSED(timePart);
    return out.trimmed();
}

TFormatSettings TFormatSettings::DayFirstEnglish()
{
    TFormatSettings s;
    const QLocale en(QLocale::English, QLocale::UnitedKingdom);
    s.ShortMonthNames = names(en, true, QLocale::ShortFormat);
    s.LongMonthNames = names(en, true, QLocale::LongFormat);
    s.ShortDayNames = names(en, false, QLocale::ShortFormat);
    s.LongDayNames = names(en, false, QLocale::LongFormat);
    return s;
}

TFormatSettings TFormatSettings::FromLocale(const QLocale& l)
{
    TFormatSettings s = DayFirstEnglish();
    const QString sd = l.dateFormat(QLocale::ShortFormat);
    // Always four-digit years in the short format: two-digit years would be
    // expanded through the century window on every reread.
    QString d = FormatLettersFromQt(sd);
    if (!d.contains(QStringLiteral("yyyy")))
        d.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    s.ShortDateFormat = d;
    for (QChar c : d)
        if (!c.isLetter()) { s.DateSeparator = c; break; }
    s.LongDateFormat = FormatLettersFromQt(l.dateFormat(QLocale::LongFormat));
    s.LongTimeFormat = FormatLettersFromQt(l.timeFormat(QLocale::LongFormat));
    s.ShortTimeFormat = FormatLettersFromQt(l.timeFormat(QLocale::ShortFormat));
    for (QChar c : s.LongTimeFormat)
        if (!c.isLetter()) { s.TimeSeparator = c; break; }
    s.TimeAMString = l.amText();
    s.TimePMString = l.pmText();
    s.DecimalSeparator = l.decimalPoint().isEmpty() ? QChar('.') : l.decimalPoint().at(0);
    s.ThousandSeparator = l.groupSeparator().isEmpty() ? QChar(',') : l.groupSeparator().at(0);
    s.CurrencyString = l.currencySymbol();
    const QString sample = l.toCurrencyString(1.0);
    const int at = sample.indexOf(s.CurrencyString);
    const bool before = at == 0;
    const bool spaced = sample.contains(QChar(' ')) || sample.contains(QChar(0xA0));
    s.CurrencyFormat = before ? (spaced ? 2 : 0) : (spaced ? 3 : 1);
    s.NegCurrFormat = before ? (spaced ? 9 : 1) : (spaced ? 8 : 5);
    s.ShortMonthNames = names(l, true, QLocale::ShortFormat);
    s.LongMonthNames = names(l, true, QLocale::LongFormat);
    s.ShortDayNames = names(l, false, QLocale::ShortFormat);
    s.LongDayNames = names(l, false, QLocale::LongFormat);
    s.FirstDayOfWeek = int(l.firstDayOfWeek()) % 7;
    return s;
}

const TFormatSettings& FormatSettings()
{
    auto& s = current();
    if (!s) {
        const QLocale sys = QLocale::system();
        s = sys.language() == QLocale::C ? TFormatSettings::DayFirstEnglish() : TFormatSettings::FromLocale(sys);
    }
    return *s;
}

void SetFormatSettings(const TFormatSettings& settings)
{
    current() = settings;
    emit TFormatSettingsNotifier::instance()->changed();
}

TFormatSettingsNotifier* TFormatSettingsNotifier::instance()
{
    static TFormatSettingsNotifier notifier;
    return &notifier;
}
