// Links between entries. A reference in an entry to another headword of the
// same dictionary is written as
//
//   <a href="entry:TARGET">shown text</a>
//
// where TARGET is that headword as the dictionary spells it (Windows-1252,
// like the rest of the entry), with & < > " written as &amp; &lt; &gt; &quot;
// and nothing percent-encoded; the program follows a link by looking TARGET
// up. A reference to a word that is no headword, or to the entry's own
// headword, stays text. Links are markup only: the plain text of an entry
// (lexicore/entry_text.h) is the same with or without them.
#ifndef LEXIVANE_TOOLS_ENTRY_LINKS_H_
#define LEXIVANE_TOOLS_ENTRY_LINKS_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

namespace lexivane_dict {

inline constexpr std::string_view kLinkStart = "<a href=\"entry:";
inline constexpr std::string_view kLinkEnd = "</a>";

// The headwords a dictionary's entries may link to, each spelled as the
// dictionary will show it once its case variants are merged.
class LinkTargets {
  public:
    // Adds a headword (Windows-1252) as a converter gives it to the builder;
    // given in the builder's order, the spelling kept is the one it shows.
    void Add(std::string_view headword);

    // The headword that `word` names, equal to it ignoring case as the
    // engine's look-up compares; null when there is none or it is the
    // headword whose case-folded spelling is `own_folded`. The pointer stays
    // valid until the next Add.
    const std::string* Find(std::string_view word, std::string_view own_folded) const;

    size_t size() const { return by_folded_.size(); }

  private:
    std::unordered_map<std::string, std::string> by_folded_;
};

// The links a converter writes into the entry of one headword: to the
// headwords of `targets` other than the headword itself. Without targets it
// writes none.
struct EntryLinks {
    const LinkTargets* targets = nullptr;
    std::string own_folded;  // the entry's headword, case folded (lexicore::Fold)

    // The target of a reference to `word`, or null when it stays text.
    const std::string* Find(std::string_view word) const {
        return targets == nullptr ? nullptr : targets->Find(word, own_folded);
    }
};

// What a converter counts of the links it writes.
struct LinkCounts {
    size_t written = 0;  // links to other headwords
    size_t dropped = 0;  // entries too long for the print buffer with their links: they show none
};

// The bytes that entry HTML shows: its sense breaks are never printed.
size_t ShownBytes(std::string_view html);

// "2", "13", "1a", "3b": the number of a sense, which a reference may give
// after the word it names ("abortion(2)").
bool IsSenseNumber(std::string_view s);

// The word that a reference showing `shown` (Windows-1252 text) names, as a
// headword would spell it: without a sense number ("abortion(2)"), the
// punctuation that ends it ("Grief."), blanks, and the "to" of a verb ("To
// fascinate"). Empty when it breaks a line.
std::string_view ReferencedWord(std::string_view shown);

// Appends the opening tag of a link to `target` (a headword, Windows-1252).
void AppendLinkStart(std::string_view target, std::string* html);

// `html` without its links' tags: what it would be had they not been written.
std::string WithoutLinks(std::string_view html);

// The number of links in `html`.
size_t CountLinks(std::string_view html);

}  // namespace lexivane_dict

#endif  // LEXIVANE_TOOLS_ENTRY_LINKS_H_
