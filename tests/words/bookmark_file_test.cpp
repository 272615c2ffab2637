#include "words/bookmark_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "platform/paths.h"

using namespace platform;

namespace {

class BookmarkFileTest : public ::testing::Test {
  protected:
    void SetUp() override { SetModuleFileNameForTesting(m_dir.filePath("lexivane")); }
    void TearDown() override {
        SetModuleFileNameForTesting(QString());
        SetFileFaultHookForTesting(nullptr);
    }

    QString Path(const QString& name = "bookmark.dat") const { return m_dir.filePath(name); }
    QByteArray Contents(const QString& name = "bookmark.dat") const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void SetContents(const QByteArray& bytes, const QString& name = "bookmark.dat") {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    std::vector<QString> Entries() const {
        const QStringList names =
            QDir(m_dir.path())
                .entryList(QDir::Files | QDir::System | QDir::Dirs | QDir::NoDotAndDotDot);
        return {names.begin(), names.end()};
    }

    QTemporaryDir m_dir;
};

const QByteArray kDogCat("d\0o\0g\0\n\0c\0a\0t\0\n\0", 16);

TEST_F(BookmarkFileTest, NamesTheFileBesideTheProgramAndTouchesNothing) {
    CBookmarkFile file;
    EXPECT_EQ(file.Path(), Path());
    EXPECT_TRUE(Entries().empty());
}

TEST_F(BookmarkFileTest, MissingFileReadsEmptyAndTruncateCreatesIt) {
    CBookmarkFile file;
    QString units = "stale";
    EXPECT_TRUE(file.ReadAll(units));
    EXPECT_TRUE(units.isEmpty());
    EXPECT_TRUE(file.Truncate());
    EXPECT_EQ(Contents(), QByteArray());

    SetContents("some bytes");
    EXPECT_TRUE(file.Truncate());
    EXPECT_EQ(Contents(), QByteArray());
}

TEST_F(BookmarkFileTest, WritesTheExactBytesOfTheFormat) {
    CBookmarkFile file;
    ASSERT_TRUE(file.WriteLines(u"dog\ncat\n"));
    EXPECT_EQ(Contents(), kDogCat);
    EXPECT_EQ(Entries(), std::vector<QString>{"bookmark.dat"}) << "no temporary left behind";
    QString units;
    ASSERT_TRUE(file.ReadAll(units));
    EXPECT_EQ(units, QStringLiteral("dog\ncat\n"));

    SetContents(kDogCat + "!");
    ASSERT_TRUE(file.ReadAll(units));
    EXPECT_EQ(units, QStringLiteral("dog\ncat\n")) << "a last odd byte is ignored";
}

TEST_F(BookmarkFileTest, WordsOutsideEightBitsRoundTrip) {
    CBookmarkFile writer;
    const QString words =
        QString::fromUtf8("naïveté\n日本\n") + QString::fromUtf16(u"\U0001D11E\n");
    ASSERT_TRUE(writer.WriteLines(words));
    EXPECT_EQ(Contents().mid(4, 2), QByteArray("\xEF\0", 2)) << "one little-endian unit for ï";

    CBookmarkFile reader;
    QString units;
    ASSERT_TRUE(reader.ReadAll(units));
    EXPECT_EQ(units, words);
}

TEST_F(BookmarkFileTest, ADirectoryInTheFilesPlaceIsRefusedAndKept) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("bookmark.dat"));
    CBookmarkFile file;
    QString units;
    EXPECT_FALSE(file.ReadAll(units));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(file.Truncate());
    EXPECT_FALSE(file.WriteLines(u"cat\n"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Entries(), std::vector<QString>{"bookmark.dat"}) << "nothing written beside it";
}

int RefuseRename(const QString&, FileStep step) {
    return step == FileStep::kRename ? EACCES : 0;
}

TEST_F(BookmarkFileTest, FailedRenameLeavesTheOldListWhole) {
    SetContents(kDogCat);
    SetFileFaultHookForTesting(&RefuseRename);
    CBookmarkFile file;
    EXPECT_FALSE(file.WriteLines(u"bird\n"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(file.Truncate());
    EXPECT_EQ(Contents(), kDogCat);
    EXPECT_EQ(Entries(), std::vector<QString>{"bookmark.dat"});
}

int StopTheProgram(const QString& path, FileStep step) {
    // Stops between writing the new list and putting it in place.
    if (step != FileStep::kRename) return 0;
    QFile written(path);
    if (written.open(QIODevice::ReadOnly) && written.size() == 10) _exit(3);
    _exit(4);
}

TEST_F(BookmarkFileTest, ProgramStoppedMidWriteLeavesTheOldListWhole) {
    SetContents(kDogCat);
    // The stopped copy must work in this test's directory: fork without re-running the test.
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            SetFileFaultHookForTesting(&StopTheProgram);
            CBookmarkFile file;
            file.WriteLines(u"bird\n");
        },
        ::testing::ExitedWithCode(3), "");
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EQ(Contents(), kDogCat);
    ASSERT_EQ(Entries().size(), 2u) << "the stopped save's temporary file";

    CBookmarkFile file;
    ASSERT_TRUE(file.WriteLines(u"bird\n"));
    EXPECT_EQ(Contents(), QByteArray("b\0i\0r\0d\0\n\0", 10));
    EXPECT_EQ(Entries(), std::vector<QString>{"bookmark.dat"}) << "the next save removed it";
}

TEST_F(BookmarkFileTest, APlantedTemporaryFileIsNeverFollowed) {
    SetContents(kDogCat);
    SetContents("precious", "victim");
    ASSERT_TRUE(QFile::link(Path("victim"), Path("bookmark.dat.new")));
    SetContents("left by a stop", "bookmark.dat.new-Ab12Cd");
    CBookmarkFile file;
    ASSERT_TRUE(file.WriteLines(u"cat\n"));
    EXPECT_EQ(Contents(), QByteArray("c\0a\0t\0\n\0", 8));
    EXPECT_EQ(Contents("victim"), QByteArray("precious"));
    EXPECT_EQ(Entries(), (std::vector<QString>{"bookmark.dat", "victim"}))
        << "the planted link and the stale temporary file are gone";
}

}  // namespace
