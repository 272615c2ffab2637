// Files on POSIX with the handheld platform's calling conventions: handles,
// last-error codes, share modes as locks, and the framework's CFile/CFileFind.
#ifndef LEXIVANE_PLATFORM_FILES_H_
#define LEXIVANE_PLATFORM_FILES_H_

#include <QByteArrayView>
#include <QString>
#include <cstdint>

#include "platform/types.h"

namespace platform {

// The calling thread's last-error code (ERROR_* values). Every failing call
// below sets it; a successful call leaves it as it was.
DWORD GetLastError();
void SetLastError(DWORD code);

// Maps errno to the nearest last-error code (ENOENT to ERROR_FILE_NOT_FOUND,
// EACCES to ERROR_ACCESS_DENIED, EWOULDBLOCK to ERROR_SHARING_VIOLATION, ...).
DWORD LastErrorFromErrno(int err);

// The last-error code `code` in words, as the system describes the failures
// it stands for: "Permission denied" for ERROR_ACCESS_DENIED, "No space left on
// device" for ERROR_DISK_FULL, ...; "Error N" for a code without words.
QString ErrorText(DWORD code);

// Opens `path` for the engine to map. `access` is GENERIC_READ and/or
// GENERIC_WRITE; `creation` is CREATE_NEW, CREATE_ALWAYS, OPEN_EXISTING,
// OPEN_ALWAYS or TRUNCATE_EXISTING with their usual meanings. `share` 0 takes
// an exclusive lock on the file, FILE_SHARE_READ on a read-only open a shared
// one, FILE_SHARE_WRITE none; the lock is taken before anything is truncated,
// so an open that meets another holder's lock fails with
// ERROR_SHARING_VIOLATION and leaves the file untouched. Anything but a
// regular file (a directory, FIFO, socket or device) is refused at once with
// ERROR_ACCESS_DENIED; a FIFO is never waited on. `securityAttributes`, the attribute and
// flag bits and `templateFile` are accepted and have no effect. Returns a
// descriptor (never 0, 1 or 2) that the caller closes with CloseHandle, or
// INVALID_HANDLE_VALUE with the last error set.
HANDLE CreateFileForMappingW(const QString& path, DWORD access, DWORD share,
                             const void* securityAttributes, DWORD creation,
                             DWORD flagsAndAttributes, HANDLE templateFile);

// Closes a handle from CreateFileForMappingW, releasing its lock. Returns FALSE
// with ERROR_INVALID_HANDLE for INVALID_HANDLE_VALUE or a handle that is not open.
BOOL CloseHandle(HANDLE handle);

// Renames `from` over `to` in one step (both in the same directory) and makes
// the rename durable (lexivane_base::RenameDurably). Returns FALSE with the
// last error set when it fails, in which case `to` is unchanged.
BOOL MoveFileReplace(const QString& from, const QString& to);

// Replaces the contents of the file `path` names with `bytes` as
// lexivane_base::ReplaceFileContents does: the file holds the old contents or
// the new whole whenever the program or the machine stops; a link is resolved
// once and stays a link; the target's permission bits and owner are kept; a
// target that is not a regular file or cannot be both read and written is
// refused; temporary files that an earlier stopped save left are removed.
// Returns FALSE with the last error set when anything fails; the target is
// then unchanged and no temporary file is left.
BOOL ReplaceFileContents(const QString& path, QByteArrayView bytes);

// Tests only: the steps of the file operations here into which a test can
// inject the system's refusal.
enum class FileStep {
    kRead,    // CFile::Open, with the file opened
    kWrite,   // ReplaceFileContents opening the target, then creating its temporary file
    kRename,  // MoveFileReplace or ReplaceFileContents just before renaming, with the file moved
};
// Called with the path and the step before each of those steps; a non-zero
// errno value makes the step fail with that error, as if the system had
// refused it. Null restores normal behaviour.
using FileFaultHook = int (*)(const QString& path, FileStep step);
void SetFileFaultHookForTesting(FileFaultHook hook);

// The framework's file object, here only for reading: one file open at a
// time, closed by Close or the destructor. Not copyable.
class CFile {
  public:
    CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    virtual ~CFile();

    // Opens `path`, following links, for reading. Only a regular file opens:
    // a directory, pipe or device is refused with ERROR_ACCESS_DENIED, without
    // waiting for a writer to a pipe. Returns FALSE with the last error set; a
    // file already open here is closed first.
    BOOL Open(const QString& path);
    bool IsOpen() const { return m_fd >= 0; }

    // Length in bytes, 0 when not open.
    uint64_t GetLength() const;
    // Reads up to `count` bytes at the current position; returns the number read.
    UINT Read(void* buffer, UINT count);
    // Closes the file; a no-op when nothing is open.
    void Close();

  private:
    int m_fd = -1;
};

// The framework's file finder, used only to test whether a named file exists.
class CFileFind {
  public:
    CFileFind() = default;
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;
    virtual ~CFileFind() = default;

    // TRUE when a file or directory of that exact name exists (no wildcards).
    BOOL FindFile(const QString& path);
    // The full path found by the last successful FindFile.
    QString GetFilePath() const { return m_strFound; }
    void Close() { m_strFound.clear(); }

  private:
    QString m_strFound;
};

}  // namespace platform

#endif  // LEXIVANE_PLATFORM_FILES_H_
