// The search page's Bookmarks and History pop-up lists and its Help and About
// commands, driven through the real toolbar, lists and keys on the recording
// engine, with the bookmark file in a temporary program directory.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "definition/definition_dlg.h"
#include "html/about_dlg.h"
#include "html/help_dlg.h"
#include "platform/controls.h"
#include "platform/files.h"
#include "platform/messagebox.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "res/resource.h"
#include "search/search_dlg.h"
#include "tests/support/fake_engine.h"
#include "tests/support/page_helpers.h"
#include "tests/support/run_page.h"

using namespace platform;

namespace {

constexpr LXV_HANDLE kEngine = 0x2A;

class PopupListsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake_engine::Reset();
        fake_engine::SetWords({"a", "cat", "dog", "zebra"});
        SetModuleFileNameForTesting(m_dir.filePath("lexivane"));
        Answer(IDOK);
    }
    void TearDown() override {
        SetMessageBoxResponder({});
        SetModuleFileNameForTesting(QString());
        SetFileFaultHookForTesting(nullptr);
    }

    // Every message box is recorded and answered with `answer`.
    void Answer(int answer) {
        SetMessageBoxResponder([this, answer](const MessageBoxRecord& box) {
            m_boxes.push_back(box);
            return answer;
        });
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

    // Runs the search page and `body` while it shows.
    void Run(const std::function<void()>& body) {
        m_page = std::make_unique<CSearchDlg>(kEngine);
        RunPageModally(*m_page, body);
    }

    // Records and closes the next definition page as soon as it runs.
    void CloseNextDefinitionPage() {
        CloseNextModalPage([this](QWidget* widget) {
            auto* page = dynamic_cast<CDefinitionDlg*>(widget);
            ASSERT_NE(page, nullptr);
            m_opened.push_back(page->Word());
        });
    }

    QWidget* Bookmarks() const { return m_page->GetDlgItem(IDC_BOOKMARK_LIST); }
    QWidget* History() const { return m_page->GetDlgItem(IDC_HISTORY_LIST); }
    int Current(QWidget* list) const {
        return dynamic_cast<CListBoxWidget*>(list)->currentIndex().row();
    }

    void Key(QWidget* widget, Qt::Key key) { QTest::keyClick(widget, key); }

    QTemporaryDir m_dir;
    std::unique_ptr<CSearchDlg> m_page;
    std::vector<MessageBoxRecord> m_boxes;
    std::vector<QString> m_opened;
};

TEST_F(PopupListsTest, BookmarksTappedTwiceShowsTheListThenHidesIt) {
    SetBookmarks({"dog", "cat"});
    Run([&] {
        TapToolButton(m_page.get(), "Bookmarks");
        EXPECT_EQ(Rows(Bookmarks()), (QStringList{"Bookmarks", "---Clear All---", "dog", "cat"}));
        EXPECT_TRUE(Bookmarks()->isVisible());
        EXPECT_EQ(Current(Bookmarks()), 0) << "the title row is selected";
        EXPECT_EQ(QApplication::focusWidget(), Bookmarks());

        SetBookmarks({"zebra"});
        TapToolButton(m_page.get(), "Bookmarks");
        EXPECT_FALSE(Bookmarks()->isVisible());
        TapToolButton(m_page.get(), "Bookmarks");
        EXPECT_EQ(Rows(Bookmarks()).size(), 4) << "filled once, until a definition page opens";
        EXPECT_TRUE(m_boxes.empty());
        EXPECT_TRUE(m_opened.empty());
    });
}

TEST_F(PopupListsTest, HistoryHidesTheBookmarkListAndTogglesOnceFilled) {
    SetBookmarks({"dog"});
    fake_engine::Get().history = {"zebra", "cat"};
    Run([&] {
        TapToolButton(m_page.get(), "History");
        EXPECT_EQ(Rows(History()), (QStringList{"History", "---Clear All---", "zebra", "cat"}));
        EXPECT_TRUE(History()->isVisible());
        EXPECT_EQ(Current(History()), 0);

        TapToolButton(m_page.get(), "Bookmarks");
        EXPECT_TRUE(Bookmarks()->isVisible());
        EXPECT_FALSE(History()->isVisible()) << "the other list closes";
        TapToolButton(m_page.get(), "History");
        EXPECT_TRUE(History()->isVisible());
        EXPECT_FALSE(Bookmarks()->isVisible());
        TapToolButton(m_page.get(), "History");
        EXPECT_FALSE(History()->isVisible()) << "a second tap closes the list";
        EXPECT_EQ(fake_engine::CallCount("lxv_history_count"), 1) << "filled once";
    });
}

TEST_F(PopupListsTest, EmptyListsSayNoEntriesAndStayHidden) {
    Run([&] {
        TapToolButton(m_page.get(), "Bookmarks");
        TapToolButton(m_page.get(), "History");
        EXPECT_FALSE(Bookmarks()->isVisible());
        EXPECT_FALSE(History()->isVisible());
        ASSERT_EQ(m_boxes.size(), 2u);
        EXPECT_EQ(m_boxes[0].text, QStringLiteral("No entries"));
        EXPECT_EQ(m_boxes[0].caption, QStringLiteral("Bookmarks"));
        EXPECT_EQ(m_boxes[0].style, UINT{MB_ICONEXCLAMATION});
        EXPECT_EQ(m_boxes[1].text, QStringLiteral("No entries"));
        EXPECT_EQ(m_boxes[1].caption, QStringLiteral("History"));
        EXPECT_EQ(m_boxes[1].style, UINT{MB_ICONEXCLAMATION});
    });
}

TEST_F(PopupListsTest, HistoryClearAllConfirmedClearsTheEngineHistory) {
    fake_engine::Get().history = {"zebra", "cat"};
    Run([&] {
        TapToolButton(m_page.get(), "History");
        TapListRow(History(), 1);
        EXPECT_EQ(fake_engine::CallCount("lxv_history_clear"), 1);
        EXPECT_TRUE(fake_engine::Get().history.empty());
        EXPECT_TRUE(Rows(History()).isEmpty());
        EXPECT_FALSE(History()->isVisible());
        ASSERT_EQ(m_boxes.size(), 2u);
        EXPECT_EQ(m_boxes[0].text, QStringLiteral("Are you sure?"));
        EXPECT_EQ(m_boxes[0].caption, QStringLiteral("History"));
        EXPECT_EQ(m_boxes[0].style, UINT{MB_OKCANCEL | MB_ICONINFORMATION});
        EXPECT_EQ(m_boxes[1].text, QStringLiteral("History Cleared"));
        EXPECT_EQ(m_boxes[1].style, UINT{MB_ICONINFORMATION});

        TapToolButton(m_page.get(), "History");
        ASSERT_EQ(m_boxes.size(), 3u);
        EXPECT_EQ(m_boxes[2].text, QStringLiteral("No entries"));
        EXPECT_TRUE(m_opened.empty());
    });
}

TEST_F(PopupListsTest, CancelledClearAllChangesNothing) {
    fake_engine::Get().history = {"zebra", "cat"};
    SetBookmarks({"dog", "cat"});
    const QByteArray bookmarks = BookmarkBytes();
    Answer(IDCANCEL);
    Run([&] {
        TapToolButton(m_page.get(), "History");
        TapListRow(History(), 1);
        EXPECT_EQ(fake_engine::CallCount("lxv_history_clear"), 0);
        EXPECT_EQ(Rows(History()).size(), 4);
        TapToolButton(m_page.get(), "Bookmarks");
        TapListRow(Bookmarks(), 1);
        EXPECT_EQ(Rows(Bookmarks()).size(), 4);
        EXPECT_EQ(BookmarkBytes(), bookmarks);
        ASSERT_EQ(m_boxes.size(), 2u);
        EXPECT_EQ(m_boxes[1].caption, QStringLiteral("Bookmarks"));
        EXPECT_EQ(m_boxes[1].style, UINT{MB_OKCANCEL | MB_ICONINFORMATION});
        EXPECT_FALSE(Bookmarks()->isVisible());
    });
}

TEST_F(PopupListsTest, BookmarkClearAllConfirmedEmptiesTheFile) {
    SetBookmarks({"dog", "cat"});
    Run([&] {
        TapToolButton(m_page.get(), "Bookmarks");
        TapListRow(Bookmarks(), 1);
        EXPECT_EQ(BookmarkBytes(), QByteArray());
        EXPECT_TRUE(Rows(Bookmarks()).isEmpty());
        ASSERT_EQ(m_boxes.size(), 2u);
        EXPECT_EQ(m_boxes[1].text, QStringLiteral("Bookmark cleared"));
        EXPECT_EQ(m_boxes[1].caption, QStringLiteral("Bookmarks"));
        EXPECT_EQ(m_boxes[1].style, UINT{MB_ICONINFORMATION});
        TapToolButton(m_page.get(), "Bookmarks");
        ASSERT_EQ(m_boxes.size(), 3u);
        EXPECT_EQ(m_boxes[2].text, QStringLiteral("No entries"));
    });
}

bool g_refuseBookmarkFile = false;
int RefuseBookmarkFile(const QString& path, FileStep) {
    return g_refuseBookmarkFile && path.endsWith("bookmark.dat") ? EACCES : 0;
}

TEST_F(PopupListsTest, ABookmarkFileThatCannotBeReadOrSavedSaysWhyAndStays) {
    SetBookmarks({"dog", "cat"});
    SetFileFaultHookForTesting(&RefuseBookmarkFile);
    Run([&] {
        TapToolButton(m_page.get(), "Bookmarks");
        ASSERT_TRUE(Bookmarks()->isVisible());
        g_refuseBookmarkFile = true;
        TapListRow(Bookmarks(), 1);
        ASSERT_EQ(m_boxes.size(), 2u);
        EXPECT_EQ(m_boxes[1].text,
                  QStringLiteral("Could not save bookmark.dat: Permission denied"));
        EXPECT_EQ(m_boxes[1].caption, QStringLiteral("Error"));
        EXPECT_EQ(m_boxes[1].style, UINT{MB_ICONHAND});
        EXPECT_EQ(BookmarkBytes(), Utf16Lines({"dog", "cat"}));
        EXPECT_EQ(Rows(Bookmarks()), (QStringList{"Bookmarks", "---Clear All---", "dog", "cat"}));

        CloseNextDefinitionPage();
        EXPECT_EQ(m_page->OpenDefinition("cat"), 0) << "the bookmark list is read afresh after it";
        TapToolButton(m_page.get(), "Bookmarks");
        ASSERT_EQ(m_boxes.size(), 3u);
        EXPECT_EQ(m_boxes[2].text,
                  QStringLiteral("Could not read bookmark.dat: Permission denied"));
        EXPECT_FALSE(Bookmarks()->isVisible());
        EXPECT_TRUE(m_page->isVisible());
    });
}

TEST_F(PopupListsTest, ArrowKeysInAListOpenNothingAndReturnOpensTheSelectedWord) {
    fake_engine::Get().history = {"zebra", "cat"};
    Run([&] {
        TapToolButton(m_page.get(), "History");
        Key(History(), Qt::Key_Down);
        Key(History(), Qt::Key_Down);
        Key(History(), Qt::Key_Down);
        EXPECT_EQ(Current(History()), 3);
        EXPECT_TRUE(History()->isVisible());
        EXPECT_TRUE(m_opened.empty());

        CloseNextDefinitionPage();
        Key(History(), Qt::Key_Return);
        EXPECT_EQ(m_opened, std::vector<QString>{"cat"});
        EXPECT_FALSE(History()->isVisible());
        EXPECT_TRUE(m_boxes.empty());
        fake_engine::Get().history = {"dog"};
        TapToolButton(m_page.get(), "History");
        EXPECT_EQ(Rows(History()), (QStringList{"History", "---Clear All---", "dog"}))
            << "read afresh after the definition page";
    });
}

TEST_F(PopupListsTest, ABookmarkPickOpensItsWordAndListsItInTheHistory) {
    SetBookmarks({"dog", "zebra"});
    Run([&] {
        TapToolButton(m_page.get(), "Bookmarks");
        CloseNextDefinitionPage();
        TapListRow(Bookmarks(), 3);
        EXPECT_EQ(m_opened, std::vector<QString>{"zebra"});
        EXPECT_EQ(Rows(History()), (QStringList{"History", "---Clear All---", "zebra"}));
        EXPECT_FALSE(Bookmarks()->isVisible());
        EXPECT_TRUE(m_boxes.empty());

        // The title row does nothing but close the list.
        TapToolButton(m_page.get(), "Bookmarks");
        TapListRow(Bookmarks(), 0);
        EXPECT_FALSE(Bookmarks()->isVisible());
        EXPECT_EQ(m_opened.size(), 1u);
    });
}

TEST_F(PopupListsTest, ATapOnThePageOrElsewhereClosesTheOpenList) {
    SetBookmarks({"dog"});
    Run([&] {
        TapToolButton(m_page.get(), "Bookmarks");
        ASSERT_TRUE(Bookmarks()->isVisible());
        QTest::mouseClick(m_page.get(), Qt::LeftButton, {}, QPoint(m_page->width() - 3, 60));
        EXPECT_FALSE(Bookmarks()->isVisible());

        TapToolButton(m_page.get(), "Bookmarks");
        ASSERT_TRUE(Bookmarks()->isVisible());
        m_page->GetDlgItem(IDC_SEARCH_EDIT)->setFocus();
        EXPECT_FALSE(Bookmarks()->isVisible()) << "losing the focus closes it";
    });
}

TEST_F(PopupListsTest, HelpAndAboutOpenModallyAndClose) {
    Run([&] {
        EXPECT_EQ(TitleOfModalOpenedBy([&] { TapToolButton(m_page.get(), "Help"); }),
                  QStringLiteral("Help"));
        QMenu* tools = CommandBarMenu(m_page.get(), "Tools");
        ASSERT_TRUE(tools != nullptr && !tools->actions().isEmpty());
        EXPECT_EQ(TitleOfModalOpenedBy([&] { tools->actions().front()->trigger(); }),
                  QStringLiteral("About Lexivane"));
        EXPECT_EQ(QApplication::activeModalWidget(), m_page.get());
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            EXPECT_EQ(dynamic_cast<CHelpDlg*>(widget), nullptr) << "destroyed after closing";
            EXPECT_EQ(dynamic_cast<CAboutDlg*>(widget), nullptr);
        }
    });
}

TEST_F(PopupListsTest, AHistoryWordNotInTheDictionaryEndsTheProgram) {
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

TEST_F(PopupListsTest, ABookmarkNotInTheDictionaryEndsTheProgram) {
    EXPECT_EXIT(
        {
            SetBookmarks({"0-ring"});
            SetMessageBoxResponder(&PrintBoxAndAnswerOk);
            Run([&] {
                TapToolButton(m_page.get(), "Bookmarks");
                Key(Bookmarks(), Qt::Key_Down);
                Key(Bookmarks(), Qt::Key_Down);
                Key(Bookmarks(), Qt::Key_Return);
            });
        },
        ::testing::ExitedWithCode(1),
        "box: Error Message: Error in processing bookmarks. Please restart application: 16");
}

}  // namespace
