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
    if (Checksum64(base, f::kHeaderChecksumAt) != LoadU64(base + f::kHeaderChecksumAt)) {
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
    if (Checksum64(index, index_size) != LoadU64(base + f::kIndexChecksumAt)) {
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
    if (!section(f::kNameOffsetsOffsetAt, uint64_t{count_} * f::kNameOffsetSize, &name_offsets_) ||
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
    return Status::Ok();
}

const char* Dictionary::Headword(uint32_t index) const {
    if (index >= count_) return nullptr;
    const uint32_t offset = LoadU32(name_offsets_ + size_t{index} * f::kNameOffsetSize);
    if (offset >= names_size_) return nullptr;
    // The names section ends in NUL (checked at open), so this string ends
    // inside it.
    return names_ + offset;
}

std::string_view Dictionary::NameAt(uint32_t index) const {
    const char* name = Headword(index);
    return name == nullptr ? std::string_view() : std::string_view(name);
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
        if (index < count_ && FoldEquals(NameAt(index), key)) return index;
        slot = (slot + 1) & mask;
    }
    return kNotFound;
}

uint32_t Dictionary::LowerBound(std::string_view key) const {
    uint32_t lo = 0;
    uint32_t n = count_;
    while (n > 0) {
        const uint32_t half = n / 2;
        const uint32_t mid = lo + half;
        if (Collate(NameAt(mid), key) < 0) {
            lo = mid + 1;
            n -= half + 1;
        } else {
            n = half;
        }
    }
    return lo;
}

uint32_t Dictionary::IrregularBase(std::string_view form) const {
    const std::string folded = Fold(form);
    uint32_t lo = 0;
    uint32_t hi = exception_count_;
    while (lo < hi) {
        const uint32_t mid = lo + (hi - lo) / 2;
        const char* rec = exceptions_ + size_t{mid} * f::kExceptionSize;
        const uint32_t offset = LoadU32(rec);
        if (offset >= exception_names_size_) return kNotFound;
        const int c = std::string_view(exception_names_ + offset).compare(folded);
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
    if (Checksum64(src, compressed) != checksum) return Status::Corrupt("block checksum mismatch");
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
