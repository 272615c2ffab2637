#include "words/bookmark_rows.h"

CBookmarkRows::CBookmarkRows(bool markRow)
    : CPopupRows(kBookmarksTitle), m_pWords(CBookmarkList::Shared()), m_bMarkRow(markRow) {
    // Every change of the words changes the rows below the fixed ones.
    connect(m_pWords.get(), &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { beginResetModel(); });
    connect(m_pWords.get(), &QAbstractItemModel::modelReset, this, [this] { endResetModel(); });
}

bool CBookmarkRows::Fill() {
    const bool read = m_pWords->Load();
    beginResetModel();
    m_bFilled = read;
    endResetModel();
    return read;
}

void CBookmarkRows::SetMarkRow(const QString& word) {
    beginResetModel();
    m_bOffersUnmark = m_pWords->Find(word) >= 0;
    endResetModel();
}

bool CBookmarkRows::Mark(const QString& word) {
    return m_pWords->Mark(word);
}

bool CBookmarkRows::Unmark(const QString& word) {
    return m_pWords->Unmark(word);
}

bool CBookmarkRows::ClearAll() {
    return m_pWords->Clear();
}

int CBookmarkRows::FixedRows() const {
    const int clearAll = m_pWords->Count() > 0 ? 1 : 0;
    return 1 + (m_bMarkRow ? 1 : 0) + clearAll;
}

PopupRow CBookmarkRows::KindOf(int row) const {
    if (row < 0 || row >= rowCount()) return PopupRow::kNone;
    if (row == 0) return PopupRow::kTitle;
    if (m_bMarkRow && row == 1) return m_bOffersUnmark ? PopupRow::kUnmark : PopupRow::kMark;
    return row < FixedRows() ? PopupRow::kClearAll : PopupRow::kWord;
}

QString CBookmarkRows::WordAt(int row) const {
    if (KindOf(row) != PopupRow::kWord) return QString();
    return m_pWords->index(row - FixedRows(), 0).data().toString();
}

int CBookmarkRows::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !m_bFilled) return 0;
    // The search page lists nothing while there are no bookmarks.
    if (!m_bMarkRow && m_pWords->Count() == 0) return 0;
    return FixedRows() + m_pWords->Count();
}
