// Reads the installed GCIDE dictd files for the tests that run over the whole
// real source.
#ifndef LEXIVANE_TESTS_TOOLS_GCIDE_SOURCE_H_
#define LEXIVANE_TESTS_TOOLS_GCIDE_SOURCE_H_

#include <string>
#include <vector>

#include "tools/gcide.h"

namespace lexivane {

struct GcideSource {
    std::string text;                  // the whole uncompressed .dict
    std::vector<GcideRecord> records;  // one per index line; bodies point into `text`
};

// Loads `dir`/gcide.index and `dir`/gcide.dict.dz. False when either is
// missing or unreadable, or an index line points outside the text.
bool LoadGcideSource(const std::string& dir, GcideSource* out);

}  // namespace lexivane

#endif  // LEXIVANE_TESTS_TOOLS_GCIDE_SOURCE_H_
