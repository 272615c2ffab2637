#include "lexicore/collation.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace lexicore {
namespace {

// Primary weight classes, lowest first, for characters after the first.
enum WeightClass : uint16_t {
    kControlClass = 0x0000,
    kSpaceClass = 0x0100,
    kPunctClass = 0x0200,
    kDigitClass = 0x0400,
    kLetterClass = 0x0600,
};
// A first character that is not a letter is lifted above every letter.
constexpr uint16_t kNonLetterFirstLift = 0x1000;

constexpr unsigned char ComputeFold(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    switch (c) {
        case 0x8A:
            return 0x9A;  // Š
        case 0x8C:
            return 0x9C;  // Œ
        case 0x8E:
            return 0x9E;  // Ž
        case 0x9F:
            return 0xFF;  // Ÿ
        default:
            return c;
    }
}

// The plain letter a lower-case letter sorts with, or 0 when c is no letter.
constexpr unsigned char BaseLetter(unsigned char c) {
    if (c >= 'a' && c <= 'z') return c;
    if (c >= 0xE0 && c <= 0xE6) return 'a';  // à á â ã ä å æ
    if (c >= 0xE8 && c <= 0xEB) return 'e';
    if (c >= 0xEC && c <= 0xEF) return 'i';
    if (c >= 0xF2 && c <= 0xF6) return 'o';
    if (c >= 0xF9 && c <= 0xFC) return 'u';
    switch (c) {
        case 0xE7:
            return 'c';  // ç
        case 0xF0:
            return 'd';  // ð
        case 0xF1:
            return 'n';  // ñ
        case 0xF8:
            return 'o';  // ø
        case 0xFD:       // ý
        case 0xFF:       // ÿ
            return 'y';
        case 0xFE:
            return 't';  // þ
        case 0xDF:       // ß
        case 0x9A:       // š
            return 's';
        case 0x9C:
            return 'o';  // œ
        case 0x9E:
            return 'z';  // ž
        case 0x83:
            return 'f';  // ƒ
        default:
            return 0;
    }
}

constexpr CollationTables MakeTables() {
    CollationTables t{};
    for (int i = 0; i < 256; ++i) {
        const auto c = static_cast<unsigned char>(i);
        const unsigned char folded = ComputeFold(c);
        t.fold[i] = folded;
        uint16_t w;
        if (const unsigned char base = BaseLetter(folded); base != 0) {
            w = static_cast<uint16_t>(kLetterClass + (base - 'a'));
        } else if (c < 0x20 || c == 0x7F) {
            w = static_cast<uint16_t>(kControlClass + c);
        } else if (c == ' ' || c == 0xA0) {
            w = kSpaceClass;
        } else if (c >= '0' && c <= '9') {
            w = static_cast<uint16_t>(kDigitClass + c);
        } else {
            w = static_cast<uint16_t>(kPunctClass + c);
        }
        t.rest[i] = w;
        t.first[i] = w >= kLetterClass ? w : static_cast<uint16_t>(w + kNonLetterFirstLift);
    }
    return t;
}

inline unsigned char U(char c) {
    return static_cast<unsigned char>(c);
}

}  // namespace

constexpr CollationTables kCollation = MakeTables();

namespace {

// Ranks the weights of a table: 1 for the lowest, so 0 can mean "ended".
constexpr std::array<unsigned char, 256> RankWeights(const std::array<uint16_t, 256>& weights) {
    constexpr int kWeightRange = 0x2000;  // above every weight MakeTables gives
    std::array<bool, kWeightRange> present{};
    for (uint16_t w : weights) present[w] = true;
    std::array<int, kWeightRange> rank_of{};
    int distinct = 0;
    for (int w = 0; w < kWeightRange; ++w) {
        if (present[w]) rank_of[w] = ++distinct;
    }
    std::array<unsigned char, 256> rank{};
    for (int i = 0; i < 256; ++i) rank[i] = static_cast<unsigned char>(rank_of[weights[i]]);
    return rank;
}

constexpr std::array<unsigned char, 256> kFirstRank = RankWeights(kCollation.first);
constexpr std::array<unsigned char, 256> kRestRank = RankWeights(kCollation.rest);
// Each table has fewer than 256 distinct weights, so a rank fits a byte.
static_assert(*std::max_element(kFirstRank.begin(), kFirstRank.end()) < 255);
static_assert(*std::max_element(kRestRank.begin(), kRestRank.end()) < 255);

}  // namespace

uint64_t PrimaryCode(std::string_view s) {
    uint64_t code = 0;
    for (size_t i = 0; i < 8; ++i) {
        const unsigned char c = i < s.size() ? (i == 0 ? kFirstRank : kRestRank)[U(s[i])] : 0;
        code = (code << 8) | c;
    }
    return code;
}

unsigned char FoldByte(unsigned char c) {
    return kCollation.fold[c];
}

std::string Fold(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(kCollation.fold[U(c)]);
    return out;
}

int Collate(std::string_view a, std::string_view b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    if (n > 0) {
        const uint16_t wa = kCollation.first[U(a[0])];
        const uint16_t wb = kCollation.first[U(b[0])];
        if (wa != wb) return wa < wb ? -1 : 1;
    }
    for (size_t i = 1; i < n; ++i) {
        const uint16_t wa = kCollation.rest[U(a[i])];
        const uint16_t wb = kCollation.rest[U(b[i])];
        if (wa != wb) return wa < wb ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    for (size_t i = 0; i < n; ++i) {
        const unsigned char fa = kCollation.fold[U(a[i])];
        const unsigned char fb = kCollation.fold[U(b[i])];
        if (fa != fb) return fa < fb ? -1 : 1;
    }
    return 0;
}

bool PrimaryEquals(std::string_view a, std::string_view b) {
    return a.size() == b.size() && ComparePrimary(a.data(), b, a.size()) == 0;
}

int ComparePrimary(const char* name, std::string_view key, size_t n) {
    size_t i = 0;
    while (i < n && name[i] == key[i]) ++i;
    for (; i < n; ++i) {
        const auto& table = i == 0 ? kCollation.first : kCollation.rest;
        const uint16_t wa = table[U(name[i])];
        const uint16_t wb = table[U(key[i])];
        if (wa != wb) return wa < wb ? -1 : 1;
    }
    return 0;
}

int CollateZ(const char* name, std::string_view key) {
    // Equal bytes have equal weights and equal folded forms, so the shared
    // leading bytes decide nothing; the comparison starts where they end.
    const size_t n = key.size();
    size_t start = 0;
    while (start < n && name[start] != '\0' && name[start] == key[start]) ++start;
    size_t i = start;
    for (; i < n && name[i] != '\0'; ++i) {
        const auto& table = i == 0 ? kCollation.first : kCollation.rest;
        const uint16_t wa = table[U(name[i])];
        const uint16_t wb = table[U(key[i])];
        if (wa != wb) return wa < wb ? -1 : 1;
    }
    if (i < n) return -1;           // the name ended first
    if (name[i] != '\0') return 1;  // the key ended first
    for (size_t j = start; j < n; ++j) {
        const unsigned char fa = kCollation.fold[U(name[j])];
        const unsigned char fb = kCollation.fold[U(key[j])];
        if (fa != fb) return fa < fb ? -1 : 1;
    }
    return 0;
}

std::string MatchFold(std::string_view s) {
    std::string out;
    out.reserve(s.size() + 4);
    for (char c : s) {
        const unsigned char folded = kCollation.fold[U(c)];
        switch (folded) {
            case 0xE6:
                out.append("ae");
                break;
            case 0x9C:
                out.append("oe");
                break;
            case 0xDF:
                out.append("ss");
                break;
            default: {
                const unsigned char base = BaseLetter(folded);
                out.push_back(static_cast<char>(base != 0 ? base : folded));
            }
        }
    }
    return out;
}

bool FoldEquals(std::string_view a, std::string_view b) {
    return a.size() == b.size() && FoldStartsWith(a, b);
}

bool FoldStartsWith(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (kCollation.fold[U(text[i])] != kCollation.fold[U(prefix[i])]) return false;
    }
    return true;
}

bool IsLowerCase(std::string_view s) {
    for (char c : s) {
        if (kCollation.fold[U(c)] != U(c)) return false;
    }
    return true;
}

uint64_t FoldHash(std::string_view s) {
    // FNV-1a over the folded bytes, then a final mix so that every bit of
    // the result depends on every byte.
    uint64_t h = 14695981039346656037ULL;
    for (char c : s) {
        h ^= kCollation.fold[U(c)];
        h *= 1099511628211ULL;
    }
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDULL;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ULL;
    h ^= h >> 33;
    return h;
}

}  // namespace lexicore
