// How the main window drives the batch type editor.
#include "EditDispatch.h"

TEditorWiring WireBatchType(int)
{
    // Not built yet: the page does nothing.
    return {};
}
