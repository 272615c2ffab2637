// The handheld shell's soft input panel (the on-screen keyboard) as the pages
// see it. On the desktop it is Qt's input method: whether a virtual keyboard is
// showing and where. Pages hear of changes through CDialog::OnSettingChange.
#ifndef LEXIVANE_PLATFORM_SHELL_H_
#define LEXIVANE_PLATFORM_SHELL_H_

#include <QRect>

#include "platform/types.h"

struct RECT {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

struct SIPINFO {
    DWORD cbSize;           // must be sizeof(SIPINFO), 48
    DWORD fdwFlags;         // SIPF_ON while the panel shows
    RECT rcVisibleDesktop;  // screen area the panel leaves free
    RECT rcSipRect;         // the panel, in screen coordinates
    DWORD dwImDataSize;
    uint32_t pvImData;
};
static_assert(sizeof(SIPINFO) == 48);

inline constexpr UINT SPI_GETSIPINFO = 225;
inline constexpr DWORD SIPF_ON = 0x1;

// Fills `info` (cbSize set by the caller) with the panel's state. FALSE with
// ERROR_INVALID_PARAMETER for another action, a null record or a wrong cbSize.
BOOL SHSipInfo(UINT action, UINT param, SIPINFO* info, UINT flags);

// Tests: show (`on`) or hide a panel at `rect` (screen coordinates) instead of
// the input method's, and tell every page; ResetSoftInputPanelForTesting goes
// back to the input method.
void SetSoftInputPanelForTesting(bool on, const QRect& rect);
void ResetSoftInputPanelForTesting();

#endif  // LEXIVANE_PLATFORM_SHELL_H_
