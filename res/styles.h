// The window and control style bits the dialog templates use, with the
// handheld platform's values. The templates are written with them, and the
// platform layer reads them when it builds a page's controls.
#ifndef LEXIVANE_RES_STYLES_H_
#define LEXIVANE_RES_STYLES_H_

#include <cstdint>

namespace res {

// Windows.
inline constexpr uint32_t WS_POPUP = 0x80000000u;
inline constexpr uint32_t WS_VISIBLE = 0x10000000u;
inline constexpr uint32_t WS_CAPTION = 0x00C00000u;
inline constexpr uint32_t WS_SYSMENU = 0x00080000u;
inline constexpr uint32_t WS_BORDER = 0x00800000u;
inline constexpr uint32_t WS_VSCROLL = 0x00200000u;
inline constexpr uint32_t WS_TABSTOP = 0x00010000u;

// List boxes, buttons, edits, scroll bars and statics.
inline constexpr uint32_t LBS_NOTIFY = 0x0001;
inline constexpr uint32_t LBS_NOINTEGRALHEIGHT = 0x0100;
inline constexpr uint32_t BS_PUSHBUTTON = 0x0;
inline constexpr uint32_t BS_DEFPUSHBUTTON = 0x1;
inline constexpr uint32_t BS_AUTOCHECKBOX = 0x3;
inline constexpr uint32_t BS_TYPEMASK = 0xF;
inline constexpr uint32_t ES_AUTOHSCROLL = 0x0080;
inline constexpr uint32_t ES_READONLY = 0x0800;
inline constexpr uint32_t SBS_VERT = 0x0001;
inline constexpr uint32_t SS_LEFT = 0x0;
inline constexpr uint32_t SS_CENTER = 0x1;
inline constexpr uint32_t SS_BITMAP = 0xE;
inline constexpr uint32_t SS_TYPEMASK = 0x1F;
inline constexpr uint32_t SS_NOTIFY = 0x0100;

}  // namespace res

#endif  // LEXIVANE_RES_STYLES_H_
