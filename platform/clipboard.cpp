#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <memory>

#include "platform/text.h"

namespace platform {
namespace {

QClipboard* Clipboard() {
    return QGuiApplication::instance() != nullptr ? QGuiApplication::clipboard() : nullptr;
}

}  // namespace

bool CopyTextToClipboard(const QString& text) {
    QClipboard* clipboard = Clipboard();
    if (text.isEmpty() || clipboard == nullptr) return false;
    auto mime = std::make_unique<QMimeData>();
    mime->setText(text);
    mime->setData(QString::fromLatin1(kAnsiTextMimeType), QByteArray(WideToNarrow(text).get()));
    clipboard->setMimeData(mime.release());
    return true;
}

QString ClipboardText() {
    QClipboard* clipboard = Clipboard();
    const QMimeData* mime = clipboard != nullptr ? clipboard->mimeData() : nullptr;
    if (mime == nullptr || !mime->hasFormat(QStringLiteral("text/plain"))) return QString();
    return mime->text();
}

void ClearClipboard() {
    if (QClipboard* clipboard = Clipboard()) clipboard->clear();
}

}  // namespace platform
