// The application object: chooses the dictionary beside the program, creates
// the engine's four scratch files, opens the engine, runs the search page as
// the main window, with the place, size and text zoom that the last run kept,
// and keeps them and closes everything again when the page closes.
#ifndef LEXIVANE_APP_LEXIVANE_APP_H_
#define LEXIVANE_APP_LEXIVANE_APP_H_

#include <QString>

#include "engine/lexicore.h"
#include "platform/types.h"
#include "platform/winapp.h"

class CLexivaneApp : public platform::CWinApp {
  public:
    CLexivaneApp() = default;
    ~CLexivaneApp() override;

    // Runs the whole start-up and, when it succeeds, the modal search page.
    // Every failure is shown in a box with no owner. Always FALSE: the program
    // ends when this returns.
    platform::BOOL InitInstance() override;
    // Closes the engine (passing the address of its handle), then the five
    // files in the order dictionary, listpad, datapad, miscpad, zippad.
    // Returns the exit code (0).
    int ExitInstance() override;
    // Sets `path` to the largest dictionary beside the program (large over
    // medium over small); FALSE when there is none.
    platform::BOOL FindDictionaryFile(QString& path);

    // 0 until opened; a file handle that failed to open holds INVALID_HANDLE_VALUE.
    LXV_HANDLE m_hEngine = 0;
    platform::HANDLE m_hDictFile = 0;
    platform::HANDLE m_hListPad = 0;
    platform::HANDLE m_hDataPad = 0;
    platform::HANDLE m_hMiscPad = 0;
    platform::HANDLE m_hZipPad = 0;
};

#endif  // LEXIVANE_APP_LEXIVANE_APP_H_
