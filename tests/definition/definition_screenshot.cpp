// Renders the definition page of a headword to a PNG file, for the
// documentation: the program's own start-up on the largest dictionary of a
// program folder, the word chosen on the search page, then an offscreen grab
// of the definition page.
//   definition_screenshot DIST_DIR OUTPUT.png [WORD]
#include <QApplication>
#include <QImage>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "app/lexivane_app.h"
#include "definition/definition_dlg.h"
#include "platform/dialog.h"
#include "platform/glue.h"
#include "platform/resources.h"
#include "res/resource.h"
#include "search/search_dlg.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: definition_screenshot DIST_DIR OUTPUT.png [WORD]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    Application application(argc, argv);
    Application::setWindowIcon(LoadAppIcon());
    const QString output = QString::fromLocal8Bit(argv[2]);
    const QString word = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("cat");
    SetModuleFileNameForTesting(QString::fromLocal8Bit(argv[1]) + QStringLiteral("/lexivane"));

    bool saved = false;
    CLexivaneApp app;
    QTimer::singleShot(0, [&] {
        auto* search = dynamic_cast<CSearchDlg*>(QApplication::activeModalWidget());
        if (search == nullptr) return;
        QTimer::singleShot(0, [&] {
            auto* page = dynamic_cast<CDefinitionDlg*>(QApplication::activeModalWidget());
            if (page == nullptr) return;
            if (QTest::qWaitForWindowExposed(page)) {
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
