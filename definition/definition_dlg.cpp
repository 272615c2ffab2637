#include "definition/definition_dlg.h"

#include <QColor>
#include <QFont>
#include <QMenu>
#include <QPainter>
#include <QToolBar>
#include <algorithm>

#include "platform/clipboard.h"
#include "platform/messagebox.h"
#include "platform/shell.h"
#include "platform/text_zoom.h"
#include "res/resource.h"

using namespace platform;

namespace {

const QString kFirstWordMessage = QStringLiteral("This is firstword on Dictionary");
const QString kLastWordMessage = QStringLiteral("This is last word on Dictionary");
const QString kCaption = QStringLiteral("Definition");
const QString kInternalError = QStringLiteral("Internal error!! Please restart the application");
const QString kMessageCaption = QStringLiteral("Message");
const QString kCopyCaption = QStringLiteral("Copy");
const QString kNotFound = QStringLiteral("Matching word not found on Dictionary.");
const QString kNotFoundCaption = QStringLiteral("Error");
// A link between entries: "entry:" and the headword it leads to.
const QString kEntryLink = QStringLiteral("entry:");
// The copy menu opens this far in from the page's right edge and above its bottom line.
constexpr int kCopyMenuInset = 40;
constexpr int kCopyMenuRaise = 11;
// Shown in place of an entry the engine cannot print: its block is damaged, or
// the dictionary file was changed since the program opened it.
const QString kDamagedEntry =
    QStringLiteral("This entry cannot be read: the dictionary file is damaged.");
// The title band's height when the page did not record one.
constexpr int kDefaultTitleHeight = 26;
// The title band's yellow (0x000FFFFF: red 255, green 255, blue 15).
constexpr QColor kTitleBandColour(255, 255, 15);
// The headword's font in the title band: a 24-pixel line, about a fifth of
// it leading.
constexpr int kTitleFontPixels = 24 * 4 / 5;

// How the soft input panel handling sees the pane, kept for the whole run and
// shared by every opening of the page: it starts at the first activation of
// the first page. The pane's full size is the page's, less the title band and
// the command bar.
struct PaneLayout {
    bool captured = false;       // a page has been activated
    bool shortened = false;      // shortened for the panel, or to be restored
    bool justActivated = false;  // activated, and no setting change since
    bool firstTime = true;       // cleared at the capture
};

PaneLayout& Layout() {
    static PaneLayout layout;
    return layout;
}

// The pointer position of a pointer message, in its window's coordinates.
QPoint PointFromLParam(LPARAM lParam) {
    return QPoint(static_cast<int16_t>(lParam & 0xFFFF),
                  static_cast<int16_t>((lParam >> 16) & 0xFFFF));
}

// A message for one of the page's list boxes: the two pop-up lists.
bool IsPopupListMessage(const MSG& msg) {
    return dynamic_cast<CListBoxWidget*>(msg.hwnd) != nullptr;
}

bool IsArrowKey(WPARAM key) {
    return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
}

}  // namespace

CDefinitionDlg::CDefinitionDlg(LXV_HANDLE engine, QWidget* parent)
    : CPage(IDD_DEFINITION, engine, true, parent) {}

CDefinitionDlg::~CDefinitionDlg() = default;

void CDefinitionDlg::Initialise(const QString& word, uint32_t index) {
    m_strWord = word;
    m_nIndex = index;
}

void CDefinitionDlg::BindMessageMap() {
    CPage::BindMessageMap();
    BindCommand(ID_LOOKUP, [this] { OnLookup(); });
    BindCommand(ID_COPY, [this] { OnCopy(); });
    BindCommand(ID_COPY_WORD, [this] { OnCopyWord(); });
    BindCommand(ID_COPY_DEFINITION, [this] { OnCopyDefinition(); });
}

BOOL CDefinitionDlg::OnInitDialog() {
    CPage::OnInitDialog();
    CreateCommandBar(IDR_DEFINITION_TOOLBAR, {IDS_TIP_BOOKMARK, IDS_TIP_HISTORY, IDS_TIP_COPY,
                                              IDS_TIP_LOOKUP, IDS_TIP_HELP});

    // The page has no parent window here: the area it stands for is its own
    // template area, above the command bar that the platform adds below it.
    const QToolBar* bar = findChild<QToolBar*>();
    const int height = bar != nullptr ? bar->y() : this->height();
    const QWidget* title = GetDlgItem(IDC_TITLE);
    m_nTitleHeight = title != nullptr ? title->height() : 0;
    m_rcPane = QRect(0, m_nTitleHeight, width(), height - m_nTitleHeight);
    m_pPane = std::make_unique<CHtmlPane>(this, m_rcPane);
    m_pPane->Create();
    m_hPaneWnd = m_pPane->View();
    for (const int id : {IDC_TITLE, IDC_PREV_ARROW, IDC_NEXT_ARROW}) {
        if (const QWidget* control = GetDlgItem(id)) m_templatePlaces[id] = control->geometry();
    }
    m_pPane->View()->SetHotspotHandler([this](const NMHTMLVIEW& notify) { OnHotspot(notify); });

    ShowWord(m_strWord);
    ShowEntry(Words().RenderEntry(m_strWord, true));
    m_visited.Visit(m_strWord);
    m_arrows.Attach(*this, kTitleBandColour);
    // The page opens exactly over the search page, as a page of the same
    // window would, with its size and maximised state.
    PlaceOver(Opener());
    LayOutPage();
    return TRUE;
}

QRect CDefinitionDlg::PanePlace() const {
    const QSize grow = Growth();
    const PaneLayout& layout = Layout();
    const int shortening =
        layout.captured && layout.shortened ? CurrentSoftInputPanel().Height() : 0;
    return QRect(0, m_nTitleHeight, m_rcPane.width() + grow.width(),
                 std::max(m_rcPane.height() + grow.height() - shortening, 0));
}

void CDefinitionDlg::LayOutPage() {
    if (m_pPane == nullptr) return;
    // The title band spans the page and its arrows stand at its right end.
    const int wider = Growth().width();
    for (const auto& [id, place] : m_templatePlaces) {
        QWidget* control = GetDlgItem(id);
        if (id == IDC_TITLE) {
            control->resize(place.width() + wider, place.height());
        } else {
            control->move(place.topLeft() + QPoint(wider, 0));
        }
    }
    m_arrows.UpdatePlaces();
    m_pPane->MoveTo(PanePlace());
}

void CDefinitionDlg::OnSize() {
    CPage::OnSize();
    LayOutPage();
}

void CDefinitionDlg::OnTextZoomChange() {
    if (m_pPane != nullptr) m_pPane->SetTextZoom(TextZoom());
}

void CDefinitionDlg::ShowWord(const QString& word) {
    if (word.isEmpty()) return;
    m_strWord = word;
    // The pane and the command bar cover the rest of the page's surface: the
    // title band is all of it that shows.
    const QWidget* title = GetDlgItem(IDC_TITLE);
    repaint(0, 0, width(), title != nullptr ? title->height() : height());
}

void CDefinitionDlg::ShowEntry(const QString& text) {
    // Every word shown here is a headword, so an empty rendering is an entry
    // that could not be read: say so rather than leave the pane blank or
    // showing the previous word's entry under the new title.
    m_strHtml = text.isEmpty() ? kDamagedEntry : text;
    m_pPane->SetHtml(m_strHtml);
    if (m_hPaneWnd != nullptr) repaint(m_hPaneWnd->geometry());
}

void CDefinitionDlg::ShowWordAndEntry(const QString& word) {
    const QString html = Words().RenderEntry(word, true);
    ShowWord(word);
    ShowEntry(html);
}

bool CDefinitionDlg::StepWord(bool forward) {
    if (m_nWordCount == 0) m_nWordCount = Words().WordCount();
    HidePopups();
    // An engine that reports no headwords leaves nothing to step to; the index
    // must not wrap round to the largest number.
    if (m_nWordCount == 0) return false;
    if (forward) {
        if (m_nIndex + 1 >= m_nWordCount) {
            m_nIndex = m_nWordCount - 1;
            return false;
        }
        ++m_nIndex;
    } else {
        if (m_nIndex == 0) return false;
        --m_nIndex;
    }
    m_strWord = Words().HeadwordAt(m_nIndex).value_or(QString());
    ShowWordAndEntry(m_strWord);
    Popups().AddToHistory(m_strWord);
    m_visited.Visit(m_strWord);
    return true;
}

bool CDefinitionDlg::GoBackOrForward(bool forward) {
    HidePopups();
    const std::optional<QString> word = forward ? m_visited.Forward() : m_visited.Back();
    if (!word) return false;
    m_strWord = *word;
    ShowWordAndEntry(m_strWord);
    Popups().AddToHistory(m_strWord);
    UpdateIndex();
    return true;
}

void CDefinitionDlg::StepAndReport(bool forward) {
    StepWord(forward);
    if (!forward && m_nIndex == 0) {
        MessageBox(this, kFirstWordMessage, kCaption, MB_ICONINFORMATION | MB_OK);
    }
    if (forward && m_nIndex == m_nWordCount - 1) {
        MessageBox(this, kLastWordMessage, kCaption, MB_ICONINFORMATION | MB_OK);
    }
}

void CDefinitionDlg::FocusEntry() {
    if (m_hPaneWnd != nullptr && !Popups().IsVisible()) m_hPaneWnd->setFocus();
}

void CDefinitionDlg::GiveFocusBack() {
    FocusEntry();
}

void CDefinitionDlg::OnModalClosed() {
    FocusEntry();
}

void CDefinitionDlg::OnPaint(QPainter& painter) {
    PaintTitle(painter);
}

void CDefinitionDlg::PaintTitle(QPainter& painter) {
    const QWidget* title = GetDlgItem(IDC_TITLE);
    if (title == nullptr) return;
    const int bandHeight = title->height();
    painter.fillRect(QRect(0, 0, width(), bandHeight), kTitleBandColour);
    QFont font;
    font.setPixelSize(kTitleFontPixels);
    painter.setFont(font);
    // Black on the yellow band whatever the style's or the desktop's colours.
    painter.setPen(Qt::black);
    painter.drawText(QRect(QPoint(2, 1), QPoint(title->width() - 1, bandHeight - 1)),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, m_strWord);
}

void CDefinitionDlg::OnArrowKey(bool forward) {
    const CTitleArrows::Arrow arrow = forward ? CTitleArrows::kNext : CTitleArrows::kPrevious;
    m_arrows.Invert(arrow);
    StepAndReport(forward);
    m_arrows.Invert(arrow);
}

BOOL CDefinitionDlg::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_LBUTTONUP || msg->message == WM_LBUTTONDOWN ||
        msg->message == WM_MOUSEMOVE) {
        // The arrows' places are in the page's coordinates: a desktop window
        // can be moved, so the pointer is compared there.
        const QPoint point = mapFromGlobal(msg->hwnd->mapToGlobal(PointFromLParam(msg->lParam)));
        m_arrows.OnPointer(msg->message, point, [this](CTitleArrows::Arrow arrow) {
            StepAndReport(arrow == CTitleArrows::kNext);
        });
        Popups().NotePointer(*msg);
        return CPage::PreTranslateMessage(msg);
    }
    // Keys act when they go down. A key-up steps, pages or picks nothing: it
    // may end a press that began in another window, such as the message box
    // that the same Return closed.
    if (msg->message == WM_SYSKEYDOWN && !IsPopupListMessage(*msg) &&
        (msg->wParam == VK_LEFT || msg->wParam == VK_RIGHT)) {
        GoBackOrForward(msg->wParam == VK_RIGHT);
        return TRUE;
    }
    const bool down = msg->message == WM_KEYDOWN;
    switch (msg->wParam) {
        case VK_LEFT:
            if (down) OnArrowKey(false);
            break;
        case VK_RIGHT:
            if (down) OnArrowKey(true);
            break;
        // Up and Down page through the entry, except in a pop-up list, where
        // they move its highlight and the entry stays where it is.
        case VK_UP:
            if (down && !IsPopupListMessage(*msg)) m_pPane->PageUp();
            break;
        case VK_DOWN:
            if (down && !IsPopupListMessage(*msg)) m_pPane->PageDown();
            break;
        case VK_RETURN:
            if (down && PickInShownList()) return TRUE;
            // On the entry, the view follows the link that Tab moved to.
            if (!Popups().IsVisible() && msg->hwnd == m_hPaneWnd)
                return CPage::PreTranslateMessage(msg);
            return TRUE;
        default:
            break;
    }
    // A pop-up list moves its highlight with the arrow keys; anywhere else the
    // page has used them, and the pane must not scroll a second time.
    if (IsArrowKey(msg->wParam) && !IsPopupListMessage(*msg)) return TRUE;
    return CPage::PreTranslateMessage(msg);
}

void CDefinitionDlg::OnCancel() {
    if (Popups().CloseOnEscape()) {
        FocusEntry();
        return;
    }
    CPage::OnCancel();
}

void CDefinitionDlg::OnLookup() {
    // The view gives its selection only through the clipboard: keep what the
    // clipboard held and put it back afterwards.
    const QString saved = ClipboardText();
    ClearClipboard();
    m_pPane->CopySelection();
    const QString selection = ClipboardText();
    if (!saved.isEmpty()) CopyTextToClipboard(saved);

    const QString word = ExtractLookupWord(selection, QStringLiteral(" "));
    if (word.isEmpty()) {
        MessageBox(this, QStringLiteral("Please select a word to look up."), kMessageCaption,
                   MB_ICONEXCLAMATION | MB_OK);
        return;
    }
    const QString nearest = Words().NearestWord(word);
    if (nearest.isEmpty()) FatalError(this, kInternalError, kErrorMessageCaption);
    if (!AcceptNearest(word, nearest)) return;
    const QString html = Words().RenderEntry(nearest, true);
    if (html.isEmpty()) FatalError(this, kInternalError, kErrorMessageCaption);
    ShowFoundWord(nearest, html);
}

bool CDefinitionDlg::AcceptNearest(const QString& word, const QString& nearest) {
    // The look-up word is lower case: a headword that differs from it only in
    // letter case ("Quarrelsome") is the word itself, and is shown unasked.
    if (nearest.compare(word, Qt::CaseInsensitive) == 0) return true;
    const QString question =
        QStringLiteral(
            "Word '%1' not found. \r\n \r\nDo you want to see the nearest word, '%2', instead")
            .arg(word, nearest);
    return MessageBox(this, question, kMessageCaption, MB_ICONQUESTION | MB_OKCANCEL) == IDOK;
}

void CDefinitionDlg::ShowFoundWord(const QString& headword, const QString& html) {
    m_strWord = headword;
    m_strHtml = html;
    HidePopups();
    ShowWord(m_strWord);
    ShowEntry(m_strHtml);
    m_nIndex = Words().NearestIndex(m_strWord).value_or(0);
    Popups().AddToHistory(m_strWord);
    m_visited.Visit(m_strWord);
}

void CDefinitionDlg::OnHotspot(const NMHTMLVIEW& notify) {
    if (notify.szTarget.startsWith(kEntryLink)) FollowLink(notify.szTarget.mid(kEntryLink.size()));
}

void CDefinitionDlg::FollowLink(const QString& target) {
    HidePopups();
    // The link comes from the dictionary file, which may be damaged or not
    // the one its links were written for: a target that leads nowhere is
    // told, not taken for a broken engine.
    const QString nearest = Words().NearestWord(target);
    if (nearest.isEmpty()) {
        MessageBox(this, kNotFound, kNotFoundCaption, MB_ICONHAND);
        return;
    }
    if (!AcceptNearest(target, nearest)) return;
    ShowFoundWord(nearest, Words().RenderEntry(nearest, true));
}

void CDefinitionDlg::OnCopy() {
    const SoftInputPanel panel = CurrentSoftInputPanel();
    const int bottom = height();
    const QWidget* parent = parentWidget();
    const int parentBottom = parent != nullptr ? parent->height() : 0;
    int line = bottom;
    if (panel.on) {
        line = bottom + panel.Height();
    } else if (parentBottom > bottom) {
        line = parentBottom;
    }
    std::unique_ptr<QMenu> menu(LoadCommandMenu(IDR_COPY_MENU, this, this));
    if (menu != nullptr) {
        // Right-aligned: the menu's right edge is at the anchor.
        const QPoint anchor = mapToGlobal(QPoint(width() - kCopyMenuInset, line - kCopyMenuRaise));
        menu->exec(QPoint(anchor.x() - menu->sizeHint().width(), anchor.y()));
    }
    HidePopups();
}

void CDefinitionDlg::OnCopyWord() {
    if (m_pPane->CopySelection()) {
        MessageBox(this, QStringLiteral("Word '%1' copied").arg(ClipboardText()), kCopyCaption,
                   MB_ICONINFORMATION | MB_OK);
    } else {
        MessageBox(this, QStringLiteral("Please select a word to copy"), kCopyCaption,
                   MB_ICONINFORMATION | MB_OK);
    }
}

void CDefinitionDlg::OnCopyDefinition() {
    const QString text = Words().RenderEntry(m_strWord, false);
    if (text.isEmpty()) FatalError(this, kInternalError, kCaption);
    if (CopyTextToClipboard(text)) {
        MessageBox(this, QStringLiteral("Definition for '%1' copied").arg(m_strWord), kCopyCaption,
                   MB_ICONINFORMATION | MB_OK);
    } else {
        MessageBox(this, QStringLiteral("Error in accessing clipboard!! Try again later"),
                   kCopyCaption, MB_ICONINFORMATION | MB_OK);
    }
}

void CDefinitionDlg::OnBookmarks() {
    Popups().ToggleBookmarks(m_strWord);
}

bool CDefinitionDlg::UpdateIndex() {
    const std::optional<uint32_t> index = Words().HeadwordIndex(m_strWord);
    m_nIndex = index.value_or(0);
    return index.has_value();
}

void CDefinitionDlg::ShowPickedWord(const QString& word, const QString& html) {
    m_strWord = word;
    ShowWord(word);
    ShowEntry(html);
    Popups().AddToHistory(word);
    m_visited.Visit(word);
}

bool CDefinitionDlg::MarkShownWord(PopupRow row) {
    if (m_strWord.isEmpty()) return false;
    if (row == PopupRow::kUnmark) {
        Popups().UnmarkWord(m_strWord);
    } else {
        Popups().MarkWord(m_strWord);
    }
    return true;
}

CDefinitionDlg::WordPick CDefinitionDlg::ShowBookmarkedWord(const QString& word) {
    if (word.isEmpty()) return WordPick::kFailed;
    if (word.compare(m_strWord, Qt::CaseInsensitive) == 0) return WordPick::kUnchanged;
    const QString html = Words().RenderEntry(word, true);
    if (html.size() < 2) {
        MessageBox(this, kNotFound, kNotFoundCaption, MB_ICONHAND);
        return WordPick::kUnchanged;
    }
    ShowPickedWord(word, html);
    return WordPick::kShown;
}

void CDefinitionDlg::OnSelectBookmark() {
    const std::optional<CPopupLists::Pick> pick = Popups().TakeBookmarkPick();
    if (!pick) return;
    bool ok = true;
    switch (pick->kind) {
        case PopupRow::kMark:
        case PopupRow::kUnmark:
            ok = MarkShownWord(pick->kind);
            break;
        case PopupRow::kClearAll:
            Popups().ClearBookmarks();
            break;
        case PopupRow::kWord: {
            const WordPick picked = ShowBookmarkedWord(pick->word);
            if (picked == WordPick::kUnchanged) return;
            ok = picked == WordPick::kShown;
            break;
        }
        default:
            return;
    }
    // Whatever the row did, the arrows go on from the headword shown.
    if (!ok || !UpdateIndex()) FatalError(this, kBookmarksError, kErrorMessageCaption);
}

void CDefinitionDlg::OnSelectHistory() {
    const std::optional<CPopupLists::Pick> pick = Popups().TakeHistoryPick();
    if (!pick) return;
    if (pick->kind == PopupRow::kClearAll) Popups().ClearHistory();
    if (pick->kind != PopupRow::kWord) return;
    if (pick->word.compare(m_strWord, Qt::CaseInsensitive) == 0) return;
    if (pick->word.isEmpty()) FatalError(this, kHistoryError, QString());
    ShowPickedWord(pick->word, Words().RenderEntry(pick->word, true));
    if (!UpdateIndex()) FatalError(this, kHistoryError, kErrorMessageCaption);
}

void CDefinitionDlg::OnActivate(BOOL active) {
    // The keys go to the entry whenever the user comes back to the page.
    if (active) FocusEntry();
    // Posted, so that the pane is measured once the activation has been handled.
    QMetaObject::invokeMethod(
        this, [this] { OnAfterActivate(); }, Qt::QueuedConnection);
    Layout().justActivated = true;
}

void CDefinitionDlg::OnAfterActivate() {
    PaneLayout& layout = Layout();
    if (layout.captured || m_hPaneWnd == nullptr) return;
    if (CurrentSoftInputPanel().on && layout.firstTime) layout.shortened = true;
    layout.firstTime = false;
    layout.captured = true;
}

void CDefinitionDlg::OnSettingChange() {
    PaneLayout& layout = Layout();
    // A page not yet set up, or already closed, has no pane to lay out.
    if (m_hPaneWnd == nullptr) return;
    const SoftInputPanel panel = CurrentSoftInputPanel();
    if (layout.justActivated && !panel.on) layout.shortened = true;
    layout.justActivated = false;
    // Before the first activation the pane keeps its full size.
    if (!layout.captured || (!panel.on && !layout.shortened)) return;
    if (m_nTitleHeight == 0) m_nTitleHeight = kDefaultTitleHeight;
    layout.shortened = panel.on;
    m_pPane->MoveTo(PanePlace());
}

void CDefinitionDlg::OnDestroy() {
    CPage::OnDestroy();
    if (m_pPane == nullptr) return;
    m_pPane->Destroy();
    m_pPane.reset();
}
