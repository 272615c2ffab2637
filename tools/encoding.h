// Text encoding for dictionary sources: sources are read as UTF-8, the engine
// stores Windows-1252. Entry HTML keeps every character (those outside
// Windows-1252 become numeric character references); plain text and headwords
// turn them into '?', one byte per character.
#ifndef LEXIVANE_TOOLS_ENCODING_H_
#define LEXIVANE_TOOLS_ENCODING_H_

#include <string>
#include <string_view>

namespace lexivane_dict {

// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool IsValidUtf8(std::string_view text);

// Appends `utf8` as Windows-1252 text: characters the code page lacks become
// '?', control characters (including the engine's sense-break marker) become a
// space, so no source can smuggle markup or break markers into an entry.
// Malformed UTF-8 sequences become '?'.
void AppendWindows1252(std::string_view utf8, std::string* out);
std::string ToWindows1252(std::string_view utf8);

// Appends `utf8` as HTML text in Windows-1252: & < > " ' are written as
// entities, characters outside Windows-1252 as numeric character references,
// control characters as a space, malformed sequences as '?'.
void AppendHtmlEscaped(std::string_view utf8, std::string* out);
std::string HtmlEscaped(std::string_view utf8);

// Engine text (Windows-1252) as UTF-8, for printing on a terminal. Unassigned
// bytes become U+FFFD.
std::string Windows1252ToUtf8(std::string_view text);

// `text` made safe to print on a terminal. Printable UTF-8 and line feeds are
// kept; a backslash becomes "\\", and each byte of a control character (C0,
// DEL, C1), of a character that reorders the text around it, or of a
// malformed sequence becomes "\xNN". Source bytes quoted in a message can then
// neither garble the terminal nor send it commands.
std::string PrintableText(std::string_view text);

}  // namespace lexivane_dict

#endif  // LEXIVANE_TOOLS_ENCODING_H_
