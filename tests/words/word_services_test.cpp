#include "words/word_services.h"

#include <gtest/gtest.h>

#include "tests/support/fake_engine.h"

namespace {

class WordServicesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake_engine::Reset();
        fake_engine::SetWords({"a", "aardvark", "caf\xE9", "cat", "dog"});
    }
    CWordServices m_words{0x2A};
};

TEST_F(WordServicesTest, RenderEntryFindsThenPrintsIntoTheZeroedBuffer) {
    EXPECT_EQ(m_words.RenderEntry("Cat", true), QStringLiteral("<b>cat</b> html"));
    EXPECT_EQ(m_words.RenderEntry("cat", false), QStringLiteral("cat text"));
    EXPECT_EQ(fake_engine::Get().calls, (std::vector<std::string>{"lxv_find", "lxv_printhtml_buf",
                                                                  "lxv_find", "lxv_print_buf"}));
    const auto& prints = fake_engine::Get().prints;
    ASSERT_EQ(prints.size(), 2u);
    EXPECT_EQ(prints[0].entry, prints[1].entry) << "same entry reference";
    EXPECT_EQ(prints[0].buffer, prints[1].buffer) << "same buffer";
    EXPECT_EQ(prints[0].size, 12000u);
    EXPECT_TRUE(prints[0].bufferWasZeroed);
    EXPECT_TRUE(prints[1].bufferWasZeroed) << "zeroed again after the first entry";
    EXPECT_EQ(fake_engine::Get().keys.front(), "Cat") << "the word goes to the engine as typed";
}

TEST_F(WordServicesTest, EmptyHeadwordUnknownWordOrFailedPrintGivesEmpty) {
    EXPECT_TRUE(m_words.RenderEntry(QString(), true).isEmpty());
    EXPECT_TRUE(fake_engine::Get().calls.empty()) << "no engine call for an empty headword";

    EXPECT_TRUE(m_words.RenderEntry("zebra", true).isEmpty());
    EXPECT_EQ(fake_engine::CallCount("lxv_printhtml_buf"), 0) << "no print without an entry";
    fake_engine::Get().printResult = 0;
    EXPECT_TRUE(m_words.RenderEntry("cat", false).isEmpty());
}

TEST_F(WordServicesTest, EngineTextIsWindows1252BothWays) {
    EXPECT_EQ(m_words.RenderEntry(QString::fromUtf8("café"), false),
              QString::fromUtf8("café text"));
    EXPECT_EQ(fake_engine::Get().keys.back(), "caf\xE9");
    EXPECT_EQ(m_words.NearestWord(QString::fromUtf8("café")), QString::fromUtf8("café"));
}

TEST_F(WordServicesTest, LongEntriesStayWithinTheBuffer) {
    fake_engine::Get().entries[3].html = std::string(20000, 'x');
    const QString text = m_words.RenderEntry("cat", true);
    EXPECT_EQ(text.size(), 11999);
}

TEST_F(WordServicesTest, NearestWordAndIndex) {
    EXPECT_EQ(m_words.NearestWord("cap"), QStringLiteral("cat"));
    EXPECT_EQ(m_words.NearestIndex("cap"), 3u);
    EXPECT_EQ(m_words.NearestIndex("a"), 0u) << "the first headword";
    EXPECT_EQ(m_words.NearestWord("zzz"), QStringLiteral("dog")) << "past the end: the last";
    EXPECT_EQ(m_words.HeadwordAt(4), QStringLiteral("dog"));
    EXPECT_EQ(m_words.HeadwordAt(5), std::nullopt);
    EXPECT_EQ(m_words.WordCount(), 5u);

    fake_engine::Get().calls.clear();
    EXPECT_EQ(m_words.NearestIndex(QString()), std::nullopt);
    EXPECT_TRUE(m_words.NearestWord(QString()).isEmpty());
    EXPECT_TRUE(fake_engine::Get().calls.empty()) << "no engine call for an empty text";

    fake_engine::Get().entries.clear();
    EXPECT_TRUE(m_words.NearestWord("cat").isEmpty());
    EXPECT_EQ(m_words.NearestIndex("cat"), std::nullopt);
    EXPECT_EQ(fake_engine::CallCount("lxv_wordlist_on"), 0) << "nothing near, nothing to index";
}

TEST_F(WordServicesTest, HeadwordIndexCountsIndexZeroOnlyForTheFirstHeadword) {
    EXPECT_EQ(m_words.HeadwordIndex("cat"), 3u);
    EXPECT_EQ(m_words.HeadwordIndex("a"), 0u);
    fake_engine::SetWords({"cat", "dog"});
    EXPECT_EQ(m_words.HeadwordIndex("CAT"), 0u) << "a dictionary need not begin with a";
    EXPECT_EQ(m_words.HeadwordIndex("ant"), std::nullopt) << "nearest is cat, index 0";
    fake_engine::Get().entries.clear();
    EXPECT_EQ(m_words.HeadwordIndex("a"), 0u) << "the word a is taken at its word";
}

TEST_F(WordServicesTest, HistoryIsTheEnginesWholeOrNothing) {
    fake_engine::Get().history = {"ran", "caf\xE9", "cat"};
    EXPECT_EQ(m_words.HistoryWords(),
              (std::vector<QString>{"ran", QString::fromUtf8("café"), "cat"}));
    fake_engine::Get().historyNullAt = 1;
    EXPECT_TRUE(m_words.HistoryWords().empty()) << "a missing word discards the whole history";
    m_words.ClearHistory();
    EXPECT_TRUE(fake_engine::Get().history.empty());
}

TEST(ExtractLookupWordTest, FirstRunOfPlainLetters) {
    const QString space = QStringLiteral(" ");
    EXPECT_EQ(ExtractLookupWord("  Hello, World  ", space), QStringLiteral("hello"));
    EXPECT_EQ(ExtractLookupWord("(1) run", space), QStringLiteral("run"));
    EXPECT_EQ(ExtractLookupWord("123 456", space), QString());
    EXPECT_EQ(ExtractLookupWord("Well-known", space), QStringLiteral("well"));
    EXPECT_EQ(ExtractLookupWord("   ", space), QString());
    EXPECT_EQ(ExtractLookupWord("don't", space), QStringLiteral("don"));
    EXPECT_EQ(ExtractLookupWord(QString::fromUtf8("éclair"), space), QStringLiteral("clair"));
    EXPECT_EQ(ExtractLookupWord("\t\r\nCat\n", space), QStringLiteral("cat"));
    EXPECT_EQ(ExtractLookupWord("1  2 ... dog's", space), QStringLiteral("dog"));
    EXPECT_EQ(ExtractLookupWord("a1b", space), QStringLiteral("a"));
    EXPECT_EQ(ExtractLookupWord("x", QString()), QString()) << "an empty separator finds nothing";
}

}  // namespace
