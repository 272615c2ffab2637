#include "definition/definition_dlg.h"

#include <QColor>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolBar>
#include <algorithm>

#include "html/about_dlg.h"
#include "html/help_dlg.h"
#include "platform/files.h"
#include "platform/glue.h"
#include "platform/messagebox.h"
#include "platform/resources.h"
#include "platform/shell.h"
#include "res/resource.h"

namespace {

const QString kFirstWordMessage = QStringLiteral("This is firstword on Dictionary");
const QString kLastWordMessage = QStringLiteral("This is last word on Dictionary");
const QString kCaption = QStringLiteral("Definition");
const QString kInternalError = QStringLiteral("Internal error!! Please restart the application");
const QString kMessageCaption = QStringLiteral("Message");
const QString kErrorCaption = kErrorMessageCaption;
const QString kCopyCaption = QStringLiteral("Copy");
// The copy menu opens this far in from the page's right edge and above its bottom line.
constexpr int kCopyMenuInset = 40;
constexpr int kCopyMenuRaise = 11;
const QString kBookmarksCaption = QStringLiteral("Bookmarks");
const QString kHistoryCaption = QStringLiteral("History");
const QString kNotFound = QStringLiteral("Matching word not found on Dictionary.");
// Shown in place of an entry the engine cannot print: its block is damaged, or
// the dictionary file was changed since the program opened it.
const QString kDamagedEntry =
    QStringLiteral("This entry cannot be read: the dictionary file is damaged.");
// The title band's height when the page did not record one.
constexpr int kDefaultTitleHeight = 26;

// How the soft input panel handling sees the pane, kept for the whole run and
// shared by every opening of the page: the pane's full size is taken once, at
// the first activation of the first page, and every later opening is laid out
// from it.
struct PaneLayout {
    QRect full;                  // the pane's screen rectangle as first captured
    bool captured = false;       // `full` holds it
    bool shortened = false;      // shortened for the panel, or to be restored
    bool justActivated = false;  // activated, and no setting change since
    bool firstTime = true;       // cleared at the capture
};

PaneLayout& Layout() {
    static PaneLayout layout;
    return layout;
}

SIPINFO ReadSoftInputPanel() {
    SIPINFO sip{};
    sip.cbSize = sizeof(SIPINFO);
    SHSipInfo(SPI_GETSIPINFO, 0, &sip, 0);
    return sip;
}

QColor ColourFromColorref(uint32_t colorref) {
    return QColor(static_cast<int>(colorref & 0xFF), static_cast<int>((colorref >> 8) & 0xFF),
                  static_cast<int>((colorref >> 16) & 0xFF));
}

// Both edges count as inside, as the handheld's hit test had it.
bool IsInside(const QRect& rect, const QPoint& point) {
    return point.x() >= rect.left() && point.x() <= rect.left() + rect.width() &&
           point.y() >= rect.top() && point.y() <= rect.top() + rect.height();
}

// The pointer position of a pointer message, in its window's coordinates.
QPoint PointFromLParam(LPARAM lParam) {
    return QPoint(static_cast<int16_t>(lParam & 0xFFFF),
                  static_cast<int16_t>((lParam >> 16) & 0xFFFF));
}

// A message for one of the page's list boxes: the two pop-up lists.
bool IsPopupListMessage(const MSG& msg) {
    return dynamic_cast<ListBoxWidget*>(msg.hwnd) != nullptr;
}

bool IsArrowKey(WPARAM key) {
    return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
}

}  // namespace

CDefinitionDlg::CDefinitionDlg(QWidget* parent) : CDialog(IDD_DEFINITION, parent) {}

CDefinitionDlg::~CDefinitionDlg() = default;

void CDefinitionDlg::Initialise(const QString& word, uint32_t index) {
    m_strWord = word;
    m_nIndex = index;
    m_nWordCount = 0;
    m_bHistoryShown = false;
    m_bBookmarksShown = false;
    m_bBookmarksNeedFill = true;
    m_bHistoryNeedsFill = true;
    m_lfTitle = LOGFONT{};
    m_lfTitle.lfHeight = kTitleFontHeight;
    m_bNextPressed = false;
    m_bPrevPressed = false;
    m_bArrowInverted = false;
    m_bPopupTap = FALSE;
}

void CDefinitionDlg::BindMessageMap() {
    BindCommand(ID_LOOKUP, [this] { OnLookup(); });
    BindCommand(ID_COPY, [this] { OnCopy(); });
    BindCommand(ID_COPY_WORD, [this] { OnCopyWord(); });
    BindCommand(ID_COPY_DEFINITION, [this] { OnCopyDefinition(); });
    BindCommand(ID_BOOKMARKS, [this] { OnBookmarks(); });
    BindCommand(ID_HISTORY, [this] { OnHistory(); });
    BindCommand(ID_HELP, [this] { OnHelp(); });
    BindCommand(ID_APP_ABOUT, [this] { OnAppAbout(); });
    BindCommand(ID_APP_EXIT, [] { CDialog::CloseAllPages(); });
    BindListSelChange(IDC_BOOKMARK_LIST, [this] { OnSelectBookmark(); });
    BindListSelChange(IDC_HISTORY_LIST, [this] { OnSelectHistory(); });
    BindListKillFocus(IDC_BOOKMARK_LIST, [this] { OnKillFocusPopup(); });
    BindListKillFocus(IDC_HISTORY_LIST, [this] { OnKillFocusPopup(); });
}

void CDefinitionDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_BOOKMARK_LIST, m_bookmarkList);
    DDX_Control(dx, IDC_HISTORY_LIST, m_historyList);
}

BOOL CDefinitionDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    BuildCommandBar();
    // The page opens exactly over the search page, as a page of the same
    // window would.
    PlaceOver(Opener());

    // The page has no parent window here: the area it stands for is its own
    // template area, above the command bar that the platform adds below it.
    const int width = this->width();
    const QToolBar* bar = m_commandBar.GetSafeHwnd();
    const int height = bar != nullptr ? bar->y() : this->height();
    const QWidget* title = GetDlgItem(IDC_TITLE);
    m_nTitleHeight = title != nullptr ? title->height() : 0;
    m_rcPane = QRect(0, m_nTitleHeight, width, height - m_nTitleHeight);

    m_pPane = std::make_unique<CHtmlPane>(this, m_rcPane);
    m_pPane->Create();
    m_hPaneWnd = m_pPane->m_hwndHtml.data();

    ShowWord(m_strWord);
    ShowEntry(m_words.RenderEntry(m_strWord, true));

    const std::array<int, 2> arrows = {IDC_PREV_ARROW, IDC_NEXT_ARROW};
    for (size_t i = 0; i < arrows.size(); ++i) {
        if (const auto* label = qobject_cast<QLabel*>(GetDlgItem(arrows[i]))) {
            m_arrowPictures[i] = label->pixmap();
        }
    }
    if (const QWidget* arrow = GetDlgItem(IDC_NEXT_ARROW)) m_rcNextArrow = arrow->geometry();
    if (const QWidget* arrow = GetDlgItem(IDC_PREV_ARROW)) m_rcPrevArrow = arrow->geometry();
    return TRUE;
}

void CDefinitionDlg::BuildCommandBar() {
    // Slot 0, the Tools menu button, keeps the tip that names the menu.
    static constexpr std::array<UINT, 5> kTipIds = {IDS_TIP_BOOKMARK, IDS_TIP_HISTORY, IDS_TIP_COPY,
                                                    IDS_TIP_LOOKUP, IDS_TIP_HELP};
    for (size_t i = 0; i < kTipIds.size(); ++i) LoadString(m_tooltips[i + 1], kTipIds[i]);
    if (!m_commandBar.Create(this, CBRS_TOP, AFX_IDW_TOOLBAR)) return;
    if (!m_commandBar.InsertMenuBar(IDR_TOOLS_MENU)) return;
    if (!m_commandBar.AddAdornments(0)) return;
    if (!m_commandBar.LoadToolBar(IDR_DEFINITION_TOOLBAR)) return;
    if (m_commandBar.SetToolTips(static_cast<int>(m_tooltips.size()), m_tooltips.data()) == 0)
        return;
    m_commandBar.SetBarStyle(m_commandBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY |
                             CBRS_SIZE_FIXED);
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
    const QString html = m_words.RenderEntry(word, true);
    ShowWord(word);
    ShowEntry(html);
}

bool CDefinitionDlg::StepWord(bool forward) {
    if (m_nWordCount == 0) m_nWordCount = lxv_wordlist_count(m_hEngine);
    HidePopups();
    m_bOk = false;
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
    m_strWord = NarrowToWide(lxv_wordlist_at(m_hEngine, m_nIndex));
    ShowWordAndEntry(m_strWord);
    m_words.AddWordToList(m_strWord, m_historyList);
    m_bOk = true;
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

void CDefinitionDlg::HidePopups() {
    // A list that goes with the keyboard focus hands it to the entry.
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
    if (hadFocus) FocusEntry();
}

void CDefinitionDlg::FocusEntry() {
    if (m_hPaneWnd != nullptr && !IsListVisible(IDC_BOOKMARK_LIST) &&
        !IsListVisible(IDC_HISTORY_LIST)) {
        m_hPaneWnd->setFocus();
    }
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
    painter.fillRect(QRect(0, 0, width(), bandHeight), ColourFromColorref(kTitleBandColour));
    m_titleFont.CreateFontIndirect(&m_lfTitle);
    const QFont previous = painter.font();
    painter.setFont(FontOf(m_titleFont.GetSafeHandle()));
    painter.drawText(QRect(QPoint(2, 1), QPoint(title->width() - 1, bandHeight - 1)),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, m_strWord);
    painter.setFont(previous);
    m_titleFont.DeleteObject();
}

void CDefinitionDlg::InvertArrow(int id) {
    auto* label = qobject_cast<QLabel*>(GetDlgItem(id));
    if (label == nullptr) return;
    const size_t i = id == IDC_PREV_ARROW ? 0 : 1;
    m_arrowShownInverted[i] = !m_arrowShownInverted[i];
    if (!m_arrowShownInverted[i]) {
        label->setPixmap(m_arrowPictures[i]);
        return;
    }
    // The arrow as it shows on the title band, every pixel inverted.
    QImage image(label->size(), QImage::Format_RGB32);
    image.fill(ColourFromColorref(kTitleBandColour));
    {
        QPainter painter(&image);
        label->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    }
    image.invertPixels();
    label->setPixmap(QPixmap::fromImage(image));
}

void CDefinitionDlg::OnPointer(const MSG& msg) {
    m_ptPointer = msg.hwnd->mapToGlobal(PointFromLParam(msg.lParam));
    const QPoint point = mapFromGlobal(m_ptPointer);
    const bool inPrev = IsInside(m_rcPrevArrow, point);
    const bool inNext = IsInside(m_rcNextArrow, point);
    if (msg.message == WM_LBUTTONUP) {
        if (inPrev && m_bPrevPressed) StepAndReport(false);
        if (inNext && m_bNextPressed) StepAndReport(true);
        if (m_bPrevPressed) {
            m_bPrevPressed = false;
            if (m_bArrowInverted) {
                InvertArrow(IDC_PREV_ARROW);
                m_bArrowInverted = false;
            }
        }
        if (m_bNextPressed) {
            m_bNextPressed = false;
            if (m_bArrowInverted) {
                InvertArrow(IDC_NEXT_ARROW);
                m_bArrowInverted = false;
            }
        }
    } else if (msg.message == WM_LBUTTONDOWN) {
        m_bPrevPressed = inPrev;
        if (inPrev) {
            InvertArrow(IDC_PREV_ARROW);
            m_bArrowInverted = true;
        }
        m_bNextPressed = inNext;
        if (inNext) {
            InvertArrow(IDC_NEXT_ARROW);
            m_bArrowInverted = true;
        }
    } else if (msg.message == WM_MOUSEMOVE) {
        const std::array<std::pair<int, bool>, 2> arrows = {
            {{IDC_PREV_ARROW, inPrev}, {IDC_NEXT_ARROW, inNext}}};
        for (const auto& [id, inside] : arrows) {
            const bool pressed = id == IDC_PREV_ARROW ? m_bPrevPressed : m_bNextPressed;
            if (!pressed) continue;
            if (!inside && m_bArrowInverted) {
                InvertArrow(id);
                m_bArrowInverted = false;
            } else if (inside && !m_bArrowInverted) {
                InvertArrow(id);
                m_bArrowInverted = true;
            }
        }
    }
}

void CDefinitionDlg::OnArrowKey(int arrowId, bool forward) {
    InvertArrow(arrowId);
    StepAndReport(forward);
    InvertArrow(arrowId);
}

bool CDefinitionDlg::IsListVisible(int id) const {
    const QWidget* list = GetDlgItem(id);
    return list != nullptr && list->isVisible();
}

void CDefinitionDlg::PickInList(int id) {
    auto* list = dynamic_cast<ListBoxWidget*>(GetDlgItem(id));
    if (list != nullptr && list->onUserSelect) list->onUserSelect();
}

BOOL CDefinitionDlg::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_LBUTTONUP || msg->message == WM_LBUTTONDOWN ||
        msg->message == WM_MOUSEMOVE) {
        OnPointer(*msg);
        if (msg->wParam == MK_LBUTTON)
            m_bPopupTap = IsListVisible(IDC_BOOKMARK_LIST) || IsListVisible(IDC_HISTORY_LIST);
        return CDialog::PreTranslateMessage(msg);
    }
    // Keys act when they go down. A key-up steps, pages or picks nothing: it
    // may end a press that began in another window, such as the message box
    // that the same Return closed.
    const bool down = msg->message == WM_KEYDOWN;
    switch (msg->wParam) {
        case VK_LEFT:
            if (down) OnArrowKey(IDC_PREV_ARROW, false);
            break;
        case VK_RIGHT:
            if (down) OnArrowKey(IDC_NEXT_ARROW, true);
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
            if (down) {
                m_bPopupTap = TRUE;
                if (IsListVisible(IDC_BOOKMARK_LIST)) {
                    PickInList(IDC_BOOKMARK_LIST);
                } else if (IsListVisible(IDC_HISTORY_LIST)) {
                    PickInList(IDC_HISTORY_LIST);
                }
                m_bPopupTap = FALSE;
            }
            return TRUE;
        default:
            break;
    }
    // A pop-up list moves its highlight with the arrow keys; anywhere else the
    // page has used them, and the pane must not scroll a second time.
    if (IsArrowKey(msg->wParam) && !IsPopupListMessage(*msg)) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

void CDefinitionDlg::mouseReleaseEvent(QMouseEvent* event) {
    HidePopups();
    CDialog::mouseReleaseEvent(event);
}

void CDefinitionDlg::OnCancel() {
    if (IsListVisible(IDC_BOOKMARK_LIST) || IsListVisible(IDC_HISTORY_LIST)) {
        HidePopups();
        FocusEntry();
        return;
    }
    CDialog::OnCancel();
}

void CDefinitionDlg::OnLookup() {
    // The view gives its selection only through the clipboard: keep what the
    // clipboard held and put it back afterwards.
    const QString saved = m_words.GetClipboardText();
    m_words.ClearClipboard();
    m_bOk = true;
    m_pPane->CopySelection();
    const QString selection = m_words.GetClipboardText();
    if (!saved.isEmpty()) m_words.CopyToClipboard(saved);

    QString word;
    if (!selection.isEmpty()) word = m_words.ExtractLookupWord(selection, QStringLiteral(" "));
    if (word.isEmpty()) {
        MessageBox(this, QStringLiteral("Please select a word to look up."), kMessageCaption,
                   MB_ICONEXCLAMATION | MB_OK);
        return;
    }
    const QString nearest = m_words.NearestWord(word);
    if (nearest.isEmpty()) FatalError(this, kInternalError, kErrorCaption);
    // The look-up word is lower case: a headword that differs from it only in
    // letter case ("Quarrelsome") is the word itself, and is shown unasked.
    if (nearest.compare(word, Qt::CaseInsensitive) != 0) {
        const QString question =
            QStringLiteral(
                "Word '%1' not found. \r\n \r\nDo you want to see the nearest word, '%2', instead")
                .arg(word, nearest);
        if (MessageBox(this, question, kMessageCaption, MB_ICONQUESTION | MB_OKCANCEL) != IDOK) {
            return;
        }
    }
    m_strWord = nearest;
    m_strHtml = m_words.RenderEntry(m_strWord, true);
    if (m_strHtml.isEmpty()) FatalError(this, kInternalError, kErrorCaption);
    HidePopups();
    ShowWord(m_strWord);
    ShowEntry(m_strHtml);
    m_nIndex = m_words.NearestIndex(m_strWord);
    m_words.AddWordToList(m_strWord, m_historyList);
}

void CDefinitionDlg::OnCopy() {
    const SIPINFO sip = ReadSoftInputPanel();
    const int bottom = height();
    const QWidget* parent = parentWidget();
    const int parentBottom = parent != nullptr ? parent->height() : 0;
    int line = bottom;
    if (sip.fdwFlags & SIPF_ON) {
        line = bottom + (sip.rcSipRect.bottom - sip.rcSipRect.top);
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
    m_bOk = m_pPane->CopySelection();
    if (m_bOk) {
        MessageBox(this, QStringLiteral("Word '%1' copied").arg(m_words.GetClipboardText()),
                   kCopyCaption, MB_ICONINFORMATION | MB_OK);
    } else {
        MessageBox(this, QStringLiteral("Please select a word to copy"), kCopyCaption,
                   MB_ICONINFORMATION | MB_OK);
    }
}

void CDefinitionDlg::OnCopyDefinition() {
    const QString text = m_words.RenderEntry(m_strWord, false);
    if (text.isEmpty()) FatalError(this, kInternalError, kCaption);
    m_bOk = m_words.CopyToClipboard(text);
    if (m_bOk) {
        MessageBox(this, QStringLiteral("Definition for '%1' copied").arg(m_strWord), kCopyCaption,
                   MB_ICONINFORMATION | MB_OK);
    } else {
        MessageBox(this, QStringLiteral("Error in accessing clipboard!! Try again later"),
                   kCopyCaption, MB_ICONINFORMATION | MB_OK);
    }
}

void CDefinitionDlg::OnBookmarks() {
    m_bOk = true;
    if (m_bBookmarksNeedFill) {
        const bool none = m_words.FillBookmarkList(m_bookmarkList);
        if (!m_words.LastOk()) {
            // No list whose mark row would replace a file it does not hold.
            HidePopups();
            ReportBookmarkFailure(false);
            return;
        }
        if (none) {
            m_bookmarkList.AddString(QString::fromUtf16(kBookmarksTitle));
            m_bookmarkList.AddString(QString::fromUtf16(kMarkRow));
        } else {
            m_bookmarkList.InsertString(1, QString::fromUtf16(kMarkRow));
        }
        m_bBookmarksNeedFill = false;
    }
    if (m_bBookmarksShown) {
        HidePopups();
        return;
    }
    HidePopups();
    m_bBookmarksShown = true;
    m_words.SetMarkRow(m_strWord, m_bookmarkList);
    ShowPopupList(m_bookmarkList);
}

void CDefinitionDlg::OnHistory() {
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
        FatalError(this, m_strMessage, kErrorCaption);
    }
    if (m_historyList.GetCount() > 0) {
        m_bHistoryShown = true;
        ShowPopupList(m_historyList);
    } else {
        MessageBox(this, kNoEntries, kHistoryCaption, MB_ICONEXCLAMATION);
    }
}

bool CDefinitionDlg::UpdateIndex() {
    return m_words.HeadwordIndex(m_strWord, m_nIndex);
}

void CDefinitionDlg::OnSelectBookmark() {
    if (!m_bPopupTap) return;
    m_bPopupTap = FALSE;
    m_bOk = true;
    m_bBookmarksShown = true;
    HidePopups();
    const int row = m_bookmarkList.GetCurSel();
    if (row <= 0) return;
    if (row == 1) {
        const bool firstMark = m_bookmarkList.GetCount() == 2;
        if (firstMark) m_bookmarkList.AddString(QString::fromUtf16(kClearAllRow));
        if (m_strWord.isEmpty()) {
            m_bOk = false;
        } else {
            QString label;
            m_bookmarkList.GetText(1, label);
            // A failed save is reported as the failure it is, never as done,
            // and the page goes on: the list has been put back to match the file.
            if (!label.contains(QStringLiteral("Unmark"))) {
                if (m_words.BookmarkWord(m_strWord, m_bookmarkList)) {
                    MessageBox(this, QStringLiteral("Word '%1' bookmarked").arg(m_strWord),
                               kBookmarksCaption, MB_ICONINFORMATION);
                } else {
                    if (firstMark) m_bookmarkList.DeleteString(2);
                    ReportBookmarkFailure(true);
                }
            } else if (MessageBox(this, kAreYouSure, kBookmarksCaption,
                                  MB_OKCANCEL | MB_ICONINFORMATION) == IDOK) {
                if (m_words.UnbookmarkWord(m_strWord, m_bookmarkList)) {
                    MessageBox(this, QStringLiteral("Word '%1' removed").arg(m_strWord),
                               kBookmarksCaption, MB_ICONINFORMATION);
                } else {
                    ReportBookmarkFailure(true);
                }
            }
        }
    } else if (row == 2) {
        if (MessageBox(this, kAreYouSure, kBookmarksCaption, MB_OKCANCEL | MB_ICONINFORMATION) ==
            IDOK) {
            if (m_words.ClearBookmarks()) {
                m_bookmarkList.ResetContent();
                m_bookmarkList.AddString(QString::fromUtf16(kBookmarksTitle));
                m_bookmarkList.AddString(QString::fromUtf16(kMarkRow));
                MessageBox(this, QStringLiteral("Bookmark cleared"), kBookmarksCaption,
                           MB_ICONINFORMATION);
            } else {
                ReportBookmarkFailure(true);
            }
        }
    } else {
        QString word;
        m_bookmarkList.GetText(row, word);
        if (word.isEmpty()) {
            m_bOk = false;
        } else {
            if (word.compare(m_strWord, Qt::CaseInsensitive) == 0) return;
            const QString html = m_words.RenderEntry(word, true);
            if (html.size() < 2) {
                MessageBox(this, kNotFound, QStringLiteral("Error"), MB_ICONHAND);
                return;
            }
            m_strWord = word;
            m_strHtml = html;
            ShowWord(m_strWord);
            ShowEntry(m_strHtml);
            m_bOk = m_words.AddWordToList(m_strWord, m_historyList);
        }
    }
    if (m_bOk && !UpdateIndex()) m_bOk = false;
    if (!m_bOk) {
        m_strMessage = kBookmarksError;
        FatalError(this, m_strMessage, kErrorCaption);
    }
    HidePopups();
}

void CDefinitionDlg::ReportBookmarkFailure(bool saving) {
    MessageBox(this, m_words.BookmarkFailureText(saving), QStringLiteral("Error"), MB_ICONHAND);
}

void CDefinitionDlg::OnSelectHistory() {
    if (!m_bPopupTap) return;
    m_bOk = true;
    m_bPopupTap = FALSE;
    m_bHistoryShown = true;
    HidePopups();
    const int row = m_historyList.GetCurSel();
    if (row <= 0) return;
    if (row == 1) {
        if (MessageBox(this, kAreYouSure, kHistoryCaption, MB_OKCANCEL | MB_ICONINFORMATION) ==
            IDOK) {
            lxv_history_clear(m_hEngine);
            m_historyList.ResetContent();
            MessageBox(this, QStringLiteral("History Cleared"), kHistoryCaption,
                       MB_ICONINFORMATION);
        }
        return;
    }
    QString word;
    m_historyList.GetText(row, word);
    if (word.compare(m_strWord, Qt::CaseInsensitive) == 0) return;
    m_strWord = word;
    if (m_strWord.isEmpty()) {
        m_strMessage = kHistoryError;
        FatalError(this, m_strMessage, QString());
    }
    m_strHtml = m_words.RenderEntry(m_strWord, true);
    ShowWord(m_strWord);
    ShowEntry(m_strHtml);
    m_bOk = m_words.AddWordToList(m_strWord, m_historyList);
    if (m_bOk && !UpdateIndex()) m_bOk = false;
    if (!m_bOk) {
        m_strMessage = kHistoryError;
        FatalError(this, m_strMessage, kErrorCaption);
    }
}

void CDefinitionDlg::OnKillFocusPopup() {
    HidePopups();
    m_bPopupTap = FALSE;
}

void CDefinitionDlg::OnHelp() {
    CHelpDlg help(nullptr);
    help.DoModal();
}

void CDefinitionDlg::OnAppAbout() {
    CAboutDlg about(nullptr);
    about.DoModal();
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
    layout.full = CWnd(m_hPaneWnd).GetWindowRect();
    if ((ReadSoftInputPanel().fdwFlags & SIPF_ON) && layout.firstTime) layout.shortened = true;
    layout.firstTime = false;
    layout.captured = true;
}

void CDefinitionDlg::OnSettingChange() {
    PaneLayout& layout = Layout();
    // A page not yet set up, or already closed, has no pane to lay out.
    if (m_hPaneWnd == nullptr) return;
    const SIPINFO sip = ReadSoftInputPanel();
    const bool panelUp = (sip.fdwFlags & SIPF_ON) != 0;
    const int panelHeight = sip.rcSipRect.bottom - sip.rcSipRect.top;
    if (layout.justActivated && !panelUp) layout.shortened = true;
    layout.justActivated = false;
    // Before the pane's full size is known there is nothing to size it from.
    if (!layout.captured) return;
    CWnd pane(m_hPaneWnd);
    if (panelUp) {
        if (m_nTitleHeight == 0) m_nTitleHeight = kDefaultTitleHeight;
        pane.MoveWindow(QRect(0, m_nTitleHeight, layout.full.width(),
                              std::max(layout.full.height() - panelHeight, 0)));
        layout.shortened = true;
    } else if (layout.shortened) {
        if (m_nTitleHeight == 0) m_nTitleHeight = kDefaultTitleHeight;
        pane.MoveWindow(QRect(0, m_nTitleHeight, layout.full.width(), layout.full.height()));
        layout.shortened = false;
    } else if (!IsPocketPC() && height() > 240) {
        pane.MoveWindow(QRect(m_hPaneWnd->pos(), QSize(240, 240)));
    }
}

void CDefinitionDlg::OnDestroy() {
    CDialog::OnDestroy();
    if (m_pPane == nullptr) return;
    m_pPane->Destroy();
    m_pPane.reset();
}
