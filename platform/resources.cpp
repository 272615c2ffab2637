#include "platform/resources.h"

#include <QImageReader>

#include "res/templates.h"

namespace platform {

BOOL LoadString(QString& target, UINT id) {
    const char* text = res::FindString(id);
    target = text != nullptr ? QString::fromUtf8(text) : QString();
    return text != nullptr;
}

QPixmap LoadPicture(const char* path) {
    // Without format detection the reader asks no plugin about the file and
    // takes Qt's own PNG reader.
    QImageReader reader(QString::fromLatin1(path), "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QIcon LoadAppIcon() {
    return QIcon(LoadPicture(res::kAppIconPath));
}

}  // namespace platform
