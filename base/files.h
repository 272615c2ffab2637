// Saving a file whole on POSIX, for the dictionary compiler and the program's
// bookmark file alike: a reader of the file, or a program or machine stopped
// at any moment, sees the old contents or the new ones, never a mixture.
#ifndef LEXIVANE_BASE_FILES_H_
#define LEXIVANE_BASE_FILES_H_

#include <string>
#include <string_view>

namespace lexivane_base {

// Replaces the contents of the file `path` names with `bytes`, so that it
// holds the old contents or the new whole whenever the program or the machine
// stops. A symbolic link at `path` is resolved once and stays a link: the
// bytes go to a temporary file created beside the link's target, under a name
// no other file has ("NAME.new-XXXXXX") and never through a link, are flushed
// to disk, take the target's permission bits (and, for root, its owner) and
// the file is renamed over the target; a new file gets 0666 less the umask.
// An existing target that is not a regular file, or that cannot be opened for
// both reading and writing, is refused and left as it is: what cannot be read
// was never read, and must not be lost. Temporary files that an earlier save
// left when it was stopped are removed first. Returns 0, or the errno value of
// the step that failed; the target is then unchanged and no temporary file is
// left.
[[nodiscard]] int ReplaceFileContents(const std::string& path, std::string_view bytes);

// Renames `from` over `to` in one step (both on one file system) and syncs
// the directory of `to`, so that the new name survives a power loss too.
// Returns 0, or the errno value of the failure, in which case `to` is
// unchanged.
[[nodiscard]] int RenameDurably(const std::string& from, const std::string& to);

// Keeps descriptors off 0, 1 and 2, which belong to the standard streams even
// when the program was started with them closed: `fd` itself when it is
// above 2 or negative, otherwise a close-on-exec copy above 2, with `fd`
// closed. -1, with errno set, when no copy can be made.
int MoveAboveStandardStreams(int fd);

// Tests only: the steps above into which a test can inject the system's
// refusal.
enum class FileStep {
    kWrite,   // ReplaceFileContents opening the target, then creating its temporary file
    kRename,  // RenameDurably just before it renames, with the name of the file moved
};
// Called with the path and the step before each of those steps; a non-zero
// errno value makes the step fail with that error, as if the system had
// refused it. Null restores normal behaviour.
using FileFaultHook = int (*)(const std::string& path, FileStep step);
void SetFileFaultHookForTesting(FileFaultHook hook);

}  // namespace lexivane_base

#endif  // LEXIVANE_BASE_FILES_H_
