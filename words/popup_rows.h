// What the rows of the pop-up lists are: a title, the command rows between
// three hyphens, then words. The history and bookmark list models lay their
// rows out with these texts and tell the pages which kind a row is.
#ifndef LEXIVANE_WORDS_POPUP_ROWS_H_
#define LEXIVANE_WORDS_POPUP_ROWS_H_

#include <QAbstractListModel>
#include <QString>
#include <utility>

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

// The rows of a pop-up list as a list model: each row shows the text of its
// kind, its word for a word row. The models say which kind each row is.
class CPopupRows : public QAbstractListModel {
  public:
    // The kind of row `row`; kNone for a row the list does not have.
    virtual PopupRow KindOf(int row) const = 0;
    // The word of a word row; empty for any other row.
    virtual QString WordAt(int row) const = 0;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  protected:
    // Rows whose title row reads `title`.
    explicit CPopupRows(QString title) : m_strTitle(std::move(title)) {}

  private:
    QString m_strTitle;
};

#endif  // LEXIVANE_WORDS_POPUP_ROWS_H_
