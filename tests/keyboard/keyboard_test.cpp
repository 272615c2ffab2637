// Keyboard-only use of both pages on the recording engine: every command of
// the command bars is reached from the keyboard, with the keys pressed where
// the focus is, as a user would press them, and the pages' own keys (typing,
// arrows, Return, Ctrl+C and Ctrl+V) still do their own work.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <memory>
#include <vector>

#include "definition/definition_dlg.h"
#include "html/about_dlg.h"
#include "html/help_dlg.h"
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

// Waits until the window that runs (the top modal one) is active: after a
// modal window closes, the one below gets the keyboard back a moment later.
void WaitForRunningWindow() {
    QWidget* window = QApplication::activeModalWidget();
    if (window != nullptr && !window->isActiveWindow()) {
        EXPECT_TRUE(QTest::qWaitForWindowActive(window)) << "the page never became active again";
    }
}

// Presses `keys` on the widget that has the keyboard focus.
void Press(const QString& keys) {
    WaitForRunningWindow();
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr) target = QApplication::activeModalWidget();
    ASSERT_NE(target, nullptr) << "no window takes the keys";
    QTest::keySequence(target, QKeySequence(keys));
}

// What the next modal window is, when it opens while `open` runs: it is
// named ("help", "about", "definition", "other"), then `whileOpen` runs on
// it, then it is closed with Escape as a user would close it.
QString ModalOpenedBy(const std::function<void()>& open,
                      const std::function<void(QWidget*)>& whileOpen = {}) {
    WaitForRunningWindow();
    QWidget* const running = QApplication::activeModalWidget();
    QString shown = QStringLiteral("none");
    int checksLeft = 200;
    std::function<void()> check = [&] {
        QWidget* modal = QApplication::activeModalWidget();
        // A menu may pop up first: the window is looked for again a moment later.
        if (modal == nullptr || modal == running) {
            if (--checksLeft > 0) QTimer::singleShot(10, check);
            return;
        }
        if (!QTest::qWaitForWindowActive(modal)) ADD_FAILURE() << "never became active";
        if (dynamic_cast<CHelpDlg*>(modal) != nullptr) {
            shown = QStringLiteral("help");
        } else if (dynamic_cast<CAboutDlg*>(modal) != nullptr) {
            shown = QStringLiteral("about");
        } else if (dynamic_cast<CDefinitionDlg*>(modal) != nullptr) {
            shown = QStringLiteral("definition");
        } else {
            shown = QStringLiteral("other");
        }
        if (whileOpen) whileOpen(modal);
        Press(QStringLiteral("Escape"));
        if (modal->isVisible()) {
            ADD_FAILURE() << "Escape left the window open";
            modal->close();
        }
    };
    QTimer::singleShot(0, check);
    open();
    checksLeft = 0;
    return shown;
}

// Chooses the `down`th item of the menu that pops up while `open` runs, with
// the arrow keys and Return; returns the texts of its items.
QStringList ChooseInMenu(const std::function<void()>& open, int down) {
    WaitForRunningWindow();
    QStringList items;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) return;
        for (QAction* action : menu->actions()) {
            items << action->text() + QStringLiteral("\t") +
                         action->shortcut().toString(QKeySequence::NativeText);
        }
        for (int i = 0; i < down; ++i) QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QWidget* const running = QApplication::activeModalWidget();
    open();
    // Qt's offscreen platform makes a popped up menu the active window and
    // leaves no window active when it closes; a real window system keeps the
    // page active under its menus.
    if (running != nullptr) running->activateWindow();
    return items;
}

QStringList ButtonTips(CDialog& page) {
    QStringList tips;
    auto* bar = page.findChild<QToolBar*>();
    for (QAction* action : bar != nullptr ? bar->actions() : QList<QAction*>{}) {
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action)))
            tips << button->toolTip();
    }
    return tips;
}

class KeyboardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake_engine::Reset();
        fake_engine::SetWords({"a", "cat", "dog", "running", "zebra"});
        fake_engine::Get().entries[1].html = "<p>Running, catty 1234 fast</p>";
        fake_engine::Get().entries[1].text = "cat: Running, catty";
        SetModuleFileNameForTesting(m_dir.filePath("lexivane"));
        QGuiApplication::clipboard()->clear();
        SetMessageBoxResponder([this](const MessageBoxRecord& box) {
            m_boxes.push_back(box);
            return IDOK;
        });
    }
    void TearDown() override {
        SetMessageBoxResponder({});
        SetModuleFileNameForTesting(QString());
    }

    void SetBookmarks(const QStringList& words) {
        QFile file(m_dir.filePath("bookmark.dat"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Utf16Lines(words));
    }

    void RunSearch(const std::function<void()>& body) {
        m_search = std::make_unique<CSearchDlg>(kEngine);
        RunPageModally(*m_search, body);
    }
    void RunDefinition(const std::function<void()>& body) {
        m_definition = std::make_unique<CDefinitionDlg>(kEngine);
        m_definition->Initialise("cat", 1);
        RunPageModally(*m_definition, body);
    }
    QTextBrowser* Pane() const { return m_definition->findChild<QTextBrowser*>(); }
    // Selects the first `text` of the entry with the keyboard focus in the pane.
    void Select(const QString& text) {
        QTextBrowser* view = Pane();
        ASSERT_NE(view, nullptr);
        const QTextCursor found = view->document()->find(text);
        ASSERT_FALSE(found.isNull()) << text.toStdString();
        view->setTextCursor(found);
        view->setFocus();
    }
    QStringList BoxTexts() const {
        QStringList texts;
        for (const MessageBoxRecord& box : m_boxes) texts << box.caption + ": " + box.text;
        return texts;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<CSearchDlg> m_search;
    std::unique_ptr<CDefinitionDlg> m_definition;
    std::vector<MessageBoxRecord> m_boxes;
};

TEST_F(KeyboardTest, SearchPageTooltipsNameTheKeys) {
    RunSearch([&] {
        EXPECT_EQ(ButtonTips(*m_search),
                  (QStringList{"Tools (Alt+T)", "Paste (Ctrl+Shift+V)", "Bookmark (Ctrl+B)",
                               "History (Ctrl+H)", "Help (F1)", "Close"}));
    });
}

TEST_F(KeyboardTest, BookmarksFromTheSearchBoxOpenAWordWithArrowsAndReturn) {
    SetBookmarks({"dog", "zebra"});
    RunSearch([&] {
        QWidget* edit = m_search->GetDlgItem(IDC_SEARCH_EDIT);
        QWidget* list = m_search->GetDlgItem(IDC_BOOKMARK_LIST);
        ASSERT_EQ(QApplication::focusWidget(), edit);
        Press("Ctrl+B");
        ASSERT_TRUE(list->isVisible());
        EXPECT_EQ(Rows(list), (QStringList{"Bookmarks", "---Clear All---", "dog", "zebra"}));
        EXPECT_EQ(QApplication::focusWidget(), list) << "the arrows move in the list";
        EXPECT_TRUE(qobject_cast<QLineEdit*>(edit)->text().isEmpty()) << "no 'b' typed";
        Press("Ctrl+B");
        EXPECT_FALSE(list->isVisible()) << "the key toggles the list as the button does";

        Press("Ctrl+B");
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Down);
        const QString opened = ModalOpenedBy(
            [&] { QTest::keyClick(list, Qt::Key_Return); },
            [](QWidget* page) {
                EXPECT_EQ(dynamic_cast<CDefinitionDlg*>(page)->Word(), QStringLiteral("zebra"));
            });
        EXPECT_EQ(opened, QStringLiteral("definition"));
        EXPECT_FALSE(list->isVisible());
        EXPECT_TRUE(m_boxes.empty()) << BoxTexts().join('\n').toStdString();
    });
}

TEST_F(KeyboardTest, HistoryKeyFromTheWordListAndNoEntriesBoxes) {
    RunSearch([&] {
        m_search->GetDlgItem(IDC_WORDLIST)->setFocus();
        Press("Ctrl+B");
        Press("Ctrl+H");
        EXPECT_EQ(BoxTexts(), (QStringList{"Bookmarks: No entries", "History: No entries"}));
    });
    fake_engine::Get().history = {"running", "cat"};
    m_boxes.clear();
    RunSearch([&] {
        Press("Ctrl+H");
        QWidget* list = m_search->GetDlgItem(IDC_HISTORY_LIST);
        ASSERT_TRUE(list->isVisible());
        EXPECT_EQ(Rows(list), (QStringList{"History", "---Clear All---", "running", "cat"}));
        EXPECT_TRUE(m_boxes.empty());
        Press("Ctrl+B");
        EXPECT_FALSE(list->isVisible()) << "one pop-up list at a time";
        EXPECT_EQ(m_boxes.size(), 1u) << "no bookmarks";
    });
}

TEST_F(KeyboardTest, HelpAndAboutOpenFromKeysAndEscapeClosesThem) {
    RunSearch([&] {
        EXPECT_EQ(ModalOpenedBy([] { Press("F1"); }), QStringLiteral("help"));
        EXPECT_EQ(ModalOpenedBy([] { Press("Shift+F1"); }), QStringLiteral("about"));
        // The Tools menu pops up from Alt+T and its item is chosen with the keys.
        QStringList items;
        const QString shown =
            ModalOpenedBy([&] { items = ChooseInMenu([] { Press("Alt+T"); }, 1); });
        EXPECT_EQ(items, (QStringList{"About Lexivane\tShift+F1", "Quit\tCtrl+Q"}));
        EXPECT_EQ(shown, QStringLiteral("about"));
        EXPECT_EQ(QApplication::activeModalWidget(), m_search.get()) << "the page runs on";
        EXPECT_TRUE(m_search->isVisible());
    });
}

TEST_F(KeyboardTest, PasteKeyFillsTheSearchBoxOnceAndCtrlVStaysTheBoxsOwn) {
    RunSearch([&] {
        auto* edit = qobject_cast<QLineEdit*>(m_search->GetDlgItem(IDC_SEARCH_EDIT));
        QGuiApplication::clipboard()->setText(QStringLiteral("dog"));
        m_search->GetDlgItem(IDC_WORDLIST)->setFocus();
        Press("Ctrl+Shift+V");
        EXPECT_EQ(edit->text(), QStringLiteral("dog"));
        edit->clear();
        edit->setFocus();
        Press("Ctrl+V");
        EXPECT_EQ(edit->text(), QStringLiteral("dog")) << "pasted once, not also by the command";
        Press("Ctrl+Shift+V");
        EXPECT_EQ(edit->text(), QStringLiteral("dogdog"));
    });
}

TEST_F(KeyboardTest, EscapeSelectsTheSearchTextAndCtrlQEndsTheProgramFromEitherPage) {
    m_search = std::make_unique<CSearchDlg>(kEngine);
    QTimer::singleShot(0, m_search.get(), [&] {
        auto* edit = qobject_cast<QLineEdit*>(m_search->GetDlgItem(IDC_SEARCH_EDIT));
        if (QTest::qWaitForWindowActive(m_search.get())) {
            QTest::keyClicks(edit, "cat");
            Press("Escape");
            EXPECT_TRUE(m_search->isVisible()) << "Escape never ends the program";
            EXPECT_EQ(edit->selectedText(), QStringLiteral("cat"));
            QTest::keyClicks(edit, "dog");
            EXPECT_EQ(edit->text(), QStringLiteral("dog")) << "typing replaces the text";
            // Quit on the definition page ends it and the search page below it.
            QTimer::singleShot(0, [] { Press("Ctrl+Q"); });
            Press("Return");
            EXPECT_FALSE(m_search->isVisible());
        }
        if (m_search->isVisible()) m_search->EndDialog(IDCANCEL);
    });
    EXPECT_EQ(m_search->DoModal(), IDOK);
    EXPECT_EQ(m_boxes.size(), 0u);
}

TEST_F(KeyboardTest, DefinitionPageTooltipsNameTheKeys) {
    RunDefinition([&] {
        EXPECT_EQ(ButtonTips(*m_definition),
                  (QStringList{"Tools (Alt+T)", "Bookmark (Ctrl+B)", "History (Ctrl+H)",
                               "Copy (Ctrl+Shift+C)", "Look up (Ctrl+L)", "Help (F1)", "Close"}));
    });
}

TEST_F(KeyboardTest, LookUpKeyOpensTheSelectedWordFromThePane) {
    RunDefinition([&] {
        Select("Running");
        Press("Ctrl+L");
        EXPECT_TRUE(m_boxes.empty()) << BoxTexts().join('\n').toStdString();
        EXPECT_EQ(m_definition->Word(), QStringLiteral("running"));
        Press("Right");
        EXPECT_EQ(m_definition->Word(), QStringLiteral("zebra")) << "the arrows still step";
    });
}

TEST_F(KeyboardTest, CopyMenuByKeysAndItsItemsKeysWithTheMenuClosed) {
    RunDefinition([&] {
        Select("catty");
        const QStringList items = ChooseInMenu([] { Press("Ctrl+Shift+C"); }, 1);
        EXPECT_EQ(items, (QStringList{"Copy Selected Word\tCtrl+Shift+W",
                                      "Copy Definition\tCtrl+Shift+D"}));
        EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("catty"));

        QGuiApplication::clipboard()->clear();
        ChooseInMenu([] { Press("Ctrl+Shift+C"); }, 2);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("cat: Running, catty"));

        Select("fast");
        Press("Ctrl+Shift+W");
        EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("fast"));
        Press("Ctrl+Shift+D");
        EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("cat: Running, catty"));
        EXPECT_EQ(BoxTexts(),
                  (QStringList{"Copy: Word 'catty' copied", "Copy: Definition for 'cat' copied",
                               "Copy: Word 'fast' copied", "Copy: Definition for 'cat' copied"}));
    });
}

TEST_F(KeyboardTest, CtrlCInThePaneCopiesWithoutAnyCommand) {
    RunDefinition([&] {
        Select("1234");
        Press("Ctrl+C");
        EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("1234"));
        EXPECT_TRUE(m_boxes.empty()) << BoxTexts().join('\n').toStdString();
    });
}

TEST_F(KeyboardTest, DefinitionPageBookmarkAndHistoryByKeys) {
    fake_engine::Get().history = {"dog"};
    RunDefinition([&] {
        QWidget* bookmarks = m_definition->GetDlgItem(IDC_BOOKMARK_LIST);
        QWidget* history = m_definition->GetDlgItem(IDC_HISTORY_LIST);
        Pane()->setFocus();
        Press("Ctrl+B");
        ASSERT_TRUE(bookmarks->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), bookmarks);
        EXPECT_EQ(Rows(bookmarks), (QStringList{"Bookmarks", "---Mark this---"}));
        Press("Down");
        Press("Return");
        EXPECT_EQ(BoxTexts(), (QStringList{"Bookmarks: Word 'cat' bookmarked"}));
        QFile file(m_dir.filePath("bookmark.dat"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray("c\0a\0t\0\n\0", 8));

        Press("Ctrl+H");
        ASSERT_TRUE(history->isVisible());
        EXPECT_FALSE(bookmarks->isVisible());
        EXPECT_EQ(Rows(history), (QStringList{"History", "---Clear All---", "dog"}));
        Press("Down");
        Press("Down");
        Press("Return");
        EXPECT_EQ(m_definition->Word(), QStringLiteral("dog"));
        EXPECT_FALSE(history->isVisible());
    });
}

TEST_F(KeyboardTest, DefinitionPageHelpAndAboutByKeys) {
    RunDefinition([&] {
        Pane()->setFocus();
        EXPECT_EQ(ModalOpenedBy([] { Press("F1"); }), QStringLiteral("help"));
        EXPECT_EQ(ModalOpenedBy([] { Press("Shift+F1"); }), QStringLiteral("about"));
        EXPECT_EQ(ModalOpenedBy([] { ChooseInMenu([] { Press("Alt+T"); }, 1); }),
                  QStringLiteral("about"));
        EXPECT_EQ(QApplication::activeModalWidget(), m_definition.get());
    });
}

TEST_F(KeyboardTest, EscapeClosesAnOpenListBeforeThePage) {
    SetBookmarks({"dog"});
    fake_engine::Get().history = {"dog"};
    RunSearch([&] {
        QWidget* bookmarks = m_search->GetDlgItem(IDC_BOOKMARK_LIST);
        Press("Ctrl+B");
        ASSERT_TRUE(bookmarks->isVisible());
        Press("Escape");
        EXPECT_FALSE(bookmarks->isVisible());
        EXPECT_TRUE(m_search->isVisible()) << "the program goes on";
        EXPECT_EQ(QApplication::focusWidget(), m_search->GetDlgItem(IDC_SEARCH_EDIT));
    });
    RunDefinition([&] {
        QWidget* history = m_definition->GetDlgItem(IDC_HISTORY_LIST);
        Pane()->setFocus();
        Press("Ctrl+H");
        ASSERT_TRUE(history->isVisible());
        Press("Escape");
        EXPECT_FALSE(history->isVisible());
        EXPECT_TRUE(m_definition->isVisible());
        EXPECT_EQ(m_definition->Word(), QStringLiteral("cat"));
        Press("Escape");
        EXPECT_FALSE(m_definition->isVisible());
    });
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(KeyboardTest, EscapeFromThePaneClosesTheDefinitionPage) {
    RunDefinition([&] {
        Pane()->setFocus();
        Press("Escape");
        EXPECT_FALSE(m_definition->isVisible());
    });
}

}  // namespace
