#pragma once
// The playlist file: an XML document of three levels, root › "PlayerList" › one element per
// entry, each entry's data in five attributes written in the order Path, Title, Artist, Url,
// Ltime. The program names the root "DefaultList"; any root name is read and kept, and so is
// everything else in the root beside the list.
//
// A TMoPlist lives for one load or one save: made on a file, used, dropped. Dropping it writes
// the file once when something was cleared or added, so a load never touches the file.
//
// It behaves as if the whole file were parsed into a tree when it is made, but works lazily so
// that long lists stay fast and small: loading a list streams the file without building a tree,
// clearing a list before anything else parses the file without that list's content, and the
// entries added after that are kept as text and written straight into the output. The eager
// form (FromBytes with eager set) does everything the plain way; it is the reference the lazy
// form is tested against.
//
// Outside files are untrusted: see PlaylistXmlReader.h for how they are parsed. A file that does
// not parse leaves an empty document; it is moved aside ("<name>.unreadable") before anything is
// written to its path, never overwritten.
// Not thread-safe: one object belongs to one thread (the UI thread in the player).

#include "PlaylistXmlReader.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct _xmlNode;

namespace tunola {

// One entry as read from a playlist file.
struct TPList {
    std::string Title;  // "Title"
    std::string Artist; // "Artist"
    std::string Path;   // "Path"
    std::string Url;    // "Url": the stream flag as text, "1" or "0" in the files we write
    double Ltime = 0.0; // "Ltime": the length in days; 0 when missing or not a number
};

class TMoPlist {
public:
    // Takes `fileName` when it is a regular file; otherwise an empty document whose root is an
    // element named `rootName`.
    TMoPlist(std::string fileName, std::string_view rootName);
    // A document from bytes with no file behind it (Save never writes). Bytes that do not parse
    // give an empty document with a `rootName` root, and LoadFailed() is true.
    static std::unique_ptr<TMoPlist> FromBytes(std::string_view bytes, std::string_view rootName,
                                               bool eager = false);
    // Saves (see Save), then frees the document and the records.
    ~TMoPlist();
    TMoPlist(const TMoPlist&) = delete;
    TMoPlist& operator=(const TMoPlist&) = delete;

    // The file (or the bytes) existed but could not be read as XML.
    bool LoadFailed();
    // The file existed when the object was made.
    bool FileFound() const { return fileFound_; }

    // Appends one record per child element of the root's first child named `listName`, in
    // document order and whatever the elements' names. Does not clear the records first.
    // An absent list element reads nothing.
    void LoadList(std::string_view listName);
    int Count() const { return static_cast<int>(records_.size()); }
    // Null when `index` is outside 0 … Count − 1.
    const TPList* Items(int index) const;
    void ClearRecords() { records_.clear(); }
    // Hands the records over, leaving none (a load moves them into the list without copies).
    std::vector<TPList> TakeRecords() { return std::exchange(records_, {}); }

    // Removes every child node of the root's first child named `listName`. Marks the document
    // modified even when there is no such element, so that an empty list is still written.
    void ClearList(std::string_view listName);
    // Adds an entry element at `elementPath` (e.g. "PlayerList/LIST", see LocateNode) with the
    // attributes Path, Title, Artist, Url, Ltime in this order. Ltime is written in the general
    // float notation with "." whatever the locale (FloatToStr); text XML cannot carry is
    // replaced (XmlSafeText).
    void AddEntry(std::string_view elementPath, std::string_view title, std::string_view artist,
                  std::string_view url, std::string_view path, double ltime);
    // Walks "a/b/c" from the root: each segment but the last names the first child element of
    // that name, appended when missing; the last segment always appends a new element. Null when
    // a segment is not a valid element name.
    _xmlNode* LocateNode(std::string_view elementPath);

    // Writes the document when it was modified and there is a file name, atomically. An
    // unreadable file at that path is moved aside first; when that fails nothing is written.
    // Returns false when the file could not be written (the document stays modified).
    bool Save(std::string* error = nullptr);
    // The document as Save writes it.
    std::string ToBytes();

    bool Modified() const { return modified_; }
    const std::string& FileName() const { return fileName_; }

private:
    struct TEntryRun;
    enum class TState {
        Unread,  // source_ holds the file, nothing parsed yet
        Checked, // whether it parses is known; no tree
        Tree,    // doc_ holds the document
    };

    TMoPlist(std::string fileName, std::string_view rootName, bool eager);
    void TakeSource(std::string bytes);
    void BuildTree(std::string_view dropListName);
    void EnsureTree();
    // Finds, or appends, the parent of the path's last segment; `last` receives that segment.
    // Null when a segment is not a valid element name.
    _xmlNode* WalkToParent(std::string_view elementPath, std::string& last);
    _xmlNode* NewEntryElement(const std::string& name, const std::vector<std::string>& values);
    void MaterializeRunsUnder(const _xmlNode* parent);
    void MaterializeAllRuns();
    // The dumped tree with each run's placeholder replaced by its entries' text; nothing when a
    // placeholder is not found exactly once.
    std::optional<std::string> SpliceRuns(const std::string& dumped) const;

    std::vector<TPList> records_;
    std::string fileName_;
    std::string rootName_;
    bool modified_ = false;
    bool fileFound_ = false;
    bool failed_ = false;
    bool eager_ = false;
    TState state_ = TState::Checked;
    std::string source_;
    TXmlDocPtr doc_;
    std::vector<std::unique_ptr<TEntryRun>> runs_;
    std::string runToken_;
    uint64_t nextRunId_ = 1;
};

} // namespace tunola
