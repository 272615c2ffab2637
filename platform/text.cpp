#include "platform/text.h"

#include <array>
#include <cstring>
#include <new>

namespace platform {
namespace {

// Windows-1252 bytes 0x80..0x9F; 0 where the code page has no character.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// Windows-1252 leaves five bytes of 0x80..0x9F undefined; they stand for the
// control characters of the same value, so that any byte string survives a
// round trip through UI text.
char ToCp1252(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
    if (unit < 0xA0 && kCp1252High[unit - 0x80] == 0) return static_cast<char>(unit);
    for (size_t i = 0; i < kCp1252High.size(); ++i) {
        if (kCp1252High[i] != 0 && kCp1252High[i] == unit) return static_cast<char>(0x80 + i);
    }
    return '?';
}

}  // namespace

std::unique_ptr<char[]> WideToNarrow(const QString& text) {
    const qsizetype n = text.size();
    if (n == 0) return nullptr;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[static_cast<size_t>(n) + 1]);
    if (buffer == nullptr) return nullptr;
    for (qsizetype i = 0; i < n; ++i) buffer[i] = ToCp1252(text.at(i).unicode());
    buffer[n] = '\0';
    return buffer;
}

QString EngineCharacters(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (const QChar unit : text) {
        if (unit == u'?' || ToCp1252(unit.unicode()) != '?') kept.append(unit);
    }
    return kept;
}

QString NarrowToWide(const char* text) {
    QString result;
    if (text == nullptr) return result;
    const size_t n = std::strlen(text);
    result.reserve(static_cast<qsizetype>(n));
    for (size_t i = 0; i < n; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        char16_t unit = byte;
        if (byte >= 0x80 && byte < 0xA0 && kCp1252High[byte - 0x80] != 0)
            unit = kCp1252High[byte - 0x80];
        result.append(QChar(unit));
    }
    return result;
}

}  // namespace platform
