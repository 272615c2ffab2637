// The arithmetic between the word list window and its scroll bar. A scroll
// bar position is a 16-bit quantity, so the bar works on a coarse scale of
// about two headwords per position; these functions map between the window's
// top index and the thumb position.
#ifndef LEXIVANE_SEARCH_WORD_WINDOW_H_
#define LEXIVANE_SEARCH_WORD_WINDOW_H_

#include <cstdint>

// Counts above this many positions' worth (twice it in headwords) get the
// capped range below instead.
inline constexpr uint32_t kScrollRangeThreshold = 32626;
inline constexpr uint32_t kScrollRangeCap = 32000;

// Highest thumb position for `count` headwords: count / 2, or 32000 when that
// is above 32626. 0 (no positions) for fewer than two headwords.
uint32_t ScrollRangeFor(uint32_t count);

// Headwords per thumb position, count / range in single precision; 0.0 when
// the range is 0, which callers read as "not computed".
float ScrollScaleFor(uint32_t count, uint32_t range);

// The thumb position of a window whose top is `top`: top / scale, truncated.
// 0 when the scale is 0.
int32_t TopToThumb(uint32_t top, float scale);

// The top index for thumb position `thumb` (taken as `range` when above it):
// the last possible top, count - pageRows, spread over the range, truncated.
// The product is computed in 64 bits: in 32 bits it wraps for dictionaries of
// more than about 134,000 headwords at range 32000, and the thumb would jump
// back near the start. 0 when the range is 0 or the dictionary holds no more
// than one page.
uint32_t ThumbToTop(uint32_t count, int32_t pageRows, uint32_t thumb, uint32_t range);

// The highest top index a window of `pageRows` rows may have: count - pageRows,
// or 0 when the dictionary holds no more than one page.
uint32_t LastTop(uint32_t count, int32_t pageRows);

#endif  // LEXIVANE_SEARCH_WORD_WINDOW_H_
