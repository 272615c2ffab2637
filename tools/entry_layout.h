// The printed form of a dictionary entry, shared by every source converter:
// a converter fills an Entry (UTF-8 text, no markup) and LayOutEntry turns it
// into the engine's HTML and plain text.
//
// Layout, for a headword with two senses as a noun and one as a verb:
//
//   <p><b>cat</b></p><p><i>noun</i></p><p><b>1.</b> definition; <i>“example”</i>
//   <br>Synonyms: <i><a href="entry:true cat">true cat</a></i></p>␟<p><b>2.</b> ...</p>␟
//   <p><i>verb</i></p><p>definition</p>
//
// Each sense is one paragraph; a part of speech heads its first sense. Senses
// are numbered within their part of speech, and a part of speech with a single
// sense has no number. The sense-break marker (␟) stands before every sense but
// the first, so an entry cut there is still well-formed. The plain text is the
// HTML with its tags removed, each </p> ending a line, each <br> starting a
// line indented by three spaces, and entities decoded (a character outside
// Windows-1252 as '?'); the engine may rely on that to derive one from the other.
#ifndef LEXIVANE_TOOLS_ENTRY_LAYOUT_H_
#define LEXIVANE_TOOLS_ENTRY_LAYOUT_H_

#include <cstdint>
#include <string>
#include <vector>

#include "lexicore/builder.h"
#include "tools/entry_links.h"

namespace lexivane_dict {

struct Sense {
    std::string part_of_speech;  // label shown, e.g. "noun"; empty when the source has none
    std::string definition;
    std::vector<std::string> examples;  // shown as written, in italics
    std::vector<std::string> synonyms;  // cross-references, shown in italics
    std::vector<std::string> antonyms;
};

struct Entry {
    std::string headword;
    uint8_t parts_of_speech = 0;  // lexicore::PartOfSpeech bits
    std::vector<Sense> senses;
};

// The PartOfSpeech bit for a label ("noun", "verb", "adjective", "adverb"), 0
// for any other label.
uint8_t PartOfSpeechBit(const std::string& label);

// Renders `entry` (UTF-8) as the engine's Windows-1252 HTML and plain text.
// With `links`, each synonym and antonym that names another headword is a
// link to it (tools/entry_links.h); the plain text is the same either way.
lexicore::SourceEntry LayOutEntry(const Entry& entry, const EntryLinks* links = nullptr);

}  // namespace lexivane_dict

#endif  // LEXIVANE_TOOLS_ENTRY_LAYOUT_H_
