// Thin wrappers with the platform's window and control operations over Qt
// widgets. A wrapper does not own its widget: the dialog that built the
// control from its template does.
#ifndef LEXIVANE_PLATFORM_CONTROLS_H_
#define LEXIVANE_PLATFORM_CONTROLS_H_

#include <QListView>
#include <QRect>
#include <QScrollBar>
#include <QString>
#include <functional>
#include <memory>

#include "platform/types.h"

class QAbstractItemModel;
class QWidget;

namespace platform {

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

    // SW_SHOW or SW_HIDE; returns whether the window was visible before.
    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const;
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

// The widget behind a list box: a view of the rows of a one-column list
// model that the program keeps (the word list window, a pop-up list). It
// reports a user's choice and losing the focus to the dialog, and nothing for
// changes made by the program, and asks its model only for the rows it draws,
// so a long list costs no more than the list itself.
class CListBoxWidget : public QListView {
  public:
    explicit CListBoxWidget(QWidget* parent);

    // Shows the rows of `rows` as they are at each moment, keeping the model
    // alive while it shows; null shows none and gives back the memory of the
    // layout of the rows shown last (Qt's list view keeps two numbers a row,
    // which the rows' going does not free).
    void ShowRows(std::shared_ptr<QAbstractItemModel> rows);
    // Height of every row: as set by SetRowHeight, else the font height plus
    // a pixel above and below.
    int RowHeight() const;
    void SetRowHeight(int height);

    void SetSelectHandler(std::function<void()> handler) { m_onSelect = std::move(handler); }
    void SetKillFocusHandler(std::function<void()> handler) { m_onKillFocus = std::move(handler); }

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

  private:
    std::shared_ptr<QAbstractItemModel> m_pRows;
    int m_nRowHeight = 0;
    std::function<void()> m_onSelect;     // LBN_SELCHANGE
    std::function<void()> m_onKillFocus;  // LBN_KILLFOCUS
};

class CListBox : public CWnd {
  public:
    using CWnd::CWnd;

    // Shows the rows of `rows`; null shows none (CListBoxWidget::ShowRows).
    void ShowRows(std::shared_ptr<QAbstractItemModel> rows);
    int GetCount() const;
    // The selected row, or LB_ERR when none.
    int GetCurSel() const;
    // Selects `index` and scrolls it into view; -1 clears the selection and
    // returns LB_ERR, as does a bad index. Never raises the selection-change
    // notification.
    int SetCurSel(int index);
    // The text of row `index`; empty for a bad index.
    QString GetText(int index) const;
    // Rectangle of row `index` in the list box's client coordinates; a null
    // rectangle for a bad index.
    QRect GetItemRect(int index) const;
    // Height of one row in pixels: as set by SetItemHeight, else the list's
    // font height plus a pixel above and below.
    int GetItemHeight() const;
    // LB_SETITEMHEIGHT: gives every row, present and future, `height` pixels
    // (at least 1). Returns LB_ERR for a height below 1.
    int SetItemHeight(int height);

  private:
    CListBoxWidget* List() const;
};

class CEdit : public CWnd {
  public:
    using CWnd::CWnd;

    // Selects from `start` to `end` (-1: the end); a negative `start` selects nothing.
    void SetSel(int start, int end);
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
class CScrollBarWidget : public QScrollBar {
  public:
    explicit CScrollBarWidget(Qt::Orientation orientation, QWidget* parent);
    // WM_VSCROLL / WM_HSCROLL: code, thumb position for the thumb codes.
    void SetScrollHandler(std::function<void(UINT code, int position)> handler) {
        m_onScroll = std::move(handler);
    }
    int ProgramPosition() const { return m_nPosition; }
    void SetProgramPosition(int position);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void OnAction(int action);
    void Report(UINT code, int position);

    std::function<void(UINT code, int position)> m_onScroll;
    int m_nPosition = 0;
    bool m_bPressed = false;   // a mouse button is down on the bar
    bool m_bTracking = false;  // the thumb is being dragged
    int m_nWheelDelta = 0;     // wheel movement not yet turned into lines
};

class CScrollBar : public CWnd {
  public:
    using CWnd::CWnd;

    void SetScrollRange(int minPos, int maxPos, BOOL redraw = TRUE);
    // Returns the previous position; the position is kept within the range.
    int SetScrollPos(int position, BOOL redraw = TRUE);
    int GetScrollPos() const;

  private:
    CScrollBarWidget* Bar() const;
};

}  // namespace platform

#endif  // LEXIVANE_PLATFORM_CONTROLS_H_
