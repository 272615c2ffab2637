#include "platform/winapp.h"

#include <QCoreApplication>

namespace platform {

namespace {
CWinApp* s_app = nullptr;
int s_quitCode = 0;
bool s_bInMainLoop = false;
}  // namespace

CWinApp::CWinApp() {
    s_app = this;
}

CWinApp::~CWinApp() {
    if (s_app == this) s_app = nullptr;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return s_quitCode;
}

CWinApp* AfxGetApp() {
    return s_app;
}

void PostQuitMessage(int exitCode) {
    s_quitCode = exitCode;
    // Outside the main loop there is nothing to end; asking Qt anyway would
    // make every later modal loop return at once.
    if (s_bInMainLoop) QCoreApplication::exit(exitCode);
}

int AfxWinMain() {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) return 1;
    s_quitCode = 0;
    if (app->InitInstance()) {
        s_bInMainLoop = true;
        QCoreApplication::exec();
        s_bInMainLoop = false;
    }
    return app->ExitInstance();
}

}  // namespace platform
