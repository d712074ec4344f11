#include "SysEditServType.h"
#include "CurrEdit.h"
#include "DataMod.h"
#include "DateFunctions.h"
#include "GenFns.h"
#include "LookupCombo.h"
#include "SqlText.h"
#include "ToolEdit.h"
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kTable = QStringLiteral("tServiceType");
const QString kCaption = QStringLiteral("System Edit: tServiceType");

// The five flags, by property (and column) name.
const char* const kFlags[] = {"AdminFee", "ExportToTims", "SplitService", "VRTServiceType", "NoCalls"};

bool allowedFrequency(int value)
{
    return value == 0 || value == 1 || value == 3 || value == 6 || value == 12;
}

// The rent as an addition writes it: with two decimals, or with the third
// and fourth a currency holds when it has them.
QString addedRentText(double rent)
{
    const QString text = CurrText(rent);
    const int point = int(text.indexOf(QChar('.')));
    return point < 0 || text.size() - point - 1 <= 2 ? CurrToFixed2(rent) : text;
}

}  // namespace

TSysEditServTypeForm::TSysEditServTypeForm(QWidget* owner) : TRecordEditor(owner)
{
    setObjectName(QStringLiteral("SysEditServTypeForm"));
    SetModeCaption(kCaption);
    setFixedSize(440, 360);

    AddLabel("lblID", "ID", 16, 8);
    edtID = AddEdit("edtID", 16, 24, 65);
    ShowOnly(edtID);
    AddLabel("lblCode", "Code", 96, 8);
    edtCode = AddEdit("edtCode", 96, 24, 65);
    AddLabel("lblDescription", "Description", 176, 8);
    edtDescription = AddEdit("edtDescription", 176, 24, 248);
    AddLabel("lblSupplierID", "SupplierID", 16, 48);
    edtSupplierID = AddEdit("edtSupplierID", 16, 64, 65);
    AddLabel("lblSupplier", "Supplier", 96, 48);
    edtSupplier = AddEdit("edtSupplier", 96, 64, 328);
    ShowOnly(edtSupplier);
    AddLabel("lblSystemID", "SystemID", 16, 88);
    edtSystemID = AddEdit("edtSystemID", 16, 104, 65);
    AddLabel("lblSystem", "System", 96, 88);
    edtSystem = AddEdit("edtSystem", 96, 104, 328);
    ShowOnly(edtSystem);
    AddLabel("lblRevenueElement", "Revenue Element", 16, 128);
    cbRevenueElement = AddControl<TLookupCombo>("cbRevenueElement", 16, 144, 200);
    AddLabel("lblExpenseElement", "Expense Element", 224, 128);
    cbExpenseElement = AddControl<TLookupCombo>("cbExpenseElement", 224, 144, 200);
    AddLabel("lblStartDate", "StartDate", 16, 168);
    edtStartDate = AddControl<TDateEdit>("edtStartDate", 16, 184, 100);
    AddLabel("lblEndDate", "EndDate", 128, 168);
    edtEndDate = AddControl<TDateEdit>("edtEndDate", 128, 184, 100);
    AddLabel("lblExpectedRent", "ExpectedRent", 240, 168);
    edtExpectedRent = AddControl<TCurrencyEdit>("edtExpectedRent", 240, 184, 100);
    UsePlainCurrencyText(edtExpectedRent);
    AddLabel("lblFrequency", "Bill Frequ (0,1,3,6,12 Months)", 16, 208);
    edtFrequency = AddEdit("edtFrequency", 16, 224, 65);
    edtFrequency->setToolTip(QStringLiteral("How many months between billing (0,1,3,6,12 or empty)"));
    edtFrequency->setText(QStringLiteral("0"));
    ckAdminFee = AddCheck("ckAdminFee", "Admin Fee Applies", 16, 256, 130);
    ckAdminFee->setChecked(true);
    ckExportToTims = AddCheck("ckExportToTims", "Export To Tims", 152, 256, 130);
    ckExportToTims->setChecked(true);
    ckSplitService = AddCheck("ckSplitService", "Split Service", 288, 256, 130);
    ckVRTServiceType = AddCheck("ckVRTServiceType", "VRT Service Type", 16, 280, 130);
    ckNoCalls = AddCheck("ckNoCalls", "No Calls", 152, 280, 130);
    AddOkCancel(btnOk, btnCancel, QStringLiteral("&Save"), 261, 320, [this] { btnOkClick(); });
    ScaleToFont(this);
    SetTabOrder({edtCode, edtDescription, edtSupplierID, edtSystemID, cbRevenueElement, cbExpenseElement,
                 edtStartDate, edtEndDate, edtExpectedRent, edtFrequency, ckAdminFee, ckExportToTims,
                 ckSplitService, ckVRTServiceType, ckNoCalls, btnOk, btnCancel});
    connect(edtFrequency, &QLineEdit::textChanged, this, [this] { edtFrequencyChange(); });

    // What a row without values is compared with.
    FKept.Keep(QStringLiteral("Frequency"), QStringLiteral("0"));
    FKept.Keep(QStringLiteral("ExpectedRent"), CurrText(0));
    for (const char* flag : kFlags)
        FKept.Keep(QLatin1String(flag), false);
    // Every value a change writes is met with the row as stored, whether or
    // not the caller set it.
    for (const char* flag : kFlags)
        WatchCheck(findChild<QCheckBox*>(QStringLiteral("ck") + QLatin1String(flag)), QLatin1String(flag));
    WatchText(edtCode, QStringLiteral("Code"));
    WatchText(edtDescription, QStringLiteral("Description"));
    WatchText(edtSupplierID, QStringLiteral("SupplierID"));
    WatchText(edtSystemID, QStringLiteral("SystemID"));
    WatchListID(cbRevenueElement, QStringLiteral("RevenueElementID"));
    WatchListID(cbExpenseElement, QStringLiteral("ExpenseElementID"));
    WatchAmount(edtExpectedRent, QStringLiteral("ExpectedRent"));
    WatchDate(edtStartDate, QStringLiteral("StartDate"));
    WatchDate(edtEndDate, QStringLiteral("EndDate"));
    KeepInput(QStringLiteral("Frequency"),
              {edtFrequency, [this] { return FKept.Changed(QStringLiteral("Frequency"), QString::number(FFrequency)); },
               [](const QString& v) { return v; }, [this](const QString& v) { SetFrequency(v.toInt()); }});
    ReadAuditIds();

    // The elements of the internal customer, VRT, one list behind both
    // inputs; its empty first choice takes an element off the type.
    TQuery q(nullptr, QLatin1String(kDatabaseName));
    q.SQL().Assign(QStringList{"SELECT tCustomer.ID", "FROM tCustomer", "WHERE tCustomer.ShipTo LIKE 'VRT'"});
    q.Open();
    const QString customer = q.IsEmpty() ? QStringLiteral("0") : q.FieldByName(QStringLiteral("id"))->AsString();
    q.Close();
    cbRevenueElement->Fill({"SELECT tElement.ID, (tElement.ElementCode + (CASE WHEN tElement.Description IS NULL "
                            "THEN '' ELSE '  ' + tElement.Description END)) AS \"Code\"",
                            "FROM tElement", "WHERE tElement.CustomerID = " + customer,
                            "AND tElement.ElementCode IS NOT NULL", "AND tElement.Active = 1",
                            "ORDER BY tElement.ElementCode"},
                           QStringLiteral("Code"), QStringLiteral("ID"), true);
    cbExpenseElement->SetList(cbRevenueElement->List());
    FAudited = IsTableAudited(kTable);
}

// ------------------------------------------------------------ properties

void TSysEditServTypeForm::SetID(int value)
{
    FID = value;
    edtID->setText(IdText(value));
}

QString TSysEditServTypeForm::Code() const
{
    return TextOf(edtCode);
}

void TSysEditServTypeForm::SetCode(const QString& value)
{
    KeepText(edtCode, QStringLiteral("Code"), value);
}

QString TSysEditServTypeForm::Description() const
{
    return TextOf(edtDescription);
}

void TSysEditServTypeForm::SetDescription(const QString& value)
{
    KeepText(edtDescription, QStringLiteral("Description"), value);
}

void TSysEditServTypeForm::SetSupplierID(int value)
{
    KeepText(edtSupplierID, QStringLiteral("SupplierID"), IdText(value));
}

void TSysEditServTypeForm::SetSystemID(int value)
{
    KeepText(edtSystemID, QStringLiteral("SystemID"), IdText(value));
}

void TSysEditServTypeForm::SetSupplierName(const QString& value)
{
    edtSupplier->setText(value.trimmed());
}

void TSysEditServTypeForm::SetSystemName(const QString& value)
{
    edtSystem->setText(value.trimmed());
}

int TSysEditServTypeForm::RevenueElementID() const
{
    return cbRevenueElement->ID();
}

void TSysEditServTypeForm::SetRevenueElementID(int value)
{
    KeepListID(cbRevenueElement, QStringLiteral("RevenueElementID"), value);
}

int TSysEditServTypeForm::ExpenseElementID() const
{
    return cbExpenseElement->ID();
}

void TSysEditServTypeForm::SetExpenseElementID(int value)
{
    KeepListID(cbExpenseElement, QStringLiteral("ExpenseElementID"), value);
}

double TSysEditServTypeForm::ExpectedRent() const
{
    return AmountValue(edtExpectedRent, QStringLiteral("ExpectedRent"));
}

void TSysEditServTypeForm::SetExpectedRent(double value)
{
    KeepAmount(edtExpectedRent, QStringLiteral("ExpectedRent"), value);
}

void TSysEditServTypeForm::SetStartDate(TDateTime value)
{
    KeepDate(edtStartDate, QStringLiteral("StartDate"), value);
}

void TSysEditServTypeForm::SetEndDate(TDateTime value)
{
    KeepDate(edtEndDate, QStringLiteral("EndDate"), value);
}

bool TSysEditServTypeForm::AdminFee() const { return ckAdminFee->isChecked(); }
bool TSysEditServTypeForm::ExportToTims() const { return ckExportToTims->isChecked(); }
bool TSysEditServTypeForm::SplitService() const { return ckSplitService->isChecked(); }
bool TSysEditServTypeForm::VRTServiceType() const { return ckVRTServiceType->isChecked(); }
bool TSysEditServTypeForm::NoCalls() const { return ckNoCalls->isChecked(); }

void TSysEditServTypeForm::SetAdminFee(bool value)
{
    KeepCheck(ckAdminFee, QStringLiteral("AdminFee"), value);
}

void TSysEditServTypeForm::SetExportToTims(bool value)
{
    KeepCheck(ckExportToTims, QStringLiteral("ExportToTims"), value);
}

void TSysEditServTypeForm::SetSplitService(bool value)
{
    KeepCheck(ckSplitService, QStringLiteral("SplitService"), value);
}

void TSysEditServTypeForm::SetVRTServiceType(bool value)
{
    KeepCheck(ckVRTServiceType, QStringLiteral("VRTServiceType"), value);
}

void TSysEditServTypeForm::SetNoCalls(bool value)
{
    KeepCheck(ckNoCalls, QStringLiteral("NoCalls"), value);
}

int TSysEditServTypeForm::Frequency()
{
    const QString text = edtFrequency->text().trimmed();
    const int value = text.isEmpty() ? 0 : StrToInt(text);
    if (allowedFrequency(value))
        FFrequency = value;
    return FFrequency;
}

void TSysEditServTypeForm::SetFrequency(int value)
{
    showFrequency(value);
    FKept.Keep(QStringLiteral("Frequency"), QString::number(FFrequency));
}

void TSysEditServTypeForm::showFrequency(int value)
{
    if (allowedFrequency(value))
        FFrequency = value;
    const QString current = QString::number(FFrequency);
    if (edtFrequency->text() != current)
        edtFrequency->setText(current);
}

void TSysEditServTypeForm::edtFrequencyChange()
{
    const QString text = edtFrequency->text().trimmed();
    if (text.isEmpty()) {
        showFrequency(0);
        return;
    }
    int digits = 0;
    while (digits < text.size() && text[digits] >= QChar('0') && text[digits] <= QChar('9'))
        ++digits;
    if (digits < text.size()) {
        edtFrequency->setText(text.left(digits));  // comes back here with the digits
        return;
    }
    bool ok = false;
    const int value = text.toInt(&ok);
    showFrequency(ok ? value : -1);
}

// ------------------------------------------------------------ save

void TSysEditServTypeForm::btnOkClick()
{
    RunSave([this](TSaveAttempt& attempt) { return save(attempt); });
}

bool TSysEditServTypeForm::save(TSaveAttempt& attempt)
{
    // A change needs the row it changes, as it is stored now.
    const int rowId = FAppendMode ? 0 : RowToChange(edtID, QStringLiteral("service type"));
    if (!FAppendMode) {
        TStoredRow stored(kTable, QStringLiteral("WHERE id = ") + QString::number(rowId));
        stored.Text(QStringLiteral("Code"))
            .Text(QStringLiteral("Description"))
            .Id(QStringLiteral("SupplierID"))
            .Id(QStringLiteral("SystemID"))
            .Id(QStringLiteral("RevenueElementID"))
            .Id(QStringLiteral("ExpenseElementID"))
            .Amount(QStringLiteral("ExpectedRent"))
            // A frequency that is not allowed is shown, and kept, as 0.
            .Value(QStringLiteral("Frequency"), QString(),
                   [](const TField& f) { return QString::number(allowedFrequency(f.AsInteger()) ? f.AsInteger() : 0); })
            .Date(QStringLiteral("StartDate"))
            .Date(QStringLiteral("EndDate"));
        for (const char* flag : kFlags)
            stored.Flag(QLatin1String(flag));
        KeepUpWithStored(attempt, stored);
    }
    // The code as it is written and looked up: without apostrophes once
    // the operator changed it.
    const QString code = FKept.WithoutQuotesIfChanged(QStringLiteral("Code"), Code());
    QString supplierText = edtSupplierID->text().trimmed();
    const int revenue = RevenueElementID();
    const int expense = ExpenseElementID();
    if (code.isEmpty() || supplierText.isEmpty() || (revenue <= 0 && expense <= 0))
        Refuse(QStringLiteral("You must provide: Code, SupplierID, and either RevenueElementID or "
                              "ExpenseElementID."));

    // Unique among all rows, inactive ones too; a row keeps its own code.
    // The check holds until the write: a code another program adds after
    // all refuses the write with the check's message.
    QString taken;
    if (FAppendMode || code != StripQuotes(FKept.Kept(QStringLiteral("Code")))) {
        taken = QStringLiteral("The Code MUST be a unique value.");
        QStringList check{"SELECT tServiceType.id", LockedFrom(kTable),
                          "WHERE tServiceType.Code LIKE " + SqlLikeExact(code)};
        if (!FAppendMode)
            check << "AND tServiceType.id <> " + QString::number(rowId);
        if (attempt.Exists(check)) {
            edtCode->setText(Code());
            Refuse(taken);
        }
    }

    int supplierId = 0;
    if (!ParseIdText(supplierText, supplierId)) {
        edtSupplierID->setText(supplierText);
        Refuse(QStringLiteral("SupplierID MUST be an integer."));
    }
    bool exists = false;
    RecordIdExists(QStringLiteral("tSupplier"), supplierId, exists);
    if (!exists) {
        edtSupplierID->setText(supplierText);
        Refuse(QStringLiteral("SupplierID does not exist."));
    }
    QString systemText = edtSystemID->text().trimmed();
    int systemId = 0;
    if (!systemText.isEmpty() && !ParseIdText(systemText, systemId)) {
        edtSystemID->setText(systemText);
        Refuse(QStringLiteral("SystemID MUST be an integer."));
    }

    const QString description = FKept.WithoutQuotesIfChanged(QStringLiteral("Description"), Description());
    const QString supplier = QString::number(supplierId);
    const QString system = IdText(systemId);
    const QString startDate = DateEditYMD(edtStartDate);
    const QString endDate = DateEditYMD(edtEndDate);
    const bool rentEmpty = edtExpectedRent->text().trimmed().isEmpty();
    const double rent = ExpectedRent();
    const int frequency = Frequency();
    const QString adminFee = BitText(AdminFee());
    const QString exportToTims = BitText(ExportToTims());
    const QString splitService = BitText(SplitService());
    const QString vrtServiceType = BitText(VRTServiceType());
    const QString noCalls = BitText(NoCalls());

    TAuditTrail audit = NewAudit(FAppendMode ? AuditIds.Insert : AuditIds.Update, kTable);
    if (FAppendMode) {
        TInsertLines insert(audit);
        insert.Add(QStringLiteral("Code"), code, Quote(code));
        if (!description.isEmpty())
            insert.Add(QStringLiteral("Description"), description, Quote(description));
        insert.Add(QStringLiteral("SupplierID"), supplier);
        insert.Add(QStringLiteral("AdminFee"), adminFee);
        if (revenue > 0)
            insert.Add(QStringLiteral("RevenueElementID"), QString::number(revenue));
        if (expense > 0)
            insert.Add(QStringLiteral("ExpenseElementID"), QString::number(expense));
        if (!system.isEmpty())
            insert.Add(QStringLiteral("SystemID"), system);
        insert.Add(QStringLiteral("ExportToTims"), exportToTims);
        if (!startDate.isEmpty())
            insert.Add(QStringLiteral("StartDate"), startDate, Quote(startDate));
        insert.AddEndDate(endDate);
        insert.Add(QStringLiteral("SplitService"), splitService);
        insert.Add(QStringLiteral("VRTServiceType"), vrtServiceType);
        if (rent != 0)
            insert.Add(QStringLiteral("ExpectedRent"), addedRentText(rent));
        if (frequency > 0)
            insert.Add(QStringLiteral("Frequency"), QString::number(frequency));
        insert.Add(QStringLiteral("NoCalls"), noCalls);
        audit.SetTableID(attempt.ExecInsert(insert.Statement(kTable), taken));
    } else {
        TUpdateLines update(kTable, FKept, audit);
        audit.SetTableID(rowId);
        update.Always(QStringLiteral("Code"), code, "SET Code = " + Quote(code) + ",");
        update.Set(QStringLiteral("Description"), description, "Description = " + QuoteOrNull(description) + ",");
        update.Set(QStringLiteral("SupplierID"), supplier, "SupplierID = " + supplier + ",");
        const QString revenueText = IdText(revenue);
        update.Set(QStringLiteral("RevenueElementID"), revenueText,
                   "RevenueElementID = " + BareOrNull(revenueText) + ",");
        const QString expenseText = IdText(expense);
        update.Set(QStringLiteral("ExpenseElementID"), expenseText,
                   "ExpenseElementID = " + BareOrNull(expenseText) + ",");
        update.Set(QStringLiteral("SystemID"), system, "SystemID = " + BareOrNull(system) + ",");
        // An empty rent input is 0: over a saved 0 it changes nothing.
        if (AmountTouched(edtExpectedRent, QStringLiteral("ExpectedRent")))
            update.Set(QStringLiteral("ExpectedRent"), CurrText(rent),
                       "ExpectedRent = " + (rentEmpty ? QStringLiteral("NULL") : CurrText(rent)) + ",",
                       rentEmpty ? QString() : CurrText(rent));
        const QString frequencyText = frequency > 0 ? QString::number(frequency) : QString();
        update.Set(QStringLiteral("Frequency"), QString::number(frequency),
                   "Frequency = " + BareOrNull(frequencyText) + ",", frequencyText);
        update.SetStartDate(startDate);
        update.SetEndDate(endDate);
        update.Set(QStringLiteral("AdminFee"), adminFee, "AdminFee = " + adminFee + ",");
        update.Set(QStringLiteral("ExportToTims"), exportToTims, "ExportToTims = " + exportToTims + ",");
        update.Set(QStringLiteral("SplitService"), splitService, "SplitService = " + splitService + ",");
        update.Set(QStringLiteral("VRTServiceType"), vrtServiceType, "VRTServiceType = " + vrtServiceType + ",");
        update.Set(QStringLiteral("NoCalls"), noCalls, "NoCalls = " + noCalls + ",");
        attempt.Exec(update.Statement("WHERE id = " + QString::number(rowId)), taken);
    }
    if (FAudited)
        attempt.Write(audit);
    return true;
}
