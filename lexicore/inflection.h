// English inflections: which headword a word form is an inflection of.
#ifndef LEXIVANE_LEXICORE_INFLECTION_H_
#define LEXIVANE_LEXICORE_INFLECTION_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "lexicore/dictionary.h"

namespace lexicore {

struct InflectionBase {
    uint32_t index = Dictionary::kNotFound;  // headword index of the base form
    bool irregular = false;                  // found in the exception list
    size_t base_length = 0;                  // length of the base form in bytes
};

// Finds the headword that `form` inflects, ignoring case. The irregular forms
// stored in the dictionary come first (geese -> goose, ran -> run); then the
// regular rules, each checked against the base's parts of speech as WordNet's
// morphy does: nouns -s, -es, -ies, -ves, -men; verbs -s, -es, -ies, -ed,
// -ied, -ing, -ying, with a dropped e or a doubled final consonant (hoped ->
// hope, running -> run); adjectives -er, -est, -ier, -iest likewise. A plain
// -s never follows a sibilant or a consonant and y (matchs, crys), and a bare
// -es follows only a sibilant or an o (boxes, goes; not boldes). A base with
// no recorded parts of speech accepts every rule. Regular bases are at least
// two letters long; forms longer than 64 bytes are not examined. Returns a
// base with index kNotFound when none fits.
InflectionBase FindInflectionBase(const Dictionary& dict, std::string_view form);

}  // namespace lexicore

#endif  // LEXIVANE_LEXICORE_INFLECTION_H_
