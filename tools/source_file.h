// Reading source files whole, with errors in the compiler's "file: message" form.
#ifndef LEXIVANE_TOOLS_SOURCE_FILE_H_
#define LEXIVANE_TOOLS_SOURCE_FILE_H_

#include <functional>
#include <string>
#include <string_view>

namespace lexivane_dict {

// Reads the whole file at `path` into *contents. On failure returns false and
// sets *error to "path: cannot read: <reason>".
bool ReadSourceFile(const std::string& path, std::string* contents, std::string* error);

// Calls visit(line, line_number) for each line of `text` (numbered from 1,
// without the line feed or a carriage return before it) until visit returns
// false. Returns false when a visit did.
bool ForEachLine(std::string_view text, const std::function<bool(std::string_view, int)>& visit);

// "path:line: message", the form of every error about a place in a source.
std::string LineError(const std::string& path, int line, std::string_view message);

}  // namespace lexivane_dict

#endif  // LEXIVANE_TOOLS_SOURCE_FILE_H_
