// The framework's application object and its main routine.
#ifndef LEXIVANE_PLATFORM_WINAPP_H_
#define LEXIVANE_PLATFORM_WINAPP_H_

#include "platform/types.h"

class QWidget;

namespace platform {

class CWinApp {
  public:
    // The newest application object becomes the one AfxWinMain runs.
    CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    // TRUE enters the event loop; FALSE ends the program at once.
    virtual BOOL InitInstance();
    // Returns the exit code: the one given to PostQuitMessage, else 0.
    virtual int ExitInstance();

    QWidget* m_pMainWnd = nullptr;
};

// The application object AfxWinMain runs, or null.
CWinApp* AfxGetApp();

// Asks the main event loop to end with `exitCode`; when it does not run (the
// dialog model), the code is only what ExitInstance reports.
void PostQuitMessage(int exitCode);

// The framework's main routine, run inside a QApplication: InitInstance, then
// the event loop when it returned TRUE, then ExitInstance, whose result it
// returns as the process exit code.
int AfxWinMain();

}  // namespace platform

#endif  // LEXIVANE_PLATFORM_WINAPP_H_
