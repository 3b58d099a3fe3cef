// The "Default" skin: a dark graphite player with a jade accent. Four windows share one title
// bar design (30 pixels, lighter than the body); content sits in recessed panels with 1-pixel
// borders; buttons are bare icons that get a rounded plate under the pointer.

#include "ArtKit.h"
#include "Icons.h"
#include "SkinWriter.h"
#include "Skins.h"
#include "TabArt.h"

namespace {

namespace palette {
const QColor outline(0x08, 0x09, 0x0C);
const QColor titleBar(0x27, 0x2B, 0x33);
const QColor titleHighlight(0x3A, 0x3F, 0x4A);
const QColor separator(0x14, 0x16, 0x1B);
const QColor body(0x1D, 0x20, 0x26);
const QColor panel(0x10, 0x13, 0x17);
const QColor panelBorder(0x2D, 0x32, 0x3B);
const QColor text(0xE7, 0xEB, 0xF1);
const QColor dim(0x8C, 0x95, 0xA5);
const QColor faint(0x5A, 0x62, 0x70);
const QColor accent(0x2B, 0xD4, 0xAE);
const QColor accentDeep(0x17, 0x9C, 0x80);
const QColor danger(0xE5, 0x48, 0x4D);
const QColor plate(0x34, 0x39, 0x43);
const QColor platePressed(0x16, 0x18, 0x1D);
} // namespace palette

constexpr int kTitleBar = 30;   // title bar of the main, playlist and lyrics windows
constexpr int kLibraryBar = 40; // the library window's taller bar holds the tab strip
constexpr int kRadius = 9;

// ---- window faces -----------------------------------------------------------------------

void paintTitleBar(QPainter& p, const QRect& window, int height) {
    p.fillRect(QRect(0, 0, window.width(), height), palette::titleBar);
    p.fillRect(QRect(0, 1, window.width(), 1), palette::titleHighlight);
    p.fillRect(QRect(0, height, window.width(), 1), palette::separator);
}

// A recessed panel: dark face, hairline border, drawn on whole pixels so it stays crisp.
void paintPanel(QPainter& p, const QRect& r, int radius) {
    QPainterPath path;
    path.addRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.setPen(QPen(palette::panelBorder, 1));
    p.setBrush(palette::panel);
    p.drawPath(path);
}

void paintWindowTitle(QPainter& p, const QRect& titlePiece, int barHeight, const QString& title) {
    drawCenteredText(p, QRectF(titlePiece.x(), 0, titlePiece.width(), barHeight), title, uiFont(12),
                     palette::dim);
}

void paintLogo(QPainter& p, QPointF at) {
    QPainterPath badge;
    badge.addRoundedRect(QRectF(at, QSizeF(17, 17)), 4.5, 4.5);
    QLinearGradient g(at, at + QPointF(0, 17));
    g.setColorAt(0, palette::accent.lighter(115));
    g.setColorAt(1, palette::accentDeep);
    p.fillPath(badge, g);
    fillIcon(p, iconPath(Icon::Note, 1.1), QRectF(at + QPointF(1.5, 1.5), QSizeF(14, 14)),
             palette::panel);
    p.setFont(uiFont(14, true));
    p.setPen(palette::text);
    p.drawText(QPointF(at.x() + 24, at.y() + 14), QStringLiteral("听风"));
    QFont small = uiFont(10);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    p.setFont(small);
    p.setPen(palette::faint);
    p.drawText(QPointF(at.x() + 57, at.y() + 14), QStringLiteral("TUNOLA"));
}

// ---- buttons ------------------------------------------------------------------------------

QPointF pressShift(ButtonState s) {
    return s == ButtonState::Pressed ? QPointF(0, 1) : QPointF();
}

ButtonPainter titleButton(Icon icon, bool closeButton = false) {
    return [=](QPainter& p, const QRectF& box, ButtonState s, bool) {
        const QRectF plate = box.adjusted(1, 1, -1, -1);
        QColor iconColor = palette::dim;
        if (s != ButtonState::Normal) {
            QColor fill = closeButton ? palette::danger : palette::plate;
            if (s == ButtonState::Pressed)
                fill = closeButton ? palette::danger.darker(125) : palette::platePressed;
            QPainterPath path;
            path.addRoundedRect(plate, 5, 5);
            p.fillPath(path, fill);
            iconColor = closeButton ? QColor(Qt::white) : palette::text;
        }
        const qreal side = 16;
        fillIcon(
            p, smallIconPath(icon),
            QRectF(box.center() - QPointF(side / 2, side / 2) + pressShift(s), QSizeF(side, side)),
            iconColor, 16);
    };
}

// Round transport buttons (previous, next): a bare icon that gains a disc under the pointer.
ButtonPainter transportButton(Icon icon) {
    return [=](QPainter& p, const QRectF& box, ButtonState s, bool) {
        const QRectF disc = box.adjusted(1, 1, -1, -1);
        QColor iconColor = palette::text;
        if (s == ButtonState::Hover) {
            p.setPen(Qt::NoPen);
            p.setBrush(palette::plate);
            p.drawEllipse(disc);
            iconColor = Qt::white;
        } else if (s == ButtonState::Pressed) {
            p.setPen(Qt::NoPen);
            p.setBrush(palette::platePressed);
            p.drawEllipse(disc);
            iconColor = palette::accent;
        }
        const qreal side = 24;
        fillIcon(
            p, iconPath(icon),
            QRectF(box.center() - QPointF(side / 2, side / 2) + pressShift(s), QSizeF(side, side)),
            iconColor);
    };
}

// The play button: a jade disc; checked (playing) it shows pause.
ButtonPainter playButton() {
    return [](QPainter& p, const QRectF& box, ButtonState s, bool checked) {
        const QRectF disc = box.adjusted(3, 3, -3, -3);
        if (s == ButtonState::Hover) {
            p.setPen(Qt::NoPen);
            p.setBrush(withAlpha(palette::accent, 60));
            p.drawEllipse(box.adjusted(0.5, 0.5, -0.5, -0.5));
        }
        QColor top = palette::accent.lighter(112);
        QColor bottom = palette::accentDeep;
        if (s == ButtonState::Hover) {
            top = palette::accent.lighter(125);
            bottom = palette::accent;
        } else if (s == ButtonState::Pressed) {
            top = palette::accentDeep;
            bottom = palette::accentDeep.darker(120);
        }
        QLinearGradient g(disc.topLeft(), disc.bottomLeft());
        g.setColorAt(0, top);
        g.setColorAt(1, bottom);
        p.setPen(QPen(withAlpha(Qt::black, 90), 1));
        p.setBrush(g);
        p.drawEllipse(disc);
        const qreal side = box.width() * 0.5;
        // The play triangle's weight sits left of its box; nudge it to look centred.
        const QPointF optical = checked ? QPointF() : QPointF(1, 0);
        fillIcon(p, iconPath(checked ? Icon::Pause : Icon::Play),
                 QRectF(box.center() - QPointF(side / 2, side / 2) + optical + pressShift(s),
                        QSizeF(side, side)),
                 palette::panel);
    };
}

// Window toggles (playlist, library): lit in the accent colour while their window is shown.
ButtonPainter toggleButton(Icon icon) {
    return [=](QPainter& p, const QRectF& box, ButtonState s, bool checked) {
        const QRectF plate = box.adjusted(1, 1, -1, -1);
        QPainterPath path;
        path.addRoundedRect(plate, 6, 6);
        if (s == ButtonState::Hover)
            p.fillPath(path, palette::plate);
        else if (s == ButtonState::Pressed)
            p.fillPath(path, palette::platePressed);
        else if (checked)
            p.fillPath(path, withAlpha(palette::accent, 34));
        QColor iconColor = checked ? palette::accent : palette::dim;
        if (!checked && s != ButtonState::Normal)
            iconColor = palette::text;
        const qreal side = 16;
        fillIcon(
            p, smallIconPath(icon),
            QRectF(box.center() - QPointF(side / 2, side / 2) + pressShift(s), QSizeF(side, side)),
            iconColor, 16);
    };
}

// Mute toggle: the speaker; checked (muted) it is crossed out in red.
ButtonPainter soundButton() {
    return [](QPainter& p, const QRectF& box, ButtonState s, bool checked) {
        QColor iconColor = checked ? palette::danger : palette::dim;
        if (s != ButtonState::Normal)
            iconColor = checked ? palette::danger.lighter(115) : palette::text;
        if (s == ButtonState::Pressed)
            iconColor = palette::accent;
        const qreal side = 20;
        fillIcon(
            p, iconPath(checked ? Icon::Mute : Icon::Volume),
            QRectF(box.center() - QPointF(side / 2, side / 2) + pressShift(s), QSizeF(side, side)),
            iconColor);
    };
}

// Small text pills for the lyric offset buttons.
ButtonPainter pillButton(const QString& label) {
    return [=](QPainter& p, const QRectF& box, ButtonState s, bool) {
        const QRectF pill = box.adjusted(1.5, 1.5, -1.5, -1.5);
        QPainterPath path;
        path.addRoundedRect(pill, pill.height() / 2, pill.height() / 2);
        QColor fill = Qt::transparent;
        QColor border = palette::panelBorder.lighter(130);
        QColor ink = palette::dim;
        if (s == ButtonState::Hover) {
            fill = palette::plate;
            border = palette::plate.lighter(130);
            ink = palette::text;
        } else if (s == ButtonState::Pressed) {
            fill = palette::platePressed;
            ink = palette::accent;
        }
        p.setPen(QPen(border, 1));
        p.setBrush(fill);
        p.drawPath(path);
        drawCenteredText(p, box.translated(pressShift(s)), label, uiFont(12), ink);
    };
}

// ---- sliders and scroll bar ----------------------------------------------------------------

void paintKnob(QPainter& p, const QRectF& box, ButtonState s) {
    const QRectF knob = box.adjusted(1, 1, -1, -1);
    if (s != ButtonState::Normal) {
        p.setPen(Qt::NoPen);
        p.setBrush(withAlpha(palette::accent, s == ButtonState::Pressed ? 110 : 70));
        p.drawEllipse(box);
    }
    const QRectF core = knob.adjusted(1.5, 1.5, -1.5, -1.5);
    p.setPen(QPen(withAlpha(Qt::black, 110), 1));
    p.setBrush(s == ButtonState::Pressed ? palette::accent : palette::text);
    p.drawEllipse(core);
}

SliderLook sliderLook(const QColor& backdrop) {
    SliderLook look;
    look.trackHeight = 4;
    look.track = QColor(0x34, 0x39, 0x43);
    look.fill = palette::accent;
    look.backdrop = backdrop;
    look.border = 3;
    look.thumb = paintKnob;
    return look;
}

ScrollBarLook scrollBarLook() {
    ScrollBarLook look;
    look.trackColor = palette::panel;
    look.grooveColor = QColor(0x1F, 0x23, 0x2A);
    look.grooveWidth = 2;
    look.thumb = [](QPainter& p, const QRectF& box, ButtonState s) {
        QColor c(0x40, 0x46, 0x52);
        if (s == ButtonState::Hover)
            c = QColor(0x58, 0x60, 0x6E);
        else if (s == ButtonState::Pressed)
            c = palette::accent;
        QPainterPath path;
        const QRectF bar = box.adjusted(1, 1, -1, -1);
        path.addRoundedRect(bar, bar.width() / 2, bar.width() / 2);
        p.fillPath(path, c);
    };
    return look;
}

// ---- windows -------------------------------------------------------------------------------

FrameSpec baseFrame() {
    FrameSpec f;
    f.radius = kRadius;
    f.outline = palette::outline;
    f.tile = 8;
    f.topLeftWidth = f.topRightWidth = f.bottomLeftWidth = f.bottomRightWidth = 24;
    return f;
}

void writeMainWindow(SkinWriter& skin) {
    FrameSpec f = baseFrame();
    f.topBand = 150; // title bar and the display panel
    f.bottomBand = 88;
    f.leftSide = f.rightSide = 12;
    f.topLeftWidth = 140; // the logo lives in the top-left piece
    f.paintFace = [](QPainter& p, const QRect& w, const QRect&) {
        p.fillRect(w, palette::body);
        paintTitleBar(p, w, kTitleBar);
        paintLogo(p, QPointF(11, 7));
        paintPanel(p, QRect(10, 38, w.width() - 20, 108), 6);
    };
    SkinWindowElement& win =
        skin.addWindow({"main", "main window: 464 x 238, fixed size", QSize(464, 238),
                        QSize(464, 238), QSize(464, 238), palette::body},
                       renderFrame(f), "main_frame.png");

    const int fade = 6;
    skin.addButton(win, "menu", QRect(378, 4, 26, 22),
                   renderButtonSheet({26, 22}, false, titleButton(Icon::Menu)), "main_menu.png",
                   "主菜单", {}, fade);
    skin.addButton(win, "min", QRect(406, 4, 26, 22),
                   renderButtonSheet({26, 22}, false, titleButton(Icon::Minimize)), "main_min.png",
                   "最小化", {}, fade);
    skin.addButton(win, "close", QRect(434, 4, 26, 22),
                   renderButtonSheet({26, 22}, false, titleButton(Icon::Close, true)),
                   "main_close.png", "关闭", {}, fade);

    skin.addChild(win, "scrolltext", "title", "song title, scrolling")
        .setBounds(QRect(22, 46, 420, 22))
        .setColor("bcolor", palette::panel)
        .set("font", kUiFontFamily)
        .setColor("fcolor", palette::text)
        .set("fsize", 11);
    skin.addChild(win, "label", "timer", "elapsed / total time")
        .setBounds(QRect(22, 74, 200, 32))
        .set("font", kUiFontFamily)
        .setColor("fcolor", palette::accent)
        .set("fsize", 18);
    skin.addChild(win, "label", "stack", "play mode and status messages")
        .setBounds(QRect(22, 116, 200, 20))
        .set("font", kUiFontFamily)
        .setColor("fcolor", palette::dim)
        .set("fsize", 9);
    // Blocks three pixels wide with a one-pixel gap: 51 bars fill the 206-pixel box.
    skin.addChild(win, "visual", "ost", "spectrum: 51 jade blocks with white peak marks")
        .setBounds(QRect(236, 74, 206, 62))
        .setColor("bc", palette::panel)
        .setColor("pen", palette::accent)
        .setColor("peak", palette::text)
        .set("mod", 1)
        .set("height", 60)
        .set("width", 3)
        .set("ttfw", 50);

    skin.addSlider(win, "pgbmusic", QRect(12, 156, 440, 14),
                   renderSliderSheet(440, 14, {14, 14}, sliderLook(palette::body)),
                   "main_progress.png", 2);

    skin.addButton(win, "previous", QRect(22, 186, 36, 36),
                   renderButtonSheet({36, 36}, false, transportButton(Icon::Previous)),
                   "main_previous.png", "上一首", {}, fade);
    skin.addButton(win, "play", QRect(64, 180, 48, 48),
                   renderButtonSheet({48, 48}, true, playButton()), "main_play.png", "播放/暂停",
                   {}, fade);
    skin.addButton(win, "next", QRect(118, 186, 36, 36),
                   renderButtonSheet({36, 36}, false, transportButton(Icon::Next)), "main_next.png",
                   "下一首", {}, fade);
    skin.addButton(win, "sound", QRect(262, 192, 24, 24),
                   renderButtonSheet({24, 24}, true, soundButton()), "main_sound.png", "静音", {},
                   fade);
    skin.addSlider(win, "pgbvolume", QRect(290, 197, 84, 14),
                   renderSliderSheet(84, 14, {14, 14}, sliderLook(palette::body)),
                   "main_volume.png", 2);
    skin.addButton(win, "playlist", QRect(392, 190, 28, 28),
                   renderButtonSheet({28, 28}, true, toggleButton(Icon::List)), "main_list.png",
                   "播放列表", {}, fade);
    skin.addButton(win, "share", QRect(424, 190, 28, 28),
                   renderButtonSheet({28, 28}, true, toggleButton(Icon::Library)),
                   "main_library.png", "音乐库", {}, fade);
}

void writePlaylistWindow(SkinWriter& skin) {
    FrameSpec f = baseFrame();
    f.topBand = 42;
    f.bottomBand = 12;
    f.leftSide = f.rightSide = 14;
    f.titleWidth = 96;
    f.paintFace = [](QPainter& p, const QRect& w, const QRect& title) {
        p.fillRect(w, palette::body);
        paintTitleBar(p, w, kTitleBar);
        paintWindowTitle(p, title, kTitleBar, QStringLiteral("播放列表"));
        paintPanel(p, QRect(8, 36, w.width() - 16, w.height() - 44), 5);
    };
    SkinWindowElement& win =
        skin.addWindow({"plist", "playlist window: below the main window, same width",
                        QSize(464, 166), QSize(300, 110), QSize(0, 0), palette::panel},
                       renderFrame(f), "plist_frame.png");

    skin.addButton(win, "menu", QRect(4, 4, 26, 22),
                   renderButtonSheet({26, 22}, false, titleButton(Icon::Menu)), "plist_menu.png",
                   "播放列表菜单", {}, 6);
    skin.addButton(win, "close", QRect(434, 4, 26, 22),
                   renderButtonSheet({26, 22}, false, titleButton(Icon::Close, true)),
                   "plist_close.png", "关闭", "RT", 6);

    const ScrollBarSheet bar = renderScrollBarSheet(8, 28, 32, scrollBarLook());
    const QString barFile = skin.saveImage(bar.image, "plist_scrollbar.png");
    skin.addChild(win, "list", "playlist", "rows are 14 pixels; the scroll bar is 8 wide")
        .setBounds(QRect(10, 38, 444, 118))
        .set("sw", bar.thumb.width())
        .set("sh", bar.thumb.height())
        .setColor("bcolor", palette::panel)
        .setColor("selectioncolor", mixColor(palette::panel, palette::accent, 0.22))
        .setColor("textcolor", QColor(0xC4, 0xCA, 0xD4))
        .setColor("textcurrcolor", palette::accent)
        .setColor("textscolor", Qt::white)
        .setColor("textfcolor", QColor(0xE0, 0x5A, 0x4F))
        .set("font", kUiFontFamily)
        .set("fsize", 9)
        .set("align", "LRTB")
        .set("nx", bar.normal.x())
        .set("ny", bar.normal.y())
        .set("px", bar.pressed.x())
        .set("py", bar.pressed.y())
        .set("hx", bar.hover.x())
        .set("hy", bar.hover.y())
        .setRect("ti", bar.track)
        .set("filename", barFile);
}

void writeLyricsWindow(SkinWriter& skin) {
    FrameSpec f = baseFrame();
    f.topBand = 42;
    f.bottomBand = 12;
    f.leftSide = f.rightSide = 14;
    f.titleWidth = 64;
    f.paintFace = [](QPainter& p, const QRect& w, const QRect& title) {
        p.fillRect(w, palette::body);
        paintTitleBar(p, w, kTitleBar);
        paintWindowTitle(p, title, kTitleBar, QStringLiteral("歌词"));
        paintPanel(p, QRect(8, 36, w.width() - 16, w.height() - 44), 5);
    };
    SkinWindowElement& win =
        skin.addWindow({"lrc", "lyrics window: below the playlist window, same width",
                        QSize(464, 128), QSize(300, 100), QSize(0, 0), palette::panel},
                       renderFrame(f), "lrc_frame.png");

    skin.addButton(win, "b5", QRect(6, 5, 44, 20),
                   renderButtonSheet({44, 20}, false, pillButton(QStringLiteral("延后"))),
                   "lrc_later.png", "歌词延后 0.5 秒", {}, 6);
    skin.addButton(win, "f5", QRect(52, 5, 44, 20),
                   renderButtonSheet({44, 20}, false, pillButton(QStringLiteral("提前"))),
                   "lrc_earlier.png", "歌词提前 0.5 秒", {}, 6);
    skin.addButton(win, "dlrc", QRect(406, 4, 26, 22),
                   renderButtonSheet({26, 22}, false, titleButton(Icon::DesktopLyrics)),
                   "lrc_desktop.png", "桌面歌词", "RT", 6);
    skin.addButton(win, "close", QRect(434, 4, 26, 22),
                   renderButtonSheet({26, 22}, false, titleButton(Icon::Close, true)),
                   "lrc_close.png", "关闭", "RT", 6);

    skin.addChild(win, "visual", "minlrc", "scrolling lyrics; the current line in jade")
        .set("align", "LRTB")
        .setBounds(QRect(10, 38, 444, 80))
        .set("hz", 5)
        .setColor("color", palette::panel)
        .setColor("fcolor", QColor(0x7E, 0x87, 0x96))
        .setColor("fccolor", palette::accent)
        .set("font", kUiFontFamily)
        .set("fsize", 10);
    skin.addChild(win, "visual", "desktoplrc", "floating desktop lyrics")
        .set("h", 84)
        .setColor("bgcolor", QColor(0x0C, 0x0E, 0x12))
        .setColor("colorbegin", QColor(0xC4, 0xFF, 0xF1))
        .setColor("colorend", QColor(0x22, 0xC4, 0x9E))
        .set("font", kUiFontFamily)
        .set("fsize", 28)
        .set("alpha", 200);
}

void writeLibraryWindow(SkinWriter& skin) {
    FrameSpec f = baseFrame();
    f.topBand = 52;
    f.bottomBand = 12;
    f.leftSide = f.rightSide = 14;
    f.titleWidth = 80;
    f.paintFace = [](QPainter& p, const QRect& w, const QRect& title) {
        p.fillRect(w, palette::body);
        paintTitleBar(p, w, kLibraryBar);
        paintWindowTitle(p, title, kLibraryBar, QStringLiteral("音乐库"));
        // A hairline around the page area; the page itself is a panel of its own.
        p.setPen(QPen(palette::panelBorder, 1));
        p.setBrush(palette::panel);
        p.drawRect(QRectF(7.5, 47.5, w.width() - 15, w.height() - 55));
    };
    SkinWindowElement& win =
        skin.addWindow({"share", "music library window: right of the main window", QSize(772, 532),
                        QSize(600, 400), QSize(0, 0), palette::panel},
                       renderFrame(f), "share_frame.png");

    const QSize size(28, 24);
    skin.addButton(win, "back", QRect(QPoint(8, 8), size),
                   renderButtonSheet(size, false, titleButton(Icon::Back)), "share_back.png",
                   "后退", {}, 6);
    skin.addButton(win, "forward", QRect(QPoint(38, 8), size),
                   renderButtonSheet(size, false, titleButton(Icon::Forward)), "share_forward.png",
                   "前进", {}, 6);
    skin.addButton(win, "refresh", QRect(QPoint(68, 8), size),
                   renderButtonSheet(size, false, titleButton(Icon::Refresh)), "share_refresh.png",
                   "刷新", {}, 6);
    skin.addButton(win, "min", QRect(QPoint(676, 8), size),
                   renderButtonSheet(size, false, titleButton(Icon::Minimize)), "share_min.png",
                   "最小化", "RT", 6);
    skin.addButton(win, "max", QRect(QPoint(706, 8), size),
                   renderButtonSheet(size, false, titleButton(Icon::Maximize)), "share_max.png",
                   "最大化", "RT", 6);
    skin.addButton(win, "close", QRect(QPoint(736, 8), size),
                   renderButtonSheet(size, false, titleButton(Icon::Close, true)),
                   "share_close.png", "关闭", "RT", 6);

    // Underline tabs: the active one carries a jade bar on its two bottom rows, which are
    // never sampled when the player squeezes the whole picture under the strip.
    const QImage tabs = renderTabImage(
        {68, 21}, palette::titleBar, [](QPainter& p, const QRectF& band, bool active) {
            if (!active)
                return;
            QPainterPath line;
            line.addRoundedRect(QRectF(band.left() + 8, band.bottom() - 2, band.width() - 16, 2), 1,
                                1);
            p.fillPath(line, palette::accent);
        });
    skin.addChild(win, "tab", "tabvsv", "the two page tabs on the title bar")
        .setBounds(QRect(110, 11, 137, 21))
        .setColor("acolor", palette::accent)
        .setColor("dcolor", palette::dim)
        .set("filename", skin.saveImage(tabs, "share_tabs.png"));
    skin.addChild(win, "panel", "tabvsv", "the page area")
        .set("align", "LRTB")
        .setBounds(QRect(8, 48, 756, 476))
        .setColor("bcolor", palette::panel);
}

} // namespace

void writeDefaultSkin(const QString& folder) {
    SkinWriter skin(folder,
                    QStringLiteral("Tunola skin \"Default\": graphite with a jade accent.\n"
                                   "Drawn by tools/skingen; change the generator, not this file.\n"
                                   "Colours are written 0xBBGGRR (red in the low byte)."));
    writeMainWindow(skin);
    writePlaylistWindow(skin);
    writeLyricsWindow(skin);
    writeLibraryWindow(skin);
    skin.writeSkinXml();
}
