// The application object: chooses the dictionary beside the program, creates
// the engine's four scratch files, opens the engine, runs the search page as
// the main window with the place, size and text zoom that the last run kept,
// and keeps them and closes everything again when the page closes. When the
// user chooses another dictionary in the Tools menu, it closes the engine and
// its files and opens them again on that dictionary. A second copy started
// from the same folder calls this one, which comes to the front.
#ifndef LEXIVANE_APP_LEXIVANE_APP_H_
#define LEXIVANE_APP_LEXIVANE_APP_H_

#include <QString>
#include <optional>

#include "engine/lexicore.h"
#include "platform/dialog.h"
#include "platform/running_copy.h"
#include "platform/types.h"
#include "platform/winapp.h"
#include "words/dictionaries.h"

class CLexivaneApp : public platform::CWinApp {
  public:
    CLexivaneApp() = default;
    ~CLexivaneApp() override;

    // The word given on the command line: the program starts with it typed
    // into the search box and its nearest headword open; a second copy passes
    // it on to the running one.
    void SetStartWord(const QString& word) { m_strStartWord = word; }

    // Runs the whole start-up and, when it succeeds, the modal search page,
    // again on each dictionary the user chooses. Every failure is shown in a
    // box with no owner. Always FALSE: the program ends when this returns.
    platform::BOOL InitInstance() override;
    // Closes the engine (passing the address of its handle), then the five
    // files in the order dictionary, listpad, datapad, miscpad, zippad.
    // Returns the exit code (0).
    int ExitInstance() override;
    // Sets `path` to the dictionary to open: the user's choice when it is
    // present, else the largest beside the program (large over medium over
    // small); FALSE when there is none.
    platform::BOOL FindDictionaryFile(QString& path);

    // 0 until opened; a file handle that failed to open holds INVALID_HANDLE_VALUE.
    LXV_HANDLE m_hEngine = 0;
    platform::HANDLE m_hDictFile = 0;
    platform::HANDLE m_hListPad = 0;
    platform::HANDLE m_hDataPad = 0;
    platform::HANDLE m_hMiscPad = 0;
    platform::HANDLE m_hZipPad = 0;

  private:
    // Opens `dictionary` and the scratch files, then the engine on them; a
    // failure is shown in its box and gives false. `starting`: a sharing
    // violation means another copy runs from this folder, which is called
    // first (CallRunningCopy) with the start word.
    bool OpenEngine(const Dictionary& dictionary, bool starting);
    // Closes the engine and the five files, as ExitInstance does.
    void CloseEngine();
    // Runs the search page until it ends and returns its result; the page
    // opens with `placement` when it holds one, which is then set to the
    // page's last placement and kept in the settings with the text zoom.
    int RunSearchPage(std::optional<platform::WindowPlacement>& placement);
    // Another copy called: the page on top comes to the front, and the
    // search page shows `word`, when there is one.
    void OnCalled(const QString& word);

    QString m_strStartWord;
    platform::CRunningCopyListener m_listener;
};

#endif  // LEXIVANE_APP_LEXIVANE_APP_H_
