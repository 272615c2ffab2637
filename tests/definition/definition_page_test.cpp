// The definition page on the recording engine: its template and set-up, the
// title band, stepping with the arrow pictures and the keys, and the end of
// the word list in either direction.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <string>
#include <vector>

#include "definition/definition_dlg.h"
#include "html/html_pane.h"
#include "platform/controls.h"
#include "platform/messagebox.h"
#include "res/resource.h"
#include "tests/support/fake_engine.h"
#include "tests/support/page_helpers.h"

using namespace platform;

namespace {

constexpr LXV_HANDLE kEngine = 0x2A;
const QColor kYellow(255, 255, 15);
const QColor kInvertedYellow(0, 0, 240);

void SendMouse(QWidget* widget, QEvent::Type type, const QPoint& pos) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::MouseButtons() : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent event(type, QPointF(pos), QPointF(widget->mapToGlobal(pos)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void SendKey(QWidget* widget, QEvent::Type type, int key, bool autoRepeat = false) {
    QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(widget, &event);
}

class DefinitionPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake_engine::Reset();
        fake_engine::SetWords({"a", "aardvark", "abacus", "cat", "dog"});
        SetMessageBoxResponder([this](const MessageBoxRecord& box) {
            m_boxes.push_back(box);
            return IDOK;
        });
    }
    void TearDown() override { SetMessageBoxResponder({}); }

    // Opens the page the way the search page does and runs `body` while it is
    // shown; the page is closed whatever the body does.
    void Run(const QString& word, uint32_t index, const std::function<void()>& body) {
        m_page = std::make_unique<CDefinitionDlg>(kEngine);
        m_page->Initialise(word, index);
        QTimer::singleShot(0, m_page.get(), [&] {
            if (QTest::qWaitForWindowExposed(m_page.get())) body();
            m_page->EndDialog(IDOK);
        });
        m_page->DoModal();
    }

    QWidget* Item(int id) const { return m_page->GetDlgItem(id); }
    QPoint Centre(int id) const { return Item(id)->rect().center(); }
    void Click(int id) {
        SendMouse(Item(id), QEvent::MouseButtonPress, Centre(id));
        SendMouse(Item(id), QEvent::MouseButtonRelease, Centre(id));
    }
    // The colour the user sees at the arrow's top-left corner.
    QColor ArrowCorner(int id) const {
        const QRect rect = Item(id)->geometry();
        return m_page->grab(rect).toImage().pixelColor(1, 1);
    }
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const MessageBoxRecord& box : m_boxes) texts.push_back(box.text.toStdString());
        return texts;
    }

    std::unique_ptr<CDefinitionDlg> m_page;
    std::vector<MessageBoxRecord> m_boxes;
};

TEST_F(DefinitionPageTest, TemplateHasTheTitleTheArrowsAndTwoHiddenLists) {
    Run("cat", 3, [&] {
        EXPECT_EQ(m_page->windowTitle(), QStringLiteral("Definition"));
        struct Expected {
            int id;
            QRect rect;
            bool visible;
            const char* name;
        };
        const Expected expected[] = {
            {IDC_TITLE, {4, 2, 173, 28}, false, "Headword"},
            {IDC_PREV_ARROW, {191, 2, 19, 26}, true, "Previous word"},
            {IDC_NEXT_ARROW, {210, 2, 19, 26}, true, "Next word"},
            {IDC_BOOKMARK_LIST, {30, 121, 107, 147}, false, "Bookmarks"},
            {IDC_HISTORY_LIST, {49, 123, 102, 145}, false, "History"},
        };
        for (const Expected& e : expected) {
            QWidget* control = Item(e.id);
            ASSERT_NE(control, nullptr) << e.id;
            EXPECT_EQ(control->geometry(), e.rect) << e.id;
            EXPECT_EQ(control->isVisible(), e.visible) << e.id;
            EXPECT_EQ(control->accessibleName(), QString::fromUtf8(e.name)) << e.id;
        }
        EXPECT_FALSE(qobject_cast<QLabel*>(Item(IDC_PREV_ARROW))->pixmap().isNull());
        EXPECT_FALSE(qobject_cast<QLabel*>(Item(IDC_NEXT_ARROW))->pixmap().isNull());
    });
}

TEST_F(DefinitionPageTest, CommandBarHasToolsMenuAndTheSixButtonsWithTips) {
    Run("cat", 3, [&] {
        auto* bar = m_page->findChild<QToolBar*>();
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->y(), 268) << "below the page's template area";
        QStringList names;
        QStringList tips;
        for (QAction* action : bar->actions()) {
            QWidget* button = bar->widgetForAction(action);
            if (action->isSeparator()) {
                names << "|";
            } else if (auto* tool = qobject_cast<QToolButton*>(button)) {
                names << tool->accessibleName();
                tips << tool->toolTip();
            }
        }
        EXPECT_EQ(names, (QStringList{"Tools", "Bookmarks", "History", "Copy", "Look up", "|",
                                      "Help", "Close"}));
        EXPECT_EQ(tips.mid(0, 7),
                  (QStringList{"Tools (Alt+T)", "Bookmark (Ctrl+B)", "History (Ctrl+H)",
                               "Copy (Ctrl+Shift+C)", "Look up (Ctrl+L)", "Help (F1)", "Close"}));
    });
}

TEST_F(DefinitionPageTest, SetUpRendersTheChosenWordsEntryAsHtml) {
    Run("cat", 3, [&] {
        EXPECT_EQ(m_page->Word(), QStringLiteral("cat"));
        EXPECT_EQ(m_page->Html(), QStringLiteral("<b>cat</b> html"));
        ASSERT_EQ(fake_engine::Get().prints.size(), 1u);
        EXPECT_TRUE(fake_engine::Get().prints[0].html);
        EXPECT_TRUE(fake_engine::Get().prints[0].bufferWasZeroed);
        EXPECT_EQ(fake_engine::CallCount("lxv_wordlist_count"), 0) << "read at the first step";
    });
}

TEST_F(DefinitionPageTest, PaneFillsThePageUnderTheTitleBandAndShowsTheEntry) {
    Run("cat", 3, [&] {
        auto* pane = m_page->findChild<QTextBrowser*>();
        ASSERT_NE(pane, nullptr);
        EXPECT_EQ(pane->geometry(), QRect(0, 28, 240, 240));
        EXPECT_TRUE(pane->isVisible());
        EXPECT_EQ(pane->toPlainText(), QStringLiteral("cat html"));
        EXPECT_TRUE(pane->hasFocus());
        Click(IDC_NEXT_ARROW);
        EXPECT_EQ(pane->toPlainText(), QStringLiteral("dog html"));
    });
}

TEST_F(DefinitionPageTest, UpAndDownKeysPageTheEntryOncePerPress) {
    std::string longEntry;
    for (int i = 1; i <= 80; ++i) longEntry += "<p>sense " + std::to_string(i) + "</p>";
    fake_engine::Get().entries[3].html = longEntry;
    Run("cat", 3, [&] {
        auto* pane = m_page->findChild<QTextBrowser*>();
        ASSERT_NE(pane, nullptr);
        QScrollBar* bar = pane->verticalScrollBar();
        ASSERT_GT(bar->maximum(), 3 * bar->pageStep());
        QTest::keyClick(pane, Qt::Key_Down);
        EXPECT_EQ(bar->value(), bar->pageStep()) << "one page, and not a line more";
        QTest::keyClick(pane, Qt::Key_Down);
        QTest::keyClick(pane, Qt::Key_Up);
        EXPECT_EQ(bar->value(), bar->pageStep());
        QTest::keyClick(pane, Qt::Key_Left);
        EXPECT_EQ(m_page->Word(), QStringLiteral("abacus")) << "left and right still step";
    });
}

TEST_F(DefinitionPageTest, TitleBandAndEntryCanBeReadUnderAnyPalette) {
    // An entry of a link alone, which the palette's link colour draws.
    fake_engine::Get().entries[4].html = "<a href=\"#cat\">cat</a>";
    const QPalette normal = QApplication::palette();
    // The default colours, and a desktop's dark ones: light text on black.
    for (const QPalette& palette : {normal, QPalette(QColor(53, 53, 53))}) {
        QApplication::setPalette(palette);
        Run("dog", 4, [&] {
            const QImage page = m_page->grab().toImage();
            EXPECT_EQ(page.pixelColor(0, 0), kYellow);
            EXPECT_EQ(page.pixelColor(235, 27), kYellow) << "the band spans the page";
            EXPECT_NE(page.pixelColor(100, 28), kYellow) << "and ends at the title's height";
            int inked = 0;
            int whitened = 0;
            for (int y = 1; y < 28; ++y) {
                for (int x = 2; x < 60; ++x) {
                    inked += page.pixelColor(x, y).lightness() < 100;
                    // Yellow has next to no blue: a white headword would add it.
                    whitened += page.pixelColor(x, y).blue() > 40;
                }
            }
            EXPECT_GT(inked, 20) << "the headword is drawn in the band";
            EXPECT_EQ(whitened, 0) << "in black";
            EXPECT_EQ(ArrowCorner(IDC_PREV_ARROW), kYellow) << "the arrows sit on the band";
            EXPECT_GT(qGray(page.pixel(1, page.height() - 2)), 200)
                << "the command bar stays light under its dark pictures";
            // The link's darkest or lightest pixel stands out from the pane's
            // background: pure blue, the default, would all but vanish on black.
            const QImage entry = page.copy(4, 32, 60, 20);
            const int background = qGray(entry.pixel(59, 19));
            int farthest = 0;
            for (int y = 0; y < entry.height(); ++y) {
                for (int x = 0; x < entry.width(); ++x)
                    farthest = std::max(farthest, std::abs(qGray(entry.pixel(x, y)) - background));
            }
            EXPECT_GT(farthest, 100) << "the link stands out";
        });
    }
    QApplication::setPalette(normal);
}

TEST_F(DefinitionPageTest, ArrowsStepThroughTheWordListAndFillTheHistoryList) {
    Run("abacus", 2, [&] {
        Click(IDC_NEXT_ARROW);
        EXPECT_EQ(m_page->Word(), QStringLiteral("cat"));
        EXPECT_EQ(m_page->Index(), 3u);
        EXPECT_EQ(m_page->Html(), QStringLiteral("<b>cat</b> html"));
        EXPECT_EQ(Rows(Item(IDC_HISTORY_LIST)), (QStringList{"History", "---Clear All---", "cat"}));
        Click(IDC_PREV_ARROW);
        Click(IDC_PREV_ARROW);
        EXPECT_EQ(m_page->Word(), QStringLiteral("aardvark"));
        EXPECT_EQ(Rows(Item(IDC_HISTORY_LIST)),
                  (QStringList{"History", "---Clear All---", "aardvark", "abacus", "cat"}));
        EXPECT_FALSE(Item(IDC_HISTORY_LIST)->isVisible());
        EXPECT_TRUE(m_boxes.empty());
        EXPECT_EQ(fake_engine::CallCount("lxv_wordlist_count"), 1) << "read once and kept";
    });
}

TEST_F(DefinitionPageTest, LinksAndAltArrowsGoThroughTheWordsShownSinceThePageOpened) {
    fake_engine::Get().entries[3].html =
        "<b>cat</b> see <a href=\"entry:dog\">dog</a>, <a href=\"entry:Aardvarks\">them</a>, "
        "<a href=\"entry:\">none</a>, <a href=\"http://example.com/\">web</a>";
    Run("cat", 3, [&] {
        QWidget* entry = m_page->findChild<CHtmlViewWidget*>();
        ASSERT_NE(entry, nullptr);
        entry->setFocus();
        const auto follow = [&](int link) {
            for (int i = 0; i < link; ++i) QTest::keyClick(entry, Qt::Key_Tab);
            QTest::keyClick(entry, Qt::Key_Return);
        };
        const auto alt = [&](Qt::Key key) { QTest::keyClick(entry, key, Qt::AltModifier); };
        follow(1);
        EXPECT_EQ(m_page->Word(), QStringLiteral("dog"));
        EXPECT_EQ(m_page->Index(), 4u) << "the arrows step from the word shown";
        alt(Qt::Key_Left);
        EXPECT_EQ(m_page->Word(), QStringLiteral("cat"));
        EXPECT_EQ(m_page->Index(), 3u);
        alt(Qt::Key_Right);
        alt(Qt::Key_Right);
        EXPECT_EQ(m_page->Word(), QStringLiteral("dog")) << "nothing lies ahead";
        QTest::keyClick(entry, Qt::Key_Left);
        EXPECT_EQ(m_page->Word(), QStringLiteral("cat")) << "Left still steps alphabetically";
        // No headword "Aardvarks": Look up's question, answered OK.
        follow(2);
        EXPECT_EQ(m_page->Word(), QStringLiteral("abacus"));
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0].text,
                  QStringLiteral("Word 'Aardvarks' not found. \r\n \r\nDo you "
                                 "want to see the nearest word, 'abacus', instead"));
        alt(Qt::Key_Left);
        follow(3);
        EXPECT_EQ(m_boxes.size(), 2u);
        EXPECT_EQ(m_boxes[1].text, QStringLiteral("Matching word not found on Dictionary."));
        follow(1);
        EXPECT_EQ(m_page->Word(), QStringLiteral("cat")) << "a web link goes nowhere";
        EXPECT_EQ(m_boxes.size(), 2u);
        for (const char* word : {"cat", "dog", "cat"}) {
            EXPECT_EQ(m_page->Word(), QString::fromLatin1(word));
            alt(Qt::Key_Left);
        }
        EXPECT_EQ(Rows(Item(IDC_HISTORY_LIST)),
                  (QStringList{"History", "---Clear All---", "cat", "dog", "abacus"}));
    });
}

TEST_F(DefinitionPageTest, FirstHeadwordIsReportedOnArrivalAndOnEveryFurtherTry) {
    Run("aardvark", 1, [&] {
        Click(IDC_PREV_ARROW);
        EXPECT_EQ(m_page->Word(), QStringLiteral("a"));
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0].text, QStringLiteral("This is firstword on Dictionary"));
        EXPECT_EQ(m_boxes[0].caption, QStringLiteral("Definition"));
        EXPECT_EQ(m_boxes[0].style, MB_ICONINFORMATION | MB_OK);
        EXPECT_EQ(m_boxes[0].owner, m_page.get());
        fake_engine::Get().prints.clear();
        QTest::keyClick(m_page.get(), Qt::Key_Left);
        EXPECT_EQ(m_page->Index(), 0u);
        EXPECT_EQ(m_boxes.size(), 2u);
        EXPECT_TRUE(fake_engine::Get().prints.empty()) << "nothing is shown again";
    });
}

TEST_F(DefinitionPageTest, LastHeadwordIsReportedOnArrivalAndOnEveryFurtherTry) {
    Run("cat", 3, [&] {
        QTest::keyClick(m_page.get(), Qt::Key_Right);
        EXPECT_EQ(m_page->Word(), QStringLiteral("dog"));
        QTest::keyClick(m_page.get(), Qt::Key_Right);
        Click(IDC_NEXT_ARROW);
        EXPECT_EQ(m_page->Word(), QStringLiteral("dog"));
        EXPECT_EQ(m_page->Index(), 4u);
        EXPECT_EQ(BoxTexts(), std::vector<std::string>(3, "This is last word on Dictionary"));
        EXPECT_EQ(Rows(Item(IDC_HISTORY_LIST)), (QStringList{"History", "---Clear All---", "dog"}))
            << "failed steps add nothing";
    });
}

TEST_F(DefinitionPageTest, OneHeadwordReportsBothEndsAtOnce) {
    fake_engine::SetWords({"solo"});
    Run("solo", 0, [&] {
        Click(IDC_NEXT_ARROW);
        Click(IDC_PREV_ARROW);
        EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"This is last word on Dictionary",
                                                        "This is firstword on Dictionary"}));
        EXPECT_EQ(m_page->Index(), 0u);
        EXPECT_EQ(m_page->Word(), QStringLiteral("solo"));
    });
}

TEST_F(DefinitionPageTest, NoHeadwordsAtAllStepsNowhere) {
    Run("cat", 3, [&] {
        fake_engine::Get().entries.clear();
        Click(IDC_NEXT_ARROW);
        Click(IDC_PREV_ARROW);
        EXPECT_EQ(m_page->Index(), 3u) << "the index does not wrap round";
        EXPECT_EQ(m_page->Word(), QStringLiteral("cat"));
        EXPECT_EQ(fake_engine::CallCount("lxv_wordlist_at"), 0);
    });
}

TEST_F(DefinitionPageTest, PressedArrowShowsInvertedOnlyWhileThePointerIsOverIt) {
    Run("cat", 3, [&] {
        QWidget* prev = Item(IDC_PREV_ARROW);
        SendMouse(prev, QEvent::MouseButtonPress, Centre(IDC_PREV_ARROW));
        EXPECT_EQ(ArrowCorner(IDC_PREV_ARROW), kInvertedYellow);
        EXPECT_EQ(ArrowCorner(IDC_NEXT_ARROW), kYellow);
        const QPoint away(-60, 90);
        SendMouse(prev, QEvent::MouseMove, away);
        EXPECT_EQ(ArrowCorner(IDC_PREV_ARROW), kYellow) << "dragged off";
        SendMouse(prev, QEvent::MouseMove, Centre(IDC_PREV_ARROW));
        EXPECT_EQ(ArrowCorner(IDC_PREV_ARROW), kInvertedYellow) << "dragged back";
        SendMouse(prev, QEvent::MouseMove, away);
        SendMouse(prev, QEvent::MouseButtonRelease, away);
        EXPECT_EQ(m_page->Word(), QStringLiteral("cat")) << "released elsewhere: no step";
        EXPECT_EQ(ArrowCorner(IDC_PREV_ARROW), kYellow);
    });
}

TEST_F(DefinitionPageTest, DraggingBackOntoTheArrowBeforeReleaseStepsOnce) {
    Run("cat", 3, [&] {
        QWidget* prev = Item(IDC_PREV_ARROW);
        SendMouse(prev, QEvent::MouseButtonPress, Centre(IDC_PREV_ARROW));
        SendMouse(prev, QEvent::MouseMove, QPoint(5, 120));
        SendMouse(prev, QEvent::MouseMove, Centre(IDC_PREV_ARROW));
        SendMouse(prev, QEvent::MouseButtonRelease, Centre(IDC_PREV_ARROW));
        EXPECT_EQ(m_page->Word(), QStringLiteral("abacus"));
        EXPECT_EQ(ArrowCorner(IDC_PREV_ARROW), kYellow) << "drawn normally after release";
    });
}

TEST_F(DefinitionPageTest, PressOnOneArrowAndReleaseOnTheOtherStepsNowhere) {
    Run("cat", 3, [&] {
        QWidget* prev = Item(IDC_PREV_ARROW);
        // The pressed picture keeps the pointer: the release arrives there, over the other arrow.
        const QPoint overNext =
            prev->mapFromGlobal(Item(IDC_NEXT_ARROW)->mapToGlobal(Centre(IDC_NEXT_ARROW)));
        SendMouse(prev, QEvent::MouseButtonPress, Centre(IDC_PREV_ARROW));
        SendMouse(prev, QEvent::MouseMove, overNext);
        EXPECT_EQ(ArrowCorner(IDC_NEXT_ARROW), kYellow);
        SendMouse(prev, QEvent::MouseButtonRelease, overNext);
        EXPECT_EQ(m_page->Word(), QStringLiteral("cat"));
        EXPECT_EQ(ArrowCorner(IDC_PREV_ARROW), kYellow);
        EXPECT_EQ(ArrowCorner(IDC_NEXT_ARROW), kYellow);
        EXPECT_TRUE(m_boxes.empty());
    });
}

TEST_F(DefinitionPageTest, ArrowEdgesCountAsInside) {
    Run("cat", 3, [&] {
        QWidget* next = Item(IDC_NEXT_ARROW);
        const QPoint rightEdge(next->width(), next->height());
        SendMouse(next, QEvent::MouseButtonPress, rightEdge);
        SendMouse(next, QEvent::MouseButtonRelease, rightEdge);
        EXPECT_EQ(m_page->Word(), QStringLiteral("dog"));
    });
}

TEST_F(DefinitionPageTest, EachPressOfTheLeftOrRightKeyStepsOnce) {
    Run("abacus", 2, [&] {
        QTest::keyClick(m_page.get(), Qt::Key_Right);
        EXPECT_EQ(m_page->Word(), QStringLiteral("cat"));
        QTest::keyClick(m_page.get(), Qt::Key_Left);
        QTest::keyClick(m_page.get(), Qt::Key_Left);
        EXPECT_EQ(m_page->Word(), QStringLiteral("aardvark"));
        EXPECT_EQ(ArrowCorner(IDC_PREV_ARROW), kYellow) << "the key's feedback is undone";
    });
}

TEST_F(DefinitionPageTest, KeysStepOnTheirKeyDownsOnlyAlsoWhenHeld) {
    fake_engine::SetWords({"a", "b", "c", "d", "e", "f", "g", "h"});
    Run("a", 0, [&] {
        SendKey(m_page.get(), QEvent::KeyPress, Qt::Key_Right);
        for (int i = 0; i < 3; ++i) {
            SendKey(m_page.get(), QEvent::KeyRelease, Qt::Key_Right, true);
            SendKey(m_page.get(), QEvent::KeyPress, Qt::Key_Right, true);
        }
        SendKey(m_page.get(), QEvent::KeyRelease, Qt::Key_Right);
        // Held: four key-downs, four steps; the key-up steps nothing.
        EXPECT_EQ(m_page->Word(), QStringLiteral("e"));
        // A key-up whose key went down in another window does nothing.
        SendKey(m_page.get(), QEvent::KeyRelease, Qt::Key_Left);
        SendKey(m_page.get(), QEvent::KeyRelease, Qt::Key_Right);
        EXPECT_EQ(m_page->Word(), QStringLiteral("e"));
        QTest::keyClick(m_page.get(), Qt::Key_Right);
        EXPECT_EQ(m_page->Word(), QStringLiteral("f"));
    });
}

TEST_F(DefinitionPageTest, TwentyOneStepsLeaveTwentyDistinctWordsInTheHistoryList) {
    std::vector<std::string> words;
    for (char c = 'a'; c <= 'y'; ++c) words.push_back(std::string(1, c) + "word");
    fake_engine::SetWords(words);
    Run("aword", 0, [&] {
        for (int i = 0; i < 21; ++i) Click(IDC_NEXT_ARROW);
        const QStringList rows = Rows(Item(IDC_HISTORY_LIST));
        ASSERT_EQ(rows.size(), 22);
        EXPECT_EQ(rows[2], QStringLiteral("vword"));
        EXPECT_EQ(rows[21], QStringLiteral("cword")) << "the oldest fell off";
    });
}

TEST_F(DefinitionPageTest, EntryThatCannotBeReadSaysSoOnOpeningAndStepping) {
    const QString damaged =
        QStringLiteral("This entry cannot be read: the dictionary file is damaged.");
    fake_engine::Get().printResult = 0;
    Run("cat", 3, [&] {
        auto* pane = m_page->findChild<QTextBrowser*>();
        ASSERT_NE(pane, nullptr);
        EXPECT_EQ(pane->toPlainText(), damaged);
        fake_engine::Get().printResult = 1;
        Click(IDC_PREV_ARROW);
        EXPECT_EQ(pane->toPlainText(), QStringLiteral("abacus html"));
        fake_engine::Get().printResult = 0;
        Click(IDC_NEXT_ARROW);
        EXPECT_EQ(m_page->Word(), QStringLiteral("cat"));
        EXPECT_EQ(pane->toPlainText(), damaged) << "not the previous word's entry";
        EXPECT_TRUE(BoxTexts().empty());
    });
}

}  // namespace
