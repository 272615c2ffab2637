// Engine text: the dictionary engine takes and gives 8-bit text in the
// Windows-1252 code page, one byte for each UTF-16 unit of the program's own
// text, so that accented headwords such as "café" keep their letters.
#ifndef LEXIVANE_PLATFORM_TEXT_H_
#define LEXIVANE_PLATFORM_TEXT_H_

#include <QString>
#include <memory>

namespace platform {

// The engine's copy of `text`: length + 1 bytes, Windows-1252, one byte per
// UTF-16 unit ('?' for units the code page has no byte for), NUL-terminated.
// Null for an empty text: an empty text never becomes an empty engine text.
std::unique_ptr<char[]> WideToNarrow(const QString& text);

// The characters of `text` that engine text can hold (Windows-1252), in
// order; the others (emoji, CJK, right-to-left scripts, ...) are left out,
// where WideToNarrow would make a '?' of each.
QString EngineCharacters(const QString& text);

// Engine text (Windows-1252, NUL-terminated) as UI text; null gives empty.
QString NarrowToWide(const char* text);

}  // namespace platform

#endif  // LEXIVANE_PLATFORM_TEXT_H_
