#include "words/history_list.h"

#include <algorithm>

CHistoryList::CHistoryList() : CPopupRows(kHistoryTitle) {}

void CHistoryList::Fill(std::vector<QString> words) {
    beginResetModel();
    m_words = std::move(words);
    endResetModel();
}

bool CHistoryList::AddWord(const QString& word) {
    if (word.isEmpty()) return false;
    beginResetModel();
    std::erase_if(m_words, [&](const QString& listed) {
        return listed.compare(word, Qt::CaseInsensitive) == 0;
    });
    m_words.insert(m_words.begin(), word);
    // One word goes at a time: a fuller list from the engine stays as it came.
    if (m_words.size() > size_t{LXV_HISTORY_LIMIT}) m_words.pop_back();
    endResetModel();
    return true;
}

void CHistoryList::Clear() {
    Fill({});
}

PopupRow CHistoryList::KindOf(int row) const {
    if (row < 0 || row >= rowCount()) return PopupRow::kNone;
    if (row == 0) return PopupRow::kTitle;
    return row == 1 ? PopupRow::kClearAll : PopupRow::kWord;
}

QString CHistoryList::WordAt(int row) const {
    return KindOf(row) == PopupRow::kWord ? m_words[static_cast<size_t>(row - kFixedRows)]
                                          : QString();
}

int CHistoryList::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || m_words.empty()) return 0;
    return kFixedRows + static_cast<int>(m_words.size());
}
