#include "SysEditCustomer.h"
#include "AddressLines.h"
#include "CurrEdit.h"
#include "GenFns.h"
#include "SysUtils.h"
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
const QString kCaption = QStringLiteral("System Table: tCustomer");
}  // namespace

TSysEditCustomerForm::TSysEditCustomerForm(QWidget* owner) : TAddressEditor(owner)
{
    setObjectName(QStringLiteral("SysEditCustomerForm"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(568, 340);

    // Created in tab order.
    auto labelled = [this](const char* name, const char* caption, int left, int top, int width, int labelLeft) {
        QLineEdit* edit = AddEdit(QLatin1String(name), left, top, width);
        AddLabel(QStringLiteral("lbl") + QLatin1String(name + 3), QLatin1String(caption), labelLeft, top + 3)
            ->setBuddy(edit);
        return edit;
    };
    edtShipTo = labelled("edtShipTo", "ShipTo :", 104, 12, 60, 8);
    SetUpperCase(edtShipTo);
    edtVNumber = labelled("edtVNumber", "VNumber :", 104, 40, 90, 8);
    edtFullName = labelled("edtFullName", "FullName:", 104, 68, 300, 8);
    for (int n = 1; n <= kAddresses; ++n) {
        const QByteArray name = AddressName(n).toLatin1();
        const QByteArray edit = "edt" + name;
        const QByteArray caption = name + ':';
        edtAddress[n - 1] = labelled(edit.constData(), caption.constData(), 104, 68 + n * 28, 300, 8);
    }
    edtMaxExServiceAmount = AddControl<TCurrencyEdit>(QStringLiteral("edtMaxExServiceAmount"), 104, 270, 100);
    UsePlainCurrencyText(edtMaxExServiceAmount);
    AddLabel(QStringLiteral("lblMaxExServiceAmount"), QStringLiteral("Maximum\nExService Amt:"), 8, 266)
        ->setBuddy(edtMaxExServiceAmount);
    AddLabel(QStringLiteral("lblAnnualFee"), QStringLiteral("(Annual Fee)"), 212, 273);
    edtStatus = labelled("edtStatus", "Status :", 472, 40, 88, 416);
    edtRate = labelled("edtRate", "Rate:", 472, 68, 88, 416);
    AddActiveBox(416, 100, 140);
    ckPlatinumUpdate = AddCheck(QStringLiteral("ckPlatinumUpdate"), QStringLiteral("Platinum Update"), 416, 124, 140);
    ckInvoiceServices =
        AddCheck(QStringLiteral("ckInvoiceServices"), QStringLiteral("Invoice Services"), 416, 148, 140);
    ckInvoice = AddCheck(QStringLiteral("ckInvoice"), QStringLiteral("Invoice"), 416, 172, 140);
    edtID = labelled("edtID", "ID:", 472, 12, 88, 416);
    ShowOnly(edtID);
    SetModeCaption(kCaption, edtID);
    LimitTyping(edtShipTo, 4);
    LimitTyping(edtVNumber, 8);
    LimitTyping(edtFullName, 50);
    LimitTyping(edtStatus, 8);
    LimitAddressTyping();

    AddOkCancel(btnOk, btnCancel, QStringLiteral("&Ok"), 392, 302, [this] { btnOkClick(); });
    ScaleToFont(this);

    ReadAuditIds();
    FAudited = IsTableAudited(QStringLiteral("tCustomer"));
}

// ------------------------------------------------------------ properties

void TSysEditCustomerForm::SetCustomerID(const QString& value)
{
    ShowRowID(edtID, value);
}

QString TSysEditCustomerForm::FullName() const { return TextOf(edtFullName); }
QString TSysEditCustomerForm::ShipTo() const { return TextOf(edtShipTo); }
QString TSysEditCustomerForm::VNumber() const { return TextOf(edtVNumber); }
QString TSysEditCustomerForm::Status() const { return TextOf(edtStatus); }
void TSysEditCustomerForm::SetFullName(const QString& v) { KeepText(edtFullName, QStringLiteral("FullName"), v); }
void TSysEditCustomerForm::SetShipTo(const QString& v) { KeepText(edtShipTo, QStringLiteral("ShipTo"), v); }
void TSysEditCustomerForm::SetVNumber(const QString& v) { KeepText(edtVNumber, QStringLiteral("VNumber"), v); }
void TSysEditCustomerForm::SetStatus(const QString& v) { KeepText(edtStatus, QStringLiteral("Status"), v); }

int TSysEditCustomerForm::Rate() const
{
    return StrToInt(edtRate->text());
}

void TSysEditCustomerForm::SetRate(int v)
{
    KeepText(edtRate, QStringLiteral("Rate"), QString::number(v));
}

double TSysEditCustomerForm::MaxExServiceAmount() const
{
    return AmountValue(edtMaxExServiceAmount, QStringLiteral("MaxExServiceAmount"));
}

void TSysEditCustomerForm::SetMaxExServiceAmount(double v)
{
    KeepAmount(edtMaxExServiceAmount, QStringLiteral("MaxExServiceAmount"), v);
}

bool TSysEditCustomerForm::PlatinumUpdate() const { return ckPlatinumUpdate->isChecked(); }
bool TSysEditCustomerForm::Invoice() const { return ckInvoice->isChecked(); }
bool TSysEditCustomerForm::InvoiceServices() const { return ckInvoiceServices->isChecked(); }
void TSysEditCustomerForm::SetPlatinumUpdate(bool v)
{
    KeepCheck(ckPlatinumUpdate, QStringLiteral("PlatinumUpdate"), v);
}
void TSysEditCustomerForm::SetInvoice(bool v) { KeepCheck(ckInvoice, QStringLiteral("Invoice"), v); }
void TSysEditCustomerForm::SetInvoiceServices(bool v)
{
    KeepCheck(ckInvoiceServices, QStringLiteral("InvoiceServices"), v);
}

// ------------------------------------------------------------ the save

void TSysEditCustomerForm::btnOkClick()
{
    RunSave([this](TSaveAttempt& save) { return FAppendMode ? saveNew(save) : saveChanges(save); });
}

bool TSysEditCustomerForm::saveNew(TSaveAttempt& save)
{
    // The numbers first: a rate that is not a number stops the save here.
    const int rate = Rate();
    const double amount = MaxExServiceAmount();
    const QString shipTo = ShipTo();
    const QString fullName = FullName();
    const QString vnumber = VNumber();
    const QString status = Status();
    const QString rateText = rate == 0 ? QStringLiteral("NULL") : QString::number(rate);
    const TAddressTexts addresses = AddressTexts();

    TAuditTrail audit = NewAudit(AuditIds.Insert, QStringLiteral("tCustomer"));
    TAuditTrail* trail = FAudited ? &audit : nullptr;
    auto note = [trail](const char* field, const QString& value) {
        if (trail)
            trail->AddField(QLatin1String(field), QString(), value);
    };
    QStringList columns{QStringLiteral("(ShipTo, FullName, VNumber, Active,")};
    QStringList values{QStringLiteral("VALUES (") + TextItem(shipTo) + TextItem(fullName) + TextItem(vnumber) +
                       QStringLiteral("1,")};
    note("SHIPTO", shipTo);
    note("FULLNAME", fullName);
    note("VNUMBER", vnumber);
    note("ACTIVE", QStringLiteral("1"));
    columns << QStringLiteral("Status, Rate, PlatinumUpdate, Invoice, InvoiceServices,");
    values << TextItem(status) + rateText + QChar(',') + BitText(PlatinumUpdate()) + QChar(',') + BitText(Invoice()) +
                  QChar(',') + BitText(InvoiceServices()) + QChar(',');
    note("STATUS", status);
    note("RATE", rateText);
    note("PLATINUMUPDATE", BitText(PlatinumUpdate()));
    note("INVOICE", BitText(Invoice()));
    note("INVOICESERVICES", BitText(InvoiceServices()));
    QString addressColumns[2], addressValues[2];
    AddressInsertLines(addresses, addressColumns, addressValues, trail);
    if (amount != 0) {
        addressColumns[1] += QStringLiteral(" MaxExServiceAmount,");
        addressValues[1] += CurrText(amount) + QChar(',');
        note("MAXEXSERVICEAMOUNT", CurrText(amount));
    }
    AppendAddressLines(addressColumns, addressValues, columns, values);

    audit.SetTableID(save.ExecInsert(InsertStatement(QStringLiteral("tCustomer"), columns, values)));
    if (trail)
        save.Write(audit);
    return true;
}

bool TSysEditCustomerForm::saveChanges(TSaveAttempt& save)
{
    const int id = RowToChange(edtID, QStringLiteral("customer"));
    TStoredRow stored(QStringLiteral("tCustomer"), QStringLiteral("WHERE id = ") + QString::number(id));
    stored.Text(QStringLiteral("ShipTo"))
        .Text(QStringLiteral("FullName"))
        .Text(QStringLiteral("VNumber"))
        .Text(QStringLiteral("Status"))
        .Number(QStringLiteral("Rate"))
        .Amount(QStringLiteral("MaxExServiceAmount"))
        .Flag(QStringLiteral("PlatinumUpdate"))
        .Flag(QStringLiteral("Invoice"))
        .Flag(QStringLiteral("InvoiceServices"));
    StoredAddresses(stored);
    KeepUpWithStored(save, stored);
    const int rate = Rate();
    const double amount = MaxExServiceAmount();

    TAuditTrail audit = NewAudit(AuditIds.Update, QStringLiteral("tCustomer"));
    audit.SetTableID(id);
    TAuditTrail* trail = FAudited ? &audit : nullptr;
    auto note = [&](const QString& name, const QString& now) { FKept.Audit(trail, name, now); };
    // A text written (and audited) only when it changed.
    QString line;
    auto changedText = [&](const QString& name, const QString& now) {
        if (!FKept.Changed(name, now))
            return;
        line += QChar(' ') + name + QStringLiteral(" = ") + TextItem(now);
        note(name, now);
    };
    QStringList lines{QStringLiteral("UPDATE tCustomer")};
    const QString shipTo = ShipTo();
    note(QStringLiteral("ShipTo"), shipTo);
    line = QStringLiteral("SET ShipTo = ") + TextItem(shipTo);
    changedText(QStringLiteral("FullName"), FullName());
    changedText(QStringLiteral("VNumber"), VNumber());
    changedText(QStringLiteral("Status"), Status());
    lines << line;

    line.clear();
    const QString rateText = QString::number(rate);
    if (FKept.Changed(QStringLiteral("Rate"), rateText)) {
        line += QStringLiteral(" Rate = ") + (rate == 0 ? QStringLiteral("NULL,") : rateText + QChar(','));
        note(QStringLiteral("Rate"), rateText);
    }
    const QString amountText = CurrText(amount);
    if (AmountTouched(edtMaxExServiceAmount, QStringLiteral("MaxExServiceAmount")) &&
        FKept.Changed(QStringLiteral("MaxExServiceAmount"), amountText)) {
        line += QStringLiteral(" MaxExServiceAmount = ") +
                (amount == 0 ? QStringLiteral("NULL,") : amountText + QChar(','));
        note(QStringLiteral("MaxExServiceAmount"), amountText);
    }
    SwitchLine(line,
               {{"PlatinumUpdate", PlatinumUpdate()}, {"Invoice", Invoice()}, {"InvoiceServices", InvoiceServices()}},
               trail);
    lines << line;
    AddressUpdateLines(AddressTexts(), FKept, lines, trail);
    DropFinalComma(lines);
    lines << QStringLiteral("WHERE id = ") + QString::number(id);

    save.Exec(lines);
    if (trail)
        save.Write(audit);
    return true;
}
