// What the program keeps of its window between runs, in the settings file
// (platform/settings.h): the search page's placement, under "window/x",
// "window/y", "window/width", "window/height" and "window/maximised", and the
// text zoom, under "text/zoom".
#ifndef LEXIVANE_APP_VIEW_SETTINGS_H_
#define LEXIVANE_APP_VIEW_SETTINGS_H_

#include <optional>

#include "platform/dialog.h"

// The placement kept from the last run; nothing when none was kept or a value
// is not a whole number, or the size is not positive.
std::optional<platform::WindowPlacement> ReadWindowPlacement();
// The zoom kept from the last run, in percent; 100 when none was kept or it is
// not a whole number. The caller takes it into the zoom's range.
int ReadTextZoom();
// Keeps the placement and the zoom for the next run. False when the settings
// file could not be saved; the program ends all the same.
bool SaveViewSettings(const platform::WindowPlacement& placement, int zoom);

#endif  // LEXIVANE_APP_VIEW_SETTINGS_H_
