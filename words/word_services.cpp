#include "words/word_services.h"

#include <cstring>

#include "platform/clipboard.h"
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
