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

#include "platform/controls.h"
#include "platform/files.h"
#include "platform/glue.h"
#include "tests/support/fake_engine.h"
#include "words/word_services.h"

namespace {

QStringList Rows(const CListBox& list) {
    QStringList rows;
    for (int i = 0; i < list.GetCount(); ++i) {
        QString text;
        list.GetText(i, text);
        rows << text;
    }
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

// A pop-up list on its own widget, the bookmark file in a temporary program directory.
class WordListsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake_engine::Reset();
        SetModuleFileNameForTesting(m_dir.filePath("lexivane"));
        m_words = std::make_unique<CWordServices>();
        m_words->m_hEngine = 0x2A;
        m_list.Attach(&m_widget);
    }
    void TearDown() override {
        SetModuleFileNameForTesting(QString());
        SetFileFaultHookForTesting(nullptr);
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
    // The definition page's layout after a fill, as that page completes it.
    void FillAsDefinitionPage() {
        if (m_words->FillBookmarkList(m_list)) {
            m_list.AddString("Bookmarks");
            m_list.AddString("---Mark this---");
        } else {
            m_list.InsertString(1, "---Mark this---");
        }
    }

    QTemporaryDir m_dir;
    std::unique_ptr<CWordServices> m_words;
    ListBoxWidget m_widget{nullptr};
    CListBox m_list;
};

TEST_F(WordListsTest, HistoryKeepsTheNewestTwentyWithoutDuplicates) {
    EXPECT_TRUE(m_words->AddWordToList(QString(), m_list));
    EXPECT_EQ(m_list.GetCount(), 0) << "an empty word changes nothing";
    m_words->AddWordToList("cat", m_list);
    EXPECT_EQ(Rows(m_list), (QStringList{"History", "---Clear All---", "cat"}));
    m_words->AddWordToList("dog", m_list);
    m_words->AddWordToList("CAT", m_list);
    EXPECT_EQ(Rows(m_list), (QStringList{"History", "---Clear All---", "CAT", "dog"}))
        << "moved to the top, in the new letter case";
    for (int i = 0; i < 25; ++i) m_words->AddWordToList(QString("w%1").arg(i), m_list);
    const QStringList rows = Rows(m_list);
    EXPECT_EQ(rows.size(), 22);
    EXPECT_EQ(rows[2], QStringLiteral("w24"));
    EXPECT_EQ(rows[21], QStringLiteral("w5"));
    m_words->AddWordToList("History", m_list);
    EXPECT_EQ(Rows(m_list)[0], QStringLiteral("History")) << "the title row is never a match";
    EXPECT_EQ(Rows(m_list)[2], QStringLiteral("History"));
}

TEST_F(WordListsTest, HistoryFillFollowsTheEngine) {
    m_list.AddString("stale");
    fake_engine::Get().history = {"ran", "caf\xE9", "cat"};
    EXPECT_TRUE(m_words->FillHistoryList(m_list));
    EXPECT_EQ(Rows(m_list),
              (QStringList{"History", "---Clear All---", "ran", QString::fromUtf8("café"), "cat"}));

    fake_engine::Get().historyNullAt = 1;
    m_words->FillHistoryList(m_list);
    EXPECT_EQ(m_list.GetCount(), 0) << "a missing word discards the whole listing";

    fake_engine::Get().history.clear();
    m_words->FillHistoryList(m_list);
    EXPECT_EQ(m_list.GetCount(), 0);
}

TEST_F(WordListsTest, NoFileGivesNoRows) {
    m_list.AddString("stale");
    EXPECT_TRUE(m_words->FillBookmarkList(m_list));
    EXPECT_EQ(m_list.GetCount(), 0);
    FillAsDefinitionPage();
    EXPECT_EQ(Rows(m_list), (QStringList{"Bookmarks", "---Mark this---"}));
}

TEST_F(WordListsTest, MarkingWordsWritesThemNewestFirst) {
    FillAsDefinitionPage();
    m_list.AddString("---Clear All---");  // the page adds it before the first mark
    EXPECT_TRUE(m_words->BookmarkWord("cat", m_list));
    EXPECT_EQ(Rows(m_list),
              (QStringList{"Bookmarks", "---Mark this---", "---Clear All---", "cat"}));
    EXPECT_EQ(File(), Utf16("cat\n"));
    EXPECT_TRUE(m_words->BookmarkWord("dog", m_list));
    EXPECT_EQ(File(), Utf16("dog\ncat\n"));

    m_words->SetMarkRow("DOG", m_list);
    EXPECT_EQ(Rows(m_list)[1], QStringLiteral("---Unmark this---"));
    m_words->SetMarkRow("bird", m_list);
    EXPECT_EQ(Rows(m_list)[1], QStringLiteral("---Mark this---"));

    CWordServices other;
    CListBox searchList(new ListBoxWidget(&m_widget));
    EXPECT_FALSE(other.FillBookmarkList(searchList));
    EXPECT_EQ(Rows(searchList), (QStringList{"Bookmarks", "---Clear All---", "dog", "cat"}));
}

TEST_F(WordListsTest, UnmarkingTheLastWordEmptiesTheFile) {
    FillAsDefinitionPage();
    m_list.AddString("---Clear All---");
    m_words->BookmarkWord(QString::fromUtf8("naïve"), m_list);
    EXPECT_FALSE(m_words->UnbookmarkWord("bird", m_list));
    EXPECT_TRUE(m_words->UnbookmarkWord(QString::fromUtf8("NAÏVE"), m_list));
    EXPECT_EQ(Rows(m_list), (QStringList{"Bookmarks", "---Mark this---"}));
    EXPECT_EQ(File(), QByteArray()) << "emptied, still there";
}

int RefuseRename(const QString&, FileStep step) {
    return step == FileStep::kRename ? EACCES : 0;
}

TEST_F(WordListsTest, FailedSaveOnUnmarkPutsTheRowBack) {
    FillAsDefinitionPage();
    m_list.AddString("---Clear All---");
    m_words->BookmarkWord("cat", m_list);
    m_words->BookmarkWord("dog", m_list);
    SetFileFaultHookForTesting(&RefuseRename);
    EXPECT_FALSE(m_words->UnbookmarkWord("cat", m_list));
    EXPECT_FALSE(m_words->LastOk());
    EXPECT_EQ(Rows(m_list),
              (QStringList{"Bookmarks", "---Mark this---", "---Clear All---", "dog", "cat"}));
    EXPECT_EQ(File(), Utf16("dog\ncat\n"));
}

TEST_F(WordListsTest, FileIsReadAsLineFeedEndedWords) {
    SetFile(Utf16("dog\n\ncat\nlast") + QByteArray("\x41", 1));
    EXPECT_FALSE(m_words->FillBookmarkList(m_list));
    EXPECT_EQ(Rows(m_list), (QStringList{"Bookmarks", "---Clear All---", "dog", "", "cat", "last"}))
        << "an unended last word is a row, a lone odd byte is not";
    SetFile(Utf16("no line feed"));
    m_words->FillBookmarkList(m_list);
    EXPECT_EQ(Rows(m_list), (QStringList{"Bookmarks", "---Clear All---", "no line feed"}));
    SetFile(QByteArray("\x41", 1));
    EXPECT_TRUE(m_words->FillBookmarkList(m_list)) << "no word, no rows";
    EXPECT_EQ(m_list.GetCount(), 0);
}

TEST_F(WordListsTest, UnendedLastWordIsWrittenBackWithItsLineFeed) {
    SetFile(Utf16("dog\ncat\nkept"));
    FillAsDefinitionPage();
    m_words->SetMarkRow("KEPT", m_list);
    EXPECT_EQ(Rows(m_list)[1], QStringLiteral("---Unmark this---"));
    EXPECT_TRUE(m_words->BookmarkWord("bird", m_list));
    EXPECT_EQ(File(), Utf16("bird\ndog\ncat\nkept\n"));

    SetFile(Utf16("only"));
    m_list.ResetContent();
    FillAsDefinitionPage();
    EXPECT_TRUE(m_words->UnbookmarkWord("only", m_list));
    EXPECT_EQ(File(), QByteArray());
    EXPECT_EQ(Rows(m_list), (QStringList{"Bookmarks", "---Mark this---"}));
}

TEST_F(WordListsTest, FailedSaveOnMarkLeavesListAndFileAgreeing) {
    FillAsDefinitionPage();
    m_list.AddString("---Clear All---");
    m_words->BookmarkWord("cat", m_list);
    m_words->BookmarkWord("dog", m_list);
    SetFileFaultHookForTesting(&RefuseRename);
    EXPECT_FALSE(m_words->BookmarkWord("bird", m_list));
    EXPECT_EQ(Rows(m_list),
              (QStringList{"Bookmarks", "---Mark this---", "---Clear All---", "dog", "cat"}));
    EXPECT_FALSE(m_words->BookmarkWord("CAT", m_list)) << "a word moved to the top goes back";
    EXPECT_EQ(Rows(m_list),
              (QStringList{"Bookmarks", "---Mark this---", "---Clear All---", "dog", "cat"}));
    EXPECT_EQ(File(), Utf16("dog\ncat\n"));
}

TEST_F(WordListsTest, FirstAndSecondMarkWriteExactBytes) {
    FillAsDefinitionPage();
    m_list.AddString("---Clear All---");
    m_words->BookmarkWord("cat", m_list);
    EXPECT_EQ(File(), QByteArray::fromHex("630061007400"
                                          "0a00"));
    m_words->BookmarkWord("dog", m_list);
    EXPECT_EQ(File(), QByteArray::fromHex("64006f006700"
                                          "0a00"
                                          "630061007400"
                                          "0a00"));
}

TEST_F(WordListsTest, ThousandsOfBookmarksReadAndSavedWhole) {
    QString text;
    for (int i = 0; i < 5000; ++i) text += QString("word%1\n").arg(i);
    SetFile(Utf16(text));
    FillAsDefinitionPage();
    EXPECT_EQ(m_list.GetCount(), 5003);
    EXPECT_TRUE(m_words->UnbookmarkWord("word2500", m_list));
    text.remove(QStringLiteral("word2500\n"));
    EXPECT_EQ(File(), Utf16(text));
    EXPECT_EQ(m_list.GetCount(), 5002);
}

TEST_F(WordListsTest, ManyBookmarksAreAllKept) {
    FillAsDefinitionPage();
    m_list.AddString("---Clear All---");
    for (int i = 0; i < 500; ++i) m_words->BookmarkWord(QString("word%1").arg(i), m_list);
    CWordServices reader;
    CListBox list(new ListBoxWidget(&m_widget));
    reader.FillBookmarkList(list);
    EXPECT_EQ(list.GetCount(), 502);
    QString top;
    list.GetText(2, top);
    EXPECT_EQ(top, QStringLiteral("word499"));
}

TEST_F(WordListsTest, BothPagesShowTheOneListOfBookmarks) {
    SetFile(Utf16("dog\n"));
    CWordServices searchPage;
    CListBox searchList(new ListBoxWidget(&m_widget));
    EXPECT_FALSE(searchPage.FillBookmarkList(searchList));
    FillAsDefinitionPage();
    EXPECT_TRUE(m_words->BookmarkWord("cat", m_list));
    EXPECT_EQ(Rows(searchList), (QStringList{"Bookmarks", "---Clear All---", "cat", "dog"}))
        << "the other page shows the same list, not a copy of its own";
}

TEST_F(WordListsTest, ListsUpToTheLimitAreKeptAndLongerFilesRefusedWhole) {
    // Exactly as long as the longest list: a million words of seven letters.
    const QString word = QStringLiteral("abcdefg\n");
    const int words = static_cast<int>(CBookmarkFile::kMaxLength / (2 * word.size()));
    const QByteArray full = Utf16(word.repeated(words));
    ASSERT_EQ(full.size(), qsizetype{CBookmarkFile::kMaxLength});
    SetFile(full);
    FillAsDefinitionPage();
    ASSERT_TRUE(m_words->LastOk());
    EXPECT_EQ(m_list.GetCount(), 3 + words);
    EXPECT_FALSE(m_words->BookmarkWord("bird", m_list)) << "the list would outgrow the limit";
    EXPECT_EQ(GetLastError(), ERROR_FILE_TOO_LARGE);
    EXPECT_EQ(m_list.GetCount(), 3 + words);
    EXPECT_TRUE(m_words->UnbookmarkWord("abcdefg", m_list));
    EXPECT_TRUE(m_words->BookmarkWord("bird", m_list));
    EXPECT_EQ(File().size(), full.size() - 6);

    // Far longer: refused whole, never read or cut.
    QFile file(m_dir.filePath("bookmark.dat"));
    ASSERT_TRUE(file.resize(qint64{5} << 30));
    EXPECT_TRUE(m_words->FillBookmarkList(m_list));
    EXPECT_FALSE(m_words->LastOk());
    EXPECT_EQ(m_list.GetCount(), 0);
    EXPECT_EQ(m_words->BookmarkFailureText(false),
              QStringLiteral("Could not read bookmark.dat: File too large (bookmarks are limited "
                             "to 16 MB)"));
    EXPECT_FALSE(m_words->BookmarkWord("cat", m_list));
    EXPECT_FALSE(m_words->ClearBookmarks());
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

TEST_F(WordListsTest, AFileTheUserCannotReadOrWriteIsNeverReplaced) {
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
            FillAsDefinitionPage();
            const QString why = QStringLiteral("Permission denied");
            if (mode == unreadable) {
                EXPECT_FALSE(m_words->LastOk());
                EXPECT_EQ(m_words->BookmarkFailureText(false),
                          "Could not read bookmark.dat: " + why);
                EXPECT_EQ(Rows(m_list), (QStringList{"Bookmarks", "---Mark this---"}));
                m_list.AddString("---Clear All---");
            } else {
                EXPECT_TRUE(m_words->LastOk());
                EXPECT_EQ(m_list.GetCount(), 5);
                EXPECT_FALSE(m_words->UnbookmarkWord("dog", m_list));
            }
            EXPECT_FALSE(m_words->BookmarkWord("cat", m_list));
            EXPECT_EQ(m_words->BookmarkFailureText(true), "Could not save bookmark.dat: " + why);
        });
        if (!ran) GTEST_SKIP() << "root cannot become another user here";
        ASSERT_EQ(chmod(path.constData(), 0600), 0);
        EXPECT_EQ(File(), bookmarks) << "mode " << mode;
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"bookmark.dat"});
        m_list.ResetContent();
    }
}

}  // namespace
