#include "words/word_services.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTemporaryDir>

#include "platform/clipboard.h"
#include "platform/glue.h"
#include "tests/support/fake_engine.h"

namespace {

class WordServicesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake_engine::Reset();
        fake_engine::SetWords({"a", "aardvark", "caf\xE9", "cat", "dog"});
        m_words.m_hEngine = 0x2A;
    }
    CWordServices m_words;
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

TEST_F(WordServicesTest, EmptyHeadwordKeepsTheLastEntryAndCallsNothing) {
    m_words.RenderEntry("dog", true);
    fake_engine::Get().calls.clear();
    EXPECT_TRUE(m_words.RenderEntry(QString(), true).isEmpty());
    EXPECT_TRUE(fake_engine::Get().calls.empty());
    EXPECT_EQ(m_words.LastRenderedText(), QStringLiteral("<b>dog</b> html"));
}

TEST_F(WordServicesTest, UnknownWordOrFailedPrintGivesEmpty) {
    m_words.RenderEntry("dog", true);
    EXPECT_TRUE(m_words.RenderEntry("zebra", true).isEmpty());
    EXPECT_TRUE(m_words.LastRenderedText().isEmpty());
    EXPECT_EQ(fake_engine::CallCount("lxv_printhtml_buf"), 1) << "no print without an entry";

    m_words.RenderEntry("dog", true);
    fake_engine::Get().printResult = 0;
    EXPECT_TRUE(m_words.RenderEntry("cat", false).isEmpty());
    EXPECT_TRUE(m_words.LastRenderedText().isEmpty());
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

    fake_engine::Get().calls.clear();
    EXPECT_EQ(m_words.NearestIndex(QString()), 0u);
    EXPECT_TRUE(m_words.NearestWord(QString()).isEmpty());
    EXPECT_TRUE(fake_engine::Get().calls.empty()) << "no engine call for an empty text";

    fake_engine::Get().entries.clear();
    EXPECT_TRUE(m_words.NearestWord("cat").isEmpty());
    EXPECT_EQ(m_words.NearestIndex("cat"), 0u);
    EXPECT_EQ(fake_engine::CallCount("lxv_wordlist_on"), 0) << "nothing near, nothing to index";
}

TEST_F(WordServicesTest, CopyPlacesBothFormsAndReadingTakesUnicodeOnly) {
    QGuiApplication::clipboard()->setText("before");
    EXPECT_FALSE(m_words.CopyToClipboard(QString()));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));

    EXPECT_TRUE(m_words.CopyToClipboard(QString::fromUtf8("café €")));
    EXPECT_TRUE(m_words.LastOk());
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    EXPECT_EQ(mime->text(), QString::fromUtf8("café €"));
    EXPECT_EQ(mime->data(kAnsiTextMimeType), QByteArray("caf\xE9 \x80"));
    EXPECT_EQ(m_words.GetClipboardText(), QString::fromUtf8("café €"));

    auto* ansiOnly = new QMimeData;
    ansiOnly->setData(kAnsiTextMimeType, "eight bit");
    QGuiApplication::clipboard()->setMimeData(ansiOnly);
    EXPECT_TRUE(m_words.GetClipboardText().isEmpty());

    m_words.CopyToClipboard("cat");
    m_words.ClearClipboard();
    EXPECT_TRUE(m_words.GetClipboardText().isEmpty());
}

TEST_F(WordServicesTest, CopyReportsAClipboardThatCannotBeOpened) {
    ASSERT_TRUE(OpenClipboard(nullptr));  // another user holds it
    EXPECT_FALSE(m_words.CopyToClipboard("cat"));
    EXPECT_FALSE(m_words.LastOk());
    CloseClipboard();
}

TEST(ExtractLookupWordTest, FirstRunOfPlainLetters) {
    CWordServices words;
    const QString space = QStringLiteral(" ");
    EXPECT_EQ(words.ExtractLookupWord("  Hello, World  ", space), QStringLiteral("hello"));
    EXPECT_EQ(words.ExtractLookupWord("(1) run", space), QStringLiteral("run"));
    EXPECT_EQ(words.ExtractLookupWord("123 456", space), QString());
    EXPECT_EQ(words.ExtractLookupWord("Well-known", space), QStringLiteral("well"));
    EXPECT_EQ(words.ExtractLookupWord("   ", space), QString());
    EXPECT_EQ(words.ExtractLookupWord("don't", space), QStringLiteral("don"));
    EXPECT_EQ(words.ExtractLookupWord(QString::fromUtf8("éclair"), space), QStringLiteral("clair"));
    EXPECT_EQ(words.ExtractLookupWord("\t\r\nCat\n", space), QStringLiteral("cat"));
    EXPECT_EQ(words.ExtractLookupWord("1  2 ... dog's", space), QStringLiteral("dog"));
    EXPECT_EQ(words.ExtractLookupWord("a1b", space), QStringLiteral("a"));
    EXPECT_EQ(words.ExtractLookupWord("x", QString()), QString())
        << "an empty separator finds nothing";
}

}  // namespace
