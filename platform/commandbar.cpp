#include "platform/commandbar.h"

#include <QAction>
#include <QColor>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QPalette>
#include <QSizePolicy>
#include <QToolBar>
#include <QToolButton>

#include "platform/dialog.h"
#include "platform/resources.h"
#include "res/templates.h"

namespace platform {

namespace {

// The command bar's grey where the desktop's colours are dark.
constexpr QColor kLightBarColour(239, 239, 239);

QKeySequence CommandKey(int command) {
    const char* key = res::FindShortcut(command);
    return key != nullptr ? QKeySequence(QString::fromLatin1(key)) : QKeySequence();
}

// A tooltip that also names the key: "Bookmark (Ctrl+B)".
QString TipWithKey(const QString& tip, const QKeySequence& key) {
    if (key.isEmpty()) return tip;
    return QStringLiteral("%1 (%2)").arg(tip, key.toString(QKeySequence::NativeText));
}

// Makes the keys of menu `menuId`'s items run their commands while `page` is
// the active window, with the menu closed: the menu is not part of the page's
// window, so the menu's own actions would not see the keys.
void AddMenuKeys(int menuId, CDialog* page) {
    const res::MenuTemplate* menuTemplate = res::FindMenu(menuId);
    if (menuTemplate == nullptr) return;
    for (const res::MenuItem& item : menuTemplate->items) {
        const QKeySequence key = CommandKey(item.command);
        if (item.command == 0 || key.isEmpty()) continue;
        auto* action = new QAction(QString::fromUtf8(item.text), page);
        action->setShortcut(key);
        const int command = item.command;
        QObject::connect(action, &QAction::triggered, page,
                         [page, command] { page->OnCommand(command); });
        page->addAction(action);
    }
}

}  // namespace

QMenu* LoadCommandMenu(int menuId, CDialog* page, QWidget* parent) {
    const res::MenuTemplate* menuTemplate = res::FindMenu(menuId);
    if (menuTemplate == nullptr || page == nullptr) return nullptr;
    const QString title = QString::fromUtf8(menuTemplate->title);
    auto* menu = new QMenu(title, parent);
    menu->setAccessibleName(title);
    for (const res::MenuItem& item : menuTemplate->items) {
        if (item.command == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromUtf8(item.text));
        // Shown beside the item; the page's own actions make the key work.
        action->setShortcut(CommandKey(item.command));
        action->setShortcutContext(Qt::WidgetShortcut);
        const int command = item.command;
        QObject::connect(action, &QAction::triggered, page,
                         [page, command] { page->OnCommand(command); });
    }
    return menu;
}

BOOL CCommandBar::Create(CDialog* page, DWORD style, UINT id) {
    if (page == nullptr || m_pBar != nullptr) return FALSE;
    m_pPage = page;
    m_dwStyle = style;
    m_pBar = new QToolBar(page);
    m_pBar->setObjectName(QStringLiteral("commandBar%1").arg(id));
    m_pBar->setAccessibleName(QStringLiteral("Command bar"));
    m_pBar->setMovable(false);
    m_pBar->setFloatable(false);
    m_pBar->setIconSize(QSize(16, 16));
    m_pBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    // The pictures are drawn dark: under a dark desktop palette the bar keeps
    // light colours of its own, so that they stay visible.
    if (qGray(page->palette().color(QPalette::Window).rgb()) < 128) {
        m_pBar->setPalette(QPalette(kLightBarColour));
        m_pBar->setAutoFillBackground(true);
    }
    auto* spacer = new QWidget(m_pBar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_pEnd = m_pBar->addWidget(spacer);
    m_nPageHeight = page->height();
    PlaceBar();
    m_pBar->show();
    return TRUE;
}

void CCommandBar::PlaceBar() {
    const int height = m_pBar->sizeHint().height();
    m_pBar->setGeometry(0, m_nPageHeight, m_pPage->width(), height);
    m_pPage->setMinimumHeight(m_nPageHeight + height);
    m_pPage->resize(m_pPage->width(), m_nPageHeight + height);
}

void CCommandBar::FitToPage() {
    if (m_pBar == nullptr) return;
    const int height = m_pBar->height();
    m_pBar->setGeometry(0, m_pPage->height() - height, m_pPage->width(), height);
}

BOOL CCommandBar::InsertMenuBar(int menuId, int) {
    if (m_pBar == nullptr || m_pMenuButton != nullptr) return FALSE;
    QMenu* menu = LoadCommandMenu(menuId, m_pPage, m_pBar);
    if (menu == nullptr) return FALSE;
    m_pMenu = menu;
    const QString title = menu->title();
    auto* button = new QToolButton(m_pBar);
    button->setText(title);
    button->setAccessibleName(title);
    button->setMenu(menu);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    m_pMenuButton = m_pBar->insertWidget(m_buttons.empty() ? m_pEnd : m_buttons.front(), button);
    const res::MenuTemplate* menuTemplate = res::FindMenu(menuId);
    if (menuTemplate->key != nullptr) {
        m_menuKey = QKeySequence(QString::fromLatin1(menuTemplate->key));
        auto* open = new QAction(title, m_pPage);
        open->setShortcut(m_menuKey);
        QObject::connect(open, &QAction::triggered, button, &QToolButton::showMenu);
        m_pPage->addAction(open);
        button->setToolTip(TipWithKey(title, m_menuKey));
    }
    AddMenuKeys(menuId, m_pPage);
    PlaceBar();
    return TRUE;
}

BOOL CCommandBar::AddAdornments(DWORD) {
    if (m_pBar == nullptr) return FALSE;
    QAction* close =
        m_pBar->addAction(QIcon(LoadPicture(res::kClosePicturePath)), QStringLiteral("Close"));
    close->setToolTip(QStringLiteral("Close"));
    CDialog* page = m_pPage;
    QObject::connect(close, &QAction::triggered, page, [page] { page->close(); });
    if (QWidget* button = m_pBar->widgetForAction(close))
        button->setAccessibleName(QStringLiteral("Close"));
    return TRUE;
}

BOOL CCommandBar::LoadToolBar(int toolbarId) {
    const auto buttons = res::FindToolbar(toolbarId);
    if (m_pBar == nullptr || buttons.empty()) return FALSE;
    CDialog* page = m_pPage;
    for (const res::ToolbarButton& item : buttons) {
        if (item.command == 0) {
            m_pBar->insertSeparator(m_pEnd);
            continue;
        }
        const QString name = QString::fromUtf8(item.name);
        auto* action = new QAction(QIcon(LoadPicture(item.picture)), name, m_pBar);
        action->setShortcut(CommandKey(item.command));
        action->setToolTip(TipWithKey(name, action->shortcut()));
        if (item.menu != 0) AddMenuKeys(item.menu, page);
        const int command = item.command;
        QObject::connect(action, &QAction::triggered, page,
                         [page, command] { page->OnCommand(command); });
        m_pBar->insertAction(m_pEnd, action);
        if (QWidget* button = m_pBar->widgetForAction(action)) button->setAccessibleName(name);
        m_buttons.push_back(action);
    }
    PlaceBar();
    return TRUE;
}

LRESULT CCommandBar::SetToolTips(int count, const QString* tips) {
    if (m_pBar == nullptr || count < 0 || (count > 0 && tips == nullptr)) return 0;
    for (int slot = 0; slot < count; ++slot) {
        QAction* action = nullptr;
        QKeySequence key;
        if (slot == 0) {
            action = m_pMenuButton;
            key = m_menuKey;
        } else if (static_cast<size_t>(slot - 1) < m_buttons.size()) {
            action = m_buttons[static_cast<size_t>(slot - 1)];
            key = action->shortcut();
        }
        if (action == nullptr || tips[slot].isEmpty()) continue;
        const QString tip = TipWithKey(tips[slot], key);
        action->setToolTip(tip);
        if (QWidget* button = m_pBar->widgetForAction(action)) button->setToolTip(tip);
    }
    return 1;
}

void CCommandBar::SetBarStyle(DWORD style) {
    m_dwStyle = style;
    if (m_pBar != nullptr) m_pBar->setToolTipDuration((style & CBRS_TOOLTIPS) ? -1 : 0);
}

}  // namespace platform
