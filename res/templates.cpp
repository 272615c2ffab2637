#include "res/templates.h"

#include <array>
#include <utility>

#include "base/version.h"
#include "res/resource.h"
#include "res/styles.h"

// The text of a number macro's value.
#define LEXIVANE_TEXT(value) #value
#define LEXIVANE_NUMBER_TEXT(value) LEXIVANE_TEXT(value)

namespace res {
namespace {

constexpr uint32_t kPopupList =
    WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY;

constexpr std::array<ControlTemplate, 7> kSearchControls = {{
    {IDC_WORDLIST, "LISTBOX", "",
     WS_VISIBLE | WS_BORDER | WS_TABSTOP | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY, 68, 2, 61, 150,
     "Word list"},
    {IDC_BOOKMARK_LIST, "LISTBOX", "", kPopupList, 2, 67, 61, 84, "Bookmarks"},
    {IDC_HISTORY_LIST, "LISTBOX", "", kPopupList, 7, 68, 58, 83, "History"},
    {IDC_AUTOSCROLL, "BUTTON", "Auto Scroll", WS_VISIBLE | BS_AUTOCHECKBOX | WS_TABSTOP, 2, 140, 50,
     10, nullptr},
    {IDC_GO, "BUTTON", "GO", BS_PUSHBUTTON | WS_TABSTOP, 2, 34, 28, 14, nullptr},
    {IDC_SEARCH_EDIT, "EDIT", "", WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 4, 15, 59,
     13, "Search"},
    {IDC_WORD_SCROLL, "SCROLLBAR", "", WS_VISIBLE | SBS_VERT, 128, 2, 8, 150, "Word scroll bar"},
}};

// The title static only measures the title band; the page paints the band
// and the headword itself.
constexpr std::array<ControlTemplate, 5> kDefinitionControls = {{
    {IDC_TITLE, "STATIC", "", SS_LEFT, 2, 1, 99, 16, "Headword"},
    {IDC_PREV_ARROW, "STATIC", ":/res/pictures/arrow-left.png", WS_VISIBLE | SS_BITMAP | SS_NOTIFY,
     109, 1, 11, 15, "Previous word"},
    {IDC_NEXT_ARROW, "STATIC", ":/res/pictures/arrow-right.png", WS_VISIBLE | SS_BITMAP | SS_NOTIFY,
     120, 1, 11, 15, "Next word"},
    {IDC_BOOKMARK_LIST, "LISTBOX", "", kPopupList, 17, 69, 61, 84, "Bookmarks"},
    {IDC_HISTORY_LIST, "LISTBOX", "", kPopupList, 28, 70, 58, 83, "History"},
}};

// Below the handheld's box: the open dictionary, its source and licence.
constexpr std::array<ControlTemplate, 7> kAboutControls = {{
    {IDB_ABOUT, "STATIC", ":/res/pictures/about.png", WS_VISIBLE | SS_BITMAP, 11, 8, 21, 20,
     "Lexivane picture"},
    {IDC_ABOUT_PRODUCT, "STATIC", "BOLD", WS_VISIBLE | SS_LEFT, 39, 8, 86, 11, "Product"},
    {IDC_ABOUT_VERSION, "STATIC", "Version", WS_VISIBLE | SS_LEFT, 39, 18, 87, 13, "Version"},
    {IDC_ABOUT_MAKER, "STATIC", "BOLD2", WS_VISIBLE | SS_LEFT, 11, 34, 109, 14, "Maker"},
    {IDC_ABOUT_RIGHTS, "STATIC", "rights", WS_VISIBLE | SS_LEFT, 11, 47, 109, 14, "Rights"},
    {IDC_ABOUT_DETAIL, "STATIC", "ABOUT-DETAIL", WS_VISIBLE | SS_LEFT, 11, 60, 120, 82, "Details"},
    {IDC_ABOUT_DICTIONARY, "STATIC", "", WS_VISIBLE | SS_LEFT, 11, 143, 120, 44, "Dictionary"},
}};

constexpr std::array<DialogTemplate, 4> kDialogs = {{
    {IDD_SEARCH, "Lexivane", WS_POPUP | WS_VISIBLE | WS_CAPTION, 137, 153, kSearchControls},
    {IDD_DEFINITION, "Definition", WS_POPUP | WS_VISIBLE | WS_CAPTION, 137, 153,
     kDefinitionControls},
    {IDD_ABOUT, "About Lexivane", WS_POPUP | WS_CAPTION | WS_SYSMENU, 137, 189, kAboutControls},
    {IDD_HELP, "Help", WS_POPUP | WS_CAPTION | WS_SYSMENU, 137, 153, {}},
}};

// The About box's version line, "v.MAJOR.MINOR BUILD N", from the project's version.
constexpr const char* kAboutVersion =
    "v." LEXIVANE_NUMBER_TEXT(LEXIVANE_VERSION_MAJOR) "." LEXIVANE_NUMBER_TEXT(
        LEXIVANE_VERSION_MINOR) " BUILD " LEXIVANE_NUMBER_TEXT(LEXIVANE_VERSION_BUILD);

struct StringEntry {
    unsigned id;
    const char* text;
};

constexpr std::array<StringEntry, 13> kStrings = {{
    {IDS_ABOUT_DETAIL,
     "Home page: README.md in the Lexivane sources \r\nAll rights reserved; the dictionary data "
     "keep their own licences. \r\n\r\nFor support on this product, \r\nemail: the Lexivane "
     "maintainers (see README.md)"},
    {IDS_ABOUT_VERSION, kAboutVersion},
    {IDS_ABOUT_RIGHTS, "\u00a9 2026 The Lexivane project"},
    {IDS_ABOUT_PRODUCT, "Lexivane"},
    {IDS_ABOUT_MAKER, "The Lexivane project"},
    {IDS_NO_DICTIONARY,
     "No dictionary found. If you have already downloaded a dictionary file(.pdb), please place "
     "in the directory where Lexivane is installed and restart the application.\r\nFor help, "
     "please e-mail: "},
    {IDS_SUPPORT_ADDRESS, "the Lexivane maintainers (see README.md)"},
    {IDS_TIP_HELP, "Help"},
    {IDS_TIP_COPY, "Copy"},
    {IDS_TIP_PASTE, "Paste"},
    {IDS_TIP_BOOKMARK, "Bookmark"},
    {IDS_TIP_HISTORY, "History"},
    {IDS_TIP_LOOKUP, "Look up"},
}};

constexpr std::array<ToolbarButton, 5> kSearchToolbar = {{
    {ID_EDIT_PASTE, ":/res/pictures/paste.png", "Paste", 0},
    {ID_BOOKMARKS, ":/res/pictures/bookmarks.png", "Bookmarks", 0},
    {ID_HISTORY, ":/res/pictures/history.png", "History", 0},
    {0, nullptr, nullptr, 0},
    {ID_HELP, ":/res/pictures/help.png", "Help", 0},
}};

constexpr std::array<ToolbarButton, 6> kDefinitionToolbar = {{
    {ID_BOOKMARKS, ":/res/pictures/bookmarks.png", "Bookmarks", 0},
    {ID_HISTORY, ":/res/pictures/history.png", "History", 0},
    {ID_COPY, ":/res/pictures/copy.png", "Copy", IDR_COPY_MENU},
    {ID_LOOKUP, ":/res/pictures/lookup.png", "Look up", 0},
    {0, nullptr, nullptr, 0},
    {ID_HELP, ":/res/pictures/help.png", "Help", 0},
}};

constexpr std::array<MenuItem, 2> kToolsItems = {{
    {ID_APP_ABOUT, "About Lexivane"},
    {ID_APP_EXIT, "Quit"},
}};
constexpr std::array<MenuItem, 2> kCopyItems = {{
    {ID_COPY_WORD, "Copy Selected Word"},
    {ID_COPY_DEFINITION, "Copy Definition"},
}};
constexpr std::array<MenuTemplate, 2> kMenus = {{
    {IDR_TOOLS_MENU, "Tools", kToolsItems, "Alt+T"},
    {IDR_COPY_MENU, "Copy", kCopyItems, nullptr},
}};

// Ctrl+V stays the search box's own paste; the Paste command takes the
// clipboard into the search box wherever the focus is.
constexpr std::array<std::pair<int, const char*>, 10> kShortcuts = {{
    {ID_EDIT_PASTE, "Ctrl+Shift+V"},
    {ID_BOOKMARKS, "Ctrl+B"},
    {ID_HISTORY, "Ctrl+H"},
    {ID_COPY, "Ctrl+Shift+C"},
    {ID_COPY_WORD, "Ctrl+Shift+W"},
    {ID_COPY_DEFINITION, "Ctrl+Shift+D"},
    {ID_LOOKUP, "Ctrl+L"},
    {ID_HELP, "F1"},
    {ID_APP_ABOUT, "Shift+F1"},
    {ID_APP_EXIT, "Ctrl+Q"},
}};

constexpr std::array<DictionaryResource, 3> kDictionaries = {{
    {"English Dictionary (small).pdb", "Small (WordNet, common words)",
     "WordNet 3.0, its most common words. \u00a9 Princeton University; WordNet 3.0 licence."},
    {"English Dictionary (medium).pdb", "Medium (WordNet 3.0)",
     "WordNet 3.0. \u00a9 Princeton University; WordNet 3.0 licence."},
    {"English Dictionary (large).pdb", "Large (GCIDE)",
     "GCIDE, The Collaborative International Dictionary of English; GNU General Public "
     "License."},
}};

}  // namespace

std::span<const DictionaryResource> Dictionaries() {
    return kDictionaries;
}

const DialogTemplate* FindDialogTemplate(int id) {
    for (const DialogTemplate& dialog : kDialogs) {
        if (dialog.id == id) return &dialog;
    }
    return nullptr;
}

const char* FindString(unsigned id) {
    for (const StringEntry& entry : kStrings) {
        if (entry.id == id) return entry.text;
    }
    return nullptr;
}

std::span<const ToolbarButton> FindToolbar(int id) {
    if (id == IDR_SEARCH_TOOLBAR) return kSearchToolbar;
    if (id == IDR_DEFINITION_TOOLBAR) return kDefinitionToolbar;
    return {};
}

const MenuTemplate* FindMenu(int id) {
    for (const MenuTemplate& menu : kMenus) {
        if (menu.id == id) return &menu;
    }
    return nullptr;
}

const char* FindShortcut(int command) {
    for (const auto& [id, key] : kShortcuts) {
        if (id == command) return key;
    }
    return nullptr;
}

}  // namespace res
