// Typing in the search box on the large dictionary (bench/program_folder.h),
// with the real search page on Qt's offscreen platform: the time from the
// search box's change notification to the refilled word list with its first
// row selected, for every prefix of a spread of headwords as they are typed.
#include <benchmark/benchmark.h>

#include <time.h>

#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <vector>

#include "app/lexivane_app.h"
#include "bench/program_folder.h"
#include "platform/dialog.h"
#include "platform/messagebox.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "res/resource.h"
#include "search/search_dlg.h"

using namespace platform;

namespace {

constexpr uint32_t kWords = 600;  // headwords typed, evenly spread over the dictionary

// CPU time of this thread: unlike wall time, it leaves out the moments the
// machine gave to other processes.
double ThreadMicros() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// Every prefix of kWords headwords, in typing order.
std::vector<QString> TypedPrefixes(LXV_HANDLE engine) {
    std::vector<QString> prefixes;
    const uint32_t count = lxv_wordlist_count(engine);
    for (uint32_t i = 0; i < kWords && count > 0; ++i) {
        const QString word = NarrowToWide(lxv_wordlist_at(engine, i * (count / kWords)));
        for (qsizetype length = 1; length <= word.size(); ++length)
            prefixes.push_back(word.left(length));
    }
    return prefixes;
}

void BM_TypeIntoSearchBox(benchmark::State& state) {
    if (!UseBenchProgramFolder(state)) return;
    bool failed = false;
    SetMessageBoxResponder([&](const MessageBoxRecord&) {
        failed = true;
        return IDOK;
    });
    std::vector<double> micros;
    std::vector<double> cpuMicros;
    uint32_t headwords = 0;
    for (auto _ : state) {
        CLexivaneApp app;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            auto* page = dynamic_cast<CSearchDlg*>(QApplication::activeModalWidget());
            if (page == nullptr) return;
            headwords = page->WordWindow().WordCount();
            auto* edit = static_cast<QLineEdit*>(page->GetDlgItem(IDC_SEARCH_EDIT));
            const CListBox list(page->GetDlgItem(IDC_WORDLIST));
            for (const QString& prefix : TypedPrefixes(app.m_hEngine)) {
                const double cpuStart = ThreadMicros();
                const auto start = std::chrono::steady_clock::now();
                edit->setText(prefix);  // EN_CHANGE runs OnChangeSearch before this returns
                const auto end = std::chrono::steady_clock::now();
                cpuMicros.push_back(ThreadMicros() - cpuStart);
                if (list.GetCurSel() != 0 && list.GetCount() > 0) failed = true;
                micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
            }
            page->close();
        });
        timer.start(0);
        app.InitInstance();
        app.ExitInstance();
    }
    SetMessageBoxResponder({});
    SetModuleFileNameForTesting(QString());
    if (failed || micros.empty()) {
        state.SkipWithError("the dictionary did not open, or a row was not selected");
        return;
    }
    std::sort(micros.begin(), micros.end());
    std::sort(cpuMicros.begin(), cpuMicros.end());
    state.counters["headwords"] = headwords;
    state.counters["prefixes"] = static_cast<double>(micros.size());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[micros.size() * 99 / 100];
    state.counters["worst_us"] = micros.back();
    state.counters["cpu_median_us"] = cpuMicros[cpuMicros.size() / 2];
    state.counters["cpu_worst_us"] = cpuMicros.back();
}
BENCHMARK(BM_TypeIntoSearchBox)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
