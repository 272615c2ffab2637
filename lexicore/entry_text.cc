#include "lexicore/entry_text.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "base/windows1252.h"

namespace lexicore {
namespace {

// Close ASCII forms of the characters outside Windows-1252 that dictionaries
// use: Latin letters with marks as their base letter, Greek letters by name,
// signs by what they mean. Sorted by code point.
struct AsciiForm {
    uint32_t cp;
    const char* ascii;
};
constexpr AsciiForm kAsciiForms[] = {
    {0x0100, "A"},
    {0x0101, "a"},
    {0x0102, "A"},
    {0x0103, "a"},
    {0x0104, "A"},
    {0x0105, "a"},
    {0x0106, "C"},
    {0x0107, "c"},
    {0x0108, "C"},
    {0x0109, "c"},
    {0x010A, "C"},
    {0x010B, "c"},
    {0x010C, "C"},
    {0x010D, "c"},
    {0x010E, "D"},
    {0x010F, "d"},
    {0x0110, "D"},
    {0x0111, "d"},
    {0x0112, "E"},
    {0x0113, "e"},
    {0x0114, "E"},
    {0x0115, "e"},
    {0x0116, "E"},
    {0x0117, "e"},
    {0x0118, "E"},
    {0x0119, "e"},
    {0x011A, "E"},
    {0x011B, "e"},
    {0x011C, "G"},
    {0x011D, "g"},
    {0x011E, "G"},
    {0x011F, "g"},
    {0x0120, "G"},
    {0x0121, "g"},
    {0x0122, "G"},
    {0x0123, "g"},
    {0x0124, "H"},
    {0x0125, "h"},
    {0x0126, "H"},
    {0x0127, "h"},
    {0x0128, "I"},
    {0x0129, "i"},
    {0x012A, "I"},
    {0x012B, "i"},
    {0x012C, "I"},
    {0x012D, "i"},
    {0x012E, "I"},
    {0x012F, "i"},
    {0x0130, "I"},
    {0x0131, "i"},
    {0x0132, "IJ"},
    {0x0133, "ij"},
    {0x0134, "J"},
    {0x0135, "j"},
    {0x0136, "K"},
    {0x0137, "k"},
    {0x0138, "k"},
    {0x0139, "L"},
    {0x013A, "l"},
    {0x013B, "L"},
    {0x013C, "l"},
    {0x013D, "L"},
    {0x013E, "l"},
    {0x013F, "L"},
    {0x0140, "l"},
    {0x0141, "L"},
    {0x0142, "l"},
    {0x0143, "N"},
    {0x0144, "n"},
    {0x0145, "N"},
    {0x0146, "n"},
    {0x0147, "N"},
    {0x0148, "n"},
    {0x0149, "'n"},
    {0x014A, "N"},
    {0x014B, "n"},
    {0x014C, "O"},
    {0x014D, "o"},
    {0x014E, "O"},
    {0x014F, "o"},
    {0x0150, "O"},
    {0x0151, "o"},
    {0x0154, "R"},
    {0x0155, "r"},
    {0x0156, "R"},
    {0x0157, "r"},
    {0x0158, "R"},
    {0x0159, "r"},
    {0x015A, "S"},
    {0x015B, "s"},
    {0x015C, "S"},
    {0x015D, "s"},
    {0x015E, "S"},
    {0x015F, "s"},
    {0x0162, "T"},
    {0x0163, "t"},
    {0x0164, "T"},
    {0x0165, "t"},
    {0x0166, "T"},
    {0x0167, "t"},
    {0x0168, "U"},
    {0x0169, "u"},
    {0x016A, "U"},
    {0x016B, "u"},
    {0x016C, "U"},
    {0x016D, "u"},
    {0x016E, "U"},
    {0x016F, "u"},
    {0x0170, "U"},
    {0x0171, "u"},
    {0x0172, "U"},
    {0x0173, "u"},
    {0x0174, "W"},
    {0x0175, "w"},
    {0x0176, "Y"},
    {0x0177, "y"},
    {0x0179, "Z"},
    {0x017A, "z"},
    {0x017B, "Z"},
    {0x017C, "z"},
    {0x017F, "s"},
    {0x01E2, "AE"},
    {0x01E3, "ae"},
    {0x021D, "gh"},
    {0x0227, "a"},
    {0x0232, "Y"},
    {0x0233, "y"},
    {0x0259, "e"},
    {0x02BD, "'"},
    {0x02D8, "(breve)"},
    {0x0391, "Alpha"},
    {0x0392, "Beta"},
    {0x0393, "Gamma"},
    {0x0394, "Delta"},
    {0x0395, "Epsilon"},
    {0x0396, "Zeta"},
    {0x0397, "Eta"},
    {0x0398, "Theta"},
    {0x0399, "Iota"},
    {0x039A, "Kappa"},
    {0x039B, "Lambda"},
    {0x039C, "Mu"},
    {0x039D, "Nu"},
    {0x039E, "Xi"},
    {0x039F, "Omicron"},
    {0x03A0, "Pi"},
    {0x03A1, "Rho"},
    {0x03A3, "Sigma"},
    {0x03A4, "Tau"},
    {0x03A5, "Upsilon"},
    {0x03A6, "Phi"},
    {0x03A7, "Chi"},
    {0x03A8, "Psi"},
    {0x03A9, "Omega"},
    {0x03B1, "alpha"},
    {0x03B2, "beta"},
    {0x03B3, "gamma"},
    {0x03B4, "delta"},
    {0x03B5, "epsilon"},
    {0x03B6, "zeta"},
    {0x03B7, "eta"},
    {0x03B8, "theta"},
    {0x03B9, "iota"},
    {0x03BA, "kappa"},
    {0x03BB, "lambda"},
    {0x03BC, "mu"},
    {0x03BD, "nu"},
    {0x03BE, "xi"},
    {0x03BF, "omicron"},
    {0x03C0, "pi"},
    {0x03C1, "rho"},
    {0x03C2, "sigma"},
    {0x03C3, "sigma"},
    {0x03C4, "tau"},
    {0x03C5, "upsilon"},
    {0x03C6, "phi"},
    {0x03C7, "chi"},
    {0x03C8, "psi"},
    {0x03C9, "omega"},
    {0x03DD, "digamma"},
    {0x1E0D, "d"},
    {0x1E25, "h"},
    {0x1E33, "k"},
    {0x1E37, "l"},
    {0x1E41, "m"},
    {0x1E43, "m"},
    {0x1E47, "n"},
    {0x1E49, "n"},
    {0x1E5B, "r"},
    {0x1E63, "s"},
    {0x1E6D, "t"},
    {0x1E73, "u"},
    {0x1E93, "z"},
    {0x1EBD, "e"},
    {0x2032, "'"},
    {0x2033, "\""},
    {0x203F, "(slur)"},
    {0x2040, "(slur)"},
    {0x2042, "***"},
    {0x20B0, "(dele)"},
    {0x2125, "oz."},
    {0x2183, "C"},
    {0x2192, "->"},
    {0x2207, "nabla"},
    {0x221A, "root "},
    {0x221B, "cube root "},
    {0x222B, "integral "},
    {0x25E1, "u"},
    {0x2609, "(Sun)"},
    {0x260A, "(ascending node)"},
    {0x260B, "(descending node)"},
    {0x261E, "->"},
    {0x263F, "(Mercury)"},
    {0x2643, "(Jupiter)"},
    {0x2648, "(Aries)"},
    {0x2649, "(Taurus)"},
    {0x264A, "(Gemini)"},
    {0x264B, "(Cancer)"},
    {0x264C, "(Leo)"},
    {0x264D, "(Virgo)"},
    {0x264E, "(Libra)"},
    {0x264F, "(Scorpio)"},
    {0x2650, "(Sagittarius)"},
    {0x2651, "(Capricorn)"},
    {0x2652, "(Aquarius)"},
    {0x2653, "(Pisces)"},
    {0x266D, "b"},
    {0x266E, "natural"},
    {0x266F, "#"},
    {0xFB01, "fi"},
    {0xFB02, "fl"},
    {0xFB04, "ffl"},
    {0x1D110, "(pause)"},
};

bool IsCombiningMark(uint32_t cp) {
    return cp >= 0x0300 && cp <= 0x036F;
}

// Appends the Windows-1252 byte of `cp`; otherwise its ASCII form, nothing for
// a combining mark (the letter it sits on is already there), or '?'.
void AppendCharacter(uint32_t cp, std::string* out) {
    // A control character written as a reference is shown as '?': a NUL would
    // end the printed text and 0x1F would read as a sense break.
    if (cp < 0x20 || cp == 0x7F) {
        out->push_back('?');
        return;
    }
    if (const int byte = lexivane_base::Windows1252Byte(cp); byte >= 0) {
        out->push_back(static_cast<char>(byte));
        return;
    }
    if (IsCombiningMark(cp)) return;
    const auto* end = std::end(kAsciiForms);
    const auto* it = std::lower_bound(std::begin(kAsciiForms), end, cp,
                                      [](const AsciiForm& f, uint32_t c) { return f.cp < c; });
    out->append(it != end && it->cp == cp ? it->ascii : "?");
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

// Appends the text of the reference body between '&' and ';'; false, with
// nothing appended, when it is none.
bool DecodeReference(std::string_view body, std::string* out) {
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
        AppendCharacter(cp, out);
        return true;
    }
    static constexpr struct {
        std::string_view name;
        char byte;
    } kNamed[] = {{"amp", '&'},  {"lt", '<'},    {"gt", '>'},
                  {"quot", '"'}, {"apos", '\''}, {"nbsp", '\xa0'}};
    for (const auto& n : kNamed) {
        if (body == n.name) {
            out->push_back(n.byte);
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
            if (EqualsLower(name, "/p") || EqualsLower(name, "/blockquote")) {
                out->push_back('\n');
            } else if (EqualsLower(name, "br")) {
                out->append("\n   ");
            } else if (EqualsLower(name, "blockquote")) {
                out->append("   ");
            } else if (EqualsLower(name, "sup")) {
                out->push_back('(');
            } else if (EqualsLower(name, "/sup")) {
                out->push_back(')');
            }
            i = close + 1;
        } else if (c == '&') {
            const size_t semi = html.substr(i + 1, kLongestReference + 1).find(';');
            if (semi != std::string_view::npos && DecodeReference(html.substr(i + 1, semi), out)) {
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
