#include "tools/entry_check.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

#include "lexicore/builder.h"
#include "lexicore/collation.h"
#include "lexicore/entry_text.h"
#include "tools/entry_links.h"

namespace lexivane_dict {
namespace {

bool IsLetter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u >= 0xC0 || u == 0x8A ||
           u == 0x8C || u == 0x9A || u == 0x9C;
}

// One part of an entry: what stands between paragraph marks, line breaks and
// sense breaks.
struct Part {
    std::vector<std::string> bold;  // the text of each bold run
    bool leads_with_form = false;   // starts (after a dash) with a bold run that starts a word
    bool run_on = false;            // starts with a dash: a word run on after an entry
    std::string visible;            // everything shown
    std::string plain;              // what is shown outside bold runs
};

std::string Decoded(std::string_view html) {
    std::string text;
    lexicore::HtmlToText(html, &text);
    return text;
}

Part ReadPart(std::string_view html) {
    Part part;
    std::string visible;
    std::string plain;
    bool at_start = true;
    for (size_t i = 0; i < html.size();) {
        if (html[i] != '<') {
            const char c = html[i++];
            visible.push_back(c);
            plain.push_back(c);
            if (c == '\x97' && at_start) part.run_on = true;
            if (c != ' ' && c != '\x97') at_start = false;
            continue;
        }
        const size_t close = html.find('>', i);
        if (close == std::string_view::npos) break;
        const std::string_view tag = html.substr(i, close + 1 - i);
        i = close + 1;
        if (tag != "<b>" && tag != "<i>") continue;
        const std::string_view end = tag == "<b>" ? "</b>" : "</i>";
        const size_t stop = std::min(html.find(end, i), html.size());
        const std::string_view run = html.substr(i, stop - i);
        visible.append(run);
        if (tag == "<i>") plain.append(run);
        if (tag == "<b>") {
            part.bold.push_back(Decoded(run));
            if (at_start && !part.bold.back().empty() && IsLetter(part.bold.back()[0])) {
                part.leads_with_form = true;
            }
        }
        at_start = false;
        i = std::min(stop + end.size(), html.size());
    }
    part.visible = Decoded(visible);
    part.plain = Decoded(plain);
    return part;
}

// `s` without its (...) and [...] groups; a bracket that never closes is
// kept as it is.
std::string WithoutGroups(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '(' || s[i] == '[') {
            const char open = s[i];
            const char close = open == '(' ? ')' : ']';
            int depth = 0;
            size_t end = i;
            for (; end < s.size(); ++end) {
                if (s[end] == open) ++depth;
                if (s[end] == close && --depth == 0) break;
            }
            if (end < s.size()) {
                i = end;
                continue;
            }
        }
        out.push_back(s[i]);
    }
    return out;
}

std::vector<std::string> Words(std::string_view s) {
    std::vector<std::string> words;
    std::string word;
    for (char c : s) {
        if (IsLetter(c) || (c == '\'' && !word.empty())) {
            word.push_back(static_cast<char>(lexicore::FoldByte(static_cast<unsigned char>(c))));
        } else if (!word.empty()) {
            words.push_back(std::move(word));
            word.clear();
        }
    }
    if (!word.empty()) words.push_back(std::move(word));
    return words;
}

// The words of a head line besides its forms: grammatical abbreviations and
// the words that join forms ("pl. of Mouse", "imp. & p. p. Reached").
const std::unordered_set<std::string>& HeadLineWords() {
    static const std::unordered_set<std::string> kWords = {
        "n",      "v",      "t",    "i",    "a",      "adj",       "adv",   "prep", "pron",
        "conj",   "interj", "pl",   "p",    "pr",     "vb",        "imp",   "sing", "superl",
        "compar", "pres",   "fem",  "masc", "inf",    "pass",      "obj",   "poss", "def",
        "indef",  "art",    "pret", "ppr",  "imperf", "aux",       "sb",    "pers", "prop",
        "of",     "or",     "and",  "noun", "verb",   "adjective", "adverb"};
    return kWords;
}

// The abbreviations that name a part of speech on a head line.
bool NamesPartOfSpeech(std::string_view visible) {
    static const std::unordered_set<std::string> kAbbreviations = {
        "n", "v", "a", "adj", "adv", "prep", "pron", "conj", "interj", "pl"};
    const std::string outside = WithoutGroups(visible);
    for (size_t at = outside.find('.'); at != std::string::npos; at = outside.find('.', at + 1)) {
        size_t start = at;
        while (start > 0 && IsLetter(outside[start - 1])) --start;
        if (start < at && (start == 0 || !IsLetter(outside[start - 1])) &&
            kAbbreviations.count(outside.substr(start, at - start)) != 0) {
            return true;
        }
    }
    return false;
}

bool Defines(const Part& part) {
    const auto& stop = HeadLineWords();
    const std::vector<std::string> words = Words(WithoutGroups(part.plain));
    return std::any_of(words.begin(), words.end(),
                       [&](const std::string& w) { return stop.count(w) == 0; });
}

std::vector<Part> SplitParts(std::string_view html) {
    static const std::string_view kSeparators[] = {"<p>", "</p>", "<br>", "<blockquote>",
                                                   "</blockquote>"};
    std::vector<Part> parts;
    size_t start = 0;
    auto flush = [&](size_t end) {
        std::string piece;
        for (size_t k = start; k < end; ++k) {
            if (html[k] != lexicore::kSenseBreak) piece.push_back(html[k]);
        }
        if (piece.find_first_not_of(' ') != std::string::npos) parts.push_back(ReadPart(piece));
    };
    for (size_t i = 0; i < html.size(); ++i) {
        size_t length = 0;
        for (std::string_view sep : kSeparators) {
            if (html.substr(i).starts_with(sep)) length = sep.size();
        }
        if (length == 0) continue;
        flush(i);
        i += length - 1;
        start = i + 1;
    }
    flush(html.size());
    return parts;
}

bool HasPronunciationMarks(std::string_view text) {
    for (size_t open = text.find('('); open != std::string_view::npos;
         open = text.find('(', open + 1)) {
        const size_t close = text.find_first_of(") \n", open + 1);
        if (close == std::string_view::npos || text[close] != ')' || close - open > 80) continue;
        const std::string_view inner = text.substr(open + 1, close - open - 1);
        // A word quoted in parentheses, ("dust"), is no pronunciation.
        if (!inner.empty() && inner.front() != '\x93' &&
            inner.find_first_of("*\x93\x94") != std::string_view::npos &&
            std::any_of(inner.begin(), inner.end(), IsLetter)) {
            return true;
        }
    }
    return false;
}

bool HasHtmlDebris(std::string_view text) {
    const std::string folded = lexicore::Fold(text);
    for (size_t at = folded.find("href"); at != std::string::npos;
         at = folded.find("href", at + 1)) {
        size_t after = at + 4;
        while (after < folded.size() && folded[after] == ' ') ++after;
        if (after < folded.size() && folded[after] == '=') return true;
    }
    return folded.find("http:]") != std::string::npos;
}

// UTF-8 read as Windows-1252: "Ã©" for "é", "â€™" for "’". A stress mark or
// middle dot after a capital A with a tilde is the source's own.
bool HasMojibake(std::string_view text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const auto next = static_cast<unsigned char>(text[i + 1]);
        if (lead == 0xC3 && next >= 0x80 && next <= 0xBF && next != 0xB4 && next != 0xB7) {
            return true;
        }
        if (lead == 0xE2 && next == 0x80) return true;
    }
    return false;
}

// Whether the italic run `run` that starts at html[open] may be a reference:
// not a quotation, a label or a part of speech leading a paragraph, nor a
// run with a character that Windows-1252 lacks, which no headword has.
bool MayBeReference(std::string_view html, size_t open, std::string_view run) {
    const std::string_view before = html.substr(0, open);
    const size_t link = before.rfind(kLinkStart);
    const size_t link_end = before.rfind(kLinkEnd);
    const bool linked =
        link != std::string_view::npos && (link_end == std::string_view::npos || link_end < link);
    if (linked || before.ends_with("<blockquote>") || before.ends_with("<p>") ||
        run.find("&#") != std::string_view::npos) {
        return false;
    }
    const auto& head_line = HeadLineWords();
    const std::vector<std::string> words = Words(run);
    return !std::all_of(words.begin(), words.end(),
                        [&](const std::string& w) { return head_line.count(w) != 0; });
}

}  // namespace

std::vector<EntryLink> FindLinks(std::string_view html) {
    std::vector<EntryLink> links;
    for (size_t at = html.find(kLinkStart); at != std::string_view::npos;
         at = html.find(kLinkStart, at + 1)) {
        const size_t target_from = at + kLinkStart.size();
        const size_t target_end = html.find('"', target_from);
        const size_t tag_end = html.find('>', target_from);
        const size_t end = html.find(kLinkEnd, target_from);
        if (target_end == std::string_view::npos || tag_end == std::string_view::npos ||
            end == std::string_view::npos || end < tag_end) {
            break;
        }
        EntryLink& link = links.emplace_back();
        link.target = Decoded(html.substr(target_from, target_end - target_from));
        link.shown = Decoded(html.substr(tag_end + 1, end - tag_end - 1));
    }
    return links;
}

bool ShowsUnlinkedReference(std::string_view html,
                            const std::function<bool(std::string_view)>& names_headword) {
    for (size_t open = html.find("<i>"); open != std::string_view::npos;
         open = html.find("<i>", open + 1)) {
        const size_t from = open + 3;
        const size_t close = std::min(html.find("</i>", from), html.size());
        const std::string_view run = html.substr(from, close - from);
        const std::string_view before = html.substr(0, open);
        if (before.ends_with("Synonyms: ") || before.ends_with("Antonyms: ")) {
            for (size_t start = 0; start <= run.size();) {
                const size_t comma = std::min(run.find(", ", start), run.size());
                const std::string_view word = run.substr(start, comma - start);
                if (!word.starts_with(kLinkStart) && names_headword(Decoded(word))) return true;
                start = comma + 2;
            }
        } else if (MayBeReference(html, open, run)) {
            const std::string shown = Decoded(run);
            if (names_headword(ReferencedWord(shown))) return true;
        }
    }
    return false;
}

std::string LetterKey(std::string_view s) {
    std::string key = lexicore::MatchFold(s);
    std::erase_if(key, [](char c) { return !((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')); });
    return key;
}

bool ShowsHeadLineOf(std::string_view html, std::string_view word) {
    const std::string key = LetterKey(word);
    for (const Part& part : SplitParts(html)) {
        if (part.leads_with_form && LetterKey(part.bold.front()) == key &&
            NamesPartOfSpeech(part.visible)) {
            return true;
        }
    }
    return false;
}

EntryFindings CheckEntry(std::string_view headword, std::string_view html, std::string_view text) {
    EntryFindings found;
    const std::vector<Part> parts = SplitParts(html);
    const std::string key = LetterKey(headword);
    for (size_t i = 0; i < parts.size(); ++i) {
        const Part& part = parts[i];
        const bool defines = Defines(part);
        found.definition = found.definition || defines;
        if (defines || part.run_on || !part.leads_with_form || !NamesPartOfSpeech(part.visible)) {
            continue;
        }
        const bool names_headword = std::any_of(part.bold.begin(), part.bold.end(),
                                                [&](const auto& b) { return LetterKey(b) == key; });
        const bool followed = i + 1 < parts.size() && !parts[i + 1].leads_with_form;
        if (!names_headword && !followed) found.stray_head_line = true;
    }
    found.pronunciation_marks = HasPronunciationMarks(text);
    found.html_debris = HasHtmlDebris(text);
    found.mojibake = HasMojibake(text);
    return found;
}

}  // namespace lexivane_dict
