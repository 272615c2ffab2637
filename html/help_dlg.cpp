#include "html/help_dlg.h"

#include "html/help_document.h"
#include "html/html_pane.h"
#include "platform/text.h"
#include "res/resource.h"

CHelpDlg::CHelpDlg(QWidget* parent) : CDialog(IDD_HELP, parent) {}

CHelpDlg::~CHelpDlg() {
    ReleasePane();
}

platform::BOOL CHelpDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The page covers the page that opened it, and the pane fills it.
    PlaceOver(Opener());
    // A page opened twice makes a new pane each time.
    ReleasePane();
    m_pPane = std::make_unique<CHtmlPane>(this, QRect(2, 2, width() - 4, height() - 3));
    m_pPane->Create();
    CHtmlViewWidget* view = m_pPane->View();
    view->setAccessibleName(QStringLiteral("Help"));
    view->SetHotspotHandler([this](const NMHTMLVIEW& notify) { OnHotspot(notify); });
    m_pPane->SetHtml(platform::NarrowToWide(kHelpDocument));
    return platform::TRUE;
}

void CHelpDlg::OnHotspot(const NMHTMLVIEW& notify) {
    if (m_pPane != nullptr) m_pPane->GoToAnchor(notify.szTarget);
}

void CHelpDlg::OnOK() {
    ReleasePane();
    CDialog::OnOK();
}

void CHelpDlg::OnCancel() {
    ReleasePane();
    CDialog::OnCancel();
}

void CHelpDlg::ReleasePane() {
    if (m_pPane == nullptr) return;
    m_pPane->Destroy();
    m_pPane.reset();
}
