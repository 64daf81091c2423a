// ZENTO, the desktop application.
#include "app/zentoapp.h"

#include <csignal>

int main(int argc, char* argv[]) {
#ifdef SIGXFSZ
    // Past a file size limit a save must fail with a message, leaving the old file; the
    // signal's default would end the program with the document unsaved.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    CZENTOApp app(argc, argv);
    if (!app.InitInstance(CZENTOApp::arguments().mid(1)))
        return app.exitCode();
    return CZENTOApp::exec();
}
