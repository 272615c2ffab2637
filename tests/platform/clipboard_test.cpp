#include "platform/clipboard.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <cstring>
#include <memory>

#include "platform/files.h"

namespace {

char* NewText(const char* text) {
    char* block = new char[std::strlen(text) + 1];
    std::strcpy(block, text);
    return block;
}

char16_t* NewUnicode(const std::u16string& text) {
    auto* block = new char16_t[text.size() + 1];
    std::copy(text.begin(), text.end(), block);
    block[text.size()] = 0;
    return block;
}

TEST(ClipboardTest, BothFormsArePublishedAndTheUnicodeOneIsPlainText) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_TRUE(SetClipboardData(CF_TEXT, NewText("caf\xE9")));
    EXPECT_TRUE(SetClipboardData(CF_UNICODETEXT, NewUnicode(u"café")));
    EXPECT_TRUE(CloseClipboard());

    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_EQ(mime->text(), QString::fromUtf8("café"));
    EXPECT_EQ(mime->data(kAnsiTextMimeType), QByteArray("caf\xE9"));

    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(std::u16string(static_cast<const char16_t*>(GetClipboardData(CF_UNICODETEXT))),
              u"café");
    EXPECT_STREQ(static_cast<const char*>(GetClipboardData(CF_TEXT)), "caf\xE9");
    EXPECT_TRUE(CloseClipboard());
}

TEST(ClipboardTest, OnlyTextFromOtherProgramsIsReadAsUnicode) {
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(std::u16string(static_cast<const char16_t*>(GetClipboardData(CF_UNICODETEXT))),
              u"pasted");
    EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
    CloseClipboard();

    auto* ansiOnly = new QMimeData;
    ansiOnly->setData(kAnsiTextMimeType, "eight bit");
    QGuiApplication::clipboard()->setMimeData(ansiOnly);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr);
    CloseClipboard();
}

TEST(ClipboardTest, EmptyingClearsAndTheClipboardMustBeOpen) {
    QGuiApplication::clipboard()->setText(QStringLiteral("old"));
    EXPECT_FALSE(EmptyClipboard());
    EXPECT_EQ(GetLastError(), ERROR_CLIPBOARD_NOT_OPEN);
    EXPECT_FALSE(SetClipboardData(CF_TEXT, NewText("lost")));
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr);
    EXPECT_FALSE(CloseClipboard());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("old"));

    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(OpenClipboard(nullptr)) << "one holder at a time";
    EXPECT_FALSE(SetClipboardData(CF_TEXT, nullptr));
    std::unique_ptr<char[]> bitmap(NewText("bitmap?"));
    EXPECT_FALSE(SetClipboardData(2, bitmap.get())) << "a format the clipboard does not keep";
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr) << "emptied within this opening";
    EXPECT_TRUE(CloseClipboard());
    EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
}

}  // namespace
