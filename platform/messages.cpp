#include "platform/messages.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace platform {

WPARAM VirtualKeyFromQtKey(int qtKey) {
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) {
        return static_cast<WPARAM>(qtKey);
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return VK_F1 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
        case Qt::Key_Backspace:
            return VK_BACK;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return VK_TAB;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return VK_RETURN;
        case Qt::Key_Shift:
            return VK_SHIFT;
        case Qt::Key_Control:
            return VK_CONTROL;
        case Qt::Key_Alt:
            return VK_MENU;
        case Qt::Key_Escape:
            return VK_ESCAPE;
        case Qt::Key_Space:
            return VK_SPACE;
        case Qt::Key_PageUp:
            return VK_PRIOR;
        case Qt::Key_PageDown:
            return VK_NEXT;
        case Qt::Key_End:
            return VK_END;
        case Qt::Key_Home:
            return VK_HOME;
        case Qt::Key_Left:
            return VK_LEFT;
        case Qt::Key_Up:
            return VK_UP;
        case Qt::Key_Right:
            return VK_RIGHT;
        case Qt::Key_Down:
            return VK_DOWN;
        case Qt::Key_Insert:
            return VK_INSERT;
        case Qt::Key_Delete:
            return VK_DELETE;
        // Symbols typed with Shift on a digit key.
        case Qt::Key_ParenRight:
            return '0';
        case Qt::Key_Exclam:
            return '1';
        case Qt::Key_At:
            return '2';
        case Qt::Key_NumberSign:
            return '3';
        case Qt::Key_Dollar:
            return '4';
        case Qt::Key_Percent:
            return '5';
        case Qt::Key_AsciiCircum:
            return '6';
        case Qt::Key_Ampersand:
            return '7';
        case Qt::Key_Asterisk:
            return '8';
        case Qt::Key_ParenLeft:
            return '9';
        // The punctuation keys (VK_OEM_*), shifted or not.
        case Qt::Key_Semicolon:
        case Qt::Key_Colon:
            return 0xBA;
        case Qt::Key_Equal:
        case Qt::Key_Plus:
            return 0xBB;
        case Qt::Key_Comma:
        case Qt::Key_Less:
            return 0xBC;
        case Qt::Key_Minus:
        case Qt::Key_Underscore:
            return 0xBD;
        case Qt::Key_Period:
        case Qt::Key_Greater:
            return 0xBE;
        case Qt::Key_Slash:
        case Qt::Key_Question:
            return 0xBF;
        case Qt::Key_QuoteLeft:
        case Qt::Key_AsciiTilde:
            return 0xC0;
        case Qt::Key_BracketLeft:
        case Qt::Key_BraceLeft:
            return 0xDB;
        case Qt::Key_Backslash:
        case Qt::Key_Bar:
            return 0xDC;
        case Qt::Key_BracketRight:
        case Qt::Key_BraceRight:
            return 0xDD;
        case Qt::Key_Apostrophe:
        case Qt::Key_QuoteDbl:
            return 0xDE;
        default:
            return 0;
    }
}

bool TranslateEventToMessage(QWidget* target, const QEvent* event, MSG* msg) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            const auto* key = static_cast<const QKeyEvent*>(event);
            const bool release = event->type() == QEvent::KeyRelease;
            if (release && key->isAutoRepeat()) return false;
            const WPARAM vk = VirtualKeyFromQtKey(key->key());
            if (vk == 0) return false;
            LPARAM lParam = 1;
            if (release || key->isAutoRepeat()) lParam |= LPARAM{1} << 30;
            if (release) lParam |= LPARAM{1} << 31;
            const bool alt =
                (key->modifiers() & (Qt::AltModifier | Qt::ControlModifier)) == Qt::AltModifier;
            const UINT message =
                alt ? (release ? WM_SYSKEYUP : WM_SYSKEYDOWN) : (release ? WM_KEYUP : WM_KEYDOWN);
            *msg = MSG{target, message, vk, lParam};
            return true;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove: {
            const auto* mouse = static_cast<const QMouseEvent*>(event);
            UINT message = WM_MOUSEMOVE;
            if (event->type() != QEvent::MouseMove) {
                if (mouse->button() != Qt::LeftButton) return false;
                message =
                    event->type() == QEvent::MouseButtonRelease ? WM_LBUTTONUP : WM_LBUTTONDOWN;
            }
            const QPoint pos = mouse->position().toPoint();
            const WPARAM wParam = (mouse->buttons() & Qt::LeftButton) ? MK_LBUTTON : 0;
            const LPARAM lParam =
                static_cast<LPARAM>((static_cast<uint32_t>(pos.y() & 0xFFFF) << 16) |
                                    static_cast<uint32_t>(pos.x() & 0xFFFF));
            *msg = MSG{target, message, wParam, lParam};
            return true;
        }
        default:
            return false;
    }
}

}  // namespace platform
