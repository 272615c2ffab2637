// What the search page and the definition page have alike: a command bar
// (the "Tools" menu with the dictionaries to choose from, the page's toolbar
// with its tips, the close button), the
// two pop-up lists with the commands and handlers they share, the Help and
// About commands and Quit, and the rule that a tap on the page itself closes
// the pop-up lists. Each page adds what is its own.
#ifndef LEXIVANE_PAGES_PAGE_H_
#define LEXIVANE_PAGES_PAGE_H_

#include <QPointer>
#include <QString>
#include <array>
#include <initializer_list>

#include "engine/lexicore.h"
#include "pages/popup_lists.h"
#include "platform/commandbar.h"
#include "platform/dialog.h"
#include "words/dictionaries.h"
#include "words/word_services.h"

class QActionGroup;
class QMenu;
class QMouseEvent;

// The result every page ends its modal run with when the user chose another
// dictionary: the application object then opens it and starts afresh.
inline constexpr int kReopenDictionary = 0x100;

class CPage : public platform::CDialog {
  public:
    // A page built on template `templateId` that works on `engine`, the
    // application's open engine (not owned); with `markRow` its bookmark list
    // offers to mark the page's word.
    CPage(int templateId, LXV_HANDLE engine, bool markRow, QWidget* parent);
    ~CPage() override;

    // The Bookmarks button (ID_BOOKMARKS).
    virtual void OnBookmarks() = 0;
    // The History button (ID_HISTORY): CPopupLists::ToggleHistory.
    void OnHistory();
    // A pick in the bookmark or history list (a tap or Return).
    virtual void OnSelectBookmark() = 0;
    virtual void OnSelectHistory() = 0;
    // A pop-up list lost the focus: the lists close and the tap is forgotten.
    void OnKillFocusPopup();
    // The help page and the About box, run modally over the page. The help
    // page opens with the page's place and size, and the page takes the help
    // page's when it closes.
    void OnHelp();
    void OnAppAbout();
    // Quit: ends the program, closing every page as its close button does.
    void OnAppExit();
    // A dictionary chosen in the Tools menu: unless it is open already, it is
    // asked for (RequestDictionary) and, once the menu has closed, every page
    // ends with kReopenDictionary.
    void OnChooseDictionary(const Dictionary* dictionary);
    // Hides whichever pop-up list shows.
    void HidePopups();

  protected:
    // Binds the commands and list notifications above, the pop-up lists and
    // the text zoom keys.
    void BindMessageMap() override;
    // Makes the command bar with toolbar `toolbarId`, whose buttons take the
    // tips of the string table ids `tipIds` in order. False when a step failed;
    // the page then runs without a complete bar.
    bool CreateCommandBar(int toolbarId, std::initializer_list<platform::UINT> tipIds);
    // Return with a pop-up list showing picks its selected row. False, doing
    // nothing, when no list shows.
    bool PickInShownList();
    // Where the keyboard focus goes when a pop-up list that had it hides.
    virtual void GiveFocusBack() = 0;
    // OnLButtonUp: the stylus lifted on the page itself closes the pop-up lists.
    void mouseReleaseEvent(QMouseEvent* event) override;
    // The command bar stays along the bottom edge; a page that grows lays
    // out its own controls after calling this.
    void OnSize() override;

    CWordServices& Words() { return m_words; }
    CPopupLists& Popups() { return m_popups; }
    const CPopupLists& Popups() const { return m_popups; }

  private:
    // The Tools menu's first items: the dictionaries present, the open one
    // checked, then a separator; read afresh each time the menu opens.
    void FillDictionaryItems(QMenu* menu);

    CWordServices m_words;
    QPointer<QActionGroup> m_pDictionaryItems;  // owned by the menu
    CPopupLists m_popups;
    platform::CCommandBar m_commandBar;
    std::array<QString, 6> m_tooltips;  // slot 0 is the Tools menu's, then the buttons'
};

#endif  // LEXIVANE_PAGES_PAGE_H_
