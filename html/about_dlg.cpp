#include "html/about_dlg.h"

#include <QFont>
#include <array>
#include <utility>

#include "platform/controls.h"
#include "platform/resources.h"
#include "res/resource.h"

CAboutDlg::CAboutDlg(QWidget* parent) : CDialog(IDD_ABOUT, parent) {}

platform::BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The box's texts are laid out for its one size: it neither grows nor
    // maximises.
    setFixedSize(size());
    static constexpr std::array<std::pair<unsigned, int>, 5> kTexts = {{
        {IDS_ABOUT_PRODUCT, IDC_ABOUT_PRODUCT},
        {IDS_ABOUT_VERSION, IDC_ABOUT_VERSION},
        {IDS_ABOUT_MAKER, IDC_ABOUT_MAKER},
        {IDS_ABOUT_RIGHTS, IDC_ABOUT_RIGHTS},
        {IDS_ABOUT_DETAIL, IDC_ABOUT_DETAIL},
    }};
    for (const auto& [string, control] : kTexts) {
        QString text;
        platform::LoadString(text, string);
        platform::CWnd(GetDlgItem(control)).SetWindowText(text);
    }
    if (m_pDictionary != nullptr) {
        platform::CWnd(GetDlgItem(IDC_ABOUT_DICTIONARY))
            .SetWindowText(QStringLiteral("Dictionary: %1\r\n%2")
                               .arg(QString::fromUtf8(m_pDictionary->name),
                                    QString::fromUtf8(m_pDictionary->source)));
    }
    // The system's size and face, only bold.
    QFont bold = font();
    bold.setBold(true);
    for (const int control : {IDC_ABOUT_PRODUCT, IDC_ABOUT_MAKER}) {
        if (QWidget* label = GetDlgItem(control)) label->setFont(bold);
    }
    return platform::TRUE;
}
