#include "platform/messagebox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/dialog.h"

namespace platform {

namespace {

MessageBoxResponder& Responder() {
    static MessageBoxResponder responder;
    return responder;
}

struct ButtonChoice {
    QMessageBox::StandardButton button;
    int result;
};

std::vector<ButtonChoice> ButtonsFor(UINT style) {
    switch (style & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
        case MB_ABORTRETRYIGNORE:
            return {{QMessageBox::Abort, IDABORT},
                    {QMessageBox::Retry, IDRETRY},
                    {QMessageBox::Ignore, IDIGNORE}};
        case MB_YESNOCANCEL:
            return {{QMessageBox::Yes, IDYES},
                    {QMessageBox::No, IDNO},
                    {QMessageBox::Cancel, IDCANCEL}};
        case MB_YESNO:
            return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
        case MB_RETRYCANCEL:
            return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
        default:
            return {{QMessageBox::Ok, IDOK}};
    }
}

QMessageBox::Icon IconFor(UINT style) {
    switch (style & MB_ICONMASK) {
        case MB_ICONHAND:
            return QMessageBox::Critical;
        case MB_ICONQUESTION:
            return QMessageBox::Question;
        case MB_ICONEXCLAMATION:
            return QMessageBox::Warning;
        case MB_ICONASTERISK:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

}  // namespace

void SetMessageBoxResponder(MessageBoxResponder responder) {
    Responder() = std::move(responder);
}

int MessageBox(QWidget* owner, const QString& text, const QString& caption, UINT style) {
    const QString shownCaption = caption.isEmpty() ? QStringLiteral("Error") : caption;
    if (Responder()) return Responder()(MessageBoxRecord{owner, text, shownCaption, style});

    QMessageBox box(IconFor(style), shownCaption, text, QMessageBox::NoButton, owner);
    const std::vector<ButtonChoice> buttons = ButtonsFor(style);
    int escapeResult = buttons.size() == 1 ? buttons.front().result : IDCANCEL;
    QAbstractButton* escape = nullptr;
    for (const ButtonChoice& choice : buttons) {
        QAbstractButton* button = box.addButton(choice.button);
        if (choice.result == escapeResult) escape = button;
    }
    const size_t defaultIndex = (style & MB_DEFMASK) >> 8;
    if (defaultIndex < buttons.size()) box.setDefaultButton(buttons[defaultIndex].button);
    if (escape != nullptr) box.setEscapeButton(escape);
    box.setAccessibleName(shownCaption);
    const QPointer<QWidget> opener = QApplication::activeWindow();
    box.exec();
    GiveKeyboardBack(opener);

    QAbstractButton* clicked = box.clickedButton();
    for (const ButtonChoice& choice : buttons) {
        if (clicked != nullptr && box.standardButton(clicked) == choice.button)
            return choice.result;
    }
    return escapeResult;
}

void FatalError(QWidget* owner, const QString& text, const QString& caption) {
    MessageBox(owner, text, caption, MB_ICONHAND);
    std::exit(1);
}

}  // namespace platform
