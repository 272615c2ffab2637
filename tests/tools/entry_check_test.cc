#include "tools/entry_check.h"

#include <gtest/gtest.h>

#include <string>

#include "lexicore/entry_text.h"

namespace lexivane_dict {
namespace {

// Entries as the large and medium dictionaries printed them.
TEST(EntryCheck, TellsHeadLinesFromDefinitionsAndFindsStrayOnes) {
    struct Case {
        const char* headword;
        const char* html;
        bool definition;
        bool stray;
    };
    const Case cases[] = {
        {"reached",
         "<p><b>Reach</b>, <i>v. t.</i> [imp. &amp; p. p. <b>Reached</b> (r&#275;cht) "
         "(<b>Raught</b>, "
         "the old preterit, is obsolete); p. pr. &amp; vb. n. <b>Reaching</b>.]</p>",
         false, false},
        {"mice",
         "<p><b>mice</b> (m&#299;s), <i>n.</i>, <i>pl.</i> of <b>Mouse</b>.</p><p><b>Mouse</b> "
         "(mous), "
         "<i>n.</i>; <i>pl.</i> <b>Mice</b> (m&#299;s).</p>",
         false, false},
        {"sensuously", "<p>\x97 <b>Sensuously</b>, adv. \x97 <b>Sensuousness</b>, n.</p>", false,
         false},
        {"harder",
         "<p><b>Hard</b> (h\xE4rd), <i>a.</i></p><p><b>Har\xB4"
         "der</b> (h\xE4r\xB4"
         "d&#7869;r), <i>n.</i> (Zool.)<br>A South African mullet, salted for food.</p>",
         true, true},
        {"colour",
         "<p><b>Col\xB4our</b>, <i>n.</i><br>See <i>Color</i>. [Brit.]</p><p><b>Col\xB4or</b> "
         "(k&#365;l\xB4&#7869;r), <i>n.</i></p>",
         true, true},
        // A head line followed by its senses, in full and in light markup.
        {"reach",
         "<p><b>Reach</b>, <i>v. t.</i> [imp. &amp; p. p. <b>Reached</b>]</p>\x1f<p><b>1.</b> To "
         "extend.</p>",
         true, false},
        {"mouse", "<p><b>Mouse</b> (mous), n.<br><b>1.</b> (Zool.) A rodent.</p>", true, false},
        // A sub-entry that only points elsewhere is not a head line.
        {"color",
         "<p><b>Body color</b>. See under <i>Body</i>.</p><p><b>Color blindness</b>, "
         "inability to distinguish colors.</p>",
         true, false},
        {"cat", "<p><b>cat</b></p><p><i>noun</i></p><p><b>1.</b> feline mammal</p>", true, false},
    };
    for (const Case& c : cases) {
        std::string text;
        lexicore::HtmlToText(c.html, &text);
        const EntryFindings found = CheckEntry(c.headword, c.html, text);
        EXPECT_EQ(found.definition, c.definition) << c.headword;
        EXPECT_EQ(found.stray_head_line, c.stray) << c.headword;
        EXPECT_FALSE(found.pronunciation_marks || found.html_debris || found.mojibake)
            << c.headword;
    }
}

TEST(EntryCheck, FindsMarksAndDebrisLeftFromTheSource) {
    EXPECT_TRUE(CheckEntry("amnesiac", "", "amnesiac adj. (am*ne\x94ze*ak)\n").pronunciation_marks);
    EXPECT_FALSE(CheckEntry("x", "", "Star (*) and (\x93quoted\x94 words)\n").pronunciation_marks);
    EXPECT_TRUE(CheckEntry("javelina", "", "The [a href=\x94images]javelina.gif\x94>javelina is")
                    .html_debris);
    EXPECT_FALSE(CheckEntry("midriff", "", "OHG. href body").html_debris);
    EXPECT_TRUE(CheckEntry("cafe", "", "caf\xC3\xA9").mojibake);
    EXPECT_FALSE(CheckEntry("tajacu", "", "Ta-ja\xE7\xB4u, \xC3\xB4").mojibake);
}

TEST(EntryCheck, LinksAndReferencesShownAsText) {
    const std::vector<EntryLink> links = FindLinks(
        "<p>See <a href=\"entry:Q &amp; A\"><i>Q &amp; A</i></a>, <a href=\"entry:rat\">rats</a>.");
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(links[0].target, "Q & A");
    EXPECT_EQ(links[0].shown, "Q & A");
    EXPECT_EQ(links[1].target, "rat");
    EXPECT_EQ(links[1].shown, "rats");

    const auto names = [](std::string_view w) { return w == "abbot" || w == "dog" || w == "n"; };
    const std::pair<const char*, bool> cases[] = {
        {"<p>See <i>abbot</i>.</p>", true},
        {"<p>See <i>abbot<sup>2</sup></i>.</p>", true},
        {"<p>See <a href=\"entry:abbot\"><i>abbot</i></a>.</p>", false},
        {"<p><b>Ab</b>, <i>n.</i></p>", false},
        {"<p><i>abbot</i> is a label here</p>", false},
        {"<blockquote><i>abbot</i> \x97Milton.</blockquote>", false},
        {"<p>See <i>&#945;bbot</i>.</p>", false},
        {"<br>Synonyms: <i>cat, dog</i></p>", true},
        {"<br>Synonyms: <i>cat, <a href=\"entry:dog\">dog</a></i></p>", false},
    };
    for (const auto& [html, shows] : cases) {
        EXPECT_EQ(ShowsUnlinkedReference(html, names), shows) << html;
    }
}

TEST(EntryCheck, HeadLinesAndLetterKeys) {
    EXPECT_TRUE(
        ShowsHeadLineOf("<p><b>Be</b> (b&#275;), <i>v. i.</i> [imp. <b>Was</b>]</p>", "be"));
    EXPECT_FALSE(ShowsHeadLineOf("<p><b>Does</b> (d&#365;z).<br>Of <i>Do</i>.</p>", "do"));
    EXPECT_EQ(LetterKey("Col\xB4our"), "colour");
    EXPECT_EQ(LetterKey("\xC6neid"), "aeneid");
    EXPECT_EQ(LetterKey("AE-neid"), "aeneid");
    EXPECT_EQ(LetterKey("Abb'e"), "abbe");
}

}  // namespace
}  // namespace lexivane_dict
