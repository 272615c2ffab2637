#include "tools/dictd.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "temp_dir.h"

namespace lexivane_dict {
namespace {

TEST(DictdNumber, DecodesBase64DigitsMostSignificantFirst) {
    uint64_t v = 99;
    ASSERT_TRUE(DecodeDictdNumber("A", &v));
    EXPECT_EQ(v, 0u);
    ASSERT_TRUE(DecodeDictdNumber("B", &v));
    EXPECT_EQ(v, 1u);
    ASSERT_TRUE(DecodeDictdNumber("/", &v));
    EXPECT_EQ(v, 63u);
    ASSERT_TRUE(DecodeDictdNumber("BA", &v));
    EXPECT_EQ(v, 64u);
    // Real wn.index values: "a" is at L/n with length RO.
    ASSERT_TRUE(DecodeDictdNumber("L/n", &v));
    EXPECT_EQ(v, 11u * 4096 + 63 * 64 + 39);
    ASSERT_TRUE(DecodeDictdNumber("RO", &v));
    EXPECT_EQ(v, 17u * 64 + 14);
    ASSERT_TRUE(DecodeDictdNumber("//////////", &v));
    EXPECT_EQ(v, (uint64_t{1} << 60) - 1);
}

TEST(DictdNumber, RejectsEmptyForeignAndOverlongDigits) {
    uint64_t v = 0;
    EXPECT_FALSE(DecodeDictdNumber("", &v));
    EXPECT_FALSE(DecodeDictdNumber("A=", &v));
    EXPECT_FALSE(DecodeDictdNumber("-1", &v));
    EXPECT_FALSE(DecodeDictdNumber("AAAAAAAAAAA", &v));
}

TEST(DictdIndexLine, ParsesHeadwordOffsetAndLength) {
    DictdIndexLine line;
    std::string message;
    ASSERT_TRUE(ParseDictdIndexLine("'tween decks\tF6\tBw", &line, &message));
    EXPECT_EQ(line.headword, "'tween decks");
    EXPECT_EQ(line.offset, 5u * 64 + 58);
    EXPECT_EQ(line.length, 1u * 64 + 48);
}

TEST(DictdIndexLine, ReportsWhatIsWrong) {
    DictdIndexLine line;
    std::string message;
    EXPECT_FALSE(ParseDictdIndexLine("cat YB cm", &line, &message));
    EXPECT_EQ(message, "expected headword, offset and length separated by tabs");
    EXPECT_FALSE(ParseDictdIndexLine("cat\tYB", &line, &message));
    EXPECT_EQ(message, "expected headword, offset and length separated by tabs");
    EXPECT_FALSE(ParseDictdIndexLine("cat\tYB\tcm\tx", &line, &message));
    EXPECT_EQ(message, "expected headword, offset and length separated by tabs");
    EXPECT_FALSE(ParseDictdIndexLine("\tYB\tcm", &line, &message));
    EXPECT_EQ(message, "empty headword");
    EXPECT_FALSE(ParseDictdIndexLine("cat\tY!\tcm", &line, &message));
    EXPECT_EQ(message, "invalid offset 'Y!'");
    EXPECT_FALSE(ParseDictdIndexLine("cat\tYB\t", &line, &message));
    EXPECT_EQ(message, "invalid length ''");
}

// A dictd pair written into a temporary directory.
class ReadDictdTest : public ::testing::Test {
  protected:
    void SetUp() override { data_ = dir_.Write("t.dict", "catdogbird00-database-short"); }
    std::string Index(const std::string& text) { return dir_.Write("t.index", text); }

    bool Read(const std::string& index, std::vector<DictdRecord>* records, std::string* error) {
        return ReadDictd(
            index, data_,
            [&](const DictdRecord& record, std::string*) {
                records->push_back(record);
                return true;
            },
            error);
    }

    TempDir dir_;
    std::string data_;
};

TEST_F(ReadDictdTest, YieldsEachEntryWithItsIndexLineAndSkipsMetaEntries) {
    const std::string index = Index("00-database-short\tN\tR\ncat\tA\tD\ndog\tD\tD\nbird\tG\tE\n");
    std::vector<DictdRecord> records;
    std::string error;
    ASSERT_TRUE(Read(index, &records, &error)) << error;
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].headword, "cat");
    EXPECT_EQ(records[0].text, "cat");
    EXPECT_EQ(records[0].line, 2);
    EXPECT_EQ(records[2].headword, "bird");
    EXPECT_EQ(records[2].text, "bird");
    EXPECT_EQ(records[2].line, 4);
    EXPECT_EQ(records[2].Error("oops"), index + ":4: oops");
}

TEST_F(ReadDictdTest, StopsAtAMalformedLineWithItsLocation) {
    const std::string index = Index("cat\tA\tD\ndog D D\nbird\tG\tE\n");
    std::vector<DictdRecord> records;
    std::string error;
    EXPECT_FALSE(Read(index, &records, &error));
    EXPECT_EQ(error, index + ":2: expected headword, offset and length separated by tabs");
    EXPECT_EQ(records.size(), 1u);
}

TEST_F(ReadDictdTest, RefusesARangeOutsideTheData) {
    // The data holds 27 bytes; "bird" claims 5 bytes at 24.
    const std::string index = Index("cat\tA\tD\nbird\tY\tF\n");
    std::vector<DictdRecord> records;
    std::string error;
    EXPECT_FALSE(Read(index, &records, &error));
    EXPECT_EQ(error, index + ":2: entry 'bird' at offset 24, length 5 lies outside " + data_ +
                         " (27 bytes)");
    const std::string huge = Index("cat\t//////////\tD\n");
    EXPECT_FALSE(Read(huge, &records, &error));
    EXPECT_EQ(error, huge +
                         ":1: entry 'cat' at offset 1152921504606846975, length 3 lies outside " +
                         data_ + " (27 bytes)");
}

TEST_F(ReadDictdTest, ReportsUnreadableFiles) {
    std::vector<DictdRecord> records;
    std::string error;
    EXPECT_FALSE(Read(dir_.path() + "/missing.index", &records, &error));
    EXPECT_EQ(error, dir_.path() + "/missing.index: cannot read: No such file or directory");
    const std::string index = Index("cat\tA\tD\n");
    data_ = dir_.path() + "/missing.dict";
    EXPECT_FALSE(Read(index, &records, &error));
    EXPECT_EQ(error, data_ + ": cannot read: No such file or directory");
}

TEST_F(ReadDictdTest, VisitorErrorsStopTheRead) {
    const std::string index = Index("cat\tA\tD\ndog\tD\tD\n");
    int visits = 0;
    std::string error;
    EXPECT_FALSE(ReadDictd(
        index, data_,
        [&](const DictdRecord& record, std::string* e) {
            ++visits;
            *e = record.Error("bad entry");
            return false;
        },
        &error));
    EXPECT_EQ(visits, 1);
    EXPECT_EQ(error, index + ":1: bad entry");
}

TEST(DictdDataPath, PrefersTheCompressedDataBesideTheIndex) {
    TempDir dir;
    dir.Write("x.dict", "");
    EXPECT_EQ(DictdDataPathFor(dir.path() + "/x.index"), dir.path() + "/x.dict");
    dir.Write("x.dict.dz", "");
    EXPECT_EQ(DictdDataPathFor(dir.path() + "/x.index"), dir.path() + "/x.dict.dz");
}

// Compressed with the real dictzip: several chunks of 58315 bytes, a file name
// in the gzip header.
class DictzipTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::mt19937 random(7);
        const std::string alphabet = "abcdefghij klmnop\n";
        for (int i = 0; i < 300000; ++i) plain_.push_back(alphabet[random() % alphabet.size()]);
        const std::string path = dir_.Write("text.dict", plain_);
        ASSERT_EQ(std::system(("dictzip '" + path + "'").c_str()), 0);
        dz_ = path + ".dz";
    }

    std::string Compressed() {
        std::ifstream in(dz_, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    TempDir dir_;
    std::string plain_;
    std::string dz_;
};

TEST_F(DictzipTest, ReadsAnyRangeThroughTheChunkTable) {
    std::string error;
    const auto data = DictdData::Open(dz_, &error);
    ASSERT_NE(data, nullptr) << error;
    EXPECT_EQ(data->size(), plain_.size());
    std::string out;
    // Within the first chunk, across a chunk boundary, across three chunks,
    // the very end, backwards through the file, and nothing.
    const std::pair<uint64_t, uint64_t> ranges[] = {
        {0, 10},       {58300, 40}, {58000, 120000}, {plain_.size() - 7, 7},
        {250000, 100}, {3, 58315},  {100, 0},        {0, plain_.size()}};
    for (const auto& [offset, length] : ranges) {
        ASSERT_TRUE(data->Read(offset, length, &out, &error)) << error;
        EXPECT_EQ(out, plain_.substr(offset, length)) << offset << "+" << length;
    }
}

TEST_F(DictzipTest, DetectsDamagedChunks) {
    std::string bytes = Compressed();
    // Corrupt the middle of the compressed data of the first chunks.
    for (size_t i = bytes.size() / 4; i < bytes.size() / 4 + 64; ++i) bytes[i] = '\xff';
    dir_.Write("text.dict.dz", bytes);
    std::string error;
    const auto data = DictdData::Open(dz_, &error);
    ASSERT_NE(data, nullptr) << error;
    std::string out;
    std::string message;
    bool all_ok = true;
    for (uint64_t offset = 0; offset < plain_.size(); offset += 58315) {
        all_ok = data->Read(offset, 10, &out, &message) && all_ok;
    }
    EXPECT_FALSE(all_ok);
    EXPECT_TRUE(message.ends_with(" is damaged")) << message;
}

TEST_F(DictzipTest, RefusesAGzipFileWithoutAChunkTable) {
    const std::string plain = dir_.Write("plain", plain_);
    ASSERT_EQ(std::system(("gzip -c '" + plain + "' > '" + plain + ".dz'").c_str()), 0);
    std::string error;
    EXPECT_EQ(DictdData::Open(plain + ".dz", &error), nullptr);
    EXPECT_EQ(error, plain + ".dz: not a dictzip file (no random-access table)");
}

TEST_F(DictzipTest, RefusesTruncatedAndForeignFiles) {
    std::string error;
    dir_.Write("text.dict.dz", Compressed().substr(0, 5000));
    EXPECT_EQ(DictdData::Open(dz_, &error), nullptr);
    EXPECT_EQ(error, dz_ + ": chunk table describes more data than the file holds");
    dir_.Write("text.dict.dz", "PK\3\4 this is a zip file, not gzip");
    EXPECT_EQ(DictdData::Open(dz_, &error), nullptr);
    EXPECT_EQ(error, dz_ + ": not a gzip file");
    dir_.Write("text.dict.dz", "");
    EXPECT_EQ(DictdData::Open(dz_, &error), nullptr);
    EXPECT_EQ(error, dz_ + ": not a dictzip file (too short)");
}

TEST_F(DictzipTest, EntriesReadThroughTheIndexMatchThePlainFile) {
    const std::string index = dir_.Write("text.index", "first\tA\tK\nspanning\tOO8\tBk\n");
    std::vector<std::string> texts;
    std::string error;
    ASSERT_TRUE(ReadDictd(
        index, DictdDataPathFor(index),
        [&](const DictdRecord& record, std::string*) {
            texts.push_back(record.text);
            return true;
        },
        &error))
        << error;
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], plain_.substr(0, 10));
    EXPECT_EQ(texts[1], plain_.substr(58300, 100));
}

}  // namespace
}  // namespace lexivane_dict
