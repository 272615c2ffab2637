// The search page, the program's main window: a search box in a yellow panel,
// the Auto Scroll check box and GO button, and a word list that shows one
// page of the engine's sorted headwords at a time (the word list window),
// with its own scroll bar standing for the window's place in the whole list.
#ifndef LEXIVANE_SEARCH_SEARCH_DLG_H_
#define LEXIVANE_SEARCH_SEARCH_DLG_H_

#include <QFont>
#include <QIcon>
#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

#include "pages/page.h"
#include "platform/controls.h"
#include "search/word_window.h"

class CDefinitionDlg;

class CSearchDlg : public CPage {
  public:
    // The page on `engine`, the application's open engine (not owned).
    explicit CSearchDlg(LXV_HANDLE engine, QWidget* parent = nullptr);
    ~CSearchDlg() override;

    // Arrow keys move the word list window one headword; Return chooses the
    // selected word (or the pick of a pop-up list) and is consumed. Keys act
    // on their key-down only. Everything else goes on to the controls.
    platform::BOOL PreTranslateMessage(platform::MSG* msg) override;

    // The word list window.

    // First fill at start-up: count, scroll range and scale, then the window
    // at the headword nearest to "a". False for an empty dictionary or when
    // the first page could not be read in full.
    bool InitWordList();
    // Moves the window to the headword nearest to `word` and moves the thumb
    // (CWordWindow::PositionOnWord), selecting the headword's row.
    bool PositionOnWord(const QString& word);
    // WM_VSCROLL of the word list's scroll bar `bar`: moves the window, and
    // the thumb to where the window puts it.
    void OnVScroll(platform::UINT code, platform::UINT thumb, platform::CScrollBar* bar);
    // Recomputes the page size from the list box's height and refills when
    // it changed, keeping the first headword and the selected row number.
    void UpdatePageRows();
    // The placement the page opens with (the one kept from the last run),
    // instead of the handheld size in the middle of the screen.
    void SetStartPlacement(const platform::WindowPlacement& placement);
    const CWordWindow& WordWindow() const { return *m_pWindow; }

    // The search box.

    // EN_CHANGE: moves the window to the trimmed, lower-cased text when it
    // changed and Auto Scroll is on; an emptied box goes back to the start.
    // Line breaks count as spaces; characters the dictionaries cannot hold
    // are left out, and a text of nothing else leaves the window where it is.
    void OnChangeSearch();
    // Auto Scroll tapped: off shows GO; on hides it and catches the window up
    // with the box.
    void OnAutoScroll();
    // GO: moves the window to the headword nearest to the box's text (the
    // start for an empty box; nowhere for a text of nothing the dictionaries hold).
    void OnGo();
    // Paste: puts the clipboard's text into the search box, when it has some.
    void OnEditPaste();

    // Choosing a word.

    // A word chosen in the word list: a tap or keyboard selection, or Return
    // with no pop-up list showing. Puts the word at the top of the history
    // list and opens its definition page. A word the dictionary cannot place
    // at all is an inconsistency the page cannot recover from: "Internal
    // error!!" and the program ends with exit code 1.
    void OnSelectWord();
    // Runs the definition page for `word` and returns 0 when it ran; 1 when
    // the headword found for the word differs from it beyond letter case
    // ("Matching word not found on Dictionary." shown); -1, with nothing
    // shown, when the word leads to no headword at all. Both pop-up lists are
    // read afresh afterwards, since the definition page may change bookmarks
    // and history; the word list window is left as it was.
    int32_t OpenDefinition(const QString& word);

    // Words from outside the page: the command line's, or one that a second
    // copy of the program passed on.

    // Once the page runs and is active, shows `word` as OpenWord does; an
    // empty word shows nothing.
    void OpenWordAtStart(const QString& word) { m_strStartWord = word; }
    // Types `word` into the search box as if the user had, and opens the
    // headword the list then selects as Return does; on the definition page
    // when one shows, as a link to it does there. With a box or another page
    // over them, only the search box takes the word.
    void OpenWord(const QString& word);

    // The pop-up lists.

    // The Bookmarks button: shows or hides the bookmark list (CPopupLists).
    void OnBookmarks() override;
    // A pick in the bookmark list: the title does nothing, "---Clear All---"
    // empties the bookmark file after "Are you sure?", a word goes to the top
    // of the history list and opens its definition page. An empty row or a
    // word the dictionary cannot place ends the program.
    void OnSelectBookmark() override;
    // A pick in the history list: "---Clear All---" empties the engine's
    // history after "Are you sure?", a word opens its definition page. An
    // empty row or a word the dictionary cannot place ends the program.
    void OnSelectHistory() override;

  protected:
    void DoDataExchange(platform::CDataExchange* dx) override;
    void BindMessageMap() override;
    platform::BOOL OnInitDialog() override;
    void OnPaint(QPainter& painter) override;
    // Activation puts the focus in the search box unless a pop-up list shows;
    // from the first one on (once it has been handled) the page lays out
    // around the soft input panel.
    void OnActivate(platform::BOOL active) override;
    // A box or page opened from here closed: the focus goes to the search box
    // unless a pop-up list shows.
    void OnModalClosed() override;
    // The soft input panel went up or down: the word list, its scroll bar and
    // Auto Scroll make room for it, or go back to their full places.
    void OnSettingChange() override;
    // A larger page: the search panel stays in the top left corner, the word
    // list takes the extra width and height, its scroll bar stays at its
    // right and Auto Scroll at its bottom; the list holds as many rows as fit.
    void OnSize() override;
    // The word list's font and rows take the program's text zoom; the list
    // holds as many rows as then fit.
    void OnTextZoomChange() override;
    // Escape closes an open pop-up list; with none open it selects the search
    // box's text, so that typing replaces it. It never ends the page.
    void OnCancel() override;
    void GiveFocusBack() override;
    // The mouse wheel over the word list scrolls it as over its scroll bar:
    // as the bar's arrows do, three headwords a notch.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void PaintSearchPanel(QPainter& painter);
    void OnAfterActivate();
    // Places the word list, its scroll bar and Auto Scroll for the page's
    // size and the soft input panel, then recomputes the page size.
    void LayOutList();
    // Reads the headword count while it is 0 and gives the scroll bar its range.
    void InitScrollState();
    // An arrow key message: moves the window one headword and selects row 0,
    // or with a pop-up list showing only clears the selection.
    void OnArrowKey(bool up);
    // The search box takes the focus unless a pop-up list shows.
    void FocusSearchBox();
    // A word picked in the bookmark or history list: opens its definition page.
    // False for an empty word or one the dictionary cannot place.
    bool OpenPickedWord(const QString& word);

    std::shared_ptr<CWordWindow> m_pWindow;
    platform::CListBox m_wordList;
    platform::CEdit m_searchEdit;
    platform::CScrollBar m_wordScroll;
    platform::CButton m_goButton;
    platform::CWnd m_autoScroll;
    QString m_strSearch;  // the word the box's text looks up, as of its last change
    QString m_strLastSearch;
    platform::BOOL m_bAutoScroll = platform::TRUE;
    QIcon m_hIcon;
    // The places of the controls that a larger page or the soft input panel
    // moves, as the handheld size has them; invalid until set-up.
    QRect m_rcWordList;
    QRect m_rcWordScroll;
    QRect m_rcAutoScroll;
    int m_nBaseRowHeight = 0;  // a row's height at the normal text size
    QFont m_baseListFont;      // the word list's font at the normal text size
    std::optional<platform::WindowPlacement> m_startPlacement;
    QString m_strStartWord;                   // shown at the first activation
    CDefinitionDlg* m_pDefinition = nullptr;  // the definition page while it runs
};

#endif  // LEXIVANE_SEARCH_SEARCH_DLG_H_
