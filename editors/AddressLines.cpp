#include "AddressLines.h"
#include <QLineEdit>

TAddressTexts AddressTexts(const std::array<QLineEdit*, 6>& edits)
{
    TAddressTexts texts;
    for (int i = 0; i < 6; ++i)
        texts[i] = edits[i]->text().trimmed().left(255);
    return texts;
}

QString AddressName(int n)
{
    return QStringLiteral("Address%1").arg(n, 2, 10, QLatin1Char('0'));
}

void AddressInsertLines(const TAddressTexts& addresses, QString columns[2], QString values[2], TAuditTrail* audit)
{
    for (int n = 1; n <= 6; ++n) {
        const QString& text = addresses[n - 1];
        if (text.isEmpty())
            continue;
        const int line = n <= 4 ? 0 : 1;
        columns[line] += QChar(' ') + AddressName(n) + QChar(',');
        values[line] += QChar(' ') + Quote(text) + QChar(',');
        if (audit)
            audit->AddField(AddressName(n).toUpper(), QString(), text);
    }
}

void AddressUpdateLines(const TAddressTexts& addresses, const TKeptValues& kept, QStringList& lines,
                        TAuditTrail* audit)
{
    for (int n = 1; n <= 6; ++n) {
        const QString& text = addresses[n - 1];
        if (!kept.Changed(AddressName(n), text))
            continue;
        lines << QChar(' ') + AddressName(n) + QStringLiteral(" = ") + TextItem(text);
        if (audit)
            audit->AddField(AddressName(n).toUpper(), kept.Kept(AddressName(n)), text);
    }
}
