// ZENTO, the desktop application.
#include "app/zentoapp.h"

#include "datafile/systemfile.h"

int main(int argc, char* argv[]) {
    // Past a file size limit a save must fail with a message, leaving the old file, not end the
    // program with the document unsaved.
    zento::MakeOversizedWritesFail();
    CZENTOApp app(argc, argv);
    if (!app.InitInstance(CZENTOApp::arguments().mid(1)))
        return app.exitCode();
    return CZENTOApp::exec();
}
