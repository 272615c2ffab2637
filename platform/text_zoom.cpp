#include "platform/text_zoom.h"

#include <QAction>
#include <QFont>
#include <QKeySequence>
#include <QList>
#include <algorithm>
#include <cmath>

#include "platform/dialog.h"

namespace platform {
namespace {

int s_zoom = kNormalTextZoom;

}  // namespace

int TextZoom() {
    return s_zoom;
}

void SetTextZoom(int percent) {
    const int zoom = std::clamp(percent, kTextZoomSteps.front(), kTextZoomSteps.back());
    if (zoom == s_zoom) return;
    s_zoom = zoom;
    CDialog::BroadcastTextZoomChange();
}

int NextTextZoom(int percent, bool larger) {
    if (larger) {
        const auto* step = std::upper_bound(kTextZoomSteps.begin(), kTextZoomSteps.end(), percent);
        return step != kTextZoomSteps.end() ? *step : kTextZoomSteps.back();
    }
    const auto* step = std::lower_bound(kTextZoomSteps.begin(), kTextZoomSteps.end(), percent);
    return step != kTextZoomSteps.begin() ? *(step - 1) : kTextZoomSteps.front();
}

int ZoomedPixels(int base, int percent) {
    return std::max(1, static_cast<int>(std::lround(base * percent / 100.0)));
}

QFont ZoomedFont(const QFont& base, int percent) {
    if (percent == kNormalTextZoom) return base;
    QFont font = base;
    if (base.pixelSize() > 0) {
        font.setPixelSize(ZoomedPixels(base.pixelSize(), percent));
    } else {
        font.setPointSizeF(std::max(1.0, base.pointSizeF() * percent / 100.0));
    }
    return font;
}

void AddTextZoomKeys(CDialog* page) {
    const auto key = [](Qt::Key key, Qt::KeyboardModifiers extra = Qt::NoModifier) {
        return QKeySequence(QKeyCombination(Qt::ControlModifier | extra, key));
    };
    // Ctrl+= is the plus key without Shift on most keyboards.
    const QList<QKeySequence> larger = {key(Qt::Key_Plus), key(Qt::Key_Equal),
                                        key(Qt::Key_Plus, Qt::KeypadModifier)};
    const QList<QKeySequence> smaller = {key(Qt::Key_Minus),
                                         key(Qt::Key_Minus, Qt::KeypadModifier)};
    const QList<QKeySequence> normal = {key(Qt::Key_0), key(Qt::Key_0, Qt::KeypadModifier)};
    const auto add = [page](const QString& name, const QList<QKeySequence>& keys, auto zoom) {
        auto* action = new QAction(name, page);
        action->setShortcuts(keys);
        QObject::connect(action, &QAction::triggered, page, [zoom] { SetTextZoom(zoom()); });
        page->addAction(action);
    };
    add(QStringLiteral("Larger Text"), larger, [] { return NextTextZoom(TextZoom(), true); });
    add(QStringLiteral("Smaller Text"), smaller, [] { return NextTextZoom(TextZoom(), false); });
    add(QStringLiteral("Normal Text Size"), normal, [] { return kNormalTextZoom; });
}

}  // namespace platform
