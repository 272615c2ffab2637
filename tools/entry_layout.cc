#include "tools/entry_layout.h"

#include "tools/encoding.h"

namespace lexivane_dict {
namespace {

using lexicore::kSenseBreak;

// "Synonyms: a, b" as a line of its own, in italics; each word that names
// another headword is a link to it.
void AppendWordList(const char* label, const std::vector<std::string>& words,
                    const EntryLinks* links, std::string* html, std::string* text) {
    if (words.empty()) return;
    html->append("<br>").append(label).append(": <i>");
    text->append("   ").append(label).append(": ");
    for (size_t i = 0; i < words.size(); ++i) {
        if (i > 0) {
            html->append(", ");
            text->append(", ");
        }
        const size_t word_from = text->size();
        AppendWindows1252(words[i], text);
        const std::string* target =
            links == nullptr ? nullptr : links->Find(std::string_view(*text).substr(word_from));
        if (target != nullptr) AppendLinkStart(*target, html);
        AppendHtmlEscaped(words[i], html);
        if (target != nullptr) html->append(kLinkEnd);
    }
    html->append("</i>");
    text->push_back('\n');
}

}  // namespace

uint8_t PartOfSpeechBit(const std::string& label) {
    if (label == "noun") return lexicore::kNoun;
    if (label == "verb") return lexicore::kVerb;
    if (label == "adjective") return lexicore::kAdjective;
    if (label == "adverb") return lexicore::kAdverb;
    return 0;
}

lexicore::SourceEntry LayOutEntry(const Entry& entry, const EntryLinks* links) {
    lexicore::SourceEntry out;
    out.headword = ToWindows1252(entry.headword);
    out.parts_of_speech = entry.parts_of_speech;
    std::string& html = out.html;
    std::string& text = out.text;
    html.append("<p><b>");
    AppendHtmlEscaped(entry.headword, &html);
    html.append("</b></p>");
    text.append(out.headword).push_back('\n');

    // The senses of one part of speech form a group [first, end): numbered
    // when it holds more than one. Each group's end is found once, so the
    // layout stays linear in the number of senses.
    size_t first = 0;
    size_t end = 0;
    for (size_t i = 0; i < entry.senses.size(); ++i) {
        const Sense& sense = entry.senses[i];
        const bool new_group = i == end;
        if (new_group) {
            first = i;
            end = i + 1;
            while (end < entry.senses.size() &&
                   entry.senses[end].part_of_speech == sense.part_of_speech) {
                ++end;
            }
        }
        if (i > 0) {
            html.push_back(kSenseBreak);
            text.push_back(kSenseBreak);
        }
        if (new_group && !sense.part_of_speech.empty()) {
            html.append("<p><i>");
            AppendHtmlEscaped(sense.part_of_speech, &html);
            html.append("</i></p>");
            AppendWindows1252(sense.part_of_speech, &text);
            text.push_back('\n');
        }
        html.append("<p>");
        if (end - first > 1) {
            const std::string number = std::to_string(i - first + 1) + ".";
            html.append("<b>").append(number).append("</b> ");
            text.append(number).push_back(' ');
        }
        AppendHtmlEscaped(sense.definition, &html);
        AppendWindows1252(sense.definition, &text);
        for (size_t k = 0; k < sense.examples.size(); ++k) {
            if (k > 0 || !sense.definition.empty()) {
                html.append("; ");
                text.append("; ");
            }
            html.append("<i>");
            AppendHtmlEscaped(sense.examples[k], &html);
            html.append("</i>");
            AppendWindows1252(sense.examples[k], &text);
        }
        text.push_back('\n');
        AppendWordList("Synonyms", sense.synonyms, links, &html, &text);
        AppendWordList("Antonyms", sense.antonyms, links, &html, &text);
        html.append("</p>");
    }
    return out;
}

}  // namespace lexivane_dict
