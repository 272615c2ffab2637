// An open compiled dictionary: the validated header and index region, read
// into memory at open, lookups over the sorted headwords, and entry decoding
// from blocks read when needed. Everything read from the file is checked
// before use.
#ifndef LEXIVANE_LEXICORE_DICTIONARY_H_
#define LEXIVANE_LEXICORE_DICTIONARY_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lexicore/file_reader.h"
#include "lexicore/status.h"
#include "lexicore/word_filter.h"

struct ZSTD_DCtx_s;
struct ZSTD_DDict_s;

namespace lexicore {

// One entry's two renderings, viewing memory owned by the Dictionary; valid
// until the next ReadEntry on it. Both may contain kSenseBreak bytes.
struct EntryText {
    std::string_view html;
    std::string_view text;
};

class Dictionary {
  public:
    static constexpr uint32_t kNotFound = UINT32_MAX;

    // Validates the file on descriptor fd, reading only its header and index
    // region (into memory). Fails with Foreign for a file that is not a
    // dictionary of this version (an empty one included), Corrupt for a
    // truncated or damaged one, IoError when it cannot be read, NoMemory when
    // its index does not fit in memory, Invalid for a descriptor that is not
    // an open regular file.
    static Status Open(int fd, std::unique_ptr<Dictionary>* out);

    ~Dictionary();
    Dictionary(const Dictionary&) = delete;
    Dictionary& operator=(const Dictionary&) = delete;

    uint32_t count() const { return count_; }

    // Headword `index` as a NUL-terminated string inside the index (valid
    // while the Dictionary lives); nullptr when index >= count() or the
    // recorded offset lies outside the names.
    const char* Headword(uint32_t index) const;

    // Parts of speech of headword `index` (PartOfSpeech bits; 0 when unknown).
    uint8_t PartsOfSpeech(uint32_t index) const;

    // Index of the headword equal to key ignoring case, or kNotFound.
    uint32_t Find(std::string_view key) const;

    // True when headword `index` (< count()) equals key ignoring case.
    bool EqualsAt(uint32_t index, std::string_view key) const;

    // Index of the first headword that sorts at or after key (count() when
    // none does).
    uint32_t LowerBound(std::string_view key) const;

    // Headword index of the base form of the irregular inflection `form`
    // (lower case, as Fold gives it), or kNotFound.
    uint32_t IrregularBase(std::string_view form) const;

    // Decodes the entry of headword `index` into *out. Fails for an index out
    // of range, and for a block that cannot be read or whose bytes differ from
    // what the index recorded (damaged, or the file changed since it opened).
    Status ReadEntry(uint32_t index, EntryText* out);

  private:
    Dictionary() = default;
    Status Validate();
    Status LoadBlock(uint32_t block);
    // The block holding headword `index`: the last whose first headword is
    // at or before it.
    uint32_t BlockOf(uint32_t index) const;
    std::string_view NameAt(uint32_t index) const;
    // A key prepared for comparing with name records: its first
    // kNamePrefixSize bytes, zero-padded, as two words.
    struct SearchKey {
        explicit SearchKey(std::string_view key);
        std::string_view key;
        uint64_t head;  // bytes 0..7
        uint32_t tail;  // bytes 8..11
    };
    // Collate(headword, key) for the headword of a name record, mostly from
    // the record alone.
    int CompareRecord(const char* record, const SearchKey& key) const;
    int CompareRecordSlowly(const char* record, std::string_view key) const;
    int CompareAt(uint32_t index, const SearchKey& key) const;
    const char* NameOfRecord(const char* record) const;

    std::unique_ptr<FileReader> file_;
    // The index region, verified against its checksum at open; the section
    // pointers below point into it.
    std::unique_ptr<RegionBuffer> index_;
    uint32_t count_ = 0;
    uint32_t exception_count_ = 0;
    uint32_t block_count_ = 0;
    uint32_t max_block_size_ = 0;
    uint64_t blocks_end_ = 0;  // block data lies in [header end, blocks_end_)
    // Sections of the index region; each pointer's extent was checked at open.
    const char* name_records_ = nullptr;
    const char* names_ = nullptr;
    uint32_t names_size_ = 0;
    const char* pos_ = nullptr;
    const char* exceptions_ = nullptr;
    const char* exception_names_ = nullptr;
    uint32_t exception_names_size_ = 0;
    const char* blocks_ = nullptr;
    const char* compression_dict_ = nullptr;
    uint32_t compression_dict_size_ = 0;

    // The PrimaryCode of every kFenceStride-th headword, computed at open into
    // one small array: the first steps of a binary search compare numbers in
    // the processor's cache, and the last steps look at kFenceStride
    // neighbouring records.
    static constexpr uint32_t kFenceStride = 16;
    std::vector<uint64_t> fences_;

    // Filters in front of the searches: the one over the headwords is stored
    // in the file, the one over the irregular forms is filled at open.
    FilterView headword_filter_;
    std::vector<uint64_t> form_filter_words_;
    FilterView form_filter_;

    // The most recently decompressed block, so that stepping through
    // neighbouring entries decompresses each block once; made on first use.
    ZSTD_DCtx_s* dctx_ = nullptr;
    ZSTD_DDict_s* ddict_ = nullptr;
    uint32_t cached_block_ = UINT32_MAX;
    std::string compressed_;  // the compressed bytes of the block last read
    std::string block_;
    // The text of the last entry read, when derived from its HTML.
    std::string derived_text_;
};

}  // namespace lexicore

#endif  // LEXIVANE_LEXICORE_DICTIONARY_H_
