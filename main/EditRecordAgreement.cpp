// How the main window drives the agreement editor.
#include "EditDispatch.h"

TEditorWiring WireAgreement(int)
{
    // Not built yet: the page does nothing.
    return {};
}
