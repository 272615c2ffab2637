#include "platform/settings.h"

#include <QSettings>

#include "platform/paths.h"

namespace platform {

QString SettingsFilePath() {
    QString path = QStringLiteral("lexivane.ini");
    MakeModulePath(path);
    return path;
}

QVariant ReadSetting(const QString& key, const QVariant& fallback) {
    const QSettings settings(SettingsFilePath(), QSettings::IniFormat);
    return settings.value(key, fallback);
}

bool WriteSetting(const QString& key, const QVariant& value) {
    return WriteSettings({{key, value}});
}

bool WriteSettings(const QVariantMap& values) {
    QSettings settings(SettingsFilePath(), QSettings::IniFormat);
    for (auto it = values.begin(); it != values.end(); ++it)
        settings.setValue(it.key(), it.value());
    settings.sync();
    return settings.status() == QSettings::NoError;
}

}  // namespace platform
