// Look up and copy on the definition page, on the recording engine: real
// widgets, the real (offscreen) clipboard and scripted message boxes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTimer>
#include <QToolBar>
#include <cstdio>
#include <functional>
#include <vector>

#include "definition/definition_dlg.h"
#include "platform/messagebox.h"
#include "platform/shell.h"
#include "res/resource.h"
#include "tests/support/fake_engine.h"
#include "tests/support/page_helpers.h"
#include "tests/support/run_page.h"

using namespace platform;

namespace {

constexpr LXV_HANDLE kEngine = 0x2A;
// An entry whose words are links, as the dictionaries write references to
// other headwords: selecting, looking up and copying read their text.
const char kEntryHtml[] =
    "<p><a href=\"entry:Running\">Running</a>, <a href=\"entry:catty\">catty</a> 1234 fast</p>";
const QString kQuestion = QStringLiteral(
    "Word 'catty' not found. \r\n \r\nDo you want to see the nearest word, 'dog', instead");

class LookupCopyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake_engine::Reset();
        fake_engine::SetWords({"a", "cat", "dog", "running", "zebra"});
        fake_engine::Get().entries[1].html = kEntryHtml;
        fake_engine::Get().entries[1].text = "cat: Running, catty";
        QGuiApplication::clipboard()->clear();
        SetMessageBoxResponder([this](const MessageBoxRecord& box) {
            m_boxes.push_back(box);
            return m_answer;
        });
    }
    void TearDown() override { SetMessageBoxResponder({}); }

    void Run(const std::function<void()>& body) {
        m_page = std::make_unique<CDefinitionDlg>(kEngine);
        m_page->Initialise("cat", 1);
        RunPageModally(*m_page, body);
    }

    // Selects the first occurrence of `text` in the pane, as a drag would.
    void Select(const QString& text) {
        auto* view = m_page->findChild<QTextBrowser*>();
        ASSERT_NE(view, nullptr);
        const QTextCursor found = view->document()->find(text);
        ASSERT_FALSE(found.isNull()) << text.toStdString();
        view->setTextCursor(found);
    }
    QString Clipboard() const { return QGuiApplication::clipboard()->text(); }

    std::unique_ptr<CDefinitionDlg> m_page;
    std::vector<MessageBoxRecord> m_boxes;
    int m_answer = IDOK;
};

TEST_F(LookupCopyTest, SelectedWordThatIsAHeadwordOpensAtOnceWhateverItsLetterCase) {
    fake_engine::SetWords({"a", "cat", "dog", "Running", "zebra"});
    fake_engine::Get().entries[1].html = kEntryHtml;
    Run([&] {
        QGuiApplication::clipboard()->setText("kept");
        Select("Running,");
        TapToolButton(m_page.get(), "Look up");
        EXPECT_TRUE(m_boxes.empty()) << "no question for a headword";
        EXPECT_EQ(m_page->Word(), QStringLiteral("Running"));
        EXPECT_EQ(m_page->Html(), QStringLiteral("<b>Running</b> html"));
        EXPECT_EQ(m_page->Index(), 3u);
        EXPECT_EQ(Rows(m_page->GetDlgItem(IDC_HISTORY_LIST)),
                  (QStringList{"History", "---Clear All---", "Running"}));
        EXPECT_EQ(Clipboard(), QStringLiteral("kept"));
        EXPECT_TRUE(m_page->StepWord(true));
        EXPECT_EQ(m_page->Word(), QStringLiteral("zebra")) << "the arrows step from the found word";
    });
}

TEST_F(LookupCopyTest, NonHeadwordAsksAndCancelChangesNothing) {
    Run([&] {
        Select("catty");
        m_answer = IDCANCEL;
        m_page->OnCommand(ID_LOOKUP);
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0].text, kQuestion);
        EXPECT_EQ(m_boxes[0].caption, QStringLiteral("Message"));
        EXPECT_EQ(m_boxes[0].style, 0x21u);
        EXPECT_EQ(m_boxes[0].owner, m_page.get());
        EXPECT_EQ(m_page->Word(), QStringLiteral("cat"));
        EXPECT_EQ(m_page->Html(), QString(kEntryHtml));
        EXPECT_EQ(m_page->Index(), 1u);
        EXPECT_TRUE(Rows(m_page->GetDlgItem(IDC_HISTORY_LIST)).isEmpty());
        EXPECT_EQ(Clipboard(), QStringLiteral("catty")) << "an empty clipboard keeps the selection";

        m_answer = IDOK;
        m_page->OnCommand(ID_LOOKUP);
        EXPECT_EQ(m_page->Word(), QStringLiteral("dog"));
        EXPECT_EQ(m_page->Index(), 2u);
    });
}

TEST_F(LookupCopyTest, NoLetterToLookUp) {
    Run([&] {
        Select("1234");
        m_page->OnCommand(ID_LOOKUP);
        m_page->findChild<QTextBrowser*>()->setTextCursor(QTextCursor());
        QGuiApplication::clipboard()->setText("before");
        m_page->OnCommand(ID_LOOKUP);
        ASSERT_EQ(m_boxes.size(), 2u);
        for (const MessageBoxRecord& box : m_boxes) {
            EXPECT_EQ(box.text, QStringLiteral("Please select a word to look up."));
            EXPECT_EQ(box.caption, QStringLiteral("Message"));
            EXPECT_EQ(box.style, 0x30u);
        }
        EXPECT_EQ(m_page->Word(), QStringLiteral("cat"));
        EXPECT_EQ(Clipboard(), QStringLiteral("before"));
        EXPECT_EQ(fake_engine::CallCount("lxv_wordlist_nearest"), 0);
    });
}

TEST_F(LookupCopyTest, CopySelectedWordReportsTheSelectionOrItsAbsence) {
    Run([&] {
        QGuiApplication::clipboard()->setText("before");
        m_page->OnCommand(ID_COPY_WORD);
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0].text, QStringLiteral("Please select a word to copy"));
        EXPECT_EQ(m_boxes[0].caption, QStringLiteral("Copy"));
        EXPECT_EQ(m_boxes[0].style, 0x40u);
        EXPECT_EQ(Clipboard(), QStringLiteral("before"));

        Select("Running,");
        m_page->OnCommand(ID_COPY_WORD);
        ASSERT_EQ(m_boxes.size(), 2u);
        EXPECT_EQ(m_boxes[1].text, QStringLiteral("Word 'Running,' copied"));
        EXPECT_EQ(Clipboard(), QStringLiteral("Running,"));
        EXPECT_EQ(m_page->Word(), QStringLiteral("cat"));
    });
}

TEST_F(LookupCopyTest, CopyMenuOpensAtTheBottomRightAndCopiesPlainText) {
    Run([&] {
        QStringList items;
        QRect menuRect;
        QTimer::singleShot(50, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr) return;
            menuRect = menu->geometry();
            QAction* definition = nullptr;
            for (QAction* action : menu->actions()) {
                items << action->text();
                if (action->text() == "Copy Definition") definition = action;
            }
            if (definition != nullptr) definition->trigger();
            menu->close();
        });
        TapToolButton(m_page.get(), "Copy");
        EXPECT_EQ(items, (QStringList{"Copy Selected Word", "Copy Definition"}));
        const QPoint anchor =
            m_page->mapToGlobal(QPoint(m_page->width() - 40, m_page->height() - 11));
        EXPECT_EQ(menuRect.right() + 1, anchor.x());
        EXPECT_EQ(menuRect.top(), anchor.y());

        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0].text, QStringLiteral("Definition for 'cat' copied"));
        EXPECT_EQ(m_boxes[0].caption, QStringLiteral("Copy"));
        EXPECT_EQ(m_boxes[0].style, 0x40u);
        EXPECT_EQ(Clipboard(), QStringLiteral("cat: Running, catty"));
        EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasHtml());
        EXPECT_EQ(m_page->Html(), QString(kEntryHtml)) << "copying never changes the page";
    });
}

TEST_F(LookupCopyTest, CopyMenuBottomLineIsBelowTheSoftKeyboard) {
    Run([&] {
        SetSoftInputPanelForTesting(true, QRect(0, 500, 240, 40));
        QRect menuRect;
        QTimer::singleShot(50, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr) return;
            menuRect = menu->geometry();
            menu->close();
        });
        m_page->OnCommand(ID_COPY);
        ResetSoftInputPanelForTesting();
        const QPoint anchor =
            m_page->mapToGlobal(QPoint(m_page->width() - 40, m_page->height() + 40 - 11));
        EXPECT_EQ(menuRect.right() + 1, anchor.x());
        EXPECT_EQ(menuRect.top(), anchor.y());
        EXPECT_TRUE(m_boxes.empty()) << "closing the menu chooses nothing";
    });
}

TEST_F(LookupCopyTest, EntryThatCannotBeRenderedEndsTheProgram) {
    EXPECT_EXIT(
        {
            SetMessageBoxResponder(&PrintBoxAndAnswerOk);
            Run([&] {
                Select("Running,");
                fake_engine::Get().printResult = 0;
                m_page->OnCommand(ID_LOOKUP);
            });
        },
        ::testing::ExitedWithCode(1),
        "box: Error Message: Internal error!! Please restart the application: 16");
    EXPECT_EXIT(
        {
            SetMessageBoxResponder(&PrintBoxAndAnswerOk);
            Run([&] {
                fake_engine::Get().printResult = 0;
                m_page->OnCommand(ID_COPY_DEFINITION);
            });
        },
        ::testing::ExitedWithCode(1),
        "box: Definition: Internal error!! Please restart the application: 16");
}

}  // namespace
