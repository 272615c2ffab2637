#include "platform/clipboard.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

using platform::ClearClipboard;
using platform::ClipboardText;
using platform::CopyTextToClipboard;
using platform::kAnsiTextMimeType;

TEST(ClipboardTest, CopyPlacesBothFormsAndReadingTakesTheUnicodeTextOnly) {
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    EXPECT_FALSE(CopyTextToClipboard(QString()));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    EXPECT_EQ(ClipboardText(), QStringLiteral("before")) << "another program's text";

    EXPECT_TRUE(CopyTextToClipboard(QString::fromUtf8("café €")));
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_EQ(mime->text(), QString::fromUtf8("café €"));
    EXPECT_EQ(mime->data(kAnsiTextMimeType), QByteArray("caf\xE9 \x80"));
    EXPECT_EQ(ClipboardText(), QString::fromUtf8("café €"));

    auto* ansiOnly = new QMimeData;
    ansiOnly->setData(kAnsiTextMimeType, "eight bit");
    QGuiApplication::clipboard()->setMimeData(ansiOnly);
    EXPECT_TRUE(ClipboardText().isEmpty());

    CopyTextToClipboard(QStringLiteral("cat"));
    ClearClipboard();
    EXPECT_TRUE(ClipboardText().isEmpty());
}

}  // namespace
