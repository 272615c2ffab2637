#include "search/search_dlg.h"

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QFontInfo>
#include <QListView>
#include <QMetaObject>
#include <QPainter>
#include <algorithm>
#include <utility>

#include "definition/definition_dlg.h"
#include "platform/clipboard.h"
#include "platform/messagebox.h"
#include "platform/resources.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "platform/text_zoom.h"
#include "res/resource.h"

using namespace platform;

namespace {

// The state of the soft input panel re-layout, kept for the whole process:
// the page lays out around the panel only once it has been activated.
struct PanelLayout {
    bool saved = false;   // the page has been activated
    bool shrunk = false;  // the page is laid out around the soft input panel
};

PanelLayout& Layout() {
    static PanelLayout layout;
    return layout;
}

constexpr QColor kPanelColour(255, 255, 15);  // the panel's yellow, 0x000FFFFF

// Gives every row of the word list `height` pixels and makes the list's font
// fit them: a headword is never cut at the top or bottom.
void FitWordListFont(CListBox& list, int height) {
    auto* widget = qobject_cast<QListView*>(list.GetSafeHwnd());
    if (widget == nullptr || list.SetItemHeight(height) == LB_ERR) return;
    QFont font = widget->font();
    int pixels = QFontInfo(font).pixelSize();
    while (widget->fontMetrics().height() > height && pixels > 1) {
        font.setPixelSize(--pixels);
        widget->setFont(font);
    }
}

// Sizes the word list's rows so that a page of `rows` rows fills the list box,
// and makes its font fit them: every row of the window shows, so a page move
// never passes over headwords the user has not seen.
void FitWordListRows(CListBox& list, int rows) {
    const auto* widget = qobject_cast<QListView*>(list.GetSafeHwnd());
    if (widget == nullptr || rows <= 0) return;
    FitWordListFont(list, widget->contentsRect().height() / rows);
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

}  // namespace

CSearchDlg::CSearchDlg(LXV_HANDLE engine, QWidget* parent)
    : CPage(IDD_SEARCH, engine, false, parent),
      m_pWindow(std::make_shared<CWordWindow>(Words())),
      m_hIcon(LoadAppIcon()) {}

CSearchDlg::~CSearchDlg() = default;

void CSearchDlg::DoDataExchange(CDataExchange* dx) {
    CPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_WORDLIST, m_wordList);
    DDX_Control(dx, IDC_SEARCH_EDIT, m_searchEdit);
    DDX_Control(dx, IDC_WORD_SCROLL, m_wordScroll);
    DDX_Control(dx, IDC_GO, m_goButton);
    DDX_Control(dx, IDC_AUTOSCROLL, m_autoScroll);
    DDX_Text(dx, IDC_SEARCH_EDIT, m_strSearch);
    DDX_Check(dx, IDC_AUTOSCROLL, m_bAutoScroll);
}

void CSearchDlg::BindMessageMap() {
    CPage::BindMessageMap();
    BindEditChange(IDC_SEARCH_EDIT, [this] { OnChangeSearch(); });
    BindListSelChange(IDC_WORDLIST, [this] { OnSelectWord(); });
    BindCommand(IDC_AUTOSCROLL, [this] { OnAutoScroll(); });
    BindCommand(IDC_GO, [this] { OnGo(); });
    BindVScroll(IDC_WORD_SCROLL, [this](UINT code, int position) {
        OnVScroll(code, static_cast<UINT>(std::max(position, 0)), &m_wordScroll);
    });
    BindCommand(ID_EDIT_PASTE, [this] { OnEditPaste(); });
}

BOOL CSearchDlg::OnInitDialog() {
    CPage::OnInitDialog();
    m_wordList.ShowRows(m_pWindow);
    if (auto* list = qobject_cast<QListView*>(m_wordList.GetSafeHwnd()))
        list->viewport()->installEventFilter(this);
    setWindowIcon(m_hIcon);
    CenterWindow();
    FitWordListRows(m_wordList, m_pWindow->PageRows());
    m_nBaseRowHeight = m_wordList.GetItemHeight();
    if (const QWidget* list = m_wordList.GetSafeHwnd()) m_baseListFont = list->font();
    InitWordList();
    CreateCommandBar(IDR_SEARCH_TOOLBAR,
                     {IDS_TIP_PASTE, IDS_TIP_BOOKMARK, IDS_TIP_HISTORY, IDS_TIP_HELP});
    // The places the controls have at the handheld size, which a larger
    // page grows from.
    m_rcWordList = m_wordList.GetSafeHwnd()->geometry();
    m_rcWordScroll = m_wordScroll.GetSafeHwnd()->geometry();
    m_rcAutoScroll = m_autoScroll.GetSafeHwnd()->geometry();
    if (TextZoom() != kNormalTextZoom) OnTextZoomChange();
    if (m_startPlacement) SetWindowPlacement(*m_startPlacement);
    LayOutList();
    return TRUE;
}

void CSearchDlg::SetStartPlacement(const WindowPlacement& placement) {
    m_startPlacement = placement;
}

void CSearchDlg::OnSize() {
    CPage::OnSize();
    LayOutList();
}

void CSearchDlg::LayOutList() {
    if (!m_rcWordList.isValid()) return;
    const QSize grow = Growth();
    // While the soft input panel is up the list and its bar end above it, and
    // Auto Scroll stands just above it.
    const int height = grow.height() - (Layout().shrunk ? CurrentSoftInputPanel().Height() : 0);
    m_wordList.MoveWindow(QRect(
        m_rcWordList.topLeft(),
        QSize(m_rcWordList.width() + grow.width(), std::max(m_rcWordList.height() + height, 0))));
    m_wordScroll.MoveWindow(
        QRect(m_rcWordScroll.topLeft() + QPoint(grow.width(), 0),
              QSize(m_rcWordScroll.width(), std::max(m_rcWordScroll.height() + height, 0))));
    m_autoScroll.MoveWindow(m_rcAutoScroll.translated(0, height));
    UpdatePageRows();
}

void CSearchDlg::OnTextZoomChange() {
    QWidget* list = m_wordList.GetSafeHwnd();
    if (list == nullptr || m_nBaseRowHeight == 0) return;
    const int zoom = TextZoom();
    list->setFont(ZoomedFont(m_baseListFont, zoom));
    FitWordListFont(m_wordList, ZoomedPixels(m_nBaseRowHeight, zoom));
    UpdatePageRows();
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
    if (!Popups().IsVisible()) m_searchEdit.SetFocus();
}

void CSearchDlg::GiveFocusBack() {
    FocusSearchBox();
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
    // The word given at start opens over the page once the page is active, so
    // that its definition page opens over it and hands the keys back to it.
    if (active && !m_strStartWord.isEmpty()) {
        QMetaObject::invokeMethod(
            this, [this, word = std::exchange(m_strStartWord, QString())] { OpenWord(word); },
            Qt::QueuedConnection);
    }
    // Posted, so that the places are read once the activation has been handled.
    QMetaObject::invokeMethod(
        this, [this] { OnAfterActivate(); }, Qt::QueuedConnection);
}

void CSearchDlg::OnAfterActivate() {
    Layout().saved = true;
}

void CSearchDlg::OnSettingChange() {
    PanelLayout& layout = Layout();
    if (!layout.saved) return;
    const SoftInputPanel panel = CurrentSoftInputPanel();
    // Laid out afresh each time: the panel may change height while up.
    if (!panel.on && !layout.shrunk) return;
    layout.shrunk = panel.on;
    m_autoScroll.ShowWindow(SW_SHOW);
    LayOutList();
}

void CSearchDlg::InitScrollState() {
    if (m_pWindow->InitScrollState())
        m_wordScroll.SetScrollRange(0, static_cast<int>(m_pWindow->ScrollRange()), TRUE);
}

bool CSearchDlg::InitWordList() {
    update();  // the search panel is painted first
    InitScrollState();
    if (m_pWindow->WordCount() == 0) return false;
    const bool ok = PositionOnWord(QStringLiteral("a"));
    m_searchEdit.SetFocus();
    return ok;
}

bool CSearchDlg::PositionOnWord(const QString& word) {
    const CWordWindow::Placement placed = m_pWindow->PositionOnWord(word);
    if (placed.selectRow >= 0) m_wordList.SetCurSel(placed.selectRow);
    if (placed.refilled) m_wordScroll.SetScrollPos(m_pWindow->ScrollPos(), TRUE);
    return placed.ok;
}

void CSearchDlg::UpdatePageRows() {
    const int listHeight = m_wordList.GetWindowRect().height();
    // The second row gives the row height; with fewer rows, the list's font does.
    int rowHeight = m_wordList.GetItemHeight();
    if (m_wordList.GetCount() >= 2) rowHeight = m_wordList.GetItemRect(1).height();
    if (rowHeight == 0) return;
    // A list box shorter than a row still shows one, so that the window
    // always has a first row to keep and move.
    const int selected = m_wordList.GetCurSel();
    if (m_pWindow->SetPageRows(std::max(listHeight / rowHeight, 1)) && selected != LB_ERR)
        m_wordList.SetCurSel(selected);
}

void CSearchDlg::OnVScroll(UINT code, UINT thumb, CScrollBar* bar) {
    HidePopups();
    InitScrollState();
    // While the thumb is dragged the rows follow it at once.
    if (m_pWindow->Scroll(code, thumb) && code == SB_THUMBTRACK) m_wordList.RedrawNow();
    bar->SetScrollPos(m_pWindow->ScrollPos(), TRUE);
}

bool CSearchDlg::eventFilter(QObject* watched, QEvent* event) {
    auto* list = qobject_cast<QListView*>(m_wordList.GetSafeHwnd());
    if (event->type() != QEvent::Wheel || list == nullptr || watched != list->viewport())
        return CPage::eventFilter(watched, event);
    // The wheel over the list turns it as over its scroll bar.
    if (m_wordScroll.GetSafeHwnd() != nullptr)
        QCoreApplication::sendEvent(m_wordScroll.GetSafeHwnd(), event);
    return true;
}

void CSearchDlg::OnArrowKey(bool up) {
    if (Popups().IsVisible()) {
        m_wordList.SetCurSel(-1);
        return;
    }
    m_pWindow->Scroll(up ? SB_LINEUP : SB_LINEDOWN, 0);
    m_wordScroll.SetScrollPos(m_pWindow->ScrollPos(), TRUE);
    m_wordList.SetCurSel(0);
}

BOOL CSearchDlg::PreTranslateMessage(MSG* msg) {
    InitScrollState();
    Popups().NotePointer(*msg);
    // Keys act when they go down. A key-up opens or moves nothing: it may end
    // a press that began in another window, such as the message box, or the
    // other program's window, that the same Return closed.
    if (msg->message != WM_KEYDOWN) return CPage::PreTranslateMessage(msg);
    const WPARAM code = msg->wParam;
    if (code == VK_LEFT || code == VK_UP) OnArrowKey(true);
    if (code == VK_RIGHT || code == VK_DOWN) OnArrowKey(false);
    if (code == VK_RETURN) {
        // With a pop-up list showing, Return picks its selected row.
        if (!PickInShownList()) OnSelectWord();
        return TRUE;
    }
    return CPage::PreTranslateMessage(msg);
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
        word = Words().NearestWord(m_strSearch);
    } else if (m_pWindow->TopIndex() == 0) {
        m_searchEdit.SetFocus();
        return;
    } else {
        word = QStringLiteral("a");
    }
    PositionOnWord(word);
    m_searchEdit.SetFocus();
}

void CSearchDlg::OnEditPaste() {
    if (!ClipboardText().isEmpty()) m_searchEdit.Paste();
}

void CSearchDlg::OnSelectWord() {
    const QString word = m_wordList.GetText(m_wordList.GetCurSel());
    if (word.isEmpty()) return;
    Popups().AddToHistory(word);
    HidePopups();
    if (OpenDefinition(word) == -1) {
        FatalError(this, QStringLiteral("Internal error!! Please restart the application"),
                   QStringLiteral("Bookmarks"));
    }
}

int32_t CSearchDlg::OpenDefinition(const QString& word) {
    HidePopups();
    Popups().RefillLater();
    // A local index: the word list window stays where it is.
    const std::optional<uint32_t> index = Words().HeadwordIndex(word);
    if (!index) return -1;
    const QString headword = Words().HeadwordAt(*index).value_or(QString());
    if (headword.compare(word, Qt::CaseInsensitive) != 0) {
        MessageBox(this, QStringLiteral("Matching word not found on Dictionary."),
                   QStringLiteral("Error"), MB_ICONHAND);
        return 1;
    }
    CDefinitionDlg page(Words().Engine(), nullptr);
    page.Initialise(word, *index);
    m_pDefinition = &page;
    page.DoModal();
    // A page resized or maximised there stays so here.
    PlaceOver(&page);
    m_pDefinition = nullptr;
    return 0;
}

void CSearchDlg::OpenWord(const QString& word) {
    HidePopups();
    m_searchEdit.SetWindowText(word);
    // With Auto Scroll off the list waits for GO.
    if (!m_bAutoScroll) OnGo();
    QWidget* top = QApplication::activeModalWidget();
    if (m_pDefinition != nullptr && top == m_pDefinition) {
        const QString headword = m_wordList.GetText(m_wordList.GetCurSel());
        if (!headword.isEmpty()) m_pDefinition->FollowLink(headword);
    } else if (top == this) {
        OnSelectWord();
    }
}

void CSearchDlg::OnBookmarks() {
    Popups().ToggleBookmarks(QString());
}

void CSearchDlg::OnSelectBookmark() {
    const std::optional<CPopupLists::Pick> pick = Popups().TakeBookmarkPick();
    if (!pick) return;
    if (pick->kind == PopupRow::kClearAll) Popups().ClearBookmarks();
    if (pick->kind != PopupRow::kWord) return;
    if (!pick->word.isEmpty()) Popups().AddToHistory(pick->word);
    if (pick->word.isEmpty() || OpenDefinition(pick->word) == -1)
        FatalError(this, kBookmarksError, kErrorMessageCaption);
}

void CSearchDlg::OnSelectHistory() {
    const std::optional<CPopupLists::Pick> pick = Popups().TakeHistoryPick();
    if (!pick) return;
    if (pick->kind == PopupRow::kClearAll) Popups().ClearHistory();
    if (pick->kind != PopupRow::kWord) return;
    if (pick->word.isEmpty() || OpenDefinition(pick->word) == -1)
        FatalError(this, kHistoryError, kErrorMessageCaption);
}

void CSearchDlg::OnCancel() {
    // Escape never ends the program: the page is the main window, which the
    // close buttons and Quit end.
    if (!Popups().CloseOnEscape()) m_searchEdit.SetSel(0, -1);
    m_searchEdit.SetFocus();
}
