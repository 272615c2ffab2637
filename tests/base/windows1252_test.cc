#include "base/windows1252.h"

#include <gtest/gtest.h>

namespace lexivane_base {
namespace {

TEST(Windows1252, BytesAndCharactersMapBothWays) {
    EXPECT_EQ(Windows1252Byte(U'a'), 'a');
    EXPECT_EQ(Windows1252Byte(0x00FF), 0xFF);
    EXPECT_EQ(Windows1252Byte(0x20AC), 0x80);
    EXPECT_EQ(Windows1252Byte(0x0178), 0x9F);
    EXPECT_EQ(Windows1252Byte(0x0081), -1) << "C1 controls have no byte";
    EXPECT_EQ(Windows1252Byte(0x0100), -1);
    EXPECT_EQ(Windows1252Byte(kReplacementCharacter), -1);
    int unassigned = 0;
    for (int byte = 0; byte < 0x100; ++byte) {
        const char32_t character = Windows1252Character(static_cast<unsigned char>(byte));
        if (character == kReplacementCharacter) {
            ++unassigned;
        } else {
            EXPECT_EQ(Windows1252Byte(character), byte);
        }
    }
    EXPECT_EQ(unassigned, 5) << "0x81, 0x8D, 0x8F, 0x90 and 0x9D";
    EXPECT_EQ(Windows1252Character(0x80), U'\u20AC');
    EXPECT_EQ(Windows1252Character(0xE9), U'\u00E9');
}

}  // namespace
}  // namespace lexivane_base
