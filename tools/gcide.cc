#include "tools/gcide.h"

#include <algorithm>
#include <cctype>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "lexicore/entry_text.h"
#include "tools/dictd.h"
#include "tools/encoding.h"
#include "tools/gcide_codes.h"
#include "tools/source_file.h"

namespace lexivane_dict {
namespace {

using lexicore::kSenseBreak;

// Windows-1252 bytes the layout uses.
constexpr char kAcute = '\xB4';      // stress mark after an accented syllable
constexpr char kEmDash = '\x97';     // the source's "--"
constexpr char kOpenQuote = '\x93';  // the source's straight double quotes
constexpr char kCloseQuote = '\x94';

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Index of the bracket closing the one at s[open], counting nesting of the
// same pair; npos when it is not closed.
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

// "[1913 Webster]", "[WordNet 1.5 +PJC]", "[RHUD]", "[MW10]": where a paragraph
// comes from. Usage labels such as "[Obs.]" are not source notes.
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

// "2", "13", "1a", "3b": the number of a sense of the word just before it.
bool IsSenseReference(std::string_view content) {
    if (content.empty() || content.size() > 3 || !IsDigit(content[0])) return false;
    size_t i = 0;
    while (i < content.size() && IsDigit(content[i])) ++i;
    return i == content.size() ||
           (i + 1 == content.size() && content[i] >= 'a' && content[i] <= 'e');
}

// Abbreviations of the head line that name a part of speech or a grammatical
// form; returned as PartOfSpeech bits (0 for forms that name none).
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

// How the marks of the source read inside a stretch of text.
enum class Marks {
    kText,   // running text: '"' is a quotation mark
    kForm,   // \Ab"bey\ and (pronunciations): '"' stresses, '*' divides syllables
    kBrace,  // {Sub*scrip"tive*ly}: the marks are dropped
};

// Whether the '"' at s[at] marks the rough breathing of a Greek word written
// in Latin letters, as etymologies do ("Gr. "y`dwr water", "h^par"): it
// starts a word whose lower-case letters run into an accent mark.
bool IsRoughBreathing(std::string_view s, size_t at) {
    if (at > 0 && s[at - 1] != ' ' && s[at - 1] != '(' && s[at - 1] != '[') return false;
    size_t i = at + 1;
    while (i < s.size() && s[i] >= 'a' && s[i] <= 'z') ++i;
    return i > at + 1 && i < s.size() && (s[i] == '`' || s[i] == '^');
}

// One paragraph of an entry: its lines, without their indentation.
struct Paragraph {
    std::vector<std::string_view> lines;
    std::vector<int> indents;
    size_t begin = 0;  // offsets of the paragraph in the raw text
    size_t end = 0;
};

bool StartsSense(std::string_view line) {
    size_t i = 0;
    while (i < line.size() && IsDigit(line[i])) ++i;
    return i > 0 && i + 1 < line.size() && line[i] == '.' && line[i + 1] == ' ';
}

bool StartsLabel(std::string_view line) {
    return line.starts_with("Note:") || line.starts_with("Syn:") || line.starts_with("Syn.") ||
           line.starts_with("Ant:");
}

// How far the source indents the senses of an entry.
constexpr int kSenseIndent = 3;

// Splits raw entry text into paragraphs: at blank lines, where a new sense or
// a note starts at the left margin without a blank line before it, and where
// derived words run on after a source note.
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
            flush();
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

bool IsSourceNoteLine(std::string_view line) {
    return line.size() > 2 && line.front() == '[' && line.back() == ']' &&
           MatchClose(line, 0, '[', ']') == line.size() - 1 &&
           IsSourceNote(line.substr(1, line.size() - 2));
}

// Quotations are indented deeper than the senses; the source note after one
// may stand at any indentation.
bool IsQuotation(const Paragraph& p) {
    bool quoted = false;
    for (size_t k = 0; k < p.lines.size(); ++k) {
        if (IsSourceNoteLine(p.lines[k])) continue;
        if (p.indents[k] < 8) return false;
        quoted = true;
    }
    return quoted;
}

// Writes converted text as HTML. It keeps beside it the text a reader sees so
// far, which decides spaces and which way a quotation mark turns; the entry's
// plain text is derived from the HTML afterwards, so that the dictionary file
// need not store it.
class Writer {
  public:
    Writer(GcideMarkup markup, std::string* html)
        : full_(markup == GcideMarkup::kFull), html_(*html) {}

    void Tag(std::string_view tag) { html_.append(tag); }

    // Opens a paragraph with `tag`. Light markup (`tag` empty) sets the whole
    // entry as one paragraph, its parts separated by line breaks.
    void ParagraphStart(std::string_view tag) {
        if (!tag.empty()) {
            html_.append(tag);
        } else {
            html_.append(html_.empty() ? "<p>" : "<br>");
        }
    }
    // One byte of converted text, escaped for HTML.
    void Byte(char c) {
        switch (c) {
            case '&':
                html_.append("&amp;");
                break;
            case '<':
                html_.append("&lt;");
                break;
            case '>':
                html_.append("&gt;");
                break;
            default:
                html_.push_back(c);
        }
        shown_.push_back(c);
    }

    void Space() {
        if (!shown_.empty() && shown_.back() != ' ' && shown_.back() != '\n' &&
            shown_.back() != kSenseBreak) {
            Byte(' ');
        }
    }

    // Starts a new line, unless the text is at the start of one already (a
    // sub-sense after a run-on source note, a paragraph's first line).
    void LineBreak() {
        TrimEnd();
        if (shown_.empty() || shown_.back() == '\n' || shown_.back() == kSenseBreak) return;
        html_.append("<br>");
        shown_.push_back('\n');
    }

    // Ends a paragraph; `may_cut` marks the place as one where the engine may
    // cut the entry.
    void ParagraphBreak(bool may_cut) {
        TrimEnd();
        if (may_cut) html_.push_back(kSenseBreak);
        shown_.push_back('\n');
        if (may_cut) shown_.push_back(kSenseBreak);
    }

    void TrimEnd() {
        while (!shown_.empty() && shown_.back() == ' ') shown_.pop_back();
        while (!html_.empty() && html_.back() == ' ') html_.pop_back();
    }

    // Converts a stretch of source text.
    void Inline(std::string_view s, Marks marks);

    // Converts the head line at the start of `s` and returns where the
    // definition after it begins; adds the named parts of speech to *pos.
    // Without `etymology` the bracketed etymology is left out; the bracketed
    // inflections ("[imp. & p. p. ...]") stay.
    size_t Head(std::string_view s, bool etymology, uint8_t* pos);

    bool full() const { return full_; }

  private:
    void Quote() {
        const char prev = shown_.empty() ? ' ' : shown_.back();
        const bool opening = prev == ' ' || prev == '\n' || prev == '(' || prev == '[' ||
                             prev == kEmDash || prev == kSenseBreak;
        Byte(opening ? kOpenQuote : kCloseQuote);
    }

    void Braces(std::string_view content, bool bold) {
        std::string inner;
        for (char c : content) {
            if (c != '{' && c != '}') inner.push_back(c);
        }
        const bool tagged = bold || full_;
        if (tagged) html_.append(bold ? "<b>" : "<i>");
        Inline(inner, Marks::kBrace);
        if (tagged) html_.append(bold ? "</b>" : "</i>");
    }

    const bool full_;
    std::string& html_;
    std::string shown_;
    bool bold_braces_ = false;
};

void Writer::Inline(std::string_view s, Marks marks) {
    size_t lead_until = 0;  // braces starting at or before this index open a sub-entry
    for (size_t i = 0; i < s.size();) {
        const char c = s[i];
        if (c == '[') {
            const size_t close = MatchClose(s, i, '[', ']');
            if (close == std::string_view::npos) {
                Byte('[');
                ++i;
                continue;
            }
            const std::string_view content = s.substr(i + 1, close - i - 1);
            if (const GcideCode* code = FindGcideCode(content)) {
                AppendGcideCode(*code, &html_, &shown_);
            } else if (IsSourceNote(content)) {
                // Dropped; text after a note is a paragraph the source ran on.
                if (!Trim(s.substr(close + 1)).empty()) LineBreak();
            } else if (IsSenseReference(content) && i > 0 && !IsBlank(s[i - 1])) {
                html_.append("<sup>");
                html_.append(content);
                html_.append("</sup>");
                shown_.push_back('(');
                shown_.append(content);
                shown_.push_back(')');
            } else {
                Byte('[');
                Inline(content, marks);
                Byte(']');
            }
            i = close + 1;
            continue;
        }
        if (c == '{') {
            const size_t close = MatchClose(s, i, '{', '}');
            if (close == std::string_view::npos) {
                ++i;
                continue;
            }
            const bool lead = bold_braces_ || i <= lead_until;
            Braces(s.substr(i + 1, close - i - 1), lead);
            i = close + 1;
            if (lead) {
                // "{Rock crystal}, or {Mountain crystal}, the finest ...": the
                // variants listed with the first are sub-entries too.
                size_t j = i;
                while (j < s.size() && (s[j] == ',' || s[j] == ';' || s[j] == ' ')) ++j;
                if (s.substr(j).starts_with("or ")) j += 3;
                while (j < s.size() && s[j] == ' ') ++j;
                lead_until = j;
            }
            continue;
        }
        if (c == '\\') {
            const size_t close = s.find('\\', i + 1);
            if (close == std::string_view::npos) {
                ++i;
                continue;
            }
            html_.append("<b>");
            Inline(s.substr(i + 1, close - i - 1), Marks::kForm);
            html_.append("</b>");
            i = close + 1;
            continue;
        }
        if (c == '(' && marks == Marks::kText) {
            // A pronunciation inside the text, "(t[=e]*m[^o]r")": one word
            // with codes and stress marks.
            const size_t close = MatchClose(s, i, '(', ')');
            const std::string_view inner = close == std::string_view::npos
                                               ? std::string_view()
                                               : s.substr(i + 1, close - i - 1);
            if (!inner.empty() && inner.size() <= 40 && inner.find(' ') == std::string_view::npos &&
                inner.find('[') != std::string_view::npos &&
                inner.find_first_of("\"*") != std::string_view::npos) {
                Byte('(');
                Inline(inner, Marks::kForm);
                Byte(')');
                i = close + 1;
                continue;
            }
        }
        if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
            while (i < s.size() && s[i] == '-') ++i;
            Byte(kEmDash);
            // "-- {Sub*scrip"tive*ly}, adv.": a word derived from the headword
            // runs on after the dash.
            size_t j = i;
            while (j < s.size() && s[j] == ' ') ++j;
            if (j < s.size() && s[j] == '{') lead_until = j;
            continue;
        }
        switch (c) {
            case '"':
                if (marks == Marks::kText && IsRoughBreathing(s, i)) {
                    AppendGcideCode(*FindGcideCode("asper"), &html_, &shown_);
                } else if (marks == Marks::kText) {
                    Quote();
                } else if (marks == Marks::kForm) {
                    Byte(kAcute);
                }
                break;
            case '*':
                if (marks == Marks::kForm) {
                    Byte('-');
                } else if (marks == Marks::kText) {
                    Byte('*');
                }
                break;
            case '`':
                if (marks != Marks::kBrace) Byte('`');
                break;
            case '\n':
                LineBreak();
                break;
            case '}':
                break;  // a brace the source never opened
            case ' ':
            case '\t':
                Space();
                break;
            default:
                if (static_cast<unsigned char>(c) >= 0x20) Byte(c);
        }
        ++i;
    }
}

// A run of plain words followed by a \form\ is the spelled headword that the
// form shows again with its syllables; returns where the form starts, or npos.
size_t SpelledHeadword(std::string_view s, size_t i) {
    for (int words = 0; words < 8; ++words) {
        while (i < s.size() && s[i] == ' ') ++i;
        if (i >= s.size()) return std::string_view::npos;
        if (s[i] == '\\') return i;
        const size_t start = i;
        while (i < s.size() && s[i] != ' ' && s[i] != '\\') {
            const char c = s[i];
            if (!IsAlpha(c) && !IsDigit(c) && c != '\'' && c != '-' && c != '.' && c != '[' &&
                c != ']' && c != '^' && c != '=' && c != '"' && c != '`' && c != '~' && c != ',') {
                return std::string_view::npos;
            }
            ++i;
        }
        if (i == start) return std::string_view::npos;
    }
    return std::string_view::npos;
}

size_t Writer::Head(std::string_view s, bool etymology, uint8_t* pos) {
    bool after_form = false;
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (c == ' ') {
            ++i;
            continue;
        }
        if (c == '\\') {
            const size_t close = s.find('\\', i + 1);
            if (close == std::string_view::npos) break;
            Space();
            html_.append("<b>");
            Inline(s.substr(i + 1, close - i - 1), Marks::kForm);
            html_.append("</b>");
            i = close + 1;
            after_form = true;
            continue;
        }
        if (c == '(' || c == '[' || c == '{') {
            const char closing = c == '(' ? ')' : c == '[' ? ']' : '}';
            const size_t close = MatchClose(s, i, c, closing);
            if (close == std::string_view::npos) break;
            const std::string_view group = s.substr(i, close + 1 - i);
            if (c == '[' && FindGcideCode(group.substr(1, group.size() - 2)) != nullptr) {
                break;  // a word that starts with an accented letter: the definition
            }
            uint8_t ignored = 0;
            const bool inflections =
                c == '[' && PartOfSpeechWord(group.substr(1, group.find(' ') - 1), &ignored);
            if (c == '[' && !inflections && !etymology) {
                i = close + 1;
                continue;
            }
            Space();
            if (c == '(') {
                Byte('(');
                Inline(group.substr(1, group.size() - 2), after_form ? Marks::kForm : Marks::kText);
                Byte(')');
                after_form = false;
            } else if (c == '{') {
                Braces(group.substr(1, group.size() - 2), true);
                after_form = true;
            } else {
                // "[imp. & p. p. {Abandoned}; ...]": the inflected forms are set in
                // bold; the cross-references of an etymology are not.
                bold_braces_ = inflections;
                Inline(group, Marks::kText);
                bold_braces_ = false;
                after_form = false;
            }
            i = close + 1;
            continue;
        }
        if (c == ',' || c == ';' || c == ':' || c == '.' || c == '&') {
            if (c == '&') Space();
            Byte(c);
            ++i;
            continue;
        }
        size_t end = i;
        while (end < s.size() && s[end] != ' ' && s[end] != '\\' && s[end] != '(' &&
               s[end] != '[' && s[end] != '{' && s[end] != ',' && s[end] != ';') {
            ++end;
        }
        const std::string_view word = s.substr(i, end - i);
        if (PartOfSpeechWord(word, pos)) {
            // "v. t.": one italic run for the abbreviations that follow each other.
            Space();
            if (full_) html_.append("<i>");
            Inline(word, Marks::kText);
            i = end;
            while (true) {
                size_t next = i;
                while (next < s.size() && s[next] == ' ') ++next;
                size_t next_end = next;
                while (next_end < s.size() && s[next_end] != ' ' && s[next_end] != ',' &&
                       s[next_end] != ';' && s[next_end] != '\\' && s[next_end] != '(' &&
                       s[next_end] != '[' && s[next_end] != '{') {
                    ++next_end;
                }
                if (next_end == next || !PartOfSpeechWord(s.substr(next, next_end - next), pos))
                    break;
                Space();
                Inline(s.substr(next, next_end - next), Marks::kText);
                i = next_end;
            }
            if (full_) html_.append("</i>");
            after_form = false;
            continue;
        }
        // "n., pl. of {Goose}": the form of which this one is an inflection.
        const size_t after = s.find_first_not_of(' ', end);
        const bool inflection_of =
            word == "of" && after != std::string_view::npos && s[after] == '{';
        if (word == "or" || word == "and" || inflection_of) {
            Space();
            Inline(word, Marks::kText);
            i = end;
            continue;
        }
        const size_t form = SpelledHeadword(s, i);
        if (form == std::string_view::npos) break;
        i = form;
    }
    TrimEnd();
    return i;
}

// Joins the lines of a paragraph into one stretch of source text: lines run on
// with a space, except before a lettered sub-sense "(a)" and between the lines
// of verse, which keep their break.
std::string JoinLines(const Paragraph& p, bool verse) {
    std::string out;
    for (size_t k = 0; k < p.lines.size(); ++k) {
        const std::string_view line = p.lines[k];
        if (k > 0) {
            const bool sub_sense =
                line.size() > 3 && line[0] == '(' && line[2] == ')' && IsAlpha(line[1]);
            out.push_back((verse || sub_sense) && !IsSourceNoteLine(line) ? '\n' : ' ');
        }
        out.append(line);
    }
    return out;
}

// Verse keeps its lines: every line of the quotation starts with a capital.
// Prose whose lines happen to start so gives itself away by a line that ends
// in an article or "of", which no line of verse does.
bool IsVerse(const std::vector<std::string_view>& lines) {
    if (lines.size() < 2) return false;
    const bool capitals = std::all_of(lines.begin(), lines.end(), [](std::string_view l) {
        return !l.empty() &&
               ((l[0] >= 'A' && l[0] <= 'Z') || l[0] == '"' || l[0] == '\'' || l[0] == '[');
    });
    const bool run_on = std::any_of(lines.begin(), lines.end() - 1, [](std::string_view l) {
        const size_t space = l.rfind(' ');
        const std::string_view last = space == std::string_view::npos ? l : l.substr(space + 1);
        return last == "the" || last == "The" || last == "a" || last == "an" || last == "of";
    });
    return capitals && !run_on;
}

void RenderQuotation(const Paragraph& p, Writer* w) {
    // The citation "--Milton." stands after a wide gap or at the start of a
    // line and may run on to the next line; source notes follow it.
    std::vector<std::string_view> lines;
    std::string citation;
    std::vector<std::string_view> notes;
    for (std::string_view line : p.lines) {
        if (IsSourceNoteLine(line)) {
            notes.push_back(line);
            continue;
        }
        if (!citation.empty()) {
            citation.push_back(' ');
            citation.append(line);
            continue;
        }
        size_t cut = line.starts_with("--") ? 0 : line.find("  --");
        if (cut == std::string_view::npos) {
            const size_t last = line.rfind(" --");
            if (last != std::string_view::npos && last + 3 < line.size() && line[last + 3] >= 'A' &&
                line[last + 3] <= 'Z') {
                cut = last;
            }
        }
        if (cut != std::string_view::npos) {
            citation = std::string(Trim(line.substr(cut)));
            line = Trim(line.substr(0, cut));
        }
        if (!line.empty()) lines.push_back(line);
    }
    const bool full = w->full();
    const bool verse = IsVerse(lines);
    w->ParagraphStart(full ? "<blockquote>" : "");
    w->Tag("<i>");
    for (size_t k = 0; k < lines.size(); ++k) {
        if (k > 0 && verse) {
            w->LineBreak();
        } else if (k > 0) {
            w->Space();
        }
        w->Inline(lines[k], Marks::kText);
    }
    w->TrimEnd();
    w->Tag("</i>");
    if (!citation.empty()) {
        w->Space();
        w->Inline(citation, Marks::kText);
    }
    for (std::string_view note : notes) w->Inline(note, Marks::kText);
    w->TrimEnd();
    if (full) w->Tag("</blockquote>");
}

// Renders one paragraph; `head` when it starts with the entry's head line.
// Returns false when it holds nothing but that head line.
bool RenderParagraph(const Paragraph& p, bool head, uint8_t* pos, Writer* w) {
    if (!head && IsQuotation(p)) {
        RenderQuotation(p, w);
        return true;
    }
    const bool full = w->full();
    const std::string joined = JoinLines(p, false);
    std::string_view s = joined;
    w->ParagraphStart(full ? "<p>" : "");
    bool bare_head = false;
    if (head) {
        const size_t body = w->Head(s, true, pos);
        s.remove_prefix(body);
        s = Trim(s);
        bare_head = s.empty() || (s.size() >= 2 && s.front() == '[' && IsSourceNoteLine(s));
        if (!bare_head) w->LineBreak();
    }
    if (StartsSense(s)) {
        const size_t dot = s.find('.');
        w->Tag("<b>");
        w->Inline(s.substr(0, dot + 1), Marks::kText);
        w->Tag("</b>");
        w->Byte(' ');
        s.remove_prefix(dot + 2);
    } else if (StartsLabel(s)) {
        const size_t colon = s.find_first_of(":.");
        w->Tag(full ? "<i>" : "");
        w->Inline(s.substr(0, colon + 1), Marks::kText);
        w->Tag(full ? "</i>" : "");
        w->Space();
        s.remove_prefix(colon + 1);
    }
    w->Inline(Trim(s), Marks::kText);
    w->TrimEnd();
    if (full) w->Tag("</p>");
    return !bare_head;
}

// The words the head line spells as headwords: each text between backslashes
// in the first paragraph's head.
std::vector<std::string_view> HeadForms(std::string_view raw) {
    std::vector<std::string_view> forms;
    const size_t first_blank = raw.find("\n\n");
    const std::string_view head = raw.substr(0, std::min(raw.size(), first_blank));
    const size_t limit = std::min<size_t>(head.size(), 400);
    for (size_t i = head.find('\\'); i != std::string_view::npos && i < limit;) {
        const size_t close = head.find('\\', i + 1);
        if (close == std::string_view::npos) break;
        forms.push_back(head.substr(i + 1, close - i - 1));
        i = head.find('\\', close + 1);
    }
    return forms;
}

// The part of `raw` that a line for `key` converts.
struct Fragment {
    std::string_view text;
    GcidePart part = GcidePart::kEntry;
};

bool WordAt(std::string_view hay, size_t at, size_t len) {
    const bool before = at == 0 || !IsAlpha(hay[at - 1]);
    const bool after = at + len >= hay.size() || !IsAlpha(hay[at + len]);
    return before && after;
}

// Whether the braces at text[at] open the paragraph: only other braces,
// commas and "or" before them ("{Rock crystal}, or {Mountain crystal}, ..."),
// or they follow a dash as a run-on entry ("-- {Sub*scrip"tive*ly}, adv.").
bool LeadsParagraph(std::string_view text, size_t at) {
    size_t i = 0;
    while (i < at) {
        if (text[i] == '{') {
            const size_t close = MatchClose(text, i, '{', '}');
            if (close == std::string_view::npos || close >= at) break;
            i = close + 1;
        } else if (text[i] == ' ' || text[i] == ',') {
            ++i;
        } else if (text.substr(i).starts_with("or ")) {
            i += 3;
        } else {
            break;
        }
    }
    if (i >= at) return true;
    const std::string_view before = Trim(text.substr(0, at));
    return before.ends_with("--");
}

// Finds what a line for `key` converts when `raw` is another word's entry: the
// head line when the key is a form named there (a plural, a past tense), the
// paragraph (with its quotations) that the key heads as a sub-entry, or, for
// a key without an entry of its own, the paragraph that mentions it. False
// when the entry only mentions a word that has its own entry, or does not
// name the key at all.
bool FindFragment(std::string_view key, std::string_view raw, bool key_has_entry, Fragment* out) {
    const std::vector<Paragraph> paragraphs = SplitParagraphs(raw);
    if (paragraphs.empty()) return false;
    const std::string k = GcideLetters(key);
    size_t found = paragraphs.size();
    for (size_t pi = 0; pi < paragraphs.size() && found == paragraphs.size(); ++pi) {
        // Searched as joined lines, the form the head line is parsed in.
        const std::string joined = JoinLines(paragraphs[pi], false);
        const std::string_view text = joined;
        size_t head_end = 0;
        if (pi == 0) {
            std::string html;
            Writer scratch(GcideMarkup::kFull, &html);
            uint8_t pos = 0;
            head_end = scratch.Head(text, true, &pos);
        }
        for (size_t i = text.find('{'); i != std::string_view::npos; i = text.find('{', i + 1)) {
            const size_t close = MatchClose(text, i, '{', '}');
            if (close == std::string_view::npos) break;
            // "({a})" and "{(b)}" letter the items of a list; they name nothing.
            if ((i > 0 && text[i - 1] == '(') || text[i + 1] == '(') continue;
            if (GcideLetters(text.substr(i + 1, close - i - 1)) != k) continue;
            if (pi == 0 && i < head_end) {
                out->text =
                    raw.substr(paragraphs[0].begin, paragraphs[0].end - paragraphs[0].begin);
                out->part = GcidePart::kHeadLine;
                return true;
            }
            if (LeadsParagraph(text, i) || !key_has_entry) {
                found = pi;
                break;
            }
        }
    }
    if (found == paragraphs.size()) {
        if (key_has_entry) return false;
        std::string lower_key;
        for (char c : key) lower_key.push_back(Lower(c));
        for (size_t pi = 0; pi < paragraphs.size() && found == paragraphs.size(); ++pi) {
            std::string text;
            for (size_t i = paragraphs[pi].begin; i < paragraphs[pi].end; ++i) {
                const char c = raw[i];
                if (c == '\n') {
                    text.push_back(' ');
                } else if (c != '"' && c != '*' && c != '`') {
                    text.push_back(Lower(c));
                }
            }
            for (size_t at = text.find(lower_key); at != std::string::npos;
                 at = text.find(lower_key, at + 1)) {
                if (WordAt(text, at, lower_key.size())) {
                    found = pi;
                    break;
                }
            }
        }
        if (found == paragraphs.size()) return false;
    }
    size_t last = found;
    while (last + 1 < paragraphs.size() && IsQuotation(paragraphs[last + 1])) ++last;
    out->part = found == 0 ? GcidePart::kEntry : GcidePart::kParagraphs;
    out->text = raw.substr(paragraphs[found].begin, paragraphs[last].end - paragraphs[found].begin);
    return true;
}

// The entry text of a record without what dict-gcide's text leaves around
// some entries: the next entry's headword after the source note that closes
// about 4,000 entries ("[1913 Webster] Abannation"), and lines of the previous
// entry before the head line at the left margin (the entry of "0" starts with
// a stray quotation). Text after a closing note that runs on a derived word
// ("-- {Rot"ten*ly}, adv.") or is another note stays.
std::string_view EntryText(std::string_view body) {
    const size_t first = body.find_first_not_of('\n');
    if (first != std::string_view::npos && IsBlank(body[first])) {
        for (size_t eol = body.find('\n'); eol != std::string_view::npos;
             eol = body.find('\n', eol + 1)) {
            const std::string_view rest = body.substr(eol + 1);
            if (!rest.empty() && !IsBlank(rest.front()) && rest.front() != '\n' &&
                rest.substr(0, rest.find('\n')).find('\\') != std::string_view::npos) {
                body = rest;
                break;
            }
        }
    }
    size_t end = body.size();
    while (end > 0 && (body[end - 1] == '\n' || IsBlank(body[end - 1]))) --end;
    const size_t eol = end == 0 ? std::string_view::npos : body.rfind('\n', end - 1);
    const size_t start = eol == std::string_view::npos ? 0 : eol + 1;
    size_t at = start;
    while (at < end && IsBlank(body[at])) ++at;
    if (start == 0 || at == end || body[at] != '[') return body;
    const size_t close = MatchClose(body.substr(0, end), at, '[', ']');
    if (close == std::string_view::npos || !IsSourceNote(body.substr(at + 1, close - at - 1))) {
        return body;
    }
    const std::string_view after = Trim(body.substr(close + 1, end - close - 1));
    if (after.empty() || after.starts_with("--") || after.starts_with('[')) return body;
    return body.substr(0, close + 1);
}

bool IsDatabaseNote(std::string_view key) {
    return key.starts_with("00-database-") || key.starts_with("00-gcide-") ||
           key.starts_with("00-web1913-");
}

struct Job {
    std::string key;
    std::string_view text;
    GcidePart part = GcidePart::kEntry;
    bool whole = false;
};

void Render(const Job& job, GcideMarkup markup, lexicore::SourceEntry* entry) {
    entry->parts_of_speech = RenderGcide(job.text, job.part, markup, &entry->html, &entry->text);
}

// Runs fn(i) for i in [0, n) on the machine's cores.
template <typename Fn>
void ForEachParallel(size_t n, Fn fn) {
    const size_t workers = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 8);
    if (workers == 1 || n < 1000) {
        for (size_t i = 0; i < n; ++i) fn(i);
        return;
    }
    std::vector<std::thread> threads;
    for (size_t t = 0; t < workers; ++t) {
        threads.emplace_back([&, t]() {
            for (size_t i = t; i < n; i += workers) fn(i);
        });
    }
    for (std::thread& thread : threads) thread.join();
}

}  // namespace

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

bool GcideHeadsEntry(std::string_view key, std::string_view raw) {
    const std::string k = GcideLetters(key);
    for (std::string_view form : HeadForms(raw)) {
        if (GcideLetters(form) == k) return true;
    }
    return false;
}

std::vector<std::string> GcideQuotations(std::string_view raw) {
    std::vector<std::string> quotations;
    const std::vector<Paragraph> paragraphs = SplitParagraphs(EntryText(raw));
    for (size_t pi = 1; pi < paragraphs.size(); ++pi) {
        if (!IsQuotation(paragraphs[pi])) continue;
        std::string& quotation = quotations.emplace_back();
        for (std::string_view line : paragraphs[pi].lines) {
            if (IsSourceNoteLine(line)) continue;
            if (!quotation.empty()) quotation.push_back(' ');
            quotation.append(line);
        }
    }
    return quotations;
}

bool LoadGcide(const std::string& index_path, GcideSource* out, std::string* error) {
    std::string index;
    if (!ReadSourceFile(index_path, &index, error)) return false;
    const std::string data_path = DictdDataPathFor(index_path);
    std::unique_ptr<DictdData> data = DictdData::Open(data_path, error);
    if (data == nullptr) return false;
    std::string message;
    if (!data->Read(0, data->size(), &out->text, &message)) {
        *error = data_path + ": " + message;
        return false;
    }
    const std::string_view text = out->text;
    out->records.clear();
    return ForEachLine(index, [&](std::string_view line, int number) {
        if (line.empty()) return true;
        DictdIndexLine entry;
        if (!ParseDictdIndexLine(line, &entry, &message)) {
            *error = LineError(index_path, number, message);
            return false;
        }
        if (entry.offset > text.size() || entry.length > text.size() - entry.offset) {
            *error = LineError(index_path, number, "entry lies outside " + data_path);
            return false;
        }
        out->records.push_back(
            {std::move(entry.headword), text.substr(entry.offset, entry.length)});
        return true;
    });
}

uint8_t RenderGcide(std::string_view raw, GcidePart part, GcideMarkup markup, std::string* html,
                    std::string* text) {
    html->clear();
    text->clear();
    Writer w(markup, html);
    uint8_t pos = 0;
    const std::vector<Paragraph> paragraphs = SplitParagraphs(raw);
    bool may_cut = true;
    for (size_t pi = 0; pi < paragraphs.size(); ++pi) {
        const Paragraph& p = paragraphs[pi];
        if (std::all_of(p.lines.begin(), p.lines.end(), IsSourceNoteLine)) continue;
        if (markup == GcideMarkup::kBrief && pi > 0 && IsQuotation(p)) continue;
        // A bare head line stays with the sense after it: a cut entry never
        // ends in a head line without its definition.
        if (pi > 0) w.ParagraphBreak(may_cut);
        if (part == GcidePart::kHeadLine) {
            w.ParagraphStart(markup == GcideMarkup::kFull ? "<p>" : "");
            w.Head(JoinLines(p, false), false, &pos);
            w.Tag(markup == GcideMarkup::kFull ? "</p>" : "");
            break;
        }
        may_cut = RenderParagraph(p, part == GcidePart::kEntry && pi == 0, &pos, &w);
    }
    w.TrimEnd();
    if (markup != GcideMarkup::kFull && !html->empty()) html->append("</p>");
    lexicore::HtmlToText(*html, text);
    return pos;
}

std::string GcideHeadword(std::string_view key, std::string_view raw) {
    std::string shown(key);
    // Accents: the index writes "Abb'e" where the entry has "Ab"b['e]`".
    if (key.find('\'') != std::string_view::npos) {
        const std::string k = GcideLetters(key);
        std::vector<std::string_view> candidates = HeadForms(raw);
        for (size_t i = raw.find('{'); i != std::string_view::npos; i = raw.find('{', i + 1)) {
            const size_t close = raw.find('}', i);
            if (close == std::string_view::npos) break;
            candidates.push_back(raw.substr(i + 1, close - i - 1));
        }
        for (std::string_view form : candidates) {
            if (form.find('[') == std::string_view::npos || GcideLetters(form) != k) continue;
            std::string spelled;
            bool representable = true;
            for (size_t i = 0; i < form.size(); ++i) {
                const char c = form[i];
                if (c == '"' || c == '*' || c == '`') continue;
                if (c == '[') {
                    const size_t close = form.find(']', i);
                    const GcideCode* code = close == std::string_view::npos
                                                ? nullptr
                                                : FindGcideCode(form.substr(i + 1, close - i - 1));
                    if (code == nullptr || code->chars[0] == 0 || code->chars[1] != 0 ||
                        Windows1252Byte(code->chars[0]) < 0) {
                        representable = false;
                        break;
                    }
                    spelled.push_back(static_cast<char>(Windows1252Byte(code->chars[0])));
                    i = close;
                    continue;
                }
                spelled.push_back(c);
            }
            // Keep the index's capitalisation; take only the accents.
            std::string merged;
            size_t j = 0;
            for (size_t i = 0; representable && i < spelled.size(); ++i) {
                if (static_cast<unsigned char>(spelled[i]) >= 0x80) {
                    representable = j + 1 < key.size() && key[j] == '\'';
                    merged.push_back(spelled[i]);
                    j += 2;
                } else {
                    representable = j < key.size() && Lower(key[j]) == Lower(spelled[i]);
                    if (representable) merged.push_back(key[j]);
                    ++j;
                }
            }
            if (representable && j == key.size()) {
                shown = merged;
                break;
            }
        }
    }
    // Webster capitalises every headword; a word the entry itself writes in
    // lower case is shown in lower case.
    if (!shown.empty() && shown[0] >= 'A' && shown[0] <= 'Z' &&
        std::none_of(shown.begin() + 1, shown.end(), [](char c) { return c >= 'A' && c <= 'Z'; })) {
        std::string lower = shown;
        lower[0] = Lower(lower[0]);
        const size_t first_line = raw.find('\n');
        const std::string_view body =
            first_line == std::string_view::npos ? "" : raw.substr(first_line);
        for (size_t at = body.find(lower); at != std::string_view::npos;
             at = body.find(lower, at + 1)) {
            if (WordAt(body, at, lower.size())) {
                shown = lower;
                break;
            }
        }
    }
    return shown;
}

std::vector<lexicore::SourceEntry> ConvertGcide(const std::vector<GcideRecord>& records,
                                                GcideStats* stats) {
    GcideStats local;
    GcideStats& st = stats != nullptr ? *stats : local;
    st = GcideStats();
    st.records = records.size();

    // Which keys have an entry of their own, and which lines repeat another.
    std::vector<std::string_view> bodies(records.size());
    std::vector<char> own(records.size());
    ForEachParallel(records.size(), [&](size_t i) {
        bodies[i] = EntryText(records[i].body);
        own[i] = GcideHeadsEntry(records[i].key, bodies[i]);
    });
    std::unordered_set<std::string> keys_with_entry;
    std::unordered_set<std::string> seen;
    std::vector<size_t> kept;
    for (size_t i = 0; i < records.size(); ++i) {
        std::string lower;
        for (char c : records[i].key) lower.push_back(Lower(c));
        if (IsDatabaseNote(records[i].key) ||
            !seen.insert(lower + '\n' +
                         std::to_string(reinterpret_cast<uintptr_t>(records[i].body.data())))
                 .second) {
            ++st.skipped;
            continue;
        }
        if (own[i]) keys_with_entry.insert(lower);
        kept.push_back(i);
    }

    std::vector<Job> jobs(kept.size());
    std::vector<char> usable(kept.size());
    ForEachParallel(kept.size(), [&](size_t n) {
        const GcideRecord& r = records[kept[n]];
        Job& job = jobs[n];
        const std::string_view body = bodies[kept[n]];
        job.key = GcideHeadword(r.key, body);
        if (own[kept[n]]) {
            job.text = body;
            job.whole = true;
            usable[n] = 1;
            return;
        }
        std::string lower;
        for (char c : r.key) lower.push_back(Lower(c));
        Fragment fragment;
        if (FindFragment(r.key, body, keys_with_entry.count(lower) != 0, &fragment)) {
            job.text = fragment.text;
            job.part = fragment.part;
            usable[n] = 2;
        }
    });

    std::vector<lexicore::SourceEntry> entries;
    std::vector<Job> used;
    for (size_t n = 0; n < jobs.size(); ++n) {
        if (usable[n] == 0) {
            ++st.skipped;
            continue;
        }
        ++(usable[n] == 1 ? st.whole : st.fragments);
        used.push_back(std::move(jobs[n]));
    }
    entries.resize(used.size());
    ForEachParallel(used.size(), [&](size_t n) {
        entries[n].headword = used[n].key;
        Render(used[n], GcideMarkup::kFull, &entries[n]);
    });

    for (size_t n = 0; n < entries.size(); ++n) {
        (used[n].whole ? st.whole_bytes : st.fragment_bytes) +=
            entries[n].html.size() + entries[n].text.size();
    }
    // Headwords merged by the builder must fit the print buffer together.
    std::unordered_map<std::string, std::vector<size_t>> groups;
    for (size_t n = 0; n < entries.size(); ++n) {
        std::string lower;
        for (char c : entries[n].headword) lower.push_back(Lower(c));
        groups[lower].push_back(n);
    }
    // The builder joins them with sense breaks, which are never printed.
    auto overflows = [&](const std::vector<size_t>& members) {
        size_t shown = 0;
        for (size_t n : members) {
            shown += entries[n].html.size() -
                     std::count(entries[n].html.begin(), entries[n].html.end(), kSenseBreak);
        }
        return shown + 1 > kGcidePrintBuffer;
    };
    for (const auto& [lower, members] : groups) {
        if (!overflows(members)) continue;
        ++st.long_before;
        for (const GcideMarkup markup : {GcideMarkup::kLight, GcideMarkup::kBrief}) {
            for (size_t n : members) Render(used[n], markup, &entries[n]);
            if (!overflows(members)) break;
        }
        if (overflows(members)) ++st.long_after;
    }
    return entries;
}

std::string FindGcideNotation(std::string_view s, bool html) {
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        // A brace next to a letter inside it is the source's cross-reference
        // ("{Abbot}"); a brace standing alone ("({ or })") is the character.
        const bool brace = (c == '{' && i + 1 < s.size() && IsAlpha(s[i + 1])) ||
                           (c == '}' && i > 0 && IsAlpha(s[i - 1]));
        if (brace || c == '\\') return std::string("'") + c + "' at " + std::to_string(i);
        if (static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != kSenseBreak) {
            return "control character at " + std::to_string(i);
        }
        if (c == '[') {
            // In plain text a code that is a plain word ("[zeta]") may be the
            // ASCII form of a character the source itself set in brackets.
            const size_t close = s.find(']', i);
            const std::string_view content =
                s.substr(i + 1, close == std::string_view::npos ? 0 : close - i - 1);
            const bool word =
                std::all_of(content.begin(), content.end(), [](char d) { return IsAlpha(d); });
            const bool code = FindGcideCode(content) != nullptr && (html || !word);
            if (close != std::string_view::npos && (code || LooksLikeAccentCode(content))) {
                return "code " + std::string(s.substr(i, close + 1 - i)) + " at " +
                       std::to_string(i);
            }
        }
        if (html && c == '&') {
            const size_t semi = s.find(';', i);
            const std::string_view ref =
                s.substr(i, semi == std::string_view::npos ? 0 : semi + 1 - i);
            const bool named = ref == "&amp;" || ref == "&lt;" || ref == "&gt;" || ref == "&quot;";
            const bool numeric =
                ref.size() > 3 && ref[1] == '#' &&
                std::all_of(ref.begin() + 2, ref.end() - 1, [](char d) { return IsDigit(d); });
            if (!named && !numeric) return "unescaped '&' at " + std::to_string(i);
        }
        if (html && c == '<') {
            static const std::string_view kTags[] = {
                "<b>",   "</b>",   "<i>",     "</i>",     "<p>",          "</p>",         "<br>",
                "<sup>", "</sup>", "<small>", "</small>", "<blockquote>", "</blockquote>"};
            size_t length = 0;
            for (std::string_view t : kTags) {
                if (s.substr(i).starts_with(t)) length = t.size();
            }
            if (length == 0) return "unescaped '<' at " + std::to_string(i);
            i += length - 1;
            continue;
        }
        if (html && c == '>') return "unescaped '>' at " + std::to_string(i);
    }
    return std::string();
}

}  // namespace lexivane_dict
