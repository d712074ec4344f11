// How the main window drives the service type editor.
#include "EditDispatch.h"

TEditorWiring WireServiceType(int)
{
    // Not built yet: the page does nothing.
    return {};
}
