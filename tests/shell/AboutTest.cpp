// The About box: its texts, the version line, the two links and the button that closes it.

#include "FrmAbout.h"

#include <ZuLinkLabel.h>

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace tunola;

namespace {

TEST(About, VersionTextHasTheFourPartsMostSignificantFirst) {
    EXPECT_EQ(TfrmAbout::VersionText({2, 4, 0, 865}), QStringLiteral("版本 v2.4.0.865"));
    EXPECT_EQ(TfrmAbout::VersionText({}), QStringLiteral("版本 v0.0.0.0"));
    EXPECT_EQ(TfrmAbout::VersionText({65535, 1, 2, 3}), QStringLiteral("版本 v65535.1.2.3"));
}

TEST(About, TextsLinksAndClose) {
    TfrmAbout about({2, 0, 0, 0}, QStringLiteral("https://project.test/"),
                    QStringLiteral("http://127.0.0.1:7860/"));
    EXPECT_EQ(about.size(), QSize(370, 181));
    EXPECT_EQ(about.Label1->text(), QStringLiteral("听风 （云雀 2）"));
    EXPECT_TRUE(about.Label1->font().bold());
    EXPECT_EQ(about.Label1->pos(), QPoint(8, 16));
    EXPECT_EQ(about.Label3->text(), QStringLiteral("版本 v2.0.0.0"));
    EXPECT_FALSE(about.Label2->text().isEmpty());
    EXPECT_EQ(about.ZuLinkLabel1->URL(), QStringLiteral("https://project.test/"));
    EXPECT_EQ(about.ZuLinkLabel2->URL(), QStringLiteral("http://127.0.0.1:7860/"));
    EXPECT_EQ(about.ZuLinkLabel2->pos(), QPoint(120, 104));
    EXPECT_EQ(about.Button1->text(), QStringLiteral("确定(&O)"));
    EXPECT_EQ(about.Button1->geometry(), QRect(147, 144, 75, 25));
    about.show();
    about.Button1->click();
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

} // namespace
