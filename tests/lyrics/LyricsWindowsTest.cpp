// The lyric display, the lyrics window and the desktop lyrics as widgets, driven with real
// mouse events through the window system.

#include "LyricsWindows.h"
#include "FakeLyricDown.h"
#include "TempFolder.h"
#include "TunDeskTopLrc.h"
#include "TunLrc.h"
#include "ZuLrcShow.h"

#include <QApplication>
#include <QMenu>
#include <QScreen>
#include <QTest>

#include <ZuButton.h>

#include <gtest/gtest.h>

#include <fstream>

namespace tunola {
namespace {

const std::string kLyric = "[offset:0]\n[00:01.00]第一行\n[00:03.00]第二行\n[00:06.00]第三行\n";

TEST(LrcShowTest, LinesTrailerAndOneRedrawPerLineChange) {
    TZuLrcShow view;
    view.resize(300, 100);
    view.SetLrc(kLyric);
    EXPECT_EQ(view.DisplayLines().size(), 3u);
    EXPECT_TRUE(view.LrcCurrText().isEmpty());
    view.SetLengthTime(10000);
    view.SetLengthTime(12000); // replaces the trailer, never a lyric line
    ASSERT_EQ(view.DisplayLines().size(), 4u);
    EXPECT_EQ(view.DisplayLines().back(), DisplayLine(12000, kLrcTrailerText));
    EXPECT_EQ(view.DisplayLines()[2], DisplayLine(6000, "第三行"));

    view.SetPosTime(500);
    EXPECT_TRUE(view.LrcCurrText().isEmpty()); // before the first line
    view.SetPosTime(1500);
    EXPECT_EQ(view.LrcCurrText(), QStringLiteral("第一行"));
    const int redraws = view.Redraws();
    view.SetPosTime(1500);
    view.SetPosTime(1600); // the same line: the picture stays
    EXPECT_EQ(view.Redraws(), redraws);
    view.SetPosTime(4000);
    EXPECT_EQ(view.Redraws(), redraws + 1);
    EXPECT_EQ(view.LrcCurrText(), QStringLiteral("第二行"));
}

TEST(LrcShowTest, EmptyLyricShowsOnlyTheTrailerOnePitchAboveTheMiddle) {
    TZuLrcShow view;
    view.resize(300, 100);
    view.SetLrc("");
    view.SetLengthTime(30000);
    ASSERT_EQ(view.DisplayLines().size(), 1u);
    view.SetPosTime(1000);
    EXPECT_TRUE(view.LrcCurrText().isEmpty());
    EXPECT_EQ(view.Frame().Current, -1);
    const int64_t lineY = view.Frame().ImageTop + view.height() / 2;
    EXPECT_EQ(lineY, view.height() / 2 - view.Pitch());
}

// How many pixels of the painted view differ from `background`.
int PixelsOtherThan(TZuLrcShow& view, QRgb background) {
    const QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int other = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            other += (shown.pixel(x, y) & 0xFFFFFFu) != (background & 0xFFFFFFu);
    return other;
}

TEST(LrcShowTest, WithoutLinesOnlyTheBackgroundIsPainted) {
    constexpr QRgb kBack = 0x102030;
    TZuLrcShow view;
    view.resize(300, 100);
    view.SetBGColor(kBack);
    view.SetLrcColor(0xFFFFFF);
    view.SetLrcCurrColor(0xFFFF00);
    EXPECT_EQ(PixelsOtherThan(view, kBack), 0) << "before any lyric";
    view.SetLrc(kLyric);
    view.SetPosTime(1500);
    EXPECT_GT(PixelsOtherThan(view, kBack), 0) << "the lines of a lyric";
    view.SetLrc("");
    view.SetPosTime(1600);
    EXPECT_EQ(PixelsOtherThan(view, kBack), 0) << "the lines gone with the lyric";
}

TEST(LrcShowTest, OffsetTagAndOffsetButtons) {
    TTunLrc window;
    window.Pb_lrc->resize(300, 100);
    window.Pb_lrc->SetLrc("[offset:500]\n[00:10.00]ten\n");
    window.Pb_lrc->SetLengthTime(20000);
    EXPECT_EQ(window.Pb_lrc->LrcOffset(), 500);
    window.Pb_lrc->SetPosTime(9499);
    EXPECT_TRUE(window.Pb_lrc->LrcCurrText().isEmpty());
    window.Pb_lrc->SetPosTime(9501); // 10 s minus half a second has passed
    EXPECT_EQ(window.Pb_lrc->LrcCurrText(), QStringLiteral("ten"));
    for (int i = 0; i < 3; ++i)
        window.f5->OnClick(*window.f5);
    EXPECT_EQ(window.Pb_lrc->LrcOffset(), 2000);
    window.b5->OnClick(*window.b5);
    EXPECT_EQ(window.Pb_lrc->LrcOffset(), 1500);
    // The next lyric brings its own offset.
    window.Pb_lrc->SetLrc("[00:01.00]x\n");
    EXPECT_EQ(window.Pb_lrc->LrcOffset(), 0);
}

TEST(LyricsWindowTest, CloseHidesAndTheDesktopButtonAsksTheOwner) {
    TTunLrc window;
    int toggles = 0;
    window.OnToggleDesktopLyrics = [&] { ++toggles; };
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(window.Showing());
    window.btn_lrc->OnClick(*window.btn_lrc);
    EXPECT_EQ(toggles, 1);
    window.btn_close->OnClick(*window.btn_close);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.Showing());
}

TEST(DesktopLyricsTest, PlacedAtTheBottomOfItsScreenAndDraggedVerticallyOnly) {
    EXPECT_EQ(TTunDeskTopLrc::PlaceOnScreen({0, 0, 1280, 800}, 84), QRect(5, 666, 1270, 84));
    EXPECT_EQ(TTunDeskTopLrc::PlaceOnScreen({1280, 0, 1024, 768}, 100),
              QRect(1285, 618, 1014, 100));

    TTunDeskTopLrc desktop;
    EXPECT_TRUE(desktop.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(desktop.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_NEAR(desktop.windowOpacity(), 200.0 / 255.0, 0.01);
    desktop.resize(574, 84);
    desktop.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&desktop));
    const QRect screen = desktop.screen()->geometry();
    EXPECT_EQ(desktop.geometry(), TTunDeskTopLrc::PlaceOnScreen(screen, 84));
    EXPECT_EQ(desktop.CnAAFadeText1->geometry(), desktop.rect());
    EXPECT_TRUE(desktop.CnAAFadeText1->Active());

    const QRect before = desktop.geometry();
    QWidget* text = desktop.CnAAFadeText1;
    QTest::mousePress(text, Qt::LeftButton, {}, QPoint(100, 40));
    const QPoint to = text->mapToGlobal(QPoint(160, 10)); // 60 right, 30 up
    QTest::mouseMove(text, QPoint(160, 10));
    QTest::mouseRelease(text, Qt::LeftButton, {}, text->mapFromGlobal(to));
    EXPECT_EQ(desktop.x(), before.x());
    EXPECT_EQ(desktop.width(), before.width());
    EXPECT_EQ(desktop.height(), before.height());
    EXPECT_EQ(desktop.y(), before.y() - 30);

    desktop.close();
    EXPECT_FALSE(desktop.CnAAFadeText1->Active());
}

TEST(DesktopLyricsTest, TextChangesOnlyOnANewLineAndLockLetsClicksThrough) {
    TTunDeskTopLrc desktop;
    desktop.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&desktop));
    desktop.ShowDesktopText(QStringLiteral("一句歌词"));
    EXPECT_EQ(desktop.CnAAFadeText1->Lines(), QStringList{QStringLiteral("<Title1>一句歌词")});
    desktop.CnAAFadeText1->SetLines({});
    desktop.ShowDesktopText(QStringLiteral("一句歌词")); // the same text: nothing to do
    EXPECT_TRUE(desktop.CnAAFadeText1->Lines().isEmpty());

    bool reported = false;
    desktop.OnLockChanged = [&](bool locked) { reported = locked; };
    desktop.SetLocked(true);
    EXPECT_TRUE(reported);
    EXPECT_TRUE(desktop.isVisible());
    EXPECT_TRUE(desktop.windowFlags().testFlag(Qt::WindowTransparentForInput));
    const int top = desktop.y();
    QWidget* text = desktop.CnAAFadeText1;
    QTest::mousePress(text, Qt::LeftButton, {}, QPoint(100, 40));
    QTest::mouseMove(text, QPoint(100, 10));
    QTest::mouseRelease(text, Qt::LeftButton, {}, QPoint(100, 10));
    EXPECT_EQ(desktop.y(), top); // locked: no drag
    desktop.SetLocked(false);
    EXPECT_FALSE(desktop.Locked());
    EXPECT_FALSE(desktop.windowFlags().testFlag(Qt::WindowTransparentForInput));
    EXPECT_TRUE(desktop.isVisible());
}

// Every lookup that ends is handed on with what it found (the upload takes it from there): a
// downloaded lyric too, once the download is in, and nothing when no source had one.
TEST(LyricsWindowsTest, EachFinishedLookupHandsOnItsText) {
    TTempFolder tmp;
    std::ofstream(tmp.Path() / "a.lrc", std::ios::binary) << "[00:01.00]beside\r\n";
    TFakeLyricDown service;
    service.ResultsByMode[0].push_back({"Song", "Singer", 7});
    service.Lyrics[7] = "[00:01.00]downloaded\r\n";
    std::vector<std::pair<std::string, std::string>> found; // title, text
    TLyricsWindows windows(TLyricsWindows::TParts{
        &service, [] { return true; },
        [](std::function<void()> f) {
            QMetaObject::invokeMethod(qApp, std::move(f), Qt::QueuedConnection);
        },
        nullptr,
        [&](const TLyricTrack& track, const std::string& text) {
            found.emplace_back(track.Title, text);
        }});

    windows.LoadLyrics({tmp.Path() / "a.mp3", "Local", "X"}, tmp.Path(), 10000);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_NE(found[0].second.find("beside"), std::string::npos);

    windows.LoadLyrics({tmp.Path() / "b.mp3", "Song", "Singer"}, tmp.Path(), 10000);
    EXPECT_EQ(found.size(), 1u); // not before the download is in
    ASSERT_TRUE(QTest::qWaitFor([&] { return found.size() == 2; }, 5000));
    EXPECT_EQ(found[1].first, "Song");
    EXPECT_NE(found[1].second.find("downloaded"), std::string::npos);

    service.ResultsByMode.clear(); // the service has nothing for the next one
    windows.LoadLyrics({tmp.Path() / "c.mp3", "Nothing", "Y"}, tmp.Path(), 10000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return found.size() == 3; }, 5000));
    EXPECT_EQ(found[2], std::make_pair(std::string("Nothing"), std::string()));
}

} // namespace
} // namespace tunola
