#include "MoConfig.h"

#include "AtomicFile.h"

#include <charconv>
#include <filesystem>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlsave.h>

namespace tunola {

namespace {

const xmlChar* X(const char* s) {
    return reinterpret_cast<const xmlChar*>(s);
}

std::string FromXml(const xmlChar* s) {
    return s ? std::string(reinterpret_cast<const char*>(s)) : std::string();
}

struct XmlFree {
    void operator()(xmlChar* p) const { xmlFree(p); }
};
using XmlString = std::unique_ptr<xmlChar, XmlFree>;

// Outside files never reach the network, never expand entities, never pull in other files.
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                              XML_PARSE_NOBLANKS | XML_PARSE_NOCDATA;

// The text of an element or attribute, from its text nodes only: an entity reference in an
// outside file is never expanded (a few nested entities can otherwise grow into gigabytes).
std::string ChildText(const xmlNode* first) {
    std::string text;
    for (const xmlNode* c = first; c; c = c->next)
        if ((c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) && c->content)
            text += reinterpret_cast<const char*>(c->content);
    return text;
}

void IgnoreXmlError(void*, const char*, ...) {}

} // namespace

void SilenceXmlErrors() {
    // libxml2 reports some problems (bad encodings) on stderr even with NOERROR; the program
    // handles every failure where it happens and writes no log.
    xmlSetGenericErrorFunc(nullptr, IgnoreXmlError);
}

void TMoConfig::DocDeleter::operator()(_xmlDoc* doc) const {
    xmlFreeDoc(doc);
}

bool ParseDecimalInt(std::string_view text, int& value) {
    if (text.empty())
        return false;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (*first == '+')
        ++first;
    if (first == last)
        return false;
    int parsed = 0;
    const auto [ptr, ec] = std::from_chars(first, last, parsed, 10);
    if (ec != std::errc() || ptr != last)
        return false;
    value = parsed;
    return true;
}

TMoConfig::TMoConfig(std::string fileName, std::string_view rootName)
    : fileName_(std::move(fileName)) {
    std::string bytes;
    const auto path = PathFromUtf8(fileName_);
    std::error_code ec;
    if (!fileName_.empty() && std::filesystem::exists(path, ec)) {
        if (ReadWholeFile(path, bytes)) {
            xmlDoc* doc = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                        nullptr, kParseOptions);
            if (doc && xmlDocGetRootElement(doc)) {
                doc_.reset(doc);
                return;
            }
            if (doc)
                xmlFreeDoc(doc);
        }
        loadFailed_ = true;
    }
    CreateEmpty(rootName);
}

TMoConfig::~TMoConfig() {
    Save();
}

void TMoConfig::CreateEmpty(std::string_view rootName) {
    doc_.reset(xmlNewDoc(X("1.0")));
    const std::string root(rootName);
    xmlNode* node = xmlNewDocNode(doc_.get(), nullptr, X(root.c_str()), nullptr);
    xmlDocSetRootElement(doc_.get(), node);
}

bool TMoConfig::Save() {
    if (!modified_ || fileName_.empty())
        return true;
    const auto path = PathFromUtf8(fileName_);
    if (loadFailed_) {
        // The user's unreadable file is kept, never overwritten.
        std::error_code ec;
        if (std::filesystem::exists(path, ec) && MoveAsideUnreadable(path).empty())
            return false;
        loadFailed_ = false;
    }
    xmlChar* mem = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(doc_.get(), &mem, &size, "UTF-8", 1);
    XmlString owned(mem);
    if (!mem)
        return false;
    if (!WriteFileAtomically(path, std::string_view(reinterpret_cast<char*>(mem), size)))
        return false;
    modified_ = false;
    return true;
}

xmlNode* TMoConfig::FindNode(std::string_view path, bool createMissing) {
    xmlNode* current = xmlDocGetRootElement(doc_.get());
    while (current) {
        const size_t slash = path.find('/');
        const std::string segment(path.substr(0, slash));
        xmlNode* found = nullptr;
        for (xmlNode* child = current->children; child; child = child->next) {
            if (child->type == XML_ELEMENT_NODE && FromXml(child->name) == segment) {
                found = child;
                break;
            }
        }
        if (!found) {
            if (!createMissing || xmlValidateNCName(X(segment.c_str()), 0) != 0)
                return nullptr;
            found = xmlNewChild(current, nullptr, X(segment.c_str()), nullptr);
        }
        current = found;
        if (slash == std::string_view::npos)
            break;
        path.remove_prefix(slash + 1);
    }
    return current;
}

void TMoConfig::WriteString(std::string_view path, std::string_view attribute,
                            std::string_view value) {
    xmlNode* node = FindNode(path, true);
    if (!node)
        return;
    const std::string v(value);
    if (attribute.empty()) {
        XmlString escaped(xmlEncodeSpecialChars(doc_.get(), X(v.c_str())));
        xmlNodeSetContent(node, escaped.get());
    } else {
        const std::string a(attribute);
        if (xmlValidateNCName(X(a.c_str()), 0) != 0)
            return;
        xmlSetProp(node, X(a.c_str()), X(v.c_str()));
    }
    modified_ = true;
}

std::string TMoConfig::ReadString(std::string_view path, std::string_view attribute,
                                  std::string_view defaultValue) {
    xmlNode* node = FindNode(path, false);
    if (!node)
        return std::string(defaultValue);
    if (attribute.empty())
        return ChildText(node->children);
    const std::string a(attribute);
    const xmlAttr* attr = xmlHasProp(node, X(a.c_str()));
    std::string result = attr ? ChildText(attr->children) : std::string();
    return result.empty() ? std::string(defaultValue) : result;
}

void TMoConfig::WriteInteger(std::string_view path, std::string_view attribute, int value) {
    WriteString(path, attribute, std::to_string(value));
}

int TMoConfig::ReadInteger(std::string_view path, std::string_view attribute, int defaultValue) {
    const std::string text = ReadString(path, attribute, std::to_string(defaultValue));
    int value = defaultValue;
    return ParseDecimalInt(text, value) ? value : defaultValue;
}

} // namespace tunola
