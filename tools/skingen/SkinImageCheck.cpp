// The picture half of the skin check: files exist and decode, every piece and state picture
// lies inside its picture, frames are opaque where the player copies them without blending,
// and every control lies inside its window without covering another.

#include "SkinCheck.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool inside(const QImage& image, const QRect& r) {
    return r.width() > 0 && r.height() > 0 && image.rect().contains(r);
}

bool opaque(const QImage& image, const QRect& r) {
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qAlpha(image.pixel(x, y)) != 255)
                return false;
    return true;
}

// Corner pieces cut the window's shape by alpha below 255; partial alpha there would make a
// hole where the artist meant a soft edge.
bool twoLevelAlpha(const QImage& image, const QRect& r) {
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const int a = qAlpha(image.pixel(x, y));
            if (a != 0 && a != 255)
                return false;
        }
    return true;
}

QImage loadPicture(const ParsedSkin& skin, const SkinNode& n, SkinReport& report) {
    const QString name = n.text("filename");
    if (name.isEmpty()) {
        report.fail(&n, "no filename");
        return {};
    }
    const QFileInfo info(QDir(skin.folder).filePath(name));
    if (!info.isFile()) {
        report.fail(&n, name + " does not exist");
        return {};
    }
    if (info.suffix().toLower() != "png")
        report.fail(&n, name + " is not a PNG");
    const QImage image = skin.image(n);
    if (image.isNull())
        report.fail(&n, name + " does not decode");
    return image;
}

void needInside(const QImage& image, const QRect& r, const SkinNode& n, const QString& what,
                SkinReport& report) {
    if (!inside(image, r))
        report.fail(&n, QStringLiteral("%1 (%2,%3,%4,%5) is not inside %6 (%7 x %8)")
                            .arg(what)
                            .arg(r.x())
                            .arg(r.y())
                            .arg(r.width())
                            .arg(r.height())
                            .arg(n.text("filename"))
                            .arg(image.width())
                            .arg(image.height()));
}

void checkWindow(const ParsedSkin& skin, const SkinNode& n, SkinReport& report) {
    const QImage image = loadPicture(skin, n, report);
    if (image.isNull())
        return;
    const QStringList corners = {"tl", "tr", "bl", "br"};
    const QStringList tiles = {"tm", "bm", "lm", "rm"};
    for (const QString& piece : corners + tiles) {
        const QRect r = n.rect(piece);
        needInside(image, r, n, piece, report);
        if (!inside(image, r))
            continue;
        if (tiles.contains(piece) && !opaque(image, r))
            report.fail(&n, piece + " has transparent pixels: they would show as black");
        if (corners.contains(piece) && !twoLevelAlpha(image, r))
            report.fail(&n, piece + " has partial alpha: the shape cut would punch holes");
    }
    const QRect tc = n.rect("tc");
    if (tc.width() > 0) {
        needInside(image, tc, n, "tc", report);
        if (inside(image, tc) && !opaque(image, tc))
            report.fail(&n, "tc has transparent pixels");
        if (tc.height() != n.rect("tm").height())
            report.fail(&n, "tc and tm differ in height: the top edge would have a gap");
    }
    if (n.rect("tl").height() != n.rect("tm").height() ||
        n.rect("tr").height() != n.rect("tm").height())
        report.fail(&n, "tl, tm and tr must be equally high");
    if (n.rect("bl").height() != n.rect("bm").height() ||
        n.rect("br").height() != n.rect("bm").height())
        report.fail(&n, "bl, bm and br must be equally high");
    if (n.rect("lm").height() != n.rect("rm").height())
        report.fail(&n, "lm and rm must be equally high (the sides step by lm's height)");
    const int w = n.number("w"), h = n.number("h");
    if ((n.number("minw") && w < n.number("minw")) || (n.number("maxw") && w > n.number("maxw")) ||
        (n.number("minh") && h < n.number("minh")) || (n.number("maxh") && h > n.number("maxh")))
        report.fail(&n, "w, h lie outside the size limits");
    if (n.rect("tl").height() + n.rect("bl").height() > h)
        report.fail(&n, "top and bottom pieces are higher than the window");
}

void checkButton(const ParsedSkin& skin, const SkinNode& n, SkinReport& report) {
    const QImage image = loadPicture(skin, n, report);
    if (image.isNull())
        return;
    const QSize size(n.number("w"), n.number("h"));
    QStringList corners = {"n", "p", "h"};
    if (n.tag == "ckbutton")
        corners << "c"
                << "cp"
                << "ch";
    for (const QString& c : corners)
        needInside(image, QRect(QPoint(n.number(c + "x"), n.number(c + "y")), size), n,
                   "picture " + c, report);
}

void checkSlider(const ParsedSkin& skin, const SkinNode& n, SkinReport& report) {
    const QImage image = loadPicture(skin, n, report);
    if (image.isNull())
        return;
    const QSize thumb(n.number("buttonw"), n.number("buttonh"));
    for (const QString& state : QStringList{"normal", "pressed", "highlighted"})
        needInside(image, QRect(QPoint(n.number(state + "x"), n.number(state + "y")), thumb), n,
                   QStringLiteral("thumb ") + state, report);
    const QRect a = n.rect("tilea"), b = n.rect("tileb");
    needInside(image, a, n, "tilea", report);
    needInside(image, b, n, "tileb", report);
    const int border = n.number("bordersize");
    if (a.width() <= 2 * border || b.width() <= 2 * border)
        report.fail(&n, "track pieces narrower than their two end caps");
    // The fill is drawn from the left of piece B up to the thumb, so piece B must be at least
    // as long as the thumb can travel.
    if (b.width() < n.number("w") - thumb.width())
        report.fail(&n, "tileb is shorter than the thumb's travel");
    if (thumb.height() != n.number("h") || a.height() != n.number("h"))
        report.fail(&n, "thumb and track pieces should be as high as the slider");
}

void checkList(const ParsedSkin& skin, const SkinNode& n, SkinReport& report) {
    const QImage image = loadPicture(skin, n, report);
    if (image.isNull())
        return;
    const QSize thumb(n.number("sw"), n.number("sh"));
    for (const QString& c : QStringList{"n", "p", "h"})
        needInside(image, QRect(QPoint(n.number(c + "x"), n.number(c + "y")), thumb), n,
                   QStringLiteral("scroll thumb ") + c, report);
    const QRect track = n.rect("ti");
    needInside(image, track, n, "ti", report);
    if (track.width() != n.number("sw"))
        report.fail(&n, "the track piece should be as wide as the scroll bar (sw)");
    if (inside(image, track) && !opaque(image, track))
        report.fail(&n, "the track piece must be opaque: nothing lies under the scroll bar");
}

void checkTab(const ParsedSkin& skin, const SkinNode& n, SkinReport& report) {
    const QImage image = loadPicture(skin, n, report);
    if (image.isNull())
        return;
    if (image.height() % 3 != 0)
        report.fail(&n, "the tab picture must be three equal bands high");
    if (!opaque(image, image.rect()))
        report.fail(&n, "the tab picture must be opaque: the strip fills itself light grey");
}

void checkPlacement(const ParsedSkin& skin, SkinReport& report) {
    for (const SkinNode& w : skin.windows) {
        const QRect window(0, 0, w.number("w"), w.number("h"));
        std::vector<const SkinNode*> placed;
        for (const SkinNode& c : skin.children) {
            if (c.window != w.id || !c.has("x"))
                continue;
            if (!window.contains(c.bounds()))
                report.fail(&c, "lies outside its window");
            for (const SkinNode* other : placed)
                if (other->bounds().intersects(c.bounds()))
                    report.fail(&c, "overlaps <" + other->tag + " id=\"" + other->id + "\">");
            placed.push_back(&c);
        }
    }
}

} // namespace

void checkSkin(const ParsedSkin& skin, SkinReport& report) {
    for (const SkinNode& w : skin.windows)
        checkWindow(skin, w, report);
    for (const SkinNode& c : skin.children) {
        if (c.tag == "button" || c.tag == "ckbutton")
            checkButton(skin, c, report);
        else if (c.tag == "slider")
            checkSlider(skin, c, report);
        else if (c.tag == "list")
            checkList(skin, c, report);
        else if (c.tag == "tab")
            checkTab(skin, c, report);
    }
    checkPlacement(skin, report);
}
