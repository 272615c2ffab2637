#include "lexicore/checksum.h"

#include <bit>

#include "lexicore/coding.h"

namespace lexicore {
namespace {

constexpr uint64_t kPrime1 = 0x9E3779B185EBCA87ULL;
constexpr uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;
constexpr uint64_t kPrime3 = 0x165667B19E3779F9ULL;
constexpr uint64_t kPrime4 = 0x85EBCA77C2B2AE63ULL;
constexpr uint64_t kPrime5 = 0x27D4EB2F165667C5ULL;

uint64_t Round(uint64_t acc, uint64_t input) {
    acc += input * kPrime2;
    acc = std::rotl(acc, 31);
    return acc * kPrime1;
}

uint64_t MergeRound(uint64_t acc, uint64_t val) {
    acc ^= Round(0, val);
    return acc * kPrime1 + kPrime4;
}

}  // namespace

uint64_t Checksum64(const char* data, size_t size) {
    const char* p = data;
    const char* const end = data + size;
    uint64_t h;
    if (size >= 32) {
        uint64_t v1 = kPrime1 + kPrime2;
        uint64_t v2 = kPrime2;
        uint64_t v3 = 0;
        uint64_t v4 = 0 - kPrime1;
        const char* const last_stripe = end - 32;
        do {
            v1 = Round(v1, LoadU64(p));
            v2 = Round(v2, LoadU64(p + 8));
            v3 = Round(v3, LoadU64(p + 16));
            v4 = Round(v4, LoadU64(p + 24));
            p += 32;
        } while (p <= last_stripe);
        h = std::rotl(v1, 1) + std::rotl(v2, 7) + std::rotl(v3, 12) + std::rotl(v4, 18);
        h = MergeRound(h, v1);
        h = MergeRound(h, v2);
        h = MergeRound(h, v3);
        h = MergeRound(h, v4);
    } else {
        h = kPrime5;
    }
    h += static_cast<uint64_t>(size);
    while (end - p >= 8) {
        h ^= Round(0, LoadU64(p));
        h = std::rotl(h, 27) * kPrime1 + kPrime4;
        p += 8;
    }
    if (end - p >= 4) {
        h ^= static_cast<uint64_t>(LoadU32(p)) * kPrime1;
        h = std::rotl(h, 23) * kPrime2 + kPrime3;
        p += 4;
    }
    while (p < end) {
        h ^= static_cast<uint64_t>(static_cast<unsigned char>(*p)) * kPrime5;
        h = std::rotl(h, 11) * kPrime1;
        ++p;
    }
    h ^= h >> 33;
    h *= kPrime2;
    h ^= h >> 29;
    h *= kPrime3;
    h ^= h >> 32;
    return h;
}

}  // namespace lexicore
