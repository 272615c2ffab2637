#include "platform/controls.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QWheelEvent>
#include <algorithm>

int CWnd::GetDlgCtrlID() const {
    return m_hWnd != nullptr ? m_hWnd->property("controlId").toInt() : 0;
}

BOOL CWnd::ShowWindow(int command) {
    const BOOL wasVisible = IsWindowVisible();
    if (m_hWnd != nullptr) m_hWnd->setVisible(command != SW_HIDE);
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const {
    return m_hWnd != nullptr && m_hWnd->isVisible();
}

void CWnd::EnableWindow(BOOL enable) {
    if (m_hWnd != nullptr) m_hWnd->setEnabled(enable != FALSE);
}

void CWnd::SetFocus() {
    if (m_hWnd != nullptr) m_hWnd->setFocus(Qt::OtherFocusReason);
}

BOOL CWnd::HasFocus() const {
    return m_hWnd != nullptr && m_hWnd->hasFocus();
}

void CWnd::BringWindowToTop() {
    if (m_hWnd != nullptr) m_hWnd->raise();
}

void CWnd::SetWindowText(const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(m_hWnd)) {
        edit->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(m_hWnd)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(m_hWnd)) {
        label->setText(text);
    } else if (m_hWnd != nullptr) {
        m_hWnd->setWindowTitle(text);
    }
}

QString CWnd::GetWindowText() const {
    if (auto* edit = qobject_cast<QLineEdit*>(m_hWnd)) return edit->text();
    if (auto* button = qobject_cast<QAbstractButton*>(m_hWnd)) return button->text();
    if (auto* label = qobject_cast<QLabel*>(m_hWnd)) return label->text();
    return m_hWnd != nullptr ? m_hWnd->windowTitle() : QString();
}

QRect CWnd::GetClientRect() const {
    return m_hWnd != nullptr ? QRect(QPoint(0, 0), m_hWnd->size()) : QRect();
}

QRect CWnd::GetWindowRect() const {
    return m_hWnd != nullptr ? QRect(m_hWnd->mapToGlobal(QPoint(0, 0)), m_hWnd->size()) : QRect();
}

void CWnd::MoveWindow(const QRect& rect) {
    if (m_hWnd != nullptr) m_hWnd->setGeometry(rect);
}

void CWnd::RedrawNow() {
    if (m_hWnd != nullptr) m_hWnd->repaint();
}

ListBoxWidget::ListBoxWidget(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void ListBoxWidget::mousePressEvent(QMouseEvent* event) {
    QListWidget::mousePressEvent(event);
    // A tap on a row is a choice even when the row was already selected: the
    // user taps the highlighted headword to open it.
    if (event->button() == Qt::LeftButton && itemAt(event->position().toPoint()) != nullptr &&
        onUserSelect) {
        onUserSelect();
    }
}

void ListBoxWidget::keyPressEvent(QKeyEvent* event) {
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before && currentRow() >= 0 && onUserSelect) onUserSelect();
}

void ListBoxWidget::focusOutEvent(QFocusEvent* event) {
    QListWidget::focusOutEvent(event);
    if (onKillFocus) onKillFocus();
}

QListWidget* CListBox::List() const {
    return qobject_cast<QListWidget*>(m_hWnd);
}

int CListBox::AddString(const QString& text) {
    return InsertString(-1, text);
}

int CListBox::InsertString(int index, const QString& text) {
    QListWidget* list = List();
    if (list == nullptr || index < -1 || index > list->count()) return LB_ERR;
    if (index == -1) index = list->count();
    auto* item = new QListWidgetItem(text);
    item->setSizeHint(QSize(1, GetItemHeight()));
    list->insertItem(index, item);
    return index;
}

int CListBox::DeleteString(int index) {
    QListWidget* list = List();
    if (list == nullptr || index < 0 || index >= list->count()) return LB_ERR;
    // The selection goes with its row. Qt would move the current row, and
    // with it the selection, to a neighbour.
    if (list->currentRow() == index) list->setCurrentRow(-1, QItemSelectionModel::NoUpdate);
    delete list->takeItem(index);
    return list->count();
}

void CListBox::ResetContent() {
    if (QListWidget* list = List()) list->clear();
}

int CListBox::GetCount() const {
    return List() != nullptr ? List()->count() : 0;
}

int CListBox::GetCurSel() const {
    QListWidget* list = List();
    if (list == nullptr) return LB_ERR;
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? LB_ERR : list->row(selected.front());
}

int CListBox::SetCurSel(int index) {
    QListWidget* list = List();
    if (list == nullptr) return LB_ERR;
    if (index < 0 || index >= list->count()) {
        if (index == -1) {
            list->clearSelection();
            list->setCurrentRow(-1, QItemSelectionModel::NoUpdate);
        }
        return LB_ERR;
    }
    list->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    list->scrollToItem(list->item(index));
    return index;
}

int CListBox::GetText(int index, QString& text) const {
    QListWidget* list = List();
    if (list == nullptr || index < 0 || index >= list->count()) return LB_ERR;
    text = list->item(index)->text();
    return static_cast<int>(text.size());
}

int CListBox::GetTextLen(int index) const {
    QString text;
    return GetText(index, text);
}

int CListBox::GetItemRect(int index, QRect* rect) const {
    QListWidget* list = List();
    if (list == nullptr || index < 0 || index >= list->count()) return LB_ERR;
    *rect = list->visualItemRect(list->item(index));
    return 0;
}

int CListBox::GetItemHeight() const {
    if (m_hWnd == nullptr) return 0;
    const int fixed = m_hWnd->property("itemHeight").toInt();
    return fixed > 0 ? fixed : m_hWnd->fontMetrics().height() + 2;
}

int CListBox::SetItemHeight(int height) {
    QListWidget* list = List();
    if (list == nullptr || height < 1) return LB_ERR;
    list->setProperty("itemHeight", height);
    for (int row = 0; row < list->count(); ++row) list->item(row)->setSizeHint(QSize(1, height));
    return 0;
}

int CListBox::GetTopIndex() const {
    QListWidget* list = List();
    if (list == nullptr || list->count() == 0) return 0;
    QListWidgetItem* top = list->itemAt(QPoint(1, 1));
    return top != nullptr ? list->row(top) : 0;
}

int CListBox::SetTopIndex(int index) {
    QListWidget* list = List();
    if (list == nullptr || index < 0 || index >= list->count()) return LB_ERR;
    list->scrollToItem(list->item(index), QAbstractItemView::PositionAtTop);
    return 0;
}

int CListBox::FindStringExact(int start, const QString& text) const {
    QListWidget* list = List();
    if (list == nullptr) return LB_ERR;
    const int count = list->count();
    for (int step = 1; step <= count; ++step) {
        const int row = ((start < 0 ? -1 : start) + step) % count;
        if (list->item(row)->text().compare(text, Qt::CaseInsensitive) == 0) return row;
    }
    return LB_ERR;
}

void CEdit::SetSel(int start, int end) {
    auto* edit = qobject_cast<QLineEdit*>(m_hWnd);
    if (edit == nullptr) return;
    if (start < 0) {
        edit->deselect();
        return;
    }
    const int length = static_cast<int>(edit->text().size());
    if (end < 0 || end > length) end = length;
    edit->setSelection(start, end - start);
}

void CEdit::ReplaceSel(const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(m_hWnd)) edit->insert(text);
}

void CEdit::Paste() {
    if (auto* edit = qobject_cast<QLineEdit*>(m_hWnd)) edit->paste();
}

void CEdit::LimitText(int maxChars) {
    if (auto* edit = qobject_cast<QLineEdit*>(m_hWnd))
        edit->setMaxLength(maxChars > 0 ? maxChars : 32767);
}

int CButton::GetCheck() const {
    auto* button = qobject_cast<QAbstractButton*>(m_hWnd);
    return button != nullptr && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void CButton::SetCheck(int state) {
    if (auto* button = qobject_cast<QAbstractButton*>(m_hWnd))
        button->setChecked(state == BST_CHECKED);
}

namespace {

// Wheel movement per line: a notch (120) scrolls three.
constexpr int kWheelDeltaPerLine = 40;

}  // namespace

ScrollBarWidget::ScrollBarWidget(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {
    setFocusPolicy(Qt::NoFocus);
    // Qt's menu ("Scroll here", "Top", ...) would move the thumb on its own.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setRange(0, 0);
    setPageStep(1);
    connect(this, &QAbstractSlider::actionTriggered, this, &ScrollBarWidget::OnAction);
}

void ScrollBarWidget::setProgramPosition(int position) {
    m_nPosition = std::clamp(position, minimum(), maximum());
    setValue(m_nPosition);
}

void ScrollBarWidget::OnAction(int action) {
    UINT code = SB_ENDSCROLL;
    switch (action) {
        case SliderSingleStepSub:
            code = SB_LINEUP;
            break;
        case SliderSingleStepAdd:
            code = SB_LINEDOWN;
            break;
        case SliderPageStepSub:
            code = SB_PAGEUP;
            break;
        case SliderPageStepAdd:
            code = SB_PAGEDOWN;
            break;
        case SliderToMinimum:
            code = SB_TOP;
            break;
        case SliderToMaximum:
            code = SB_BOTTOM;
            break;
        case SliderMove:
            // Only the thumb held down, or a mouse button on the bar, moves
            // it; a move from anywhere else would leave the thumb apart from
            // the program's place.
            if (!isSliderDown() && !m_bPressed) {
                setSliderPosition(m_nPosition);
                return;
            }
            // The thumb follows the drag; the program answers the track codes.
            m_bTracking = true;
            if (onScroll) onScroll(SB_THUMBTRACK, sliderPosition());
            return;
        default:
            return;
    }
    if (onScroll) onScroll(code, 0);
    // The slider applies sliderPosition() once this returns: keep the
    // program's position instead of the one Qt computed.
    setSliderPosition(m_nPosition);
}

void ScrollBarWidget::mousePressEvent(QMouseEvent* event) {
    m_bPressed = true;
    QScrollBar::mousePressEvent(event);
}

void ScrollBarWidget::mouseReleaseEvent(QMouseEvent* event) {
    const int released = sliderPosition();
    const bool tracked = m_bTracking;
    m_bTracking = false;
    m_bPressed = event->buttons() != Qt::NoButton;
    QScrollBar::mouseReleaseEvent(event);
    if (tracked && onScroll) onScroll(SB_THUMBPOSITION, released);
    if (event->button() == Qt::LeftButton && onScroll) onScroll(SB_ENDSCROLL, 0);
    setValue(m_nPosition);
}

void ScrollBarWidget::wheelEvent(QWheelEvent* event) {
    event->accept();
    const QPoint delta = event->angleDelta();
    // Touchpads send small steps: they add up until they make a line.
    m_nWheelDelta += delta.y() != 0 ? delta.y() : delta.x();
    for (; m_nWheelDelta >= kWheelDeltaPerLine; m_nWheelDelta -= kWheelDeltaPerLine) {
        if (onScroll) onScroll(SB_LINEUP, 0);
    }
    for (; m_nWheelDelta <= -kWheelDeltaPerLine; m_nWheelDelta += kWheelDeltaPerLine) {
        if (onScroll) onScroll(SB_LINEDOWN, 0);
    }
}

ScrollBarWidget* CScrollBar::Bar() const {
    return dynamic_cast<ScrollBarWidget*>(m_hWnd);
}

void CScrollBar::SetScrollRange(int minPos, int maxPos, BOOL) {
    ScrollBarWidget* bar = Bar();
    if (bar == nullptr) return;
    bar->setRange(minPos, std::max(minPos, maxPos));
    bar->setProgramPosition(bar->programPosition());
}

void CScrollBar::GetScrollRange(int* minPos, int* maxPos) const {
    ScrollBarWidget* bar = Bar();
    *minPos = bar != nullptr ? bar->minimum() : 0;
    *maxPos = bar != nullptr ? bar->maximum() : 0;
}

int CScrollBar::SetScrollPos(int position, BOOL) {
    ScrollBarWidget* bar = Bar();
    if (bar == nullptr) return 0;
    const int previous = bar->programPosition();
    bar->setProgramPosition(position);
    return previous;
}

int CScrollBar::GetScrollPos() const {
    return Bar() != nullptr ? Bar()->programPosition() : 0;
}

bool CStatic::SetPicture(const QString& path) {
    auto* label = qobject_cast<QLabel*>(m_hWnd);
    QPixmap picture(path);
    if (label == nullptr || picture.isNull()) return false;
    label->setPixmap(picture);
    return true;
}
