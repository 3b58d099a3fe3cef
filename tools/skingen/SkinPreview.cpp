#include "SkinPreview.h"

#include "PreviewControls.h"

#include <QDir>
#include <QLinearGradient>
#include <stdexcept>

namespace {

// A plain desktop behind the windows: mid grey-blue, so light and dark skins both stand out and
// the cut corners show.
QImage desktop(QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, QColor(0x6B, 0x76, 0x86));
    g.setColorAt(1, QColor(0x46, 0x4E, 0x5A));
    p.fillRect(image.rect(), g);
    return image;
}

void save(const QImage& image, const QString& folder, const QString& file) {
    if (!image.convertToFormat(QImage::Format_ARGB32).save(QDir(folder).filePath(file), "PNG"))
        throw std::runtime_error("cannot write preview " + file.toStdString());
}

QSize windowSize(const SkinNode& window) {
    return QSize(window.number("w"), window.number("h"));
}

// The window's background without its controls: what the buttons are drawn over.
QImage background(const ParsedSkin& skin, const QString& id) {
    const SkinNode* window = skin.window(id);
    return window ? paintWindowFrame(skin, *window, windowSize(*window)) : QImage();
}

// One window with every control in the state of a song playing with the playlist shown.
QImage composeWindow(const ParsedSkin& skin, const QString& id) {
    QImage image = background(skin, id);
    if (image.isNull())
        return image;
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (const SkinNode& c : skin.children) {
        // Elements that address another window's control are drawn on that window.
        QString target = c.window;
        if (c.tag == "slider" || c.tag == "scrolltext" || (c.tag == "visual" && c.id == "ost"))
            target = "main";
        else if (c.tag == "list")
            target = "plist";
        else if (c.tag == "visual")
            target = "lrc";
        else if (c.tag == "panel" || c.tag == "tab")
            target = "share";
        if (target != id)
            continue;
        if (c.tag == "button")
            paintButton(p, skin, c, "n");
        else if (c.tag == "ckbutton")
            paintButton(p, skin, c, (c.id == "play" || c.id == "playlist") ? "c" : "n");
        else if (c.tag == "slider")
            paintSlider(p, skin, c, c.id == "pgbmusic" ? 0.36 : 0.7);
        else if (c.tag == "label")
            paintLabel(p, c,
                       c.id == "timer" ? QStringLiteral("01:31 / 04:12")
                                       : QStringLiteral("循环播放"));
        else if (c.tag == "scrolltext")
            paintMarquee(p, c, QStringLiteral("晚风里的信 - 林间小队"));
        else if (c.tag == "visual" && c.id == "ost")
            paintSpectrum(p, c);
        else if (c.tag == "visual" && c.id == "minlrc")
            paintLyrics(p, c);
        else if (c.tag == "list")
            paintPlaylist(p, skin, c);
        else if (c.tag == "tab")
            paintTabStrip(p, skin, c, 0);
        else if (c.tag == "panel")
            paintPagePanel(p, c);
    }
    return image;
}

QImage onDesktop(const QImage& window, int margin) {
    QImage out = desktop(window.size() + QSize(2 * margin, 2 * margin));
    QPainter p(&out);
    p.drawImage(margin, margin, window);
    return out;
}

// Every button picture and slider thumb state, each over the part of its window it sits on.
QImage stateSheet(const ParsedSkin& skin) {
    struct Row {
        QString label;
        std::vector<QImage> cells;
    };
    std::vector<Row> rows;
    const QStringList names = {"normal",  "hover",         "pressed",
                               "checked", "checked+hover", "checked+pressed"};
    for (const SkinNode& window : skin.windows) {
        const QImage back = background(skin, window.id);
        for (const SkinNode& c : skin.children) {
            if (c.window != window.id)
                continue;
            Row row;
            row.label = window.id + " / " + c.id;
            if (c.tag == "button" || c.tag == "ckbutton") {
                QStringList states = {"n", "h", "p"};
                if (c.tag == "ckbutton")
                    states << "c"
                           << "ch"
                           << "cp";
                for (const QString& s : states) {
                    QImage cell = back.copy(c.bounds());
                    QPainter p(&cell);
                    p.translate(-c.bounds().topLeft());
                    paintButton(p, skin, c, s);
                    row.cells.push_back(cell);
                }
            } else if (c.tag == "slider") {
                for (const QString& s : QStringList{"normal", "highlighted", "pressed"}) {
                    QImage cell = back.copy(c.bounds().adjusted(-4, -4, 4, 4));
                    QPainter p(&cell);
                    p.translate(-c.bounds().topLeft() + QPoint(4, 4));
                    paintSlider(p, skin, c, 0.5, s);
                    row.cells.push_back(cell);
                }
            } else {
                continue;
            }
            rows.push_back(row);
        }
    }
    // Each row: the control's name, then its states side by side, each captioned, at twice
    // the size so single pixels can be judged.
    const int zoom = 2, labelWidth = 120, gap = 12, caption = 16;
    int width = 0, height = gap;
    for (const Row& r : rows) {
        int rowWidth = labelWidth, rowHeight = 0;
        for (const QImage& c : r.cells) {
            rowWidth += qMax(c.width() * zoom, 70) + gap;
            rowHeight = qMax(rowHeight, c.height() * zoom);
        }
        width = qMax(width, rowWidth + gap);
        height += caption + rowHeight + gap;
    }
    QImage sheet(width, height, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(0x5A, 0x63, 0x70));
    QPainter p(&sheet);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(11);
    p.setFont(font);
    p.setPen(Qt::white);
    int y = gap;
    for (const Row& r : rows) {
        int rowHeight = 0;
        for (const QImage& c : r.cells)
            rowHeight = qMax(rowHeight, c.height() * zoom);
        p.drawText(QRect(gap, y + caption, labelWidth, rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   r.label);
        int x = labelWidth;
        for (size_t i = 0; i < r.cells.size(); ++i) {
            p.drawText(QRect(x, y, 200, caption), Qt::AlignLeft | Qt::AlignTop, names[int(i)]);
            p.drawImage(QPoint(x, y + caption), r.cells[i].scaled(r.cells[i].size() * zoom));
            x += qMax(r.cells[i].width() * zoom, 70) + gap;
        }
        y += caption + rowHeight + gap;
    }
    return sheet;
}

} // namespace

void writeSkinPreviews(const ParsedSkin& skin, const QString& skinName, const QString& folder) {
    if (!QDir().mkpath(folder))
        throw std::runtime_error("cannot create " + folder.toStdString());
    const QString prefix = skinName + "-";
    const int margin = 16;
    QImage main = composeWindow(skin, "main"), plist = composeWindow(skin, "plist");
    QImage lrc = composeWindow(skin, "lrc"), share = composeWindow(skin, "share");
    save(onDesktop(main, margin), folder, prefix + "main.png");
    save(onDesktop(plist, margin), folder, prefix + "plist.png");
    save(onDesktop(lrc, margin), folder, prefix + "lrc.png");
    save(onDesktop(share, margin), folder, prefix + "share.png");

    // Docked as the player places them: playlist and lyrics under the main window, the
    // library window at its right.
    const int left = main.width() + share.width();
    const int tall = qMax(main.height() + plist.height() + lrc.height(), share.height());
    QImage all = desktop(QSize(left + 2 * margin, tall + 2 * margin));
    {
        QPainter p(&all);
        p.drawImage(margin, margin, main);
        p.drawImage(margin, margin + main.height(), plist);
        p.drawImage(margin, margin + main.height() + plist.height(), lrc);
        p.drawImage(margin + main.width(), margin, share);
    }
    save(all, folder, prefix + "all.png");

    if (const SkinNode* desk = skin.child("lrc", "visual", "desktoplrc")) {
        QImage screen = desktop(QSize(900, desk->number("h") + 90));
        paintDesktopLyrics(screen, *desk, QStringLiteral("我把思念折成纸飞机"));
        save(screen, folder, prefix + "desktoplrc.png");
    }
    save(stateSheet(skin), folder, prefix + "states.png");
}
