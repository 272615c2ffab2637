#include "tools/encoding.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "base/windows1252.h"

namespace lexivane_dict {
namespace {

using lexivane_base::Windows1252Byte;

constexpr char32_t kMalformed = 0xFFFFFFFF;

// The characters HTML text writes as entities.
struct Entity {
    char32_t character;
    std::string_view text;
};
constexpr Entity kEntities[] = {
    {'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"}, {'\'', "&#39;"},
};

// Decodes one character at text[*pos] and advances *pos past it; a malformed
// sequence yields kMalformed and advances by one byte.
char32_t NextCodePoint(std::string_view text, size_t* pos) {
    const auto lead = static_cast<unsigned char>(text[*pos]);
    size_t extra;
    char32_t cp;
    char32_t minimum;
    if (lead < 0x80) {
        ++*pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, cp = lead & 0x07, minimum = 0x10000;
    } else {
        ++*pos;
        return kMalformed;
    }
    if (text.size() - *pos <= extra) {
        ++*pos;
        return kMalformed;
    }
    for (size_t i = 1; i <= extra; ++i) {
        const auto byte = static_cast<unsigned char>(text[*pos + i]);
        if ((byte & 0xC0) != 0x80) {
            ++*pos;
            return kMalformed;
        }
        cp = (cp << 6) | (byte & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++*pos;
        return kMalformed;
    }
    *pos += extra + 1;
    return cp;
}

bool IsControl(char32_t cp) {
    return cp < 0x20 || cp == 0x7F;
}

// Characters a terminal acts on or that reorder the text shown around them:
// controls (C0, DEL, C1) and the bidirectional marks, embeddings and isolates.
bool ActsOnTheTerminal(char32_t cp) {
    return IsControl(cp) || (cp >= 0x80 && cp <= 0x9F) || cp == 0x200E || cp == 0x200F ||
           (cp >= 0x202A && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069);
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size()) {
        if (NextCodePoint(text, &pos) == kMalformed) return false;
    }
    return true;
}

void AppendWindows1252(std::string_view utf8, std::string* out) {
    size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t cp = NextCodePoint(utf8, &pos);
        if (cp == kMalformed) {
            out->push_back('?');
        } else if (IsControl(cp)) {
            out->push_back(' ');
        } else {
            const int byte = Windows1252Byte(cp);
            out->push_back(byte < 0 ? '?' : static_cast<char>(byte));
        }
    }
}

std::string ToWindows1252(std::string_view utf8) {
    std::string out;
    AppendWindows1252(utf8, &out);
    return out;
}

void AppendHtmlEscaped(std::string_view utf8, std::string* out) {
    size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t cp = NextCodePoint(utf8, &pos);
        const auto entity = std::find_if(std::begin(kEntities), std::end(kEntities),
                                         [cp](const Entity& e) { return e.character == cp; });
        if (entity != std::end(kEntities)) {
            out->append(entity->text);
        } else if (cp == kMalformed) {
            out->push_back('?');
        } else if (IsControl(cp)) {
            out->push_back(' ');
        } else if (const int byte = Windows1252Byte(cp); byte >= 0) {
            out->push_back(static_cast<char>(byte));
        } else {
            out->append("&#" + std::to_string(static_cast<uint32_t>(cp)) + ";");
        }
    }
}

std::string HtmlEscaped(std::string_view utf8) {
    std::string out;
    AppendHtmlEscaped(utf8, &out);
    return out;
}

std::string Windows1252ToUtf8(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const char32_t cp = lexivane_base::Windows1252Character(static_cast<unsigned char>(c));
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::string PrintableText(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t start = pos;
        const char32_t cp = NextCodePoint(text, &pos);
        if (cp == '\n') {
            out.push_back('\n');
        } else if (cp == '\\') {
            out.append("\\\\");
        } else if (cp == kMalformed || ActsOnTheTerminal(cp)) {
            for (size_t i = start; i < pos; ++i) {
                const auto byte = static_cast<unsigned char>(text[i]);
                out.append("\\x").push_back(kHex[byte >> 4]);
                out.push_back(kHex[byte & 0xF]);
            }
        } else {
            out.append(text.substr(start, pos - start));
        }
    }
    return out;
}

}  // namespace lexivane_dict
