#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <array>
#include <cerrno>
#include <climits>
#include <utility>

namespace platform {

namespace {

thread_local DWORD t_lastError = ERROR_SUCCESS;
FileFaultHook s_faultHook = nullptr;

QByteArray NativePath(const QString& path) {
    return QFile::encodeName(path);
}

// Keeps descriptors off 0, 1 and 2: handle 0 means "never opened" to the
// application object, and the standard streams must never be taken over by a
// dictionary when the program was started with them closed.
int MoveAboveStandardStreams(int fd) {
    if (fd < 0 || fd > 2) return fd;
    int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    int err = errno;
    close(fd);
    errno = err;
    return moved;
}

void SetLastErrorFromErrno() {
    t_lastError = LastErrorFromErrno(errno);
}

// True, with errno set, when a test has made `step` on `path` fail.
bool Faulted(const QString& path, FileStep step) {
    const int err = s_faultHook != nullptr ? s_faultHook(path, step) : 0;
    if (err != 0) errno = err;
    return err != 0;
}

// The directory part of `path` with its last slash ("" for a bare name) and
// the name after it.
std::pair<QByteArray, QByteArray> SplitPath(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return {path.left(slash + 1), path.mid(slash + 1)};
}

// `path` with the links of its last part followed to the file they name,
// which need not exist yet; `path` itself when it is no link. Empty, with
// errno set, when a link cannot be read or the links go round in a loop.
QByteArray ResolveLinks(QByteArray path) {
    constexpr int kMaxLinks = 40;  // as the kernel allows in one lookup
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        char target[PATH_MAX];
        const ssize_t length = readlink(path.constData(), target, sizeof target);
        if (length < 0) return errno == EINVAL || errno == ENOENT ? path : QByteArray();
        if (static_cast<size_t>(length) == sizeof target) {
            errno = ENAMETOOLONG;
            return {};
        }
        QByteArray next(target, length);
        path = next.startsWith('/') ? next : SplitPath(path).first + next;
    }
    errno = ELOOP;
    return {};
}

constexpr char kTemporaryMark[] = ".new";
constexpr int kUniqueLetters = 6;

// Removes what saves of `target` left when the program was stopped between
// creating their temporary file and renaming it: "NAME.new" (the name older
// versions used) and "NAME.new-XXXXXX" beside it. unlink never follows a
// link, so a link planted under such a name goes and what it names stays; a
// directory of that name stays too.
void RemoveStaleTemporaries(const QByteArray& target) {
    const auto [directory, name] = SplitPath(target);
    DIR* dir = opendir(directory.isEmpty() ? "." : directory.constData());
    if (dir == nullptr) return;
    const QByteArray stem = name + kTemporaryMark;
    while (const dirent* entry = readdir(dir)) {
        const QByteArrayView found(entry->d_name);
        const bool unique = found.size() == stem.size() + 1 + kUniqueLetters &&
                            found.startsWith(stem) && found.at(stem.size()) == '-';
        if (found == stem || unique) unlinkat(dirfd(dir), entry->d_name, 0);
    }
    closedir(dir);
}

// Creates a new file beside `target` for writing, named "NAME.new-XXXXXX"
// with letters no existing file has: O_EXCL with O_NOFOLLOW never opens a
// file or link that is already there. Returns the descriptor and sets
// `name`, or -1 with errno set.
int CreateTemporary(const QByteArray& target, QByteArray& name) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    constexpr int kAttempts = 100;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        name = target + kTemporaryMark + '-';
        for (int i = 0; i < kUniqueLetters; ++i)
            name += kLetters[QRandomGenerator::global()->bounded(int{sizeof kLetters} - 1)];
        if (Faulted(QFile::decodeName(name), FileStep::kWrite)) return -1;
        const int fd = open(name.constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd >= 0) return MoveAboveStandardStreams(fd);
        if (errno != EEXIST) return -1;
    }
    return -1;
}

bool WriteAll(int fd, QByteArrayView bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

}  // namespace

DWORD GetLastError() {
    return t_lastError;
}

void SetLastError(DWORD code) {
    t_lastError = code;
}

DWORD LastErrorFromErrno(int err) {
    switch (err) {
        case 0:
            return ERROR_SUCCESS;
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case EMFILE:
        case ENFILE:
            return ERROR_TOO_MANY_OPEN_FILES;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case ENXIO:  // a socket, or a device without its driver
            return ERROR_ACCESS_DENIED;
        case EBADF:
            return ERROR_INVALID_HANDLE;
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case EWOULDBLOCK:
            return ERROR_SHARING_VIOLATION;
        case EEXIST:
            return ERROR_FILE_EXISTS;
        case EINVAL:
            return ERROR_INVALID_PARAMETER;
        case ENOSPC:
        case EDQUOT:
            return ERROR_DISK_FULL;
        case ENAMETOOLONG:
            return ERROR_FILENAME_EXCED_RANGE;
        case EFBIG:
            return ERROR_FILE_TOO_LARGE;
        default:
            return ERROR_GEN_FAILURE;
    }
}

QString ErrorText(DWORD code) {
    static constexpr std::array<std::pair<DWORD, const char*>, 14> kTexts = {{
        {ERROR_SUCCESS, "Success"},
        {ERROR_FILE_NOT_FOUND, "No such file or directory"},
        {ERROR_PATH_NOT_FOUND, "Not a directory"},
        {ERROR_TOO_MANY_OPEN_FILES, "Too many open files"},
        {ERROR_ACCESS_DENIED, "Permission denied"},
        {ERROR_INVALID_HANDLE, "Bad file descriptor"},
        {ERROR_NOT_ENOUGH_MEMORY, "Cannot allocate memory"},
        {ERROR_GEN_FAILURE, "Input/output error"},
        {ERROR_SHARING_VIOLATION, "The file is in use by another program"},
        {ERROR_FILE_EXISTS, "File exists"},
        {ERROR_INVALID_PARAMETER, "Invalid argument"},
        {ERROR_DISK_FULL, "No space left on device"},
        {ERROR_FILENAME_EXCED_RANGE, "File name too long"},
        {ERROR_FILE_TOO_LARGE, "File too large"},
    }};
    for (const auto& [known, text] : kTexts) {
        if (known == code) return QString::fromLatin1(text);
    }
    return QStringLiteral("Error %1").arg(code);
}

HANDLE CreateFileForMappingW(const QString& path, DWORD access, DWORD share, const void*,
                             DWORD creation, DWORD, HANDLE) {
    const bool read = access & GENERIC_READ;
    const bool write = access & GENERIC_WRITE;
    // O_NONBLOCK: a FIFO under the name would otherwise keep open() waiting
    // for a writer that never comes. It changes nothing for a regular file.
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    flags |= write ? (read ? O_RDWR : O_WRONLY) : O_RDONLY;
    bool truncate = false;
    switch (creation) {
        case CREATE_NEW:
            flags |= O_CREAT | O_EXCL;
            break;
        case CREATE_ALWAYS:
            flags |= O_CREAT;
            truncate = true;
            break;
        case OPEN_EXISTING:
            break;
        case OPEN_ALWAYS:
            flags |= O_CREAT;
            break;
        case TRUNCATE_EXISTING:
            truncate = true;
            break;
        default:
            t_lastError = ERROR_INVALID_PARAMETER;
            return INVALID_HANDLE_VALUE;
    }
    if (truncate && !write) {
        t_lastError = ERROR_ACCESS_DENIED;
        return INVALID_HANDLE_VALUE;
    }
    if (path.isEmpty()) {
        t_lastError = ERROR_PATH_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }

    // O_TRUNC is never passed to open: an existing file is cut only after
    // its lock is ours, so a copy of the program that loses the race for the
    // lock leaves the winner's file as it was.
    int fd = MoveAboveStandardStreams(open(NativePath(path).constData(), flags, 0666));
    if (fd < 0) {
        SetLastErrorFromErrno();
        return INVALID_HANDLE_VALUE;
    }
    auto fail = [fd](DWORD code) {
        close(fd);
        t_lastError = code;
        return INVALID_HANDLE_VALUE;
    };
    struct stat st;
    if (fstat(fd, &st) != 0) return fail(LastErrorFromErrno(errno));
    // Only a regular file can be mapped. The type is that of the file now
    // open, not of whatever the name pointed to a moment earlier.
    if (!S_ISREG(st.st_mode)) return fail(ERROR_ACCESS_DENIED);

    int lock = LOCK_EX;
    if (share & FILE_SHARE_WRITE) {
        lock = 0;
    } else if ((share & FILE_SHARE_READ) && !write) {
        lock = LOCK_SH;
    }
    if (lock != 0 && flock(fd, lock | LOCK_NB) != 0) return fail(LastErrorFromErrno(errno));
    if (truncate && ftruncate(fd, 0) != 0) return fail(LastErrorFromErrno(errno));
    return fd;
}

BOOL CloseHandle(HANDLE handle) {
    if (handle < 0 || handle > INT32_MAX || close(static_cast<int>(handle)) != 0) {
        t_lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    return TRUE;
}

void SetFileFaultHookForTesting(FileFaultHook hook) {
    s_faultHook = hook;
}

BOOL MoveFileReplace(const QString& from, const QString& to) {
    if (Faulted(from, FileStep::kRename) ||
        rename(NativePath(from).constData(), NativePath(to).constData()) != 0) {
        SetLastErrorFromErrno();
        return FALSE;
    }
    // The rename itself lives in the directory: sync it so that the new name
    // survives a power loss too.
    int dir = open(NativePath(QFileInfo(to).absolutePath()).constData(),
                   O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return TRUE;
}

BOOL ReplaceFileContents(const QString& path, QByteArrayView bytes) {
    auto fail = [](int err) {
        t_lastError = LastErrorFromErrno(err);
        return FALSE;
    };
    if (path.isEmpty()) return fail(ENOENT);
    const QByteArray target = ResolveLinks(NativePath(path));
    if (target.isEmpty()) return fail(errno);
    RemoveStaleTemporaries(target);

    struct stat existing;
    const bool exists = stat(target.constData(), &existing) == 0;
    if (!exists && errno != ENOENT) return fail(errno);
    if (exists) {
        if (!S_ISREG(existing.st_mode)) return fail(EACCES);
        if (Faulted(QFile::decodeName(target), FileStep::kWrite)) return fail(errno);
        const int fd = open(target.constData(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) return fail(errno);
        close(fd);
    }

    QByteArray temporary;
    const int fd = CreateTemporary(target, temporary);
    if (fd < 0) return fail(errno);
    bool ok = true;
    if (exists) {
        // The new file takes the old one's place for whoever may read or
        // change it. Only root can give a file away: a save by root must not
        // take the file from its owner.
        const bool owned = existing.st_uid == geteuid() && existing.st_gid == getegid();
        if (!owned && geteuid() == 0) ok = fchown(fd, existing.st_uid, existing.st_gid) == 0;
        ok = ok && fchmod(fd, existing.st_mode & 07777) == 0;
    }
    ok = ok && WriteAll(fd, bytes) && fsync(fd) == 0;
    int err = ok ? 0 : errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        unlink(temporary.constData());
        return fail(err);
    }
    if (!MoveFileReplace(QFile::decodeName(temporary), QFile::decodeName(target))) {
        unlink(temporary.constData());
        return FALSE;
    }
    return TRUE;
}

CFile::~CFile() {
    Close();
}

BOOL CFile::Open(const QString& path) {
    Close();
    // O_NONBLOCK: opening a pipe for reading would wait for a writer.
    const int fd =
        Faulted(path, FileStep::kRead)
            ? -1
            : open(NativePath(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        SetLastErrorFromErrno();
        return FALSE;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        t_lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    m_fd = fd;
    return TRUE;
}

uint64_t CFile::GetLength() const {
    struct stat st;
    if (m_fd < 0 || fstat(m_fd, &st) != 0) return 0;
    return static_cast<uint64_t>(st.st_size);
}

UINT CFile::Read(void* buffer, UINT count) {
    UINT done = 0;
    auto* out = static_cast<char*>(buffer);
    while (m_fd >= 0 && done < count) {
        ssize_t n = read(m_fd, out + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) SetLastErrorFromErrno();
        if (n <= 0) break;
        done += static_cast<UINT>(n);
    }
    return done;
}

void CFile::Close() {
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
}

BOOL CFileFind::FindFile(const QString& path) {
    struct stat st;
    if (path.isEmpty() || stat(NativePath(path).constData(), &st) != 0) {
        m_strFound.clear();
        t_lastError = path.isEmpty() ? ERROR_FILE_NOT_FOUND : LastErrorFromErrno(errno);
        return FALSE;
    }
    m_strFound = path;
    return TRUE;
}

}  // namespace platform
