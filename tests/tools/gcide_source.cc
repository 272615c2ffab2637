#include "tests/tools/gcide_source.h"

#include <zlib.h>

#include <fstream>
#include <sstream>
#include <string_view>

namespace lexivane {
namespace {

// dictd writes offsets and lengths in base 64, most significant digit first.
bool DecodeBase64Number(std::string_view s, uint64_t* value) {
    static constexpr std::string_view kDigits =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    if (s.empty() || s.size() > 10) return false;
    uint64_t v = 0;
    for (char c : s) {
        const size_t d = kDigits.find(c);
        if (d == std::string_view::npos) return false;
        v = v * 64 + d;
    }
    *value = v;
    return true;
}

}  // namespace

bool LoadGcideSource(const std::string& dir, GcideSource* out) {
    gzFile dz = gzopen((dir + "/gcide.dict.dz").c_str(), "rb");
    if (dz == nullptr) return false;
    char buffer[1 << 16];
    int n = 0;
    while ((n = gzread(dz, buffer, sizeof buffer)) > 0)
        out->text.append(buffer, static_cast<size_t>(n));
    const bool read_ok = n == 0;
    gzclose(dz);
    if (!read_ok) return false;

    std::ifstream index(dir + "/gcide.index");
    if (!index) return false;
    std::string line;
    while (std::getline(index, line)) {
        const size_t tab1 = line.find('\t');
        const size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        uint64_t offset = 0;
        uint64_t length = 0;
        if (tab2 == std::string::npos ||
            !DecodeBase64Number(std::string_view(line).substr(tab1 + 1, tab2 - tab1 - 1),
                                &offset) ||
            !DecodeBase64Number(std::string_view(line).substr(tab2 + 1), &length) ||
            offset + length > out->text.size()) {
            return false;
        }
        out->records.push_back(
            {line.substr(0, tab1), std::string_view(out->text).substr(offset, length)});
    }
    return !out->records.empty();
}

}  // namespace lexivane
