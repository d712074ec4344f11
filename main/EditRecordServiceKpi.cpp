// How the main window drives the service-level editor: the mode comes first,
// before the question, and is not set again; then the id and the row's texts.
#include "DB.h"
#include "EditDispatch.h"
#include "SysEditServiceKpi.h"

TEditorWiring WireServiceKpi(int)
{
    TEditorWiring w;
    w.Create = [](QWidget* owner) { return new TSysEditServiceKpiForm(owner); };
    w.BeforeQuestion = [](TRecordEditor& e, TDataSet&, bool add, int) { e.SetAppendMode(add); };
    w.Copy = [](TRecordEditor& e, TDataSet& row, bool, int keptId) {
        auto& f = static_cast<TSysEditServiceKpiForm&>(e);
        const auto text = [&row](const char* column) { return row.FieldByName(QLatin1String(column))->AsString(); };
        f.SetID(QString::number(keptId));
        f.SetKpiNumber(text("KpiNumber"));
        f.SetDescription(text("Description"));
        f.SetResponseHours(text("ResponseHours"));
        f.SetRestorationHours(text("RestorationHours"));
        f.SetAvailability(text("Availability"));
        f.SetCoreHours(text("CoreHours"));
        f.SetAfterHours(text("AfterHours"));
        f.SetTravelTime(text("TravelTime"));
        f.SetFaultDetect(text("FaultDetect"));
    };
    w.SetMode = [](TRecordEditor&, bool) {};  // set once, before the question
    return w;
}
