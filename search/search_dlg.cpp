#include "search/search_dlg.h"

#include "res/resource.h"

CSearchDlg::CSearchDlg(QWidget* parent) : CDialog(IDD_SEARCH, parent) {}
