// How the main window drives the supplier editor: the id when editing, then
// the row's values in the order the editor takes them.
#include "AddressLines.h"
#include "DB.h"
#include "EditDispatch.h"
#include "SysEditSupplier.h"

TEditorWiring WireSupplier(int)
{
    using F = TSysEditSupplierForm;
    TEditorWiring w;
    w.Create = [](QWidget* owner) -> TRecordEditor* { return new F(owner); };
    w.Copy = [](TRecordEditor& e, TDataSet& row, bool add, int keptId) {
        auto& f = static_cast<F&>(e);
        auto field = [&row](const char* name) { return row.FieldByName(QLatin1String(name)); };
        if (!add)
            f.SetSupplierID(QString::number(keptId));
        f.SetSupplierName(field("SupplierName")->AsString());
        f.SetPlatinumVendorID(field("PlatinumVendorID")->AsString());
        f.SetActive(field("Active")->AsBoolean());
        f.SetPlatinumUpdate(field("PlatinumUpdate")->AsBoolean());
        f.SetZivIruri(field("ZivIruri")->AsBoolean());
        for (int n = 1; n <= F::kAddresses; ++n)
            f.SetAddress(n, row.FieldByName(AddressName(n))->AsString());
    };
    return w;
}
