// The search page, the program's main window: a search box in a yellow panel,
// the Auto Scroll check box and GO button, and a word list window that shows
// one page of the engine's sorted headwords at a time, with its own scroll bar
// standing for the window's place in the whole list. The application object
// stores the engine handle in m_hEngine and m_words before running the page.
#ifndef LEXIVANE_SEARCH_SEARCH_DLG_H_
#define LEXIVANE_SEARCH_SEARCH_DLG_H_

#include <QIcon>
#include <QRect>
#include <QString>
#include <array>
#include <cstdint>

#include "engine/lexicore.h"
#include "platform/commandbar.h"
#include "platform/controls.h"
#include "platform/dialog.h"
#include "words/word_services.h"

class CSearchDlg : public CDialog {
  public:
    explicit CSearchDlg(QWidget* parent = nullptr);
    ~CSearchDlg() override;

    // Arrow keys move the word list window one headword; Return chooses the
    // selected word and is consumed. Keys act on their key-down only.
    // Everything else goes on to the controls.
    BOOL PreTranslateMessage(MSG* msg) override;

    // The word list window.

    // First fill at start-up: count, scroll range and scale, then the window
    // at the headword nearest to "a". False for an empty dictionary or when
    // the first page could not be read in full.
    bool InitWordList();
    // Moves the window so that the headword nearest to `word` is row 0 (an
    // empty word: the start of the list), or on the last page when it is one
    // of the last headwords, selects that headword's row and moves the thumb.
    // A move that lands on the current top with rows showing changes nothing,
    // so the user's selection stays, unless the headword found is below row 0
    // of the last page; a failed look-up changes nothing. False when the
    // look-up failed or the last row could not be read.
    bool PositionOnWord(const QString& word);
    // Moves the window one headword toward the start (`up`) or the end without
    // refilling it. False when it cannot move (at either end) or when the row
    // brought in could not be read (an empty row is placed all the same).
    bool ScrollOneRow(bool up);
    // Refills the window from top index `top` (below 0 is 0, past the last
    // page is the last page) with no row selected. False when that is the
    // current top and nothing was refilled.
    bool MoveTopTo(int64_t top);
    // Refills the window for a new page size, keeping its first headword and
    // the selected row number.
    void RefillKeepingFirstRow();
    // Recomputes the page size from the list box's height and refills when it changed.
    void UpdatePageRows();
    // WM_VSCROLL of the word list's scroll bar `bar`.
    void OnVScroll(UINT code, UINT thumb, CScrollBar* bar);

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
    // A word chosen in the word list: a tap or keyboard selection, or Return
    // with no pop-up list showing. Puts the word at the top of the history
    // list and opens its definition page. A word the dictionary cannot place
    // at all is an inconsistency the page cannot recover from: "Internal
    // error!!" and the program ends with exit code 1.
    void OnSelectWord();
    // Runs the definition page for `word` and returns 0 when it ran; 1 when
    // the headword found for the word differs from it beyond letter case
    // ("Matching word not found on Dictionary." shown); -1, with nothing
    // shown, when the word leads to no headword at all. Marks both pop-up
    // lists to be filled afresh, since the page may change bookmarks and
    // history; the word list window is left as it was.
    int32_t OpenDefinition(const QString& word);

    // Hides whichever pop-up list is showing.
    void HidePopups();

    // The pop-up lists and commands.

    // The Bookmarks button: fills the bookmark list when it needs it, then
    // shows it with its title row selected, or hides it when it shows. With no
    // bookmarks, "No entries"; with a bookmark file that cannot be read, an
    // "Error" box that says why, and the next press reads it again. Hides the
    // history list first.
    void OnBookmarks();
    // The History button: fills the history list from the engine when it needs
    // it (a fill then shows the list without toggling), else toggles it; the
    // bookmark list closes first. With no history, "No entries"; a failed
    // fill ends the program.
    void OnHistory();
    // A pick in the bookmark list (a tap or Return; a selection moved by the
    // arrow keys is ignored): the title does nothing, "---Clear All---" empties
    // the bookmark file after "Are you sure?" (or says in an "Error" box why
    // it cannot, keeping the list), a word goes to the top of the history list
    // and opens its definition page. An empty row or a word the dictionary
    // cannot place ends the program.
    void OnSelectBookmark();
    // A pick in the history list, gated as above: "---Clear All---" empties the
    // engine's history after "Are you sure?", a word opens its definition page.
    // An empty row or a word the dictionary cannot place ends the program.
    void OnSelectHistory();
    // A pop-up list lost the focus: the lists close and the tap is forgotten.
    void OnKillFocusPopup();
    // The help page, run modally.
    void OnHelp();
    // The About box, run modally.
    void OnAppAbout();
    // Quit: ends the program, closing every page as its close button does.
    void OnAppExit();

    CListBox m_wordList;
    CListBox m_historyList;
    CListBox m_bookmarkList;
    CEdit m_searchEdit;
    QString m_strSearch;  // the word the box's text looks up, as of its last change
    BOOL m_bAutoScroll = TRUE;
    QIcon m_hIcon;
    LXV_HANDLE m_hEngine = 0;  // stored by the application object before the page runs
    CCommandBar m_commandBar;
    std::array<QString, 6> m_tooltips;  // slots 1 to 4 hold the toolbar buttons' tips
    CWordServices m_words;
    BOOL m_bPopupTap = FALSE;  // a stylus message or Return came while a pop-up list showed
    uint32_t m_nTopIndex = 0;  // word index of row 0
    QString m_strLastSearch;
    int32_t m_nPageRows = 18;        // rows in a window
    uint32_t m_nWordCount = 0;       // headword count; 0 is read again when next needed
    uint32_t m_nScrollRange = 0;     // highest thumb position
    int32_t m_nScrollPos = 0;        // thumb position last computed
    float m_fScrollScale = 0.0f;     // headwords per thumb position; 0 is computed when next needed
    bool m_bHistoryShown = false;    // the history pop-up list is showing
    bool m_bBookmarksShown = false;  // the bookmark pop-up list is showing
    bool m_bBookmarksNeedFill = true;
    bool m_bHistoryNeedsFill = true;
    bool m_bOk = false;  // result of the last step
    QString m_strMessage;

  protected:
    void DoDataExchange(CDataExchange* dx) override;
    void BindMessageMap() override;
    BOOL OnInitDialog() override;
    void OnPaint(QPainter& painter) override;
    // Activation puts the focus in the search box unless a pop-up list shows,
    // and saves the template places of the controls the soft input panel
    // moves, once, after the activation has been handled.
    void OnActivate(BOOL active) override;
    // A box or page opened from here closed: the focus goes to the search box
    // unless a pop-up list shows.
    void OnModalClosed() override;
    // The soft input panel went up or down: the word list, its scroll bar and
    // Auto Scroll make room for it, or go back to their template places.
    void OnSettingChange() override;
    // OnLButtonUp: the stylus lifted on the page itself closes the pop-up lists.
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Escape closes an open pop-up list; with none open it selects the search
    // box's text, so that typing replaces it. It never ends the page.
    void OnCancel() override;
    // The mouse wheel over the word list scrolls it as over its scroll bar:
    // as the bar's arrows do, three headwords a notch.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool CreateCommandBar();
    void PaintSearchPanel(QPainter& painter);
    void OnAfterActivate();
    // Reads the count again while it is 0 and sets the range; computes the
    // scale while it is 0.
    void InitScrollState();
    // The thumb position for the current top after a move in one direction.
    int32_t ThumbAfterMove(bool up) const;
    bool IsPopupVisible() const;
    // The search box takes the focus unless a pop-up list shows.
    void FocusSearchBox();
    // An arrow key message: moves the window one headword and selects row 0,
    // or with a pop-up list showing only clears the selection.
    void OnArrowKey(bool up);
    // Appends the headwords from `top`, at most one page and never past the
    // last headword; `dropMissing` leaves out a headword the engine cannot
    // give instead of placing an empty row. True when the last one read was present.
    bool AppendRows(uint32_t top, bool dropMissing);
    QString HeadwordAt(uint32_t index) const;

    CScrollBar m_wordScroll;
    CButton m_goButton;
    CWnd m_autoScroll;
};

#endif  // LEXIVANE_SEARCH_SEARCH_DLG_H_
