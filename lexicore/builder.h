// Compiling a dictionary file: the one interface between the source converters
// of lexivane-dict (dictd, WordNet, GCIDE, the test format) and the engine's
// file format. Reading a compiled file is only ever done through engine/lexicore.h.
#ifndef LEXIVANE_LEXICORE_BUILDER_H_
#define LEXIVANE_LEXICORE_BUILDER_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace lexicore {

// Marks a place inside an entry's HTML or plain text where the engine may cut
// an entry that does not fit the caller's buffer: between senses, before a
// quotation block, between merged case variants. Never shown to the user.
inline constexpr char kSenseBreak = '\x1f';

// Parts of speech a headword has, as a bit set; used to check that an
// inflected form really inflects its base (a plural needs a noun, "-ed" a verb).
enum PartOfSpeech : uint8_t {
    kNoun = 1,
    kVerb = 2,
    kAdjective = 4,
    kAdverb = 8,
};

// One entry as a source converter produces it. All text is Windows-1252.
struct SourceEntry {
    std::string headword;  // as it is shown, e.g. "cat", "Abbé", "'hood"
    std::string html;      // HTML fragment without <html>/<body>; every special character escaped
    std::string text;      // plain-text form of the same entry
    uint8_t parts_of_speech = 0;  // PartOfSpeech bits; 0 when the source does not say
};

struct DictionarySource {
    // Any order. Several entries may share a headword ignoring case: they are
    // merged into one headword whose entry holds all of them.
    std::vector<SourceEntry> entries;
    // Irregular inflections, (inflected form, base form), lower case, e.g.
    // ("geese", "goose"), ("ran", "run"), from WordNet's *.exc lists. Pairs whose
    // base form is not a headword are dropped.
    std::vector<std::pair<std::string, std::string>> exceptions;
};

struct BuildStats {
    uint32_t headwords = 0;     // after merging case variants
    uint32_t exceptions = 0;    // inflection pairs stored
    uint64_t file_bytes = 0;    // size of the written file
    uint64_t entry_bytes = 0;   // HTML + text bytes of the merged entries, uncompressed
    uint32_t long_entries = 0;  // merged entries whose HTML needs more than
                                // LXV_PRINT_BUFFER_SIZE bytes, so the program shows them cut
};

// Merges entries whose headwords are equal ignoring case (in input order, the
// lower-case spelling shown when there is one), sorts the headwords as the
// engine orders them, compresses the entries (a text that HtmlToText derives
// from its HTML is not stored; lexicore/entry_text.h) and saves the file
// whole at `path` (lexivane_base::ReplaceFileContents: a temporary file beside
// it, flushed, then renamed over it; a link at `path` stays a link).
// On failure returns false, fills *error ("path: message") and leaves the
// file as it was and no temporary behind. `stats` may be null. Fails for an
// empty headword, a headword or irregular form holding a control character
// (below 0x20), and an entry larger than 4 MiB.
bool WriteDictionary(const DictionarySource& source, const std::string& path, BuildStats* stats,
                     std::string* error);

}  // namespace lexicore

#endif  // LEXIVANE_LEXICORE_BUILDER_H_
