// Running pages modally inside a test, the way the program runs them.
#ifndef LEXIVANE_TESTS_SUPPORT_RUN_PAGE_H_
#define LEXIVANE_TESTS_SUPPORT_RUN_PAGE_H_

#include <functional>

namespace platform {
class CDialog;
}
class QWidget;

// Runs `page` modally, calls `body` once its window is active, then ends the
// page with IDOK. A page whose window never becomes active fails the test
// instead of skipping `body`.
void RunPageModally(platform::CDialog& page, const std::function<void()>& body);

// Arranges for the next modal page that opens to be handed to `record` and
// closed at once; a page of another kind than the caller expects is the
// caller's to reject.
void CloseNextModalPage(const std::function<void(QWidget* page)>& record);

#endif  // LEXIVANE_TESTS_SUPPORT_RUN_PAGE_H_
