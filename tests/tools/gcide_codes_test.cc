#include "tools/gcide_codes.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string>

#include "lexicore/entry_text.h"
#include "tools/gcide.h"

namespace lexivane_dict {
namespace {

const char kGcideIndex[] = "/usr/share/dictd/gcide.index";

TEST(GcideCodeTable, IsSortedWithoutDuplicatesAndEveryCodeStandsForSomething) {
    const auto codes = AllGcideCodes();
    ASSERT_GT(codes.size(), 200u);
    for (size_t i = 1; i < codes.size(); ++i) {
        EXPECT_LT(std::string_view(codes[i - 1].code), std::string_view(codes[i].code))
            << codes[i].code;
    }
    for (const GcideCode& code : codes) {
        EXPECT_NE(code.ascii[0], '\0') << code.code;
        for (const char* a = code.ascii; *a != 0; ++a) {
            EXPECT_LT(static_cast<unsigned char>(*a), 0x80) << code.code;
        }
        EXPECT_EQ(FindGcideCode(code.code), &code);
    }
}

TEST(GcideCodeTable, FindsOnlyWholeCodes) {
    ASSERT_NE(FindGcideCode("a^"), nullptr);
    EXPECT_EQ(FindGcideCode("a^")->chars, std::u32string_view(U"\u0103"));
    ASSERT_NE(FindGcideCode("\"o"), nullptr);
    EXPECT_EQ(FindGcideCode("\"o")->chars, std::u32string_view(U"\u00F6"));
    EXPECT_EQ(FindGcideCode("Obs."), nullptr);
    EXPECT_EQ(FindGcideCode("a"), nullptr);
    EXPECT_EQ(FindGcideCode(""), nullptr);
    EXPECT_EQ(FindGcideCode("a^ "), nullptr);
}

std::pair<std::string, std::string> Append(std::string_view code) {
    std::string html;
    std::string text;
    const GcideCode* c = FindGcideCode(code);
    EXPECT_NE(c, nullptr) << code;
    if (c != nullptr) AppendGcideCode(*c, &html, &text);
    return {html, text};
}

TEST(GcideCodeTable, WritesWindows1252WhereTheCodePageHasTheCharacter) {
    EXPECT_EQ(Append("'e"), std::make_pair(std::string("\xE9"), std::string("\xE9")));
    EXPECT_EQ(Append("oe"), std::make_pair(std::string("\x9C"), std::string("\x9C")));
    EXPECT_EQ(Append("sect"), std::make_pair(std::string("\xA7"), std::string("\xA7")));
    EXPECT_EQ(Append("eth"), std::make_pair(std::string("\xF0"), std::string("\xF0")));
    EXPECT_EQ(Append("dagger"), std::make_pair(std::string("\x86"), std::string("\x86")));
}

TEST(GcideCodeTable, WritesReferencesAndAsciiForTheRest) {
    EXPECT_EQ(Append("a^"), std::make_pair(std::string("&#259;"), std::string("a")));
    EXPECT_EQ(Append("root"), std::make_pair(std::string("&#8730;"), std::string("root ")));
    EXPECT_EQ(Append("alpha"), std::make_pair(std::string("&#945;"), std::string("alpha")));
    // A letter with a combining mark keeps the letter as it is.
    EXPECT_EQ(Append("y^"), std::make_pair(std::string("y&#774;"), std::string("y")));
    EXPECT_EQ(Append("=oo"), std::make_pair(std::string("o&#862;o"), std::string("oo")));
}

// The plain text of an entry is derived from its HTML by the engine, so the
// engine's text of every code must be the table's own text form.
TEST(GcideCodeTable, TheEnginesTextOfEveryCodeIsItsTextForm) {
    for (const GcideCode& code : AllGcideCodes()) {
        std::string html;
        std::string text;
        AppendGcideCode(code, &html, &text);
        std::string derived;
        lexicore::HtmlToText(html, &derived);
        EXPECT_EQ(derived, text) << "[" << code.code << "]";
    }
}

TEST(GcideCodeTable, RecognisesTheShapeOfAccentCodes) {
    for (const char* code : {"a^", "oo^", "=e", "\"o", "'E", "`a", "~n", ".a", ",c", "*u", "-o"}) {
        EXPECT_TRUE(LooksLikeAccentCode(code)) << code;
    }
    for (const char* text : {"Obs.", "R.", "he", "1913 Webster", "-", "^", "=", "a^^", "=abcd"}) {
        EXPECT_FALSE(LooksLikeAccentCode(text)) << text;
    }
}

// Every code of the installed source is in the table. A code is a bracketed
// token with the shape of an accent code, or one set inside a word
// ("Ph[oe]nician", "Mohorovi[ccaron]i"), or any token the table knows.
TEST(GcideCodeTable, CoversEveryCodeOfTheInstalledSource) {
    GcideSource source;
    std::string error;
    if (!LoadGcide(kGcideIndex, &source, &error)) GTEST_SKIP() << "GCIDE not installed: " << error;
    const std::string& t = source.text;
    std::map<std::string, int> codes;
    auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    for (size_t open = t.find('['); open != std::string::npos; open = t.find('[', open + 1)) {
        const size_t close = t.find_first_of("[] \n", open + 1);
        if (close == std::string::npos || t[close] != ']' || close == open + 1 ||
            close - open > 15) {
            continue;
        }
        const std::string token = t.substr(open + 1, close - open - 1);
        const bool inside_word = open > 0 && letter(t[open - 1]) && close + 1 < t.size() &&
                                 letter(t[close + 1]) && token.size() > 1 &&
                                 std::all_of(token.begin(), token.end(), letter);
        if (LooksLikeAccentCode(token) || inside_word || FindGcideCode(token) != nullptr) {
            ++codes[token];
        }
    }
    EXPECT_GT(codes.size(), 150u);
    for (const auto& [code, count] : codes) {
        EXPECT_NE(FindGcideCode(code), nullptr) << "[" << code << "] occurs " << count << " times";
    }
}

}  // namespace
}  // namespace lexivane_dict
