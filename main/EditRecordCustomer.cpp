// How the main window drives the customer editor: the id when editing, then
// the row's values in the order the editor takes them.
#include "AddressLines.h"
#include "DB.h"
#include "EditDispatch.h"
#include "SysEditCustomer.h"

TEditorWiring WireCustomer(int)
{
    using F = TSysEditCustomerForm;
    TEditorWiring w;
    w.Create = [](QWidget* owner) -> TRecordEditor* { return new F(owner); };
    w.BeforeQuestion = [](TRecordEditor& e, TDataSet&, bool add, int keptId) {
        if (!add)
            static_cast<F&>(e).SetCustomerID(QString::number(keptId));
    };
    w.Copy = [](TRecordEditor& e, TDataSet& row, bool, int) {
        auto& f = static_cast<F&>(e);
        auto field = [&row](const char* name) { return row.FieldByName(QLatin1String(name)); };
        f.SetShipTo(field("ShipTo")->AsString());
        f.SetFullName(field("FullName")->AsString());
        f.SetVNumber(field("VNumber")->AsString());
        f.SetActive(field("Active")->AsBoolean());
        f.SetStatus(field("Status")->AsString());
        f.SetRate(field("Rate")->AsInteger());
        f.SetMaxExServiceAmount(field("MaxExServiceAmount")->AsCurrency());
        f.SetPlatinumUpdate(field("PlatinumUpdate")->AsBoolean());
        f.SetInvoice(field("Invoice")->AsBoolean());
        f.SetInvoiceServices(field("InvoiceServices")->AsBoolean());
        for (int n = 1; n <= F::kAddresses; ++n)
            f.SetAddress(n, row.FieldByName(AddressName(n))->AsString());
    };
    return w;
}
