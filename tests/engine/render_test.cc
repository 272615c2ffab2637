#include "lexicore/render.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lexicore/builder.h"

namespace lexicore {
namespace {

std::string Fit(std::string_view entry, EntryForm form, uint32_t size) {
    std::vector<char> buffer(size + 8, '#');
    EXPECT_TRUE(FitEntry(entry, form, buffer.data(), size));
    for (uint32_t i = size; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], '#') << size;
    return std::string(buffer.data());
}

const std::string kSenses = std::string("1. first sense") + kSenseBreak + "2. second sense" +
                            kSenseBreak + "3. third sense";

TEST(FitEntry, WholeEntryWithoutMarkersWhenItFits) {
    const std::string plain = "1. first sense2. second sense3. third sense";
    EXPECT_EQ(Fit(kSenses, EntryForm::kText, plain.size() + 1), plain);
    EXPECT_EQ(Fit(kSenses, EntryForm::kText, 1000), plain);
}

TEST(FitEntry, CutAtTheLastSenseBoundaryThatLeavesRoomForTheNote) {
    const std::string one = "1. " + std::string(60, 'a');
    const std::string two = "2. " + std::string(60, 'b');
    const std::string three = "3. " + std::string(60, 'c');
    const std::string entry = one + kSenseBreak + two + kSenseBreak + three;
    const std::string note(kTextContinuesNote);
    const auto size = static_cast<uint32_t>(one.size() + two.size() + note.size() + 1);
    EXPECT_EQ(Fit(entry, EntryForm::kText, size), one + two + note);
    EXPECT_EQ(Fit(entry, EntryForm::kText, size - 1), one + note);
}

TEST(FitEntry, ATextCutAtALinesEndPutsTheNoteOnTheNextLine) {
    const std::string one = "1. " + std::string(60, 'a') + "\n";
    const std::string two = "2. " + std::string(60, 'b') + "\n";
    const std::string entry = one + kSenseBreak + two;
    const std::string note(kTextContinuesNote);
    EXPECT_EQ(Fit(entry, EntryForm::kText, static_cast<uint32_t>(one.size() + note.size() + 1)),
              one + note.substr(1));
}

TEST(FitEntry, WithoutAUsefulBoundaryCutsAtASpaceOutsideTagsAndEntities) {
    const std::string note(kHtmlContinuesNote);
    const std::string html = "<p>one &amp; two <i>three</i> four " + std::string(200, 'x') + "</p>";
    // Room for "<p>one &a": the entity may not be split, the space before it is taken.
    EXPECT_EQ(Fit(html, EntryForm::kHtml, note.size() + 10), "<p>one" + note);
    // Room for "<p>one &amp; two <i": the tag may not be split.
    EXPECT_EQ(Fit(html, EntryForm::kHtml, note.size() + 20), "<p>one &amp; two " + note);
    // A boundary that would show less than half of what fits loses to a cut
    // inside the long paragraph after it.
    std::string words;
    for (int i = 0; i < 100; ++i) words += "word ";
    const std::string country =
        "<p>Pakistan</p>" + std::string(1, kSenseBreak) + "<p>Note: " + words + "</p>";
    const std::string shown = Fit(country, EntryForm::kHtml, note.size() + 101);
    EXPECT_TRUE(shown.starts_with("<p>Pakistan</p><p>Note: word word")) << shown;
    EXPECT_GE(shown.size(), note.size() + 90) << shown;
    const std::string text = "alpha beta gamma " + std::string(100, 'd');
    EXPECT_EQ(Fit(text, EntryForm::kText, kTextContinuesNote.size() + 9),
              "alpha" + std::string(kTextContinuesNote));
}

TEST(FitEntry, TinyBuffersStillGetATerminatedString) {
    EXPECT_EQ(Fit(kSenses, EntryForm::kText, 1), "");
    EXPECT_EQ(Fit(kSenses, EntryForm::kText, 6), "1.");
    EXPECT_EQ(Fit("<b>word</b>", EntryForm::kHtml, 5), "<b>w");
    EXPECT_EQ(Fit("<b>word</b>", EntryForm::kHtml, 3), "");
    EXPECT_EQ(Fit("", EntryForm::kHtml, 1), "");
    char c = 'x';
    EXPECT_FALSE(FitEntry("abc", EntryForm::kText, &c, 0));
    EXPECT_EQ(c, 'x');
    EXPECT_FALSE(FitEntry("abc", EntryForm::kText, nullptr, 10));
}

}  // namespace
}  // namespace lexicore
