#include "search/word_window.h"

#include <gtest/gtest.h>

#include <QItemSelectionModel>
#include <algorithm>
#include <set>

namespace {

using platform::SB_LINEDOWN;
using platform::SB_LINEUP;
using platform::SB_PAGEDOWN;
using platform::SB_PAGEUP;
using platform::SB_THUMBTRACK;

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

// `count` headwords "w0000", "w0001", ...; those at the indices in `missing`
// cannot be read.
class FakeHeadwords : public CHeadwords {
  public:
    explicit FakeHeadwords(uint32_t count) : m_count(count) {}
    uint32_t WordCount() const override { return m_count; }
    std::optional<QString> HeadwordAt(uint32_t index) const override {
        if (index >= m_count || missing.count(index) > 0) return std::nullopt;
        return Word(index);
    }
    std::optional<uint32_t> NearestIndex(const QString& text) const override {
        if (text.isEmpty() || text == QStringLiteral("?")) return std::nullopt;
        uint32_t index = 0;
        while (index + 1 < m_count && Word(index) < text) ++index;
        return index;
    }
    static QString Word(uint32_t index) {
        return QStringLiteral("w%1").arg(index, 4, 10, QChar('0'));
    }
    std::set<uint32_t> missing;

  private:
    uint32_t m_count;
};

QStringList Rows(const CWordWindow& window) {
    QStringList rows;
    for (int i = 0; i < window.rowCount(); ++i) rows << window.index(i, 0).data().toString();
    return rows;
}

QStringList Words(uint32_t from, uint32_t count) {
    QStringList words;
    for (uint32_t i = from; i < from + count; ++i) words << FakeHeadwords::Word(i);
    return words;
}

TEST(WordWindowTest, PlacesScrollsAndStopsAtBothEnds) {
    FakeHeadwords words(1000);
    CWordWindow window(words);
    EXPECT_TRUE(window.InitScrollState());
    EXPECT_FALSE(window.InitScrollState()) << "the count is read once";
    EXPECT_EQ(window.ScrollRange(), 500u);

    CWordWindow::Placement placed = window.PositionOnWord(FakeHeadwords::Word(500));
    EXPECT_TRUE(placed.ok && placed.refilled);
    EXPECT_EQ(placed.selectRow, 0);
    EXPECT_EQ(Rows(window), Words(500, 18));
    EXPECT_EQ(window.ScrollPos(), 250);
    placed = window.PositionOnWord(FakeHeadwords::Word(500));
    EXPECT_FALSE(placed.refilled) << "the same top refills nothing";
    EXPECT_EQ(placed.selectRow, -1) << "and leaves the user's selection";
    placed = window.PositionOnWord(QStringLiteral("?"));
    EXPECT_FALSE(placed.refilled) << "a failed look-up changes nothing";
    EXPECT_EQ(Rows(window), Words(500, 18));

    placed = window.PositionOnWord(FakeHeadwords::Word(990));
    EXPECT_EQ(Rows(window), Words(982, 18)) << "the last page";
    EXPECT_EQ(placed.selectRow, 8);

    EXPECT_FALSE(window.Scroll(SB_LINEDOWN, 0));
    EXPECT_EQ(Rows(window), Words(982, 18)) << "nothing below the last headword";
    window.Scroll(SB_LINEUP, 0);
    EXPECT_EQ(window.TopIndex(), 981u);
    EXPECT_EQ(window.ScrollPos(), 490);
    EXPECT_TRUE(window.Scroll(SB_PAGEDOWN, 0));
    EXPECT_EQ(window.ScrollPos(), 500) << "the end of the bar at the last page";
    EXPECT_TRUE(window.Scroll(SB_THUMBTRACK, 250));
    EXPECT_EQ(window.TopIndex(), 491u);
    window.MoveTopTo(10);
    window.Scroll(SB_PAGEUP, 0);
    EXPECT_EQ(window.TopIndex(), 0u);
    EXPECT_EQ(window.ScrollPos(), 0);
    EXPECT_FALSE(window.ScrollOneRow(true)) << "nothing above the first headword";

    window.MoveTopTo(300);
    EXPECT_TRUE(window.SetPageRows(5));
    EXPECT_EQ(Rows(window), Words(300, 5)) << "a new page size keeps the first headword";
    EXPECT_FALSE(window.SetPageRows(5));
}

TEST(WordWindowTest, HeadwordsThatCannotBeReadAreLeftOutOrShownEmpty) {
    FakeHeadwords words(100);
    words.missing = {27, 28};
    CWordWindow window(words);
    window.InitScrollState();
    EXPECT_TRUE(window.PositionOnWord(FakeHeadwords::Word(9)).ok) << "rows 9 to 26 are all there";
    EXPECT_FALSE(window.PositionOnWord(FakeHeadwords::Word(10)).ok) << "its last row is missing";
    EXPECT_EQ(window.rowCount(), 17) << "left out when placing on a word";
    window.MoveTopTo(20);
    EXPECT_EQ(Rows(window)[7], QString()) << "an empty row when paging";
    window.MoveTopTo(9);
    const int32_t thumb = window.ScrollPos();
    EXPECT_FALSE(window.Scroll(SB_LINEDOWN, 0));
    EXPECT_EQ(Rows(window).back(), QString()) << "the row comes in empty";
    EXPECT_EQ(window.ScrollPos(), thumb) << "and the thumb stays";
}

TEST(WordWindowTest, ASelectedHeadwordMovesWithItsRowAndGoesWithIt) {
    FakeHeadwords words(1000);
    CWordWindow window(words);
    window.InitScrollState();
    window.PositionOnWord(FakeHeadwords::Word(100));
    QItemSelectionModel selection(&window);
    selection.select(window.index(5, 0), QItemSelectionModel::ClearAndSelect);
    window.Scroll(SB_LINEDOWN, 0);
    ASSERT_EQ(selection.selectedRows().size(), 1);
    EXPECT_EQ(selection.selectedRows().front().row(), 4);
    window.Scroll(SB_LINEUP, 0);
    window.Scroll(SB_LINEUP, 0);
    EXPECT_EQ(selection.selectedRows().front().row(), 6);
    selection.select(window.index(17, 0), QItemSelectionModel::ClearAndSelect);
    window.Scroll(SB_LINEUP, 0);
    EXPECT_TRUE(selection.selectedRows().isEmpty()) << "its row went out at the bottom";
}

TEST(WordWindowTest, ADictionarySmallerThanAPageShowsAllOfItAndNeverMoves) {
    FakeHeadwords words(10);
    CWordWindow window(words);
    window.InitScrollState();
    window.PositionOnWord(QString());
    EXPECT_EQ(Rows(window), Words(0, 10));
    for (const platform::UINT code : {SB_LINEDOWN, SB_PAGEDOWN, SB_THUMBTRACK})
        window.Scroll(code, 5);
    EXPECT_EQ(window.PositionOnWord(FakeHeadwords::Word(9)).selectRow, 9);
    EXPECT_EQ(Rows(window), Words(0, 10));
    EXPECT_EQ(window.TopIndex(), 0u);
}

}  // namespace
