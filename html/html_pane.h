// The HTML pane: one HTML view inside a page. The definition page shows each
// entry in it and the help page the help document. The pane owns nothing but
// its view: it replaces the whole document on request, scrolls a page at a
// time for the hardware Up/Down keys, copies the user's selection to the
// clipboard, jumps to the help document's three anchors, and reports a tapped
// link to the page instead of following it.
#ifndef LEXIVANE_HTML_HTML_PANE_H_
#define LEXIVANE_HTML_HTML_PANE_H_

#include <QPointer>
#include <QRect>
#include <QString>
#include <QTextBrowser>
#include <functional>

#include "platform/types.h"

// The child-window id of the view; a page's notification handler sees it as
// the sender id.
inline constexpr int HTML_CONTROL_ID = 12321;

// The view's link-tap notification code.
inline constexpr platform::UINT NM_HOTSPOT = platform::WM_USER + 101;

// Header of a control notification: the sending control, its id and the code.
struct NMHDR {
    QWidget* hwndFrom;
    int idFrom;
    platform::UINT code;
};

// What a page receives when a link in the view is tapped, or activated with
// Return after Tab moved to it: the link's target exactly as the document's
// href writes it, its entities read ("#search", "entry:AT&T", "entry:100%").
struct NMHTMLVIEW {
    NMHDR hdr;
    QString szTarget;
};

// The view widget: a read-only text browser that never follows a link itself;
// a tapped link goes to the hotspot handler. It loads nothing a document refers to
// (pictures, style sheets): documents come from dictionary files, which may be
// damaged, and a reference such as <img src="/dev/zero"> must not make the
// program read files. Links are drawn underlined, in the palette's link colour
// when it stands out from the view's background, else in a blue that does
// (Qt's own blue on a dark palette's background cannot be read).
class CHtmlViewWidget : public QTextBrowser {
  public:
    explicit CHtmlViewWidget(QWidget* parent);

    // No resource is ever loaded: always empty data.
    QVariant loadResource(int type, const QUrl& name) override;

    // Replaces the document with the HTML `source` and keeps the source. Links
    // are drawn in the palette's link colour, or nearer its text colour where
    // that would hardly stand out from the background.
    void SetDocumentHtml(const QString& source);
    // The HTML source of the current document; empty for an empty one.
    const QString& DocumentHtml() const { return m_strSource; }

    void SetHotspotHandler(std::function<void(const NMHTMLVIEW& notify)> handler) {
        m_onHotspot = std::move(handler);
    }

  protected:
    // Ctrl with the wheel steps the program's text zoom, as Ctrl+plus and
    // Ctrl+minus do, instead of a size of the view's own; a plain turn scrolls.
    void wheelEvent(QWheelEvent* event) override;
    // A new palette draws the links in colours of its own.
    void changeEvent(QEvent* event) override;

  private:
    // The activated link's target as the document writes it: the URL that the
    // browser makes of it would write a '%' or a space otherwise.
    QString ActivatedTarget(const QUrl& link) const;
    void StyleLinks();

    QString m_strSource;
    std::function<void(const NMHTMLVIEW& notify)> m_onHotspot;
};

class CHtmlPane {
  public:
    // Stores the page and the view's place (x, y, width, height in the page's
    // client coordinates); creates no window.
    CHtmlPane(QWidget* parent, QRect rcPane);
    CHtmlPane(const CHtmlPane&) = delete;
    CHtmlPane& operator=(const CHtmlPane&) = delete;
    // Destroys the view if it still exists.
    virtual ~CHtmlPane();

    // Scrolls to "#top", "#search" or "#definition" (in any letter case): the
    // top of the document, or the line of the document's anchor "search" or
    // "definition" brought to the top of the view (as far as the document's
    // length allows). Any other target, or an anchor the document does not
    // have, changes nothing.
    virtual void GoToAnchor(const QString& target);

    // Makes the view a visible child of the page at its place with an empty
    // document, its text at the program's zoom, and gives it the focus; a
    // view made before is destroyed.
    // Returns the view's inner window (its viewport).
    QWidget* Create();
    // Replaces the whole document and shows it from its top. A text that
    // begins with exactly "<html>" is the document; any other text (also
    // "<HTML>...", or an empty one) is put inside "<html><body>...</body></html>".
    void SetHtml(const QString& text);
    // Copies the selected text to the clipboard and returns true. With nothing
    // selected it returns false and the clipboard holds what it held before.
    bool CopySelection();
    // Shows the document's text at `percent` of the page's font size.
    void SetTextZoom(int percent);
    // One page up or down; the page calls them once per Up/Down key press.
    void PageUp();
    void PageDown();
    // Destroys the view; View() becomes null.
    void Destroy();

    // Moves the view to `rcPane` (x, y, width, height in the page's client
    // coordinates), also for a view made later.
    void MoveTo(const QRect& rcPane);
    // The view; null until Create and after Destroy.
    CHtmlViewWidget* View() const { return m_hwndHtml.data(); }

  private:
    void ScrollPage(bool up);

    QPointer<CHtmlViewWidget> m_hwndHtml;
    QRect m_rcPane;         // x, y, width, height
    QWidget* m_hwndParent;  // the page
};

#endif  // LEXIVANE_HTML_HTML_PANE_H_
