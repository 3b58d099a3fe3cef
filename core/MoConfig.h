#pragma once
// A small XML settings store. Each value is addressed by an element path ("Window/PLAY") and an
// attribute name. Callers never keep a store open: they make one on a file, read or write a few
// values and drop it; dropping it saves the file once when something was written, so a store that
// was only read never touches the file.
//
// A file that is not well-formed XML gives an empty document (every read gives its default); it
// is kept for the user under "<name>.unreadable" before the first save writes to its path.
// Not thread-safe: one store belongs to one thread.

#include <memory>
#include <string>
#include <string_view>

struct _xmlDoc;
struct _xmlNode;

namespace tunola {

class TMoConfig {
public:
    TMoConfig(std::string fileName, std::string_view rootName);
    ~TMoConfig();
    TMoConfig(const TMoConfig&) = delete;
    TMoConfig& operator=(const TMoConfig&) = delete;

    // Writes the document when something changed and there is a file name. Returns false when
    // the file could not be written (the settings stay modified, so a later save tries again).
    bool Save();

    // Walks the path from the document element, one child element per "/"-separated segment,
    // taking the first child of that name; with createMissing a missing one is appended.
    _xmlNode* FindNode(std::string_view path, bool createMissing);

    // An empty attribute name addresses the element's text.
    void WriteString(std::string_view path, std::string_view attribute, std::string_view value);
    std::string ReadString(std::string_view path, std::string_view attribute,
                           std::string_view defaultValue);
    void WriteInteger(std::string_view path, std::string_view attribute, int value);
    // Text that is not a decimal integer (optional sign, digits, inside the int range) gives the
    // default.
    int ReadInteger(std::string_view path, std::string_view attribute, int defaultValue);

    bool Modified() const { return modified_; }
    // True when the file existed but could not be parsed.
    bool LoadFailed() const { return loadFailed_; }
    const std::string& FileName() const { return fileName_; }

private:
    struct DocDeleter {
        void operator()(_xmlDoc* doc) const;
    };
    void CreateEmpty(std::string_view rootName);

    std::string fileName_;
    bool modified_ = false;
    bool loadFailed_ = false;
    std::unique_ptr<_xmlDoc, DocDeleter> doc_;
};

// Stops libxml2 from printing its own messages on stderr. Call once at start-up.
void SilenceXmlErrors();

// The integer rule of the store, exposed for its tests: optional sign and decimal digits only.
bool ParseDecimalInt(std::string_view text, int& value);

} // namespace tunola
