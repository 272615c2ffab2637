#include "base/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <random>
#include <utility>

namespace lexivane_base {
namespace {

FileFaultHook fault_hook = nullptr;

// True, with errno set, when a test has made `step` on `path` fail.
bool Faulted(const std::string& path, FileStep step) {
    const int err = fault_hook != nullptr ? fault_hook(path, step) : 0;
    if (err != 0) errno = err;
    return err != 0;
}

// The directory part of `path` with its last slash ("" for a bare name) and
// the name after it.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {std::string(), path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

// `path` with the links of its last part followed to the file they name,
// which need not exist yet; `path` itself when it is no link. Empty, with
// errno set, when a link cannot be read or the links go round in a loop.
std::string ResolveLinks(std::string path) {
    constexpr int kMaxLinks = 40;  // as the kernel allows in one lookup
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        char target[PATH_MAX];
        const ssize_t length = readlink(path.c_str(), target, sizeof target);
        if (length < 0) return errno == EINVAL || errno == ENOENT ? path : std::string();
        if (static_cast<size_t>(length) == sizeof target) {
            errno = ENAMETOOLONG;
            return {};
        }
        std::string next(target, static_cast<size_t>(length));
        path = next.starts_with('/') ? next : SplitPath(path).first + next;
    }
    errno = ELOOP;
    return {};
}

constexpr char kTemporaryMark[] = ".new";
constexpr size_t kUniqueLetters = 6;

// Removes what saves of `target` left when they were stopped between
// creating their temporary file and renaming it: "NAME.new" (the name older
// versions of the program used) and "NAME.new-XXXXXX" beside it. unlink never
// follows a link, so a link planted under such a name goes and what it names
// stays; a directory of that name stays too.
void RemoveStaleTemporaries(const std::string& target) {
    const auto [directory, name] = SplitPath(target);
    DIR* dir = opendir(directory.empty() ? "." : directory.c_str());
    if (dir == nullptr) return;
    const std::string stem = name + kTemporaryMark;
    while (const dirent* entry = readdir(dir)) {
        const std::string_view found(entry->d_name);
        const bool unique = found.size() == stem.size() + 1 + kUniqueLetters &&
                            found.starts_with(stem) && found[stem.size()] == '-';
        if (found == stem || unique) unlinkat(dirfd(dir), entry->d_name, 0);
    }
    closedir(dir);
}

// Creates a new file beside `target` for writing, named "NAME.new-XXXXXX"
// with letters no existing file has: O_EXCL with O_NOFOLLOW never opens a
// file or link that is already there. Returns the descriptor and sets *name,
// or -1 with errno set.
int CreateTemporary(const std::string& target, std::string* name) {
    static constexpr std::string_view kLetters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    constexpr int kAttempts = 100;
    std::random_device random;
    std::uniform_int_distribution<size_t> letter(0, kLetters.size() - 1);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        *name = target + kTemporaryMark + '-';
        for (size_t i = 0; i < kUniqueLetters; ++i) name->push_back(kLetters[letter(random)]);
        if (Faulted(*name, FileStep::kWrite)) return -1;
        const int fd = open(name->c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd >= 0) return MoveAboveStandardStreams(fd);
        if (errno != EEXIST) return -1;
    }
    return -1;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Refuses an existing `target` that a save must not replace: anything but a
// regular file, and a file this process cannot both read and write. Returns
// 0 or the errno value of the refusal.
int CheckReplaceable(const std::string& target, const struct stat& existing) {
    if (!S_ISREG(existing.st_mode)) return EACCES;
    if (Faulted(target, FileStep::kWrite)) return errno;
    const int fd = open(target.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return errno;
    close(fd);
    return 0;
}

// Gives the new file `fd` the place of `existing` for whoever may read or
// change it: its permission bits and, when root saves, its owner. Only root
// can give a file away, and a save by root must not take the file from its
// owner. False, with errno set, when that fails.
bool TakeOver(int fd, const struct stat& existing) {
    const bool owned = existing.st_uid == geteuid() && existing.st_gid == getegid();
    if (!owned && geteuid() == 0 && fchown(fd, existing.st_uid, existing.st_gid) != 0) {
        return false;
    }
    return fchmod(fd, existing.st_mode & 07777) == 0;
}

}  // namespace

int ReplaceFileContents(const std::string& path, std::string_view bytes) {
    if (path.empty()) return ENOENT;
    const std::string target = ResolveLinks(path);
    if (target.empty()) return errno;
    RemoveStaleTemporaries(target);

    struct stat existing = {};
    const bool exists = stat(target.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT) return errno;
    if (exists) {
        if (const int refused = CheckReplaceable(target, existing); refused != 0) return refused;
    }

    std::string temporary;
    const int fd = CreateTemporary(target, &temporary);
    if (fd < 0) return errno;
    bool ok = (!exists || TakeOver(fd, existing)) && WriteAll(fd, bytes) && fsync(fd) == 0;
    int err = ok ? 0 : errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok) err = RenameDurably(temporary, target);
    if (err != 0) unlink(temporary.c_str());
    return err;
}

int RenameDurably(const std::string& from, const std::string& to) {
    if (Faulted(from, FileStep::kRename) || rename(from.c_str(), to.c_str()) != 0) return errno;
    // The rename itself lives in the directory: sync it so that the new name
    // survives a power loss too.
    const std::string directory = SplitPath(to).first;
    const int dir =
        open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return 0;
}

int MoveAboveStandardStreams(int fd) {
    if (fd < 0 || fd > 2) return fd;
    const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    const int err = errno;
    close(fd);
    errno = err;
    return moved;
}

void SetFileFaultHookForTesting(FileFaultHook hook) {
    fault_hook = hook;
}

}  // namespace lexivane_base
