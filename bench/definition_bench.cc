// The definition page on the largest dictionary in the program folder, on
// Qt's offscreen platform: from choosing a headword on the search page to its
// definition page shown with the entry laid out and painted, and one step to
// the next headword with the Right key.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <array>
#include <chrono>
#include <functional>

#include "app/lexivane_app.h"
#include "definition/definition_dlg.h"
#include "platform/dialog.h"
#include "platform/glue.h"
#include "platform/messagebox.h"
#include "search/search_dlg.h"

namespace {

using Clock = std::chrono::steady_clock;

// Starts the program on the dictionaries of the program folder and runs
// `body` on its search page; false when there was no dictionary to open.
bool WithSearchPage(const std::function<void(CSearchDlg&)>& body) {
    SetModuleFileNameForTesting(QStringLiteral(LEXIVANE_DIST_DIR "/lexivane"));
    int boxes = 0;
    SetMessageBoxResponder([&](const MessageBoxRecord&) {
        ++boxes;
        return IDOK;
    });
    CLexivaneApp app;
    QTimer::singleShot(0, [&] {
        auto* search = dynamic_cast<CSearchDlg*>(QApplication::activeModalWidget());
        if (search == nullptr) return;
        body(*search);
        search->close();
    });
    app.InitInstance();
    app.ExitInstance();
    SetMessageBoxResponder({});
    SetModuleFileNameForTesting(QString());
    return boxes == 0;
}

// Short, ordinary and long entries, the last ones cut to fit the render buffer.
constexpr std::array<const char*, 8> kWords = {"cat",   "dictionary", "water", "house",
                                               "quick", "lexicon",    "set",   "run"};

void BM_ChooseHeadwordToDefinitionShown(benchmark::State& state) {
    const bool opened = WithSearchPage([&](CSearchDlg& search) {
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
    if (!opened) state.SkipWithError("no dictionary in the program folder (build it first)");
}
BENCHMARK(BM_ChooseHeadwordToDefinitionShown)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_StepRightOneHeadword(benchmark::State& state) {
    const bool opened = WithSearchPage([&](CSearchDlg& search) {
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
    if (!opened) state.SkipWithError("no dictionary in the program folder (build it first)");
}
BENCHMARK(BM_StepRightOneHeadword)->Unit(benchmark::kMillisecond);

}  // namespace
