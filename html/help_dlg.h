// The help page: the help document in an HTML pane that fills the page. Taps
// on the document's links to "#top", "#search" and "#definition" scroll to
// those places. Either page opens it modally for the Help command.
#ifndef LEXIVANE_HTML_HELP_DLG_H_
#define LEXIVANE_HTML_HELP_DLG_H_

#include <QRect>

#include "platform/dialog.h"

class CHtmlPane;
struct NMHTMLVIEW;

class CHelpDlg : public CDialog {
  public:
    explicit CHelpDlg(QWidget* parent = nullptr);
    // Releases the pane when the page was never closed.
    ~CHelpDlg() override;

    CHtmlPane* m_pPane = nullptr;  // owned; exists while the page shows
    QRect m_rcPane;                // x, y, width, height in the page

  protected:
    // Creates the pane and shows the help document from its top; TRUE.
    BOOL OnInitDialog() override;
    // The close button: releases the pane, ends with IDOK.
    void OnOK() override;
    // Escape: releases the pane as well, ends with IDCANCEL.
    void OnCancel() override;

  private:
    // The pane's link-tap notification.
    void OnHotspot(const NMHTMLVIEW& notify);
    void ReleasePane();
};

#endif  // LEXIVANE_HTML_HELP_DLG_H_
