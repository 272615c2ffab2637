#include "lexicore/word_filter.h"

#include "lexicore/coding.h"
#include "lexicore/collation.h"

namespace lexicore {
namespace {

constexpr size_t kBitsPerWord = 10;
constexpr int kBitsSet = 4;

// The filter word and the bits in it that stand for s.
struct Slot {
    uint64_t word;
    uint64_t mask;
};

Slot SlotOf(std::string_view s, uint64_t count) {
    const uint64_t h = FoldHash(s);
    uint64_t mask = 0;
    for (int j = 0; j < kBitsSet; ++j) mask |= uint64_t{1} << ((h >> (32 + 6 * j)) & 63);
    return Slot{(h & 0xFFFFFFFF) % count, mask};
}

}  // namespace

size_t FilterWordsFor(size_t count) {
    return count * kBitsPerWord / 64 + 1;
}

void AddToFilter(std::vector<uint64_t>* words, std::string_view s) {
    const Slot slot = SlotOf(s, words->size());
    (*words)[slot.word] |= slot.mask;
}

bool FilterView::MayContain(std::string_view s) const {
    if (count_ == 0) return true;
    const Slot slot = SlotOf(s, count_);
    return (LoadU64(data_ + slot.word * 8) & slot.mask) == slot.mask;
}

}  // namespace lexicore
