// How the main window drives the service type editor: when adding, today is
// the start date; when editing, the id and the stored start date; then the
// row's values, each date and the rent and frequency only when the row holds
// them.
#include "DB.h"
#include "EditDispatch.h"
#include "SysEditServType.h"
#include "SysUtils.h"

TEditorWiring WireServiceType(int)
{
    TEditorWiring w;
    w.Create = [](QWidget* owner) { return new TSysEditServTypeForm(owner); };
    w.Copy = [](TRecordEditor& e, TDataSet& row, bool add, int keptId) {
        auto& f = static_cast<TSysEditServTypeForm&>(e);
        auto field = [&row](const char* name) { return row.FieldByName(QLatin1String(name)); };
        if (add) {
            f.SetStartDate(Date());
        } else {
            f.SetID(keptId);
            if (!field("StartDate")->IsNull())
                f.SetStartDate(field("StartDate")->AsDateTime());
        }
        f.SetCode(field("Code")->AsString());
        f.SetDescription(field("Description")->AsString());
        f.SetSupplierID(field("SupplierID")->AsInteger());
        f.SetSupplierName(field("SupplierName")->AsString());
        f.SetRevenueElementID(field("RevenueElementID")->AsInteger());
        f.SetExpenseElementID(field("ExpenseElementID")->AsInteger());
        f.SetSystemID(field("SystemID")->AsInteger());
        f.SetSystemName(field("System")->AsString());
        if (!field("EndDate")->IsNull())
            f.SetEndDate(field("EndDate")->AsDateTime());
        if (!field("ExpectedRent")->IsNull())
            f.SetExpectedRent(field("ExpectedRent")->AsCurrency());
        f.SetAdminFee(field("AdminFee")->AsBoolean());
        f.SetExportToTims(field("ExportToTims")->AsBoolean());
        f.SetSplitService(field("SplitService")->AsBoolean());
        f.SetVRTServiceType(field("VRTServiceType")->AsBoolean());
        f.SetNoCalls(field("NoCalls")->AsBoolean());
        if (!field("Frequency")->IsNull())
            f.SetFrequency(field("Frequency")->AsInteger());
    };
    w.SetTodayDefault = [](TRecordEditor& e) { static_cast<TSysEditServTypeForm&>(e).SetStartDate(Date()); };
    return w;
}
