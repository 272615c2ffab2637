#include "tools/gcide_fragments.h"

#include <algorithm>
#include <cstdint>

#include "tools/gcide_paragraphs.h"

namespace lexivane_dict {
namespace gcide {
namespace {

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

// The paragraph that names the key, whose letters are `k`, in braces: one
// that the braces lead (a sub-entry, or a run-on line after a dash), or for a
// key without an entry of its own any that names it. A key named on the head
// line or among its inflections is a form of the entry's word: paragraph 0,
// kForm. paragraphs.size() when no paragraph names it so.
size_t BracedParagraph(const std::vector<Paragraph>& paragraphs, const std::string& k,
                       bool key_has_entry, FragmentKind* kind) {
    for (size_t pi = 0; pi < paragraphs.size(); ++pi) {
        // Searched as joined lines, the form the head line is parsed in.
        const std::string joined = JoinLines(paragraphs[pi]);
        const std::string_view text = joined;
        uint8_t pos = 0;
        const size_t head_end = pi == 0 ? HeadLineEnd(text, &pos) : 0;
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
                *kind = FragmentKind::kForm;
                return 0;
            }
            const Lead lead = LeadsParagraph(text, i, close);
            if (lead != Lead::kNone || !key_has_entry) {
                *kind = lead == Lead::kRunOn ? FragmentKind::kRunOn : FragmentKind::kParagraph;
                return pi;
            }
        }
    }
    return paragraphs.size();
}

// The paragraph of entry text `raw` that mentions `key` as a word, ignoring
// case and the source's marks; paragraphs.size() when none does.
size_t MentioningParagraph(const std::vector<Paragraph>& paragraphs, std::string_view key,
                           std::string_view raw) {
    std::string lower_key;
    for (char c : key) lower_key.push_back(Lower(c));
    for (size_t pi = 0; pi < paragraphs.size(); ++pi) {
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
            if (WordAt(text, at, lower_key.size())) return pi;
        }
    }
    return paragraphs.size();
}

}  // namespace

bool FindFragment(std::string_view key, std::string_view raw, bool key_has_entry, Fragment* out) {
    const std::vector<Paragraph> paragraphs = SplitParagraphs(raw);
    if (paragraphs.empty()) return false;
    FragmentKind kind = FragmentKind::kParagraph;
    size_t found = BracedParagraph(paragraphs, GcideLetters(key), key_has_entry, &kind);
    if (found == paragraphs.size()) {
        if (key_has_entry) return false;
        found = MentioningParagraph(paragraphs, key, raw);
        if (found == paragraphs.size()) return false;
        // Mentioned on the head line, it is a form of the entry's word.
        kind = found == 0 ? FragmentKind::kForm : FragmentKind::kParagraph;
    }
    out->kind = kind;
    out->part = found == 0 ? GcidePart::kEntry : GcidePart::kParagraphs;
    if (kind == FragmentKind::kForm) {
        out->text = raw;
        return true;
    }
    size_t last = found;
    while (last + 1 < paragraphs.size() && IsQuotation(paragraphs[last + 1])) ++last;
    out->text = raw.substr(paragraphs[found].begin, paragraphs[last].end - paragraphs[found].begin);
    return true;
}

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

std::string FormOf(std::string_view raw) {
    std::vector<Paragraph> paragraphs = SplitParagraphs(raw);
    std::erase_if(paragraphs, [](const Paragraph& p) {
        return std::all_of(p.lines.begin(), p.lines.end(), IsSourceNoteLine);
    });
    if (paragraphs.size() != 1) return "";
    const std::string joined = JoinLines(paragraphs[0]);
    uint8_t pos = 0;
    const size_t head_end = HeadLineEnd(joined, &pos);
    const std::string_view rest = Trim(std::string_view(joined).substr(head_end));
    if (!rest.empty() && !IsSourceNoteLine(rest)) return "";
    const size_t of = joined.rfind(" of {", head_end);
    if (of == std::string::npos) return "";
    const size_t close = joined.find('}', of);
    if (close == std::string::npos || close > head_end) return "";
    return GcideLetters(std::string_view(joined).substr(of + 5, close - of - 5));
}

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

}  // namespace gcide

bool GcideHeadsEntry(std::string_view key, std::string_view raw) {
    const std::string k = GcideLetters(key);
    for (std::string_view form : gcide::HeadForms(raw)) {
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

}  // namespace lexivane_dict
