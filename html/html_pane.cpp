#include "html/html_pane.h"

#include <QAbstractTextDocumentLayout>
#include <QColor>
#include <QEvent>
#include <QPalette>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QUrl>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <optional>

#include "platform/clipboard.h"
#include "platform/text_zoom.h"

namespace {

// The top of the line that holds the document's anchor `name`, in document
// pixels; nothing when the document has no such anchor.
std::optional<int> AnchorTop(QTextDocument* document, const QString& name) {
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().anchorNames().contains(name)) continue;
            double top = document->documentLayout()->blockBoundingRect(block).top();
            if (const QTextLayout* layout = block.layout()) {
                const QTextLine line =
                    layout->lineForTextPosition(fragment.position() - block.position());
                if (line.isValid()) top += line.y();
            }
            return static_cast<int>(std::lround(top));
        }
    }
    return std::nullopt;
}

// The relative luminance of `colour`, 0 for black to 1 for white, as the web's
// accessibility guidelines reckon it.
double Luminance(const QColor& colour) {
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

// How far apart two colours stand, from 1 (the same) to 21 (black and white).
double Contrast(const QColor& one, const QColor& other) {
    const double first = Luminance(one);
    const double second = Luminance(other);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

// What normal text needs to be read with ease against its background.
constexpr double kReadableContrast = 4.5;

}  // namespace

CHtmlViewWidget::CHtmlViewWidget(QWidget* parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    setOpenExternalLinks(false);
    StyleLinks();
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        if (!m_onHotspot) return;
        NMHTMLVIEW notify{{this, HTML_CONTROL_ID, NM_HOTSPOT}, ActivatedTarget(link)};
        m_onHotspot(notify);
    });
}

QString CHtmlViewWidget::ActivatedTarget(const QUrl& link) const {
    // A click and Return alike select the link they activate.
    QTextCursor cursor = textCursor();
    cursor.setPosition(cursor.selectionStart());
    cursor.movePosition(QTextCursor::NextCharacter);
    const QString href = cursor.charFormat().anchorHref();
    return href.isEmpty() ? link.toString() : href;
}

void CHtmlViewWidget::StyleLinks() {
    QColor link = palette().color(QPalette::Link);
    const QColor background = palette().color(QPalette::Base);
    if (Contrast(link, background) < kReadableContrast) {
        link = background.lightness() < 128 ? QColor(0x8A, 0xB4, 0xF8) : QColor(0x00, 0x00, 0xCC);
    }
    document()->setDefaultStyleSheet(
        QStringLiteral("a[href] { color: %1; text-decoration: underline; }").arg(link.name()));
}

void CHtmlViewWidget::changeEvent(QEvent* event) {
    QTextBrowser::changeEvent(event);
    if (event->type() != QEvent::PaletteChange) return;
    StyleLinks();
    // The colours are taken when the document is read: read it again, where it was.
    const int top = verticalScrollBar()->value();
    setHtml(m_strSource);
    verticalScrollBar()->setValue(top);
}

QVariant CHtmlViewWidget::loadResource(int, const QUrl&) {
    // Empty data, not an invalid value: for an invalid one the document would
    // read the file itself.
    return QVariant(QByteArray());
}

void CHtmlViewWidget::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QTextBrowser::wheelEvent(event);
        return;
    }
    event->accept();
    const int delta = event->angleDelta().y();
    if (delta != 0) platform::SetTextZoom(platform::NextTextZoom(platform::TextZoom(), delta > 0));
}

void CHtmlViewWidget::SetDocumentHtml(const QString& source) {
    m_strSource = source;
    setHtml(source);
}

CHtmlPane::CHtmlPane(QWidget* parent, QRect rcPane) : m_rcPane(rcPane), m_hwndParent(parent) {}

CHtmlPane::~CHtmlPane() {
    delete m_hwndHtml.data();
}

QWidget* CHtmlPane::Create() {
    // A second Create replaces the view rather than leaving a stray one on the page.
    delete m_hwndHtml.data();
    m_hwndHtml = new CHtmlViewWidget(m_hwndParent);
    m_hwndHtml->setObjectName(QStringLiteral("control%1").arg(HTML_CONTROL_ID));
    m_hwndHtml->setAccessibleName(QStringLiteral("Document"));
    m_hwndHtml->setGeometry(m_rcPane);
    SetTextZoom(platform::TextZoom());
    m_hwndHtml->setVisible(true);
    m_hwndHtml->setFocus(Qt::OtherFocusReason);
    m_hwndHtml->SetDocumentHtml(QString());
    return m_hwndHtml->viewport();
}

void CHtmlPane::SetHtml(const QString& text) {
    if (m_hwndHtml == nullptr) return;
    const QString document =
        text.startsWith(QLatin1String("<html>"), Qt::CaseSensitive)
            ? text
            : QLatin1String("<html><body>") + text + QLatin1String("</body></html>");
    // Emptying the view first drops the old document's scroll position, so the
    // new one shows from its top.
    m_hwndHtml->SetDocumentHtml(QString());
    m_hwndHtml->SetDocumentHtml(document);
}

bool CHtmlPane::CopySelection() {
    const QString previous = platform::ClipboardText();
    platform::ClearClipboard();
    if (m_hwndHtml != nullptr) m_hwndHtml->copy();
    if (!platform::ClipboardText().isEmpty()) return true;
    platform::CopyTextToClipboard(previous);
    return false;
}

void CHtmlPane::SetTextZoom(int percent) {
    if (m_hwndHtml == nullptr) return;
    m_hwndHtml->setFont(platform::ZoomedFont(m_hwndParent->font(), percent));
}

void CHtmlPane::MoveTo(const QRect& rcPane) {
    m_rcPane = rcPane;
    if (m_hwndHtml != nullptr) m_hwndHtml->setGeometry(m_rcPane);
}

void CHtmlPane::PageUp() {
    ScrollPage(true);
}

void CHtmlPane::PageDown() {
    ScrollPage(false);
}

void CHtmlPane::ScrollPage(bool up) {
    if (m_hwndHtml == nullptr) return;
    m_hwndHtml->verticalScrollBar()->triggerAction(up ? QAbstractSlider::SliderPageStepSub
                                                      : QAbstractSlider::SliderPageStepAdd);
}

void CHtmlPane::GoToAnchor(const QString& target) {
    if (m_hwndHtml == nullptr) return;
    QScrollBar* bar = m_hwndHtml->verticalScrollBar();
    if (target.compare(QLatin1String("#top"), Qt::CaseInsensitive) == 0) {
        bar->setValue(bar->minimum());
        return;
    }
    for (const char* name : {"search", "definition"}) {
        if (target.compare(QLatin1Char('#') + QLatin1String(name), Qt::CaseInsensitive) != 0)
            continue;
        // The document may not be laid out yet when the page has just opened.
        QTextDocument* document = m_hwndHtml->document();
        document->documentLayout()->documentSize();
        if (const std::optional<int> top = AnchorTop(document, QLatin1String(name)))
            bar->setValue(*top);
        return;
    }
}

void CHtmlPane::Destroy() {
    delete m_hwndHtml.data();
}
