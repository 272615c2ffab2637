#include "tools/gcide_codes.h"

#include <algorithm>

#include "base/windows1252.h"
#include "tools/encoding.h"

namespace lexivane_dict {
namespace {

// Sorted by code in byte order; FindGcideCode searches it by halves.
constexpr GcideCode kCodes[] = {
    {"\"A", U"\u00C4", "A"},
    {"\"E", U"\u00CB", "E"},
    {"\"I", U"\u00CF", "I"},
    {"\"O", U"\u00D6", "O"},
    {"\"U", U"\u00DC", "U"},
    {"\"a", U"\u00E4", "a"},
    {"\"e", U"\u00EB", "e"},
    {"\"i", U"\u00EF", "i"},
    {"\"o", U"\u00F6", "o"},
    {"\"u", U"\u00FC", "u"},
    {"\"y", U"\u00FF", "y"},
    {"'A", U"\u00C1", "A"},
    {"'E", U"\u00C9", "E"},
    {"'I", U"\u00CD", "I"},
    {"'O", U"\u00D3", "O"},
    {"'U", U"\u00DA", "U"},
    {"'a", U"\u00E1", "a"},
    {"'c", U"\u0107", "c"},
    {"'e", U"\u00E9", "e"},
    {"'i", U"\u00ED", "i"},
    {"'n", U"\u0144", "n"},
    {"'o", U"\u00F3", "o"},
    {"'s", U"\u015B", "s"},
    {"'u", U"\u00FA", "u"},
    {"'y", U"\u00FD", "y"},
    {"*A", U"\u00C5", "A"},
    {"*a", U"\u00E5", "a"},
    {"*u", U"\u016F", "u"},
    {",C", U"\u00C7", "C"},
    {",c", U"\u00E7", "c"},
    {",s", U"\u015F", "s"},
    {"-a", U"\u0101", "a"},
    {"-e", U"\u0113", "e"},
    {"-i", U"\u012B", "i"},
    {"-o", U"\u014D", "o"},
    {"-u", U"\u016B", "u"},
    {".a", U"\u0227", "a"},
    {".c", U"c\u0323", "c"},
    {".d", U"\u1E0D", "d"},
    {".h", U"\u1E25", "h"},
    {".k", U"\u1E33", "k"},
    {".l", U"\u1E37", "l"},
    {".m", U"\u1E43", "m"},
    {".n", U"\u1E47", "n"},
    {".r", U"\u1E5B", "r"},
    {".s", U"\u1E63", "s"},
    {".t", U"\u1E6D", "t"},
    {".u", U"u\u0307", "u"},
    {".z", U"\u1E93", "z"},
    {"=A", U"\u0100", "A"},
    {"=AE", U"\u01E2", "AE"},
    {"=E", U"\u0112", "E"},
    {"=I", U"\u012A", "I"},
    {"=O", U"\u014C", "O"},
    {"=U", U"\u016A", "U"},
    {"=Y", U"\u0232", "Y"},
    {"=a", U"\u0101", "a"},
    {"=ae", U"\u01E3", "ae"},
    {"=e", U"\u0113", "e"},
    {"=i", U"\u012B", "i"},
    {"=o", U"\u014D", "o"},
    {"=oo", U"o\u035Eo", "oo"},
    {"=u", U"\u016B", "u"},
    {"=y", U"\u0233", "y"},
    {"AE", U"\u00C6", "AE"},
    {"A^", U"\u0102", "A"},
    {"Alpha", U"\u0391", "Alpha"},
    {"Aquarius", U"\u2652", "(Aquarius)"},
    {"Aries", U"\u2648", "(Aries)"},
    {"Beta", U"\u0392", "Beta"},
    {"Cancer", U"\u264B", "(Cancer)"},
    {"Capricorn", U"\u2651", "(Capricorn)"},
    {"Chi", U"\u03A7", "Chi"},
    {"Crev", U"\u2183", "C"},
    {"Delta", U"\u0394", "Delta"},
    {"E^", U"\u0114", "E"},
    {"Edh", U"\u00D0", "Dh"},
    {"Epsilon", U"\u0395", "Epsilon"},
    {"Eta", U"\u0397", "Eta"},
    {"Gamma", U"\u0393", "Gamma"},
    {"Gemini", U"\u264A", "(Gemini)"},
    {"I^", U"\u012C", "I"},
    {"Iota", U"\u0399", "Iota"},
    {"Jupiter", U"\u2643", "(Jupiter)"},
    {"Kappa", U"\u039A", "Kappa"},
    {"Lambda", U"\u039B", "Lambda"},
    {"Leo", U"\u264C", "(Leo)"},
    {"Libra", U"\u264E", "(Libra)"},
    {"MU", U"\u039C", "Mu"},
    {"Mu", U"\u039C", "Mu"},
    {"Nu", U"\u039D", "Nu"},
    {"OE", U"\u0152", "OE"},
    {"O^", U"\u014E", "O"},
    {"Omega", U"\u03A9", "Omega"},
    {"Omicron", U"\u039F", "Omicron"},
    {"Phi", U"\u03A6", "Phi"},
    {"Pi", U"\u03A0", "Pi"},
    {"Pisces", U"\u2653", "(Pisces)"},
    {"Psi", U"\u03A8", "Psi"},
    {"RHO", U"\u03A1", "Rho"},
    {"Rho", U"\u03A1", "Rho"},
    {"Sagittarius", U"\u2650", "(Sagittarius)"},
    {"Scorpio", U"\u264F", "(Scorpio)"},
    {"Sigma", U"\u03A3", "Sigma"},
    {"Sun", U"\u2609", "(Sun)"},
    {"Tau", U"\u03A4", "Tau"},
    {"Taurus", U"\u2649", "(Taurus)"},
    {"Theta", U"\u0398", "Theta"},
    {"U^", U"\u016C", "U"},
    {"Upsilon", U"\u03A5", "Upsilon"},
    {"Virgo", U"\u264D", "(Virgo)"},
    {"Xi", U"\u039E", "Xi"},
    {"Zeta", U"\u0396", "Zeta"},
    {"^A", U"\u00C2", "A"},
    {"^E", U"\u00CA", "E"},
    {"^a", U"\u00E2", "a"},
    {"^e", U"\u00EA", "e"},
    {"^i", U"\u00EE", "i"},
    {"^o", U"\u00F4", "o"},
    {"^u", U"\u00FB", "u"},
    {"`A", U"\u00C0", "A"},
    {"`E", U"\u00C8", "E"},
    {"`a", U"\u00E0", "a"},
    {"`e", U"\u00E8", "e"},
    {"`i", U"\u00EC", "i"},
    {"`o", U"\u00F2", "o"},
    {"`u", U"\u00F9", "u"},
    {"a^", U"\u0103", "a"},
    {"add", U"a\u0324", "a"},
    {"ae", U"\u00E6", "ae"},
    {"ai", U"a", "a"},
    {"alpha", U"\u03B1", "alpha"},
    {"als", U"\u0101", "a"},
    {"aquarius", U"\u2652", "(Aquarius)"},
    {"aries", U"\u2648", "(Aries)"},
    {"asl", U"\u0101", "a"},
    {"asper", U"\u02BD", "'"},
    {"astascending", U"\u260A", "(ascending node)"},
    {"astdescending", U"\u260B", "(descending node)"},
    {"asterism", U"\u2042", "***"},
    {"aum", U"\u00E4", "a"},
    {"bar", U"|", "|"},
    {"beta", U"\u03B2", "beta"},
    {"bprime", U"\u2033", "\""},
    {"break", U"", " "},
    {"breve", U"\u02D8", "(breve)"},
    {"cacute", U"\u0107", "c"},
    {"cancer", U"\u264B", "(Cancer)"},
    {"capricorn", U"\u2651", "(Capricorn)"},
    {"ccaron", U"\u010D", "c"},
    {"chi", U"\u03C7", "chi"},
    {"colret", U" | ", " | "},
    {"crescent", U"\u25E1", "u"},
    {"cuberoot", U"\u221B", "cube root "},
    {"dag", U"\u2020", "+"},
    {"dagger", U"\u2020", "+"},
    {"ddagger", U"\u2021", "++"},
    {"deg", U"\u00B0", " deg."},
    {"dele", U"\u20B0", "(dele)"},
    {"delta", U"\u03B4", "delta"},
    {"digamma", U"\u03DD", "digamma"},
    {"div", U"\u00F7", "/"},
    {"divby", U"\u00F7", "/"},
    {"dot", U"\u00B7", "."},
    {"downslur", U"\u2040", "(slur)"},
    {"dsdot", U"\u1E0D", "d"},
    {"e^", U"\u0115", "e"},
    {"ecer", U"\u0115", "e"},
    {"ect", U"\u0115", "e"},
    {"epsilon", U"\u03B5", "epsilon"},
    {"eta", U"\u03B7", "eta"},
    {"eth", U"\u00F0", "dh"},
    {"ffllig", U"\uFB04", "ffl"},
    {"filig", U"\uFB01", "fi"},
    {"flat", U"\u266D", "b"},
    {"fllig", U"\uFB02", "fl"},
    {"frac19", U"1/9", "1/9"},
    {"frac1x100", U"1/100", "1/100"},
    {"frac1x1000", U"1/1000", "1/1000"},
    {"frac1x6400", U"1/6400", "1/6400"},
    {"frac25x100", U"25/100", "25/100"},
    {"frac37", U"3/7", "3/7"},
    {"frac43", U"4/3", "4/3"},
    {"frac67", U"6/7", "6/7"},
    {"frac925x1000", U"925/1000", "925/1000"},
    {"gamma", U"\u03B3", "gamma"},
    {"gemini", U"\u264A", "(Gemini)"},
    {"hand", U"\u261E", "->"},
    {"i^", U"\u012D", "i"},
    {"imac", U"\u012B", "i"},
    {"integral2l", U"\u222B", "integral "},
    {"iota", U"\u03B9", "iota"},
    {"iques", U"\u00BF", "?"},
    {"kappa", U"\u03BA", "kappa"},
    {"lambda", U"\u03BB", "lambda"},
    {"lbrace2", U"(", "("},
    {"ldqo", U"\u201C", "\""},
    {"leo", U"\u264C", "(Leo)"},
    {"libra", U"\u264E", "(Libra)"},
    {"lsdot", U"\u1E37", "l"},
    {"mdot", U"\u1E41", "m"},
    {"mercury", U"\u263F", "(Mercury)"},
    {"middot", U"\u00B7", "."},
    {"min", U"\u2032", "'"},
    {"mtil", U"m\u0303", "m"},
    {"mu", U"\u03BC", "mu"},
    {"nabla", U"\u2207", "nabla"},
    {"natural", U"\u266E", "natural"},
    {"nbsp", U"\u00A0", " "},
    {"ncir", U"n\u0302", "n"},
    {"ng", U"\u1E49g", "ng"},
    {"nu", U"\u03BD", "nu"},
    {"o^", U"\u014F", "o"},
    {"oe", U"\u0153", "oe"},
    {"omega", U"\u03C9", "omega"},
    {"omicron", U"\u03BF", "omicron"},
    {"oo^", U"o\u035Do", "oo"},
    {"ounceap", U"\u2125", "oz."},
    {"para", U"\u00B6", "P."},
    {"pause", U"\U0001D110", "(pause)"},
    {"phi", U"\u03C6", "phi"},
    {"pi", U"\u03C0", "pi"},
    {"pisces", U"\u2653", "(Pisces)"},
    {"pounds", U"\u00A3", "L"},
    {"psi", U"\u03C8", "psi"},
    {"rarr", U"\u2192", "->"},
    {"rbrace2", U")", ")"},
    {"rdqo", U"\u201D", "\""},
    {"rho", U"\u03C1", "rho"},
    {"root", U"\u221A", "root "},
    {"rsquo", U"\u2019", "'"},
    {"sagittarius", U"\u2650", "(Sagittarius)"},
    {"sb", U" ", " "},
    {"schwa", U"\u0259", "e"},
    {"scorpio", U"\u264F", "(Scorpio)"},
    {"sec", U"\u2033", "\""},
    {"sect", U"\u00A7", "Sec."},
    {"sharp", U"\u266F", "#"},
    {"sigma", U"\u03C3", "sigma"},
    {"sigmat", U"\u03C2", "sigma"},
    {"spasp", U"\u02BD", "'"},
    {"tau", U"\u03C4", "tau"},
    {"taurus", U"\u2649", "(Taurus)"},
    {"th", U"t\u035Fh", "th"},
    {"theta", U"\u03B8", "theta"},
    {"thorn", U"\u00FE", "th"},
    {"times", U"\u00D7", "x"},
    {"tsdo", U"\u1E6D", "t"},
    {"u^", U"\u016D", "u"},
    {"udd", U"\u1E73", "u"},
    {"umlaut", U"\u00A8", "\""},
    {"upsilon", U"\u03C5", "upsilon"},
    {"upslur", U"\u203F", "(slur)"},
    {"virgo", U"\u264D", "(Virgo)"},
    {"xi", U"\u03BE", "xi"},
    {"y^", U"y\u0306", "y"},
    {"yogh", U"\u021D", "gh"},
    {"zdot", U"\u017C", "z"},
    {"zeta", U"\u03B6", "zeta"},
    {"~A", U"\u00C3", "A"},
    {"~N", U"\u00D1", "N"},
    {"~a", U"\u00E3", "a"},
    {"~e", U"\u1EBD", "e"},
    {"~l", U"l\u0303", "l"},
    {"~n", U"\u00F1", "n"},
    {"~o", U"\u00F5", "o"},
};

}  // namespace

std::span<const GcideCode> AllGcideCodes() {
    return kCodes;
}

const GcideCode* FindGcideCode(std::string_view code) {
    const auto* end = std::end(kCodes);
    const auto* it = std::lower_bound(
        std::begin(kCodes), end, code,
        [](const GcideCode& c, std::string_view key) { return std::string_view(c.code) < key; });
    if (it == end || std::string_view(it->code) != code) return nullptr;
    return it;
}

bool LooksLikeAccentCode(std::string_view token) {
    constexpr std::string_view kMarks = "=\"'`~^.,*-";
    const bool leading = !token.empty() && kMarks.find(token.front()) != std::string_view::npos;
    const bool breve = !token.empty() && token.back() == '^';
    if (leading == breve) return false;
    const std::string_view letters = token.substr(leading ? 1 : 0, token.size() - 1);
    return !letters.empty() && letters.size() <= 3 &&
           std::all_of(letters.begin(), letters.end(),
                       [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); });
}

void AppendGcideCode(const GcideCode& code, std::string* html, std::string* text) {
    bool fits = true;
    for (const char32_t* p = code.chars; *p != 0; ++p) {
        if (lexivane_base::Windows1252Byte(*p) < 0) fits = false;
    }
    if (fits) {
        for (const char32_t* p = code.chars; *p != 0; ++p) {
            const char byte = static_cast<char>(lexivane_base::Windows1252Byte(*p));
            if (html != nullptr) html->push_back(byte);
            if (text != nullptr) text->push_back(byte);
        }
        return;
    }
    if (html != nullptr) {
        for (const char32_t* p = code.chars; *p != 0; ++p) {
            const int byte = lexivane_base::Windows1252Byte(*p);
            if (byte >= 0) {
                html->push_back(static_cast<char>(byte));
            } else {
                html->append("&#");
                html->append(std::to_string(static_cast<uint32_t>(*p)));
                html->push_back(';');
            }
        }
    }
    if (text != nullptr) text->append(code.ascii);
}

}  // namespace lexivane_dict
