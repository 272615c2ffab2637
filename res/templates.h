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
// is called, or a separator (command 0, no picture, no name). `menu` names the
// drop-down menu the command pops up (0: none), whose items' keys then work
// on the page as well.
struct ToolbarButton {
    int command;
    const char* picture;
    const char* name;
    int menu;
};

// The buttons of toolbar `id` in order; empty when there is no such toolbar.
std::span<const ToolbarButton> FindToolbar(int id);

// One drop-down menu: its title and its items (command 0 is a separator).
struct MenuItem {
    int command;
    const char* text;
};

// `key` pops the menu up from its command bar button; null when no key does.
struct MenuTemplate {
    int id;
    const char* title;
    std::span<const MenuItem> items;
    const char* key;
};

// The menu with that id, or null.
const MenuTemplate* FindMenu(int id);

// The keyboard shortcut of command `command` in QKeySequence's portable text
// ("Ctrl+B"), the same on every page, or null when it has none. None of them
// is a key the pages or their controls use themselves (arrows, Return,
// Escape, typing, Ctrl+C and Ctrl+V).
const char* FindShortcut(int command);

// A dictionary the program looks for in its folder: its file name, what the
// Tools menu calls it, and the source and licence the About box names.
struct DictionaryResource {
    const char* file;
    const char* name;
    const char* source;
};

// The dictionaries the program knows, smallest first: "English Dictionary
// (small).pdb", "(medium)" and "(large)".
std::span<const DictionaryResource> Dictionaries();

// Resource paths of the program icon, the command bar's close button and
// the command bar's overflow button.
inline constexpr const char* kAppIconPath = ":/res/pictures/lexivane.png";
inline constexpr const char* kClosePicturePath = ":/res/pictures/close.png";
inline constexpr const char* kMorePicturePath = ":/res/pictures/more.png";

}  // namespace res

#endif  // LEXIVANE_RES_TEMPLATES_H_
