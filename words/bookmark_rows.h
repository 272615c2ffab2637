// The rows of a page's bookmark pop-up list over the program's one list of
// bookmarked words. The search page's list: "Bookmarks", "---Clear All---"
// and the words, or no rows at all while there are no bookmarks. The
// definition page's list has the mark row after the title ("---Mark this---"
// or "---Unmark this---" for the word it shows), and "---Clear All---" only
// while there are bookmarks. No rows until the list has been filled.
#ifndef LEXIVANE_WORDS_BOOKMARK_ROWS_H_
#define LEXIVANE_WORDS_BOOKMARK_ROWS_H_

#include <QString>
#include <memory>

#include "words/bookmark_list.h"
#include "words/popup_rows.h"

class CBookmarkRows : public CPopupRows {
  public:
    // The rows of the definition page's list when `markRow`, else of the
    // search page's, over the program's list of bookmarks.
    explicit CBookmarkRows(bool markRow);

    // Reads the bookmark file afresh. False, with no rows and the last error
    // set (FailureText words it), when it cannot be read: no list is offered
    // over a file the program does not hold.
    bool Fill();
    // Labels the mark row for `word`: "---Unmark this---" when it is
    // bookmarked (in any letter case), else "---Mark this---". The label
    // stays until the next call, whatever is marked meanwhile.
    void SetMarkRow(const QString& word);

    // Each change saves the bookmark file and is kept only when the save
    // succeeded; false, with the rows as they were and the last error set,
    // when it did not. Mark puts `word` at the top, Unmark removes it (false
    // too when it is not bookmarked), ClearAll removes every word.
    bool Mark(const QString& word);
    bool Unmark(const QString& word);
    bool ClearAll();
    // Why the last fill or change failed, from the last error.
    QString FailureText(bool saving) const { return m_pWords->FailureText(saving); }

    PopupRow KindOf(int row) const override;
    QString WordAt(int row) const override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;

  private:
    // Rows above the words.
    int FixedRows() const;

    std::shared_ptr<CBookmarkList> m_pWords;
    bool m_bMarkRow;
    bool m_bFilled = false;
    bool m_bOffersUnmark = false;
};

#endif  // LEXIVANE_WORDS_BOOKMARK_ROWS_H_
