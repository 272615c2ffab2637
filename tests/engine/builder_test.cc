#include "lexicore/builder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fcntl.h>
#include <memory>
#include <string>

#include "lexicore/collation.h"
#include "lexicore/dictionary.h"
#include "tests/engine/test_dictionary.h"

namespace lexicore::testing {
namespace {

class BuilderTest : public ::testing::Test {
  protected:
    // Compiles source and opens the result with the internal reader.
    std::unique_ptr<Dictionary> BuildAndOpen(const DictionarySource& source,
                                             BuildStats* stats = nullptr) {
        Build(source, path_, stats);
        const int fd = open(path_.c_str(), O_RDONLY);
        std::unique_ptr<Dictionary> dict;
        const Status s = Dictionary::Open(fd, &dict);
        close(fd);
        EXPECT_TRUE(s.ok()) << s.message();
        return dict;
    }

    std::string WriteError(const DictionarySource& source, const std::string& path) {
        std::string error;
        EXPECT_FALSE(WriteDictionary(source, path, nullptr, &error));
        return error;
    }

    TempDir dir_;
    std::string path_ = dir_.File("out.pdb");
};

TEST_F(BuilderTest, MergesCaseVariantsShowingTheLowerCaseSpelling) {
    DictionarySource source;
    source.entries = {Entry("March", "the month", kNoun), Entry("MARCH", "loud", kNoun),
                      Entry("march", "to walk", kVerb), Entry("Mars", "a planet", kNoun),
                      Entry("MARS", "abbreviation", kNoun)};
    const auto dict = BuildAndOpen(source);
    ASSERT_EQ(dict->count(), 2u);
    EXPECT_STREQ(dict->Headword(0), "march");
    EXPECT_STREQ(dict->Headword(1), "Mars");  // no lower-case form: the first one given
    EXPECT_EQ(dict->PartsOfSpeech(0), kNoun | kVerb);
    EntryText entry;
    ASSERT_TRUE(dict->ReadEntry(0, &entry).ok());
    EXPECT_EQ(entry.html, std::string("<b>March</b> the month") + kSenseBreak +
                              "<b>MARCH</b> loud" + kSenseBreak + "<b>march</b> to walk");
    EXPECT_EQ(entry.text, std::string("March: the month") + kSenseBreak + "MARCH: loud" +
                              kSenseBreak + "march: to walk");
}

TEST_F(BuilderTest, KeepsExceptionsWhoseBaseIsAHeadword) {
    DictionarySource source;
    source.entries = {Entry("goose", "bird", kNoun), Entry("Run", "to move", kVerb)};
    source.exceptions = {
        {"geese", "goose"}, {"ran", "run"}, {"mice", "mouse"}, {"geese", "gander"}, {"", "goose"}};
    BuildStats stats;
    const auto dict = BuildAndOpen(source, &stats);
    EXPECT_EQ(stats.exceptions, 2u);
    EXPECT_EQ(dict->IrregularBase("geese"), 0u);
    EXPECT_EQ(dict->IrregularBase("ran"), 1u);
    EXPECT_EQ(dict->IrregularBase("mice"), Dictionary::kNotFound);
    EXPECT_EQ(dict->IrregularBase("gees"), Dictionary::kNotFound);
}

TEST_F(BuilderTest, ReportsStatistics) {
    DictionarySource source;
    source.entries = {Entry("cat", "x"), Entry("CAT", "y"), Entry("dog", "z"),
                      SourceEntry{"long", std::string(LXV_PRINT_BUFFER_SIZE, 'x'), "t", 0}};
    BuildStats stats;
    const auto dict = BuildAndOpen(source, &stats);
    EXPECT_EQ(stats.headwords, 3u);
    EXPECT_EQ(stats.long_entries, 1u);
    EXPECT_EQ(stats.file_bytes, ReadFile(path_).size());
    // cat + CAT merged: HTML 12 + 1 + 12, text 6 + 1 + 6; dog: 12 + 6; long: 12000 + 1.
    EXPECT_EQ(stats.entry_bytes, 25u + 13u + 18u + LXV_PRINT_BUFFER_SIZE + 1u);
}

TEST_F(BuilderTest, ManyEntriesSpanManyBlocksAndAllReadBack) {
    DictionarySource source;
    for (int i = 0; i < 5000; ++i) {
        source.entries.push_back(
            Entry("w" + std::to_string(i), std::string(40, static_cast<char>('a' + i % 26))));
    }
    const auto dict = BuildAndOpen(source);
    ASSERT_EQ(dict->count(), 5000u);
    for (uint32_t i = 0; i < dict->count(); ++i) {
        const std::string word = dict->Headword(i);
        ASSERT_EQ(dict->Find(word), i);
        EntryText entry;
        ASSERT_TRUE(dict->ReadEntry(i, &entry).ok()) << i;
        EXPECT_EQ(entry.text.substr(0, word.size() + 1), word + ":");
        if (i > 0) {
            EXPECT_LT(Collate(dict->Headword(i - 1), word), 0);
        }
    }
}

TEST_F(BuilderTest, TextIsDerivedFromTheHtmlOrStoredAsGiven) {
    DictionarySource source;
    source.entries = {
        SourceEntry{"derived", "<p><b>derived</b></p><p>x &amp; y</p>", "derived\nx & y\n", 0},
        SourceEntry{"verbatim", "<p>one</p>", "something else entirely", 0}};
    const auto dict = BuildAndOpen(source);
    EntryText entry;
    ASSERT_TRUE(dict->ReadEntry(0, &entry).ok());
    EXPECT_EQ(entry.text, "derived\nx & y\n");
    ASSERT_TRUE(dict->ReadEntry(1, &entry).ok());
    EXPECT_EQ(entry.html, "<p>one</p>");
    EXPECT_EQ(entry.text, "something else entirely");
}

TEST_F(BuilderTest, LargeSourcesCompressWithATrainedDictionaryAndReadBack) {
    DictionarySource source;
    for (int i = 0; i < 12000; ++i) {
        const std::string w = "word" + std::to_string(i);
        source.entries.push_back(
            SourceEntry{w,
                        "<p><b>" + w + "</b></p><p><i>noun</i></p><p>a made-up word numbered " +
                            std::to_string(i * 7919 % 10007) + " for testing</p>",
                        w + "\nnoun\na made-up word numbered " + std::to_string(i * 7919 % 10007) +
                            " for testing\n",
                        kNoun});
    }
    BuildStats stats;
    const auto dict = BuildAndOpen(source, &stats);
    EXPECT_GT(stats.entry_bytes, 1024u * 1024u);
    EXPECT_LT(stats.file_bytes, stats.entry_bytes / 4);
    ASSERT_EQ(dict->count(), 12000u);
    for (uint32_t i = 0; i < dict->count(); i += 97) {
        EntryText entry;
        ASSERT_TRUE(dict->ReadEntry(i, &entry).ok()) << i;
        const std::string w = dict->Headword(i);
        EXPECT_TRUE(entry.html.starts_with("<p><b>" + w + "</b></p>")) << entry.html;
        EXPECT_TRUE(entry.text.starts_with(w + "\nnoun\n")) << entry.text;
    }
}

TEST_F(BuilderTest, RefusesUnstorableHeadwordsWithExactMessages) {
    DictionarySource empty_word;
    empty_word.entries = {Entry("a", "x"), SourceEntry{"", "h", "t", 0}};
    EXPECT_EQ(WriteError(empty_word, path_), path_ + ": entry 2: empty headword");
    DictionarySource control;
    control.entries = {SourceEntry{"tab\there", "h", "t", 0}};
    EXPECT_EQ(WriteError(control, path_),
              path_ + ": entry 1: headword \"tab\there\" contains a control character");
    DictionarySource bad_form;
    bad_form.entries = {Entry("a", "x")};
    bad_form.exceptions = {{std::string("a\0b", 3), "a"}};
    EXPECT_EQ(WriteError(bad_form, path_), path_ + ": irregular form \"" + std::string("a\0b", 3) +
                                               "\" contains a control character");
    EXPECT_TRUE(dir_.List().empty());
}

TEST_F(BuilderTest, WritesAtomicallyAndLeavesNothingBehindOnFailure) {
    DictionarySource source;
    source.entries = {Entry("a", "x")};
    const std::string missing = dir_.File("no/such/dir.pdb");
    EXPECT_EQ(WriteError(source, missing), missing + ": No such file or directory");
    // Replacing an existing file leaves only the new file.
    WriteFile(path_, "old contents");
    Build(source, path_);
    EXPECT_EQ(dir_.List(), std::vector<std::string>{"out.pdb"});
    EXPECT_NE(ReadFile(path_), "old contents");
}

}  // namespace
}  // namespace lexicore::testing
