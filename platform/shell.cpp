#include "platform/shell.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QWindow>
#include <optional>

#include "platform/dialog.h"

namespace platform {
namespace {

std::optional<SoftInputPanel>& Override() {
    static std::optional<SoftInputPanel> panel;
    return panel;
}

}  // namespace

SoftInputPanel CurrentSoftInputPanel() {
    if (Override()) return *Override();
    QInputMethod* method = QGuiApplication::inputMethod();
    if (method == nullptr || !method->isVisible()) return {};
    QRect rect = method->keyboardRectangle().toRect();
    if (QWindow* window = QGuiApplication::focusWindow())
        rect.moveTopLeft(window->mapToGlobal(rect.topLeft()));
    return {true, rect};
}

void SetSoftInputPanelForTesting(bool on, const QRect& rect) {
    Override() = SoftInputPanel{on, rect};
    CDialog::BroadcastSettingChange();
}

void ResetSoftInputPanelForTesting() {
    Override().reset();
    CDialog::BroadcastSettingChange();
}

}  // namespace platform
