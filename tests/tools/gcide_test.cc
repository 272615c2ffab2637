#include "tools/gcide.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/lexicore.h"
#include "lexicore/render.h"
#include "temp_dir.h"
#include "tests/engine/test_dictionary.h"
#include "tools/entry_check.h"

namespace lexivane_dict {
namespace {

using lexicore::kSenseBreak;

const char kGcideIndex[] = "/usr/share/dictd/gcide.index";
const std::string kSampleIndex = std::string(LEXIVANE_TEST_DATA_DIR) + "/gcide/sample.index";

// Entries as GCIDE's dictd text has them.
const char kAbbey[] =
    "Abbey \\Ab\"bey\\ ([a^]b\"b[y^]), n.; pl. {Abbeys} (-b[i^]z). [OF.\n"
    "   aba[\"i]e, abba[\"i]e, F. abbaye, L. abbatia, fr. abbas abbot.\n"
    "   See {Abbot}.]\n"
    "   1. A monastery or society of persons of either sex.\n"
    "      [1913 Webster]\n"
    "\n"
    "   2. The church of a monastery.\n"
    "      [1913 Webster]\n"
    "\n"
    "   Syn: Monastery; convent; nunnery; priory; cloister. See\n"
    "        {Cloister}.\n"
    "        [1913 Webster]\n"
    "\n";

const char kGoodish[] =
    "Goodish \\Good\"ish\\, a.\n"
    "   Rather good than the contrary; not actually bad; tolerable.\n"
    "   [1913 Webster]\n"
    "\n"
    "         Goodish pictures in rich frames.         --Walpole.\n"
    "   [1913 Webster]\n"
    "\n";

const char kImpute[] =
    "Impute \\Im*pute\"\\, v. t. [imp. & p. p. {Imputed}; p. pr. & vb.\n"
    "   n. {Imputing}.] [F. imputer, L. imputare. See {Putative}.]\n"
    "   1. To charge; to ascribe; as, to impute a fault.\n"
    "      [1913 Webster]\n"
    "\n"
    "            Let no man impute it to me  --Milton.\n"
    "      [1913 Webster]\n"
    "\n"
    "   2. (Theol.) To ascribe vicariously. --Sheldon.\n"
    "      [1913 Webster]\n"
    "\n";

struct Rendered {
    std::string html;
    std::string text;
    uint8_t pos = 0;
};

Rendered Render(std::string_view raw, GcidePart part = GcidePart::kEntry,
                const GcideLayout& layout = GcideLayout()) {
    Rendered r;
    r.pos = RenderGcide(raw, part, layout, &r.html, &r.text);
    return r;
}

const std::string kBreak(1, kSenseBreak);

TEST(GcideLayout, HeadLineSensesAndSynonymsOfARealEntry) {
    const Rendered r = Render(kAbbey);
    EXPECT_EQ(r.html,
              "<p><b>Ab\xB4"
              "bey</b> (&#259;b\xB4"
              "by&#774;), <i>n.</i>; <i>pl.</i> <b>Abbeys</b> (-b&#301;z). [OF. aba\xEF"
              "e, abba\xEF"
              "e, F. abbaye, L. abbatia, fr. abbas abbot. See <i>Abbot</i>.]</p>"
              "<p><b>1.</b> A monastery or society of persons of either sex.</p>" +
                  kBreak + "<p><b>2.</b> The church of a monastery.</p>" + kBreak +
                  "<p><i>Syn:</i> Monastery; convent; nunnery; priory; cloister. See "
                  "<i>Cloister</i>.</p>");
    EXPECT_EQ(r.text,
              "Ab\xB4"
              "bey (ab\xB4"
              "by), n.; pl. Abbeys (-biz). [OF. aba\xEF"
              "e, abba\xEF"
              "e, F. abbaye, L. abbatia, fr. abbas abbot. See Abbot.]\n"
              "1. A monastery or society of persons of either sex.\n" +
                  kBreak + "2. The church of a monastery.\n" + kBreak +
                  "Syn: Monastery; convent; nunnery; priory; cloister. See Cloister.\n");
    EXPECT_EQ(r.pos, lexicore::kNoun);
}

TEST(GcideLayout, QuotationWithItsCitation) {
    const Rendered r = Render(kGoodish);
    EXPECT_EQ(r.html,
              "<p><b>Good\xB4ish</b>, <i>a.</i><br>Rather good than the contrary; not actually "
              "bad; tolerable.</p>" +
                  kBreak +
                  "<blockquote><i>Goodish pictures in rich frames.</i> \x97Walpole.</blockquote>");
    EXPECT_EQ(r.text,
              "Good\xB4ish, a.\n   Rather good than the contrary; not actually bad; tolerable.\n" +
                  kBreak + "   Goodish pictures in rich frames. \x97Walpole.\n");
    EXPECT_EQ(r.pos, lexicore::kAdjective);
}

TEST(GcideLayout, InflectedFormsInBoldAndACitationAfterASingleGap) {
    const Rendered r = Render(kImpute);
    EXPECT_EQ(r.html,
              "<p><b>Im-pute\xB4</b>, <i>v. t.</i> [imp. &amp; p. p. <b>Imputed</b>; p. pr. "
              "&amp; vb. n. <b>Imputing</b>.] [F. imputer, L. imputare. See <i>Putative</i>.]</p>"
              "<p><b>1.</b> To charge; to ascribe; as, to impute a fault.</p>" +
                  kBreak +
                  "<blockquote><i>Let no man impute it to me</i> \x97Milton.</blockquote>" +
                  kBreak + "<p><b>2.</b> (Theol.) To ascribe vicariously. \x97Sheldon.</p>");
    EXPECT_EQ(r.pos, lexicore::kVerb);
}

TEST(GcideLayout, VerseKeepsItsLines) {
    const Rendered r = Render(
        "A \\A\\\n   An expletive.\n\n         A merry heart goes all the day,\n"
        "         Your sad tires in a mile-a.              --Shak.\n   [1913 Webster]\n");
    EXPECT_NE(r.html.find("<blockquote><i>A merry heart goes all the day,<br>Your sad tires in "
                          "a mile-a.</i> \x97Shak.</blockquote>"),
              std::string::npos)
        << r.html;
    EXPECT_NE(r.text.find("   A merry heart goes all the day,\n   Your sad tires in a mile-a."),
              std::string::npos)
        << r.text;
}

TEST(GcideLayout, ProseWhoseLinesStartWithCapitalsRunsOn) {
    const Rendered r = Render(
        "Tanakh \\Tanakh\\, n.\n   The Hebrew Bible.\n\n"
        "         The Hebrew Bible is divided into three parts: (1)\n"
        "         The Torah, or Pentateuch. (2) The\n"
        "         Prophets.                                --C. H. H. Wright.\n");
    EXPECT_NE(r.html.find("<blockquote><i>The Hebrew Bible is divided into three parts: (1) The "
                          "Torah, or Pentateuch. (2) The Prophets.</i> \x97"
                          "C. H. H. Wright.</blockquote>"),
              std::string::npos)
        << r.html;
}

TEST(GcideLayout, SubSensesStartOnTheirOwnLines) {
    const Rendered r = Render(
        "{Monkey boat}. (Naut.)\n   (a) A small boat used in docks.\n"
        "   (b) A half-decked boat used on the River Thames.\n",
        GcidePart::kParagraphs);
    EXPECT_EQ(r.html,
              "<p><b>Monkey boat</b>. (Naut.)<br>(a) A small boat used in docks.<br>(b) A "
              "half-decked boat used on the River Thames.</p>");
    EXPECT_EQ(r.text,
              "Monkey boat. (Naut.)\n   (a) A small boat used in docks.\n   (b) A half-decked boat "
              "used on the River Thames.\n");
    EXPECT_EQ(r.pos, 0);
}

TEST(GcideLayout, EscapesEverythingHtmlTreatsSpecially) {
    const Rendered r = Render("Amp \\Amp\\, n.\n   Tools & jewels, \"<clearer> than water\" > 1.\n",
                              GcidePart::kEntry);
    EXPECT_EQ(r.html,
              "<p><b>Amp</b>, <i>n.</i><br>Tools &amp; jewels, \x93&lt;clearer&gt; than "
              "water\x94 &gt; 1.</p>");
    EXPECT_EQ(r.text, "Amp, n.\n   Tools & jewels, \x93<clearer> than water\x94 > 1.\n");
    EXPECT_EQ(FindGcideNotation(r.html, true), "");
    EXPECT_EQ(FindGcideNotation(r.text, false), "");
}

TEST(GcideLayout, SourceControlCharactersNeverBecomeSenseBreaks) {
    const Rendered r = Render("Odd \\Odd\\, a.\n   One\x1f two\x01 three.\n");
    EXPECT_EQ(r.html.find(kSenseBreak), std::string::npos);
    EXPECT_EQ(r.text.find(kSenseBreak), std::string::npos);
    EXPECT_EQ(r.text, "Odd, a.\n   One two three.\n");
}

TEST(GcideLayout, SenseReferencesAndUnknownBracketsStayReadable) {
    const Rendered r = Render(
        "Abort \\A*bort\"\\, n.\n   Same as {abortion[2]}. [Obs.] See [sect][sect] 4. [alpha]\n");
    EXPECT_EQ(r.html,
              "<p><b>A-bort\xB4</b>, <i>n.</i><br>Same as <i>abortion<sup>2</sup></i>. [Obs.] "
              "See \xA7\xA7 4. &#945;</p>");
    EXPECT_EQ(r.text, "A-bort\xB4, n.\n   Same as abortion(2). [Obs.] See \xA7\xA7 4. alpha\n");
}

TEST(GcideLayout, AGreekRoughBreathingIsNoQuotationMark) {
    const Rendered r = Render(
        "Anhydrous \\An*hy\"drous\\, a. [Gr. 'an priv. + \"y`dwr, \"h^par.]\n"
        "   Destitute of water; \"dry\" salts.\n");
    EXPECT_EQ(r.html,
              "<p><b>An-hy\xB4"
              "drous</b>, <i>a.</i> [Gr. 'an priv. + &#701;y`dwr, &#701;h^par.]<br>Destitute of "
              "water; \x93"
              "dry\x94 salts.</p>");
    EXPECT_EQ(r.text,
              "An-hy\xB4"
              "drous, a. [Gr. 'an priv. + 'y`dwr, 'h^par.]\n   Destitute of water; \x93"
              "dry\x94 salts.\n");
}

TEST(GcideLayout, ASubSenseAfterASourceNoteStartsOneLineOnly) {
    const Rendered r = Render(
        "Set \\Set\\, v. t.\n   4. To fix firmly. Specifically:\n      [1913 Webster]\n"
        "      (a) To cause to stop.\n      [1913 Webster]\n");
    EXPECT_EQ(r.html,
              "<p><b>Set</b>, <i>v. t.</i></p>"
              "<p><b>4.</b> To fix firmly. Specifically:<br>(a) To cause to stop.</p>");
}

TEST(GcideLayout, InflectionsNameTheirBaseOnTheHeadLine) {
    const Rendered r = Render("Geese \\Geese\\ (g[=e]s), n., pl. of {Goose}.\n   [1913 Webster]\n");
    EXPECT_EQ(r.html, "<p><b>Geese</b> (g&#275;s), <i>n.</i>, <i>pl.</i> of <b>Goose</b>.</p>");
    EXPECT_EQ(r.text, "Geese (ges), n., pl. of Goose.\n");
}

TEST(GcideLayout, PronunciationsInsideTheTextKeepTheirStress) {
    const Rendered r = Render(
        "Tamerlane \\Ta*mer*lane\"\\, prop. n.\n   Also called {Timour} (t[=e]*m[^o]r\") \"the "
        "Lame\".\n");
    EXPECT_EQ(r.text,
              "Ta-mer-lane\xB4, prop. n.\n   Also called Timour (te-m\xF4r\xB4) \x93the "
              "Lame\x94.\n");
}

TEST(GcideLayout, PartsOfSpeechFromTheHeadLine) {
    EXPECT_EQ(Render("Fast \\Fast\\, a. & adv.\n   Firm.\n").pos,
              lexicore::kAdjective | lexicore::kAdverb);
    EXPECT_EQ(Render("Run \\Run\\, v. i. & n.\n   Go.\n").pos, lexicore::kVerb | lexicore::kNoun);
    EXPECT_EQ(Render("0 \\0\\ adj.\n   1. zero\n").pos, lexicore::kAdjective);
    EXPECT_EQ(Render("Alas \\A*las\"\\, interj.\n   A sigh.\n").pos, 0);
    // Abbreviations in the definition are not the entry's part of speech.
    EXPECT_EQ(Render("Hush \\Hush\\, interj.\n   Be still; as, a. b.\n").pos, 0);
}

TEST(GcideLayout, LightMarkupKeepsBoldAndSenseBreaks) {
    GcideLayout light;
    light.spacing = false;
    const Rendered r = Render(kAbbey, GcidePart::kEntry, light);
    EXPECT_EQ(r.html.find("<i>"), std::string::npos);
    EXPECT_EQ(r.html.find("<p>", 1), std::string::npos);
    EXPECT_TRUE(
        r.html.starts_with("<p><b>Ab\xB4"
                           "bey</b>"));
    EXPECT_TRUE(r.html.ends_with("See Cloister.</p>")) << r.html;
    EXPECT_EQ(std::count(r.html.begin(), r.html.end(), kSenseBreak), 2);
    EXPECT_EQ(r.text,
              std::string("Ab\xB4"
                          "bey (ab\xB4"
                          "by), n.; pl. Abbeys (-biz). [OF. aba\xEF"
                          "e, abba\xEF"
                          "e, F. abbaye, L. abbatia, fr. abbas abbot. See Abbot.]") +
                  "\n   1. A monastery or society of persons of either sex." + kBreak +
                  "\n   2. The church of a monastery." + kBreak +
                  "\n   Syn: Monastery; convent; nunnery; priory; cloister. See Cloister.\n");
}

TEST(GcideHeadwords, AccentsOfTheIndexBecomeRealLetters) {
    const std::string raw = "Abb'e \\Ab\"b['e]`\\ ([.a]b\"b[asl]`), n. [F. abb['e].]\n   Abbot.\n";
    EXPECT_EQ(GcideHeadword("Abb'e", raw), "Abb\xE9");
    EXPECT_EQ(GcideHeadword("Ancien r'egime", "Ancien r'egime \\An`cien r['e]`gime\"\\, n.\n  X\n"),
              "Ancien r\xE9gime");
    // Apostrophes that are apostrophes stay.
    EXPECT_EQ(GcideHeadword("Ain't", "Ain't \\Ain't\\\n   A contraction.\n"), "Ain't");
    // A letter the code page lacks leaves the index spelling alone.
    EXPECT_EQ(GcideHeadword("Ma'na", "Ma'na \\M[=a]'na\\, n.\n  X\n"), "Ma'na");
}

TEST(GcideHeadwords, LowerCaseWhenTheEntryWritesTheWordSo) {
    EXPECT_EQ(GcideHeadword("Abbey", "Abbey \\Ab\"bey\\, n.\n   The site of an abbey.\n"), "abbey");
    EXPECT_EQ(GcideHeadword("Gastropoda", "Gastropoda \\Gas\\, n.\n   See the Gastropoda.\n"),
              "Gastropoda");
    EXPECT_EQ(GcideHeadword("A", "A \\A\\ (x).\n   At a birth.\n"), "a");
    // Only the first line of a word counts, and never the head line.
    EXPECT_EQ(GcideHeadword("Bath", "Bath \\Bath\\, n. [bath]\n   A city; Bath stone.\n"), "Bath");
    EXPECT_EQ(GcideHeadword("Zeus", "Zeus \\Zeus\\, n.\n   Zeus's father; zeuses.\n"), "Zeus");
    EXPECT_EQ(GcideHeadword("NATO", "NATO \\NATO\\, n.\n   nato\n"), "NATO");
}

std::vector<GcideRecord> Records(const std::vector<std::pair<std::string, std::string_view>>& in) {
    std::vector<GcideRecord> out;
    out.reserve(in.size());
    for (const auto& [key, body] : in) out.push_back({key, body});
    return out;
}

const lexicore::SourceEntry* Find(const std::vector<lexicore::SourceEntry>& entries,
                                  const std::string& headword) {
    for (const auto& e : entries) {
        if (e.headword == headword) return &e;
    }
    return nullptr;
}

const char kCrystal[] =
    "Crystal \\Crys\"tal\\, n. [OE. cristal.]\n"
    "   1. A regular form.\n"
    "      [1913 Webster]\n"
    "\n"
    "   {Rock crystal}, or {Mountain crystal}, the finest quartz; see\n"
    "      {quartz}.\n"
    "      [1913 Webster]\n"
    "\n"
    "         Clear as crystal.                     --Gray.\n"
    "      [1913 Webster]\n"
    "\n"
    "   Note: Crystals are grouped ({a}) by form; ({b}) by {lattice}.\n"
    "\n";

TEST(GcideConvert, LinesIntoOtherEntriesGetWhatNamesThem) {
    const std::string abbacy =
        "Abbacy \\Ab\"ba*cy\\ ([a^]b\"b[.a]*s[y^]), n.; pl. {Abbacies}\n"
        "   (-s[i^]z). [L. abbatia.]\n   The dignity of an abbot.\n   [1913 Webster]\n";
    const std::string quartz = "Quartz \\Quartz\\, n.\n   A mineral.\n";
    GcideStats stats;
    const auto entries = ConvertGcide(Records({{"Crystal", kCrystal},
                                               {"Rock crystal", kCrystal},
                                               {"Mountain crystal", kCrystal},
                                               {"Abbacy", abbacy},
                                               {"Abbacies", abbacy},
                                               {"Quartz", quartz},
                                               {"quartz", kCrystal},
                                               {"lattice", kCrystal},
                                               {"A", "A \\A\\, n.\n   The letter.\n"},
                                               {"a", kCrystal},
                                               {"Zircon", kCrystal},
                                               {"00-database-info", quartz},
                                               {"Abbacy", abbacy}}),
                                      &stats);
    EXPECT_EQ(stats.records, 13u);
    EXPECT_EQ(stats.own, 4u);
    EXPECT_EQ(stats.forms, 1u);
    EXPECT_EQ(stats.paragraphs, 3u);
    EXPECT_EQ(stats.skipped, 5u);
    ASSERT_EQ(entries.size(), 8u);

    const auto* rock = Find(entries, "Rock crystal");
    ASSERT_NE(rock, nullptr);
    EXPECT_EQ(rock->html,
              "<p><b>Rock crystal</b>, or <b>Mountain crystal</b>, the finest quartz; "
              "see <i>quartz</i>.</p>" +
                  kBreak + "<blockquote><i>Clear as crystal.</i> \x97Gray.</blockquote>");
    ASSERT_NE(Find(entries, "Mountain crystal"), nullptr);
    EXPECT_EQ(Find(entries, "Mountain crystal")->html, rock->html);

    // A plural named on the head line gets the whole entry.
    const auto* plural = Find(entries, "Abbacies");
    ASSERT_NE(plural, nullptr);
    ASSERT_NE(Find(entries, "Abbacy"), nullptr);
    EXPECT_EQ(plural->html, Find(entries, "Abbacy")->html);
    EXPECT_TRUE(plural->text.ends_with("The dignity of an abbot.\n")) << plural->text;

    // "lattice" has no entry of its own: the note that mentions it.
    const auto* lattice = Find(entries, "lattice");
    ASSERT_NE(lattice, nullptr);
    EXPECT_TRUE(lattice->text.starts_with("Note: Crystals are grouped (a) by form"))
        << lattice->text;
    // "quartz" has its own entry and is only mentioned in Crystal; "a" only
    // letters a list there; "Zircon" is not named at all.
    ASSERT_NE(Find(entries, "A"), nullptr);
    EXPECT_EQ(Find(entries, "a"), nullptr);
    EXPECT_EQ(Find(entries, "Zircon"), nullptr);
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                            [](const auto& e) { return e.headword == "Quartz"; }),
              1);
}

TEST(GcideConvert, LeavesOutWhatTheSourceStrewsAroundEntries) {
    // dict-gcide's text has the next headword after the note closing some
    // entries, and the entry of "0" starts with a quotation of another.
    const std::string abandum =
        "Abandum \\A*ban\"dum\\, n. (Law)\n   Anything forfeited.\n   [1913 Webster] "
        "Abannation\n\n";
    const std::string rotten =
        "Rotten \\Rot\"ten\\, a.\n   Putrid.\n   [1913 Webster] -- {Rot\"ten*ly}, adv.\n";
    const std::string zero =
        "\n\n      A dictionary requires too many hands.      --Locke.\n0 \\0\\ adj.\n"
        "   1. zero.\n";
    const auto entries =
        ConvertGcide(Records({{"Abandum", abandum}, {"Rotten", rotten}, {"0", zero}}), nullptr);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].text,
              "A-ban\xB4"
              "dum, n. (Law)\n   Anything forfeited.\n");
    EXPECT_EQ(entries[1].text,
              "Rot\xB4"
              "ten, a.\n   Putrid.\n" +
                  kBreak + "\x97 Rottenly, adv.\n");
    EXPECT_EQ(entries[2].text, "0 adj.\n1. zero.\n");
}

// A word derived from the headword that runs on after the note closing the
// synonyms gets its own line, not the synonyms; the word's own line comes
// first, then the entry it runs on from, without that line again.
TEST(GcideConvert, ARunOnWordAfterASourceNoteGetsItsOwnParagraph) {
    const std::string rotten =
        "Rotten \\Rot\"ten\\, a.\n   Putrid.\n   [1913 Webster]\n\n"
        "   Syn: Putrefied; decayed.\n        [1913 Webster] -- {Rot\"ten*ly}, adv. -- "
        "{Rot\"ten*ness},\n        n.\n        [1913 Webster]\n";
    const auto entries = ConvertGcide(Records({{"Rotten", rotten}, {"Rottenly", rotten}}), nullptr);
    ASSERT_EQ(entries.size(), 3u);
    const std::string senses = "<p><b>Rot\xB4ten</b>, <i>a.</i><br>Putrid.</p>" + kBreak +
                               "<p><i>Syn:</i> Putrefied; decayed.</p>";
    const std::string run_on = "<p>\x97 <b>Rottenly</b>, adv. \x97 <b>Rottenness</b>, n.</p>";
    EXPECT_EQ(entries[0].html, senses + kBreak + run_on);
    EXPECT_EQ(entries[1].headword, "Rottenly");
    EXPECT_EQ(entries[1].html, run_on);
    EXPECT_EQ(entries[2].headword, "Rottenly");
    EXPECT_EQ(entries[2].html, senses);
}

std::string Senses(int count, const char* cross_reference) {
    std::string raw = "Big \\Big\\, n.\n";
    for (int i = 1; i <= count; ++i) {
        raw += "   " + std::to_string(i) + ". See {" + cross_reference +
               "}.\n      [1913 Webster]\n\n";
    }
    return raw;
}

size_t Shown(const std::string& html) {
    return html.size() - std::count(html.begin(), html.end(), kSenseBreak);
}

TEST(GcideConvert, EntriesTooLongForTheBufferAreFittedWithLightMarkup) {
    // About 14,000 bytes with full markup, about 11,000 with light markup.
    const std::string fits_light = Senses(350, "Word");
    const std::string too_long = Senses(600, "Word");
    const std::string small = Senses(3, "Word");
    GcideStats stats;
    auto entries = ConvertGcide(Records({{"Big", fits_light}}), &stats);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(stats.long_before, 1u);
    EXPECT_EQ(stats.long_after, 0u);
    EXPECT_LT(Shown(entries[0].html), LXV_PRINT_BUFFER_SIZE);
    EXPECT_EQ(entries[0].html.find("<i>"), std::string::npos);
    // A sense break before every sense but the first, which stays with the head line.
    EXPECT_EQ(std::count(entries[0].html.begin(), entries[0].html.end(), kSenseBreak), 349);

    entries = ConvertGcide(Records({{"Big", too_long}}), &stats);
    EXPECT_EQ(stats.long_before, 1u);
    EXPECT_EQ(stats.long_after, 1u);
    EXPECT_GT(Shown(entries[0].html), LXV_PRINT_BUFFER_SIZE);

    // Entries of one headword are fitted together: two halves that fit
    // alone overflow once the builder merges them.
    entries =
        ConvertGcide(Records({{"Big", Senses(200, "Word")}, {"big", Senses(200, "Term")}}), &stats);
    EXPECT_EQ(stats.long_before, 1u);
    EXPECT_EQ(stats.long_after, 0u);
    for (const auto& e : entries) EXPECT_EQ(e.html.find("<i>"), std::string::npos);

    entries = ConvertGcide(Records({{"Big", small}}), &stats);
    EXPECT_EQ(stats.long_before, 0u);
    EXPECT_NE(entries[0].html.find("<i>Word</i>"), std::string::npos);
}

TEST(GcideConvert, QuotationsGoFirstAndTheEntrySaysSo) {
    // About 16,000 bytes with light markup, about 5,000 without quotations.
    std::string raw = "Big \\Big\\, n.\n";
    for (int i = 1; i <= 150; ++i) {
        raw += "   " + std::to_string(i) + ". See {Word}.\n      [1913 Webster]\n\n" +
               "         Let no man impute it to me, for quotation " + std::to_string(i) +
               " is long.  --Milton.\n" + "      [1913 Webster]\n\n";
    }
    GcideStats stats;
    const auto entries = ConvertGcide(Records({{"Big", raw}}), &stats);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(stats.long_before, 1u);
    EXPECT_EQ(stats.long_after, 0u);
    const std::string& html = entries[0].html;
    EXPECT_EQ(html.find("Milton"), std::string::npos);
    EXPECT_TRUE(html.ends_with("<p><b>150.</b> See <i>Word</i>.</p>" + kBreak +
                               "<p><i>Quotations are left out of this long entry.</i></p>"))
        << html.substr(html.size() - 120);
    EXPECT_TRUE(
        entries[0].text.ends_with("\n" + kBreak + "Quotations are left out of this long entry.\n"));
}

// The builder joins the entries of a headword with a sense break, and the
// engine cuts at the last one that fits: never right after a head line.
TEST(GcideConvert, ACutEntryNeverEndsInAHeadLineWithoutItsSenses) {
    const Rendered second = Render("Big \\Big\\, v. t. [imp. & p. p. {Bigged}.]\n   1. To swell " +
                                   std::string(400, 'x') + ".\n\n   2. To build.\n");
    int senses = 1;
    Rendered first = Render(Senses(senses, "Word"));
    while (Shown(first.html) < 11600) first = Render(Senses(++senses, "Word"));
    ASSERT_LT(Shown(first.html), 11700u);
    const std::string merged = first.html + kBreak + second.html;
    std::vector<char> buffer(LXV_PRINT_BUFFER_SIZE);
    ASSERT_TRUE(lexicore::FitEntry(merged, lexicore::EntryForm::kHtml, buffer.data(),
                                   static_cast<uint32_t>(buffer.size())));
    const std::string shown = buffer.data();
    EXPECT_EQ(shown.find("Bigged"), std::string::npos);
    EXPECT_TRUE(shown.ends_with(std::string(lexicore::kHtmlContinuesNote))) << shown;
    EXPECT_NE(shown.find("<b>" + std::to_string(senses) + ".</b>"), std::string::npos);
}

TEST(GcideLoad, ReportsUnreadableFilesAndBadLinesWithTheirPlace) {
    TempDir dir;
    GcideSource source;
    std::string error;
    EXPECT_FALSE(LoadGcide(dir.path() + "/none.index", &source, &error));
    EXPECT_EQ(error, dir.path() + "/none.index: cannot read: No such file or directory");

    dir.Write("g.dict", "Word \\Word\\, n.\n   A word.\n");
    const std::string index = dir.Write("g.index", "Word\tA\tZ\nBad line\n");
    EXPECT_FALSE(LoadGcide(index, &source, &error));
    EXPECT_EQ(error, index + ":2: expected headword, offset and length separated by tabs");

    dir.Write("g.index", "Word\tA\tZ\nFar\tBA\tB\n");
    EXPECT_FALSE(LoadGcide(index, &source, &error));
    EXPECT_EQ(error, index + ":2: entry lies outside " + dir.path() + "/g.dict");

    dir.Write("g.index", "Word\tA\tb\n");
    source = GcideSource();
    ASSERT_TRUE(LoadGcide(index, &source, &error)) << error;
    ASSERT_EQ(source.records.size(), 1u);
    EXPECT_EQ(source.records[0].key, "Word");
    EXPECT_EQ(std::string(source.records[0].body), "Word \\Word\\, n.\n   A word.\n");
}

// The sample through the builder and the engine's C interface.
TEST(GcideDictionary, SampleBuildsIntoADictionaryTheEngineReads) {
    GcideSource source;
    std::string error;
    ASSERT_TRUE(LoadGcide(kSampleIndex, &source, &error)) << error;
    lexicore::DictionarySource dictionary;
    dictionary.entries = ConvertGcide(source.records, nullptr);
    dictionary.exceptions = {{"abbeys", "abbey"}};
    lexicore::testing::TempDir dir;
    const std::string path = dir.File("large.pdb");
    lexicore::testing::Build(dictionary, path);
    lexicore::testing::OpenDictionary dict(path);
    const LXV_HANDLE h = dict.handle();
    ASSERT_NE(h, 0u);

    const uint32_t count = lxv_wordlist_count(h);
    ASSERT_EQ(count, 12u);
    EXPECT_STREQ(lxv_wordlist_at(h, 0), "a");
    EXPECT_STREQ(lxv_wordlist_at(h, count - 1), "100");
    EXPECT_STREQ(lxv_wordlist_at(h, lxv_wordlist_on(h, "ABB\xC9")), "Abb\xE9");
    EXPECT_STREQ(lxv_wordlist_nearest(h, "ROCK CRYSTAL"), "Rock crystal");
    EXPECT_STREQ(lxv_wordlist_nearest(h, "abbeys"), "Abbey");

    char buffer[LXV_PRINT_BUFFER_SIZE];
    const LXV_ENTRY a = lxv_find(h, "a");
    ASSERT_NE(a, 0u);
    ASSERT_NE(lxv_printhtml_buf(h, a, buffer, sizeof buffer), 0);
    EXPECT_NE(std::strstr(buffer, "The first letter of the English"), nullptr);
    EXPECT_NE(std::strstr(buffer, "indefinite article"), nullptr);
    EXPECT_EQ(std::strchr(buffer, kSenseBreak), nullptr);

    const LXV_ENTRY abbe = lxv_find(h, "abb\xE9");
    ASSERT_NE(abbe, 0u);
    ASSERT_NE(lxv_print_buf(h, abbe, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer,
                 "Ab\xB4"
                 "b\xE9` (ab\xB4"
                 "ba`), n. [F. abb\xE9. See Abbot.]\n   The French word answering to the English "
                 "abbot, the head of an abbey.\n");

    // A word without an entry of its own gets the paragraph that names it.
    const LXV_ENTRY cloister = lxv_find(h, "cloister");
    ASSERT_NE(cloister, 0u);
    ASSERT_NE(lxv_print_buf(h, cloister, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "Syn: Monastery; convent; nunnery; priory; cloister. See Cloister.\n");

    const LXV_ENTRY crystal = lxv_find(h, "rock crystal");
    ASSERT_NE(crystal, 0u);
    ASSERT_NE(lxv_printhtml_buf(h, crystal, buffer, sizeof buffer), 0);
    EXPECT_NE(std::strstr(buffer, "tools &amp; jewels said to be \x93&lt;clearer&gt; than water"),
              nullptr)
        << buffer;
}

// Real GCIDE entries (tests/data/gcide/forms.*) whose lines point into other
// words' entries, through the builder and the engine as the program reads them.
TEST(GcideDictionary, FormsShowTheWholeEntryOfTheirWord) {
    GcideSource source;
    std::string error;
    ASSERT_TRUE(
        LoadGcide(std::string(LEXIVANE_TEST_DATA_DIR) + "/gcide/forms.index", &source, &error))
        << error;
    lexicore::DictionarySource dictionary;
    GcideStats stats;
    dictionary.entries = ConvertGcide(source.records, &stats, {{"is", "be"}});
    EXPECT_EQ(stats.long_before, 1u);  // set
    EXPECT_EQ(stats.long_after, 0u);
    lexicore::testing::TempDir dir;
    lexicore::testing::Build(dictionary, dir.File("forms.pdb"));
    lexicore::testing::OpenDictionary dict(dir.File("forms.pdb"));
    const LXV_HANDLE h = dict.handle();
    ASSERT_NE(h, 0u);
    auto print = [&](const char* word, bool html) {
        std::vector<char> buffer(LXV_PRINT_BUFFER_SIZE);
        const LXV_ENTRY e = lxv_find(h, word);
        EXPECT_NE(e, 0u) << word;
        const int ok = html ? lxv_printhtml_buf(h, e, buffer.data(), LXV_PRINT_BUFFER_SIZE)
                            : lxv_print_buf(h, e, buffer.data(), LXV_PRINT_BUFFER_SIZE);
        EXPECT_NE(ok, 0) << word;
        return std::string(buffer.data());
    };

    // Every entry has a definition, no stray head line, nothing of the source's
    // marks or HTML, and fits the buffer.
    for (uint32_t i = 0; i < lxv_wordlist_count(h); ++i) {
        const std::string word = lxv_wordlist_at(h, i);
        const std::string html = print(word.c_str(), true);
        const std::string text = print(word.c_str(), false);
        const EntryFindings found = CheckEntry(word, html, text);
        EXPECT_TRUE(found.definition && !found.stray_head_line && !found.pronunciation_marks &&
                    !found.html_debris)
            << word;
        EXPECT_EQ(FindGcideNotation(html, true), "") << word;
        EXPECT_EQ(html.find(lexicore::kHtmlContinuesNote), std::string::npos) << word;
    }

    // An inflection, a plural and a variant spelling: their own head line, if
    // any, then all of their word's entry.
    const std::string reached = print("reached", false);
    EXPECT_TRUE(reached.starts_with("Reach, v. t. [imp. & p. p. Reached")) << reached;
    EXPECT_NE(reached.find("\n10. To overreach; to deceive. [Obs.]"), std::string::npos);
    const std::string mice = print("mice", false);
    EXPECT_TRUE(mice.starts_with("mice (mis), n., pl. of Mouse.\nMouse (mous), n.; pl. Mice"));
    EXPECT_NE(mice.find("\n5. A match used in firing guns or blasting.\n"), std::string::npos);
    const std::string colour = print("colour", false);
    EXPECT_TRUE(colour.starts_with("Col\xB4our, n.\n   See Color. [Brit.]\nCol\xB4or (k"))
        << colour;
    EXPECT_EQ(colour.find("Col\xB4or (", colour.find("Col\xB4or (") + 1), std::string::npos);
    // The own entry first; the run-on line first, its entry after it without it.
    EXPECT_TRUE(print("harder", false)
                    .starts_with("Har\xB4"
                                 "der (h\xE4r\xB4"
                                 "der), n. (Zool.)"));
    const std::string sensuously = print("sensuously", false);
    EXPECT_TRUE(
        sensuously.starts_with("\x97 Sensuously, adv. \x97 Sensuousness, n.\nSen\xB4su-ous"))
        << sensuously;
    EXPECT_EQ(sensuously.find("Sensuously", 10), std::string::npos);
    // An irregular form shows its base's entry after its own.
    const std::string is = print("is", false);
    EXPECT_TRUE(is.starts_with("Is, v. i.")) << is;
    EXPECT_NE(is.find("\nBe (be), v. i. [imp. Was"), std::string::npos);
    EXPECT_NE(print("methought", false).find("Me-thinks\xB4"), std::string::npos);

    // A name wrapped across lines in parentheses, and one with a ligature.
    EXPECT_NE(lxv_find(h, "Acanthus mollis"), 0u);
    EXPECT_NE(lxv_find(h, "Althaea rosea"), 0u);
    // Stress and syllable marks of a pronunciation after the part of speech.
    EXPECT_TRUE(print("amnesiac", false).starts_with("amnesiac adj. (am-ne\xB4ze-ak)\n"));
    // A mangled web link keeps its text only.
    EXPECT_NE(print("javelina", false).find(" The javelina is the only wild pig"),
              std::string::npos);

    // Set: each source entry once, every part of speech, and what was left out said.
    const std::string set = print("set", false);
    for (const char* part : {"Set (set), v. t.", "Set (set), v. i.", "Set (set), a.", "Set, n."}) {
        const size_t at = set.find(part);
        EXPECT_NE(at, std::string::npos) << part;
        EXPECT_EQ(set.find(part, at + 1), std::string::npos) << part;
    }
    EXPECT_TRUE(set.ends_with(" are left out of this long entry.\n"))
        << set.substr(set.size() - 90);
}

// Over the whole installed source: nothing of the source notation is left.
TEST(GcideInstalledSource, ConvertsWithoutLeavingNotation) {
    GcideSource source;
    std::string error;
    if (!LoadGcide(kGcideIndex, &source, &error)) GTEST_SKIP() << "GCIDE not installed: " << error;
    GcideStats stats;
    const auto entries = ConvertGcide(source.records, &stats);
    EXPECT_GT(entries.size(), 150000u);
    EXPECT_GT(stats.own, 120000u);
    int reported = 0;
    for (const auto& e : entries) {
        const std::string html = FindGcideNotation(e.html, true);
        const std::string text = FindGcideNotation(e.text, false);
        if ((!html.empty() || !text.empty()) && ++reported <= 20) {
            ADD_FAILURE() << e.headword << ": " << html << " / " << text;
        }
        EXPECT_FALSE(e.headword.empty());
    }
    EXPECT_EQ(reported, 0);
    EXPECT_NE(Find(entries, "a"), nullptr);
    EXPECT_NE(Find(entries, "Abb\xE9"), nullptr);
}

}  // namespace
}  // namespace lexivane_dict
