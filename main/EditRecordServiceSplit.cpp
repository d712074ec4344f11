// How the main window drives the service split editor.
#include "EditDispatch.h"

TEditorWiring WireServiceSplit(int)
{
    // Not built yet: the page does nothing.
    return {};
}
