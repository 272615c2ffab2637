// The About box: the program's picture, the product name and the maker's name
// in bold, the version, the rights notice and the support block, all from the
// string table. Either page opens it modally from the Tools menu.
#ifndef LEXIVANE_HTML_ABOUT_DLG_H_
#define LEXIVANE_HTML_ABOUT_DLG_H_

#include "platform/dialog.h"
#include "platform/font.h"

class CAboutDlg : public CDialog {
  public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    // The font is deleted here when the box ended without OnOK.
    ~CAboutDlg() override;

    CFont m_fontBold;    // made at each opening, deleted at closing
    LOGFONT m_lfBold{};  // what the bold font is made from

  protected:
    // Makes the bold font, gives it to the product and maker texts and sets
    // the five texts; TRUE.
    BOOL OnInitDialog() override;
    // The close button: deletes the font, ends with IDOK.
    void OnOK() override;
    // Escape: deletes the font as well, ends with IDCANCEL.
    void OnCancel() override;
};

#endif  // LEXIVANE_HTML_ABOUT_DLG_H_
