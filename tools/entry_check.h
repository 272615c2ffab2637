// What a reader meets in one compiled entry: checks over an entry's HTML and
// plain text (Windows-1252, as the engine prints them) that `lexivane-dict
// stats` counts over a whole dictionary. They read the printed entry only, so
// they measure a file from any version of the compiler.
#ifndef LEXIVANE_TOOLS_ENTRY_CHECK_H_
#define LEXIVANE_TOOLS_ENTRY_CHECK_H_

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lexivane_dict {

struct EntryFindings {
    // Some part of the entry says more than a head line: a sense, a note,
    // synonyms, a cross-reference ("See Abnet."), a sub-entry. Head lines
    // ("Reach, v. t. [imp. & p. p. Reached ...]", "mice, n., pl. of Mouse."),
    // run-on lists ("— Sensuously, adv. — Sensuousness, n."), pronunciations
    // and bracketed etymologies or labels say nothing more.
    bool definition = false;
    // A head line of another word (none of its bold forms is the headword;
    // a word run on after an entry, "— Sensuously, adv.", is none)
    // stands without a definition of its own: the next part starts another
    // head line, or nothing follows ("harder" opening with "Hard (härd), a.").
    bool stray_head_line = false;
    // A pronunciation, "(am*ne”ze*ak)", shows '*' or a curly quotation mark.
    bool pronunciation_marks = false;
    // Source HTML shows as text: "[a href=”images]javelina.gif”>".
    bool html_debris = false;
    // UTF-8 read as Windows-1252 ("Ã©" for "é").
    bool mojibake = false;
};

// Checks one entry of `headword`; `html` and `text` without sense breaks or
// with them (they are skipped).
EntryFindings CheckEntry(std::string_view headword, std::string_view html, std::string_view text);

// Whether `html` holds a head line of `word`: a part that leads with a bold
// form of its letters and names a part of speech ("Be (be), v. i. ...").
bool ShowsHeadLineOf(std::string_view html, std::string_view word);

// A link of an entry (tools/entry_links.h).
struct EntryLink {
    std::string target;  // the headword it leads to, its entities decoded
    std::string shown;   // the text it shows
};

// The links of entry HTML, in order.
std::vector<EntryLink> FindLinks(std::string_view html);

// Whether `html` shows as text a reference that the compiler writes as a link
// when it names another headword: an italic cross-reference ("See
// <i>Abbot</i>.") or a word of a "Synonyms:" or "Antonyms:" list. Quotations,
// labels and parts of speech are none. `names_headword(word)` says whether a
// word (ReferencedWord) names a headword other than the entry's own.
bool ShowsUnlinkedReference(std::string_view html,
                            const std::function<bool(std::string_view)>& names_headword);

// The letters and digits of `s` as nearest-word matching compares them
// (lexicore::MatchFold), without anything else: "Col´our", "colour" and
// "COLOUR" all give "colour", "Æneid" and "AEneid" "aeneid", "Abb'e" "abbe".
std::string LetterKey(std::string_view s);

}  // namespace lexivane_dict

#endif  // LEXIVANE_TOOLS_ENTRY_CHECK_H_
