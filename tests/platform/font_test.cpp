#include "platform/font.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QWidget>

namespace {

TEST(FontTest, DescriptionBecomesTheFont) {
    LOGFONT description{};
    description.lfWeight = FW_BOLD;
    HFONT bold = CreateFontIndirectW(&description);
    ASSERT_NE(bold, nullptr);
    EXPECT_TRUE(FontOf(bold).bold());
    EXPECT_EQ(FontOf(bold).pointSizeF(), QFont().pointSizeF());
    EXPECT_EQ(FontOf(bold).family(), QFont().family());

    description = LOGFONT{};
    description.lfHeight = -24;
    description.lfItalic = 1;
    HFONT tall = CreateFontIndirectW(&description);
    EXPECT_EQ(FontOf(tall).pixelSize(), 24);
    EXPECT_TRUE(FontOf(tall).italic());
    EXPECT_FALSE(FontOf(tall).bold());

    EXPECT_EQ(DeleteObject(bold), TRUE);
    EXPECT_EQ(DeleteObject(tall), TRUE);
    EXPECT_EQ(DeleteObject(nullptr), FALSE);
    EXPECT_EQ(CreateFontIndirectW(nullptr), nullptr);
}

TEST(FontTest, FontObjectsAreCountedUntilDeleted) {
    const int before = LiveFontObjectCount();
    LOGFONT description{};
    {
        CFont font;
        EXPECT_EQ(font.DeleteObject(), FALSE);
        EXPECT_EQ(font.CreateFontIndirect(&description), TRUE);
        EXPECT_EQ(font.CreateFontIndirect(&description), TRUE);
        EXPECT_EQ(LiveFontObjectCount(), before + 1);
        EXPECT_EQ(font.DeleteObject(), TRUE);
        EXPECT_EQ(font.GetSafeHandle(), nullptr);
        EXPECT_EQ(LiveFontObjectCount(), before);
        font.CreateFontIndirect(&description);
    }
    EXPECT_EQ(LiveFontObjectCount(), before);
}

TEST(FontTest, ControlTakesTheFontAndNullGivesBackItsWindowsFont) {
    QWidget window;
    QFont large = window.font();
    large.setPointSize(20);
    window.setFont(large);
    auto* label = new QLabel(QStringLiteral("text"), &window);
    LOGFONT description{};
    description.lfWeight = FW_BOLD;
    CFont bold;
    bold.CreateFontIndirect(&description);

    SetControlFont(label, bold.GetSafeHandle(), TRUE);
    EXPECT_TRUE(label->font().bold());
    EXPECT_EQ(label->font().pointSize(), 20);
    SetControlFont(label, nullptr, FALSE);
    EXPECT_FALSE(label->font().bold());
    EXPECT_EQ(label->font().pointSize(), 20);
}

}  // namespace
