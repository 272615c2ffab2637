// Helpers for the HTML view tests: where things are in a laid-out document.
#ifndef LEXIVANE_TESTS_HTML_HTML_TEST_SUPPORT_H_
#define LEXIVANE_TESTS_HTML_HTML_TEST_SUPPORT_H_

#include <QPoint>
#include <QString>

class QTextBrowser;

namespace html_test {

// A point inside link number `nth` (from 0) to `href`, in the view's viewport
// coordinates; (-1, -1) when the document has no such link.
QPoint LinkPoint(QTextBrowser* view, const QString& href, int nth = 0);
// Where link number `nth` to `href` starts in the document, in document pixels; -1 when none.
int LinkTop(QTextBrowser* view, const QString& href, int nth = 0);

// The text of the line at the top of the view, without blanks at its ends.
QString TopLine(QTextBrowser* view);

// Taps link number `nth` to `href` with the left button.
void TapLink(QTextBrowser* view, const QString& href, int nth = 0);

}  // namespace html_test

#endif  // LEXIVANE_TESTS_HTML_HTML_TEST_SUPPORT_H_
