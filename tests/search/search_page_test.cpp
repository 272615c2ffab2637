// The search page driven through its real widgets on Qt's offscreen platform,
// on the real engine with generated dictionaries of exact sizes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>
#include <functional>
#include <string>
#include <vector>

#include "definition/definition_dlg.h"
#include "platform/controls.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "res/resource.h"
#include "search/search_dlg.h"

using namespace platform;

namespace {

// One generated dictionary opened in the engine with scratch files of its own.
class Engine {
  public:
    explicit Engine(const std::string& name) {
        const QString path =
            QStringLiteral(SEARCH_TEST_DICT_DIR "/%1").arg(QString::fromStdString(name));
        m_files.push_back(CreateFileForMappingW(path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                OPEN_EXISTING, 0, 0));
        for (const char* scratch : {"listpad.pdb", "datapad.pdb", "miscpad.pdb", "zippad.pdb"}) {
            m_files.push_back(CreateFileForMappingW(m_dir.filePath(scratch),
                                                    GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                                    CREATE_ALWAYS, 0, 0));
        }
        m_hEngine = lxv_openfile(m_files[0], m_files[1], m_files[2], m_files[3], m_files[4]);
    }
    ~Engine() {
        lxv_closefile(&m_hEngine);
        for (HANDLE file : m_files) CloseHandle(file);
    }
    LXV_HANDLE handle() const { return m_hEngine; }
    QString At(uint32_t index) const { return NarrowToWide(lxv_wordlist_at(m_hEngine, index)); }
    uint32_t IndexOfNearest(const QString& word) const {
        const std::unique_ptr<char[]> key = WideToNarrow(word);
        return lxv_wordlist_on(m_hEngine, lxv_wordlist_nearest(m_hEngine, key.get()));
    }

  private:
    QTemporaryDir m_dir;
    std::vector<HANDLE> m_files;
    LXV_HANDLE m_hEngine = 0;
};

// Ends the page however the test body returns, so a failed assertion never
// leaves a modal loop running.
struct EndsOnReturn {
    explicit EndsOnReturn(CDialog& page) : page(page) {}
    ~EndsOnReturn() { page.EndDialog(IDOK); }
    CDialog& page;
};

// Choosing a word (a tap on a row, Return) opens its definition page over the
// search page. These tests are about the search page: each definition page
// is closed as soon as it shows.
class ClosesDefinitionPages : public QObject {
  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            if (auto* page = dynamic_cast<CDefinitionDlg*>(watched))
                QTimer::singleShot(0, page, [page] { page->close(); });
        }
        return false;
    }
};

class SearchPageTest : public ::testing::Test {
  protected:
    void SetUp() override { QApplication::instance()->installEventFilter(&m_closer); }
    void TearDown() override { QApplication::instance()->removeEventFilter(&m_closer); }

    // Runs the page on dictionary `name`; `body` runs once the page is up and active.
    void Run(const std::string& name, const std::function<void()>& body) {
        m_engine = std::make_unique<Engine>(name);
        ASSERT_NE(m_engine->handle(), 0u) << name;
        CSearchDlg page(m_engine->handle());
        m_page = &page;
        QTimer::singleShot(0, &page, [&] {
            EndsOnReturn end(page);
            ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
            QApplication::processEvents();
            body();
        });
        page.DoModal();
        m_page = nullptr;
    }

    CListBoxWidget* List() const {
        return static_cast<CListBoxWidget*>(m_page->GetDlgItem(IDC_WORDLIST));
    }
    QLineEdit* Edit() const { return static_cast<QLineEdit*>(m_page->GetDlgItem(IDC_SEARCH_EDIT)); }
    QScrollBar* Bar() const {
        return static_cast<QScrollBar*>(m_page->GetDlgItem(IDC_WORD_SCROLL));
    }
    QWidget* Control(int id) const { return m_page->GetDlgItem(id); }

    std::vector<QString> Rows() const {
        std::vector<QString> rows;
        for (int i = 0; i < List()->model()->rowCount(); ++i)
            rows.push_back(List()->model()->index(i, 0).data().toString());
        return rows;
    }
    // The rows a window at `top` shows: one page, never past the last headword.
    std::vector<QString> Window(uint32_t top) const {
        std::vector<QString> rows;
        const uint32_t count = lxv_wordlist_count(m_engine->handle());
        for (uint32_t i = top;
             i < count && i < top + static_cast<uint32_t>(m_page->WordWindow().PageRows()); ++i)
            rows.push_back(m_engine->At(i));
        return rows;
    }
    int Selected() const {
        const auto selected = List()->selectionModel()->selectedIndexes();
        return selected.isEmpty() ? -1 : selected.front().row();
    }
    int Thumb() const { return Bar()->value(); }
    void Type(const QString& text) { QTest::keyClicks(Edit(), text); }
    void Drag(int position) {
        Bar()->setSliderDown(true);
        Bar()->setSliderPosition(position);
        Bar()->setSliderDown(false);
    }
    void Action(QAbstractSlider::SliderAction action) { Bar()->triggerAction(action); }
    void ClickRow(int row) {
        const QRect rect = List()->visualRect(List()->model()->index(row, 0));
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    }

    std::unique_ptr<Engine> m_engine;
    CSearchDlg* m_page = nullptr;
    ClosesDefinitionPages m_closer;
};

TEST_F(SearchPageTest, StartsAtTheFirstHeadwordWithTheScaleOfTheCount) {
    Run("words-1000.pdb", [&] {
        EXPECT_EQ(m_page->WordWindow().WordCount(), 1000u);
        EXPECT_EQ(m_page->WordWindow().ScrollRange(), 500u);
        EXPECT_FLOAT_EQ(m_page->WordWindow().ScrollScale(), 2.0f);
        EXPECT_EQ(Bar()->maximum(), 500);
        EXPECT_EQ(Rows(), Window(0));
        EXPECT_EQ(Rows().front(), QStringLiteral("a"));
        EXPECT_EQ(Selected(), 0);
        EXPECT_EQ(Thumb(), 0);
        EXPECT_EQ(QApplication::focusWidget(), Edit());
        EXPECT_FALSE(Control(IDC_GO)->isVisible());
        // The page's 18 rows all show in the list box.
        EXPECT_EQ(m_page->WordWindow().PageRows(), 18);
        EXPECT_LE(List()->visualRect(List()->model()->index(17, 0)).bottom(),
                  List()->viewport()->height());
        EXPECT_TRUE(static_cast<QCheckBox*>(Control(IDC_AUTOSCROLL))->isChecked());
    });
}

TEST_F(SearchPageTest, ThumbAndTopFollowTheScaleOnAThousandHeadwords) {
    Run("words-1000.pdb", [&] {
        Type(m_engine->At(500));
        EXPECT_EQ(m_page->WordWindow().TopIndex(), 500u);
        EXPECT_EQ(Thumb(), 250);
        Drag(249);
        Drag(250);
        EXPECT_EQ(m_page->WordWindow().TopIndex(), 491u);
        EXPECT_EQ(Rows(), Window(491));
        EXPECT_EQ(Selected(), -1) << "a thumb move selects nothing";
        EXPECT_EQ(Thumb(), 250);
    });
}

TEST_F(SearchPageTest, ThumbAndTopFollowTheCappedRangeOnSeventyThousandHeadwords) {
    Run("words-70000.pdb", [&] {
        EXPECT_EQ(m_page->WordWindow().ScrollRange(), 32000u);
        EXPECT_FLOAT_EQ(m_page->WordWindow().ScrollScale(), 2.1875f);
        Type(m_engine->At(35000));
        EXPECT_EQ(m_page->WordWindow().TopIndex(), 35000u);
        EXPECT_EQ(Thumb(), 16000);
        Drag(15999);
        Drag(16000);
        EXPECT_EQ(Rows().front(), m_engine->At(34991));
    });
}

TEST_F(SearchPageTest, ThumbAtTheEndOfTheLargestDictionaryShowsItsEnd) {
    Run("words-170000.pdb", [&] {
        EXPECT_EQ(m_page->WordWindow().WordCount(), 170000u);
        Drag(30000);
        EXPECT_EQ(m_page->WordWindow().TopIndex(), 159358u)
            << "past four fifths the thumb stays near the end";
        Drag(32000);
        EXPECT_EQ(Rows(), Window(170000 - 18));
        EXPECT_EQ(Rows().back(), m_engine->At(169999));
        EXPECT_EQ(Thumb(), 32000);
    });
}

TEST_F(SearchPageTest, LinePageAndThumbStopAtBothEnds) {
    Run("words-1000.pdb", [&] {
        Action(QAbstractSlider::SliderSingleStepSub);
        EXPECT_EQ(Rows(), Window(0)) << "line up at the start";
        EXPECT_EQ(Thumb(), 0);

        Action(QAbstractSlider::SliderSingleStepAdd);
        EXPECT_EQ(Rows(), Window(1));
        Action(QAbstractSlider::SliderPageStepSub);
        EXPECT_EQ(Rows(), Window(0)) << "a page up from below one page stops at the start";
        EXPECT_EQ(Thumb(), 0);

        Type(m_engine->At(975));
        EXPECT_EQ(m_page->WordWindow().TopIndex(), 975u);
        Action(QAbstractSlider::SliderPageStepAdd);
        EXPECT_EQ(Rows(), Window(982)) << "a page down past the end stops at the last page";
        EXPECT_EQ(Thumb(), 500);
        Action(QAbstractSlider::SliderSingleStepAdd);
        EXPECT_EQ(Rows(), Window(982)) << "line down on the last page";
        EXPECT_EQ(Thumb(), 500);
        Action(QAbstractSlider::SliderSingleStepSub);
        EXPECT_EQ(Rows(), Window(981));
        EXPECT_EQ(Thumb(), 490);
        Action(QAbstractSlider::SliderPageStepAdd);
        EXPECT_EQ(Rows(), Window(982));
        EXPECT_EQ(Thumb(), 500);

        Drag(0);
        EXPECT_EQ(Rows(), Window(0));
        Drag(500);
        EXPECT_EQ(Rows(), Window(982));
    });
}

TEST_F(SearchPageTest, DraggingTheThumbWithTheStylusMovesTheRowsAlong) {
    Run("words-1000.pdb", [&] {
        QStyleOptionSlider option;
        option.initFrom(Bar());
        option.minimum = Bar()->minimum();
        option.maximum = Bar()->maximum();
        option.sliderPosition = Bar()->sliderPosition();
        option.sliderValue = Bar()->value();
        option.orientation = Qt::Vertical;
        option.pageStep = Bar()->pageStep();
        option.singleStep = Bar()->singleStep();
        const QPoint thumb =
            Bar()
                ->style()
                ->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, Bar())
                .center();
        const QPoint bottom(thumb.x(), Bar()->height() + 200);
        QTest::mousePress(Bar(), Qt::LeftButton, Qt::NoModifier, thumb);
        QTest::mouseMove(Bar(), bottom);
        EXPECT_EQ(Rows(), Window(982)) << "the rows follow during the drag";
        QTest::mouseRelease(Bar(), Qt::LeftButton, Qt::NoModifier, bottom);
        EXPECT_EQ(Rows(), Window(982));
        EXPECT_EQ(Thumb(), 500);
    });
}

TEST_F(SearchPageTest, TheMouseWheelOverTheListOrItsBarScrollsThreeHeadwordsANotch) {
    Run("words-1000.pdb", [&] {
        const auto wheel = [&](int delta) {
            QWheelEvent event(QPointF(10, 10), List()->viewport()->mapToGlobal(QPointF(10, 10)),
                              QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(List()->viewport(), &event);
        };
        wheel(-120);
        EXPECT_EQ(Rows(), Window(3));
        EXPECT_EQ(Thumb(), 1);
        wheel(-20);
        EXPECT_EQ(Rows(), Window(3)) << "half a row waits for more";
        wheel(-20);
        EXPECT_EQ(Rows(), Window(4));
        wheel(240);
        EXPECT_EQ(Rows(), Window(0)) << "and stops at the start";
        EXPECT_EQ(Thumb(), 0);

        // Over the scroll bar the wheel does the same, and leaves no drag
        // behind for the next click on an arrow to finish.
        QWheelEvent notch(QPointF(3, 30), Bar()->mapToGlobal(QPointF(3, 30)), QPoint(),
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Bar(), &notch);
        EXPECT_EQ(Rows(), Window(3));
        QTest::mouseClick(Bar(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(Bar()->width() / 2, Bar()->height() - 3));
        EXPECT_EQ(Rows(), Window(4));
        EXPECT_EQ(Thumb(), 2);
        EXPECT_EQ(Bar()->contextMenuPolicy(), Qt::PreventContextMenu);
    });
}

TEST_F(SearchPageTest, SearchesAndLineScrollsSelectOnlyTheHeadwordFound) {
    Run("words-1000.pdb", [&] {
        Type("m");
        const uint32_t top = m_page->WordWindow().TopIndex();
        ASSERT_EQ(m_engine->IndexOfNearest("ma"), top) << "precondition: m and ma meet";
        ClickRow(5);
        EXPECT_EQ(Selected(), 5);
        Type("a");
        EXPECT_EQ(m_page->WordWindow().TopIndex(), top);
        EXPECT_EQ(Selected(), 5);
        Type("zz");
        EXPECT_NE(m_page->WordWindow().TopIndex(), top);
        EXPECT_EQ(Selected(), 0);

        // A line scroll that takes the selected row out selects no other row.
        Action(QAbstractSlider::SliderSingleStepAdd);
        EXPECT_EQ(Selected(), -1);

        // One of the last headwords: the window stops at the last page and
        // selects the headword's own row, also when it was there already.
        Edit()->setText(m_engine->At(990));
        EXPECT_EQ(Rows(), Window(982));
        EXPECT_EQ(Selected(), 8);
        Edit()->setText(m_engine->At(999));
        EXPECT_EQ(Selected(), 17);
    });
}

TEST_F(SearchPageTest, OneArrowKeyPressMovesExactlyOneHeadwordAndSelectsTheFirstRow) {
    Run("words-1000.pdb", [&] {
        Type(m_engine->At(100));
        ClickRow(3);
        Edit()->setFocus();
        QTest::keyClick(Edit(), Qt::Key_Down);
        EXPECT_EQ(Rows(), Window(101));
        EXPECT_EQ(Selected(), 0);
        EXPECT_EQ(Thumb(), 50);
        QTest::keyClick(Edit(), Qt::Key_Right);
        EXPECT_EQ(Rows(), Window(102));
        QTest::keyClick(Edit(), Qt::Key_Up);
        QTest::keyClick(Edit(), Qt::Key_Left);
        EXPECT_EQ(Rows(), Window(100));
        EXPECT_EQ(Selected(), 0);
        EXPECT_EQ(Edit()->text(), m_engine->At(100)) << "arrow keys are not typed";

        Type(QStringLiteral("a"));
        Edit()->clear();
        EXPECT_EQ(Rows(), Window(0));
        QTest::keyClick(Edit(), Qt::Key_Up);
        EXPECT_EQ(Rows(), Window(0)) << "nothing above the first headword";
        EXPECT_EQ(Thumb(), 0);
    });
}

TEST_F(SearchPageTest, ArrowKeysMoveNothingWhileAPopupListShows) {
    Run("words-1000.pdb", [&] {
        Control(IDC_BOOKMARK_LIST)->show();
        const auto before = Rows();
        QTest::keyClick(Edit(), Qt::Key_Down);
        EXPECT_EQ(Rows(), before);
        EXPECT_EQ(Selected(), -1) << "the word list's selection is cleared";

        // Any scroll of the word list closes the pop-up list first.
        Action(QAbstractSlider::SliderSingleStepAdd);
        EXPECT_FALSE(Control(IDC_BOOKMARK_LIST)->isVisible());
        EXPECT_EQ(Rows(), Window(1));
        QTest::keyClick(Edit(), Qt::Key_Down);
        EXPECT_EQ(Rows(), Window(2));
        EXPECT_EQ(Selected(), 0);
    });
}

TEST_F(SearchPageTest, ReturnIsTakenByThePageAndDoesNotCloseIt) {
    Run("words-1000.pdb", [&] {
        Type("cat");
        QTest::keyClick(Edit(), Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_TRUE(m_page->isVisible());
        EXPECT_EQ(Edit()->text(), QStringLiteral("cat"));
    });
}

TEST_F(SearchPageTest, TypingCatWithACapitalAndABlankThenDeletingItAll) {
    Run("words-1000.pdb", [&] {
        const uint32_t cat = m_engine->IndexOfNearest("cat");
        Type("Cat");
        EXPECT_EQ(m_page->WordWindow().TopIndex(), cat);
        EXPECT_EQ(Rows(), Window(cat));
        ClickRow(2);
        Type(" ");
        EXPECT_EQ(Selected(), 2) << "a trailing blank does not move the window";
        EXPECT_EQ(Edit()->text(), QStringLiteral("Cat ")) << "the box keeps what was typed";
        EXPECT_EQ(Thumb(), static_cast<int>(cat / 2));

        // What the dictionaries cannot hold is left out; line breaks are blanks.
        Edit()->setText(QStringLiteral("Cat\U0001F600"));
        EXPECT_EQ(Selected(), 2) << "the same word: nothing moves";
        Edit()->setText(QStringLiteral("\u4E2D\u05D0 \U0001F600"));
        EXPECT_EQ(Rows(), Window(cat)) << "nothing left to look up: the list stays";
        Edit()->setText(QStringLiteral("ca\r\nt\nx"));
        EXPECT_EQ(Rows(), Window(m_engine->IndexOfNearest("ca t x")));

        Edit()->setText(QStringLiteral("Cat "));
        for (int i = 0; i < 4; ++i) QTest::keyClick(Edit(), Qt::Key_Backspace);
        EXPECT_TRUE(Edit()->text().isEmpty());
        EXPECT_EQ(Rows(), Window(0));
        EXPECT_EQ(Selected(), 0);
        EXPECT_EQ(Thumb(), 0);
    });
}

TEST_F(SearchPageTest, WithAutoScrollOffOnlyGoMovesTheWindow) {
    Run("words-1000.pdb", [&] {
        auto* autoScroll = static_cast<QCheckBox*>(Control(IDC_AUTOSCROLL));
        auto* go = static_cast<QPushButton*>(Control(IDC_GO));
        QTest::mouseClick(go, Qt::LeftButton);
        EXPECT_EQ(Rows(), Window(0)) << "GO is hidden while Auto Scroll is on";

        QTest::mouseClick(autoScroll, Qt::LeftButton);
        EXPECT_FALSE(autoScroll->isChecked());
        EXPECT_TRUE(go->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), Edit());
        QTest::mouseClick(go, Qt::LeftButton);
        EXPECT_EQ(Rows(), Window(0)) << "GO with an empty box at the start does nothing";
        Type("Moth");
        EXPECT_EQ(Rows(), Window(0)) << "typing does not move the window";
        QTest::mouseClick(go, Qt::LeftButton);
        const uint32_t moth = m_engine->IndexOfNearest("moth");
        EXPECT_EQ(Rows(), Window(moth));
        EXPECT_EQ(Selected(), 0);
        EXPECT_EQ(QApplication::focusWidget(), Edit());

        Edit()->clear();
        QTest::mouseClick(go, Qt::LeftButton);
        EXPECT_EQ(Rows(), Window(0)) << "GO with an empty box goes back to the start";

        Type("t");
        EXPECT_EQ(Rows(), Window(0));
        QTest::mouseClick(autoScroll, Qt::LeftButton);
        EXPECT_TRUE(autoScroll->isChecked());
        EXPECT_FALSE(go->isVisible());
        EXPECT_EQ(Rows(), Window(m_engine->IndexOfNearest("t")))
            << "turning Auto Scroll on catches up with the box";
    });
}

TEST_F(SearchPageTest, PasteTakesTheClipboardTextOnlyWhenThereIsSome) {
    Run("words-1000.pdb", [&] {
        QApplication::clipboard()->clear();
        EXPECT_TRUE(m_page->OnCommand(ID_EDIT_PASTE));
        EXPECT_TRUE(Edit()->text().isEmpty());
        EXPECT_EQ(Rows(), Window(0));

        QApplication::clipboard()->setText(QStringLiteral("Zebra"));
        auto* bar = m_page->findChild<QToolBar*>();
        ASSERT_NE(bar, nullptr);
        QAction* paste = nullptr;
        for (QAction* action : bar->actions()) {
            if (action->text() == QStringLiteral("Paste")) paste = action;
        }
        ASSERT_NE(paste, nullptr);
        QTest::mouseClick(bar->widgetForAction(paste), Qt::LeftButton);
        EXPECT_EQ(Edit()->text(), QStringLiteral("Zebra"));
        EXPECT_EQ(Rows(), Window(m_engine->IndexOfNearest("zebra")));
        EXPECT_EQ(Selected(), 0);
        QApplication::clipboard()->clear();
    });
}

TEST_F(SearchPageTest, SoftKeyboardShrinksTheListAndRestoresItKeepingRowAndSelection) {
    Run("words-1000.pdb", [&] {
        const QRect list = List()->geometry();
        const QRect bar = Bar()->geometry();
        const QRect autoScroll = Control(IDC_AUTOSCROLL)->geometry();
        const int rowHeight = List()->visualRect(List()->model()->index(1, 0)).height();
        Type(m_engine->At(300));
        ClickRow(4);

        SetSoftInputPanelForTesting(true, QRect(0, 500, 240, 100));
        EXPECT_EQ(List()->geometry(),
                  QRect(list.topLeft(), QSize(list.width(), list.height() - 100)));
        EXPECT_EQ(Bar()->geometry(), QRect(bar.topLeft(), QSize(bar.width(), bar.height() - 100)));
        EXPECT_EQ(Control(IDC_AUTOSCROLL)->geometry(), autoScroll.translated(0, -100));
        EXPECT_EQ(m_page->WordWindow().PageRows(), (list.height() - 100) / rowHeight);
        EXPECT_EQ(Rows(), Window(300));
        EXPECT_EQ(Selected(), 4);

        ResetSoftInputPanelForTesting();
        EXPECT_EQ(List()->geometry(), list);
        EXPECT_EQ(Bar()->geometry(), bar);
        EXPECT_EQ(Control(IDC_AUTOSCROLL)->geometry(), autoScroll);
        EXPECT_EQ(m_page->WordWindow().PageRows(), 18);
        EXPECT_EQ(Rows(), Window(300));
        EXPECT_EQ(Selected(), 4);
    });
}

TEST_F(SearchPageTest, ASoftKeyboardTallerThanTheListLeavesOneRowThatStillMoves) {
    Run("words-1000.pdb", [&] {
        Type(m_engine->At(40));
        SetSoftInputPanelForTesting(true, QRect(0, 0, 240, 400));
        EXPECT_EQ(List()->height(), 0);
        EXPECT_EQ(m_page->WordWindow().PageRows(), 1);
        EXPECT_EQ(Rows(), Window(40));
        QTest::keyClick(Edit(), Qt::Key_Down);
        EXPECT_EQ(Rows(), Window(41));
        Action(QAbstractSlider::SliderPageStepAdd);
        EXPECT_EQ(Rows(), Window(42));
        ResetSoftInputPanelForTesting();
        EXPECT_EQ(m_page->WordWindow().PageRows(), 18);
        EXPECT_EQ(Rows(), Window(42));
    });
}

TEST_F(SearchPageTest, ADictionarySmallerThanAPageShowsItAllAndNothingMovesIt) {
    Run("words-10.pdb", [&] {
        EXPECT_EQ(Rows(), Window(0));
        EXPECT_EQ(Rows().size(), 10u);
        const auto all = Rows();
        QTest::keyClick(Edit(), Qt::Key_Down);
        Action(QAbstractSlider::SliderSingleStepAdd);
        Action(QAbstractSlider::SliderPageStepAdd);
        Drag(Bar()->maximum());
        Type("zzzz");
        EXPECT_EQ(Rows(), all);
    });
}

TEST_F(SearchPageTest, ASingleHeadwordGivesTheScrollBarNoPositions) {
    Run("words-1.pdb", [&] {
        EXPECT_EQ(m_page->WordWindow().ScrollRange(), 0u);
        EXPECT_EQ(Bar()->maximum(), 0);
        Action(QAbstractSlider::SliderPageStepAdd);
        Action(QAbstractSlider::SliderSingleStepSub);
        QTest::keyClick(Edit(), Qt::Key_Down);
        EXPECT_EQ(Rows(), std::vector<QString>{QStringLiteral("a")});
        EXPECT_EQ(Thumb(), 0);
    });
}

TEST_F(SearchPageTest, ComingBackToThePageGivesTheSearchBoxTheFocus) {
    Run("words-1000.pdb", [&] {
        QWidget other;
        const auto leaveAndComeBack = [&] {
            other.show();
            other.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&other));
            m_page->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(m_page));
        };
        List()->setFocus();
        m_page->repaint();
        EXPECT_EQ(QApplication::focusWidget(), List()) << "a paint moves no focus";
        leaveAndComeBack();
        EXPECT_EQ(QApplication::focusWidget(), Edit());

        // A pop-up list closes on leaving; hidden, it hands the focus to the search box.
        const auto showList = [&] {
            Control(IDC_HISTORY_LIST)->show();
            Control(IDC_HISTORY_LIST)->setFocus();
        };
        showList();
        leaveAndComeBack();
        EXPECT_FALSE(Control(IDC_HISTORY_LIST)->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), Edit());
        showList();
        m_page->HidePopups();
        EXPECT_EQ(QApplication::focusWidget(), Edit());

        // So does a page that the search page opened, once it closes.
        List()->setFocus();
        QTimer::singleShot(0, [] {
            if (QWidget* help = QApplication::activeModalWidget()) help->close();
        });
        m_page->OnHelp();
        EXPECT_EQ(m_page->focusWidget(), Edit()) << "before the page is active again";
    });
}

TEST_F(SearchPageTest, FrameShowsThePanelTheCommandBarAndTheIcon) {
    Run("words-1000.pdb", [&] {
        const QImage picture = m_page->grab().toImage();
        EXPECT_EQ(picture.pixelColor(5, 20), QColor(255, 255, 15)) << "the yellow panel";
        EXPECT_EQ(picture.pixelColor(3, 20), QColor(Qt::white)) << "its white frame";
        EXPECT_FALSE(m_page->windowIcon().isNull());

        auto* bar = m_page->findChild<QToolBar*>();
        ASSERT_NE(bar, nullptr);
        std::vector<QString> tips;
        QToolButton* tools = nullptr;
        for (QAction* action : bar->actions()) {
            auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
            if (button == nullptr) continue;
            if (button->menu() != nullptr) {
                tools = button;
            } else if (!action->toolTip().isEmpty()) {
                tips.push_back(action->toolTip());
            }
        }
        EXPECT_EQ(tips, (std::vector<QString>{"Paste (Ctrl+Shift+V)", "Bookmark (Ctrl+B)",
                                              "History (Ctrl+H)", "Help (F1)", "Close"}));
        ASSERT_NE(tools, nullptr);
        EXPECT_EQ(tools->text(), QStringLiteral("Tools"));
        ASSERT_EQ(tools->menu()->actions().size(), 2);
        EXPECT_EQ(tools->menu()->actions()[0]->text(), QStringLiteral("About Lexivane"));
        EXPECT_EQ(tools->menu()->actions()[1]->text(), QStringLiteral("Quit"));
        EXPECT_TRUE(m_page->OnCommand(ID_EDIT_PASTE));
    });
}

}  // namespace
