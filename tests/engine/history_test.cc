#include "lexicore/history.h"

#include <gtest/gtest.h>

#include <string>

namespace lexicore {
namespace {

TEST(History, NewestFirstAtMostTwentyNoDuplicatesIgnoringCase) {
    History h;
    EXPECT_EQ(h.count(), 0u);
    EXPECT_EQ(h.At(0), nullptr);
    h.Add("one");
    h.Add("two");
    h.Add("ONE");
    h.Add("");
    ASSERT_EQ(h.count(), 2u);
    EXPECT_STREQ(h.At(0), "ONE");
    EXPECT_STREQ(h.At(1), "two");
    for (int i = 0; i < 30; ++i) h.Add("w" + std::to_string(i));
    ASSERT_EQ(h.count(), size_t{LXV_HISTORY_LIMIT});
    EXPECT_STREQ(h.At(0), "w29");
    EXPECT_STREQ(h.At(19), "w10");
    EXPECT_EQ(h.At(20), nullptr);
    h.Add("W15");  // moves up without growing the list
    EXPECT_EQ(h.count(), size_t{LXV_HISTORY_LIMIT});
    EXPECT_STREQ(h.At(0), "W15");
    EXPECT_STREQ(h.At(19), "w10");
    h.Clear();
    EXPECT_EQ(h.count(), 0u);
}

}  // namespace
}  // namespace lexicore
