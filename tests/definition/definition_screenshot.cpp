// Renders the definition page of a headword to a PNG file, for the
// documentation: the program's own start-up on the largest dictionary of a
// program folder, the word chosen on the search page, then an offscreen grab
// of the definition page, optionally with its bookmark list (a few sample
// bookmarks) or its history list (after three steps forward) open, or as the
// program shows it when its last run left it maximised or its text zoomed to
// 150 percent. The program runs from a temporary folder that links to the
// dictionaries, so the folder's own bookmark and settings files are never read
// or written.
//   definition_screenshot DIST_DIR OUTPUT.png [WORD [bookmarks|history|maximised|zoomed]]
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <cstdio>

#include "app/lexivane_app.h"
#include "definition/definition_dlg.h"
#include "platform/dialog.h"
#include "platform/paths.h"
#include "platform/resources.h"
#include "platform/settings.h"
#include "platform/text.h"
#include "res/resource.h"
#include "search/search_dlg.h"

using namespace platform;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: definition_screenshot DIST_DIR OUTPUT.png [WORD "
                     "[bookmarks|history|maximised|zoomed]]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    CApplication application(argc, argv);
    CApplication::setWindowIcon(LoadAppIcon());
    const QString output = QString::fromLocal8Bit(argv[2]);
    const QString word = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("cat");
    const QString list = argc > 4 ? QString::fromLocal8Bit(argv[4]) : QString();

    QTemporaryDir folder;
    const QDir dist(QString::fromLocal8Bit(argv[1]));
    for (const QString& name : dist.entryList({QStringLiteral("*.pdb")}, QDir::Files)) {
        QFile::link(dist.absoluteFilePath(name), folder.filePath(name));
    }
    if (list == QStringLiteral("bookmarks")) {
        QFile bookmarks(folder.filePath(QStringLiteral("bookmark.dat")));
        if (bookmarks.open(QIODevice::WriteOnly)) {
            for (const QString& line : {word, QStringLiteral("lexicon"),
                                        QStringLiteral("serendipity"), QStringLiteral("quill")}) {
                const QString text = line + QChar('\n');
                bookmarks.write(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
            }
        }
    }
    SetModuleFileNameForTesting(folder.filePath(QStringLiteral("lexivane")));
    if (list == QStringLiteral("maximised")) {
        // Its normal place the handheld size in the top left corner.
        for (const char* key : {"window/x", "window/y"}) WriteSetting(QString::fromLatin1(key), 0);
        for (const char* key : {"window/width", "window/height"})
            WriteSetting(QString::fromLatin1(key), 1);
        WriteSetting(QStringLiteral("window/maximised"), true);
    } else if (list == QStringLiteral("zoomed")) {
        WriteSetting(QStringLiteral("text/zoom"), 150);
    }

    bool saved = false;
    CLexivaneApp app;
    QTimer::singleShot(0, [&] {
        auto* search = dynamic_cast<CSearchDlg*>(QApplication::activeModalWidget());
        if (search == nullptr) return;
        // The definition page opens over the active search page, with its size.
        if (!QTest::qWaitForWindowActive(search)) {
            search->close();
            return;
        }
        QTimer::singleShot(0, [&] {
            auto* page = dynamic_cast<CDefinitionDlg*>(QApplication::activeModalWidget());
            if (page == nullptr) return;
            if (QTest::qWaitForWindowExposed(page)) {
                if (list == QStringLiteral("history")) {
                    for (int step = 0; step < 3; ++step) {
                        QTest::keyClick(page->findChild<QTextBrowser*>(), Qt::Key_Right);
                    }
                }
                const QString button =
                    list == QStringLiteral("bookmarks") ? QStringLiteral("Bookmarks") : list;
                for (auto* tool : page->findChild<QToolBar*>()->findChildren<QToolButton*>()) {
                    if (!list.isEmpty() &&
                        tool->accessibleName().compare(button, Qt::CaseInsensitive) == 0) {
                        QTest::mouseClick(tool, Qt::LeftButton);
                    }
                }
                QTest::qWait(100);
                saved = page->grab().toImage().save(output);
            }
            page->close();
        });
        QTest::keyClicks(search->GetDlgItem(IDC_SEARCH_EDIT), word);
        search->OpenDefinition(word);
        search->close();
    });
    app.InitInstance();
    app.ExitInstance();
    if (!saved) {
        std::fprintf(stderr, "definition_screenshot: could not render the page of %s to %s\n",
                     qPrintable(word), argv[2]);
        return 1;
    }
    return 0;
}
