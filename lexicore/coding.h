// Little-endian fixed-width integers in the mapped file. The Decode functions
// treat their input as untrusted: they take the end of the readable range and
// fail instead of reading past it.
#ifndef LEXIVANE_LEXICORE_CODING_H_
#define LEXIVANE_LEXICORE_CODING_H_

#include <cstdint>
#include <cstring>
#include <string>

namespace lexicore {

// Reads without any check; callers have already proved that 4 (or 8) bytes
// are readable at p.
inline uint32_t LoadU32(const char* p) {
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;  // the file is little-endian, as is every machine we build for
}

inline uint64_t LoadU64(const char* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Reads the value at p when [p, p + size) lies within [p, limit); returns
// false and leaves *out alone otherwise.
inline bool DecodeU32(const char* p, const char* limit, uint32_t* out) {
    if (p == nullptr || limit < p || limit - p < 4) return false;
    *out = LoadU32(p);
    return true;
}

inline bool DecodeU64(const char* p, const char* limit, uint64_t* out) {
    if (p == nullptr || limit < p || limit - p < 8) return false;
    *out = LoadU64(p);
    return true;
}

inline void PutU32(std::string* dst, uint32_t v) {
    char buf[4];
    std::memcpy(buf, &v, sizeof v);
    dst->append(buf, sizeof buf);
}

inline void PutU64(std::string* dst, uint64_t v) {
    char buf[8];
    std::memcpy(buf, &v, sizeof v);
    dst->append(buf, sizeof buf);
}

inline void StoreU32(char* p, uint32_t v) {
    std::memcpy(p, &v, sizeof v);
}
inline void StoreU64(char* p, uint64_t v) {
    std::memcpy(p, &v, sizeof v);
}

}  // namespace lexicore

#endif  // LEXIVANE_LEXICORE_CODING_H_
