#include "platform/running_copy.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include "platform/paths.h"

using namespace platform;

namespace {

TEST(RunningCopyTest, EachCallArrivesAsItsWordUntilTheListenerGoes) {
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    SetModuleFileNameForTesting(runtime.filePath("program/lexivane"));
    const QString channel = RunningCopyChannel();
    EXPECT_TRUE(channel.startsWith(runtime.path() + "/lexivane-"));
    QStringList words;
    {
        CRunningCopyListener listener;
        ASSERT_TRUE(listener.Listen([&](const QString& word) { words << word; }));
        EXPECT_TRUE(CallRunningCopy(QStringLiteral("caf\u00e9 au lait")));
        EXPECT_TRUE(CallRunningCopy(QString()));
        EXPECT_TRUE(CallRunningCopy(QStringLiteral("two\nlines")));
        EXPECT_FALSE(CallRunningCopy(QString(2000, u'x'))) << "no word is that long";
        EXPECT_TRUE(QTest::qWaitFor([&] { return words.size() == 3; }));
    }
    EXPECT_EQ(words, (QStringList{QStringLiteral("caf\u00e9 au lait"), "", "two lines"}));
    EXPECT_FALSE(QFile::exists(channel)) << "removed with the listener";
    EXPECT_FALSE(CallRunningCopy(QStringLiteral("cat"))) << "no copy listens";
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(RunningCopyChannel(), QString()) << "no runtime folder, no channel";
    SetModuleFileNameForTesting(QString());
}

}  // namespace
