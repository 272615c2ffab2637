// The help page: the help document in an HTML pane that fills the page. Taps
// on the document's links to "#top", "#search" and "#definition" scroll to
// those places. Either page opens it modally for the Help command.
#ifndef LEXIVANE_HTML_HELP_DLG_H_
#define LEXIVANE_HTML_HELP_DLG_H_

#include <memory>

#include "platform/dialog.h"

class CHtmlPane;
struct NMHTMLVIEW;

class CHelpDlg : public platform::CDialog {
  public:
    explicit CHelpDlg(QWidget* parent = nullptr);
    // Releases the pane when the page was never closed.
    ~CHelpDlg() override;

  protected:
    // The text zoom keys.
    void BindMessageMap() override;
    // Creates the pane and shows the help document from its top; TRUE.
    platform::BOOL OnInitDialog() override;
    // The pane fills the page at any size and shows the program's text zoom.
    void OnSize() override;
    void OnTextZoomChange() override;
    // The close button: releases the pane, ends with IDOK.
    void OnOK() override;
    // Escape: releases the pane as well, ends with IDCANCEL.
    void OnCancel() override;

  private:
    // The pane's link-tap notification.
    void OnHotspot(const NMHTMLVIEW& notify);
    void ReleasePane();
    // The pane's place: the page less a two-pixel margin (three below).
    QRect PanePlace() const;

    std::unique_ptr<CHtmlPane> m_pPane;  // exists while the page shows
};

#endif  // LEXIVANE_HTML_HELP_DLG_H_
