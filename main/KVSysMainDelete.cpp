// Deactivation, reactivation and deletion of the row in front (the main
// window's Del button).
#include "KVSysMain.h"

void TMainForm::DeleteRecord(int)
{
    // Deactivation arrives with its own change.
}
