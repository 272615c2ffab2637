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
                             "<br>Synonyms: <i><a href=\"entry:true cat\">true cat</a></i></p>" +
                             kSenseBreak + "<p><b>2.</b> a guy</p>";
    EXPECT_EQ(Text(html),
              std::string("cat\nnoun\n1. a feline; \"my cat\"\n   Synonyms: true cat\n") +
                  kSenseBreak + "2. a guy\n");
}

TEST(HtmlToText, DecodesReferencesToWindows1252) {
    EXPECT_EQ(Text("&amp;&lt;&gt;&quot;&apos;&#39;&nbsp;"), "&<>\"''\xa0");
    EXPECT_EQ(Text("caf&#233; &#xE9; &#8364; &#x2014;"), "caf\xe9 \xe9 \x80 \x97");
    EXPECT_EQ(Text("<BR/>x<br />y</P>"), "\n   x\n   y\n");
}

TEST(HtmlToText, GivesCharactersOutsideWindows1252AnAsciiForm) {
    EXPECT_EQ(Text("&#259;b&#x101;cy"), "abacy");  // Latin letters with marks
    EXPECT_EQ(Text("&#945;, &#937; &#322;&#x142;"), "alpha, Omega ll");
    EXPECT_EQ(Text("y&#774; o&#862;o"), "y oo");  // combining marks vanish
    EXPECT_EQ(Text("&#8730;2 &#9800; 5&#8243;"), "root 2 (Aries) 5\"");
    EXPECT_EQ(Text("&#12354; &#x1F600; &#x2FF;"), "? ? ?");  // no close form
}

TEST(HtmlToText, ReferencesToControlCharactersNeverEndOrMarkTheText) {
    // A damaged or hostile entry must not cut the printed text short with a
    // NUL, nor plant a sense-break marker.
    EXPECT_EQ(Text("a&#0;b&#31;c&#x1f;d&#127;e"), "a?b?c?d?e");
}

TEST(HtmlToText, QuotationsAndSuperscripts) {
    const std::string html = std::string("<p>To ascribe.</p>") + kSenseBreak +
                             "<blockquote><i>Let no man<br>impute it</i> \x97Milton.</blockquote>" +
                             kSenseBreak + "<p>See <i>abortion<sup>2</sup></i>.</p>";
    EXPECT_EQ(Text(html), std::string("To ascribe.\n") + kSenseBreak +
                              "   Let no man\n   impute it \x97Milton.\n" + kSenseBreak +
                              "See abortion(2).\n");
    EXPECT_EQ(Text("<BLOCKQUOTE>x</Blockquote><SUP>3</sup>"), "   x\n(3)");
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
