#include "tools/text_source.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/lexicore.h"

namespace lexivane_dict {
namespace {

std::string Error(std::string_view contents) {
    lexicore::DictionarySource source;
    std::string error;
    EXPECT_FALSE(ParseTextSource("t.txt", contents, &source, &error));
    EXPECT_TRUE(source.entries.empty());
    return error;
}

TEST(TextSource, LaysOutEntriesLikeTheDictionarySources) {
    lexicore::DictionarySource source;
    std::string error;
    ASSERT_TRUE(ParseTextSource("t.txt",
                                "# comment\n"
                                "\n"
                                "word: café\n"
                                "pos: noun\n"
                                "sense: a small restaurant\n"
                                "example: meet me at the café\n"
                                "synonyms: coffee shop, coffeehouse\n"
                                "sense: a coffee bar & more\n"
                                "pos: interjection\n"
                                "  sense:   used as a greeting  \n"
                                "inflection: cafés = café\n",
                                &source, &error))
        << error;
    ASSERT_EQ(source.entries.size(), 1u);
    const lexicore::SourceEntry& entry = source.entries[0];
    EXPECT_EQ(entry.headword, "caf\xe9");
    EXPECT_EQ(entry.parts_of_speech, lexicore::kNoun);
    EXPECT_EQ(entry.html,
              "<p><b>caf\xe9</b></p><p><i>noun</i></p>"
              "<p><b>1.</b> a small restaurant; <i>\x93meet me at the caf\xe9\x94</i>"
              "<br>Synonyms: <i>coffee shop, coffeehouse</i></p>"
              "\x1f<p><b>2.</b> a coffee bar &amp; more</p>"
              "\x1f<p><i>interjection</i></p><p>used as a greeting</p>");
    EXPECT_EQ(entry.text,
              "caf\xe9\nnoun\n"
              "1. a small restaurant; \x93meet me at the caf\xe9\x94\n"
              "   Synonyms: coffee shop, coffeehouse\n"
              "\x1f"
              "2. a coffee bar & more\n"
              "\x1finterjection\nused as a greeting\n");
    const std::vector<std::pair<std::string, std::string>> inflections = {{"caf\xe9s", "caf\xe9"}};
    EXPECT_EQ(source.exceptions, inflections);
}

TEST(TextSource, ReportsMistakesWithTheirLine) {
    EXPECT_EQ(Error("word: a\nsense: x\nnonsense\n"), "t.txt:3: expected 'keyword: value'");
    EXPECT_EQ(Error("word: a\nmeaning: x\n"), "t.txt:2: unknown keyword 'meaning'");
    EXPECT_EQ(Error("# top\nsense: x\n"), "t.txt:2: 'sense' before any 'word'");
    EXPECT_EQ(Error("word: a\nexample: x\n"), "t.txt:2: 'example' before any 'sense'");
    EXPECT_EQ(Error("word: a\nsynonyms: b\n"), "t.txt:2: 'synonyms' before any 'sense'");
    EXPECT_EQ(Error("word: a\nsense:\n"), "t.txt:2: 'sense' without a value");
    EXPECT_EQ(Error("word: a\n\nword: b\nsense: x\n"), "t.txt:1: word 'a' has no senses");
    EXPECT_EQ(Error("word: a\nsense: x\nword: b\n"), "t.txt:3: word 'b' has no senses");
    EXPECT_EQ(Error("inflection: geese goose\n"), "t.txt:1: expected 'inflection: form = base'");
    EXPECT_EQ(Error("inflection: Geese = goose\n"),
              "t.txt:1: inflections are written in lower case");
    EXPECT_EQ(Error("word: caf\xe9\n"), "t.txt:1: invalid UTF-8");
}

TEST(TextSource, ReadsTheCommittedTestDictionarySources) {
    for (const char* name : {"basic.txt", "empty.txt", "no-a.txt"}) {
        lexicore::DictionarySource source;
        std::string error;
        EXPECT_TRUE(
            ReadTextSource(std::string(LEXIVANE_TEST_DATA_DIR) + "/" + name, &source, &error))
            << error;
    }
    lexicore::DictionarySource basic;
    std::string error;
    ASSERT_TRUE(ReadTextSource(LEXIVANE_TEST_DATA_DIR "/basic.txt", &basic, &error));
    EXPECT_EQ(basic.entries.size(), 60u);
    const auto run = std::find_if(basic.entries.begin(), basic.entries.end(),
                                  [](const auto& e) { return e.headword == "run"; });
    ASSERT_NE(run, basic.entries.end());
    EXPECT_GT(run->html.size(), LXV_PRINT_BUFFER_SIZE);
    EXPECT_GT(run->text.size(), LXV_PRINT_BUFFER_SIZE);
}

TEST(TextSource, MissingFileIsReported) {
    lexicore::DictionarySource source;
    std::string error;
    EXPECT_FALSE(ReadTextSource("/nonexistent/x.txt", &source, &error));
    EXPECT_EQ(error, "/nonexistent/x.txt: cannot read: No such file or directory");
}

}  // namespace
}  // namespace lexivane_dict
