// The word services each page owns, and the one holder of the engine handle
// on it: entries rendered by the engine, headwords by index and the one
// nearest to a text, and the engine's history of viewed words. Engine text is
// Windows-1252; UI text is UTF-16.
#ifndef LEXIVANE_WORDS_WORD_SERVICES_H_
#define LEXIVANE_WORDS_WORD_SERVICES_H_

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "engine/lexicore.h"
#include "words/headwords.h"

class CWordServices : public CHeadwords {
  public:
    // Works on `engine`, the application's open engine (not owned), and
    // allocates the render buffer.
    explicit CWordServices(LXV_HANDLE engine);
    CWordServices(const CWordServices&) = delete;
    CWordServices& operator=(const CWordServices&) = delete;
    ~CWordServices() override;

    // The engine these services work on.
    LXV_HANDLE Engine() const { return m_hEngine; }

    // The entry of `headword` as HTML (`html` true) or plain text; empty for
    // an empty headword (the engine is not asked) and when the engine has no
    // entry or cannot print it.
    QString RenderEntry(const QString& headword, bool html);
    // The headword nearest to `text`; empty for an empty text or when nothing is near.
    QString NearestWord(const QString& text) const;
    // The index of the headword nearest to `headword`, counted as found:
    // nothing when the look-up fails or gives index 0 for a word that is not
    // the first headword (the engine's index 0 also stands for "none").
    std::optional<uint32_t> HeadwordIndex(const QString& headword) const;

    // CHeadwords.
    uint32_t WordCount() const override;
    std::optional<QString> HeadwordAt(uint32_t index) const override;
    std::optional<uint32_t> NearestIndex(const QString& text) const override;

    // The engine's history of viewed words, newest first; none when it is
    // empty or the engine cannot give one of its words.
    std::vector<QString> HistoryWords() const;
    // Empties the engine's history.
    void ClearHistory();

  private:
    LXV_HANDLE m_hEngine;
    std::unique_ptr<char[]> m_pBuffer;
};

// The first word of a-z letters in `text` (lower-cased, trimmed), taking the
// pieces between `separator`s in turn; empty when none has such a letter. A
// digit, an apostrophe, a hyphen or an accented letter ends the word.
QString ExtractLookupWord(const QString& text, const QString& separator);

#endif  // LEXIVANE_WORDS_WORD_SERVICES_H_
