// How the main window drives the service id editor.
#include "EditDispatch.h"

TEditorWiring WireServiceID(int)
{
    // Not built yet: the page does nothing.
    return {};
}
