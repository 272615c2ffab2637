// Paths in the program's own folder, where the dictionaries, the engine's
// working files and "bookmark.dat" live.
#ifndef LEXIVANE_PLATFORM_PATHS_H_
#define LEXIVANE_PLATFORM_PATHS_H_

#include <QString>

namespace platform {

// The program's own file path, from /proc/self/exe.
QString GetModuleFileName();
// Tests: make the program appear to live at `path` (empty restores /proc/self/exe).
void SetModuleFileNameForTesting(const QString& path);
// Replaces the bare file name `name` by the program's folder, '/', `name`. A
// program path without a '/' is taken whole as the folder.
void MakeModulePath(QString& name);

}  // namespace platform

#endif  // LEXIVANE_PLATFORM_PATHS_H_
