// Thin wrappers with the platform's window and control operations over Qt
// widgets. A wrapper does not own its widget: the dialog that built the
// control from its template does.
#ifndef LEXIVANE_PLATFORM_CONTROLS_H_
#define LEXIVANE_PLATFORM_CONTROLS_H_

#include <QAbstractListModel>
#include <QListView>
#include <QRect>
#include <QScrollBar>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "platform/types.h"

class QWidget;

// Any window: show, hide, focus, text, rectangles.
class CWnd {
  public:
    CWnd() = default;
    explicit CWnd(QWidget* widget) : m_hWnd(widget) {}
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd() = default;

    void Attach(QWidget* widget) { m_hWnd = widget; }
    QWidget* GetSafeHwnd() const { return m_hWnd; }
    // The control id from the dialog template; 0 for a window without one.
    int GetDlgCtrlID() const;

    // SW_SHOW or SW_HIDE; returns whether the window was visible before.
    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const;
    void EnableWindow(BOOL enable);
    void SetFocus();
    // TRUE when the window has the keyboard focus.
    BOOL HasFocus() const;
    void BringWindowToTop();
    // Text of an edit, button or static; the caption of a dialog.
    void SetWindowText(const QString& text);
    QString GetWindowText() const;
    // Client rectangle (origin 0, 0) and window rectangle in screen coordinates.
    QRect GetClientRect() const;
    QRect GetWindowRect() const;
    // Places the window at `rect` in its parent's client coordinates.
    void MoveWindow(const QRect& rect);
    // Repaints the whole window now.
    void RedrawNow();

  protected:
    QWidget* m_hWnd = nullptr;
};

// The rows of a list box: its own rows, which the program adds, inserts and
// deletes, followed by the rows of a one-column list model that it may share
// with other list boxes and only shows. The shared model must announce each
// of its changes as a reset.
class ListBoxModel : public QAbstractListModel {
  public:
    explicit ListBoxModel(QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    int OwnCount() const { return static_cast<int>(m_rows.size()); }
    // The text of any row; empty for a bad index.
    QString Text(int row) const;
    // Own rows: `row` from 0 to OwnCount().
    void Insert(int row, const QString& text);
    void Remove(int row);
    // Removes the own rows and stops showing shared ones.
    void Clear();
    // Shows the rows of `shared` after the own rows, keeping it alive while
    // it is shown; null shows none.
    void Share(std::shared_ptr<QAbstractItemModel> shared);

  private:
    QStringList m_rows;
    std::shared_ptr<QAbstractItemModel> m_shared;
};

// The widget behind a list box: reports a user's choice and losing the focus
// to the dialog, and nothing for changes made by the program. It asks its
// model only for the rows it draws, so a long shared list costs no more than
// the list itself.
class ListBoxWidget : public QListView {
  public:
    explicit ListBoxWidget(QWidget* parent);
    std::function<void()> onUserSelect;  // LBN_SELCHANGE
    std::function<void()> onKillFocus;   // LBN_KILLFOCUS

    ListBoxModel& Rows() const { return *m_pRows; }
    // Height of every row: as set by SetRowHeight, else the font height plus
    // a pixel above and below.
    int RowHeight() const;
    void SetRowHeight(int height);
    // Gives back the memory of the layout of the rows last shown: Qt's list
    // view keeps two numbers a row, which its rows' going does not free.
    void ReleaseLayout();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    ListBoxModel* m_pRows;  // a child of the widget
    int m_nRowHeight = 0;
};

class CListBox : public CWnd {
  public:
    using CWnd::CWnd;

    // Each returns the index of the new row, or LB_ERR. Rows are added and
    // inserted among the list box's own rows, above any shared rows.
    int AddString(const QString& text);
    int InsertString(int index, const QString& text);  // -1 appends
    // Returns the rows left, or LB_ERR for a bad index or a shared row.
    // Deleting the selected row leaves no row selected.
    int DeleteString(int index);
    // Removes every row, and stops showing shared rows.
    void ResetContent();
    // Shows the rows of `rows` (one column) after the list box's own, as they
    // are at each moment, without copying them; null shows none. The model
    // must announce each change as a reset.
    void SetSharedRows(std::shared_ptr<QAbstractItemModel> rows);
    int GetCount() const;
    // The selected row, or LB_ERR when none.
    int GetCurSel() const;
    // Selects `index` and scrolls it into view; -1 clears the selection and
    // returns LB_ERR, as does a bad index. Never raises the selection-change
    // notification.
    int SetCurSel(int index);
    // Copies row `index` into `text`; returns its length, or LB_ERR.
    int GetText(int index, QString& text) const;
    int GetTextLen(int index) const;
    // Rectangle of row `index` in the list box's client coordinates; LB_ERR for a bad index.
    int GetItemRect(int index, QRect* rect) const;
    // Height of one row in pixels: as set by SetItemHeight, else the list's
    // font height plus a pixel above and below.
    int GetItemHeight() const;
    // LB_SETITEMHEIGHT: gives every row, present and future, `height` pixels
    // (at least 1). Returns LB_ERR for a height below 1.
    int SetItemHeight(int height);
    int GetTopIndex() const;
    int SetTopIndex(int index);
    // First row at or after `start` + 1 equal to `text` ignoring case; LB_ERR when none.
    int FindStringExact(int start, const QString& text) const;

  private:
    ListBoxWidget* List() const;
};

class CEdit : public CWnd {
  public:
    using CWnd::CWnd;

    void SetSel(int start, int end);
    void ReplaceSel(const QString& text);
    void LimitText(int maxChars);
    // WM_PASTE: inserts the clipboard's text at the cursor, replacing the
    // selection; the change notification follows as for typing.
    void Paste();
};

// Push buttons and check boxes.
class CButton : public CWnd {
  public:
    using CWnd::CWnd;

    int GetCheck() const;  // BST_CHECKED or BST_UNCHECKED
    void SetCheck(int state);
};

// The widget behind a scroll-bar control. Like the platform's control it does
// not move its thumb by itself: each user action is reported as an SB_* code
// and the thumb then sits where the program put it with SetScrollPos. The
// thumb codes come only from the thumb held down or a mouse button on the
// bar; the mouse wheel gives line codes, three a notch toward the wheel's
// direction (wheel up: SB_LINEUP); the bar has no context menu.
class ScrollBarWidget : public QScrollBar {
  public:
    explicit ScrollBarWidget(Qt::Orientation orientation, QWidget* parent);
    // WM_VSCROLL / WM_HSCROLL: code, thumb position for the thumb codes.
    std::function<void(UINT code, int position)> onScroll;
    int programPosition() const { return m_nPosition; }
    void setProgramPosition(int position);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void OnAction(int action);
    int m_nPosition = 0;
    bool m_bPressed = false;   // a mouse button is down on the bar
    bool m_bTracking = false;  // the thumb is being dragged
    int m_nWheelDelta = 0;     // wheel movement not yet turned into lines
};

class CScrollBar : public CWnd {
  public:
    using CWnd::CWnd;

    void SetScrollRange(int minPos, int maxPos, BOOL redraw = TRUE);
    void GetScrollRange(int* minPos, int* maxPos) const;
    // Returns the previous position; the position is kept within the range.
    int SetScrollPos(int position, BOOL redraw = TRUE);
    int GetScrollPos() const;

  private:
    ScrollBarWidget* Bar() const;
};

// Static text and picture statics.
class CStatic : public CWnd {
  public:
    using CWnd::CWnd;

    // Shows the picture at resource path `path` (a picture static).
    bool SetPicture(const QString& path);
};

#endif  // LEXIVANE_PLATFORM_CONTROLS_H_
