// Damaged, truncated, foreign, lying and changed files: the engine refuses
// them at open, saying why in errno, or, at worst, prints nothing for the
// damaged entries. Never a crash or a read outside what was read (the ASan
// build checks that).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
    std::vector<char> buffer(LXV_PRINT_BUFFER_SIZE);
    for (uint32_t i = 0; i <= count && i < 100000; ++i) {
        const char* w = lxv_wordlist_at(h, i);
        if (w != nullptr) {
            lxv_wordlist_on(h, w);
            lxv_wordlist_nearest(h, w);
            const LXV_ENTRY e = lxv_find(h, w);
            lxv_printhtml_buf(h, e, buffer.data(), LXV_PRINT_BUFFER_SIZE);
            lxv_print_buf(h, e, buffer.data(), 200);
        }
        lxv_printhtml_buf(h, i + 1, buffer.data(), LXV_PRINT_BUFFER_SIZE);
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

    // errno as the engine refused data with (0 when it opened).
    int Refusal(const std::string& data) {
        const std::string path = dir_.File("damaged.pdb");
        WriteFile(path, data);
        return OpenDictionary(path).error();
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
        // A changed magic or version is another kind of file; anything else
        // is a damaged dictionary.
        const bool other_kind = i < f::kVersionAt + 4;
        EXPECT_EQ(Refusal(d), other_kind ? ENOEXEC : EBADMSG) << "header byte " << i;
    }
}

TEST_F(DamageTest, AnyFlippedIndexByteIsRefused) {
    for (size_t i = index_offset_; i < good_.size(); ++i) {
        std::string d = good_;
        d[i] = static_cast<char>(d[i] ^ 0x01);
        EXPECT_FALSE(Opens(d)) << "index byte " << i;
        EXPECT_EQ(Refusal(d), EBADMSG) << "index byte " << i;
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
        // Cut inside the magic, it is no dictionary; after it, a damaged one.
        EXPECT_EQ(Refusal(good_.substr(0, n)), n < sizeof f::kMagic ? ENOEXEC : EBADMSG)
            << "truncated to " << n;
    }
    EXPECT_EQ(Refusal(good_ + '\0'), EBADMSG);
    EXPECT_EQ(Refusal(good_ + good_), EBADMSG);
}

TEST_F(DamageTest, ForeignFilesAreRefused) {
    const std::string magic_only(f::kMagic, sizeof f::kMagic);
    for (const std::string& foreign :
         {std::string(), std::string("cat\tsmall domesticated carnivore\n"),
          std::string("\x89PNG\r\n\x1a\n", 8) + std::string(300, '\0'), std::string(4096, '\0'),
          std::string(4096, '\xff'), magic_only + std::string(500, 'x')}) {
        EXPECT_FALSE(Opens(foreign));
        EXPECT_EQ(Refusal(foreign), ENOEXEC) << foreign.size() << " bytes";
    }
}

TEST_F(DamageTest, OtherVersionIsRefusedEvenWithGoodChecksums) {
    EXPECT_EQ(Refusal(WithU32(f::kVersionAt, f::kVersion + 1)), ENOEXEC);
    EXPECT_EQ(Refusal(WithU32(f::kHeaderSizeAt, 64)), EBADMSG);
}

// What the system gives instead of a readable regular file.
TEST_F(DamageTest, DescriptorsThatCannotBeReadAreRefused) {
    WriteFile(good_path_, good_);
    const int write_only = open(good_path_.c_str(), O_WRONLY);
    const int directory = open(dir_.path().c_str(), O_RDONLY | O_DIRECTORY);
    const std::string fifo = dir_.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int pipe_end = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    const struct {
        int fd;
        int error;
    } cases[] = {{write_only, EIO}, {directory, EINVAL}, {pipe_end, EINVAL}, {-1, EBADF}};
    for (const auto& c : cases) {
        errno = 0;
        EXPECT_EQ(lxv_openfile(c.fd, c.fd, c.fd, c.fd, c.fd), 0u) << c.fd;
        EXPECT_EQ(errno, c.error) << c.fd;
        if (c.fd >= 0) close(c.fd);
    }
}

// `cp other.pdb dictionary.pdb` while a program has the dictionary open: cp
// cuts the file to nothing, then writes the other dictionary into the same
// file. The word list read at open stays as it was, an entry prints as before
// or not at all, and nothing faults.
TEST(ChangedFile, GivesFailedPrintsNeverACrash) {
    TempDir dir;
    DictionarySource source;
    for (int i = 0; i < 1000; ++i) {
        source.entries.push_back(
            Entry("word" + std::to_string(i), std::string(100, static_cast<char>('a' + i % 26))));
    }
    Build(source, dir.File("dictionary.pdb"));
    Build(SampleSource(), dir.File("other.pdb"));
    const std::string replacement = ReadFile(dir.File("other.pdb"));
    OpenDictionary dict(dir.File("dictionary.pdb"));
    const LXV_HANDLE h = dict.handle();
    ASSERT_NE(h, 0u);
    const uint32_t count = lxv_wordlist_count(h);
    std::vector<std::string> headwords;
    std::vector<std::string> entries;
    char buffer[LXV_PRINT_BUFFER_SIZE];
    for (uint32_t i = 0; i < count; ++i) {
        headwords.push_back(lxv_wordlist_at(h, i));
        ASSERT_NE(lxv_printhtml_buf(h, i + 1, buffer, sizeof buffer), 0);
        entries.push_back(buffer);
    }

    for (const std::string& contents : {std::string(), replacement}) {
        const int fd = open(dir.File("dictionary.pdb").c_str(), O_WRONLY | O_TRUNC);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(write(fd, contents.data(), contents.size()),
                  static_cast<ssize_t>(contents.size()));
        close(fd);
        ExerciseEverything(h);
        ASSERT_EQ(lxv_wordlist_count(h), count);
        int failed = 0;
        for (uint32_t i = 0; i < count; ++i) {
            EXPECT_EQ(lxv_wordlist_at(h, i), headwords[i]);
            EXPECT_EQ(lxv_wordlist_on(h, headwords[i].c_str()), i);
            if (lxv_printhtml_buf(h, i + 1, buffer, sizeof buffer) == 0) {
                ++failed;
            } else {
                EXPECT_EQ(buffer, entries[i]) << "the block read before the change";
            }
        }
        EXPECT_GT(failed, 900) << contents.size() << " bytes";
    }
}

TEST_F(DamageTest, LyingSizesAndOffsetsAreRefusedAtOpen) {
    EXPECT_FALSE(Opens(WithU32(f::kHeadwordCountAt, UINT32_MAX)));
    EXPECT_FALSE(Opens(WithU32(f::kHeadwordCountAt, HeaderU32(f::kHeadwordCountAt) + 1000)));
    EXPECT_FALSE(Opens(WithU32(f::kBlockCountAt, 1u << 30)));
    EXPECT_FALSE(Opens(WithU32(f::kExceptionCountAt, 1u << 28)));
    EXPECT_FALSE(Opens(WithU32(f::kCompressionDictSizeAt, UINT32_MAX)));
    EXPECT_FALSE(Opens(WithU32(f::kCompressionDictOffsetAt, UINT32_MAX)));
    EXPECT_FALSE(Opens(WithU32(f::kHeadwordFilterWordsAt, 0)));
    EXPECT_FALSE(Opens(WithU32(f::kHeadwordFilterWordsAt, UINT32_MAX)));
    EXPECT_FALSE(Opens(WithU32(f::kHeadwordFilterOffsetAt, UINT32_MAX - 7)));
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
        // These values are checked when used, not at open.
        EXPECT_TRUE(Opens(d)) << "patch at " << p.at;
    }
    // Entry sizes inside a block cannot be patched without recompressing; the
    // reader's checks of them are covered by the fuzz target.
}

TEST_F(DamageTest, LyingValuesFoundWhenUsedGiveNullOrZero) {
    const size_t name_records = index_offset_ + HeaderU32(f::kNameRecordsOffsetAt);
    const size_t blocks = index_offset_ + HeaderU32(f::kBlocksOffsetAt);
    std::string d = good_;
    StoreU32(d.data() + name_records + 30 * f::kNameRecordSize, UINT32_MAX);  // long name
    StoreU32(d.data() + blocks + f::kBlockFirstHeadwordAt, 5);  // headwords 0..4 lose their block
    Reseal(&d);
    WriteFile(dir_.File("lying.pdb"), d);
    OpenDictionary dict(dir_.File("lying.pdb"));
    const LXV_HANDLE h = dict.handle();
    ASSERT_NE(h, 0u);
    EXPECT_STREQ(lxv_wordlist_at(h, 29), "study");
    EXPECT_EQ(lxv_wordlist_at(h, 30), nullptr);
    char buffer[256];
    EXPECT_EQ(lxv_printhtml_buf(h, 1, buffer, sizeof buffer), 0);
    EXPECT_EQ(lxv_printhtml_buf(h, 5, buffer, sizeof buffer), 0);
}

TEST(DamagedCompressionDictionary, GivesFailedPrintsOrWrongTextNeverACrash) {
    // Enough entries for the compiler to train a compression dictionary.
    DictionarySource source;
    for (int i = 0; i < 12000; ++i) {
        const std::string w = "word" + std::to_string(i);
        source.entries.push_back(
            Entry(w, "<p>a made-up entry numbered " + std::to_string(i * 7919 % 10007) + "</p>"));
    }
    TempDir dir;
    Build(source, dir.File("big.pdb"));
    const std::string good = ReadFile(dir.File("big.pdb"));
    const uint64_t index_offset = LoadU64(good.data() + f::kIndexOffsetAt);
    const size_t dict_at = index_offset + LoadU32(good.data() + f::kCompressionDictOffsetAt);
    const uint32_t dict_size = LoadU32(good.data() + f::kCompressionDictSizeAt);
    ASSERT_GT(dict_size, 1000u);
    auto reseal = [&](std::string* d) {
        char* h = d->data();
        StoreU64(h + f::kIndexChecksumAt, Checksum64(h + index_offset, d->size() - index_offset));
        StoreU64(h + f::kHeaderChecksumAt, Checksum64(h, f::kHeaderChecksumAt));
    };
    std::vector<std::string> damaged;
    for (uint32_t at = 0; at < dict_size; at += dict_size / 16) {
        std::string d = good;
        d[dict_at + at] = static_cast<char>(d[dict_at + at] ^ 0x5A);
        reseal(&d);
        damaged.push_back(d);
    }
    std::string shorter = good;
    StoreU32(shorter.data() + f::kCompressionDictSizeAt, dict_size / 2);
    reseal(&shorter);
    damaged.push_back(shorter);
    for (size_t k = 0; k < damaged.size(); ++k) {
        WriteFile(dir.File("damaged.pdb"), damaged[k]);
        OpenDictionary dict(dir.File("damaged.pdb"));
        ASSERT_NE(dict.handle(), 0u) << k;  // blocks are not read at open
        char buffer[LXV_PRINT_BUFFER_SIZE];
        for (LXV_ENTRY e = 1; e <= 12000; e += 37) {
            lxv_printhtml_buf(dict.handle(), e, buffer, sizeof buffer);
            lxv_print_buf(dict.handle(), e, buffer, sizeof buffer);
        }
    }
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
