#include "SkinWriter.h"

#include "ArtKit.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

SkinWriter::SkinWriter(const QString& folder, const QString& headerComment) : folder_(folder) {
    document_.headerComment = headerComment;
    if (!QDir().mkpath(folder_))
        throw std::runtime_error("cannot create " + folder_.toStdString());
}

QString SkinWriter::saveImage(const QImage& image, const QString& fileName) {
    savePng(image, QDir(folder_).filePath(fileName));
    return fileName;
}

SkinWindowElement& SkinWriter::addWindow(const WindowSetup& setup, const FrameArt& frame,
                                         const QString& fileName) {
    saveImage(frame.image, fileName);
    SkinWindowElement w;
    w.comment = setup.comment;
    w.window.tag = "window";
    w.window.set("id", setup.id).set("filename", fileName);
    w.window.set("minw", setup.minSize.width()).set("minh", setup.minSize.height());
    w.window.set("maxw", setup.maxSize.width()).set("maxh", setup.maxSize.height());
    w.window.set("w", setup.size.width()).set("h", setup.size.height());
    w.window.setRect("tl", frame.tl).setRect("tm", frame.tm).setRect("tr", frame.tr);
    w.window.setRect("bl", frame.bl).setRect("bm", frame.bm).setRect("br", frame.br);
    w.window.setRect("lm", frame.lm).setRect("rm", frame.rm).setRect("tc", frame.tc);
    w.window.setColor("bgcolor", setup.background);
    document_.windows.push_back(std::move(w));
    return document_.windows.back();
}

SkinElement& SkinWriter::addButton(SkinWindowElement& window, const QString& id,
                                   const QRect& bounds, const ButtonSheet& sheet,
                                   const QString& fileName, const QString& hint,
                                   const QString& align, int fade) {
    if (bounds.size() != sheet.size)
        throw std::runtime_error("button " + id.toStdString() + ": picture size differs");
    saveImage(sheet.image, fileName);
    SkinElement e;
    e.tag = sheet.checkable ? "ckbutton" : "button";
    e.set("id", id).setBounds(bounds);
    e.set("nx", sheet.normal.x()).set("ny", sheet.normal.y());
    e.set("px", sheet.pressed.x()).set("py", sheet.pressed.y());
    e.set("hx", sheet.hover.x()).set("hy", sheet.hover.y());
    if (sheet.checkable) {
        e.set("cx", sheet.checked.x()).set("cy", sheet.checked.y());
        e.set("cpx", sheet.checkedPressed.x()).set("cpy", sheet.checkedPressed.y());
        e.set("chx", sheet.checkedHover.x()).set("chy", sheet.checkedHover.y());
    }
    if (fade > 0)
        e.set("fade", fade);
    if (!align.isEmpty())
        e.set("align", align);
    e.set("hit", hint).set("filename", fileName);
    window.children.push_back(std::move(e));
    return window.children.back();
}

SkinElement& SkinWriter::addSlider(SkinWindowElement& window, const QString& id,
                                   const QRect& bounds, const SliderSheet& sheet,
                                   const QString& fileName, int style) {
    if (bounds.height() != sheet.tileA.height() || bounds.width() > sheet.tileB.width())
        throw std::runtime_error("slider " + id.toStdString() + ": pieces do not fit");
    saveImage(sheet.image, fileName);
    SkinElement e;
    e.tag = "slider";
    e.set("id", id).setBounds(bounds);
    e.set("normalx", sheet.normal.x()).set("normaly", sheet.normal.y());
    e.set("pressedx", sheet.pressed.x()).set("pressedy", sheet.pressed.y());
    e.set("highlightedx", sheet.hover.x()).set("highlightedy", sheet.hover.y());
    e.set("buttonw", sheet.thumb.width()).set("buttonh", sheet.thumb.height());
    e.setRect("tilea", sheet.tileA).setRect("tileb", sheet.tileB);
    e.set("bordersize", sheet.border);
    e.set("kind", "H").set("style", style).set("filename", fileName);
    window.children.push_back(std::move(e));
    return window.children.back();
}

SkinElement& SkinWriter::addChild(SkinWindowElement& window, const QString& tag, const QString& id,
                                  const QString& comment) {
    SkinElement e;
    e.tag = tag;
    e.comment = comment;
    e.set("id", id);
    window.children.push_back(std::move(e));
    return window.children.back();
}

void SkinWriter::writeSkinXml() const {
    QFile file(QDir(folder_).filePath("skin.xml"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(document_.toXml()) < 0)
        throw std::runtime_error("cannot write skin.xml in " + folder_.toStdString());
}
