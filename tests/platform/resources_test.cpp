#include "platform/resources.h"

#include <gtest/gtest.h>

#include <QKeySequence>
#include <QPixmap>

#include "res/resource.h"
#include "res/templates.h"

namespace {

using platform::LoadString;

TEST(ResourcesTest, StringTableHoldsTheTooltips) {
    QString text;
    EXPECT_TRUE(LoadString(text, IDS_TIP_PASTE));
    EXPECT_EQ(text, QStringLiteral("Paste"));
    EXPECT_TRUE(LoadString(text, IDS_TIP_BOOKMARK));
    EXPECT_EQ(text, QStringLiteral("Bookmark"));
    EXPECT_TRUE(LoadString(text, IDS_TIP_HISTORY));
    EXPECT_EQ(text, QStringLiteral("History"));
    EXPECT_TRUE(LoadString(text, IDS_TIP_HELP));
    EXPECT_EQ(text, QStringLiteral("Help"));
    EXPECT_FALSE(LoadString(text, 9999));
    EXPECT_TRUE(text.isEmpty());
}

TEST(ResourcesTest, EveryToolbarPictureAndTheIconLoad) {
    const auto buttons = res::FindToolbar(IDR_SEARCH_TOOLBAR);
    ASSERT_EQ(buttons.size(), 5u);
    const int commands[] = {ID_EDIT_PASTE, ID_BOOKMARKS, ID_HISTORY, 0, ID_HELP};
    for (size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i].command, commands[i]);
        if (buttons[i].picture != nullptr) {
            EXPECT_EQ(platform::LoadPicture(buttons[i].picture).size(), QSize(16, 16))
                << buttons[i].picture;
        }
    }
    EXPECT_FALSE(platform::LoadAppIcon().isNull());
    for (const char* path : {":/res/pictures/arrow-left.png", ":/res/pictures/copy.png",
                             res::kClosePicturePath, res::kMorePicturePath}) {
        EXPECT_EQ(platform::LoadPicture(path).size(), QSize(16, 16)) << path;
    }
    EXPECT_TRUE(platform::LoadPicture(":/res/pictures/none.png").isNull());
}

}  // namespace

TEST(ResourcesTest, EveryCommandHasItsOwnKeyAndNoneIsAnEditingKey) {
    const int commands[] = {ID_EDIT_PASTE,      ID_BOOKMARKS, ID_HISTORY, ID_COPY,     ID_COPY_WORD,
                            ID_COPY_DEFINITION, ID_LOOKUP,    ID_HELP,    ID_APP_ABOUT};
    // The keys the search box and the entry pane use themselves.
    QList<QKeySequence> taken;
    for (auto standard :
         {QKeySequence::Copy, QKeySequence::Paste, QKeySequence::Cut, QKeySequence::Undo,
          QKeySequence::Redo, QKeySequence::SelectAll, QKeySequence::Deselect, QKeySequence::Back,
          QKeySequence::Forward, QKeySequence::MoveToStartOfLine, QKeySequence::MoveToEndOfLine,
          QKeySequence::DeleteStartOfWord, QKeySequence::DeleteEndOfWord,
          QKeySequence::DeleteEndOfLine, QKeySequence::DeleteCompleteLine, QKeySequence::Find,
          QKeySequence::Refresh, QKeySequence::Cancel}) {
        taken += QKeySequence::keyBindings(standard);
    }
    QList<QKeySequence> used;
    for (int command : commands) {
        const char* text = res::FindShortcut(command);
        ASSERT_NE(text, nullptr) << command;
        const QKeySequence key(QString::fromLatin1(text));
        EXPECT_EQ(key.count(), 1) << text;
        EXPECT_FALSE(used.contains(key)) << text << " given twice";
        EXPECT_FALSE(taken.contains(key)) << text << " is an editing key";
        used << key;
    }
    const res::MenuTemplate* tools = res::FindMenu(IDR_TOOLS_MENU);
    ASSERT_NE(tools, nullptr);
    ASSERT_NE(tools->key, nullptr);
    EXPECT_FALSE(used.contains(QKeySequence(QString::fromLatin1(tools->key))));
    EXPECT_EQ(res::FindShortcut(0), nullptr);
}
