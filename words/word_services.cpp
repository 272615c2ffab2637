#include "words/word_services.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/clipboard.h"
#include "platform/controls.h"
#include "platform/glue.h"

namespace {

// The engine's copy of a UI text, released when it goes out of scope.
struct NarrowText {
    explicit NarrowText(const QString& text) : bytes(WideToNarrow(text)) {}
    std::unique_ptr<char[]> bytes;
};

bool IsLookupWhiteSpace(QChar c) {
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\n' || u == u'\v' || u == u'\f' || u == u'\r';
}

bool IsLookupLetter(QChar c) {
    return c.unicode() >= u'a' && c.unicode() <= u'z';
}

QString Row(const char16_t* text) {
    return QString::fromUtf16(text);
}

// The row holding `word` after the title row, or LB_ERR.
int FindWordRow(const CListBox& list, const QString& word) {
    for (int row = 1; row < list.GetCount(); ++row) {
        QString text;
        list.GetText(row, text);
        if (text.compare(word, Qt::CaseInsensitive) == 0) return row;
    }
    return LB_ERR;
}

constexpr int kHistoryWordLimit = 20;
constexpr int kHistoryFixedRows = 2;
constexpr int kBookmarkFixedRows = 3;

}  // namespace

CWordServices::CWordServices() : m_pBuffer(new char[kBufferSize]) {}

CWordServices::~CWordServices() = default;

QString CWordServices::RenderEntry(const QString& headword, bool html) {
    if (headword.isEmpty()) return QString();
    NarrowText word(headword);
    m_strText.clear();
    if (!word.bytes) return m_strText;
    const LXV_ENTRY entry = lxv_find(m_hEngine, word.bytes.get());
    if (entry != 0) {
        std::memset(m_pBuffer.get(), 0, kBufferSize);
        const int printed = html ? lxv_printhtml_buf(m_hEngine, entry, m_pBuffer.get(), kBufferSize)
                                 : lxv_print_buf(m_hEngine, entry, m_pBuffer.get(), kBufferSize);
        // The engine promises a terminated text; the last byte makes sure of it.
        m_pBuffer[kBufferSize - 1] = '\0';
        if (printed != 0) m_strText = NarrowToWide(m_pBuffer.get());
    }
    return m_strText;
}

QString CWordServices::NearestWord(const QString& text) {
    NarrowText key(text);
    QString result;
    if (key.bytes) result = NarrowToWide(lxv_wordlist_nearest(m_hEngine, key.bytes.get()));
    return result;
}

uint32_t CWordServices::NearestIndex(const QString& text) {
    NarrowText key(text);
    if (!key.bytes) return 0;
    const char* headword = lxv_wordlist_nearest(m_hEngine, key.bytes.get());
    if (headword == nullptr) return 0;
    return lxv_wordlist_on(m_hEngine, headword);
}

bool CWordServices::HeadwordIndex(const QString& headword, uint32_t& index) {
    index = NearestIndex(headword);
    if (index != 0 || headword == QStringLiteral("a")) return true;
    return NarrowToWide(lxv_wordlist_at(m_hEngine, 0)).compare(headword, Qt::CaseInsensitive) == 0;
}

bool CWordServices::CopyToClipboard(const QString& text) {
    if (text.isEmpty()) return false;
    m_bLastOk = true;
    char* narrow = WideToNarrow(text);
    auto* unicode = new char16_t[static_cast<size_t>(text.size()) + 1];
    std::memcpy(unicode, text.utf16(), static_cast<size_t>(text.size()) * sizeof(char16_t));
    unicode[text.size()] = 0;
    if (!OpenClipboard(nullptr)) m_bLastOk = false;
    if (!EmptyClipboard()) m_bLastOk = false;
    // The clipboard owns both blocks from here on.
    if (!SetClipboardData(CF_TEXT, narrow)) m_bLastOk = false;
    if (!SetClipboardData(CF_UNICODETEXT, unicode)) m_bLastOk = false;
    CloseClipboard();
    return m_bLastOk;
}

QString CWordServices::GetClipboardText() {
    OpenClipboard(nullptr);
    const auto* data = static_cast<const char16_t*>(GetClipboardData(CF_UNICODETEXT));
    QString text = data != nullptr ? QString::fromUtf16(data) : QString();
    CloseClipboard();
    return text;
}

void CWordServices::ClearClipboard() {
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
}

QString CWordServices::ExtractLookupWord(const QString& input, const QString& separator) {
    QString candidate;
    QString text = input.toLower();
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsLookupWhiteSpace(text.at(begin))) ++begin;
    while (end > begin && IsLookupWhiteSpace(text.at(end - 1))) --end;
    text = text.mid(begin, end - begin);
    if (text.isEmpty()) return text;

    int pieces = 1;
    for (qsizetype p = text.indexOf(separator); p >= 0; p = text.indexOf(separator, p + 1)) {
        ++pieces;
        if (p >= text.size()) break;
    }
    for (int pass = 0; pass < pieces; ++pass) {
        const qsizetype p = text.indexOf(separator);
        if (p < 0) {
            candidate = text;
        } else {
            candidate = text.left(p);
            text = text.mid(p + 1);
        }
        if (candidate.isEmpty()) continue;
        qsizetype first = 0;
        while (first < candidate.size() && !IsLookupLetter(candidate.at(first))) ++first;
        if (first < candidate.size()) candidate = candidate.mid(first);
        qsizetype run = 0;
        while (run < candidate.size() && IsLookupLetter(candidate.at(run))) ++run;
        candidate.truncate(run);
        if (!candidate.isEmpty()) return candidate;
    }
    return candidate;
}

bool CWordServices::AddWordToList(const QString& word, CListBox& list, bool history) {
    m_bLastOk = true;
    if (word.isEmpty()) return true;
    if (list.GetCount() == 0) {
        if (history) {
            list.AddString(Row(kHistoryTitle));
        } else {
            list.AddString(Row(kBookmarksTitle));
            list.AddString(Row(kMarkRow));
        }
        list.AddString(Row(kClearAllRow));
        list.AddString(word);
    } else {
        const int row = FindWordRow(list, word);
        if (row != LB_ERR) list.DeleteString(row);
        if (history) {
            list.InsertString(kHistoryFixedRows, word);
            if (list.GetCount() > kHistoryFixedRows + kHistoryWordLimit) {
                list.DeleteString(kHistoryFixedRows + kHistoryWordLimit);
            }
        } else {
            list.InsertString(kBookmarkFixedRows, word);
        }
    }
    m_bLastOk = true;
    return true;
}

bool CWordServices::FillHistoryList(CListBox& list) {
    m_bLastOk = true;
    const int16_t count = lxv_history_count(m_hEngine);
    if (list.GetCount() > 0) list.ResetContent();
    if (count > 0) {
        list.AddString(Row(kHistoryTitle));
        list.AddString(Row(kClearAllRow));
        for (int16_t i = 0; i < count; ++i) {
            const char* word = lxv_history_getword(m_hEngine, i);
            if (word == nullptr) {
                list.ResetContent();
                break;
            }
            list.AddString(NarrowToWide(word));
        }
    }
    return true;
}

bool CWordServices::FillBookmarkList(CListBox& list) {
    m_strText.clear();
    if (list.GetCount() > 0) list.ResetContent();
    const uint32_t length = m_bookmarkFile.QueryLength();
    if (length == 0) return true;
    std::vector<char> block(length, '\0');
    list.AddString(Row(kBookmarksTitle));
    list.AddString(Row(kClearAllRow));
    m_bookmarkFile.ReadAll(block.data(), length);
    // Only what was read counts: the file may have shrunk since it was measured.
    const uint32_t units = std::min(length, m_bookmarkFile.Length()) / 2;
    for (uint32_t i = 0; i < units; ++i) {
        const auto unit = static_cast<char16_t>(static_cast<unsigned char>(block[2 * i]) |
                                                static_cast<unsigned char>(block[2 * i + 1]) << 8);
        if (unit == u'\n') {
            list.AddString(m_strText);
            m_strText.clear();
        } else {
            m_strText.append(QChar(unit));
        }
    }
    // A file edited by hand or written by another tool may end its last word
    // without a line feed: that word is still a bookmark, and the next save
    // writes it back with its line feed.
    if (!m_strText.isEmpty()) list.AddString(m_strText);
    m_bLastOk = true;
    return false;
}

bool CWordServices::SaveBookmarkList(CListBox& list, bool emptyWhenNone) {
    m_bLastOk = false;
    const int rows = list.GetCount();
    if (rows <= kBookmarkFixedRows) {
        if (!emptyWhenNone) return false;
        m_bLastOk = m_bookmarkFile.Truncate();
        if (m_bLastOk) list.DeleteString(2);
        return m_bLastOk;
    }
    std::vector<QString> lines;
    lines.reserve(static_cast<size_t>(rows - kBookmarkFixedRows));
    for (int row = kBookmarkFixedRows; row < rows; ++row) {
        QString text;
        list.GetText(row, text);
        lines.push_back(text + u'\n');
    }
    m_bLastOk = m_bookmarkFile.WriteLines(lines.data(), static_cast<int>(lines.size()));
    return m_bLastOk;
}

bool CWordServices::BookmarkWord(const QString& word, CListBox& list) {
    m_bLastOk = true;
    const int previousRow = FindWordRow(list, word);
    QString previous;
    if (previousRow != LB_ERR) list.GetText(previousRow, previous);
    AddWordToList(word, list, false);
    if (SaveBookmarkList(list, false)) return true;
    // The file still holds the list as it was before: put the list back so
    // that the two agree and the user does not see a bookmark that is lost
    // at the next start.
    if (list.GetCount() > kBookmarkFixedRows && !word.isEmpty()) {
        list.DeleteString(kBookmarkFixedRows);
        if (previousRow != LB_ERR) list.InsertString(previousRow, previous);
    }
    return false;
}

bool CWordServices::UnbookmarkWord(const QString& word, CListBox& list) {
    m_bLastOk = false;
    const int row = FindWordRow(list, word);
    if (row == LB_ERR) return false;
    QString removed;
    list.GetText(row, removed);
    list.DeleteString(row);
    m_bLastOk = SaveBookmarkList(list, true);
    if (!m_bLastOk) list.InsertString(row, removed);
    return m_bLastOk;
}

void CWordServices::SetMarkRow(const QString& word, CListBox& list) {
    const bool marked = FindWordRow(list, word) != LB_ERR;
    list.DeleteString(1);
    list.InsertString(1, Row(marked ? kUnmarkRow : kMarkRow));
}

void ShowPopupList(CListBox& list) {
    list.SetCurSel(0);
    list.BringWindowToTop();
    list.ShowWindow(SW_SHOW);
    list.SetFocus();
}
