#include "lexicore/builder.h"

#include <zdict.h>
#include <zstd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <thread>
#include <unordered_map>

#include "base/files.h"
#include "engine/lexicore.h"
#include "lexicore/checksum.h"
#include "lexicore/coding.h"
#include "lexicore/collation.h"
#include "lexicore/entry_text.h"
#include "lexicore/format.h"
#include "lexicore/word_filter.h"

namespace lexicore {
namespace {

namespace f = format;

// High enough to keep the medium dictionary smaller than its source, low
// enough to compile it in seconds.
constexpr int kCompressionLevel = 15;

// One headword after merging its case variants.
struct Headword {
    std::string name;
    std::string html;
    std::string text;
    uint8_t parts_of_speech = 0;
};

bool HasControlByte(std::string_view s) {
    return std::any_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

std::string Quoted(std::string_view s) {
    return "\"" + std::string(s) + "\"";
}

// Merges case variants in input order; fails, with the message in *error, on
// a headword it cannot store.
bool MergeEntries(const std::vector<SourceEntry>& entries, std::vector<Headword>* out,
                  std::string* error) {
    std::unordered_map<std::string, size_t> by_folded;
    for (size_t i = 0; i < entries.size(); ++i) {
        const SourceEntry& e = entries[i];
        if (e.headword.empty()) {
            *error = "entry " + std::to_string(i + 1) + ": empty headword";
            return false;
        }
        if (HasControlByte(e.headword)) {
            *error = "entry " + std::to_string(i + 1) + ": headword " + Quoted(e.headword) +
                     " contains a control character";
            return false;
        }
        auto [it, inserted] = by_folded.emplace(Fold(e.headword), out->size());
        if (inserted) {
            out->push_back(Headword{e.headword, e.html, e.text, e.parts_of_speech});
            continue;
        }
        Headword& h = (*out)[it->second];
        if (!IsLowerCase(h.name) && IsLowerCase(e.headword)) h.name = e.headword;
        h.html += kSenseBreak;
        h.html += e.html;
        h.text += kSenseBreak;
        h.text += e.text;
        h.parts_of_speech |= e.parts_of_speech;
    }
    for (const Headword& h : *out) {
        if (h.html.size() + h.text.size() + f::kEntryHeaderSize > f::kMaxBlockSizeCap) {
            *error = "entry " + Quoted(h.name) + " is longer than 4 MiB";
            return false;
        }
    }
    return true;
}

void Align(std::string* s) {
    while (s->size() % f::kSectionAlign != 0) s->push_back('\0');
}

// Compresses blocks with zstd, primed with a dictionary trained on the
// entries themselves when there are enough of them: small blocks then compress
// nearly as well as large ones, and small blocks decompress fast.
class Compressor {
  public:
    Compressor() = default;
    ~Compressor() { ZSTD_freeCDict(cdict_); }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    // Trains the dictionary on a sample of the entries; false when out of memory.
    bool Init(const std::vector<std::string>& entries) {
        size_t total = 0;
        for (const std::string& e : entries) total += e.size();
        if (total < kMinTrainingBytes) return true;
        const size_t step = total / kMaxSampleBytes + 1;
        std::string samples;
        std::vector<size_t> sizes;
        for (size_t i = 0; i < entries.size(); i += step) {
            samples += entries[i];
            sizes.push_back(entries[i].size());
        }
        dictionary_.resize(kDictionarySize);
        const size_t n =
            ZDICT_trainFromBuffer(dictionary_.data(), dictionary_.size(), samples.data(),
                                  sizes.data(), static_cast<unsigned>(sizes.size()));
        if (ZDICT_isError(n)) {
            // Too few or too uniform samples: plain compression serves.
            dictionary_.clear();
            return true;
        }
        dictionary_.resize(n);
        cdict_ = ZSTD_createCDict(dictionary_.data(), dictionary_.size(), kCompressionLevel);
        return cdict_ != nullptr;
    }

    // Compresses every block into (*out)[i], on the machine's cores: each
    // worker has its own context, and all share the dictionary, which zstd
    // only reads. False when out of memory.
    bool CompressAll(const std::vector<std::string>& raw, std::vector<std::string>* out) const {
        out->assign(raw.size(), std::string());
        const size_t workers =
            std::clamp<size_t>(std::thread::hardware_concurrency(), 1, kMaxWorkers);
        std::atomic<bool> ok = true;
        auto work = [&](size_t first) {
            ZSTD_CCtx* cctx = ZSTD_createCCtx();
            bool done = cctx != nullptr;
            for (size_t i = first; i < raw.size() && done; i += workers) {
                done = Compress(cctx, raw[i], &(*out)[i]);
            }
            if (!done) ok = false;
            ZSTD_freeCCtx(cctx);
        };
        std::vector<std::thread> threads;
        for (size_t t = 1; t < workers && t < raw.size(); ++t) threads.emplace_back(work, t);
        work(0);
        for (std::thread& thread : threads) thread.join();
        return ok;
    }

    // The trained dictionary; empty when none was trained.
    const std::string& dictionary() const { return dictionary_; }

  private:
    bool Compress(ZSTD_CCtx* cctx, const std::string& raw, std::string* out) const {
        out->resize(ZSTD_compressBound(raw.size()));
        const size_t n = cdict_ != nullptr
                             ? ZSTD_compress_usingCDict(cctx, out->data(), out->size(), raw.data(),
                                                        raw.size(), cdict_)
                             : ZSTD_compressCCtx(cctx, out->data(), out->size(), raw.data(),
                                                 raw.size(), kCompressionLevel);
        if (ZSTD_isError(n)) {
            out->clear();
            return false;
        }
        out->resize(n);
        return true;
    }

    static constexpr size_t kMaxWorkers = 8;
    static constexpr size_t kDictionarySize = size_t{110} * 1024;
    static constexpr size_t kMinTrainingBytes = size_t{1} << 20;
    static constexpr size_t kMaxSampleBytes = size_t{16} << 20;

    ZSTD_CDict* cdict_ = nullptr;
    std::string dictionary_;
};

// The merge stage's result: the headwords in the engine's order with their
// merged entries, and the irregular forms, folded, with their base's index.
struct Merged {
    std::vector<Headword> words;
    std::map<std::string, uint32_t> exceptions;  // sorted by their bytes
};

// Merges case variants, sorts the headwords as the engine orders them and
// finds each irregular form's base; the first base given for a form wins, and
// a form whose base is no headword is dropped. Fails, with the message in
// *error, on a headword or form it cannot store.
bool Merge(const DictionarySource& source, Merged* out, std::string* error) {
    std::vector<Headword>& words = out->words;
    if (!MergeEntries(source.entries, &words, error)) return false;
    std::sort(words.begin(), words.end(),
              [](const Headword& a, const Headword& b) { return Collate(a.name, b.name) < 0; });

    std::unordered_map<std::string, uint32_t> index_of;
    for (uint32_t i = 0; i < words.size(); ++i) index_of.emplace(Fold(words[i].name), i);
    for (const auto& [form, base] : source.exceptions) {
        if (HasControlByte(form)) {
            *error = "irregular form " + Quoted(form) + " contains a control character";
            return false;
        }
        const auto it = index_of.find(Fold(base));
        if (form.empty() || it == index_of.end()) continue;
        out->exceptions.emplace(Fold(form), it->second);
    }
    return true;
}

// The encode stage: each entry as stored, its sizes, its HTML, and its text
// unless that is exactly the one derived from the HTML. Counts the entries'
// bytes and the long ones into *stats.
std::vector<std::string> EncodeEntries(const std::vector<Headword>& words, BuildStats* stats) {
    std::vector<std::string> records;
    records.reserve(words.size());
    std::string derived;
    for (const Headword& w : words) {
        derived.clear();
        HtmlToText(w.html, &derived);
        const bool derive = derived == w.text;
        std::string record;
        PutU32(&record, static_cast<uint32_t>(w.html.size()));
        PutU32(&record, derive ? f::kDerivedText : static_cast<uint32_t>(w.text.size()));
        record += w.html;
        if (!derive) record += w.text;
        records.push_back(std::move(record));
        stats->entry_bytes += w.html.size() + w.text.size();
        const size_t shown = w.html.size() - std::count(w.html.begin(), w.html.end(), kSenseBreak);
        if (shown >= LXV_PRINT_BUFFER_SIZE) ++stats->long_entries;
    }
    return records;
}

// The pack stage's result: the blocks as the file stores them.
struct Blocks {
    std::vector<std::string> compressed;
    std::vector<uint32_t> raw_sizes;       // each block's size uncompressed
    std::vector<uint32_t> first_headword;  // the index of each block's first headword
    std::string compression_dictionary;    // empty when none was trained
};

// Packs the records of consecutive headwords into blocks of about
// kTargetBlockSize and compresses them. Fails, with the message in *error,
// when out of memory.
bool PackBlocks(std::vector<std::string> records, Blocks* out, std::string* error) {
    Compressor compressor;
    if (!compressor.Init(records)) {
        *error = "out of memory";
        return false;
    }
    std::vector<std::string> raw_blocks;
    for (uint32_t i = 0; i < records.size(); ++i) {
        if (raw_blocks.empty() ||
            (!raw_blocks.back().empty() &&
             raw_blocks.back().size() + records[i].size() > f::kTargetBlockSize)) {
            raw_blocks.emplace_back();
            out->first_headword.push_back(i);
        }
        raw_blocks.back() += records[i];
    }
    records = std::vector<std::string>();
    if (!compressor.CompressAll(raw_blocks, &out->compressed)) {
        *error = "compression failed";
        return false;
    }
    for (const std::string& raw : raw_blocks) {
        out->raw_sizes.push_back(static_cast<uint32_t>(raw.size()));
    }
    out->compression_dictionary = compressor.dictionary();
    return true;
}

// Appends the compressed blocks to *file and returns their block records.
std::string AppendBlocks(const Blocks& blocks, std::string* file) {
    std::string block_refs;
    for (size_t b = 0; b < blocks.compressed.size(); ++b) {
        const std::string& compressed = blocks.compressed[b];
        PutU64(&block_refs, file->size());
        PutU32(&block_refs, static_cast<uint32_t>(compressed.size()));
        PutU32(&block_refs, blocks.raw_sizes[b]);
        PutU64(&block_refs, Checksum64(compressed.data(), compressed.size()));
        PutU32(&block_refs, blocks.first_headword[b]);
        PutU32(&block_refs, 0);
        *file += compressed;
    }
    return block_refs;
}

// Header fields that a stage fills in: where each lies in the header, and its
// value, all 32 bits wide.
using HeaderFields = std::vector<std::pair<size_t, size_t>>;

// Appends `section` to *index at the next section boundary; returns where it
// starts.
size_t AppendSection(std::string* index, std::string_view section) {
    Align(index);
    const size_t at = index->size();
    index->append(section);
    return at;
}

// The index stage: the index region, each section aligned; adds the header
// fields that say where its sections start, from the region's start, and how
// long they are to *fields.
std::string BuildIndex(const Merged& merged, const std::string& block_refs,
                       const std::string& compression_dictionary, HeaderFields* fields) {
    // Names shorter than the record's prefix live in their record alone.
    std::string name_records;
    std::string names;
    std::string parts_of_speech;
    for (const Headword& w : merged.words) {
        const bool long_name = w.name.size() >= f::kNamePrefixSize;
        PutU32(&name_records, long_name ? static_cast<uint32_t>(names.size()) : 0);
        std::string prefix = w.name.substr(0, f::kNamePrefixSize);
        prefix.resize(f::kNamePrefixSize, '\0');
        name_records += prefix;
        if (long_name) {
            names += w.name;
            names += '\0';
        }
        parts_of_speech.push_back(static_cast<char>(w.parts_of_speech));
    }
    std::string exception_records;
    std::string exception_names;
    for (const auto& [form, base] : merged.exceptions) {
        PutU32(&exception_records, static_cast<uint32_t>(exception_names.size()));
        PutU32(&exception_records, base);
        exception_names += form;
        exception_names += '\0';
    }
    std::vector<uint64_t> filter(FilterWordsFor(merged.words.size()), 0);
    for (const Headword& w : merged.words) AddToFilter(&filter, w.name);
    std::string filter_words;
    for (uint64_t word : filter) PutU64(&filter_words, word);

    // The sections in file order: the list is evaluated from left to right.
    std::string index;
    fields->insert(fields->end(),
                   {
                       {f::kNameRecordsOffsetAt, AppendSection(&index, name_records)},
                       {f::kNamesOffsetAt, AppendSection(&index, names)},
                       {f::kNamesSizeAt, names.size()},
                       {f::kPosOffsetAt, AppendSection(&index, parts_of_speech)},
                       {f::kExceptionsOffsetAt, AppendSection(&index, exception_records)},
                       {f::kExceptionNamesOffsetAt, AppendSection(&index, exception_names)},
                       {f::kExceptionNamesSizeAt, exception_names.size()},
                       {f::kBlocksOffsetAt, AppendSection(&index, block_refs)},
                       {f::kHeadwordFilterOffsetAt, AppendSection(&index, filter_words)},
                       {f::kHeadwordFilterWordsAt, filter.size()},
                       {f::kCompressionDictOffsetAt, AppendSection(&index, compression_dictionary)},
                       {f::kCompressionDictSizeAt, compression_dictionary.size()},
                   });
    return index;
}

// The header stage: fills the header at the start of *file, whose index
// region starts at `index_offset` and runs to the end, with the fields the
// other stages give and those of the whole file.
void WriteHeader(const Merged& merged, const Blocks& blocks, uint64_t index_offset,
                 HeaderFields fields, std::string* file) {
    char* h = file->data();
    const uint64_t index_size = file->size() - index_offset;
    uint32_t max_block = 0;
    for (uint32_t size : blocks.raw_sizes) max_block = std::max(max_block, size);
    fields.insert(fields.end(), {
                                    {f::kVersionAt, f::kVersion},
                                    {f::kHeaderSizeAt, f::kHeaderSize},
                                    {f::kHeadwordCountAt, merged.words.size()},
                                    {f::kExceptionCountAt, merged.exceptions.size()},
                                    {f::kBlockCountAt, blocks.compressed.size()},
                                    {f::kMaxBlockSizeAt, max_block},
                                    {f::kFlagsAt, 0},
                                });
    const std::pair<size_t, uint64_t> wide_fields[] = {
        {f::kFileLengthAt, file->size()},
        {f::kIndexOffsetAt, index_offset},
        {f::kIndexSizeAt, index_size},
        {f::kIndexChecksumAt, Checksum64(h + index_offset, index_size)},
    };
    std::memcpy(h + f::kMagicAt, f::kMagic, sizeof f::kMagic);
    for (const auto& [at, value] : fields) StoreU32(h + at, static_cast<uint32_t>(value));
    for (const auto& [at, value] : wide_fields) StoreU64(h + at, value);
    StoreU64(h + f::kHeaderChecksumAt, Checksum64(h, f::kHeaderChecksumAt));
}

}  // namespace

bool WriteDictionary(const DictionarySource& source, const std::string& path, BuildStats* stats,
                     std::string* error) {
    const auto fail = [&](const std::string& message) {
        *error = path + ": " + message;
        return false;
    };
    std::string message;
    Merged merged;
    if (!Merge(source, &merged, &message)) return fail(message);
    BuildStats local;
    local.headwords = static_cast<uint32_t>(merged.words.size());
    local.exceptions = static_cast<uint32_t>(merged.exceptions.size());
    Blocks blocks;
    if (!PackBlocks(EncodeEntries(merged.words, &local), &blocks, &message)) return fail(message);

    // The header's place, the blocks, then the index region.
    std::string file(f::kHeaderSize, '\0');
    const std::string block_refs = AppendBlocks(blocks, &file);
    const uint64_t index_offset = file.size();
    HeaderFields fields;
    file += BuildIndex(merged, block_refs, blocks.compression_dictionary, &fields);
    if (file.size() - index_offset > UINT32_MAX) return fail("dictionary too large");
    WriteHeader(merged, blocks, index_offset, std::move(fields), &file);

    if (const int err = lexivane_base::ReplaceFileContents(path, file); err != 0) {
        return fail(std::strerror(err));
    }
    local.file_bytes = file.size();
    if (stats != nullptr) *stats = local;
    return true;
}

}  // namespace lexicore
