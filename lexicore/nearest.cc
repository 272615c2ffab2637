#include "lexicore/nearest.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "lexicore/builder.h"
#include "lexicore/collation.h"
#include "lexicore/inflection.h"

namespace lexicore {
namespace {

constexpr size_t kMinIrregularLength = 2;
constexpr size_t kMinRegularBaseLength = 3;
// The ligatures a key may write out or the other way round; each written-out
// pair may stand for its ligature in a headword. Keys with more pairs than
// this try only their first ones.
constexpr size_t kMaxLigaturePairs = 4;
// How far from a search's landing place headwords of the same letters are looked for.
constexpr uint32_t kMaxSameLetters = 16;

struct Ligature {
    std::string_view pair;
    char ligature;
};
constexpr Ligature kLigatures[] = {{"ae", '\xE6'}, {"oe", '\x9C'}, {"ss", '\xDF'}};

std::string_view HeadwordAt(const Dictionary& dict, uint32_t index) {
    const char* name = dict.Headword(index);
    return name == nullptr ? std::string_view() : std::string_view(name);
}

// The headword, among those sorting with `probe` by their letters, that reads
// `target` with accents and ligatures folded; kNotFound when none does.
uint32_t SameLettersAround(const Dictionary& dict, std::string_view probe,
                           std::string_view target) {
    const uint32_t at = dict.LowerBound(probe);
    for (uint32_t i = at; i < dict.count() && i < at + kMaxSameLetters; ++i) {
        const std::string_view name = HeadwordAt(dict, i);
        if (!PrimaryEquals(name, probe)) break;
        if (MatchFold(name) == target) return i;
    }
    for (uint32_t i = at; i > 0 && at - i < kMaxSameLetters; --i) {
        const std::string_view name = HeadwordAt(dict, i - 1);
        if (!PrimaryEquals(name, probe)) break;
        if (MatchFold(name) == target) return i - 1;
    }
    return Dictionary::kNotFound;
}

// The headword that reads like `key` once accents and ligatures are folded
// ("naïve" for "naive", "AEneid" or "Æneid" for "aeneid"). A ligature sorts
// with its first letter, so each written-out pair of the key is tried both
// as it is and as its ligature.
uint32_t SameLetters(const Dictionary& dict, std::string_view key) {
    const std::string target = MatchFold(key);
    std::vector<std::pair<size_t, char>> pairs;
    for (size_t i = 0; i + 1 < target.size() && pairs.size() < kMaxLigaturePairs; ++i) {
        for (const Ligature& l : kLigatures) {
            if (target.compare(i, 2, l.pair) == 0) {
                pairs.emplace_back(i, l.ligature);
                ++i;
                break;
            }
        }
    }
    for (uint32_t mask = 0; mask < (1u << pairs.size()); ++mask) {
        std::string probe;
        size_t from = 0;
        for (size_t p = 0; p < pairs.size(); ++p) {
            if ((mask & (1u << p)) == 0) continue;
            probe.append(target, from, pairs[p].first - from);
            probe.push_back(pairs[p].second);
            from = pairs[p].first + 2;
        }
        probe.append(target, from);
        const uint32_t found = SameLettersAround(dict, probe, target);
        if (found != Dictionary::kNotFound) return found;
    }
    return Dictionary::kNotFound;
}

// A headword that equals `key` only ignoring case: the base of an irregular
// verb form typed in lower case ("am" for be, not "Am", americium; "led" for
// lead, not "LED"), else the headword itself.
uint32_t CaseVariantOrVerb(const Dictionary& dict, uint32_t at, std::string_view key) {
    if (HeadwordAt(dict, at) == key || !IsLowerCase(key) || IsLowerCase(HeadwordAt(dict, at))) {
        return at;
    }
    const InflectionBase base = FindInflectionBase(dict, key);
    const bool verb = base.index != Dictionary::kNotFound && base.irregular &&
                      (dict.PartsOfSpeech(base.index) & kVerb) != 0;
    return verb ? base.index : at;
}

}  // namespace

uint32_t NearestIndex(const Dictionary& dict, std::string_view key) {
    const uint32_t count = dict.count();
    if (count == 0) return Dictionary::kNotFound;
    // The binary search serves both the exact match and the fallback; the
    // headwords are unique ignoring case, so an equal one is the first at or
    // after the key.
    const uint32_t at = dict.LowerBound(key);
    if (at < count && dict.EqualsAt(at, key)) return CaseVariantOrVerb(dict, at, key);

    const uint32_t same = SameLetters(dict, key);
    if (same != Dictionary::kNotFound) return same;

    const InflectionBase base = FindInflectionBase(dict, key);
    const bool certain = base.irregular ? key.size() >= kMinIrregularLength
                                        : base.base_length >= kMinRegularBaseLength;
    if (base.index != Dictionary::kNotFound && certain) return base.index;

    // A key that writes a ligature out moves the list to where its letters
    // sort ("æsth" among the "aesth" words).
    const std::string folded = MatchFold(key);
    const uint32_t after = folded.size() != key.size() ? dict.LowerBound(folded) : at;
    if (base.index != Dictionary::kNotFound) {
        const char* next = after < count ? dict.Headword(after) : nullptr;
        const bool begins_longer =
            next != nullptr && FoldStartsWith(next, after == at ? std::string_view(key) : folded);
        if (!begins_longer) return base.index;
    }
    return after < count ? after : count - 1;
}

}  // namespace lexicore
