// How the main window drives the service-level editor.
#include "EditDispatch.h"

TEditorWiring WireServiceKpi(int)
{
    // Not built yet: the page does nothing.
    return {};
}
