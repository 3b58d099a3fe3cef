#include "MoPlist.h"

#include "AtomicFile.h"
#include "FloatText.h"
#include "XmlSafeText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <random>
#include <unordered_map>

namespace tunola {

namespace {

const xmlChar* X(const char* s) {
    return reinterpret_cast<const xmlChar*>(s);
}

struct XmlFree {
    void operator()(xmlChar* p) const { xmlFree(p); }
};
using XmlString = std::unique_ptr<xmlChar, XmlFree>;

// The attributes of an entry, in the order they are written.
constexpr std::array<const char*, 5> kEntryAttributes = {"Path", "Title", "Artist", "Url", "Ltime"};

bool ValidName(const std::string& name) {
    return !name.empty() && xmlValidateNCName(X(name.c_str()), 0) == 0;
}

std::vector<std::string> SplitPath(std::string_view path) {
    std::vector<std::string> segments;
    while (true) {
        const size_t slash = path.find('/');
        segments.emplace_back(path.substr(0, slash));
        if (slash == std::string_view::npos)
            return segments;
        path.remove_prefix(slash + 1);
    }
}

xmlNode* FirstChildElement(xmlNode* parent, const std::string& name) {
    for (xmlNode* child = parent->children; child; child = child->next)
        if (child->type == XML_ELEMENT_NODE && child->name &&
            name == reinterpret_cast<const char*>(child->name))
            return child;
    return nullptr;
}

TXmlDocPtr NewEmptyDocument(const std::string& rootName) {
    TXmlDocPtr doc(xmlNewDoc(X("1.0")));
    xmlDocSetRootElement(doc.get(),
                         xmlNewDocNode(doc.get(), nullptr, X(rootName.c_str()), nullptr));
    return doc;
}

std::string Dump(xmlDoc* doc) {
    xmlChar* mem = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(doc, &mem, &size, "UTF-8", 1);
    const XmlString owned(mem);
    if (!mem || size < 0)
        return {};
    return std::string(reinterpret_cast<const char*>(mem), static_cast<size_t>(size));
}

// libxml2 puts the children of an element one per line, indented, unless that element or one of
// its ancestors holds text among its children; then it writes them side by side.
bool ChildrenIndented(const xmlNode* parent) {
    for (const xmlNode* n = parent; n && n->type == XML_ELEMENT_NODE; n = n->parent)
        for (const xmlNode* c = n->children; c; c = c->next)
            if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE ||
                c->type == XML_ENTITY_REF_NODE)
                return false;
    return true;
}

std::string RandomToken() {
    std::random_device device;
    const uint64_t value = (uint64_t(device()) << 32) ^ device();
    std::array<char, 17> hex{};
    const auto res = std::to_chars(hex.data(), hex.data() + 16, value, 16);
    return std::string(hex.data(), res.ptr);
}

} // namespace

// Entries added one after another under the same element, kept as text until the document is
// written. A comment node stands where they go, so that whatever is added to the tree later
// lands after them, as it would after real elements.
struct TMoPlist::TEntryRun {
    uint64_t id = 0;
    xmlNode* placeholder = nullptr;
    std::string name;   // the entries' element name
    std::string values; // per entry the five attribute values, each ended by '\0'
    size_t count = 0;

    template <class Each> void ForEachEntry(Each&& each) const {
        std::array<std::string_view, kEntryAttributes.size()> entry;
        size_t pos = 0;
        for (size_t e = 0; e < count; ++e) {
            for (auto& value : entry) {
                const size_t end = values.find('\0', pos);
                value = std::string_view(values).substr(pos, end - pos);
                pos = end + 1;
            }
            each(entry);
        }
    }

    void AppendEntryText(std::string& out,
                         const std::array<std::string_view, kEntryAttributes.size()>& entry) const {
        out += '<';
        out += name;
        for (size_t k = 0; k < entry.size(); ++k) {
            out += ' ';
            out += kEntryAttributes[k];
            out += "=\"";
            AppendXmlAttributeValue(out, entry[k]);
            out += '"';
        }
        out += "/>";
    }
};

TMoPlist::TMoPlist(std::string fileName, std::string_view rootName, bool eager)
    : fileName_(std::move(fileName)), rootName_(rootName), eager_(eager) {}

TMoPlist::TMoPlist(std::string fileName, std::string_view rootName)
    : TMoPlist(std::move(fileName), rootName, false) {
    const auto path = PathFromUtf8(fileName_);
    std::error_code ec;
    // Only a regular file is a list: a folder or a pipe of that name is neither read (a pipe
    // would block) nor moved aside; writing over it then fails.
    fileFound_ = !fileName_.empty() && std::filesystem::is_regular_file(path, ec);
    if (!fileFound_)
        return;
    std::string bytes;
    if (ReadWholeFile(path, bytes))
        TakeSource(std::move(bytes));
    else
        failed_ = true; // there, but not readable: as good as not parseable
}

std::unique_ptr<TMoPlist> TMoPlist::FromBytes(std::string_view bytes, std::string_view rootName,
                                              bool eager) {
    std::unique_ptr<TMoPlist> list(new TMoPlist(std::string(), rootName, eager));
    list->fileFound_ = true;
    list->TakeSource(std::string(bytes));
    return list;
}

TMoPlist::~TMoPlist() {
    Save();
}

void TMoPlist::TakeSource(std::string bytes) {
    source_ = std::move(bytes);
    state_ = TState::Unread;
    if (eager_)
        BuildTree({});
}

void TMoPlist::BuildTree(std::string_view dropListName) {
    const bool parseable = fileFound_ && !(state_ == TState::Checked && failed_);
    TXmlDocPtr doc = parseable ? ParsePlaylistTree(source_, dropListName) : nullptr;
    failed_ = !doc && fileFound_;
    doc_ = doc ? std::move(doc) : NewEmptyDocument(rootName_);
    state_ = TState::Tree;
    std::string().swap(source_);
}

void TMoPlist::EnsureTree() {
    if (state_ != TState::Tree)
        BuildTree({});
}

bool TMoPlist::LoadFailed() {
    if (state_ == TState::Unread) {
        failed_ = !ReadListRecords(source_, {}).has_value();
        state_ = TState::Checked;
    }
    return failed_;
}

void TMoPlist::LoadList(std::string_view listName) {
    if (state_ == TState::Tree) {
        xmlNode* list = FindListElement(doc_.get(), listName);
        if (!list)
            return;
        MaterializeRunsUnder(list);
        for (const xmlNode* child = list->children; child; child = child->next)
            if (child->type == XML_ELEMENT_NODE)
                records_.push_back(ReadRecord(child));
        return;
    }
    if (!fileFound_ || (state_ == TState::Checked && failed_))
        return;
    auto read = ReadListRecords(source_, listName);
    state_ = TState::Checked;
    failed_ = !read.has_value();
    if (read)
        records_.insert(records_.end(), std::make_move_iterator(read->begin()),
                        std::make_move_iterator(read->end()));
}

const TPList* TMoPlist::Items(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return &records_[static_cast<size_t>(index)];
}

void TMoPlist::ClearList(std::string_view listName) {
    if (state_ != TState::Tree) {
        // Parsing without the list's content is the same as removing it afterwards, without
        // building the nodes first.
        BuildTree(listName);
    } else if (xmlNode* list = FindListElement(doc_.get(), listName)) {
        std::erase_if(runs_, [&](const auto& run) { return run->placeholder->parent == list; });
        xmlNode* children = list->children;
        for (xmlNode* child = children; child; child = child->next)
            child->parent = nullptr;
        list->children = nullptr;
        list->last = nullptr;
        xmlFreeNodeList(children);
    }
    modified_ = true;
}

xmlNode* TMoPlist::WalkToParent(std::string_view elementPath, std::string& last) {
    EnsureTree();
    std::vector<std::string> segments = SplitPath(elementPath);
    if (!std::all_of(segments.begin(), segments.end(), ValidName))
        return nullptr;
    xmlNode* current = xmlDocGetRootElement(doc_.get());
    for (size_t i = 0; i + 1 < segments.size(); ++i) {
        MaterializeRunsUnder(current); // a pending entry may be the element looked for
        xmlNode* next = FirstChildElement(current, segments[i]);
        current = next ? next : xmlNewChild(current, nullptr, X(segments[i].c_str()), nullptr);
    }
    last = std::move(segments.back());
    return current;
}

xmlNode* TMoPlist::LocateNode(std::string_view elementPath) {
    std::string last;
    xmlNode* parent = WalkToParent(elementPath, last);
    return parent ? xmlNewChild(parent, nullptr, X(last.c_str()), nullptr) : nullptr;
}

xmlNode* TMoPlist::NewEntryElement(const std::string& name,
                                   const std::vector<std::string>& values) {
    xmlNode* element = xmlNewDocNode(doc_.get(), nullptr, X(name.c_str()), nullptr);
    for (size_t k = 0; k < kEntryAttributes.size(); ++k)
        xmlNewProp(element, X(kEntryAttributes[k]), X(values[k].c_str()));
    return element;
}

void TMoPlist::AddEntry(std::string_view elementPath, std::string_view title,
                        std::string_view artist, std::string_view url, std::string_view path,
                        double ltime) {
    std::string name;
    xmlNode* parent = WalkToParent(elementPath, name);
    if (!parent)
        return;
    modified_ = true;
    std::vector<std::string> values = {XmlSafeText(path), XmlSafeText(title), XmlSafeText(artist),
                                       XmlSafeText(url), FloatToStr(ltime)};
    if (eager_) {
        xmlAddChild(parent, NewEntryElement(name, values));
        return;
    }
    TEntryRun* run = nullptr;
    for (auto it = runs_.rbegin(); it != runs_.rend() && !run; ++it)
        if ((*it)->placeholder == parent->last && (*it)->name == name)
            run = it->get();
    if (!run) {
        if (runToken_.empty())
            runToken_ = RandomToken();
        auto fresh = std::make_unique<TEntryRun>();
        fresh->id = nextRunId_++;
        fresh->name = name;
        const std::string marker = "tunola-entries-" + runToken_ + "-" + std::to_string(fresh->id);
        fresh->placeholder = xmlAddChild(parent, xmlNewDocComment(doc_.get(), X(marker.c_str())));
        run = fresh.get();
        runs_.push_back(std::move(fresh));
    }
    for (const std::string& value : values) {
        run->values += value;
        run->values += '\0';
    }
    ++run->count;
}

void TMoPlist::MaterializeRunsUnder(const xmlNode* parent) {
    std::erase_if(runs_, [&](const std::unique_ptr<TEntryRun>& run) {
        if (run->placeholder->parent != parent)
            return false;
        run->ForEachEntry([&](const auto& entry) {
            std::vector<std::string> values(entry.begin(), entry.end());
            xmlAddPrevSibling(run->placeholder, NewEntryElement(run->name, values));
        });
        xmlUnlinkNode(run->placeholder);
        xmlFreeNode(run->placeholder);
        return true;
    });
}

void TMoPlist::MaterializeAllRuns() {
    while (!runs_.empty())
        MaterializeRunsUnder(runs_.front()->placeholder->parent);
}

std::optional<std::string> TMoPlist::SpliceRuns(const std::string& dumped) const {
    std::unordered_map<uint64_t, const TEntryRun*> byId;
    size_t textSize = dumped.size();
    for (const auto& run : runs_) {
        byId.emplace(run->id, run.get());
        textSize += run->values.size() + run->count * 64;
    }
    const std::string prefix = "<!--tunola-entries-" + runToken_ + "-";
    std::string out;
    out.reserve(textSize);
    size_t pos = 0;
    size_t p;
    while ((p = dumped.find(prefix, pos)) != std::string::npos) {
        const size_t idBegin = p + prefix.size();
        const size_t idEnd = dumped.find("-->", idBegin);
        uint64_t id = 0;
        if (idEnd == std::string::npos ||
            std::from_chars(dumped.data() + idBegin, dumped.data() + idEnd, id).ptr !=
                dumped.data() + idEnd)
            return std::nullopt;
        const auto found = byId.find(id);
        if (found == byId.end())
            return std::nullopt; // unknown or seen twice
        const TEntryRun& run = *found->second;
        byId.erase(found);
        const size_t markEnd = idEnd + 3;
        if (ChildrenIndented(run.placeholder->parent)) {
            // The placeholder has a line of its own; each entry gets one like it.
            const size_t newline = p == 0 ? std::string::npos : dumped.rfind('\n', p - 1);
            const size_t lineStart = newline == std::string::npos ? 0 : newline + 1;
            if (lineStart < pos || markEnd >= dumped.size() || dumped[markEnd] != '\n')
                return std::nullopt;
            const std::string_view indent(dumped.data() + lineStart, p - lineStart);
            out.append(dumped, pos, lineStart - pos);
            run.ForEachEntry([&](const auto& entry) {
                out += indent;
                run.AppendEntryText(out, entry);
                out += '\n';
            });
            pos = markEnd + 1;
        } else {
            out.append(dumped, pos, p - pos);
            run.ForEachEntry([&](const auto& entry) { run.AppendEntryText(out, entry); });
            pos = markEnd;
        }
    }
    if (!byId.empty())
        return std::nullopt;
    out.append(dumped, pos, std::string::npos);
    return out;
}

std::string TMoPlist::ToBytes() {
    EnsureTree();
    const std::string dumped = Dump(doc_.get());
    if (runs_.empty() || dumped.empty())
        return dumped;
    if (std::optional<std::string> spliced = SpliceRuns(dumped))
        return std::move(*spliced);
    // The file itself held text that looks like a placeholder: do it the slow, plain way.
    MaterializeAllRuns();
    return Dump(doc_.get());
}

bool TMoPlist::Save(std::string* error) {
    if (!modified_ || fileName_.empty())
        return true;
    const auto path = PathFromUtf8(fileName_);
    if (fileFound_ && LoadFailed()) {
        // The user's unreadable list is kept, never overwritten.
        std::error_code ec;
        if (std::filesystem::exists(path, ec) && MoveAsideUnreadable(path).empty()) {
            if (error)
                *error = "cannot move the unreadable " + fileName_ + " aside";
            return false;
        }
        fileFound_ = false;
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
