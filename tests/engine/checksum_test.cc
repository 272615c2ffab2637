#include "lexicore/checksum.h"

#include <gtest/gtest.h>

#include <string>

namespace lexicore {
namespace {

// Published XXH64 values (seed 0), covering the short-input path and the
// 32-byte stripes.
TEST(Checksum, MatchesXxh64) {
    EXPECT_EQ(Checksum64(nullptr, 0), 0xEF46DB3751D8E999ULL);
    EXPECT_EQ(Checksum64("a", 1), 0xD24EC4F1A98C6E5BULL);
    EXPECT_EQ(Checksum64("abc", 3), 0x44BC2CF5AD770999ULL);
    const std::string fox = "The quick brown fox jumps over the lazy dog";
    EXPECT_EQ(Checksum64(fox.data(), fox.size()), 0x0B242D361FDA71BCULL);
}

TEST(Checksum, EveryByteAndLengthMatters) {
    std::string data(100, 'x');
    const uint64_t base = Checksum64(data.data(), data.size());
    for (size_t i = 0; i < data.size(); ++i) {
        std::string d = data;
        d[i] ^= 1;
        EXPECT_NE(Checksum64(d.data(), d.size()), base) << i;
    }
    EXPECT_NE(Checksum64(data.data(), data.size() - 1), base);
}

}  // namespace
}  // namespace lexicore
