// How the main window drives the agreement editor: the row's texts and ids;
// when adding, today as the start date; when editing, the id and the stored
// dates.
#include "DB.h"
#include "EditDispatch.h"
#include "SysEditAgreement.h"
#include "SysUtils.h"

TEditorWiring WireAgreement(int)
{
    TEditorWiring w;
    w.Create = [](QWidget* owner) { return new TSysEditAgreementForm(owner); };
    w.Copy = [](TRecordEditor& e, TDataSet& row, bool add, int keptId) {
        auto& f = static_cast<TSysEditAgreementForm&>(e);
        auto field = [&row](const char* name) { return row.FieldByName(QLatin1String(name)); };
        f.SetAgreementNo(field("AgreementNo")->AsString());
        f.SetDescription(field("Description")->AsString());
        f.SetAgreementTypeID(field("AT_ID")->AsInteger());
        f.SetSupplierID(field("SupplierID")->AsInteger());
        f.SetBatchTypeID(field("BT_ID")->AsInteger());
        f.SetValidAccountNumberID(field("VAN_ID")->AsInteger());
        if (add) {
            f.SetStartDate(Date());
            return;
        }
        f.SetID(keptId);
        if (!field("StartDate")->IsNull())
            f.SetStartDate(field("StartDate")->AsDateTime());
        if (!field("EndDate")->IsNull())
            f.SetEndDate(field("EndDate")->AsDateTime());
    };
    w.SetTodayDefault = [](TRecordEditor& e) { static_cast<TSysEditAgreementForm&>(e).SetStartDate(Date()); };
    return w;
}
