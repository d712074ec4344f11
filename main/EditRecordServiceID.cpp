// How the main window drives the service id editor: the row's values in the
// order the editor takes them, today as the installation date of an
// addition, and the line details set with the rest so that a save without a
// visit to the line-detail dialog writes them back unchanged.
#include "DB.h"
#include "EditDispatch.h"
#include "SysEditServiceID.h"
#include "SysUtils.h"
#include "ToolEdit.h"

namespace {

void copyRow(TSysEditServiceIDForm& f, TDataSet& row, bool add, int keptId)
{
    const auto field = [&row](const char* column) { return row.FieldByName(QLatin1String(column)); };
    const auto text = [&](const char* column) { return field(column)->AsString(); };
    const auto isSet = [&](const char* column) { return !field(column)->IsNull(); };
    const auto integer = [&](const char* column) { return field(column)->AsInteger(); };
    const auto money = [&](const char* column) { return field(column)->AsCurrency(); };

    if (add) {
        f.edtInstallationDate->SetDate(Date());
    } else {
        f.SetID(keptId);
        if (isSet("InstallationDate"))
            f.SetInstallationDate(field("InstallationDate")->AsDateTime());
    }
    f.SetDescription(text("Description"));
    f.SetSACCNumber(text("SACCnumber"));
    f.SetServiceID(text("ServiceID"));
    f.SetServiceName(text("Service"));
    if (isSet("ServiceTypeID"))
        f.SetRefID(TServiceRef::ServiceTypeID, integer("ServiceTypeID"));
    f.SetRefName(TServiceRef::ServiceTypeID, text("ServiceType"));
    if (isSet("PayType"))
        f.SetPayType(text("PayType"));
    if (isSet("ApplicationID"))
        f.SetApplicationID(integer("ApplicationID"));
    if (!text("vServiceCode").isEmpty())
        f.SetServiceCode(text("vServiceCode"));

    // The eleven ids with their names: id column, name column.
    static const struct {
        TServiceRef Ref;
        const char* Id;
        const char* Name;
    } pairs[] = {
        {TServiceRef::CentreID, "CentreID", "Centre"},
        {TServiceRef::ActivityID, "ActivityID", "Activity"},
        {TServiceRef::ElementID, "ExpenseElementID", "Element"},
        {TServiceRef::SubledgerID, "SubledgerID", "Subledger"},
        {TServiceRef::LocationID, "LocationID", "Location"},
        {TServiceRef::PersonID, "PersonID", "Person"},
        {TServiceRef::SupplierAccountID, "SupplierAccountID", "AccountNo"},
        {TServiceRef::CustomerCentreID, "CustomerCentreID", "CustomerCentre"},
        {TServiceRef::CustomerActivityID, "CustomerActivityID", "CustomerActivity"},
        {TServiceRef::CustomerElementID, "CustomerElementID", "CustomerElement"},
        {TServiceRef::CustomerSubledgerID, "CustomerSubledgerID", "CustomerSubledger"},
    };
    for (const auto& p : pairs) {
        if (isSet(p.Id))
            f.SetRefID(p.Ref, integer(p.Id));
        f.SetRefName(p.Ref, text(p.Name));
    }
    static const struct {
        const char* Column;
        void (TSysEditServiceIDForm::*Set)(double);
    } amounts[] = {
        {"CurrentRent", &TSysEditServiceIDForm::SetCurrentRent},
        {"CurrentCalls", &TSysEditServiceIDForm::SetCurrentCalls},
        {"PreviousRent", &TSysEditServiceIDForm::SetPreviousRent},
        {"PreviousCalls", &TSysEditServiceIDForm::SetPreviousCalls},
    };
    for (const auto& a : amounts)
        if (isSet(a.Column))
            (f.*a.Set)(money(a.Column));
    f.SetJobno(text("JobNo"));

    TServiceLineDetails d;
    d.UpMDF = text("UpMDF");
    d.UpEnd = text("UpEnd");
    d.DownMDF = text("DownMDF");
    d.DownEnd = text("DownEnd");
    d.LineLength = TSysEditServiceIDForm::StoredNumberText(*field("Length"));
    d.Cost = money("Cost");
    d.Cost100 = money("Cost100");
    d.Invoiced = money("Invoiced");
    d.No = text("No");
    d.Part = text("Part");
    d.Drawing = text("Drawing");
    d.Make = text("Make");
    d.Ch = TSysEditServiceIDForm::StoredNumberText(*field("Ch"));
    d.Mux = text("Mux");
    d.BearerID = integer("BearerID");
    d.SpeedID = integer("SpeedID");
    d.ModemTypeID = integer("ModemTypeID");
    d.AuthorityID = integer("AuthorityID");
    f.SetLineDetails(d);

    f.SetServiceKpiID(integer("ServiceKpiID"));
    if (isSet("TerminationDate"))
        f.SetTerminationDate(field("TerminationDate")->AsDateTime());
}

}  // namespace

TEditorWiring WireServiceID(int)
{
    TEditorWiring w;
    w.Create = [](QWidget* owner) { return new TSysEditServiceIDForm(owner); };
    w.Copy = [](TRecordEditor& e, TDataSet& row, bool add, int keptId) {
        copyRow(static_cast<TSysEditServiceIDForm&>(e), row, add, keptId);
    };
    w.SetTodayDefault = [](TRecordEditor& e) {
        static_cast<TSysEditServiceIDForm&>(e).edtInstallationDate->SetDate(Date());
    };
    return w;
}
