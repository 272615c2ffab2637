// The search page's word list window: one page of consecutive headwords of
// the dictionary's sorted list, from a top index, and the thumb position of
// the scroll bar that stands for the window's place in the whole list. A
// scroll bar position is a 16-bit quantity, so the bar works on a coarse
// scale of about two headwords per position.
//
// The window is a list model of its rows, which the page's word list shows;
// it holds no widget and reads the headwords through CHeadwords.
#ifndef LEXIVANE_SEARCH_WORD_WINDOW_H_
#define LEXIVANE_SEARCH_WORD_WINDOW_H_

#include <QAbstractListModel>
#include <QString>
#include <cstdint>
#include <vector>

#include "platform/types.h"
#include "words/headwords.h"

// Counts above this many positions' worth (twice it in headwords) get the
// capped range below instead.
inline constexpr uint32_t kScrollRangeThreshold = 32626;
inline constexpr uint32_t kScrollRangeCap = 32000;

// Highest thumb position for `count` headwords: count / 2, or 32000 when that
// is above 32626. 0 (no positions) for fewer than two headwords.
uint32_t ScrollRangeFor(uint32_t count);

// Headwords per thumb position, count / range in single precision; 0.0 when
// the range is 0, which callers read as "not computed".
float ScrollScaleFor(uint32_t count, uint32_t range);

// The thumb position of a window whose top is `top`: top / scale, truncated.
// 0 when the scale is 0.
int32_t TopToThumb(uint32_t top, float scale);

// The top index for thumb position `thumb` (taken as `range` when above it):
// the last possible top, count - pageRows, spread over the range, truncated.
// The product is computed in 64 bits: in 32 bits it wraps for dictionaries of
// more than about 134,000 headwords at range 32000, and the thumb would jump
// back near the start. 0 when the range is 0 or the dictionary holds no more
// than one page.
uint32_t ThumbToTop(uint32_t count, int32_t pageRows, uint32_t thumb, uint32_t range);

// The highest top index a window of `pageRows` rows may have: count - pageRows,
// or 0 when the dictionary holds no more than one page.
uint32_t LastTop(uint32_t count, int32_t pageRows);

class CWordWindow : public QAbstractListModel {
  public:
    // The rows of a window before the page measures its list box.
    static constexpr int32_t kDefaultPageRows = 18;

    // A window over `headwords`, which must outlive it; empty until filled.
    explicit CWordWindow(const CHeadwords& headwords);

    // Where a move left the window: the row the page selects (-1: leave the
    // selection as the user left it), whether the rows were refilled (the
    // page moves the thumb then), and whether the look-up and the last row
    // read succeeded.
    struct Placement {
        int selectRow = -1;
        bool refilled = false;
        bool ok = false;
    };

    // Reads the headword count while it is 0 and then computes the range;
    // computes the scale while it is 0. True when the range was computed
    // (the page gives it to the scroll bar).
    bool InitScrollState();
    // Moves the window so that the headword nearest to `word` (the first for
    // an empty word) is row 0, or, for one of the last headwords, stands on
    // the last page; that row is selected and the thumb moves. A move that
    // lands on the current top with rows showing refills nothing and selects
    // the headword's row only when it is not row 0; a failed look-up changes
    // nothing. ok is false when the look-up failed or the last row read was
    // missing (missing rows are left out).
    Placement PositionOnWord(const QString& word);
    // Moves one headword toward the start (`up`) or the end without refilling:
    // the top is taken again from row 0's headword, one row comes in and one
    // goes out. False when it cannot move (at either end) or when the row
    // brought in could not be read (an empty row is placed all the same).
    bool ScrollOneRow(bool up);
    // Refills from top index `top` (below 0 is 0, past the last page is the
    // last page), with missing headwords as empty rows. False when that is
    // the current top and nothing was refilled.
    bool MoveTopTo(int64_t top);
    // A scroll bar notification (SB_LINEUP ... SB_THUMBTRACK, with the thumb
    // position for the thumb codes): moves the window and computes the new
    // thumb position. True when the rows were refilled.
    bool Scroll(platform::UINT code, uint32_t thumb);
    // A new page size: refills keeping the first headword (the page keeps its
    // selected row number). True when it changed and rows were refilled.
    bool SetPageRows(int32_t rows);

    uint32_t TopIndex() const { return m_nTopIndex; }
    int32_t PageRows() const { return m_nPageRows; }
    uint32_t WordCount() const { return m_nWordCount; }
    uint32_t ScrollRange() const { return m_nScrollRange; }
    int32_t ScrollPos() const { return m_nScrollPos; }
    float ScrollScale() const { return m_fScrollScale; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  private:
    // Fills the rows afresh from `top`: at most one page, never past the last
    // headword; `dropMissing` leaves out a headword that cannot be read
    // instead of placing an empty row. True when the last one read was there.
    bool FillRows(uint32_t top, bool dropMissing);
    // Refills for the current page size from the first row's headword.
    bool RefillKeepingFirstRow();
    void InsertRow(int row, const QString& text);
    // Removes `row` when there is one.
    void RemoveRow(int row);
    // The thumb position for the current top after a move in one direction:
    // 0 at the start after a move up, the range at the end after a move down.
    int32_t ThumbAfterMove(bool up) const;

    const CHeadwords& m_headwords;
    std::vector<QString> m_rows;
    uint32_t m_nTopIndex = 0;                // word index of row 0
    int32_t m_nPageRows = kDefaultPageRows;  // rows in a window
    uint32_t m_nWordCount = 0;               // 0: read again when next needed
    uint32_t m_nScrollRange = 0;             // highest thumb position
    int32_t m_nScrollPos = 0;                // thumb position last computed
    float m_fScrollScale = 0.0f;             // headwords a position; 0: not computed
};

#endif  // LEXIVANE_SEARCH_WORD_WINDOW_H_
