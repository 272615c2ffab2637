// Rendering GCIDE's entry text (tools/gcide.h) as the HTML an entry shows:
// head lines, numbered senses, quotations, notes, cross-references and the
// source's marks, in full or in the lighter layouts that make a long entry
// fit the print buffer.
#ifndef LEXIVANE_TOOLS_GCIDE_WRITER_H_
#define LEXIVANE_TOOLS_GCIDE_WRITER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>

namespace lexivane_dict {

// What an entry shows. An entry too long for the print buffer leaves out, in
// this order, its quotations, its etymologies, its examples ("; as, to set a
// book on a shelf"), the HTML's spacing and, last, its phrases ("{To set
// about}, to begin"), which the index lists as headwords of their own; never
// a numbered sense.
struct GcideLayout {
    bool quotations = true;   // the indented quotations that illustrate senses
    bool etymologies = true;  // the bracketed etymology of each head line
    bool examples = true;     // "as, ..." examples at the end of a sense
    bool spacing = true;      // paragraphs, indented quotations, italic cross-references;
                              // without it, one paragraph whose parts break lines
    bool phrases = true;      // sub-entries: paragraphs led by a phrase in braces
};

// What raw text given to RenderGcide holds.
enum class GcidePart {
    kEntry,       // an entry, or its first paragraphs: starts with the head line
    kParagraphs,  // paragraphs from inside an entry, without its head line
};

// Renders the raw entry text `raw` into `html` and `text`, replacing their
// contents. The text is the one the engine derives from the HTML
// (lexicore/entry_text.h), so the compiled file stores the HTML alone. Returns
// the parts of speech named on the head line as lexicore::PartOfSpeech bits (0
// when there is no head line). When `shown` is not null, a paragraph other
// than the head line that is in it already is left out, and the others are
// added: the parts of one headword share it, so that each shows what the
// earlier ones did not.
uint8_t RenderGcide(std::string_view raw, GcidePart part, const GcideLayout& layout,
                    std::string* html, std::string* text,
                    std::unordered_set<std::string>* shown = nullptr);

namespace gcide {

// Where the head line at the start of `joined` (a paragraph's lines as
// JoinLines gives them) ends and the definition after it begins; adds the
// parts of speech it names to *pos as lexicore::PartOfSpeech bits.
size_t HeadLineEnd(std::string_view joined, uint8_t* pos);

// The parts of speech the head line of entry text `raw` names, as
// lexicore::PartOfSpeech bits; 0 when it has none.
uint8_t HeadPartsOfSpeech(std::string_view raw);

}  // namespace gcide
}  // namespace lexivane_dict

#endif  // LEXIVANE_TOOLS_GCIDE_WRITER_H_
