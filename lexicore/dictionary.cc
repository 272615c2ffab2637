#include "lexicore/dictionary.h"

#include <zstd.h>

#include <bit>
#include <cstddef>
#include <cstring>

#include "lexicore/checksum.h"
#include "lexicore/coding.h"
#include "lexicore/collation.h"
#include "lexicore/entry_text.h"
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
    ZSTD_freeDDict(ddict_);
    ZSTD_freeDCtx(dctx_);
}

Status Dictionary::Open(int fd, std::unique_ptr<Dictionary>* out) {
    std::unique_ptr<Dictionary> dict(new Dictionary());
    Status s = FileReader::Open(fd, &dict->file_);
    if (!s.ok()) return s;
    s = dict->Validate();
    if (!s.ok()) return s;
    *out = std::move(dict);
    return Status::Ok();
}

Status Dictionary::Validate() {
    const uint64_t size = file_->size();
    char header[f::kHeaderSize] = {};
    const char* const base = header;
    const size_t header_bytes = size < f::kHeaderSize ? static_cast<size_t>(size) : f::kHeaderSize;
    Status s = file_->ReadAt(0, header_bytes, header);
    if (!s.ok()) return s;
    // Only a file that starts as a dictionary is a damaged one.
    if (header_bytes < sizeof f::kMagic ||
        std::memcmp(base + f::kMagicAt, f::kMagic, sizeof f::kMagic) != 0) {
        return Status::Foreign("not a dictionary file");
    }
    if (size < f::kHeaderSize) return Status::Corrupt("file shorter than the header");
    if (LoadU32(base + f::kVersionAt) != f::kVersion) return Status::Foreign("unknown version");
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
    if (index_offset < f::kHeaderSize || index_offset > size || index_size != size - index_offset ||
        index_size > SIZE_MAX) {
        return Status::Corrupt("index region outside the file");
    }
    // The index is read into memory whole: the checksum needs every byte of
    // it anyway, and what is verified here cannot change under a later search.
    index_ = RegionBuffer::Allocate(static_cast<size_t>(index_size));
    if (index_ == nullptr) return Status::NoMemory("no memory for the index");
    const char* index = index_->data();
    s = file_->ReadAt(index_offset, static_cast<size_t>(index_size), index_->data());
    if (!s.ok()) return s;
    if (!ChecksumMatches(index, index_size, LoadU64(base + f::kIndexChecksumAt))) {
        return Status::Corrupt("index checksum mismatch");
    }

    count_ = LoadU32(base + f::kHeadwordCountAt);
    exception_count_ = LoadU32(base + f::kExceptionCountAt);
    block_count_ = LoadU32(base + f::kBlockCountAt);
    max_block_size_ = LoadU32(base + f::kMaxBlockSizeAt);
    names_size_ = LoadU32(base + f::kNamesSizeAt);
    exception_names_size_ = LoadU32(base + f::kExceptionNamesSizeAt);
    compression_dict_size_ = LoadU32(base + f::kCompressionDictSizeAt);
    blocks_end_ = index_offset;

    const uint32_t filter_words = LoadU32(base + f::kHeadwordFilterWordsAt);
    const char* filter = nullptr;
    // Places a section of `length` bytes at `offset` in the index region.
    auto section = [&](size_t offset_at, uint64_t length, const char** out) {
        const uint64_t offset = LoadU32(base + offset_at);
        if (offset > index_size || length > index_size - offset) return false;
        *out = index + offset;
        return true;
    };
    if (!section(f::kNameRecordsOffsetAt, uint64_t{count_} * f::kNameRecordSize, &name_records_) ||
        !section(f::kNamesOffsetAt, names_size_, &names_) ||
        !section(f::kPosOffsetAt, uint64_t{count_} * f::kPosSize, &pos_) ||
        !section(f::kExceptionsOffsetAt, uint64_t{exception_count_} * f::kExceptionSize,
                 &exceptions_) ||
        !section(f::kExceptionNamesOffsetAt, exception_names_size_, &exception_names_) ||
        !section(f::kBlocksOffsetAt, uint64_t{block_count_} * f::kBlockRefSize, &blocks_) ||
        !section(f::kCompressionDictOffsetAt, compression_dict_size_, &compression_dict_) ||
        !section(f::kHeadwordFilterOffsetAt, uint64_t{filter_words} * f::kFilterWordSize,
                 &filter)) {
        return Status::Corrupt("index section outside the index region");
    }
    // Names and irregular forms are read as C strings: each section must end
    // in NUL so that none runs past it.
    if (names_size_ > 0 && names_[names_size_ - 1] != '\0') {
        return Status::Corrupt("headword names not terminated");
    }
    if (exception_count_ > 0 &&
        (exception_names_size_ == 0 || exception_names_[exception_names_size_ - 1] != '\0')) {
        return Status::Corrupt("exception names not terminated");
    }
    if (count_ > 0 && block_count_ == 0) return Status::Corrupt("headwords without entries");
    if (count_ > 0 && filter_words == 0) return Status::Corrupt("headwords without a filter");
    headword_filter_ = FilterView(filter, filter_words);
    if (max_block_size_ > f::kMaxBlockSizeCap) return Status::Corrupt("block size too large");
    if (exception_count_ > 0) {
        form_filter_words_.assign(FilterWordsFor(exception_count_), 0);
        for (uint32_t i = 0; i < exception_count_; ++i) {
            const uint32_t offset = LoadU32(exceptions_ + size_t{i} * f::kExceptionSize);
            // A bad offset is found by no search either.
            if (offset < exception_names_size_) {
                AddToFilter(&form_filter_words_, exception_names_ + offset);
            }
        }
        form_filter_ = FilterView(reinterpret_cast<const char*>(form_filter_words_.data()),
                                  static_cast<uint32_t>(form_filter_words_.size()));
    }
    fences_.reserve((count_ + kFenceStride - 1) / kFenceStride);
    for (uint32_t i = 0; i < count_; i += kFenceStride) {
        // The code needs the first 8 characters, which the record holds.
        const char* prefix = name_records_ + size_t{i} * f::kNameRecordSize + f::kNamePrefixAt;
        fences_.push_back(PrimaryCode(std::string_view(prefix, strnlen(prefix, 8))));
    }
    return Status::Ok();
}

const char* Dictionary::NameOfRecord(const char* record) const {
    const char* prefix = record + f::kNamePrefixAt;
    if (std::memchr(prefix, '\0', f::kNamePrefixSize) != nullptr) return prefix;
    // A long name lives in the names section, which ends in NUL (checked at
    // open), so the string ends inside it.
    const uint32_t offset = LoadU32(record);
    return offset < names_size_ ? names_ + offset : nullptr;
}

const char* Dictionary::Headword(uint32_t index) const {
    if (index >= count_) return nullptr;
    return NameOfRecord(name_records_ + size_t{index} * f::kNameRecordSize);
}

std::string_view Dictionary::NameAt(uint32_t index) const {
    const char* name = Headword(index);
    return name == nullptr ? std::string_view() : std::string_view(name);
}

Dictionary::SearchKey::SearchKey(std::string_view k) : key(k) {
    char bytes[f::kNamePrefixSize] = {};
    k.copy(bytes, f::kNamePrefixSize);
    head = LoadU64(bytes);
    tail = LoadU32(bytes + 8);
}

inline int Dictionary::CompareRecord(const char* record, const SearchKey& k) const {
    // Most comparisons end inside the prefix: the first differing byte of
    // the prefix and the zero-padded key, found a word at a time, usually
    // differs in primary weight and so decides (Collate's first step).
    const char* prefix = record + f::kNamePrefixAt;
    size_t i;
    if (const uint64_t diff = LoadU64(prefix) ^ k.head; diff != 0) {
        i = static_cast<size_t>(std::countr_zero(diff)) / 8;
    } else if (const uint32_t diff2 = LoadU32(prefix + 8) ^ k.tail; diff2 != 0) {
        i = 8 + static_cast<size_t>(std::countr_zero(diff2)) / 8;
    } else {
        // The first 12 bytes are the same: a shorter key matched the whole
        // name, or the names go on.
        return k.key.size() < f::kNamePrefixSize ? 0 : CompareRecordSlowly(record, k.key);
    }
    const auto a = static_cast<unsigned char>(prefix[i]);
    if (i >= k.key.size()) return 1;  // the key ended first
    const auto b = static_cast<unsigned char>(k.key[i]);
    if (a == '\0') return -1;  // the name ended first
    const auto& weights = i == 0 ? kCollation.first : kCollation.rest;
    if (weights[a] != weights[b]) return weights[a] < weights[b] ? -1 : 1;
    // Letters equal but for case or accent: the rest decides.
    return CompareRecordSlowly(record, k.key);
}

int Dictionary::CompareRecordSlowly(const char* record, std::string_view key) const {
    const char* prefix = record + f::kNamePrefixAt;
    if (std::memchr(prefix, '\0', f::kNamePrefixSize) != nullptr) return CollateZ(prefix, key);
    // The name is longer than its prefix.
    const size_t n = key.size() < f::kNamePrefixSize ? key.size() : f::kNamePrefixSize;
    const int c = ComparePrimary(prefix, key, n);
    if (c != 0) return c;
    // A key shorter than the prefix ended first. A key exactly as long may
    // equal a name of that length but for case or accents: the whole name
    // decides.
    if (key.size() < f::kNamePrefixSize) return 1;
    const char* name = NameOfRecord(record);
    return name == nullptr ? -1 : CollateZ(name, key);
}

int Dictionary::CompareAt(uint32_t index, const SearchKey& key) const {
    return CompareRecord(name_records_ + size_t{index} * f::kNameRecordSize, key);
}

bool Dictionary::EqualsAt(uint32_t index, std::string_view key) const {
    return index < count_ && FoldEquals(NameAt(index), key);
}

uint8_t Dictionary::PartsOfSpeech(uint32_t index) const {
    return index < count_ ? static_cast<uint8_t>(pos_[index]) : 0;
}

uint32_t Dictionary::Find(std::string_view key) const {
    if (!headword_filter_.MayContain(key)) return kNotFound;
    // Headwords are unique ignoring case, so an equal one is the first at or
    // after the key.
    const uint32_t at = LowerBound(key);
    return at < count_ && EqualsAt(at, key) ? at : kNotFound;
}

uint32_t Dictionary::LowerBound(std::string_view text) const {
    if (count_ == 0) return 0;
    const SearchKey key(text);
    // First among the fences (fence j is headword j * kFenceStride) at or
    // after the key: in [first, first + m] while searching. Equal codes are
    // settled by the records.
    const uint64_t code = PrimaryCode(text);
    const auto fence_before_key = [&](uint32_t j) {
        return fences_[j] < code || (fences_[j] == code && CompareAt(j * kFenceStride, key) < 0);
    };
    uint32_t first = 0;
    auto m = static_cast<uint32_t>(fences_.size());
    while (m > 1) {
        const uint32_t half = m / 2;
        if (fence_before_key(first + half)) first += half;
        m -= half;
    }
    first += fence_before_key(first) ? 1 : 0;
    if (first == 0) return 0;
    // The answer lies after fence first - 1 and at or before fence `first`
    // (or the end): in [lo, lo + n]. Those few records are fetched at once.
    uint32_t lo = (first - 1) * kFenceStride + 1;
    const uint64_t end = uint64_t{first} * kFenceStride;
    uint32_t n = static_cast<uint32_t>((end < count_ ? end : count_) - lo);
    if (n == 0) return lo;
    const char* range = name_records_ + size_t{lo} * f::kNameRecordSize;
    for (size_t at = 0; at < size_t{n} * f::kNameRecordSize; at += 64) {
        __builtin_prefetch(range + at);
    }
    while (n > 1) {
        const uint32_t half = n / 2;
        if (CompareAt(lo + half, key) < 0) lo += half;
        n -= half;
    }
    return lo + (CompareAt(lo, key) < 0 ? 1 : 0);
}

uint32_t Dictionary::IrregularBase(std::string_view form) const {
    if (exception_count_ == 0 || !form_filter_.MayContain(form)) return kNotFound;
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

uint32_t Dictionary::BlockOf(uint32_t index) const {
    uint32_t lo = 0;
    uint32_t n = block_count_;
    // First block whose first headword lies after index; the one before it
    // holds the entry.
    while (n > 0) {
        const uint32_t half = n / 2;
        const char* ref = blocks_ + size_t{lo + half} * f::kBlockRefSize;
        if (LoadU32(ref + f::kBlockFirstHeadwordAt) <= index) {
            lo += half + 1;
            n -= half + 1;
        } else {
            n = half;
        }
    }
    return lo == 0 ? kNotFound : lo - 1;
}

Status Dictionary::LoadBlock(uint32_t block) {
    if (block >= block_count_) return Status::Corrupt("block number out of range");
    if (block == cached_block_) return Status::Ok();
    const char* ref = blocks_ + size_t{block} * f::kBlockRefSize;
    const uint64_t offset = LoadU64(ref);
    const uint32_t compressed = LoadU32(ref + f::kBlockCompressedAt);
    const uint32_t raw = LoadU32(ref + f::kBlockRawAt);
    const uint64_t checksum = LoadU64(ref + f::kBlockChecksumAt);
    if (offset < f::kHeaderSize || offset > blocks_end_ || compressed > blocks_end_ - offset) {
        return Status::Corrupt("block outside the file");
    }
    if (raw > max_block_size_ || compressed > ZSTD_compressBound(max_block_size_)) {
        return Status::Corrupt("block too large");
    }
    // The block is read afresh and checked against the index: a file changed
    // since it was opened fails here.
    cached_block_ = UINT32_MAX;
    compressed_.resize(compressed);
    Status s = file_->ReadAt(offset, compressed, compressed_.data());
    if (!s.ok()) return s;
    const char* src = compressed_.data();
    if (!ChecksumMatches(src, compressed, checksum)) {
        return Status::Corrupt("block checksum mismatch");
    }
    if (dctx_ == nullptr) {
        dctx_ = ZSTD_createDCtx();
        if (dctx_ == nullptr) return Status::NoMemory("no memory to decompress");
    }
    if (ddict_ == nullptr && compression_dict_size_ > 0) {
        ddict_ = ZSTD_createDDict(compression_dict_, compression_dict_size_);
        if (ddict_ == nullptr) return Status::Corrupt("bad compression dictionary");
    }
    block_.resize(raw);
    const size_t got =
        ddict_ != nullptr
            ? ZSTD_decompress_usingDDict(dctx_, block_.data(), raw, src, compressed, ddict_)
            : ZSTD_decompressDCtx(dctx_, block_.data(), raw, src, compressed);
    if (ZSTD_isError(got) || got != raw) return Status::Corrupt("block does not decompress");
    cached_block_ = block;
    return Status::Ok();
}

Status Dictionary::ReadEntry(uint32_t index, EntryText* out) {
    if (index >= count_) return Status::Invalid("no such entry");
    const uint32_t block = BlockOf(index);
    Status s = LoadBlock(block);
    if (!s.ok()) return s;
    // Walk the entries of the block up to this one; every size is checked
    // against what is left of the block.
    uint32_t skip =
        index - LoadU32(blocks_ + size_t{block} * f::kBlockRefSize + f::kBlockFirstHeadwordAt);
    const char* p = block_.data();
    const char* const limit = p + block_.size();
    for (;;) {
        uint32_t html_size;
        uint32_t text_size;
        if (!DecodeU32(p, limit, &html_size) || !DecodeU32(p + 4, limit, &text_size)) {
            return Status::Corrupt("entry outside its block");
        }
        p += f::kEntryHeaderSize;
        const bool derived = text_size == f::kDerivedText;
        const uint64_t size = uint64_t{html_size} + (derived ? 0 : text_size);
        if (size > static_cast<uint64_t>(limit - p)) {
            return Status::Corrupt("entry longer than its block");
        }
        if (skip-- > 0) {
            p += size;
            continue;
        }
        out->html = std::string_view(p, html_size);
        if (derived) {
            derived_text_.clear();
            HtmlToText(out->html, &derived_text_);
            out->text = derived_text_;
        } else {
            out->text = std::string_view(p + html_size, text_size);
        }
        return Status::Ok();
    }
}

}  // namespace lexicore
