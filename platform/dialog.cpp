#include "platform/dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <cstring>

#include "platform/controls.h"
#include "platform/resources.h"
#include "res/styles.h"
#include "res/templates.h"

namespace platform {
namespace {

using namespace res;

// Every page that exists, for the setting-change broadcast.
std::vector<CDialog*>& Pages() {
    static std::vector<CDialog*> pages;
    return pages;
}

// The dialog font's average character is 7 x 14 pixels: a horizontal dialog
// unit is a quarter of its width, a vertical one an eighth of its height.
constexpr int kBaseUnitX = 7;
constexpr int kBaseUnitY = 14;

QWidget* MakeControl(const res::ControlTemplate& item, QWidget* parent) {
    const QString text = QString::fromUtf8(item.text);
    QWidget* widget = nullptr;
    if (std::strcmp(item.className, "LISTBOX") == 0) {
        auto* list = new CListBoxWidget(parent);
        list->setVerticalScrollBarPolicy((item.style & WS_VSCROLL) ? Qt::ScrollBarAsNeeded
                                                                   : Qt::ScrollBarAlwaysOff);
        widget = list;
    } else if (std::strcmp(item.className, "BUTTON") == 0) {
        if ((item.style & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
            widget = new QCheckBox(text, parent);
        } else {
            auto* button = new QPushButton(text, parent);
            button->setAutoDefault(false);
            button->setDefault((item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
            widget = button;
        }
    } else if (std::strcmp(item.className, "EDIT") == 0) {
        auto* edit = new QLineEdit(text, parent);
        edit->setFrame((item.style & WS_BORDER) != 0);
        edit->setReadOnly((item.style & ES_READONLY) != 0);
        widget = edit;
    } else if (std::strcmp(item.className, "SCROLLBAR") == 0) {
        widget =
            new CScrollBarWidget((item.style & SBS_VERT) ? Qt::Vertical : Qt::Horizontal, parent);
    } else if (std::strcmp(item.className, "STATIC") == 0) {
        auto* label = new QLabel(parent);
        if ((item.style & SS_TYPEMASK) == SS_BITMAP) {
            label->setPixmap(LoadPicture(item.text));
        } else {
            label->setText(text);
            label->setWordWrap(true);
            if ((item.style & SS_TYPEMASK) == SS_CENTER)
                label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        }
        widget = label;
    } else {
        return nullptr;
    }
    widget->setObjectName(QStringLiteral("control%1").arg(item.id));
    widget->setAccessibleName(
        item.accessibleName != nullptr ? QString::fromUtf8(item.accessibleName) : text);
    if (!(item.style & WS_TABSTOP) && widget->focusPolicy() != Qt::NoFocus &&
        qobject_cast<QLabel*>(widget) == nullptr) {
        widget->setFocusPolicy(Qt::ClickFocus);
    }
    widget->setGeometry(DialogUnitsToPixelsX(item.x), DialogUnitsToPixelsY(item.y),
                        DialogUnitsToPixelsX(item.cx), DialogUnitsToPixelsY(item.cy));
    widget->setVisible((item.style & WS_VISIBLE) != 0);
    return widget;
}

// Qt's own style, except for the command bar's overflow button: Qt would
// read its picture by guessing the format, which loads every image plugin
// (gif, ico, jpeg) at each start.
class CProgramStyle : public QProxyStyle {
  public:
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                       const QWidget* widget) const override {
        if (icon == SP_ToolBarHorizontalExtensionButton ||
            icon == SP_ToolBarVerticalExtensionButton)
            return QIcon(LoadPicture(res::kMorePicturePath));
        return QProxyStyle::standardIcon(icon, option, widget);
    }
};

}  // namespace

int DialogUnitsToPixelsX(int units) {
    return (units * kBaseUnitX + 2) / 4;
}

int DialogUnitsToPixelsY(int units) {
    return (units * kBaseUnitY + 4) / 8;
}

CDialog::CDialog(int templateId, QWidget* parent) : QDialog(parent), m_nTemplateId(templateId) {
    Pages().push_back(this);
    QInputMethod* method = QGuiApplication::inputMethod();
    connect(method, &QInputMethod::visibleChanged, this, [this] { OnSettingChange(); });
    connect(method, &QInputMethod::keyboardRectangleChanged, this, [this] { OnSettingChange(); });
}

CDialog::~CDialog() {
    std::erase(Pages(), this);
}

void CDialog::BroadcastSettingChange() {
    const std::vector<CDialog*> pages = Pages();
    for (CDialog* page : pages) page->OnSettingChange();
}

void CDialog::BroadcastTextZoomChange() {
    const std::vector<CDialog*> pages = Pages();
    for (CDialog* page : pages) page->OnTextZoomChange();
}

void CDialog::CloseAllPages() {
    ForEachShownPage([](CDialog* page) { page->close(); });
}

void CDialog::EndAllPages(int result) {
    ForEachShownPage([result](CDialog* page) { page->EndDialog(result); });
}

void CDialog::ForEachShownPage(const std::function<void(CDialog* page)>& action) {
    const std::vector<CDialog*> pages = Pages();
    for (auto page = pages.rbegin(); page != pages.rend(); ++page) {
        if ((*page)->isVisible()) action(*page);
    }
}

bool CDialog::CreateControls() {
    if (m_bCreated) return true;
    const res::DialogTemplate* dialog = res::FindDialogTemplate(m_nTemplateId);
    if (dialog == nullptr) return false;
    setWindowTitle(QString::fromUtf8(dialog->caption));
    setAccessibleName(QString::fromUtf8(dialog->caption));
    // The handheld's size is the least a page may have: its controls are laid
    // out for it and only grow.
    resize(DialogUnitsToPixelsX(dialog->cx), DialogUnitsToPixelsY(dialog->cy));
    setMinimumSize(size());
    for (const res::ControlTemplate& item : dialog->controls) {
        if (QWidget* widget = MakeControl(item, this)) m_controls.emplace_back(item.id, widget);
    }
    m_bCreated = true;
    BindMessageMap();
    return true;
}

int CDialog::DoModal() {
    if (!CreateControls()) return -1;
    // The window that had the keyboard gets it back when this page ends, so
    // that keys go on to work there without a click.
    m_pOpener = QApplication::activeWindow();
    if (OnInitDialog()) {
        for (const auto& [id, widget] : m_controls) {
            if (!widget->isHidden() && (widget->focusPolicy() & Qt::TabFocus)) {
                widget->setFocus(Qt::OtherFocusReason);
                break;
            }
        }
    }
    const int result = exec();
    OnDestroy();
    GiveKeyboardBack(m_pOpener);
    return result;
}

void CDialog::EndDialog(int result) {
    done(result);
}

QWidget* CDialog::GetDlgItem(int id) const {
    for (const auto& [controlId, widget] : m_controls) {
        if (controlId == id) return widget;
    }
    return nullptr;
}

void CDialog::BindControl(int id, CWnd& wrapper) const {
    wrapper.Attach(GetDlgItem(id));
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::PlaceOver(const QWidget* window) {
    if (window == nullptr) return;
    if (const auto* page = dynamic_cast<const CDialog*>(window)) {
        SetWindowPlacement(page->GetWindowPlacement());
        return;
    }
    setGeometry(window->geometry());
}

WindowPlacement CDialog::GetWindowPlacement() const {
    if (!isVisible() && m_closedPlacement) return *m_closedPlacement;
    return {normalGeometry(), isMaximized()};
}

void CDialog::SetWindowPlacement(const WindowPlacement& placement) {
    // Out of the maximised state first: a window manager places and sizes
    // only a normal window.
    if (!placement.maximised && isMaximized()) setWindowState(windowState() & ~Qt::WindowMaximized);
    // A window that stays maximised keeps its own normal place: the window
    // manager would take a new one as a request to leave the maximised state.
    if (placement.maximised && isMaximized()) return;
    const QScreen* shownOn = nullptr;
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (shownOn == nullptr && screen->availableGeometry().intersects(placement.normal))
            shownOn = screen;
    }
    const QScreen* sizedBy = shownOn != nullptr ? shownOn : QGuiApplication::primaryScreen();
    QRect place = placement.normal;
    if (sizedBy != nullptr) place.setSize(place.size().boundedTo(sizedBy->availableSize()));
    if (shownOn != nullptr) {
        setGeometry(place);
    } else if (place.isValid()) {
        resize(place.size());
    }
    if (placement.maximised) setWindowState(windowState() | Qt::WindowMaximized);
}

QSize CDialog::Growth() const {
    return (size() - minimumSize()).expandedTo(QSize(0, 0));
}

void CDialog::CenterWindow() {
    QScreen* target = screen();
    if (target == nullptr) return;
    QRect frame = frameGeometry();
    frame.moveCenter(target->availableGeometry().center());
    move(frame.topLeft());
}

BOOL CDialog::PreTranslateMessage(MSG*) {
    return FALSE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::OnPaint(QPainter&) {}

void CDialog::OnActivate(BOOL) {}

void CDialog::OnSettingChange() {}

void CDialog::OnSize() {}

void CDialog::OnTextZoomChange() {}

void CDialog::OnDestroy() {}

void CDialog::OnModalClosed() {}

void GiveKeyboardBack(QWidget* opener) {
    if (opener == nullptr || !opener->isVisible()) return;
    opener->activateWindow();
    if (auto* page = dynamic_cast<CDialog*>(opener)) page->OnModalClosed();
}

void CDialog::BindCommand(int id, std::function<void()> handler) {
    m_commands[id] = std::move(handler);
    if (auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(id))) {
        connect(button, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
    }
}

void CDialog::BindListSelChange(int id, std::function<void()> handler) {
    if (auto* list = dynamic_cast<CListBoxWidget*>(GetDlgItem(id)))
        list->SetSelectHandler(std::move(handler));
}

void CDialog::BindListKillFocus(int id, std::function<void()> handler) {
    if (auto* list = dynamic_cast<CListBoxWidget*>(GetDlgItem(id)))
        list->SetKillFocusHandler(std::move(handler));
}

void CDialog::BindEditChange(int id, std::function<void()> handler) {
    if (auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(id))) {
        connect(edit, &QLineEdit::textChanged, this, [handler = std::move(handler)] { handler(); });
    }
}

void CDialog::BindVScroll(int id, std::function<void(UINT, int)> handler) {
    if (auto* bar = dynamic_cast<CScrollBarWidget*>(GetDlgItem(id)))
        bar->SetScrollHandler(std::move(handler));
}

bool CDialog::OnCommand(int id) {
    auto it = m_commands.find(id);
    if (it == m_commands.end() || !it->second) return false;
    it->second();
    return true;
}

void CDialog::accept() {
    OnOK();
}

void CDialog::reject() {
    OnCancel();
}

void CDialog::closeEvent(QCloseEvent* event) {
    // The window's close button is the page's OK button.
    if (isVisible()) OnOK();
    event->setAccepted(!isVisible());
}

void CDialog::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    OnPaint(painter);
}

void CDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    OnSize();
}

void CDialog::done(int result) {
    m_closedPlacement = WindowPlacement{normalGeometry(), isMaximized()};
    QDialog::done(result);
}

void CDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) OnActivate(isActiveWindow() ? TRUE : FALSE);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    dx->Page()->BindControl(id, control);
}

void DDX_Text(CDataExchange* dx, int id, QString& value) {
    CWnd control(dx->Page()->GetDlgItem(id));
    if (dx->Saving()) {
        value = control.GetWindowText();
    } else {
        control.SetWindowText(value);
    }
}

void DDX_Check(CDataExchange* dx, int id, BOOL& value) {
    CButton button(dx->Page()->GetDlgItem(id));
    if (dx->Saving()) {
        value = button.GetCheck() == BST_CHECKED ? TRUE : FALSE;
    } else {
        button.SetCheck(value ? BST_CHECKED : BST_UNCHECKED);
    }
}

CApplication::CApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setStyle(new CProgramStyle);
}

bool CApplication::notify(QObject* receiver, QEvent* event) {
    // QApplication::notify passes an unhandled key or click on to the parent
    // widgets itself; catching it here, before that, gives the page each
    // message exactly once, for the widget it was meant for.
    MSG msg;
    if (receiver->isWidgetType() &&
        TranslateEventToMessage(static_cast<QWidget*>(receiver), event, &msg)) {
        auto* page = dynamic_cast<CDialog*>(msg.hwnd->window());
        if (page != nullptr && page->PreTranslateMessage(&msg)) return true;
    }
    return QApplication::notify(receiver, event);
}

}  // namespace platform
