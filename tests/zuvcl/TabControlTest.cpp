// The tab strip: layout, selection and clamping, painting with the image's bands and the
// captions' colours, drags from other controls; the link label: colours, underline and
// opening its address on a click.

#include "ControlsTestSupport.h"
#include "ZuLinkLabel.h"
#include "ZuTabControl.h"

#include <QApplication>
#include <QFontMetrics>
#include <QTest>

#include <gtest/gtest.h>

namespace tunola {
namespace {

using namespace testing_support;

void MoveTo(QWidget& w, QPoint p) {
    QTest::mouseMove(&w, p);
    QApplication::processEvents();
}

TEST(TabLayout, TabsAreCaptionWidthPlus20AndSpacingApart) {
    // The library window's strip: two captions 48 wide, spacing 1, 137 wide in all.
    const std::vector<QRect> r = ZuTabLayout({48, 48}, 1, 21);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].left(), 0);
    EXPECT_EQ(r[0].left() + r[0].width(), 68);
    EXPECT_EQ(r[1].left(), 69);
    EXPECT_EQ(r[1].left() + r[1].width(), 137);
    EXPECT_EQ(r[1].top(), 0);
    EXPECT_EQ(r[1].height(), 21);
    EXPECT_TRUE(ZuTabLayout({}, 1, 21).empty());
    EXPECT_EQ(ZuStripFirstAmpersand(QStringLiteral("&File && more")),
              QStringLiteral("File && more"));
}

class TabControlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureWidgetApplication(); }
    void SetUp() override {
        tabs_ = new TZuTabControl(&host_);
        tabs_->setGeometry(0, 0, 160, 24);
        tabs_->SetTabSpacing(1);
        tabs_->OnTabChanged = [this](QWidget&) { changes_.push_back(tabs_->ActiveTab()); };
        tabs_->SetTabs({QStringLiteral(" 音乐分享 "), QStringLiteral("音乐搜索")});
        changes_.clear();
    }
    QWidget host_;
    TZuTabControl* tabs_ = nullptr;
    std::vector<int> changes_;
};

TEST_F(TabControlTest, PropertiesAndClamping) {
    EXPECT_EQ(tabs_->Tabs()[0], QStringLiteral("音乐分享")); // trimmed
    const int w = QFontMetrics(tabs_->font()).horizontalAdvance(QStringLiteral("音乐分享"));
    ASSERT_EQ(tabs_->TabRects().size(), 2u);
    EXPECT_EQ(tabs_->TabRects()[1].left(), w + 20 + 1);

    const struct { int set, active; } cases[] = {{5, 1}, {-1, 0}, {1, 1}, {1, 1}};
    for (const auto& c : cases) {
        changes_.clear();
        tabs_->SetActiveTab(c.set);
        EXPECT_EQ(tabs_->ActiveTab(), c.active) << c.set;
        EXPECT_EQ(changes_, std::vector<int>{c.active}) << c.set; // fires on every set
    }
    // A shorter list pulls the active tab in without an event.
    changes_.clear();
    tabs_->SetTabs({QStringLiteral("一")});
    EXPECT_EQ(tabs_->ActiveTab(), 0);
    tabs_->SetTabs({});
    EXPECT_EQ(tabs_->ActiveTab(), 0);
    EXPECT_TRUE(changes_.empty());

    tabs_->SetTabSpacing(0);
    EXPECT_EQ(tabs_->TabSpacing(), 1);
    tabs_->SetTabHeight(-4);
    EXPECT_EQ(tabs_->TabHeight(), 0);
    EXPECT_EQ(TZuTabControl().Color(), 0xE1EAEB);
    EXPECT_EQ(TZuTabControl().TabSpacing(), 0);
    EXPECT_EQ(TZuTabControl().TabHeight(), 21);
}

TEST_F(TabControlTest, PressingATabSelectsItOnce) {
    ShowAndWait(host_);
    const QPoint second = tabs_->TabRects()[1].center();
    QTest::mousePress(tabs_, Qt::LeftButton, {}, second);
    QTest::mouseRelease(tabs_, Qt::LeftButton, {}, second);
    EXPECT_EQ(changes_, std::vector<int>{1});
    // The active tab again: nothing; outside every tab: nothing.
    QTest::mousePress(tabs_, Qt::LeftButton, {}, second);
    QTest::mouseRelease(tabs_, Qt::LeftButton, {}, second);
    QTest::mousePress(tabs_, Qt::LeftButton, {}, QPoint(158, 5));
    QTest::mouseRelease(tabs_, Qt::LeftButton, {}, QPoint(158, 5));
    EXPECT_EQ(changes_, std::vector<int>{1});
    QTest::mousePress(tabs_, Qt::RightButton, {}, tabs_->TabRects()[0].center());
    QTest::mouseRelease(tabs_, Qt::RightButton, {}, tabs_->TabRects()[0].center());
    EXPECT_EQ(changes_, (std::vector<int>{1, 0})); // any button
}

TEST_F(TabControlTest, PaintsBandsAndCaptionsWithInactiveTabsLower) {
    // Bands of 7 rows: 0 inactive (blue), 1 active (green), 2 (red, background only).
    TZuBitmap32 image;
    image.SetSize(10, 21);
    image.FillRect({0, 0, 10, 7}, 0xFF0000FFu);
    image.FillRect({0, 7, 10, 14}, 0xFF00FF00u);
    image.FillRect({0, 14, 10, 21}, 0xFFFF0000u);
    tabs_->SetImage(image);
    tabs_->SetTabs({QStringLiteral("H"), QStringLiteral("H")});
    tabs_->SetAColor(0x000000);
    tabs_->SetDColor(0xFFFFFF);
    tabs_->SetActiveTab(0);
    ShowAndWait(host_);
    const QImage shot = Grab(*tabs_);
    const QRect a = tabs_->TabRects()[0], b = tabs_->TabRects()[1];
    // The active tab fills its rectangle from row 0 with band 1; the inactive one starts 2 rows
    // lower with band 0, the strip's own background (the whole image stretched) above it.
    EXPECT_EQ(shot.pixel(a.left() + 1, 0), 0xFF00FF00u);
    EXPECT_EQ(shot.pixel(b.left() + 1, 0), 0xFF0000FFu);  // background: the image's top band
    EXPECT_EQ(shot.pixel(b.left() + 1, 23), 0xFFFF0000u); // below the tabs: the bottom band
    EXPECT_EQ(shot.pixel(b.left() + 1, 2), 0xFF0000FFu);  // band 0 of the lower tab
    EXPECT_EQ(shot.pixel(a.left() + 1, 20), 0xFF00FF00u);
    EXPECT_EQ(shot.pixel(b.left() + 1, 22), 0xFF0000FFu); // inactive tab reaches 2 lower
    EXPECT_NE(shot.pixel(a.left() + 1, 22), 0xFF00FF00u);
    // Captions: black pixels only in the active tab, white ones only in the inactive one, and
    // the white text's top sits 2 rows below the black text's top.
    // Text is smoothed, so "black" and "white" mean close to them.
    auto near = [](QRgb p, QRgb c) {
        return std::abs(qRed(p) - qRed(c)) < 70 && std::abs(qGreen(p) - qGreen(c)) < 70 &&
               std::abs(qBlue(p) - qBlue(c)) < 70;
    };
    auto firstRow = [&](const QRect& r, QRgb colour) {
        for (int y = 0; y < shot.height(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (near(shot.pixel(x, y), colour))
                    return y;
        return -1;
    };
    const int blackTop = firstRow(a, 0xFF000000u), whiteTop = firstRow(b, 0xFFFFFFFFu);
    ASSERT_GE(blackTop, 0);
    ASSERT_GE(whiteTop, 0);
    EXPECT_EQ(firstRow(b, 0xFF000000u), -1);
    // The same caption in both, so their tops differ by the 2-pixel drop.
    EXPECT_EQ(whiteTop - blackTop, 2);
}

TEST_F(TabControlTest, AmpersandMeasuredWithoutAndUnderlined) {
    tabs_->SetTabs({QStringLiteral("&Share"), QStringLiteral("Share")});
    const QRect with = tabs_->TabRects()[0], without = tabs_->TabRects()[1];
    EXPECT_EQ(with.width(), without.width());
    tabs_->setGeometry(0, 0, 200, 24);
    tabs_->SetAColor(0x000000);
    tabs_->SetDColor(0x000000);
    ShowAndWait(host_);
    // The underline under "S": a row of dark pixels below the caption of the first tab only.
    const QImage shot = Grab(*tabs_);
    auto darkRuns = [&](const QRect& r) {
        int longest = 0;
        for (int y = 0; y < shot.height(); ++y) {
            int run = 0;
            for (int x = r.left(); x <= r.right(); ++x) {
                run = qGray(shot.pixel(x, y)) < 60 ? run + 1 : 0;
                longest = std::max(longest, run);
            }
        }
        return longest;
    };
    EXPECT_GT(darkRuns(with), darkRuns(without.translated(0, -2)));
}

TEST_F(TabControlTest, AcceptsDragsFromTheSourcesTheOwnerNames) {
    QWidget playlistView, other;
    QObject* dropped = nullptr;
    tabs_->AcceptDragFrom = [&](QObject* s) { return s == &playlistView; };
    tabs_->OnDragDrop = [&](QWidget&, QObject* s, int, int) { dropped = s; };
    EXPECT_FALSE(tabs_->DragOver(&other));
    EXPECT_FALSE(tabs_->IsDragOver());
    EXPECT_TRUE(tabs_->DragOver(&playlistView));
    EXPECT_TRUE(tabs_->IsDragOver());
    tabs_->DragDrop(&playlistView, 3, 4);
    EXPECT_FALSE(tabs_->IsDragOver());
    EXPECT_EQ(dropped, &playlistView);
}

TEST(LinkLabel, HoverColoursUnderlineAndClickOpens) {
    EnsureWidgetApplication();
    QWidget host;
    host.setGeometry(420, 300, 200, 40);
    auto* link = new TZuLinkLabel(&host);
    link->setGeometry(10, 10, 150, 20);
    EXPECT_EQ(link->URL(), QString::fromLatin1(TZuLinkLabel::kPlaceholder));
    EXPECT_EQ(link->NormalColor(), 0xFF0000);
    EXPECT_EQ(link->ActiveColor(), 0x0000FF);
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(link->autoFillBackground());
    EXPECT_FALSE(link->font().underline());
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));

    std::vector<std::string> seen;
    link->Opener = [&](const QUrl& url) {
        seen.push_back("open " + url.toString().toStdString());
        return false; // a failed open is ignored
    };
    link->OnClick = [&](QWidget&) { seen.push_back("click"); };
    link->OnMouseEnter = [&](QWidget&) { seen.push_back("enter"); };
    link->OnMouseLeave = [&](QWidget&) { seen.push_back("leave"); };
    link->SetURL(QStringLiteral("  https://tunola.example/about  "));
    link->SetActiveBackColor(0x00FFFF);
    ShowAndWait(host);

    MoveTo(host, QPoint(190, 35));
    MoveTo(host, QPoint(2, 2));
    MoveTo(*link, QPoint(10, 10));
    EXPECT_TRUE(link->Hovered());
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(link->palette().color(QPalette::Window), QColor(255, 255, 0));
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(5, 5));
    QApplication::processEvents();
    MoveTo(host, QPoint(2, 2));
    EXPECT_FALSE(link->font().underline());
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(seen, (std::vector<std::string>{"enter", "click", "open https://tunola.example/about",
                                              "leave"}));
    // No address: the click still fires, nothing opens.
    seen.clear();
    link->SetURL(QStringLiteral("  "));
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(5, 5));
    QApplication::processEvents();
    EXPECT_EQ(std::count(seen.begin(), seen.end(), std::string("click")), 1);
    EXPECT_EQ(std::count_if(seen.begin(), seen.end(),
                            [](const std::string& s) { return s.starts_with("open"); }),
              0);
}

} // namespace
} // namespace tunola
