#include "platform/controls.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QStringListModel>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "platform/dialog.h"
#include "res/resource.h"

using namespace platform;

namespace {

// The search template with its notifications bound to counters, shown without
// a modal loop so that the tests can drive it directly.
class ControlsPage : public CDialog {
  public:
    ControlsPage() : CDialog(IDD_SEARCH) {}

    int selChanges = 0;
    int killFocus = 0;
    int editChanges = 0;
    int autoScrollClicks = 0;
    int goClicks = 0;
    std::vector<std::pair<UINT, int>> scrolls;
    CListBox wordList;
    CScrollBar scrollBar;
    int answerPosition = -1;  // where the handler puts the thumb; -1 leaves it

  protected:
    void BindMessageMap() override {
        BindControl(IDC_WORDLIST, wordList);
        BindControl(IDC_WORD_SCROLL, scrollBar);
        BindListSelChange(IDC_WORDLIST, [this] { ++selChanges; });
        BindListKillFocus(IDC_WORDLIST, [this] { ++killFocus; });
        BindEditChange(IDC_SEARCH_EDIT, [this] { ++editChanges; });
        BindCommand(IDC_AUTOSCROLL, [this] { ++autoScrollClicks; });
        BindCommand(IDC_GO, [this] { ++goClicks; });
        BindVScroll(IDC_WORD_SCROLL, [this](UINT code, int position) {
            scrolls.emplace_back(code, position);
            if (answerPosition >= 0) scrollBar.SetScrollPos(answerPosition);
        });
    }
};

// Runs `body` inside the page's modal run, then closes the page.
void WithPage(ControlsPage& page, const std::function<void()>& body) {
    QTimer::singleShot(0, &page, [&] {
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&page));
        body();
        page.EndDialog(IDOK);
    });
    page.DoModal();
}

std::shared_ptr<QStringListModel> Rows(const QStringList& texts) {
    return std::make_shared<QStringListModel>(texts);
}

TEST(ListBoxTest, ProgramSelectionIsSilentUserChoicesNotify) {
    ControlsPage page;
    WithPage(page, [&] {
        page.wordList.ShowRows(Rows({"a", "aardvark", "abacus", "abbey"}));
        EXPECT_EQ(page.wordList.SetCurSel(0), 0);
        EXPECT_EQ(page.wordList.GetCurSel(), 0);
        EXPECT_EQ(page.selChanges, 0) << "SetCurSel never notifies";

        QWidget* viewport = static_cast<CListBoxWidget*>(page.GetDlgItem(IDC_WORDLIST))->viewport();
        const QRect row2 = page.wordList.GetItemRect(2);
        ASSERT_FALSE(row2.isNull());
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, row2.center());
        EXPECT_EQ(page.wordList.GetCurSel(), 2);
        EXPECT_EQ(page.selChanges, 1);
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, row2.center());
        EXPECT_EQ(page.selChanges, 2) << "tapping the selected row chooses it again";
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier,
                          QPoint(5, viewport->height() - 3));
        EXPECT_EQ(page.selChanges, 2) << "a tap below the rows chooses nothing";

        page.GetDlgItem(IDC_WORDLIST)->setFocus();
        QTest::keyClick(page.GetDlgItem(IDC_WORDLIST), Qt::Key_Down);
        EXPECT_EQ(page.wordList.GetCurSel(), 3);
        EXPECT_EQ(page.selChanges, 3);
        QTest::keyClick(page.GetDlgItem(IDC_WORDLIST), Qt::Key_Down);
        EXPECT_EQ(page.selChanges, 3) << "no move at the last row, no choice";

        EXPECT_EQ(page.killFocus, 0);
        page.GetDlgItem(IDC_SEARCH_EDIT)->setFocus();
        EXPECT_EQ(page.killFocus, 1);

        EXPECT_EQ(page.wordList.SetCurSel(-1), LB_ERR);
        EXPECT_EQ(page.wordList.GetCurSel(), LB_ERR);
        EXPECT_EQ(page.wordList.SetCurSel(4), LB_ERR);
        EXPECT_EQ(page.selChanges, 3);
    });
}

TEST(ListBoxTest, ShowsTheRowsOfItsModelAsTheyChange) {
    ControlsPage page;
    WithPage(page, [&] {
        CListBox& list = page.wordList;
        EXPECT_EQ(list.GetCount(), 0);
        EXPECT_EQ(list.GetCurSel(), LB_ERR);
        const auto rows = Rows({"History", "---Clear All---", "cat"});
        list.ShowRows(rows);
        EXPECT_EQ(list.GetCount(), 3);
        EXPECT_EQ(list.GetText(2), QStringLiteral("cat"));
        EXPECT_TRUE(list.GetText(3).isNull());
        EXPECT_TRUE(list.GetItemRect(3).isNull());
        const QRect first = list.GetItemRect(0);
        EXPECT_EQ(first.height(), list.GetItemHeight());
        EXPECT_EQ(list.GetItemRect(1).top(), first.bottom() + 1);

        rows->insertRows(3, 1);
        rows->setData(rows->index(3), QStringLiteral("dog"));
        EXPECT_EQ(list.GetCount(), 4);
        EXPECT_EQ(list.GetText(3), QStringLiteral("dog"));
        EXPECT_EQ(list.SetCurSel(2), 2);
        rows->removeRows(2, 1);
        EXPECT_EQ(list.GetCurSel(), LB_ERR) << "the selection goes with its row";
        EXPECT_EQ(list.GetText(2), QStringLiteral("dog"));

        EXPECT_EQ(list.SetItemHeight(0), LB_ERR);
        EXPECT_EQ(list.SetItemHeight(21), 0);
        EXPECT_EQ(list.GetItemHeight(), 21);
        rows->insertRows(3, 1);
        for (int row : {0, 3})
            EXPECT_EQ(list.GetItemRect(row).height(), 21) << "rows present and added later";

        list.ShowRows(nullptr);
        EXPECT_EQ(list.GetCount(), 0);
        EXPECT_EQ(list.GetCurSel(), LB_ERR);
        EXPECT_EQ(page.selChanges, 0);
    });
}

QPoint SubControlCenter(QScrollBar* bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.subControls = QStyle::SC_All;
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar).center();
}

TEST(ScrollBarTest, RangeAndPositionStayWithinBounds) {
    ControlsPage page;
    WithPage(page, [&] {
        page.scrollBar.SetScrollRange(0, 1000);
        auto* bar = static_cast<QScrollBar*>(page.GetDlgItem(IDC_WORD_SCROLL));
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 1000);
        EXPECT_EQ(page.scrollBar.SetScrollPos(250), 0);
        EXPECT_EQ(page.scrollBar.SetScrollPos(2000), 250);
        EXPECT_EQ(page.scrollBar.GetScrollPos(), 1000);
        page.scrollBar.SetScrollRange(0, 10);
        EXPECT_EQ(page.scrollBar.GetScrollPos(), 10);
        EXPECT_TRUE(page.scrolls.empty()) << "program changes are not reported";
    });
}

TEST(ScrollBarTest, UserActionsReportCodesAndTheThumbStaysWhereTheProgramPutsIt) {
    ControlsPage page;
    WithPage(page, [&] {
        auto* bar = static_cast<QScrollBar*>(page.GetDlgItem(IDC_WORD_SCROLL));
        page.scrollBar.SetScrollRange(0, 1000);
        page.scrollBar.SetScrollPos(500);

        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                          SubControlCenter(bar, QStyle::SC_ScrollBarAddLine));
        ASSERT_GE(page.scrolls.size(), 2u);
        EXPECT_EQ(page.scrolls.front().first, SB_LINEDOWN);
        EXPECT_EQ(page.scrolls.back().first, SB_ENDSCROLL);
        EXPECT_EQ(page.scrollBar.GetScrollPos(), 500) << "the handler left the thumb alone";
        EXPECT_EQ(bar->value(), 500);

        page.scrolls.clear();
        page.answerPosition = 480;
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                          SubControlCenter(bar, QStyle::SC_ScrollBarSubLine));
        EXPECT_EQ(page.scrolls.front().first, SB_LINEUP);
        EXPECT_EQ(bar->value(), 480);

        page.scrolls.clear();
        const QPoint below = SubControlCenter(bar, QStyle::SC_ScrollBarAddPage);
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, below);
        EXPECT_EQ(page.scrolls.front().first, SB_PAGEDOWN);

        page.scrolls.clear();
        page.answerPosition = -1;
        const QPoint thumb = SubControlCenter(bar, QStyle::SC_ScrollBarSlider);
        QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, thumb);
        QTest::mouseMove(bar, thumb + QPoint(0, 40));
        QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, thumb + QPoint(0, 40));
        ASSERT_GE(page.scrolls.size(), 3u);
        EXPECT_EQ(page.scrolls[0].first, SB_THUMBTRACK);
        EXPECT_GT(page.scrolls[0].second, 480);
        EXPECT_EQ(page.scrolls[page.scrolls.size() - 2].first, SB_THUMBPOSITION);
        EXPECT_EQ(page.scrolls[page.scrolls.size() - 2].second, page.scrolls[0].second);
        EXPECT_EQ(page.scrolls.back().first, SB_ENDSCROLL);
        EXPECT_EQ(bar->value(), 480) << "the handler did not take the new position";
    });
}

TEST(ButtonsAndEditTest, NotificationsAndState) {
    ControlsPage page;
    WithPage(page, [&] {
        CButton autoScroll;
        page.BindControl(IDC_AUTOSCROLL, autoScroll);
        EXPECT_EQ(autoScroll.GetCheck(), BST_UNCHECKED);
        autoScroll.SetCheck(BST_CHECKED);
        EXPECT_EQ(page.autoScrollClicks, 0);
        QTest::mouseClick(page.GetDlgItem(IDC_AUTOSCROLL), Qt::LeftButton, Qt::NoModifier,
                          QPoint(5, 9));
        EXPECT_EQ(autoScroll.GetCheck(), BST_UNCHECKED);
        EXPECT_EQ(page.autoScrollClicks, 1);

        CButton go;
        page.BindControl(IDC_GO, go);
        EXPECT_FALSE(go.IsWindowVisible());
        EXPECT_FALSE(go.ShowWindow(SW_SHOW));
        EXPECT_TRUE(go.IsWindowVisible());
        QTest::mouseClick(page.GetDlgItem(IDC_GO), Qt::LeftButton);
        EXPECT_EQ(page.goClicks, 1);
        EXPECT_EQ(go.GetWindowText(), QStringLiteral("GO"));

        CEdit edit;
        page.BindControl(IDC_SEARCH_EDIT, edit);
        QTest::keyClicks(page.GetDlgItem(IDC_SEARCH_EDIT), "cat");
        EXPECT_EQ(page.editChanges, 3);
        edit.SetWindowText("dog");
        EXPECT_EQ(page.editChanges, 4) << "setting the text notifies as typing does";
        QApplication::clipboard()->setText(QStringLiteral("owl"));
        edit.SetSel(1, 2);
        const int before = page.editChanges;
        edit.Paste();
        EXPECT_EQ(edit.GetWindowText(), QStringLiteral("dowlg")) << "replaces the selection";
        EXPECT_EQ(page.editChanges, before + 1);
        edit.SetSel(0, -1);
        edit.Paste();
        EXPECT_EQ(edit.GetWindowText(), QStringLiteral("owl")) << "-1 selects to the end";
        edit.SetSel(-1, 0);
        edit.Paste();
        EXPECT_EQ(edit.GetWindowText(), QStringLiteral("owlowl")) << "no selection: inserts";
        QApplication::clipboard()->clear();

        const QRect inScreen = edit.GetWindowRect();
        EXPECT_EQ(inScreen.size(), QSize(103, 23));
        EXPECT_EQ(inScreen.topLeft(), page.mapToGlobal(QPoint(7, 26)));
        EXPECT_EQ(edit.GetClientRect(), QRect(0, 0, 103, 23));
        edit.MoveWindow(QRect(10, 20, 50, 20));
        EXPECT_EQ(page.GetDlgItem(IDC_SEARCH_EDIT)->geometry(), QRect(10, 20, 50, 20));
    });
}

}  // namespace
