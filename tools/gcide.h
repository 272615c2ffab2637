// Conversion of GCIDE (the Collaborative International Dictionary of English,
// as Debian's dict-gcide ships it in dictd form) into dictionary entries.
//
// The dictd text is pure ASCII in the layout of the 1913 Webster: a head line
// "Abbey \Ab"bey\ ([a^]b"b[y^]), n.; pl. {Abbeys} (-b[i^]z). [OF. ...]",
// numbered senses, indented quotations ending in "--Author.", "Note:" and
// "Syn." paragraphs, {cross-references} in braces, bracket codes for special
// characters (gcide_codes.h) and source notes such as "[1913 Webster]".
// Each index line becomes one SourceEntry with HTML and plain text in
// Windows-1252.
#ifndef LEXIVANE_TOOLS_GCIDE_H_
#define LEXIVANE_TOOLS_GCIDE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lexicore/builder.h"

namespace lexivane_dict {

// The size of the buffer the program prints an entry into, NUL included.
inline constexpr size_t kGcidePrintBuffer = 12000;

// How the note ends that closes an entry with parts left out to fit the
// buffer: "Quotations and etymologies are left out of this long entry."
inline constexpr std::string_view kGcideLeftOutEnding = " left out of this long entry.";

// One index line with the raw entry text it points to.
struct GcideRecord {
    std::string key;        // the index key, e.g. "Abbey", "Abb'e", "Rock crystal"
    std::string_view body;  // the entry text; must outlive the conversion
};

struct GcideStats {
    size_t records = 0;         // index lines given
    size_t whole = 0;           // lines converted as a whole entry of their own
    size_t fragments = 0;       // lines converted to the paragraph of another entry naming them
    size_t skipped = 0;         // database notes, repeated lines, lines already covered
    size_t whole_bytes = 0;     // HTML and text of the whole entries
    size_t fragment_bytes = 0;  // HTML and text of the fragments
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

// How much markup an entry's HTML carries.
enum class GcideMarkup {
    kFull,   // paragraphs, indented quotations, italics for cross-references
    kLight,  // line breaks only and bold: for entries that would overflow the buffer
    kBrief,  // light markup without the quotations that illustrate the senses: for
             // entries that overflow even so, so that the reader sees more senses
};

// Converts every record. Skips the database's own notes ("00-database-info",
// ...), repeated lines, lines that point into another entry for a word that
// has its own entry and is only mentioned there, and lines whose entry does
// not name their key at all. A line whose key heads a paragraph of another
// entry ("Rock crystal" in "Crystal") gets that paragraph; a line whose key is
// a form named on the head line ("Abbacies" in "Abbacy") gets that head line.
// Source notes ("[1913 Webster]") are dropped. Headwords whose entries together
// would not fit the print buffer are rendered again with light markup, then,
// if they still overflow, without their quotations; the engine cuts what
// still overflows at a sense break. `stats` may be null.
std::vector<lexicore::SourceEntry> ConvertGcide(const std::vector<GcideRecord>& records,
                                                GcideStats* stats);

// What raw text given to RenderGcide holds.
enum class GcidePart {
    kEntry,       // an entry, or its first paragraphs: starts with the head line
    kHeadLine,    // an entry of which only the head line is wanted, without its etymology
    kParagraphs,  // paragraphs from inside an entry, without its head line
};

// Renders the raw entry text `raw` into `html` and `text`, replacing their
// contents. The text is the one the engine derives from the HTML
// (lexicore/entry_text.h), so the compiled file stores the HTML alone. Returns the parts of speech
// named on the head line as lexicore::PartOfSpeech bits (0 when there is no head line).
uint8_t RenderGcide(std::string_view raw, GcidePart part, GcideMarkup markup, std::string* html,
                    std::string* text);

// The spelling to show for index key `key` of entry `raw`: the key with its
// "'e" style accents made real where the entry spells the word with the
// corresponding bracket code ("Abb'e" becomes "Abbé"), in lower case when the
// key is capitalised only as Webster capitalises every headword and the entry
// itself writes the word in lower case. Windows-1252.
std::string GcideHeadword(std::string_view key, std::string_view raw);

// The letters and digits of source text in lower case, each bracket code as
// its ASCII form, everything else dropped: "Ab"b['e]`" and "Abb'e" both give
// "abbe", "{negative\n phototropism}" "negativephototropism".
std::string GcideLetters(std::string_view source);

// Whether `key` is one of the headwords the head line of entry text `raw`
// spells (its own entry, rather than a line pointing into another word's).
bool GcideHeadsEntry(std::string_view key, std::string_view raw);

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
