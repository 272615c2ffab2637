// The lexivane-dict command line: building dictionary files from their
// sources, and looking into a built file through the engine.
#ifndef LEXIVANE_TOOLS_CLI_H_
#define LEXIVANE_TOOLS_CLI_H_

#include <ostream>
#include <string>
#include <vector>

namespace lexivane_dict {

// Exit statuses of lexivane-dict.
enum ExitCode {
    kExitSuccess = 0,
    kExitFailure = 1,  // bad or empty source, unusable dictionary file, write error
    kExitUsage = 2,    // unknown command, missing or extra arguments
    kExitNoWords = 3,  // lookup in a dictionary without headwords, raw entry not found
};

// The help text listing every command and option.
std::string Usage();

// Runs one command; `args` are the arguments after the program name. Results
// go to `out`, messages ("file:line: message", usage) to `err`, with what is
// not printable escaped (PrintableText, tools/encoding.h). Returns the exit
// status.
int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace lexivane_dict

#endif  // LEXIVANE_TOOLS_CLI_H_
