// The file's checksum: XXH64 with seed 0. Fast enough to verify the whole
// index region of a large dictionary at every open.
#ifndef LEXIVANE_LEXICORE_CHECKSUM_H_
#define LEXIVANE_LEXICORE_CHECKSUM_H_

#include <cstddef>
#include <cstdint>

namespace lexicore {

// Checksum of data[0..size). data may be null when size is 0.
uint64_t Checksum64(const char* data, size_t size);

}  // namespace lexicore

#endif  // LEXIVANE_LEXICORE_CHECKSUM_H_
