#include "platform/shell.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QScreen>
#include <QWindow>
#include <optional>

#include "platform/dialog.h"
#include "platform/files.h"

namespace {

struct PanelState {
    bool on;
    QRect rect;
};

std::optional<PanelState>& Override() {
    static std::optional<PanelState> state;
    return state;
}

PanelState CurrentPanel() {
    if (Override()) return *Override();
    QInputMethod* method = QGuiApplication::inputMethod();
    if (method == nullptr || !method->isVisible()) return {false, QRect()};
    QRect rect = method->keyboardRectangle().toRect();
    if (QWindow* window = QGuiApplication::focusWindow())
        rect.moveTopLeft(window->mapToGlobal(rect.topLeft()));
    return {true, rect};
}

RECT ToRect(const QRect& rect) {
    return RECT{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

}  // namespace

BOOL SHSipInfo(UINT action, UINT, SIPINFO* info, UINT) {
    if (action != SPI_GETSIPINFO || info == nullptr || info->cbSize != sizeof(SIPINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const PanelState panel = CurrentPanel();
    QRect desktop;
    if (QScreen* screen = QGuiApplication::primaryScreen()) desktop = screen->availableGeometry();
    if (panel.on && panel.rect.top() > desktop.top()) desktop.setBottom(panel.rect.top() - 1);
    info->fdwFlags = panel.on ? SIPF_ON : 0;
    info->rcVisibleDesktop = ToRect(desktop);
    info->rcSipRect = ToRect(panel.rect);
    info->dwImDataSize = 0;
    info->pvImData = 0;
    return TRUE;
}

void SetSoftInputPanelForTesting(bool on, const QRect& rect) {
    Override() = PanelState{on, rect};
    CDialog::BroadcastSettingChange();
}

void ResetSoftInputPanelForTesting() {
    Override().reset();
    CDialog::BroadcastSettingChange();
}
