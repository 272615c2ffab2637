// The words a definition page has shown since it opened, in the order it
// showed them, with the place of the word it shows now: what Alt+Left and
// Alt+Right go back and forward through, as a web browser's Back and Forward
// do. Showing a new word drops the words ahead of the shown one.
#ifndef LEXIVANE_WORDS_VISITED_WORDS_H_
#define LEXIVANE_WORDS_VISITED_WORDS_H_

#include <QString>
#include <optional>
#include <vector>

class CVisitedWords {
  public:
    // The most words kept; the oldest go first.
    static constexpr size_t kWordLimit = 1000;

    // `word` is shown now, by any means but going back or forward: the words
    // ahead of the shown one go, and `word` follows the shown one. The word
    // shown already (exactly as written) changes nothing; nor does an empty one.
    void Visit(const QString& word);
    // The word before the shown one, which becomes the shown one; nothing,
    // with nothing changed, at the first.
    std::optional<QString> Back();
    // The word after the shown one, which becomes the shown one; nothing,
    // with nothing changed, at the last.
    std::optional<QString> Forward();

    // The word shown now; empty before the first Visit.
    QString Current() const;

  private:
    std::vector<QString> m_words;
    size_t m_nCurrent = 0;  // index of the shown word; meaningless while empty
};

#endif  // LEXIVANE_WORDS_VISITED_WORDS_H_
