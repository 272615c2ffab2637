#include "tools/gcide.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "base/windows1252.h"
#include "engine/lexicore.h"
#include "lexicore/collation.h"
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

// "(t[=e]*m[^o]r")", "(-ch?ckt")", "(am*ne"ze*ak)": one word with stress or
// syllable marks, set in parentheses; ("word") is a quotation instead.
bool LooksLikePronunciation(std::string_view inner) {
    return !inner.empty() && inner.size() <= 80 && inner.front() != '"' &&
           inner.find(' ') == std::string_view::npos &&
           inner.find_first_of("\"*") != std::string_view::npos &&
           std::any_of(inner.begin(), inner.end(), IsAlpha);
}

// Writes converted text as HTML. It keeps beside it the text a reader sees so
// far, which decides spaces and which way a quotation mark turns; the entry's
// plain text is derived from the HTML afterwards, so that the dictionary file
// need not store it.
class Writer {
  public:
    Writer(const GcideLayout& layout, std::string* html)
        : layout_(layout), full_(layout.spacing), html_(*html) {}

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
    const GcideLayout& layout() const { return layout_; }

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

    const GcideLayout& layout_;
    const bool full_;
    std::string& html_;
    std::string shown_;
    bool bold_braces_ = false;
};

// Where a web link that the source writes as a mangled HTML tag ends: after
// the '>' of `[a href="http:]/www.nasa.gov">`; npos when s[at] starts none.
size_t SourceLinkEnd(std::string_view s, size_t at) {
    if (!s.substr(at).starts_with("[a")) return std::string_view::npos;
    size_t i = at + 2;
    while (i < s.size() && (IsBlank(s[i]) || s[i] == '\n')) ++i;
    if (i == at + 2 || i + 5 > s.size()) return std::string_view::npos;
    std::string attribute;
    for (size_t k = i; k < i + 5; ++k) attribute.push_back(Lower(s[k]));
    if (attribute != "href=") return std::string_view::npos;
    const size_t close = s.find('>', i);
    return close == std::string_view::npos ? close : close + 1;
}

void Writer::Inline(std::string_view s, Marks marks) {
    size_t lead_until = 0;  // braces starting at or before this index open a sub-entry
    for (size_t i = 0; i < s.size();) {
        const char c = s[i];
        if (const size_t link_end = SourceLinkEnd(s, i); link_end != std::string_view::npos) {
            i = link_end;  // the link's text stays, its address goes
            continue;
        }
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
            if (LooksLikePronunciation(inner)) {
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
            // "[imp. & p. p. ...]", "[Compar. {Happier}; superl. ...]"
            uint8_t ignored = 0;
            std::string first_word(group.substr(1, group.find(' ') - 1));
            for (char& f : first_word) f = Lower(f);
            const bool inflections = c == '[' && PartOfSpeechWord(first_word, &ignored);
            if (c == '[' && !inflections && !etymology) {
                i = close + 1;
                continue;
            }
            Space();
            if (c == '(') {
                Byte('(');
                const std::string_view inner = group.substr(1, group.size() - 2);
                Inline(inner,
                       after_form || LooksLikePronunciation(inner) ? Marks::kForm : Marks::kText);
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

// Where the sentence that starts at s[from] ends: its period (before a
// capital, a citation, a bracket or the end), or the end of s.
size_t SentenceEnd(std::string_view s, size_t from) {
    for (size_t i = s.find('.', from); i != std::string_view::npos; i = s.find('.', i + 1)) {
        size_t next = i + 1;
        while (next < s.size() && s[next] == ' ') ++next;
        if (next == s.size() || (s[next] >= 'A' && s[next] <= 'Z') || s[next] == '[' ||
            s[next] == '-' || s[next] == '"') {
            return i;
        }
    }
    return s.size();
}

// A sense without its examples: "To place; to put; as, to set a book on a
// shelf." reads "To place; to put."
std::string WithoutExamples(std::string_view s) {
    std::string out(s);
    for (size_t at = 0;;) {
        size_t semi = out.find("; as, ", at);
        const size_t colon = out.find(": as, ", at);
        if (colon < semi) semi = colon;
        if (semi == std::string::npos) break;
        out.erase(semi, SentenceEnd(out, semi) - semi);
        at = semi;
    }
    return out;
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
        const size_t body = w->Head(s, w->layout().etymologies, pos);
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
    w->Inline(w->layout().examples ? Trim(s) : WithoutExamples(Trim(s)), Marks::kText);
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

// What a line for `key` gets of another word's entry `raw`.
enum class FragmentKind {
    kForm,       // the key is a form of the entry's word: the whole entry
    kRunOn,      // the key runs on after a dash: that line, then the whole entry
    kParagraph,  // the key heads a sub-entry, or is mentioned: that paragraph
};

struct Fragment {
    std::string_view text;
    GcidePart part = GcidePart::kEntry;
    FragmentKind kind = FragmentKind::kParagraph;
};

bool WordAt(std::string_view hay, size_t at, size_t len) {
    const bool before = at == 0 || !IsAlpha(hay[at - 1]);
    const bool after = at + len >= hay.size() || !IsAlpha(hay[at + len]);
    return before && after;
}

enum class Lead { kNone, kSubEntry, kRunOn };

// Whether text[at] lies inside a bracket group that lists inflections
// ("[imp. {did} (d[i^]d); p. p. {done} ...]").
bool InInflections(std::string_view text, size_t at) {
    for (size_t open = text.rfind('[', at); open != std::string_view::npos;
         open = open == 0 ? std::string_view::npos : text.rfind('[', open - 1)) {
        const size_t close = MatchClose(text, open, '[', ']');
        if (close == std::string_view::npos || close < at) continue;
        const size_t space = text.find(' ', open);
        std::string first(text.substr(open + 1, space - open - 1));
        for (char& c : first) c = Lower(c);
        uint8_t ignored = 0;
        return PartOfSpeechWord(first, &ignored);
    }
    return false;
}

// Whether the braces text[at..close] open the paragraph: only other braces,
// commas and "or" before them ("{Rock crystal}, or {Mountain crystal}, ..."),
// or they follow a dash as a run-on entry ("-- {Sub*scrip"tive*ly}, adv.");
// and punctuation or a part of speech after them, not a word ("{Gripe
// penny}, {a} miser" names the article only by mistake).
Lead LeadsParagraph(std::string_view text, size_t at, size_t close) {
    size_t after = close + 1;
    while (after < text.size() && text[after] == ' ') ++after;
    const std::string_view next = text.substr(after, text.find(' ', after) - after);
    uint8_t ignored = 0;
    if (!next.empty() && IsAlpha(next[0]) && next != "or" && !next.starts_with("etc") &&
        !PartOfSpeechWord(next, &ignored)) {
        return Lead::kNone;
    }
    size_t i = 0;
    while (i < at) {
        if (text[i] == '{') {
            const size_t end = MatchClose(text, i, '{', '}');
            if (end == std::string_view::npos || end >= at) break;
            i = end + 1;
        } else if (text[i] == ' ' || text[i] == ',') {
            ++i;
        } else if (text.substr(i).starts_with("or ")) {
            i += 3;
        } else {
            break;
        }
    }
    if (i >= at) return Lead::kSubEntry;
    return Trim(text.substr(0, at)).ends_with("--") ? Lead::kRunOn : Lead::kNone;
}

// Finds what a line for `key` converts when `raw` is another word's entry: the
// whole entry when the key is a form named on its head line (a plural, a past
// tense, a variant spelling), the run-on line and the whole entry when the
// key runs on after a dash, the paragraph (with its quotations) that the key
// heads as a sub-entry, or, for a key without an entry of its own, the
// paragraph that names or mentions it. False when the entry only mentions a
// word that has its own entry, or does not name the key at all.
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
            const GcideLayout full;
            Writer scratch(full, &html);
            uint8_t pos = 0;
            head_end = scratch.Head(text, true, &pos);
        }
        for (size_t i = text.find('{'); i != std::string_view::npos; i = text.find('{', i + 1)) {
            const size_t close = MatchClose(text, i, '{', '}');
            if (close == std::string_view::npos) break;
            const std::string_view inner = text.substr(i + 1, close - i - 1);
            // "({a})" and "{(b)}" letter the items of a list; they name nothing.
            if ((i > 0 && text[i - 1] == '(' && inner.size() == 1) ||
                (inner.size() <= 3 && inner.starts_with('('))) {
                continue;
            }
            if (GcideLetters(inner) != k) continue;
            if (pi == 0 && (i < head_end || InInflections(text, i))) {
                out->text = raw;
                out->part = GcidePart::kEntry;
                out->kind = FragmentKind::kForm;
                return true;
            }
            const Lead lead = LeadsParagraph(text, i, close);
            if (lead != Lead::kNone || !key_has_entry) {
                found = pi;
                out->kind = lead == Lead::kRunOn ? FragmentKind::kRunOn : FragmentKind::kParagraph;
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
                if (c == '\n' || IsBlank(c)) {
                    if (text.empty() || text.back() != ' ') text.push_back(' ');
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
        // Mentioned on the head line, it is a form of the entry's word.
        out->kind = found == 0 ? FragmentKind::kForm : FragmentKind::kParagraph;
        if (found == 0) {
            out->text = raw;
            out->part = GcidePart::kEntry;
            return true;
        }
    }
    size_t last = found;
    while (last + 1 < paragraphs.size() && IsQuotation(paragraphs[last + 1])) ++last;
    out->part = found == 0 ? GcidePart::kEntry : GcidePart::kParagraphs;
    out->text = raw.substr(paragraphs[found].begin, paragraphs[last].end - paragraphs[found].begin);
    return true;
}

// The entry text of a record without what dict-gcide's text leaves around
// some entries: the next entry's headword after the source note that closes
// about 4,000 entries ("[1913 Webster] Abannation") or, when `keys` (the
// index keys) is given, the sentence that ends some ("imp. of {Do}.
// Didactic"), and lines of the previous entry before the head line at the
// left margin (the entry of "0" starts with a stray quotation). Text after a
// closing note that runs on a derived word ("-- {Rot"ten*ly}, adv.") or is
// another note stays.
std::string_view EntryText(std::string_view body, const std::unordered_set<std::string>* keys) {
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
    // "imp. of {Do}. Didactic": the next headword after a closing sentence.
    const size_t space = body.rfind(' ', end - 1);
    if (keys != nullptr && space != std::string_view::npos && space > at &&
        body[space - 1] == '.' && body[space + 1] >= 'A' && body[space + 1] <= 'Z' &&
        keys->count(std::string(body.substr(space + 1, end - space - 1))) != 0) {
        return body.substr(0, space);
    }
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

// The parts of a headword's entry, in the order it shows them.
enum Rank : uint8_t {
    kOwnEntry = 0,   // an entry the headword heads
    kOwnLine = 1,    // a run-on line or a sub-entry of another entry: its own head line
    kWordEntry = 2,  // the whole entry of the word it is a form of
    kBaseEntry = 3,  // the entry of the base of an irregular form
};

// One part of a headword's entry, to be rendered.
struct Job {
    std::string headword;      // as shown
    std::string group;         // the headword as the builder merges it (case folded)
    std::string_view entry;    // the source entry the part comes from
    std::string_view part_of;  // the part: all of `entry` or some of its paragraphs
    GcidePart part = GcidePart::kEntry;
    Rank rank = kOwnEntry;
    std::string without;  // `entry` without a run-on line shown before it, when not empty

    std::string_view Text() const { return without.empty() ? part_of : without; }
};

// "Me*thought"\, imp. of {Methinks}.", "Mice ..., n., pl. of {Mouse}.": an
// entry that is nothing but a head line naming the word it is a form of.
// Returns the letters of that word (GcideLetters); empty for any other entry.
std::string FormOf(std::string_view raw) {
    std::vector<Paragraph> paragraphs = SplitParagraphs(raw);
    std::erase_if(paragraphs, [](const Paragraph& p) {
        return std::all_of(p.lines.begin(), p.lines.end(), IsSourceNoteLine);
    });
    if (paragraphs.size() != 1) return "";
    const std::string joined = JoinLines(paragraphs[0], false);
    std::string html;
    const GcideLayout full;
    Writer scratch(full, &html);
    uint8_t pos = 0;
    const size_t head_end = scratch.Head(joined, true, &pos);
    const std::string_view rest = Trim(std::string_view(joined).substr(head_end));
    if (!rest.empty() && !IsSourceNoteLine(rest)) return "";
    const size_t of = joined.rfind(" of {", head_end);
    if (of == std::string::npos) return "";
    const size_t close = joined.find('}', of);
    if (close == std::string::npos || close > head_end) return "";
    return GcideLetters(std::string_view(joined).substr(of + 5, close - of - 5));
}

// Whether a sub-entry paragraph only names things ("{Barren oak}, or
// {Black-jack}, {Quercus nigra}."): nothing but braces, groups in brackets
// and joining words.
bool NamesOnly(std::string_view paragraph) {
    int depth = 0;
    std::string outside;
    for (char c : paragraph) {
        if (c == '{' || c == '(' || c == '[') {
            ++depth;
        } else if ((c == '}' || c == ')' || c == ']') && depth > 0) {
            --depth;
        } else if (depth == 0) {
            outside.push_back(IsAlpha(c) ? Lower(c) : ' ');
        }
    }
    for (size_t i = 0; i < outside.size();) {
        const size_t start = outside.find_first_not_of(' ', i);
        if (start == std::string::npos) break;
        const size_t end = std::min(outside.find(' ', start), outside.size());
        const std::string_view word = std::string_view(outside).substr(start, end - start);
        if (word != "or" && word != "and" && word != "etc") return false;
        i = end;
    }
    return true;
}

// The parts of speech the head line of entry text `raw` names.
uint8_t HeadPartsOfSpeech(std::string_view raw) {
    const std::vector<Paragraph> paragraphs = SplitParagraphs(raw);
    if (paragraphs.empty()) return 0;
    std::string html;
    const GcideLayout full;
    Writer scratch(full, &html);
    uint8_t pos = 0;
    scratch.Head(JoinLines(paragraphs[0], false), true, &pos);
    return pos;
}

// What a long entry leaves out to fit the print buffer, step by step: each
// step turns one more of GcideLayout's members off. The spacing costs no
// content and goes unmentioned in the note.
struct Omission {
    bool GcideLayout::*part;
    std::string_view name;  // for the note, empty for the spacing
};
constexpr Omission kOmissions[] = {
    {&GcideLayout::quotations, "quotations"}, {&GcideLayout::etymologies, "etymologies"},
    {&GcideLayout::examples, "examples"},     {&GcideLayout::spacing, ""},
    {&GcideLayout::phrases, "phrases"},
};

// "Quotations, etymologies and examples are left out of this long entry."
std::string LeftOutNote(const std::vector<std::string_view>& names) {
    std::string note;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) note += i + 1 == names.size() ? " and " : ", ";
        note += names[i];
    }
    note[0] = static_cast<char>(note[0] - 'a' + 'A');
    note += " are";
    return std::string(1, kSenseBreak) + "<p><i>" + note + std::string(kGcideLeftOutEnding) +
           "</i></p>";
}

// Paragraphs this long that stand twice under one headword are shown once.
constexpr size_t kRepeatedParagraph = 60;

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

bool GcideNamesKey(std::string_view key, std::string_view raw) {
    const std::string k = GcideLetters(key);
    for (const char open : {'{', '\\'}) {
        const char close = open == '{' ? '}' : '\\';
        for (size_t i = raw.find(open); i != std::string_view::npos;) {
            const size_t end = raw.find(close, i + 1);
            if (end == std::string_view::npos) break;
            // "{fastened, secured}" lists two words; it names neither pair.
            const std::string_view named = raw.substr(i + 1, end - i - 1);
            if ((named.find(',') == std::string_view::npos ||
                 key.find(',') != std::string_view::npos) &&
                GcideLetters(named) == k) {
                return true;
            }
            i = raw.find(open, end + 1);
        }
    }
    return false;
}

std::vector<std::string> GcideQuotations(std::string_view raw) {
    std::vector<std::string> quotations;
    const std::vector<Paragraph> paragraphs = SplitParagraphs(EntryText(raw, nullptr));
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

uint8_t RenderGcide(std::string_view raw, GcidePart part, const GcideLayout& layout,
                    std::string* html, std::string* text, std::unordered_set<std::string>* shown) {
    html->clear();
    text->clear();
    Writer w(layout, html);
    uint8_t pos = 0;
    const std::vector<Paragraph> paragraphs = SplitParagraphs(raw);
    bool may_cut = true;
    for (size_t pi = 0; pi < paragraphs.size(); ++pi) {
        const Paragraph& p = paragraphs[pi];
        if (std::all_of(p.lines.begin(), p.lines.end(), IsSourceNoteLine)) continue;
        if (!layout.quotations && pi > 0 && IsQuotation(p)) continue;
        if (!layout.phrases && pi > 0 && p.lines.front().starts_with('{')) continue;
        if (shown != nullptr && (part != GcidePart::kEntry || pi > 0)) {
            std::string joined = JoinLines(p, false);
            if (joined.size() >= kRepeatedParagraph && !shown->insert(std::move(joined)).second) {
                continue;
            }
        }
        // A bare head line stays with the sense after it: a cut entry never
        // ends in a head line without its definition.
        if (pi > 0) w.ParagraphBreak(may_cut);
        may_cut = RenderParagraph(p, part == GcidePart::kEntry && pi == 0, &pos, &w);
    }
    w.TrimEnd();
    if (!layout.spacing && !html->empty()) html->append("</p>");
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
                        lexivane_base::Windows1252Byte(code->chars[0]) < 0) {
                        representable = false;
                        break;
                    }
                    spelled.push_back(
                        static_cast<char>(lexivane_base::Windows1252Byte(code->chars[0])));
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
                                                GcideStats* stats,
                                                const IrregularForms& irregular) {
    GcideStats local;
    GcideStats& st = stats != nullptr ? *stats : local;
    st = GcideStats();
    st.records = records.size();

    // Which keys have an entry of their own, and which lines repeat another.
    std::unordered_set<std::string> index_keys;
    for (const GcideRecord& r : records) index_keys.insert(r.key);
    std::vector<std::string_view> bodies(records.size());
    std::vector<char> own(records.size());
    ForEachParallel(records.size(), [&](size_t i) {
        bodies[i] = EntryText(records[i].body, &index_keys);
        own[i] = GcideHeadsEntry(Trim(records[i].key), bodies[i]);
    });
    // Own entries by the letters of their keys, for finding a form's base.
    std::unordered_map<std::string, std::vector<std::string_view>> own_bodies;
    std::unordered_set<std::string> keys_with_entry;
    // The index splits a few entries: the words run on after one have a line
    // of their own that starts right where the entry's line ends.
    std::unordered_map<const char*, std::string_view> own_by_end;
    std::unordered_set<std::string> seen;
    std::vector<size_t> kept;
    for (size_t i = 0; i < records.size(); ++i) {
        const std::string lower = lexicore::Fold(Trim(records[i].key));
        if (IsDatabaseNote(records[i].key) ||
            !seen.insert(lower + '\n' +
                         std::to_string(reinterpret_cast<uintptr_t>(records[i].body.data())))
                 .second) {
            ++st.skipped;
            continue;
        }
        if (own[i]) {
            keys_with_entry.insert(lower);
            own_bodies[GcideLetters(records[i].key)].push_back(bodies[i]);
            own_by_end[records[i].body.data() + records[i].body.size()] = bodies[i];
        }
        kept.push_back(i);
    }

    // An irregular form is a word in lower case, whatever Webster's
    // capitals ("Does", "Wrote").
    std::unordered_set<std::string> forms;
    for (const auto& [form, base] : irregular) forms.insert(form);

    // The parts each line gives its headword.
    std::vector<std::vector<Job>> found(kept.size());
    ForEachParallel(kept.size(), [&](size_t n) {
        const std::string_view key = Trim(records[kept[n]].key);
        const std::string_view body = bodies[kept[n]];
        std::string headword = GcideHeadword(key, body);
        const std::string group = lexicore::Fold(headword);
        if (forms.count(group) != 0 &&
            lexicore::IsLowerCase(std::string_view(headword).substr(1))) {
            headword = group;
        }
        std::vector<Job>& jobs = found[n];
        if (own[kept[n]]) {
            jobs.push_back({headword, group, body, body, GcidePart::kEntry, kOwnEntry, ""});
            return;
        }
        Fragment fragment;
        if (!FindFragment(key, body, keys_with_entry.count(lexicore::Fold(key)) != 0, &fragment)) {
            return;
        }
        if (fragment.kind != FragmentKind::kForm) {
            jobs.push_back({headword, group, body, fragment.text, fragment.part, kOwnLine, ""});
        }
        if (fragment.kind == FragmentKind::kParagraph && !NamesOnly(fragment.text)) return;
        if (fragment.kind == FragmentKind::kRunOn && fragment.text.size() == body.size()) {
            const char* start = records[kept[n]].body.data();
            for (int gap = 0; gap < 4; ++gap) {
                const auto before = own_by_end.find(start - gap);
                if (before != own_by_end.end()) {
                    jobs.push_back({headword, group, before->second, before->second,
                                    GcidePart::kEntry, kWordEntry, ""});
                    break;
                }
            }
            return;
        }
        Job& whole =
            jobs.emplace_back(Job{headword, group, body, body, GcidePart::kEntry, kWordEntry, ""});
        if (fragment.kind == FragmentKind::kRunOn) {
            // The run-on line stands first; the entry after it goes without it.
            const size_t from = static_cast<size_t>(fragment.text.data() - body.data());
            whole.without = std::string(body.substr(0, from)) +
                            std::string(body.substr(from + fragment.text.size()));
        }
    });
    std::vector<Job> jobs;
    for (size_t n = 0; n < kept.size(); ++n) {
        if (found[n].empty()) {
            ++st.skipped;
        } else if (own[kept[n]]) {
            ++st.own;
        } else {
            ++(found[n].back().rank == kWordEntry ? st.forms : st.paragraphs);
        }
        for (Job& job : found[n]) jobs.push_back(std::move(job));
    }

    std::unordered_map<std::string, std::vector<size_t>> groups;
    for (size_t n = 0; n < jobs.size(); ++n) groups[jobs[n].group].push_back(n);
    // A form that shows none of its base's entries gets them: the ones whose
    // head line names it, else the verbs among them, else all. The forms are
    // irregular ones ("is" of be) and entries that only say whose form they
    // are ("Methought, imp. of Methinks").
    std::vector<std::pair<std::string, std::string>> form_of = irregular;
    for (const Job& job : jobs) {
        if (job.rank != kOwnEntry) continue;
        std::string base = FormOf(job.entry);
        if (!base.empty() && base != GcideLetters(job.group)) {
            form_of.emplace_back(job.group, std::move(base));
        }
    }
    for (const auto& [form, base] : form_of) {
        const auto members = groups.find(form);
        const auto base_entries = own_bodies.find(GcideLetters(base));
        if (members == groups.end() || base_entries == own_bodies.end()) continue;
        const std::vector<std::string_view>& of_base = base_entries->second;
        if (std::any_of(members->second.begin(), members->second.end(), [&](size_t n) {
                return jobs[n].rank != kOwnLine &&
                       std::find(of_base.begin(), of_base.end(), jobs[n].entry) != of_base.end();
            })) {
            continue;
        }
        std::vector<std::string_view> chosen;
        for (std::string_view entry : of_base) {
            Fragment fragment;
            if (FindFragment(form, entry, true, &fragment) &&
                fragment.kind == FragmentKind::kForm) {
                chosen.push_back(entry);
            }
        }
        if (chosen.empty()) {
            for (std::string_view entry : of_base) {
                if ((HeadPartsOfSpeech(entry) & lexicore::kVerb) != 0) chosen.push_back(entry);
            }
        }
        if (chosen.empty()) chosen = of_base;
        const std::string headword = jobs[members->second.front()].headword;
        for (std::string_view entry : chosen) {
            members->second.push_back(jobs.size());
            jobs.push_back({headword, form, entry, entry, GcidePart::kEntry, kBaseEntry, ""});
            ++st.irregular;
        }
    }

    // Each headword shows its parts in rank order, each source entry once
    // (the source lists some entries twice, and a form may reach an entry
    // from several lines).
    std::vector<char> dropped(jobs.size());
    for (auto& [group, members] : groups) {
        std::stable_sort(members.begin(), members.end(),
                         [&](size_t a, size_t b) { return jobs[a].rank < jobs[b].rank; });
        for (size_t m = 0; m < members.size(); ++m) {
            const Job& job = jobs[members[m]];
            const bool shown_whole = job.rank == kOwnLine &&
                                     std::any_of(members.begin(), members.end(), [&](size_t other) {
                                         return jobs[other].rank != kOwnLine &&
                                                jobs[other].entry == job.entry &&
                                                jobs[other].without.empty();
                                     });
            if (shown_whole) {
                dropped[members[m]] = 1;
                ++st.repeated;
            }
            for (size_t earlier = 0; earlier < m && !dropped[members[m]]; ++earlier) {
                if (!dropped[members[earlier]] &&
                    jobs[members[earlier]].Text() == jobs[members[m]].Text()) {
                    dropped[members[m]] = 1;
                    ++st.repeated;
                }
            }
        }
        std::erase_if(members, [&](size_t n) { return dropped[n] != 0; });
    }

    std::vector<lexicore::SourceEntry> entries(jobs.size());
    // A paragraph that an earlier part of the headword showed already is left
    // out (variant spellings share senses: "phony" and "phoney").
    auto render = [&](const std::vector<size_t>& members, const GcideLayout& layout) {
        std::unordered_set<std::string> shown;
        for (size_t n : members) {
            entries[n].headword = jobs[n].headword;
            entries[n].parts_of_speech = RenderGcide(jobs[n].Text(), jobs[n].part, layout,
                                                     &entries[n].html, &entries[n].text, &shown);
        }
    };
    std::vector<const std::vector<size_t>*> all_groups;
    for (const auto& [group, members] : groups) all_groups.push_back(&members);
    ForEachParallel(all_groups.size(), [&](size_t g) { render(*all_groups[g], GcideLayout()); });

    // Headwords merged by the builder must fit the print buffer together.
    // The builder joins them with sense breaks, which are never printed.
    auto shown = [&](const std::vector<size_t>& members) {
        size_t bytes = 0;
        for (size_t n : members) {
            bytes += entries[n].html.size() -
                     std::count(entries[n].html.begin(), entries[n].html.end(), kSenseBreak);
        }
        return bytes;
    };
    std::vector<const std::vector<size_t>*> long_groups;
    for (const auto& [group, members] : groups) {
        if (shown(members) + 1 > LXV_PRINT_BUFFER_SIZE) long_groups.push_back(&members);
    }
    st.long_before = long_groups.size();
    std::vector<char> still_long(long_groups.size());
    ForEachParallel(long_groups.size(), [&](size_t g) {
        const std::vector<size_t>& members = *long_groups[g];
        GcideLayout layout;
        std::vector<std::string_view> left_out;
        for (const Omission& omission : kOmissions) {
            const size_t before = shown(members);
            layout.*omission.part = false;
            render(members, layout);
            if (!omission.name.empty() && shown(members) < before) {
                left_out.push_back(omission.name);
            }
            const std::string note = left_out.empty() ? "" : LeftOutNote(left_out);
            const bool fits = shown(members) + note.size() + 1 <= LXV_PRINT_BUFFER_SIZE;
            if (fits || &omission == &kOmissions[std::size(kOmissions) - 1]) {
                lexicore::SourceEntry& last = entries[members.back()];
                last.html += note;
                last.text.clear();
                lexicore::HtmlToText(last.html, &last.text);
                still_long[g] = !fits;
                return;
            }
        }
    });
    st.long_after = std::count(still_long.begin(), still_long.end(), 1);

    // The builder keeps the order of a headword's parts as given.
    std::vector<size_t> order;
    for (size_t n = 0; n < jobs.size(); ++n) {
        if (!dropped[n]) order.push_back(n);
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return jobs[a].rank < jobs[b].rank; });
    std::vector<lexicore::SourceEntry> out;
    out.reserve(order.size());
    for (size_t n : order) out.push_back(std::move(entries[n]));
    return out;
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
