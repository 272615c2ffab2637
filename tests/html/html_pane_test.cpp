#include "html/html_pane.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QPixmap>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>
#include <map>
#include <memory>
#include <vector>

#include "html_test_support.h"
#include "platform/clipboard.h"
#include "platform/paths.h"
#include "platform/text.h"

using namespace platform;

namespace {

// A long document with the help document's two heading anchors in its middle.
QString LongDocument() {
    QString body =
        QStringLiteral("<a name=\"top\"></a><b>Start</b><br><a href=\"#search\">S</a><br>");
    for (int i = 0; i < 30; ++i)
        body += QStringLiteral("<p>Paragraph %1 of the first part.</p>").arg(i);
    body += QStringLiteral("<br><a name=\"search\"></a><b>[Search heading]</b><br>");
    for (int i = 0; i < 30; ++i)
        body += QStringLiteral("<p>Paragraph %1 of the second part.</p>").arg(i);
    body += QStringLiteral("<br><a name=\"definition\"><b>[Definition heading]</b></a><br>");
    for (int i = 0; i < 60; ++i)
        body += QStringLiteral("<p>Paragraph %1 of the last part.</p>").arg(i);
    return QStringLiteral("<html><body>") + body + QStringLiteral("</body></html>");
}

class HtmlPaneTest : public testing::Test {
  protected:
    void SetUp() override {
        page.resize(240, 268);
        page.show();
        pane = std::make_unique<CHtmlPane>(&page, QRect(2, 2, 236, 265));
        pane->Create();
    }

    QScrollBar* Bar() { return pane->View()->verticalScrollBar(); }
    QString Shown() { return pane->View()->toPlainText(); }
    static void SetClipboard(const QString& text) {
        if (text.isEmpty())
            ClearClipboard();
        else
            CopyTextToClipboard(text);
    }
    static QString Clipboard() { return ClipboardText(); }

    QWidget page;
    std::unique_ptr<CHtmlPane> pane;
};

TEST_F(HtmlPaneTest, CreatePlacesAnEmptyVisibleViewOnThePage) {
    EXPECT_EQ(pane->View()->parentWidget(), &page);
    EXPECT_EQ(pane->View()->geometry(), QRect(2, 2, 236, 265));
    EXPECT_TRUE(pane->View()->isVisible());
    EXPECT_EQ(pane->View()->objectName(), QStringLiteral("control%1").arg(HTML_CONTROL_ID));
    EXPECT_FALSE(pane->View()->accessibleName().isEmpty());
    EXPECT_TRUE(Shown().isEmpty());
    QWidget* const viewport = pane->Create();
    EXPECT_EQ(viewport, pane->View()->viewport()) << "Create returns the view's inner window";
}

TEST_F(HtmlPaneTest, OnlyTextStartingWithLowerCaseHtmlTagIsTakenWhole) {
    struct Case {
        QString text;
        QString document;
    };
    const std::vector<Case> cases = {
        {"<html><body>whole</body></html>", "<html><body>whole</body></html>"},
        {"<html>", "<html>"},
        {"<HTML><BODY>caps</BODY></HTML>",
         "<html><body><HTML><BODY>caps</BODY></HTML></body></html>"},
        {" <html>x", "<html><body> <html>x</body></html>"},
        {"<htm", "<html><body><htm</body></html>"},
        {"<b>cat</b> a small animal", "<html><body><b>cat</b> a small animal</body></html>"},
        {"", "<html><body></body></html>"},
    };
    for (const Case& c : cases) {
        pane->SetHtml(c.text);
        EXPECT_EQ(pane->View()->DocumentHtml(), c.document) << c.text.toStdString();
    }
    pane->SetHtml(QStringLiteral("<b>cat</b> a small animal"));
    EXPECT_EQ(Shown(), QStringLiteral("cat a small animal"));
}

TEST_F(HtmlPaneTest, FilesADocumentRefersToAreNotRead) {
    QTemporaryDir folder;
    const QString picture = folder.filePath(QStringLiteral("picture.png"));
    ASSERT_TRUE(QPixmap(8, 8).save(picture));
    pane->SetHtml(
        QStringLiteral("<img src=\"%1\"><b>cat</b>").arg(QUrl::fromLocalFile(picture).toString()));
    const QVariant image = pane->View()->document()->resource(QTextDocument::ImageResource,
                                                              QUrl::fromLocalFile(picture));
    EXPECT_TRUE(image.toByteArray().isEmpty());
    EXPECT_TRUE(qvariant_cast<QImage>(image).isNull());
    EXPECT_EQ(Shown().trimmed().right(3), QStringLiteral("cat"));
}

TEST_F(HtmlPaneTest, SecondDocumentReplacesTheFirstAndShowsFromItsTop) {
    pane->SetHtml(LongDocument());
    Bar()->setValue(Bar()->maximum());
    ASSERT_GT(Bar()->value(), 0);
    pane->SetHtml(LongDocument().replace(QStringLiteral("Paragraph"), QStringLiteral("Line")));
    EXPECT_FALSE(Shown().contains(QStringLiteral("Paragraph")));
    EXPECT_TRUE(Shown().contains(QStringLiteral("Line 59 of the last part.")));
    EXPECT_EQ(Bar()->value(), 0);
}

TEST_F(HtmlPaneTest, EachPagingCallScrollsOnePage) {
    pane->SetHtml(LongDocument());
    const int page = Bar()->pageStep();
    ASSERT_GT(Bar()->maximum(), 3 * page);
    pane->PageDown();
    EXPECT_EQ(Bar()->value(), page);
    pane->PageDown();
    pane->PageDown();
    EXPECT_EQ(Bar()->value(), 3 * page);
    pane->PageUp();
    EXPECT_EQ(Bar()->value(), 2 * page);
    pane->PageUp();
    pane->PageUp();
    pane->PageUp();
    EXPECT_EQ(Bar()->value(), 0) << "the top stops it";
}

TEST_F(HtmlPaneTest, CopySelectionPutsTheSelectedTextOnTheClipboard) {
    SetClipboard(QStringLiteral("earlier"));
    pane->SetHtml(QStringLiteral("<b>cat</b> a small animal"));
    pane->View()->selectAll();
    EXPECT_EQ(pane->CopySelection(), TRUE);
    EXPECT_EQ(Clipboard(), QStringLiteral("cat a small animal"));
}

TEST_F(HtmlPaneTest, CopySelectionWithNothingSelectedKeepsTheClipboard) {
    pane->SetHtml(QStringLiteral("<b>cat</b> a small animal"));
    SetClipboard(QStringLiteral("earlier text"));
    EXPECT_EQ(pane->CopySelection(), FALSE);
    EXPECT_EQ(Clipboard(), QStringLiteral("earlier text"));

    SetClipboard(QString());
    EXPECT_EQ(pane->CopySelection(), FALSE);
    EXPECT_TRUE(Clipboard().isEmpty());
    EXPECT_EQ(QApplication::clipboard()->text(), QString());
}

TEST_F(HtmlPaneTest, AnchorsBringTheirHeadingsToTheTop) {
    pane->SetHtml(LongDocument());
    pane->GoToAnchor(QStringLiteral("#search"));
    EXPECT_GT(Bar()->value(), 0);
    EXPECT_EQ(html_test::TopLine(pane->View()), QStringLiteral("[Search heading]"));
    pane->GoToAnchor(QStringLiteral("#DEFINITION"));
    EXPECT_EQ(html_test::TopLine(pane->View()), QStringLiteral("[Definition heading]"));
    pane->GoToAnchor(QStringLiteral("#TOP"));
    EXPECT_EQ(Bar()->value(), 0);
    pane->GoToAnchor(QStringLiteral("#Search"));
    EXPECT_EQ(html_test::TopLine(pane->View()), QStringLiteral("[Search heading]"));
}

TEST_F(HtmlPaneTest, OtherTargetsAndMissingAnchorsChangeNothing) {
    pane->SetHtml(LongDocument());
    Bar()->setValue(Bar()->pageStep());
    for (const char* target : {"#nowhere", "search", "#search ", "", "#", "#top#"}) {
        pane->GoToAnchor(QString::fromLatin1(target));
        EXPECT_EQ(Bar()->value(), Bar()->pageStep()) << target;
    }
    pane->SetHtml(LongDocument().remove(QStringLiteral("<a name=\"search\"></a>")));
    Bar()->setValue(Bar()->pageStep());
    pane->GoToAnchor(QStringLiteral("#search"));
    EXPECT_EQ(Bar()->value(), Bar()->pageStep());
}

TEST_F(HtmlPaneTest, TappedLinkIsReportedWithItsTargetAndNotFollowed) {
    std::vector<NMHTMLVIEW> notes;
    pane->View()->SetHotspotHandler([&](const NMHTMLVIEW& n) { notes.push_back(n); });
    pane->SetHtml(LongDocument());
    const QString before = Shown();
    html_test::TapLink(pane->View(), QStringLiteral("#search"));
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].szTarget, QStringLiteral("#search"));
    EXPECT_EQ(notes[0].hdr.code, NM_HOTSPOT);
    EXPECT_EQ(notes[0].hdr.idFrom, HTML_CONTROL_ID);
    EXPECT_EQ(notes[0].hdr.hwndFrom, pane->View());
    EXPECT_EQ(Shown(), before);
    EXPECT_EQ(Bar()->value(), 0);
}

TEST_F(HtmlPaneTest, LinkTargetsArriveAsWrittenByTapAndByTabAndReturn) {
    std::vector<QString> targets;
    CHtmlViewWidget* view = pane->View();
    view->SetHotspotHandler([&](const NMHTMLVIEW& n) { targets.push_back(n.szTarget); });
    // What a URL would spell otherwise: an entity, a '%', a blank, an accent.
    pane->SetHtml(
        QStringLiteral("<p><a href=\"entry:AT&amp;T\">AT&amp;T</a> and "
                       "<a href=\"entry:100% proof\">proof</a> and "
                       "<a href=\"entry:caf&#233; au lait\">coffee</a></p>"));
    page.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
    view->setFocus();
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(view, Qt::Key_Tab);
        QTest::keyClick(view, Qt::Key_Return);
    }
    html_test::TapLink(view, QStringLiteral("entry:100% proof"));
    EXPECT_EQ(targets, (std::vector<QString>{"entry:AT&T", "entry:100% proof",
                                             QStringLiteral("entry:caf\u00e9 au lait"),
                                             "entry:100% proof"}));
}

TEST_F(HtmlPaneTest, LinksAreUnderlinedInAColourTheBackgroundLetsBeRead) {
    struct Case {
        QColor background, link, shown;
    };
    const Case cases[] = {
        {Qt::white, QColor(0, 0, 255), QColor(0, 0, 255)},                  // Qt's own
        {QColor(32, 32, 32), QColor(0, 0, 255), QColor(0x8A, 0xB4, 0xF8)},  // a dark style's
        {Qt::white, QColor(0x8A, 0xB4, 0xF8), QColor(0, 0, 0xCC)},
        {QColor(32, 32, 32), QColor(255, 255, 0), QColor(255, 255, 0)},
    };
    pane->SetHtml(QStringLiteral("<a name=\"top\">Top</a> see <a href=\"entry:cat\">cat</a>"));
    for (const Case& c : cases) {
        // The palette changes under the document shown, as a style change would.
        QPalette palette = pane->View()->palette();
        palette.setColor(QPalette::Base, c.background);
        palette.setColor(QPalette::Link, c.link);
        pane->View()->setPalette(palette);
        QTextBlock block = pane->View()->document()->begin();
        std::map<QString, QTextCharFormat> formats;
        for (auto it = block.begin(); !it.atEnd(); ++it)
            formats[it.fragment().text().trimmed()] = it.fragment().charFormat();
        EXPECT_EQ(formats["cat"].foreground().color(), c.shown)
            << c.background.name().toStdString();
        EXPECT_TRUE(formats["cat"].fontUnderline());
        EXPECT_FALSE(formats["Top"].fontUnderline()) << "a named anchor is no link";
    }
}

TEST_F(HtmlPaneTest, DestroyRemovesTheViewAndLaterCallsDoNothing) {
    pane->SetHtml(LongDocument());
    pane->Destroy();
    EXPECT_EQ(pane->View(), nullptr);
    EXPECT_TRUE(page.findChildren<QTextBrowser*>().isEmpty());
    pane->SetHtml(QStringLiteral("x"));
    pane->PageDown();
    pane->GoToAnchor(QStringLiteral("#top"));
    pane.reset();
}

TEST(HtmlPaneLifetimeTest, PaneOutlivingItsPageDoesNotDestroyTheViewTwice) {
    auto page = std::make_unique<QWidget>();
    CHtmlPane pane(page.get(), QRect(0, 0, 100, 100));
    pane.Create();
    page.reset();
    EXPECT_EQ(pane.View(), nullptr);
}

TEST(HtmlPaneLifetimeTest, SecondCreateLeavesOneView) {
    QWidget page;
    CHtmlPane pane(&page, QRect(0, 0, 100, 100));
    pane.Create();
    pane.SetHtml(QStringLiteral("first"));
    pane.Create();
    ASSERT_EQ(page.findChildren<QTextBrowser*>().size(), 1);
    EXPECT_EQ(page.findChildren<QTextBrowser*>().front(), pane.View());
    EXPECT_TRUE(pane.View()->toPlainText().isEmpty());
}

TEST(HtmlPaneLifetimeTest, DeletingThePaneRemovesItsView) {
    QWidget page;
    auto pane = std::make_unique<CHtmlPane>(&page, QRect(0, 0, 100, 100));
    pane->Create();
    pane.reset();
    EXPECT_TRUE(page.findChildren<QTextBrowser*>().isEmpty());
}

}  // namespace
