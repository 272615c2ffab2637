// The search page, the program's main window. For now it shows its template's
// controls; the word list, search box and commands come next.
#ifndef LEXIVANE_SEARCH_SEARCH_DLG_H_
#define LEXIVANE_SEARCH_SEARCH_DLG_H_

#include "engine/lexicore.h"
#include "platform/dialog.h"
#include "words/word_services.h"

class CSearchDlg : public CDialog {
  public:
    explicit CSearchDlg(QWidget* parent = nullptr);

    LXV_HANDLE m_hEngine = 0;  // stored by the application object before the page runs
    CWordServices m_words;
};

#endif  // LEXIVANE_SEARCH_SEARCH_DLG_H_
