// Start-up and shutdown of the program on the large dictionary
// (bench/program_folder.h), and the bookmark file's save and fill, on Qt's
// offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "app/lexivane_app.h"
#include "bench/program_folder.h"
#include "platform/dialog.h"
#include "platform/messagebox.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "search/search_dlg.h"
#include "words/bookmark_file.h"
#include "words/bookmark_rows.h"

using namespace platform;

namespace {

// InitInstance until the search page is up, then its close and ExitInstance.
void BM_StartAndClose(benchmark::State& state) {
    if (!UseBenchProgramFolder(state)) return;
    int boxes = 0;
    SetMessageBoxResponder([&](const MessageBoxRecord&) {
        ++boxes;
        return IDOK;
    });
    for (auto _ : state) {
        CLexivaneApp app;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [] {
            if (QWidget* page = QApplication::activeModalWidget()) page->close();
        });
        timer.start(0);
        app.InitInstance();
        app.ExitInstance();
    }
    SetMessageBoxResponder({});
    SetModuleFileNameForTesting(QString());
    if (boxes > 0) state.SkipWithError("the dictionary did not open");
}
BENCHMARK(BM_StartAndClose)->Unit(benchmark::kMillisecond);

// A bookmark file of `count` words beside a program in `dir`.
void WriteBookmarks(const QTemporaryDir& dir, int count) {
    QString text;
    for (int i = 0; i < count; ++i) text += QStringLiteral("bookmark%1\n").arg(i);
    SetModuleFileNameForTesting(dir.filePath("lexivane"));
    CBookmarkFile().WriteLines(text);
}

// Marking one more word with range(0) bookmarks already saved: the whole list
// is written to a temporary file, flushed to disk and renamed into place.
void BM_BookmarkWord(benchmark::State& state) {
    QTemporaryDir dir;
    WriteBookmarks(dir, static_cast<int>(state.range(0)));
    CBookmarkRows rows(true);
    rows.Fill();
    for (auto _ : state) {
        if (!rows.Mark(QStringLiteral("extraordinary"))) state.SkipWithError("save failed");
    }
    SetModuleFileNameForTesting(QString());
}
BENCHMARK(BM_BookmarkWord)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond);

// Filling a bookmark list from a file of range(0) words.
void BM_FillBookmarkList(benchmark::State& state) {
    QTemporaryDir dir;
    WriteBookmarks(dir, static_cast<int>(state.range(0)));
    CBookmarkRows rows(false);
    for (auto _ : state) rows.Fill();
    SetModuleFileNameForTesting(QString());
}
BENCHMARK(BM_FillBookmarkList)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
