#include "ZuSkinReader.h"

#include <AtomicFile.h>
#include <TextCodec.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tunola;

namespace {

using TStatus = TZuSkinDocument::TStatus;
using W = TZuSkinWindowId;

const std::string kFolder = "/skins/Test/";

TZuSkinDocument Read(const std::string& body) {
    return ReadSkin("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tunola.skin ver=\"2.0\">\n" +
                        body + "\n</tunola.skin>\n",
                    kFolder);
}

template <class T> std::vector<const T*> All(const TZuSkinDocument& document) {
    std::vector<const T*> found;
    for (const TZuSkinElement& element : document.Elements)
        if (const T* e = std::get_if<T>(&element))
            found.push_back(e);
    return found;
}

template <class T> const T& Only(const TZuSkinDocument& document) {
    const std::vector<const T*> found = All<T>(document);
    EXPECT_EQ(found.size(), 1u);
    static const T none{};
    return found.empty() ? none : *found.front();
}

} // namespace

TEST(SkinReader, RootAndVersion) {
    struct Case {
        std::string text;
        TStatus status;
    };
    const Case cases[] = {
        {"<TUNOLA.SKIN ver=\"2.0\"><window id=\"main\" w=\"1\"></window></TUNOLA.SKIN>",
         TStatus::Read},
        {"<tunola.skin ver=\"2.00\"><window id=\"main\" w=\"1\"></window></tunola.skin>",
         TStatus::WrongVersion},
        {"<tunola.skin ver=\" 2.0\"/>", TStatus::WrongVersion},
        {"<tunola.skin VER=\"2.0\"/>", TStatus::WrongVersion}, // attribute names are exact
        {"<tunola.skin/>", TStatus::WrongVersion},
        {"<skin ver=\"2.0\"><window id=\"main\" w=\"1\"></window></skin>", TStatus::NoRoot},
        {"", TStatus::NoRoot},
        {"not xml at all", TStatus::NoRoot},
        // The root may sit inside another element; what comes before it is passed over.
        {"<outer><window id=\"main\" w=\"1\"></window><tunola.skin ver=\"2.0\"/></outer>",
         TStatus::Read},
    };
    for (const Case& c : cases) {
        const TZuSkinDocument document = ReadSkin(c.text, kFolder);
        EXPECT_EQ(document.Status, c.status) << c.text;
        EXPECT_EQ(document.Elements.size(), c.text.starts_with("<TUNOLA") ? 1u : 0u) << c.text;
    }
}

TEST(SkinReader, WindowsAndTheCurrentWindow) {
    const TZuSkinDocument document = Read(R"(
        <button id="close" x="1"/>
        <window id="main" w="464" h="238">
          <button id="close" x="2"/>
        </window>
        <window id="MAIN" w="999">
          <button id="min" x="3"/>
        </window>
        <window id="plist" w="300">
          <button id="close" x="4"/>
          <button id="previous" x="5"/>
        </window>
        <window id="other" w="1">
          <button id="menu" x="6"/>
        </window>
        <window id="lrc"/>
        <window>
          <button id="close" x="7"/>
        </window>)");
    ASSERT_EQ(document.Status, TStatus::Read);

    const auto windows = All<TZuSkinWindow>(document);
    ASSERT_EQ(windows.size(), 2u); // the repeated main, "other", the empty tag and the bare one
    EXPECT_EQ(windows[0]->Target.Window, W::Main);
    EXPECT_EQ(windows[0]->W, 464);
    EXPECT_EQ(windows[1]->Target.Window, W::Plist);

    struct Expected {
        W window;
        const char* component;
        int16_t x;
    };
    const Expected expected[] = {
        {W::Main, "vb_close", 2},
        {W::Main, "vb_min", 3},     // the second main's children still go to main
        {W::Plist, "btn_close", 4}, // "close" inside plist is the playlist's close button
        {W::Plist, "btn_menu", 6},  // an unknown window leaves plist current
        {W::Plist, "btn_close", 7}, // and so does a window without attributes
    };
    const auto buttons = All<TZuSkinButton>(document);
    ASSERT_EQ(buttons.size(), std::size(expected));
    for (size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i]->Target.Window, expected[i].window) << i;
        EXPECT_EQ(buttons[i]->Target.Component, expected[i].component) << i;
        EXPECT_EQ(buttons[i]->Bounds.X, expected[i].x) << i;
    }

    std::vector<TZuSkinSkipReason> reasons;
    for (const TZuSkinSkip& skip : document.Skipped)
        reasons.push_back(skip.Reason);
    EXPECT_EQ(reasons, (std::vector<TZuSkinSkipReason>{
                           TZuSkinSkipReason::NoWindow,       // before any window
                           TZuSkinSkipReason::RepeatedWindow, // the second main
                           TZuSkinSkipReason::UnknownId,      // previous is not in plist
                           TZuSkinSkipReason::UnknownWindow,  // "other"
                           TZuSkinSkipReason::EmptyWindowTag, // <window id="lrc"/>
                           TZuSkinSkipReason::NoAttributes,   // <window>
                       }));
}

TEST(SkinReader, ChildrenMustBeEmptyElementTagsWithAttributes) {
    const TZuSkinDocument document = Read(R"(
        <window id="main" w="1">
          <button id="next" x="1"></button>
          <BUTTON ID="next" x="2"/>
          <Button id="NEXT" x="3"/>
          <button/>
          <knob id="next" x="4"/>
          <label id="timer" x="5"/>
        </window>
        <window id="lrc" w="1">
          <label id="timer" x="6"/>
          <ckbutton id="play" x="7"/>
        </window>)");
    const auto buttons = All<TZuSkinButton>(document);
    // "ID" is not the attribute "id", so the second one has no id and is unknown.
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(buttons[0]->Bounds.X, 3);
    EXPECT_EQ(Only<TZuSkinLabel>(document).Bounds.X, 5); // labels and ckbuttons: main only
    std::vector<TZuSkinSkipReason> reasons;
    for (const TZuSkinSkip& skip : document.Skipped)
        reasons.push_back(skip.Reason);
    EXPECT_EQ(reasons, (std::vector<TZuSkinSkipReason>{
                           TZuSkinSkipReason::StartTag, TZuSkinSkipReason::UnknownId,
                           TZuSkinSkipReason::NoAttributes, TZuSkinSkipReason::UnknownElement,
                           TZuSkinSkipReason::UnknownId, TZuSkinSkipReason::UnknownId}));
}

TEST(SkinReader, ButtonValues) {
    const TZuSkinDocument document = Read(R"(
        <window id="main" w="1">
          <ckbutton id="play" x="64" y="$B4" w="48" h="0x30" nx="1" ny="2" px="3" py="4"
                    hx="5" hy="6" cx="7" cy="8" cpx="9" cpy="10" chx="11" chy="12" fade="250"
                    align="lrtb" hit="播放" filename="img\main_play.png"/>
          <button id="next" x="7px" fade="300" align="RT" cx="99"/>
        </window>)");
    const auto buttons = All<TZuSkinButton>(document);
    ASSERT_EQ(buttons.size(), 2u);
    const TZuSkinButton& play = *buttons[0];
    EXPECT_TRUE(play.Checkable);
    EXPECT_EQ(play.Target.Component, "vb_play");
    EXPECT_EQ(play.Bounds, (TZuPiece{64, 180, 48, 48}));
    EXPECT_EQ((std::vector<int>{play.NormalX, play.NormalY, play.PressedX, play.PressedY,
                                play.HighlightedX, play.HighlightedY, play.CheckedX, play.CheckedY,
                                play.CheckedPX, play.CheckedPY, play.CheckedHX, play.CheckedHY}),
              (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(play.Fade, 250);                // the button itself stops at 100
    EXPECT_EQ(play.Anchors, kAnchorsLeftTop); // buttons do not stretch
    EXPECT_EQ(play.Hint, "播放");
    EXPECT_EQ(play.Image, "/skins/Test/img/main_play.png");

    const TZuSkinButton& next = *buttons[1];
    EXPECT_FALSE(next.Checkable);
    EXPECT_EQ(next.Bounds.X, 0); // malformed
    EXPECT_EQ(next.Fade, 255);
    EXPECT_EQ(next.CheckedX, 0); // not read on a plain button
    EXPECT_EQ(next.Anchors, (TZuAnchors{false, true, true, false}));
    EXPECT_EQ(next.Image, std::nullopt); // no filename
}

TEST(SkinReader, SliderAnchorsKindAndStyle) {
    const TZuSkinDocument document = Read(R"(
        <window id="plist" w="1">
          <slider id="pgbmusic" align="lrtb" kind="h" style="7" tilea="0,0,440,14"
                  tileb="0,14,x,14" bordersize="3" buttonw="14" filename="p.png"/>
          <slider id="PGBVOLUME" align="RT" kind="v" style="3"/>
          <slider id="pgbvolume" align="LTB" kind="H" style="0"/>
          <slider id="pgbvolume" align="RTB" kind="" style="259"/>
          <slider id="pgbbalance"/>
        </window>)");
    const auto sliders = All<TZuSkinSlider>(document);
    ASSERT_EQ(sliders.size(), 4u);
    for (const TZuSkinSlider* s : sliders)
        EXPECT_EQ(s->Target.Window, W::Main); // sliders live in the main window

    EXPECT_EQ(sliders[0]->Target.Component, "pgb_music");
    EXPECT_TRUE(sliders[0]->Horizontal);
    EXPECT_EQ(sliders[0]->Anchors, (TZuAnchors{true, true, true, true}));
    EXPECT_EQ(sliders[0]->Style, std::nullopt); // "7" leaves the style alone
    EXPECT_EQ(sliders[0]->TileA, (TZuPiece{0, 0, 440, 14}));
    EXPECT_EQ(sliders[0]->TileB, TZuPiece{});
    EXPECT_EQ(sliders[0]->Border, 3);
    EXPECT_EQ(sliders[0]->SliderW, 14);

    EXPECT_EQ(sliders[1]->Target.Component, "pgb_volume");
    EXPECT_FALSE(sliders[1]->Horizontal); // "v": vertical, gains top and bottom
    EXPECT_EQ(sliders[1]->Anchors, (TZuAnchors{false, true, true, true}));
    EXPECT_EQ(sliders[1]->Style, 3);

    EXPECT_EQ(sliders[2]->Anchors, (TZuAnchors{true, true, true, true})); // LTB + left/right
    EXPECT_EQ(sliders[2]->Style, 0);
    EXPECT_EQ(sliders[3]->Anchors, (TZuAnchors{false, true, true, true})); // RTB, vertical
    EXPECT_EQ(sliders[3]->Style, std::nullopt);
}

TEST(SkinReader, ElementsThatAddressOtherWindows) {
    const TZuSkinDocument document = Read(R"(
        <window id="share" w="1">
          <scrolltext id="title" x="22" bcolor="0x171310" font="Sans" fcolor="0xFFFFFF" fsize="11" align="LRTB"/>
          <scrolltext id="artist" x="1"/>
          <list id="playlist" sw="300" sh="28" textscolor="0xFF000008" align="LTB" ti="0,0,8,32" filename="s.png"/>
          <visual id="minlrc" align="RTB" hz="5" color="1" fcolor="2" fccolor="3" font="Serif" fsize="10"/>
          <visual id="ost" w="206" h="62" bc="4" pen="5" peak="6" mod="1" height="60" width="3" ttfw="500"/>
          <visual id="desktoplrc" h="84" bgcolor="7" colorbegin="8" colorend="9" font="Sans" fsize="28" alpha="200"/>
          <visual id="clock" x="1"/>
          <panel id="tabvsv" align="LRTB" bcolor="0x171310"/>
          <tab id="TabVsv" acolor="10" dcolor="11" filename="t.png"/>
          <panel id="side" x="1"/>
        </window>)");
    EXPECT_EQ(document.Skipped.size(), 3u);

    const TZuSkinScrollText& title = Only<TZuSkinScrollText>(document);
    EXPECT_EQ(title.Target.Window, W::Main);
    EXPECT_EQ(title.Target.Component, "vl_title");
    EXPECT_EQ(title.Anchors, kAnchorsLeftTop); // no stretching for the title
    EXPECT_EQ(title.Font.Name, "Sans");
    EXPECT_EQ(title.Font.Size, 11);
    EXPECT_EQ(title.BackColor, 0x171310);

    const TZuSkinList& list = Only<TZuSkinList>(document);
    EXPECT_EQ(list.Target.Window, W::Plist);
    EXPECT_EQ(list.Target.Component, "lv_list");
    EXPECT_EQ(list.ScrollBarWidth, 255);
    EXPECT_EQ(list.SliderW, 300);
    EXPECT_EQ(list.TextSelectedColor, clWindowText);
    EXPECT_EQ(list.Anchors, (TZuAnchors{true, true, false, true}));
    EXPECT_EQ(list.TrackRect, (TZuPiece{0, 0, 8, 32}));

    const TZuSkinLrcView& lrc = Only<TZuSkinLrcView>(document);
    EXPECT_EQ(lrc.Target.Window, W::Lrc);
    EXPECT_EQ(lrc.Target.Component, "Pb_lrc");
    EXPECT_EQ(lrc.Anchors, (TZuAnchors{false, true, true, true}));
    EXPECT_EQ(
        (std::vector<int>{lrc.LrcSpace, lrc.BGColor, lrc.LrcColor, lrc.LrcCurrColor, lrc.FontSize}),
        (std::vector<int>{5, 1, 2, 3, 10}));

    const TZuSkinSpectrum& ost = Only<TZuSkinSpectrum>(document);
    EXPECT_EQ(ost.Target.Window, W::Main);
    EXPECT_EQ(ost.Target.Component, "pbx_ost");
    EXPECT_EQ(
        (std::vector<int>{ost.Bounds.W, ost.Bounds.H, ost.BackColor, ost.BarColor, ost.PeakColor,
                          ost.BarStyle, ost.MaxHeight, ost.BarWidth, ost.LastBar}),
        (std::vector<int>{206, 62, 4, 5, 6, 1, 60, 3, 500}));

    const TZuSkinDesktopLrc& desktop = Only<TZuSkinDesktopLrc>(document);
    EXPECT_EQ(desktop.Target.Window, W::DesktopLrc);
    EXPECT_EQ(desktop.Target.Component, "");
    EXPECT_EQ((std::vector<int>{desktop.H, desktop.BackColor, desktop.ColorBegin, desktop.ColorEnd,
                                desktop.Font.Size}),
              (std::vector<int>{84, 7, 8, 9, 28}));

    const TZuSkinPanel& panel = Only<TZuSkinPanel>(document);
    EXPECT_EQ(panel.Target.Component, "pnl_psvs");
    EXPECT_EQ(panel.Anchors, (TZuAnchors{true, true, true, true}));
    const TZuSkinTab& tab = Only<TZuSkinTab>(document);
    EXPECT_EQ(tab.Target.Component, "tab_pnl");
    EXPECT_EQ(tab.Image, "/skins/Test/t.png");
}

TEST(SkinReader, WindowValues) {
    const TZuSkinDocument document = Read(R"(
        <window id="main" filename="f.png" minw="464" minh="238" maxw="0" maxh="-5" w="464"
                h="238" tl="0,0,140,150" tm="140,0,8,150" tr="1,2,3" bl="0,158,24,88"
                bm="24,158,8,88" br="148,158,24,88" lm="0,150,12,8" rm="160,150,12,8"
                tc="0,0,0,0" bgcolor="0x26201D"></window>)");
    const TZuSkinWindow& w = Only<TZuSkinWindow>(document);
    EXPECT_EQ(w.Target.Component, "ZuWindow1");
    EXPECT_EQ(w.Image, "/skins/Test/f.png");
    EXPECT_EQ((std::vector<int>{w.MinW, w.MinH, w.MaxW, w.MaxH, w.W, w.H}),
              (std::vector<int>{464, 238, 0, -5, 464, 238}));
    EXPECT_EQ(w.TL, (TZuPiece{0, 0, 140, 150}));
    EXPECT_EQ(w.TR, TZuPiece{}); // a missing number
    EXPECT_EQ(w.RM, (TZuPiece{160, 150, 12, 8}));
    EXPECT_EQ(w.BgColor, 0x26201D);
}

TEST(SkinReader, BrokenXmlKeepsWhatCameBefore) {
    // The parser reads ahead a little, so the break sits well after the elements that count.
    std::string text = "<tunola.skin ver=\"2.0\"><window id=\"main\" w=\"1\">";
    for (int i = 0; i < 100; ++i)
        text += "<button id=\"next\" x=\"" + std::to_string(i) + "\"/>\n";
    text += "<button id=\"menu\" x=3/></window></tunola.skin>";
    const TZuSkinDocument document = ReadSkin(text, kFolder);
    EXPECT_EQ(document.Status, TStatus::Read);
    EXPECT_FALSE(document.WellFormed);
    const auto buttons = All<TZuSkinButton>(document);
    ASSERT_GE(buttons.size(), 50u);
    EXPECT_LE(buttons.size(), 100u);
    EXPECT_EQ(buttons[49]->Bounds.X, 49);
}

// A document type declaration is passed over: a harmless one costs nothing of the skin, and
// nothing it declares (an outside DTD, entities) is loaded or expanded.
TEST(SkinReader, DocumentTypeDeclarationsAreIgnored) {
    const std::string body = "<tunola.skin ver=\"2.0\">\n<window id=\"main\" w=\"1\">"
                             "<button id=\"next\" hit=\"下一首\"/></window></tunola.skin>";
    const std::string harmless[] = {
        "<?xml version=\"1.0\"?>\n<!DOCTYPE tunola.skin>\n" + body,
        "<!-- made by hand -->\n<!DOCTYPE tunola.skin SYSTEM \"http://127.0.0.1:1/skin.dtd\">" +
            body,
        "<!DOCTYPE tunola.skin [\n<!-- ] > -->\n<!ATTLIST button hit CDATA \"a>b\">\n]>\n" + body,
    };
    for (const std::string& file : harmless) {
        const TZuSkinDocument document = ReadSkin(file, kFolder);
        EXPECT_EQ(document.Status, TStatus::Read) << file;
        EXPECT_EQ(Only<TZuSkinButton>(document).Hint, "下一首") << file;
    }
    // Lines are still counted from the top of the file.
    const TZuSkinDocument lines =
        ReadSkin("<!DOCTYPE x [\n\n]>\n<tunola.skin ver=\"2.0\">\n<window id=\"main\" w=\"1\">\n"
                 "<nonsense id=\"q\"/></window></tunola.skin>",
                 kFolder);
    ASSERT_EQ(lines.Skipped.size(), 1u);
    EXPECT_EQ(lines.Skipped[0].Line, 6);

    // Entities the declaration would define stay undefined: nothing is expanded.
    const TZuSkinDocument entities = ReadSkin(R"(<?xml version="1.0"?>
<!DOCTYPE tunola.skin [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;">]>
<tunola.skin ver="2.0"><window id="main" w="1"><button id="next" hit="&b;"/></window></tunola.skin>)",
                                              kFolder);
    for (const TZuSkinButton* button : All<TZuSkinButton>(entities))
        EXPECT_EQ(button->Hint.find('a'), std::string::npos);
}

TEST(SkinReader, ImagePathsStayInTheSkinFolder) {
    struct Case {
        const char* name;
        TZuSkinImage path;
    };
    const Case cases[] = {
        {"a.png", "/skins/Test/a.png"},
        {"img\\b.PNG", "/skins/Test/img/b.PNG"},
        {"./img/../c.bmp", "/skins/Test/c.bmp"},
        {"img//d.png", "/skins/Test/img/d.png"},
        {"", std::nullopt},
        {".", std::nullopt},
        {"img/..", std::nullopt},
        // Anywhere in the folder of all skins: a sibling skin's picture is shared.
        {"../Other/e.png", "/skins/Other/e.png"},
        {"..\\Default\\x.png", "/skins/Default/x.png"},
        {"img/../../e.png", "/skins/e.png"},
        {"../Test/img/../a.png", "/skins/Test/a.png"},
        // But never outside it, nor the folders themselves.
        {"../../etc/passwd", std::nullopt},
        {"../Other/../../x.png", std::nullopt},
        {"..", std::nullopt},
        {"../Test", std::nullopt},
        {"/etc/passwd", std::nullopt},
        {"\\\\server\\share\\f.png", std::nullopt},
        {"C:\\skins\\g.png", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolveSkinImage(kFolder, c.name), c.path) << c.name;
}

TEST(SkinReader, ChineseCodePageFiles) {
    const std::string utf8Body = "<tunola.skin ver=\"2.0\"><window id=\"main\" w=\"1\">"
                                 "<label id=\"timer\" font=\"黑体\" hit=\"x\"/>"
                                 "<button id=\"menu\" hit=\"主菜单\"/></window></tunola.skin>";
    const std::string gbkBody = Utf8ToGb18030(utf8Body);
    ASSERT_FALSE(IsValidUtf8(gbkBody));
    const std::string files[] = {
        gbkBody,                                                           // undeclared
        "<?xml version=\"1.0\" encoding=\"GBK\"?>\n" + gbkBody,            // declared GBK
        "<?xml version='1.0' encoding='gb2312'?>\n" + gbkBody,             // GB2312 label
        "<?xml version=\"1.0\"?>" + gbkBody,                               // no encoding
        utf8Body,                                                          // UTF-8 as is
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"GBK\"?>" + utf8Body, // a BOM wins
        // What a plain-text editor does to a shipped skin: GBK bytes under the old declaration.
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + gbkBody,
        // And the other way round: UTF-8 bytes that say GB2312.
        "<?xml version=\"1.0\" encoding=\"GB2312\"?>\n" + utf8Body,
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n" + utf8Body,
    };
    for (const std::string& file : files) {
        const TZuSkinDocument document = ReadSkin(file, kFolder);
        EXPECT_EQ(All<TZuSkinWindow>(document).size(), 1u) << file;
        EXPECT_EQ(Only<TZuSkinLabel>(document).Font.Name, "黑体") << file;
        EXPECT_EQ(Only<TZuSkinButton>(document).Hint, "主菜单") << file;
    }
}

// The skins we ship must read completely: every element reaches a control.
TEST(SkinReader, ShippedSkinsReadWithoutSkippedElements) {
    for (const char* name : {"Default", "Porcelain"}) {
        SCOPED_TRACE(name);
        const std::string folder = std::string(TUNOLA_TEST_SOURCE_DIR) + "/data/skin/" + name + "/";
        std::string bytes;
        ASSERT_TRUE(ReadWholeFile(PathFromUtf8(folder + "skin.xml"), bytes));
        const TZuSkinDocument document = ReadSkin(bytes, folder);
        ASSERT_EQ(document.Status, TStatus::Read);
        EXPECT_TRUE(document.WellFormed);
        for (const TZuSkinSkip& skip : document.Skipped)
            ADD_FAILURE() << "line " << skip.Line << " <" << skip.Element << " id=\"" << skip.Id
                          << "\"> skipped (" << int(skip.Reason) << ")";
        EXPECT_EQ(All<TZuSkinWindow>(document).size(), 4u);
        EXPECT_EQ(All<TZuSkinButton>(document).size(), 21u); // 17 buttons, 4 checked buttons
        EXPECT_EQ(All<TZuSkinLabel>(document).size(), 2u);
        EXPECT_EQ(All<TZuSkinSlider>(document).size(), 2u);
        for (const auto* type :
             {&typeid(TZuSkinScrollText), &typeid(TZuSkinList), &typeid(TZuSkinLrcView),
              &typeid(TZuSkinSpectrum), &typeid(TZuSkinDesktopLrc), &typeid(TZuSkinPanel),
              &typeid(TZuSkinTab)}) {
            int count = 0;
            for (const TZuSkinElement& e : document.Elements)
                std::visit([&](const auto& v) { count += typeid(v) == *type; }, e);
            EXPECT_EQ(count, 1) << type->name();
        }
        for (const TZuSkinElement& e : document.Elements)
            std::visit(
                [&](const auto& v) {
                    if constexpr (requires { v.Image; }) {
                        ASSERT_TRUE(v.Image.has_value()) << v.Target.Component;
                        std::string picture;
                        EXPECT_TRUE(ReadWholeFile(PathFromUtf8(*v.Image), picture)) << *v.Image;
                    }
                },
                e);
    }
}

// Nothing the decoding meets may write to the terminal: the player writes no log. The bytes
// decide the encoding, so a declaration no converter knows does not matter.
TEST(SkinReader, DecodingFailuresStayQuiet) {
    testing::internal::CaptureStderr();
    const TZuSkinDocument document =
        ReadSkin("<?xml version=\"1.0\" encoding=\"UTF-7\"?>\n<tunola.skin ver=\"2.0\">"
                 "\xFF\xFE\x80<window id=\"main\" w=\"1\"></window></tunola.skin>",
                 kFolder);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(All<TZuSkinWindow>(document).size(), 1u);
}
