#include "platform/messagebox.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <vector>

using namespace platform;

namespace {

class MessageBoxTest : public ::testing::Test {
  protected:
    void TearDown() override { SetMessageBoxResponder({}); }
};

TEST_F(MessageBoxTest, ResponderSeesEveryBoxAndAnswersIt) {
    std::vector<MessageBoxRecord> boxes;
    SetMessageBoxResponder([&](const MessageBoxRecord& box) {
        boxes.push_back(box);
        return IDCANCEL;
    });
    QWidget owner;
    EXPECT_EQ(
        MessageBox(&owner, "Clear all bookmarks?", "Bookmarks", MB_OKCANCEL | MB_ICONINFORMATION),
        IDCANCEL);
    EXPECT_EQ(MessageBox(nullptr, "CreateFileForMapping : 2"), IDCANCEL);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].owner, &owner);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Clear all bookmarks?"));
    EXPECT_EQ(boxes[0].caption, QStringLiteral("Bookmarks"));
    EXPECT_EQ(boxes[0].style, 65u);
    EXPECT_EQ(boxes[1].owner, nullptr);
    EXPECT_EQ(boxes[1].caption, QStringLiteral("Error")) << "the platform's default caption";
    EXPECT_EQ(boxes[1].style, 0u);
}

// Runs a real box and, once it is up, reads what it shows and presses `press`.
struct ShownBox {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
};

int RunRealBox(UINT style, const QString& caption, const QString& press, ShownBox* shown) {
    QTimer::singleShot(0, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        shown->title = box->windowTitle();
        shown->text = box->text();
        shown->icon = box->icon();
        for (QAbstractButton* button : box->buttons()) {
            shown->buttons << button->text().remove(u'&');
            if (box->defaultButton() == button) shown->defaultButton = button->text().remove(u'&');
        }
        for (QAbstractButton* button : box->buttons()) {
            if (button->text().remove(u'&') == press) QTest::mouseClick(button, Qt::LeftButton);
        }
        if (press == "Escape") QTest::keyClick(box, Qt::Key_Escape);
    });
    return MessageBox(nullptr, "Question text", caption, style);
}

TEST_F(MessageBoxTest, RealBoxTakesIconAndButtonsFromTheStyle) {
    ShownBox shown;
    EXPECT_EQ(RunRealBox(MB_OKCANCEL | MB_ICONQUESTION, "Message", "Cancel", &shown), IDCANCEL);
    EXPECT_EQ(shown.title, QStringLiteral("Message"));
    EXPECT_EQ(shown.text, QStringLiteral("Question text"));
    EXPECT_EQ(shown.icon, QMessageBox::Question);
    EXPECT_EQ(shown.buttons.size(), 2);
    EXPECT_TRUE(shown.buttons.contains("OK"));
    EXPECT_TRUE(shown.buttons.contains("Cancel"));
    EXPECT_EQ(shown.defaultButton, QStringLiteral("OK"));

    ShownBox ok;
    EXPECT_EQ(RunRealBox(MB_OKCANCEL | MB_ICONINFORMATION | MB_DEFBUTTON2, "History", "OK", &ok),
              IDOK);
    EXPECT_EQ(ok.icon, QMessageBox::Information);
    EXPECT_EQ(ok.defaultButton, QStringLiteral("Cancel"));

    ShownBox error;
    EXPECT_EQ(RunRealBox(MB_ICONHAND, QString(), "Escape", &error), IDOK) << "Escape on an OK box";
    EXPECT_EQ(error.title, QStringLiteral("Error"));
    EXPECT_EQ(error.icon, QMessageBox::Critical);
    EXPECT_EQ(error.buttons, QStringList{"OK"});

    ShownBox warning;
    EXPECT_EQ(RunRealBox(MB_OKCANCEL | MB_ICONEXCLAMATION, "Bookmarks", "Escape", &warning),
              IDCANCEL);
    EXPECT_EQ(warning.icon, QMessageBox::Warning);

    ShownBox plain;
    RunRealBox(MB_OK, QString(), "OK", &plain);
    EXPECT_EQ(plain.icon, QMessageBox::NoIcon);
}

TEST_F(MessageBoxTest, TheWindowThatHadTheKeyboardGetsItBack) {
    QWidget page;
    page.resize(200, 200);
    page.show();
    page.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        EXPECT_TRUE(QTest::qWaitForWindowActive(box));
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_EQ(MessageBox(&page, "Word 'cat' bookmarked", "Bookmarks", MB_ICONINFORMATION), IDOK);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&page)) << "keys go on to reach the page";
}

int s_boxesAtExit = 0;

struct ReportsAtExit {
    ~ReportsAtExit() {
        std::fprintf(stderr, "static objects destroyed after %d box\n", s_boxesAtExit);
    }
};

TEST(FatalErrorDeathTest, ShowsTheBoxThenExitsWithCodeOne) {
    EXPECT_EXIT(
        {
            static ReportsAtExit reporter;
            SetMessageBoxResponder([](const MessageBoxRecord& box) {
                std::fprintf(stderr, "box [%s] [%s] style %u\n", qPrintable(box.caption),
                             qPrintable(box.text), box.style);
                ++s_boxesAtExit;
                return IDOK;
            });
            FatalError(nullptr, "Internal error!! Please restart application", "Error Message");
        },
        ::testing::ExitedWithCode(1),
        "box \\[Error Message\\] \\[Internal error!! Please restart application\\] style 16\n"
        "static objects destroyed after 1 box");
}

}  // namespace
