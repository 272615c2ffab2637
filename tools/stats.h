// `lexivane-dict stats`: what a reader meets in a compiled dictionary, counted
// over every entry as the engine prints it, and measured against the sources
// the file was built from when they are given.
#ifndef LEXIVANE_TOOLS_STATS_H_
#define LEXIVANE_TOOLS_STATS_H_

#include <ostream>
#include <string>

namespace lexivane_dict {

struct StatsOptions {
    std::string dictionary;      // the compiled file
    std::string gcide_index;     // GCIDE's dictd index, or empty
    std::string wordnet_data;    // WordNet's database folder (data.*), or empty
    std::string exceptions_dir;  // WordNet's *.exc lists, or empty
    bool list = false;           // name the headwords behind each count
};

// Prints the counts to `out` (one "name: value" line each; see the README's
// dictionary section) and returns kExitSuccess, or prints "path: message" to
// `err` and returns kExitFailure when the file or a source cannot be read.
int RunStats(const StatsOptions& options, std::ostream& out, std::ostream& err);

}  // namespace lexivane_dict

#endif  // LEXIVANE_TOOLS_STATS_H_
