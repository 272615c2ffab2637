// What the rows of the pop-up lists are: a title, the command rows between
// three hyphens, then words. The history and bookmark list models lay their
// rows out with these texts and tell the pages which kind a row is.
#ifndef LEXIVANE_WORDS_POPUP_ROWS_H_
#define LEXIVANE_WORDS_POPUP_ROWS_H_

#include <QString>

inline const QString kHistoryTitle = QStringLiteral("History");
inline const QString kBookmarksTitle = QStringLiteral("Bookmarks");
inline const QString kClearAllRow = QStringLiteral("---Clear All---");
inline const QString kMarkRow = QStringLiteral("---Mark this---");
inline const QString kUnmarkRow = QStringLiteral("---Unmark this---");

enum class PopupRow {
    kNone,      // no such row
    kTitle,     // "History", "Bookmarks"
    kMark,      // "---Mark this---"
    kUnmark,    // "---Unmark this---"
    kClearAll,  // "---Clear All---"
    kWord,      // a headword
};

#endif  // LEXIVANE_WORDS_POPUP_ROWS_H_
