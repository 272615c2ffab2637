#include "platform/commandbar.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <vector>

#include "platform/dialog.h"
#include "platform/shell.h"
#include "res/resource.h"

using namespace platform;

namespace {

// The search page's command bar built the way the page builds it.
class BarPage : public CDialog {
  public:
    BarPage() : CDialog(IDD_SEARCH) {}
    CCommandBar bar;
    std::vector<int> commands;
    std::vector<BOOL> activations;
    int settingChanges = 0;
    std::function<void()> whileRunning;

  protected:
    void BindMessageMap() override {
        for (int id : {ID_APP_ABOUT, ID_BOOKMARKS, ID_EDIT_PASTE, ID_HELP, ID_HISTORY}) {
            BindCommand(id, [this, id] { commands.push_back(id); });
        }
    }
    BOOL OnInitDialog() override {
        const QString tips[6] = {QString(), "Paste", "Bookmark", "History", "Help", QString()};
        EXPECT_TRUE(bar.Create(this, CBRS_TOP, AFX_IDW_TOOLBAR));
        EXPECT_TRUE(bar.InsertMenuBar(IDR_TOOLS_MENU));
        EXPECT_TRUE(bar.AddAdornments(0));
        EXPECT_TRUE(bar.LoadToolBar(IDR_SEARCH_TOOLBAR));
        EXPECT_NE(bar.SetToolTips(6, tips), 0);
        bar.SetBarStyle(bar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_FIXED);
        if (whileRunning) QTimer::singleShot(0, this, whileRunning);
        return TRUE;
    }
    void OnActivate(BOOL active) override { activations.push_back(active); }
    void OnSettingChange() override { ++settingChanges; }
};

// Ends the page however the test body returns, so a failed assertion never
// leaves a modal loop running.
struct EndsOnReturn {
    explicit EndsOnReturn(CDialog& page) : page(page) {}
    ~EndsOnReturn() { page.EndDialog(IDOK); }
    CDialog& page;
};

struct Button {
    QString name;
    QString tip;
    bool hasIcon;
};

std::vector<Button> Buttons(QToolBar* bar) {
    std::vector<Button> buttons;
    for (QAction* action : bar->actions()) {
        if (action->isSeparator()) {
            buttons.push_back({"|", QString(), false});
        } else if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action))) {
            buttons.push_back(
                {button->accessibleName(), action->toolTip(), !action->icon().isNull()});
        }
    }
    return buttons;
}

// True when one of Qt's image format plugins (gif, ico, jpeg, ...) is loaded.
bool ImagePluginLoaded() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/imageformats/");
}

TEST(CommandBarTest, ToolsMenuThenButtonsInOrderThenClose) {
    BarPage page;
    page.whileRunning = [&] {
        QToolBar* bar = page.bar.GetSafeHwnd();
        EndsOnReturn end(page);
        ASSERT_NE(bar, nullptr);
        const auto buttons = Buttons(bar);
        const char* names[] = {"Tools", "Paste", "Bookmarks", "History", "|", "Help", "Close"};
        ASSERT_EQ(buttons.size(), std::size(names));
        for (size_t i = 0; i < buttons.size(); ++i) EXPECT_EQ(buttons[i].name, names[i]) << i;
        EXPECT_EQ(buttons[1].tip, QStringLiteral("Paste (Ctrl+Shift+V)"));
        EXPECT_EQ(buttons[2].tip, QStringLiteral("Bookmark (Ctrl+B)"));
        EXPECT_EQ(buttons[3].tip, QStringLiteral("History (Ctrl+H)"));
        EXPECT_EQ(buttons[5].tip, QStringLiteral("Help (F1)"));
        for (size_t i : {1, 2, 3, 5, 6}) EXPECT_TRUE(buttons[i].hasIcon) << i;
        EXPECT_EQ(bar->geometry().top(), 268) << "below the template area";
        EXPECT_EQ(page.height(), 268 + bar->height());
        EXPECT_EQ(page.GetDlgItem(IDC_WORDLIST)->geometry().top(), 4) << "no control moved";
        EXPECT_FALSE(ImagePluginLoaded()) << "the pictures are read as PNG, asking no plugin";
    };
    page.DoModal();
}

TEST(CommandBarTest, ButtonsAndMenuItemsRunTheirCommandsAndCloseEndsThePage) {
    BarPage page;
    page.whileRunning = [&] {
        QToolBar* bar = page.bar.GetSafeHwnd();
        std::vector<QToolButton*> buttons;
        for (QAction* action : bar->actions()) {
            if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action)))
                buttons.push_back(button);
        }
        QTest::mouseClick(buttons[1], Qt::LeftButton);
        QTest::mouseClick(buttons[4], Qt::LeftButton);
        // The Tools button pops its menu up at once; the menu item runs About.
        QTimer::singleShot(0, [] {
            auto* tools = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            EXPECT_NE(tools, nullptr);
            if (tools == nullptr) return;
            EXPECT_EQ(tools->actions().size(), 2);
            EXPECT_EQ(tools->actions().value(0)->text(), QStringLiteral("About Lexivane"));
            EXPECT_EQ(tools->actions().value(1)->text(), QStringLiteral("Quit"));
            QTest::keyClick(tools, Qt::Key_Down);
            QTest::keyClick(tools, Qt::Key_Return);
        });
        QTest::mouseClick(buttons[0], Qt::LeftButton);
        EXPECT_EQ(page.commands, (std::vector<int>{ID_EDIT_PASTE, ID_HELP, ID_APP_ABOUT}));
        QTest::mouseClick(buttons.back(), Qt::LeftButton);
    };
    EXPECT_EQ(page.DoModal(), IDOK) << "the close button ends the page as OK does";
}

// The definition page's bar on a page that only records its commands.
class DefinitionBarPage : public CDialog {
  public:
    DefinitionBarPage() : CDialog(IDD_DEFINITION) {}
    CCommandBar bar;
    std::vector<int> commands;
    std::function<void()> whileRunning;

  protected:
    void BindMessageMap() override {
        for (int id : {ID_APP_ABOUT, ID_BOOKMARKS, ID_HISTORY, ID_COPY, ID_COPY_WORD,
                       ID_COPY_DEFINITION, ID_LOOKUP, ID_HELP}) {
            BindCommand(id, [this, id] { commands.push_back(id); });
        }
    }
    BOOL OnInitDialog() override {
        EXPECT_TRUE(bar.Create(this));
        EXPECT_TRUE(bar.InsertMenuBar(IDR_TOOLS_MENU));
        EXPECT_TRUE(bar.AddAdornments(0));
        EXPECT_TRUE(bar.LoadToolBar(IDR_DEFINITION_TOOLBAR));
        if (whileRunning) QTimer::singleShot(0, this, whileRunning);
        return TRUE;
    }
};

void PressOnFocus(const char* keys) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QTest::keySequence(target, QKeySequence(QString::fromLatin1(keys)));
}

TEST(CommandBarKeysTest, EachKeyRunsItsCommandFromTheSearchBoxAndTypingRunsNone) {
    BarPage page;
    page.whileRunning = [&] {
        EndsOnReturn end(page);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
        auto* edit = qobject_cast<QLineEdit*>(page.GetDlgItem(IDC_SEARCH_EDIT));
        ASSERT_NE(edit, nullptr);
        edit->setFocus();
        QTest::keyClicks(edit, "bhT");
        EXPECT_TRUE(page.commands.empty()) << "plain letters are typed";
        EXPECT_EQ(edit->text(), QStringLiteral("bhT"));
        for (const char* keys : {"Ctrl+Shift+V", "Ctrl+B", "Ctrl+H", "F1", "Shift+F1"})
            PressOnFocus(keys);
        EXPECT_EQ(page.commands, (std::vector<int>{ID_EDIT_PASTE, ID_BOOKMARKS, ID_HISTORY, ID_HELP,
                                                   ID_APP_ABOUT}));
        EXPECT_EQ(edit->text(), QStringLiteral("bhT")) << "no key reached the box as text";
        page.commands.clear();
        PressOnFocus("Ctrl+L");
        PressOnFocus("Ctrl+Shift+D");
        EXPECT_TRUE(page.commands.empty()) << "keys of the other page's commands do nothing here";
    };
    page.DoModal();
}

TEST(CommandBarKeysTest, AltTPopsUpTheToolsMenuShowingItsItemsKeys) {
    BarPage page;
    page.whileRunning = [&] {
        EndsOnReturn end(page);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
        page.GetDlgItem(IDC_WORDLIST)->setFocus();
        QString shown;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr) return;
            shown = menu->title() + ": " + menu->actions().value(0)->text() + " " +
                    menu->actions().value(0)->shortcut().toString();
            QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        PressOnFocus("Alt+T");
        EXPECT_EQ(shown, QStringLiteral("Tools: About Lexivane Shift+F1"));
        EXPECT_EQ(page.commands, (std::vector<int>{ID_APP_ABOUT})) << "run once";
    };
    page.DoModal();
}

TEST(CommandBarKeysTest, CopyMenuItemsKeysWorkWithTheMenuNeverShown) {
    DefinitionBarPage page;
    page.whileRunning = [&] {
        EndsOnReturn end(page);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
        for (const char* keys : {"Ctrl+B", "Ctrl+H", "Ctrl+Shift+C", "Ctrl+L", "F1", "Shift+F1",
                                 "Ctrl+Shift+W", "Ctrl+Shift+D", "Ctrl+Shift+V"}) {
            QTest::keySequence(&page, QKeySequence(QString::fromLatin1(keys)));
        }
        EXPECT_EQ(page.commands,
                  (std::vector<int>{ID_BOOKMARKS, ID_HISTORY, ID_COPY, ID_LOOKUP, ID_HELP,
                                    ID_APP_ABOUT, ID_COPY_WORD, ID_COPY_DEFINITION}));
    };
    page.DoModal();
}

TEST(CommandBarTest, BarNeedsAPageAndKnownResources) {
    CCommandBar bar;
    EXPECT_FALSE(bar.Create(nullptr));
    EXPECT_FALSE(bar.LoadToolBar(IDR_SEARCH_TOOLBAR)) << "not created";
    BarPage page;
    page.whileRunning = [&] {
        EndsOnReturn end(page);
        CCommandBar second;
        ASSERT_TRUE(second.Create(&page));
        EXPECT_FALSE(second.Create(&page));
        EXPECT_FALSE(second.LoadToolBar(999));
        EXPECT_FALSE(second.InsertMenuBar(999));
    };
    page.DoModal();
}

TEST(ShellTest, SoftInputPanelStateReachesThePages) {
    BarPage page;
    page.whileRunning = [&] {
        EndsOnReturn end(page);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&page));
        EXPECT_FALSE(page.activations.empty());
        EXPECT_EQ(page.activations.back(), TRUE);
        EXPECT_FALSE(CurrentSoftInputPanel().on);
        EXPECT_EQ(CurrentSoftInputPanel().Height(), 0);

        const int before = page.settingChanges;
        SetSoftInputPanelForTesting(true, QRect(0, 500, 240, 80));
        EXPECT_EQ(page.settingChanges, before + 1);
        const SoftInputPanel panel = CurrentSoftInputPanel();
        EXPECT_TRUE(panel.on);
        EXPECT_EQ(panel.rect, QRect(0, 500, 240, 80));
        EXPECT_EQ(panel.Height(), 80);

        ResetSoftInputPanelForTesting();
        EXPECT_EQ(page.settingChanges, before + 2);
        EXPECT_FALSE(CurrentSoftInputPanel().on);
    };
    page.DoModal();
}

}  // namespace
