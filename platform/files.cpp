#include "platform/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <cerrno>
#include <utility>

namespace {

thread_local DWORD t_lastError = ERROR_SUCCESS;
MoveFileReplaceHook s_moveHook = nullptr;

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
        default:
            return ERROR_GEN_FAILURE;
    }
}

QString ErrorText(DWORD code) {
    static constexpr std::array<std::pair<DWORD, const char*>, 13> kTexts = {{
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

void SetMoveFileReplaceHookForTesting(MoveFileReplaceHook hook) {
    s_moveHook = hook;
}

BOOL MoveFileReplace(const QString& from, const QString& to) {
    if (s_moveHook != nullptr && !s_moveHook(from, to)) {
        t_lastError = ERROR_GEN_FAILURE;
        return FALSE;
    }
    if (rename(NativePath(from).constData(), NativePath(to).constData()) != 0) {
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

CFile::~CFile() {
    Close();
}

BOOL CFile::Open(const QString& path, UINT flags) {
    Close();
    int oflags = O_CLOEXEC | O_NOCTTY;
    switch (flags & 0x3) {
        case modeWrite:
            oflags |= O_WRONLY;
            break;
        case modeReadWrite:
            oflags |= O_RDWR;
            break;
        default:
            oflags |= O_RDONLY;
            break;
    }
    if (flags & modeCreate) {
        oflags |= O_CREAT;
        if (!(flags & modeNoTruncate)) oflags |= O_TRUNC;
    }
    int fd = open(NativePath(path).constData(), oflags, 0666);
    if (fd < 0) {
        SetLastErrorFromErrno();
        return FALSE;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
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

bool CFile::Write(const void* buffer, UINT count) {
    if (m_fd < 0) {
        t_lastError = ERROR_INVALID_HANDLE;
        return false;
    }
    const auto* in = static_cast<const char*>(buffer);
    UINT done = 0;
    while (done < count) {
        ssize_t n = write(m_fd, in + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            SetLastErrorFromErrno();
            return false;
        }
        done += static_cast<UINT>(n);
    }
    return true;
}

bool CFile::Flush() {
    if (m_fd < 0 || fsync(m_fd) != 0) {
        t_lastError = m_fd < 0 ? ERROR_INVALID_HANDLE : LastErrorFromErrno(errno);
        return false;
    }
    return true;
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
