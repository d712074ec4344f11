#include "SysEditSupplier.h"
#include "AddressLines.h"
#include "GenFns.h"
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtMath>

namespace {
const QString kCaption = QStringLiteral("System Table: tSupplier");
}  // namespace

TSysEditSupplierForm::TSysEditSupplierForm(QWidget* owner) : TAddressEditor(owner)
{
    setObjectName(QStringLiteral("SysEditSupplierForm"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(428, 310);

    // Created in tab order.
    auto labelled = [this](const QString& name, const QString& caption, int left, int top, int width, int labelLeft) {
        QLineEdit* edit = AddEdit(name, left, top, width);
        AddLabel(QStringLiteral("lbl") + name.mid(3), caption, labelLeft, top + 3)->setBuddy(edit);
        return edit;
    };
    edtSupplierName = labelled(QStringLiteral("edtSupplierName"), QStringLiteral("Supplier Name:"), 112, 12, 304, 8);
    for (int n = 1; n <= kAddresses; ++n)
        edtAddress[n - 1] =
            labelled(QStringLiteral("edt") + AddressName(n), AddressName(n) + QChar(':'), 112, 12 + n * 28, 304, 8);
    AddActiveBox(112, 208, 80);
    ckZivIruri = AddCheck(QStringLiteral("ckZivIruri"), QStringLiteral("ZivIruri"), 200, 208, 90);
    ckPlatinumUpdate = AddCheck(QStringLiteral("ckPlatinumUpdate"), QStringLiteral("Platinum Update"), 296, 208, 120);
    edtPlatinumVendorID =
        labelled(QStringLiteral("edtPlatinumVendorID"), QStringLiteral("PlatinumVendorID"), 112, 236, 150, 8);
    // The column's longest caption: its input starts after it and ends
    // before the ID's caption (places as given for the standard font).
    const int captionWidth = findChild<QLabel*>(QStringLiteral("lblPlatinumVendorID"))->width();
    const int vendorLeft = qMax(112, 8 + qCeil(captionWidth / FontScale(font()).width()) + 7);
    PlaceControl(edtPlatinumVendorID, vendorLeft, 236, qMin(150, 300 - vendorLeft), 21);
    edtID = labelled(QStringLiteral("edtID"), QStringLiteral("ID:"), 336, 236, 80, 308);
    ShowOnly(edtID);
    LimitTyping(edtSupplierName, 50);
    LimitTyping(edtPlatinumVendorID, 50);
    LimitAddressTyping();
    SetModeCaption(kCaption, edtID);

    AddOkCancel(btnOk, btnCancel, QStringLiteral("&Ok"), 252, 274, [this] { btnOkClick(); });
    ScaleToFont(this);

    ReadAuditIds();
    FAudited = IsTableAudited(QStringLiteral("tSupplier"));
}

// ------------------------------------------------------------ properties

void TSysEditSupplierForm::SetSupplierID(const QString& value)
{
    ShowRowID(edtID, value);
}

QString TSysEditSupplierForm::SupplierName() const { return TextOf(edtSupplierName); }
QString TSysEditSupplierForm::PlatinumVendorID() const { return TextOf(edtPlatinumVendorID); }
void TSysEditSupplierForm::SetSupplierName(const QString& v)
{
    KeepText(edtSupplierName, QStringLiteral("SupplierName"), v);
}
void TSysEditSupplierForm::SetPlatinumVendorID(const QString& v)
{
    KeepText(edtPlatinumVendorID, QStringLiteral("PlatinumVendorID"), v);
}

bool TSysEditSupplierForm::PlatinumUpdate() const { return ckPlatinumUpdate->isChecked(); }
bool TSysEditSupplierForm::ZivIruri() const { return ckZivIruri->isChecked(); }
void TSysEditSupplierForm::SetPlatinumUpdate(bool v) { KeepCheck(ckPlatinumUpdate, QStringLiteral("PlatinumUpdate"), v); }
void TSysEditSupplierForm::SetZivIruri(bool v) { KeepCheck(ckZivIruri, QStringLiteral("ZivIruri"), v); }

// ------------------------------------------------------------ the save

void TSysEditSupplierForm::btnOkClick()
{
    RunSave([this](TSaveAttempt& save) { return FAppendMode ? saveNew(save) : saveChanges(save); });
}

bool TSysEditSupplierForm::saveNew(TSaveAttempt& save)
{
    const QString name = SupplierName();
    const QString vendor = PlatinumVendorID();
    TAuditTrail audit = NewAudit(AuditIds.Insert, QStringLiteral("tSupplier"));
    TAuditTrail* trail = FAudited ? &audit : nullptr;
    auto note = [trail](const char* field, const QString& value) {
        if (trail)
            trail->AddField(QLatin1String(field), QString(), value);
    };
    QStringList columns{QStringLiteral("(SupplierName, PlatinumVendorID, Active,"),
                        QStringLiteral("PlatinumUpdate, ZivIruri,")};
    QStringList values{QStringLiteral("VALUES (") + TextItem(name) + TextItem(vendor) + QStringLiteral("1,"),
                       BitText(PlatinumUpdate()) + QChar(',') + BitText(ZivIruri()) + QChar(',')};
    note("SUPPLIERNAME", name);
    note("PLATINUMVENDORID", vendor);
    note("ACTIVE", QStringLiteral("1"));
    note("PLATINUMUPDATE", BitText(PlatinumUpdate()));
    note("ZIVIRURI", BitText(ZivIruri()));
    QString addressColumns[2], addressValues[2];
    AddressInsertLines(AddressTexts(), addressColumns, addressValues, trail);
    AppendAddressLines(addressColumns, addressValues, columns, values);

    audit.SetTableID(save.ExecInsert(InsertStatement(QStringLiteral("tSupplier"), columns, values)));
    if (trail)
        save.Write(audit);
    return true;
}

bool TSysEditSupplierForm::saveChanges(TSaveAttempt& save)
{
    const int id = RowToChange(edtID, QStringLiteral("supplier"));
    TStoredRow stored(QStringLiteral("tSupplier"), QStringLiteral("WHERE id = ") + QString::number(id));
    stored.Text(QStringLiteral("SupplierName"))
        .Text(QStringLiteral("PlatinumVendorID"))
        .Flag(QStringLiteral("PlatinumUpdate"))
        .Flag(QStringLiteral("ZivIruri"), QStringLiteral("Ziviruri"));
    StoredAddresses(stored);
    KeepUpWithStored(save, stored);
    TAuditTrail audit = NewAudit(AuditIds.Update, QStringLiteral("tSupplier"));
    audit.SetTableID(id);
    TAuditTrail* trail = FAudited ? &audit : nullptr;
    auto note = [&](const QString& field, const QString& now) { FKept.Audit(trail, field, now); };

    QStringList lines{QStringLiteral("UPDATE tSupplier")};
    const QString name = SupplierName();
    note(QStringLiteral("SupplierName"), name);
    QString line = QStringLiteral(" SET SupplierName = ") + TextItem(name);
    const QString vendor = PlatinumVendorID();
    if (FKept.Changed(QStringLiteral("PlatinumVendorID"), vendor)) {
        line += QStringLiteral(" PlatinumVendorID = ") + TextItem(vendor);
        note(QStringLiteral("PlatinumVendorID"), vendor);
    }
    lines << line;
    line.clear();
    SwitchLine(line, {{"PlatinumUpdate", PlatinumUpdate()}, {"ZivIruri", ZivIruri()}}, trail);
    lines << line;
    AddressUpdateLines(AddressTexts(), FKept, lines, trail);
    DropFinalComma(lines);
    lines << QStringLiteral("WHERE id = ") + QString::number(id);

    save.Exec(lines);
    if (trail)
        save.Write(audit);
    return true;
}
