// Strings and pictures compiled into the program.
#ifndef LEXIVANE_PLATFORM_RESOURCES_H_
#define LEXIVANE_PLATFORM_RESOURCES_H_

#include <QIcon>
#include <QPixmap>
#include <QString>

#include "platform/types.h"

namespace platform {

// Sets `target` to string `id` of the string table; FALSE (target emptied)
// when there is no such string.
BOOL LoadString(QString& target, UINT id);

// The picture at resource path `path`, read as PNG: every picture of the
// program is one. Naming the format keeps Qt from loading its image plugins
// (gif, ico, jpeg) to sniff the file, which cost every start a few
// milliseconds. Null when there is no such picture.
QPixmap LoadPicture(const char* path);

// The program icon.
QIcon LoadAppIcon();

}  // namespace platform

#endif  // LEXIVANE_PLATFORM_RESOURCES_H_
