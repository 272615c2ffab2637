// The program's text zoom: one size, in percent of the normal one, for the
// entry, the help text and the word list, on every page at once. Ctrl+plus
// (also Ctrl+= and the keypad's plus), Ctrl+minus and Ctrl+0 step it through
// kTextZoomSteps; a change is told to every page (CDialog::OnTextZoomChange).
#ifndef LEXIVANE_PLATFORM_TEXT_ZOOM_H_
#define LEXIVANE_PLATFORM_TEXT_ZOOM_H_

#include <array>

class QFont;

namespace platform {

class CDialog;

// The sizes the keys step through, in percent.
inline constexpr std::array<int, 13> kTextZoomSteps = {50,  67,  75,  80,  90,  100, 110,
                                                       125, 150, 175, 200, 250, 300};
inline constexpr int kNormalTextZoom = 100;

// The zoom as it is now; 100 until set.
int TextZoom();
// Makes `percent`, taken into 50 to 300, the program's zoom and tells every
// page when it changed.
void SetTextZoom(int percent);
// The step above (`larger`) or below `percent`; the largest or smallest step
// when there is none.
int NextTextZoom(int percent, bool larger);

// `base` at `percent` of its size: its pixel or point size scaled and rounded,
// never below one. At 100 it is `base` itself.
QFont ZoomedFont(const QFont& base, int percent);
// A length of `base` pixels at `percent`, rounded, never below one.
int ZoomedPixels(int base, int percent);

// Gives `page` the three zoom keys, working while it is the active window.
void AddTextZoomKeys(CDialog* page);

}  // namespace platform

#endif  // LEXIVANE_PLATFORM_TEXT_ZOOM_H_
