#include "tools/text_source.h"

#include <vector>

#include "tools/encoding.h"
#include "tools/entry_layout.h"
#include "tools/source_file.h"

namespace lexivane_dict {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::vector<std::string> SplitList(std::string_view list) {
    std::vector<std::string> words;
    size_t pos = 0;
    while (pos <= list.size()) {
        const size_t end = std::min(list.find(',', pos), list.size());
        const std::string_view word = Trim(list.substr(pos, end - pos));
        if (!word.empty()) words.emplace_back(word);
        pos = end + 1;
    }
    return words;
}

bool IsLowerCase(std::string_view s) {
    for (const char c : s) {
        if (c >= 'A' && c <= 'Z') return false;
    }
    return true;
}

}  // namespace

bool ParseTextSource(const std::string& path, std::string_view contents,
                     lexicore::DictionarySource* source, std::string* error) {
    std::vector<Entry> entries;
    std::vector<int> entry_lines;
    std::vector<std::pair<std::string, std::string>> inflections;
    std::string pos;
    auto fail = [&](int line, std::string_view message) {
        *error = LineError(path, line, message);
        return false;
    };
    auto last_sense_ok = [&](int line, std::string_view keyword) {
        if (entries.empty() || entries.back().senses.empty()) {
            return fail(line, "'" + std::string(keyword) + "' before any 'sense'");
        }
        return true;
    };
    auto no_senses = [&](size_t i) {
        return fail(entry_lines[i], "word '" + entries[i].headword + "' has no senses");
    };

    const bool ok = ForEachLine(contents, [&](std::string_view raw, int line) {
        if (!IsValidUtf8(raw)) return fail(line, "invalid UTF-8");
        const std::string_view text = Trim(raw);
        if (text.empty() || text.front() == '#') return true;
        const size_t colon = text.find(':');
        if (colon == std::string_view::npos) return fail(line, "expected 'keyword: value'");
        const std::string_view keyword = Trim(text.substr(0, colon));
        const std::string_view value = Trim(text.substr(colon + 1));
        if (value.empty()) return fail(line, "'" + std::string(keyword) + "' without a value");

        if (keyword == "word") {
            if (!entries.empty() && entries.back().senses.empty())
                return no_senses(entries.size() - 1);
            entries.emplace_back().headword = value;
            entry_lines.push_back(line);
            pos.clear();
        } else if (keyword == "inflection") {
            const size_t equals = value.find('=');
            const std::string_view form = Trim(value.substr(0, equals));
            const std::string_view base = equals == std::string_view::npos
                                              ? std::string_view()
                                              : Trim(value.substr(equals + 1));
            if (form.empty() || base.empty())
                return fail(line, "expected 'inflection: form = base'");
            if (!IsLowerCase(form) || !IsLowerCase(base)) {
                return fail(line, "inflections are written in lower case");
            }
            inflections.emplace_back(ToWindows1252(form), ToWindows1252(base));
        } else if (entries.empty()) {
            return fail(line, "'" + std::string(keyword) + "' before any 'word'");
        } else if (keyword == "pos") {
            pos = value;
        } else if (keyword == "sense") {
            Sense& sense = entries.back().senses.emplace_back();
            sense.part_of_speech = pos;
            sense.definition = value;
            entries.back().parts_of_speech |= PartOfSpeechBit(pos);
        } else if (keyword == "example") {
            if (!last_sense_ok(line, keyword)) return false;
            entries.back().senses.back().examples.push_back("\u201c" + std::string(value) +
                                                            "\u201d");
        } else if (keyword == "synonyms" || keyword == "antonyms") {
            if (!last_sense_ok(line, keyword)) return false;
            Sense& sense = entries.back().senses.back();
            for (std::string& word : SplitList(value)) {
                (keyword == "synonyms" ? sense.synonyms : sense.antonyms)
                    .push_back(std::move(word));
            }
        } else {
            return fail(line, "unknown keyword '" + std::string(keyword) + "'");
        }
        return true;
    });
    if (!ok) return false;
    if (!entries.empty() && entries.back().senses.empty()) return no_senses(entries.size() - 1);

    for (const Entry& entry : entries) source->entries.push_back(LayOutEntry(entry));
    source->exceptions.insert(source->exceptions.end(), inflections.begin(), inflections.end());
    return true;
}

bool ReadTextSource(const std::string& path, lexicore::DictionarySource* source,
                    std::string* error) {
    std::string contents;
    if (!ReadSourceFile(path, &contents, error)) return false;
    return ParseTextSource(path, contents, source, error);
}

}  // namespace lexivane_dict
