// Reading GCIDE's entry text (tools/gcide.h): its characters, its source
// notes, the abbreviations of its head lines, and the paragraphs an entry
// splits into. Everything here reads the source; nothing writes.
#ifndef LEXIVANE_TOOLS_GCIDE_PARAGRAPHS_H_
#define LEXIVANE_TOOLS_GCIDE_PARAGRAPHS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lexivane_dict {

// The letters and digits of source text in lower case, each bracket code as
// its ASCII form, everything else dropped: "Ab"b['e]`" and "Abb'e" both give
// "abbe", "{negative\n phototropism}" "negativephototropism".
std::string GcideLetters(std::string_view source);

namespace gcide {

inline bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}
inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
inline bool IsAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// `s` without the blanks at either end.
inline std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Index of the bracket closing the one at s[open], counting nesting of the
// same pair; npos when it is not closed.
size_t MatchClose(std::string_view s, size_t open, char opening, char closing);

// Whether hay[at, at + len) stands as a word: no letter just before or after it.
bool WordAt(std::string_view hay, size_t at, size_t len);

// "[1913 Webster]", "[WordNet 1.5 +PJC]", "[RHUD]", "[MW10]": where a paragraph
// comes from; `content` is the text between the brackets. Usage labels such
// as "[Obs.]" are not source notes.
bool IsSourceNote(std::string_view content);
// Whether a whole line is one source note, brackets included.
bool IsSourceNoteLine(std::string_view line);

// Abbreviations of the head line that name a part of speech or a grammatical
// form ("n.", "v.", "imp.", "pl.", ...): true, with the part of speech added to
// *bits as lexicore::PartOfSpeech bits (none for forms that name none), when
// `w` is one.
bool PartOfSpeechWord(std::string_view w, uint8_t* bits);

// One paragraph of an entry: its lines, without their indentation.
struct Paragraph {
    std::vector<std::string_view> lines;
    std::vector<int> indents;
    size_t begin = 0;  // offsets of the paragraph in the raw text
    size_t end = 0;
};

// Whether a line starts a numbered sense: "2. ".
bool StartsSense(std::string_view line);
// Whether a line starts a labelled paragraph: "Note:", "Syn:", "Syn.", "Ant:".
bool StartsLabel(std::string_view line);

// Splits raw entry text into paragraphs: at blank lines, where a new sense or
// a note starts at the left margin without a blank line before it, and where
// derived words run on after a source note. A list of sub-entries or a link
// that the source broke with a blank line stays one paragraph.
std::vector<Paragraph> SplitParagraphs(std::string_view raw);

// Whether a paragraph is a quotation: quotations are indented deeper than the
// senses; the source note after one may stand at any indentation.
bool IsQuotation(const Paragraph& p);

// Joins the lines of a paragraph into one stretch of source text: lines run on
// with a space, except before a lettered sub-sense "(a)", which keeps its
// break.
std::string JoinLines(const Paragraph& p);

}  // namespace gcide
}  // namespace lexivane_dict

#endif  // LEXIVANE_TOOLS_GCIDE_PARAGRAPHS_H_
