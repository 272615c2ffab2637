// GoogleTest main for tests that need Qt: the program's own QApplication on the
// offscreen platform (no display), death tests re-run in a fresh process.
#include <gtest/gtest.h>

#include "platform/dialog.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    platform::CApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
