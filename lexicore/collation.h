// The one order of headwords, shared by the compiler and the engine, and the
// case-insensitive equality and hash that go with it. Text is Windows-1252.
#ifndef LEXIVANE_LEXICORE_COLLATION_H_
#define LEXIVANE_LEXICORE_COLLATION_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace lexicore {

// Orders a before b (< 0), with b (0) or after b (> 0). Letters compare
// ignoring case and accents first, so accented letters sort beside their plain
// forms; inside a word a space sorts before punctuation, punctuation before
// digits, digits before letters; a word whose first character is not a letter
// sorts after every word that begins with one. Ties are broken by the
// case-folded bytes ("cafe" < "café"). Returns 0 exactly when FoldEquals(a, b).
int Collate(std::string_view a, std::string_view b);

// The tables behind Collate, for comparison loops that must not call out per
// byte: primary weight of a byte as a word's first character and as a later
// one, and its case-folded form.
struct CollationTables {
    std::array<uint16_t, 256> first;
    std::array<uint16_t, 256> rest;
    std::array<unsigned char, 256> fold;
};
extern const CollationTables kCollation;

// The primary weights of the first 8 characters of s as one number that
// keeps their order: PrimaryCode(a) < PrimaryCode(b) means Collate(a, b) < 0
// and > means > 0; equal codes decide nothing.
uint64_t PrimaryCode(std::string_view s);

// Collate(name, key) for a NUL-terminated name, in one pass over both: the
// binary search over the mapped headwords uses it.
int CollateZ(const char* name, std::string_view key);

// Compares the primary weights (first step of Collate) of name[0..n) and
// key[0..n); n <= key.size() and name has n readable bytes.
int ComparePrimary(const char* name, std::string_view key, size_t n);

// True when a and b have the same length and the same primary weights: they
// differ at most in case and accents, and sort next to each other.
bool PrimaryEquals(std::string_view a, std::string_view b);

// Lower-cases one Windows-1252 byte (A-Z, À-Þ, Š, Œ, Ž, Ÿ).
unsigned char FoldByte(unsigned char c);

// The case-folded copy of s.
std::string Fold(std::string_view s);

// True when a and b are equal ignoring case.
bool FoldEquals(std::string_view a, std::string_view b);

// True when text begins with prefix, ignoring case.
bool FoldStartsWith(std::string_view text, std::string_view prefix);

// True when s has no upper-case letter.
bool IsLowerCase(std::string_view s);

// The text as nearest-word matching compares it: case folded, accented
// letters as their plain letter (é e, ñ n), the ligatures written out (æ ae,
// œ oe, ß ss). "Æneid", "aeneid" and "AEneid" give the same text, as do
// "naïve" and "naive"; other bytes stay as they are.
std::string MatchFold(std::string_view s);

// Hash of the case-folded text: equal ignoring case gives equal hashes.
uint64_t FoldHash(std::string_view s);

}  // namespace lexicore

#endif  // LEXIVANE_LEXICORE_COLLATION_H_
