#include "words/word_services.h"

#include <QFileInfo>
#include <cstring>

#include "platform/clipboard.h"
#include "platform/controls.h"
#include "platform/files.h"
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

}  // namespace

CWordServices::CWordServices()
    : m_pBuffer(new char[kBufferSize]), m_pBookmarks(CBookmarkList::Shared()) {}

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

bool CWordServices::AddWordToList(const QString& word, CListBox& list) {
    m_bLastOk = true;
    if (word.isEmpty()) return true;
    if (list.GetCount() == 0) {
        list.AddString(Row(kHistoryTitle));
        list.AddString(Row(kClearAllRow));
        list.AddString(word);
    } else {
        const int row = FindWordRow(list, word);
        if (row != LB_ERR) list.DeleteString(row);
        list.InsertString(kHistoryFixedRows, word);
        if (list.GetCount() > kHistoryFixedRows + kHistoryWordLimit) {
            list.DeleteString(kHistoryFixedRows + kHistoryWordLimit);
        }
    }
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
    list.ResetContent();
    m_bLastOk = m_pBookmarks->Load();
    if (m_pBookmarks->Count() == 0) return true;
    list.AddString(Row(kBookmarksTitle));
    list.AddString(Row(kClearAllRow));
    list.SetSharedRows(m_pBookmarks);
    return false;
}

bool CWordServices::BookmarkWord(const QString& word, CListBox& list) {
    m_bLastOk = m_pBookmarks->Mark(word);
    // The first mark of a list filled from no file: the word shows below the
    // rows the page laid out.
    if (m_bLastOk) list.SetSharedRows(m_pBookmarks);
    return m_bLastOk;
}

bool CWordServices::UnbookmarkWord(const QString& word, CListBox& list) {
    m_bLastOk = m_pBookmarks->Unmark(word);
    if (m_bLastOk && m_pBookmarks->Count() == 0) list.DeleteString(2);
    return m_bLastOk;
}

bool CWordServices::ClearBookmarks() {
    m_bLastOk = m_pBookmarks->Clear();
    return m_bLastOk;
}

void CWordServices::SetMarkRow(const QString& word, CListBox& list) {
    const bool marked = m_pBookmarks->Find(word) >= 0;
    list.DeleteString(1);
    list.InsertString(1, Row(marked ? kUnmarkRow : kMarkRow));
}

QString CWordServices::BookmarkFailureText(bool saving) const {
    QString reason = ErrorText(GetLastError());
    if (GetLastError() == ERROR_FILE_TOO_LARGE) {
        reason += QStringLiteral(" (bookmarks are limited to %1 MB)")
                      .arg(CBookmarkFile::kMaxLength >> 20);
    }
    return QStringLiteral("Could not %1 %2: %3")
        .arg(saving ? QStringLiteral("save") : QStringLiteral("read"),
             QFileInfo(m_pBookmarks->Path()).fileName(), reason);
}

void ShowPopupList(CListBox& list) {
    list.SetCurSel(0);
    list.BringWindowToTop();
    list.ShowWindow(SW_SHOW);
    list.SetFocus();
}
