#include "SkinCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>
#include <libxml/xmlreader.h>
#include <memory>

namespace {

struct ReaderDeleter {
    void operator()(xmlTextReader* r) const { xmlFreeTextReader(r); }
};

QString fromXml(const xmlChar* s) {
    return s ? QString::fromUtf8(reinterpret_cast<const char*>(s)) : QString();
}

const QSet<QString> kWindowIds = {"main", "plist", "share", "lrc"};

// Which ids each element knows, by window; "*" means the element is read in any window (it
// always addresses the same control) and names the window where we keep it.
struct IdRule {
    QString tag;
    QString window;
    QStringList ids;
    bool anyWindow = false;
};

const std::vector<IdRule>& idRules() {
    static const std::vector<IdRule> rules = {
        {"button", "main", {"previous", "next", "menu", "min", "close"}},
        {"button", "plist", {"menu", "close"}},
        {"button", "share", {"back", "forward", "refresh", "min", "max", "close"}},
        {"button", "lrc", {"dlrc", "close", "b5", "f5"}},
        {"ckbutton", "main", {"play", "sound", "playlist", "share"}},
        {"label", "main", {"timer", "stack"}},
        {"scrolltext", "main", {"title"}, true},
        {"slider", "main", {"pgbmusic", "pgbvolume"}, true},
        {"list", "plist", {"playlist"}, true},
        {"visual", "main", {"ost"}, true},
        {"visual", "lrc", {"minlrc", "desktoplrc"}, true},
        {"panel", "share", {"tabvsv"}, true},
        {"tab", "share", {"tabvsv"}, true},
    };
    return rules;
}

QStringList allowedAttributes(const QString& tag, const QString& id) {
    const QStringList bounds = {"id", "x", "y", "w", "h"};
    const QStringList pictures = {"nx", "ny", "px", "py", "hx", "hy"};
    if (tag == "window")
        return {"id", "filename", "minw", "minh", "maxw", "maxh", "w",  "h",  "tl",
                "tm", "tr",       "bl",   "bm",   "br",   "lm",   "rm", "tc", "bgcolor"};
    if (tag == "button")
        return bounds + pictures + QStringList{"fade", "align", "hit", "filename"};
    if (tag == "ckbutton")
        return bounds + pictures + QStringList{"cx",  "cy",   "cpx",   "cpy", "chx",
                                               "chy", "fade", "align", "hit", "filename"};
    if (tag == "label")
        return bounds + QStringList{"font", "fcolor", "fsize", "align"};
    if (tag == "scrolltext")
        return bounds + QStringList{"bcolor", "font", "fcolor", "fsize", "align"};
    if (tag == "slider")
        return bounds + QStringList{"normalx",      "normaly",      "pressedx",   "pressedy",
                                    "highlightedx", "highlightedy", "buttonw",    "buttonh",
                                    "tilea",        "tileb",        "bordersize", "align",
                                    "kind",         "style",        "filename"};
    if (tag == "list")
        return bounds + pictures + QStringList{"sw",         "sh",
                                               "bcolor",     "selectioncolor",
                                               "textcolor",  "textcurrcolor",
                                               "textscolor", "textfcolor",
                                               "font",       "fsize",
                                               "align",      "ti",
                                               "filename"};
    if (tag == "visual" && id == "minlrc")
        return bounds + QStringList{"align", "hz", "color", "fcolor", "fccolor", "font", "fsize"};
    if (tag == "visual" && id == "ost")
        return bounds + QStringList{"align", "bc", "pen", "peak", "mod", "height", "width", "ttfw"};
    if (tag == "visual" && id == "desktoplrc")
        return {"id", "h", "bgcolor", "colorbegin", "colorend", "font", "fsize", "alpha"};
    if (tag == "panel")
        return bounds + QStringList{"align", "bcolor"};
    if (tag == "tab")
        return bounds + QStringList{"acolor", "dcolor", "align", "filename"};
    return {};
}

enum class ValueKind { Integer, Colour, Text, Rect, Anchor };

ValueKind kindOf(const QString& attribute) {
    static const QSet<QString> rects = {"tl", "tm", "tr", "bl",    "bm",    "br",
                                        "lm", "rm", "tc", "tilea", "tileb", "ti"};
    static const QSet<QString> colours = {
        "bgcolor",    "bcolor",     "fcolor", "selectioncolor", "textcolor", "textcurrcolor",
        "textscolor", "textfcolor", "color",  "fccolor",        "bc",        "pen",
        "peak",       "acolor",     "dcolor", "colorbegin",     "colorend"};
    static const QSet<QString> texts = {"id", "filename", "font", "hit", "kind"};
    if (rects.contains(attribute))
        return ValueKind::Rect;
    if (colours.contains(attribute))
        return ValueKind::Colour;
    if (texts.contains(attribute))
        return ValueKind::Text;
    if (attribute == "align")
        return ValueKind::Anchor;
    return ValueKind::Integer;
}

bool stretchingAllowed(const QString& tag) {
    return tag == "slider" || tag == "list" || tag == "visual" || tag == "panel" || tag == "tab";
}

void checkValues(const SkinNode& n, SkinReport& report) {
    const QStringList allowed = allowedAttributes(n.tag, n.id);
    for (auto it = n.attributes.cbegin(); it != n.attributes.cend(); ++it) {
        const QString& name = it.key();
        const QString& value = it.value();
        if (!allowed.contains(name)) {
            report.fail(&n, QStringLiteral("attribute \"%1\" is not read on <%2 id=\"%3\">")
                                .arg(name, n.tag, n.id));
            continue;
        }
        long long number = 0;
        QRect rect;
        switch (kindOf(name)) {
        case ValueKind::Integer:
            if (!parseSkinInteger(value, &number))
                report.fail(&n, QStringLiteral("%1=\"%2\" is not an integer").arg(name, value));
            else if (number < -32768 || number > 32767)
                report.fail(&n, QStringLiteral("%1=%2 does not fit 16 bits").arg(name, value));
            break;
        case ValueKind::Colour:
            if (!parseSkinInteger(value, &number) || number < 0 || number > 0xFFFFFF)
                report.fail(&n,
                            QStringLiteral("%1=\"%2\" is not a 0xBBGGRR colour").arg(name, value));
            break;
        case ValueKind::Rect:
            if (!parseSkinRect(value, &rect))
                report.fail(&n, QStringLiteral("%1=\"%2\" is not x,y,w,h").arg(name, value));
            break;
        case ValueKind::Anchor: {
            static const QStringList fixed = {"RT",   "LB",   "RB",   "LRCT",
                                              "LRCB", "TBCL", "TBCR", "C"};
            static const QStringList stretching = {"LRT", "LRB", "LTB", "RTB", "LRTB"};
            const QString code = value.toUpper();
            if (stretching.contains(code) && !stretchingAllowed(n.tag))
                report.fail(
                    &n, QStringLiteral("align=\"%1\" stretches, <%2> does not").arg(value, n.tag));
            else if (!fixed.contains(code) && !stretching.contains(code))
                report.fail(&n, QStringLiteral("align=\"%1\" is not an anchor code").arg(value));
            break;
        }
        case ValueKind::Text:
            break;
        }
    }
    // Values the controls keep in a byte or clamp.
    for (const QString& byteValue : QStringList{"fade", "bordersize", "style", "hz", "mod"})
        if (n.has(byteValue) && (n.number(byteValue) < 0 || n.number(byteValue) > 255))
            report.fail(&n, byteValue + " does not fit a byte");
    if (n.has("fade") && n.number("fade") > 100)
        report.fail(&n, "fade above 100 would be clamped");
    if (n.tag == "slider") {
        if (n.number("style") < 0 || n.number("style") > 3)
            report.fail(&n, "style must be 0 to 3");
        if (n.text("kind").toUpper() != "H" && n.text("kind").toUpper() != "V")
            report.fail(&n, "kind must be H or V");
    }
    if (n.tag == "visual" && n.id == "ost" && n.number("ttfw") > 128)
        report.fail(&n, "ttfw above 128 is cut to 128");
}

} // namespace

int SkinNode::number(const QString& name) const {
    long long v = 0;
    return parseSkinInteger(attributes.value(name), &v) ? int(v) : 0;
}

QRect SkinNode::rect(const QString& name) const {
    QRect r;
    return parseSkinRect(attributes.value(name), &r) ? r : QRect(0, 0, 0, 0);
}

const SkinNode* ParsedSkin::window(const QString& id) const {
    for (const SkinNode& w : windows)
        if (w.id == id)
            return &w;
    return nullptr;
}

const SkinNode* ParsedSkin::child(const QString& window, const QString& tag,
                                  const QString& id) const {
    for (const SkinNode& c : children)
        if (c.window == window && c.tag == tag && c.id == id)
            return &c;
    return nullptr;
}

QImage ParsedSkin::image(const SkinNode& node) const {
    return QImage(QDir(folder).filePath(node.text("filename")))
        .convertToFormat(QImage::Format_ARGB32);
}

void SkinReport::fail(const SkinNode* node, const QString& message) {
    errors << (node ? QStringLiteral("line %1 <%2 id=\"%3\">: %4")
                          .arg(node->line)
                          .arg(node->tag, node->id, message)
                    : message);
}

bool parseSkinInteger(const QString& text, long long* value) {
    int i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int base = 10;
    if (text.mid(i, 2).compare("0x", Qt::CaseInsensitive) == 0) {
        base = 16;
        i += 2;
    } else if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        i += 1;
    }
    const QString digits = text.mid(i);
    if (digits.isEmpty())
        return false;
    bool ok = false;
    const long long v = digits.toLongLong(&ok, base);
    // toLongLong accepts its own prefixes and signs; the format does not after this point.
    if (!ok || digits.startsWith('+') || digits.startsWith('-') || digits.contains(' '))
        return false;
    *value = negative ? -v : v;
    return true;
}

bool parseSkinRect(const QString& text, QRect* rect) {
    const QStringList parts = text.split(',');
    if (parts.size() != 4)
        return false;
    long long v[4];
    for (int i = 0; i < 4; ++i)
        if (!parseSkinInteger(parts[i], &v[i]))
            return false;
    *rect = QRect(int(v[0]), int(v[1]), int(v[2]), int(v[3]));
    return true;
}

ParsedSkin readSkin(const QString& folder, SkinReport& report) {
    ParsedSkin skin;
    skin.folder = folder;
    QFile file(QDir(folder).filePath("skin.xml"));
    if (!file.open(QIODevice::ReadOnly)) {
        report.fail(nullptr, "cannot open " + file.fileName());
        return skin;
    }
    const QByteArray bytes = file.readAll();
    if (!bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"))
        report.fail(nullptr, "skin.xml must start with the UTF-8 XML declaration");
    QStringDecoder utf8(QStringDecoder::Utf8);
    (void)QString(utf8(bytes));
    if (utf8.hasError())
        report.fail(nullptr, "skin.xml is not valid UTF-8");

    std::unique_ptr<xmlTextReader, ReaderDeleter> reader(xmlReaderForMemory(
        bytes.constData(), int(bytes.size()), nullptr, "UTF-8", XML_PARSE_NONET));
    if (!reader) {
        report.fail(nullptr, "libxml2 cannot read skin.xml");
        return skin;
    }
    bool rootSeen = false;
    QString currentWindow;
    int result = 0;
    while ((result = xmlTextReaderRead(reader.get())) == 1) {
        if (xmlTextReaderNodeType(reader.get()) != XML_READER_TYPE_ELEMENT)
            continue;
        SkinNode node;
        node.tag = fromXml(xmlTextReaderConstName(reader.get())).toLower();
        node.line = xmlTextReaderGetParserLineNumber(reader.get());
        const bool empty = xmlTextReaderIsEmptyElement(reader.get()) == 1;
        const int depth = xmlTextReaderDepth(reader.get());
        while (xmlTextReaderMoveToNextAttribute(reader.get()) == 1)
            node.attributes.insert(fromXml(xmlTextReaderConstName(reader.get())),
                                   fromXml(xmlTextReaderConstValue(reader.get())));
        xmlTextReaderMoveToElement(reader.get());
        node.id = node.text("id").toLower();

        if (depth == 0) {
            if (node.tag != "tunola.skin")
                report.fail(&node, "the root element must be tunola.skin");
            if (node.text("ver") != "2.0")
                report.fail(&node, "ver must be exactly 2.0");
            rootSeen = true;
            continue;
        }
        if (depth == 1) {
            if (node.tag != "window" || empty) {
                report.fail(&node, "only <window> elements with an end tag belong to the root");
                continue;
            }
            if (!kWindowIds.contains(node.id) || skin.window(node.id)) {
                report.fail(&node, "unknown or repeated window id");
                continue;
            }
            currentWindow = node.id;
            node.window = node.id;
            checkValues(node, report);
            skin.windows.push_back(node);
            continue;
        }
        node.window = currentWindow;
        if (depth != 2 || !empty) {
            report.fail(&node, "a control element must be an empty-element tag in a window");
            continue;
        }
        const IdRule* rule = nullptr;
        for (const IdRule& r : idRules())
            if (r.tag == node.tag && r.ids.contains(node.id) &&
                (r.window == currentWindow || r.anyWindow))
                rule = &r;
        if (!rule) {
            report.fail(&node, "the player does not know this element here");
            continue;
        }
        if (rule->window != currentWindow)
            report.fail(&node, "keep it in window \"" + rule->window + "\" where its control is");
        if (skin.child(currentWindow, node.tag, node.id))
            report.fail(&node, "repeated element");
        checkValues(node, report);
        skin.children.push_back(node);
    }
    if (result < 0)
        report.fail(nullptr, "skin.xml is not well-formed");
    if (!rootSeen)
        report.fail(nullptr, "no tunola.skin root element");

    // Every control of every window must be skinned: the player keeps a control's design-time
    // look when the skin does not mention it, and a half-skinned window looks broken.
    for (const IdRule& r : idRules()) {
        if (!skin.window(r.window))
            report.fail(nullptr, "window \"" + r.window + "\" is missing");
        for (const QString& id : r.ids)
            if (!skin.child(r.window, r.tag, id))
                report.fail(
                    nullptr,
                    QStringLiteral("window \"%1\" lacks <%2 id=\"%3\">").arg(r.window, r.tag, id));
    }
    return skin;
}
