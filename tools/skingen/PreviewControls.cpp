#include "PreviewControls.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <cmath>

namespace {

QFont skinFont(const SkinNode& node, const QString& nameAttribute = "font",
               const QString& sizeAttribute = "fsize") {
    QFont font(node.text(nameAttribute));
    font.setPointSize(qMax(1, node.number(sizeAttribute))); // points, at the 96 dpi of QImage
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// Draws a rectangle of `image` at (x, y) relative to the control, blending like the player's
// Draw; the painter is already translated to the control and clipped to it.
void drawPiece(QPainter& p, const QImage& image, const QRect& source, int x, int y) {
    if (source.width() <= 0 || source.height() <= 0)
        return;
    p.drawImage(QPoint(x, y), image, source);
}

// The player's StretchDraw: nearest neighbour, column round(e × sw ÷ dw + left) with halves to
// even, the middle column when the target is narrower than two pixels; rows likewise.
QImage stretchNearest(const QImage& image, const QRect& source, QSize target) {
    auto map = [](int e, int sourceStart, int sourceLength, int targetLength) {
        if (targetLength < 2)
            return (sourceStart + sourceStart + sourceLength - 1) / 2;
        const double exact = double(e) * sourceLength / targetLength + sourceStart;
        const int v = int(std::nearbyint(exact)); // the default rounding mode: halves to even
        return qBound(sourceStart, v, sourceStart + sourceLength - 1);
    };
    QImage out(target, QImage::Format_ARGB32);
    for (int y = 0; y < target.height(); ++y) {
        const int sy = map(y, source.y(), source.height(), target.height());
        for (int x = 0; x < target.width(); ++x)
            out.setPixel(x, y, image.pixel(map(x, source.x(), source.width(), target.width()), sy));
    }
    return out;
}

struct ControlScope {
    ControlScope(QPainter& p, const QRect& bounds) : painter(p) {
        painter.save();
        painter.translate(bounds.topLeft());
        painter.setClipRect(QRect(QPoint(0, 0), bounds.size()));
    }
    ~ControlScope() { painter.restore(); }
    QPainter& painter;
};

} // namespace

QColor skinColor(const SkinNode& node, const QString& attribute) {
    const unsigned v = unsigned(node.number(attribute));
    return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

QImage paintWindowFrame(const ParsedSkin& skin, const SkinNode& window, QSize size) {
    const QImage image = skin.image(window);
    const int w = size.width(), h = size.height();
    QImage surface(size, QImage::Format_ARGB32);
    surface.fill(skinColor(window, "bgcolor"));
    QPainter p(&surface);
    // Pieces are copied, not blended: their alpha comes along.
    p.setCompositionMode(QPainter::CompositionMode_Source);
    auto piece = [&](const QRect& source, int x, int y) {
        p.drawImage(QPoint(x, y), image, source);
    };

    const QRect tl = window.rect("tl"), tr = window.rect("tr"), tc = window.rect("tc");
    QRect tm = window.rect("tm"), bm = window.rect("bm"), lm = window.rect("lm");
    const QRect rm = window.rect("rm"), bl = window.rect("bl"), br = window.rect("br");
    if (tm.width() <= 0)
        tm.setWidth(5);
    if (bm.width() <= 0)
        bm.setWidth(5);
    if (lm.height() <= 0)
        lm.setHeight(5);

    piece(tl, 0, 0);
    if (tc.width() <= 0) {
        for (int x = tl.width(); x <= w - tr.width(); x += tm.width())
            piece(tm, x, 0);
    } else {
        const int mid = w / 2 - tc.width() / 2;
        for (int x = tl.width(); x <= mid; x += tm.width())
            piece(tm, x, 0);
        piece(tc, mid, 0);
        for (int x = mid + tc.width(); x <= w - tr.width(); x += tm.width())
            piece(tm, x, 0);
    }
    piece(tr, w - tr.width(), 0);
    for (int y = tl.height(); y <= h - bl.height(); y += lm.height()) {
        piece(lm, 0, y);
        piece(rm, w - rm.width(), y);
    }
    piece(bl, 0, h - bl.height());
    for (int x = bl.width(); x <= w - br.width(); x += bm.width())
        piece(bm, x, h - bm.height());
    piece(br, w - br.width(), h - br.height());
    p.end();

    // The window's shape: every corner pixel whose alpha is below 255 is cut away.
    auto cut = [&](const QRect& source, int x0, int y0) {
        for (int y = 0; y < source.height(); ++y)
            for (int x = 0; x < source.width(); ++x) {
                const QPoint from = source.topLeft() + QPoint(x, y);
                const QPoint to(x0 + x, y0 + y);
                if (image.rect().contains(from) && surface.rect().contains(to) &&
                    qAlpha(image.pixel(from)) < 255)
                    surface.setPixel(to, 0);
            }
    };
    cut(tl, 0, 0);
    cut(tr, w - tr.width(), 0);
    cut(bl, 0, h - bl.height());
    cut(br, w - br.width(), h - br.height());
    return surface;
}

void paintButton(QPainter& p, const ParsedSkin& skin, const SkinNode& button,
                 const QString& state) {
    const QRect bounds = button.bounds();
    ControlScope scope(p, bounds);
    const QImage image = skin.image(button);
    drawPiece(p, image,
              QRect(QPoint(button.number(state + "x"), button.number(state + "y")), bounds.size()),
              0, 0);
}

void paintSlider(QPainter& p, const ParsedSkin& skin, const SkinNode& slider, qreal fraction,
                 const QString& thumb) {
    const QRect bounds = slider.bounds();
    ControlScope scope(p, bounds);
    const QImage image = skin.image(slider);
    const int w = bounds.width();
    const int thumbW = slider.number("buttonw"), thumbH = slider.number("buttonh");
    const int border = slider.number("bordersize");
    const int style = slider.number("style");
    const bool complex = style == 1;
    const QRect a = slider.rect("tilea"), b = slider.rect("tileb");
    const int pos = qRound((w - thumbW) * fraction);

    if (border > 0) {
        drawPiece(p, image, QRect(a.x(), a.y(), border, a.height()), 0, 0);
        if (!complex)
            drawPiece(p, image, QRect(b.x(), b.y(), pos, b.height()), 0, 0);
    }
    const int step = qMax(1, a.width() - 2 * border);
    bool movedBack = false;
    for (int x = border; x < w; x += step) {
        if (x >= pos || complex) {
            if (!complex && !movedBack && border < pos) {
                x = pos;
                movedBack = true;
            }
            drawPiece(p, image, QRect(a.x() + border, a.y(), a.width() - 2 * border, a.height()), x,
                      0);
        } else {
            drawPiece(p, image, QRect(b.x() + border, b.y(), b.width() - 2 * border, b.height()), x,
                      0);
        }
    }
    if (!complex)
        drawPiece(p, image, QRect(a.x() + border, a.y(), a.width() - 2 * border, a.height()),
                  qMax(border, pos), 0);
    if (border > 0) {
        drawPiece(p, image, QRect(a.x() + a.width() - border, a.y(), border, a.height()),
                  w - border, 0);
        if (!complex && pos > w - border)
            drawPiece(
                p, image,
                QRect(b.x() + b.width() - border, b.y(), std::abs(pos + border - w), b.height()),
                w - border, 0);
    }
    drawPiece(p, image,
              QRect(slider.number(thumb + "x"), slider.number(thumb + "y"), thumbW, thumbH), pos,
              0);
}

void paintLabel(QPainter& p, const SkinNode& label, const QString& text) {
    ControlScope scope(p, label.bounds());
    p.setFont(skinFont(label));
    p.setPen(skinColor(label, "fcolor"));
    p.drawText(QRect(QPoint(0, 0), label.bounds().size()), Qt::AlignLeft | Qt::AlignTop, text);
}

void paintMarquee(QPainter& p, const SkinNode& marquee, const QString& text) {
    ControlScope scope(p, marquee.bounds());
    p.fillRect(QRect(QPoint(0, 0), marquee.bounds().size()), skinColor(marquee, "bcolor"));
    p.setFont(skinFont(marquee));
    p.setPen(skinColor(marquee, "fcolor"));
    p.drawText(QRect(QPoint(0, 0), marquee.bounds().size()), Qt::AlignLeft | Qt::AlignTop, text);
}

void paintSpectrum(QPainter& p, const SkinNode& visual) {
    const QRect bounds = visual.bounds();
    ControlScope scope(p, bounds);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(QPoint(0, 0), bounds.size()), skinColor(visual, "bc"));
    const int base = bounds.height();
    const int maxHeight = visual.number("height");
    const int last = qMin(128, visual.number("ttfw"));
    const int barWidth = visual.number("width");
    const QColor pen = skinColor(visual, "pen"), peak = skinColor(visual, "peak");
    for (int i = 0; i <= last; ++i) {
        // A plausible moment of music: strong lows, a bump in the mids, a falling top.
        const qreal t = qreal(i) / qMax(1, last);
        const qreal shape =
            0.95 * std::exp(-2.2 * t) + 0.28 * std::exp(-std::pow((t - 0.45) / 0.12, 2));
        const qreal ripple = 0.74 + 0.26 * std::sin(t * 41.0) * std::sin(t * 9.0 + 1.0);
        const int bar = qBound(0, int(maxHeight * shape * ripple), maxHeight);
        const int peakHeight = qMin(maxHeight, bar + 3 + (i * 7) % 6);
        if (visual.number("mod") == 0) {
            p.fillRect(QRect(1 + i, base - bar, 1, bar), pen);
            p.fillRect(QRect(1 + i, base - peakHeight, 1, 1), peak);
        } else if (visual.number("mod") == 1) {
            const int left = 1 + i * (barWidth + 1);
            p.fillRect(QRect(left, base - peakHeight - 1, barWidth, 1), peak);
            p.fillRect(QRect(left, base - bar, barWidth, bar), pen);
        }
    }
}

void paintPlaylist(QPainter& p, const ParsedSkin& skin, const SkinNode& list) {
    const QRect bounds = list.bounds();
    ControlScope scope(p, bounds);
    const QStringList captions = {
        "晚风里的信 - 林间小队",
        "Morning Tide - The Harbour Lights",
        "山海之间 - 青禾",
        "纸飞机 - 陈小溪",
        "Neon Rain (Live) - Echo Lane",
        "城南旧事 - 白鹭乐团",
        "Paper Moon - Ivy & the Rivers",
        "夏夜蝉鸣 - 沈一",
        "远方的灯塔 - 海岸线",
        "Slow Dance - Milo Park",
        "一路向北的火车 - 北岛",
        "星河 - 许星辰",
    };
    const QStringList lengths = {"04:12", "03:47", "05:03", "03:21", "04:58", "04:30",
                                 "03:09", "04:44", "05:17", "03:55", "04:02", "04:36"};
    const int itemHeight = 14;
    const int count = int(captions.size());
    const int visible = bounds.height() / itemHeight;
    const int barWidth = list.number("sw");
    const bool barShown = bounds.height() < count * itemHeight;
    const int width = barShown ? bounds.width() - barWidth : bounds.width();
    p.fillRect(QRect(0, 0, width, bounds.height()), skinColor(list, "bcolor"));

    QFont font = skinFont(list);
    p.setFont(font);
    const QFontMetrics metrics(font);
    const int numberColumn = metrics.horizontalAdvance(QString::number(count) + ".  ");
    const int lengthColumn = metrics.horizontalAdvance("Mnn:ss");
    const int current = 2, selected = 4;
    for (int i = 0; i < qMin(count, visible); ++i) {
        QRect r(0, i * itemHeight, width, itemHeight);
        QColor ink = skinColor(list, "textcolor");
        if (i == selected) {
            p.fillRect(r, skinColor(list, "selectioncolor"));
            ink = skinColor(list, "textscolor");
        }
        if (i == current)
            ink = skinColor(list, "textcurrcolor");
        p.setPen(ink);
        p.drawText(QRect(r.left() + 3, r.top(), numberColumn, itemHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, QString::number(i + 1) + ".");
        r.setLeft(r.left() + numberColumn);
        const int oldRight = r.right();
        r.setRight(r.right() - lengthColumn - 3);
        p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter,
                   metrics.elidedText(captions[i], Qt::ElideRight, r.width()));
        p.drawText(QRect(r.right() + 1, r.top(), oldRight - r.right(), itemHeight),
                   Qt::AlignRight | Qt::AlignVCenter, lengths[i]);
    }
    if (!barShown)
        return;
    // The scroll bar: its track piece tiled down, the thumb at the top (first row shown).
    const QImage image = skin.image(list);
    const QRect track = list.rect("ti");
    p.save();
    p.translate(bounds.width() - barWidth, 0);
    for (int y = 0; y < bounds.height(); y += qMax(1, track.height()))
        p.drawImage(QPoint(0, y), image, track);
    p.drawImage(QPoint(0, 0), image,
                QRect(list.number("nx"), list.number("ny"), barWidth, list.number("sh")));
    p.restore();
}

void paintLyrics(QPainter& p, const SkinNode& visual) {
    const QRect bounds = visual.bounds();
    ControlScope scope(p, bounds);
    p.fillRect(QRect(QPoint(0, 0), bounds.size()), skinColor(visual, "color"));
    const QStringList lines = {"晚风吹过旧街的窗", "你说远方有海也有光", "我把思念折成纸飞机",
                               "一路飞过山和岗",   "等到星星都亮起来",   "** 欢迎使用 听风 **"};
    QFont font = skinFont(visual);
    p.setFont(font);
    const QFontMetrics metrics(font);
    const int pitch = metrics.height() + visual.number("hz");
    const int current = 2;
    // The current line sits in the middle of the display, the others above and below it.
    const int top = bounds.height() / 2 - pitch / 2 - current * pitch;
    for (int i = 0; i < lines.size(); ++i) {
        p.setPen(skinColor(visual, i == current ? "fccolor" : "fcolor"));
        p.drawText(QRect(0, top + i * pitch, bounds.width(), pitch), Qt::AlignCenter, lines[i]);
    }
}

void paintTabStrip(QPainter& p, const ParsedSkin& skin, const SkinNode& tab, int activeTab) {
    const QRect bounds = tab.bounds();
    ControlScope scope(p, bounds);
    const QImage image = skin.image(tab);
    // The strip first fills itself with its own colour (no skin sets it), then stretches the
    // whole picture over itself, nearest neighbour.
    p.fillRect(QRect(QPoint(0, 0), bounds.size()), QColor(0xE1, 0xEA, 0xEB));
    p.drawImage(0, 0, stretchNearest(image, image.rect(), bounds.size()));
    const int band = image.height() / 3;
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPointSize(9);
    p.setFont(font);
    const QFontMetrics metrics(font);
    const QStringList captions = {"音乐分享", "音乐搜索"};
    int x = 0;
    for (int i = 0; i < captions.size(); ++i) {
        const int w = metrics.horizontalAdvance(captions[i]) + 20;
        QRect r(x, 0, w, bounds.height());
        const bool active = i == activeTab;
        if (!active)
            r.translate(0, 2);
        p.drawImage(
            r.topLeft(),
            stretchNearest(image, QRect(0, active ? band : 0, image.width(), band), r.size()));
        p.setPen(skinColor(tab, active ? "acolor" : "dcolor"));
        p.drawText(r, Qt::AlignCenter, captions[i]);
        x += w + 1;
    }
}

void paintPagePanel(QPainter& p, const SkinNode& panel) {
    const QRect bounds = panel.bounds();
    ControlScope scope(p, bounds);
    const QColor face = skinColor(panel, "bcolor");
    p.fillRect(QRect(QPoint(0, 0), bounds.size()), face);
    // Where the web page will be: a quiet placeholder, so the page area reads as such.
    const QColor ink = face.lightness() > 128 ? face.darker(125) : face.lighter(190);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPointSize(11);
    p.setFont(font);
    p.setPen(ink);
    p.drawText(QRect(QPoint(0, 0), bounds.size()), Qt::AlignCenter, QStringLiteral("音乐分享页面"));
}

void paintDesktopLyrics(QImage& desktop, const SkinNode& visual, const QString& line) {
    const int h = visual.number("h");
    const int w = desktop.width() - 10;
    QImage window(w, h, QImage::Format_ARGB32_Premultiplied);
    window.fill(skinColor(visual, "bgcolor"));
    QFont font = skinFont(visual);
    const QFontMetrics metrics(font);
    const QRect textBox((w - metrics.horizontalAdvance(line)) / 2, (h - metrics.height()) / 2,
                        metrics.horizontalAdvance(line), metrics.height());

    // Shadow: the text in #444444 at 70 %, two pixels down and right, softened.
    QImage shadow(window.size(), QImage::Format_ARGB32_Premultiplied);
    shadow.fill(Qt::transparent);
    {
        QPainter sp(&shadow);
        sp.setFont(font);
        sp.setPen(QColor(0x44, 0x44, 0x44, 178));
        sp.drawText(textBox.translated(2, 2), Qt::AlignCenter, line);
    }
    shadow = shadow.scaled(shadow.size() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                 .scaled(shadow.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPainter p(&window);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.drawImage(0, 0, shadow);
    QLinearGradient gradient(textBox.topLeft(), textBox.bottomLeft());
    gradient.setColorAt(0, skinColor(visual, "colorbegin"));
    gradient.setColorAt(1, skinColor(visual, "colorend"));
    p.setFont(font);
    p.setPen(QPen(QBrush(gradient), 1));
    p.drawText(textBox, Qt::AlignCenter, line);
    p.end();

    QPainter d(&desktop);
    d.setOpacity(200.0 / 255.0);
    d.drawImage(5, desktop.height() - h - 50, window);
}
