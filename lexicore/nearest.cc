#include "lexicore/nearest.h"

#include <cstddef>

#include "lexicore/collation.h"
#include "lexicore/inflection.h"

namespace lexicore {
namespace {

constexpr size_t kMinIrregularPrefixLength = 3;
constexpr size_t kMinRegularBaseLength = 3;

}  // namespace

uint32_t NearestIndex(const Dictionary& dict, std::string_view key) {
    const uint32_t count = dict.count();
    if (count == 0) return Dictionary::kNotFound;
    // The binary search serves both the exact match and the fallback; the
    // headwords are unique ignoring case, so an equal one is the first at or
    // after the key.
    const uint32_t at = dict.LowerBound(key);
    if (at < count && dict.EqualsAt(at, key)) return at;

    const InflectionBase base = FindInflectionBase(dict, key);
    const bool certain = base.irregular ? key.size() >= kMinIrregularPrefixLength
                                        : base.base_length >= kMinRegularBaseLength;
    if (base.index != Dictionary::kNotFound && certain) return base.index;

    if (base.index != Dictionary::kNotFound) {
        const char* next = at < count ? dict.Headword(at) : nullptr;
        const bool begins_longer = next != nullptr && FoldStartsWith(next, key);
        if (!begins_longer) return base.index;
    }
    return at < count ? at : count - 1;
}

}  // namespace lexicore
