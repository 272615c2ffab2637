#include "lexicore/builder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zstd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <unordered_map>

#include "lexicore/checksum.h"
#include "lexicore/coding.h"
#include "lexicore/collation.h"
#include "lexicore/format.h"

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

// Lays out the open-addressing table; grows it until every headword sits
// within kMaxProbe slots of its home slot.
std::vector<uint32_t> BuildHash(const std::vector<Headword>& words) {
    if (words.empty()) return {};
    // At most two thirds full: short probe runs in a compact table.
    uint32_t slots = 2;
    while (slots < words.size() + words.size() / 2) slots *= 2;
    for (;;) {
        std::vector<uint32_t> table(slots, 0);
        bool fits = true;
        for (uint32_t i = 0; i < words.size() && fits; ++i) {
            uint32_t slot = FoldHash(words[i].name) & (slots - 1);
            uint32_t probes = 0;
            while (table[slot] != 0) {
                slot = (slot + 1) & (slots - 1);
                if (++probes >= f::kMaxProbe) fits = false;
            }
            table[slot] = i + 1;
        }
        if (fits) return table;
        slots *= 2;
    }
}

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

    // Header placeholder, then the blocks.
    std::string file(f::kHeaderSize, '\0');
    std::string entry_refs;
    std::string block_refs;
    std::string raw;
    uint32_t max_block = 0;
    uint32_t block_count = 0;
    ZSTD_CCtx* cctx = ZSTD_createCCtx();
    if (cctx == nullptr) {
        *error = path + ": out of memory";
        return false;
    }
    std::string compressed;
    auto flush = [&]() {
        if (raw.empty()) return true;
        compressed.resize(ZSTD_compressBound(raw.size()));
        const size_t n = ZSTD_compressCCtx(cctx, compressed.data(), compressed.size(), raw.data(),
                                           raw.size(), kCompressionLevel);
        if (ZSTD_isError(n)) return false;
        PutU64(&block_refs, file.size());
        PutU32(&block_refs, static_cast<uint32_t>(n));
        PutU32(&block_refs, static_cast<uint32_t>(raw.size()));
        PutU64(&block_refs, Checksum64(compressed.data(), n));
        file.append(compressed.data(), n);
        max_block = std::max(max_block, static_cast<uint32_t>(raw.size()));
        ++block_count;
        raw.clear();
        return true;
    };
    bool ok = true;
    for (const Headword& w : words) {
        const size_t size = f::kEntryHeaderSize + w.html.size() + w.text.size();
        if (!raw.empty() && raw.size() + size > f::kTargetBlockSize) ok = ok && flush();
        PutU32(&entry_refs, block_count);
        PutU32(&entry_refs, static_cast<uint32_t>(raw.size()));
        PutU32(&raw, static_cast<uint32_t>(w.html.size()));
        PutU32(&raw, static_cast<uint32_t>(w.text.size()));
        raw += w.html;
        raw += w.text;
        local.entry_bytes += w.html.size() + w.text.size();
        const size_t shown = w.html.size() - std::count(w.html.begin(), w.html.end(), kSenseBreak);
        if (shown >= kPrintBufferSize) ++local.long_entries;
    }
    ok = ok && flush();
    ZSTD_freeCCtx(cctx);
    if (!ok) {
        *error = path + ": compression failed";
        return false;
    }

    // The index region.
    const uint64_t index_offset = file.size();
    std::string index;
    std::string names;
    const size_t name_records_at = index.size();
    for (const Headword& w : words) {
        PutU32(&index, static_cast<uint32_t>(names.size()));
        std::string prefix = w.name.substr(0, f::kNamePrefixSize);
        prefix.resize(f::kNamePrefixSize, '\0');
        index += prefix;
        names += w.name;
        names += '\0';
    }
    Align(&index);
    const size_t names_at = index.size();
    index += names;
    Align(&index);
    const size_t entries_at = index.size();
    index += entry_refs;
    Align(&index);
    const size_t pos_at = index.size();
    for (const Headword& w : words) index.push_back(static_cast<char>(w.parts_of_speech));
    Align(&index);
    const size_t hash_at = index.size();
    const std::vector<uint32_t> hash = BuildHash(words);
    for (uint32_t v : hash) PutU32(&index, v);
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
    if (index.size() > UINT32_MAX || names.size() > UINT32_MAX) {
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
    StoreU32(h + f::kHashSlotsAt, static_cast<uint32_t>(hash.size()));
    StoreU32(h + f::kMaxBlockSizeAt, max_block);
    StoreU32(h + f::kFlagsAt, 0);
    StoreU64(h + f::kIndexOffsetAt, index_offset);
    StoreU64(h + f::kIndexSizeAt, index.size());
    StoreU64(h + f::kIndexChecksumAt, Checksum64(index.data(), index.size()));
    StoreU32(h + f::kNamesOffsetAt, static_cast<uint32_t>(names_at));
    StoreU32(h + f::kNamesSizeAt, static_cast<uint32_t>(names.size()));
    StoreU32(h + f::kEntriesOffsetAt, static_cast<uint32_t>(entries_at));
    StoreU32(h + f::kPosOffsetAt, static_cast<uint32_t>(pos_at));
    StoreU32(h + f::kHashOffsetAt, static_cast<uint32_t>(hash_at));
    StoreU32(h + f::kExceptionsOffsetAt, static_cast<uint32_t>(exceptions_at));
    StoreU32(h + f::kExceptionNamesOffsetAt, static_cast<uint32_t>(exception_names_at));
    StoreU32(h + f::kExceptionNamesSizeAt, static_cast<uint32_t>(exception_names.size()));
    StoreU32(h + f::kBlocksOffsetAt, static_cast<uint32_t>(blocks_at));
    StoreU32(h + f::kNameRecordsOffsetAt, static_cast<uint32_t>(name_records_at));
    StoreU64(h + f::kHeaderChecksumAt, Checksum64(h, f::kHeaderChecksumAt));

    FileWriter writer(path);
    if (!writer.Commit(file, error)) return false;
    local.file_bytes = file.size();
    if (stats != nullptr) *stats = local;
    return true;
}

}  // namespace lexicore
