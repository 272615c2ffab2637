#include "platform/glue.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QKeySequence>
#include <cstring>
#include <memory>

#include "platform/files.h"
#include "platform/resources.h"
#include "res/resource.h"
#include "res/templates.h"

namespace {

class PlatformTypeTest : public ::testing::Test {
  protected:
    void TearDown() override {
        SetSystemPlatformTypeForTesting(QStringLiteral("PocketPC"));
        g_strPlatformType.clear();
    }
};

TEST_F(PlatformTypeTest, IsPocketPCIgnoresCaseButNotLength) {
    for (const char* type : {"pocketpc", "PocketPC", "POCKETPC", "pOcKeTpC"}) {
        g_strPlatformType = QString::fromLatin1(type);
        EXPECT_TRUE(IsPocketPC()) << type;
    }
    for (const char* type : {"PocketPC2002", "pocketp", "Smartphone", " pocketpc"}) {
        g_strPlatformType = QString::fromLatin1(type);
        EXPECT_FALSE(IsPocketPC()) << type;
    }
}

TEST_F(PlatformTypeTest, AnEmptyTypeIsReadFromTheSystemFirst) {
    g_strPlatformType.clear();
    EXPECT_TRUE(IsPocketPC());
    EXPECT_EQ(g_strPlatformType, QStringLiteral("PocketPC"));

    SetSystemPlatformTypeForTesting(QStringLiteral("Jupiter"));
    EXPECT_TRUE(IsPocketPC()) << "a value once read is kept";
    g_strPlatformType.clear();
    EXPECT_FALSE(IsPocketPC());
    EXPECT_EQ(g_strPlatformType, QStringLiteral("Jupiter"));
}

TEST_F(PlatformTypeTest, SystemQueryNeedsRoomForTheTerminator) {
    char16_t buffer[9];
    EXPECT_FALSE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, 16, buffer, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof(buffer), buffer, 0));
    EXPECT_EQ(QString::fromUtf16(buffer), QStringLiteral("PocketPC"));
    EXPECT_FALSE(SystemParametersInfoW(225, sizeof(buffer), buffer, 0));

    SetSystemPlatformTypeForTesting(QString(200, u'x'));
    QString target = QStringLiteral("old");
    ReadPlatformType(target);
    EXPECT_TRUE(target.isEmpty()) << "a failed query leaves the type unread";
}

class ModulePathTest : public ::testing::Test {
  protected:
    void TearDown() override { SetModuleFileNameForTesting(QString()); }
};

TEST_F(ModulePathTest, JoinsTheProgramDirectoryAndTheName) {
    SetModuleFileNameForTesting(QStringLiteral("/opt/lexivane/lexivane"));
    QString name = QStringLiteral("bookmark.dat");
    MakeModulePath(name);
    EXPECT_EQ(name, QStringLiteral("/opt/lexivane/bookmark.dat"));

    SetModuleFileNameForTesting(QStringLiteral("lexivane"));
    name = QStringLiteral("listpad.pdb");
    MakeModulePath(name);
    EXPECT_EQ(name, QStringLiteral("lexivane/listpad.pdb"))
        << "no separator: the path is used whole";
}

TEST_F(ModulePathTest, TheRealProgramPathIsThisTestProgram) {
    const QString path = GetModuleFileName();
    EXPECT_TRUE(QFileInfo(path).isAbsolute());
    EXPECT_EQ(QFileInfo(path).fileName(), QStringLiteral("platform_tests"));
}

std::unique_ptr<char[]> Narrow(const QString& text) {
    return std::unique_ptr<char[]>(WideToNarrow(text));
}

TEST(WideToNarrowTest, EmptyTextGivesNull) {
    EXPECT_EQ(Narrow(QString()), nullptr);
}

TEST(WideToNarrowTest, OneByteAUnitPlusTerminator) {
    auto bytes = Narrow(QStringLiteral("hello"));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::memcmp(bytes.get(), "hello\0", 6), 0);
}

TEST(WideToNarrowTest, UsesWindows1252AndQuestionMarksTheRest) {
    auto bytes = Narrow(QString::fromUtf8("café €1 日本 ÿ"));
    ASSERT_NE(bytes, nullptr);
    EXPECT_STREQ(bytes.get(),
                 "caf\xE9 \x80"
                 "1 ?? \xFF");
    EXPECT_EQ(NarrowToWide(bytes.get()), QString::fromUtf8("café €1 ?? ÿ"));
}

TEST(WideToNarrowTest, EveryByteSurvivesARoundTrip) {
    char all[256];
    for (int i = 1; i < 256; ++i) all[i - 1] = static_cast<char>(i);
    all[255] = '\0';
    auto back = Narrow(NarrowToWide(all));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(std::memcmp(back.get(), all, 256), 0);
    EXPECT_TRUE(NarrowToWide(nullptr).isEmpty());
}

TEST(LibraryTest, OnlyTheHtmlViewLibraryLoads) {
    EXPECT_EQ(LoadLibraryW(QStringLiteral("nosuch.dll")), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    HMODULE view = LoadLibraryW(QStringLiteral("HTMLVIEW.DLL"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(ModuleReferenceCount(QStringLiteral("htmlview.dll")), 1);
    EXPECT_TRUE(FreeLibrary(view));
    EXPECT_EQ(ModuleReferenceCount(QStringLiteral("htmlview.dll")), 0);
    EXPECT_FALSE(FreeLibrary(view)) << "freed once";
    EXPECT_FALSE(FreeLibrary(nullptr));
}

TEST(ActivateInfoTest, RecordIsTwelveBytes) {
    EXPECT_EQ(sizeof(g_shActivateInfo), 12u);
}

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
            QPixmap picture(QString::fromLatin1(buttons[i].picture));
            EXPECT_EQ(picture.size(), QSize(16, 16)) << buttons[i].picture;
        }
    }
    EXPECT_FALSE(LoadAppIcon().isNull());
    for (const char* name : {"arrow-left", "arrow-right", "copy", "lookup", "new"}) {
        EXPECT_FALSE(
            QPixmap(QStringLiteral(":/res/pictures/%1.png").arg(QLatin1String(name))).isNull())
            << name;
    }
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
