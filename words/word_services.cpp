#include "words/word_services.h"

#include <cstring>

#include "platform/text.h"

using platform::NarrowToWide;
using platform::WideToNarrow;

namespace {

bool IsLookupWhiteSpace(QChar c) {
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\n' || u == u'\v' || u == u'\f' || u == u'\r';
}

bool IsLookupLetter(QChar c) {
    return c.unicode() >= u'a' && c.unicode() <= u'z';
}

// `text` with white space cut from both ends, as the lookup word sees it.
QString TrimLookupText(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsLookupWhiteSpace(text.at(begin))) ++begin;
    while (end > begin && IsLookupWhiteSpace(text.at(end - 1))) --end;
    return text.mid(begin, end - begin);
}

// The leading run of a-z letters of `piece` from its first such letter on;
// `piece` unchanged when it has none, which then gives empty.
QString LetterRun(QString piece) {
    qsizetype first = 0;
    while (first < piece.size() && !IsLookupLetter(piece.at(first))) ++first;
    if (first < piece.size()) piece = piece.mid(first);
    qsizetype run = 0;
    while (run < piece.size() && IsLookupLetter(piece.at(run))) ++run;
    piece.truncate(run);
    return piece;
}

}  // namespace

CWordServices::CWordServices(LXV_HANDLE engine)
    : m_hEngine(engine), m_pBuffer(new char[LXV_PRINT_BUFFER_SIZE]) {}

CWordServices::~CWordServices() = default;

QString CWordServices::RenderEntry(const QString& headword, bool html) {
    const std::unique_ptr<char[]> word = WideToNarrow(headword);
    if (!word) return QString();
    const LXV_ENTRY entry = lxv_find(m_hEngine, word.get());
    if (entry == 0) return QString();
    std::memset(m_pBuffer.get(), 0, LXV_PRINT_BUFFER_SIZE);
    const int printed =
        html ? lxv_printhtml_buf(m_hEngine, entry, m_pBuffer.get(), LXV_PRINT_BUFFER_SIZE)
             : lxv_print_buf(m_hEngine, entry, m_pBuffer.get(), LXV_PRINT_BUFFER_SIZE);
    // The engine promises a terminated text; the last byte makes sure of it.
    m_pBuffer[LXV_PRINT_BUFFER_SIZE - 1] = '\0';
    return printed != 0 ? NarrowToWide(m_pBuffer.get()) : QString();
}

QString CWordServices::NearestWord(const QString& text) const {
    const std::unique_ptr<char[]> key = WideToNarrow(text);
    return key ? NarrowToWide(lxv_wordlist_nearest(m_hEngine, key.get())) : QString();
}

std::optional<uint32_t> CWordServices::NearestIndex(const QString& text) const {
    const std::unique_ptr<char[]> key = WideToNarrow(text);
    if (!key) return std::nullopt;
    const char* headword = lxv_wordlist_nearest(m_hEngine, key.get());
    if (headword == nullptr) return std::nullopt;
    return lxv_wordlist_on(m_hEngine, headword);
}

std::optional<uint32_t> CWordServices::HeadwordIndex(const QString& headword) const {
    const uint32_t index = NearestIndex(headword).value_or(0);
    // Index 0 counts only for "a" or for a word that really is the first
    // headword: a dictionary need not begin with "a".
    if (index != 0 || headword == QStringLiteral("a")) return index;
    if (HeadwordAt(0).value_or(QString()).compare(headword, Qt::CaseInsensitive) == 0) return 0;
    return std::nullopt;
}

uint32_t CWordServices::WordCount() const {
    return lxv_wordlist_count(m_hEngine);
}

std::optional<QString> CWordServices::HeadwordAt(uint32_t index) const {
    const char* headword = lxv_wordlist_at(m_hEngine, index);
    if (headword == nullptr) return std::nullopt;
    return NarrowToWide(headword);
}

std::vector<QString> CWordServices::HistoryWords() const {
    std::vector<QString> words;
    const int16_t count = lxv_history_count(m_hEngine);
    for (int16_t i = 0; i < count; ++i) {
        const char* word = lxv_history_getword(m_hEngine, i);
        // A history the engine cannot give whole is shown as none at all.
        if (word == nullptr) return {};
        words.push_back(NarrowToWide(word));
    }
    return words;
}

void CWordServices::ClearHistory() {
    lxv_history_clear(m_hEngine);
}

QString ExtractLookupWord(const QString& input, const QString& separator) {
    QString text = TrimLookupText(input.toLower());
    if (text.isEmpty()) return text;

    int pieces = 1;
    for (qsizetype p = text.indexOf(separator); p >= 0; p = text.indexOf(separator, p + 1)) {
        ++pieces;
        if (p >= text.size()) break;
    }
    QString candidate;
    for (int pass = 0; pass < pieces; ++pass) {
        const qsizetype p = text.indexOf(separator);
        if (p < 0) {
            candidate = text;
        } else {
            candidate = text.left(p);
            text = text.mid(p + 1);
        }
        if (candidate.isEmpty()) continue;
        candidate = LetterRun(candidate);
        if (!candidate.isEmpty()) return candidate;
    }
    return candidate;
}
