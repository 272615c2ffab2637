// What GUI tests do to and read from the pages, the way a user would: tap a
// toolbar button or a list row, read a list's rows, and the bytes a list of
// words takes in the bookmark file.
#ifndef LEXIVANE_TESTS_SUPPORT_PAGE_HELPERS_H_
#define LEXIVANE_TESTS_SUPPORT_PAGE_HELPERS_H_

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

class QMenu;
class QWidget;
namespace platform {
struct MessageBoxRecord;
}

// The texts of a list box's rows, top to bottom; none for a widget that is no list.
QStringList Rows(QWidget* list);

// The bookmark file's bytes for `words`: each word and a line feed, UTF-16 little-endian.
QByteArray Utf16Lines(const QStringList& words);

// Clicks the button of `page`'s command bar with that accessible name; fails
// the test when there is none.
void TapToolButton(QWidget* page, const QString& name);

// Clicks row `row` of a shown list box; fails the test when the list is
// hidden or has no such row.
void TapListRow(QWidget* list, int row);

// The menu of `page`'s command bar named `name` ("Tools"), or null.
QMenu* CommandBarMenu(QWidget* page, const QString& name);

// Runs `open`; the modal window it opens is closed as soon as it runs, and its
// title is returned. Empty when `open` opened none.
QString TitleOfModalOpenedBy(const std::function<void()>& open);

// A message-box responder for death tests: writes "box: CAPTION: TEXT: STYLE"
// (the style in decimal) to the standard error, where the test matches it,
// and answers OK.
int PrintBoxAndAnswerOk(const platform::MessageBoxRecord& box);

#endif  // LEXIVANE_TESTS_SUPPORT_PAGE_HELPERS_H_
