#include "tools/entry_layout.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace lexivane_dict {
namespace {

Sense MakeSense(std::string pos, std::string definition, std::vector<std::string> examples = {},
                std::vector<std::string> synonyms = {}, std::vector<std::string> antonyms = {}) {
    return {std::move(pos), std::move(definition), std::move(examples), std::move(synonyms),
            std::move(antonyms)};
}

std::string Visible(std::string s) {
    std::replace(s.begin(), s.end(), lexicore::kSenseBreak, '|');
    return s;
}

// The plain text as the layout promises to derive it from the HTML.
std::string TextOf(const std::string& html) {
    std::string text;
    size_t i = 0;
    while (i < html.size()) {
        if (html[i] == '<') {
            const size_t end = html.find('>', i);
            const std::string tag = html.substr(i, end - i + 1);
            if (tag == "</p>") text += '\n';
            if (tag == "<br>") text += "\n   ";
            i = end + 1;
        } else if (html[i] == '&') {
            const size_t end = html.find(';', i);
            const std::string entity = html.substr(i, end - i + 1);
            text += entity == "&amp;"    ? '&'
                    : entity == "&lt;"   ? '<'
                    : entity == "&gt;"   ? '>'
                    : entity == "&quot;" ? '"'
                    : entity == "&#39;"  ? '\''
                                         : '?';
            i = end + 1;
        } else {
            text += html[i++];
        }
    }
    return text;
}

TEST(EntryLayout, NumbersSensesWithinEachPartOfSpeech) {
    Entry entry{
        "bank",
        lexicore::kNoun | lexicore::kVerb,
        {MakeSense("noun", "a financial institution"), MakeSense("noun", "sloping land"),
         MakeSense("verb", "do business with a bank"), MakeSense("", "an unlabelled sense")}};
    const lexicore::SourceEntry out = LayOutEntry(entry);
    EXPECT_EQ(out.headword, "bank");
    EXPECT_EQ(out.parts_of_speech, lexicore::kNoun | lexicore::kVerb);
    EXPECT_EQ(Visible(out.html),
              "<p><b>bank</b></p><p><i>noun</i></p><p><b>1.</b> a financial institution</p>"
              "|<p><b>2.</b> sloping land</p>"
              "|<p><i>verb</i></p><p>do business with a bank</p>"
              "|<p>an unlabelled sense</p>");
    EXPECT_EQ(Visible(out.text),
              "bank\nnoun\n1. a financial institution\n|2. sloping land\n"
              "|verb\ndo business with a bank\n|an unlabelled sense\n");
}

TEST(EntryLayout, ExamplesWithoutADefinitionNeedNoSeparator) {
    Entry entry{"hi", 0, {MakeSense("", "", {"\u201chi there\u201d", "\u201chello\u201d"})}};
    const lexicore::SourceEntry out = LayOutEntry(entry);
    EXPECT_EQ(out.html, "<p><b>hi</b></p><p><i>\x93hi there\x94</i>; <i>\x93hello\x94</i></p>");
    EXPECT_EQ(out.text, "hi\n\x93hi there\x94; \x93hello\x94\n");
}

TEST(EntryLayout, TextIsTheHtmlWithoutMarkup) {
    Entry entry{"<AT&T> caf\u00e9 \u03b1",
                lexicore::kNoun,
                {MakeSense("noun", "a \"quoted\" & <tagged> definition", {"it's \u03b1 test"},
                           {"Ma Bell", "a&b"}, {"<none>"}),
                 MakeSense("noun", "second", {}, {}, {"x"})}};
    const lexicore::SourceEntry out = LayOutEntry(entry);
    EXPECT_EQ(out.headword, "<AT&T> caf\xe9 ?");
    EXPECT_EQ(Visible(out.html),
              "<p><b>&lt;AT&amp;T&gt; caf\xe9 &#945;</b></p><p><i>noun</i></p>"
              "<p><b>1.</b> a &quot;quoted&quot; &amp; &lt;tagged&gt; definition; "
              "<i>it&#39;s &#945; test</i><br>Synonyms: <i>Ma Bell, a&amp;b</i>"
              "<br>Antonyms: <i>&lt;none&gt;</i></p>"
              "|<p><b>2.</b> second<br>Antonyms: <i>x</i></p>");
    EXPECT_EQ(out.text, TextOf(out.html));

    // Words that name other headwords are links, spelled as the headwords
    // are; the entry's own word and words that are no headword stay text.
    LinkTargets targets;
    for (const char* word : {"MA BELL", "ma bell", "a&b", "x", "<AT&T> caf\xe9 ?"})
        targets.Add(word);
    const EntryLinks links{&targets, "<at&t> caf\xe9 ?"};
    const lexicore::SourceEntry linked = LayOutEntry(entry, &links);
    EXPECT_EQ(Visible(linked.html).substr(Visible(out.html).find("<br>")),
              "<br>Synonyms: <i><a href=\"entry:ma bell\">Ma Bell</a>, "
              "<a href=\"entry:a&amp;b\">a&amp;b</a></i><br>Antonyms: <i>&lt;none&gt;</i></p>"
              "|<p><b>2.</b> second<br>Antonyms: <i><a href=\"entry:x\">x</a></i></p>");
    EXPECT_EQ(linked.text, out.text);
}

// One headword with 200,000 senses of one part of speech, then one of another:
// a layout linear in the senses takes a fraction of a second; one that looks
// at the whole group again for each sense takes minutes, past this test's
// time limit (tests/tools/CMakeLists.txt).
TEST(EntryLayoutScale, ManySensesOfOneWordAreLaidOutInOnePass) {
    constexpr size_t kSenses = 200000;
    Entry entry{"big", lexicore::kNoun | lexicore::kVerb, {}};
    entry.senses.assign(kSenses, MakeSense("noun", "s"));
    entry.senses.push_back(MakeSense("verb", "v"));
    const lexicore::SourceEntry out = LayOutEntry(entry);
    EXPECT_TRUE(out.html.starts_with("<p><b>big</b></p><p><i>noun</i></p><p><b>1.</b> s</p>"));
    EXPECT_TRUE(Visible(out.html).ends_with("|<p><b>200000.</b> s</p>|<p><i>verb</i></p><p>v</p>"));
    EXPECT_EQ(std::count(out.html.begin(), out.html.end(), lexicore::kSenseBreak), kSenses);
}

}  // namespace
}  // namespace lexivane_dict
