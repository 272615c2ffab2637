#include "lexicore/render.h"

#include <cstddef>
#include <cstring>

#include "lexicore/builder.h"

namespace lexicore {
namespace {

// Copies entry without sense breaks to out; returns the bytes written.
size_t CopyVisible(std::string_view entry, char* out) {
    char* p = out;
    for (char c : entry) {
        if (c != kSenseBreak) *p++ = c;
    }
    return static_cast<size_t>(p - out);
}

size_t VisibleSize(std::string_view entry) {
    size_t n = entry.size();
    for (char c : entry) n -= c == kSenseBreak;
    return n;
}

// Raw length of the longest prefix that ends at a sense break and shows at
// most `budget` bytes; 0 when none does.
size_t LastSenseBreakWithin(std::string_view entry, size_t budget) {
    size_t visible = 0;
    size_t best = 0;
    for (size_t i = 0; i < entry.size(); ++i) {
        if (entry[i] == kSenseBreak) {
            if (visible > 0) best = i;
        } else if (++visible > budget) {
            break;
        }
    }
    return best;
}

bool IsEntityChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '#';
}

// Raw length of the longest prefix that shows at most `budget` bytes and ends
// outside any HTML tag or character reference, preferring to end before a
// space or a tag.
size_t SafeCut(std::string_view entry, EntryForm form, size_t budget) {
    const bool html = form == EntryForm::kHtml;
    bool in_tag = false;
    bool in_quote = false;
    bool in_entity = false;
    size_t visible = 0;
    size_t last_safe = 0;
    size_t last_good = 0;
    for (size_t i = 0; i < entry.size(); ++i) {
        const char c = entry[i];
        const bool outside = !in_tag && !in_entity;
        if (outside) {
            last_safe = i;
            if (c == ' ' || c == '\n' || (html && c == '<')) last_good = i;
        }
        if (c == kSenseBreak) continue;
        if (++visible > budget) break;
        if (!html) continue;
        if (in_tag) {
            if (c == '"') {
                in_quote = !in_quote;
            } else if (c == '>' && !in_quote) {
                in_tag = false;
            }
        } else if (in_entity) {
            if (c == ';' || !IsEntityChar(c)) in_entity = false;
            if (c == '<') in_tag = true;
            if (c == '&') in_entity = true;
        } else if (c == '<') {
            in_tag = true;
        } else if (c == '&') {
            in_entity = true;
        }
        if (visible == budget && !in_tag && !in_entity) {
            last_safe = i + 1;
            break;
        }
    }
    // A space or tag start close to the limit reads better than a cut inside a word.
    return last_good >= last_safe / 2 && last_good > 0 ? last_good : last_safe;
}

}  // namespace

bool FitEntry(std::string_view entry, EntryForm form, char* buffer, uint32_t size) {
    if (buffer == nullptr || size == 0) return false;
    const size_t room = size - 1;
    if (VisibleSize(entry) <= room) {
        buffer[CopyVisible(entry, buffer)] = '\0';
        return true;
    }
    const std::string_view note =
        form == EntryForm::kHtml ? kHtmlContinuesNote : kTextContinuesNote;
    if (note.size() > room) {
        buffer[CopyVisible(entry.substr(0, SafeCut(entry, form, room)), buffer)] = '\0';
        return true;
    }
    const size_t budget = room - note.size();
    size_t cut = LastSenseBreakWithin(entry, budget);
    if (cut == 0 || VisibleSize(entry.substr(0, cut)) < budget / 2) {
        cut = SafeCut(entry, form, budget);
    }
    size_t n = CopyVisible(entry.substr(0, cut), buffer);
    // A text cut at the end of a line starts the note's line itself.
    const std::string_view shown_note =
        form == EntryForm::kText && n > 0 && buffer[n - 1] == '\n' ? note.substr(1) : note;
    std::memcpy(buffer + n, shown_note.data(), shown_note.size());
    n += shown_note.size();
    buffer[n] = '\0';
    return true;
}

}  // namespace lexicore
