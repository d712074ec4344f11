// How the main window drives the customer editor.
#include "EditDispatch.h"

TEditorWiring WireCustomer(int)
{
    // Not built yet: the page does nothing.
    return {};
}
