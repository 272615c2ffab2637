#include "platform/files.h"
#include "platform/paths.h"
#include "platform/settings.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <future>
#include <utility>

using namespace platform;

namespace {

constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;
constexpr DWORD kScratchFlags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS;
constexpr DWORD kDictFlags = FILE_ATTRIBUTE_READONLY | FILE_FLAG_RANDOM_ACCESS;

class FilesTest : public ::testing::Test {
  protected:
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    void WriteFile(const QString& name, const QByteArray& bytes) {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray NativeName(const QString& name) const { return QFile::encodeName(Path(name)); }

    QByteArray ReadFile(const QString& name) {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    HANDLE CreateScratch(const QString& name) {
        return CreateFileForMappingW(Path(name), kReadWrite, 0, nullptr, CREATE_ALWAYS,
                                     kScratchFlags, 0);
    }

    HANDLE OpenDictionary(const QString& name) {
        return CreateFileForMappingW(Path(name), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                     kDictFlags, 0);
    }

    QTemporaryDir m_dir;
};

TEST_F(FilesTest, OpenExistingOfAMissingFileFailsWithFileNotFound) {
    SetLastError(0);
    EXPECT_EQ(OpenDictionary("missing.pdb"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(QFile::exists(Path("missing.pdb")));
}

TEST_F(FilesTest, CreateAlwaysCreatesAndEmptiesAndLeavesLastErrorAlone) {
    WriteFile("listpad.pdb", "left over from an earlier run");
    SetLastError(ERROR_FILE_NOT_FOUND);
    HANDLE existing = CreateScratch("listpad.pdb");
    HANDLE fresh = CreateScratch("datapad.pdb");
    ASSERT_NE(existing, INVALID_HANDLE_VALUE);
    ASSERT_NE(fresh, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadFile("listpad.pdb"), QByteArray());
    EXPECT_TRUE(QFile::exists(Path("datapad.pdb")));
    EXPECT_TRUE(CloseHandle(existing));
    EXPECT_TRUE(CloseHandle(fresh));
}

TEST_F(FilesTest, ExclusiveOpenMeetsSharingViolationWithoutTruncating) {
    HANDLE first = CreateScratch("listpad.pdb");
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    ASSERT_EQ(write(static_cast<int>(first), "engine data", 11), 11);

    EXPECT_EQ(CreateScratch("listpad.pdb"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(ReadFile("listpad.pdb"), QByteArray("engine data"));

    EXPECT_TRUE(CloseHandle(first));
    HANDLE again = CreateScratch("listpad.pdb");
    EXPECT_NE(again, INVALID_HANDLE_VALUE) << "closing releases the lock";
    CloseHandle(again);
}

TEST_F(FilesTest, ReadOnlyDictionaryOpenIsExclusiveToo) {
    WriteFile("dict.pdb", "dictionary");
    HANDLE first = OpenDictionary("dict.pdb");
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenDictionary("dict.pdb"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    HANDLE shared = CreateFileForMappingW(Path("other.pdb"), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_ALWAYS, 0, 0);
    HANDLE sharedAgain = CreateFileForMappingW(Path("other.pdb"), GENERIC_READ, FILE_SHARE_READ,
                                               nullptr, OPEN_EXISTING, 0, 0);
    EXPECT_NE(shared, INVALID_HANDLE_VALUE);
    EXPECT_NE(sharedAgain, INVALID_HANDLE_VALUE) << "two readers that share reading";
    CloseHandle(first);
    CloseHandle(shared);
    CloseHandle(sharedAgain);
}

TEST_F(FilesTest, AnythingButARegularFileAndBadArgumentsAreRefusedAtOnce) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("folder.pdb"));
    ASSERT_EQ(mkfifo(Path("fifo.pdb").toLocal8Bit().constData(), 0600), 0);
    const int listening = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray socketPath = Path("socket.pdb").toLocal8Bit();
    ASSERT_LT(static_cast<size_t>(socketPath.size()), sizeof address.sun_path);
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    ASSERT_EQ(bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_TRUE(QFile::link("/dev/null", Path("device.pdb")));
    for (const QString name : {"folder.pdb", "fifo.pdb", "socket.pdb", "device.pdb"}) {
        for (const bool dictionary : {true, false}) {
            // Opening a FIFO for reading used to wait for a writer: a writer
            // lets it go, so that the test fails instead of hanging.
            auto opening = std::async(std::launch::async, [&] {
                const HANDLE h = dictionary ? OpenDictionary(name) : CreateScratch(name);
                return std::make_pair(h, GetLastError());
            });
            if (opening.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
                ADD_FAILURE() << qPrintable(name) << " waited for a writer";
                close(open(Path(name).toLocal8Bit().constData(), O_WRONLY | O_NONBLOCK));
            }
            const auto [handle, error] = opening.get();
            EXPECT_EQ(handle, INVALID_HANDLE_VALUE) << qPrintable(name) << " " << dictionary;
            EXPECT_EQ(error, ERROR_ACCESS_DENIED) << qPrintable(name) << " " << dictionary;
            if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
        }
    }
    close(listening);

    EXPECT_EQ(CreateFileForMappingW(Path("x"), GENERIC_READ, 0, nullptr, 9, 0, 0),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(CreateFileForMappingW(Path("x"), GENERIC_READ, 0, nullptr, CREATE_ALWAYS, 0, 0),
              INVALID_HANDLE_VALUE)
        << "truncating needs write access";
    EXPECT_FALSE(QFile::exists(Path("x")));

    WriteFile("exists", "x");
    EXPECT_EQ(CreateFileForMappingW(Path("exists"), kReadWrite, 0, nullptr, CREATE_NEW, 0, 0),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
    EXPECT_EQ(CreateScratch("no-such-dir/listpad.pdb"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(FilesTest, HandlesNeverTakeTheStandardStreams) {
    const int savedStdin = dup(0);
    ASSERT_GE(savedStdin, 0);
    close(0);
    HANDLE handle = CreateScratch("listpad.pdb");
    dup2(savedStdin, 0);
    close(savedStdin);
    EXPECT_GT(handle, 2);
    CloseHandle(handle);
}

TEST_F(FilesTest, CloseHandleRejectsInvalidHandles) {
    SetLastError(0);
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    HANDLE handle = CreateScratch("listpad.pdb");
    EXPECT_TRUE(CloseHandle(handle));
    EXPECT_FALSE(CloseHandle(handle)) << "a handle closes once";
}

TEST_F(FilesTest, CFileReadsRegularFilesOnly) {
    CFile file;
    EXPECT_FALSE(file.Open(Path("bookmark.dat")));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    WriteFile("bookmark.dat", "abcdef");
    ASSERT_TRUE(file.Open(Path("bookmark.dat")));
    EXPECT_EQ(file.GetLength(), 6u);
    char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, 8), 6u);
    EXPECT_STREQ(buffer, "abcdef");
    file.Close();
    EXPECT_FALSE(file.IsOpen());

    // A pipe would hold the open until something wrote to it.
    ASSERT_EQ(mkfifo(NativeName("pipe").constData(), 0600), 0);
    EXPECT_FALSE(file.Open(Path("pipe")));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(file.Open(m_dir.path()));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST_F(FilesTest, CFileFindTellsWhetherANameExists) {
    CFileFind finder;
    EXPECT_FALSE(finder.FindFile(Path("English Dictionary (large).pdb")));
    WriteFile("English Dictionary (large).pdb", "x");
    EXPECT_TRUE(finder.FindFile(Path("English Dictionary (large).pdb")));
    EXPECT_EQ(finder.GetFilePath(), Path("English Dictionary (large).pdb"));
    finder.Close();
    EXPECT_TRUE(finder.GetFilePath().isEmpty());
    EXPECT_FALSE(finder.FindFile(QString()));
}

int FailRename(const QString&, FileStep step) {
    return step == FileStep::kRename ? EIO : 0;
}

TEST_F(FilesTest, MoveFileReplaceSwapsInTheNewFileOrLeavesTheOld) {
    WriteFile("bookmark.dat", "old");
    WriteFile("bookmark.dat.new", "new");
    SetFileFaultHookForTesting(&FailRename);
    EXPECT_FALSE(MoveFileReplace(Path("bookmark.dat.new"), Path("bookmark.dat")));
    EXPECT_EQ(GetLastError(), ERROR_GEN_FAILURE);
    SetFileFaultHookForTesting(nullptr);
    EXPECT_EQ(ReadFile("bookmark.dat"), QByteArray("old"));

    EXPECT_TRUE(MoveFileReplace(Path("bookmark.dat.new"), Path("bookmark.dat")));
    EXPECT_EQ(ReadFile("bookmark.dat"), QByteArray("new"));
    EXPECT_FALSE(QFile::exists(Path("bookmark.dat.new")));
    EXPECT_FALSE(MoveFileReplace(Path("bookmark.dat.new"), Path("bookmark.dat")));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(FilesTest, ReplaceFileContentsWritesThroughLinksAndKeepsTheTargetsRights) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("elsewhere"));
    WriteFile("elsewhere/marks", "old");
    ASSERT_EQ(chmod(NativeName("elsewhere/marks").constData(), 0640), 0);
    // Root gives the new file to the old one's owner, as root's save must.
    const uid_t owner = geteuid() == 0 ? 65534 : geteuid();
    const gid_t group = geteuid() == 0 ? 65534 : getegid();
    ASSERT_EQ(chown(NativeName("elsewhere/marks").constData(), owner, group), 0);
    ASSERT_TRUE(QFile::link("elsewhere/marks", Path("chain")));
    ASSERT_TRUE(QFile::link("chain", Path("bookmark.dat")));

    SetLastError(ERROR_SUCCESS);
    ASSERT_TRUE(ReplaceFileContents(Path("bookmark.dat"), "new"));
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(QFileInfo(Path("bookmark.dat")).symLinkTarget(), Path("chain"));
    EXPECT_EQ(QFileInfo(Path("chain")).symLinkTarget(), Path("elsewhere/marks"));
    EXPECT_EQ(ReadFile("elsewhere/marks"), QByteArray("new"));
    struct stat st = {};
    ASSERT_EQ(stat(NativeName("elsewhere/marks").constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_uid, owner);
    EXPECT_EQ(st.st_gid, group);
    EXPECT_EQ(QDir(Path("elsewhere")).entryList(QDir::Files), QStringList{"marks"});

    // A link to a file not there yet makes it, and stays a link.
    ASSERT_TRUE(QFile::link("elsewhere/fresh", Path("dangling")));
    ASSERT_TRUE(ReplaceFileContents(Path("dangling"), "made"));
    EXPECT_TRUE(QFileInfo(Path("dangling")).isSymLink());
    EXPECT_EQ(ReadFile("elsewhere/fresh"), QByteArray("made"));
}

}  // namespace

TEST_F(FilesTest, SettingsLiveBesideTheProgramAndSurviveARestart) {
    SetModuleFileNameForTesting(Path(QStringLiteral("lexivane")));
    EXPECT_EQ(SettingsFilePath(), Path(QStringLiteral("lexivane.ini")));
    EXPECT_EQ(ReadSetting(QStringLiteral("zoom"), 100).toInt(), 100);
    ASSERT_TRUE(WriteSetting(QStringLiteral("zoom"), 150));
    EXPECT_TRUE(QFileInfo::exists(Path(QStringLiteral("lexivane.ini"))));
    EXPECT_EQ(ReadSetting(QStringLiteral("zoom"), 100).toInt(), 150);

    // A program folder that is not a folder: nothing can be saved, and
    // reading gives the fallback.
    WriteFile(QStringLiteral("plain"), "x");
    SetModuleFileNameForTesting(Path(QStringLiteral("plain/lexivane")));
    EXPECT_FALSE(WriteSetting(QStringLiteral("zoom"), 200));
    EXPECT_EQ(ReadSetting(QStringLiteral("zoom"), 100).toInt(), 100);
    SetModuleFileNameForTesting(QString());
}
