#include "lexicore/inflection.h"

#include "lexicore/builder.h"
#include "lexicore/collation.h"

namespace lexicore {
namespace {

constexpr size_t kMinBaseLength = 2;

struct Rule {
    std::string_view suffix;
    std::string_view ending;
    uint8_t parts_of_speech;
};

// Suffix replacements tried in this order; the first base that exists with a
// fitting part of speech wins. "-s" comes before "-es" so that horses finds
// horse rather than hors.
constexpr Rule kRules[] = {
    {"s", "", kNoun | kVerb},  {"ies", "y", kNoun | kVerb}, {"ves", "f", kNoun},
    {"ves", "fe", kNoun},      {"es", "", kNoun | kVerb},   {"men", "man", kNoun},
    {"ied", "y", kVerb},       {"ying", "ie", kVerb},       {"ier", "y", kAdjective},
    {"iest", "y", kAdjective},
};

// Suffixes whose stem may have dropped an e or doubled its last consonant.
struct StemRule {
    std::string_view suffix;
    uint8_t parts_of_speech;
};

constexpr StemRule kStemRules[] = {
    {"ed", kVerb},
    {"ing", kVerb},
    {"er", kAdjective},
    {"est", kAdjective},
};

bool IsVowel(char c) {
    return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u';
}

bool IsConsonant(char c) {
    return c >= 'a' && c <= 'z' && !IsVowel(c);
}

// English spelling takes -es, not -s, after a sibilant (bus, box, buzz, church,
// wish) and -ies after a consonant and y: "choruss", "matchs" and "crys" are
// no inflections.
bool TakesEsPlural(std::string_view stem) {
    const size_t n = stem.size();
    if (n == 0) return false;
    const char last = stem[n - 1];
    if (last == 's' || last == 'x' || last == 'z') return true;
    return n >= 2 && (last == 'h' && (stem[n - 2] == 'c' || stem[n - 2] == 's'));
}

bool EndsConsonantY(std::string_view stem) {
    const size_t n = stem.size();
    return n >= 2 && stem[n - 1] == 'y' && IsConsonant(stem[n - 2]);
}

// Whether the bare suffix `suffix` fits the spelling of `stem`: a plain -s
// never follows a sibilant or a consonant and y, and a bare -es follows only a
// sibilant or an o (boxes, wishes, goes, echoes), so that "boldes" is no form
// of bold.
bool SuffixFitsStem(std::string_view suffix, std::string_view stem) {
    if (suffix == "s") return !TakesEsPlural(stem) && !EndsConsonantY(stem);
    if (suffix == "es") return TakesEsPlural(stem) || (!stem.empty() && stem.back() == 'o');
    return true;
}

// A stem ending consonant-vowel-consonant (hop, bak, lat) usually lost an e
// (hoped, baking, later), so its e-form is tried first.
bool EndsConsonantVowelConsonant(std::string_view stem) {
    const size_t n = stem.size();
    if (n < 3) return false;
    const char last = stem[n - 1];
    return IsConsonant(last) && last != 'w' && last != 'x' && last != 'y' && IsVowel(stem[n - 2]) &&
           IsConsonant(stem[n - 3]);
}

// Longer keys are no inflected forms worth a look-up.
constexpr size_t kMaxFormLength = 64;

// Every rule's suffix ends in one of these letters.
bool MayHaveRegularSuffix(std::string_view form) {
    switch (form.back()) {
        case 's':
        case 'd':
        case 'g':
        case 'r':
        case 't':
        case 'n':
            return true;
        default:
            return false;
    }
}

class Matcher {
  public:
    Matcher(const Dictionary& dict, std::string_view folded_form)
        : dict_(dict), form_(folded_form) {}

    // Tries `base` for a rule that needs one of `parts_of_speech`.
    bool Try(std::string_view base, uint8_t parts_of_speech, InflectionBase* out) const {
        if (base.size() < kMinBaseLength) return false;
        const uint32_t index = dict_.Find(base);
        if (index == Dictionary::kNotFound) return false;
        const uint8_t pos = dict_.PartsOfSpeech(index);
        if (pos != 0 && (pos & parts_of_speech) == 0) return false;
        out->index = index;
        out->irregular = false;
        out->base_length = base.size();
        return true;
    }

    // Tries the form without `suffix`, plus `ending`.
    bool TryReplaced(std::string_view suffix, std::string_view ending, uint8_t parts_of_speech,
                     InflectionBase* out) const {
        const size_t stem = form_.size() - suffix.size();
        char base[kMaxFormLength + 8];
        form_.copy(base, stem);
        ending.copy(base + stem, ending.size());
        return Try(std::string_view(base, stem + ending.size()), parts_of_speech, out);
    }

    bool TryRule(const Rule& rule, InflectionBase* out) const {
        if (!form_.ends_with(rule.suffix)) return false;
        if (rule.ending.empty() &&
            !SuffixFitsStem(rule.suffix, form_.substr(0, form_.size() - rule.suffix.size()))) {
            return false;
        }
        return TryReplaced(rule.suffix, rule.ending, rule.parts_of_speech, out);
    }

    bool TryStemRule(const StemRule& rule, InflectionBase* out) const {
        if (!form_.ends_with(rule.suffix)) return false;
        const std::string_view stem = form_.substr(0, form_.size() - rule.suffix.size());
        const uint8_t pos = rule.parts_of_speech;
        if (EndsConsonantVowelConsonant(stem)) {
            if (TryReplaced(rule.suffix, "e", pos, out) || Try(stem, pos, out)) return true;
        } else if (Try(stem, pos, out) || TryReplaced(rule.suffix, "e", pos, out)) {
            return true;
        }
        const size_t n = stem.size();
        return n >= 2 && stem[n - 1] == stem[n - 2] && IsConsonant(stem[n - 1]) &&
               Try(stem.substr(0, n - 1), pos, out);
    }

  private:
    const Dictionary& dict_;
    const std::string_view form_;
};

}  // namespace

InflectionBase FindInflectionBase(const Dictionary& dict, std::string_view form) {
    InflectionBase result;
    if (form.empty() || form.size() > kMaxFormLength || dict.count() == 0) return result;
    char buffer[kMaxFormLength];
    for (size_t i = 0; i < form.size(); ++i) {
        buffer[i] = static_cast<char>(kCollation.fold[static_cast<unsigned char>(form[i])]);
    }
    const std::string_view folded(buffer, form.size());
    const uint32_t irregular = dict.IrregularBase(folded);
    if (irregular != Dictionary::kNotFound) {
        result.index = irregular;
        result.irregular = true;
        const char* base = dict.Headword(irregular);
        result.base_length = base == nullptr ? 0 : std::string_view(base).size();
        return result;
    }
    if (!MayHaveRegularSuffix(folded)) return result;
    const Matcher matcher(dict, folded);
    for (const Rule& rule : kRules) {
        if (matcher.TryRule(rule, &result)) return result;
    }
    for (const StemRule& rule : kStemRules) {
        if (matcher.TryStemRule(rule, &result)) return result;
    }
    return InflectionBase();
}

}  // namespace lexicore
