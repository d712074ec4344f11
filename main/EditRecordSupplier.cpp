// How the main window drives the supplier editor.
#include "EditDispatch.h"

TEditorWiring WireSupplier(int)
{
    // Not built yet: the page does nothing.
    return {};
}
