// How the main window drives the operator and rights editor.
#include "EditDispatch.h"

TEditorWiring WireUserFunction(int)
{
    // Not built yet: the page does nothing.
    return {};
}
