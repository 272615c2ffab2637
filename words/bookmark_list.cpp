#include "words/bookmark_list.h"

#include <QFileInfo>
#include <algorithm>

#include "platform/files.h"

using platform::ERROR_SUCCESS;
using platform::GetLastError;
using platform::SetLastError;

std::shared_ptr<CBookmarkList> CBookmarkList::Shared() {
    static std::weak_ptr<CBookmarkList> shared;
    std::shared_ptr<CBookmarkList> list = shared.lock();
    if (!list) {
        list = std::make_shared<CBookmarkList>();
        shared = list;
    }
    return list;
}

CBookmarkList::CBookmarkList() = default;

CBookmarkList::~CBookmarkList() = default;

bool CBookmarkList::Load() {
    beginResetModel();
    // The old list goes before the file is read, so that the two are never
    // held at once.
    m_text = QString();
    m_starts.assign(1, 0);
    m_bRead = true;
    m_nReadError = m_file.ReadAll(m_text) ? ERROR_SUCCESS : GetLastError();
    if (!m_text.isEmpty() && !m_text.endsWith(u'\n')) m_text.append(u'\n');
    m_starts.reserve(static_cast<size_t>(std::count(m_text.cbegin(), m_text.cend(), u'\n')) + 1);
    for (qsizetype i = 0; i < m_text.size(); ++i) {
        if (m_text.at(i) == u'\n') m_starts.push_back(static_cast<uint32_t>(i + 1));
    }
    endResetModel();
    if (m_nReadError != ERROR_SUCCESS) SetLastError(m_nReadError);
    return m_nReadError == ERROR_SUCCESS;
}

QStringView CBookmarkList::WordView(int row) const {
    const uint32_t start = m_starts[static_cast<size_t>(row)];
    return QStringView(m_text).mid(start, m_starts[static_cast<size_t>(row) + 1] - start - 1);
}

int CBookmarkList::Find(QStringView word) const {
    for (int row = 0; row < Count(); ++row) {
        const QStringView candidate = WordView(row);
        // Letters compare one code unit to one: words of other lengths never match.
        if (candidate.size() == word.size() && candidate.compare(word, Qt::CaseInsensitive) == 0) {
            return row;
        }
    }
    return -1;
}

bool CBookmarkList::HoldsTheFile() {
    if (!m_bRead) Load();
    if (m_nReadError == ERROR_SUCCESS) return true;
    SetLastError(m_nReadError);
    return false;
}

bool CBookmarkList::Mark(const QString& word) {
    if (word.isEmpty() || word.contains(u'\n')) {
        SetLastError(platform::ERROR_INVALID_PARAMETER);
        return false;
    }
    if (!HoldsTheFile()) return false;
    const int row = Find(word);
    const QStringView all(m_text);
    const auto added = static_cast<uint32_t>(word.size() + 1);
    QString text;
    if (row < 0) {
        text.reserve(m_text.size() + added);
        text.append(word).append(u'\n').append(all);
    } else {
        const size_t at = static_cast<size_t>(row);
        text.reserve(m_text.size() + added - (m_starts[at + 1] - m_starts[at]));
        text.append(word)
            .append(u'\n')
            .append(all.left(m_starts[at]))
            .append(all.mid(m_starts[at + 1]));
    }
    if (!m_file.WriteLines(text)) return false;

    beginResetModel();
    m_text = std::move(text);
    if (row >= 0) {
        const size_t at = static_cast<size_t>(row);
        const uint32_t removed = m_starts[at + 1] - m_starts[at];
        m_starts.erase(m_starts.begin() + row);
        for (size_t i = at; i < m_starts.size(); ++i) m_starts[i] -= removed;
    }
    for (uint32_t& start : m_starts) start += added;
    m_starts.insert(m_starts.begin(), 0);
    endResetModel();
    return true;
}

bool CBookmarkList::Unmark(QStringView word) {
    if (!HoldsTheFile()) return false;
    const int row = Find(word);
    if (row < 0) {
        SetLastError(platform::ERROR_FILE_NOT_FOUND);
        return false;
    }
    const size_t at = static_cast<size_t>(row);
    const uint32_t removed = m_starts[at + 1] - m_starts[at];
    const QStringView all(m_text);
    QString text;
    text.reserve(m_text.size() - removed);
    text.append(all.left(m_starts[at])).append(all.mid(m_starts[at + 1]));
    if (!m_file.WriteLines(text)) return false;

    beginResetModel();
    m_text = std::move(text);
    m_starts.erase(m_starts.begin() + row);
    for (size_t i = at; i < m_starts.size(); ++i) m_starts[i] -= removed;
    endResetModel();
    return true;
}

bool CBookmarkList::Clear() {
    if (!HoldsTheFile() || !m_file.Truncate()) return false;
    beginResetModel();
    m_text = QString();
    m_starts.assign(1, 0);
    m_starts.shrink_to_fit();
    endResetModel();
    return true;
}

int CBookmarkList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

QVariant CBookmarkList::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= Count()) return {};
    return WordView(index.row()).toString();
}

QString CBookmarkList::FailureText(bool saving) const {
    const platform::DWORD error = GetLastError();
    QString reason = platform::ErrorText(error);
    if (error == platform::ERROR_FILE_TOO_LARGE) {
        reason += QStringLiteral(" (bookmarks are limited to %1 MB)")
                      .arg(CBookmarkFile::kMaxLength >> 20);
    }
    return QStringLiteral("Could not %1 %2: %3")
        .arg(saving ? QStringLiteral("save") : QStringLiteral("read"),
             QFileInfo(m_file.Path()).fileName(), reason);
}
