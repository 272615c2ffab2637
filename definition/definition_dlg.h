// The definition page: one dictionary entry under a yellow title band that
// shows its headword, with two arrow pictures in the band that step to the
// alphabetically previous or next headword. The search page opens it for a
// chosen headword and runs it modally; the page hands nothing back.
#ifndef LEXIVANE_DEFINITION_DEFINITION_DLG_H_
#define LEXIVANE_DEFINITION_DEFINITION_DLG_H_

#include <QPointer>
#include <QRect>
#include <QString>
#include <cstdint>
#include <map>
#include <memory>

#include "definition/title_arrows.h"
#include "html/html_pane.h"
#include "pages/page.h"
#include "words/visited_words.h"

class CDefinitionDlg : public CPage {
  public:
    // The page on `engine`, the application's open engine (not owned). The
    // opener calls Initialise, then DoModal.
    explicit CDefinitionDlg(LXV_HANDLE engine, QWidget* parent = nullptr);
    ~CDefinitionDlg() override;

    // Sets the headword and its word index to open on.
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
    // Alt+Left (`forward` false) and Alt+Right: shows the word shown before
    // or after the shown one since the page opened, by whatever means it was
    // shown, and puts it at the top of the history list; the arrows step from
    // it. False, with nothing changed, when there is none.
    bool GoBackOrForward(bool forward);
    // A link between entries, tapped or activated with Return: shows the
    // headword `target` names as Look up does (history list, title band, the
    // arrows step from it). A target that is not a headword asks, as Look up
    // does, whether to see the nearest headword; one that leads to no
    // headword at all shows "Matching word not found on Dictionary.".
    void FollowLink(const QString& target);

    // Look up: the text selected in the pane, reduced to its first word of
    // letters, opens on the nearest headword (after asking when that differs
    // from the word beyond letter case). The clipboard keeps the text it held;
    // an empty one is left holding the selection. The found word goes to the
    // history list and the arrows step from it. An empty nearest headword or
    // entry ends the program: the engine has broken its contract.
    void OnLookup();
    // Pops up the "Copy" menu at the right end of the page's bottom line.
    void OnCopy();
    // Copies the selected text to the clipboard and reports it.
    void OnCopyWord();
    // Copies the shown entry as plain text to the clipboard and reports it.
    void OnCopyDefinition();

    // The Bookmarks button: the bookmark list (CPopupLists), its row 1
    // offering to mark or unmark the shown headword.
    void OnBookmarks() override;
    // A tap or Return on a bookmark row: mark or unmark the shown headword,
    // clear all bookmarks, or show the bookmarked headword.
    void OnSelectBookmark() override;
    // A tap or Return on a history row: clear the history or show the headword.
    void OnSelectHistory() override;

    // Arrow pictures, the left/right keys (one step per press), Alt+Left and
    // Alt+Right (back and forward), up/down (one page of the entry per press),
    // pop-up taps and Return. Keys act on their key-down only. Return is
    // consumed, except on the entry with no pop-up list showing, where it
    // follows the link that Tab moved to; the four arrow keys are consumed
    // too, as the page has used them.
    platform::BOOL PreTranslateMessage(platform::MSG* msg) override;

    const QString& Word() const { return m_strWord; }
    const QString& Html() const { return m_strHtml; }
    uint32_t Index() const { return m_nIndex; }

  protected:
    void BindMessageMap() override;
    platform::BOOL OnInitDialog() override;
    void OnPaint(QPainter& painter) override;
    // Escape closes an open pop-up list first; with none open it ends the page.
    void OnCancel() override;
    // Gives the entry the focus unless a pop-up list shows; notes the
    // activation, and once per run (after the activation has been handled)
    // the pane's full size, which the soft input panel handling shortens and
    // restores.
    void OnActivate(platform::BOOL active) override;
    // A box or the help page opened from here closed: the entry takes the
    // focus unless a pop-up list shows.
    void OnModalClosed() override;
    // Shortens the pane by the soft input panel's height while the panel is
    // up, and gives it back its full height when the panel goes away.
    void OnSettingChange() override;
    // A larger page: the title band spans its width with the arrows at its
    // right end, and the pane fills the rest above the command bar.
    void OnSize() override;
    // The entry takes the program's text zoom.
    void OnTextZoomChange() override;
    // Destroys and releases the pane.
    void OnDestroy() override;
    void GiveFocusBack() override;

  private:
    // What picking a bookmarked word did.
    enum class WordPick {
        kShown,      // the page moved to it
        kUnchanged,  // it shows already, or has no entry (and the user was told)
        kFailed,     // the row held no word
    };

    // Renders `word`'s entry, then shows the word and the entry.
    void ShowWordAndEntry(const QString& word);
    // Shows the headword that Look up or a link found, with its rendered
    // entry `html`: the pop-up lists hide, the arrows step from it, and it
    // goes to the top of the history list.
    void ShowFoundWord(const QString& headword, const QString& html);
    // Look up's question when the headword found for `word` is `nearest`:
    // true, unasked, when the two differ in letter case alone; else whether
    // the user wants to see the nearest word.
    bool AcceptNearest(const QString& word, const QString& nearest);
    // The pane's link notification: links to "entry:HEADWORD" are followed,
    // every other link is left alone.
    void OnHotspot(const NMHTMLVIEW& notify);
    // Shows a word picked in a pop-up list with its rendered entry `html`, and
    // puts it at the top of the history list.
    void ShowPickedWord(const QString& word, const QString& html);
    // The mark row: marks or (after asking) unmarks the shown headword. False
    // when no headword shows.
    bool MarkShownWord(PopupRow row);
    // A bookmarked word picked: shows it unless it shows already; "Matching
    // word not found on Dictionary." for one without an entry.
    WordPick ShowBookmarkedWord(const QString& word);
    // Draws the title band and the headword.
    void PaintTitle(QPainter& painter);
    // "This is firstword ..." after a backward step that ends on headword 0,
    // "This is last word ..." after a forward step that ends on the last.
    void StepAndReport(bool forward);
    // A left or right key press: steps once, the arrow picture flashing.
    void OnArrowKey(bool forward);
    // The entry takes the keyboard focus unless a pop-up list shows.
    void FocusEntry();
    void OnAfterActivate();
    // The index of the shown headword for the arrows; false when it cannot be found.
    bool UpdateIndex();
    // Places the title band's controls and the pane for the page's size.
    void LayOutPage();
    // The pane's place for the page's size, shortened while the soft input
    // panel shows.
    QRect PanePlace() const;

    QString m_strWord;
    QString m_strHtml;
    CVisitedWords m_visited;  // the words shown since the page opened
    uint32_t m_nIndex = 0;
    uint32_t m_nWordCount = 0;  // 0: not read yet
    int m_nTitleHeight = 0;
    QRect m_rcPane;                         // the pane's place at the handheld size
    std::map<int, QRect> m_templatePlaces;  // the title band's controls at the handheld size
    CTitleArrows m_arrows;
    std::unique_ptr<CHtmlPane> m_pPane;  // created at set-up
    QPointer<QWidget> m_hPaneWnd;        // the pane's view
};

#endif  // LEXIVANE_DEFINITION_DEFINITION_DLG_H_
