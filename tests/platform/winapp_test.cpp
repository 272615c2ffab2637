#include "platform/winapp.h"

#include <gtest/gtest.h>

#include <QTimer>

#include "platform/dialog.h"
#include "res/resource.h"

using namespace platform;

namespace {

class LoopApp : public CWinApp {
  public:
    BOOL InitInstance() override {
        QTimer::singleShot(0, [] { PostQuitMessage(3); });
        return TRUE;
    }
};

class DialogModelApp : public CWinApp {
  public:
    BOOL InitInstance() override {
        PostQuitMessage(0);
        return FALSE;
    }
};

TEST(WinAppTest, MainLoopEndsWithThePostedCode) {
    LoopApp app;
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_EQ(AfxWinMain(), 3);
}

TEST(WinAppTest, QuitOutsideTheMainLoopLeavesLaterPagesWorking) {
    {
        DialogModelApp app;
        EXPECT_EQ(AfxWinMain(), 0);
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
    CDialog page(IDD_SEARCH);
    bool ran = false;
    QTimer::singleShot(0, &page, [&] {
        ran = true;
        page.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(page.DoModal(), IDCANCEL);
    EXPECT_TRUE(ran) << "the modal loop really ran";
}

}  // namespace
