// Engine speed on a real-sized dictionary: opening, nearest (against a plain
// std::lower_bound over the same headwords in memory), the word list, and
// find + print as HTML and as text.
//
// The dictionary is $LEXIVANE_BENCH_DICT when set (for the large one, run
// LEXIVANE_BENCH_DICT="build/dist/English Dictionary (large).pdb"
// build/bench-bin/lexicore_bench), else the medium dictionary
// in the program folder, else one generated here with the WordNet headwords of
// wn.index (or made-up words) and entries of typical length.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/lexicore.h"
#include "lexicore/builder.h"

namespace {

constexpr size_t kKeys = 4096;

std::string MadeUpWord(std::mt19937& rng) {
    std::uniform_int_distribution<int> len(3, 12);
    std::uniform_int_distribution<int> letter('a', 'z');
    std::string w;
    for (int n = len(rng); n > 0; --n) w.push_back(static_cast<char>(letter(rng)));
    return w;
}

// Builds a dictionary of about 150,000 headwords into a temporary file.
std::string GenerateDictionary() {
    std::vector<std::string> words;
    std::ifstream index(std::string(LEXIVANE_DICTD_DIR) + "/wn.index");
    for (std::string line; std::getline(index, line);) {
        const std::string word = line.substr(0, line.find('\t'));
        if (!word.empty() && !word.starts_with("00-database")) words.push_back(word);
    }
    std::mt19937 rng(42);
    while (words.size() < 150000) words.push_back(MadeUpWord(rng));
    lexicore::DictionarySource source;
    std::uniform_int_distribution<int> senses(1, 6);
    for (const std::string& w : words) {
        std::string html = "<b>" + w + "</b> <i>n.</i>";
        std::string text = w + " (n.)";
        for (int s = senses(rng); s > 0; --s) {
            const std::string gloss =
                "a sense of " + w + " described at some length, with an example";
            html += std::string(1, lexicore::kSenseBreak) + "<p>" + std::to_string(s) + ". " +
                    gloss + "</p>";
            text += std::string(1, lexicore::kSenseBreak) + "\n" + std::to_string(s) + ". " + gloss;
        }
        source.entries.push_back({w, html, text, lexicore::kNoun});
    }
    std::string path =
        (std::filesystem::temp_directory_path() / "lexicore-bench-generated.pdb").string();
    std::string error;
    if (!lexicore::WriteDictionary(source, path, nullptr, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(1);
    }
    return path;
}

std::string DictionaryPath() {
    if (const char* env = std::getenv("LEXIVANE_BENCH_DICT")) return env;
    std::string medium = std::string(LEXIVANE_DIST_DIR) + "/English Dictionary (medium).pdb";
    if (std::filesystem::exists(medium)) return medium;
    return GenerateDictionary();
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The open dictionary, its headwords in memory and the key sets.
struct Fixture {
    int fd = -1;
    LXV_HANDLE h = 0;
    std::vector<std::string> sorted;  // std::string order, for std::lower_bound
    // misses: no headword and no inflection suffix; suffixed_misses: no
    // headword, but ending like an inflection, so base forms are tried.
    std::vector<std::string> existing, prefixes, misses, suffixed_misses, inflected;
    std::vector<uint32_t> indices;

    Fixture() {
        const std::string path = DictionaryPath();
        std::fprintf(stderr, "dictionary: %s\n", path.c_str());
        fd = open(path.c_str(), O_RDONLY);
        h = lxv_openfile(fd, fd, fd, fd, fd);
        if (h == 0) {
            std::fprintf(stderr, "cannot open %s\n", path.c_str());
            std::exit(1);
        }
        const uint32_t count = lxv_wordlist_count(h);
        for (uint32_t i = 0; i < count; ++i) sorted.push_back(lxv_wordlist_at(h, i));
        std::vector<std::string> words = sorted;
        std::sort(sorted.begin(), sorted.end());
        std::mt19937 rng(7);
        std::uniform_int_distribution<uint32_t> pick(0, count - 1);
        for (size_t k = 0; k < kKeys; ++k) {
            const std::string w = Lower(words[pick(rng)]);
            existing.push_back(w);
            prefixes.push_back(w.substr(0, std::min<size_t>(w.size(), 2 + k % 3)));
            misses.push_back(w + "qz");
            suffixed_misses.push_back(w + "qing");
            inflected.push_back(w + "s");
            indices.push_back(pick(rng));
        }
    }
};

Fixture& F() {
    static Fixture f;
    return f;
}

void BM_Open(benchmark::State& state) {
    const int fd = F().fd;
    for ([[maybe_unused]] auto _ : state) {
        LXV_HANDLE h = lxv_openfile(fd, fd, fd, fd, fd);
        benchmark::DoNotOptimize(h);
        lxv_closefile(&h);
    }
}
BENCHMARK(BM_Open)->Unit(benchmark::kMicrosecond);

void RunNearest(benchmark::State& state, const std::vector<std::string>& keys) {
    size_t i = 0;
    for ([[maybe_unused]] auto _ : state) {
        benchmark::DoNotOptimize(lxv_wordlist_nearest(F().h, keys[i].c_str()));
        i = (i + 1) % keys.size();
    }
}

void RunLowerBound(benchmark::State& state, const std::vector<std::string>& keys) {
    const std::vector<std::string>& sorted = F().sorted;
    size_t i = 0;
    for ([[maybe_unused]] auto _ : state) {
        benchmark::DoNotOptimize(std::lower_bound(sorted.begin(), sorted.end(), keys[i]));
        i = (i + 1) % keys.size();
    }
}

void BM_NearestExisting(benchmark::State& s) {
    RunNearest(s, F().existing);
}
void BM_LowerBoundExisting(benchmark::State& s) {
    RunLowerBound(s, F().existing);
}
void BM_NearestPrefix(benchmark::State& s) {
    RunNearest(s, F().prefixes);
}
void BM_LowerBoundPrefix(benchmark::State& s) {
    RunLowerBound(s, F().prefixes);
}
void BM_NearestMiss(benchmark::State& s) {
    RunNearest(s, F().misses);
}
void BM_LowerBoundMiss(benchmark::State& s) {
    RunLowerBound(s, F().misses);
}
void BM_NearestSuffixedMiss(benchmark::State& s) {
    RunNearest(s, F().suffixed_misses);
}
void BM_LowerBoundSuffixedMiss(benchmark::State& s) {
    RunLowerBound(s, F().suffixed_misses);
}
void BM_NearestInflected(benchmark::State& s) {
    RunNearest(s, F().inflected);
}
void BM_LowerBoundInflected(benchmark::State& s) {
    RunLowerBound(s, F().inflected);
}
BENCHMARK(BM_NearestExisting);
BENCHMARK(BM_LowerBoundExisting);
BENCHMARK(BM_NearestPrefix);
BENCHMARK(BM_LowerBoundPrefix);
BENCHMARK(BM_NearestMiss);
BENCHMARK(BM_LowerBoundMiss);
BENCHMARK(BM_NearestSuffixedMiss);
BENCHMARK(BM_LowerBoundSuffixedMiss);
BENCHMARK(BM_NearestInflected);
BENCHMARK(BM_LowerBoundInflected);

void BM_WordlistAt(benchmark::State& state) {
    size_t i = 0;
    for ([[maybe_unused]] auto _ : state) {
        benchmark::DoNotOptimize(lxv_wordlist_at(F().h, F().indices[i]));
        i = (i + 1) % F().indices.size();
    }
}
BENCHMARK(BM_WordlistAt);

// Each iteration times one find + print (HTML or text) of a random headword;
// the counters give the median and the 95th percentile of those calls.
void RunFindPrint(benchmark::State& state, int (*print)(LXV_HANDLE, LXV_ENTRY, char*, uint32_t)) {
    std::vector<char> buffer(LXV_PRINT_BUFFER_SIZE);
    std::vector<double> micros;
    size_t i = 0;
    for ([[maybe_unused]] auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const LXV_ENTRY e = lxv_find(F().h, F().existing[i].c_str());
        benchmark::DoNotOptimize(print(F().h, e, buffer.data(), LXV_PRINT_BUFFER_SIZE));
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
        i = (i + 1) % F().existing.size();
    }
    std::sort(micros.begin(), micros.end());
    if (!micros.empty()) {
        state.counters["median_us"] = micros[micros.size() / 2];
        state.counters["p95_us"] = micros[micros.size() * 95 / 100];
    }
}

void BM_FindPrintHtml(benchmark::State& state) {
    RunFindPrint(state, lxv_printhtml_buf);
}
void BM_FindPrintText(benchmark::State& state) {
    RunFindPrint(state, lxv_print_buf);
}
BENCHMARK(BM_FindPrintHtml)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindPrintText)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
