#include "platform/controls.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QStyledItemDelegate>
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

namespace {

// Gives every row of its list box the list box's row height.
class RowDelegate : public QStyledItemDelegate {
  public:
    explicit RowDelegate(ListBoxWidget* list) : QStyledItemDelegate(list), m_pList(list) {}
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return QSize(1, m_pList->RowHeight());
    }

  private:
    ListBoxWidget* m_pList;
};

}  // namespace

ListBoxModel::ListBoxModel(QObject* parent) : QAbstractListModel(parent) {}

int ListBoxModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return OwnCount() + (m_shared ? m_shared->rowCount() : 0);
}

QVariant ListBoxModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    if (index.row() < OwnCount()) return m_rows.at(index.row());
    return m_shared->data(m_shared->index(index.row() - OwnCount(), 0), role);
}

Qt::ItemFlags ListBoxModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

QString ListBoxModel::Text(int row) const {
    return row >= 0 ? data(index(row, 0)).toString() : QString();
}

void ListBoxModel::Insert(int row, const QString& text) {
    beginInsertRows(QModelIndex(), row, row);
    m_rows.insert(row, text);
    endInsertRows();
}

void ListBoxModel::Remove(int row) {
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.removeAt(row);
    endRemoveRows();
}

void ListBoxModel::Clear() {
    beginResetModel();
    m_rows.clear();
    if (m_shared) disconnect(m_shared.get(), nullptr, this, nullptr);
    m_shared.reset();
    endResetModel();
}

void ListBoxModel::Share(std::shared_ptr<QAbstractItemModel> shared) {
    if (shared == m_shared) return;
    beginResetModel();
    if (m_shared) disconnect(m_shared.get(), nullptr, this, nullptr);
    m_shared = std::move(shared);
    if (m_shared) {
        connect(m_shared.get(), &QAbstractItemModel::modelAboutToBeReset, this,
                [this] { beginResetModel(); });
        connect(m_shared.get(), &QAbstractItemModel::modelReset, this, [this] { endResetModel(); });
    }
    endResetModel();
}

ListBoxWidget::ListBoxWidget(QWidget* parent) : QListView(parent), m_pRows(new ListBoxModel(this)) {
    setModel(m_pRows);
    setItemDelegate(new RowDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

int ListBoxWidget::RowHeight() const {
    return m_nRowHeight > 0 ? m_nRowHeight : fontMetrics().height() + 2;
}

void ListBoxWidget::SetRowHeight(int height) {
    m_nRowHeight = height;
    doItemsLayout();
}

void ListBoxWidget::ReleaseLayout() {
    // A new mode drops the old layout with its arrays, which clearing them
    // would only empty.
    setViewMode(QListView::IconMode);
    setViewMode(QListView::ListMode);
}

void ListBoxWidget::mousePressEvent(QMouseEvent* event) {
    QListView::mousePressEvent(event);
    // A tap on a row is a choice even when the row was already selected: the
    // user taps the highlighted headword to open it.
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid() &&
        onUserSelect) {
        onUserSelect();
    }
}

void ListBoxWidget::keyPressEvent(QKeyEvent* event) {
    const int before = currentIndex().row();
    QListView::keyPressEvent(event);
    const int after = currentIndex().row();
    if (after != before && after >= 0 && onUserSelect) onUserSelect();
}

void ListBoxWidget::focusOutEvent(QFocusEvent* event) {
    QListView::focusOutEvent(event);
    if (onKillFocus) onKillFocus();
}

ListBoxWidget* CListBox::List() const {
    return dynamic_cast<ListBoxWidget*>(m_hWnd);
}

int CListBox::AddString(const QString& text) {
    return InsertString(-1, text);
}

int CListBox::InsertString(int index, const QString& text) {
    ListBoxWidget* list = List();
    if (list == nullptr || index < -1 || index > list->Rows().OwnCount()) return LB_ERR;
    if (index == -1) index = list->Rows().OwnCount();
    list->Rows().Insert(index, text);
    return index;
}

int CListBox::DeleteString(int index) {
    ListBoxWidget* list = List();
    if (list == nullptr || index < 0 || index >= list->Rows().OwnCount()) return LB_ERR;
    // The selection goes with its row. Qt would move the current row, and
    // with it the selection, to a neighbour.
    if (list->currentIndex().row() == index)
        list->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    list->Rows().Remove(index);
    return list->Rows().rowCount();
}

void CListBox::ResetContent() {
    ListBoxWidget* list = List();
    if (list == nullptr) return;
    const bool shared = list->Rows().OwnCount() < list->Rows().rowCount();
    list->Rows().Clear();
    if (shared) list->ReleaseLayout();
}

void CListBox::SetSharedRows(std::shared_ptr<QAbstractItemModel> rows) {
    if (ListBoxWidget* list = List()) list->Rows().Share(std::move(rows));
}

int CListBox::GetCount() const {
    return List() != nullptr ? List()->Rows().rowCount() : 0;
}

int CListBox::GetCurSel() const {
    ListBoxWidget* list = List();
    if (list == nullptr) return LB_ERR;
    const QModelIndexList selected = list->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? LB_ERR : selected.front().row();
}

int CListBox::SetCurSel(int index) {
    ListBoxWidget* list = List();
    if (list == nullptr) return LB_ERR;
    if (index < 0 || index >= list->Rows().rowCount()) {
        if (index == -1) {
            list->clearSelection();
            list->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        }
        return LB_ERR;
    }
    const QModelIndex row = list->Rows().index(index, 0);
    list->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
    list->scrollTo(row);
    return index;
}

int CListBox::GetText(int index, QString& text) const {
    ListBoxWidget* list = List();
    if (list == nullptr || index < 0 || index >= list->Rows().rowCount()) return LB_ERR;
    text = list->Rows().Text(index);
    return static_cast<int>(text.size());
}

int CListBox::GetTextLen(int index) const {
    QString text;
    return GetText(index, text);
}

int CListBox::GetItemRect(int index, QRect* rect) const {
    ListBoxWidget* list = List();
    if (list == nullptr || index < 0 || index >= list->Rows().rowCount()) return LB_ERR;
    *rect = list->visualRect(list->Rows().index(index, 0));
    return 0;
}

int CListBox::GetItemHeight() const {
    ListBoxWidget* list = List();
    return list != nullptr ? list->RowHeight() : 0;
}

int CListBox::SetItemHeight(int height) {
    ListBoxWidget* list = List();
    if (list == nullptr || height < 1) return LB_ERR;
    list->SetRowHeight(height);
    return 0;
}

int CListBox::GetTopIndex() const {
    ListBoxWidget* list = List();
    if (list == nullptr) return 0;
    const QModelIndex top = list->indexAt(QPoint(1, 1));
    return top.isValid() ? top.row() : 0;
}

int CListBox::SetTopIndex(int index) {
    ListBoxWidget* list = List();
    if (list == nullptr || index < 0 || index >= list->Rows().rowCount()) return LB_ERR;
    list->scrollTo(list->Rows().index(index, 0), QAbstractItemView::PositionAtTop);
    return 0;
}

int CListBox::FindStringExact(int start, const QString& text) const {
    ListBoxWidget* list = List();
    if (list == nullptr) return LB_ERR;
    const int count = list->Rows().rowCount();
    for (int step = 1; step <= count; ++step) {
        const int row = ((start < 0 ? -1 : start) + step) % count;
        if (list->Rows().Text(row).compare(text, Qt::CaseInsensitive) == 0) return row;
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
