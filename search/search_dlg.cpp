#include "search/search_dlg.h"

#include <QColor>
#include <QCoreApplication>
#include <QFont>
#include <QFontInfo>
#include <QListView>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <memory>

#include "definition/definition_dlg.h"
#include "html/about_dlg.h"
#include "html/help_dlg.h"
#include "platform/glue.h"
#include "platform/messagebox.h"
#include "platform/resources.h"
#include "platform/shell.h"
#include "res/resource.h"
#include "search/word_window.h"

namespace {

// The places of the controls that the soft input panel moves, saved once per
// process at the page's first activation, while they are at their template
// places. They are kept relative to the page, so a page that the user has
// moved on the desktop since still lays out right.
struct PanelLayout {
    QRect autoScroll;
    QRect wordList;
    QRect wordScroll;
    bool saved = false;   // the three places were saved
    bool shrunk = false;  // the page is laid out around the soft input panel
};

PanelLayout& Layout() {
    static PanelLayout layout;
    return layout;
}

constexpr QColor kPanelColour(255, 255, 15);  // the panel's yellow, 0x000FFFFF

// Sizes the word list's rows so that a page of `rows` rows fills the list box,
// and makes its font fit them: every row of the window shows, so a page move
// never passes over headwords the user has not seen.
void FitWordListRows(CListBox& list, int rows) {
    auto* widget = qobject_cast<QListView*>(list.GetSafeHwnd());
    if (widget == nullptr || rows <= 0) return;
    const int height = widget->contentsRect().height() / rows;
    if (list.SetItemHeight(height) == LB_ERR) return;
    QFont font = widget->font();
    int pixels = QFontInfo(font).pixelSize();
    while (widget->fontMetrics().height() > height && pixels > 1) {
        font.setPixelSize(--pixels);
        widget->setFont(font);
    }
}

// The word that the search box's text looks up: line breaks (of pasted text)
// count as spaces, characters that the dictionaries cannot hold are left out,
// and the rest is trimmed and lower-cased.
QString SearchWordOf(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return EngineCharacters(text).trimmed().toLower();
}

const QString kBookmarksCaption = QStringLiteral("Bookmarks");
const QString kHistoryCaption = QStringLiteral("History");

}  // namespace

CSearchDlg::CSearchDlg(QWidget* parent) : CDialog(IDD_SEARCH, parent), m_hIcon(LoadAppIcon()) {}

CSearchDlg::~CSearchDlg() = default;

void CSearchDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_WORDLIST, m_wordList);
    DDX_Control(dx, IDC_HISTORY_LIST, m_historyList);
    DDX_Control(dx, IDC_BOOKMARK_LIST, m_bookmarkList);
    DDX_Control(dx, IDC_SEARCH_EDIT, m_searchEdit);
    DDX_Control(dx, IDC_WORD_SCROLL, m_wordScroll);
    DDX_Control(dx, IDC_GO, m_goButton);
    DDX_Control(dx, IDC_AUTOSCROLL, m_autoScroll);
    DDX_Text(dx, IDC_SEARCH_EDIT, m_strSearch);
    DDX_Check(dx, IDC_AUTOSCROLL, m_bAutoScroll);
}

void CSearchDlg::BindMessageMap() {
    BindEditChange(IDC_SEARCH_EDIT, [this] { OnChangeSearch(); });
    BindListSelChange(IDC_WORDLIST, [this] { OnSelectWord(); });
    BindCommand(IDC_AUTOSCROLL, [this] { OnAutoScroll(); });
    BindCommand(IDC_GO, [this] { OnGo(); });
    BindVScroll(IDC_WORD_SCROLL, [this](UINT code, int position) {
        OnVScroll(code, static_cast<UINT>(std::max(position, 0)), &m_wordScroll);
    });
    BindCommand(ID_EDIT_PASTE, [this] { OnEditPaste(); });
    BindCommand(ID_BOOKMARKS, [this] { OnBookmarks(); });
    BindCommand(ID_HISTORY, [this] { OnHistory(); });
    BindCommand(ID_HELP, [this] { OnHelp(); });
    BindCommand(ID_APP_ABOUT, [this] { OnAppAbout(); });
    BindCommand(ID_APP_EXIT, [this] { OnAppExit(); });
    BindListSelChange(IDC_BOOKMARK_LIST, [this] { OnSelectBookmark(); });
    BindListSelChange(IDC_HISTORY_LIST, [this] { OnSelectHistory(); });
    BindListKillFocus(IDC_BOOKMARK_LIST, [this] { OnKillFocusPopup(); });
    BindListKillFocus(IDC_HISTORY_LIST, [this] { OnKillFocusPopup(); });
}

BOOL CSearchDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (auto* list = qobject_cast<QListView*>(m_wordList.GetSafeHwnd()))
        list->viewport()->installEventFilter(this);
    setWindowIcon(m_hIcon);
    CenterWindow();
    FitWordListRows(m_wordList, m_nPageRows);
    InitWordList();
    CreateCommandBar();
    return TRUE;
}

bool CSearchDlg::CreateCommandBar() {
    static constexpr std::array<UINT, 4> kTipIds = {IDS_TIP_PASTE, IDS_TIP_BOOKMARK,
                                                    IDS_TIP_HISTORY, IDS_TIP_HELP};
    for (size_t i = 0; i < kTipIds.size(); ++i) LoadString(m_tooltips[i + 1], kTipIds[i]);
    if (!m_commandBar.Create(this, CBRS_TOP, AFX_IDW_TOOLBAR)) return false;
    if (!m_commandBar.InsertMenuBar(IDR_TOOLS_MENU, 0xFFFF)) return false;
    if (!m_commandBar.AddAdornments(0)) return false;
    if (!m_commandBar.LoadToolBar(IDR_SEARCH_TOOLBAR)) return false;
    if (m_commandBar.SetToolTips(static_cast<int>(m_tooltips.size()), m_tooltips.data()) == 0)
        return false;
    m_commandBar.SetBarStyle(m_commandBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY |
                             CBRS_SIZE_FIXED);
    return true;
}

void CSearchDlg::OnPaint(QPainter& painter) {
    PaintSearchPanel(painter);
}

void CSearchDlg::PaintSearchPanel(QPainter& painter) {
    const QRect edit = m_searchEdit.GetClientRect();
    // Left 3, top 3, right w + 14, bottom h + 35, the right and bottom edges outside.
    QRect panel(QPoint(3, 3), QPoint(edit.width() + 13, edit.height() + 34));
    painter.fillRect(panel, kPanelColour);
    painter.setPen(Qt::white);
    painter.drawRect(panel.adjusted(0, 0, -1, -1));
    panel.setTopLeft(panel.topLeft() + QPoint(7, 7));
    painter.setPen(Qt::black);
    painter.drawText(panel, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                     QStringLiteral("Search"));
}

void CSearchDlg::FocusSearchBox() {
    if (!IsPopupVisible()) m_searchEdit.SetFocus();
}

void CSearchDlg::OnModalClosed() {
    FocusSearchBox();
}

void CSearchDlg::OnActivate(BOOL active) {
    // Typing goes to the search box whenever the user comes back to the page,
    // never to the word list, whose own type-ahead would open a word. A
    // window system may show the page again from its backing store without
    // any paint, so this is done on activation.
    if (active) FocusSearchBox();
    // Posted, so that the places are read once the activation has been handled.
    QMetaObject::invokeMethod(
        this, [this] { OnAfterActivate(); }, Qt::QueuedConnection);
}

void CSearchDlg::OnAfterActivate() {
    PanelLayout& layout = Layout();
    if (layout.saved) return;
    const QPoint page = CWnd(this).GetWindowRect().topLeft();
    layout.autoScroll = m_autoScroll.GetWindowRect().translated(-page);
    layout.wordList = m_wordList.GetWindowRect().translated(-page);
    layout.wordScroll = m_wordScroll.GetWindowRect().translated(-page);
    layout.saved = true;
}

void CSearchDlg::OnSettingChange() {
    PanelLayout& layout = Layout();
    SIPINFO sip{};
    sip.cbSize = sizeof(SIPINFO);
    SHSipInfo(SPI_GETSIPINFO, 0, &sip, 0);
    const int panelHeight = sip.rcSipRect.bottom - sip.rcSipRect.top;
    if (!layout.saved) return;
    const auto shortened = [panelHeight](const QRect& place) {
        return QRect(place.topLeft(),
                     QSize(place.width(), std::max(place.height() - panelHeight, 0)));
    };
    if (sip.fdwFlags & SIPF_ON) {
        // Always from the template places: the panel may change height while up.
        const QPoint above(layout.autoScroll.left(), layout.autoScroll.top() - panelHeight);
        m_autoScroll.MoveWindow(QRect(above, m_autoScroll.GetWindowRect().size()));
        m_autoScroll.ShowWindow(SW_SHOW);
        m_wordList.MoveWindow(shortened(layout.wordList));
        m_wordScroll.MoveWindow(shortened(layout.wordScroll));
        layout.shrunk = true;
        UpdatePageRows();
    } else if (layout.shrunk) {
        m_autoScroll.MoveWindow(
            QRect(layout.autoScroll.topLeft(), m_autoScroll.GetWindowRect().size()));
        m_autoScroll.ShowWindow(SW_SHOW);
        m_wordList.MoveWindow(layout.wordList);
        m_wordScroll.MoveWindow(layout.wordScroll);
        layout.shrunk = false;
        UpdatePageRows();
    }
}

void CSearchDlg::HidePopups() {
    // A list that goes with the keyboard focus hands it to the search box.
    bool hadFocus = false;
    if (m_bHistoryShown) {
        hadFocus = m_historyList.HasFocus();
        m_historyList.ShowWindow(SW_HIDE);
        m_bHistoryShown = false;
    }
    if (m_bBookmarksShown) {
        hadFocus = hadFocus || m_bookmarkList.HasFocus();
        m_bookmarkList.ShowWindow(SW_HIDE);
        m_bBookmarksShown = false;
    }
    if (hadFocus) FocusSearchBox();
}

bool CSearchDlg::IsPopupVisible() const {
    return m_historyList.IsWindowVisible() || m_bookmarkList.IsWindowVisible();
}

QString CSearchDlg::HeadwordAt(uint32_t index) const {
    return NarrowToWide(lxv_wordlist_at(m_hEngine, index));
}

bool CSearchDlg::AppendRows(uint32_t top, bool dropMissing) {
    bool lastPresent = true;
    for (int32_t k = 0; k < m_nPageRows && uint64_t{top} + k < m_nWordCount; ++k) {
        const char* headword = lxv_wordlist_at(m_hEngine, top + static_cast<uint32_t>(k));
        lastPresent = headword != nullptr;
        if (headword != nullptr || !dropMissing) m_wordList.AddString(NarrowToWide(headword));
    }
    return lastPresent;
}

void CSearchDlg::InitScrollState() {
    if (m_nWordCount == 0) {
        m_nWordCount = lxv_wordlist_count(m_hEngine);
        m_nScrollRange = ScrollRangeFor(m_nWordCount);
        m_wordScroll.SetScrollRange(0, static_cast<int>(m_nScrollRange), TRUE);
    }
    if (m_fScrollScale == 0.0f) m_fScrollScale = ScrollScaleFor(m_nWordCount, m_nScrollRange);
}

bool CSearchDlg::InitWordList() {
    update();  // the search panel is painted first
    m_bOk = false;
    m_nWordCount = lxv_wordlist_count(m_hEngine);
    if (m_nWordCount == 0) return false;
    m_nScrollRange = ScrollRangeFor(m_nWordCount);
    m_wordScroll.SetScrollRange(0, static_cast<int>(m_nScrollRange), TRUE);
    m_fScrollScale = ScrollScaleFor(m_nWordCount, m_nScrollRange);
    m_bOk = PositionOnWord(QStringLiteral("a"));
    m_searchEdit.SetFocus();
    return m_bOk;
}

bool CSearchDlg::PositionOnWord(const QString& word) {
    const uint32_t oldTop = m_nTopIndex;
    uint32_t found = m_nTopIndex;
    m_bOk = false;
    if (word.isEmpty()) {
        found = 0;
        m_bOk = true;
    } else {
        const std::unique_ptr<char[]> key(WideToNarrow(word));
        const char* nearest = lxv_wordlist_nearest(m_hEngine, key.get());
        if (nearest != nullptr) {
            found = lxv_wordlist_on(m_hEngine, nearest);
            m_bOk = true;
        }
    }
    // On the last page the headword found is not row 0: the window stops at
    // the end, and the found row is selected.
    const uint32_t top = std::min(found, LastTop(m_nWordCount, m_nPageRows));
    const int foundRow = static_cast<int>(found - top);
    if (top == oldTop && m_wordList.GetCount() >= 1) {
        if (m_bOk && foundRow != 0) m_wordList.SetCurSel(foundRow);
        return true;
    }
    if (m_wordList.GetCount() > 0) m_wordList.ResetContent();
    if (!m_bOk) return false;
    m_nTopIndex = top;
    m_bOk = AppendRows(top, true);
    m_wordList.SetCurSel(foundRow);
    if (m_nWordCount == 0) m_nWordCount = lxv_wordlist_count(m_hEngine);
    m_nScrollPos = TopToThumb(m_nTopIndex, m_fScrollScale);
    m_wordScroll.SetScrollPos(m_nScrollPos, TRUE);
    return m_bOk;
}

bool CSearchDlg::ScrollOneRow(bool up) {
    m_bOk = true;
    QString first;
    m_wordList.GetText(0, first);
    const uint32_t index = m_words.NearestIndex(first);
    m_nTopIndex = index;
    uint32_t incoming = 0;
    if (up) {
        if (index == 0) return false;
        m_nTopIndex = index - 1;
        incoming = index - 1;
    } else {
        if (uint64_t{index} + 1 + static_cast<uint64_t>(std::max(m_nPageRows, 0)) > m_nWordCount)
            return false;
        m_nTopIndex = index + 1;
        incoming = index + static_cast<uint32_t>(m_nPageRows);
    }
    const QString text = HeadwordAt(incoming);
    if (text.isEmpty()) m_bOk = false;
    if (up) {
        m_wordList.InsertString(0, text);
        m_wordList.DeleteString(m_nPageRows);
    } else {
        m_wordList.DeleteString(0);
        m_wordList.AddString(text);
    }
    return m_bOk;
}

bool CSearchDlg::MoveTopTo(int64_t requested) {
    m_bOk = false;
    const uint32_t top = static_cast<uint32_t>(
        std::clamp<int64_t>(requested, 0, LastTop(m_nWordCount, m_nPageRows)));
    if (top == m_nTopIndex) return false;
    m_nTopIndex = top;
    if (m_wordList.GetCount() > 0) m_wordList.ResetContent();
    AppendRows(top, false);
    m_bOk = true;
    return true;
}

void CSearchDlg::RefillKeepingFirstRow() {
    if (m_wordList.GetCount() == 0) return;
    const int selected = m_wordList.GetCurSel();
    QString first;
    m_wordList.GetText(0, first);
    m_wordList.ResetContent();
    m_nTopIndex = std::min(m_words.NearestIndex(first), LastTop(m_nWordCount, m_nPageRows));
    AppendRows(m_nTopIndex, false);
    if (selected != LB_ERR) m_wordList.SetCurSel(selected);
}

void CSearchDlg::UpdatePageRows() {
    const int listHeight = m_wordList.GetWindowRect().height();
    // The second row gives the row height; with fewer rows, the list's font does.
    int rowHeight = m_wordList.GetItemHeight();
    QRect row;
    if (m_wordList.GetCount() >= 2 && m_wordList.GetItemRect(1, &row) != LB_ERR)
        rowHeight = row.height();
    if (rowHeight == 0) return;
    // A list box shorter than a row still shows one, so that the window
    // always has a first row to keep and move.
    const int32_t rows = std::max(listHeight / rowHeight, 1);
    if (rows == m_nPageRows) return;
    m_nPageRows = rows;
    RefillKeepingFirstRow();
}

int32_t CSearchDlg::ThumbAfterMove(bool up) const {
    if (up && m_nTopIndex == 0) return 0;
    // A dictionary smaller than a page has no last page distinct from the first.
    const bool atEnd = m_nWordCount >= static_cast<uint32_t>(std::max(m_nPageRows, 0)) &&
                       m_nTopIndex == LastTop(m_nWordCount, m_nPageRows);
    if (!up && atEnd) return static_cast<int32_t>(m_nScrollRange);
    return TopToThumb(m_nTopIndex, m_fScrollScale);
}

void CSearchDlg::OnVScroll(UINT code, UINT thumb, CScrollBar* bar) {
    HidePopups();
    InitScrollState();
    switch (code) {
        case SB_LINEUP:
        case SB_LINEDOWN: {
            const bool up = code == SB_LINEUP;
            m_bOk = ScrollOneRow(up);
            if (m_bOk) m_nScrollPos = ThumbAfterMove(up);
            break;
        }
        case SB_PAGEUP:
            MoveTopTo(int64_t{m_nTopIndex} - m_nPageRows);
            m_nScrollPos = ThumbAfterMove(true);
            break;
        case SB_PAGEDOWN:
            MoveTopTo(int64_t{m_nTopIndex} + m_nPageRows);
            m_nScrollPos = ThumbAfterMove(false);
            break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: {
            const uint32_t position = std::min(thumb, m_nScrollRange);
            m_nScrollPos = static_cast<int32_t>(position);
            m_bOk = MoveTopTo(ThumbToTop(m_nWordCount, m_nPageRows, position, m_nScrollRange));
            // While the thumb is dragged the rows follow it at once.
            if (code == SB_THUMBTRACK && m_bOk) m_wordList.RedrawNow();
            break;
        }
        default:
            break;
    }
    bar->SetScrollPos(m_nScrollPos, TRUE);
}

bool CSearchDlg::eventFilter(QObject* watched, QEvent* event) {
    auto* list = qobject_cast<QListView*>(m_wordList.GetSafeHwnd());
    if (event->type() != QEvent::Wheel || list == nullptr || watched != list->viewport())
        return CDialog::eventFilter(watched, event);
    // The wheel over the list turns it as over its scroll bar.
    if (m_wordScroll.GetSafeHwnd() != nullptr)
        QCoreApplication::sendEvent(m_wordScroll.GetSafeHwnd(), event);
    return true;
}

void CSearchDlg::OnArrowKey(bool up) {
    if (!IsPopupVisible()) {
        m_bOk = ScrollOneRow(up);
        if (m_bOk) m_nScrollPos = ThumbAfterMove(up);
        m_wordScroll.SetScrollPos(m_nScrollPos, TRUE);
        m_wordList.SetCurSel(0);
    } else {
        m_wordList.SetCurSel(-1);
    }
}

BOOL CSearchDlg::PreTranslateMessage(MSG* msg) {
    InitScrollState();
    const bool pointer = msg->message == WM_LBUTTONDOWN || msg->message == WM_LBUTTONUP ||
                         msg->message == WM_MOUSEMOVE;
    if (pointer && msg->wParam == MK_LBUTTON) m_bPopupTap = IsPopupVisible() ? TRUE : FALSE;
    // Keys act when they go down. A key-up opens or moves nothing: it may end
    // a press that began in another window, such as the message box, or the
    // other program's window, that the same Return closed.
    if (msg->message != WM_KEYDOWN) return CDialog::PreTranslateMessage(msg);
    const WPARAM code = msg->wParam;
    if (code == VK_LEFT || code == VK_UP) OnArrowKey(true);
    if (code == VK_RIGHT || code == VK_DOWN) OnArrowKey(false);
    if (code == VK_RETURN) {
        m_bPopupTap = TRUE;
        // With a pop-up list showing, Return picks its selected row.
        if (m_bookmarkList.IsWindowVisible()) {
            OnSelectBookmark();
        } else if (m_historyList.IsWindowVisible()) {
            OnSelectHistory();
        } else {
            OnSelectWord();
        }
        m_bPopupTap = FALSE;
        return TRUE;
    }
    return CDialog::PreTranslateMessage(msg);
}

void CSearchDlg::OnChangeSearch() {
    UpdateData(TRUE);
    const bool blank = m_strSearch.trimmed().isEmpty();
    m_strSearch = SearchWordOf(m_strSearch);
    // Text of nothing the dictionaries hold looks nothing up: the list stays.
    if (m_strSearch.isEmpty() && !blank) return;
    if (m_strSearch != m_strLastSearch && m_bAutoScroll) PositionOnWord(m_strSearch);
    if (m_strSearch.isEmpty() && m_bAutoScroll) PositionOnWord(QStringLiteral("a"));
    m_strLastSearch = m_strSearch;
}

void CSearchDlg::OnAutoScroll() {
    HidePopups();
    if (m_bAutoScroll) {
        m_goButton.ShowWindow(SW_SHOW);
        m_bAutoScroll = FALSE;
    } else {
        m_goButton.ShowWindow(SW_HIDE);
        m_bAutoScroll = TRUE;
        m_strSearch = m_strSearch.trimmed().toLower();
        if (!m_strSearch.isEmpty()) PositionOnWord(m_strSearch);
    }
    m_searchEdit.SetFocus();
}

void CSearchDlg::OnGo() {
    QString word;
    if (m_strSearch.isEmpty() && !m_searchEdit.GetWindowText().trimmed().isEmpty()) {
        m_searchEdit.SetFocus();
        return;
    }
    if (!m_strSearch.isEmpty()) {
        word = m_words.NearestWord(m_strSearch);
    } else if (m_nTopIndex == 0) {
        m_searchEdit.SetFocus();
        return;
    } else {
        word = QStringLiteral("a");
    }
    PositionOnWord(word);
    m_searchEdit.SetFocus();
}

void CSearchDlg::OnEditPaste() {
    if (!m_words.GetClipboardText().isEmpty()) m_searchEdit.Paste();
}

void CSearchDlg::OnSelectWord() {
    const int row = m_wordList.GetCurSel();
    if (row == LB_ERR) return;
    QString word;
    m_wordList.GetText(row, word);
    if (word.isEmpty()) return;
    m_bOk = m_words.AddWordToList(word, m_historyList);
    HidePopups();
    if (m_bOk && OpenDefinition(word) == -1) m_bOk = false;
    if (!m_bOk) {
        m_strMessage = QStringLiteral("Internal error!! Please restart the application");
        FatalError(this, m_strMessage, QStringLiteral("Bookmarks"));
    }
}

int32_t CSearchDlg::OpenDefinition(const QString& word) {
    m_bOk = true;
    m_bBookmarksNeedFill = true;
    m_bHistoryNeedsFill = true;
    HidePopups();
    // The bookmark list is read afresh afterwards: the rows it showed go now,
    // so that the two pages never lay out the bookmarks at the same time.
    m_bookmarkList.ResetContent();
    // A local index: the word list window stays where it is.
    uint32_t index = 0;
    if (!m_words.HeadwordIndex(word, index)) return -1;
    const QString headword = NarrowToWide(lxv_wordlist_at(m_hEngine, index));
    if (headword.compare(word, Qt::CaseInsensitive) != 0) {
        MessageBox(this, QStringLiteral("Matching word not found on Dictionary."),
                   QStringLiteral("Error"), MB_ICONHAND);
        return 1;
    }
    CDefinitionDlg page(nullptr);
    page.m_hEngine = m_hEngine;
    page.m_words.m_hEngine = m_hEngine;
    page.Initialise(word, index);
    page.DoModal();
    return 0;
}

void CSearchDlg::OnBookmarks() {
    m_bOk = true;
    if (m_bBookmarksNeedFill) {
        m_words.FillBookmarkList(m_bookmarkList);
        if (!m_words.LastOk()) {
            HidePopups();
            MessageBox(this, m_words.BookmarkFailureText(false), QStringLiteral("Error"),
                       MB_ICONHAND);
            return;
        }
        m_bBookmarksNeedFill = false;
    }
    if (m_bBookmarksShown) {
        HidePopups();
        return;
    }
    HidePopups();
    if (m_bookmarkList.GetCount() == 0) {
        MessageBox(this, kNoEntries, kBookmarksCaption, MB_ICONEXCLAMATION);
        return;
    }
    m_bBookmarksShown = true;
    ShowPopupList(m_bookmarkList);
}

void CSearchDlg::OnHistory() {
    m_bOk = true;
    if (m_bHistoryNeedsFill) {
        m_bOk = m_words.FillHistoryList(m_historyList);
        if (m_bOk) m_bHistoryNeedsFill = false;
    } else if (m_bHistoryShown) {
        HidePopups();
        return;
    }
    // The bookmark list goes first, also after a fill: left showing, it would
    // lose the focus to the history list, and its kill-focus hides both.
    HidePopups();
    if (!m_bOk) {
        m_strMessage = kHistoryError;
        FatalError(this, m_strMessage, kErrorMessageCaption);
    }
    if (m_historyList.GetCount() == 0) {
        MessageBox(this, kNoEntries, kHistoryCaption, MB_ICONEXCLAMATION);
        return;
    }
    m_bHistoryShown = true;
    ShowPopupList(m_historyList);
}

void CSearchDlg::OnSelectBookmark() {
    if (!m_bPopupTap) return;
    m_bOk = true;
    HidePopups();
    const int row = m_bookmarkList.GetCurSel();
    if (row == 1) {
        if (MessageBox(this, kAreYouSure, kBookmarksCaption, MB_OKCANCEL | MB_ICONINFORMATION) ==
            IDOK) {
            if (m_words.ClearBookmarks()) {
                m_bookmarkList.ResetContent();
                MessageBox(this, QStringLiteral("Bookmark cleared"), kBookmarksCaption,
                           MB_ICONINFORMATION);
            } else {
                // The file and the list keep every bookmark; the page goes on.
                MessageBox(this, m_words.BookmarkFailureText(true), QStringLiteral("Error"),
                           MB_ICONHAND);
            }
        }
    } else if (row >= 2) {
        QString word;
        m_bookmarkList.GetText(row, word);
        if (word.isEmpty()) {
            m_bOk = false;
        } else {
            m_words.AddWordToList(word, m_historyList);
            if (OpenDefinition(word) == -1) m_bOk = false;
        }
    }
    if (!m_bOk) {
        m_strMessage = kBookmarksError;
        FatalError(this, m_strMessage, kErrorMessageCaption);
    }
    HidePopups();
}

void CSearchDlg::OnSelectHistory() {
    if (!m_bPopupTap) return;
    m_bHistoryShown = true;
    m_bOk = true;
    HidePopups();
    const int row = m_historyList.GetCurSel();
    if (row == 1) {
        if (MessageBox(this, kAreYouSure, kHistoryCaption, MB_OKCANCEL | MB_ICONINFORMATION) ==
            IDOK) {
            lxv_history_clear(m_hEngine);
            m_historyList.ResetContent();
            HidePopups();
            MessageBox(this, QStringLiteral("History Cleared"), kHistoryCaption,
                       MB_ICONINFORMATION);
        }
    } else if (row >= 2) {
        QString word;
        m_historyList.GetText(row, word);
        if (word.isEmpty() || OpenDefinition(word) == -1) {
            m_strMessage = kHistoryError;
            FatalError(this, m_strMessage, kErrorMessageCaption);
        }
    }
}

void CSearchDlg::OnKillFocusPopup() {
    HidePopups();
    m_bPopupTap = FALSE;
}

void CSearchDlg::mouseReleaseEvent(QMouseEvent* event) {
    HidePopups();
    CDialog::mouseReleaseEvent(event);
}

void CSearchDlg::OnCancel() {
    // Escape never ends the program: the page is the main window, which the
    // close buttons and Quit end.
    if (IsPopupVisible()) {
        HidePopups();
    } else {
        m_searchEdit.SetSel(0, -1);
    }
    m_searchEdit.SetFocus();
}

void CSearchDlg::OnAppExit() {
    CDialog::CloseAllPages();
}

void CSearchDlg::OnHelp() {
    CHelpDlg help(nullptr);
    help.DoModal();
}

void CSearchDlg::OnAppAbout() {
    CAboutDlg about(nullptr);
    about.DoModal();
}
