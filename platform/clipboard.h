// The platform clipboard: opened, changed and closed within one operation,
// holding text in an 8-bit form (CF_TEXT, Windows-1252) and a Unicode form
// (CF_UNICODETEXT, UTF-16). On the desktop the Unicode form is the ordinary
// text/plain data; the 8-bit form travels as text/plain;charset=windows-1252.
#ifndef LEXIVANE_PLATFORM_CLIPBOARD_H_
#define LEXIVANE_PLATFORM_CLIPBOARD_H_

#include "platform/types.h"

class QWidget;

inline constexpr UINT CF_TEXT = 1;
inline constexpr UINT CF_UNICODETEXT = 13;

// The MIME type of the 8-bit form.
inline constexpr const char* kAnsiTextMimeType = "text/plain;charset=windows-1252";

// Opens the clipboard; FALSE (ERROR_ACCESS_DENIED) when it is already open or
// there is no GUI application.
BOOL OpenClipboard(QWidget* owner);
// Removes everything from the clipboard; FALSE when it is not open.
BOOL EmptyClipboard();
// Puts a NUL-terminated block on the clipboard: for CF_TEXT a new[] char
// block, for CF_UNICODETEXT a new[] char16_t block. The clipboard owns such a
// block from then on, also when the call fails (FALSE when the clipboard is
// not open or the block is null). Any other format fails and leaves the block
// with the caller.
BOOL SetClipboardData(UINT format, void* block);
// The clipboard's data in that format (const char* or const char16_t*,
// NUL-terminated), valid until CloseClipboard; null when there is none or the
// clipboard is not open.
const void* GetClipboardData(UINT format);
// Publishes what was set since OpenClipboard and closes the clipboard; FALSE
// when it was not open.
BOOL CloseClipboard();

#endif  // LEXIVANE_PLATFORM_CLIPBOARD_H_
