#include "platform/text.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <cstring>

#include "platform/paths.h"

namespace {

using platform::NarrowToWide;
using platform::WideToNarrow;

TEST(WideToNarrowTest, OneByteAUnitPlusTerminatorAndNoneForAnEmptyText) {
    EXPECT_EQ(WideToNarrow(QString()), nullptr);
    const auto bytes = WideToNarrow(QStringLiteral("hello"));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::memcmp(bytes.get(), "hello\0", 6), 0);
}

TEST(WideToNarrowTest, UsesWindows1252AndQuestionMarksTheRest) {
    const auto bytes = WideToNarrow(QString::fromUtf8("café €1 日本 ÿ"));
    ASSERT_NE(bytes, nullptr);
    EXPECT_STREQ(bytes.get(),
                 "caf\xE9 \x80"
                 "1 ?? \xFF");
    EXPECT_EQ(NarrowToWide(bytes.get()), QString::fromUtf8("café €1 ?? ÿ"));
    EXPECT_EQ(platform::EngineCharacters(QString::fromUtf8("café? 日本€\U0001F600")),
              QString::fromUtf8("café? €"));
}

TEST(WideToNarrowTest, EveryByteSurvivesARoundTrip) {
    char all[256];
    for (int i = 1; i < 256; ++i) all[i - 1] = static_cast<char>(i);
    all[255] = '\0';
    const auto back = WideToNarrow(NarrowToWide(all));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(std::memcmp(back.get(), all, 256), 0);
    EXPECT_TRUE(NarrowToWide(nullptr).isEmpty());
}

class ModulePathTest : public ::testing::Test {
  protected:
    void TearDown() override { platform::SetModuleFileNameForTesting(QString()); }
};

TEST_F(ModulePathTest, JoinsTheProgramFolderAndTheName) {
    platform::SetModuleFileNameForTesting(QStringLiteral("/opt/lexivane/lexivane"));
    QString name = QStringLiteral("bookmark.dat");
    platform::MakeModulePath(name);
    EXPECT_EQ(name, QStringLiteral("/opt/lexivane/bookmark.dat"));

    platform::SetModuleFileNameForTesting(QStringLiteral("lexivane"));
    name = QStringLiteral("listpad.pdb");
    platform::MakeModulePath(name);
    EXPECT_EQ(name, QStringLiteral("lexivane/listpad.pdb"))
        << "no separator: the path is used whole";
}

TEST_F(ModulePathTest, TheRealProgramPathIsThisTestProgram) {
    const QString path = platform::GetModuleFileName();
    EXPECT_TRUE(QFileInfo(path).isAbsolute());
    EXPECT_EQ(QFileInfo(path).fileName(), QStringLiteral("platform_core_tests"));
}

}  // namespace
