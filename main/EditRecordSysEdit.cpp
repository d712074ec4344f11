// How the main window drives the generic editor.
#include "EditDispatch.h"

TEditorWiring WireSysEdit(int)
{
    // Not built yet: the page does nothing.
    return {};
}
