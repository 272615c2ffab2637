// Reading dictd dictionaries: a sorted ".index" of
//   headword TAB offset TAB length
// lines (offset and length in dictd's base64 digits), and the entry texts in a
// ".dict" file or its dictzip-compressed ".dict.dz" form.
#ifndef LEXIVANE_TOOLS_DICTD_H_
#define LEXIVANE_TOOLS_DICTD_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace lexivane_dict {

// Decodes a dictd index number: base64 digits (A-Z a-z 0-9 + /), most
// significant first. False for an empty string, a character outside the
// alphabet or a value that does not fit in 63 bits.
bool DecodeDictdNumber(std::string_view digits, uint64_t* value);

struct DictdIndexLine {
    std::string headword;
    uint64_t offset = 0;
    uint64_t length = 0;
};

// Parses one index line. On failure returns false and sets *message (without
// a location), e.g. "expected headword, offset and length separated by tabs".
bool ParseDictdIndexLine(std::string_view line, DictdIndexLine* out, std::string* message);

// The entry texts of a dictd dictionary, read by (offset, length). A ".dz"
// file is read through the random-access chunk table that dictzip stores in
// the gzip header, inflating only the chunks a read touches.
class DictdData {
  public:
    virtual ~DictdData() = default;

    // Opens `path` (".dz" by its name, else plain). Returns null and sets *error
    // ("path: message") when the file cannot be read or is not a dictzip file.
    static std::unique_ptr<DictdData> Open(const std::string& path, std::string* error);

    // Size of the uncompressed text.
    virtual uint64_t size() const = 0;

    // Reads `length` bytes at `offset` into *out. The range must lie within
    // size(). Returns false and sets *error (without a location) when the
    // compressed data is damaged or the file cannot be read.
    virtual bool Read(uint64_t offset, uint64_t length, std::string* out, std::string* error) = 0;
};

// The data file beside `index_path`: "X.dict.dz" for "X.index" when it
// exists, else "X.dict".
std::string DictdDataPathFor(const std::string& index_path);

// One entry of a dictd dictionary as the index lists it.
struct DictdRecord {
    std::string headword;  // as the index spells it
    std::string text;      // the raw entry text, undecoded
    std::string index_path;
    int line = 0;  // line of the index that lists the entry

    // "index_path:line: message"
    std::string Error(std::string_view message) const;
};

// Calls visit(record, error) for each index line in order, skipping dictd's
// own "00-database-*" meta entries, until visit returns false. Returns false
// with *error set on an unreadable file, a malformed index line, a range
// outside the data ("index:line: message"), damaged data, or when visit
// failed (visit sets *error).
bool ReadDictd(const std::string& index_path, const std::string& data_path,
               const std::function<bool(const DictdRecord&, std::string*)>& visit,
               std::string* error);

}  // namespace lexivane_dict

#endif  // LEXIVANE_TOOLS_DICTD_H_
