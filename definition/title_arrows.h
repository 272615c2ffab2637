// The two arrow pictures in the definition page's title band, which step to
// the previous and next headword. A press shows the arrow inverted while the
// pointer stays over it; a release over the pressed arrow is a step. The
// page's Left and Right keys flash the arrow as they step.
#ifndef LEXIVANE_DEFINITION_TITLE_ARROWS_H_
#define LEXIVANE_DEFINITION_TITLE_ARROWS_H_

#include <QColor>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <array>
#include <functional>

#include "platform/dialog.h"

class QLabel;

class CTitleArrows {
  public:
    enum Arrow { kPrevious, kNext };

    // The arrows of `page` (IDC_PREV_ARROW, IDC_NEXT_ARROW) as they are drawn
    // normally on the band's colour `band`, and their places in the page.
    void Attach(const platform::CDialog& page, const QColor& band);
    // A pointer message (WM_LBUTTONDOWN, WM_MOUSEMOVE or WM_LBUTTONUP) at
    // `point` in the page's coordinates. A release over a pressed arrow runs
    // `step` for it, the arrow still inverted; then pressed arrows show
    // normally again.
    void OnPointer(platform::UINT message, const QPoint& point,
                   const std::function<void(Arrow)>& step);
    // Turns the arrow's picture to its inverse, or back.
    void Invert(Arrow arrow);
    // Takes the arrows' places in the page again, after the page moved them.
    void UpdatePlaces();

  private:
    struct Picture {
        QLabel* label = nullptr;
        QRect place;     // in the page's coordinates
        QPixmap normal;  // as drawn normally
        bool pressed = false;
        bool shownInverted = false;
    };

    std::array<Picture, 2> m_arrows;
    QColor m_band;
    bool m_bInverted = false;  // a pressed arrow shows inverted
};

#endif  // LEXIVANE_DEFINITION_TITLE_ARROWS_H_
