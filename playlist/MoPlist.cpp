#include "MoPlist.h"

#include "AtomicFile.h"
#include "FloatText.h"
#include "XmlSafeText.h"

#include <climits>
#include <cstring>
#include <filesystem>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <utility>

namespace tunola {

namespace {

const xmlChar* X(const char* s) {
    return reinterpret_cast<const xmlChar*>(s);
}

struct XmlFree {
    void operator()(xmlChar* p) const { xmlFree(p); }
};
using XmlString = std::unique_ptr<xmlChar, XmlFree>;

// No network, no DTD loading (so no external entities), no entity substitution. Blank text
// between elements is dropped so that a saved file is indented the same way every time.
constexpr int kParseOptions =
    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOBLANKS;

bool NameIs(const xmlChar* name, std::string_view wanted) {
    if (!name)
        return false;
    const char* n = reinterpret_cast<const char*>(name);
    return std::strlen(n) == wanted.size() && std::memcmp(n, wanted.data(), wanted.size()) == 0;
}

xmlNode* FirstChildElement(xmlNode* parent, std::string_view name) {
    for (xmlNode* child = parent ? parent->children : nullptr; child; child = child->next)
        if (child->type == XML_ELEMENT_NODE && NameIs(child->name, name))
            return child;
    return nullptr;
}

// The text of an attribute. Entity references are left out, not expanded: a playlist never
// needs them, and expanding them is how a small file becomes a huge one.
std::string AttributeText(const xmlAttr* attr) {
    std::string text;
    for (const xmlNode* part = attr->children; part; part = part->next)
        if (part->type == XML_TEXT_NODE && part->content)
            text += reinterpret_cast<const char*>(part->content);
    return text;
}

TPList ReadRecord(const xmlNode* element) {
    TPList record;
    bool seenTitle = false, seenArtist = false, seenPath = false, seenUrl = false,
         seenLtime = false;
    const auto take = [](bool& seen) { return !std::exchange(seen, true); };
    for (const xmlAttr* attr = element->properties; attr; attr = attr->next) {
        if (attr->ns)
            continue;
        if (NameIs(attr->name, "Title") && take(seenTitle)) {
            record.Title = AttributeText(attr);
        } else if (NameIs(attr->name, "Artist") && take(seenArtist)) {
            record.Artist = AttributeText(attr);
        } else if (NameIs(attr->name, "Path") && take(seenPath)) {
            record.Path = AttributeText(attr);
        } else if (NameIs(attr->name, "Url") && take(seenUrl)) {
            record.Url = AttributeText(attr);
        } else if (NameIs(attr->name, "Ltime") && take(seenLtime)) {
            // A length that does not read is unknown, not a reason to drop the entry or the
            // list.
            double ltime = 0.0;
            if (TryStrToFloat(AttributeText(attr), ltime))
                record.Ltime = ltime;
        }
    }
    return record;
}

void AddAttribute(xmlNode* element, const char* name, std::string_view value) {
    const std::string safe = XmlSafeText(value);
    xmlNewProp(element, X(name), X(safe.c_str()));
}

} // namespace

void TMoPlist::DocDeleter::operator()(_xmlDoc* doc) const {
    xmlFreeDoc(doc);
}

TMoPlist::TMoPlist(std::string fileName, std::string_view rootName)
    : fileName_(std::move(fileName)) {
    const auto path = PathFromUtf8(fileName_);
    std::error_code ec;
    fileFound_ = !fileName_.empty() && std::filesystem::exists(path, ec);
    if (!fileFound_) {
        Parse({}, rootName);
        loadFailed_ = false;
        return;
    }
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        Parse({}, rootName);
        return; // loadFailed_ stays true: the file is there, we just could not read it
    }
    Parse(bytes, rootName);
}

std::unique_ptr<TMoPlist> TMoPlist::FromBytes(std::string_view bytes, std::string_view rootName) {
    std::unique_ptr<TMoPlist> list(new TMoPlist());
    list->fileFound_ = true;
    list->Parse(bytes, rootName);
    return list;
}

TMoPlist::~TMoPlist() {
    Save();
}

void TMoPlist::Parse(std::string_view bytes, std::string_view rootName) {
    loadFailed_ = true;
    if (!bytes.empty() && bytes.size() <= static_cast<size_t>(INT_MAX)) {
        DocPtr doc(xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                                 kParseOptions));
        if (doc && xmlDocGetRootElement(doc.get())) {
            doc_ = std::move(doc);
            loadFailed_ = false;
            return;
        }
    }
    doc_.reset(xmlNewDoc(X("1.0")));
    const std::string root(rootName);
    xmlDocSetRootElement(doc_.get(), xmlNewDocNode(doc_.get(), nullptr, X(root.c_str()), nullptr));
}

xmlNode* TMoPlist::FindList(std::string_view listName) const {
    return FirstChildElement(xmlDocGetRootElement(doc_.get()), listName);
}

void TMoPlist::LoadList(std::string_view listName) {
    const xmlNode* list = FindList(listName);
    if (!list)
        return;
    for (const xmlNode* child = list->children; child; child = child->next)
        if (child->type == XML_ELEMENT_NODE)
            records_.push_back(ReadRecord(child));
}

const TPList* TMoPlist::Items(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return &records_[static_cast<size_t>(index)];
}

void TMoPlist::ClearList(std::string_view listName) {
    if (xmlNode* list = FindList(listName)) {
        xmlNode* children = list->children;
        for (xmlNode* child = children; child; child = child->next)
            child->parent = nullptr;
        list->children = nullptr;
        list->last = nullptr;
        xmlFreeNodeList(children);
    }
    modified_ = true;
}

xmlNode* TMoPlist::LocateNode(std::string_view elementPath) {
    xmlNode* current = xmlDocGetRootElement(doc_.get());
    while (current) {
        const size_t slash = elementPath.find('/');
        const std::string segment(elementPath.substr(0, slash));
        if (xmlValidateNCName(X(segment.c_str()), 0) != 0)
            return nullptr;
        const bool last = slash == std::string_view::npos;
        xmlNode* next = last ? nullptr : FirstChildElement(current, segment);
        if (!next)
            next = xmlNewChild(current, nullptr, X(segment.c_str()), nullptr);
        current = next;
        if (last)
            break;
        elementPath.remove_prefix(slash + 1);
    }
    return current;
}

void TMoPlist::AddEntry(std::string_view elementPath, std::string_view title,
                        std::string_view artist, std::string_view url, std::string_view path,
                        double ltime) {
    xmlNode* element = LocateNode(elementPath);
    if (!element)
        return;
    AddAttribute(element, "Path", path);
    AddAttribute(element, "Title", title);
    AddAttribute(element, "Artist", artist);
    AddAttribute(element, "Url", url);
    AddAttribute(element, "Ltime", FloatToStr(ltime));
    modified_ = true;
}

std::string TMoPlist::ToBytes() const {
    xmlChar* mem = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(doc_.get(), &mem, &size, "UTF-8", 1);
    const XmlString owned(mem);
    if (!mem || size < 0)
        return {};
    return std::string(reinterpret_cast<const char*>(mem), static_cast<size_t>(size));
}

bool TMoPlist::Save(std::string* error) {
    if (!modified_ || fileName_.empty())
        return true;
    const auto path = PathFromUtf8(fileName_);
    if (loadFailed_ && fileFound_) {
        // The user's unreadable list is kept, never overwritten.
        std::error_code ec;
        if (std::filesystem::exists(path, ec) && MoveAsideUnreadable(path).empty()) {
            if (error)
                *error = "cannot move the unreadable " + fileName_ + " aside";
            return false;
        }
        loadFailed_ = false;
    }
    const std::string bytes = ToBytes();
    if (bytes.empty()) {
        if (error)
            *error = "cannot serialise the playlist";
        return false;
    }
    if (!WriteFileAtomically(path, bytes, error))
        return false;
    modified_ = false;
    return true;
}

} // namespace tunola
