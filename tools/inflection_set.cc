#include "tools/inflection_set.h"

#include <algorithm>
#include <string_view>

#include "lexicore/collation.h"
#include "tools/source_file.h"

namespace lexivane_dict {
namespace {

bool IsWord(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    });
}

// Splits `line` at runs of spaces and tabs.
std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        const size_t end = line.find_first_of(" \t", i);
        const size_t stop = end == std::string_view::npos ? line.size() : end;
        fields.push_back(line.substr(i, stop - i));
        i = stop;
    }
    return fields;
}

}  // namespace

bool ReadInflectionSet(const std::string& path, std::vector<InflectedForm>* forms,
                       std::string* error) {
    std::string text;
    if (!ReadSourceFile(path, &text, error)) return false;
    forms->clear();
    return ForEachLine(text, [&](std::string_view line, int number) {
        if (line.empty() || line.front() == '#') return true;
        const std::vector<std::string_view> fields = Fields(line);
        if (fields.empty()) return true;
        if (fields.size() != 3) {
            *error = LineError(path, number, "expected 'FORM BASE SOURCE'");
            return false;
        }
        if (!IsWord(fields[0]) || !IsWord(fields[1])) {
            *error = LineError(path, number, "form and base must be letters only");
            return false;
        }
        if (lexicore::FoldEquals(fields[0], fields[1])) {
            *error = LineError(path, number, "'" + std::string(fields[0]) + "' is its own base");
            return false;
        }
        forms->push_back({std::string(fields[0]), std::string(fields[1]), std::string(fields[2])});
        return true;
    });
}

double InflectionScore::Share() const {
    return total == 0 ? 0.0 : static_cast<double>(resolved) / static_cast<double>(total);
}

InflectionScore ScoreInflections(LXV_HANDLE h, const std::vector<InflectedForm>& forms) {
    InflectionScore score;
    for (const InflectedForm& form : forms) {
        ++score.total;
        const char* nearest = lxv_wordlist_nearest(h, form.form.c_str());
        const std::string got = nearest == nullptr ? std::string() : std::string(nearest);
        if (nearest != nullptr && lexicore::FoldEquals(got, form.base)) {
            ++score.resolved;
        } else {
            score.misses.push_back({form, got});
        }
    }
    return score;
}

}  // namespace lexivane_dict
