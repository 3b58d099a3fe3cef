#include "SkinTestSupport.h"
#include "ZuAnchorKeeper.h"
#include "ZuSkin.h"
#include "ZuSkinAppliers.h"

#include <TextCodec.h>
#include <ZuButton.h>
#include <ZuSlider.h>
#include <ZuTabControl.h>
#include <ZuWindow.h>

#include <QFile>
#include <QLabel>

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <utility>

using namespace tunola;
using namespace tunola::testing_support;

namespace {

using W = TZuSkinWindowId;

class SkinApply : public ::testing::Test {
protected:
    SkinApply() { windows_.Register(skin_); }

    TZuSkinLoadResult Load(const std::string& path) {
        TZuSkinLoadResult result;
        EXPECT_TRUE(skin_.LoadSkin(path, &result));
        return result;
    }
    TZuSkinLoadResult Load() { return Load(folder_.SkinFile()); }

    TZuButton& Button(W window, const char* name) {
        return *windows_.Find<TZuButton>(window, name);
    }
    TZuSliderBlendEx& Slider(const char* name) {
        return *windows_.Find<TZuSliderBlendEx>(W::Main, name);
    }

    TPlayerWindows windows_;
    TZuSkin skin_;
    TSkinFolder folder_;
};

TColor32 FirstPixel(const TZuBitmap32& image) {
    return image.Empty() ? 0 : *image.Bits();
}

} // namespace

// Every element of the skins we ship reaches a control, every picture loads, and the
// appliers of the controls built elsewhere are handed their element and control.
TEST_F(SkinApply, ShippedSkinsApplyCompletely) {
    std::map<std::string, QWidget*> handed;
    skin_.Applier<TZuSkinList>() = [&](const TZuSkinList& e, QWidget& c, TZuSkinContext& ctx) {
        handed["list"] = &c;
        TZuBitmap32 scrollBar;
        EXPECT_TRUE(ctx.LoadPicture(e.Image, scrollBar));
        EXPECT_FALSE(scrollBar.Empty());
    };
    skin_.Applier<TZuSkinLrcView>() = [&](const TZuSkinLrcView&, QWidget& c, TZuSkinContext&) {
        handed["lrc"] = &c;
    };
    skin_.Applier<TZuSkinSpectrum>() = [&](const TZuSkinSpectrum&, QWidget& c, TZuSkinContext&) {
        handed["ost"] = &c;
    };
    skin_.Applier<TZuSkinDesktopLrc>() = [&](const TZuSkinDesktopLrc&, QWidget& c,
                                             TZuSkinContext&) { handed["desktop"] = &c; };
    skin_.Applier<TZuSkinTab>() = [&](const TZuSkinTab& e, QWidget& c, TZuSkinContext& ctx) {
        handed["tab"] = &c;
        TZuBitmap32 tabs;
        EXPECT_TRUE(ctx.LoadPicture(e.Image, tabs));
    };

    for (const char* name : {"Default", "Porcelain"}) {
        SCOPED_TRACE(name);
        handed.clear();
        const std::string file =
            std::string(TUNOLA_TEST_SOURCE_DIR) + "/data/skin/" + name + "/skin.xml";
        const TZuSkinLoadResult result = Load(file);
        EXPECT_EQ(result.Status, TZuSkinDocument::TStatus::Read);
        EXPECT_TRUE(result.Skipped.empty());
        EXPECT_EQ(result.Unreached, std::vector<std::string>{});
        EXPECT_EQ(result.ImageFailures, std::vector<std::string>{});
        EXPECT_EQ(result.Failures, std::vector<std::string>{});
        EXPECT_EQ(result.Applied, 4 + 21 + 2 + 1 + 2 + 1 + 3 + 2);

        EXPECT_EQ(windows_.Main->size(), QSize(464, 238));
        EXPECT_EQ(windows_.Main->minimumSize(), QSize(464, 238));
        EXPECT_EQ(windows_.Plist->maximumWidth(), QWIDGETSIZE_MAX);
        auto* background = windows_.Find<TZuWindow>(W::Main, "ZuWindow1");
        EXPECT_FALSE(background->isEnabled());
        EXPECT_FALSE(background->Image().Empty());
        EXPECT_TRUE(background->HasRegions());

        auto& play = *windows_.Find<TZuCheckedButton>(W::Main, "vb_play");
        EXPECT_EQ(play.geometry().size(), QSize(48, 48));
        EXPECT_EQ(play.CheckedY(), 48);
        EXPECT_GT(play.Fade(), 0);
        EXPECT_EQ(play.toolTip(), QString("播放/暂停"));
        EXPECT_FALSE(play.Image().Empty());

        TZuSliderBlendEx& music = Slider("pgb_music");
        EXPECT_EQ(music.Kind(), skHorizontal);
        EXPECT_EQ(music.Style(), ssMix);
        EXPECT_EQ(music.TileA().W, 440);
        EXPECT_GT(music.Border(), 0);

        auto* time = windows_.Find<QLabel>(W::Main, "vl_time");
        EXPECT_EQ(time->font().pixelSize(), 24); // 18 points at 96 dpi
        EXPECT_EQ(time->font().family(), QString("WenQuanYi Micro Hei"));

        EXPECT_EQ(handed["list"], windows_.Find(W::Plist, "lv_list"));
        EXPECT_EQ(handed["lrc"], windows_.Find(W::Lrc, "Pb_lrc"));
        EXPECT_EQ(handed["ost"], windows_.Find(W::Main, "pbx_ost"));
        EXPECT_EQ(handed["desktop"], windows_.DesktopLrc.get());
        EXPECT_EQ(handed["tab"], windows_.Find(W::Share, "tab_pnl"));
        EXPECT_EQ(windows_.DesktopLrc->height(), 84);
        EXPECT_EQ(windows_.Find(W::Share, "Panel2")->palette().color(QPalette::Window),
                  windows_.Find(W::Share, "pnl_psvs")->palette().color(QPalette::Window));
    }
}

TEST_F(SkinApply, ElementsReachTheirControls) {
    Slider("pgb_volume").SetStyle(ssMix);
    folder_.WriteSkin(R"(
        <window id="main" w="400" h="200">
          <button id="close" x="370" y="4" w="26" h="22" fade="250" align="lrtb"/>
          <slider id="pgbmusic" x="10" y="150" w="380" h="14" kind="H" style="1" align="lrtb"/>
          <slider id="pgbvolume" x="300" y="20" w="14" h="100" kind="v" style="7" align="RT"/>
        </window>
        <window id="main" w="999" h="999">
          <button id="min" x="340" y="4" w="26" h="22"/>
        </window>
        <window id="plist" w="300" h="100">
          <button id="close" x="270" y="4" w="26" h="22" hit="关闭列表"/>
        </window>)");
    const TZuSkinLoadResult result = Load();
    EXPECT_EQ(result.Applied, 7);

    // The second main window's size is ignored; its button goes to the main window.
    EXPECT_EQ(windows_.Main->size(), QSize(400, 200));
    EXPECT_EQ(Button(W::Main, "vb_min").geometry(), QRect(340, 4, 26, 22));
    // "close" inside plist is the playlist's own close button.
    EXPECT_EQ(Button(W::Plist, "btn_close").geometry(), QRect(270, 4, 26, 22));
    EXPECT_EQ(Button(W::Plist, "btn_close").toolTip(), QString("关闭列表"));
    EXPECT_EQ(Button(W::Main, "vb_close").geometry(), QRect(370, 4, 26, 22));
    EXPECT_EQ(Button(W::Main, "vb_close").Fade(), 100);
    EXPECT_EQ(Slider("pgb_music").Style(), ssComplex);
    EXPECT_EQ(Slider("pgb_volume").Style(), ssMix); // "7" leaves it
    EXPECT_EQ(Slider("pgb_volume").Kind(), skVertical);

    // Grown by 100 x 50: lower-case "lrtb" stretches the slider; on a button it means left
    // and top; the vertical slider keeps its distance to the right and stretches in height.
    windows_.Main->setMinimumSize(0, 0);
    windows_.Main->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    windows_.Main->resize(500, 250);
    TZuAnchorKeeper::Of(*windows_.Main).Relayout(); // the form is hidden: no resize event yet
    EXPECT_EQ(Slider("pgb_music").geometry(), QRect(10, 150, 480, 64));
    EXPECT_EQ(Button(W::Main, "vb_close").geometry(), QRect(370, 4, 26, 22));
    EXPECT_EQ(Slider("pgb_volume").geometry(), QRect(400, 20, 14, 150));
}

TEST_F(SkinApply, TheTabStripTakesColoursAndImage) {
    for (const char* name : {"Default", "Porcelain"}) {
        SCOPED_TRACE(name);
        Load(std::string(TUNOLA_TEST_SOURCE_DIR) + "/data/skin/" + name + "/skin.xml");
        auto& tabs = *windows_.Find<TZuTabControl>(W::Share, "tab_pnl");
        EXPECT_EQ(tabs.geometry().size(), QSize(137, 21));
        EXPECT_EQ(tabs.Image().Height(), 63); // three bands of 21
        EXPECT_NE(tabs.AColor(), tabs.DColor());
    }
}

TEST_F(SkinApply, AnchorsFollowEveryResize) {
    folder_.WriteSkin(R"(
        <window id="plist" w="400" h="200">
          <button id="close" x="370" y="4" w="26" h="22" align="RT"/>
          <list id="playlist" x="10" y="30" w="380" h="160" align="LRTB"/>
        </window>)");
    Load();
    QWidget& form = *windows_.Plist;
    QWidget& list = *windows_.Find(W::Plist, "lv_list");
    TZuButton& close = Button(W::Plist, "btn_close");
    form.show();
    for (const QSize size : {QSize(500, 300), QSize(300, 150), QSize(401, 201)}) {
        form.resize(size);
        EXPECT_EQ(close.geometry(), QRect(size.width() - 30, 4, 26, 22));
        EXPECT_EQ(list.geometry(), QRect(10, 30, size.width() - 20, size.height() - 40));
    }
    // Moved by the window's own code, the button keeps its new distance to the right edge.
    close.move(300, 10);
    form.resize(501, 201);
    EXPECT_EQ(close.geometry(), QRect(400, 10, 26, 22));
    form.hide();
}

// A picture that is not there, does not decode, is not named or lies outside the skin folder
// costs only that picture: the control keeps the one it had, and the rest of the element and
// of the file is applied.
TEST_F(SkinApply, UnreadablePicturesAreLeftOut) {
    folder_.WritePng("good.png", 26, 66, 0xFF336699);
    folder_.WriteSkin(R"(<window id="main" w="464" h="238" filename="good.png">
          <button id="menu" filename="good.png"/><button id="min" filename="good.png"/>
          <button id="close" filename="good.png"/><button id="next" filename="good.png"/>
        </window>)");
    ASSERT_TRUE(Load().ImageFailures.empty());

    folder_.WriteFile("broken.png", "\x89PNG\r\n\x1a\n this is not a picture");
    folder_.WriteSkin(R"(<window id="main" w="464" h="238" filename="good.png">
          <button id="menu" x="1" fade="4" filename="missing.png"/>
          <button id="min" x="2" fade="4" filename="broken.png"/>
          <button id="close" x="3" fade="4"/>
          <button id="next" x="4" fade="4" filename="../../outside.png"/>
          <label id="timer" x="5" fcolor="0x0000FF"/>
        </window>)");
    const TZuSkinLoadResult result = Load();
    EXPECT_EQ(result.ImageFailures.size(), 4u);
    EXPECT_TRUE(result.Failures.empty());
    EXPECT_EQ(result.Applied, 6);
    int x = 1;
    for (const char* name : {"vb_menu", "vb_min", "vb_close", "vb_next"}) {
        SCOPED_TRACE(name);
        TZuButton& button = Button(W::Main, name);
        EXPECT_EQ(button.Image().Width(), 26);
        EXPECT_EQ(FirstPixel(button.Image()), 0xFF336699u);
        EXPECT_EQ(button.x(), x++);
        EXPECT_EQ(button.Fade(), 4);
    }
    EXPECT_EQ(windows_.Find(W::Main, "vl_time")->x(), 5);
    EXPECT_EQ(windows_.Find(W::Main, "vl_time")->palette().color(QPalette::WindowText),
              QColor(255, 0, 0));
}

// A skin that names one large picture for many elements holds it once; pictures beyond the
// skin's total are left out like unreadable ones.
TEST_F(SkinApply, PicturesAreDecodedOnceAndCappedInTotal) {
    folder_.WritePng("big.png", 2048, 2048, 0xFF204060);
    folder_.WriteSkin(R"(<window id="main" w="464" h="238" filename="big.png">
          <button id="menu" filename="big.png"/><button id="min" filename="./big.png"/>
          <button id="close" filename="big.png"/><button id="next" filename="big.png"/>
          <button id="previous" filename="big.png"/>
        </window>)");
    ASSERT_TRUE(Load().ImageFailures.empty());
    const TColor32* shared = std::as_const(Button(W::Main, "vb_menu").Image()).Bits();
    ASSERT_NE(shared, nullptr);
    for (const char* name : {"vb_min", "vb_close", "vb_next", "vb_previous"})
        EXPECT_EQ(std::as_const(Button(W::Main, name).Image()).Bits(), shared) << name;

    // Two pictures of half the total fit; a third, and anything after it, does not.
    const int side = 1 << 12; // 4096 x 4096 = 2^24 pixels
    static_assert(int64_t(side) * side * 2 == TZuSkinPictures::kMaxPixels);
    folder_.WritePng("a.png", side, side, 0xFF102030);
    for (const char* name : {"b.png", "c.png"})
        QFile::copy(QString::fromStdString(folder_.Path() + "a.png"),
                    QString::fromStdString(folder_.Path() + name));
    folder_.WritePng("small.png", 8, 8, 0xFF102030);
    folder_.WriteSkin(R"(<window id="main" w="464" h="238">
          <button id="menu" filename="a.png"/><button id="min" filename="b.png"/>
          <button id="close" filename="c.png"/><button id="next" filename="small.png"/>
          <button id="previous" filename="a.png"/>
        </window>)");
    const TZuSkinLoadResult result = Load();
    // The window names no picture at all; then c.png and what follows it.
    ASSERT_EQ(result.ImageFailures.size(), 3u) << ::testing::PrintToString(result.ImageFailures);
    EXPECT_NE(result.ImageFailures[1].find("c.png: the skin's pictures are too large"),
              std::string::npos);
    EXPECT_NE(result.ImageFailures[2].find("small.png"), std::string::npos);
    EXPECT_EQ(Button(W::Main, "vb_min").Image().Width(), side);
    EXPECT_EQ(Button(W::Main, "vb_close").Image().Width(), 2048) << "keeps what it had";
    EXPECT_EQ(Button(W::Main, "vb_previous").Image().Width(), side) << "a.png, already there";
}

TEST_F(SkinApply, WhatIsAppliedWhenTheFileIsNotASkin) {
    TZuSkinLoadResult result;
    EXPECT_TRUE(skin_.LoadSkin(folder_.Path() + "none/skin.xml", &result)); // missing
    EXPECT_TRUE(skin_.LoadSkin(folder_.Path(), &result));                   // a folder
    folder_.WriteFile("skin.xml", "");
    EXPECT_TRUE(skin_.LoadSkin(folder_.SkinFile(), &result));
    EXPECT_EQ(result.Status, TZuSkinDocument::TStatus::NoRoot);

    folder_.WriteFile("skin.xml", R"(<tunola.skin ver="2.00"><window id="main" w="300" h="100">
        <button id="close" x="77"/></window></tunola.skin>)");
    EXPECT_FALSE(skin_.LoadSkin(folder_.SkinFile(), &result));
    EXPECT_EQ(result.Status, TZuSkinDocument::TStatus::WrongVersion);
    EXPECT_EQ(windows_.Main->size(), QSize(464, 238));
    EXPECT_NE(Button(W::Main, "vb_close").x(), 77);
}

TEST_F(SkinApply, ASecondSkinOverwritesOnlyWhatItMentions) {
    folder_.WriteSkin(R"(<window id="main" w="464" h="238">
          <button id="close" x="434" y="4" w="26" h="22" fade="6" hit="关闭"/>
          <label id="timer" x="22" y="74" w="200" h="32" font="Serif" fsize="18"/>
        </window>)");
    Load();
    folder_.WriteSkin(R"(<window id="main" w="300">
          <button id="close" x="270" fade="0"/>
        </window>)");
    Load();
    EXPECT_EQ(windows_.Main->size(), QSize(300, 238));
    TZuButton& close = Button(W::Main, "vb_close");
    EXPECT_EQ(close.geometry(), QRect(270, 0, 0, 0)); // attributes it leaves out read as 0
    EXPECT_EQ(close.Fade(), 0);
    EXPECT_EQ(close.toolTip(), QString());
    // The label is not in the second skin and keeps the first one's look.
    auto* time = windows_.Find<QLabel>(W::Main, "vl_time");
    EXPECT_EQ(time->geometry(), QRect(22, 74, 200, 32));
    EXPECT_EQ(time->font().family(), QString("Serif"));

    // From one fixed size to a larger and back to a smaller one.
    for (const QSize size : {QSize(500, 250), QSize(464, 238)}) {
        folder_.WriteSkin("<window id=\"main\" minw=\"" + std::to_string(size.width()) +
                          "\" maxw=\"" + std::to_string(size.width()) + "\" minh=\"" +
                          std::to_string(size.height()) + "\" maxh=\"" +
                          std::to_string(size.height()) + "\" w=\"" + std::to_string(size.width()) +
                          "\" h=\"" + std::to_string(size.height()) + "\"></window>");
        Load();
        EXPECT_EQ(windows_.Main->size(), size);
        EXPECT_EQ(windows_.Main->minimumSize(), size);
        EXPECT_EQ(windows_.Main->maximumSize(), size);
    }
}

TEST_F(SkinApply, GbkSkinWithAChineseFontName) {
    folder_.WriteFile("skin.xml",
                      Utf8ToGb18030("<?xml version=\"1.0\" encoding=\"GBK\"?>\n"
                                    "<tunola.skin ver=\"2.0\"><window id=\"main\" w=\"464\">"
                                    "<label id=\"stack\" font=\"黑体\" fsize=\"9\"/>"
                                    "<button id=\"menu\" hit=\"主菜单\"/>"
                                    "</window></tunola.skin>"));
    Load();
    const QFont font = windows_.Find(W::Main, "vl_stack")->font();
    EXPECT_EQ(font.families().value(0), QString("黑体"));
    EXPECT_EQ(font.pixelSize(), 12);
    EXPECT_EQ(Button(W::Main, "vb_menu").toolTip(), QString("主菜单"));
}

TEST_F(SkinApply, MissingWindowsControlsAndFailingAppliers) {
    skin_.RegisterWindow(W::Share, nullptr);
    windows_.Lrc.reset(); // a window that went away is passed over too
    skin_.Applier<TZuSkinSpectrum>() = [](const TZuSkinSpectrum&, QWidget&, TZuSkinContext&) {
        throw std::runtime_error("no painter");
    };
    delete windows_.Find(W::Main, "vb_next");
    // The playlist window made a child window of the main one keeps its background to itself.
    delete windows_.Find(W::Main, "ZuWindow1");
    windows_.Plist->setParent(windows_.Main.get(), Qt::Window);
    folder_.WriteSkin(R"(
        <window id="share" w="600"><button id="close" x="1"/></window>
        <window id="lrc" w="600"><button id="close" x="1"/></window>
        <window id="main" w="400">
          <button id="next" x="1"/>
          <visual id="ost" x="236" y="74" w="206" h="62"/>
          <button id="previous" x="9"/>
        </window>)");
    const TZuSkinLoadResult result = Load();
    EXPECT_EQ(result.Unreached, (std::vector<std::string>{"share", "share/btn_close", "lrc",
                                                          "lrc/btn_close", "main/vb_next"}));
    EXPECT_EQ(result.Failures, std::vector<std::string>{"main/pbx_ost: no painter"});
    EXPECT_EQ(windows_.Find(W::Main, "pbx_ost")->geometry(), QRect(236, 74, 206, 62));
    EXPECT_EQ(Button(W::Main, "vb_previous").x(), 9);
    EXPECT_EQ(windows_.Main->width(), 400);
    EXPECT_TRUE(windows_.Find(W::Plist, "ZuWindow1")->isEnabled());
}

TEST(SkinFont, PointsAt96Dpi) {
    EXPECT_EQ(SkinFontPixels(9), 12);
    EXPECT_EQ(SkinFontPixels(10), 13);
    EXPECT_EQ(SkinFontPixels(11), 15);
    EXPECT_EQ(SkinFontPixels(18), 24);
    QFont base("Sans");
    base.setPixelSize(20);
    const QFont same = SkinFont(base, {"", 0}); // nothing named: the control's font stays
    EXPECT_EQ(same.family(), base.family());
    EXPECT_EQ(same.pixelSize(), 20);
}
