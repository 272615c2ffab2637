#include "lexicore/dictionary.h"

#include <zstd.h>

#include <cstddef>
#include <cstring>

#include "lexicore/checksum.h"
#include "lexicore/coding.h"
#include "lexicore/collation.h"
#include "lexicore/format.h"

namespace lexicore {

namespace f = format;

namespace {

// The fuzz build accepts wrong checksums so that the fuzzer can reach the
// checks that guard against lying values behind good checksums.
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
constexpr bool kVerifyChecksums = false;
#else
constexpr bool kVerifyChecksums = true;
#endif

bool ChecksumMatches(const char* data, size_t size, uint64_t expected) {
    return !kVerifyChecksums || Checksum64(data, size) == expected;
}

}  // namespace

Dictionary::~Dictionary() {
    ZSTD_freeDCtx(dctx_);
}

Status Dictionary::Open(int fd, std::unique_ptr<Dictionary>* out) {
    std::unique_ptr<Dictionary> dict(new Dictionary());
    Status s = MappedFile::Map(fd, &dict->file_);
    if (!s.ok()) return s;
    s = dict->Validate();
    if (!s.ok()) return s;
    *out = std::move(dict);
    return Status::Ok();
}

Status Dictionary::Validate() {
    const char* base = file_->data();
    const size_t size = file_->size();
    if (size < f::kHeaderSize) return Status::Corrupt("file shorter than the header");
    if (std::memcmp(base + f::kMagicAt, f::kMagic, sizeof f::kMagic) != 0) {
        return Status::Corrupt("not a dictionary file");
    }
    if (LoadU32(base + f::kVersionAt) != f::kVersion) return Status::Corrupt("unknown version");
    if (LoadU32(base + f::kHeaderSizeAt) != f::kHeaderSize) {
        return Status::Corrupt("bad header size");
    }
    if (!ChecksumMatches(base, f::kHeaderChecksumAt, LoadU64(base + f::kHeaderChecksumAt))) {
        return Status::Corrupt("header checksum mismatch");
    }
    if (LoadU64(base + f::kFileLengthAt) != size) {
        return Status::Corrupt("file length differs from the recorded length");
    }
    const uint64_t index_offset = LoadU64(base + f::kIndexOffsetAt);
    const uint64_t index_size = LoadU64(base + f::kIndexSizeAt);
    if (index_offset < f::kHeaderSize || index_offset > size || index_size != size - index_offset) {
        return Status::Corrupt("index region outside the file");
    }
    const char* index = base + index_offset;
    file_->WillNeed(index_offset, index_size);
    if (!ChecksumMatches(index, index_size, LoadU64(base + f::kIndexChecksumAt))) {
        return Status::Corrupt("index checksum mismatch");
    }

    count_ = LoadU32(base + f::kHeadwordCountAt);
    exception_count_ = LoadU32(base + f::kExceptionCountAt);
    block_count_ = LoadU32(base + f::kBlockCountAt);
    hash_slots_ = LoadU32(base + f::kHashSlotsAt);
    max_block_size_ = LoadU32(base + f::kMaxBlockSizeAt);
    names_size_ = LoadU32(base + f::kNamesSizeAt);
    exception_names_size_ = LoadU32(base + f::kExceptionNamesSizeAt);
    blocks_end_ = index_offset;

    // Places a section of `length` bytes at `offset` in the index region.
    auto section = [&](size_t offset_at, uint64_t length, const char** out) {
        const uint64_t offset = LoadU32(base + offset_at);
        if (offset > index_size || length > index_size - offset) return false;
        *out = index + offset;
        return true;
    };
    if (!section(f::kNameRecordsOffsetAt, uint64_t{count_} * f::kNameRecordSize, &name_records_) ||
        !section(f::kNamesOffsetAt, names_size_, &names_) ||
        !section(f::kEntriesOffsetAt, uint64_t{count_} * f::kEntryRefSize, &entries_) ||
        !section(f::kPosOffsetAt, uint64_t{count_} * f::kPosSize, &pos_) ||
        !section(f::kHashOffsetAt, uint64_t{hash_slots_} * f::kHashSlotSize, &hash_) ||
        !section(f::kExceptionsOffsetAt, uint64_t{exception_count_} * f::kExceptionSize,
                 &exceptions_) ||
        !section(f::kExceptionNamesOffsetAt, exception_names_size_, &exception_names_) ||
        !section(f::kBlocksOffsetAt, uint64_t{block_count_} * f::kBlockRefSize, &blocks_)) {
        return Status::Corrupt("index section outside the index region");
    }
    if (count_ > 0) {
        if (names_size_ == 0 || names_[names_size_ - 1] != '\0') {
            return Status::Corrupt("headword names not terminated");
        }
        if (hash_slots_ < count_ || (hash_slots_ & (hash_slots_ - 1)) != 0) {
            return Status::Corrupt("bad hash table size");
        }
    }
    if (exception_count_ > 0 &&
        (exception_names_size_ == 0 || exception_names_[exception_names_size_ - 1] != '\0')) {
        return Status::Corrupt("exception names not terminated");
    }
    if (max_block_size_ > f::kMaxBlockSizeCap) return Status::Corrupt("block size too large");
    fences_.reserve(size_t{(count_ + kFenceStride - 1) / kFenceStride} * f::kNameRecordSize);
    for (uint32_t i = 0; i < count_; i += kFenceStride) {
        const char* record = name_records_ + size_t{i} * f::kNameRecordSize;
        fences_.insert(fences_.end(), record, record + f::kNameRecordSize);
    }
    return Status::Ok();
}

const char* Dictionary::Headword(uint32_t index) const {
    if (index >= count_) return nullptr;
    const uint32_t offset = LoadU32(name_records_ + size_t{index} * f::kNameRecordSize);
    if (offset >= names_size_) return nullptr;
    // The names section ends in NUL (checked at open), so this string ends
    // inside it.
    return names_ + offset;
}

std::string_view Dictionary::NameAt(uint32_t index) const {
    const char* name = Headword(index);
    return name == nullptr ? std::string_view() : std::string_view(name);
}

inline int Dictionary::CompareRecord(const char* record, std::string_view key) const {
    const char* prefix = record + 4;
    // Most comparisons end at the first differing byte of the prefix, and
    // between two lower-case ASCII letters byte order is the collation order.
    const size_t limit = key.size() < f::kNamePrefixSize ? key.size() : f::kNamePrefixSize;
    size_t i = 0;
    while (i < limit && prefix[i] == key[i] && prefix[i] != '\0') ++i;
    if (i < limit) {
        const auto a = static_cast<unsigned char>(prefix[i]);
        const auto b = static_cast<unsigned char>(key[i]);
        if (a == '\0') return -1;  // the name ended first
        if (a >= 'a' && a <= 'z' && b >= 'a' && b <= 'z') return a < b ? -1 : 1;
    } else if (i == key.size() && i < f::kNamePrefixSize) {
        return prefix[i] == '\0' ? 0 : 1;  // same bytes; the name may go on
    }
    return CompareRecordSlowly(record, key);
}

int Dictionary::CompareRecordSlowly(const char* record, std::string_view key) const {
    const char* prefix = record + 4;
    if (std::memchr(prefix, '\0', f::kNamePrefixSize) != nullptr) return CollateZ(prefix, key);
    // The name is longer than its prefix.
    const size_t n = key.size() < f::kNamePrefixSize ? key.size() : f::kNamePrefixSize;
    const int c = ComparePrimary(prefix, key, n);
    if (c != 0) return c;
    if (key.size() <= f::kNamePrefixSize) return 1;  // key ended first
    const uint32_t offset = LoadU32(record);
    return offset >= names_size_ ? -1 : CollateZ(names_ + offset, key);
}

int Dictionary::CompareAt(uint32_t index, std::string_view key) const {
    return CompareRecord(name_records_ + size_t{index} * f::kNameRecordSize, key);
}

bool Dictionary::EqualsAt(uint32_t index, std::string_view key) const {
    const char* prefix = name_records_ + size_t{index} * f::kNameRecordSize + 4;
    const size_t n = key.size() < f::kNamePrefixSize ? key.size() : f::kNamePrefixSize;
    if (!FoldStartsWith(std::string_view(prefix, f::kNamePrefixSize), key.substr(0, n))) {
        return false;
    }
    return FoldEquals(NameAt(index), key);
}

uint8_t Dictionary::PartsOfSpeech(uint32_t index) const {
    return index < count_ ? static_cast<uint8_t>(pos_[index]) : 0;
}

uint32_t Dictionary::Find(std::string_view key) const {
    if (count_ == 0) return kNotFound;
    const uint32_t mask = hash_slots_ - 1;
    uint32_t slot = FoldHash(key) & mask;
    const uint32_t probes = hash_slots_ < f::kMaxProbe ? hash_slots_ : f::kMaxProbe;
    for (uint32_t i = 0; i < probes; ++i) {
        const uint32_t v = LoadU32(hash_ + size_t{slot} * f::kHashSlotSize);
        if (v == 0) return kNotFound;
        const uint32_t index = v - 1;
        if (index < count_ && EqualsAt(index, key)) return index;
        slot = (slot + 1) & mask;
    }
    return kNotFound;
}

uint32_t Dictionary::LowerBound(std::string_view key) const {
    if (count_ == 0) return 0;
    // First among the fences: fence j is headword j * kFenceStride.
    const uint32_t fence_count = static_cast<uint32_t>(fences_.size() / f::kNameRecordSize);
    uint32_t first = 0;
    uint32_t m = fence_count;
    while (m > 0) {
        const uint32_t half = m / 2;
        if (CompareRecord(fences_.data() + size_t{first + half} * f::kNameRecordSize, key) < 0) {
            first += half + 1;
            m -= half + 1;
        } else {
            m = half;
        }
    }
    if (first == 0) return 0;
    // The answer lies after fence first - 1 and at or before fence `first`
    // (or the end). In [lo, lo + n] from here on; both records the next step
    // may compare are fetched while this step compares.
    uint32_t lo = (first - 1) * kFenceStride + 1;
    const uint64_t end = uint64_t{first} * kFenceStride;
    uint32_t n = static_cast<uint32_t>((end < count_ ? end : count_) - lo);
    if (n == 0) return lo;
    while (n > 1) {
        const uint32_t half = n / 2;
        const uint32_t next = (n - half) / 2;
        __builtin_prefetch(name_records_ + size_t{lo + next} * f::kNameRecordSize);
        __builtin_prefetch(name_records_ + size_t{lo + half + next} * f::kNameRecordSize);
        if (CompareAt(lo + half, key) < 0) lo += half;
        n -= half;
    }
    return lo + (CompareAt(lo, key) < 0 ? 1 : 0);
}

uint32_t Dictionary::IrregularBase(std::string_view form) const {
    uint32_t lo = 0;
    uint32_t hi = exception_count_;
    while (lo < hi) {
        const uint32_t mid = lo + (hi - lo) / 2;
        const char* rec = exceptions_ + size_t{mid} * f::kExceptionSize;
        const uint32_t offset = LoadU32(rec);
        if (offset >= exception_names_size_) return kNotFound;
        const int c = std::string_view(exception_names_ + offset).compare(form);
        if (c == 0) {
            const uint32_t base = LoadU32(rec + 4);
            return base < count_ ? base : kNotFound;
        }
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return kNotFound;
}

Status Dictionary::LoadBlock(uint32_t block) {
    if (block == cached_block_) return Status::Ok();
    if (block >= block_count_) return Status::Corrupt("block number out of range");
    const char* ref = blocks_ + size_t{block} * f::kBlockRefSize;
    const uint64_t offset = LoadU64(ref);
    const uint32_t compressed = LoadU32(ref + 8);
    const uint32_t raw = LoadU32(ref + 12);
    const uint64_t checksum = LoadU64(ref + 16);
    if (offset < f::kHeaderSize || offset > blocks_end_ || compressed > blocks_end_ - offset) {
        return Status::Corrupt("block outside the file");
    }
    if (raw > max_block_size_) return Status::Corrupt("block too large");
    const char* src = file_->data() + offset;
    if (!ChecksumMatches(src, compressed, checksum))
        return Status::Corrupt("block checksum mismatch");
    if (dctx_ == nullptr) {
        dctx_ = ZSTD_createDCtx();
        if (dctx_ == nullptr) return Status::IoError("out of memory");
    }
    cached_block_ = UINT32_MAX;
    block_.resize(raw);
    const size_t got = ZSTD_decompressDCtx(dctx_, block_.data(), raw, src, compressed);
    if (ZSTD_isError(got) || got != raw) return Status::Corrupt("block does not decompress");
    cached_block_ = block;
    return Status::Ok();
}

Status Dictionary::ReadEntry(uint32_t index, EntryText* out) {
    if (index >= count_) return Status::Invalid("no such entry");
    const char* ref = entries_ + size_t{index} * f::kEntryRefSize;
    Status s = LoadBlock(LoadU32(ref));
    if (!s.ok()) return s;
    const uint32_t offset = LoadU32(ref + 4);
    if (offset > block_.size()) return Status::Corrupt("entry outside its block");
    const char* p = block_.data() + offset;
    const char* limit = block_.data() + block_.size();
    uint32_t html_size;
    uint32_t text_size;
    if (limit - p < static_cast<ptrdiff_t>(f::kEntryHeaderSize) ||
        !DecodeU32(p, limit, &html_size) || !DecodeU32(p + 4, limit, &text_size)) {
        return Status::Corrupt("entry outside its block");
    }
    p += f::kEntryHeaderSize;
    if (uint64_t{html_size} + text_size > static_cast<uint64_t>(limit - p)) {
        return Status::Corrupt("entry longer than its block");
    }
    out->html = std::string_view(p, html_size);
    out->text = std::string_view(p + html_size, text_size);
    return Status::Ok();
}

}  // namespace lexicore
