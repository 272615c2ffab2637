#include "tests/support/page_helpers.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <cstdio>

#include "platform/messagebox.h"

QStringList Rows(QWidget* widget) {
    QStringList rows;
    auto* list = qobject_cast<QAbstractItemView*>(widget);
    QAbstractItemModel* model = list != nullptr ? list->model() : nullptr;
    for (int i = 0; model != nullptr && i < model->rowCount(); ++i)
        rows << model->index(i, 0).data().toString();
    return rows;
}

QByteArray Utf16Lines(const QStringList& words) {
    QByteArray bytes;
    for (const QString& word : words) {
        for (QChar c : word + QChar('\n')) {
            bytes.append(static_cast<char>(c.unicode() & 0xFF));
            bytes.append(static_cast<char>(c.unicode() >> 8));
        }
    }
    return bytes;
}

void TapToolButton(QWidget* page, const QString& name) {
    auto* bar = page != nullptr ? page->findChild<QToolBar*>() : nullptr;
    for (auto* button :
         bar != nullptr ? bar->findChildren<QToolButton*>() : QList<QToolButton*>{}) {
        if (button->accessibleName() == name) {
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
    }
    ADD_FAILURE() << "no toolbar button " << name.toStdString();
}

void TapListRow(QWidget* widget, int row) {
    auto* list = qobject_cast<QAbstractItemView*>(widget);
    ASSERT_TRUE(list != nullptr && list->isVisible() && row >= 0 && row < list->model()->rowCount())
        << "rows are tapped on a shown list";
    const QRect rect = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

QMenu* CommandBarMenu(QWidget* page, const QString& name) {
    auto* bar = page != nullptr ? page->findChild<QToolBar*>() : nullptr;
    for (auto* button :
         bar != nullptr ? bar->findChildren<QToolButton*>() : QList<QToolButton*>{}) {
        if (button->menu() != nullptr && button->accessibleName() == name) return button->menu();
    }
    return nullptr;
}

QString TitleOfModalOpenedBy(const std::function<void()>& open) {
    QWidget* const running = QApplication::activeModalWidget();
    QString title;
    // The timer goes with `guard` when `open` opened nothing.
    QObject guard;
    QTimer::singleShot(0, &guard, [&] {
        QWidget* window = QApplication::activeModalWidget();
        if (window == nullptr || window == running) return;
        title = window->windowTitle();
        window->close();
    });
    open();
    return title;
}

int PrintBoxAndAnswerOk(const platform::MessageBoxRecord& box) {
    std::fprintf(stderr, "box: %s: %s: %u\n", qPrintable(box.caption), qPrintable(box.text),
                 box.style);
    return platform::IDOK;
}
