// The rows of a page's history pop-up list: none while it holds no words,
// else "History", "---Clear All---" and the words, most recent first. Filled
// from the engine's history when the list is first wanted, and kept in step
// by the page as it shows words, holding at most the newest
// LXV_HISTORY_LIMIT, as the engine does.
#ifndef LEXIVANE_WORDS_HISTORY_LIST_H_
#define LEXIVANE_WORDS_HISTORY_LIST_H_

#include <QString>
#include <vector>

#include "engine/lexicore.h"
#include "words/popup_rows.h"

class CHistoryList : public CPopupRows {
  public:
    CHistoryList();

    // Lists `words` as they are, newest first, in place of the words before.
    void Fill(std::vector<QString> words);
    // Puts `word` at the top, moving a row that holds it in any letter case
    // (the row takes the new letter case) and letting the oldest word go
    // beyond the limit. False, with nothing changed, for an empty word.
    bool AddWord(const QString& word);
    // Lists no words.
    void Clear();

    PopupRow KindOf(int row) const override;
    QString WordAt(int row) const override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;

  private:
    static constexpr int kFixedRows = 2;
    std::vector<QString> m_words;
};

#endif  // LEXIVANE_WORDS_HISTORY_LIST_H_
