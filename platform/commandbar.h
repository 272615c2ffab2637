// The page's command bar: the "Tools" menu button, the toolbar buttons with
// their pictures and tooltips, and the close button at its right end. Each
// button and menu item runs the page's bound command of the same id, also
// from its keyboard shortcut (res::FindShortcut), which its tooltip names.
#ifndef LEXIVANE_PLATFORM_COMMANDBAR_H_
#define LEXIVANE_PLATFORM_COMMANDBAR_H_

#include <QKeySequence>
#include <QString>
#include <vector>

#include "platform/types.h"

class QAction;
class QMenu;
class QToolBar;
class QWidget;

namespace platform {

class CDialog;

inline constexpr DWORD CBRS_TOP = 0x1000;
inline constexpr DWORD CBRS_TOOLTIPS = 0x0010;
inline constexpr DWORD CBRS_FLYBY = 0x0020;
inline constexpr DWORD CBRS_SIZE_FIXED = 0x0002;
inline constexpr UINT AFX_IDW_TOOLBAR = 0xE800;

// The menu `menuId` of the resources as a drop-down owned by `parent`: one
// item per entry, each running `page`'s command of its id when chosen and
// showing its key. Null when there is no such menu or no page.
QMenu* LoadCommandMenu(int menuId, CDialog* page, QWidget* parent);

class CCommandBar {
  public:
    CCommandBar() = default;
    CCommandBar(const CCommandBar&) = delete;
    CCommandBar& operator=(const CCommandBar&) = delete;
    virtual ~CCommandBar() = default;

    // Creates the bar as a child of `page`, which must have been built
    // (DoModal has run its OnInitDialog). The bar sits below the page's
    // template area, where the handheld's menu bar is, and the page, and its
    // least size, grow by its height, so no control is covered. FALSE when the page is null or the
    // bar exists already.
    BOOL Create(CDialog* page, DWORD style = CBRS_TOP, UINT id = AFX_IDW_TOOLBAR);
    // Adds the drop-down menu `menuId` as the bar's first button; the menu's
    // key pops it up and its items' keys run their commands on the page.
    BOOL InsertMenuBar(int menuId, int buttonPosition = 0xFFFF);
    // Adds the close button (the page ends as with OK) at the right end.
    BOOL AddAdornments(DWORD flags);
    // Adds the buttons of toolbar `toolbarId` after the menu button, each with
    // its key; a button that pops up a menu also brings that menu's item keys.
    BOOL LoadToolBar(int toolbarId);
    // TB_SETTOOLTIPS: slot 0 is the menu button's tip, the following slots the
    // toolbar buttons' in order (separators take none); each tip is followed
    // by its button's key, "Bookmark (Ctrl+B)". Returns non-zero.
    LRESULT SetToolTips(int count, const QString* tips);
    // Keeps the bar along the page's bottom edge, as wide as the page; the
    // page calls it whenever its size changes.
    void FitToPage();
    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD style);

    QToolBar* GetSafeHwnd() const { return m_pBar; }
    // The drop-down menu of the menu button; null before InsertMenuBar.
    QMenu* GetMenu() const { return m_pMenu; }

  private:
    void PlaceBar();

    CDialog* m_pPage = nullptr;
    QToolBar* m_pBar = nullptr;  // owned by the page
    QAction* m_pMenuButton = nullptr;
    QMenu* m_pMenu = nullptr;   // owned by the bar
    QKeySequence m_menuKey;     // pops the menu button's menu up
    QAction* m_pEnd = nullptr;  // the buttons go before this
    std::vector<QAction*> m_buttons;
    DWORD m_dwStyle = 0;
    int m_nPageHeight = 0;
};

}  // namespace platform

#endif  // LEXIVANE_PLATFORM_COMMANDBAR_H_
