#include "platform/text.h"

#include <cstring>
#include <new>

#include "base/windows1252.h"

namespace platform {
namespace {

using lexivane_base::kReplacementCharacter;
using lexivane_base::Windows1252Character;

// The five bytes of 0x80..0x9F that Windows-1252 leaves without a character
// stand for the control characters of the same value, so that any byte
// string survives a round trip through UI text.
char16_t FromCp1252(unsigned char byte) {
    const char32_t character = Windows1252Character(byte);
    return character == kReplacementCharacter ? char16_t{byte} : static_cast<char16_t>(character);
}

char ToCp1252(char16_t unit) {
    if (unit >= 0x80 && unit < 0xA0 &&
        Windows1252Character(static_cast<unsigned char>(unit)) == kReplacementCharacter)
        return static_cast<char>(unit);
    const int byte = lexivane_base::Windows1252Byte(unit);
    return byte >= 0 ? static_cast<char>(byte) : '?';
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
        result.append(QChar(FromCp1252(static_cast<unsigned char>(text[i]))));
    }
    return result;
}

}  // namespace platform
