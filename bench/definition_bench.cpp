// The definition page on the large dictionary (bench/program_folder.h), on
// Qt's offscreen platform: from choosing a headword on the search page to its
// definition page shown with the entry laid out and painted, one step to the
// next headword with the Right key, and the bookmark lists of both pages
// opened with a large bookmark file.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <array>
#include <chrono>
#include <functional>

#include "app/lexivane_app.h"
#include "bench/program_folder.h"
#include "definition/definition_dlg.h"
#include "platform/dialog.h"
#include "platform/messagebox.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "search/search_dlg.h"

using namespace platform;

namespace {

using Clock = std::chrono::steady_clock;

// Starts the program in the benchmarks' program folder and runs `body` on its
// search page; false, with `state` skipped, when there was no dictionary to
// open.
bool WithSearchPage(benchmark::State& state, const std::function<void(CSearchDlg&)>& body) {
    if (!UseBenchProgramFolder(state)) return false;
    bool started = false;
    SetMessageBoxResponder([&](const MessageBoxRecord&) { return IDOK; });
    CLexivaneApp app;
    QTimer::singleShot(0, [&] {
        auto* search = dynamic_cast<CSearchDlg*>(QApplication::activeModalWidget());
        if (search == nullptr) return;
        started = true;
        body(*search);
        search->close();
    });
    app.InitInstance();
    app.ExitInstance();
    SetMessageBoxResponder({});
    SetModuleFileNameForTesting(QString());
    if (!started) state.SkipWithError("the dictionary did not open");
    return started;
}

// Short, ordinary and long entries, the last ones cut to fit the render buffer.
constexpr std::array<const char*, 8> kWords = {"cat",   "dictionary", "water", "house",
                                               "quick", "lexicon",    "set",   "run"};

void BM_ChooseHeadwordToDefinitionShown(benchmark::State& state) {
    WithSearchPage(state, [&](CSearchDlg& search) {
        size_t next = 0;
        for (auto _ : state) {
            const QString word = QString::fromLatin1(kWords[next++ % kWords.size()]);
            Clock::time_point start;
            QTimer::singleShot(0, [&] {
                auto* page = dynamic_cast<CDefinitionDlg*>(QApplication::activeModalWidget());
                if (page == nullptr) return;
                // Shown: the whole page painted, the entry laid out for it.
                page->repaint();
                state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
                page->close();
            });
            start = Clock::now();
            if (search.OpenDefinition(word) != 0) state.SkipWithError("headword not found");
        }
    });
}
BENCHMARK(BM_ChooseHeadwordToDefinitionShown)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_StepRightOneHeadword(benchmark::State& state) {
    WithSearchPage(state, [&](CSearchDlg& search) {
        QTimer::singleShot(0, [&] {
            auto* page = dynamic_cast<CDefinitionDlg*>(QApplication::activeModalWidget());
            if (page == nullptr) return;
            if (!QTest::qWaitForWindowExposed(page)) state.SkipWithError("page not shown");
            QWidget* pane = page->findChild<QTextBrowser*>();
            for (auto _ : state) {
                // One press: the key-down steps, paints the title and the new
                // entry; the key-up only turns the key toggle back.
                QKeyEvent down(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
                QKeyEvent up(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier);
                QApplication::sendEvent(pane, &down);
                QApplication::sendEvent(pane, &up);
            }
            page->close();
        });
        search.OpenDefinition(QStringLiteral("cat"));
    });
}
BENCHMARK(BM_StepRightOneHeadword)->Unit(benchmark::kMillisecond);

// The program's resident memory now ("VmRSS:") or at its highest so far
// ("VmHWM:"), in MB.
double MemoryMb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ')[0].toDouble() / 1024;
    }
    return 0;
}

// The first Bookmarks press of the search page, then of a definition page it
// opens, each until the page has painted its list, with a bookmark file of
// range(0) MiB in the benchmarks' program folder: words of eight letters, some
// 5.8 million in 100 MiB. Reports how far the program's highest resident
// memory rose above what it held before the first press ("peak_growth_MB"):
// run each size in a process of its own (--benchmark_filter='OpenBookmarkLists/15/').
void BM_OpenBookmarkLists(benchmark::State& state) {
    if (!UseBenchProgramFolder(state)) return;
    QFile file(BenchProgramFolder() + QStringLiteral("/bookmark.dat"));
    if (!file.open(QIODevice::WriteOnly)) {
        state.SkipWithError("cannot write bookmark.dat");
        return;
    }
    const qint64 size = state.range(0) << 20;
    for (uint32_t i = 0; file.size() < size;) {
        QByteArray chunk;
        for (int word = 0; word < 4096; ++word, ++i) {
            for (uint32_t n = i, letter = 0; letter < 8; ++letter, n /= 26)
                chunk.append(static_cast<char>('a' + n % 26)).append('\0');
            chunk.append("\n\0", 2);
        }
        file.write(chunk);
    }
    file.close();
    double searchMs = 0;
    double definitionMs = 0;
    double before = 0;
    WithSearchPage(state, [&](CSearchDlg& search) {
        before = MemoryMb("VmRSS:");
        for (auto _ : state) {
            Clock::time_point start = Clock::now();
            search.OnBookmarks();
            search.repaint();
            const double searchPress = std::chrono::duration<double>(Clock::now() - start).count();
            double definitionPress = 0;
            QTimer::singleShot(0, [&] {
                auto* page = dynamic_cast<CDefinitionDlg*>(QApplication::activeModalWidget());
                if (page == nullptr) return;
                const Clock::time_point pressed = Clock::now();
                page->OnBookmarks();
                page->repaint();
                definitionPress = std::chrono::duration<double>(Clock::now() - pressed).count();
                page->close();
            });
            search.OpenDefinition(QStringLiteral("cat"));
            state.SetIterationTime(searchPress + definitionPress);
            searchMs += searchPress * 1000 / static_cast<double>(state.max_iterations);
            definitionMs += definitionPress * 1000 / static_cast<double>(state.max_iterations);
        }
    });
    file.remove();
    state.counters["search_ms"] = searchMs;
    state.counters["definition_ms"] = definitionMs;
    state.counters["peak_growth_MB"] = MemoryMb("VmHWM:") - before;
}
// A fixed count of iterations: the function runs once, so that the peak
// belongs to it alone.
BENCHMARK(BM_OpenBookmarkLists)
    ->Arg(15)
    ->Arg(100)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
