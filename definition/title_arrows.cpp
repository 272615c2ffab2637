#include "definition/title_arrows.h"

#include <QImage>
#include <QLabel>
#include <QPainter>

#include "res/resource.h"

namespace {

// Both edges count as inside, as the handheld's hit test had it.
bool IsInside(const QRect& rect, const QPoint& point) {
    return point.x() >= rect.left() && point.x() <= rect.left() + rect.width() &&
           point.y() >= rect.top() && point.y() <= rect.top() + rect.height();
}

}  // namespace

void CTitleArrows::Attach(const platform::CDialog& page, const QColor& band) {
    m_band = band;
    const std::array<int, 2> ids = {IDC_PREV_ARROW, IDC_NEXT_ARROW};
    for (size_t i = 0; i < ids.size(); ++i) {
        Picture& arrow = m_arrows[i];
        arrow = Picture{};
        arrow.label = qobject_cast<QLabel*>(page.GetDlgItem(ids[i]));
        if (arrow.label == nullptr) continue;
        arrow.place = arrow.label->geometry();
        arrow.normal = arrow.label->pixmap();
    }
    m_bInverted = false;
}

void CTitleArrows::UpdatePlaces() {
    for (Picture& arrow : m_arrows) {
        if (arrow.label != nullptr) arrow.place = arrow.label->geometry();
    }
}

void CTitleArrows::Invert(Arrow which) {
    Picture& arrow = m_arrows[which];
    if (arrow.label == nullptr) return;
    arrow.shownInverted = !arrow.shownInverted;
    if (!arrow.shownInverted) {
        arrow.label->setPixmap(arrow.normal);
        return;
    }
    // The arrow as it shows on the title band, every pixel inverted.
    QImage image(arrow.label->size(), QImage::Format_RGB32);
    image.fill(m_band);
    {
        QPainter painter(&image);
        arrow.label->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    }
    image.invertPixels();
    arrow.label->setPixmap(QPixmap::fromImage(image));
}

void CTitleArrows::OnPointer(platform::UINT message, const QPoint& point,
                             const std::function<void(Arrow)>& step) {
    const std::array<Arrow, 2> both = {kPrevious, kNext};
    if (message == platform::WM_LBUTTONDOWN) {
        for (const Arrow which : both) {
            m_arrows[which].pressed = IsInside(m_arrows[which].place, point);
            if (!m_arrows[which].pressed) continue;
            Invert(which);
            m_bInverted = true;
        }
    } else if (message == platform::WM_MOUSEMOVE) {
        // A pressed arrow shows inverted only while the pointer is over it.
        for (const Arrow which : both) {
            const bool inside = IsInside(m_arrows[which].place, point);
            if (!m_arrows[which].pressed || inside == m_bInverted) continue;
            Invert(which);
            m_bInverted = inside;
        }
    } else if (message == platform::WM_LBUTTONUP) {
        for (const Arrow which : both) {
            if (m_arrows[which].pressed && IsInside(m_arrows[which].place, point)) step(which);
        }
        for (const Arrow which : both) {
            if (!m_arrows[which].pressed) continue;
            m_arrows[which].pressed = false;
            if (!m_bInverted) continue;
            Invert(which);
            m_bInverted = false;
        }
    }
}
