#include "lexicore/entry_text.h"

#include <cstddef>
#include <cstdint>

namespace lexicore {
namespace {

// Code points of the Windows-1252 bytes 0x80..0x9F; 0 where the byte is unused.
constexpr char16_t kHighBytes[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char Windows1252Byte(uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (int i = 0; i < 32; ++i) {
        if (kHighBytes[i] != 0 && kHighBytes[i] == cp) return static_cast<char>(0x80 + i);
    }
    return '?';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool EqualsLower(std::string_view s, std::string_view lower) {
    if (s.size() != lower.size()) return false;
    for (size_t i = 0; i < s.size(); ++i) {
        if (Lower(s[i]) != lower[i]) return false;
    }
    return true;
}

// Decodes the reference body between '&' and ';'; false when it is none.
bool DecodeReference(std::string_view body, char* out) {
    if (body.size() >= 2 && body[0] == '#') {
        const bool hex = body[1] == 'x' || body[1] == 'X';
        const size_t start = hex ? 2 : 1;
        if (start >= body.size() || body.size() - start > 7) return false;
        uint32_t cp = 0;
        for (size_t i = start; i < body.size(); ++i) {
            const char c = Lower(body[i]);
            uint32_t digit;
            if (c >= '0' && c <= '9') {
                digit = static_cast<uint32_t>(c - '0');
            } else if (hex && c >= 'a' && c <= 'f') {
                digit = static_cast<uint32_t>(c - 'a' + 10);
            } else {
                return false;
            }
            cp = cp * (hex ? 16 : 10) + digit;
        }
        *out = Windows1252Byte(cp);
        return true;
    }
    static constexpr struct {
        std::string_view name;
        char byte;
    } kNamed[] = {{"amp", '&'},  {"lt", '<'},    {"gt", '>'},
                  {"quot", '"'}, {"apos", '\''}, {"nbsp", '\xa0'}};
    for (const auto& n : kNamed) {
        if (body == n.name) {
            *out = n.byte;
            return true;
        }
    }
    return false;
}

}  // namespace

void HtmlToText(std::string_view html, std::string* out) {
    constexpr size_t kLongestReference = 10;
    size_t i = 0;
    while (i < html.size()) {
        const char c = html[i];
        if (c == '<') {
            const size_t close = html.find('>', i + 1);
            if (close == std::string_view::npos) {
                out->push_back(c);
                ++i;
                continue;
            }
            std::string_view tag = html.substr(i + 1, close - i - 1);
            const size_t name_end = tag.find_first_of(" \t\n/", tag.starts_with('/') ? 1 : 0);
            const std::string_view name = tag.substr(0, name_end);
            if (EqualsLower(name, "/p")) {
                out->push_back('\n');
            } else if (EqualsLower(name, "br")) {
                out->append("\n   ");
            }
            i = close + 1;
        } else if (c == '&') {
            const size_t semi = html.substr(i + 1, kLongestReference + 1).find(';');
            char decoded;
            if (semi != std::string_view::npos &&
                DecodeReference(html.substr(i + 1, semi), &decoded)) {
                out->push_back(decoded);
                i += semi + 2;
            } else {
                out->push_back(c);
                ++i;
            }
        } else {
            out->push_back(c);
            ++i;
        }
    }
}

}  // namespace lexicore
