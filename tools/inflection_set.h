// A set of inflected words with their base forms, and how many of them a
// dictionary's nearest match takes to their base.
#ifndef LEXIVANE_TOOLS_INFLECTION_SET_H_
#define LEXIVANE_TOOLS_INFLECTION_SET_H_

#include <cstddef>
#include <string>
#include <vector>

#include "engine/lexicore.h"

namespace lexivane_dict {

// One line of the set: "FORM BASE SOURCE", where SOURCE names the text the
// form was taken from. Words are ASCII letters; the form differs from its base.
struct InflectedForm {
    std::string form;
    std::string base;
    std::string source;
};

// Reads the set at `path`. Blank lines and lines beginning with '#' are
// skipped. On failure returns false with *error as "path:line: message" (or
// "path: cannot read: reason").
bool ReadInflectionSet(const std::string& path, std::vector<InflectedForm>* forms,
                       std::string* error);

struct InflectionMiss {
    InflectedForm expected;
    std::string nearest;  // what lxv_wordlist_nearest gave, Windows-1252
};

struct InflectionScore {
    size_t total = 0;
    size_t resolved = 0;  // forms whose nearest headword is their base, ignoring case
    std::vector<InflectionMiss> misses;

    // resolved / total, 0 for an empty set.
    double Share() const;
};

// Looks every form up with lxv_wordlist_nearest on `h`.
InflectionScore ScoreInflections(LXV_HANDLE h, const std::vector<InflectedForm>& forms);

}  // namespace lexivane_dict

#endif  // LEXIVANE_TOOLS_INFLECTION_SET_H_
