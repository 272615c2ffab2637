#include "html/help_dlg.h"

#include "html/help_document.h"
#include "html/html_pane.h"
#include "platform/controls.h"
#include "platform/glue.h"
#include "res/resource.h"

CHelpDlg::CHelpDlg(QWidget* parent) : CDialog(IDD_HELP, parent) {}

CHelpDlg::~CHelpDlg() {
    ReleasePane();
}

BOOL CHelpDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The page covers the page that opened it, and the pane fills it.
    PlaceOver(Opener());
    m_rcPane = QRect(2, 2, width() - 4, height() - 3);
    // A page opened twice makes a new pane each time.
    ReleasePane();
    m_pPane = new CHtmlPane(this, m_rcPane);
    m_pPane->Create();
    m_pPane->m_hwndHtml->setAccessibleName(QStringLiteral("Help"));
    m_pPane->m_hwndHtml->onHotspot = [this](const NMHTMLVIEW& notify) { OnHotspot(notify); };
    CWnd(m_pPane->m_hwndHtml).ShowWindow(SW_SHOW);
    m_pPane->SetHtml(NarrowToWide(HELP_DOCUMENT));
    return TRUE;
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
    delete m_pPane;
    m_pPane = nullptr;
}
