#include "tools/encoding.h"

#include <gtest/gtest.h>

namespace lexivane_dict {
namespace {

TEST(HtmlEscaping, EscapesEveryCharacterSpecialInHtml) {
    EXPECT_EQ(HtmlEscaped("AT&T <b>\"bold\"</b> it's"),
              "AT&amp;T &lt;b&gt;&quot;bold&quot;&lt;/b&gt; it&#39;s");
    EXPECT_EQ(HtmlEscaped("&amp;"), "&amp;amp;");
    EXPECT_EQ(HtmlEscaped("plain words"), "plain words");
}

TEST(HtmlEscaping, WritesWindows1252BytesAndReferencesForTheRest) {
    EXPECT_EQ(HtmlEscaped("caf\u00e9"), "caf\xe9");
    EXPECT_EQ(HtmlEscaped("\u201cquoted\u201d \u20ac5"),
              "\x93quoted\x94 \x80"
              "5");
    EXPECT_EQ(HtmlEscaped("\u03b1\u03b2 \U0001F600"), "&#945;&#946; &#128512;");
}

TEST(HtmlEscaping, NeitherControlCharactersNorBrokenUtf8GetThrough) {
    EXPECT_EQ(HtmlEscaped("a\x1f"
                          "b\tc\nd"),
              "a b c d");
    EXPECT_EQ(HtmlEscaped("bad \xc3 byte"), "bad ? byte");
    EXPECT_EQ(HtmlEscaped("\xed\xa0\x80"), "???");  // an encoded surrogate
}

TEST(Windows1252, TextKeepsWhatTheCodePageHasAndMarksTheRest) {
    EXPECT_EQ(ToWindows1252("caf\u00e9 \u2018x\u2019 \u0153uvre"), "caf\xe9 \x91x\x92 \x9cuvre");
    EXPECT_EQ(ToWindows1252("\u03b1 and <&>"), "? and <&>");
    EXPECT_EQ(ToWindows1252("break\x1fmarker"), "break marker");
    EXPECT_EQ(ToWindows1252("\xc0\x80"), "??");  // overlong NUL
}

TEST(Windows1252, EveryByteRoundTripsThroughUtf8) {
    for (int byte = 0x20; byte < 0x100; ++byte) {
        const std::string utf8 = Windows1252ToUtf8(std::string(1, static_cast<char>(byte)));
        if (byte == 0x7F) continue;  // DEL is a control character: a space
        if (byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D) {
            EXPECT_EQ(utf8, "\ufffd");
        } else {
            EXPECT_EQ(ToWindows1252(utf8), std::string(1, static_cast<char>(byte))) << byte;
        }
    }
}

TEST(Utf8Validation, AcceptsWellFormedTextOnly) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("caf\u00e9 \u20ac \U0001F600"));
    EXPECT_FALSE(IsValidUtf8("\xe9t\xe9"));         // Latin-1
    EXPECT_FALSE(IsValidUtf8("\xe2\x82"));          // truncated
    EXPECT_FALSE(IsValidUtf8("\xf4\x90\x80\x80"));  // above U+10FFFF
}

TEST(PrintableText, KeepsWhatPrintsAndEscapesTheRest) {
    EXPECT_EQ(PrintableText("caf\u00e9 \u20ac 12%\nnext line"), "caf\u00e9 \u20ac 12%\nnext line");
    EXPECT_EQ(PrintableText("a\\b"), "a\\\\b") << "a backslash cannot pass for an escape";
    EXPECT_EQ(PrintableText("\x8bm;;G"), "\\x8bm;;G") << "a stray byte";
    EXPECT_EQ(PrintableText("\x1b[2J\t\r\x7f"), "\\x1b[2J\\x09\\x0d\\x7f") << "C0 and DEL";
    EXPECT_EQ(PrintableText("\u009b31m"), "\\xc2\\x9b31m") << "C1";
    EXPECT_EQ(PrintableText("abc\u202edcba"), "abc\\xe2\\x80\\xaedcba") << "right-to-left";
    EXPECT_EQ(PrintableText("\xe2\x82"), "\\xe2\\x82") << "a cut sequence";
}

}  // namespace
}  // namespace lexivane_dict
