#include "lexicore/builder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zdict.h>
#include <zstd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <thread>
#include <unordered_map>

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

// Merges case variants in input order; fails on a headword it cannot store.
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
    static constexpr size_t kDictionarySize = 110 * 1024;
    static constexpr size_t kMinTrainingBytes = 1024 * 1024;
    static constexpr size_t kMaxSampleBytes = 16 * 1024 * 1024;

    ZSTD_CDict* cdict_ = nullptr;
    std::string dictionary_;
};

class FileWriter {
  public:
    explicit FileWriter(std::string path) : path_(std::move(path)) {}
    ~FileWriter() {
        if (fd_ >= 0) close(fd_);
        if (!temp_.empty()) unlink(temp_.c_str());
    }
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // Writes data to a temporary file beside the target, flushes it and renames
    // it over the target.
    bool Commit(const std::string& data, std::string* error) {
        std::string pattern = path_ + ".tmp-XXXXXX";
        fd_ = mkstemp(pattern.data());
        if (fd_ < 0) return Fail(error);
        temp_ = pattern;
        const char* p = data.data();
        size_t left = data.size();
        while (left > 0) {
            const ssize_t n = write(fd_, p, left);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return Fail(error);
            p += n;
            left -= static_cast<size_t>(n);
        }
        if (fchmod(fd_, 0644) != 0 || fsync(fd_) != 0) return Fail(error);
        const int fd = fd_;
        fd_ = -1;
        if (close(fd) != 0) return Fail(error);
        if (rename(temp_.c_str(), path_.c_str()) != 0) return Fail(error);
        temp_.clear();
        return true;
    }

  private:
    bool Fail(std::string* error) {
        *error = path_ + ": " + std::strerror(errno);
        return false;
    }

    std::string path_;
    std::string temp_;
    int fd_ = -1;
};

}  // namespace

bool WriteDictionary(const DictionarySource& source, const std::string& path, BuildStats* stats,
                     std::string* error) {
    std::string message;
    std::vector<Headword> words;
    if (!MergeEntries(source.entries, &words, &message)) {
        *error = path + ": " + message;
        return false;
    }
    std::sort(words.begin(), words.end(),
              [](const Headword& a, const Headword& b) { return Collate(a.name, b.name) < 0; });

    std::unordered_map<std::string, uint32_t> index_of;
    for (uint32_t i = 0; i < words.size(); ++i) index_of.emplace(Fold(words[i].name), i);

    // Irregular forms, sorted by their bytes; the first base given for a form wins.
    std::map<std::string, uint32_t> exceptions;
    for (const auto& [form, base] : source.exceptions) {
        if (HasControlByte(form)) {
            *error = path + ": irregular form " + Quoted(form) + " contains a control character";
            return false;
        }
        const auto it = index_of.find(Fold(base));
        if (form.empty() || it == index_of.end()) continue;
        exceptions.emplace(Fold(form), it->second);
    }

    BuildStats local;
    local.headwords = static_cast<uint32_t>(words.size());
    local.exceptions = static_cast<uint32_t>(exceptions.size());

    // Each entry as stored: sizes, HTML, and the text unless it is exactly
    // the one derived from the HTML.
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
        local.entry_bytes += w.html.size() + w.text.size();
        const size_t shown = w.html.size() - std::count(w.html.begin(), w.html.end(), kSenseBreak);
        if (shown >= kPrintBufferSize) ++local.long_entries;
    }

    Compressor compressor;
    if (!compressor.Init(records)) {
        *error = path + ": out of memory";
        return false;
    }

    // Entries of consecutive headwords fill blocks of about kTargetBlockSize.
    std::vector<std::string> raw_blocks;
    std::vector<uint32_t> block_first;
    for (uint32_t i = 0; i < records.size(); ++i) {
        if (raw_blocks.empty() ||
            (!raw_blocks.back().empty() &&
             raw_blocks.back().size() + records[i].size() > f::kTargetBlockSize)) {
            raw_blocks.emplace_back();
            block_first.push_back(i);
        }
        raw_blocks.back() += records[i];
    }
    records = std::vector<std::string>();
    std::vector<std::string> compressed;
    if (!compressor.CompressAll(raw_blocks, &compressed)) {
        *error = path + ": compression failed";
        return false;
    }

    // Header placeholder, then the blocks.
    std::string file(f::kHeaderSize, '\0');
    std::string block_refs;
    uint32_t max_block = 0;
    const uint32_t block_count = static_cast<uint32_t>(raw_blocks.size());
    for (uint32_t b = 0; b < block_count; ++b) {
        PutU64(&block_refs, file.size());
        PutU32(&block_refs, static_cast<uint32_t>(compressed[b].size()));
        PutU32(&block_refs, static_cast<uint32_t>(raw_blocks[b].size()));
        PutU64(&block_refs, Checksum64(compressed[b].data(), compressed[b].size()));
        PutU32(&block_refs, block_first[b]);
        PutU32(&block_refs, 0);
        file += compressed[b];
        max_block = std::max(max_block, static_cast<uint32_t>(raw_blocks[b].size()));
    }

    // The index region. Names shorter than the record's prefix live in
    // their record alone.
    const uint64_t index_offset = file.size();
    std::string index;
    std::string names;
    const size_t name_records_at = index.size();
    for (const Headword& w : words) {
        const bool long_name = w.name.size() >= f::kNamePrefixSize;
        PutU32(&index, long_name ? static_cast<uint32_t>(names.size()) : 0);
        std::string prefix = w.name.substr(0, f::kNamePrefixSize);
        prefix.resize(f::kNamePrefixSize, '\0');
        index += prefix;
        if (long_name) {
            names += w.name;
            names += '\0';
        }
    }
    Align(&index);
    const size_t names_at = index.size();
    index += names;
    Align(&index);
    const size_t pos_at = index.size();
    for (const Headword& w : words) index.push_back(static_cast<char>(w.parts_of_speech));
    Align(&index);
    const size_t exceptions_at = index.size();
    std::string exception_names;
    for (const auto& [form, base] : exceptions) {
        PutU32(&index, static_cast<uint32_t>(exception_names.size()));
        PutU32(&index, base);
        exception_names += form;
        exception_names += '\0';
    }
    Align(&index);
    const size_t exception_names_at = index.size();
    index += exception_names;
    Align(&index);
    const size_t blocks_at = index.size();
    index += block_refs;
    Align(&index);
    const size_t filter_at = index.size();
    std::vector<uint64_t> filter(FilterWordsFor(words.size()), 0);
    for (const Headword& w : words) AddToFilter(&filter, w.name);
    for (uint64_t word : filter) PutU64(&index, word);
    Align(&index);
    const size_t dict_at = index.size();
    index += compressor.dictionary();
    if (index.size() > UINT32_MAX) {
        *error = path + ": dictionary too large";
        return false;
    }
    file += index;

    char* h = file.data();
    std::memcpy(h + f::kMagicAt, f::kMagic, sizeof f::kMagic);
    StoreU32(h + f::kVersionAt, f::kVersion);
    StoreU32(h + f::kHeaderSizeAt, f::kHeaderSize);
    StoreU64(h + f::kFileLengthAt, file.size());
    StoreU32(h + f::kHeadwordCountAt, local.headwords);
    StoreU32(h + f::kExceptionCountAt, local.exceptions);
    StoreU32(h + f::kBlockCountAt, block_count);
    StoreU32(h + f::kMaxBlockSizeAt, max_block);
    StoreU32(h + f::kFlagsAt, 0);
    StoreU64(h + f::kIndexOffsetAt, index_offset);
    StoreU64(h + f::kIndexSizeAt, index.size());
    StoreU64(h + f::kIndexChecksumAt, Checksum64(index.data(), index.size()));
    StoreU32(h + f::kNameRecordsOffsetAt, static_cast<uint32_t>(name_records_at));
    StoreU32(h + f::kNamesOffsetAt, static_cast<uint32_t>(names_at));
    StoreU32(h + f::kNamesSizeAt, static_cast<uint32_t>(names.size()));
    StoreU32(h + f::kPosOffsetAt, static_cast<uint32_t>(pos_at));
    StoreU32(h + f::kExceptionsOffsetAt, static_cast<uint32_t>(exceptions_at));
    StoreU32(h + f::kExceptionNamesOffsetAt, static_cast<uint32_t>(exception_names_at));
    StoreU32(h + f::kExceptionNamesSizeAt, static_cast<uint32_t>(exception_names.size()));
    StoreU32(h + f::kBlocksOffsetAt, static_cast<uint32_t>(blocks_at));
    StoreU32(h + f::kCompressionDictOffsetAt, static_cast<uint32_t>(dict_at));
    StoreU32(h + f::kCompressionDictSizeAt, static_cast<uint32_t>(compressor.dictionary().size()));
    StoreU32(h + f::kHeadwordFilterOffsetAt, static_cast<uint32_t>(filter_at));
    StoreU32(h + f::kHeadwordFilterWordsAt, static_cast<uint32_t>(filter.size()));
    StoreU64(h + f::kHeaderChecksumAt, Checksum64(h, f::kHeaderChecksumAt));

    FileWriter writer(path);
    if (!writer.Commit(file, error)) return false;
    local.file_bytes = file.size();
    if (stats != nullptr) *stats = local;
    return true;
}

}  // namespace lexicore
