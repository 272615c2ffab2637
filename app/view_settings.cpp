#include "app/view_settings.h"

#include <QString>
#include <QVariant>
#include <array>

#include "platform/settings.h"
#include "platform/text_zoom.h"

namespace {

const QString kX = QStringLiteral("window/x");
const QString kY = QStringLiteral("window/y");
const QString kWidth = QStringLiteral("window/width");
const QString kHeight = QStringLiteral("window/height");
const QString kMaximised = QStringLiteral("window/maximised");
const QString kZoom = QStringLiteral("text/zoom");

// The whole number kept under `key`, or nothing.
std::optional<int> ReadNumber(const QString& key) {
    bool ok = false;
    const int value = platform::ReadSetting(key).toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

}  // namespace

std::optional<platform::WindowPlacement> ReadWindowPlacement() {
    std::array<int, 4> values{};
    const std::array<const QString*, 4> keys = {&kX, &kY, &kWidth, &kHeight};
    for (size_t i = 0; i < keys.size(); ++i) {
        const std::optional<int> value = ReadNumber(*keys[i]);
        if (!value) return std::nullopt;
        values[i] = *value;
    }
    const auto [x, y, width, height] = values;
    if (width <= 0 || height <= 0) return std::nullopt;
    return platform::WindowPlacement{QRect(x, y, width, height),
                                     platform::ReadSetting(kMaximised, false).toBool()};
}

int ReadTextZoom() {
    return ReadNumber(kZoom).value_or(platform::kNormalTextZoom);
}

bool SaveViewSettings(const platform::WindowPlacement& placement, int zoom) {
    const QRect& place = placement.normal;
    return platform::WriteSettings({{kX, place.x()},
                                    {kY, place.y()},
                                    {kWidth, place.width()},
                                    {kHeight, place.height()},
                                    {kMaximised, placement.maximised},
                                    {kZoom, zoom}});
}
