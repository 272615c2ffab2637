// Fitting an entry into the caller's buffer.
#ifndef LEXIVANE_LEXICORE_RENDER_H_
#define LEXIVANE_LEXICORE_RENDER_H_

#include <cstdint>
#include <string_view>

namespace lexicore {

enum class EntryForm { kHtml, kText };

// The note that ends an entry cut to fit, in each form. In text it stands on a
// line of its own.
inline constexpr std::string_view kHtmlContinuesNote =
    "<p><i>(This entry continues; it is too long to show in full.)</i></p>";
inline constexpr std::string_view kTextContinuesNote =
    "\n(This entry continues; it is too long to show in full.)";

// Writes entry into buffer[0..size) without its kSenseBreak markers, always
// NUL-terminated. An entry that does not fit is cut at the last sense
// boundary that leaves room for the continuation note, and the note is added;
// when no boundary fits, or the last one would show less than half of what
// fits (a paragraph longer than the buffer, such as a country's long note),
// it is cut at the last place outside an HTML tag or entity (preferring a
// space or a tag start). When even the note does not fit,
// as much of the entry as fits is written, cut the same way. Returns false
// only for a null buffer or size 0.
bool FitEntry(std::string_view entry, EntryForm form, char* buffer, uint32_t size);

}  // namespace lexicore

#endif  // LEXIVANE_LEXICORE_RENDER_H_
