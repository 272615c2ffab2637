// A Bloom filter over words compared ignoring case: it says "certainly not
// there" for most absent words without a search. Each word sets four bits of
// one 64-bit word (about 10 bits per word in all, a few percent false hits).
#ifndef LEXIVANE_LEXICORE_WORD_FILTER_H_
#define LEXIVANE_LEXICORE_WORD_FILTER_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace lexicore {

// Number of 64-bit words a filter of `count` words needs (at least 1).
size_t FilterWordsFor(size_t count);

// Adds s (ignoring case) to the filter held in `words` (not empty).
void AddToFilter(std::vector<uint64_t>* words, std::string_view s);

// A filter in memory or in the mapped file: `data` holds `count` 64-bit
// little-endian words. An empty view (count 0) may contain anything.
class FilterView {
  public:
    FilterView() = default;
    FilterView(const char* data, uint32_t count) : data_(data), count_(count) {}

    // False only when s (ignoring case) was never added.
    bool MayContain(std::string_view s) const;

  private:
    const char* data_ = nullptr;
    uint32_t count_ = 0;
};

}  // namespace lexicore

#endif  // LEXIVANE_LEXICORE_WORD_FILTER_H_
