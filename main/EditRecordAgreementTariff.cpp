// How the main window drives the agreement tariff editor: the agreement and
// the service code, each amount and count the row holds, the three switches,
// and when editing the id.
#include "DB.h"
#include "EditDispatch.h"
#include "SysEditTariff.h"

TEditorWiring WireAgreementTariff(int)
{
    TEditorWiring w;
    w.Create = [](QWidget* owner) { return new TSysEditTariffForm(owner); };
    w.Copy = [](TRecordEditor& e, TDataSet& row, bool add, int keptId) {
        auto& f = static_cast<TSysEditTariffForm&>(e);
        auto field = [&row](const char* name) { return row.FieldByName(QLatin1String(name)); };
        f.SetAgreementID(field("AgreementID")->AsInteger());
        f.SetSupplierServiceCodeID(field("SupplierServiceCodeID")->AsInteger());
        for (const TTariffValue& v : TariffValues()) {
            const TField* value = field(v.Column);
            if (value->IsNull())
                continue;
            if (v.Amount)
                f.SetAmount(QLatin1String(v.Property), value->AsCurrency());
            else
                f.SetCount(QLatin1String(v.Property), value->AsInteger());
        }
        f.SetCheckSurcharge(field("Surcharge")->AsBoolean());
        f.SetCheckDiscount(field("Discount")->AsBoolean());
        f.SetCheckChargePeriod(field("ChargePeriod")->AsBoolean());
        if (!add)
            f.SetID(keptId);
    };
    return w;
}
