#include "search/word_window.h"

#include <algorithm>
#include <optional>

uint32_t ScrollRangeFor(uint32_t count) {
    const uint32_t half = count / 2;
    return half > kScrollRangeThreshold ? kScrollRangeCap : half;
}

float ScrollScaleFor(uint32_t count, uint32_t range) {
    if (range == 0) return 0.0f;
    return static_cast<float>(count) / static_cast<float>(range);
}

int32_t TopToThumb(uint32_t top, float scale) {
    if (scale == 0.0f) return 0;
    return static_cast<int32_t>(static_cast<float>(top) / scale);
}

uint32_t LastTop(uint32_t count, int32_t pageRows) {
    const uint32_t rows = static_cast<uint32_t>(std::max(pageRows, 0));
    return count > rows ? count - rows : 0;
}

uint32_t ThumbToTop(uint32_t count, int32_t pageRows, uint32_t thumb, uint32_t range) {
    if (range == 0) return 0;
    const uint64_t position = std::min(thumb, range);
    return static_cast<uint32_t>(uint64_t{LastTop(count, pageRows)} * position / range);
}

CWordWindow::CWordWindow(const CHeadwords& headwords) : m_headwords(headwords) {}

bool CWordWindow::InitScrollState() {
    bool rangeComputed = false;
    if (m_nWordCount == 0) {
        m_nWordCount = m_headwords.WordCount();
        m_nScrollRange = ScrollRangeFor(m_nWordCount);
        rangeComputed = true;
    }
    if (m_fScrollScale == 0.0f) m_fScrollScale = ScrollScaleFor(m_nWordCount, m_nScrollRange);
    return rangeComputed;
}

bool CWordWindow::FillRows(uint32_t top, bool dropMissing) {
    beginResetModel();
    m_rows.clear();
    bool lastPresent = true;
    for (int32_t k = 0; k < m_nPageRows && uint64_t{top} + k < m_nWordCount; ++k) {
        const std::optional<QString> headword =
            m_headwords.HeadwordAt(top + static_cast<uint32_t>(k));
        lastPresent = headword.has_value();
        if (headword || !dropMissing) m_rows.push_back(headword.value_or(QString()));
    }
    endResetModel();
    return lastPresent;
}

CWordWindow::Placement CWordWindow::PositionOnWord(const QString& word) {
    const std::optional<uint32_t> found =
        word.isEmpty() ? std::optional<uint32_t>(0) : m_headwords.NearestIndex(word);
    const uint32_t at = found.value_or(m_nTopIndex);
    // On the last page the headword found is not row 0: the window stops at
    // the end, and the found row is selected.
    const uint32_t top = std::min(at, LastTop(m_nWordCount, m_nPageRows));
    const int foundRow = static_cast<int>(at - top);
    if (top == m_nTopIndex && !m_rows.empty())
        return {found && foundRow != 0 ? foundRow : -1, false, true};
    if (!found) {
        beginResetModel();
        m_rows.clear();
        endResetModel();
        return {};
    }
    m_nTopIndex = top;
    const bool lastPresent = FillRows(top, true);
    if (m_nWordCount == 0) m_nWordCount = m_headwords.WordCount();
    m_nScrollPos = TopToThumb(m_nTopIndex, m_fScrollScale);
    return {foundRow, true, lastPresent};
}

bool CWordWindow::ScrollOneRow(bool up) {
    // The top is taken from the first row's headword each time.
    const uint32_t index =
        m_headwords.NearestIndex(m_rows.empty() ? QString() : m_rows.front()).value_or(0);
    m_nTopIndex = index;
    uint32_t incoming = 0;
    if (up) {
        if (index == 0) return false;
        m_nTopIndex = index - 1;
        incoming = index - 1;
    } else {
        if (uint64_t{index} + 1 + static_cast<uint64_t>(std::max(m_nPageRows, 0)) > m_nWordCount)
            return false;
        m_nTopIndex = index + 1;
        incoming = index + static_cast<uint32_t>(m_nPageRows);
    }
    const QString text = m_headwords.HeadwordAt(incoming).value_or(QString());
    // Row by row, so that a selected headword keeps its selection as it moves
    // and loses it as it goes out.
    if (up) {
        InsertRow(0, text);
        RemoveRow(m_nPageRows);
    } else {
        RemoveRow(0);
        InsertRow(static_cast<int>(m_rows.size()), text);
    }
    return !text.isEmpty();
}

void CWordWindow::InsertRow(int row, const QString& text) {
    beginInsertRows(QModelIndex(), row, row);
    m_rows.insert(m_rows.begin() + row, text);
    endInsertRows();
}

void CWordWindow::RemoveRow(int row) {
    if (row < 0 || row >= static_cast<int>(m_rows.size())) return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

bool CWordWindow::MoveTopTo(int64_t requested) {
    const auto top = static_cast<uint32_t>(
        std::clamp<int64_t>(requested, 0, LastTop(m_nWordCount, m_nPageRows)));
    if (top == m_nTopIndex) return false;
    m_nTopIndex = top;
    FillRows(top, false);
    return true;
}

bool CWordWindow::RefillKeepingFirstRow() {
    if (m_rows.empty()) return false;
    m_nTopIndex = std::min(m_headwords.NearestIndex(m_rows.front()).value_or(0),
                           LastTop(m_nWordCount, m_nPageRows));
    FillRows(m_nTopIndex, false);
    return true;
}

bool CWordWindow::SetPageRows(int32_t rows) {
    if (rows == m_nPageRows) return false;
    m_nPageRows = rows;
    return RefillKeepingFirstRow();
}

int32_t CWordWindow::ThumbAfterMove(bool up) const {
    if (up && m_nTopIndex == 0) return 0;
    // A dictionary smaller than a page has no last page distinct from the first.
    const bool atEnd = m_nWordCount >= static_cast<uint32_t>(std::max(m_nPageRows, 0)) &&
                       m_nTopIndex == LastTop(m_nWordCount, m_nPageRows);
    if (!up && atEnd) return static_cast<int32_t>(m_nScrollRange);
    return TopToThumb(m_nTopIndex, m_fScrollScale);
}

bool CWordWindow::Scroll(platform::UINT code, uint32_t thumb) {
    switch (code) {
        case platform::SB_LINEUP:
        case platform::SB_LINEDOWN: {
            const bool up = code == platform::SB_LINEUP;
            // A move that fails leaves the thumb where it was.
            if (ScrollOneRow(up)) m_nScrollPos = ThumbAfterMove(up);
            return false;
        }
        case platform::SB_PAGEUP: {
            const bool refilled = MoveTopTo(int64_t{m_nTopIndex} - m_nPageRows);
            m_nScrollPos = ThumbAfterMove(true);
            return refilled;
        }
        case platform::SB_PAGEDOWN: {
            const bool refilled = MoveTopTo(int64_t{m_nTopIndex} + m_nPageRows);
            m_nScrollPos = ThumbAfterMove(false);
            return refilled;
        }
        case platform::SB_THUMBPOSITION:
        case platform::SB_THUMBTRACK: {
            const uint32_t position = std::min(thumb, m_nScrollRange);
            m_nScrollPos = static_cast<int32_t>(position);
            return MoveTopTo(ThumbToTop(m_nWordCount, m_nPageRows, position, m_nScrollRange));
        }
        default:
            return false;
    }
}

int CWordWindow::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

QVariant CWordWindow::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    return m_rows[static_cast<size_t>(index.row())];
}
