// The definition page's Bookmarks and History pop-up lists, its Help and About
// commands, the soft input panel's effect on the entry pane and the end of
// the page, driven through the real toolbar, lists and keys on the recording
// engine, with the bookmark file in a temporary program directory.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "definition/definition_dlg.h"
#include "html/about_dlg.h"
#include "html/help_dlg.h"
#include "platform/controls.h"
#include "platform/files.h"
#include "platform/messagebox.h"
#include "platform/paths.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "res/resource.h"
#include "tests/support/fake_engine.h"
#include "tests/support/page_helpers.h"
#include "tests/support/run_page.h"

using namespace platform;

namespace {

constexpr LXV_HANDLE kEngine = 0x2A;

class DefinitionListsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake_engine::Reset();
        fake_engine::SetWords({"a", "cat", "dog", "zebra"});
        SetModuleFileNameForTesting(m_dir.filePath("lexivane"));
        SetMessageBoxResponder([this](const MessageBoxRecord& box) {
            m_boxes.push_back(box);
            return m_answer;
        });
    }
    void TearDown() override {
        SetMessageBoxResponder({});
        SetModuleFileNameForTesting(QString());
        SetFileFaultHookForTesting(nullptr);
        ResetSoftInputPanelForTesting();
    }

    void SetBookmarks(const QStringList& words) {
        QFile file(m_dir.filePath("bookmark.dat"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Utf16Lines(words));
    }
    QByteArray BookmarkBytes() const {
        QFile file(m_dir.filePath("bookmark.dat"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // Opens the page on `word` (at `index`) and runs `body` while it shows.
    void Run(const std::function<void()>& body, const QString& word = "cat", uint32_t index = 1) {
        m_page = std::make_unique<CDefinitionDlg>(kEngine);
        m_page->Initialise(word, index);
        RunPageModally(*m_page, body);
    }

    QWidget* Bookmarks() const { return m_page->GetDlgItem(IDC_BOOKMARK_LIST); }
    QWidget* History() const { return m_page->GetDlgItem(IDC_HISTORY_LIST); }
    QTextBrowser* Pane() const { return m_page->findChild<QTextBrowser*>(); }

    void Key(QWidget* widget, Qt::Key key) { QTest::keyClick(widget, key); }
    QStringList BoxTexts() const {
        QStringList texts;
        for (const MessageBoxRecord& box : m_boxes) texts << box.text;
        return texts;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<CDefinitionDlg> m_page;
    std::vector<MessageBoxRecord> m_boxes;
    int m_answer = IDOK;
};

TEST_F(DefinitionListsTest, MarkWithNoFileThenTheRowOffersUnmark) {
    Run([&] {
        TapToolButton(m_page.get(), "Bookmarks");
        EXPECT_EQ(Rows(Bookmarks()), (QStringList{"Bookmarks", "---Mark this---"}));
        EXPECT_TRUE(Bookmarks()->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), Bookmarks());
        EXPECT_EQ(dynamic_cast<CListBoxWidget*>(Bookmarks())->currentIndex().row(), 0);
        EXPECT_EQ(BookmarkBytes(), QByteArray("<missing>")) << "showing the list writes nothing";

        TapListRow(Bookmarks(), 1);
        EXPECT_FALSE(Bookmarks()->isVisible());
        EXPECT_EQ(Rows(Bookmarks()),
                  (QStringList{"Bookmarks", "---Mark this---", "---Clear All---", "cat"}));
        EXPECT_EQ(BookmarkBytes(), Utf16Lines({"cat"}));
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0].text, QStringLiteral("Word 'cat' bookmarked"));
        EXPECT_EQ(m_boxes[0].caption, QStringLiteral("Bookmarks"));
        EXPECT_EQ(m_boxes[0].style, UINT{MB_ICONINFORMATION});
        EXPECT_EQ(m_boxes[0].owner, m_page.get());

        TapToolButton(m_page.get(), "Bookmarks");
        EXPECT_EQ(Rows(Bookmarks()),
                  (QStringList{"Bookmarks", "---Unmark this---", "---Clear All---", "cat"}));
        EXPECT_EQ(m_page->Word(), QStringLiteral("cat"));
        EXPECT_EQ(m_page->Index(), 1u);
    });
}

TEST_F(DefinitionListsTest, UnmarkAsksAndCancelKeepsTheBookmark) {
    SetBookmarks({"dog", "cat"});
    Run([&] {
        TapToolButton(m_page.get(), "Bookmarks");
        EXPECT_EQ(Rows(Bookmarks()),
                  (QStringList{"Bookmarks", "---Unmark this---", "---Clear All---", "dog", "cat"}));
        m_answer = IDCANCEL;
        TapListRow(Bookmarks(), 1);
        EXPECT_EQ(BookmarkBytes(), Utf16Lines({"dog", "cat"}));
        EXPECT_EQ(BoxTexts(), QStringList{"Are you sure?"});
        EXPECT_EQ(m_boxes[0].style, UINT{MB_OKCANCEL | MB_ICONINFORMATION});
        EXPECT_EQ(m_boxes[0].caption, QStringLiteral("Bookmarks"));

        m_answer = IDOK;
        TapToolButton(m_page.get(), "Bookmarks");
        TapListRow(Bookmarks(), 1);
        EXPECT_EQ(BookmarkBytes(), Utf16Lines({"dog"}));
        EXPECT_EQ(BoxTexts(),
                  (QStringList{"Are you sure?", "Are you sure?", "Word 'cat' removed"}));
        TapToolButton(m_page.get(), "Bookmarks");
        EXPECT_EQ(Rows(Bookmarks()),
                  (QStringList{"Bookmarks", "---Mark this---", "---Clear All---", "dog"}));
    });
}

TEST_F(DefinitionListsTest, ButtonsToggleAndTheOtherButtonSwapsTheLists) {
    SetBookmarks({"dog"});
    fake_engine::Get().history = {"zebra", "cat"};
    Run([&] {
        TapToolButton(m_page.get(), "Bookmarks");
        ASSERT_TRUE(Bookmarks()->isVisible());
        TapToolButton(m_page.get(), "Bookmarks");
        EXPECT_FALSE(Bookmarks()->isVisible()) << "a second press closes the list";

        TapToolButton(m_page.get(), "History");
        EXPECT_EQ(Rows(History()), (QStringList{"History", "---Clear All---", "zebra", "cat"}));
        EXPECT_TRUE(History()->isVisible());
        TapToolButton(m_page.get(), "History");
        EXPECT_FALSE(History()->isVisible());

        TapToolButton(m_page.get(), "Bookmarks");
        TapToolButton(m_page.get(), "History");
        EXPECT_FALSE(Bookmarks()->isVisible());
        EXPECT_TRUE(History()->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), History());
        TapToolButton(m_page.get(), "Bookmarks");
        EXPECT_TRUE(Bookmarks()->isVisible());
        EXPECT_FALSE(History()->isVisible());
        EXPECT_EQ(Rows(Bookmarks()).size(), 4) << "filled once per opening";
        EXPECT_EQ(fake_engine::CallCount("lxv_history_count"), 1);
        EXPECT_TRUE(m_boxes.empty());
    });
}

TEST_F(DefinitionListsTest, PickingTheShownHeadwordInEitherListChangesNothing) {
    SetBookmarks({"CAT"});
    fake_engine::Get().history = {"cat", "dog"};
    Run([&] {
        const size_t printsBefore = fake_engine::Get().prints.size();
        TapToolButton(m_page.get(), "Bookmarks");
        TapListRow(Bookmarks(), 3);
        TapToolButton(m_page.get(), "History");
        TapListRow(History(), 2);
        EXPECT_EQ(fake_engine::Get().prints.size(), printsBefore) << "nothing rendered";
        EXPECT_EQ(m_page->Word(), QStringLiteral("cat"));
        EXPECT_EQ(Rows(History()), (QStringList{"History", "---Clear All---", "cat", "dog"}));
        EXPECT_FALSE(History()->isVisible());
        EXPECT_TRUE(m_boxes.empty());
    });
}

TEST_F(DefinitionListsTest, PickedWordsShowTheirEntryAndTheArrowsStepFromThem) {
    SetBookmarks({"zebra"});
    fake_engine::Get().history = {"dog"};
    Run([&] {
        TapToolButton(m_page.get(), "Bookmarks");
        TapListRow(Bookmarks(), 3);
        EXPECT_EQ(m_page->Word(), QStringLiteral("zebra"));
        EXPECT_EQ(m_page->Index(), 3u);
        EXPECT_TRUE(Pane()->toPlainText().contains("zebra"));
        EXPECT_FALSE(Bookmarks()->isVisible());

        TapToolButton(m_page.get(), "History");
        EXPECT_EQ(Rows(History()), (QStringList{"History", "---Clear All---", "dog"}))
            << "the list is read from the engine at the first press";
        TapListRow(History(), 2);
        EXPECT_EQ(m_page->Word(), QStringLiteral("dog"));
        EXPECT_EQ(m_page->Index(), 2u);
        EXPECT_EQ(Rows(History()), (QStringList{"History", "---Clear All---", "dog"}));
        Key(Pane(), Qt::Key_Left);
        EXPECT_EQ(m_page->Word(), QStringLiteral("cat"));
        EXPECT_TRUE(m_boxes.empty());
    });
}

TEST_F(DefinitionListsTest, ABookmarkWithoutAnEntrySaysSoAndStays) {
    SetBookmarks({"unicorn"});
    Run([&] {
        TapToolButton(m_page.get(), "Bookmarks");
        TapListRow(Bookmarks(), 3);
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0].text, QStringLiteral("Matching word not found on Dictionary."));
        EXPECT_EQ(m_boxes[0].caption, QStringLiteral("Error"));
        EXPECT_EQ(m_boxes[0].style, UINT{MB_ICONHAND});
        EXPECT_EQ(m_page->Word(), QStringLiteral("cat"));
        EXPECT_EQ(m_page->Index(), 1u);
    });
}

TEST_F(DefinitionListsTest, ClearAllEmptiesTheBookmarkFileAndOffersMarkAgain) {
    SetBookmarks({"dog", "zebra"});
    Run([&] {
        m_answer = IDCANCEL;
        TapToolButton(m_page.get(), "Bookmarks");
        TapListRow(Bookmarks(), 2);
        EXPECT_EQ(BookmarkBytes(), Utf16Lines({"dog", "zebra"}));

        m_answer = IDOK;
        TapToolButton(m_page.get(), "Bookmarks");
        TapListRow(Bookmarks(), 2);
        EXPECT_EQ(BookmarkBytes(), QByteArray());
        EXPECT_EQ(BoxTexts(), (QStringList{"Are you sure?", "Are you sure?", "Bookmark cleared"}));
        TapToolButton(m_page.get(), "Bookmarks");
        EXPECT_EQ(Rows(Bookmarks()), (QStringList{"Bookmarks", "---Mark this---"}));
        TapListRow(Bookmarks(), 1);
        EXPECT_EQ(BookmarkBytes(), Utf16Lines({"cat"}));
    });
}

TEST_F(DefinitionListsTest, HistoryClearAllEmptiesTheEngineHistoryUntilTheNextWord) {
    fake_engine::Get().history = {"dog"};
    Run([&] {
        TapToolButton(m_page.get(), "History");
        TapListRow(History(), 1);
        EXPECT_EQ(fake_engine::CallCount("lxv_history_clear"), 1);
        EXPECT_TRUE(fake_engine::Get().history.empty());
        EXPECT_EQ(BoxTexts(), (QStringList{"Are you sure?", "History Cleared"}));
        EXPECT_EQ(m_boxes[1].caption, QStringLiteral("History"));
        EXPECT_EQ(m_boxes[1].style, UINT{MB_ICONINFORMATION});

        TapToolButton(m_page.get(), "History");
        ASSERT_EQ(m_boxes.size(), 3u);
        EXPECT_EQ(m_boxes[2].text, QStringLiteral("No entries"));
        EXPECT_EQ(m_boxes[2].caption, QStringLiteral("History"));
        EXPECT_EQ(m_boxes[2].style, UINT{MB_ICONEXCLAMATION});
        EXPECT_FALSE(History()->isVisible());

        Key(Pane(), Qt::Key_Right);
        TapToolButton(m_page.get(), "History");
        EXPECT_EQ(Rows(History()), (QStringList{"History", "---Clear All---", "dog"}));
        EXPECT_TRUE(History()->isVisible());
    });
}

TEST_F(DefinitionListsTest, KeysMoveTheHighlightOnlyAndReturnPicks) {
    fake_engine::Get().history = {"zebra", "dog"};
    std::string longEntry;
    for (int i = 0; i < 200; ++i) longEntry += "<p>line " + std::to_string(i) + "</p>";
    fake_engine::Get().entries[1].html = longEntry;
    Run([&] {
        QScrollBar* bar = Pane()->verticalScrollBar();
        ASSERT_GT(bar->maximum(), 0);
        Key(Pane(), Qt::Key_Return);
        EXPECT_TRUE(m_page->isVisible()) << "Return is the page's, with no list to pick in";
        TapToolButton(m_page.get(), "History");
        Key(History(), Qt::Key_Down);
        Key(History(), Qt::Key_Down);
        Key(History(), Qt::Key_Down);
        EXPECT_TRUE(History()->isVisible());
        EXPECT_EQ(m_page->Word(), QStringLiteral("cat")) << "the arrows only move the highlight";
        EXPECT_EQ(bar->value(), 0) << "the entry stays where it is";
        Key(History(), Qt::Key_Return);
        EXPECT_EQ(m_page->Word(), QStringLiteral("dog"));
        EXPECT_FALSE(History()->isVisible());
    });
}

TEST_F(DefinitionListsTest, LosingTheFocusOrATapOnThePageClosesWithoutActing) {
    SetBookmarks({"dog"});
    Run([&] {
        TapToolButton(m_page.get(), "Bookmarks");
        Key(Bookmarks(), Qt::Key_Down);
        Pane()->setFocus();
        EXPECT_FALSE(Bookmarks()->isVisible());
        TapToolButton(m_page.get(), "Bookmarks");
        ASSERT_TRUE(Bookmarks()->isVisible());
        QTest::mouseClick(m_page.get(), Qt::LeftButton, {}, QPoint(m_page->width() / 2, 10));
        EXPECT_FALSE(Bookmarks()->isVisible());
        EXPECT_EQ(BookmarkBytes(), Utf16Lines({"dog"}));
        EXPECT_EQ(m_page->Word(), QStringLiteral("cat"));
        EXPECT_TRUE(m_boxes.empty());
    });
}

TEST_F(DefinitionListsTest, TheFirstHeadwordOfADictionaryNotStartingWithACanBeBookmarked) {
    fake_engine::SetWords({"cat", "dog"});
    Run(
        [&] {
            TapToolButton(m_page.get(), "Bookmarks");
            TapListRow(Bookmarks(), 1);
            EXPECT_EQ(BookmarkBytes(), Utf16Lines({"cat"}));
            EXPECT_EQ(BoxTexts(), QStringList{"Word 'cat' bookmarked"});
        },
        "cat", 0);
}

// The fault a test injects into the bookmark file, as the system would refuse
// it: reading it, writing it, or the rename that puts a save in place.
FileStep g_faultStep = FileStep::kRead;
bool g_fault = false;
int RefuseBookmarkFile(const QString& path, FileStep step) {
    return g_fault && step == g_faultStep && QFileInfo(path).fileName().startsWith("bookmark.dat")
               ? EACCES
               : 0;
}

TEST_F(DefinitionListsTest, ABookmarkFileThatCannotBeReadOrSavedSaysWhyAndThePageGoesOn) {
    SetFileFaultHookForTesting(&RefuseBookmarkFile);
    g_faultStep = FileStep::kRead;
    g_fault = true;
    const QString failure = QStringLiteral("Could not save bookmark.dat: Permission denied");
    Run([&] {
        TapToolButton(m_page.get(), "Bookmarks");
        EXPECT_EQ(BoxTexts(), QStringList{"Could not read bookmark.dat: Permission denied"});
        EXPECT_EQ(m_boxes.back().caption, QStringLiteral("Error"));
        EXPECT_EQ(m_boxes.back().style, UINT{MB_ICONHAND});
        EXPECT_FALSE(Bookmarks()->isVisible()) << "no mark row offered over a file not read";

        g_faultStep = FileStep::kWrite;
        TapToolButton(m_page.get(), "Bookmarks");
        TapListRow(Bookmarks(), 1);
        EXPECT_EQ(m_boxes.back().text, failure);
        EXPECT_EQ(BookmarkBytes(), QByteArray("<missing>"));
        EXPECT_EQ(Rows(Bookmarks()), (QStringList{"Bookmarks", "---Mark this---"}));

        g_fault = false;
        TapToolButton(m_page.get(), "Bookmarks");
        TapListRow(Bookmarks(), 1);
        m_page->StepWord(true);
        TapToolButton(m_page.get(), "Bookmarks");
        TapListRow(Bookmarks(), 1);
        EXPECT_EQ(BookmarkBytes(), Utf16Lines({"dog", "cat"}));

        g_fault = true;
        m_boxes.clear();
        TapToolButton(m_page.get(), "Bookmarks");
        TapListRow(Bookmarks(), 1);
        TapToolButton(m_page.get(), "Bookmarks");
        TapListRow(Bookmarks(), 2);
        EXPECT_EQ(BoxTexts(), (QStringList{"Are you sure?", failure, "Are you sure?", failure}));
        EXPECT_EQ(BookmarkBytes(), Utf16Lines({"dog", "cat"}));
        EXPECT_EQ(Rows(Bookmarks()),
                  (QStringList{"Bookmarks", "---Unmark this---", "---Clear All---", "dog", "cat"}));
        EXPECT_TRUE(m_page->isVisible());
    });
}

TEST_F(DefinitionListsTest, MarksAndClearAllReplaceTheFileALinkNamesAndKeepTheLink) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("elsewhere"));
    const QString target = m_dir.filePath("elsewhere/marks");
    SetBookmarks({"dog"});
    ASSERT_TRUE(QFile::rename(m_dir.filePath("bookmark.dat"), target));
    ASSERT_TRUE(QFile::link("elsewhere/marks", m_dir.filePath("bookmark.dat")));
    // A second name of the file as it is now: emptying the file in place
    // would empty this name too.
    const QString before = m_dir.filePath("elsewhere/before");
    ASSERT_EQ(link(QFile::encodeName(target).constData(), QFile::encodeName(before).constData()),
              0);
    Run([&] {
        TapToolButton(m_page.get(), "Bookmarks");
        TapListRow(Bookmarks(), 1);
        EXPECT_EQ(QFileInfo(m_dir.filePath("bookmark.dat")).symLinkTarget(), target);
        EXPECT_EQ(BookmarkBytes(), Utf16Lines({"cat", "dog"}));

        TapToolButton(m_page.get(), "Bookmarks");
        TapListRow(Bookmarks(), 2);
        EXPECT_EQ(BoxTexts(),
                  (QStringList{"Word 'cat' bookmarked", "Are you sure?", "Bookmark cleared"}));
        EXPECT_EQ(QFileInfo(m_dir.filePath("bookmark.dat")).symLinkTarget(), target);
        EXPECT_EQ(BookmarkBytes(), QByteArray());
        QFile old(before);
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), Utf16Lines({"dog"})) << "the old file was replaced, not cut";
    });
}

TEST_F(DefinitionListsTest, AHistoryWordWithoutAnIndexEndsTheProgram) {
    EXPECT_EXIT(
        {
            fake_engine::Get().history = {"0-ring"};
            SetMessageBoxResponder(&PrintBoxAndAnswerOk);
            Run([&] {
                TapToolButton(m_page.get(), "History");
                TapListRow(History(), 2);
            });
        },
        ::testing::ExitedWithCode(1),
        "box: Error Message: Error in processing history. Please restart application: 16");
}

TEST_F(DefinitionListsTest, TheSoftInputPanelShortensThePaneAndItsGoingRestoresIt) {
    Run([&] {
        QTRY_VERIFY(Pane()->isVisible());
        QCoreApplication::processEvents();  // the posted measurement after the activation
        const QRect full = Pane()->geometry();
        ASSERT_GT(full.height(), 100);
        const QRect screen = m_page->screen()->geometry();
        SetSoftInputPanelForTesting(true, QRect(0, screen.bottom() - 79, screen.width(), 80));
        EXPECT_EQ(Pane()->geometry(), QRect(full.x(), full.y(), full.width(), full.height() - 80));
        SetSoftInputPanelForTesting(false, QRect());
        EXPECT_EQ(Pane()->geometry(), full);
        SetSoftInputPanelForTesting(true, QRect(0, screen.bottom() - 119, screen.width(), 120));
        EXPECT_EQ(Pane()->height(), full.height() - 120) << "sized from the full pane each time";
    });
}

TEST_F(DefinitionListsTest, HelpAndAboutOpenFromThePageAndClosingReleasesThePane) {
    Run([&] {
        EXPECT_EQ(TitleOfModalOpenedBy([&] { TapToolButton(m_page.get(), "Help"); }),
                  QStringLiteral("Help"));
        QMenu* tools = CommandBarMenu(m_page.get(), "Tools");
        ASSERT_TRUE(tools != nullptr && !tools->actions().isEmpty());
        EXPECT_EQ(TitleOfModalOpenedBy([&] { tools->actions().front()->trigger(); }),
                  QStringLiteral("About Lexivane"));
        EXPECT_EQ(QApplication::activeModalWidget(), m_page.get());
        ASSERT_NE(Pane(), nullptr);
    });
    EXPECT_EQ(Pane(), nullptr) << "the pane goes with the page's window";
}

}  // namespace
