#include "tools/cli.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unordered_set>

#include "engine/lexicore.h"
#include "lexicore/builder.h"
#include "tools/dictd.h"
#include "tools/encoding.h"
#include "tools/gcide.h"
#include "tools/inflection_set.h"
#include "tools/text_source.h"
#include "tools/wordnet.h"

namespace lexivane_dict {
namespace {

// The buffer size the program renders every entry into.
constexpr uint32_t kEntryBufferSize = 12000;
// Large enough for any whole entry, to tell a cut entry from a complete one.
constexpr uint32_t kWholeEntryBufferSize = 1u << 22;

struct BuildOptions {
    std::string output;
    std::vector<std::string> wordnet_indexes;
    std::vector<std::string> text_sources;
    std::vector<std::string> gcide_indexes;
    std::string exceptions_dir;
    std::string frequency_list;
};

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
        err << error << "\n";
        return kExitFailure;
    }
    for (const std::string& index : options.wordnet_indexes) {
        if (!ReadWordNet(index, DictdDataPathFor(index),
                         options.frequency_list.empty() ? nullptr : &frequent, &source.entries,
                         &error)) {
            err << error << "\n";
            return kExitFailure;
        }
    }
    // After WordNet, so that merged headwords show WordNet's senses first.
    for (const std::string& index : options.gcide_indexes) {
        GcideSource gcide;
        if (!LoadGcide(index, &gcide, &error)) {
            err << error << "\n";
            return kExitFailure;
        }
        GcideStats stats;
        std::vector<lexicore::SourceEntry> entries = ConvertGcide(gcide.records, &stats);
        source.entries.insert(source.entries.end(), std::make_move_iterator(entries.begin()),
                              std::make_move_iterator(entries.end()));
        out << index << ": " << stats.records << " index lines: " << stats.whole
            << " whole entries, " << stats.fragments << " parts of entries, " << stats.skipped
            << " skipped; " << stats.long_before << " headwords over " << kEntryBufferSize
            << " bytes, " << stats.long_after << " after fitting\n";
    }
    for (const std::string& path : options.text_sources) {
        if (!ReadTextSource(path, &source, &error)) {
            err << error << "\n";
            return kExitFailure;
        }
    }
    if (!options.exceptions_dir.empty() &&
        !ReadWordNetExceptions(options.exceptions_dir, &source.exceptions, &error)) {
        err << error << "\n";
        return kExitFailure;
    }

    lexicore::BuildStats stats;
    if (!lexicore::WriteDictionary(source, options.output, &stats, &error)) {
        err << error << "\n";
        return kExitFailure;
    }
    out << options.output << ": " << stats.headwords << " headwords, " << stats.exceptions
        << " inflections, " << stats.file_bytes << " bytes\n";
    return kExitSuccess;
}

// A dictionary file opened through the engine, with four anonymous scratch
// files as the engine's working storage.
class OpenDictionary {
  public:
    OpenDictionary() = default;
    ~OpenDictionary() {
        if (handle_ != 0) lxv_closefile(&handle_);
        for (const int fd : fds_) {
            if (fd >= 0) close(fd);
        }
    }
    OpenDictionary(const OpenDictionary&) = delete;
    OpenDictionary& operator=(const OpenDictionary&) = delete;

    // False with *error ("path: message") when the file cannot be opened or
    // the engine refuses it.
    bool Open(const std::string& path, std::string* error) {
        fds_[0] = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fds_[0] < 0) {
            *error = path + ": cannot open: " + std::strerror(errno);
            return false;
        }
        static const char* const kScratch[] = {"listpad", "datapad", "miscpad", "zippad"};
        for (int i = 0; i < 4; ++i) {
            fds_[i + 1] = memfd_create(kScratch[i], MFD_CLOEXEC);
            if (fds_[i + 1] < 0) {
                *error = std::string("cannot create scratch file: ") + std::strerror(errno);
                return false;
            }
        }
        handle_ = lxv_openfile(fds_[0], fds_[1], fds_[2], fds_[3], fds_[4]);
        if (handle_ == 0) {
            *error = path + ": not a usable dictionary file";
            return false;
        }
        return true;
    }

    LXV_HANDLE handle() const { return handle_; }

  private:
    LXV_HANDLE handle_ = 0;
    int fds_[5] = {-1, -1, -1, -1, -1};
};

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
    if (!dictionary.Open(operands[0], &error)) {
        err << error << "\n";
        return kExitFailure;
    }
    const LXV_HANDLE h = dictionary.handle();
    const std::string key = ToWindows1252(operands[1]);
    const char* nearest = lxv_wordlist_nearest(h, key.c_str());
    if (nearest == nullptr) {
        err << operands[0] << ": the dictionary has no headwords\n";
        return kExitNoWords;
    }
    const std::string headword = nearest;
    std::string buffer(kEntryBufferSize, '\0');
    const LXV_ENTRY entry = lxv_find(h, headword.c_str());
    const int printed = html ? lxv_printhtml_buf(h, entry, buffer.data(), kEntryBufferSize)
                             : lxv_print_buf(h, entry, buffer.data(), kEntryBufferSize);
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
    if (!dictionary.Open(args[0], &error)) {
        err << error << "\n";
        return kExitFailure;
    }
    const uint32_t count = lxv_wordlist_count(dictionary.handle());
    for (uint32_t i = 0; i < count; ++i) {
        const char* word = lxv_wordlist_at(dictionary.handle(), i);
        out << Windows1252ToUtf8(word == nullptr ? "" : word) << "\n";
    }
    return kExitSuccess;
}

int Stats(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) return UsageError(err, "stats needs a dictionary file");
    const std::string& path = args[0];
    OpenDictionary dictionary;
    std::string error;
    if (!dictionary.Open(path, &error)) {
        err << error << "\n";
        return kExitFailure;
    }
    const LXV_HANDLE h = dictionary.handle();
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        err << path << ": " << std::strerror(errno) << "\n";
        return kExitFailure;
    }

    // An entry was cut when its rendering into the program's buffer differs
    // from its rendering into a buffer that holds all of it.
    std::string fitted(kEntryBufferSize, '\0');
    std::string whole(kWholeEntryBufferSize, '\0');
    using PrintFunction = int (*)(LXV_HANDLE, LXV_ENTRY, char*, uint32_t);
    struct Form {
        PrintFunction print = nullptr;
        uint32_t cut = 0;
        uint64_t total = 0;
        size_t longest = 0;
        std::string longest_word;
    };
    Form forms[2];
    forms[0].print = lxv_printhtml_buf;
    forms[1].print = lxv_print_buf;
    const uint32_t count = lxv_wordlist_count(h);
    for (uint32_t i = 0; i < count; ++i) {
        const char* word = lxv_wordlist_at(h, i);
        const LXV_ENTRY entry = word == nullptr ? 0 : lxv_find(h, word);
        for (Form& form : forms) {
            if (entry == 0 || form.print(h, entry, fitted.data(), kEntryBufferSize) == 0 ||
                form.print(h, entry, whole.data(), kWholeEntryBufferSize) == 0) {
                err << path << ": the entry of headword " << i << " cannot be read\n";
                return kExitFailure;
            }
            const size_t length = std::strlen(whole.c_str());
            if (std::strcmp(fitted.c_str(), whole.c_str()) != 0) ++form.cut;
            form.total += length;
            if (length > form.longest) {
                form.longest = length;
                form.longest_word = word;
            }
        }
    }
    out << "file: " << path << "\n"
        << "size: " << st.st_size << " bytes\n"
        << "headwords: " << count << "\n"
        << "entries cut to fit " << kEntryBufferSize << " bytes: " << forms[0].cut << " as HTML, "
        << forms[1].cut << " as text\n"
        << "entry text: " << forms[0].total << " bytes of HTML, " << forms[1].total
        << " bytes of text\n";
    if (count > 0) {
        out << "longest entry: '" << Windows1252ToUtf8(forms[0].longest_word) << "', "
            << forms[0].longest << " bytes of HTML\n";
    }
    return kExitSuccess;
}

// Prints the raw text of the entries a dictd index lists for a word.
int Raw(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) return UsageError(err, "raw needs a dictd index file and a word");
    const std::string& index = args[0];
    const std::string word = args[1];
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
    if (!ok) {
        err << error << "\n";
        return kExitFailure;
    }
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
    if (!ReadInflectionSet(args[1], &forms, &error)) {
        err << error << "\n";
        return kExitFailure;
    }
    OpenDictionary dictionary;
    if (!dictionary.Open(args[0], &error)) {
        err << error << "\n";
        return kExitFailure;
    }
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
           "  build -o FILE SOURCE... [--exceptions DIR] [--frequent CNTLIST]\n"
           "      Compiles the sources into the dictionary FILE (written atomically).\n"
           "      SOURCE is one of\n"
           "        --wordnet INDEX   WordNet in dictd format (dict-wn's wn.index; the\n"
           "                          entries come from wn.dict.dz or wn.dict beside it)\n"
           "        --gcide INDEX     GCIDE in dictd format (dict-gcide's gcide.index;\n"
           "                          the entries come from gcide.dict.dz beside it)\n"
           "        --text FILE       a source in Lexivane's plain-text format\n"
           "      --exceptions DIR    WordNet's inflection exceptions (DIR/*.exc)\n"
           "      --frequent CNTLIST  keep only WordNet headwords with a non-zero count\n"
           "                          in WordNet's cntlist.rev\n"
           "  lookup [--html] FILE WORD\n"
           "      Prints the entry of the headword nearest to WORD, as the engine gives it.\n"
           "  list FILE\n"
           "      Prints every headword, in the engine's order.\n"
           "  stats FILE\n"
           "      Prints the headword count, how many entries are cut to fit the\n"
           "      program's 12000-byte buffer, and sizes.\n"
           "  raw INDEX WORD\n"
           "      Prints the source text a dictd index lists for WORD.\n"
           "  inflections FILE SET\n"
           "      Looks up each inflected form of SET (lines 'FORM BASE SOURCE') and\n"
           "      prints the forms that miss their base and the share that reach it.\n"
           "\n"
           "Exit status: 0 success, 1 bad source or dictionary file, 2 usage error,\n"
           "3 no headword or entry found.\n";
}

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
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
    return UsageError(err, "unknown command '" + command + "'");
}

}  // namespace lexivane_dict
