#include "html_test_support.h"

#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace html_test {
namespace {

// The document position of link number `nth` to `href`; -1 when none.
int LinkPosition(QTextBrowser* view, const QString& href, int nth) {
    QTextDocument* document = view->document();
    int seen = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        bool inLink = false;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const bool isLink = fragment.charFormat().isAnchor() &&
                                fragment.charFormat().anchorHref() == href &&
                                !fragment.text().trimmed().isEmpty();
            if (isLink && !inLink && seen++ == nth) {
                // Skip the leading blank of texts such as " Go to top".
                const int blank = fragment.text().indexOf(fragment.text().trimmed());
                return fragment.position() + blank;
            }
            inLink = isLink;
        }
    }
    return -1;
}

}  // namespace

QPoint LinkPoint(QTextBrowser* view, const QString& href, int nth) {
    const int position = LinkPosition(view, href, nth);
    if (position < 0) return QPoint(-1, -1);
    QTextCursor start(view->document());
    start.setPosition(position);
    QTextCursor next(view->document());
    next.setPosition(position + 1);
    const QRect a = view->cursorRect(start);
    const QRect b = view->cursorRect(next);
    return QPoint((a.left() + std::max(a.left(), b.left())) / 2 + 1, a.center().y());
}

int LinkTop(QTextBrowser* view, const QString& href, int nth) {
    const int position = LinkPosition(view, href, nth);
    if (position < 0) return -1;
    QTextCursor cursor(view->document());
    cursor.setPosition(position);
    return view->cursorRect(cursor).top() + view->verticalScrollBar()->value();
}

QString TopLine(QTextBrowser* view) {
    QTextCursor cursor = view->cursorForPosition(QPoint(4, 2));
    cursor.movePosition(QTextCursor::StartOfLine);
    cursor.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
    return cursor.selectedText().trimmed();
}

void TapLink(QTextBrowser* view, const QString& href, int nth) {
    const QPoint where = LinkPoint(view, href, nth);
    QTest::mouseMove(view->viewport(), where);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, where);
}

}  // namespace html_test
