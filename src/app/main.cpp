// ZENTO, the desktop application.
#include "app/zentoapp.h"

int main(int argc, char* argv[]) {
    CZENTOApp app(argc, argv);
    if (!app.InitInstance(CZENTOApp::arguments().mid(1)))
        return app.exitCode();
    return CZENTOApp::exec();
}
