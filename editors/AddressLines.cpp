#include "AddressLines.h"
#include <QCheckBox>
#include <QLineEdit>

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

void AppendAddressLines(const QString columns[2], const QString values[2], QStringList& columnLines,
                        QStringList& valueLines)
{
    for (int i = 0; i < 2; ++i)
        if (!columns[i].isEmpty()) {
            columnLines << columns[i];
            valueLines << values[i];
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
        kept.Audit(audit, AddressName(n), text);
    }
}

// ------------------------------------------------------------ the editor

QString TAddressEditor::Address(int n) const
{
    return n >= 1 && n <= kAddresses ? TextOf(edtAddress[n - 1]) : QString();
}

TAddressTexts TAddressEditor::AddressTexts() const
{
    TAddressTexts texts;
    for (int n = 1; n <= kAddresses; ++n)
        texts[n - 1] = Address(n);
    return texts;
}

void TAddressEditor::StoredAddresses(TStoredRow& row)
{
    for (int n = 1; n <= kAddresses; ++n)
        row.Text(AddressName(n));
}

void TAddressEditor::LimitAddressTyping()
{
    for (QLineEdit* edit : edtAddress)
        LimitTyping(edit, 255);
}

void TAddressEditor::SetAddress(int n, const QString& v)
{
    if (n >= 1 && n <= kAddresses)
        KeepText(edtAddress[n - 1], AddressName(n), v);
}

bool TAddressEditor::Active() const
{
    return ckActive->isChecked();
}

void TAddressEditor::SetActive(bool v)
{
    KeepCheck(ckActive, QStringLiteral("Active"), v);
}

void TAddressEditor::AddActiveBox(int left, int top, int width)
{
    ckActive = AddCheck(QStringLiteral("ckActive"), QStringLiteral("Active"), left, top, width);
    ckActive->setChecked(true);
    ckActive->setEnabled(false);
    ckActive->setFocusPolicy(Qt::NoFocus);
}

void TAddressEditor::SwitchLine(QString& line, std::initializer_list<TSwitch> switches, TAuditTrail* audit) const
{
    for (const auto& [column, on] : switches)
        SwitchItem(line, QLatin1String(column), on, audit);
}
