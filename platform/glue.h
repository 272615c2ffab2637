// Process-wide services the pages share: the platform type, program-directory
// paths, engine text, and the libraries the program loads by name.
#ifndef LEXIVANE_PLATFORM_GLUE_H_
#define LEXIVANE_PLATFORM_GLUE_H_

#include <QString>

#include "platform/types.h"

// The shell's activation record, passed between the activate and
// setting-change handling of the pages.
struct SHACTIVATEINFO {
    DWORD cbSize;
    uint32_t hwndLastFocus;
    uint32_t flags;
};
static_assert(sizeof(SHACTIVATEINFO) == 12);

// A library loaded with LoadLibraryW; null when none.
struct ModuleRecord;
using HMODULE = ModuleRecord*;

// Set up at start-up by the application object and used by the pages.
extern HMODULE g_hHtmlViewLib;           // the HTML view library; null when not loaded
extern QString g_strPlatformType;        // platform type; empty = not read yet
extern SHACTIVATEINFO g_shActivateInfo;  // zero except cbSize = 12 once prepared

// Loads a library of the platform by file name (ignoring case). The only one
// this system has is "htmlview.dll", the HTML view control, which is built in:
// loading it marks the control ready and counts a reference. Any other name
// gives null with ERROR_MOD_NOT_FOUND.
HMODULE LoadLibraryW(const QString& name);
// Drops one reference; FALSE with ERROR_INVALID_HANDLE for null or a module
// that is no longer loaded.
BOOL FreeLibrary(HMODULE module);
// Tests: the number of references a loaded module holds (0 once freed).
int ModuleReferenceCount(const QString& name);

// System parameters. Only SPI_GETPLATFORMTYPE is answered: it writes the
// platform type as UTF-16 with a terminator into `pvParam`, `uiParam` bytes
// long, and fails with ERROR_INVALID_PARAMETER when that is too small.
inline constexpr UINT SPI_GETPLATFORMTYPE = 257;
BOOL SystemParametersInfoW(UINT action, UINT uiParam, void* pvParam, UINT flags);
// Tests: the platform type the system reports ("PocketPC" unless changed).
void SetSystemPlatformTypeForTesting(const QString& type);

// Sets `target` to the platform type the system reports; empty when the query fails.
void ReadPlatformType(QString& target);
// TRUE exactly when the platform type is "pocketpc" in any case; reads the
// type first when g_strPlatformType is still empty.
BOOL IsPocketPC();

// The program's own file path, from /proc/self/exe.
QString GetModuleFileName();
// Tests: make the program appear to live at `path` (empty restores /proc/self/exe).
void SetModuleFileNameForTesting(const QString& path);
// Replaces the bare file name `name` by the program's directory, '/', `name`.
void MakeModulePath(QString& name);

// The engine's 8-bit copy of `text`: a new[] buffer of length + 1 bytes,
// Windows-1252, one byte per UTF-16 unit ('?' for units that have no byte),
// NUL-terminated. Null for an empty text. The caller delete[]s it.
char* WideToNarrow(const QString& text);
// The characters of `text` that engine text can hold (Windows-1252), in
// order; the others (emoji, CJK, right-to-left scripts, ...) are left out,
// where WideToNarrow would make a '?' of each.
QString EngineCharacters(const QString& text);
// Engine text (Windows-1252, NUL-terminated) as a UI string; null gives empty.
QString NarrowToWide(const char* text);

#endif  // LEXIVANE_PLATFORM_GLUE_H_
