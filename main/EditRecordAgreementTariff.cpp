// How the main window drives the agreement tariff editor.
#include "EditDispatch.h"

TEditorWiring WireAgreementTariff(int)
{
    // Not built yet: the page does nothing.
    return {};
}
