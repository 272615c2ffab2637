#include "tools/dictd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "tools/source_file.h"

namespace lexivane_dict {
namespace {

int Base64Digit(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

bool FileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// Reads exactly `length` bytes at `offset`; false on an error or a short file.
bool ReadAt(int fd, uint64_t offset, size_t length, char* out, std::string* error) {
    size_t done = 0;
    while (done < length) {
        const ssize_t n = pread(fd, out + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            *error = std::string("cannot read: ") + std::strerror(errno);
            return false;
        }
        if (n == 0) {
            *error = "unexpected end of file";
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

class FileHandle {
  public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() {
        if (fd_ >= 0) close(fd_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

class PlainData : public DictdData {
  public:
    PlainData(int fd, uint64_t size) : file_(fd), size_(size) {}

    uint64_t size() const override { return size_; }

    bool Read(uint64_t offset, uint64_t length, std::string* out, std::string* error) override {
        out->resize(length);
        return ReadAt(file_.get(), offset, length, out->data(), error);
    }

  private:
    FileHandle file_;
    uint64_t size_;
};

uint32_t Le16(const unsigned char* p) {
    return p[0] | (p[1] << 8);
}
uint32_t Le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// A dictzip file: a gzip member whose FEXTRA field holds an "RA" subfield
//   version (2 bytes, 1), chunk length (2), chunk count (2), count x compressed size (2)
// (little-endian). Each chunk is raw deflate data ending on a full flush, so
// it inflates on its own to `chunk length` bytes (the last one to the rest).
class DictzipData : public DictdData {
  public:
    static std::unique_ptr<DictdData> Open(const std::string& path, int fd, uint64_t file_size,
                                           std::string* error) {
        auto data = std::unique_ptr<DictzipData>(new DictzipData(fd));
        std::string message;
        if (!data->ReadHeader(file_size, &message)) {
            *error = path + ": " + message;
            return nullptr;
        }
        return data;
    }

    uint64_t size() const override { return size_; }

    bool Read(uint64_t offset, uint64_t length, std::string* out, std::string* error) override {
        out->clear();
        while (length > 0) {
            const size_t chunk = static_cast<size_t>(offset / chunk_length_);
            const std::string* text = Chunk(chunk, error);
            if (text == nullptr) return false;
            const uint64_t within = offset - static_cast<uint64_t>(chunk) * chunk_length_;
            if (within >= text->size()) {
                *error = "chunk " + std::to_string(chunk) + " is shorter than its table says";
                return false;
            }
            const uint64_t take = std::min<uint64_t>(length, text->size() - within);
            out->append(*text, within, take);
            offset += take;
            length -= take;
        }
        return true;
    }

  private:
    explicit DictzipData(int fd) : file_(fd) {}

    bool ReadHeader(uint64_t file_size, std::string* message) {
        // Fixed gzip header (10 bytes) plus the FEXTRA length.
        unsigned char fixed[12];
        if (file_size < sizeof fixed + 8 ||
            !ReadAt(file_.get(), 0, sizeof fixed, reinterpret_cast<char*>(fixed), message)) {
            *message = "not a dictzip file (too short)";
            return false;
        }
        if (fixed[0] != 0x1f || fixed[1] != 0x8b || fixed[2] != 8) {
            *message = "not a gzip file";
            return false;
        }
        const unsigned flags = fixed[3];
        if ((flags & 0x04) == 0) {
            *message = "not a dictzip file (no random-access table)";
            return false;
        }
        const uint32_t extra_length = Le16(fixed + 10);
        uint64_t pos = sizeof fixed;
        if (pos + extra_length > file_size) {
            *message = "damaged gzip header";
            return false;
        }
        std::vector<unsigned char> extra(extra_length);
        if (!ReadAt(file_.get(), pos, extra_length, reinterpret_cast<char*>(extra.data()),
                    message)) {
            return false;
        }
        pos += extra_length;
        if (!ParseRandomAccessTable(extra, message)) return false;

        // Optional file name, comment and header checksum come before the data.
        for (const unsigned flag : {0x08u, 0x10u}) {
            if ((flags & flag) == 0) continue;
            char c = 1;
            while (c != 0) {
                if (pos >= file_size || !ReadAt(file_.get(), pos, 1, &c, message)) {
                    *message = "damaged gzip header";
                    return false;
                }
                ++pos;
            }
        }
        if (flags & 0x02) pos += 2;

        uint64_t compressed_total = 0;
        chunk_offsets_.reserve(chunk_sizes_.size() + 1);
        for (const uint32_t size : chunk_sizes_) {
            chunk_offsets_.push_back(pos + compressed_total);
            compressed_total += size;
        }
        chunk_offsets_.push_back(pos + compressed_total);
        if (pos + compressed_total + 8 > file_size) {
            *message = "chunk table describes more data than the file holds";
            return false;
        }
        unsigned char trailer[4];
        if (!ReadAt(file_.get(), file_size - 4, 4, reinterpret_cast<char*>(trailer), message)) {
            return false;
        }
        // The gzip trailer gives the uncompressed size (modulo 2^32); it must
        // end inside the last chunk.
        const uint64_t count = chunk_sizes_.size();
        size_ = Le32(trailer);
        if (count == 0 ? size_ != 0
                       : size_ <= (count - 1) * chunk_length_ || size_ > count * chunk_length_) {
            *message = "uncompressed size does not match the chunk table";
            return false;
        }
        return true;
    }

    bool ParseRandomAccessTable(const std::vector<unsigned char>& extra, std::string* message) {
        size_t pos = 0;
        while (pos + 4 <= extra.size()) {
            const uint32_t length = Le16(&extra[pos + 2]);
            if (pos + 4 + length > extra.size()) break;
            if (extra[pos] == 'R' && extra[pos + 1] == 'A') {
                const unsigned char* field = &extra[pos + 4];
                if (length < 6 || Le16(field) != 1) {
                    *message = "unsupported random-access table";
                    return false;
                }
                chunk_length_ = Le16(field + 2);
                const uint32_t count = Le16(field + 4);
                if (chunk_length_ == 0 || length != 6 + 2 * count) {
                    *message = "damaged random-access table";
                    return false;
                }
                for (uint32_t i = 0; i < count; ++i)
                    chunk_sizes_.push_back(Le16(field + 6 + 2 * size_t{i}));
                return true;
            }
            pos += 4 + length;
        }
        *message = "not a dictzip file (no random-access table)";
        return false;
    }

    // The inflated chunk, from a two-chunk cache: entries are read in data
    // order, and one entry spans at most a chunk boundary or two.
    const std::string* Chunk(size_t index, std::string* error) {
        for (CachedChunk& cached : cache_) {
            if (cached.valid && cached.index == index) return &cached.text;
        }
        CachedChunk& slot = cache_[next_slot_];
        next_slot_ ^= 1;
        slot.valid = false;
        if (index >= chunk_sizes_.size()) {
            *error = "offset beyond the last chunk";
            return nullptr;
        }
        std::string compressed(chunk_sizes_[index], '\0');
        if (!ReadAt(file_.get(), chunk_offsets_[index], compressed.size(), compressed.data(),
                    error)) {
            return nullptr;
        }
        const bool last = index + 1 == chunk_sizes_.size();
        const uint64_t expected =
            last ? size_ - static_cast<uint64_t>(index) * chunk_length_ : chunk_length_;
        slot.text.assign(expected, '\0');
        z_stream stream{};
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
            *error = "cannot start zlib";
            return nullptr;
        }
        stream.next_in = reinterpret_cast<Bytef*>(compressed.data());
        stream.avail_in = static_cast<uInt>(compressed.size());
        stream.next_out = reinterpret_cast<Bytef*>(slot.text.data());
        stream.avail_out = static_cast<uInt>(expected);
        const int status = inflate(&stream, Z_SYNC_FLUSH);
        const uint64_t produced = expected - stream.avail_out;
        inflateEnd(&stream);
        if ((status != Z_OK && status != Z_STREAM_END) || produced != expected) {
            *error = "chunk " + std::to_string(index) + " is damaged";
            return nullptr;
        }
        slot.index = index;
        slot.valid = true;
        return &slot.text;
    }

    struct CachedChunk {
        bool valid = false;
        size_t index = 0;
        std::string text;
    };

    FileHandle file_;
    uint32_t chunk_length_ = 0;
    std::vector<uint32_t> chunk_sizes_;
    std::vector<uint64_t> chunk_offsets_;  // one past the end as the last element
    uint64_t size_ = 0;
    CachedChunk cache_[2];
    int next_slot_ = 0;
};

}  // namespace

bool DecodeDictdNumber(std::string_view digits, uint64_t* value) {
    // 10 digits hold 60 bits; dictd never writes more.
    if (digits.empty() || digits.size() > 10) return false;
    uint64_t v = 0;
    for (const char c : digits) {
        const int digit = Base64Digit(c);
        if (digit < 0) return false;
        v = (v << 6) | static_cast<uint64_t>(digit);
    }
    *value = v;
    return true;
}

bool ParseDictdIndexLine(std::string_view line, DictdIndexLine* out, std::string* message) {
    const size_t tab1 = line.find('\t');
    const size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string_view::npos || line.find('\t', tab2 + 1) != std::string_view::npos) {
        *message = "expected headword, offset and length separated by tabs";
        return false;
    }
    const std::string_view headword = line.substr(0, tab1);
    const std::string_view offset = line.substr(tab1 + 1, tab2 - tab1 - 1);
    const std::string_view length = line.substr(tab2 + 1);
    if (headword.empty()) {
        *message = "empty headword";
        return false;
    }
    if (!DecodeDictdNumber(offset, &out->offset)) {
        *message = "invalid offset '" + std::string(offset) + "'";
        return false;
    }
    if (!DecodeDictdNumber(length, &out->length)) {
        *message = "invalid length '" + std::string(length) + "'";
        return false;
    }
    out->headword.assign(headword);
    return true;
}

std::unique_ptr<DictdData> DictdData::Open(const std::string& path, std::string* error) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0) {
        *error = path + ": cannot read: " + std::strerror(errno);
        if (fd >= 0) close(fd);
        return nullptr;
    }
    const auto size = static_cast<uint64_t>(st.st_size);
    if (EndsWith(path, ".dz")) return DictzipData::Open(path, fd, size, error);
    return std::make_unique<PlainData>(fd, size);
}

std::string DictdDataPathFor(const std::string& index_path) {
    std::string base = index_path;
    if (EndsWith(base, ".index")) base.resize(base.size() - 6);
    const std::string compressed = base + ".dict.dz";
    return FileExists(compressed) ? compressed : base + ".dict";
}

std::string DictdRecord::Error(std::string_view message) const {
    return LineError(index_path, line, message);
}

bool ReadDictd(const std::string& index_path, const std::string& data_path,
               const std::function<bool(const DictdRecord&, std::string*)>& visit,
               std::string* error) {
    std::string index;
    if (!ReadSourceFile(index_path, &index, error)) return false;
    const std::unique_ptr<DictdData> data = DictdData::Open(data_path, error);
    if (data == nullptr) return false;

    DictdRecord record;
    record.index_path = index_path;
    DictdIndexLine parsed;
    std::string message;
    return ForEachLine(index, [&](std::string_view line, int number) {
        record.line = number;
        if (!ParseDictdIndexLine(line, &parsed, &message)) {
            *error = record.Error(message);
            return false;
        }
        if (parsed.headword.starts_with("00-database-")) return true;
        if (parsed.offset > data->size() || parsed.length > data->size() - parsed.offset) {
            *error = record.Error("entry '" + parsed.headword + "' at offset " +
                                  std::to_string(parsed.offset) + ", length " +
                                  std::to_string(parsed.length) + " lies outside " + data_path +
                                  " (" + std::to_string(data->size()) + " bytes)");
            return false;
        }
        if (!data->Read(parsed.offset, parsed.length, &record.text, &message)) {
            *error = data_path + ": " + message;
            return false;
        }
        record.headword = parsed.headword;
        return visit(record, error);
    });
}

}  // namespace lexivane_dict
