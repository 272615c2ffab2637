// Finding what an index line of GCIDE (tools/gcide.h) converts when its key
// has no entry of its own in the text it points to: the whole entry of the
// word it is a form of, a run-on line, or the paragraph of a sub-entry.
#ifndef LEXIVANE_TOOLS_GCIDE_FRAGMENTS_H_
#define LEXIVANE_TOOLS_GCIDE_FRAGMENTS_H_

#include <string>
#include <string_view>
#include <vector>

#include "tools/gcide_writer.h"

namespace lexivane_dict {

// Whether `key` is one of the headwords the head line of entry text `raw`
// spells (its own entry, rather than a line pointing into another word's).
bool GcideHeadsEntry(std::string_view key, std::string_view raw);

// Whether entry text `raw` names `key` as a word of its own: in braces or
// between the backslashes of a head line.
bool GcideNamesKey(std::string_view key, std::string_view raw);

namespace gcide {

// The words the head line of entry text `raw` spells as headwords: each text
// between backslashes in the first paragraph's head.
std::vector<std::string_view> HeadForms(std::string_view raw);

// What a line for `key` gets of another word's entry `raw`.
enum class FragmentKind {
    kForm,       // the key is a form of the entry's word: the whole entry
    kRunOn,      // the key runs on after a dash: that line, then the whole entry
    kParagraph,  // the key heads a sub-entry, or is mentioned: that paragraph
};

struct Fragment {
    std::string_view text;  // inside the entry text searched
    GcidePart part = GcidePart::kEntry;
    FragmentKind kind = FragmentKind::kParagraph;
};

// Finds what a line for `key` converts when `raw` is another word's entry: the
// whole entry when the key is a form named on its head line (a plural, a past
// tense, a variant spelling), the run-on line and the whole entry when the
// key runs on after a dash, the paragraph (with its quotations) that the key
// heads as a sub-entry, or, for a key without an entry of its own, the
// paragraph that names or mentions it. False when the entry only mentions a
// word that has its own entry, or does not name the key at all.
bool FindFragment(std::string_view key, std::string_view raw, bool key_has_entry, Fragment* out);

// "Me*thought"\, imp. of {Methinks}.", "Mice ..., n., pl. of {Mouse}.": an
// entry that is nothing but a head line naming the word it is a form of.
// Returns the letters of that word (GcideLetters); empty for any other entry.
std::string FormOf(std::string_view raw);

// Whether a sub-entry paragraph only names things ("{Barren oak}, or
// {Black-jack}, {Quercus nigra}."): nothing but braces, groups in brackets
// and joining words.
bool NamesOnly(std::string_view paragraph);

}  // namespace gcide
}  // namespace lexivane_dict

#endif  // LEXIVANE_TOOLS_GCIDE_FRAGMENTS_H_
