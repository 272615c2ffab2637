// The definition page: one dictionary entry under a yellow title band that
// shows its headword, with two arrow pictures in the band that step to the
// alphabetically previous or next headword. The search page opens it for a
// chosen headword and runs it modally; the page hands nothing back.
#ifndef LEXIVANE_DEFINITION_DEFINITION_DLG_H_
#define LEXIVANE_DEFINITION_DEFINITION_DLG_H_

#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

#include "engine/lexicore.h"
#include "html/html_pane.h"
#include "platform/commandbar.h"
#include "platform/controls.h"
#include "platform/dialog.h"
#include "platform/font.h"
#include "words/word_services.h"

class QMouseEvent;

// The colour of the title band (COLORREF 0x000FFFFF: red 255, green 255, blue 15).
inline constexpr uint32_t kTitleBandColour = 0x000FFFFF;
// Height in pixels of the headword's font in the title band.
inline constexpr int kTitleFontHeight = 24;

class CDefinitionDlg : public CDialog {
  public:
    // Builds nothing yet: the opener stores the engine handle in m_hEngine and
    // m_words.m_hEngine, calls Initialise, then DoModal.
    explicit CDefinitionDlg(QWidget* parent = nullptr);
    ~CDefinitionDlg() override;

    // Sets the headword and its word index to open on, and the starting values
    // of an opening: word count unread, no pop-up list shown, both lists to be
    // filled, no arrow pressed.
    void Initialise(const QString& word, uint32_t index);

    // Shows `word` in the title band at once; an empty word changes nothing.
    void ShowWord(const QString& word);
    // Hands `text` (entry HTML) to the pane and paints it at once; an empty
    // text (an entry the engine could not print) shows "This entry cannot be
    // read: the dictionary file is damaged." instead. Only once the page has
    // been set up (DoModal), which creates the pane.
    void ShowEntry(const QString& text);
    // Moves to the previous (`forward` false) or next headword, shows it with
    // its entry and puts it at the top of the history list. False, with nothing
    // changed, at either end of the word list.
    bool StepWord(bool forward);
    // Hides whichever pop-up list is showing.
    void HidePopups();

    // Look up: the text selected in the pane, reduced to its first word of
    // letters, opens on the nearest headword (after asking when that differs
    // from the word beyond letter case). The clipboard keeps the text it held;
    // an empty one is left holding the selection. The found word goes to the
    // history list and the arrows step from it. An empty nearest headword or entry ends the
    // program: the engine has broken its contract.
    void OnLookup();
    // Pops up the "Copy" menu at the right end of the page's bottom line.
    void OnCopy();
    // Copies the selected text to the clipboard and reports it.
    void OnCopyWord();
    // Copies the shown entry as plain text to the clipboard and reports it.
    void OnCopyDefinition();

    // The Bookmarks button: shows the bookmark list (filled from the file at
    // the first press of an opening) with row 1 offering to mark or unmark the
    // shown headword; a second press closes it. A bookmark file that cannot
    // be read is not shown as a list: an "Error" box says why, and the next
    // press reads the file again.
    void OnBookmarks();
    // The History button: shows the history list (filled from the engine at
    // the first press of an opening) in place of the bookmark list, or "No
    // entries"; a second press closes it.
    void OnHistory();
    // A tap or Return on a bookmark row: mark or unmark the shown headword,
    // clear all bookmarks, or show the bookmarked headword. A mark, unmark or
    // Clear All that cannot save the bookmark file says why in an "Error" box,
    // and the list stays as the file is.
    void OnSelectBookmark();
    // A tap or Return on a history row: clear the history or show the headword.
    void OnSelectHistory();
    // A pop-up list lost the focus: both lists close.
    void OnKillFocusPopup();
    // Runs the help page, then the About box, modally over this page.
    void OnHelp();
    void OnAppAbout();

    // Arrow pictures, the left/right keys (one step per press), up/down (one
    // page of the entry per press), pop-up taps and Return. Keys act on their
    // key-down only. Return is always consumed; so are the four arrow keys,
    // which the page has used.
    BOOL PreTranslateMessage(MSG* msg) override;

    const QString& Word() const { return m_strWord; }
    const QString& Html() const { return m_strHtml; }
    uint32_t Index() const { return m_nIndex; }

    LXV_HANDLE m_hEngine = 0;  // the application's engine handle; not owned
    CWordServices m_words;

  protected:
    // Binds the toolbar's commands, the Tools menu and the two pop-up lists.
    void BindMessageMap() override;
    // Binds the two pop-up list boxes.
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnPaint(QPainter& painter) override;
    // OnLButtonUp: a tap on the page's own surface closes the pop-up lists.
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Escape closes an open pop-up list first; with none open it ends the page.
    void OnCancel() override;
    // Gives the entry the focus unless a pop-up list shows; notes the
    // activation, and once per run (after the activation has been handled)
    // the pane's full size, which the soft input panel handling shortens and
    // restores.
    void OnActivate(BOOL active) override;
    // A box or the help page opened from here closed: the entry takes the
    // focus unless a pop-up list shows.
    void OnModalClosed() override;
    // Shortens the pane by the soft input panel's height while the panel is
    // up, and gives it back its full height when the panel goes away.
    void OnSettingChange() override;
    // Destroys and releases the pane.
    void OnDestroy() override;

  private:
    void BuildCommandBar();
    // Renders `word`'s entry, then shows the word and the entry.
    void ShowWordAndEntry(const QString& word);
    // Draws the title band and the headword.
    void PaintTitle(QPainter& painter);
    // "This is firstword ..." after a backward step that ends on headword 0,
    // "This is last word ..." after a forward step that ends on the last.
    void StepAndReport(bool forward);
    // Turns the arrow picture to its inverse, or back.
    void InvertArrow(int id);
    void OnPointer(const MSG& msg);
    // "Could not save bookmark.dat: <reason>" or "Could not read ...", from
    // the last error, in an "Error" box.
    void ReportBookmarkFailure(bool saving);
    // A left or right key press: steps once, the arrow picture flashing.
    void OnArrowKey(int arrowId, bool forward);
    // Handles Return as a pick in the visible pop-up list.
    void PickInList(int id);
    bool IsListVisible(int id) const;
    // The entry takes the keyboard focus unless a pop-up list shows.
    void FocusEntry();
    void OnAfterActivate();
    // The index of the shown headword for the arrows; false when it cannot be found.
    bool UpdateIndex();

    CListBox m_bookmarkList;
    CListBox m_historyList;
    CCommandBar m_commandBar;
    std::array<QString, 6> m_tooltips;
    CFont m_titleFont;  // made and deleted at every paint of the title band
    LOGFONT m_lfTitle = {};
    QRect m_rcPane;
    int m_nTitleHeight = 0;
    bool m_bOk = false;
    QString m_strMessage;
    QString m_strWord;
    QString m_strHtml;
    uint32_t m_nIndex = 0;
    uint32_t m_nWordCount = 0;  // 0: not read yet
    bool m_bHistoryShown = false;
    bool m_bBookmarksShown = false;
    bool m_bBookmarksNeedFill = false;
    bool m_bHistoryNeedsFill = false;
    QPoint m_ptPointer;  // screen position of the last pointer message
    // The arrows' rectangles in the page's coordinates, taken at set-up. A
    // desktop window can be moved, so pointer positions are compared in page
    // coordinates rather than against a screen rectangle taken once.
    QRect m_rcNextArrow;
    QRect m_rcPrevArrow;
    bool m_bNextPressed = false;
    bool m_bPrevPressed = false;
    bool m_bArrowInverted = false;
    std::array<QPixmap, 2> m_arrowPictures;  // previous, next: as drawn normally
    std::array<bool, 2> m_arrowShownInverted = {false, false};
    std::unique_ptr<CHtmlPane> m_pPane;  // created at set-up
    QPointer<QWidget> m_hPaneWnd;        // the pane's view
    BOOL m_bPopupTap = FALSE;
};

#endif  // LEXIVANE_DEFINITION_DEFINITION_DLG_H_
