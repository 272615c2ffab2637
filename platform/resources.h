// Strings and pictures compiled into the program.
#ifndef LEXIVANE_PLATFORM_RESOURCES_H_
#define LEXIVANE_PLATFORM_RESOURCES_H_

#include <QIcon>
#include <QString>

#include "platform/types.h"

// Sets `target` to string `id` of the string table; FALSE (target emptied)
// when there is no such string.
BOOL LoadString(QString& target, UINT id);

// The program icon.
QIcon LoadAppIcon();

#endif  // LEXIVANE_PLATFORM_RESOURCES_H_
