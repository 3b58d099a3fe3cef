#include "SkinDocument.h"

SkinElement& SkinElement::set(const QString& name, const QString& value) {
    attributes.push_back({name, value});
    return *this;
}

SkinElement& SkinElement::set(const QString& name, int value) {
    return set(name, QString::number(value));
}

SkinElement& SkinElement::setRect(const QString& name, const QRect& r) {
    return set(name,
               QStringLiteral("%1,%2,%3,%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()));
}

SkinElement& SkinElement::setColor(const QString& name, const QColor& c) {
    return set(name, skinColorValue(c));
}

SkinElement& SkinElement::setBounds(const QRect& r) {
    return set("x", r.x()).set("y", r.y()).set("w", r.width()).set("h", r.height());
}

QString skinColorValue(const QColor& c) {
    const unsigned value = unsigned(c.blue()) << 16 | unsigned(c.green()) << 8 | unsigned(c.red());
    return "0x" + QString::number(value, 16).rightJustified(6, QLatin1Char('0')).toUpper();
}

namespace {

QString escaped(const QString& text) {
    QString out = text.toHtmlEscaped(); // &, <, >, "
    return out;
}

QString elementText(const SkinElement& e, const QString& indent, bool empty) {
    QString line = indent + '<' + e.tag;
    for (const SkinAttribute& a : e.attributes)
        line += QStringLiteral(" %1=\"%2\"").arg(a.name, escaped(a.value));
    line += empty ? QStringLiteral("/>\n") : QStringLiteral(">\n");
    return line;
}

} // namespace

QByteArray SkinDocument::toXml() const {
    QString out = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    if (!headerComment.isEmpty())
        out += QStringLiteral("<!--\n%1\n-->\n").arg(headerComment);
    out += QStringLiteral("<tunola.skin ver=\"2.0\">\n");
    for (const SkinWindowElement& w : windows) {
        out += '\n';
        if (!w.comment.isEmpty())
            out += QStringLiteral("  <!-- %1 -->\n").arg(w.comment);
        out += elementText(w.window, QStringLiteral("  "), false);
        for (const SkinElement& child : w.children) {
            if (!child.comment.isEmpty())
                out += QStringLiteral("    <!-- %1 -->\n").arg(child.comment);
            out += elementText(child, QStringLiteral("    "), true);
        }
        out += QStringLiteral("  </window>\n");
    }
    out += QStringLiteral("</tunola.skin>\n");
    return out.toUtf8();
}
