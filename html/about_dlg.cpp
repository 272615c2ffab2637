#include "html/about_dlg.h"

#include <array>
#include <cstring>
#include <utility>

#include "platform/controls.h"
#include "platform/resources.h"
#include "res/resource.h"

CAboutDlg::CAboutDlg(QWidget* parent) : CDialog(IDD_ABOUT, parent) {}

CAboutDlg::~CAboutDlg() = default;

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // Height 0 and no face name: the system's size and face, only bold.
    std::memset(&m_lfBold, 0, sizeof(m_lfBold));
    m_lfBold.lfWeight = FW_BOLD;
    m_fontBold.CreateFontIndirect(&m_lfBold);
    SetControlFont(GetDlgItem(IDC_ABOUT_PRODUCT), m_fontBold.GetSafeHandle(), TRUE);
    SetControlFont(GetDlgItem(IDC_ABOUT_MAKER), m_fontBold.GetSafeHandle(), TRUE);

    static constexpr std::array<std::pair<unsigned, int>, 5> kTexts = {{
        {IDS_ABOUT_PRODUCT, IDC_ABOUT_PRODUCT},
        {IDS_ABOUT_VERSION, IDC_ABOUT_VERSION},
        {IDS_ABOUT_MAKER, IDC_ABOUT_MAKER},
        {IDS_ABOUT_RIGHTS, IDC_ABOUT_RIGHTS},
        {IDS_ABOUT_DETAIL, IDC_ABOUT_DETAIL},
    }};
    for (const auto& [string, control] : kTexts) {
        QString text;
        LoadString(text, string);
        CWnd(GetDlgItem(control)).SetWindowText(text);
    }
    return TRUE;
}

void CAboutDlg::OnOK() {
    m_fontBold.DeleteObject();
    CDialog::OnOK();
}

void CAboutDlg::OnCancel() {
    m_fontBold.DeleteObject();
    CDialog::OnCancel();
}
