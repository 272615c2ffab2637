#include "pages/page.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMetaObject>
#include <QMouseEvent>

#include "html/about_dlg.h"
#include "html/help_dlg.h"
#include "platform/resources.h"
#include "platform/text_zoom.h"
#include "res/resource.h"

CPage::CPage(int templateId, LXV_HANDLE engine, bool markRow, QWidget* parent)
    : CDialog(templateId, parent),
      m_words(engine),
      m_popups(*this, m_words, markRow, [this] { GiveFocusBack(); }) {}

CPage::~CPage() = default;

void CPage::BindMessageMap() {
    m_popups.Attach();
    BindCommand(ID_BOOKMARKS, [this] { OnBookmarks(); });
    BindCommand(ID_HISTORY, [this] { OnHistory(); });
    BindCommand(ID_HELP, [this] { OnHelp(); });
    BindCommand(ID_APP_ABOUT, [this] { OnAppAbout(); });
    BindCommand(ID_APP_EXIT, [this] { OnAppExit(); });
    BindListSelChange(IDC_BOOKMARK_LIST, [this] { OnSelectBookmark(); });
    BindListSelChange(IDC_HISTORY_LIST, [this] { OnSelectHistory(); });
    BindListKillFocus(IDC_BOOKMARK_LIST, [this] { OnKillFocusPopup(); });
    BindListKillFocus(IDC_HISTORY_LIST, [this] { OnKillFocusPopup(); });
    platform::AddTextZoomKeys(this);
}

bool CPage::CreateCommandBar(int toolbarId, std::initializer_list<platform::UINT> tipIds) {
    size_t slot = 1;
    for (const platform::UINT id : tipIds) {
        if (slot < m_tooltips.size()) platform::LoadString(m_tooltips[slot++], id);
    }
    if (!m_commandBar.Create(this, platform::CBRS_TOP, platform::AFX_IDW_TOOLBAR)) return false;
    if (!m_commandBar.InsertMenuBar(IDR_TOOLS_MENU, 0xFFFF)) return false;
    QMenu* tools = m_commandBar.GetMenu();
    FillDictionaryItems(tools);
    connect(tools, &QMenu::aboutToShow, this, [this, tools] { FillDictionaryItems(tools); });
    if (!m_commandBar.AddAdornments(0)) return false;
    if (!m_commandBar.LoadToolBar(toolbarId)) return false;
    if (m_commandBar.SetToolTips(static_cast<int>(m_tooltips.size()), m_tooltips.data()) == 0)
        return false;
    m_commandBar.SetBarStyle(m_commandBar.GetBarStyle() | platform::CBRS_TOOLTIPS |
                             platform::CBRS_FLYBY | platform::CBRS_SIZE_FIXED);
    return true;
}

void CPage::FillDictionaryItems(QMenu* menu) {
    // The items and their separator go with their group.
    delete m_pDictionaryItems.data();
    m_pDictionaryItems = new QActionGroup(menu);
    QAction* first = menu->actions().value(0);
    const std::vector<const Dictionary*> present = PresentDictionaries();
    for (const Dictionary* dictionary : present) {
        auto* item = new QAction(QString::fromUtf8(dictionary->name), m_pDictionaryItems);
        item->setCheckable(true);
        item->setChecked(dictionary == OpenDictionary());
        connect(item, &QAction::triggered, this,
                [this, dictionary] { OnChooseDictionary(dictionary); });
        menu->insertAction(first, item);
    }
    if (present.empty()) return;
    auto* separator = new QAction(m_pDictionaryItems);
    separator->setSeparator(true);
    menu->insertAction(first, separator);
}

void CPage::OnChooseDictionary(const Dictionary* dictionary) {
    if (dictionary == nullptr || dictionary == OpenDictionary()) return;
    RequestDictionary(dictionary);
    QMetaObject::invokeMethod(
        this, [] { CDialog::EndAllPages(kReopenDictionary); }, Qt::QueuedConnection);
}

void CPage::OnHistory() {
    m_popups.ToggleHistory();
}

void CPage::OnKillFocusPopup() {
    m_popups.OnKillFocus();
}

void CPage::HidePopups() {
    m_popups.HidePopups();
}

bool CPage::PickInShownList() {
    const CPopupLists::Shown shown = m_popups.ShownList();
    if (shown == CPopupLists::Shown::kNone) return false;
    m_popups.AllowPick(true);
    if (shown == CPopupLists::Shown::kBookmarks) {
        OnSelectBookmark();
    } else {
        OnSelectHistory();
    }
    m_popups.AllowPick(false);
    return true;
}

void CPage::OnHelp() {
    CHelpDlg help(nullptr);
    help.DoModal();
    PlaceOver(&help);
}

void CPage::OnAppAbout() {
    CAboutDlg about(nullptr);
    about.SetDictionary(OpenDictionary());
    about.DoModal();
}

void CPage::OnAppExit() {
    CDialog::CloseAllPages();
}

void CPage::OnSize() {
    m_commandBar.FitToPage();
}

void CPage::mouseReleaseEvent(QMouseEvent* event) {
    HidePopups();
    CDialog::mouseReleaseEvent(event);
}
