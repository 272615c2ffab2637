// Message boxes with the platform's styles and results, and the fatal-error exit.
#ifndef LEXIVANE_PLATFORM_MESSAGEBOX_H_
#define LEXIVANE_PLATFORM_MESSAGEBOX_H_

#include <QString>
#include <functional>

#include "platform/types.h"

class QWidget;

namespace platform {

// What a box showed, as a test responder sees it.
struct MessageBoxRecord {
    QWidget* owner;
    QString text;
    QString caption;  // after the default caption has been applied
    UINT style;
};

// Shows `text` in a modal box owned by `owner` (null: no owner) and returns the
// button chosen (IDOK, IDCANCEL, IDYES, ...). The icon comes from the
// MB_ICON* bits, the buttons from the MB_TYPEMASK bits, the default button
// from MB_DEFBUTTON*. An empty caption shows the platform's default, "Error".
// Closing the box without a button gives IDCANCEL when it has a Cancel
// button, else its only (or default) button.
int MessageBox(QWidget* owner, const QString& text, const QString& caption = QString(),
               UINT style = MB_OK);

// Tests: while a responder is installed, every box goes to it instead of the
// screen, and its result is MessageBox's result. An empty function removes it.
using MessageBoxResponder = std::function<int(const MessageBoxRecord&)>;
void SetMessageBoxResponder(MessageBoxResponder responder);

// Shows `text` with `caption` and MB_ICONHAND, owned by `owner`, then ends the
// process with exit code 1: static objects are destroyed, nothing else runs
// (no ExitInstance, no page shutdown). Never returns.
[[noreturn]] void FatalError(QWidget* owner, const QString& text, const QString& caption);

}  // namespace platform

#endif  // LEXIVANE_PLATFORM_MESSAGEBOX_H_
