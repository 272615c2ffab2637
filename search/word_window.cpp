#include "search/word_window.h"

#include <algorithm>

uint32_t ScrollRangeFor(uint32_t count) {
    const uint32_t half = count / 2;
    return half > kScrollRangeThreshold ? kScrollRangeCap : half;
}

float ScrollScaleFor(uint32_t count, uint32_t range) {
    if (range == 0) return 0.0f;
    return static_cast<float>(count) / static_cast<float>(range);
}

int32_t TopToThumb(uint32_t top, float scale) {
    if (scale == 0.0f) return 0;
    return static_cast<int32_t>(static_cast<float>(top) / scale);
}

uint32_t LastTop(uint32_t count, int32_t pageRows) {
    const uint32_t rows = static_cast<uint32_t>(std::max(pageRows, 0));
    return count > rows ? count - rows : 0;
}

uint32_t ThumbToTop(uint32_t count, int32_t pageRows, uint32_t thumb, uint32_t range) {
    if (range == 0) return 0;
    const uint64_t position = std::min(thumb, range);
    return static_cast<uint32_t>(uint64_t{LastTop(count, pageRows)} * position / range);
}
