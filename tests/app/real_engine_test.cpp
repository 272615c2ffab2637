// Start-up and shutdown with the real engine library and real dictionaries.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <utility>
#include <vector>

#include "app/lexivane_app.h"
#include "lexicore/builder.h"
#include "platform/messagebox.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "res/resource.h"
#include "search/search_dlg.h"
#include "tests/support/page_helpers.h"

using namespace platform;

namespace {

lexicore::SourceEntry Entry(const std::string& word, const std::string& sense) {
    return {word, "<b>" + word + "</b> " + sense, word + ": " + sense, lexicore::kNoun};
}

class RealEngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
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

    void BuildDictionary(const QString& name, const std::vector<lexicore::SourceEntry>& entries) {
        lexicore::DictionarySource source;
        source.entries = entries;
        std::string error;
        ASSERT_TRUE(
            lexicore::WriteDictionary(source, m_dir.filePath(name).toStdString(), nullptr, &error))
            << error;
    }

    BOOL Start(CLexivaneApp& app, std::function<void(CSearchDlg&)> whileRunning) {
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [this, whileRunning] {
            auto* page = dynamic_cast<CSearchDlg*>(QApplication::activeModalWidget());
            if (page == nullptr) return;
            ++m_pageRuns;
            whileRunning(*page);
            page->close();
        });
        timer.start(0);
        return app.InitInstance();
    }

    QTemporaryDir m_dir;
    std::vector<MessageBoxRecord> m_boxes;
    int m_pageRuns = 0;
};

TEST_F(RealEngineTest, LargestDictionaryIsOpenAndServesThePage) {
    BuildDictionary("English Dictionary (small).pdb",
                    {Entry("a", "small"), Entry("cat", "small cat")});
    BuildDictionary(
        "English Dictionary (medium).pdb",
        {Entry("a", "first letter"), Entry("cat", "a small feline"), Entry("dog", "a canine")});
    CLexivaneApp app;
    Start(app, [&](CSearchDlg& page) {
        EXPECT_EQ(Rows(page.GetDlgItem(IDC_WORDLIST)), (QStringList{"a", "cat", "dog"}));
        CWordServices words(app.m_hEngine);
        EXPECT_EQ(words.NearestWord("ca"), QStringLiteral("cat"));
        EXPECT_EQ(words.NearestIndex("cat"), 1u);
        EXPECT_EQ(words.NearestIndex("a"), 0u);
        EXPECT_TRUE(words.RenderEntry("cat", true).contains("a small feline"));
        EXPECT_TRUE(words.RenderEntry("dog", false).contains("a canine"));
    });
    EXPECT_EQ(m_pageRuns, 1);
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_EQ(app.m_hEngine, 0u) << "the engine clears the handle it closed";
}

TEST_F(RealEngineTest, RefusedDictionaryIsReportedWithWhatIsWrongWithIt) {
    const QString name = QStringLiteral("English Dictionary (large).pdb");
    BuildDictionary(name, {Entry("a", "first letter"), Entry("cat", "feline")});
    QFile file(m_dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray dictionary = file.readAll();
    file.close();
    // Not a dictionary, one cut short, one with a damaged index.
    QByteArray damaged = dictionary;
    damaged[damaged.size() - 1] = static_cast<char>(damaged[damaged.size() - 1] ^ 1);
    const std::vector<std::pair<QByteArray, QString>> cases = {
        {QByteArray(4096, 'x'), "11"},
        {QByteArray(), "11"},
        {dictionary.left(dictionary.size() / 2), "13"},
        {damaged, "13"}};
    for (const auto& [contents, code] : cases) {
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(contents);
        file.close();
        m_boxes.clear();
        CLexivaneApp app;
        Start(app, [](CSearchDlg&) {});
        EXPECT_EQ(m_pageRuns, 0);
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0].text, "Error in opening dictionary file : " + code);
        EXPECT_EQ(app.ExitInstance(), 0);
    }
}

TEST_F(RealEngineTest, SecondCopyLeavesTheFirstCopysEngineWorking) {
    BuildDictionary("English Dictionary (small).pdb",
                    {Entry("a", "first letter"), Entry("cat", "feline")});
    CLexivaneApp first;
    Start(first, [&](CSearchDlg& page) {
        CLexivaneApp second;
        second.InitInstance();
        second.ExitInstance();
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0].text, QStringLiteral("CreateFileForMapping : 32"));
        EXPECT_TRUE(CWordServices(first.m_hEngine).RenderEntry("cat", true).contains("feline"))
            << "the first copy goes on";
        EXPECT_TRUE(page.isVisible());
    });
    EXPECT_EQ(m_pageRuns, 1);
    first.ExitInstance();
}

}  // namespace
