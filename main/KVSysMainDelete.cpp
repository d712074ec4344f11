// Deactivation, reactivation and deletion of the row in front (the main
// window's Del button).
//
// Reference rows are never removed: Del switches the row between active and
// inactive (stamping or clearing its end date where the table has one). Only
// programs are deleted outright. Audited tables get their audit rows in the
// same transaction as the change, so the two stand or fall together.
//
// Del acts on the row as the table holds it: inside its transaction, before
// it writes, it reads the row with the locks a write takes. A row another
// operator changed since the page read it (its active flag or end date) is
// left alone, and a row gone is told; the page is then read again.
#include "KVSysMainDelete.h"
#include "KVSysMain.h"
#include "Application.h"
#include "AuditTrail.h"
#include "DataMod.h"
#include "DateFunctions.h"
#include "Dialogs.h"
#include "GenFns.h"
#include "OperatorIdentity.h"
#include "RowKey.h"
#include "SqlText.h"
#include "SysUtils.h"

namespace {
const DeletePage kDeletePages[] = {
    {1001, DelKind::ToggleEndDate, "tActivity", AuditValues::Date},
    {1003, DelKind::ToggleShared, "tAgreement", AuditValues::Shared},
    {1004, DelKind::ToggleShared, "tAgreementTariffs", AuditValues::Shared},
    {1005, DelKind::ToggleShared, "tAgreementType", AuditValues::Shared},
    {1006, DelKind::Toggle, "tApplication", AuditValues::BothBare},
    {1012, DelKind::Toggle, "tBatchType", AuditValues::BothQuoted},
    {1013, DelKind::ToggleEndDate, "tCentre", AuditValues::Date},
    {1016, DelKind::ToggleEndDate, "tCustomer", AuditValues::Date},
    {1024, DelKind::ToggleEndDate, "tDepartment", AuditValues::Date},
    {1025, DelKind::Toggle, "tDestination", AuditValues::BothQuoted},
    {1027, DelKind::Toggle, "tDiscount", AuditValues::OldQuoted},
    {1028, DelKind::Toggle, "tDiscountedRate", AuditValues::OldQuoted},
    {1041, DelKind::ToggleEndDate, "tElement", AuditValues::Date},
    {1043, DelKind::ToggleEndDate, "tGroup", AuditValues::Date},
    {1044, DelKind::ToggleEndDate, "tLocation", AuditValues::Date},
    {1045, DelKind::Toggle, "tOrigin", AuditValues::BothQuoted},
    {1047, DelKind::Toggle, "tPerson", AuditValues::OldQuoted},
    {1048, DelKind::Delete, "tProgram", AuditValues::Shared},
    {1049, DelKind::ToggleEndDate, "tRate", AuditValues::Date},
    {1051, DelKind::ToggleTermDate, "tServiceID", AuditValues::Date},
    {1052, DelKind::Toggle, "tServiceKpi", AuditValues::BothQuoted},
    {1061, DelKind::Toggle, "tServiceSplit", AuditValues::BothQuoted},
    {1063, DelKind::ToggleEndDate, "tServiceType", AuditValues::Date},
    {1065, DelKind::ToggleEndDate, "tSubledger", AuditValues::Date},
    {1066, DelKind::ToggleEndDate, "tSupplier", AuditValues::Date},
    {1067, DelKind::Toggle, "tSupplierServiceCode", AuditValues::BothQuoted},
    {1068, DelKind::Toggle, "tSystem", AuditValues::BothQuoted},
    {1070, DelKind::ToggleEndDate, "tTransactionType", AuditValues::Date},
    {1081, DelKind::Toggle, "tUser", AuditValues::BothQuoted},
    {1082, DelKind::Toggle, "tUser", AuditValues::BothQuoted},
    {1083, DelKind::ToggleEndDate, "tValidAccountNumber", AuditValues::Date},
};

constexpr int kRatePage = 1049;         // also stamps LastUpdatedBy
constexpr int kServiceSplitPage = 1061;
constexpr int kUserPage = 1081;
constexpr int kUserFunctionPage = 1082;
constexpr int kValidAccountPage = 1083;

QString Quoted(const QString& s)
{
    return QChar('\'') + s + QChar('\'');
}

// Runs the row's statement on the window's scratch query and leaves it
// closed. A statement that finds no row (someone removed it meanwhile)
// raises, so no audit row claims a change that did not happen.
void Exec(TQuery* q, const QStringList& lines)
{
    q->Close();
    q->SQL().Clear();
    for (const QString& line : lines)
        q->SQL().Add(line);
    q->ExecSQL();
    const bool changed = q->RowsAffected() != 0;
    q->Close();
    if (!changed)
        throw EDatabaseError(QStringLiteral("The row is no longer in the table; nothing was changed."));
}

// Reads the row of `idText` as the table holds it, with the locks a write
// takes (inside the write's transaction), into the scratch query, left
// open; false when the table no longer holds it.
bool ReadLocked(TQuery* q, const QString& columns, const QString& table, const QString& idText)
{
    q->Close();
    q->SQL().Clear();
    q->SQL().Add(QStringLiteral("SELECT ") + columns);
    q->SQL().Add(LockedFrom(table));
    q->SQL().Add(QStringLiteral("WHERE ID = ") + idText);
    q->Open();
    return !q->IsEmpty();
}

// Reopens a page query after Del's own change and returns to the row by
// its key when the page still shows it; otherwise the first row is current.
void Reload(TQuery* q, const QString& keyField, const QVariant& key)
{
    q->Close();
    q->Open();
    if (!keyField.isEmpty())
        q->Locate(keyField, key);
}

// The same date, or both none (dates compared as the fields read them).
bool SameDate(const TField* a, const TField* b)
{
    return a->IsNull() == b->IsNull() && (a->IsNull() || a->AsDateTime() == b->AsDateTime());
}

// The other operator page, when it is open, follows a change of tUser; it
// returns to its own current operator.
void ReloadOperatorPage(TMainForm* form, TQuery* q, const QString& keyField)
{
    if (!q || !q->Active())
        return;
    const QVariant key = q->HasCurrent() ? q->FieldByName(keyField)->Value() : QVariant();
    form->ReloadPage(q, key, false);
}

const QString kRowGone = QStringLiteral("The row is no longer in the table; nothing was changed.");

}  // namespace

const DeletePage* FindDeletePage(int pageId)
{
    for (const DeletePage& p : kDeletePages)
        if (p.PageID == pageId)
            return &p;
    return nullptr;
}

void TMainForm::DeleteRecord(int pageId)
{
    const DeletePage* page = FindDeletePage(pageId);
    TQuery* query = CurrentQuery(pageId);
    if (!page || !query || !query->Active() || query->IsEmpty()) {
        ProcessMessages();
        return;
    }
    // Only the row the page shows picked: none, nothing happens.
    const QString keyField = PageKeyField(pageId);
    TField* key = query->FieldByName(keyField);
    if (!query->HasCurrent() || key->IsNull()) {
        ProcessMessages();
        return;
    }

    const QString auditTable = pageId == kValidAccountPage ? QStringLiteral("tValidAccountNumber")
                                                           : CurrentTable(pageId);
    const bool audited = IsTableAudited(auditTable);
    const QString endDateText = Quoted(DateToYMD(Date()));
    const QString table = QLatin1String(page->Table);
    const int id = RowKeyOf(key);
    const QString idText = QString::number(id);
    const QString operatorName = SqlStr(OperatorName());

    // Where the row is not as the page shows it, nothing is written: the
    // operator is told what is stored now and the page is read again, on the
    // same row where it still shows it.
    const auto leftAlone = [&](const QString& message) {
        MessageDlg(message, mtWarning, mbOK, 0);
        ReloadPage(query, id, false);
        ProcessMessages();
    };

    if (page->Kind == DelKind::Delete) {
        // The question comes before the transaction: nothing is held while
        // the operator decides.
        qry->Close();
        qry->SQL().Clear();
        qry->SQL().Add(QStringLiteral("SELECT id"));
        qry->SQL().Add(QStringLiteral("FROM tBatchType"));
        qry->SQL().Add(QStringLiteral("WHERE ProgramID = ") + idText);
        qry->Open();
        const bool used = !qry->IsEmpty();
        qry->Close();
        if (used && MessageDlg(QStringLiteral("This ID is used in tBatchType. Continue?"), mtWarning, mbYes | mbNo,
                               0) != mrYes) {
            ProcessMessages();
            return;
        }
        {
            TTransaction guard(DM->dbKVdata);
            if (!ReadLocked(qry, QStringLiteral("Description"), table, idText)) {
                qry->Close();
                leftAlone(kRowGone);
                return;
            }
            // The audit keeps the description as stored.
            const QString description = qry->FieldByName(QStringLiteral("Description"))->AsString();
            qry->Close();
            if (audited) {
                // Written before the delete, so the values still exist to copy.
                TAuditTrail audit(QString::number(OperatorNumber()), FDeleteEventID, table);
                audit.SetTableID(id);
                audit.AddField(QStringLiteral("ID"), idText, QStringLiteral("NULL"));
                audit.AddField(QStringLiteral("DESCRIPTION"), description, QStringLiteral("NULL"));
                audit.Write();
            }
            Exec(qry, {QStringLiteral("DELETE FROM tProgram"), QStringLiteral("WHERE ID = ") + idText});
            guard.Commit();
        }
        Reload(query, QString(), QVariant());
        ProcessMessages();
        return;
    }

    // A Null Active counts as inactive: Del then reactivates the row.
    const bool deactivate = query->FieldByName(QStringLiteral("Active"))->AsBoolean();
    const QString newActive = deactivate ? QStringLiteral("0") : QStringLiteral("1");
    const QString oldActive = deactivate ? QStringLiteral("1") : QStringLiteral("0");
    const QString action = deactivate ? FDeleteEventID : FUpdateEventID;
    const QString date = deactivate ? endDateText : QStringLiteral("NULL");
    const bool dated = page->Kind == DelKind::ToggleEndDate || page->Kind == DelKind::ToggleTermDate;
    const QString column = page->Kind == DelKind::ToggleTermDate ? QStringLiteral("TerminationDate")
                                                                 : QStringLiteral("EndDate");
    // The page's copy of the date, where the page shows one.
    const TField* shownDate = dated ? query->FindField(column) : nullptr;

    {
        TTransaction guard(DM->dbKVdata);
        if (!ReadLocked(qry, dated ? QStringLiteral("Active, ") + column : QStringLiteral("Active"), table, idText)) {
            qry->Close();
            leftAlone(kRowGone);
            return;
        }
        const bool storedActive = qry->FieldByName(QStringLiteral("Active"))->AsBoolean();
        const TField* storedDate = dated ? qry->FieldByName(column) : nullptr;
        if (storedActive != deactivate || (shownDate && !SameDate(shownDate, storedDate))) {
            // Another operator changed the row since the page read it.
            QString now = storedActive ? QStringLiteral("active") : QStringLiteral("inactive");
            const QString dateName =
                page->Kind == DelKind::ToggleTermDate ? QStringLiteral("termination date") : QStringLiteral("end date");
            if (storedDate && storedDate->IsNull())
                now += QStringLiteral(", with no ") + dateName;
            else if (storedDate)
                now += QStringLiteral(", with the ") + dateName + QChar(' ') + DateToStr(storedDate->AsDateTime());
            qry->Close();
            leftAlone(QStringLiteral("Another operator changed this row after the page read it: it is now %1. "
                                     "Nothing was changed; the page shows the row as it is stored now.")
                          .arg(now));
            return;
        }
        // The date the change replaces, as the audit row keeps it: yyyymmdd,
        // or NULL where the row has none.
        const QString oldDate =
            !storedDate || storedDate->IsNull() ? QStringLiteral("NULL") : DateToYMD(storedDate->AsDateTime());
        qry->Close();

        const QString where = QStringLiteral("WHERE ID =") + idText;
        QString auditField, oldValue, newValue;
        if (dated) {
            QStringList lines{QStringLiteral("UPDATE ") + table,
                              QStringLiteral("SET Active = ") + newActive + QChar(',')};
            if (pageId == kRatePage) {
                lines << column + QStringLiteral(" = ") + date + QChar(',')
                      << QStringLiteral("LastUpdatedBy = '") + operatorName + QChar('\'');
            } else {
                lines << column + QStringLiteral(" = ") + date;
            }
            lines << where;
            Exec(qry, lines);
            auditField = column;
            oldValue = oldDate;
            newValue = date;
        } else {
            Exec(qry, {QStringLiteral("UPDATE ") + table, QStringLiteral("SET Active = ") + newActive, where});
            auditField = QStringLiteral("Active");
            oldValue = oldActive;
            newValue = newActive;
        }

        if (audited && page->Values == AuditValues::Shared) {
            // The shared rows name the operator by number, and every toggle
            // as the delete event.
            TAuditTrail audit(QString::number(OperatorNumber()), FDeleteEventID, table);
            audit.SetTableID(id);
            audit.AddField(QStringLiteral("ACTIVE"), oldActive, newActive);
            audit.Write();
        } else if (audited) {
            QString oldText = oldValue, newText = newValue;
            switch (page->Values) {
            case AuditValues::BothQuoted:
                oldText = Quoted(oldValue);
                newText = Quoted(newValue);
                break;
            case AuditValues::OldQuoted:
            case AuditValues::Date:  // the new date carries its own quotes, or is NULL
                oldText = Quoted(oldValue);
                break;
            case AuditValues::BothBare:
            case AuditValues::Shared:
                break;
            }
            TAuditTrail audit(OperatorName(), action, table);
            audit.SetTableID(id);
            audit.AddToggleRow(auditField, oldText, newText);
            audit.Write();
        }
        guard.Commit();
    }
    if (pageId == kRatePage)
        ProcessMessages();

    const bool locate = page->Kind != DelKind::ToggleShared;
    Reload(query, locate ? keyField : QString(), id);
    if (pageId == kUserPage)
        ReloadOperatorPage(this, CurrentQuery(kUserFunctionPage), QStringLiteral("UserID"));
    else if (pageId == kUserFunctionPage)
        ReloadOperatorPage(this, CurrentQuery(kUserPage), QStringLiteral("id"));

    if (pageId == kServiceSplitPage)
        MessageDlg(QStringLiteral("The tServiceSplit table MUST be updated \r\nto process relevant transactions."),
                   mtWarning, mbOK, 0);
    ProcessMessages();
}
