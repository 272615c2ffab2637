// Key and pointer events as the platform's window messages, for the pages'
// PreTranslateMessage.
#ifndef LEXIVANE_PLATFORM_MESSAGES_H_
#define LEXIVANE_PLATFORM_MESSAGES_H_

#include "platform/types.h"

class QEvent;
class QWidget;

namespace platform {

struct MSG {
    QWidget* hwnd;  // the widget the event was sent to
    UINT message;   // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_LBUTTONDOWN,
                    // WM_LBUTTONUP or WM_MOUSEMOVE
    WPARAM wParam;  // virtual-key code; for pointer messages MK_LBUTTON while the button is down
    LPARAM lParam;  // keys: repeat count 1, bit 30 previous state, bit 31 release;
                    // pointer: x in the low 16 bits, y in the high 16 bits (widget coordinates)
};

// The virtual-key code of a Qt key (Qt::Key value), or 0 when the key has none.
// Shifted symbols give the code of the key that types them on a US keyboard
// ('(' is '9', '&' is '7'), so punctuation never looks like an arrow key.
WPARAM VirtualKeyFromQtKey(int qtKey);

// Turns a key or left-button event sent to `target` into a message. Key
// presses (also auto-repeated ones) give WM_KEYDOWN, releases WM_KEYUP, except
// auto-repeat releases, which give nothing, so holding a key reads as repeated
// key-downs. With Alt held (and Ctrl not) they are WM_SYSKEYDOWN and
// WM_SYSKEYUP instead, so that Alt+Left is never read as Left. Left-button press, double-click,
// release and pointer moves give WM_LBUTTONDOWN, WM_LBUTTONDOWN, WM_LBUTTONUP and WM_MOUSEMOVE.
// Every other event, and keys without a virtual-key code, give false.
bool TranslateEventToMessage(QWidget* target, const QEvent* event, MSG* msg);

}  // namespace platform

#endif  // LEXIVANE_PLATFORM_MESSAGES_H_
