// The program's compiled-in resources: dialog templates, the string table and
// the toolbars. Positions are in dialog units; the platform layer turns them
// into pixels and widgets.
#ifndef LEXIVANE_RES_TEMPLATES_H_
#define LEXIVANE_RES_TEMPLATES_H_

#include <cstdint>
#include <span>

namespace res {

// One control of a dialog. `className` is the platform's window class
// ("LISTBOX", "BUTTON", "EDIT", "SCROLLBAR", "STATIC"); `accessibleName`
// names controls whose text does not say what they are.
struct ControlTemplate {
    int id;
    const char* className;
    const char* text;  // UTF-8; for an SS_BITMAP static, the picture's resource path
    uint32_t style;
    int x, y, cx, cy;
    const char* accessibleName;
};

struct DialogTemplate {
    int id;
    const char* caption;  // UTF-8
    uint32_t style;
    int cx, cy;
    std::span<const ControlTemplate> controls;
};

// The template with that id, or null.
const DialogTemplate* FindDialogTemplate(int id);

// The string table: the UTF-8 text of string `id`, or null when there is none.
const char* FindString(unsigned id);

// One toolbar button: a command, its picture (a Qt resource path) and what it
// is called, or a separator (command 0, no picture, no name).
struct ToolbarButton {
    int command;
    const char* picture;
    const char* name;
};

// The buttons of toolbar `id` in order; empty when there is no such toolbar.
std::span<const ToolbarButton> FindToolbar(int id);

// One drop-down menu: its title and its items (command 0 is a separator).
struct MenuItem {
    int command;
    const char* text;
};

struct MenuTemplate {
    int id;
    const char* title;
    std::span<const MenuItem> items;
};

// The menu with that id, or null.
const MenuTemplate* FindMenu(int id);

// The program icon's resource path.
inline constexpr const char* kAppIconPath = ":/res/pictures/lexivane.png";

}  // namespace res

#endif  // LEXIVANE_RES_TEMPLATES_H_
