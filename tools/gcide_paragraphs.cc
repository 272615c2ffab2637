#include "tools/gcide_paragraphs.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "lexicore/builder.h"
#include "tools/gcide_codes.h"

namespace lexivane_dict {
namespace gcide {
namespace {

// How far the source indents the senses of an entry.
constexpr int kSenseIndent = 3;

// Whether a paragraph goes on after the blank line that ends it: a list of
// sub-entries the source broke up ("{Evergreen oak},", "{Holly oak}, or"),
// or a link whose tag the source broke ("see [a", then "href=...>").
bool ContinuesAfterBlank(const std::vector<std::string_view>& lines) {
    if (lines.empty()) return false;
    const std::string_view last = lines.back();
    if (last == "[a" || last.ends_with(" [a")) return true;
    return lines.size() == 1 && last.starts_with('{') &&
           (last.ends_with("},") || last.ends_with("}, or") || last.ends_with("} or"));
}

}  // namespace

size_t MatchClose(std::string_view s, size_t open, char opening, char closing) {
    int depth = 0;
    for (size_t i = open; i < s.size(); ++i) {
        if (s[i] == opening) {
            ++depth;
        } else if (s[i] == closing && --depth == 0) {
            return i;
        }
    }
    return std::string_view::npos;
}

bool WordAt(std::string_view hay, size_t at, size_t len) {
    const bool before = at == 0 || !IsAlpha(hay[at - 1]);
    const bool after = at + len >= hay.size() || !IsAlpha(hay[at + len]);
    return before && after;
}

bool IsSourceNote(std::string_view content) {
    static const std::unordered_set<std::string_view> kNames = {
        "Webster", "WordNet", "PJC", "PJC.", "AS",      "RDH",   "GG",     "RP",
        "JC",      "JG",      "PC",  "RHUD", "Century", "Dict.", "Suppl.", "sense"};
    static const std::string_view kNumbered[] = {"MW", "MI", "WE", "W", "wns", "wn", "n", "HBCF"};
    bool named = false;
    size_t i = 0;
    while (i < content.size()) {
        while (i < content.size() && (content[i] == ' ' || content[i] == '+')) ++i;
        size_t j = i;
        while (j < content.size() && content[j] != ' ' && content[j] != '+') ++j;
        const std::string_view token = content.substr(i, j - i);
        i = j;
        if (token.empty()) continue;
        if (kNames.count(token) != 0) {
            named = true;
            continue;
        }
        if (std::all_of(token.begin(), token.end(),
                        [](char c) { return IsDigit(c) || c == '.'; })) {
            continue;
        }
        bool numbered = false;
        for (std::string_view prefix : kNumbered) {
            if (token.size() > prefix.size() && token.substr(0, prefix.size()) == prefix &&
                IsDigit(token[prefix.size()])) {
                numbered = true;
                break;
            }
        }
        if (!numbered) return false;
        named = true;
    }
    return named;
}

bool IsSourceNoteLine(std::string_view line) {
    return line.size() > 2 && line.front() == '[' && line.back() == ']' &&
           MatchClose(line, 0, '[', ']') == line.size() - 1 &&
           IsSourceNote(line.substr(1, line.size() - 2));
}

bool PartOfSpeechWord(std::string_view w, uint8_t* bits) {
    static const std::unordered_map<std::string_view, uint8_t> kWords = {
        {"n.", lexicore::kNoun},
        {"v.", lexicore::kVerb},
        {"imp.", lexicore::kVerb},
        {"a.", lexicore::kAdjective},
        {"adj.", lexicore::kAdjective},
        {"adv.", lexicore::kAdverb},
        {"t.", 0},
        {"i.", 0},
        {"prep.", 0},
        {"pron.", 0},
        {"conj.", 0},
        {"interj.", 0},
        {"pl.", 0},
        {"p.", 0},
        {"pr.", 0},
        {"vb.", 0},
        {"sing.", 0},
        {"superl.", 0},
        {"compar.", 0},
        {"pres.", 0},
        {"fem.", 0},
        {"masc.", 0},
        {"inf.", 0},
        {"pass.", 0},
        {"obj.", 0},
        {"poss.", 0},
        {"def.", 0},
        {"indef.", 0},
        {"art.", 0},
        {"pret.", 0},
        {"ppr.", 0},
        {"imperf.", 0},
        {"aux.", 0},
        {"auxiliary.", 0},
        {"sb.", 0},
        {"pers.", 0},
        {"prop.", 0},
        {"adjective", lexicore::kAdjective},
        {"noun", lexicore::kNoun},
        {"verb", lexicore::kVerb},
        {"adverb", lexicore::kAdverb}};
    const auto it = kWords.find(w);
    if (it == kWords.end()) return false;
    *bits |= it->second;
    return true;
}

bool StartsSense(std::string_view line) {
    size_t i = 0;
    while (i < line.size() && IsDigit(line[i])) ++i;
    return i > 0 && i + 1 < line.size() && line[i] == '.' && line[i + 1] == ' ';
}

bool StartsLabel(std::string_view line) {
    return line.starts_with("Note:") || line.starts_with("Syn:") || line.starts_with("Syn.") ||
           line.starts_with("Ant:");
}

std::vector<Paragraph> SplitParagraphs(std::string_view raw) {
    std::vector<Paragraph> out;
    Paragraph current;
    size_t pos = 0;
    auto flush = [&]() {
        if (!current.lines.empty()) out.push_back(std::move(current));
        current = Paragraph();
    };
    while (pos < raw.size()) {
        size_t eol = raw.find('\n', pos);
        if (eol == std::string_view::npos) eol = raw.size();
        const std::string_view line = raw.substr(pos, eol - pos);
        int indent = 0;
        while (static_cast<size_t>(indent) < line.size() && IsBlank(line[indent])) ++indent;
        const std::string_view content = Trim(line);
        if (content.empty()) {
            if (!ContinuesAfterBlank(current.lines)) flush();
        } else {
            if (!current.lines.empty() && indent <= 4 &&
                (StartsSense(content) || StartsLabel(content))) {
                flush();
            }
            // "[1913 Webster] -- {Rot"ten*ly}, adv.": the words derived from
            // the headword run on after the note that closes a paragraph; they
            // start one of their own, at the margin of the senses.
            const size_t close = content.starts_with('[') ? MatchClose(content, 0, '[', ']')
                                                          : std::string_view::npos;
            const std::string_view run_on = close == std::string_view::npos
                                                ? std::string_view()
                                                : Trim(content.substr(close + 1));
            if (run_on.starts_with("--") && IsSourceNote(content.substr(1, close - 1))) {
                if (current.lines.empty()) current.begin = pos;
                current.lines.push_back(content.substr(0, close + 1));
                current.indents.push_back(indent);
                current.end = pos + static_cast<size_t>(content.data() - line.data()) + close + 1;
                flush();
                current.begin = pos + static_cast<size_t>(run_on.data() - line.data());
                current.lines.push_back(run_on);
                current.indents.push_back(kSenseIndent);
                current.end = eol;
            } else {
                if (current.lines.empty()) current.begin = pos;
                current.lines.push_back(content);
                current.indents.push_back(indent);
                current.end = eol;
            }
        }
        pos = eol + 1;
    }
    flush();
    return out;
}

bool IsQuotation(const Paragraph& p) {
    bool quoted = false;
    for (size_t k = 0; k < p.lines.size(); ++k) {
        if (IsSourceNoteLine(p.lines[k])) continue;
        if (p.indents[k] < 8) return false;
        quoted = true;
    }
    return quoted;
}

std::string JoinLines(const Paragraph& p) {
    std::string out;
    for (size_t k = 0; k < p.lines.size(); ++k) {
        const std::string_view line = p.lines[k];
        if (k > 0) {
            const bool sub_sense =
                line.size() > 3 && line[0] == '(' && line[2] == ')' && IsAlpha(line[1]);
            out.push_back(sub_sense && !IsSourceNoteLine(line) ? '\n' : ' ');
        }
        out.append(line);
    }
    return out;
}

}  // namespace gcide

using gcide::IsAlpha;
using gcide::IsDigit;
using gcide::Lower;

std::string GcideLetters(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '[') {
            const size_t close = s.find(']', i);
            if (close != std::string_view::npos) {
                if (const GcideCode* code = FindGcideCode(s.substr(i + 1, close - i - 1))) {
                    for (const char* a = code->ascii; *a != 0; ++a) {
                        if (IsAlpha(*a) || IsDigit(*a)) out.push_back(Lower(*a));
                    }
                    i = close;
                    continue;
                }
            }
        }
        if (IsAlpha(c) || IsDigit(c)) out.push_back(Lower(c));
    }
    return out;
}

}  // namespace lexivane_dict
