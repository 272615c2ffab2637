// The About box: the program's picture, the product name and the maker's name
// in bold, the version, the rights notice and the support block, all from the
// string table. Either page opens it modally from the Tools menu.
#ifndef LEXIVANE_HTML_ABOUT_DLG_H_
#define LEXIVANE_HTML_ABOUT_DLG_H_

#include "platform/dialog.h"

class CAboutDlg : public platform::CDialog {
  public:
    explicit CAboutDlg(QWidget* parent = nullptr);

  protected:
    // Sets the five texts and shows the product and maker names in bold; TRUE.
    platform::BOOL OnInitDialog() override;
};

#endif  // LEXIVANE_HTML_ABOUT_DLG_H_
