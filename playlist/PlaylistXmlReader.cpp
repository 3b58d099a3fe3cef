#include "PlaylistXmlReader.h"

#include "FloatText.h"
#include "MoPlist.h"

#include <climits>
#include <cstring>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <utility>

namespace tunola {

namespace {

// No network, no DTD loading (so no external entities), no entity substitution. Blank text
// between elements is dropped so that a saved file is indented the same way every time.
constexpr int kParseOptions =
    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOBLANKS;

struct CtxtFree {
    void operator()(xmlParserCtxt* ctxt) const { xmlFreeParserCtxt(ctxt); }
};
using CtxtPtr = std::unique_ptr<xmlParserCtxt, CtxtFree>;

bool NameIs(const xmlChar* name, std::string_view wanted) {
    if (!name)
        return false;
    const char* n = reinterpret_cast<const char*>(name);
    return std::strlen(n) == wanted.size() && std::memcmp(n, wanted.data(), wanted.size()) == 0;
}

// An element named with a prefix that was never declared keeps the whole "prefix:name" as its
// name in the tree, so for SAX it is named `wanted` only when unprefixed or properly bound.
bool SaxNameIs(const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri,
               std::string_view wanted) {
    return (!prefix || uri) && NameIs(localname, wanted);
}

CtxtPtr MakeContext(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX))
        return nullptr;
    CtxtPtr ctxt(xmlCreateMemoryParserCtxt(bytes.data(), static_cast<int>(bytes.size())));
    if (ctxt)
        xmlCtxtUseOptions(ctxt.get(), kParseOptions);
    return ctxt;
}

// Stores one attribute of an entry; the first of each name counts.
struct RecordBuilder {
    TPList record;
    bool title = false, artist = false, path = false, url = false, ltime = false;

    void Take(const xmlChar* name, std::string value) {
        const auto first = [](bool& seen) { return !std::exchange(seen, true); };
        if (NameIs(name, "Title") && first(title)) {
            record.Title = std::move(value);
        } else if (NameIs(name, "Artist") && first(artist)) {
            record.Artist = std::move(value);
        } else if (NameIs(name, "Path") && first(path)) {
            record.Path = std::move(value);
        } else if (NameIs(name, "Url") && first(url)) {
            record.Url = std::move(value);
        } else if (NameIs(name, "Ltime") && first(ltime)) {
            // A length that does not read is unknown, not a reason to drop the entry or the
            // list.
            double days = 0.0;
            if (TryStrToFloat(value, days))
                record.Ltime = days;
        }
    }
};

void AppendUtf8(std::string& out, unsigned long cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// An attribute value as the parser hands it to SAX without entity substitution: character
// references and the five predefined entities may still stand in it, other entity references
// too. The tree builder turns it into text and entity-reference nodes; we take the text and leave
// the references out, exactly as reading the tree does.
std::string DecodeSaxValue(const xmlChar* begin, const xmlChar* end) {
    const std::string_view raw(reinterpret_cast<const char*>(begin),
                               static_cast<size_t>(end - begin));
    if (raw.find('&') == std::string_view::npos)
        return std::string(raw);
    std::string out;
    out.reserve(raw.size());
    size_t i = 0;
    while (i < raw.size()) {
        const size_t amp = raw.find('&', i);
        const size_t semi = amp == std::string_view::npos ? amp : raw.find(';', amp);
        if (semi == std::string_view::npos) {
            out.append(raw, i, std::string_view::npos);
            break;
        }
        out.append(raw, i, amp - i);
        const std::string_view ref = raw.substr(amp + 1, semi - amp - 1);
        if (!ref.empty() && ref[0] == '#') {
            const bool hex = ref.size() > 1 && ref[1] == 'x';
            const std::string digits(ref.substr(hex ? 2 : 1));
            const unsigned long cp = std::strtoul(digits.c_str(), nullptr, hex ? 16 : 10);
            if (cp > 0 && cp <= 0x10FFFF)
                AppendUtf8(out, cp);
        } else if (ref == "lt") {
            out.push_back('<');
        } else if (ref == "gt") {
            out.push_back('>');
        } else if (ref == "amp") {
            out.push_back('&');
        } else if (ref == "apos") {
            out.push_back('\'');
        } else if (ref == "quot") {
            out.push_back('"');
        }
        i = semi + 1;
    }
    return out;
}

// ---- Streaming: entries only, no tree ----

struct Collector {
    xmlParserCtxt* main = nullptr; // events from other contexts check entity text: not ours
    std::string_view listName;
    int depth = 0;
    bool rootSeen = false;
    bool listSeen = false;
    bool inList = false;
    std::vector<TPList> records;
};

void CollectStart(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri,
                  int, const xmlChar**, int nbAttributes, int, const xmlChar** attributes) {
    auto* ctxt = static_cast<xmlParserCtxt*>(ctx);
    auto* c = static_cast<Collector*>(ctxt->_private);
    if (ctxt != c->main)
        return;
    ++c->depth;
    c->rootSeen = true;
    if (c->depth == 2 && !c->listSeen && !c->listName.empty() &&
        SaxNameIs(localname, prefix, uri, c->listName)) {
        c->listSeen = c->inList = true;
    } else if (c->depth == 3 && c->inList) {
        RecordBuilder builder;
        for (int i = 0; i < nbAttributes; ++i) {
            // localname, prefix, URI, value, end. Only unprefixed attributes: a prefixed one is
            // either in a namespace or, unbound, named "prefix:name" in the tree.
            const xmlChar** a = attributes + 5 * i;
            if (a[1] == nullptr)
                builder.Take(a[0], DecodeSaxValue(a[3], a[4]));
        }
        c->records.push_back(std::move(builder.record));
    }
}

void CollectEnd(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) {
    auto* ctxt = static_cast<xmlParserCtxt*>(ctx);
    auto* c = static_cast<Collector*>(ctxt->_private);
    if (ctxt != c->main)
        return;
    if (c->depth == 2)
        c->inList = false;
    --c->depth;
}

// ---- Tree without one list's content ----

struct DropFilter {
    xmlParserCtxt* main = nullptr;
    std::string_view listName;
    xmlSAXHandler defaults{};
    xmlNode* root = nullptr;
    xmlNode* list = nullptr;
    int skipDepth = 0; // open elements inside the list

    bool Skipping(xmlParserCtxt* ctxt) const {
        return ctxt == main && (skipDepth > 0 || (list && ctxt->node == list));
    }
};

DropFilter* FilterOf(void* ctx) {
    return static_cast<DropFilter*>(static_cast<xmlParserCtxt*>(ctx)->_private);
}

void DropStart(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri,
               int nbNamespaces, const xmlChar** namespaces, int nbAttributes, int nbDefaulted,
               const xmlChar** attributes) {
    auto* ctxt = static_cast<xmlParserCtxt*>(ctx);
    DropFilter* f = FilterOf(ctx);
    if (f->Skipping(ctxt)) {
        ++f->skipDepth;
        return;
    }
    xmlNode* parent = ctxt->node;
    f->defaults.startElementNs(ctx, localname, prefix, uri, nbNamespaces, namespaces, nbAttributes,
                               nbDefaulted, attributes);
    if (ctxt != f->main || ctxt->node == parent)
        return;
    if (!f->root && !parent)
        f->root = ctxt->node;
    else if (!f->list && f->root && parent == f->root &&
             SaxNameIs(localname, prefix, uri, f->listName))
        f->list = ctxt->node;
}

void DropEnd(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri) {
    auto* ctxt = static_cast<xmlParserCtxt*>(ctx);
    DropFilter* f = FilterOf(ctx);
    if (ctxt == f->main && f->skipDepth > 0) {
        --f->skipDepth;
        return;
    }
    f->defaults.endElementNs(ctx, localname, prefix, uri);
}

void DropCharacters(void* ctx, const xmlChar* ch, int len) {
    DropFilter* f = FilterOf(ctx);
    if (!f->Skipping(static_cast<xmlParserCtxt*>(ctx)) && f->defaults.characters)
        f->defaults.characters(ctx, ch, len);
}

void DropBlanks(void* ctx, const xmlChar* ch, int len) {
    DropFilter* f = FilterOf(ctx);
    if (!f->Skipping(static_cast<xmlParserCtxt*>(ctx)) && f->defaults.ignorableWhitespace)
        f->defaults.ignorableWhitespace(ctx, ch, len);
}

void DropCdata(void* ctx, const xmlChar* value, int len) {
    DropFilter* f = FilterOf(ctx);
    if (!f->Skipping(static_cast<xmlParserCtxt*>(ctx)) && f->defaults.cdataBlock)
        f->defaults.cdataBlock(ctx, value, len);
}

void DropComment(void* ctx, const xmlChar* value) {
    DropFilter* f = FilterOf(ctx);
    if (!f->Skipping(static_cast<xmlParserCtxt*>(ctx)) && f->defaults.comment)
        f->defaults.comment(ctx, value);
}

void DropPi(void* ctx, const xmlChar* target, const xmlChar* data) {
    DropFilter* f = FilterOf(ctx);
    if (!f->Skipping(static_cast<xmlParserCtxt*>(ctx)) && f->defaults.processingInstruction)
        f->defaults.processingInstruction(ctx, target, data);
}

void DropReference(void* ctx, const xmlChar* name) {
    DropFilter* f = FilterOf(ctx);
    if (!f->Skipping(static_cast<xmlParserCtxt*>(ctx)) && f->defaults.reference)
        f->defaults.reference(ctx, name);
}

} // namespace

void TXmlDocFree::operator()(_xmlDoc* doc) const {
    xmlFreeDoc(doc);
}

std::optional<std::vector<TPList>> ReadListRecords(std::string_view bytes,
                                                   std::string_view listName) {
    CtxtPtr ctxt = MakeContext(bytes);
    if (!ctxt)
        return std::nullopt;
    Collector collector;
    collector.main = ctxt.get();
    collector.listName = listName;
    ctxt->_private = &collector;
    // The document and DTD callbacks stay, so that declared entities are known (and checked);
    // element content builds nothing.
    xmlSAXHandler* sax = ctxt->sax;
    sax->startElementNs = CollectStart;
    sax->endElementNs = CollectEnd;
    sax->characters = nullptr;
    sax->ignorableWhitespace = nullptr;
    sax->cdataBlock = nullptr;
    sax->comment = nullptr;
    sax->processingInstruction = nullptr;
    sax->reference = nullptr;
    xmlParseDocument(ctxt.get());
    const TXmlDocPtr leftover(ctxt->myDoc);
    ctxt->myDoc = nullptr;
    if (!ctxt->wellFormed || !collector.rootSeen)
        return std::nullopt;
    return std::move(collector.records);
}

TXmlDocPtr ParsePlaylistTree(std::string_view bytes, std::string_view dropListName) {
    CtxtPtr ctxt = MakeContext(bytes);
    if (!ctxt)
        return nullptr;
    DropFilter filter;
    if (!dropListName.empty()) {
        filter.main = ctxt.get();
        filter.listName = dropListName;
        filter.defaults = *ctxt->sax; // after the options, which pick the blanks handler
        ctxt->_private = &filter;
        xmlSAXHandler* sax = ctxt->sax;
        sax->startElementNs = DropStart;
        sax->endElementNs = DropEnd;
        sax->characters = DropCharacters;
        sax->ignorableWhitespace = DropBlanks;
        sax->cdataBlock = DropCdata;
        sax->comment = DropComment;
        sax->processingInstruction = DropPi;
        sax->reference = DropReference;
    }
    xmlParseDocument(ctxt.get());
    TXmlDocPtr doc(ctxt->myDoc);
    ctxt->myDoc = nullptr;
    if (!ctxt->wellFormed || !doc || !xmlDocGetRootElement(doc.get()))
        return nullptr;
    return doc;
}

TPList ReadRecord(const xmlNode* element) {
    RecordBuilder builder;
    for (const xmlAttr* attr = element->properties; attr; attr = attr->next) {
        if (attr->ns)
            continue;
        // Text only: entity references are left out, not expanded.
        std::string text;
        for (const xmlNode* part = attr->children; part; part = part->next)
            if (part->type == XML_TEXT_NODE && part->content)
                text += reinterpret_cast<const char*>(part->content);
        builder.Take(attr->name, std::move(text));
    }
    return std::move(builder.record);
}

xmlNode* FindListElement(xmlDoc* doc, std::string_view name) {
    xmlNode* root = doc ? xmlDocGetRootElement(doc) : nullptr;
    for (xmlNode* child = root ? root->children : nullptr; child; child = child->next)
        if (child->type == XML_ELEMENT_NODE && NameIs(child->name, name))
            return child;
    return nullptr;
}

} // namespace tunola
