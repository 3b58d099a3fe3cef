#pragma once
// Writes one skin folder: saves each picture as it is made and collects the matching elements,
// then writes skin.xml. The helpers put attributes in the order the player applies them.

#include "ButtonArt.h"
#include "FrameArt.h"
#include "ScrollBarArt.h"
#include "SkinDocument.h"
#include "SliderArt.h"

#include <QString>

struct WindowSetup {
    QString id; // "main", "plist", "share", "lrc"
    QString comment;
    QSize size;
    QSize minSize; // 0 = no limit
    QSize maxSize;
    QColor background;
};

class SkinWriter {
public:
    SkinWriter(const QString& folder, const QString& headerComment);

    // Saves a picture into the skin folder and returns the name skin.xml refers to it by.
    QString saveImage(const QImage& image, const QString& fileName);

    SkinWindowElement& addWindow(const WindowSetup& setup, const FrameArt& frame,
                                 const QString& fileName);

    // A "button", or a "ckbutton" when the sheet has checked pictures.
    SkinElement& addButton(SkinWindowElement& window, const QString& id, const QRect& bounds,
                           const ButtonSheet& sheet, const QString& fileName, const QString& hint,
                           const QString& align = {}, int fade = 0);

    // A horizontal slider ("kind" H; the player stretches those with the window's width).
    SkinElement& addSlider(SkinWindowElement& window, const QString& id, const QRect& bounds,
                           const SliderSheet& sheet, const QString& fileName, int style);

    SkinElement& addChild(SkinWindowElement& window, const QString& tag, const QString& id,
                          const QString& comment = {});

    void writeSkinXml() const;

private:
    QString folder_;
    SkinDocument document_;
};
