#include "platform/font.h"

#include <QWidget>
#include <algorithm>

struct FontObject {
    QFont font;
};

namespace {

int s_liveFonts = 0;

QFont FromDescription(const LOGFONT& description) {
    QFont font;
    const QString face = QString::fromUtf16(description.lfFaceName);
    if (!face.isEmpty()) font.setFamily(face);
    // A cell height includes the internal leading; about a fifth of it.
    if (description.lfHeight < 0) font.setPixelSize(-description.lfHeight);
    if (description.lfHeight > 0) font.setPixelSize(std::max(1, description.lfHeight * 4 / 5));
    if (description.lfWeight != FW_DONTCARE)
        font.setWeight(static_cast<QFont::Weight>(std::clamp(description.lfWeight, 1, 1000)));
    font.setItalic(description.lfItalic != 0);
    font.setUnderline(description.lfUnderline != 0);
    font.setStrikeOut(description.lfStrikeOut != 0);
    return font;
}

}  // namespace

HFONT CreateFontIndirectW(const LOGFONT* description) {
    if (description == nullptr) return nullptr;
    ++s_liveFonts;
    return new FontObject{FromDescription(*description)};
}

BOOL DeleteObject(HFONT font) {
    if (font == nullptr) return FALSE;
    delete font;
    --s_liveFonts;
    return TRUE;
}

QFont FontOf(HFONT font) {
    return font != nullptr ? font->font : QFont();
}

int LiveFontObjectCount() {
    return s_liveFonts;
}

void SetControlFont(QWidget* control, HFONT font, BOOL redraw) {
    if (control == nullptr) return;
    // A default QFont resolves nothing, so the control inherits its window's font again.
    control->setFont(font != nullptr ? font->font : QFont());
    if (redraw) control->repaint();
}

CFont::~CFont() {
    DeleteObject();
}

BOOL CFont::CreateFontIndirect(const LOGFONT* description) {
    DeleteObject();
    m_hObject = CreateFontIndirectW(description);
    return m_hObject != nullptr ? TRUE : FALSE;
}

BOOL CFont::DeleteObject() {
    if (m_hObject == nullptr) return FALSE;
    ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return TRUE;
}
