// The engine's whole contract, exercised through its C interface on
// dictionaries compiled in the test.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/lexicore.h"
#include "lexicore/builder.h"
#include "lexicore/render.h"
#include "tests/engine/test_dictionary.h"

namespace lexicore::testing {
namespace {

const std::vector<std::string> kSampleOrder = {
    "a",
    "a cappella",
    "a-one",
    "aardvark",
    "abandon",
    "Abba",
    "ba",
    "basal",
    "base",
    "big",
    "box",
    "bus",
    "cafe",
    "caf\xe9",
    "cat",
    "catsup",
    "goose",
    "happy",
    "hop",
    "hope",
    "horse",
    "knife",
    "late",
    "man",
    "quick",
    "ranch",
    "run",
    "sing",
    "singe",
    "study",
    "tyrannosaurus rex",
    "wolf",
    "zebra",
    "zymurgy",
    "'hood",
    "1900s",
};

class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = dir_.File("sample.pdb");
        Build(SampleSource(), path_);
        dict_ = std::make_unique<OpenDictionary>(path_);
        ASSERT_NE(dict_->handle(), 0u);
        lxv_history_clear(h());
    }

    LXV_HANDLE h() const { return dict_->handle(); }

    std::string Nearest(const char* key) const {
        const char* word = lxv_wordlist_nearest(h(), key);
        return word == nullptr ? "(null)" : word;
    }

    std::string Html(const char* word, uint32_t size = LXV_PRINT_BUFFER_SIZE) const {
        std::vector<char> buffer(size, '\0');
        const LXV_ENTRY e = lxv_find(h(), word);
        if (lxv_printhtml_buf(h(), e, buffer.data(), size) == 0) return "(failed)";
        return buffer.data();
    }

    std::vector<std::string> History() const {
        std::vector<std::string> words;
        for (int16_t i = 0; i < lxv_history_count(h()); ++i) {
            const char* w = lxv_history_getword(h(), i);
            words.push_back(w == nullptr ? "(null)" : w);
        }
        return words;
    }

    TempDir dir_;
    std::string path_;
    std::unique_ptr<OpenDictionary> dict_;
};

TEST_F(EngineTest, WordListIsSortedIgnoringCaseWithLettersFirst) {
    ASSERT_EQ(lxv_wordlist_count(h()), kSampleOrder.size());
    for (uint32_t i = 0; i < kSampleOrder.size(); ++i) {
        const char* w = lxv_wordlist_at(h(), i);
        ASSERT_NE(w, nullptr) << i;
        EXPECT_EQ(w, kSampleOrder[i]) << i;
    }
    EXPECT_EQ(lxv_wordlist_at(h(), static_cast<uint32_t>(kSampleOrder.size())), nullptr);
    EXPECT_EQ(lxv_wordlist_at(h(), UINT32_MAX), nullptr);
}

TEST_F(EngineTest, WordListOnGivesTheIndexIgnoringCase) {
    for (uint32_t i = 0; i < kSampleOrder.size(); ++i) {
        EXPECT_EQ(lxv_wordlist_on(h(), kSampleOrder[i].c_str()), i) << kSampleOrder[i];
    }
    EXPECT_EQ(lxv_wordlist_on(h(), "CAT"), 14u);
    EXPECT_EQ(lxv_wordlist_on(h(), "CAF\xc9"), 13u);
    EXPECT_EQ(lxv_wordlist_on(h(), "dog"), 0u);
    EXPECT_EQ(lxv_wordlist_on(h(), "ca"), 0u);
    EXPECT_EQ(lxv_wordlist_on(h(), ""), 0u);
    EXPECT_EQ(lxv_wordlist_on(h(), nullptr), 0u);
}

TEST_F(EngineTest, NearestFindsTheWordItselfIgnoringCase) {
    EXPECT_EQ(Nearest("cat"), "cat");
    EXPECT_EQ(Nearest("CaT"), "cat");
    EXPECT_EQ(Nearest("A"), "a");
    EXPECT_EQ(Nearest("caf\xe9"), "caf\xe9");
    EXPECT_EQ(Nearest("CAF\xc9"), "caf\xe9");
    EXPECT_EQ(Nearest("cafe"), "cafe");
    EXPECT_EQ(Nearest("A-ONE"), "a-one");
}

TEST_F(EngineTest, NearestFollowsIrregularForms) {
    EXPECT_EQ(Nearest("geese"), "goose");
    EXPECT_EQ(Nearest("Geese"), "goose");
    // "ran" also begins "ranch": an irregular form of three letters still wins.
    EXPECT_EQ(Nearest("ran"), "run");
    // Exceptions whose base is no headword were dropped by the compiler.
    EXPECT_EQ(Nearest("mice"), "quick");
}

TEST_F(EngineTest, NearestFollowsRegularInflections) {
    EXPECT_EQ(Nearest("studies"), "study");
    EXPECT_EQ(Nearest("studied"), "study");
    EXPECT_EQ(Nearest("running"), "run");
    EXPECT_EQ(Nearest("runs"), "run");
    EXPECT_EQ(Nearest("hoped"), "hope");
    EXPECT_EQ(Nearest("hoping"), "hope");
    EXPECT_EQ(Nearest("hopped"), "hop");
    EXPECT_EQ(Nearest("hopping"), "hop");
    EXPECT_EQ(Nearest("singing"), "sing");
    EXPECT_EQ(Nearest("wolves"), "wolf");
    EXPECT_EQ(Nearest("knives"), "knife");
    EXPECT_EQ(Nearest("horses"), "horse");
    EXPECT_EQ(Nearest("boxes"), "box");
    EXPECT_EQ(Nearest("buses"), "bus");
    EXPECT_EQ(Nearest("men"), "man");
    EXPECT_EQ(Nearest("bigger"), "big");
    EXPECT_EQ(Nearest("biggest"), "big");
    EXPECT_EQ(Nearest("happier"), "happy");
    EXPECT_EQ(Nearest("happiest"), "happy");
    EXPECT_EQ(Nearest("later"), "late");
    EXPECT_EQ(Nearest("Zebras"), "zebra");
}

TEST_F(EngineTest, NearestChecksTheBasePartOfSpeech) {
    // quick is an adjective only, so "quicked" is no verb form of it.
    EXPECT_EQ(Nearest("quicked"), "ranch");
    // zebra is a noun only.
    EXPECT_EQ(Nearest("zebraed"), "zymurgy");
    // big is an adjective: no plural.
    EXPECT_EQ(Nearest("bigs"), "box");
}

TEST_F(EngineTest, NearestFollowsEnglishSpellingOfSuffixes) {
    // A plain -s never follows a sibilant or a consonant and y; those words
    // take -es and -ies.
    EXPECT_EQ(Nearest("buss"), "cafe");
    EXPECT_EQ(Nearest("boxs"), "bus");
    EXPECT_EQ(Nearest("studys"), "tyrannosaurus rex");
    // A bare -es follows only a sibilant or an o: "cates" is no plural of cat.
    EXPECT_EQ(Nearest("cates"), "catsup");
    EXPECT_EQ(Nearest("hopes"), "hope");
}

TEST_F(EngineTest, NearestPrefersInflectionOrPrefixByTheDocumentedRule) {
    // cats: a plural of a three-letter base beats the longer "catsup".
    EXPECT_EQ(Nearest("cats"), "cat");
    // bas: the two-letter base "ba" loses to the longer headwords it begins.
    EXPECT_EQ(Nearest("bas"), "basal");
    // A prefix that is not a word goes to the first headword at or after it.
    EXPECT_EQ(Nearest("aa"), "aardvark");
    EXPECT_EQ(Nearest("ab"), "abandon");
    EXPECT_EQ(Nearest("catsu"), "catsup");
    EXPECT_EQ(Nearest("ho"), "hop");
}

TEST(EngineNearestRule, ShortBaseWinsWhenNoLongerHeadwordBeginsWithTheKey) {
    TempDir dir;
    DictionarySource source;
    source.entries = {Entry("a", "letter", kNoun), Entry("ba", "soul", kNoun),
                      Entry("bat", "club", kNoun)};
    Build(source, dir.File("d.pdb"));
    OpenDictionary dict(dir.File("d.pdb"));
    ASSERT_NE(dict.handle(), 0u);
    EXPECT_STREQ(lxv_wordlist_nearest(dict.handle(), "bas"), "ba");
    // Regular bases are at least two letters: "as" is no plural of "a".
    EXPECT_STREQ(lxv_wordlist_nearest(dict.handle(), "as"), "ba");
}

// Accents and ligatures fold for the comparison in both directions, and an
// irregular verb form typed in lower case beats a capitalised name.
TEST(EngineNearestRule, FoldsAccentsAndLigaturesAndPrefersTheVerbOfAForm) {
    TempDir dir;
    DictionarySource source;
    source.entries = {Entry("a", "letter", kNoun),      Entry("aesthete", "one", kNoun),
                      Entry("Am", "americium", kNoun),  Entry("be", "exist", kVerb),
                      Entry("\xC6neid", "epic", kNoun), Entry("island", "land", kNoun),
                      Entry("it", "pronoun"),           Entry("lead", "guide", kVerb),
                      Entry("LED", "diode", kNoun),     Entry("naive", "artless", kAdjective),
                      Entry("Oedipus", "king", kNoun),  Entry("Sung", "dynasty", kNoun)};
    source.exceptions = {
        {"am", "be"}, {"is", "be"}, {"led", "lead"}, {"its", "it"}, {"sung", "sing"}};
    Build(source, dir.File("d.pdb"));
    OpenDictionary dict(dir.File("d.pdb"));
    ASSERT_NE(dict.handle(), 0u);
    const std::pair<const char*, const char*> cases[] = {{"na\xEFve", "naive"},
                                                         {"aeneid", "\xC6neid"},
                                                         {"AENEID", "\xC6neid"},
                                                         {"\x9C"
                                                          "dipus",
                                                          "Oedipus"},
                                                         {"\xE6sth", "aesthete"},
                                                         {"am", "be"},
                                                         {"Am", "Am"},
                                                         {"is", "be"},
                                                         {"led", "lead"},
                                                         {"LED", "LED"},
                                                         {"its", "it"},
                                                         {"sung", "Sung"}};
    for (const auto& [key, expected] : cases) {
        EXPECT_STREQ(lxv_wordlist_nearest(dict.handle(), key), expected) << key;
    }
}

TEST_F(EngineTest, NearestOutsideTheWordsAndOddKeys) {
    EXPECT_EQ(Nearest(""), "a");
    EXPECT_EQ(Nearest("zz"), "'hood");            // letters end; the non-letter headwords follow
    EXPECT_EQ(Nearest("9999"), "1900s");          // past the end: the last headword
    EXPECT_EQ(Nearest("\xff\xff\xff"), "zebra");  // ÿ sorts with y
    EXPECT_EQ(Nearest("a c"), "a cappella");
    EXPECT_EQ(lxv_wordlist_nearest(h(), nullptr), nullptr);
    // Whatever nearest gives, wordlist_on accepts.
    for (const char* key : {"", "x", "cats", "geese", "zz", "9999", "\x01", "caf", "CAF\xc9S"}) {
        const char* w = lxv_wordlist_nearest(h(), key);
        ASSERT_NE(w, nullptr) << key;
        EXPECT_STREQ(lxv_wordlist_at(h(), lxv_wordlist_on(h(), w)), w) << key;
    }
}

TEST_F(EngineTest, FindIsNonZeroExactlyForHeadwords) {
    for (const std::string& w : kSampleOrder) EXPECT_NE(lxv_find(h(), w.c_str()), 0u) << w;
    EXPECT_EQ(lxv_find(h(), "CAT"), lxv_find(h(), "cat"));
    EXPECT_NE(lxv_find(h(), "cat"), lxv_find(h(), "catsup"));
    EXPECT_EQ(lxv_find(h(), "cats"), 0u);
    EXPECT_EQ(lxv_find(h(), "ca"), 0u);
    EXPECT_EQ(lxv_find(h(), ""), 0u);
    EXPECT_EQ(lxv_find(h(), nullptr), 0u);
}

TEST_F(EngineTest, PrintsHtmlAndTextOfAnEntry) {
    EXPECT_EQ(Html("zebra"), "<b>zebra</b> a striped horse");
    char buffer[LXV_PRINT_BUFFER_SIZE] = {};
    ASSERT_NE(lxv_print_buf(h(), lxv_find(h(), "ZEBRA"), buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "zebra: a striped horse");
}

TEST_F(EngineTest, CaseVariantsShareOneEntryInInputOrderWithoutMarkers) {
    EXPECT_EQ(Html("CAT"),
              "<b>cat</b> a small domesticated carnivore<b>Cat</b> a cat-o'-nine-tails"
              "<b>CAT</b> computerized axial tomography");
    char buffer[LXV_PRINT_BUFFER_SIZE] = {};
    ASSERT_NE(lxv_print_buf(h(), lxv_find(h(), "cat"), buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer,
                 "cat: a small domesticated carnivoreCat: a cat-o'-nine-tails"
                 "CAT: computerized axial tomography");
}

TEST_F(EngineTest, PrintRefusesBadArguments) {
    char buffer[64] = "untouched";
    const LXV_ENTRY e = lxv_find(h(), "cat");
    EXPECT_EQ(lxv_printhtml_buf(h(), 0, buffer, sizeof buffer), 0);
    EXPECT_EQ(lxv_printhtml_buf(h(), lxv_wordlist_count(h()) + 1, buffer, sizeof buffer), 0);
    EXPECT_EQ(lxv_printhtml_buf(h(), UINT32_MAX, buffer, sizeof buffer), 0);
    EXPECT_EQ(lxv_printhtml_buf(h(), e, nullptr, 100), 0);
    EXPECT_EQ(lxv_print_buf(h(), e, nullptr, 100), 0);
    std::strcpy(buffer, "untouched");
    EXPECT_EQ(lxv_printhtml_buf(h(), e, buffer, 0), 0);
    EXPECT_STREQ(buffer, "untouched");
    EXPECT_EQ(lxv_printhtml_buf(h() + 1, e, buffer, sizeof buffer), 0);
    EXPECT_EQ(lxv_history_count(h()), 0);
}

TEST_F(EngineTest, HistoryKeepsTwentyViewedWordsNewestFirstWithoutDuplicates) {
    EXPECT_EQ(lxv_history_count(h()), 0);
    Html("cat");
    Html("zebra");
    Html("CAT");  // the same headword again: moves to the top
    EXPECT_EQ(History(), (std::vector<std::string>{"cat", "zebra"}));
    // Plain text is not a viewed entry; failed prints are not either.
    char buffer[100];
    lxv_print_buf(h(), lxv_find(h(), "goose"), buffer, sizeof buffer);
    lxv_printhtml_buf(h(), 0, buffer, sizeof buffer);
    EXPECT_EQ(lxv_history_count(h()), 2);

    for (uint32_t i = 0; i < 25; ++i) Html(kSampleOrder[i].c_str());
    EXPECT_EQ(lxv_history_count(h()), 20);
    EXPECT_STREQ(lxv_history_getword(h(), 0), kSampleOrder[24].c_str());
    EXPECT_STREQ(lxv_history_getword(h(), 19), kSampleOrder[5].c_str());
    EXPECT_EQ(lxv_history_getword(h(), 20), nullptr);
    EXPECT_EQ(lxv_history_getword(h(), -1), nullptr);

    lxv_history_clear(h());
    EXPECT_EQ(lxv_history_count(h()), 0);
    EXPECT_EQ(lxv_history_getword(h(), 0), nullptr);
}

TEST_F(EngineTest, HistorySurvivesClosingAndReopeningTheDictionary) {
    Html("goose");
    dict_.reset();
    dict_ = std::make_unique<OpenDictionary>(path_);
    ASSERT_NE(h(), 0u);
    EXPECT_EQ(History(), std::vector<std::string>{"goose"});
}

TEST_F(EngineTest, HandlesComeFromATableAndCloseSetsTheVariableToZero) {
    OpenDictionary second(path_);
    ASSERT_NE(second.handle(), 0u);
    EXPECT_NE(second.handle(), h());
    EXPECT_EQ(lxv_wordlist_count(second.handle()), kSampleOrder.size());

    LXV_HANDLE closed = h();
    LXV_HANDLE copy = closed;
    lxv_closefile(&closed);
    EXPECT_EQ(closed, 0u);
    // The stale copy reaches nothing, even after its slot is used again.
    EXPECT_EQ(lxv_wordlist_count(copy), 0u);
    OpenDictionary third(path_);
    ASSERT_NE(third.handle(), 0u);
    EXPECT_NE(third.handle(), copy);
    EXPECT_EQ(lxv_wordlist_count(copy), 0u);
    EXPECT_EQ(lxv_wordlist_at(copy, 0), nullptr);
    EXPECT_EQ(lxv_wordlist_nearest(copy, "a"), nullptr);
    EXPECT_EQ(lxv_find(copy, "a"), 0u);
    EXPECT_EQ(lxv_history_count(copy), 0);
    EXPECT_EQ(lxv_history_getword(copy, 0), nullptr);
    lxv_closefile(&copy);  // ignored, and still zeroes the variable
    EXPECT_EQ(copy, 0u);
    EXPECT_EQ(lxv_wordlist_count(third.handle()), kSampleOrder.size());
    lxv_closefile(nullptr);
    EXPECT_EQ(lxv_wordlist_count(0), 0u);
    EXPECT_EQ(lxv_wordlist_count(0xFFFFFFFFu), 0u);
}

TEST_F(EngineTest, OpeningAndClosingManyTimesNeverRunsOutOfHandles) {
    for (int i = 0; i < 300; ++i) {
        OpenDictionary d(path_);
        ASSERT_NE(d.handle(), 0u) << i;
    }
}

TEST(EngineOpen, RefusesBadDescriptors) {
    EXPECT_EQ(lxv_openfile(-1, -1, -1, -1, -1), 0u);
    EXPECT_EQ(lxv_openfile(987654, 0, 0, 0, 0), 0u);
    EXPECT_EQ(lxv_openfile(intptr_t{1} << 40, 0, 0, 0, 0), 0u);
}

TEST(EngineEmpty, DictionaryWithNoHeadwords) {
    TempDir dir;
    Build(DictionarySource{}, dir.File("empty.pdb"));
    OpenDictionary dict(dir.File("empty.pdb"));
    const LXV_HANDLE h = dict.handle();
    ASSERT_NE(h, 0u);
    EXPECT_EQ(lxv_wordlist_count(h), 0u);
    EXPECT_EQ(lxv_wordlist_at(h, 0), nullptr);
    EXPECT_EQ(lxv_wordlist_nearest(h, "a"), nullptr);
    EXPECT_EQ(lxv_wordlist_nearest(h, ""), nullptr);
    EXPECT_EQ(lxv_wordlist_on(h, "a"), 0u);
    EXPECT_EQ(lxv_find(h, "a"), 0u);
    char buffer[16] = "x";
    EXPECT_EQ(lxv_printhtml_buf(h, 1, buffer, sizeof buffer), 0);
    lxv_history_clear(h);
    EXPECT_EQ(lxv_history_count(h), 0);
}

// An entry of `senses` numbered senses separated by sense breaks.
std::string LongBody(int senses, std::vector<std::string>* parts) {
    std::string body;
    for (int i = 1; i <= senses; ++i) {
        std::string sense =
            "<p>" + std::to_string(i) + ". " + std::string(480, 'x') + " &amp; <i>more</i></p>";
        if (i > 1) body += kSenseBreak;
        body += sense;
        parts->push_back(sense);
    }
    return body;
}

class LongEntryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DictionarySource source;
        source.entries = {SourceEntry{"long", LongBody(40, &senses_), "long text", kNoun},
                          Entry("short", "brief")};
        BuildStats stats;
        Build(source, dir_.File("long.pdb"), &stats);
        EXPECT_EQ(stats.long_entries, 1u);
        dict_ = std::make_unique<OpenDictionary>(dir_.File("long.pdb"));
        ASSERT_NE(dict_->handle(), 0u);
        entry_ = lxv_find(dict_->handle(), "long");
    }

    // Prints into a buffer of `size` bytes followed by guard bytes.
    std::string Print(uint32_t size) {
        std::vector<char> buffer(size + 64, '#');
        EXPECT_NE(lxv_printhtml_buf(dict_->handle(), entry_, buffer.data(), size), 0) << size;
        for (size_t i = size; i < buffer.size(); ++i) {
            EXPECT_EQ(buffer[i], '#') << "written past size " << size;
        }
        const void* nul = std::memchr(buffer.data(), '\0', size);
        EXPECT_NE(nul, nullptr) << "not terminated within " << size;
        return nul == nullptr ? std::string() : std::string(buffer.data());
    }

    TempDir dir_;
    std::vector<std::string> senses_;
    std::unique_ptr<OpenDictionary> dict_;
    LXV_ENTRY entry_ = 0;
};

TEST_F(LongEntryTest, CutAtTheLastSenseThatFitsTwelveThousandBytes) {
    const std::string out = Print(LXV_PRINT_BUFFER_SIZE);
    ASSERT_LT(out.size(), LXV_PRINT_BUFFER_SIZE);
    ASSERT_TRUE(out.ends_with(kHtmlContinuesNote));
    const std::string shown = out.substr(0, out.size() - kHtmlContinuesNote.size());
    std::string expected;
    size_t n = 0;
    while (n < senses_.size() && expected.size() + senses_[n].size() + kHtmlContinuesNote.size() <
                                     LXV_PRINT_BUFFER_SIZE) {
        expected += senses_[n++];
    }
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(out.find(kSenseBreak), std::string::npos);
}

TEST_F(LongEntryTest, TwoHundredByteBufferHoldsACutEntryWithTheNote) {
    const std::string out = Print(200);
    EXPECT_LT(out.size(), 200u);
    EXPECT_TRUE(out.ends_with(kHtmlContinuesNote)) << out;
    EXPECT_TRUE(out.starts_with("<p>1. xxx")) << out;
}

TEST_F(LongEntryTest, EverySizeFitsAndNeverCutsInsideATagOrEntity) {
    for (uint32_t size = 1; size <= 1200; ++size) {
        const std::string out = Print(size);
        ASSERT_LT(out.size(), size);
        std::string body = out;
        if (body.ends_with(kHtmlContinuesNote))
            body.resize(body.size() - kHtmlContinuesNote.size());
        const size_t lt = body.rfind('<');
        EXPECT_TRUE(lt == std::string::npos || body.find('>', lt) != std::string::npos)
            << size << ": " << body;
        const size_t amp = body.rfind('&');
        EXPECT_TRUE(amp == std::string::npos || body.find(';', amp) != std::string::npos)
            << size << ": " << body;
        if (size > kHtmlContinuesNote.size() + 1) {
            EXPECT_TRUE(out.ends_with(kHtmlContinuesNote)) << size;
        }
    }
    EXPECT_EQ(Print(1), "");
}

}  // namespace
}  // namespace lexicore::testing
