// Conversion of GCIDE (the Collaborative International Dictionary of English,
// as Debian's dict-gcide ships it in dictd form) into dictionary entries.
//
// The dictd text is pure ASCII in the layout of the 1913 Webster: a head line
// "Abbey \Ab"bey\ ([a^]b"b[y^]), n.; pl. {Abbeys} (-b[i^]z). [OF. ...]",
// numbered senses, indented quotations ending in "--Author.", "Note:" and
// "Syn." paragraphs, {cross-references} in braces, bracket codes for special
// characters (gcide_codes.h) and source notes such as "[1913 Webster]".
// Each index line becomes one SourceEntry with HTML and plain text in
// Windows-1252. The conversion reads the source text (gcide_paragraphs.h),
// finds what each line converts (gcide_fragments.h) and renders it
// (gcide_writer.h); this file puts the stages together.
#ifndef LEXIVANE_TOOLS_GCIDE_H_
#define LEXIVANE_TOOLS_GCIDE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "lexicore/builder.h"
#include "tools/gcide_fragments.h"
#include "tools/gcide_paragraphs.h"
#include "tools/gcide_writer.h"

namespace lexivane_dict {

// How the note ends that closes an entry with parts left out to fit the
// buffer: "Quotations and etymologies are left out of this long entry."
inline constexpr std::string_view kGcideLeftOutEnding = " left out of this long entry.";

// One index line with the raw entry text it points to.
struct GcideRecord {
    std::string key;        // the index key, e.g. "Abbey", "Abb'e", "Rock crystal"
    std::string_view body;  // the entry text; must outlive the conversion
};

struct GcideStats {
    size_t records = 0;      // index lines given
    size_t own = 0;          // lines for a headword of their own entry
    size_t forms = 0;        // lines for a form of another entry's word: that whole entry
    size_t paragraphs = 0;   // lines for a sub-entry or a mention: the paragraph naming them
    size_t skipped = 0;      // database notes, repeated lines, lines naming nothing of theirs
    size_t irregular = 0;    // base entries shown after the own entries of a form of the base
    size_t repeated = 0;     // entries a headword would have shown twice
    size_t long_before = 0;  // headwords whose merged HTML overflows the buffer as first rendered
    size_t long_after = 0;   // the same after fitting; the engine cuts these at a sense break
};

// The whole of a GCIDE dictd dictionary in memory: GCIDE's index lists about
// 203,000 lines for 126,000 entries, so its lines share the entry texts.
struct GcideSource {
    std::string text;                  // the whole uncompressed entry text
    std::vector<GcideRecord> records;  // one per index line; bodies point into `text`
};

// Reads `index_path` and the entry text beside it (".dict.dz" or ".dict").
// On failure returns false and sets *error: "path: message" for an unreadable
// file, "index:line: message" for a malformed line or one that points outside
// the text.
bool LoadGcide(const std::string& index_path, GcideSource* out, std::string* error);

// Irregular forms with their base forms, lower case ("is", "be"), as WordNet's
// exception lists give them.
using IrregularForms = std::vector<std::pair<std::string, std::string>>;

// Converts every record. Skips the database's own notes ("00-database-info",
// ...), repeated lines, lines that point into another entry for a word that
// has its own entry and is only mentioned there, and lines whose entry does
// not name their key at all. A line whose key is a form of another entry's
// word (named on its head line: "Reached" in "Reach", "Mice" in "Mouse",
// "colour" in "Color"; or run on after a dash: "Sensuously" in "Sensuous")
// gets that whole entry, the run-on line first; a line whose key heads a
// paragraph of another entry ("Rock crystal" in "Crystal") gets that
// paragraph. A headword that is an irregular form in `irregular` ("is" of
// be, "does" of do) and shows no entry of its base gets the base's entries
// after its own. Each headword shows its own entries first and each source
// entry once. Source notes ("[1913 Webster]") are dropped. Headwords whose
// entries together would not fit the print buffer are rendered again leaving
// out what GcideLayout lists, step by step, and end with a note that says
// what was left out; the engine cuts what still overflows at a sense break.
// `stats` may be null.
std::vector<lexicore::SourceEntry> ConvertGcide(const std::vector<GcideRecord>& records,
                                                GcideStats* stats,
                                                const IrregularForms& irregular = {});

// The spelling to show for index key `key` of entry `raw`: the key with its
// "'e" style accents made real where the entry spells the word with the
// corresponding bracket code ("Abb'e" becomes "Abbé"), in lower case when the
// key is capitalised only as Webster capitalises every headword and the entry
// itself writes the word in lower case. Windows-1252.
std::string GcideHeadword(std::string_view key, std::string_view raw);

// The quotations that illustrate the senses of entry text `raw`, each as its
// source lines joined by spaces, with its citation and without source notes.
std::vector<std::string> GcideQuotations(std::string_view raw);

// Describes the first piece of source notation left in converted output
// (`html` true for the HTML form): a bracket code, braces around a word, a backslash, a
// control character other than the sense break, or in HTML an unescaped '&'
// or '<' outside a tag. Empty when there is none.
std::string FindGcideNotation(std::string_view converted, bool html);

}  // namespace lexivane_dict

#endif  // LEXIVANE_TOOLS_GCIDE_H_
