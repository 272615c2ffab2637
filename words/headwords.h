// The dictionary's sorted headword list as the search page's word list
// window reads it: a count, the headword at an index, and the index of the
// headword nearest to a text. The word services give it from the engine;
// tests give it from a list of their own.
#ifndef LEXIVANE_WORDS_HEADWORDS_H_
#define LEXIVANE_WORDS_HEADWORDS_H_

#include <QString>
#include <cstdint>
#include <optional>

class CHeadwords {
  public:
    virtual ~CHeadwords() = default;

    // The number of headwords; 0 for an empty dictionary.
    virtual uint32_t WordCount() const = 0;
    // The headword at `index`; nothing when there is none to give.
    virtual std::optional<QString> HeadwordAt(uint32_t index) const = 0;
    // The index of the headword nearest to `text`; nothing for an empty
    // text or when no headword is near.
    virtual std::optional<uint32_t> NearestIndex(const QString& text) const = 0;
};

#endif  // LEXIVANE_WORDS_HEADWORDS_H_
