#pragma once
// The playlist file: an XML document of three levels, root › "PlayerList" › one element per
// entry, each entry's data in five attributes written in the order Path, Title, Artist, Url,
// Ltime. The program names the root "DefaultList"; any root name is read and kept, and so is
// everything else in the root beside the list.
//
// A TMoPlist lives for one load or one save: made on a file, used, dropped. Dropping it writes
// the file once when something was cleared or added, so a load never touches the file.
//
// Outside files are untrusted: parsing never reaches the network, never loads external
// entities, never processes XInclude, and entity references in attribute values are not
// expanded (they read as nothing). A file that does not parse leaves an empty document; it is
// moved aside ("<name>.unreadable") before anything is written to its path, never overwritten.
// Not thread-safe: one object belongs to one thread (the UI thread in the player).

#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct _xmlDoc;
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
    // Reads `fileName` when it exists; otherwise starts an empty document whose root is an
    // element named `rootName`.
    TMoPlist(std::string fileName, std::string_view rootName);
    // A document parsed from bytes with no file behind it (Save never writes). Bytes that do not
    // parse give an empty document with a `rootName` root, and LoadFailed() is true.
    static std::unique_ptr<TMoPlist> FromBytes(std::string_view bytes, std::string_view rootName);
    // Saves (see Save), then frees the document and the records.
    ~TMoPlist();
    TMoPlist(const TMoPlist&) = delete;
    TMoPlist& operator=(const TMoPlist&) = delete;

    // The file (or the bytes) existed but could not be read as XML.
    bool LoadFailed() const { return loadFailed_; }
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

    // Removes every child node of the root's first child named `listName`. Marks the document
    // modified even when there is no such element, so that an empty list is still written.
    void ClearList(std::string_view listName);
    // Adds an entry element at `elementPath` (e.g. "PlayerList/LIST", see LocateNode) with the
    // attributes Path, Title, Artist, Url, Ltime in this order. Ltime is written in the general
    // float notation with "." whatever the locale (FloatToStr).
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
    std::string ToBytes() const;

    bool Modified() const { return modified_; }
    const std::string& FileName() const { return fileName_; }

private:
    struct DocDeleter {
        void operator()(_xmlDoc* doc) const;
    };
    using DocPtr = std::unique_ptr<_xmlDoc, DocDeleter>;

    TMoPlist() = default;
    void Parse(std::string_view bytes, std::string_view rootName);
    _xmlNode* FindList(std::string_view listName) const;

    std::vector<TPList> records_;
    std::string fileName_;
    bool modified_ = false;
    bool loadFailed_ = false;
    bool fileFound_ = false;
    DocPtr doc_;
};

} // namespace tunola
