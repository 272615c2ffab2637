#include "app/lexivane_app.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/messagebox.h"
#include "platform/paths.h"
#include "platform/settings.h"
#include "platform/text.h"
#include "platform/text_zoom.h"
#include "search/search_dlg.h"
#include "tests/support/fake_engine.h"
#include "tests/support/page_helpers.h"

using namespace platform;

namespace {

const QString kSmall = QStringLiteral("English Dictionary (small).pdb");
const QString kMedium = QStringLiteral("English Dictionary (medium).pdb");
const QString kLarge = QStringLiteral("English Dictionary (large).pdb");
const QStringList kScratch = {"listpad.pdb", "datapad.pdb", "miscpad.pdb", "zippad.pdb"};

const QString kNoDictionary = QStringLiteral(
    "No dictionary found. If you have already downloaded a dictionary file(.pdb), please place in "
    "the directory where Lexivane is installed and restart the application.\r\nFor help, please "
    "e-mail: the Lexivane maintainers (see README.md)");

// A temporary program directory, every message box recorded and answered OK,
// and the engine replaced by the recording stand-in.
class StartupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake_engine::Reset();
        SetModuleFileNameForTesting(m_dir.filePath("lexivane"));
        SetMessageBoxResponder([this](const MessageBoxRecord& box) {
            m_boxes.push_back(box);
            return IDOK;
        });
    }
    void TearDown() override {
        SetMessageBoxResponder({});
        SetModuleFileNameForTesting(QString());
    }

    QString Path(const QString& name) const { return m_dir.filePath(name); }
    void Put(const QString& name, const QByteArray& bytes = "dictionary data") {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    qint64 Size(const QString& name) const { return QFileInfo(Path(name)).size(); }
    bool Exists(const QString& name) const { return QFile::exists(Path(name)); }
    // True when nobody holds the file's lock any more.
    bool Unlocked(const QString& name) const {
        HANDLE h = CreateFileForMappingW(Path(name), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, 0);
        if (h == INVALID_HANDLE_VALUE) return false;
        CloseHandle(h);
        return true;
    }

    // Runs InitInstance; `whileRunning` runs once the search page is up, and
    // the page is then closed with its close button.
    BOOL Start(CLexivaneApp& app, std::function<void(CSearchDlg&)> whileRunning = {}) {
        return StartPages(app, {std::move(whileRunning)});
    }
    // Runs InitInstance; each search page that shows runs the next of `pages`
    // in turn, and is then closed when it still shows.
    BOOL StartPages(CLexivaneApp& app, std::vector<std::function<void(CSearchDlg&)>> pages) {
        // The timer dies with this call, so a start-up that never shows the
        // page leaves nothing behind to close a later test's page.
        QTimer timer;
        const int first = m_pageRuns;
        QObject::connect(&timer, &QTimer::timeout, [this, &pages, first] {
            auto* page = dynamic_cast<CSearchDlg*>(QApplication::activeModalWidget());
            if (page == nullptr || !page->isVisible() || page->property("seen").toBool()) return;
            page->setProperty("seen", true);
            const size_t run = static_cast<size_t>(m_pageRuns++ - first);
            if (run < pages.size() && pages[run]) pages[run](*page);
            page->close();
        });
        timer.start(0);
        return app.InitInstance();
    }
    // The Tools menu of `page` as its items read: "-" for a separator, a
    // checked item followed by " *".
    static QStringList ToolsItems(QWidget* page) {
        QStringList items;
        for (const QAction* item : CommandBarMenu(page, "Tools")->actions())
            items << (item->isSeparator() ? QStringLiteral("-")
                                          : item->text() + (item->isChecked() ? " *" : ""));
        return items;
    }
    // Chooses the Tools menu item `name` of `page` and lets the page act on it.
    static void Choose(QWidget* page, const QString& name) {
        for (QAction* item : CommandBarMenu(page, "Tools")->actions())
            if (item->text() == name) item->trigger();
        QCoreApplication::processEvents();
    }

    QTemporaryDir m_dir;
    std::vector<MessageBoxRecord> m_boxes;
    int m_pageRuns = 0;  // times Start saw the search page running
};

TEST_F(StartupTest, OnlyTheSmallDictionaryIsOpened) {
    Put(kSmall);
    CLexivaneApp app;
    EXPECT_FALSE(Start(app));
    EXPECT_EQ(m_pageRuns, 1);
    EXPECT_TRUE(m_boxes.empty());
    ASSERT_EQ(fake_engine::CallCount("lxv_openfile"), 1);
    EXPECT_EQ(QString::fromStdString(fake_engine::Get().openPaths[0]), Path(kSmall));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(QString::fromStdString(fake_engine::Get().openPaths[i + 1]), Path(kScratch[i]))
            << i;
    }
    EXPECT_TRUE(fake_engine::Get().openArgsWereOpen);
    EXPECT_EQ(app.ExitInstance(), 0);
}

TEST_F(StartupTest, TheLargestDictionaryPresentWins) {
    Put(kSmall);
    Put(kMedium);
    CLexivaneApp app;
    QString path;
    ASSERT_TRUE(app.FindDictionaryFile(path));
    EXPECT_EQ(path, Path(kMedium));
    Put(kLarge);
    ASSERT_TRUE(app.FindDictionaryFile(path));
    EXPECT_EQ(path, Path(kLarge));

    Start(app);
    EXPECT_EQ(QString::fromStdString(fake_engine::Get().openPaths[0]), Path(kLarge));
    app.ExitInstance();
}

TEST_F(StartupTest, NoDictionaryShowsOneBoxAndCreatesNothing) {
    CLexivaneApp app;
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_EQ(AfxWinMain(), 0) << "exit code";
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, kNoDictionary);
    EXPECT_EQ(m_boxes[0].caption, QStringLiteral("Lexivane"));
    EXPECT_EQ(m_boxes[0].style, MB_ICONHAND);
    EXPECT_EQ(m_boxes[0].owner, nullptr);
    for (const QString& scratch : kScratch) EXPECT_FALSE(Exists(scratch)) << qPrintable(scratch);
    EXPECT_TRUE(fake_engine::Get().calls.empty());
}

TEST_F(StartupTest, ScratchFilesFromAnEarlierRunAreEmptied) {
    Put(kSmall);
    for (const QString& scratch : kScratch) Put(scratch, "stale engine data");
    CLexivaneApp app;
    Start(app, [&](CSearchDlg&) {
        for (const QString& scratch : kScratch) EXPECT_EQ(Size(scratch), 0) << qPrintable(scratch);
    });
    EXPECT_EQ(m_pageRuns, 1);
    app.ExitInstance();
    EXPECT_EQ(Size(kSmall), 15) << "the dictionary itself is never written";
}

TEST_F(StartupTest, DictionaryThatCannotBeOpenedIsReportedAfterTheScratchFilesExist) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(kMedium));
    CLexivaneApp app;
    EXPECT_FALSE(Start(app));
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, QStringLiteral("CreateFileForMapping : 5"));
    EXPECT_EQ(m_boxes[0].caption, QStringLiteral("Error")) << "the platform's default caption";
    EXPECT_EQ(m_boxes[0].style, 0u);
    EXPECT_EQ(m_boxes[0].owner, nullptr);
    EXPECT_EQ(app.m_hDictFile, INVALID_HANDLE_VALUE);
    for (const QString& scratch : kScratch) EXPECT_TRUE(Exists(scratch)) << qPrintable(scratch);
    EXPECT_EQ(fake_engine::CallCount("lxv_openfile"), 0);
    EXPECT_EQ(m_pageRuns, 0);

    for (const QString& scratch : kScratch) EXPECT_FALSE(Unlocked(scratch)) << "still held";
    EXPECT_EQ(app.ExitInstance(), 0);
    for (const QString& scratch : kScratch)
        EXPECT_TRUE(Unlocked(scratch)) << "closed by ExitInstance";
    EXPECT_EQ(fake_engine::CallCount("lxv_closefile"), 0);
}

TEST_F(StartupTest, EngineRefusingTheFilesIsReportedAndTheFilesClosed) {
    // The code in the message is the reason the engine gives in errno: none,
    // not a dictionary, damaged, unreadable, or what the system calls it.
    const std::vector<std::pair<int, QString>> reasons = {
        {0, "0"}, {ENOEXEC, "11"}, {EBADMSG, "13"}, {EIO, "30"}, {ENOMEM, "8"}};
    Put(kLarge);
    for (const auto& [reason, code] : reasons) {
        fake_engine::Get().openResult = 0;
        fake_engine::Get().openErrno = reason;
        m_boxes.clear();
        CLexivaneApp app;
        EXPECT_FALSE(Start(app));
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0].text, "Error in opening dictionary file : " + code)
            << "not the code left by looking for the smaller dictionaries";
        EXPECT_EQ(m_boxes[0].caption, QStringLiteral("Error"));
        EXPECT_EQ(m_boxes[0].style, 0u);
        EXPECT_EQ(app.ExitInstance(), 0);
        EXPECT_EQ(fake_engine::CallCount("lxv_closefile"), 0);
        EXPECT_TRUE(Unlocked(kLarge));
        for (const QString& scratch : kScratch)
            EXPECT_TRUE(Unlocked(scratch)) << qPrintable(scratch);
    }
}

TEST_F(StartupTest, NormalCloseClosesTheEngineOnceThenTheFiles) {
    Put(kSmall);
    CLexivaneApp app;
    Start(app, [&](CSearchDlg& page) {
        EXPECT_EQ(app.m_pMainWnd, &page);
        EXPECT_EQ(page.parentWidget(), nullptr);
    });
    EXPECT_EQ(m_pageRuns, 1);
    EXPECT_EQ(fake_engine::CallCount("lxv_closefile"), 0) << "not before ExitInstance";
    EXPECT_EQ(app.ExitInstance(), 0);

    const auto& engine = fake_engine::Get();
    ASSERT_EQ(engine.closeAddresses.size(), 1u);
    EXPECT_EQ(engine.closeAddresses[0], &app.m_hEngine) << "the address of the handle";
    EXPECT_EQ(engine.closeValues[0], 0x2Au);
    EXPECT_TRUE(engine.handlesOpenAtClose) << "the engine closes before its files";
    for (intptr_t fd : engine.openArgs) EXPECT_EQ(fcntl(static_cast<int>(fd), F_GETFD), -1) << fd;
    // Whatever the page asked in between, the engine opens first and closes last, once each.
    ASSERT_FALSE(engine.calls.empty());
    EXPECT_EQ(engine.calls.front(), "lxv_openfile");
    EXPECT_EQ(engine.calls.back(), "lxv_closefile");
    EXPECT_EQ(fake_engine::CallCount("lxv_openfile"), 1);
    EXPECT_EQ(fake_engine::CallCount("lxv_closefile"), 1);
}

TEST_F(StartupTest, KeptPlaceAndZoomComeBackWithinReasonAndAreKeptAgain) {
    Put(kSmall);
    const QSize screen = QGuiApplication::primaryScreen()->availableSize();
    struct Case {
        const char* settings;
        QSize size;  // empty: the handheld size
        int zoom;
    };
    const Case cases[] = {
        {"[window]\nx=40\ny=30\nwidth=400\nheight=500\n[text]\nzoom=150\n", {400, 500}, 150},
        // Nonsense, and a place that no screen shows, give the handheld size.
        {"[window]\nx=abc\ny=1\nwidth=-5\nheight=9\n[text]\nzoom=huge\n", {}, 100},
        {"[window]\nx=-9000\ny=-9000\nwidth=10\nheight=10\n[text]\nzoom=10\n", {}, 50},
        // No larger than the screen, no more than 300 percent.
        {"[window]\nx=0\ny=0\nwidth=90000\nheight=90000\n[text]\nzoom=900\n", screen, 300},
    };
    for (const Case& c : cases) {
        Put(QStringLiteral("lexivane.ini"), c.settings);
        CLexivaneApp app;
        QSize shown;
        QSize handheld;
        Start(app, [&](CSearchDlg& page) {
            shown = page.size();
            handheld = page.minimumSize();
            EXPECT_EQ(TextZoom(), c.zoom) << c.settings;
        });
        app.ExitInstance();
        EXPECT_EQ(shown, c.size.isEmpty() ? handheld : c.size) << c.settings;
        EXPECT_EQ(ReadSetting(QStringLiteral("window/width")).toInt(), shown.width());
        EXPECT_EQ(ReadSetting(QStringLiteral("window/height")).toInt(), shown.height());
        EXPECT_EQ(ReadSetting(QStringLiteral("text/zoom")).toInt(), c.zoom);
    }
    SetTextZoom(kNormalTextZoom);
}

TEST_F(StartupTest, SecondCopyMeetsTheSharingViolationAndLeavesTheFirstWorking) {
    Put(kSmall);
    CLexivaneApp first;
    Start(first, [&](CSearchDlg&) {
        ASSERT_EQ(pwrite(static_cast<int>(first.m_hListPad), "first copy", 10, 0), 10);

        CLexivaneApp second;
        EXPECT_FALSE(second.InitInstance());
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0].text, QStringLiteral("CreateFileForMapping : 32"));
        EXPECT_EQ(second.m_hDictFile, INVALID_HANDLE_VALUE) << "fails on its first file";
        EXPECT_EQ(second.m_hListPad, INVALID_HANDLE_VALUE);
        EXPECT_EQ(fake_engine::CallCount("lxv_openfile"), 1)
            << "the second copy never reaches the engine";
        second.ExitInstance();

        EXPECT_EQ(Size("listpad.pdb"), 10) << "the first copy's scratch file is untouched";
        char buffer[10];
        EXPECT_EQ(pread(static_cast<int>(first.m_hListPad), buffer, 10, 0), 10);
        EXPECT_EQ(QByteArray(buffer, 10), QByteArray("first copy"));
        EXPECT_NE(fcntl(static_cast<int>(first.m_hDictFile), F_GETFD), -1);
        EXPECT_FALSE(Unlocked(kSmall)) << "the first copy still holds its dictionary";
    });
    EXPECT_EQ(m_pageRuns, 1);
    EXPECT_EQ(first.ExitInstance(), 0);
    EXPECT_EQ(fake_engine::CallCount("lxv_closefile"), 1);
}

TEST_F(StartupTest, ChosenDictionaryOpensInPlaceOfTheOpenOneAndIsKeptForTheNextRun) {
    Put(kSmall);
    Put(kLarge);
    Put("lexivane.ini", "[General]\ndictionary=../English Dictionary (small).pdb\n");
    CLexivaneApp app;
    StartPages(app, {[&](CSearchDlg& page) {
                         EXPECT_EQ(ToolsItems(&page),
                                   (QStringList{"Small (WordNet, common words)", "Large (GCIDE) *",
                                                "-", "About Lexivane", "Quit"}))
                             << "a path in the settings is no choice";
                         page.move(40, 30);
                         Choose(&page, "Large (GCIDE)");
                         EXPECT_TRUE(page.isVisible()) << "the open one is chosen already";
                         Choose(&page, "Small (WordNet, common words)");
                         EXPECT_FALSE(page.isVisible());
                     },
                     [&](CSearchDlg& page) {
                         EXPECT_EQ(QString::fromStdString(fake_engine::Get().openPaths[0]),
                                   Path(kSmall));
                         EXPECT_EQ(ToolsItems(&page).first(),
                                   QStringLiteral("Small (WordNet, common words) *"));
                         EXPECT_EQ(page.pos(), QPoint(40, 30)) << "where the last page was";
                     }});
    EXPECT_EQ(m_pageRuns, 2);
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(fake_engine::CallCount("lxv_openfile"), 2);
    EXPECT_EQ(fake_engine::CallCount("lxv_closefile"), 1) << "the first engine, before the second";
    app.ExitInstance();

    QString path;
    ASSERT_TRUE(CLexivaneApp().FindDictionaryFile(path));
    EXPECT_EQ(path, Path(kSmall)) << "the choice holds for the next run";
    QFile::remove(Path(kSmall));
    ASSERT_TRUE(CLexivaneApp().FindDictionaryFile(path));
    EXPECT_EQ(path, Path(kLarge)) << "a chosen dictionary that is gone leaves the largest";
}

TEST_F(StartupTest, ChosenDictionaryThatCannotBeOpenedLeavesTheOpenOneOpen) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(kMedium));
    Put(kLarge);
    CLexivaneApp app;
    StartPages(app, {[&](CSearchDlg& page) { Choose(&page, "Medium (WordNet 3.0)"); },
                     [&](CSearchDlg& page) {
                         EXPECT_EQ(ToolsItems(&page)[1], QStringLiteral("Large (GCIDE) *"));
                     }});
    EXPECT_EQ(m_pageRuns, 2);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, QStringLiteral("CreateFileForMapping : 5"));
    EXPECT_EQ(QString::fromStdString(fake_engine::Get().openPaths[0]), Path(kLarge));
    app.ExitInstance();
    EXPECT_FALSE(ReadSetting(QStringLiteral("dictionary")).isValid()) << "no choice kept";
}

struct ReportsCloseCallsAtExit {
    ~ReportsCloseCallsAtExit() {
        std::fprintf(stderr, "closefile calls at exit: %d\n",
                     fake_engine::CallCount("lxv_closefile"));
    }
};

TEST_F(StartupTest, FatalErrorInAPageEndsWithCodeOneWithoutClosingTheEngine) {
    Put(kSmall);
    EXPECT_EXIT(
        {
            static ReportsCloseCallsAtExit reporter;
            CLexivaneApp app;
            Start(app, [](CSearchDlg& page) {
                FatalError(&page, "Internal error!! Please restart application", "Error Message");
            });
            app.ExitInstance();
        },
        ::testing::ExitedWithCode(1), "closefile calls at exit: 0");
}

}  // namespace
