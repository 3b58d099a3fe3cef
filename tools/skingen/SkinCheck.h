#pragma once
// Reads a skin folder back the way the player does (libxml2's reader, which tells an
// empty-element tag from a start tag) and checks it strictly: every element and attribute name,
// every value's form, that every control of every window is skinned, that every picture exists
// and that every rectangle lies inside its picture. The previews are drawn from what this
// reads, never from the generator's memory, so they show the files as they are.

#include <QImage>
#include <QMap>
#include <QRect>
#include <QString>
#include <QStringList>
#include <vector>

struct SkinNode {
    QString tag; // lower case
    QString id;  // lower case
    QString window;
    int line = 0;
    QMap<QString, QString> attributes;

    bool has(const QString& name) const { return attributes.contains(name); }
    QString text(const QString& name) const { return attributes.value(name); }
    int number(const QString& name) const; // 0 when absent or malformed, as the player reads it
    QRect rect(const QString& name) const; // 0,0,0,0 when absent or malformed
    QRect bounds() const { return QRect(number("x"), number("y"), number("w"), number("h")); }
};

struct ParsedSkin {
    QString folder;
    std::vector<SkinNode> windows;
    std::vector<SkinNode> children;

    const SkinNode* window(const QString& id) const;
    const SkinNode* child(const QString& window, const QString& tag, const QString& id) const;
    QImage image(const SkinNode& node) const; // the node's "filename" picture, ARGB32
};

struct SkinReport {
    QStringList errors;
    void fail(const SkinNode* node, const QString& message);
};

// Parses "integer" values exactly as the skin format defines them.
bool parseSkinInteger(const QString& text, long long* value);
bool parseSkinRect(const QString& text, QRect* rect);

ParsedSkin readSkin(const QString& folder, SkinReport& report);
void checkSkin(const ParsedSkin& skin, SkinReport& report);
