// The framework's dialog model over QDialog: a page is built from its dialog
// template, binds its controls' notifications to its handlers in one place,
// runs modally and sees key and pointer messages before its controls do.
#ifndef LEXIVANE_PLATFORM_DIALOG_H_
#define LEXIVANE_PLATFORM_DIALOG_H_

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QRect>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "platform/messages.h"
#include "platform/types.h"

class QPainter;

namespace platform {

class CDataExchange;
class CWnd;

// Dialog units to pixels: 137 x 153 units are 240 x 268 pixels.
int DialogUnitsToPixelsX(int units);
int DialogUnitsToPixelsY(int units);

// Where a page's window stands on the desktop: its place and size when it is
// not maximised (the area inside the window manager's frame, in screen
// coordinates), and whether it is maximised.
struct WindowPlacement {
    QRect normal;
    bool maximised = false;
};

class CDialog : public QDialog {
  public:
    // `templateId` names a template of res/templates.h; `parent` null makes the
    // page a top-level window.
    explicit CDialog(int templateId, QWidget* parent = nullptr);
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;
    ~CDialog() override;

    // Builds the controls from the template (first run only), binds the
    // message map, runs OnInitDialog and shows the page modally. Returns the
    // code given to EndDialog (IDOK, IDCANCEL, ...), or -1 when the template
    // does not exist. The window that was active before gets the keyboard back.
    int DoModal();
    // Ends the modal run with `result`.
    void EndDialog(int result);

    // The control with that template id, or null.
    QWidget* GetDlgItem(int id) const;
    // Binds a wrapper to the control with that id (the framework's DDX_Control).
    void BindControl(int id, CWnd& wrapper) const;

    // Runs DoDataExchange: `saveAndValidate` TRUE reads the controls into the
    // page's members, FALSE writes the members into the controls. Always TRUE.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    // Moves the page to the centre of its screen.
    void CenterWindow();
    // Gives the page the place, size and maximised state of `window` (as it
    // stood when it closed, for a page that has), so that it covers it
    // exactly; nothing for null.
    void PlaceOver(const QWidget* window);
    // The page's placement: as it stands, or for a page that has closed, as
    // it stood then.
    WindowPlacement GetWindowPlacement() const;
    // Gives the page that placement. A normal place that no screen shows
    // keeps the page where it is, with the size asked for; no size is below
    // the page's handheld size or above its screen's.
    void SetWindowPlacement(const WindowPlacement& placement);

    // Sees every key and left-button message for the page's windows before
    // they do; TRUE swallows the message. Called by CApplication.
    virtual BOOL PreTranslateMessage(MSG* msg);

    // Runs the handler bound to command `id` (buttons, toolbar, menus); false
    // when none is bound.
    bool OnCommand(int id);

    // Tells every page that the soft input panel went up or down.
    static void BroadcastSettingChange();
    // Tells every page that the text zoom changed (platform/text_zoom.h).
    static void BroadcastTextZoomChange();
    // Closes every page that shows, the newest first, as its close button
    // does: the program's Quit command. Each modal run ends as its page closes.
    static void CloseAllPages();
    // Ends every page that shows with `result`, the newest first; each modal
    // run returns it as its page ends.
    static void EndAllPages(int result);

    // A message box or page that ran modally over this page has closed and
    // the page has the keyboard back: it puts the focus where its user
    // expects it. Nothing by default.
    virtual void OnModalClosed();

  protected:
    // The page's message map: binds its controls and commands to its On...
    // handlers with the Bind* functions below. Runs once, after the controls
    // exist and before OnInitDialog.
    virtual void BindMessageMap() {}
    // Runs after the controls exist and writes the members into them
    // (UpdateData(FALSE)); TRUE gives the focus to the first control that takes it.
    virtual BOOL OnInitDialog();
    // The page's bindings and value exchanges, with the DDX_ functions below.
    virtual void DoDataExchange(CDataExchange* dx);
    // The page's close button and Return on a default button: ends with IDOK.
    virtual void OnOK();
    // Escape: ends with IDCANCEL.
    virtual void OnCancel();
    // Paints the page's own drawing behind its controls.
    virtual void OnPaint(QPainter& painter);
    // The page's window became active (TRUE) or inactive.
    virtual void OnActivate(BOOL active);
    // The soft input panel went up or down (SHSipInfo tells where).
    virtual void OnSettingChange();
    // The page's size changed (the user or the window manager resized or
    // maximised it, or it took another page's size): the controls follow.
    // Nothing by default.
    virtual void OnSize();
    // The program's text zoom changed. Nothing by default.
    virtual void OnTextZoomChange();
    // How much wider and taller than its handheld size, its minimum, the page
    // is now.
    QSize Growth() const;
    // The page's window has gone: runs once at the end of each modal run.
    virtual void OnDestroy();
    // The window that was active when DoModal began, normally the page that
    // opened this one; null when none was.
    QWidget* Opener() const { return m_pOpener; }

    // Message-map entries.
    void BindCommand(int id,
                     std::function<void()> handler);  // BN_CLICKED and menu/toolbar commands
    void BindListSelChange(int id, std::function<void()> handler);  // LBN_SELCHANGE
    void BindListKillFocus(int id, std::function<void()> handler);  // LBN_KILLFOCUS
    void BindEditChange(int id, std::function<void()> handler);     // EN_CHANGE
    void BindVScroll(int id, std::function<void(UINT code, int position)> handler);  // WM_VSCROLL

    void accept() override;
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Notes the placement before the window goes.
    void done(int result) override;

  private:
    bool CreateControls();
    // Runs `action` on every page that shows, the newest first.
    static void ForEachShownPage(const std::function<void(CDialog* page)>& action);

    int m_nTemplateId;
    bool m_bCreated = false;
    std::vector<std::pair<int, QWidget*>> m_controls;  // in template order
    std::map<int, std::function<void()>> m_commands;
    QPointer<QWidget> m_pOpener;
    std::optional<WindowPlacement> m_closedPlacement;  // as it stood when the page last closed
};

// Gives the keyboard back to `opener`, the window that had it before a modal
// window ran, once that window has closed: the opener is activated again,
// whatever the window system activates next, and a page is told so
// (OnModalClosed). Nothing when the opener is null or hidden.
void GiveKeyboardBack(QWidget* opener);

// One run of a page's DoDataExchange.
class CDataExchange {
  public:
    CDataExchange(CDialog* page, BOOL saveAndValidate)
        : m_pDlgWnd(page), m_bSaveAndValidate(saveAndValidate) {}
    CDialog* Page() const { return m_pDlgWnd; }
    // TRUE: controls to members; FALSE: members to controls.
    BOOL Saving() const { return m_bSaveAndValidate; }

  private:
    CDialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Binds `control` to the page's control `id`.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
// The text of an edit, button or static control and `value`.
void DDX_Text(CDataExchange* dx, int id, QString& value);
// A check box's state and `value` (TRUE when checked).
void DDX_Check(CDataExchange* dx, int id, BOOL& value);

// The program's QApplication: hands each key and left-button event, once and
// before any widget sees it, to the PreTranslateMessage of the page whose
// window received it.
class CApplication : public QApplication {
  public:
    CApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace platform

#endif  // LEXIVANE_PLATFORM_DIALOG_H_
