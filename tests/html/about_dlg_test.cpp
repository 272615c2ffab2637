#include "html/about_dlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <QTimer>
#include <functional>

#include "res/resource.h"

using namespace platform;

namespace {

// Runs the About box modally; `whileOpen` runs once it shows, and must close it.
int RunAbout(CAboutDlg& box, const std::function<void()>& whileOpen) {
    QTimer::singleShot(0, &box, whileOpen);
    return box.DoModal();
}

QLabel* Label(CAboutDlg& box, int id) {
    return qobject_cast<QLabel*>(box.GetDlgItem(id));
}

TEST(AboutBoxTest, ShowsTheFiveTextsFromTheStringTable) {
    CAboutDlg box;
    const int result = RunAbout(box, [&] {
        EXPECT_EQ(box.windowTitle(), QStringLiteral("About Lexivane"));
        EXPECT_EQ(box.size(), QSize(240, 331)) << "the handheld's box and the dictionary below";
        EXPECT_EQ(Label(box, IDC_ABOUT_DICTIONARY)->text(), QString()) << "none open";
        EXPECT_EQ(Label(box, IDC_ABOUT_PRODUCT)->text(), QStringLiteral("Lexivane"));
        EXPECT_EQ(Label(box, IDC_ABOUT_VERSION)->text(), QStringLiteral("v.1.4 BUILD 1023"));
        EXPECT_EQ(Label(box, IDC_ABOUT_MAKER)->text(), QStringLiteral("The Lexivane project"));
        EXPECT_TRUE(Label(box, IDC_ABOUT_RIGHTS)->text().contains(QStringLiteral("2026")));

        const QStringList lines =
            Label(box, IDC_ABOUT_DETAIL)->text().split(QStringLiteral("\r\n"));
        ASSERT_EQ(lines.size(), 5);
        EXPECT_TRUE(lines[0].endsWith(QLatin1Char(' ')));
        EXPECT_GT(lines[0].trimmed().size(), 0);
        EXPECT_TRUE(lines[1].endsWith(QLatin1Char(' ')));
        EXPECT_TRUE(lines[1].contains(QStringLiteral("rights reserved"), Qt::CaseInsensitive));
        EXPECT_EQ(lines[2], QString());
        EXPECT_EQ(lines[3], QStringLiteral("For support on this product, "));
        EXPECT_TRUE(lines[4].startsWith(QStringLiteral("email: ")));
        EXPECT_GT(lines[4].size(), 7);
        box.close();
    });
    EXPECT_EQ(result, IDOK);
}

TEST(AboutBoxTest, ProductAndMakerAreBoldTheOtherTextsAreNot) {
    CAboutDlg box;
    RunAbout(box, [&] {
        EXPECT_TRUE(Label(box, IDC_ABOUT_PRODUCT)->font().bold());
        EXPECT_TRUE(Label(box, IDC_ABOUT_MAKER)->font().bold());
        EXPECT_EQ(Label(box, IDC_ABOUT_PRODUCT)->font().pointSizeF(), box.font().pointSizeF());
        for (int id : {IDC_ABOUT_VERSION, IDC_ABOUT_RIGHTS, IDC_ABOUT_DETAIL})
            EXPECT_FALSE(Label(box, id)->font().bold()) << id;
        box.close();
    });
}

TEST(AboutBoxTest, PictureAndTextsFitTheirPlaces) {
    CAboutDlg box;
    // The longest of the dictionaries' texts.
    box.SetDictionary(&res::Dictionaries()[2]);
    RunAbout(box, [&] {
        EXPECT_EQ(Label(box, IDC_ABOUT_DICTIONARY)->text(),
                  QStringLiteral("Dictionary: Large (GCIDE)\r\nGCIDE, The Collaborative "
                                 "International Dictionary of English; GNU General Public "
                                 "License."));
        QLabel* picture = Label(box, IDB_ABOUT);
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->pixmap().size(), QSize(32, 32));
        EXPECT_EQ(picture->geometry(), QRect(19, 14, 37, 35));
        for (int id : {IDC_ABOUT_PRODUCT, IDC_ABOUT_VERSION, IDC_ABOUT_MAKER, IDC_ABOUT_RIGHTS,
                       IDC_ABOUT_DETAIL, IDC_ABOUT_DICTIONARY}) {
            QLabel* label = Label(box, id);
            EXPECT_TRUE(label->isVisible()) << id;
            EXPECT_LE(label->heightForWidth(label->width()), label->height()) << id;
            EXPECT_FALSE(label->accessibleName().isEmpty()) << id;
        }
        box.close();
    });
}

}  // namespace
