// The handheld shell's soft input panel (the on-screen keyboard) as the pages
// see it: whether it shows and where. On the desktop it is Qt's input method.
// Pages hear of changes through CDialog::OnSettingChange.
#ifndef LEXIVANE_PLATFORM_SHELL_H_
#define LEXIVANE_PLATFORM_SHELL_H_

#include <QRect>

namespace platform {

struct SoftInputPanel {
    bool on = false;  // the panel shows
    QRect rect;       // where, in screen coordinates
    int Height() const { return on ? rect.height() : 0; }
};

// The panel as it is now.
SoftInputPanel CurrentSoftInputPanel();

// Tests: show (`on`) or hide a panel at `rect` (screen coordinates) instead of
// the input method's, and tell every page; ResetSoftInputPanelForTesting goes
// back to the input method.
void SetSoftInputPanelForTesting(bool on, const QRect& rect);
void ResetSoftInputPanelForTesting();

}  // namespace platform

#endif  // LEXIVANE_PLATFORM_SHELL_H_
