#pragma once
// The in-memory form of a skin.xml: windows in order, each with its attributes and its child
// elements. Attribute order is kept as written, because the player applies attributes in a
// fixed order of its own and a reader of the file expects them grouped the same way.

#include <QByteArray>
#include <QColor>
#include <QRect>
#include <QString>
#include <vector>

struct SkinAttribute {
    QString name;
    QString value;
};

struct SkinElement {
    QString tag; // "button", "ckbutton", "label", "scrolltext", "slider", "list", ...
    QString comment;
    std::vector<SkinAttribute> attributes;

    SkinElement& set(const QString& name, const QString& value);
    SkinElement& set(const QString& name, int value);
    SkinElement& setRect(const QString& name, const QRect& r);   // "x,y,w,h"
    SkinElement& setColor(const QString& name, const QColor& c); // 0x00BBGGRR
    SkinElement& setBounds(const QRect& r);                      // x, y, w, h
};

struct SkinWindowElement {
    QString comment;
    SkinElement window; // tag "window"
    std::vector<SkinElement> children;
};

struct SkinDocument {
    QString headerComment;
    std::vector<SkinWindowElement> windows;

    // UTF-8 with an XML declaration; children are written as empty-element tags and windows
    // with a start and an end tag, which is what the player's reader insists on.
    QByteArray toXml() const;
};

// The platform colour encoding the skin file uses: red in the low byte, blue in the third.
QString skinColorValue(const QColor& c);
