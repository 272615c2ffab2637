// Damaged, truncated, foreign and lying files: the engine refuses them at open
// or, at worst, prints nothing for the damaged entries. Never a crash or a read
// outside the mapping (the ASan build checks that).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/lexicore.h"
#include "lexicore/checksum.h"
#include "lexicore/coding.h"
#include "lexicore/format.h"
#include "tests/engine/test_dictionary.h"

namespace lexicore::testing {
namespace {

namespace f = format;

// Calls every reading function on every headword and entry.
void ExerciseEverything(LXV_HANDLE h) {
    const uint32_t count = lxv_wordlist_count(h);
    std::vector<char> buffer(kPrintBufferSize);
    for (uint32_t i = 0; i <= count && i < 100000; ++i) {
        const char* w = lxv_wordlist_at(h, i);
        if (w != nullptr) {
            lxv_wordlist_on(h, w);
            lxv_wordlist_nearest(h, w);
            const LXV_ENTRY e = lxv_find(h, w);
            lxv_printhtml_buf(h, e, buffer.data(), kPrintBufferSize);
            lxv_print_buf(h, e, buffer.data(), 200);
        }
        lxv_printhtml_buf(h, i + 1, buffer.data(), kPrintBufferSize);
    }
    for (const char* key : {"", "cats", "geese", "studies", "zz", "a", "hopping", "9"}) {
        lxv_wordlist_nearest(h, key);
    }
}

class DamageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Build(SampleSource(), good_path_);
        good_ = ReadFile(good_path_);
        ASSERT_GT(good_.size(), f::kHeaderSize);
        index_offset_ = LoadU64(good_.data() + f::kIndexOffsetAt);
    }

    // Writes data as a dictionary file and opens it; returns the handle
    // (0 when refused) after exercising every call on it.
    bool Opens(const std::string& data) {
        const std::string path = dir_.File("damaged.pdb");
        WriteFile(path, data);
        OpenDictionary dict(path);
        if (dict.handle() != 0) ExerciseEverything(dict.handle());
        return dict.handle() != 0;
    }

    // Number of entries that still print.
    int PrintableEntries(const std::string& data) {
        const std::string path = dir_.File("damaged.pdb");
        WriteFile(path, data);
        OpenDictionary dict(path);
        if (dict.handle() == 0) return -1;
        int printable = 0;
        char buffer[512];
        for (uint32_t e = 1; e <= lxv_wordlist_count(dict.handle()); ++e) {
            printable += lxv_printhtml_buf(dict.handle(), e, buffer, sizeof buffer) != 0;
        }
        return printable;
    }

    // Recomputes both checksums, so that only the lie in the values remains.
    static void Reseal(std::string* data) {
        char* h = data->data();
        const uint64_t index_offset = LoadU64(h + f::kIndexOffsetAt);
        if (index_offset <= data->size()) {
            StoreU64(h + f::kIndexChecksumAt,
                     Checksum64(h + index_offset, data->size() - index_offset));
        }
        StoreU64(h + f::kHeaderChecksumAt, Checksum64(h, f::kHeaderChecksumAt));
    }

    std::string WithU32(size_t at, uint32_t v) const {
        std::string d = good_;
        StoreU32(d.data() + at, v);
        Reseal(&d);
        return d;
    }

    std::string WithU64(size_t at, uint64_t v) const {
        std::string d = good_;
        StoreU64(d.data() + at, v);
        Reseal(&d);
        return d;
    }

    uint32_t HeaderU32(size_t at) const { return LoadU32(good_.data() + at); }

    TempDir dir_;
    std::string good_path_ = dir_.File("good.pdb");
    std::string good_;
    uint64_t index_offset_ = 0;
};

TEST_F(DamageTest, IntactFileOpensAndPrintsEverything) {
    EXPECT_TRUE(Opens(good_));
    EXPECT_EQ(PrintableEntries(good_), 36);
}

TEST_F(DamageTest, AnyFlippedHeaderByteIsRefused) {
    for (size_t i = 0; i < f::kHeaderSize; ++i) {
        std::string d = good_;
        d[i] = static_cast<char>(d[i] ^ 0x10);
        EXPECT_FALSE(Opens(d)) << "header byte " << i;
    }
}

TEST_F(DamageTest, AnyFlippedIndexByteIsRefused) {
    for (size_t i = index_offset_; i < good_.size(); ++i) {
        std::string d = good_;
        d[i] = static_cast<char>(d[i] ^ 0x01);
        EXPECT_FALSE(Opens(d)) << "index byte " << i;
    }
}

TEST_F(DamageTest, FlippedBlockByteOpensButItsEntriesDoNotPrint) {
    for (size_t i = f::kHeaderSize; i < index_offset_; ++i) {
        std::string d = good_;
        d[i] = static_cast<char>(d[i] ^ 0x40);
        EXPECT_EQ(PrintableEntries(d), 0) << "block byte " << i;
        EXPECT_TRUE(Opens(d));
    }
}

TEST_F(DamageTest, TruncatedOrExtendedFileIsRefused) {
    for (size_t n = 0; n < good_.size(); ++n) {
        EXPECT_FALSE(Opens(good_.substr(0, n))) << "truncated to " << n;
    }
    EXPECT_FALSE(Opens(good_ + '\0'));
    EXPECT_FALSE(Opens(good_ + good_));
}

TEST_F(DamageTest, ForeignFilesAreRefused) {
    EXPECT_FALSE(Opens(""));
    EXPECT_FALSE(Opens("cat\tsmall domesticated carnivore\n"));
    EXPECT_FALSE(Opens(std::string("\x89PNG\r\n\x1a\n", 8) + std::string(300, '\0')));
    EXPECT_FALSE(Opens(std::string(4096, '\0')));
    EXPECT_FALSE(Opens(std::string(4096, '\xff')));
    std::string magic_only(f::kMagic, sizeof f::kMagic);
    EXPECT_FALSE(Opens(magic_only + std::string(500, 'x')));
}

TEST_F(DamageTest, OtherVersionIsRefusedEvenWithGoodChecksums) {
    EXPECT_FALSE(Opens(WithU32(f::kVersionAt, f::kVersion + 1)));
    EXPECT_FALSE(Opens(WithU32(f::kHeaderSizeAt, 64)));
}

TEST_F(DamageTest, LyingSizesAndOffsetsAreRefusedAtOpen) {
    EXPECT_FALSE(Opens(WithU32(f::kHeadwordCountAt, UINT32_MAX)));
    EXPECT_FALSE(Opens(WithU32(f::kHeadwordCountAt, HeaderU32(f::kHeadwordCountAt) + 1000)));
    EXPECT_FALSE(Opens(WithU32(f::kBlockCountAt, 1u << 30)));
    EXPECT_FALSE(Opens(WithU32(f::kExceptionCountAt, 1u << 28)));
    EXPECT_FALSE(Opens(WithU32(f::kCompressionDictSizeAt, UINT32_MAX)));
    EXPECT_FALSE(Opens(WithU32(f::kCompressionDictOffsetAt, UINT32_MAX)));
    EXPECT_FALSE(Opens(WithU32(f::kMaxBlockSizeAt, UINT32_MAX)));
    EXPECT_FALSE(Opens(WithU32(f::kNamesSizeAt, UINT32_MAX)));
    EXPECT_FALSE(Opens(WithU32(f::kNamesOffsetAt, UINT32_MAX - 2)));
    EXPECT_FALSE(Opens(WithU32(f::kBlocksOffsetAt, UINT32_MAX)));
    EXPECT_FALSE(Opens(WithU64(f::kIndexOffsetAt, UINT64_MAX - 5)));
    EXPECT_FALSE(Opens(WithU64(f::kIndexOffsetAt, 3)));
    EXPECT_FALSE(Opens(WithU64(f::kIndexSizeAt, UINT64_MAX)));
    EXPECT_FALSE(Opens(WithU64(f::kFileLengthAt, good_.size() + 1)));
    // Names that do not end in NUL: shorten the section by one byte.
    EXPECT_FALSE(Opens(WithU32(f::kNamesSizeAt, HeaderU32(f::kNamesSizeAt) - 1)));
}

TEST_F(DamageTest, LyingRecordsInsideTheIndexGiveNullsOrFailedPrintsNeverACrash) {
    struct Patch {
        size_t at;
        uint32_t value;
    };
    const size_t name_records = index_offset_ + HeaderU32(f::kNameRecordsOffsetAt);
    const size_t blocks = index_offset_ + HeaderU32(f::kBlocksOffsetAt);
    const size_t exceptions = index_offset_ + HeaderU32(f::kExceptionsOffsetAt);
    const size_t long_name = name_records + 30 * f::kNameRecordSize;  // "tyrannosaurus rex"
    const std::vector<Patch> patches = {
        {long_name, UINT32_MAX},                      // a long name outside the names
        {long_name, HeaderU32(f::kNamesSizeAt) - 1},  // ... at the final NUL
        {name_records + 4, 0x7A7A7A7A},               // headword 0's prefix disagrees with its name
        {name_records + 20, 0x41414141},              // headword 1's prefix too
        {name_records + 8, 0x61616161},               // a prefix with no NUL: the name seems long
        {blocks, UINT32_MAX},                         // block offset (low half)
        {blocks + 4, UINT32_MAX},                     // block offset (high half)
        {blocks + 8, UINT32_MAX},                     // compressed size
        {blocks + 12, UINT32_MAX},                    // uncompressed size beyond the cap
        {blocks + 12, 3},                             // uncompressed size too small
        {blocks + 24, 5},                             // the first headwords have no block
        {blocks + 24, UINT32_MAX},                    // first headword beyond the count
        {exceptions, UINT32_MAX},                     // exception name offset
        {exceptions + 4, UINT32_MAX},                 // exception base index
    };
    for (const Patch& p : patches) {
        std::string d = good_;
        StoreU32(d.data() + p.at, p.value);
        Reseal(&d);
        Opens(d);
    }
    // Entry sizes inside a block cannot be patched without recompressing; the
    // reader's checks of them are covered by the fuzz target.
}

TEST(KnownBadFiles, AreRefusedOrPrintNothing) {
    const std::string dir = std::string(LEXIVANE_TEST_DATA_DIR) + "/engine/";
    for (const char* name : {"empty.pdb", "foreign.pdb", "truncated.pdb", "bad-header-checksum.pdb",
                             "bad-index-checksum.pdb"}) {
        OpenDictionary dict(dir + name);
        EXPECT_EQ(dict.handle(), 0u) << name;
    }
    // A damaged block: the word list still works, the entry does not print.
    OpenDictionary dict(dir + "bad-block.pdb");
    ASSERT_NE(dict.handle(), 0u);
    EXPECT_STREQ(lxv_wordlist_at(dict.handle(), 0), "a");
    char buffer[256] = "";
    const int16_t viewed = lxv_history_count(dict.handle());
    EXPECT_EQ(lxv_printhtml_buf(dict.handle(), lxv_find(dict.handle(), "a"), buffer, 256), 0);
    EXPECT_EQ(lxv_history_count(dict.handle()), viewed);  // a failed print is no view
}

}  // namespace
}  // namespace lexicore::testing
