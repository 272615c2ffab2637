// The user's settings (window place and size, text zoom, the chosen
// dictionary): "lexivane.ini" in the program's folder, beside bookmark.dat,
// which stays the one place for the user's files. An INI file that QSettings
// reads whole and saves whole through a temporary file and a rename.
#ifndef LEXIVANE_PLATFORM_SETTINGS_H_
#define LEXIVANE_PLATFORM_SETTINGS_H_

#include <QString>
#include <QVariant>

namespace platform {

// The settings file's path for the program's folder as it is now (tests move
// the folder with SetModuleFileNameForTesting).
QString SettingsFilePath();
// The value kept under `key`, or `fallback` when there is none or the file
// cannot be read.
QVariant ReadSetting(const QString& key, const QVariant& fallback = QVariant());
// Keeps `value` under `key` and saves the file. False when it could not be
// saved; the program goes on with the setting unsaved.
bool WriteSetting(const QString& key, const QVariant& value);
// Keeps every value of `values` under its key and saves the file once.
bool WriteSettings(const QVariantMap& values);

}  // namespace platform

#endif  // LEXIVANE_PLATFORM_SETTINGS_H_
