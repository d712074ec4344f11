#include "SysEditTariff.h"
#include "CurrEdit.h"
#include "GenFns.h"
#include "LookupCombo.h"
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kTable = QStringLiteral("tAgreementTariffs");
const QString kCaption = QStringLiteral("Agreement Tariffs");

// The three switches, by property (and column) name.
const char* const kSwitches[] = {"Surcharge", "Discount", "ChargePeriod"};

const TTariffValue* valueOf(const QString& property)
{
    for (const TTariffValue& v : TariffValues())
        if (property == QLatin1String(v.Property))
            return &v;
    return nullptr;
}

// Where each amount or count stands: the top row, the grid of durations and
// charges (a row per minimum, maximum and stage), and the two rates beside
// their switches.
struct TPlace {
    const char* Property;
    int Left, Top, Width;
};
constexpr int kDuration = 96;
constexpr int kCharge = 192;
constexpr int kGridTop = 164;
constexpr int kRow = 24;
const TPlace kPlaces[] = {
    {"FixedCharge", 16, 112, 90},
    {"FlagFall", 120, 112, 90},
    {"ChargeIntervalSecs", 224, 112, 90},
    {"MinDuration", kDuration, kGridTop, 85},
    {"MinCharge", kCharge, kGridTop, 90},
    {"MaxDuration", kDuration, kGridTop + kRow, 85},
    {"MaxCharge", kCharge, kGridTop + kRow, 90},
    {"Stage1Duration", kDuration, kGridTop + 2 * kRow, 85},
    {"Stage1Charge", kCharge, kGridTop + 2 * kRow, 90},
    {"Stage2Duration", kDuration, kGridTop + 3 * kRow, 85},
    {"Stage2Charge", kCharge, kGridTop + 3 * kRow, 90},
    {"Stage3Duration", kDuration, kGridTop + 4 * kRow, 85},
    {"Stage3Charge", kCharge, kGridTop + 4 * kRow, 90},
    {"Stage4Duration", kDuration, kGridTop + 5 * kRow, 85},
    {"Stage4Charge", kCharge, kGridTop + 5 * kRow, 90},
    {"Stage5Duration", kDuration, kGridTop + 6 * kRow, 85},
    {"Stage5Charge", kCharge, kGridTop + 6 * kRow, 90},
    {"Surcharge", 400, kGridTop, 64},
    {"Discount", 400, kGridTop + kRow, 64},
};

}  // namespace

const QVector<TTariffValue>& TariffValues()
{
    static const QVector<TTariffValue> values = {
        {"FixedCharge", "FixedCharge", true},
        {"FlagFall", "FlagFall", true},
        {"ChargeIntervalSecs", "ChargeIntervalSecs", false},
        {"MinDuration", "MinDuration", false},
        {"MinCharge", "MinCharge", true},
        {"MaxDuration", "MaxDuration", false},
        {"MaxCharge", "MaxCharge", true},
        {"Stage1Duration", "Stage1Duration", false},
        {"Stage1Charge", "Stage1Charge", true},
        {"Stage2Duration", "Stage2Duration", false},
        {"Stage2Charge", "Stage2Charge", true},
        {"Stage3Duration", "Stage3Duration", false},
        {"Stage3Charge", "Stage3Charge", true},
        {"Stage4Duration", "Stage4Duration", false},
        {"Stage4Charge", "Stage4Charge", true},
        {"Stage5Duration", "Stage5Duration", false},
        {"Stage5Charge", "Stage5Charge", true},
        {"Surcharge", "SurchargeRate", true},
        {"Discount", "DiscountRate", true},
    };
    return values;
}

TSysEditTariffForm::TSysEditTariffForm(QWidget* owner) : TRecordEditor(owner)
{
    setObjectName(QStringLiteral("SysEditTariffForm"));
    SetModeCaption(kCaption);
    setFixedSize(480, 384);

    AddLabel("lblAgreement", "AgreementID", 16, 8);
    cbAgreement = AddControl<TLookupCombo>("cbAgreement", 16, 24, 448);
    cbAgreement->SetEditable(true);
    AddLabel("lblSupplierServiceCode", "SupplierServiceCode", 16, 48);
    cbSupplierServiceCode = AddControl<TLookupCombo>("cbSupplierServiceCode", 16, 64, 448);
    cbSupplierServiceCode->SetEditable(true);
    AddLabel("lblFixedCharge", "Fixed Charge", 16, 96);
    AddLabel("lblFlagfall", "Flagfall", 120, 96);
    AddLabel("lblChargeIntervalSecs", "ChargeIntervalSecs", 224, 96);
    AddLabel("lblID", "ID", 352, 96);
    edtID = AddEdit("edtID", 352, 112, 65);
    ShowOnly(edtID);
    AddLabel("lblDuration", "Duration", kDuration, kGridTop - 16);
    AddLabel("lblCharge", "Charge $", kCharge, kGridTop - 16);
    const char* rows[] = {"Minimum", "Maximum", "Stage 1", "Stage 2", "Stage 3", "Stage 4", "Stage 5"};
    for (int i = 0; i < 7; ++i)
        AddLabel(QStringLiteral("lblRow%1").arg(i + 1), QLatin1String(rows[i]), 16, kGridTop + i * kRow + 4);
    for (const TPlace& p : kPlaces) {
        const QString name = QStringLiteral("edt") + QLatin1String(p.Property);
        QLineEdit* input;
        if (valueOf(QLatin1String(p.Property))->Amount) {
            auto* amount = AddControl<TCurrencyEdit>(name, p.Left, p.Top, p.Width);
            UsePlainCurrencyText(amount);
            input = amount;
        } else {
            input = AddEdit(name, p.Left, p.Top, p.Width);
        }
        FInputs.insert(QLatin1String(p.Property), input);
    }
    ckSurcharge = AddCheck("ckSurcharge", "Surcharge:", 312, kGridTop + 2, 85);
    ckDiscount = AddCheck("ckDiscount", "Discount:", 312, kGridTop + kRow + 2, 85);
    ckChargePeriod = AddCheck("ckChargePeriod", "Charge Period", 312, kGridTop + 2 * kRow + 2, 120);
    AddOkCancel(btnOk, btnCancel, QStringLiteral("&Save"), 301, 344, [this] { btnOkClick(); });
    ScaleToFont(this);

    QList<QWidget*> order{cbAgreement, cbSupplierServiceCode, Input("FixedCharge"), Input("FlagFall")};
    for (const TTariffValue& v : TariffValues()) {  // the grid, row by row
        const QString property = QLatin1String(v.Property);
        for (const char* row : {"Min", "Max", "Stage"})
            if (property.startsWith(QLatin1String(row)))
                order << Input(property);
    }
    order << ckSurcharge << Input("Surcharge") << ckDiscount << Input("Discount") << ckChargePeriod << edtID
          << btnOk << btnCancel << Input("ChargeIntervalSecs");
    SetTabOrder(order);

    // What a tariff without values is compared with: amounts 0, counts and
    // ids none, switches off.
    for (const TTariffValue& v : TariffValues())
        if (v.Amount)
            FKept.Keep(QLatin1String(v.Column), CurrText(0));
    for (const char* name : kSwitches)
        FKept.Keep(QLatin1String(name), false);
    // Every value a change writes is met with the row as stored, whether or
    // not the caller set it (an amount or a count the row does not hold).
    WatchListID(cbAgreement, QStringLiteral("AgreementID"));
    WatchListID(cbSupplierServiceCode, QStringLiteral("SupplierServiceCodeID"));
    for (const char* name : kSwitches)
        WatchCheck(findChild<QCheckBox*>(QStringLiteral("ck") + QLatin1String(name)), QLatin1String(name));
    for (const TTariffValue& v : TariffValues()) {
        QLineEdit* input = Input(QLatin1String(v.Property));
        if (v.Amount)
            WatchAmount(static_cast<TCurrencyEdit*>(input), QLatin1String(v.Column));
        else
            WatchText(input, QLatin1String(v.Column));
    }
    ReadAuditIds();

    // The labels read the same whatever part is missing: a NULL part is an
    // empty text, and an agreement without a number shows its description.
    cbAgreement->Fill({"SELECT tAgreement.ID,", " ((CASE", "  WHEN tAgreement.AgreementNo IS NULL THEN ''",
                       "  WHEN LTRIM(tAgreement.AgreementNo) = '' THEN ''", "  ELSE tAgreement.AgreementNo + '- '",
                       "  END) + ISNULL(tAgreement.Description, '')) AS \"Description\"", "FROM tAgreement",
                       "WHERE tAgreement.Active = 1", "ORDER BY tAgreement.AgreementNo"},
                      QStringLiteral("Description"));
    cbSupplierServiceCode->Fill({"SELECT tSupplierServiceCode.ID,",
                                 " (ISNULL(tSupplierServiceCode.code, '') + '- '+",
                                 "  ISNULL(tSupplierServiceCode.AmountCategory, '') + '- '+",
                                 "  ISNULL(tSupplierServiceCode.Description, '')) AS \"SupplierServiceCode\"",
                                 "FROM tSupplierServiceCode", "WHERE tSupplierServiceCode.Active = 1",
                                 "ORDER BY tSupplierServiceCode.Code"},
                                QStringLiteral("SupplierServiceCode"));
    FAudited = IsTableAudited(QStringLiteral("tAgreement")) || IsTableAudited(QStringLiteral("tAgreementType")) ||
               IsTableAudited(kTable);
}

// ------------------------------------------------------------ properties

void TSysEditTariffForm::SetID(int value)
{
    FID = value;
    edtID->setText(value ? QString::number(value) : QString());
}

int TSysEditTariffForm::AgreementID() const
{
    return cbAgreement->ID();
}

void TSysEditTariffForm::SetAgreementID(int value)
{
    KeepListID(cbAgreement, QStringLiteral("AgreementID"), value);
}

int TSysEditTariffForm::SupplierServiceCodeID() const
{
    return cbSupplierServiceCode->ID();
}

void TSysEditTariffForm::SetSupplierServiceCodeID(int value)
{
    KeepListID(cbSupplierServiceCode, QStringLiteral("SupplierServiceCodeID"), value);
}

double TSysEditTariffForm::Amount(const QString& property) const
{
    return AmountValue(static_cast<TCurrencyEdit*>(Input(property)), property);
}

void TSysEditTariffForm::SetAmount(const QString& property, double value)
{
    KeepAmount(static_cast<TCurrencyEdit*>(Input(property)), QLatin1String(valueOf(property)->Column), value);
}

int TSysEditTariffForm::Count(const QString& property) const
{
    const QString text = Input(property)->text().trimmed();
    return text.isEmpty() ? 0 : StrToInt(text);
}

void TSysEditTariffForm::SetCount(const QString& property, int value)
{
    KeepText(Input(property), QLatin1String(valueOf(property)->Column), QString::number(value));
}

bool TSysEditTariffForm::CheckSurcharge() const { return ckSurcharge->isChecked(); }
bool TSysEditTariffForm::CheckDiscount() const { return ckDiscount->isChecked(); }
bool TSysEditTariffForm::CheckChargePeriod() const { return ckChargePeriod->isChecked(); }

void TSysEditTariffForm::SetCheckSurcharge(bool value)
{
    KeepCheck(ckSurcharge, QStringLiteral("Surcharge"), value);
}

void TSysEditTariffForm::SetCheckDiscount(bool value)
{
    KeepCheck(ckDiscount, QStringLiteral("Discount"), value);
}

void TSysEditTariffForm::SetCheckChargePeriod(bool value)
{
    KeepCheck(ckChargePeriod, QStringLiteral("ChargePeriod"), value);
}

// ------------------------------------------------------------ save

void TSysEditTariffForm::btnOkClick()
{
    RunSave([this](TSaveAttempt& attempt) { return save(attempt); });
}

bool TSysEditTariffForm::save(TSaveAttempt& attempt)
{
    // A change needs the row it changes, as it is stored now.
    const int rowId = FAppendMode ? 0 : RowToChange(edtID, QStringLiteral("tariff"));
    if (!FAppendMode) {
        TStoredRow stored(kTable, QStringLiteral("WHERE id = ") + QString::number(rowId));
        stored.Id(QStringLiteral("AgreementID")).Id(QStringLiteral("SupplierServiceCodeID"));
        for (const TTariffValue& v : TariffValues())
            if (v.Amount)
                stored.Amount(QLatin1String(v.Column));
            else  // a count the row does not hold is kept as none
                stored.Value(QLatin1String(v.Column), QString(), [](const TField& f) {
                    return f.IsNull() ? QString() : QString::number(f.AsInteger());
                });
        for (const char* name : kSwitches)
            stored.Flag(QLatin1String(name));
        KeepUpWithStored(attempt, stored);
    }
    const int agreement = AgreementID();
    const int code = SupplierServiceCodeID();
    if (agreement == 0 || code == 0)
        Refuse(QStringLiteral("An Agreement and a SupplierServiceCode MUST be selected."));
    const QString agreementText = QString::number(agreement);
    const QString codeText = QString::number(code);
    const QString switches[][2] = {{QStringLiteral("Surcharge"), BitText(CheckSurcharge())},
                                   {QStringLiteral("Discount"), BitText(CheckDiscount())},
                                   {QStringLiteral("ChargePeriod"), BitText(CheckChargePeriod())}};

    TAuditTrail audit = NewAudit(FAppendMode ? AuditIds.Insert : AuditIds.Update, kTable);
    if (FAppendMode) {
        TInsertLines insert(audit);
        insert.Put(QStringLiteral("Active"), QStringLiteral("1"));
        insert.Add(QStringLiteral("AgreementID"), agreementText);
        insert.Add(QStringLiteral("SupplierServiceCodeID"), codeText);
        for (const TTariffValue& v : TariffValues()) {
            const QString column = QLatin1String(v.Column);
            const QString property = QLatin1String(v.Property);
            if (v.Amount) {
                const double amount = Amount(property);
                // A surcharge rate is written when above 0, any other amount
                // when not 0.
                if (column == QLatin1String("SurchargeRate") ? amount > 0 : amount != 0)
                    insert.Add(column, CurrText(amount));
            } else if (Count(property) > 0) {
                insert.Add(column, QString::number(Count(property)));
            }
        }
        for (const auto& s : switches)
            insert.Add(s[0], s[1]);
        audit.SetTableID(attempt.ExecInsert(insert.Statement(kTable)));
    } else {
        TUpdateLines update(kTable, FKept, audit);
        audit.SetTableID(rowId);
        update.Always(QStringLiteral("AgreementID"), agreementText, "SET AgreementID = " + agreementText + ",");
        update.Set(QStringLiteral("SupplierServiceCodeID"), codeText, "SupplierServiceCodeID = " + codeText + ",");
        for (const TTariffValue& v : TariffValues()) {
            const QString column = QLatin1String(v.Column);
            const QString property = QLatin1String(v.Property);
            if (v.Amount) {
                if (AmountTouched(static_cast<TCurrencyEdit*>(Input(property)), column)) {
                    const QString now = CurrText(Amount(property));
                    update.Set(column, now, column + " = " + now + ",");
                }
                continue;
            }
            // A count of 0 or less is none: NULL.
            const int n = Count(property);
            const QString kept = FKept.Kept(column);
            if (kept == QString::number(n))
                continue;
            const QString now = n > 0 ? QString::number(n) : QString();
            update.Add(column + " = " + BareOrNull(now) + ",");
            audit.AddField(column.toUpper(), kept == QLatin1String("0") && n > 0 ? QString() : kept, now);
        }
        for (const auto& s : switches)
            update.Set(s[0], s[1], s[0] + " = " + s[1] + ",");
        attempt.Exec(update.Statement("WHERE id = " + QString::number(rowId)));
    }
    if (FAudited)
        attempt.Write(audit);
    return true;
}
