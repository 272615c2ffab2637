#include "platform/commandbar.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QSizePolicy>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include "platform/dialog.h"
#include "res/templates.h"

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
    m_pPage->resize(m_pPage->width(), m_nPageHeight + height);
}

BOOL CCommandBar::InsertMenuBar(int menuId, int) {
    if (m_pBar == nullptr || m_pMenuButton != nullptr) return FALSE;
    QMenu* menu = LoadCommandMenu(menuId, m_pPage, m_pBar);
    if (menu == nullptr) return FALSE;
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
    PlaceBar();
    return TRUE;
}

BOOL CCommandBar::AddAdornments(DWORD) {
    if (m_pBar == nullptr) return FALSE;
    QAction* close = m_pBar->addAction(
        m_pBar->style()->standardIcon(QStyle::SP_TitleBarCloseButton), QStringLiteral("Close"));
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
        auto* action = new QAction(QIcon(QString::fromLatin1(item.picture)), name, m_pBar);
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
        if (slot == 0) {
            action = m_pMenuButton;
        } else if (static_cast<size_t>(slot - 1) < m_buttons.size()) {
            action = m_buttons[static_cast<size_t>(slot - 1)];
        }
        if (action == nullptr || tips[slot].isEmpty()) continue;
        action->setToolTip(tips[slot]);
        if (QWidget* button = m_pBar->widgetForAction(action)) button->setToolTip(tips[slot]);
    }
    return 1;
}

void CCommandBar::SetBarStyle(DWORD style) {
    m_dwStyle = style;
    if (m_pBar != nullptr) m_pBar->setToolTipDuration((style & CBRS_TOOLTIPS) ? -1 : 0);
}
