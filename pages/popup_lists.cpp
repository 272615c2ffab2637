#include "pages/popup_lists.h"

#include "platform/messagebox.h"
#include "res/resource.h"

using platform::CListBox;
using platform::MessageBox;

namespace {

const QString kBookmarksCaption = QStringLiteral("Bookmarks");
const QString kHistoryCaption = QStringLiteral("History");

}  // namespace

CPopupLists::CPopupLists(platform::CDialog& page, CWordServices& words, bool markRow,
                         std::function<void()> giveFocusBack)
    : m_page(page),
      m_words(words),
      m_giveFocusBack(std::move(giveFocusBack)),
      m_pBookmarks(std::make_shared<CBookmarkRows>(markRow)),
      m_pHistory(std::make_shared<CHistoryList>()) {}

void CPopupLists::Attach() {
    m_page.BindControl(IDC_BOOKMARK_LIST, m_bookmarkList);
    m_page.BindControl(IDC_HISTORY_LIST, m_historyList);
    m_bookmarkList.ShowRows(m_pBookmarks);
    m_historyList.ShowRows(m_pHistory);
}

CPopupLists::Shown CPopupLists::ShownList() const {
    if (m_bookmarkList.IsWindowVisible()) return Shown::kBookmarks;
    return m_historyList.IsWindowVisible() ? Shown::kHistory : Shown::kNone;
}

void CPopupLists::HidePopups() {
    // A list that goes with the keyboard focus hands it back to the page.
    const bool hadFocus = m_bookmarkList.HasFocus() || m_historyList.HasFocus();
    m_historyList.ShowWindow(platform::SW_HIDE);
    m_bookmarkList.ShowWindow(platform::SW_HIDE);
    if (hadFocus && m_giveFocusBack) m_giveFocusBack();
}

bool CPopupLists::CloseOnEscape() {
    if (!IsVisible()) return false;
    HidePopups();
    return true;
}

void CPopupLists::Show(CListBox& list, const CPopupRows& rows, const QString& caption) {
    if (rows.rowCount() == 0) {
        MessageBox(&m_page, QStringLiteral("No entries"), caption, platform::MB_ICONEXCLAMATION);
        return;
    }
    list.SetCurSel(0);
    list.BringWindowToTop();
    list.ShowWindow(platform::SW_SHOW);
    list.SetFocus();
}

void CPopupLists::ToggleBookmarks(const QString& shownWord) {
    if (m_bBookmarksNeedFill) {
        if (!m_pBookmarks->Fill()) {
            HidePopups();
            ReportBookmarkFailure(false);
            return;
        }
        m_bBookmarksNeedFill = false;
        m_bookmarkList.ShowRows(m_pBookmarks);
    }
    if (ShownList() == Shown::kBookmarks) {
        HidePopups();
        return;
    }
    HidePopups();
    m_pBookmarks->SetMarkRow(shownWord);
    Show(m_bookmarkList, *m_pBookmarks, kBookmarksCaption);
}

void CPopupLists::ToggleHistory() {
    if (m_bHistoryNeedsFill) {
        m_pHistory->Fill(m_words.HistoryWords());
        m_bHistoryNeedsFill = false;
    } else if (ShownList() == Shown::kHistory) {
        HidePopups();
        return;
    }
    // The bookmark list goes first, also after a fill: left showing, it would
    // lose the focus to the history list, and its kill-focus hides both.
    HidePopups();
    Show(m_historyList, *m_pHistory, kHistoryCaption);
}

void CPopupLists::RefillLater() {
    m_bBookmarksNeedFill = true;
    m_bHistoryNeedsFill = true;
    m_bookmarkList.ShowRows(nullptr);
}

void CPopupLists::NotePointer(const platform::MSG& msg) {
    const bool pointer = msg.message == platform::WM_LBUTTONDOWN ||
                         msg.message == platform::WM_LBUTTONUP ||
                         msg.message == platform::WM_MOUSEMOVE;
    if (pointer && msg.wParam == platform::MK_LBUTTON) m_bPopupTap = IsVisible();
}

void CPopupLists::OnKillFocus() {
    HidePopups();
    m_bPopupTap = false;
}

std::optional<CPopupLists::Pick> CPopupLists::TakePick(CListBox& list, const CPopupRows& rows) {
    if (!m_bPopupTap) return std::nullopt;
    m_bPopupTap = false;
    const int row = list.GetCurSel();
    HidePopups();
    return Pick{rows.KindOf(row), rows.WordAt(row)};
}

std::optional<CPopupLists::Pick> CPopupLists::TakeBookmarkPick() {
    return TakePick(m_bookmarkList, *m_pBookmarks);
}

std::optional<CPopupLists::Pick> CPopupLists::TakeHistoryPick() {
    return TakePick(m_historyList, *m_pHistory);
}

bool CPopupLists::AskAreYouSure(const QString& caption) const {
    return MessageBox(&m_page, QStringLiteral("Are you sure?"), caption,
                      platform::MB_OKCANCEL | platform::MB_ICONINFORMATION) == platform::IDOK;
}

void CPopupLists::Report(const QString& text, const QString& caption) const {
    MessageBox(&m_page, text, caption, platform::MB_ICONINFORMATION);
}

void CPopupLists::ReportBookmarkFailure(bool saving) const {
    MessageBox(&m_page, m_pBookmarks->FailureText(saving), QStringLiteral("Error"),
               platform::MB_ICONHAND);
}

void CPopupLists::ClearBookmarks() {
    if (!AskAreYouSure(kBookmarksCaption)) return;
    // A file that cannot be saved keeps every bookmark, and the list with it.
    if (!m_pBookmarks->ClearAll()) {
        ReportBookmarkFailure(true);
        return;
    }
    Report(QStringLiteral("Bookmark cleared"), kBookmarksCaption);
}

void CPopupLists::ClearHistory() {
    if (!AskAreYouSure(kHistoryCaption)) return;
    m_words.ClearHistory();
    m_pHistory->Clear();
    Report(QStringLiteral("History Cleared"), kHistoryCaption);
}

void CPopupLists::MarkWord(const QString& word) {
    // A failed save is reported as the failure it is, never as done.
    if (m_pBookmarks->Mark(word)) {
        Report(QStringLiteral("Word '%1' bookmarked").arg(word), kBookmarksCaption);
    } else {
        ReportBookmarkFailure(true);
    }
}

void CPopupLists::UnmarkWord(const QString& word) {
    if (!AskAreYouSure(kBookmarksCaption)) return;
    if (m_pBookmarks->Unmark(word)) {
        Report(QStringLiteral("Word '%1' removed").arg(word), kBookmarksCaption);
    } else {
        ReportBookmarkFailure(true);
    }
}
