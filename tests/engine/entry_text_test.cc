#include "lexicore/entry_text.h"

#include <gtest/gtest.h>

#include <string>

#include "lexicore/builder.h"

namespace lexicore {
namespace {

std::string Text(std::string_view html) {
    std::string out;
    HtmlToText(html, &out);
    return out;
}

TEST(HtmlToText, FollowsTheCompilersLayout) {
    const std::string html = std::string("<p><b>cat</b></p><p><i>noun</i></p>") +
                             "<p><b>1.</b> a feline; <i>&quot;my cat&quot;</i>" +
                             "<br>Synonyms: <i>true cat</i></p>" + kSenseBreak +
                             "<p><b>2.</b> a guy</p>";
    EXPECT_EQ(Text(html),
              std::string("cat\nnoun\n1. a feline; \"my cat\"\n   Synonyms: true cat\n") +
                  kSenseBreak + "2. a guy\n");
}

TEST(HtmlToText, DecodesReferencesToWindows1252) {
    EXPECT_EQ(Text("&amp;&lt;&gt;&quot;&apos;&#39;&nbsp;"), "&<>\"''\xa0");
    EXPECT_EQ(Text("caf&#233; &#xE9; &#8364; &#x2014;"), "caf\xe9 \xe9 \x80 \x97");
    EXPECT_EQ(Text("&#12354; &#x1F600;"), "? ?");  // outside Windows-1252
    EXPECT_EQ(Text("<BR/>x<br />y</P>"), "\n   x\n   y\n");
}

TEST(HtmlToText, CopiesWhatIsNoTagOrReference) {
    EXPECT_EQ(Text("a & b"), "a & b");
    EXPECT_EQ(Text("&bogus; &#; &#x; &#12345678901;"), "&bogus; &#; &#x; &#12345678901;");
    EXPECT_EQ(Text("1 < 2"), "1 < 2");
    EXPECT_EQ(Text("&amp"), "&amp");
    EXPECT_EQ(Text(""), "");
}

}  // namespace
}  // namespace lexicore
