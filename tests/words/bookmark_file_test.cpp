#include "words/bookmark_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "platform/glue.h"

namespace {

class BookmarkFileTest : public ::testing::Test {
  protected:
    void SetUp() override { SetModuleFileNameForTesting(m_dir.filePath("lexivane")); }
    void TearDown() override {
        SetModuleFileNameForTesting(QString());
        SetMoveFileReplaceHookForTesting(nullptr);
    }

    QString Path(const QString& name = "bookmark.dat") const { return m_dir.filePath(name); }
    QByteArray Contents() const {
        QFile file(Path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void SetContents(const QByteArray& bytes) {
        QFile file(Path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    std::vector<QString> Entries() const {
        const QStringList names = QDir(m_dir.path()).entryList(QDir::Files);
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

TEST_F(BookmarkFileTest, MissingFileHasLengthZeroAndTruncateCreatesIt) {
    CBookmarkFile file;
    EXPECT_EQ(file.QueryLength(), 0u);
    char buffer[4] = {'x', 'x', 'x', 'x'};
    file.ReadAll(buffer, sizeof(buffer));
    EXPECT_EQ(buffer[0], 'x') << "nothing read from a missing file";
    EXPECT_TRUE(file.Truncate());
    EXPECT_EQ(Contents(), QByteArray());

    SetContents("some bytes");
    EXPECT_TRUE(file.Truncate());
    EXPECT_EQ(Contents(), QByteArray());
}

TEST_F(BookmarkFileTest, WritesTheExactBytesOfTheFormat) {
    CBookmarkFile file;
    const QString words[] = {"dog\n", "cat\n"};
    ASSERT_TRUE(file.WriteLines(words, 2));
    EXPECT_EQ(Contents(), kDogCat);
    EXPECT_EQ(file.QueryLength(), 16u);
    EXPECT_EQ(file.Length(), 16u);
    EXPECT_EQ(Entries(), std::vector<QString>{"bookmark.dat"}) << "no temporary left behind";
}

TEST_F(BookmarkFileTest, WritingReplacesTheWholeListAndEmptyListEmptiesIt) {
    SetContents(QByteArray(100, 'z'));
    CBookmarkFile file;
    const QString one[] = {"a\n"};
    ASSERT_TRUE(file.WriteLines(one, 1));
    EXPECT_EQ(Contents(), QByteArray("a\0\n\0", 4));
    ASSERT_TRUE(file.WriteLines(nullptr, 0));
    EXPECT_EQ(Contents(), QByteArray());
}

TEST_F(BookmarkFileTest, WordsOutsideEightBitsRoundTrip) {
    CBookmarkFile writer;
    const QString words[] = {QString::fromUtf8("naïveté\n"), QString::fromUtf8("日本\n"),
                             QString::fromUtf16(u"\U0001D11E\n")};
    ASSERT_TRUE(writer.WriteLines(words, 3));
    EXPECT_EQ(Contents().mid(4, 2), QByteArray("\xEF\0", 2)) << "one little-endian unit for ï";

    CBookmarkFile reader;
    const uint32_t length = reader.QueryLength();
    ASSERT_EQ(length, 2u * (8 + 3 + 3));
    QByteArray buffer(length, '\0');
    reader.ReadAll(buffer.data(), length);
    EXPECT_EQ(reader.Length(), length);
    const QString text =
        QString::fromUtf16(reinterpret_cast<const char16_t*>(buffer.constData()), length / 2);
    EXPECT_EQ(text, words[0] + words[1] + words[2]);
}

TEST_F(BookmarkFileTest, ReadAllNeverWritesPastTheBuffer) {
    SetContents(kDogCat);
    CBookmarkFile file;
    ASSERT_EQ(file.QueryLength(), 16u);
    SetContents(kDogCat + kDogCat);  // the file grew after it was measured
    char buffer[17] = {};
    buffer[16] = '!';
    file.ReadAll(buffer, 16);
    EXPECT_EQ(buffer[16], '!');
    EXPECT_EQ(file.Length(), 16u);
    EXPECT_EQ(QByteArray(buffer, 16), kDogCat);
}

TEST_F(BookmarkFileTest, UnreadableFileCountsAsEmpty) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("bookmark.dat"));
    CBookmarkFile file;
    EXPECT_EQ(file.QueryLength(), 0u);
    EXPECT_FALSE(file.Truncate());
    const QString words[] = {"cat\n"};
    EXPECT_FALSE(file.WriteLines(words, 1)) << "a directory cannot be replaced by a file";
    EXPECT_FALSE(QFile::exists(Path("bookmark.dat.new")));
}

bool RefuseRename(const QString&, const QString&) {
    return false;
}

TEST_F(BookmarkFileTest, FailedRenameLeavesTheOldListWhole) {
    SetContents(kDogCat);
    SetMoveFileReplaceHookForTesting(&RefuseRename);
    CBookmarkFile file;
    const QString words[] = {"bird\n"};
    EXPECT_FALSE(file.WriteLines(words, 1));
    EXPECT_EQ(Contents(), kDogCat);
    EXPECT_EQ(Entries(), std::vector<QString>{"bookmark.dat"});
}

bool StopTheProgram(const QString& from, const QString&) {
    // Stops between writing the new list and putting it in place.
    QFile written(from);
    if (written.open(QIODevice::ReadOnly) && written.size() == 10) _exit(3);
    _exit(4);
}

TEST_F(BookmarkFileTest, ProgramStoppedMidWriteLeavesTheOldListWhole) {
    SetContents(kDogCat);
    // The stopped copy must work in this test's directory: fork without re-running the test.
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            SetMoveFileReplaceHookForTesting(&StopTheProgram);
            CBookmarkFile file;
            const QString words[] = {"bird\n"};
            file.WriteLines(words, 1);
        },
        ::testing::ExitedWithCode(3), "");
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EQ(Contents(), kDogCat);

    CBookmarkFile file;
    const QString words[] = {"bird\n"};
    ASSERT_TRUE(file.WriteLines(words, 1))
        << "a temporary left by the stop does not get in the way";
    EXPECT_EQ(Contents(), QByteArray("b\0i\0r\0d\0\n\0", 10));
    EXPECT_EQ(Entries(), std::vector<QString>{"bookmark.dat"});
}

}  // namespace
