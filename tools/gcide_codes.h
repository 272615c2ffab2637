// The character codes of the GCIDE dictd text. The source is pure ASCII and
// writes every accented or special character as a short code in square
// brackets: [a^] (a breve), ["o] (o diaeresis), [=e] (e macron), [oe], [eth],
// [sect], [root], [alpha], ... This table is the one place that says what each
// code stands for.
#ifndef LEXIVANE_TOOLS_GCIDE_CODES_H_
#define LEXIVANE_TOOLS_GCIDE_CODES_H_

#include <span>
#include <string>
#include <string_view>

namespace lexivane_dict {

struct GcideCode {
    const char* code;       // the text between the brackets, e.g. "a^"
    const char32_t* chars;  // the Unicode characters it stands for
    const char* ascii;      // a close ASCII form, for text that cannot show `chars`
};

// Every code, sorted by `code` (byte order).
std::span<const GcideCode> AllGcideCodes();

// The entry for `code` (without brackets), or null when it is not a code.
const GcideCode* FindGcideCode(std::string_view code);

// Whether `token` (the text between brackets) has the shape of an accent code:
// a mark and one to three letters, as in "a^", "=oo", "'e", ".a", ",c", "-u".
bool LooksLikeAccentCode(std::string_view token);

// Appends `code` to the outputs: the Windows-1252 bytes when every character
// has one; otherwise numeric character references to `html` and the ASCII form
// to `text`. Either output may be null.
void AppendGcideCode(const GcideCode& code, std::string* html, std::string* text);

}  // namespace lexivane_dict

#endif  // LEXIVANE_TOOLS_GCIDE_CODES_H_
