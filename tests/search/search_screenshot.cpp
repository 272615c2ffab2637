// Renders the search page to a PNG file, for the documentation: the program's
// own start-up on the largest dictionary of a program folder, then an
// offscreen grab of the page with a word typed into its search box, or with
// its bookmark or history pop-up list opened from the keyboard.
//   search_screenshot DIST_DIR OUTPUT.png [WORD | --bookmarks | --history]
// The page runs from a scratch program folder that links the dictionaries, so
// the bookmarks and settings of DIST_DIR are neither used nor changed.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeySequence>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "app/lexivane_app.h"
#include "platform/dialog.h"
#include "platform/paths.h"
#include "platform/resources.h"
#include "platform/text.h"
#include "res/resource.h"
#include "search/search_dlg.h"

using namespace platform;

namespace {

// Newest first, as the bookmark file keeps them.
const QStringList kBookmarks = {"serendipity", "lexicon", "quixotic", "cat", "harbour"};
// Looked up in this order: the history list shows the last first.
const QStringList kViewed = {"harbour", "goose", "lexicon", "cat", "run", "dictionary"};

// A program folder: links to the dictionaries and a bookmark file of its own,
// for the pop-up lists.
bool MakeScratchFolder(const QString& dist, const QString& folder) {
    const QDir source(dist);
    for (const QString& name : source.entryList({"English Dictionary (*).pdb"}, QDir::Files)) {
        if (!QFile::link(source.absoluteFilePath(name), folder + '/' + name)) return false;
    }
    QByteArray bytes;
    for (const QString& word : kBookmarks) {
        for (QChar c : word + QChar('\n')) {
            bytes.append(static_cast<char>(c.unicode() & 0xFF));
            bytes.append(static_cast<char>(c.unicode() >> 8));
        }
    }
    QFile file(folder + QStringLiteral("/bookmark.dat"));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: search_screenshot DIST_DIR OUTPUT.png [WORD | --bookmarks | "
                     "--history]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    CApplication application(argc, argv);
    CApplication::setWindowIcon(LoadAppIcon());
    const QString dist = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    const QString what = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("Cat");

    QTemporaryDir scratch;
    if (!scratch.isValid() || !MakeScratchFolder(dist, scratch.path())) {
        std::fprintf(stderr, "search_screenshot: cannot make a scratch program folder\n");
        return 1;
    }
    SetModuleFileNameForTesting(scratch.path() + QStringLiteral("/lexivane"));

    bool saved = false;
    CLexivaneApp app;
    QTimer::singleShot(0, [&] {
        auto* page = dynamic_cast<CSearchDlg*>(QApplication::activeModalWidget());
        if (page == nullptr) return;
        if (QTest::qWaitForWindowActive(page)) {
            if (what == QStringLiteral("--bookmarks")) {
                QTest::keySequence(QApplication::focusWidget(), QKeySequence("Ctrl+B"));
            } else if (what == QStringLiteral("--history")) {
                CWordServices words(app.m_hEngine);
                for (const QString& word : kViewed) words.RenderEntry(word, true);
                QTest::keySequence(QApplication::focusWidget(), QKeySequence("Ctrl+H"));
            } else {
                QTest::keyClicks(page->GetDlgItem(IDC_SEARCH_EDIT), what);
            }
            QTest::qWait(100);
            saved = page->grab().toImage().save(output);
        }
        page->close();
    });
    app.InitInstance();
    app.ExitInstance();
    if (!saved) {
        std::fprintf(stderr, "search_screenshot: could not render the page to %s\n", argv[2]);
        return 1;
    }
    return 0;
}
