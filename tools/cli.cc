#include "tools/cli.h"

#include <cstdio>
#include <cstring>
#include <sstream>
#include <unordered_set>

#include "base/version.h"
#include "engine/lexicore.h"
#include "lexicore/builder.h"
#include "tools/dictd.h"
#include "tools/encoding.h"
#include "tools/gcide.h"
#include "tools/inflection_set.h"
#include "tools/open_dictionary.h"
#include "tools/stats.h"
#include "tools/text_source.h"
#include "tools/wordnet.h"

namespace lexivane_dict {
namespace {

struct BuildOptions {
    std::string output;
    std::vector<std::string> wordnet_indexes;
    std::vector<std::string> text_sources;
    std::vector<std::string> gcide_indexes;
    std::string exceptions_dir;
    std::string wordnet_data;
    std::string frequency_list;
};

// Reports `message`, a failure of a source or a dictionary file ("path: ...").
int Failure(std::ostream& err, const std::string& message) {
    err << message << "\n";
    return kExitFailure;
}

int UsageError(std::ostream& err, const std::string& message) {
    err << "lexivane-dict: " << message << "\n\n" << Usage();
    return kExitUsage;
}

int Build(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    BuildOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (i + 1 == args.size()) return UsageError(err, "option " + option + " needs a value");
        const std::string& value = args[++i];
        if (option == "-o" || option == "--output") {
            options.output = value;
        } else if (option == "--wordnet") {
            options.wordnet_indexes.push_back(value);
        } else if (option == "--text") {
            options.text_sources.push_back(value);
        } else if (option == "--gcide") {
            options.gcide_indexes.push_back(value);
        } else if (option == "--exceptions") {
            options.exceptions_dir = value;
        } else if (option == "--wordnet-data") {
            options.wordnet_data = value;
        } else if (option == "--frequent") {
            options.frequency_list = value;
        } else {
            return UsageError(err, "unknown option " + option);
        }
    }
    if (options.output.empty()) return UsageError(err, "build needs an output file (-o FILE)");
    if (options.wordnet_indexes.empty() && options.text_sources.empty() &&
        options.gcide_indexes.empty()) {
        return UsageError(err, "build needs at least one source (--wordnet, --gcide or --text)");
    }

    // Every source is read and converted before anything is written, so bad
    // data never leaves a file behind.
    lexicore::DictionarySource source;
    std::string error;
    std::unordered_set<std::string> frequent;
    if (!options.frequency_list.empty() &&
        !ReadCountedLemmas(options.frequency_list, &frequent, &error)) {
        return Failure(err, error);
    }
    // WordNet's irregular forms, and those of the commonest words its lists lack.
    std::vector<std::pair<std::string, std::string>> irregular;
    if (!options.exceptions_dir.empty()) {
        if (!ReadWordNetExceptions(options.exceptions_dir, &irregular, &error)) {
            return Failure(err, error);
        }
        for (auto& pair : CommonIrregularForms()) irregular.push_back(std::move(pair));
    }
    WordNetSpellings spellings;
    if (!options.wordnet_data.empty() &&
        !ReadWordNetSpellings(options.wordnet_data, &spellings, &error)) {
        return Failure(err, error);
    }
    // A source that gives no entry at all is the wrong file or in the wrong
    // format: a dictionary without its words is never written.
    auto found_entries = [&](size_t before, const std::string& path) {
        if (source.entries.size() > before) return true;
        err << "no entries found in " << path << "\n";
        return false;
    };
    for (const std::string& index : options.wordnet_indexes) {
        const size_t before = source.entries.size();
        if (!ReadWordNet(index, DictdDataPathFor(index),
                         options.frequency_list.empty() ? nullptr : &frequent,
                         options.wordnet_data.empty() ? nullptr : &spellings, &source.entries,
                         &error)) {
            return Failure(err, error);
        }
        if (!found_entries(before, index)) return kExitFailure;
    }
    // After WordNet, so that merged headwords show WordNet's senses first.
    for (const std::string& index : options.gcide_indexes) {
        GcideSource gcide;
        if (!LoadGcide(index, &gcide, &error)) return Failure(err, error);
        GcideStats stats;
        std::vector<lexicore::SourceEntry> entries = ConvertGcide(gcide.records, &stats, irregular);
        const size_t before = source.entries.size();
        source.entries.insert(source.entries.end(), std::make_move_iterator(entries.begin()),
                              std::make_move_iterator(entries.end()));
        out << index << ": " << stats.records << " index lines: " << stats.own << " own entries, "
            << stats.forms << " forms given their word's entry, " << stats.paragraphs
            << " given a paragraph, " << stats.skipped << " skipped; " << stats.irregular
            << " base entries for forms, " << stats.repeated << " repeats left out; "
            << stats.long_before << " headwords over " << LXV_PRINT_BUFFER_SIZE << " bytes, "
            << stats.long_after << " after fitting\n";
        if (!found_entries(before, index)) return kExitFailure;
    }
    for (const std::string& path : options.text_sources) {
        const size_t before = source.entries.size();
        if (!ReadTextSource(path, &source, &error)) return Failure(err, error);
        if (!found_entries(before, path)) return kExitFailure;
    }
    source.exceptions.insert(source.exceptions.end(), std::make_move_iterator(irregular.begin()),
                             std::make_move_iterator(irregular.end()));

    lexicore::BuildStats stats;
    if (!lexicore::WriteDictionary(source, options.output, &stats, &error)) {
        return Failure(err, error);
    }
    out << options.output << ": " << stats.headwords << " headwords, " << stats.exceptions
        << " inflections, " << stats.file_bytes << " bytes\n";
    return kExitSuccess;
}

int Lookup(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> operands;
    bool html = false;
    for (const std::string& arg : args) {
        if (arg == "--html") {
            html = true;
        } else {
            operands.push_back(arg);
        }
    }
    if (operands.size() != 2) return UsageError(err, "lookup needs a dictionary file and a word");
    OpenDictionary dictionary;
    std::string error;
    if (!dictionary.Open(operands[0], &error)) return Failure(err, error);
    const LXV_HANDLE h = dictionary.handle();
    const std::string key = ToWindows1252(operands[1]);
    const char* nearest = lxv_wordlist_nearest(h, key.c_str());
    if (nearest == nullptr) {
        err << operands[0] << ": the dictionary has no headwords\n";
        return kExitNoWords;
    }
    const std::string headword = nearest;
    std::string buffer(LXV_PRINT_BUFFER_SIZE, '\0');
    const LXV_ENTRY entry = lxv_find(h, headword.c_str());
    const int printed = html ? lxv_printhtml_buf(h, entry, buffer.data(), LXV_PRINT_BUFFER_SIZE)
                             : lxv_print_buf(h, entry, buffer.data(), LXV_PRINT_BUFFER_SIZE);
    if (entry == 0 || printed == 0) {
        err << operands[0] << ": the entry of '" << Windows1252ToUtf8(headword)
            << "' cannot be read\n";
        return kExitFailure;
    }
    buffer.resize(std::strlen(buffer.c_str()));
    out << Windows1252ToUtf8(buffer);
    if (!buffer.empty() && buffer.back() != '\n') out << "\n";
    return kExitSuccess;
}

int List(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) return UsageError(err, "list needs a dictionary file");
    OpenDictionary dictionary;
    std::string error;
    if (!dictionary.Open(args[0], &error)) return Failure(err, error);
    const uint32_t count = lxv_wordlist_count(dictionary.handle());
    for (uint32_t i = 0; i < count; ++i) {
        const char* word = lxv_wordlist_at(dictionary.handle(), i);
        out << Windows1252ToUtf8(word == nullptr ? "" : word) << "\n";
    }
    return kExitSuccess;
}

int Stats(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    StatsOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string* value = arg == "--gcide"          ? &options.gcide_index
                             : arg == "--wordnet-data" ? &options.wordnet_data
                             : arg == "--exceptions"   ? &options.exceptions_dir
                                                       : nullptr;
        if (value != nullptr) {
            if (i + 1 == args.size()) return UsageError(err, "option " + arg + " needs a value");
            *value = args[++i];
        } else if (arg == "--list") {
            options.list = true;
        } else if (arg.starts_with("-") || !options.dictionary.empty()) {
            return UsageError(err, "unknown option " + arg);
        } else {
            options.dictionary = arg;
        }
    }
    if (options.dictionary.empty()) return UsageError(err, "stats needs a dictionary file");
    return RunStats(options, out, err);
}

// Prints the raw text of the entries a dictd index lists for a word.
int Raw(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) return UsageError(err, "raw needs a dictd index file and a word");
    const std::string& index = args[0];
    const std::string& word = args[1];
    auto same = [&](const std::string& headword) {
        return headword.size() == word.size() &&
               std::equal(word.begin(), word.end(), headword.begin(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) ==
                          std::tolower(static_cast<unsigned char>(b));
               });
    };
    int found = 0;
    std::string error;
    const bool ok = ReadDictd(
        index, DictdDataPathFor(index),
        [&](const DictdRecord& record, std::string*) {
            if (same(record.headword)) {
                out << record.text;
                ++found;
            }
            return true;
        },
        &error);
    if (!ok) return Failure(err, error);
    if (found == 0) {
        err << index << ": no entry for '" << word << "'\n";
        return kExitNoWords;
    }
    return kExitSuccess;
}

// Prints each form of an inflection set whose nearest headword is not its
// base, then the share that reaches its base.
int Inflections(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        return UsageError(err, "inflections needs a dictionary file and an inflection set");
    }
    std::vector<InflectedForm> forms;
    std::string error;
    if (!ReadInflectionSet(args[1], &forms, &error)) return Failure(err, error);
    OpenDictionary dictionary;
    if (!dictionary.Open(args[0], &error)) return Failure(err, error);
    const InflectionScore score = ScoreInflections(dictionary.handle(), forms);
    for (const InflectionMiss& miss : score.misses) {
        out << "miss: " << miss.expected.form << " -> " << Windows1252ToUtf8(miss.nearest)
            << " (base " << miss.expected.base << ")\n";
    }
    char percent[16];
    std::snprintf(percent, sizeof percent, "%.1f%%", 100.0 * score.Share());
    out << score.resolved << " of " << score.total << " forms reach their base: " << percent
        << "\n";
    return kExitSuccess;
}

}  // namespace

std::string Usage() {
    return "usage: lexivane-dict COMMAND ARGUMENTS\n"
           "\n"
           "  build -o FILE SOURCE... [--exceptions DIR] [--wordnet-data DIR]\n"
           "        [--frequent CNTLIST]\n"
           "      Compiles the sources into the dictionary FILE (written atomically).\n"
           "      SOURCE is one of\n"
           "        --wordnet INDEX   WordNet in dictd format (dict-wn's wn.index; the\n"
           "                          entries come from wn.dict.dz or wn.dict beside it)\n"
           "        --gcide INDEX     GCIDE in dictd format (dict-gcide's gcide.index;\n"
           "                          the entries come from gcide.dict.dz beside it)\n"
           "        --text FILE       a source in Lexivane's plain-text format\n"
           "      --exceptions DIR    WordNet's inflection exceptions (DIR/*.exc)\n"
           "      --wordnet-data DIR  WordNet's database (DIR/data.*): headwords keep the\n"
           "                          capitals of a word WordNet writes one way only\n"
           "      --frequent CNTLIST  keep only WordNet headwords with a non-zero count\n"
           "                          in WordNet's cntlist.rev\n"
           "  lookup [--html] FILE WORD\n"
           "      Prints the entry of the headword nearest to WORD, as the engine gives it.\n"
           "  list FILE\n"
           "      Prints every headword, in the engine's order.\n"
           "  stats FILE [--gcide INDEX] [--wordnet-data DIR] [--exceptions DIR]\n"
           "        [--list]\n"
           "      Counts what a reader meets in FILE: entries without a definition,\n"
           "      stray head lines, entries cut to fit the program's " +
           std::to_string(LXV_PRINT_BUFFER_SIZE) +
           "-byte\n"
           "      buffer, marks and HTML left from the source, spellings and irregular\n"
           "      forms that miss their headword. Given the sources FILE was built\n"
           "      from, also source headwords without a headword, quotations lost\n"
           "      without a note and capitals lost. --list names what each count counts.\n"
           "  raw INDEX WORD\n"
           "      Prints the source text a dictd index lists for WORD.\n"
           "  inflections FILE SET\n"
           "      Looks up each inflected form of SET (lines 'FORM BASE SOURCE') and\n"
           "      prints the forms that miss their base and the share that reach it.\n"
           "  --version\n"
           "      Prints the version of lexivane-dict.\n"
           "\n"
           "Exit status: 0 success, 1 bad source or dictionary file, 2 usage error,\n"
           "3 no headword or entry found.\n";
}

namespace {

int Dispatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return UsageError(err, "no command given");
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "build") return Build(rest, out, err);
    if (command == "lookup") return Lookup(rest, out, err);
    if (command == "list") return List(rest, out, err);
    if (command == "stats") return Stats(rest, out, err);
    if (command == "raw") return Raw(rest, out, err);
    if (command == "inflections") return Inflections(rest, out, err);
    if (command == "help" || command == "--help" || command == "-h") {
        out << Usage();
        return kExitSuccess;
    }
    if (command == "--version") {
        out << "lexivane-dict " LEXIVANE_VERSION " (build " << LEXIVANE_VERSION_BUILD << ")\n";
        return kExitSuccess;
    }
    return UsageError(err, "unknown command '" + command + "'");
}

}  // namespace

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    // Messages quote the input (a source's bytes, a file name, a word): they
    // reach the terminal escaped.
    std::ostringstream messages;
    const int status = Dispatch(args, out, messages);
    err << PrintableText(messages.str());
    return status;
}

}  // namespace lexivane_dict
