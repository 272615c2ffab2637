// WordNet 3.0 as Debian ships it: the dictd conversion (dict-wn) for the
// entries, and the database files of wordnet-base for inflection exceptions
// and sense frequencies.
#ifndef LEXIVANE_TOOLS_WORDNET_H_
#define LEXIVANE_TOOLS_WORDNET_H_

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "lexicore/builder.h"
#include "tools/dictd.h"
#include "tools/entry_layout.h"

namespace lexivane_dict {

// Every spelling WordNet's database gives a word, by the word in lower case
// with spaces: "arabic" {"Arabic"}, "add" {"ADD", "add"}, "o.k." {"O.K.", "o.k."}.
using WordNetSpellings = std::unordered_map<std::string, std::vector<std::string>>;

// Reads the words of every synset in data.noun, data.verb, data.adj and
// data.adv of the WordNet database in `dir` into *spellings. False with
// *error ("path: message", "path:line: message") for an unreadable file or a
// malformed synset line.
bool ReadWordNetSpellings(const std::string& dir, WordNetSpellings* spellings, std::string* error);

// The spelling of `word` (lower case) when WordNet writes it one way only and
// that way has capitals ("Arabic"); empty otherwise, and for a word it lacks.
std::string OnlySpelling(const WordNetSpellings& spellings, const std::string& word);

// Parses one dict-wn entry:
//
//   cat
//       n 1: feline mammal usually having thick soft fur and no ability
//            to roar: domestic cats; wildcats [syn: {cat}, {true cat}]
//       2: an informal term for a youth or man; "a nice guy" [syn: {guy},
//          {cat}]
//       v 1: beat with a cat-o'-nine-tails
//
// A sense starts on a line indented by four spaces, with a part of speech
// (n, v, adj, adv) when it is the first of its kind; deeper lines continue it.
// "; " followed by a quotation starts the examples; [syn: ...] and [ant: ...]
// list {cross-references}. `quoted' words become typographic quotes and
// WordNet's underscores become spaces. The headword keeps the capitals of the
// word's one spelling in `spellings` ("Arabic", "A.D."), or of the entry's
// first line when all its spellings have capitals ("Am" beside "AM"), and is
// the index's lower-case spelling when WordNet also writes the word so ("add"
// beside "ADD", "polish" beside "Polish"). Without `spellings` (or a word missing
// from it) the entry's first line decides, and a word with a sense that is no
// noun is taken to be written in lower case. On a layout it does not know,
// returns false with *error = record.Error(...).
bool ParseWordNetEntry(const DictdRecord& record, const WordNetSpellings* spellings, Entry* entry,
                       std::string* error);

// Reads dict-wn's index and data into *entries. When `keep` is not null, only
// headwords in it (lower case, as the index spells them) are kept.
// `spellings` may be null (see ParseWordNetEntry). Synonyms and antonyms
// that name another of the headwords read are links (LayOutEntry), except in
// an entry too long for the print buffer with them; `links`, when not null,
// counts them.
bool ReadWordNet(const std::string& index_path, const std::string& data_path,
                 const std::unordered_set<std::string>* keep, const WordNetSpellings* spellings,
                 std::vector<lexicore::SourceEntry>* entries, std::string* error,
                 LinkCounts* links = nullptr);

// Reads one WordNet exception list (noun.exc, verb.exc, ...) at `path`: lines
// "inflected base [base...]", underscores for spaces. Appends an (inflected,
// base) pair per base, lower case, leaving out forms that are their own base.
bool ReadWordNetExceptionList(const std::string& path,
                              std::vector<std::pair<std::string, std::string>>* pairs,
                              std::string* error);

// Reads the exception lists noun.exc, verb.exc, adj.exc and adv.exc of the
// WordNet database in `dir` and appends their pairs, each once.
bool ReadWordNetExceptions(const std::string& dir,
                           std::vector<std::pair<std::string, std::string>>* pairs,
                           std::string* error);

// Irregular forms of the commonest words that WordNet's exception lists lack,
// as (form, base) pairs: "being", "does" and "doing" of be and do, and the
// possessive "its" of it.
std::vector<std::pair<std::string, std::string>> CommonIrregularForms();

// Reads WordNet's cntlist.rev ("sense_key sense_number tag_count" lines) and
// collects the lemmas (lower case, spaces for underscores) of every sense with
// a non-zero count: the words that occur in WordNet's tagged texts.
bool ReadCountedLemmas(const std::string& path, std::unordered_set<std::string>* lemmas,
                       std::string* error);

}  // namespace lexivane_dict

#endif  // LEXIVANE_TOOLS_WORDNET_H_
