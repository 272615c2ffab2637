#include "platform/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <array>
#include <cerrno>
#include <string>
#include <string_view>
#include <utility>

#include "base/files.h"

namespace platform {

namespace {

thread_local DWORD t_lastError = ERROR_SUCCESS;
FileFaultHook s_faultHook = nullptr;

QByteArray NativePath(const QString& path) {
    return QFile::encodeName(path);
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

// Hands the base layer's file steps to the test's hook with their platform names.
int ForwardFault(const std::string& path, lexivane_base::FileStep step) {
    const FileStep ours =
        step == lexivane_base::FileStep::kWrite ? FileStep::kWrite : FileStep::kRename;
    return s_faultHook(QFile::decodeName(QByteArray::fromStdString(path)), ours);
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
    int fd =
        lexivane_base::MoveAboveStandardStreams(open(NativePath(path).constData(), flags, 0666));
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
    lexivane_base::SetFileFaultHookForTesting(hook != nullptr ? &ForwardFault : nullptr);
}

BOOL MoveFileReplace(const QString& from, const QString& to) {
    const int err =
        lexivane_base::RenameDurably(NativePath(from).toStdString(), NativePath(to).toStdString());
    if (err == 0) return TRUE;
    t_lastError = LastErrorFromErrno(err);
    return FALSE;
}

BOOL ReplaceFileContents(const QString& path, QByteArrayView bytes) {
    const int err = lexivane_base::ReplaceFileContents(
        NativePath(path).toStdString(),
        std::string_view(bytes.data(), static_cast<size_t>(bytes.size())));
    if (err == 0) return TRUE;
    t_lastError = LastErrorFromErrno(err);
    return FALSE;
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
