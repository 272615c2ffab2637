#include "platform/controls.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QWheelEvent>
#include <algorithm>

namespace platform {

BOOL CWnd::ShowWindow(int command) {
    const BOOL wasVisible = IsWindowVisible();
    if (m_hWnd != nullptr) m_hWnd->setVisible(command != SW_HIDE);
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const {
    return m_hWnd != nullptr && m_hWnd->isVisible();
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

namespace {

// Gives every row of its list box the list box's row height.
class CRowDelegate : public QStyledItemDelegate {
  public:
    explicit CRowDelegate(CListBoxWidget* list) : QStyledItemDelegate(list), m_pList(list) {}
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return QSize(1, m_pList->RowHeight());
    }

  private:
    CListBoxWidget* m_pList;
};

}  // namespace

CListBoxWidget::CListBoxWidget(QWidget* parent) : QListView(parent) {
    setItemDelegate(new CRowDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void CListBoxWidget::ShowRows(std::shared_ptr<QAbstractItemModel> rows) {
    if (rows == m_pRows) return;
    // Each model gets a selection model of its own; the old one goes with its model.
    QItemSelectionModel* selection = selectionModel();
    setModel(rows.get());
    delete selection;
    m_pRows = std::move(rows);
    if (m_pRows == nullptr) {
        // A new mode drops the old layout with its arrays, which clearing
        // them would only empty.
        setViewMode(QListView::IconMode);
        setViewMode(QListView::ListMode);
    }
}

int CListBoxWidget::RowHeight() const {
    return m_nRowHeight > 0 ? m_nRowHeight : fontMetrics().height() + 2;
}

void CListBoxWidget::SetRowHeight(int height) {
    m_nRowHeight = height;
    doItemsLayout();
}

void CListBoxWidget::mousePressEvent(QMouseEvent* event) {
    QListView::mousePressEvent(event);
    // A tap on a row is a choice even when the row was already selected: the
    // user taps the highlighted headword to open it.
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid() &&
        m_onSelect) {
        m_onSelect();
    }
}

void CListBoxWidget::keyPressEvent(QKeyEvent* event) {
    const int before = currentIndex().row();
    QListView::keyPressEvent(event);
    const int after = currentIndex().row();
    if (after != before && after >= 0 && m_onSelect) m_onSelect();
}

void CListBoxWidget::focusOutEvent(QFocusEvent* event) {
    QListView::focusOutEvent(event);
    if (m_onKillFocus) m_onKillFocus();
}

void CListBoxWidget::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    // The selection goes with its row. Qt would move the current row, and
    // with it the selection, to a neighbour.
    const int current = currentIndex().row();
    if (current >= start && current <= end)
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    QListView::rowsAboutToBeRemoved(parent, start, end);
}

CListBoxWidget* CListBox::List() const {
    return dynamic_cast<CListBoxWidget*>(m_hWnd);
}

void CListBox::ShowRows(std::shared_ptr<QAbstractItemModel> rows) {
    if (CListBoxWidget* list = List()) list->ShowRows(std::move(rows));
}

int CListBox::GetCount() const {
    const CListBoxWidget* list = List();
    return list != nullptr && list->model() != nullptr ? list->model()->rowCount() : 0;
}

int CListBox::GetCurSel() const {
    const CListBoxWidget* list = List();
    if (list == nullptr || list->selectionModel() == nullptr) return LB_ERR;
    const QModelIndexList selected = list->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? LB_ERR : selected.front().row();
}

int CListBox::SetCurSel(int index) {
    CListBoxWidget* list = List();
    if (list == nullptr || list->selectionModel() == nullptr) return LB_ERR;
    if (index < 0 || index >= GetCount()) {
        if (index == -1) {
            list->clearSelection();
            list->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        }
        return LB_ERR;
    }
    const QModelIndex row = list->model()->index(index, 0);
    list->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
    list->scrollTo(row);
    return index;
}

QString CListBox::GetText(int index) const {
    if (index < 0 || index >= GetCount()) return QString();
    return List()->model()->index(index, 0).data().toString();
}

QRect CListBox::GetItemRect(int index) const {
    if (index < 0 || index >= GetCount()) return QRect();
    return List()->visualRect(List()->model()->index(index, 0));
}

int CListBox::GetItemHeight() const {
    const CListBoxWidget* list = List();
    return list != nullptr ? list->RowHeight() : 0;
}

int CListBox::SetItemHeight(int height) {
    CListBoxWidget* list = List();
    if (list == nullptr || height < 1) return LB_ERR;
    list->SetRowHeight(height);
    return 0;
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

void CEdit::Paste() {
    if (auto* edit = qobject_cast<QLineEdit*>(m_hWnd)) edit->paste();
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

CScrollBarWidget::CScrollBarWidget(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {
    setFocusPolicy(Qt::NoFocus);
    // Qt's menu ("Scroll here", "Top", ...) would move the thumb on its own.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setRange(0, 0);
    setPageStep(1);
    connect(this, &QAbstractSlider::actionTriggered, this, &CScrollBarWidget::OnAction);
}

void CScrollBarWidget::SetProgramPosition(int position) {
    m_nPosition = std::clamp(position, minimum(), maximum());
    setValue(m_nPosition);
}

void CScrollBarWidget::Report(UINT code, int position) {
    if (m_onScroll) m_onScroll(code, position);
}

void CScrollBarWidget::OnAction(int action) {
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
            Report(SB_THUMBTRACK, sliderPosition());
            return;
        default:
            return;
    }
    Report(code, 0);
    // The slider applies sliderPosition() once this returns: keep the
    // program's position instead of the one Qt computed.
    setSliderPosition(m_nPosition);
}

void CScrollBarWidget::mousePressEvent(QMouseEvent* event) {
    m_bPressed = true;
    QScrollBar::mousePressEvent(event);
}

void CScrollBarWidget::mouseReleaseEvent(QMouseEvent* event) {
    const int released = sliderPosition();
    const bool tracked = m_bTracking;
    m_bTracking = false;
    m_bPressed = event->buttons() != Qt::NoButton;
    QScrollBar::mouseReleaseEvent(event);
    if (tracked) Report(SB_THUMBPOSITION, released);
    if (event->button() == Qt::LeftButton) Report(SB_ENDSCROLL, 0);
    setValue(m_nPosition);
}

void CScrollBarWidget::wheelEvent(QWheelEvent* event) {
    event->accept();
    const QPoint delta = event->angleDelta();
    // Touchpads send small steps: they add up until they make a line.
    m_nWheelDelta += delta.y() != 0 ? delta.y() : delta.x();
    for (; m_nWheelDelta >= kWheelDeltaPerLine; m_nWheelDelta -= kWheelDeltaPerLine)
        Report(SB_LINEUP, 0);
    for (; m_nWheelDelta <= -kWheelDeltaPerLine; m_nWheelDelta += kWheelDeltaPerLine)
        Report(SB_LINEDOWN, 0);
}

CScrollBarWidget* CScrollBar::Bar() const {
    return dynamic_cast<CScrollBarWidget*>(m_hWnd);
}

void CScrollBar::SetScrollRange(int minPos, int maxPos, BOOL) {
    CScrollBarWidget* bar = Bar();
    if (bar == nullptr) return;
    bar->setRange(minPos, std::max(minPos, maxPos));
    bar->SetProgramPosition(bar->ProgramPosition());
}

int CScrollBar::SetScrollPos(int position, BOOL) {
    CScrollBarWidget* bar = Bar();
    if (bar == nullptr) return 0;
    const int previous = bar->ProgramPosition();
    bar->SetProgramPosition(position);
    return previous;
}

int CScrollBar::GetScrollPos() const {
    return Bar() != nullptr ? Bar()->ProgramPosition() : 0;
}

}  // namespace platform
