#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <memory>
#include <string>

#include "platform/files.h"

namespace {

struct ClipboardSession {
    bool open = false;
    bool changed = false;
    std::unique_ptr<char[]> text;
    std::unique_ptr<char16_t[]> unicode;
    std::string readText;
    std::u16string readUnicode;
};

ClipboardSession& Session() {
    static ClipboardSession session;
    return session;
}

bool RequireOpen() {
    if (Session().open) return true;
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return false;
}

}  // namespace

BOOL OpenClipboard(QWidget*) {
    ClipboardSession& session = Session();
    if (session.open || QGuiApplication::instance() == nullptr) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    session = ClipboardSession{};
    session.open = true;
    return TRUE;
}

BOOL EmptyClipboard() {
    if (!RequireOpen()) return FALSE;
    ClipboardSession& session = Session();
    session.changed = true;
    session.text.reset();
    session.unicode.reset();
    return TRUE;
}

BOOL SetClipboardData(UINT format, void* block) {
    std::unique_ptr<char[]> text;
    std::unique_ptr<char16_t[]> unicode;
    if (format == CF_TEXT) text.reset(static_cast<char*>(block));
    if (format == CF_UNICODETEXT) unicode.reset(static_cast<char16_t*>(block));
    if (!RequireOpen()) return FALSE;
    if (block == nullptr || (format != CF_TEXT && format != CF_UNICODETEXT)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ClipboardSession& session = Session();
    session.changed = true;
    if (text) session.text = std::move(text);
    if (unicode) session.unicode = std::move(unicode);
    return TRUE;
}

const void* GetClipboardData(UINT format) {
    if (!RequireOpen()) return nullptr;
    ClipboardSession& session = Session();
    if (session.changed) {
        if (format == CF_TEXT) return session.text.get();
        if (format == CF_UNICODETEXT) return session.unicode.get();
        return nullptr;
    }
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (mime == nullptr) return nullptr;
    if (format == CF_UNICODETEXT && mime->hasFormat(QStringLiteral("text/plain"))) {
        session.readUnicode = mime->text().toStdU16String();
        return session.readUnicode.c_str();
    }
    if (format == CF_TEXT && mime->hasFormat(QString::fromLatin1(kAnsiTextMimeType))) {
        session.readText = mime->data(QString::fromLatin1(kAnsiTextMimeType)).toStdString();
        return session.readText.c_str();
    }
    return nullptr;
}

BOOL CloseClipboard() {
    if (!RequireOpen()) return FALSE;
    ClipboardSession& session = Session();
    if (session.changed) {
        if (!session.text && !session.unicode) {
            QGuiApplication::clipboard()->clear();
        } else {
            auto* mime = new QMimeData;
            if (session.unicode) mime->setText(QString::fromUtf16(session.unicode.get()));
            if (session.text) {
                mime->setData(QString::fromLatin1(kAnsiTextMimeType),
                              QByteArray(session.text.get()));
            }
            QGuiApplication::clipboard()->setMimeData(mime);
        }
    }
    session = ClipboardSession{};
    return TRUE;
}
