#include "SysEditAgreement.h"
#include "Application.h"
#include "DateFunctions.h"
#include "GenFns.h"
#include "LookupCombo.h"
#include "ToolEdit.h"
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kTable = QStringLiteral("tAgreement");
const QString kCaption = QStringLiteral("System Edit: tAgreement");

// The lists' ids by property name, in statement order.
const char* const kLookups[] = {"AgreementTypeID", "SupplierID", "BatchTypeID", "ValidAccountNumberID"};

// The batch types and the account numbers, each list narrowed by the row
// picked in the list before it.
const QStringList kBatchSql = {"SELECT tBatchType.ID, tBatchType.Description", "FROM tBatchType",
                               "WHERE tBatchType.Active = 1", "AND tBatchType.ID > 0",
                               "ORDER BY tBatchType.Description"};
const QStringList kValidAcctSql = {"SELECT tValidAccountNumber.ID, tValidAccountNumber.AccountNo",
                                   "FROM tValidAccountNumber", "WHERE tValidAccountNumber.Active = 1",
                                   "AND tValidAccountNumber.ID > 0", "ORDER BY tValidAccountNumber.AccountNo"};

}  // namespace

TSysEditAgreementForm::TSysEditAgreementForm(QWidget* owner) : TRecordEditor(owner)
{
    setObjectName(QStringLiteral("SysEditAgreementForm"));
    SetModeCaption(kCaption);
    setFixedSize(432, 248);

    AddLabel("lblID", "ID", 16, 8);
    edtID = AddEdit("edtID", 16, 24, 65);
    ShowOnly(edtID);
    AddLabel("lblAgreementNo", "AgreementNo", 96, 8);
    edtAgreementNo = AddEdit("edtAgreementNo", 96, 24, 150);
    AddLabel("lblDescription", "Description", 16, 48);
    edtDescription = AddEdit("edtDescription", 16, 64, 400);
    AddLabel("lblSupplier", "Supplier", 16, 88);
    cbSupplier = AddControl<TLookupCombo>("cbSupplier", 16, 104, 200);
    AddLabel("lblAgreementType", "Agreement Type", 224, 88);
    cbAgreementType = AddControl<TLookupCombo>("cbAgreementType", 224, 104, 192);
    AddLabel("lblBatchType", "Batch Type", 16, 128);
    cbBatchType = AddControl<TLookupCombo>("cbBatchType", 16, 144, 200);
    AddLabel("lblValidAccountNumber", "Valid Account Number", 224, 128);
    cbValidAccountNumber = AddControl<TLookupCombo>("cbValidAccountNumber", 224, 144, 192);
    AddLabel("lblStartDate", "StartDate", 16, 168);
    edtStartDate = AddControl<TDateEdit>("edtStartDate", 16, 184, 100);
    AddLabel("lblEndDate", "EndDate", 128, 168);
    edtEndDate = AddControl<TDateEdit>("edtEndDate", 128, 184, 100);
    AddOkCancel(btnOk, btnCancel, QStringLiteral("&Save"), 253, 212, [this] { btnOkClick(); });
    ScaleToFont(this);
    SetTabOrder({edtAgreementNo, edtDescription, cbSupplier, cbAgreementType, cbBatchType, cbValidAccountNumber,
                 edtStartDate, edtEndDate, btnOk, btnCancel, edtID});
    connect(cbSupplier, &TLookupCombo::PickedID, this, [this] { RunGuarded([this] { cbSupplierChange(); }); });
    connect(cbBatchType, &TLookupCombo::PickedID, this, [this] { RunGuarded([this] { cbBatchTypeChange(); }); });

    ReadAuditIds();
    cbAgreementType->Fill({"SELECT tAgreementType.ID, tAgreementType.Description", "FROM tAgreementType",
                           "WHERE tAgreementType.Active = 1", "ORDER BY tAgreementType.Description"},
                          QStringLiteral("Description"));
    cbSupplier->Fill({"SELECT tSupplier.ID, tSupplier.SupplierName", "FROM tSupplier", "WHERE tSupplier.Active = 1",
                      "ORDER BY tSupplier.SupplierName"},
                     QStringLiteral("SupplierName"));
    cbBatchType->Fill(kBatchSql, QStringLiteral("Description"));
    cbValidAccountNumber->Fill(kValidAcctSql, QStringLiteral("AccountNo"));
    FAudited = IsTableAudited(kTable);
    // Every value a change writes is met with the row as stored, whether or
    // not the caller set it.
    WatchText(edtAgreementNo, QStringLiteral("AgreementNo"));
    WatchText(edtDescription, QStringLiteral("Description"));
    TLookupCombo* const lists[] = {cbAgreementType, cbSupplier, cbBatchType, cbValidAccountNumber};
    for (int i = 0; i < 4; ++i)
        WatchListID(lists[i], QLatin1String(kLookups[i]));
    WatchDate(edtStartDate, QStringLiteral("StartDate"));
    WatchDate(edtEndDate, QStringLiteral("EndDate"));
}

// ------------------------------------------------------------ properties

void TSysEditAgreementForm::SetID(int value)
{
    FID = value;
    edtID->setText(QString::number(value));
}

QString TSysEditAgreementForm::AgreementNo() const
{
    return TextOf(edtAgreementNo);
}

void TSysEditAgreementForm::SetAgreementNo(const QString& value)
{
    KeepText(edtAgreementNo, QStringLiteral("AgreementNo"), value);
}

QString TSysEditAgreementForm::Description() const
{
    return TextOf(edtDescription);
}

void TSysEditAgreementForm::SetDescription(const QString& value)
{
    KeepText(edtDescription, QStringLiteral("Description"), value);
}

int TSysEditAgreementForm::AgreementTypeID() const { return cbAgreementType->ID(); }
int TSysEditAgreementForm::SupplierID() const { return cbSupplier->ID(); }
int TSysEditAgreementForm::BatchTypeID() const { return cbBatchType->ID(); }
int TSysEditAgreementForm::ValidAccountNumberID() const { return cbValidAccountNumber->ID(); }

void TSysEditAgreementForm::SetAgreementTypeID(int value)
{
    KeepListID(cbAgreementType, QStringLiteral("AgreementTypeID"), value);
}

void TSysEditAgreementForm::SetSupplierID(int value)
{
    KeepListID(cbSupplier, QStringLiteral("SupplierID"), value);
}

void TSysEditAgreementForm::SetBatchTypeID(int value)
{
    KeepListID(cbBatchType, QStringLiteral("BatchTypeID"), value);
}

void TSysEditAgreementForm::SetValidAccountNumberID(int value)
{
    KeepListID(cbValidAccountNumber, QStringLiteral("ValidAccountNumberID"), value);
}

void TSysEditAgreementForm::SetStartDate(TDateTime value)
{
    KeepDate(edtStartDate, QStringLiteral("StartDate"), value);
}

void TSysEditAgreementForm::SetEndDate(TDateTime value)
{
    KeepDate(edtEndDate, QStringLiteral("EndDate"), value);
}

// ------------------------------------------------------------ dependent lists

void TSysEditAgreementForm::refill(TLookupCombo* list, QStringList sql, int id, const QString& condition,
                                   const QString& textField)
{
    list->ClearItems();
    if (id <= 0)
        return;
    // The narrowing condition goes in before the ORDER BY line.
    sql.insert(sql.size() - 1, condition + QString::number(id));
    list->Fill(sql, textField);
    if (list->count() > 0)
        list->SetID(list->ItemID(0));
}

void TSysEditAgreementForm::cbSupplierChange()
{
    refill(cbBatchType, kBatchSql, SupplierID(), QStringLiteral("AND SupplierID = "), QStringLiteral("Description"));
}

void TSysEditAgreementForm::cbBatchTypeChange()
{
    refill(cbValidAccountNumber, kValidAcctSql, BatchTypeID(), QStringLiteral("AND BatchTypeID = "),
           QStringLiteral("AccountNo"));
}

// ------------------------------------------------------------ save

void TSysEditAgreementForm::btnOkClick()
{
    RunSave([this](TSaveAttempt& attempt) { return save(attempt); });
}

bool TSysEditAgreementForm::save(TSaveAttempt& attempt)
{
    // A change needs the row it changes, as it is stored now.
    const int rowId = FAppendMode ? 0 : RowToChange(edtID, QStringLiteral("agreement"));
    if (!FAppendMode) {
        TStoredRow stored(kTable, QStringLiteral("WHERE id = ") + QString::number(rowId));
        stored.Text(QStringLiteral("AgreementNo")).Text(QStringLiteral("Description"));
        for (const char* id : kLookups)
            stored.Id(QLatin1String(id));
        stored.Date(QStringLiteral("StartDate")).Date(QStringLiteral("EndDate"));
        KeepUpWithStored(attempt, stored);
    }
    if (AgreementNo().isEmpty())
        Refuse(QStringLiteral("AgreementNo MUST be entered."));
    if (Description().isEmpty())
        Refuse(QStringLiteral("Description MUST be entered."));
    const QString number = FKept.WithoutQuotesIfChanged(QStringLiteral("AgreementNo"), AgreementNo());
    const QString description = FKept.WithoutQuotesIfChanged(QStringLiteral("Description"), Description());
    const int ids[] = {AgreementTypeID(), SupplierID(), BatchTypeID(), ValidAccountNumberID()};
    const QString startDate = DateEditYMD(edtStartDate);
    const QString endDate = DateEditYMD(edtEndDate);

    TAuditTrail audit = NewAudit(FAppendMode ? AuditIds.Insert : AuditIds.Update, kTable);
    if (FAppendMode) {
        TInsertLines insert(audit);
        insert.Add(QStringLiteral("AgreementNo"), number, Quote(number));
        if (!description.isEmpty())
            insert.Add(QStringLiteral("Description"), description, Quote(description));
        for (int i = 0; i < 4; ++i)
            if (ids[i] > 0)
                insert.Add(QLatin1String(kLookups[i]), QString::number(ids[i]));
        if (!startDate.isEmpty())
            insert.Add(QStringLiteral("StartDate"), startDate, Quote(startDate));
        insert.AddEndDate(endDate);
        audit.SetTableID(attempt.ExecInsert(insert.Statement(kTable)));
    } else {
        TUpdateLines update(kTable, FKept, audit);
        audit.SetTableID(rowId);
        update.Always(QStringLiteral("AgreementNo"), number, "SET AgreementNo = " + Quote(number) + ",");
        update.Set(QStringLiteral("Description"), description, "Description = " + QuoteOrNull(description) + ",");
        for (int i = 0; i < 4; ++i) {
            const QString now = IdText(ids[i]);
            update.Set(QLatin1String(kLookups[i]), now, QLatin1String(kLookups[i]) + " = " + BareOrNull(now) + ",");
        }
        // A cleared date is written as NULL; Active follows the end date
        // only when the end date itself changes.
        update.SetStartDate(startDate);
        update.SetEndDate(endDate);
        attempt.Exec(update.Statement("WHERE id = " + QString::number(rowId)));
    }
    if (FAudited)
        attempt.Write(audit);
    return true;
}
