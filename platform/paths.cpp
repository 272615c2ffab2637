#include "platform/paths.h"

#include <QFile>

namespace platform {
namespace {

QString& ModuleFileOverride() {
    static QString path;
    return path;
}

}  // namespace

QString GetModuleFileName() {
    if (!ModuleFileOverride().isEmpty()) return ModuleFileOverride();
    return QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
}

void SetModuleFileNameForTesting(const QString& path) {
    ModuleFileOverride() = path;
}

void MakeModulePath(QString& name) {
    QString folder = GetModuleFileName();
    const qsizetype slash = folder.lastIndexOf(u'/');
    if (slash >= 0) folder.truncate(slash);
    name = folder + u'/' + name;
}

}  // namespace platform
