// Resource identifiers shared by the dialog templates, string table, pictures
// and the pages' message maps.
#ifndef LEXIVANE_RES_RESOURCE_H_
#define LEXIVANE_RES_RESOURCE_H_

// Dialogs.
inline constexpr int IDD_SEARCH = 102;
inline constexpr int IDD_ABOUT = 129;
inline constexpr int IDD_DEFINITION = 130;
inline constexpr int IDD_HELP = 131;

// Controls of the search page.
inline constexpr int IDC_WORDLIST = 1000;
inline constexpr int IDC_BOOKMARK_LIST = 1001;
inline constexpr int IDC_HISTORY_LIST = 1002;
inline constexpr int IDC_AUTOSCROLL = 1003;
inline constexpr int IDC_GO = 1004;
inline constexpr int IDC_SEARCH_EDIT = 1005;
inline constexpr int IDC_WORD_SCROLL = 1006;

// Controls of the definition page (it shares the two pop-up list ids above).
inline constexpr int IDC_TITLE = 1013;
inline constexpr int IDC_PREV_ARROW = 1014;
inline constexpr int IDC_NEXT_ARROW = 1015;

// Controls of the About box.
inline constexpr int IDB_ABOUT = -1;  // the picture; a static without an id of its own
inline constexpr int IDC_ABOUT_MAKER = 1012;
inline constexpr int IDC_ABOUT_RIGHTS = 1013;
inline constexpr int IDC_ABOUT_DETAIL = 1015;
inline constexpr int IDC_ABOUT_PRODUCT = 1016;
inline constexpr int IDC_ABOUT_VERSION = 1017;
inline constexpr int IDC_ABOUT_DICTIONARY = 1018;

// Menus, toolbars, icon.
inline constexpr int IDR_TOOLS_MENU = 128;
inline constexpr int IDR_SEARCH_TOOLBAR = 128;
inline constexpr int IDR_DEFINITION_TOOLBAR = 152;
inline constexpr int IDR_COPY_MENU = 155;
inline constexpr int IDI_APP = 128;
inline constexpr int IDB_PREV_ARROW = 137;
inline constexpr int IDB_NEXT_ARROW = 138;

// Commands.
inline constexpr int ID_BOOKMARKS = 32772;
inline constexpr int ID_HISTORY = 32773;
inline constexpr int ID_COPY = 32777;
inline constexpr int ID_LOOKUP = 32778;
inline constexpr int ID_COPY_DEFINITION = 32788;
inline constexpr int ID_COPY_WORD = 32789;
inline constexpr int ID_EDIT_PASTE = 57637;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;
inline constexpr int ID_HELP = 57670;

// Strings.
inline constexpr unsigned IDS_ABOUT_DETAIL = 23;
inline constexpr unsigned IDS_ABOUT_VERSION = 24;
inline constexpr unsigned IDS_ABOUT_RIGHTS = 25;
inline constexpr unsigned IDS_ABOUT_PRODUCT = 26;
inline constexpr unsigned IDS_ABOUT_MAKER = 27;
inline constexpr unsigned IDS_NO_DICTIONARY = 30;
inline constexpr unsigned IDS_SUPPORT_ADDRESS = 31;
inline constexpr unsigned IDS_TIP_HELP = 52;
inline constexpr unsigned IDS_TIP_COPY = 55;
inline constexpr unsigned IDS_TIP_PASTE = 56;
inline constexpr unsigned IDS_TIP_BOOKMARK = 60;
inline constexpr unsigned IDS_TIP_HISTORY = 61;
inline constexpr unsigned IDS_TIP_LOOKUP = 62;

#endif  // LEXIVANE_RES_RESOURCE_H_
