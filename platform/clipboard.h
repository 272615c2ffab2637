// The clipboard, reached with whole texts. A copy puts the text there in two
// forms, as the handheld did: the Unicode text as ordinary text/plain, and
// its 8-bit engine text (Windows-1252) under a second type that programs
// knowing it may take. Reading takes the Unicode text only.
#ifndef LEXIVANE_PLATFORM_CLIPBOARD_H_
#define LEXIVANE_PLATFORM_CLIPBOARD_H_

#include <QString>

namespace platform {

// The MIME type of the 8-bit form.
inline constexpr const char* kAnsiTextMimeType = "text/plain;charset=windows-1252";

// Replaces what the clipboard holds with `text` in both forms. False, with
// the clipboard untouched, for an empty text or when the program has no
// clipboard (no GUI application).
bool CopyTextToClipboard(const QString& text);
// The clipboard's Unicode text; empty when it holds none.
QString ClipboardText();
// Empties the clipboard.
void ClearClipboard();

}  // namespace platform

#endif  // LEXIVANE_PLATFORM_CLIPBOARD_H_
