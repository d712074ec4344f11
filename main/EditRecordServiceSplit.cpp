// How the main window drives the service split editor: the mode first (it
// chooses which services can be picked), the row's service when editing or
// adding from the current row, then the mode again.
#include "DB.h"
#include "EditDispatch.h"
#include "SysEditServiceSplit.h"

TEditorWiring WireServiceSplit(int)
{
    TEditorWiring w;
    w.Create = [](QWidget* owner) { return new TSplitForm(owner); };
    w.BeforeQuestion = [](TRecordEditor& e, TDataSet&, bool add, int) { e.SetAppendMode(add); };
    w.Copy = [](TRecordEditor& e, TDataSet& row, bool, int) {
        static_cast<TSplitForm&>(e).SetServiceID(row.FieldByName(QStringLiteral("ServiceID"))->AsInteger());
    };
    return w;
}
