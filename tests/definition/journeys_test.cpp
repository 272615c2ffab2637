// Whole journeys through both pages with the real engine, from start-up: the
// user bookmarks words on the definition page, finds them again in the search
// page's bookmark list, unmarks and clears them, and clears the history from
// either page. The bookmark file is checked byte for byte on the way.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <string>
#include <vector>

#include "app/lexivane_app.h"
#include "definition/definition_dlg.h"
#include "lexicore/builder.h"
#include "platform/controls.h"
#include "platform/messagebox.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "res/resource.h"
#include "search/search_dlg.h"
#include "tests/support/page_helpers.h"

using namespace platform;

namespace {

// Runs `body` in the next page of type T to open, then closes it; counts the
// bodies that ran, so that a page that never opened fails the test.
template <typename T>
void InNextPage(int& ran, std::function<void(T*)> body) {
    QTimer::singleShot(0, [&ran, body] {
        auto* page = dynamic_cast<T*>(QApplication::activeModalWidget());
        ASSERT_NE(page, nullptr);
        const bool active = QTest::qWaitForWindowActive(page);
        if (active) {
            ++ran;
            body(page);
        }
        page->close();
        ASSERT_TRUE(active);
    });
}

class JourneysTest : public ::testing::Test {
  protected:
    void SetUp() override {
        lexicore::DictionarySource source;
        std::vector<std::string> words = {"a", "cat", "catalog", "catch", "dog"};
        // More than a page of headwords, so the word list moves to a typed word.
        for (int i = 100; i < 160; ++i) words.push_back("dogs" + std::to_string(i));
        for (const std::string& word : words) {
            source.entries.push_back({word, "<b>" + word + "</b> <i>n.</i> 1. the sense of " + word,
                                      word + " n. 1. the sense of " + word, lexicore::kNoun});
        }
        std::string error;
        ASSERT_TRUE(lexicore::WriteDictionary(
            source, m_dir.filePath("English Dictionary (small).pdb").toStdString(), nullptr,
            &error))
            << error;
        SetModuleFileNameForTesting(m_dir.filePath("lexivane"));
        SetMessageBoxResponder([this](const MessageBoxRecord& box) {
            m_boxes << box.caption + ": " + box.text;
            return IDOK;
        });
    }
    void TearDown() override {
        SetMessageBoxResponder({});
        SetModuleFileNameForTesting(QString());
    }

    // Starts the program and runs `body` on its search page, then shuts down.
    void RunProgram(const std::function<void(CSearchDlg*)>& body) {
        CLexivaneApp app;
        int ran = 0;
        InNextPage<CSearchDlg>(ran, body);
        app.InitInstance();
        app.ExitInstance();
        EXPECT_EQ(ran, 1);
    }

    // Types `word` into the search box and taps the first row: its definition page opens.
    void OpenFromSearch(CSearchDlg* search, const QString& word,
                        std::function<void(CDefinitionDlg*)> body) {
        auto* edit = search->GetDlgItem(IDC_SEARCH_EDIT);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, word);
        auto* list = dynamic_cast<CListBoxWidget*>(search->GetDlgItem(IDC_WORDLIST));
        ASSERT_EQ(list->model()->index(0, 0).data().toString(), word);
        int ran = 0;
        InNextPage<CDefinitionDlg>(ran, std::move(body));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(0, 0)).center());
        EXPECT_EQ(ran, 1) << "the definition page of " << word.toStdString();
    }

    QByteArray BookmarkBytes() const {
        QFile file(m_dir.filePath("bookmark.dat"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir m_dir;
    QStringList m_boxes;
};

TEST_F(JourneysTest, BookmarkStepBookmarkReopenUnmarkAndClearAll) {
    RunProgram([&](CSearchDlg* search) {
        OpenFromSearch(search, "cat", [&](CDefinitionDlg* page) {
            QWidget* bookmarks = page->GetDlgItem(IDC_BOOKMARK_LIST);
            TapToolButton(page, "Bookmarks");
            TapListRow(bookmarks, 1);
            QTest::keyClick(page->findChild<QTextBrowser*>(), Qt::Key_Right);
            EXPECT_EQ(page->Word(), QStringLiteral("catalog"));
            TapToolButton(page, "Bookmarks");
            EXPECT_EQ(Rows(bookmarks),
                      (QStringList{"Bookmarks", "---Mark this---", "---Clear All---", "cat"}));
            TapListRow(bookmarks, 1);
        });
        EXPECT_EQ(m_boxes, (QStringList{"Bookmarks: Word 'cat' bookmarked",
                                        "Bookmarks: Word 'catalog' bookmarked"}));
        EXPECT_EQ(BookmarkBytes(), Utf16Lines({"catalog", "cat"}));

        QWidget* bookmarks = search->GetDlgItem(IDC_BOOKMARK_LIST);
        TapToolButton(search, "Bookmarks");
        EXPECT_EQ(Rows(bookmarks), (QStringList{"Bookmarks", "---Clear All---", "catalog", "cat"}));
        int ran = 0;
        InNextPage<CDefinitionDlg>(ran, [&](CDefinitionDlg* page) {
            EXPECT_EQ(page->Word(), QStringLiteral("cat"));
            EXPECT_TRUE(page->findChild<QTextBrowser*>()->toPlainText().contains("sense of cat"));
            QWidget* list = page->GetDlgItem(IDC_BOOKMARK_LIST);
            TapToolButton(page, "Bookmarks");
            EXPECT_EQ(Rows(list), (QStringList{"Bookmarks", "---Unmark this---", "---Clear All---",
                                               "catalog", "cat"}));
            TapListRow(list, 1);
            EXPECT_EQ(BookmarkBytes(), Utf16Lines({"catalog"}));
            TapToolButton(page, "Bookmarks");
            EXPECT_EQ(Rows(list),
                      (QStringList{"Bookmarks", "---Mark this---", "---Clear All---", "catalog"}));
            TapListRow(list, 2);
            EXPECT_EQ(BookmarkBytes(), QByteArray());
        });
        TapListRow(bookmarks, 3);
        EXPECT_EQ(ran, 1);
        EXPECT_EQ(m_boxes.mid(2),
                  (QStringList{"Bookmarks: Are you sure?", "Bookmarks: Word 'cat' removed",
                               "Bookmarks: Are you sure?", "Bookmarks: Bookmark cleared"}));

        TapToolButton(search, "Bookmarks");
        EXPECT_FALSE(bookmarks->isVisible());
        EXPECT_EQ(m_boxes.last(), QStringLiteral("Bookmarks: No entries"));
    });
    EXPECT_EQ(BookmarkBytes(), QByteArray()) << "an emptied file stays, 0 bytes";
}

TEST_F(JourneysTest, HistoryClearedFromEitherPageSaysNoEntriesUntilTheNextWord) {
    RunProgram([&](CSearchDlg* search) {
        QWidget* history = search->GetDlgItem(IDC_HISTORY_LIST);
        OpenFromSearch(search, "cat", [&](CDefinitionDlg* page) {
            QTest::keyClick(page->findChild<QTextBrowser*>(), Qt::Key_Right);
        });
        TapToolButton(search, "History");
        EXPECT_EQ(Rows(history), (QStringList{"History", "---Clear All---", "catalog", "cat"}));
        TapListRow(history, 1);
        TapToolButton(search, "History");
        EXPECT_EQ(m_boxes, (QStringList{"History: Are you sure?", "History: History Cleared",
                                        "History: No entries"}));
        m_boxes.clear();

        OpenFromSearch(search, "dog", [&](CDefinitionDlg* page) {
            QWidget* list = page->GetDlgItem(IDC_HISTORY_LIST);
            TapToolButton(page, "History");
            EXPECT_EQ(Rows(list), (QStringList{"History", "---Clear All---", "dog"}));
            TapListRow(list, 1);
            TapToolButton(page, "History");
            EXPECT_FALSE(list->isVisible());
            EXPECT_EQ(m_boxes, (QStringList{"History: Are you sure?", "History: History Cleared",
                                            "History: No entries"}));
            QTest::keyClick(page->findChild<QTextBrowser*>(), Qt::Key_Left);
            TapToolButton(page, "History");
            EXPECT_EQ(Rows(list), (QStringList{"History", "---Clear All---", "catch"}));
        });
        TapToolButton(search, "History");
        EXPECT_EQ(Rows(history), (QStringList{"History", "---Clear All---", "catch"}))
            << "read afresh from the engine after the definition page";
    });
}

}  // namespace
