// The headword nearest to what the user typed.
#ifndef LEXIVANE_LEXICORE_NEAREST_H_
#define LEXIVANE_LEXICORE_NEAREST_H_

#include <cstdint>
#include <string_view>

#include "lexicore/dictionary.h"

namespace lexicore {

// Index of the headword nearest to key, in this order:
//  1. the headword equal to key ignoring case; but a key in lower case that
//     equals a capitalised headword only ignoring case and is an irregular
//     form of a verb takes the verb ("am" be, not "Am"; "led" lead, not "LED");
//  2. the headword that reads like key once accents and ligatures are folded
//     (MatchFold: "naïve" naive, "aeneid" Æneid, "Æneid" AEneid), in either
//     direction; the headwords keep their spelling;
//  3. the headword key is an inflection of (FindInflectionBase);
//  4. the first headword sorting at or after key (after its written-out form
//     when it holds a ligature: "æsth" among the "aesth" words);
//  5. past the end, the last headword.
// While the user types, a key is often both an inflection and the beginning of
// longer headwords ("cats": cat or catsup; "bas": ba or basal). The inflection
// wins when it is irregular (is -> be, ran -> run), or when it is regular and
// its base has at least three letters (cats -> cat); otherwise the word list
// moves on to the longer headwords (bas -> basal). A key that begins no longer
// headword always takes its inflection.
// Returns Dictionary::kNotFound only for an empty dictionary.
uint32_t NearestIndex(const Dictionary& dict, std::string_view key);

}  // namespace lexicore

#endif  // LEXIVANE_LEXICORE_NEAREST_H_
