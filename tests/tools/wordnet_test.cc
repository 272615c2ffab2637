#include "tools/wordnet.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "temp_dir.h"
#include "tools/encoding.h"

namespace lexivane_dict {
namespace {

const std::string kData = LEXIVANE_TEST_DATA_DIR "/wordnet";

// Lays out a raw dict-wn entry; the sense-break marker shown as '|'.
struct Laid {
    std::string headword, html, text;
    uint8_t parts_of_speech = 0;
};

Laid LayOut(const std::string& headword, const std::string& raw) {
    DictdRecord record{headword, raw, "wn.index", 7};
    Entry entry;
    std::string error;
    EXPECT_TRUE(ParseWordNetEntry(record, nullptr, &entry, &error)) << error;
    lexicore::SourceEntry source = LayOutEntry(entry);
    std::replace(source.html.begin(), source.html.end(), lexicore::kSenseBreak, '|');
    std::replace(source.text.begin(), source.text.end(), lexicore::kSenseBreak, '|');
    return {source.headword, source.html, Windows1252ToUtf8(source.text), source.parts_of_speech};
}

std::string ParseError(const std::string& raw) {
    DictdRecord record{"word", raw, "wn.index", 7};
    Entry entry;
    std::string error;
    EXPECT_FALSE(ParseWordNetEntry(record, nullptr, &entry, &error));
    return error;
}

TEST(WordNetLayout, SingleSenseHasNoNumber) {
    const Laid laid = LayOut("'hood", "'hood\n    n 1: (slang) a neighborhood\n");
    EXPECT_EQ(laid.headword, "'hood");
    EXPECT_EQ(laid.html, "<p><b>&#39;hood</b></p><p><i>noun</i></p><p>(slang) a neighborhood</p>");
    EXPECT_EQ(laid.text, "'hood\nnoun\n(slang) a neighborhood\n");
    EXPECT_EQ(laid.parts_of_speech, lexicore::kNoun);
}

TEST(WordNetLayout, NumbersSensesAndTurnsNotationIntoTypography) {
    const Laid laid =
        LayOut("good",
               "good\n"
               "    adv 1: completely and absolutely (`good' is sometimes used\n"
               "           informally for `thoroughly'); \"he was soundly defeated\"; \"we\n"
               "           beat him good\" [syn: {thoroughly}, {soundly}, {good}]\n"
               "    2: well; \"it's a good thing\"\n"
               "    adj 1: capable of a cross-\n"
               "           sectional scan; with_care [syn: {good}, {well(p)}, {in\n"
               "           effect(p)}] [ant: {bad}, {evil}]\n");
    EXPECT_EQ(laid.headword, "good");
    EXPECT_EQ(laid.parts_of_speech, lexicore::kAdverb | lexicore::kAdjective);
    EXPECT_EQ(laid.html,
              "<p><b>good</b></p>"
              "<p><i>adverb</i></p>"
              "<p><b>1.</b> completely and absolutely (\x91good\x92 is sometimes used informally "
              "for \x91thoroughly\x92); <i>\x93he was soundly defeated\x94</i>; "
              "<i>\x93we beat him good\x94</i>"
              "<br>Synonyms: <i>thoroughly, soundly</i></p>"
              "|<p><b>2.</b> well; <i>\x93it&#39;s a good thing\x94</i></p>"
              "|<p><i>adjective</i></p>"
              "<p>capable of a cross-sectional scan; with care"
              "<br>Synonyms: <i>well, in effect</i><br>Antonyms: <i>bad, evil</i></p>");
    EXPECT_EQ(laid.text,
              "good\n"
              "adverb\n"
              "1. completely and absolutely (‘good’ is sometimes used informally for "
              "‘thoroughly’); “he was soundly defeated”; “we beat him good”\n"
              "   Synonyms: thoroughly, soundly\n"
              "|2. well; “it's a good thing”\n"
              "|adjective\n"
              "capable of a cross-sectional scan; with care\n"
              "   Synonyms: well, in effect\n"
              "   Antonyms: bad, evil\n");
}

TEST(WordNetLayout, ClosesExamplesTheSourceLeftOpen) {
    const Laid laid = LayOut("bondage",
                             "bondage\n"
                             "    n 1: the state of being under control; \"he was in bondage\n"
                             "         to fear:; \"he sought release\"; \"a self freed\n"
                             "    2: close in; darkness enclosed him\"\n"
                             "    3: utter; \"drop a hint\"; drop names\" [syn: {bondage}]\n");
    EXPECT_EQ(laid.text,
              "bondage\nnoun\n1. the state of being under control; “he was in bondage to fear:”; "
              "“he sought release”; “a self freed”\n|2. close in; darkness enclosed him”\n"
              "|3. utter; “drop a hint”; “drop names”\n");
}

TEST(WordNetLayout, EscapesHtmlInDefinitionsAndCrossReferences) {
    const Laid laid = LayOut("angle bracket",
                             "angle bracket\n"
                             "    n 1: either of a pair of punctuation marks (`<' or `>') used\n"
                             "         in computer programming & math [syn: {angle bracket},\n"
                             "         {<bracket>}]\n");
    EXPECT_EQ(laid.html,
              "<p><b>angle bracket</b></p><p><i>noun</i></p>"
              "<p>either of a pair of punctuation marks (\x91&lt;\x92 or \x91&gt;\x92) used in "
              "computer programming &amp; math<br>Synonyms: <i>&lt;bracket&gt;</i></p>");
}

TEST(WordNetLayout, UnclosedListsEndWithTheSense) {
    EXPECT_EQ(LayOut("cat", "cat\n    n 1: a feline [syn: {true cat}, {moggy\n").text,
              "cat\nnoun\na feline\n   Synonyms: true cat\n");
    EXPECT_EQ(LayOut("cat", "cat\n    n 1: a feline [ant:\n").text, "cat\nnoun\na feline\n");
}

TEST(WordNetHeadword, KeepsCapitalsOnlyForWordsThatHaveNoLowerCaseForm) {
    // The index lower-cases every headword; the entry's first line keeps the capitals.
    EXPECT_EQ(
        LayOut("paris", "Paris\n    n 1: the capital of France\n    2: a town in Texas\n").headword,
        "Paris");
    // "A" also lists the letter "a" among its synonyms.
    EXPECT_EQ(LayOut("a", "A\n    n 1: the 1st letter [syn: {A}, {a}]\n").headword, "a");
    // A verb sense is a lower-case word.
    EXPECT_EQ(LayOut("add", "ADD\n    n 1: a disorder\n    v 1: make an addition\n").headword,
              "add");
}

// WordNet's database decides: "Arabic" is written one way only, "add" also
// as the noun "ADD", "o.k." also as "O.K.".
TEST(WordNetHeadword, KeepsTheCapitalsOfAWordWrittenOneWayOnly) {
    WordNetSpellings spellings;
    std::string error;
    ASSERT_TRUE(ReadWordNetSpellings(kData, &spellings, &error)) << error;
    EXPECT_EQ(OnlySpelling(spellings, "arabic"), "Arabic");
    EXPECT_EQ(OnlySpelling(spellings, "arabic language"), "Arabic language");
    EXPECT_EQ(OnlySpelling(spellings, "add"), "");
    EXPECT_EQ(OnlySpelling(spellings, "o.k."), "");
    EXPECT_EQ(OnlySpelling(spellings, "okay"), "");
    EXPECT_EQ(OnlySpelling(spellings, "zebra"), "");
    auto headword = [&](const std::string& key, const std::string& raw) {
        DictdRecord record{key, raw, "wn.index", 7};
        Entry entry;
        EXPECT_TRUE(ParseWordNetEntry(record, &spellings, &entry, &error)) << error;
        return entry.headword;
    };
    EXPECT_EQ(headword("arabic", "Arabic\n    adj 1: of Arabs\n    n 1: a language\n"), "Arabic");
    EXPECT_EQ(headword("add", "ADD\n    n 1: a disorder\n    v 1: make an addition\n"), "add");
    EXPECT_EQ(headword("o.k.", "O.K.\n    adv 1: well [syn: {okay}, {O.K.}]\n"), "o.k.");
    spellings["am"] = {"Am", "AM"};
    EXPECT_EQ(headword("am", "Am\n    n 1: a radioactive element\n"), "Am");

    TempDir dir;
    for (const char* name : {"data.noun", "data.verb", "data.adj"}) dir.Write(name, "");
    const std::string adv = dir.Write("data.adv", "  1 licence\n00015471 02 r 04 okay 0 O.K.\n");
    EXPECT_FALSE(ReadWordNetSpellings(dir.path(), &spellings, &error));
    EXPECT_EQ(error, adv + ":2: synset line ends before its words");
}

TEST(WordNetParse, ReportsLayoutsItDoesNotKnow) {
    EXPECT_EQ(ParseError("word\n    x 1: text\n"),
              "wn.index:7: entry 'word': unknown part of speech 'x'");
    EXPECT_EQ(ParseError("word\n  stray line\n"),
              "wn.index:7: entry 'word': unexpected line 'stray line'");
    EXPECT_EQ(ParseError("word\n    1: no part of speech\n"),
              "wn.index:7: entry 'word': sense without a part of speech");
    EXPECT_EQ(ParseError("word\n"), "wn.index:7: entry 'word' has no senses");
}

TEST(WordNetRead, ReadsTheSampleAndKeepsOnlyTheChosenHeadwords) {
    std::vector<lexicore::SourceEntry> entries;
    std::string error;
    ASSERT_TRUE(ReadWordNet(kData + "/sample.index", kData + "/sample.dict", nullptr, nullptr,
                            &entries, &error))
        << error;
    ASSERT_EQ(entries.size(), 11u);  // twelve index lines, one of them dictd's own
    EXPECT_EQ(entries[0].headword, "'hood");
    EXPECT_EQ(entries[1].headword, "a");
    const auto paris = std::find_if(entries.begin(), entries.end(),
                                    [](const auto& e) { return e.headword == "Paris"; });
    EXPECT_NE(paris, entries.end());

    std::unordered_set<std::string> counted;
    ASSERT_TRUE(ReadCountedLemmas(kData + "/cntlist.rev", &counted, &error)) << error;
    EXPECT_EQ(counted, (std::unordered_set<std::string>{"a", "cat", "good", "run"}));
    entries.clear();
    ASSERT_TRUE(ReadWordNet(kData + "/sample.index", kData + "/sample.dict", &counted, nullptr,
                            &entries, &error));
    std::vector<std::string> words;
    words.reserve(entries.size());
    for (const auto& e : entries) words.push_back(e.headword);
    EXPECT_EQ(words, (std::vector<std::string>{"a", "cat", "good", "run"}));
}

TEST(WordNetExceptions, ReadsAllFourListsOncePerPair) {
    TempDir dir;
    dir.Write("noun.exc", "geese goose\nalto-relievos alto-relievo alto-rilievo\nacer acer\n");
    dir.Write("verb.exc", "ran run\nbroke_down break_down\n");
    dir.Write("adj.exc", "better good well\n\n");
    dir.Write("adv.exc", "better well\n");
    std::vector<std::pair<std::string, std::string>> pairs;
    std::string error;
    ASSERT_TRUE(ReadWordNetExceptions(dir.path(), &pairs, &error)) << error;
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"geese", "goose"}, {"alto-relievos", "alto-relievo"}, {"alto-relievos", "alto-rilievo"},
        {"ran", "run"},     {"broke down", "break down"},      {"better", "good"},
        {"better", "well"}};
    EXPECT_EQ(pairs, expected);
}

TEST(WordNetExceptions, ReportsMissingFilesAndLonelyForms) {
    TempDir dir;
    std::vector<std::pair<std::string, std::string>> pairs;
    std::string error;
    EXPECT_FALSE(ReadWordNetExceptions(dir.path(), &pairs, &error));
    EXPECT_EQ(error, dir.path() + "/noun.exc: cannot read: No such file or directory");
    dir.Write("noun.exc", "geese goose\n");
    dir.Write("verb.exc", "ran run\nlonely\n");
    EXPECT_FALSE(ReadWordNetExceptions(dir.path(), &pairs, &error));
    EXPECT_EQ(error, dir.path() + "/verb.exc:2: expected an inflected form and its base form");
}

TEST(WordNetCounts, ReportsMalformedLines) {
    TempDir dir;
    std::unordered_set<std::string> lemmas;
    std::string error;
    const std::string bad_count = dir.Write("a.rev", "cat%1:05:00:: 1 18\ncat%1:05:00:: 1 x\n");
    EXPECT_FALSE(ReadCountedLemmas(bad_count, &lemmas, &error));
    EXPECT_EQ(error, bad_count + ":2: invalid count 'x'");
    const std::string no_key = dir.Write("b.rev", "just words\n");
    EXPECT_FALSE(ReadCountedLemmas(no_key, &lemmas, &error));
    EXPECT_EQ(error, no_key + ":1: expected a sense key, a sense number and a count");
    const std::string spaced = dir.Write("c.rev", "New_York%1:15:00:: 1 4\n");
    lemmas.clear();
    ASSERT_TRUE(ReadCountedLemmas(spaced, &lemmas, &error));
    EXPECT_EQ(lemmas, (std::unordered_set<std::string>{"new york"}));
}

}  // namespace
}  // namespace lexivane_dict
