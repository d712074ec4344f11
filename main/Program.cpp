#include "Program.h"
#include "Application.h"

void InitApplicationObject()
{
    TApplication::setApplicationName(QStringLiteral("kvsys"));
    SetApplicationTitle(QStringLiteral("Brellinghast"));
}
