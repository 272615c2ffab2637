// Windows-1252, the 8-bit character set of the engine's text and of the
// dictionary files: one byte a character, Latin-1 except that the bytes
// 0x80..0x9F carry 27 typographic characters (the euro sign, curly quotation
// marks, dashes, Œ, Š, ...) and leave five (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// without one. The code page's one table, for the engine, the compiler and
// the program.
#ifndef LEXIVANE_BASE_WINDOWS1252_H_
#define LEXIVANE_BASE_WINDOWS1252_H_

#include <array>
#include <cstddef>

namespace lexivane_base {

// What Windows1252Character gives for the five bytes without a character:
// U+FFFD, the character that stands for one that cannot be shown.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The characters of the bytes 0x80..0x9F; kReplacementCharacter where the
// code page has none.
inline constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

// The Unicode character that Windows-1252 byte `byte` stands for;
// kReplacementCharacter for the five bytes the code page leaves unassigned.
constexpr char32_t Windows1252Character(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : char32_t{byte};
}

// The Windows-1252 byte (0..255) of `code_point`, or -1 when the code page
// has no byte for it (kReplacementCharacter included).
constexpr int Windows1252Byte(char32_t code_point) {
    if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) {
        return static_cast<int>(code_point);
    }
    for (size_t i = 0; i < kWindows1252High.size(); ++i) {
        if (kWindows1252High[i] == code_point && code_point != kReplacementCharacter) {
            return static_cast<int>(0x80 + i);
        }
    }
    return -1;
}

}  // namespace lexivane_base

#endif  // LEXIVANE_BASE_WINDOWS1252_H_
