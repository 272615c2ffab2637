// The two pop-up lists of a page, shown one at a time over its left part:
// the bookmark list (IDC_BOOKMARK_LIST) and the history list
// (IDC_HISTORY_LIST). This unit holds what the search page and the definition
// page do alike with them: filling each list when it is first wanted,
// showing and toggling it, hiding both, the pick gate (a selection counts as
// a pick only when a tap or Return made it), the questions and reports of
// "---Clear All---", and marking and unmarking with their reports. What a
// picked word does is the page's own.
#ifndef LEXIVANE_PAGES_POPUP_LISTS_H_
#define LEXIVANE_PAGES_POPUP_LISTS_H_

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "platform/controls.h"
#include "platform/dialog.h"
#include "words/bookmark_rows.h"
#include "words/history_list.h"
#include "words/popup_rows.h"
#include "words/word_services.h"

// Messages of the pop-up lists, the same on both pages.
inline const QString kErrorMessageCaption = QStringLiteral("Error Message");
inline const QString kBookmarksError =
    QStringLiteral("Error in processing bookmarks. Please restart application");
inline const QString kHistoryError =
    QStringLiteral("Error in processing history. Please restart application");

class CPopupLists {
  public:
    // A pick in one of the lists: the kind of row and, for a word row, its word.
    struct Pick {
        PopupRow kind;
        QString word;
    };
    enum class Shown { kNone, kBookmarks, kHistory };

    // The lists of `page`, whose history comes from `words`; with `markRow`
    // the bookmark list offers to mark the page's word. `giveFocusBack` puts
    // the keyboard focus where the page wants it when a list that had it hides.
    CPopupLists(platform::CDialog& page, CWordServices& words, bool markRow,
                std::function<void()> giveFocusBack);
    CPopupLists(const CPopupLists&) = delete;
    CPopupLists& operator=(const CPopupLists&) = delete;

    // Binds the two list boxes of the page, once its controls exist.
    void Attach();

    // Which list shows; the bookmark list when (against the rules) both do.
    Shown ShownList() const;
    bool IsVisible() const { return ShownList() != Shown::kNone; }
    // Hides whichever list shows; a list that had the focus hands it back.
    void HidePopups();
    // Escape: hides the list that shows. False when none showed.
    bool CloseOnEscape();

    // The Bookmarks command: fills the bookmark list when it needs it, then
    // shows it with its title row selected (the mark row labelled for
    // `shownWord`), or hides it when it shows. "No entries" for a list with
    // no rows; a file that cannot be read is reported in an "Error" box, and
    // the next command reads it again.
    void ToggleBookmarks(const QString& shownWord);
    // The History command: fills the history list from the engine when it
    // needs it (a fill shows the list without toggling it), else toggles it;
    // "No entries" for an empty history.
    void ToggleHistory();
    // Both lists are read afresh when next wanted. The bookmark list lets
    // its rows go at once, so that two pages never lay the bookmarks out
    // together.
    void RefillLater();

    // The pick gate: a pointer message opens it exactly when a list shows.
    void NotePointer(const platform::MSG& msg);
    // Opens or closes the gate for a pick made with Return.
    void AllowPick(bool allowed) { m_bPopupTap = allowed; }
    // A list lost the focus: both hide and the gate closes.
    void OnKillFocus();
    // The pick the selection change of a list stands for, with the gate
    // closed and both lists hidden; nothing when the gate was closed (the
    // selection moved by keys inside the list).
    std::optional<Pick> TakeBookmarkPick();
    std::optional<Pick> TakeHistoryPick();

    // Puts `word` at the top of the history list.
    void AddToHistory(const QString& word) { m_pHistory->AddWord(word); }
    // "---Clear All---" of either list: asks "Are you sure?", then empties
    // the list (the bookmark file, the engine's history) and reports it; a
    // bookmark file that cannot be saved keeps every bookmark, and says why.
    void ClearBookmarks();
    void ClearHistory();
    // The mark row: bookmarks `word` and reports it, or unmarks it after
    // asking; a save that fails says why and changes nothing.
    void MarkWord(const QString& word);
    void UnmarkWord(const QString& word);

  private:
    // Shows `list` with its first row selected and the focus, or says
    // "No entries" under `caption` when `rows`, its rows, are none.
    void Show(platform::CListBox& list, const CPopupRows& rows, const QString& caption);
    std::optional<Pick> TakePick(platform::CListBox& list, const CPopupRows& rows);
    bool AskAreYouSure(const QString& caption) const;
    void Report(const QString& text, const QString& caption) const;
    void ReportBookmarkFailure(bool saving) const;

    platform::CDialog& m_page;
    CWordServices& m_words;
    std::function<void()> m_giveFocusBack;
    platform::CListBox m_bookmarkList;
    platform::CListBox m_historyList;
    std::shared_ptr<CBookmarkRows> m_pBookmarks;
    std::shared_ptr<CHistoryList> m_pHistory;
    bool m_bBookmarksNeedFill = true;
    bool m_bHistoryNeedsFill = true;
    bool m_bPopupTap = false;  // a tap or Return came while a list showed
};

#endif  // LEXIVANE_PAGES_POPUP_LISTS_H_
