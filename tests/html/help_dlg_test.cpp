#include "html/help_dlg.h"

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <functional>

#include "html/html_pane.h"
#include "html_test_support.h"

using namespace platform;

namespace {

constexpr QChar kNbsp(0x00A0);

// Runs the help page modally; `whileOpen` runs once it shows, and must close it.
int RunHelp(CHelpDlg& page, const std::function<void()>& whileOpen) {
    QTimer::singleShot(0, &page, whileOpen);
    return page.DoModal();
}

QTextBrowser* View(CHelpDlg& page) {
    return page.findChild<QTextBrowser*>();
}

// The document's bold runs in order, each without blanks at its ends.
QStringList BoldRuns(QTextDocument* document) {
    QStringList runs;
    bool inBold = false;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const bool bold = fragment.charFormat().fontWeight() >= QFont::Bold;
            if (bold && inBold)
                runs.back() += fragment.text();
            else if (bold)
                runs.push_back(fragment.text());
            inBold = bold;
        }
        inBold = false;
    }
    for (QString& run : runs) run = run.trimmed();
    return runs;
}

// Every link of the document in order as "href text".
QStringList Links(QTextDocument* document) {
    QStringList links;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isAnchor() && !format.anchorHref().isEmpty())
                links.push_back(format.anchorHref() + QLatin1Char(' ') +
                                it.fragment().text().trimmed());
        }
    }
    return links;
}

TEST(HelpPageTest, ShowsTheHelpDocumentInAPaneFillingThePage) {
    CHelpDlg page;
    const int result = RunHelp(page, [&] {
        EXPECT_EQ(page.windowTitle(), QStringLiteral("Help"));
        EXPECT_EQ(page.size(), QSize(240, 268));
        QTextBrowser* view = View(page);
        ASSERT_NE(view, nullptr);
        EXPECT_TRUE(view->isVisible());
        EXPECT_EQ(view->geometry(), QRect(2, 2, 236, 265));
        EXPECT_EQ(view->accessibleName(), QStringLiteral("Help"));
        EXPECT_EQ(view->verticalScrollBar()->value(), 0);
        EXPECT_EQ(html_test::TopLine(view), QStringLiteral("Lexivane Help"));
        page.close();
    });
    EXPECT_EQ(result, IDOK);
}

TEST(HelpPageTest, DocumentHasItsBoldRunsLinksAndAnchors) {
    CHelpDlg page;
    RunHelp(page, [&] {
        QTextDocument* document = View(page)->document();
        EXPECT_EQ(BoldRuns(document),
                  QStringList({"Lexivane Help", "[Search Page]", "Search", "Search", "Bookmarks",
                               "Bookmarks", "History", "History", "[Definitions Page]", "Lookup",
                               "Lookup", "Copy", "Copy", "Left or Right", "Close", "Ok",
                               "Links and Back", "Dictionaries", "lexivane"}));
        EXPECT_EQ(Links(document),
                  QStringList({"#search Search", "#definition Definition", "#top Go to top",
                               "#top Go to top", "#top Go to top", "#top Go to top"}));
        EXPECT_EQ(document->blockCount(), 12);
        page.close();
    });
}

TEST(HelpPageTest, WordsInAngleBracketsAndSpacingRunsAreVisible) {
    CHelpDlg page;
    RunHelp(page, [&] {
        const QString shown = View(page)->document()->toRawText();
        for (const char* words : {"Select <Mark this> to bookmark the definition of a word.",
                                  "Select <Clear all> to remove all bookmarks.",
                                  "Select <Clear all> to manually remove all entries.",
                                  "Select <Copy highlighted word> to copy",
                                  "Select <Copy definition> to copy entire definition"}) {
            EXPECT_TRUE(shown.contains(QString::fromLatin1(words))) << words;
        }
        EXPECT_TRUE(shown.contains(QStringLiteral("Bookmarks") + QString(16, kNbsp) +
                                   QStringLiteral(" Go to top")));
        EXPECT_TRUE(shown.contains(QStringLiteral("History ") + QString(21, kNbsp) +
                                   QStringLiteral(" Go to top")));
        EXPECT_TRUE(shown.contains(QStringLiteral("[Definitions Page]") + QString(5, kNbsp) +
                                   QStringLiteral(" Go to top")));
        EXPECT_TRUE(shown.contains(QStringLiteral("Close") + QString(19, kNbsp) +
                                   QStringLiteral(" Go to top")));
        EXPECT_FALSE(shown.contains(QString(22, kNbsp)));
        EXPECT_TRUE(
            shown.contains(QStringLiteral("Tap the Lookup(spyglass) icon to see the definition")));
        page.close();
    });
}

TEST(HelpPageTest, LinksScrollToTheirHeadingsAndBackToTheTop) {
    CHelpDlg page;
    RunHelp(page, [&] {
        QTextBrowser* view = View(page);
        QScrollBar* bar = view->verticalScrollBar();
        html_test::TapLink(view, QStringLiteral("#search"));
        EXPECT_EQ(html_test::TopLine(view), QStringLiteral("[Search Page]"));
        EXPECT_GT(bar->value(), 0);

        bar->setValue(0);
        html_test::TapLink(view, QStringLiteral("#definition"));
        EXPECT_EQ(html_test::TopLine(view).left(18), QStringLiteral("[Definitions Page]"));
        EXPECT_GT(bar->value(), 0);

        for (int nth = 0; nth < 4; ++nth) {
            // Bring the link into view, then tap it.
            const int top = html_test::LinkTop(view, QStringLiteral("#top"), nth);
            ASSERT_GE(top, 0) << nth;
            bar->setValue(top - 40);
            ASSERT_GT(bar->value(), 0) << nth;
            html_test::TapLink(view, QStringLiteral("#top"), nth);
            EXPECT_EQ(bar->value(), 0) << nth;
            EXPECT_EQ(html_test::TopLine(view), QStringLiteral("Lexivane Help")) << nth;
        }
        EXPECT_NE(View(page), nullptr);
        page.close();
    });
}

TEST(HelpPageTest, LinksWorkFromTheKeyboard) {
    CHelpDlg page;
    RunHelp(page, [&] {
        QTextBrowser* view = View(page);
        EXPECT_EQ(page.focusWidget(), view);
        QTest::keyClick(view, Qt::Key_Tab);
        QTest::keyClick(view, Qt::Key_Tab);
        QTest::keyClick(view, Qt::Key_Return);
        EXPECT_EQ(html_test::TopLine(view).left(18), QStringLiteral("[Definitions Page]"));
        page.close();
    });
}

TEST(HelpPageTest, ClosingByAnyWayReleasesThePane) {
    {
        CHelpDlg page;
        EXPECT_EQ(RunHelp(page, [&] { page.close(); }), IDOK);
        EXPECT_TRUE(page.findChildren<QTextBrowser*>().isEmpty());
    }
    {
        CHelpDlg page;
        EXPECT_EQ(RunHelp(page, [&] { QTest::keyClick(View(page), Qt::Key_Escape); }), IDCANCEL);
        EXPECT_TRUE(page.findChildren<QTextBrowser*>().isEmpty());
    }
}

TEST(HelpPageTest, EachOpeningShowsANewPaneFromTheTop) {
    CHelpDlg first;
    RunHelp(first, [&] {
        html_test::TapLink(View(first), QStringLiteral("#definition"));
        first.close();
    });
    CHelpDlg second;
    RunHelp(second, [&] {
        EXPECT_EQ(View(second)->verticalScrollBar()->value(), 0);
        EXPECT_EQ(second.findChildren<QTextBrowser*>().size(), 1);
        second.close();
    });
}

}  // namespace
