#include "platform/winapp.h"

#include <QCoreApplication>

namespace {
CWinApp* s_app = nullptr;
int s_quitCode = 0;
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
    QCoreApplication::exit(exitCode);
}

int AfxWinMain() {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) return 1;
    s_quitCode = 0;
    if (app->InitInstance()) QCoreApplication::exec();
    return app->ExitInstance();
}
