#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "platform/files.h"
#include "platform/paths.h"
#include "words/bookmark_rows.h"
#include "words/history_list.h"
#include "words/visited_words.h"

namespace {

QStringList Rows(const QAbstractItemModel& list) {
    QStringList rows;
    for (int i = 0; i < list.rowCount(); ++i) rows << list.index(i, 0).data().toString();
    return rows;
}

QByteArray Utf16(const QString& text) {
    QByteArray bytes;
    for (QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

TEST(HistoryListTest, KeepsTheNewestTwentyWithoutDuplicates) {
    CHistoryList list;
    EXPECT_FALSE(list.AddWord(QString()));
    EXPECT_EQ(list.rowCount(), 0) << "an empty word changes nothing";
    EXPECT_TRUE(list.AddWord("cat"));
    EXPECT_EQ(Rows(list), (QStringList{"History", "---Clear All---", "cat"}));
    list.AddWord("dog");
    list.AddWord("CAT");
    EXPECT_EQ(Rows(list), (QStringList{"History", "---Clear All---", "CAT", "dog"}))
        << "moved to the top, in the new letter case";
    for (int i = 0; i < 25; ++i) list.AddWord(QString("w%1").arg(i));
    const QStringList rows = Rows(list);
    EXPECT_EQ(rows.size(), 22);
    EXPECT_EQ(rows[2], QStringLiteral("w24"));
    EXPECT_EQ(rows[21], QStringLiteral("w5"));
    list.AddWord("History");
    EXPECT_EQ(Rows(list)[0], QStringLiteral("History")) << "the title row is never a match";
    EXPECT_EQ(Rows(list)[2], QStringLiteral("History"));
    EXPECT_EQ(list.KindOf(0), PopupRow::kTitle);
    EXPECT_EQ(list.KindOf(1), PopupRow::kClearAll);
    EXPECT_EQ(list.KindOf(2), PopupRow::kWord);
    EXPECT_EQ(list.WordAt(2), QStringLiteral("History"));
    EXPECT_EQ(list.KindOf(22), PopupRow::kNone);
    EXPECT_EQ(list.WordAt(1), QString());

    list.Fill({"ran", QString::fromUtf8("café")});
    EXPECT_EQ(Rows(list),
              (QStringList{"History", "---Clear All---", "ran", QString::fromUtf8("café")}));
    list.Clear();
    EXPECT_EQ(list.rowCount(), 0) << "no words, no rows";
    EXPECT_EQ(list.KindOf(0), PopupRow::kNone);
}

TEST(VisitedWordsTest, GoesBackAndForwardAndANewWordDropsTheWordsAhead) {
    CVisitedWords visited;
    EXPECT_FALSE(visited.Back());
    EXPECT_FALSE(visited.Forward());
    for (const char* word : {"cat", "cat", "", "dog", "mouse"}) visited.Visit(word);
    EXPECT_EQ(visited.Back(), QStringLiteral("dog"))
        << "the repeated and the empty word count nothing";
    EXPECT_EQ(visited.Back(), QStringLiteral("cat"));
    EXPECT_FALSE(visited.Back());
    EXPECT_EQ(visited.Current(), QStringLiteral("cat")) << "nothing changes at the first";
    EXPECT_EQ(visited.Forward(), QStringLiteral("dog"));
    visited.Visit("zebra");
    EXPECT_FALSE(visited.Forward()) << "mouse went with the new word";
    EXPECT_EQ(visited.Back(), QStringLiteral("dog"));
    visited.Visit("dog");
    EXPECT_EQ(visited.Forward(), QStringLiteral("zebra"))
        << "showing the shown word again drops nothing";

    CVisitedWords many;
    for (size_t i = 0; i <= CVisitedWords::kWordLimit; ++i) many.Visit(QString::number(i));
    size_t back = 0;
    while (many.Back()) ++back;
    EXPECT_EQ(back, CVisitedWords::kWordLimit - 1);
    EXPECT_EQ(many.Current(), QStringLiteral("1")) << "the oldest went";
}

// The bookmark lists of both pages over a bookmark file in a temporary program folder.
class BookmarkRowsTest : public ::testing::Test {
  protected:
    void TearDown() override {
        platform::SetModuleFileNameForTesting(QString());
        platform::SetFileFaultHookForTesting(nullptr);
    }

    QByteArray File() const {
        QFile file(m_dir.filePath("bookmark.dat"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void SetFile(const QByteArray& bytes) {
        QFile file(m_dir.filePath("bookmark.dat"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // The program appears to live in `dir` before the list below names its file.
    struct ProgramFolder {
        explicit ProgramFolder(const QTemporaryDir& dir) {
            platform::SetModuleFileNameForTesting(dir.filePath("lexivane"));
        }
    };

    QTemporaryDir m_dir;
    ProgramFolder m_folder{m_dir};
    CBookmarkRows m_list{true};  // the definition page's
};

TEST_F(BookmarkRowsTest, NoFileGivesNoRowsOnTheSearchPageAndTheMarkRowOnTheDefinitionPage) {
    CBookmarkRows search(false);
    EXPECT_EQ(m_list.rowCount(), 0) << "nothing before the first fill";
    EXPECT_TRUE(search.Fill());
    EXPECT_TRUE(m_list.Fill());
    EXPECT_EQ(search.rowCount(), 0);
    EXPECT_EQ(Rows(m_list), (QStringList{"Bookmarks", "---Mark this---"}));
    EXPECT_EQ(m_list.KindOf(1), PopupRow::kMark);
    EXPECT_EQ(File(), QByteArray("<missing>")) << "showing the list writes nothing";
}

TEST_F(BookmarkRowsTest, MarkingWordsWritesThemNewestFirst) {
    ASSERT_TRUE(m_list.Fill());
    EXPECT_TRUE(m_list.Mark("cat"));
    EXPECT_EQ(Rows(m_list),
              (QStringList{"Bookmarks", "---Mark this---", "---Clear All---", "cat"}));
    EXPECT_EQ(File(), Utf16("cat\n"));
    EXPECT_TRUE(m_list.Mark("dog"));
    EXPECT_EQ(File(), QByteArray::fromHex("64006f0067000a00"
                                          "630061007400"
                                          "0a00"));

    m_list.SetMarkRow("DOG");
    EXPECT_EQ(Rows(m_list)[1], QStringLiteral("---Unmark this---"));
    EXPECT_EQ(m_list.KindOf(1), PopupRow::kUnmark);
    EXPECT_EQ(m_list.KindOf(2), PopupRow::kClearAll);
    EXPECT_EQ(m_list.KindOf(3), PopupRow::kWord);
    EXPECT_EQ(m_list.WordAt(3), QStringLiteral("dog"));
    m_list.SetMarkRow("bird");
    EXPECT_EQ(Rows(m_list)[1], QStringLiteral("---Mark this---"));

    CBookmarkRows search(false);
    EXPECT_TRUE(search.Fill());
    EXPECT_EQ(Rows(search), (QStringList{"Bookmarks", "---Clear All---", "dog", "cat"}));
    EXPECT_EQ(search.KindOf(1), PopupRow::kClearAll);
    EXPECT_EQ(search.WordAt(2), QStringLiteral("dog"));
    EXPECT_TRUE(m_list.Mark("bird"));
    EXPECT_EQ(Rows(search), (QStringList{"Bookmarks", "---Clear All---", "bird", "dog", "cat"}))
        << "the other page shows the same list, not a copy of its own";
}

TEST_F(BookmarkRowsTest, UnmarkingTheLastWordEmptiesTheFile) {
    ASSERT_TRUE(m_list.Fill());
    m_list.Mark(QString::fromUtf8("naïve"));
    EXPECT_FALSE(m_list.Unmark("bird"));
    EXPECT_TRUE(m_list.Unmark(QString::fromUtf8("NAÏVE")));
    EXPECT_EQ(Rows(m_list), (QStringList{"Bookmarks", "---Mark this---"}));
    EXPECT_EQ(File(), QByteArray()) << "emptied, still there";
}

int RefuseRename(const QString&, platform::FileStep step) {
    return step == platform::FileStep::kRename ? EACCES : 0;
}

TEST_F(BookmarkRowsTest, FailedSavesLeaveTheRowsAndTheFileAgreeing) {
    ASSERT_TRUE(m_list.Fill());
    m_list.Mark("cat");
    m_list.Mark("dog");
    platform::SetFileFaultHookForTesting(&RefuseRename);
    const QStringList rows{"Bookmarks", "---Mark this---", "---Clear All---", "dog", "cat"};
    EXPECT_FALSE(m_list.Unmark("cat"));
    EXPECT_EQ(Rows(m_list), rows);
    EXPECT_FALSE(m_list.Mark("bird"));
    EXPECT_EQ(Rows(m_list), rows);
    EXPECT_FALSE(m_list.Mark("CAT")) << "a word moved to the top goes back";
    EXPECT_EQ(Rows(m_list), rows);
    EXPECT_FALSE(m_list.ClearAll());
    EXPECT_EQ(Rows(m_list), rows);
    EXPECT_EQ(File(), Utf16("dog\ncat\n"));
    EXPECT_EQ(m_list.FailureText(true),
              QStringLiteral("Could not save bookmark.dat: Permission denied"));
}

TEST_F(BookmarkRowsTest, FileIsReadAsLineFeedEndedWords) {
    CBookmarkRows search(false);
    SetFile(Utf16("dog\n\ncat\nlast") + QByteArray("\x41", 1));
    EXPECT_TRUE(search.Fill());
    EXPECT_EQ(Rows(search), (QStringList{"Bookmarks", "---Clear All---", "dog", "", "cat", "last"}))
        << "an unended last word is a row, a lone odd byte is not";
    EXPECT_EQ(search.KindOf(3), PopupRow::kWord);
    EXPECT_EQ(search.WordAt(3), QString());
    SetFile(QByteArray("\x41", 1));
    search.Fill();
    EXPECT_EQ(search.rowCount(), 0) << "no word, no rows";
}

TEST_F(BookmarkRowsTest, UnendedLastWordIsWrittenBackWithItsLineFeed) {
    SetFile(Utf16("dog\ncat\nkept"));
    ASSERT_TRUE(m_list.Fill());
    m_list.SetMarkRow("KEPT");
    EXPECT_EQ(Rows(m_list)[1], QStringLiteral("---Unmark this---"));
    EXPECT_TRUE(m_list.Mark("bird"));
    EXPECT_EQ(File(), Utf16("bird\ndog\ncat\nkept\n"));

    SetFile(Utf16("only"));
    ASSERT_TRUE(m_list.Fill());
    EXPECT_TRUE(m_list.Unmark("only"));
    EXPECT_EQ(File(), QByteArray());
    m_list.SetMarkRow("only");
    EXPECT_EQ(Rows(m_list), (QStringList{"Bookmarks", "---Mark this---"}))
        << "no word left: no Clear All row";
}

TEST_F(BookmarkRowsTest, ThousandsOfBookmarksAreAllReadAndSavedWhole) {
    QString text;
    for (int i = 0; i < 5000; ++i) text += QString("word%1\n").arg(i);
    SetFile(Utf16(text));
    ASSERT_TRUE(m_list.Fill());
    EXPECT_EQ(m_list.rowCount(), 5003);
    EXPECT_TRUE(m_list.Unmark("word2500"));
    text.remove(QStringLiteral("word2500\n"));
    EXPECT_EQ(File(), Utf16(text));
    EXPECT_EQ(m_list.rowCount(), 5002);
    for (int i = 0; i < 500; ++i) m_list.Mark(QString("new%1").arg(i));
    CBookmarkRows reader(false);
    reader.Fill();
    EXPECT_EQ(reader.rowCount(), 2 + 5499);
    EXPECT_EQ(reader.WordAt(2), QStringLiteral("new499"));
}

TEST_F(BookmarkRowsTest, ListsUpToTheLimitAreKeptAndLongerFilesRefusedWhole) {
    // Exactly as long as the longest list: a million words of seven letters.
    const QString word = QStringLiteral("abcdefg\n");
    const int words = static_cast<int>(CBookmarkFile::kMaxLength / (2 * word.size()));
    const QByteArray full = Utf16(word.repeated(words));
    ASSERT_EQ(full.size(), qsizetype{CBookmarkFile::kMaxLength});
    SetFile(full);
    ASSERT_TRUE(m_list.Fill());
    EXPECT_EQ(m_list.rowCount(), 3 + words);
    EXPECT_FALSE(m_list.Mark("bird")) << "the list would outgrow the limit";
    EXPECT_EQ(platform::GetLastError(), platform::ERROR_FILE_TOO_LARGE);
    EXPECT_EQ(m_list.rowCount(), 3 + words);
    EXPECT_TRUE(m_list.Unmark("abcdefg"));
    EXPECT_TRUE(m_list.Mark("bird"));
    EXPECT_EQ(File().size(), full.size() - 6);

    // Far longer: refused whole, never read or cut.
    QFile file(m_dir.filePath("bookmark.dat"));
    ASSERT_TRUE(file.resize(qint64{5} << 30));
    EXPECT_FALSE(m_list.Fill());
    EXPECT_EQ(m_list.rowCount(), 0);
    EXPECT_EQ(m_list.FailureText(false),
              QStringLiteral("Could not read bookmark.dat: File too large (bookmarks are limited "
                             "to 16 MB)"));
    EXPECT_FALSE(m_list.Mark("cat"));
    EXPECT_FALSE(m_list.ClearAll());
    EXPECT_EQ(QFileInfo(file).size(), qint64{5} << 30);
}

// Runs `body` as a user other than the one who owns the test's files: as
// "nobody" in a child process when the tests run as root, whom permission
// bits do not stop; else here. False when root cannot become another user.
bool RunAsAnotherUser(const std::function<void()>& body) {
    if (geteuid() != 0) {
        body();
        return true;
    }
    constexpr uid_t kNobody = 65534;
    constexpr int kCannotSwitch = 77;
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        if (setgroups(0, nullptr) != 0 || setresgid(kNobody, kNobody, kNobody) != 0 ||
            setresuid(kNobody, kNobody, kNobody) != 0) {
            _exit(kCannotSwitch);
        }
        body();
        std::fflush(nullptr);
        _exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    EXPECT_EQ(waitpid(child, &status, 0), child);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotSwitch) return false;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "see the failures above";
    return true;
}

TEST_F(BookmarkRowsTest, AFileTheUserCannotReadOrWriteIsNeverReplaced) {
    // The user's own program folder, where anyone may create and rename files.
    ASSERT_EQ(chmod(QFile::encodeName(m_dir.path()).constData(), 0777), 0);
    const QByteArray bookmarks = Utf16("dog\nbird\n");
    // Another user's file (root's, 600) or, when the tests do not run as
    // root, one the owner has taken all rights from; and a read-only file.
    const mode_t unreadable = geteuid() == 0 ? 0600 : 0000;
    for (const mode_t mode : {unreadable, mode_t{0444}}) {
        SetFile(bookmarks);
        const QByteArray path = QFile::encodeName(m_dir.filePath("bookmark.dat"));
        ASSERT_EQ(chmod(path.constData(), mode), 0);
        const bool ran = RunAsAnotherUser([&] {
            const QString why = QStringLiteral("Permission denied");
            if (mode == unreadable) {
                EXPECT_FALSE(m_list.Fill());
                EXPECT_EQ(m_list.FailureText(false), "Could not read bookmark.dat: " + why);
                EXPECT_EQ(m_list.rowCount(), 0) << "no list over a file not read";
            } else {
                EXPECT_TRUE(m_list.Fill());
                EXPECT_EQ(m_list.rowCount(), 5);
                EXPECT_FALSE(m_list.Unmark("dog"));
            }
            EXPECT_FALSE(m_list.Mark("cat"));
            EXPECT_EQ(m_list.FailureText(true), "Could not save bookmark.dat: " + why);
        });
        if (!ran) GTEST_SKIP() << "root cannot become another user here";
        ASSERT_EQ(chmod(path.constData(), 0600), 0);
        EXPECT_EQ(File(), bookmarks) << "mode " << mode;
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"bookmark.dat"});
    }
}

}  // namespace
