#include "tests/support/run_page.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "platform/dialog.h"
#include "platform/types.h"

void RunPageModally(platform::CDialog& page, const std::function<void()>& body) {
    QTimer::singleShot(0, &page, [&] {
        if (QTest::qWaitForWindowActive(&page)) {
            body();
        } else {
            ADD_FAILURE() << "the page's window never became active";
        }
        page.EndDialog(platform::IDOK);
    });
    page.DoModal();
}

void CloseNextModalPage(const std::function<void(QWidget* page)>& record) {
    QTimer::singleShot(0, [record] {
        QWidget* page = QApplication::activeModalWidget();
        if (page == nullptr) return;
        record(page);
        page->close();
    });
}
