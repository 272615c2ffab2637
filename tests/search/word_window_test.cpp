#include "search/word_window.h"

#include <gtest/gtest.h>

namespace {

TEST(WordWindowTest, RangeIsHalfTheCountUpToTheThresholdThenCapped) {
    EXPECT_EQ(ScrollRangeFor(1000), 500u);
    EXPECT_EQ(ScrollRangeFor(1001), 500u);
    EXPECT_EQ(ScrollRangeFor(65253), 32626u);
    EXPECT_EQ(ScrollRangeFor(65254), 32000u);
    EXPECT_EQ(ScrollRangeFor(70000), 32000u);
    EXPECT_EQ(ScrollRangeFor(170000), 32000u);
    EXPECT_EQ(ScrollRangeFor(2), 1u);
    EXPECT_EQ(ScrollRangeFor(1), 0u);
    EXPECT_EQ(ScrollRangeFor(0), 0u);
}

TEST(WordWindowTest, ScaleAndTopToThumb) {
    EXPECT_FLOAT_EQ(ScrollScaleFor(1000, 500), 2.0f);
    EXPECT_FLOAT_EQ(ScrollScaleFor(70000, 32000), 2.1875f);
    EXPECT_EQ(TopToThumb(500, 2.0f), 250);
    EXPECT_EQ(TopToThumb(35000, 2.1875f), 16000);
    EXPECT_EQ(TopToThumb(35001, 2.1875f), 16000) << "truncated";
    EXPECT_EQ(TopToThumb(0, 2.1875f), 0);
}

TEST(WordWindowTest, ThumbToTopSpreadsTheLastTopOverTheRange) {
    EXPECT_EQ(ThumbToTop(1000, 18, 250, 500), 491u);
    EXPECT_EQ(ThumbToTop(70000, 18, 16000, 32000), 34991u);
    EXPECT_EQ(ThumbToTop(1000, 18, 500, 500), 982u);
    EXPECT_EQ(ThumbToTop(1000, 18, 0, 500), 0u);
    EXPECT_EQ(ThumbToTop(1000, 18, 9999, 500), 982u) << "above the range is the range";
}

TEST(WordWindowTest, ThumbToTopDoesNotWrapForTheLargestDictionaries) {
    // (170000 - 18) x 32000 is above 2^32: in 32 bits the end of the bar
    // would land near the start.
    EXPECT_EQ(ThumbToTop(170000, 18, 32000, 32000), 169982u);
    EXPECT_EQ(ThumbToTop(170000, 18, 30000, 32000), 159358u);
    EXPECT_EQ(ThumbToTop(168213, 18, 25536, 32000), 134219u);
    EXPECT_EQ(ThumbToTop(168213, 18, 25537, 32000), 134224u);
}

TEST(WordWindowTest, NoPositionsAndDictionariesSmallerThanAPageNeverDivideOrWrap) {
    EXPECT_FLOAT_EQ(ScrollScaleFor(1, 0), 0.0f);
    EXPECT_FLOAT_EQ(ScrollScaleFor(0, 0), 0.0f);
    EXPECT_EQ(TopToThumb(5, 0.0f), 0);
    EXPECT_EQ(ThumbToTop(1, 18, 0, 0), 0u);
    EXPECT_EQ(ThumbToTop(10, 18, 5, 5), 0u) << "ten headwords fit on one page";
    EXPECT_EQ(LastTop(10, 18), 0u);
    EXPECT_EQ(LastTop(18, 18), 0u);
    EXPECT_EQ(LastTop(1000, 18), 982u);
}

}  // namespace
