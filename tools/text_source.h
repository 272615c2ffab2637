// Lexivane's own plain-text dictionary source, for small test dictionaries.
//
// The file is UTF-8, one statement per line, "keyword: value":
//
//   # a comment; blank lines are ignored too
//   word: cat                  starts an entry (the headword as shown)
//   pos: noun                  part of speech of the senses that follow
//                              (noun, verb, adjective, adverb or any other label)
//   sense: a small feline      a numbered sense
//   example: the cat sat       an example of the last sense, shown in quotation marks
//   synonyms: kitty, puss      cross-references of the last sense, comma-separated
//   antonyms: dog              likewise
//   inflection: geese = goose  an irregular inflection (forms lower case)
//
// Every word needs at least one sense. Errors are "file:line: message".
#ifndef LEXIVANE_TOOLS_TEXT_SOURCE_H_
#define LEXIVANE_TOOLS_TEXT_SOURCE_H_

#include <string>
#include <string_view>

#include "lexicore/builder.h"

namespace lexivane_dict {

// Parses `contents` (named `path` in errors) and appends its entries and
// inflections to *source. On failure returns false, sets *error and leaves
// *source as it was.
bool ParseTextSource(const std::string& path, std::string_view contents,
                     lexicore::DictionarySource* source, std::string* error);

// Reads and parses the file at `path`.
bool ReadTextSource(const std::string& path, lexicore::DictionarySource* source,
                    std::string* error);

}  // namespace lexivane_dict

#endif  // LEXIVANE_TOOLS_TEXT_SOURCE_H_
