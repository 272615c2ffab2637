// The headword nearest to what the user typed.
#ifndef LEXIVANE_LEXICORE_NEAREST_H_
#define LEXIVANE_LEXICORE_NEAREST_H_

#include <cstdint>
#include <string_view>

#include "lexicore/dictionary.h"

namespace lexicore {

// Index of the headword nearest to key, in this order:
//  1. the headword equal to key ignoring case;
//  2. the headword key is an inflection of (FindInflectionBase);
//  3. the first headword sorting at or after key;
//  4. past the end, the last headword.
// While the user types, a key is often both an inflection and the beginning of
// longer headwords ("cats": cat or catsup; "bas": ba or basal). The inflection
// wins when it is irregular and key has at least three letters (ran -> run),
// or when it is regular and its base has at least three letters (cats -> cat);
// otherwise the word list moves on to the longer headwords (bas -> basal).
// A key that begins no longer headword always takes its inflection.
// Returns Dictionary::kNotFound only for an empty dictionary.
uint32_t NearestIndex(const Dictionary& dict, std::string_view key);

}  // namespace lexicore

#endif  // LEXIVANE_LEXICORE_NEAREST_H_
