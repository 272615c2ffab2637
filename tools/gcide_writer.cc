#include "tools/gcide_writer.h"

#include <algorithm>
#include <vector>

#include "lexicore/builder.h"
#include "lexicore/entry_text.h"
#include "tools/gcide_codes.h"
#include "tools/gcide_paragraphs.h"

namespace lexivane_dict {
namespace gcide {
namespace {

using lexicore::kSenseBreak;

// Windows-1252 bytes the layout uses.
constexpr char kAcute = '\xB4';      // stress mark after an accented syllable
constexpr char kEmDash = '\x97';     // the source's "--"
constexpr char kOpenQuote = '\x93';  // the source's straight double quotes
constexpr char kCloseQuote = '\x94';

// Paragraphs this long that stand twice under one headword are shown once.
constexpr size_t kRepeatedParagraph = 60;

// "2", "13", "1a", "3b": the number of a sense of the word just before it.
bool IsSenseReference(std::string_view content) {
    if (content.empty() || content.size() > 3 || !IsDigit(content[0])) return false;
    size_t i = 0;
    while (i < content.size() && IsDigit(content[i])) ++i;
    return i == content.size() ||
           (i + 1 == content.size() && content[i] >= 'a' && content[i] <= 'e');
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
    // The stages of Inline. Each converts the construct that starts at s[i]
    // and returns where the text after it starts, or npos when s[i] starts
    // no construct of its kind.
    size_t Construct(std::string_view s, size_t i, Marks marks, size_t* lead_until);
    size_t Bracket(std::string_view s, size_t i, Marks marks);
    size_t BraceGroup(std::string_view s, size_t i, size_t* lead_until);
    size_t Backslashes(std::string_view s, size_t i);
    size_t Pronunciation(std::string_view s, size_t i);
    size_t Dash(std::string_view s, size_t i, size_t* lead_until);
    // Converts s[i], a character that starts no construct.
    void Character(std::string_view s, size_t i, Marks marks);

    // The stages of Head. Each converts the part of the head line that starts
    // at s[i] and returns where the next part starts, or npos where the
    // definition begins.
    size_t HeadPart(std::string_view s, size_t i, bool etymology, uint8_t* pos, bool* after_form);
    size_t HeadGroup(std::string_view s, size_t i, bool etymology, bool* after_form);
    size_t HeadWord(std::string_view s, size_t i, uint8_t* pos, bool* after_form);
    size_t PartsOfSpeech(std::string_view s, size_t i, size_t end, uint8_t* pos);

    // A spelled form of the word, "\Ab"bey\", in bold.
    void BoldForm(std::string_view form) {
        html_.append("<b>");
        Inline(form, Marks::kForm);
        html_.append("</b>");
    }

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
        const size_t next = Construct(s, i, marks, &lead_until);
        if (next != std::string_view::npos) {
            i = next;
        } else {
            Character(s, i, marks);
            ++i;
        }
    }
}

size_t Writer::Construct(std::string_view s, size_t i, Marks marks, size_t* lead_until) {
    if (const size_t link_end = SourceLinkEnd(s, i); link_end != std::string_view::npos) {
        return link_end;  // the link's text stays, its address goes
    }
    switch (s[i]) {
        case '[':
            return Bracket(s, i, marks);
        case '{':
            return BraceGroup(s, i, lead_until);
        case '\\':
            return Backslashes(s, i);
        case '(':
            return marks == Marks::kText ? Pronunciation(s, i) : std::string_view::npos;
        case '-':
            return Dash(s, i, lead_until);
        default:
            return std::string_view::npos;
    }
}

// "[...]": a character code, a source note (dropped), the number of a sense,
// or brackets of the text.
size_t Writer::Bracket(std::string_view s, size_t i, Marks marks) {
    const size_t close = MatchClose(s, i, '[', ']');
    if (close == std::string_view::npos) {
        Byte('[');
        return i + 1;
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
    return close + 1;
}

// "{...}": a cross-reference, or in bold the phrase that leads a sub-entry.
size_t Writer::BraceGroup(std::string_view s, size_t i, size_t* lead_until) {
    const size_t close = MatchClose(s, i, '{', '}');
    if (close == std::string_view::npos) return i + 1;
    const bool lead = bold_braces_ || i <= *lead_until;
    Braces(s.substr(i + 1, close - i - 1), lead);
    if (lead) {
        // "{Rock crystal}, or {Mountain crystal}, the finest ...": the
        // variants listed with the first are sub-entries too.
        size_t j = close + 1;
        while (j < s.size() && (s[j] == ',' || s[j] == ';' || s[j] == ' ')) ++j;
        if (s.substr(j).starts_with("or ")) j += 3;
        while (j < s.size() && s[j] == ' ') ++j;
        *lead_until = j;
    }
    return close + 1;
}

// "\Ab"bey\": a spelled form of the word.
size_t Writer::Backslashes(std::string_view s, size_t i) {
    const size_t close = s.find('\\', i + 1);
    if (close == std::string_view::npos) return i + 1;
    BoldForm(s.substr(i + 1, close - i - 1));
    return close + 1;
}

// A pronunciation inside the text, "(t[=e]*m[^o]r")": one word with codes and
// stress marks. Other parentheses are no construct.
size_t Writer::Pronunciation(std::string_view s, size_t i) {
    const size_t close = MatchClose(s, i, '(', ')');
    const std::string_view inner =
        close == std::string_view::npos ? std::string_view() : s.substr(i + 1, close - i - 1);
    if (!LooksLikePronunciation(inner)) return std::string_view::npos;
    Byte('(');
    Inline(inner, Marks::kForm);
    Byte(')');
    return close + 1;
}

// "--", a dash; a single hyphen is no construct.
size_t Writer::Dash(std::string_view s, size_t i, size_t* lead_until) {
    if (i + 1 >= s.size() || s[i + 1] != '-') return std::string_view::npos;
    while (i < s.size() && s[i] == '-') ++i;
    Byte(kEmDash);
    // "-- {Sub*scrip"tive*ly}, adv.": a word derived from the headword runs
    // on after the dash.
    size_t j = i;
    while (j < s.size() && s[j] == ' ') ++j;
    if (j < s.size() && s[j] == '{') *lead_until = j;
    return i;
}

void Writer::Character(std::string_view s, size_t i, Marks marks) {
    const char c = s[i];
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

// Where the word of a head line that starts at s[i] ends.
size_t HeadWordEnd(std::string_view s, size_t i) {
    while (i < s.size() && s[i] != ' ' && s[i] != '\\' && s[i] != '(' && s[i] != '[' &&
           s[i] != '{' && s[i] != ',' && s[i] != ';') {
        ++i;
    }
    return i;
}

size_t Writer::Head(std::string_view s, bool etymology, uint8_t* pos) {
    bool after_form = false;
    size_t i = 0;
    while (i < s.size()) {
        const size_t next = HeadPart(s, i, etymology, pos, &after_form);
        if (next == std::string_view::npos) break;
        i = next;
    }
    TrimEnd();
    return i;
}

size_t Writer::HeadPart(std::string_view s, size_t i, bool etymology, uint8_t* pos,
                        bool* after_form) {
    const char c = s[i];
    if (c == ' ') return i + 1;
    if (c == '\\') {
        const size_t close = s.find('\\', i + 1);
        if (close == std::string_view::npos) return std::string_view::npos;
        Space();
        BoldForm(s.substr(i + 1, close - i - 1));
        *after_form = true;
        return close + 1;
    }
    if (c == '(' || c == '[' || c == '{') return HeadGroup(s, i, etymology, after_form);
    if (c == ',' || c == ';' || c == ':' || c == '.' || c == '&') {
        if (c == '&') Space();
        Byte(c);
        return i + 1;
    }
    return HeadWord(s, i, pos, after_form);
}

// A group in brackets on the head line: a pronunciation, a form in braces,
// the inflections ("[imp. & p. p. ...]", "[Compar. {Happier}; superl. ...]")
// or the etymology.
size_t Writer::HeadGroup(std::string_view s, size_t i, bool etymology, bool* after_form) {
    const char c = s[i];
    const char closing = c == '(' ? ')' : c == '[' ? ']' : '}';
    const size_t close = MatchClose(s, i, c, closing);
    if (close == std::string_view::npos) return std::string_view::npos;
    const std::string_view group = s.substr(i, close + 1 - i);
    if (c == '[' && FindGcideCode(group.substr(1, group.size() - 2)) != nullptr) {
        return std::string_view::npos;  // a word that starts with an accented letter: the
                                        // definition
    }
    uint8_t ignored = 0;
    std::string first_word(group.substr(1, group.find(' ') - 1));
    for (char& f : first_word) f = Lower(f);
    const bool inflections = c == '[' && PartOfSpeechWord(first_word, &ignored);
    if (c == '[' && !inflections && !etymology) return close + 1;
    Space();
    if (c == '(') {
        Byte('(');
        const std::string_view inner = group.substr(1, group.size() - 2);
        Inline(inner, *after_form || LooksLikePronunciation(inner) ? Marks::kForm : Marks::kText);
        Byte(')');
        *after_form = false;
    } else if (c == '{') {
        Braces(group.substr(1, group.size() - 2), true);
        *after_form = true;
    } else {
        // "[imp. & p. p. {Abandoned}; ...]": the inflected forms are set in
        // bold; the cross-references of an etymology are not.
        bold_braces_ = inflections;
        Inline(group, Marks::kText);
        bold_braces_ = false;
        *after_form = false;
    }
    return close + 1;
}

// A word of the head line: parts of speech, a word that joins forms ("or",
// "and", "of" before the form this one inflects), or the headword spelled out
// before its form. Any other word begins the definition.
size_t Writer::HeadWord(std::string_view s, size_t i, uint8_t* pos, bool* after_form) {
    const size_t end = HeadWordEnd(s, i);
    const std::string_view word = s.substr(i, end - i);
    if (PartOfSpeechWord(word, pos)) {
        *after_form = false;
        return PartsOfSpeech(s, i, end, pos);
    }
    // "n., pl. of {Goose}": the form of which this one is an inflection.
    const size_t after = s.find_first_not_of(' ', end);
    const bool inflection_of = word == "of" && after != std::string_view::npos && s[after] == '{';
    if (word == "or" || word == "and" || inflection_of) {
        Space();
        Inline(word, Marks::kText);
        return end;
    }
    return SpelledHeadword(s, i);
}

// "v. t.": one italic run for the abbreviations that follow each other, from
// the one at s[i, end); returns where the run ends.
size_t Writer::PartsOfSpeech(std::string_view s, size_t i, size_t end, uint8_t* pos) {
    Space();
    if (full_) html_.append("<i>");
    Inline(s.substr(i, end - i), Marks::kText);
    i = end;
    while (true) {
        size_t next = i;
        while (next < s.size() && s[next] == ' ') ++next;
        const size_t next_end = HeadWordEnd(s, next);
        if (next_end == next || !PartOfSpeechWord(s.substr(next, next_end - next), pos)) break;
        Space();
        Inline(s.substr(next, next_end - next), Marks::kText);
        i = next_end;
    }
    if (full_) html_.append("</i>");
    return i;
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
    const std::string joined = JoinLines(p);
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

}  // namespace

size_t HeadLineEnd(std::string_view joined, uint8_t* pos) {
    std::string html;
    const GcideLayout full;
    Writer scratch(full, &html);
    return scratch.Head(joined, true, pos);
}

uint8_t HeadPartsOfSpeech(std::string_view raw) {
    const std::vector<Paragraph> paragraphs = SplitParagraphs(raw);
    if (paragraphs.empty()) return 0;
    uint8_t pos = 0;
    HeadLineEnd(JoinLines(paragraphs[0]), &pos);
    return pos;
}

}  // namespace gcide

using gcide::IsQuotation;
using gcide::IsSourceNoteLine;
using gcide::JoinLines;
using gcide::kRepeatedParagraph;
using gcide::Paragraph;
using gcide::RenderParagraph;
using gcide::SplitParagraphs;
using gcide::Writer;

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
            std::string joined = JoinLines(p);
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

}  // namespace lexivane_dict
