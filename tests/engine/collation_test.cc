#include "lexicore/collation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace lexicore {
namespace {

TEST(Collation, OrdersLikeADictionary) {
    const std::vector<std::string> ordered = {
        "a",
        "a cappella",
        "a-one",
        "A.D.",
        "aa",
        "Aachen",
        "aardvark",
        "ab",
        "abb\xe9",
        "Abbey",
        "cafe",
        "caf\xe9",
        "cafes",
        ("\xc9"
         "clair"),
        "edam",
        "Zulu",
        "'hood",
        "-ism",
        "1900s",
        "3-D",
    };
    for (size_t i = 0; i + 1 < ordered.size(); ++i) {
        EXPECT_LT(Collate(ordered[i], ordered[i + 1]), 0) << ordered[i] << " / " << ordered[i + 1];
        EXPECT_GT(Collate(ordered[i + 1], ordered[i]), 0) << ordered[i + 1] << " / " << ordered[i];
    }
    std::vector<std::string> shuffled(ordered.rbegin(), ordered.rend());
    std::sort(shuffled.begin(), shuffled.end(),
              [](const std::string& a, const std::string& b) { return Collate(a, b) < 0; });
    EXPECT_EQ(shuffled, ordered);
}

TEST(Collation, OnePassFormAgreesWithTheGeneralOne) {
    const std::vector<std::string> words = {"",      "a",     "A",       "a b",  "a-b",  "ab",
                                            "Ab",    "abc",   "caf\xe9", "CAFE", "cafe", "cafes",
                                            "1900s", "'hood", "zz",      "\xff", "y",    "ZULU"};
    const auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (const std::string& a : words) {
        for (const std::string& b : words) {
            EXPECT_EQ(sign(CollateZ(a.c_str(), b)), sign(Collate(a, b))) << a << " / " << b;
        }
    }
}

TEST(Collation, PrimaryCodeNeverContradictsCollate) {
    const std::vector<std::string> words = {"",     "a",        "A",         "a b",       "a-b",
                                            "ab",   "abcdefgh", "abcdefghi", "ABCDEFGHZ", "caf\xe9",
                                            "cafe", "cafes",    "1900s",     "'hood",     "zz",
                                            "\xff", "y",        "ZULU",      "\x01",      "a\x7f"};
    int decided = 0;
    for (const std::string& a : words) {
        for (const std::string& b : words) {
            const uint64_t ca = PrimaryCode(a);
            const uint64_t cb = PrimaryCode(b);
            if (ca == cb) continue;
            ++decided;
            EXPECT_EQ(ca < cb, Collate(a, b) < 0) << a << " / " << b;
        }
    }
    EXPECT_GT(decided, 300);
    EXPECT_EQ(PrimaryCode("caf\xe9"), PrimaryCode("CAFE"));         // accents and case: a tie
    EXPECT_EQ(PrimaryCode("abcdefghi"), PrimaryCode("abcdefghz"));  // only 8 characters count
}

TEST(Collation, EqualExactlyWhenEqualIgnoringCase) {
    EXPECT_EQ(Collate("Cat", "cAT"), 0);
    EXPECT_EQ(Collate("\xc9"
                      "CLAIR",
                      "\xe9"
                      "clair"),
              0);  // ÉCLAIR, éclair
    EXPECT_EQ(Collate("\x8a"
                      "ab",
                      "\x9a"
                      "AB"),
              0);  // Š, š
    EXPECT_EQ(Collate("", ""), 0);
    EXPECT_NE(Collate("cafe", "caf\xe9"), 0);
    EXPECT_NE(Collate("a b", "a-b"), 0);
    EXPECT_TRUE(FoldEquals("Caf\xc9", "caf\xe9"));
    EXPECT_FALSE(FoldEquals("cafe", "caf\xe9"));
    EXPECT_FALSE(FoldEquals("cat", "cats"));
}

TEST(Collation, NonLetterFirstCharactersComeAfterAllLetters) {
    EXPECT_GT(Collate("'tis", "zymurgy"), 0);
    EXPECT_GT(Collate("1st", "\xff"), 0);  // ÿ is a letter
    EXPECT_LT(Collate("zz", "0"), 0);
    // Inside a word a non-letter sorts before the letters.
    EXPECT_LT(Collate("a-z", "aa"), 0);
    EXPECT_LT(Collate("b52", "ba"), 0);
}

TEST(Collation, HashAndPrefixIgnoreCase) {
    EXPECT_EQ(FoldHash("Geese"), FoldHash("gEESE"));
    EXPECT_EQ(FoldHash("\xc0la"), FoldHash("\xe0LA"));
    EXPECT_NE(FoldHash("geese"), FoldHash("goose"));
    EXPECT_TRUE(FoldStartsWith("Catsup", "CATS"));
    EXPECT_TRUE(FoldStartsWith("cat", ""));
    EXPECT_FALSE(FoldStartsWith("cat", "cats"));
    EXPECT_TRUE(IsLowerCase("caf\xe9 au lait"));
    EXPECT_FALSE(IsLowerCase("Caf\xe9"));
    EXPECT_FALSE(IsLowerCase("caf\xc9"));
    EXPECT_EQ(Fold("\x8c"
                   "UVRE \xd7"),
              "\x9c"
              "uvre \xd7");  // Œ folds; × stays
}

}  // namespace
}  // namespace lexicore
