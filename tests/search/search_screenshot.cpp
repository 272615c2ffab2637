// Renders the search page with a word typed into its search box to a PNG
// file, for the documentation: the program's own start-up on the largest
// dictionary of a program folder, then an offscreen grab of the page.
//   search_screenshot DIST_DIR OUTPUT.png [WORD]
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "app/lexivane_app.h"
#include "platform/dialog.h"
#include "platform/glue.h"
#include "platform/resources.h"
#include "res/resource.h"
#include "search/search_dlg.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: search_screenshot DIST_DIR OUTPUT.png [WORD]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    Application application(argc, argv);
    Application::setWindowIcon(LoadAppIcon());
    const QString output = QString::fromLocal8Bit(argv[2]);
    const QString word = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("Cat");
    SetModuleFileNameForTesting(QString::fromLocal8Bit(argv[1]) + QStringLiteral("/lexivane"));

    bool saved = false;
    CLexivaneApp app;
    QTimer::singleShot(0, [&] {
        auto* page = dynamic_cast<CSearchDlg*>(QApplication::activeModalWidget());
        if (page == nullptr) return;
        if (QTest::qWaitForWindowExposed(page)) {
            QTest::keyClicks(page->GetDlgItem(IDC_SEARCH_EDIT), word);
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
