// The "Porcelain" skin: a light player, white title bars over a blue-grey body, a cobalt
// accent line along the top edge, small crisp corners. Transport buttons are thin rings, the
// window toggles square tiles, and the spectrum draws fine cobalt lines in a tinted screen at
// the left of the main window.

#include "ArtKit.h"
#include "Icons.h"
#include "SkinWriter.h"
#include "Skins.h"
#include "TabArt.h"

namespace {

namespace palette {
const QColor outline(0x9A, 0xA3, 0xB3);
const QColor titleBar(0xFF, 0xFF, 0xFF);
const QColor cobalt(0x1F, 0x5A, 0xB8);
const QColor cobaltDeep(0x15, 0x43, 0x8E);
const QColor cobaltBright(0x3A, 0x76, 0xD6);
const QColor separator(0xE0, 0xE4, 0xEA);
const QColor body(0xF2, 0xF4, 0xF7);
const QColor panel(0xFF, 0xFF, 0xFF);
const QColor panelBorder(0xD3, 0xD9, 0xE2);
const QColor screen(0xEB, 0xF1, 0xFA);
const QColor screenBorder(0xCB, 0xD6, 0xE6);
const QColor text(0x1F, 0x26, 0x33);
const QColor dim(0x66, 0x70, 0x83);
const QColor faint(0xA2, 0xAA, 0xB7);
const QColor ring(0xC6, 0xCD, 0xD8);
const QColor tint(0xE5, 0xED, 0xFA);
const QColor plate(0xE7, 0xEB, 0xF1);
const QColor platePressed(0xD8, 0xDE, 0xE7);
const QColor danger(0xD6, 0x3B, 0x3B);
const QColor vermilion(0xE0, 0x6A, 0x3A);
} // namespace palette

constexpr int kTitleBar = 28;
constexpr int kLibraryBar = 40;
constexpr int kRadius = 4;

// ---- window faces -----------------------------------------------------------------------

void paintTitleBar(QPainter& p, const QRect& window, int height) {
    p.fillRect(QRect(0, 0, window.width(), height), palette::titleBar);
    // The cobalt rim: two rows just inside the outline.
    p.fillRect(QRect(0, 1, window.width(), 2), palette::cobalt);
    p.fillRect(QRect(0, height, window.width(), 1), palette::separator);
}

void paintPanel(QPainter& p, const QRect& r, const QColor& face, const QColor& border, int radius) {
    QPainterPath path;
    path.addRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.setPen(QPen(border, 1));
    p.setBrush(face);
    p.drawPath(path);
}

void paintWindowTitle(QPainter& p, const QRect& titlePiece, int barHeight, const QString& title) {
    drawCenteredText(p, QRectF(titlePiece.x(), 3, titlePiece.width(), barHeight - 3), title,
                     uiFont(12, true), palette::text);
}

void paintLogo(QPainter& p, QPointF at) {
    p.setPen(QPen(palette::cobalt, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(at + QPointF(0.8, 0.8), QSizeF(15.4, 15.4)));
    fillIcon(p, iconPath(Icon::Note, 1.1), QRectF(at + QPointF(2.5, 2.5), QSizeF(12, 12)),
             palette::cobalt);
    p.setFont(uiFont(14, true));
    p.setPen(palette::text);
    p.drawText(QPointF(at.x() + 23, at.y() + 13.5), QStringLiteral("听风"));
    QFont small = uiFont(10);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    p.setFont(small);
    p.setPen(palette::faint);
    p.drawText(QPointF(at.x() + 56, at.y() + 13.5), QStringLiteral("TUNOLA"));
}

// ---- buttons ------------------------------------------------------------------------------

QPointF pressShift(ButtonState s) {
    return s == ButtonState::Pressed ? QPointF(0, 1) : QPointF();
}

QRectF iconBox(const QRectF& box, qreal side, ButtonState s) {
    return QRectF(box.center() - QPointF(side / 2, side / 2) + pressShift(s), QSizeF(side, side));
}

// Square title-bar buttons; close turns red under the pointer.
ButtonPainter titleButton(Icon icon, bool closeButton = false) {
    return [=](QPainter& p, const QRectF& box, ButtonState s, bool) {
        QColor iconColor = palette::dim;
        if (s != ButtonState::Normal) {
            QColor fill = closeButton ? palette::danger : palette::plate;
            if (s == ButtonState::Pressed)
                fill = closeButton ? palette::danger.darker(120) : palette::platePressed;
            QPainterPath path;
            path.addRoundedRect(box.adjusted(1, 1, -1, -1), 2, 2);
            p.fillPath(path, fill);
            iconColor = closeButton ? QColor(Qt::white) : palette::text;
        }
        fillIcon(p, smallIconPath(icon), iconBox(box, 16, s), iconColor, 16);
    };
}

// Thin rings for previous and next; filled cobalt when pressed.
ButtonPainter ringButton(Icon icon) {
    return [=](QPainter& p, const QRectF& box, ButtonState s, bool) {
        const QRectF circle = box.adjusted(1.5, 1.5, -1.5, -1.5);
        QColor ring = palette::ring, fill = Qt::transparent, ink = palette::text;
        if (s == ButtonState::Hover) {
            ring = palette::cobalt;
            fill = palette::tint;
            ink = palette::cobalt;
        } else if (s == ButtonState::Pressed) {
            ring = palette::cobaltDeep;
            fill = palette::cobalt;
            ink = Qt::white;
        }
        p.setPen(QPen(ring, 1.2));
        p.setBrush(fill);
        p.drawEllipse(circle);
        fillIcon(p, smallIconPath(icon), iconBox(box, 16, s), ink, 16);
    };
}

// The play button: a solid cobalt disc with a white glyph; checked (playing) it shows pause.
ButtonPainter playButton() {
    return [](QPainter& p, const QRectF& box, ButtonState s, bool checked) {
        QColor face = palette::cobalt;
        if (s == ButtonState::Hover)
            face = palette::cobaltBright;
        else if (s == ButtonState::Pressed)
            face = palette::cobaltDeep;
        // A soft shadow ring below the disc lifts it off the page.
        p.setPen(Qt::NoPen);
        p.setBrush(withAlpha(palette::cobaltDeep, s == ButtonState::Pressed ? 30 : 55));
        p.drawEllipse(box.adjusted(2, 3, -2, -1));
        p.setBrush(face);
        p.drawEllipse(box.adjusted(2, 2, -2, -2));
        const QPointF optical = checked ? QPointF() : QPointF(1.2, 0);
        fillIcon(p, iconPath(checked ? Icon::Pause : Icon::Play),
                 iconBox(box, 24, s).translated(optical), Qt::white);
    };
}

// Window toggles: square tiles, tinted cobalt while their window is shown.
ButtonPainter tileButton(Icon icon) {
    return [=](QPainter& p, const QRectF& box, ButtonState s, bool checked) {
        const QRectF tile = box.adjusted(1, 1, -1, -1);
        QPainterPath path;
        path.addRoundedRect(tile, 3, 3);
        QColor fill = Qt::transparent;
        if (checked)
            fill = palette::tint;
        if (s == ButtonState::Hover)
            fill = checked ? palette::tint.darker(104) : palette::plate;
        else if (s == ButtonState::Pressed)
            fill = palette::platePressed;
        p.fillPath(path, fill);
        if (checked) {
            p.setPen(QPen(withAlpha(palette::cobalt, 90), 1));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(tile.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        }
        const QColor ink =
            checked ? palette::cobalt : (s == ButtonState::Normal ? palette::dim : palette::text);
        fillIcon(p, smallIconPath(icon), iconBox(box, 16, s), ink, 16);
    };
}

ButtonPainter soundButton() {
    return [](QPainter& p, const QRectF& box, ButtonState s, bool checked) {
        QColor ink = checked ? palette::vermilion : palette::dim;
        if (s == ButtonState::Hover)
            ink = checked ? palette::vermilion.darker(115) : palette::cobalt;
        else if (s == ButtonState::Pressed)
            ink = palette::cobaltDeep;
        fillIcon(p, iconPath(checked ? Icon::Mute : Icon::Volume, 0.9), iconBox(box, 20, s), ink);
    };
}

// Lyric offset buttons: small square-cornered labels, outlined on hover.
ButtonPainter labelButton(const QString& label) {
    return [=](QPainter& p, const QRectF& box, ButtonState s, bool) {
        const QRectF r = box.adjusted(1.5, 1.5, -1.5, -1.5);
        QColor border = palette::panelBorder, fill = palette::titleBar, ink = palette::dim;
        if (s == ButtonState::Hover) {
            border = palette::cobalt;
            fill = palette::tint;
            ink = palette::cobalt;
        } else if (s == ButtonState::Pressed) {
            border = palette::cobaltDeep;
            fill = palette::cobalt;
            ink = Qt::white;
        }
        p.setPen(QPen(border, 1));
        p.setBrush(fill);
        p.drawRoundedRect(r, 2, 2);
        drawCenteredText(p, box.translated(pressShift(s)), label, uiFont(12), ink);
    };
}

// ---- sliders and scroll bar ----------------------------------------------------------------

void paintThumb(QPainter& p, const QRectF& box, ButtonState s) {
    const QRectF knob = box.adjusted(1, 1, -1, -1);
    p.setPen(QPen(s == ButtonState::Normal ? palette::cobalt : palette::cobaltDeep, 1.6));
    p.setBrush(s == ButtonState::Pressed ? palette::cobalt : QColor(Qt::white));
    p.drawEllipse(knob.adjusted(0.8, 0.8, -0.8, -0.8));
    if (s == ButtonState::Hover) {
        p.setPen(Qt::NoPen);
        p.setBrush(palette::cobalt);
        p.drawEllipse(knob.center(), 1.8, 1.8);
    }
}

SliderLook sliderLook() {
    SliderLook look;
    look.trackHeight = 2;
    look.track = QColor(0xCF, 0xD6, 0xE0);
    look.fill = palette::cobalt;
    look.backdrop = palette::body;
    look.border = 2;
    look.thumb = paintThumb;
    return look;
}

ScrollBarLook scrollBarLook() {
    ScrollBarLook look;
    look.trackColor = palette::panel;
    look.grooveColor = QColor(0xEE, 0xF1, 0xF5);
    look.grooveWidth = 4;
    look.thumb = [](QPainter& p, const QRectF& box, ButtonState s) {
        QColor c(0xC2, 0xC9, 0xD4);
        if (s == ButtonState::Hover)
            c = QColor(0x9E, 0xA8, 0xB8);
        else if (s == ButtonState::Pressed)
            c = palette::cobalt;
        p.fillRect(box.adjusted(2, 1, -2, -1), c);
    };
    return look;
}

// ---- windows -------------------------------------------------------------------------------

FrameSpec baseFrame() {
    FrameSpec f;
    f.radius = kRadius;
    f.outline = palette::outline;
    f.tile = 8;
    f.topLeftWidth = f.topRightWidth = f.bottomLeftWidth = f.bottomRightWidth = 16;
    return f;
}

void writeMainWindow(SkinWriter& skin) {
    FrameSpec f = baseFrame();
    f.topBand = 146; // title bar, the spectrum screen and the text beside it
    f.bottomBand = 92;
    f.leftSide = f.rightSide = 10;
    f.topLeftWidth = 160; // the logo and the spectrum screen
    f.paintFace = [](QPainter& p, const QRect& w, const QRect&) {
        p.fillRect(w, palette::body);
        paintTitleBar(p, w, kTitleBar);
        paintLogo(p, QPointF(10, 6));
        paintPanel(p, QRect(12, 38, 135, 100), palette::screen, palette::screenBorder, 3);
        // Fine rules under the time, as on a printed label.
        p.fillRect(QRect(160, 106, w.width() - 172, 1), palette::separator);
    };
    SkinWindowElement& win =
        skin.addWindow({"main", "main window: 464 x 238, fixed size", QSize(464, 238),
                        QSize(464, 238), QSize(464, 238), palette::body},
                       renderFrame(f), "main_frame.png");

    const QSize title(28, 22);
    skin.addButton(win, "menu", QRect(QPoint(376, 3), title),
                   renderButtonSheet(title, false, titleButton(Icon::Menu)), "main_menu.png",
                   "主菜单", {}, 4);
    skin.addButton(win, "min", QRect(QPoint(404, 3), title),
                   renderButtonSheet(title, false, titleButton(Icon::Minimize)), "main_min.png",
                   "最小化", {}, 4);
    skin.addButton(win, "close", QRect(QPoint(432, 3), title),
                   renderButtonSheet(title, false, titleButton(Icon::Close, true)),
                   "main_close.png", "关闭", {}, 4);

    // One-pixel lines side by side: 129 bars in a 131-pixel screen read as a filled curve.
    skin.addChild(win, "visual", "ost", "spectrum: cobalt lines with vermilion peak dots")
        .setBounds(QRect(14, 40, 131, 96))
        .setColor("bc", palette::screen)
        .setColor("pen", palette::cobaltBright)
        .setColor("peak", palette::vermilion)
        .set("mod", 0)
        .set("height", 92)
        .set("width", 1)
        .set("ttfw", 128);
    skin.addChild(win, "scrolltext", "title", "song title, scrolling")
        .setBounds(QRect(160, 42, 292, 22))
        .setColor("bcolor", palette::body)
        .set("font", kUiFontFamily)
        .setColor("fcolor", palette::text)
        .set("fsize", 11);
    skin.addChild(win, "label", "timer", "elapsed / total time")
        .setBounds(QRect(160, 70, 220, 32))
        .set("font", kUiFontFamily)
        .setColor("fcolor", palette::cobalt)
        .set("fsize", 18);
    skin.addChild(win, "label", "stack", "play mode and status messages")
        .setBounds(QRect(160, 112, 292, 20))
        .set("font", kUiFontFamily)
        .setColor("fcolor", palette::dim)
        .set("fsize", 9);

    skin.addSlider(win, "pgbmusic", QRect(12, 152, 440, 12),
                   renderSliderSheet(440, 12, {12, 12}, sliderLook()), "main_progress.png", 2);

    skin.addButton(win, "sound", QRect(14, 187, 24, 24),
                   renderButtonSheet({24, 24}, true, soundButton()), "main_sound.png", "静音", {},
                   4);
    skin.addSlider(win, "pgbvolume", QRect(42, 193, 80, 12),
                   renderSliderSheet(80, 12, {12, 12}, sliderLook()), "main_volume.png", 2);
    skin.addButton(win, "previous", QRect(166, 182, 34, 34),
                   renderButtonSheet({34, 34}, false, ringButton(Icon::Previous)),
                   "main_previous.png", "上一首", {}, 4);
    skin.addButton(win, "play", QRect(208, 175, 48, 48),
                   renderButtonSheet({48, 48}, true, playButton()), "main_play.png", "播放/暂停",
                   {}, 4);
    skin.addButton(win, "next", QRect(264, 182, 34, 34),
                   renderButtonSheet({34, 34}, false, ringButton(Icon::Next)), "main_next.png",
                   "下一首", {}, 4);
    skin.addButton(win, "playlist", QRect(390, 185, 28, 28),
                   renderButtonSheet({28, 28}, true, tileButton(Icon::List)), "main_list.png",
                   "播放列表", {}, 4);
    skin.addButton(win, "share", QRect(424, 185, 28, 28),
                   renderButtonSheet({28, 28}, true, tileButton(Icon::Library)), "main_library.png",
                   "音乐库", {}, 4);
}

void writePlaylistWindow(SkinWriter& skin) {
    FrameSpec f = baseFrame();
    f.topBand = 40;
    f.bottomBand = 12;
    f.leftSide = f.rightSide = 12;
    f.titleWidth = 100;
    f.paintFace = [](QPainter& p, const QRect& w, const QRect& title) {
        p.fillRect(w, palette::body);
        paintTitleBar(p, w, kTitleBar);
        paintWindowTitle(p, title, kTitleBar, QStringLiteral("播放列表"));
        paintPanel(p, QRect(8, 34, w.width() - 16, w.height() - 42), palette::panel,
                   palette::panelBorder, 3);
    };
    SkinWindowElement& win =
        skin.addWindow({"plist", "playlist window: below the main window, same width",
                        QSize(464, 166), QSize(300, 110), QSize(0, 0), palette::panel},
                       renderFrame(f), "plist_frame.png");

    skin.addButton(win, "menu", QRect(4, 3, 28, 22),
                   renderButtonSheet({28, 22}, false, titleButton(Icon::Menu)), "plist_menu.png",
                   "播放列表菜单", {}, 4);
    skin.addButton(win, "close", QRect(432, 3, 28, 22),
                   renderButtonSheet({28, 22}, false, titleButton(Icon::Close, true)),
                   "plist_close.png", "关闭", "RT", 4);

    const ScrollBarSheet bar = renderScrollBarSheet(10, 30, 30, scrollBarLook());
    const QString barFile = skin.saveImage(bar.image, "plist_scrollbar.png");
    skin.addChild(win, "list", "playlist", "rows are 14 pixels; the scroll bar is 10 wide")
        .setBounds(QRect(10, 36, 444, 120))
        .set("sw", bar.thumb.width())
        .set("sh", bar.thumb.height())
        .setColor("bcolor", palette::panel)
        .setColor("selectioncolor", QColor(0xDA, 0xE5, 0xF7))
        .setColor("textcolor", QColor(0x38, 0x40, 0x4F))
        .setColor("textcurrcolor", palette::cobalt)
        .setColor("textscolor", palette::text)
        .setColor("textfcolor", QColor(0xC0, 0x39, 0x2B))
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
    f.topBand = 40;
    f.bottomBand = 12;
    f.leftSide = f.rightSide = 12;
    f.titleWidth = 64;
    f.paintFace = [](QPainter& p, const QRect& w, const QRect& title) {
        p.fillRect(w, palette::body);
        paintTitleBar(p, w, kTitleBar);
        paintWindowTitle(p, title, kTitleBar, QStringLiteral("歌词"));
        paintPanel(p, QRect(8, 34, w.width() - 16, w.height() - 42), palette::panel,
                   palette::panelBorder, 3);
    };
    SkinWindowElement& win =
        skin.addWindow({"lrc", "lyrics window: below the playlist window, same width",
                        QSize(464, 128), QSize(300, 100), QSize(0, 0), palette::panel},
                       renderFrame(f), "lrc_frame.png");

    skin.addButton(win, "b5", QRect(6, 5, 44, 20),
                   renderButtonSheet({44, 20}, false, labelButton(QStringLiteral("延后"))),
                   "lrc_later.png", "歌词延后 0.5 秒", {}, 4);
    skin.addButton(win, "f5", QRect(52, 5, 44, 20),
                   renderButtonSheet({44, 20}, false, labelButton(QStringLiteral("提前"))),
                   "lrc_earlier.png", "歌词提前 0.5 秒", {}, 4);
    skin.addButton(win, "dlrc", QRect(404, 3, 28, 22),
                   renderButtonSheet({28, 22}, false, titleButton(Icon::DesktopLyrics)),
                   "lrc_desktop.png", "桌面歌词", "RT", 4);
    skin.addButton(win, "close", QRect(432, 3, 28, 22),
                   renderButtonSheet({28, 22}, false, titleButton(Icon::Close, true)),
                   "lrc_close.png", "关闭", "RT", 4);

    skin.addChild(win, "visual", "minlrc", "scrolling lyrics; the current line in cobalt")
        .set("align", "LRTB")
        .setBounds(QRect(10, 36, 444, 82))
        .set("hz", 6)
        .setColor("color", palette::panel)
        .setColor("fcolor", QColor(0x8C, 0x95, 0xA5))
        .setColor("fccolor", palette::cobalt)
        .set("font", kUiFontFamily)
        .set("fsize", 10);
    skin.addChild(win, "visual", "desktoplrc", "floating desktop lyrics")
        .set("h", 84)
        .setColor("bgcolor", QColor(0xF6, 0xF8, 0xFB))
        .setColor("colorbegin", QColor(0x4A, 0x86, 0xE8))
        .setColor("colorend", QColor(0x12, 0x3B, 0x85))
        .set("font", kUiFontFamily)
        .set("fsize", 28)
        .set("alpha", 200);
}

void writeLibraryWindow(SkinWriter& skin) {
    FrameSpec f = baseFrame();
    f.topBand = 52;
    f.bottomBand = 12;
    f.leftSide = f.rightSide = 12;
    f.titleWidth = 80;
    f.paintFace = [](QPainter& p, const QRect& w, const QRect& title) {
        p.fillRect(w, palette::body);
        paintTitleBar(p, w, kLibraryBar);
        paintWindowTitle(p, title, kLibraryBar, QStringLiteral("音乐库"));
        p.setPen(QPen(palette::panelBorder, 1));
        p.setBrush(palette::panel);
        p.drawRect(QRectF(7.5, 47.5, w.width() - 15, w.height() - 55));
    };
    SkinWindowElement& win =
        skin.addWindow({"share", "music library window: right of the main window", QSize(772, 532),
                        QSize(600, 400), QSize(0, 0), palette::panel},
                       renderFrame(f), "share_frame.png");

    const QSize size(28, 24);
    skin.addButton(win, "back", QRect(QPoint(8, 10), size),
                   renderButtonSheet(size, false, titleButton(Icon::Back)), "share_back.png",
                   "后退", {}, 4);
    skin.addButton(win, "forward", QRect(QPoint(38, 10), size),
                   renderButtonSheet(size, false, titleButton(Icon::Forward)), "share_forward.png",
                   "前进", {}, 4);
    skin.addButton(win, "refresh", QRect(QPoint(68, 10), size),
                   renderButtonSheet(size, false, titleButton(Icon::Refresh)), "share_refresh.png",
                   "刷新", {}, 4);
    skin.addButton(win, "min", QRect(QPoint(676, 10), size),
                   renderButtonSheet(size, false, titleButton(Icon::Minimize)), "share_min.png",
                   "最小化", "RT", 4);
    skin.addButton(win, "max", QRect(QPoint(706, 10), size),
                   renderButtonSheet(size, false, titleButton(Icon::Maximize)), "share_max.png",
                   "最大化", "RT", 4);
    skin.addButton(win, "close", QRect(QPoint(736, 10), size),
                   renderButtonSheet(size, false, titleButton(Icon::Close, true)),
                   "share_close.png", "关闭", "RT", 4);

    // The active tab gets a short cobalt bar, centred, on the band's two bottom rows (rows the
    // player never samples when it squeezes the picture under the strip).
    const QImage tabs = renderTabImage(
        {68, 21}, palette::titleBar, [](QPainter& p, const QRectF& band, bool active) {
            if (!active)
                return;
            p.fillRect(QRectF(band.center().x() - 12, band.bottom() - 2, 24, 2), palette::cobalt);
        });
    skin.addChild(win, "tab", "tabvsv", "the two page tabs on the title bar")
        .setBounds(QRect(112, 12, 137, 21))
        .setColor("acolor", palette::cobalt)
        .setColor("dcolor", palette::dim)
        .set("filename", skin.saveImage(tabs, "share_tabs.png"));
    skin.addChild(win, "panel", "tabvsv", "the page area")
        .set("align", "LRTB")
        .setBounds(QRect(8, 48, 756, 476))
        .setColor("bcolor", palette::panel);
}

} // namespace

void writePorcelainSkin(const QString& folder) {
    SkinWriter skin(folder,
                    QStringLiteral("Tunola skin \"Porcelain\": white and blue-grey with cobalt.\n"
                                   "Drawn by tools/skingen; change the generator, not this file.\n"
                                   "Colours are written 0xBBGGRR (red in the low byte)."));
    writeMainWindow(skin);
    writePlaylistWindow(skin);
    writeLyricsWindow(skin);
    writeLibraryWindow(skin);
    skin.writeSkinXml();
}
