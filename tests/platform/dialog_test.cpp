#include "platform/dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <vector>

#include "platform/controls.h"
#include "res/resource.h"

using namespace platform;

namespace {

// A page on the search template that records what reaches it.
class RecordingDialog : public CDialog {
  public:
    RecordingDialog() : CDialog(IDD_SEARCH) {}

    std::vector<MSG> messages;
    std::vector<std::string> events;
    bool swallowKeys = false;
    std::function<void()> whileRunning;

    BOOL PreTranslateMessage(MSG* msg) override {
        messages.push_back(*msg);
        return swallowKeys && (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP);
    }

  protected:
    void BindMessageMap() override { events.push_back("BindMessageMap"); }
    BOOL OnInitDialog() override {
        events.push_back(GetDlgItem(IDC_WORDLIST) != nullptr ? "OnInitDialog with controls"
                                                             : "OnInitDialog without controls");
        if (whileRunning) QTimer::singleShot(0, this, whileRunning);
        return CDialog::OnInitDialog();
    }
    void OnOK() override {
        events.push_back("OnOK");
        CDialog::OnOK();
    }
};

TEST(DialogTemplateTest, DialogUnitsScaleTo240By268) {
    EXPECT_EQ(DialogUnitsToPixelsX(137), 240);
    EXPECT_EQ(DialogUnitsToPixelsY(153), 268);
    EXPECT_EQ(DialogUnitsToPixelsX(0), 0);
}

TEST(DialogTemplateTest, SearchTemplateBuildsItsSevenControls) {
    RecordingDialog page;
    page.whileRunning = [&] {
        EXPECT_EQ(page.windowTitle(), QStringLiteral("Lexivane"));
        EXPECT_EQ(page.size(), QSize(240, 268));
        struct Expected {
            int id;
            const char* type;
            QRect rect;
            bool visible;
            QString name;
        };
        const Expected expected[] = {
            {IDC_WORDLIST, "CListBoxWidget", {119, 4, 107, 263}, true, "Word list"},
            {IDC_BOOKMARK_LIST, "CListBoxWidget", {4, 117, 107, 147}, false, "Bookmarks"},
            {IDC_HISTORY_LIST, "CListBoxWidget", {12, 119, 102, 145}, false, "History"},
            {IDC_AUTOSCROLL, "QCheckBox", {4, 245, 88, 18}, true, "Auto Scroll"},
            {IDC_GO, "QPushButton", {4, 60, 49, 25}, false, "GO"},
            {IDC_SEARCH_EDIT, "QLineEdit", {7, 26, 103, 23}, true, "Search"},
            {IDC_WORD_SCROLL, "CScrollBarWidget", {224, 4, 14, 263}, true, "Word scroll bar"},
        };
        for (const Expected& e : expected) {
            QWidget* control = page.GetDlgItem(e.id);
            ASSERT_NE(control, nullptr) << e.id;
            EXPECT_EQ(control->geometry(), e.rect) << e.id;
            EXPECT_EQ(control->isVisible(), e.visible) << e.id;
            EXPECT_EQ(control->accessibleName(), e.name) << e.id;
            EXPECT_EQ(control->objectName(), QStringLiteral("control%1").arg(e.id));
        }
        EXPECT_NE(dynamic_cast<CListBoxWidget*>(page.GetDlgItem(IDC_WORDLIST)), nullptr);
        EXPECT_EQ(
            static_cast<CListBoxWidget*>(page.GetDlgItem(IDC_WORDLIST))->verticalScrollBarPolicy(),
            Qt::ScrollBarAlwaysOff)
            << "the word list uses its own scroll bar";
        EXPECT_EQ(static_cast<CListBoxWidget*>(page.GetDlgItem(IDC_BOOKMARK_LIST))
                      ->verticalScrollBarPolicy(),
                  Qt::ScrollBarAsNeeded);
        EXPECT_EQ(qobject_cast<QScrollBar*>(page.GetDlgItem(IDC_WORD_SCROLL))->orientation(),
                  Qt::Vertical);
        EXPECT_TRUE(qobject_cast<QCheckBox*>(page.GetDlgItem(IDC_AUTOSCROLL)) != nullptr);
        EXPECT_EQ(page.GetDlgItem(4242), nullptr);
        page.close();
    };
    EXPECT_EQ(page.DoModal(), IDOK);
    EXPECT_EQ(page.events,
              (std::vector<std::string>{"BindMessageMap", "OnInitDialog with controls", "OnOK"}))
        << "the close button is the page's OK";
}

TEST(DialogTemplateTest, UnknownTemplateDoesNotRun) {
    class Orphan : public CDialog {
      public:
        Orphan() : CDialog(4242) {}
    } orphan;
    EXPECT_EQ(orphan.DoModal(), -1);
}

TEST(DialogTemplateTest, EscapeEndsWithCancelAndFocusStartsOnTheFirstTabStop) {
    RecordingDialog page;
    page.whileRunning = [&] {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
        EXPECT_EQ(QApplication::focusWidget(), page.GetDlgItem(IDC_WORDLIST));
        QTest::keyClick(page.GetDlgItem(IDC_SEARCH_EDIT), Qt::Key_Escape);
    };
    EXPECT_EQ(page.DoModal(), IDCANCEL);
}

class PreTranslateTest : public ::testing::Test {
  protected:
    // Runs `input` against the running page and ends it.
    void Run(const std::function<void(QWidget* edit)>& input) {
        m_page.whileRunning = [&] {
            QWidget* edit = m_page.GetDlgItem(IDC_SEARCH_EDIT);
            edit->setFocus();
            QApplication::processEvents();
            input(edit);
            m_page.EndDialog(IDOK);
        };
        m_page.DoModal();
    }
    std::vector<MSG> Keys() const {
        std::vector<MSG> keys;
        for (const MSG& m : m_page.messages) {
            const bool key = m.message == WM_KEYDOWN || m.message == WM_KEYUP ||
                             m.message == WM_SYSKEYDOWN || m.message == WM_SYSKEYUP;
            if (key && m.wParam != VK_MENU) keys.push_back(m);
        }
        return keys;
    }
    RecordingDialog m_page;
};

TEST_F(PreTranslateTest, KeysArriveOnceAsVirtualKeyDownAndUp) {
    Run([](QWidget* edit) {
        QTest::keyClick(edit, Qt::Key_Down);
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_A);
        QTest::keyClick(edit, Qt::Key_Left, Qt::AltModifier);
    });
    const auto keys = Keys();
    ASSERT_EQ(keys.size(), 8u) << "an arrow the edit ignores still arrives once";
    const std::pair<UINT, WPARAM> expected[] = {{WM_KEYDOWN, VK_DOWN},    {WM_KEYUP, VK_DOWN},
                                                {WM_KEYDOWN, VK_RETURN},  {WM_KEYUP, VK_RETURN},
                                                {WM_KEYDOWN, 'A'},        {WM_KEYUP, 'A'},
                                                {WM_SYSKEYDOWN, VK_LEFT}, {WM_SYSKEYUP, VK_LEFT}};
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i].message, expected[i].first) << i;
        EXPECT_EQ(keys[i].wParam, expected[i].second) << i;
        EXPECT_EQ(keys[i].hwnd, m_page.GetDlgItem(IDC_SEARCH_EDIT));
    }
    EXPECT_EQ(keys[1].lParam & (LPARAM{1} << 31), LPARAM{1} << 31) << "release bit";
}

TEST_F(PreTranslateTest, AutoRepeatReadsAsRepeatedKeyDowns) {
    Run([](QWidget* edit) {
        QTest::keyPress(edit, Qt::Key_Up);
        for (int i = 0; i < 3; ++i) {
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, QString(), true);
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(edit, &release);
            QApplication::sendEvent(edit, &press);
        }
        QTest::keyRelease(edit, Qt::Key_Up);
    });
    const auto keys = Keys();
    ASSERT_EQ(keys.size(), 5u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(keys[i].message, WM_KEYDOWN) << i;
    EXPECT_EQ(keys[4].message, WM_KEYUP);
}

TEST_F(PreTranslateTest, PunctuationNeverLooksLikeAnArrow) {
    Run([](QWidget* edit) { QTest::keyClicks(edit, "(&'%"); });
    for (const MSG& key : Keys()) {
        EXPECT_NE(key.wParam, VK_DOWN);
        EXPECT_NE(key.wParam, VK_UP);
        EXPECT_NE(key.wParam, VK_LEFT);
        EXPECT_NE(key.wParam, VK_RIGHT);
    }
    EXPECT_EQ(qobject_cast<QLineEdit*>(m_page.GetDlgItem(IDC_SEARCH_EDIT))->text(),
              QStringLiteral("(&'%"));
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_ParenLeft), WPARAM{'9'});
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Ampersand), WPARAM{'7'});
}

TEST_F(PreTranslateTest, SwallowedKeysNeverReachTheControl) {
    m_page.swallowKeys = true;
    Run([](QWidget* edit) { QTest::keyClicks(edit, "cat"); });
    EXPECT_TRUE(qobject_cast<QLineEdit*>(m_page.GetDlgItem(IDC_SEARCH_EDIT))->text().isEmpty());
    EXPECT_EQ(Keys().size(), 6u);
}

TEST_F(PreTranslateTest, PointerMessagesCarryTheButtonStateAndNothingElseArrives) {
    Run([this](QWidget*) {
        QWidget* list = static_cast<CListBoxWidget*>(m_page.GetDlgItem(IDC_WORDLIST))->viewport();
        m_page.messages.clear();
        QTest::mousePress(list, Qt::LeftButton, Qt::NoModifier, QPoint(5, 7));
        QTest::mouseMove(list, QPoint(9, 11));
        QTest::mouseRelease(list, Qt::LeftButton, Qt::NoModifier, QPoint(9, 11));
        QTest::mouseClick(list, Qt::RightButton, Qt::NoModifier, QPoint(9, 11));
        m_page.GetDlgItem(IDC_SEARCH_EDIT)->setFocus();
        m_page.repaint();
    });
    std::vector<std::pair<UINT, WPARAM>> seen;
    for (const MSG& m : m_page.messages) seen.emplace_back(m.message, m.wParam);
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen.front(), std::make_pair(WM_LBUTTONDOWN, MK_LBUTTON));
    EXPECT_EQ(m_page.messages.front().lParam, (7 << 16) | 5);
    EXPECT_EQ(seen.back(), std::make_pair(WM_LBUTTONUP, WPARAM{0}));
    for (size_t i = 1; i + 1 < seen.size(); ++i) {
        EXPECT_EQ(seen[i], std::make_pair(WM_MOUSEMOVE, MK_LBUTTON)) << i;
    }
}

// A page that exchanges the search box's text and the Auto Scroll check.
class ExchangePage : public CDialog {
  public:
    ExchangePage() : CDialog(IDD_SEARCH) {}
    CEdit edit;
    QString text = QStringLiteral("start");
    BOOL checked = TRUE;
    std::function<void()> whileRunning;

  protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, IDC_SEARCH_EDIT, edit);
        DDX_Text(dx, IDC_SEARCH_EDIT, text);
        DDX_Check(dx, IDC_AUTOSCROLL, checked);
    }
    BOOL OnInitDialog() override {
        const BOOL result = CDialog::OnInitDialog();
        if (whileRunning) QTimer::singleShot(0, this, whileRunning);
        return result;
    }
};

TEST(DataExchangeTest, StartUpWritesTheMembersAndUpdateDataReadsThemBack) {
    ExchangePage page;
    page.whileRunning = [&] {
        auto* edit = qobject_cast<QLineEdit*>(page.GetDlgItem(IDC_SEARCH_EDIT));
        auto* check = qobject_cast<QCheckBox*>(page.GetDlgItem(IDC_AUTOSCROLL));
        EXPECT_EQ(page.edit.GetSafeHwnd(), edit) << "the control is bound";
        EXPECT_EQ(edit->text(), QStringLiteral("start"));
        EXPECT_TRUE(check->isChecked());
        edit->setText(QStringLiteral("Cat "));
        check->setChecked(false);
        EXPECT_EQ(page.text, QStringLiteral("start")) << "only UpdateData reads the controls";
        EXPECT_TRUE(page.UpdateData(TRUE));
        EXPECT_EQ(page.text, QStringLiteral("Cat "));
        EXPECT_EQ(page.checked, FALSE);
        page.text = QStringLiteral("dog");
        page.checked = TRUE;
        page.UpdateData(FALSE);
        EXPECT_EQ(edit->text(), QStringLiteral("dog"));
        EXPECT_TRUE(check->isChecked());
        page.EndDialog(IDOK);
    };
    page.DoModal();
}

TEST(DataExchangeTest, CenterWindowPutsThePageInTheMiddleOfItsScreen) {
    ExchangePage page;
    page.whileRunning = [&] {
        page.CenterWindow();
        const QPoint middle = page.screen()->availableGeometry().center();
        EXPECT_LE((page.frameGeometry().center() - middle).manhattanLength(), 2);
        page.EndDialog(IDOK);
    };
    page.DoModal();
}

}  // namespace
