// Choosing a word on the search page opens its definition page: a tap, the
// list's own keyboard selection or Return; the checks of the chosen word; and
// the search page as it is found again when the definition page closes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QStringListModel>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "definition/definition_dlg.h"
#include "platform/controls.h"
#include "platform/messagebox.h"
#include "res/resource.h"
#include "search/search_dlg.h"
#include "tests/support/fake_engine.h"
#include "tests/support/page_helpers.h"
#include "tests/support/run_page.h"

using namespace platform;

namespace {

constexpr LXV_HANDLE kEngine = 0x2A;

// What a definition page showed while it ran.
struct Opened {
    QString word;
    uint32_t index;
    QString html;
};

class WordSelectionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake_engine::Reset();
        fake_engine::SetWords({"a", "aardvark", "abacus", "cat", "dog", "zebra"});
        SetMessageBoxResponder([this](const MessageBoxRecord& box) {
            m_boxes.push_back(box);
            return IDOK;
        });
    }
    void TearDown() override { SetMessageBoxResponder({}); }

    // Runs the search page and `body` while it shows.
    void Run(const std::function<void()>& body) {
        m_page = std::make_unique<CSearchDlg>(kEngine);
        RunPageModally(*m_page, body);
    }

    // Sets up the next definition page to be recorded and closed as soon as it runs.
    void CloseNextDefinitionPage() {
        CloseNextModalPage([this](QWidget* widget) {
            auto* page = dynamic_cast<CDefinitionDlg*>(widget);
            ASSERT_NE(page, nullptr);
            m_opened.push_back({page->Word(), page->Index(), page->Html()});
        });
    }

    CListBoxWidget* WordList() const {
        return dynamic_cast<CListBoxWidget*>(m_page->GetDlgItem(IDC_WORDLIST));
    }
    // Taps the word list's row `row`.
    void TapRow(int row) {
        CListBoxWidget* list = WordList();
        const QRect rect = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    // Selects the word list's row `row`, as a program would.
    void SelectRow(int row) { CListBox(WordList()).SetCurSel(row); }
    // Puts `text` as the only row of the word list, selected.
    void ShowOnlyRow(const QString& text) {
        WordList()->ShowRows(std::make_shared<QStringListModel>(QStringList{text}));
        SelectRow(0);
    }

    std::unique_ptr<CSearchDlg> m_page;
    std::vector<MessageBoxRecord> m_boxes;
    std::vector<Opened> m_opened;
};

TEST_F(WordSelectionTest, TappingARowOpensItsDefinitionAndListsItInTheHistory) {
    fake_engine::Get().history = {"zebra"};
    Run([&] {
        TapToolButton(m_page.get(), "History");
        TapToolButton(m_page.get(), "History");
        CloseNextDefinitionPage();
        TapRow(3);
        ASSERT_EQ(m_opened.size(), 1u);
        EXPECT_EQ(m_opened[0].word, QStringLiteral("cat"));
        EXPECT_EQ(m_opened[0].index, 3u);
        EXPECT_EQ(m_opened[0].html, QStringLiteral("<b>cat</b> html"));
        EXPECT_EQ(Rows(m_page->GetDlgItem(IDC_HISTORY_LIST)),
                  (QStringList{"History", "---Clear All---", "cat", "zebra"}));
        fake_engine::Get().history = {"dog"};
        TapToolButton(m_page.get(), "History");
        EXPECT_EQ(Rows(m_page->GetDlgItem(IDC_HISTORY_LIST)),
                  (QStringList{"History", "---Clear All---", "dog"}))
            << "the lists are read afresh when next shown";
        EXPECT_TRUE(m_boxes.empty());
    });
}

TEST_F(WordSelectionTest, SearchPageIsAsItWasWhenTheDefinitionPageCloses) {
    std::vector<std::string> words;
    for (int i = 0; i < 100; ++i) words.push_back("w" + std::to_string(1000 + i));
    words.insert(words.begin(), "a");
    fake_engine::SetWords(words);
    Run([&] {
        QTest::keyClicks(m_page->GetDlgItem(IDC_SEARCH_EDIT), "w1040");
        const QStringList before = Rows(WordList());
        const uint32_t top = m_page->WordWindow().TopIndex();
        CloseNextDefinitionPage();
        TapRow(2);
        ASSERT_EQ(m_opened.size(), 1u);
        EXPECT_EQ(m_opened[0].word, QStringLiteral("w1042"));
        EXPECT_EQ(Rows(WordList()), before);
        EXPECT_EQ(m_page->WordWindow().TopIndex(), top);
        EXPECT_EQ(qobject_cast<QLineEdit*>(m_page->GetDlgItem(IDC_SEARCH_EDIT))->text(),
                  QStringLiteral("w1040"));
    });
}

TEST_F(WordSelectionTest, ReturnOpensTheSelectedRow) {
    Run([&] {
        SelectRow(4);
        // The page opens on the key-down; the key-up then goes to it, not to
        // the search page, and the page stays open.
        QTimer::singleShot(0, [this] {
            QWidget* page = QApplication::activeModalWidget();
            QTest::keyRelease(page, Qt::Key_Return);
            CloseNextDefinitionPage();
        });
        QTest::keyPress(m_page->GetDlgItem(IDC_SEARCH_EDIT), Qt::Key_Return);
        ASSERT_EQ(m_opened.size(), 1u);
        EXPECT_EQ(m_opened[0].word, QStringLiteral("dog"));
        EXPECT_TRUE(m_page->isVisible()) << "Return is the page's, not the dialog's";
    });
}

TEST_F(WordSelectionTest, NoSelectedRowOrAnEmptyRowOpensNothing) {
    Run([&] {
        SelectRow(-1);
        m_page->OnSelectWord();
        ShowOnlyRow(QString());
        m_page->OnSelectWord();
        EXPECT_TRUE(m_opened.empty());
        EXPECT_TRUE(Rows(m_page->GetDlgItem(IDC_HISTORY_LIST)).isEmpty());
        EXPECT_TRUE(m_boxes.empty());
    });
}

TEST_F(WordSelectionTest, FirstHeadwordAOpens) {
    Run([&] {
        CloseNextDefinitionPage();
        EXPECT_EQ(m_page->OpenDefinition("a"), 0);
        ASSERT_EQ(m_opened.size(), 1u);
        EXPECT_EQ(m_opened[0].index, 0u);
    });
}

TEST_F(WordSelectionTest, ChosenWordInAnotherLetterCaseOpensAsWritten) {
    Run([&] {
        CloseNextDefinitionPage();
        EXPECT_EQ(m_page->OpenDefinition("CAT"), 0);
        ASSERT_EQ(m_opened.size(), 1u);
        EXPECT_EQ(m_opened[0].word, QStringLiteral("CAT")) << "the word chosen, not the headword";
        EXPECT_EQ(m_opened[0].index, 3u);
        EXPECT_EQ(m_opened[0].html, QStringLiteral("<b>cat</b> html"));
    });
}

TEST_F(WordSelectionTest, WordWhoseHeadwordDiffersIsReportedAndOpensNothing) {
    Run([&] {
        ShowOnlyRow("cab");
        m_page->OnSelectWord();
        EXPECT_TRUE(m_opened.empty());
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0].text, QStringLiteral("Matching word not found on Dictionary."));
        EXPECT_EQ(m_boxes[0].caption, QStringLiteral("Error"));
        EXPECT_EQ(m_boxes[0].style, MB_ICONHAND);
        EXPECT_EQ(m_boxes[0].owner, m_page.get());
        EXPECT_EQ(m_page->OpenDefinition("cab"), 1);
        EXPECT_TRUE(m_page->isVisible());
    });
}

TEST_F(WordSelectionTest, FirstHeadwordOfADictionaryWithoutAOpens) {
    fake_engine::SetWords({"apple", "banana", "cherry"});
    Run([&] {
        CloseNextDefinitionPage();
        TapRow(0);
        ASSERT_EQ(m_opened.size(), 1u);
        EXPECT_EQ(m_opened[0].word, QStringLiteral("apple"));
        EXPECT_EQ(m_page->OpenDefinition("a"), 1) << "\"a\" is not its first headword";
    });
}

TEST_F(WordSelectionTest, WordThatLeadsToNoHeadwordEndsTheProgram) {
    EXPECT_EXIT(
        {
            SetMessageBoxResponder(&PrintBoxAndAnswerOk);
            Run([&] {
                // Sorts before "a": the look-up lands on index 0, headword "a".
                ShowOnlyRow("0-ring");
                EXPECT_EQ(m_page->OpenDefinition("0-ring"), -1);
                m_page->OnSelectWord();
            });
        },
        ::testing::ExitedWithCode(1),
        "box: Bookmarks: Internal error!! Please restart the application: 16");
}

}  // namespace
