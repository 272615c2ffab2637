// Fonts as the pages make them: a LOGFONT description, a platform font object
// created from it and deleted by its maker, and WM_SETFONT to give a control
// that font.
#ifndef LEXIVANE_PLATFORM_FONT_H_
#define LEXIVANE_PLATFORM_FONT_H_

#include <QFont>

#include "platform/types.h"

class QWidget;

inline constexpr int32_t FW_DONTCARE = 0;
inline constexpr int32_t FW_NORMAL = 400;
inline constexpr int32_t FW_BOLD = 700;

// A font description. Height 0 means the system's default size; a negative
// height is the character height in pixels, a positive one the cell height.
// Weight 0 means normal. An empty face name means the system's face.
struct LOGFONT {
    int32_t lfHeight;
    int32_t lfWidth;
    int32_t lfEscapement;
    int32_t lfOrientation;
    int32_t lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    char16_t lfFaceName[32];
};

// A platform font object; null when none.
struct FontObject;
using HFONT = FontObject*;

// A new font object made from `description`; null for a null description.
// The caller deletes it with DeleteObject.
HFONT CreateFontIndirectW(const LOGFONT* description);
// Deletes a font object; FALSE for null.
BOOL DeleteObject(HFONT font);
// The Qt font a font object stands for.
QFont FontOf(HFONT font);
// Tests: the font objects made and not yet deleted.
int LiveFontObjectCount();

// WM_SETFONT: `control` draws its text in `font` from now on; null gives it
// back the font of its window. `redraw` repaints it at once.
void SetControlFont(QWidget* control, HFONT font, BOOL redraw);

// The framework's font object: owns at most one platform font.
class CFont {
  public:
    CFont() = default;
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;
    // Deletes the font object if one is still attached.
    ~CFont();

    // Makes a font object from `description` and attaches it, deleting one
    // attached before; FALSE when none could be made.
    BOOL CreateFontIndirect(const LOGFONT* description);
    // Deletes the attached font object; FALSE when there is none.
    BOOL DeleteObject();
    HFONT GetSafeHandle() const { return m_hObject; }

  private:
    HFONT m_hObject = nullptr;
};

#endif  // LEXIVANE_PLATFORM_FONT_H_
