// Renders the help page and the About box, as they first show, into PNG files
// of the folder given on the command line.
#include <QDir>
#include <QPixmap>
#include <QTimer>
#include <cstdio>

#include "html/about_dlg.h"
#include "html/help_dlg.h"
#include "platform/dialog.h"

namespace {

// Opens `page` modally, saves what it shows to `path` and closes it.
bool Render(platform::CDialog& page, const QString& path) {
    bool saved = false;
    QTimer::singleShot(0, &page, [&] {
        saved = page.grab().save(path);
        page.close();
    });
    page.DoModal();
    if (!saved) std::fprintf(stderr, "page_screenshots: cannot write %s\n", qPrintable(path));
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::CApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: page_screenshots OUTPUT-FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    CHelpDlg help;
    CAboutDlg about;
    // As the program shows it on its default dictionary, the large one.
    about.SetDictionary(&res::Dictionaries().back());
    const bool ok = Render(help, folder.filePath(QStringLiteral("help.png"))) &&
                    Render(about, folder.filePath(QStringLiteral("about.png")));
    return ok ? 0 : 1;
}
