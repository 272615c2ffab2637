// The road of a typical request with the real engine, from start-up: the user
// types "Cat " into the search box, taps "cat", reads its entry, steps to the
// next headword and closes the page, and finds the search page as it was.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <string>
#include <vector>

#include "app/lexivane_app.h"
#include "definition/definition_dlg.h"
#include "lexicore/builder.h"
#include "platform/controls.h"
#include "platform/messagebox.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "res/resource.h"
#include "search/search_dlg.h"
#include "tests/support/page_helpers.h"

using namespace platform;

namespace {

// Closes the page on top however the test body returns, so that a failed
// assertion never leaves a modal page running.
struct ClosesTopPage {
    ~ClosesTopPage() {
        if (QWidget* page = QApplication::activeModalWidget()) page->close();
    }
};

class TypicalRequestTest : public ::testing::Test {
  protected:
    void SetUp() override {
        lexicore::DictionarySource source;
        auto add = [&](const std::string& word, const std::string& sense) {
            source.entries.push_back({word, "<b>" + word + "</b> <i>n.</i> 1. " + sense,
                                      word + " n. 1. " + sense, lexicore::kNoun});
        };
        add("a", "the first letter");
        add("cat", "a small domesticated feline");
        add("catalog", "a complete list of things");
        for (int i = 0; i < 60; ++i) add("cato" + std::to_string(100 + i), "a filler word");
        std::string error;
        ASSERT_TRUE(lexicore::WriteDictionary(
            source, m_dir.filePath("English Dictionary (small).pdb").toStdString(), nullptr,
            &error))
            << error;
        SetModuleFileNameForTesting(m_dir.filePath("lexivane"));
        SetMessageBoxResponder([this](const MessageBoxRecord& box) {
            m_boxes.push_back(box);
            return IDOK;
        });
    }
    void TearDown() override {
        SetMessageBoxResponder({});
        SetModuleFileNameForTesting(QString());
    }

    QTemporaryDir m_dir;
    std::vector<MessageBoxRecord> m_boxes;
};

TEST_F(TypicalRequestTest, TypeTapReadStepCloseAndCarryOn) {
    CLexivaneApp app;
    bool searched = false;
    bool defined = false;
    QTimer::singleShot(0, [&] {
        ClosesTopPage closes;
        auto* search = dynamic_cast<CSearchDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(search, nullptr);
        QTest::keyClicks(search->GetDlgItem(IDC_SEARCH_EDIT), "Cat ");
        auto* list = dynamic_cast<CListBoxWidget*>(search->GetDlgItem(IDC_WORDLIST));
        ASSERT_EQ(list->model()->index(0, 0).data().toString(), QStringLiteral("cat"));
        EXPECT_EQ(list->currentIndex().row(), 0);
        const QStringList rowsBefore = Rows(list);

        QTimer::singleShot(0, [&] {
            ClosesTopPage closes;
            auto* page = dynamic_cast<CDefinitionDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(page, nullptr);
            defined = true;
            auto* pane = page->findChild<QTextBrowser*>();
            ASSERT_NE(pane, nullptr);
            EXPECT_EQ(page->Word(), QStringLiteral("cat"));
            EXPECT_TRUE(pane->toPlainText().contains("a small domesticated feline"));
            QTest::keyClick(pane, Qt::Key_Right);
            EXPECT_EQ(page->Word(), QStringLiteral("catalog"));
            EXPECT_TRUE(pane->toPlainText().contains("a complete list of things"));
            EXPECT_EQ(Rows(page->GetDlgItem(IDC_HISTORY_LIST)),
                      (QStringList{"History", "---Clear All---", "catalog"}));
        });
        const QRect cat = list->visualRect(list->model()->index(0, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cat.center());
        EXPECT_TRUE(defined);

        EXPECT_EQ(Rows(list), rowsBefore) << "the search page is unchanged";
        EXPECT_EQ(qobject_cast<QLineEdit*>(search->GetDlgItem(IDC_SEARCH_EDIT))->text(),
                  QStringLiteral("Cat "));
        const int pageRows = search->WordWindow().PageRows();
        ASSERT_LT(pageRows, 30) << "the dictionary must be longer than two pages";
        auto* bar = qobject_cast<QScrollBar*>(search->GetDlgItem(IDC_WORD_SCROLL));
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        // Headwords: a, cat, catalog, cato100 ... cato159; the window began at cat (index 1).
        EXPECT_EQ(list->model()->index(0, 0).data().toString(),
                  QStringLiteral("cato%1").arg(98 + pageRows))
            << "exactly one page further";
        searched = true;
    });
    app.InitInstance();
    app.ExitInstance();
    EXPECT_TRUE(searched);
    EXPECT_TRUE(m_boxes.empty());
}

}  // namespace
