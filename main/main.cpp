// The program: the application object, the data module (which connects),
// then the main window, and the message loop until the window closes.
#include "Application.h"
#include "DataMod.h"
#include "KVSysMain.h"
#include "Program.h"

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    InitApplicationObject();

    DM = new TDM(&app);
    try {
        DM->DMCreate();  // asks again while the connection fails
    } catch (const std::exception& e) {
        // Without a connection there is nothing to show: say why and stop.
        HandleException(e);
        return 1;
    }

    std::unique_ptr<TMainForm> form;
    try {
        form = std::make_unique<TMainForm>(app.arguments().mid(1));
    } catch (const std::exception& e) {
        HandleException(e);
        DM->dbKVdata->SetConnected(false);
        return 1;
    }
    form->show();
    const int rc = app.exec();
    form.reset();
    return rc;
}
