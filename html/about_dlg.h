// The About box: the program's picture, the product name and the maker's name
// in bold, the version, the rights notice and the support block, all from the
// string table, and below them the open dictionary with its source and
// licence. Either page opens it modally from the Tools menu.
#ifndef LEXIVANE_HTML_ABOUT_DLG_H_
#define LEXIVANE_HTML_ABOUT_DLG_H_

#include "platform/dialog.h"
#include "res/templates.h"

class CAboutDlg : public platform::CDialog {
  public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // The dictionary the box names; with none (null, the default) its place
    // stays empty.
    void SetDictionary(const res::DictionaryResource* dictionary) { m_pDictionary = dictionary; }

  protected:
    // Sets the five texts and the dictionary's, and shows the product and
    // maker names in bold; TRUE.
    platform::BOOL OnInitDialog() override;

  private:
    const res::DictionaryResource* m_pDictionary = nullptr;
};

#endif  // LEXIVANE_HTML_ABOUT_DLG_H_
