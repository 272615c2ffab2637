#include "platform/resources.h"

#include "res/templates.h"

BOOL LoadString(QString& target, UINT id) {
    const char* text = res::FindString(id);
    target = text != nullptr ? QString::fromUtf8(text) : QString();
    return text != nullptr;
}

QIcon LoadAppIcon() {
    return QIcon(QString::fromLatin1(res::kAppIconPath));
}
