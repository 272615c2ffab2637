#include "tools/wordnet.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "engine/lexicore.h"
#include "lexicore/collation.h"
#include "tools/encoding.h"
#include "tools/source_file.h"

namespace lexivane_dict {
namespace {

constexpr std::string_view kOpenDouble = "\u201c";
constexpr std::string_view kCloseDouble = "\u201d";
constexpr std::string_view kOpenSingle = "\u2018";
constexpr std::string_view kCloseSingle = "\u2019";

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string Spaced(std::string_view s) {
    std::string out(s);
    std::replace(out.begin(), out.end(), '_', ' ');
    return out;
}

bool IsLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

// WordNet's plain quotation marks as typographic ones: "..." pairs (an
// unclosed one closed at the end, a lone one at the end taken as closing)
// and `...' (the closing mark is the first apostrophe not inside a word).
std::string Typeset(std::string_view s) {
    std::string out;
    bool in_double = false;
    bool in_single = false;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            // A mark at the very end closes a quotation whose opening the source left out.
            const bool closing = in_double || i + 1 == s.size();
            out.append(closing ? kCloseDouble : kOpenDouble);
            in_double = !closing;
        } else if (c == '`') {
            out.append(kOpenSingle);
            in_single = true;
        } else if (c == '\'' && in_single && (i + 1 == s.size() || !IsLetter(s[i + 1]))) {
            out.append(kCloseSingle);
            in_single = false;
        } else {
            out.push_back(c == '_' ? ' ' : c);
        }
    }
    if (in_double) out.append(kCloseDouble);
    return out;
}

// WordNet marks adjectives used only before a noun "(a)", only after a verb
// "(p)" and only right after a noun "(ip)"; the marks are for its own tools.
std::string_view WithoutSyntacticMarker(std::string_view word) {
    for (const std::string_view marker : {"(a)", "(p)", "(ip)"}) {
        if (word.ends_with(marker)) return word.substr(0, word.size() - marker.size());
    }
    return word;
}

// Removes every "[tag: {a}, {b}]" list from *body and returns its words.
std::vector<std::string> TakeList(std::string* body, std::string_view tag) {
    std::vector<std::string> words;
    const std::string opening = "[" + std::string(tag) + ":";
    size_t start;
    while ((start = body->find(opening)) != std::string::npos) {
        // A list the source left unclosed runs to the end of the sense.
        const size_t list_start = start + opening.size();
        const size_t end = std::min(body->find(']', list_start), body->size());
        const std::string_view list(body->data() + list_start, end - list_start);
        size_t pos = 0;
        while ((pos = list.find('{', pos)) != std::string_view::npos) {
            const size_t close = list.find('}', pos);
            if (close == std::string_view::npos) break;
            const std::string_view word =
                Trim(WithoutSyntacticMarker(list.substr(pos + 1, close - pos - 1)));
            if (!word.empty()) words.push_back(Spaced(word));
            pos = close + 1;
        }
        body->erase(start, std::min(end + 1, body->size()) - start);
    }
    return words;
}

// Splits "definition; "example"; "example"" into its parts.
void SplitGloss(std::string_view gloss, Sense* sense) {
    gloss = Trim(gloss);
    size_t quote = std::string_view::npos;
    for (size_t p = gloss.find('"'); p != std::string_view::npos; p = gloss.find('"', p + 1)) {
        if (p == 0 || (p >= 2 && gloss.substr(p - 2, 2) == "; ")) {
            quote = p;
            break;
        }
    }
    if (quote == std::string_view::npos) {
        sense->definition = Typeset(Trim(gloss));
        return;
    }
    sense->definition = Typeset(Trim(gloss.substr(0, quote == 0 ? 0 : quote - 2)));
    // Each example starts a new quotation. A few WordNet examples lack their
    // closing mark, so the examples are split at every opening mark after a
    // "; ", and Typeset closes what is left open. A few lack their opening
    // mark instead: text after a closed quotation and "; " that ends with a
    // mark is an example of its own.
    std::string_view rest = gloss.substr(quote);
    while (!rest.empty()) {
        size_t next = rest.find("; \"", 1);
        const size_t after_close = rest.find("\"; ", 1);
        if (after_close < next && rest.substr(0, next).ends_with('"')) next = after_close + 1;
        std::string_view example = Trim(rest.substr(0, next));
        while (example.ends_with(';')) example = Trim(example.substr(0, example.size() - 1));
        if (!example.empty()) {
            sense->examples.push_back(example.front() == '"' || !example.ends_with('"')
                                          ? Typeset(example)
                                          : Typeset("\"" + std::string(example)));
        }
        rest = next == std::string_view::npos ? std::string_view() : rest.substr(next + 2);
    }
}

bool PartOfSpeechLabel(std::string_view abbreviation, std::string* label) {
    if (abbreviation == "n") {
        *label = "noun";
    } else if (abbreviation == "v") {
        *label = "verb";
    } else if (abbreviation == "adj") {
        *label = "adjective";
    } else if (abbreviation == "adv") {
        *label = "adverb";
    } else {
        return false;
    }
    return true;
}

// Splits a sense line "n 1: text" or "2: text" (indentation removed).
bool ParseSenseStart(std::string_view line, std::string_view* abbreviation,
                     std::string_view* text) {
    const size_t colon = line.find(": ");
    if (colon == std::string_view::npos) return false;
    std::string_view head = line.substr(0, colon);
    const size_t space = head.rfind(' ');
    *abbreviation = space == std::string_view::npos ? std::string_view() : head.substr(0, space);
    const std::string_view number = space == std::string_view::npos ? head : head.substr(space + 1);
    if (number.empty() ||
        !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    *text = line.substr(colon + 2);
    return true;
}

size_t Indent(std::string_view line) {
    size_t n = 0;
    while (n < line.size() && line[n] == ' ') ++n;
    return n;
}

}  // namespace

bool ReadWordNetSpellings(const std::string& dir, WordNetSpellings* spellings, std::string* error) {
    for (const char* name : {"data.noun", "data.verb", "data.adj", "data.adv"}) {
        const std::string path = dir + "/" + name;
        std::string contents;
        if (!ReadSourceFile(path, &contents, error)) return false;
        // "03044741 01 a 01 Arabic 0 002 + ...": offset, file, type, the
        // number of words in hexadecimal, then each word and its sense id.
        // The licence at the top is indented.
        const bool ok = ForEachLine(contents, [&](std::string_view line, int number) {
            if (line.empty() || line.front() == ' ') return true;
            std::vector<std::string_view> fields;
            for (size_t pos = 0; pos < line.size() && fields.size() < 4;) {
                const size_t end = std::min(line.find(' ', pos), line.size());
                fields.push_back(line.substr(pos, end - pos));
                pos = end + 1;
            }
            size_t words = 0;
            if (fields.size() < 4 || fields[3].empty() ||
                fields[3].find_first_not_of("0123456789abcdef") != std::string_view::npos) {
                *error = LineError(path, number, "expected a synset line");
                return false;
            }
            words = std::stoul(std::string(fields[3]), nullptr, 16);
            size_t pos = static_cast<size_t>(fields[3].data() - line.data()) + fields[3].size() + 1;
            for (size_t w = 0; w < words; ++w) {
                const size_t end = std::min(line.find(' ', pos), line.size());
                if (pos >= line.size() || end == pos) {
                    *error = LineError(path, number, "synset line ends before its words");
                    return false;
                }
                const std::string spelling =
                    Spaced(WithoutSyntacticMarker(line.substr(pos, end - pos)));
                std::vector<std::string>& known = (*spellings)[Lower(spelling)];
                if (std::find(known.begin(), known.end(), spelling) == known.end()) {
                    known.push_back(spelling);
                }
                pos = std::min(line.find(' ', end + 1), line.size()) + 1;  // past the sense id
            }
            return true;
        });
        if (!ok) return false;
    }
    return true;
}

std::string OnlySpelling(const WordNetSpellings& spellings, const std::string& word) {
    const auto it = spellings.find(word);
    if (it == spellings.end() || it->second.size() != 1 || it->second[0] == word) return "";
    return it->second[0];
}

bool ParseWordNetEntry(const DictdRecord& record, const WordNetSpellings* spellings, Entry* entry,
                       std::string* error) {
    entry->senses.clear();
    entry->parts_of_speech = 0;
    std::vector<std::string> bodies;
    std::string spelling;
    std::string label;
    bool ok = ForEachLine(record.text, [&](std::string_view line, int number) {
        if (number == 1) {
            spelling = Trim(line);
            return true;
        }
        if (Trim(line).empty()) return true;
        const size_t indent = Indent(line);
        if (indent > 4 && !bodies.empty()) {
            // A line broken after a hyphen continues the word without a space.
            std::string& body = bodies.back();
            if (body.size() < 2 || body.back() != '-' || !IsLetter(body[body.size() - 2])) {
                body.push_back(' ');
            }
            body.append(Trim(line));
            return true;
        }
        std::string_view abbreviation;
        std::string_view text;
        if (indent != 4 || !ParseSenseStart(line.substr(indent), &abbreviation, &text)) {
            *error = record.Error("entry '" + record.headword + "': unexpected line '" +
                                  std::string(Trim(line)) + "'");
            return false;
        }
        if (!abbreviation.empty() && !PartOfSpeechLabel(abbreviation, &label)) {
            *error = record.Error("entry '" + record.headword + "': unknown part of speech '" +
                                  std::string(abbreviation) + "'");
            return false;
        }
        if (label.empty()) {
            *error =
                record.Error("entry '" + record.headword + "': sense without a part of speech");
            return false;
        }
        entry->senses.emplace_back().part_of_speech = label;
        entry->parts_of_speech |= PartOfSpeechBit(label);
        bodies.emplace_back(Trim(text));
        return true;
    });
    if (!ok) return false;
    if (entry->senses.empty()) {
        *error = record.Error("entry '" + record.headword + "' has no senses");
        return false;
    }

    const std::string lower = Lower(record.headword);
    const bool known = spellings != nullptr && spellings->count(lower) != 0;
    bool lower_case_form = Lower(spelling) != lower || spelling == lower ||
                           (!known && entry->parts_of_speech != lexicore::kNoun);
    for (size_t i = 0; i < bodies.size(); ++i) {
        Sense& sense = entry->senses[i];
        for (std::string& word : TakeList(&bodies[i], "syn")) {
            if (word == lower) lower_case_form = true;
            if (Lower(word) != lower) sense.synonyms.push_back(std::move(word));
        }
        sense.antonyms = TakeList(&bodies[i], "ant");
        SplitGloss(bodies[i], &sense);
    }
    if (known) {
        // Capitals stay unless WordNet also writes the word in lower case.
        const std::vector<std::string>& forms = spellings->at(lower);
        const bool lower_form = std::find(forms.begin(), forms.end(), lower) != forms.end();
        if (lower_form || Lower(spelling) != lower) {
            entry->headword = record.headword;
        } else {
            entry->headword = forms.size() == 1 ? forms.front() : spelling;
        }
    } else {
        entry->headword = lower_case_form ? record.headword : spelling;
    }
    return true;
}

bool ReadWordNet(const std::string& index_path, const std::string& data_path,
                 const std::unordered_set<std::string>* keep, const WordNetSpellings* spellings,
                 std::vector<lexicore::SourceEntry>* entries, std::string* error,
                 LinkCounts* links) {
    // Every headword is known before the first entry is laid out with links.
    std::vector<Entry> parsed;
    const bool ok = ReadDictd(
        index_path, data_path,
        [&](const DictdRecord& record, std::string* visit_error) {
            if (keep != nullptr && !keep->contains(record.headword)) return true;
            return ParseWordNetEntry(record, spellings, &parsed.emplace_back(), visit_error);
        },
        error);
    if (!ok) return false;
    LinkTargets targets;
    for (const Entry& entry : parsed) targets.Add(ToWindows1252(entry.headword));
    LinkCounts counts;
    for (const Entry& entry : parsed) {
        const EntryLinks entry_links{&targets, lexicore::Fold(ToWindows1252(entry.headword))};
        lexicore::SourceEntry laid_out = LayOutEntry(entry, &entry_links);
        if (ShownBytes(laid_out.html) + 1 > LXV_PRINT_BUFFER_SIZE) {
            laid_out = LayOutEntry(entry);
            ++counts.dropped;
        }
        counts.written += CountLinks(laid_out.html);
        entries->push_back(std::move(laid_out));
    }
    if (links != nullptr) *links = counts;
    return true;
}

bool ReadWordNetExceptionList(const std::string& path,
                              std::vector<std::pair<std::string, std::string>>* pairs,
                              std::string* error) {
    std::string contents;
    if (!ReadSourceFile(path, &contents, error)) return false;
    return ForEachLine(contents, [&](std::string_view line, int number) {
        std::vector<std::string> words;
        size_t pos = 0;
        while (pos < line.size()) {
            const size_t end = std::min(line.find(' ', pos), line.size());
            if (end > pos) words.push_back(Lower(Spaced(line.substr(pos, end - pos))));
            pos = end + 1;
        }
        if (words.empty()) return true;
        if (words.size() < 2) {
            *error = LineError(path, number, "expected an inflected form and its base form");
            return false;
        }
        for (size_t i = 1; i < words.size(); ++i) {
            if (words[0] != words[i]) pairs->emplace_back(words[0], words[i]);
        }
        return true;
    });
}

bool ReadWordNetExceptions(const std::string& dir,
                           std::vector<std::pair<std::string, std::string>>* pairs,
                           std::string* error) {
    std::vector<std::pair<std::string, std::string>> all;
    for (const char* name : {"noun.exc", "verb.exc", "adj.exc", "adv.exc"}) {
        if (!ReadWordNetExceptionList(dir + "/" + name, &all, error)) return false;
    }
    std::set<std::pair<std::string, std::string>> seen;
    for (auto& pair : all) {
        if (seen.insert(pair).second) pairs->push_back(std::move(pair));
    }
    return true;
}

std::vector<std::pair<std::string, std::string>> CommonIrregularForms() {
    return {{"being", "be"}, {"does", "do"}, {"doing", "do"}, {"its", "it"}};
}

bool ReadCountedLemmas(const std::string& path, std::unordered_set<std::string>* lemmas,
                       std::string* error) {
    std::string contents;
    if (!ReadSourceFile(path, &contents, error)) return false;
    return ForEachLine(contents, [&](std::string_view line, int number) {
        if (Trim(line).empty()) return true;
        const size_t percent = line.find('%');
        const size_t last_space = line.rfind(' ');
        if (percent == 0 || percent == std::string_view::npos ||
            last_space == std::string_view::npos || last_space < percent) {
            *error = LineError(path, number, "expected a sense key, a sense number and a count");
            return false;
        }
        const std::string_view count = line.substr(last_space + 1);
        if (count.empty() ||
            !std::all_of(count.begin(), count.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            *error = LineError(path, number, "invalid count '" + std::string(count) + "'");
            return false;
        }
        if (count.find_first_not_of('0') != std::string_view::npos) {
            lemmas->insert(Lower(Spaced(line.substr(0, percent))));
        }
        return true;
    });
}

}  // namespace lexivane_dict
