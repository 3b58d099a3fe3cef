#pragma once
// Reading playlist files with libxml2. Two ways in, chosen by what the caller is about to do:
//  - ReadListRecords streams the file and keeps only the entries of one list: loading a list
//    builds no tree at all;
//  - ParsePlaylistTree builds the tree, optionally without the content of one list (a save that
//    replaces that list never builds nodes it would throw away).
// Both parse the same way: no network, no DTD loading (so no external entities), no entity
// substitution, and libxml2's limits on entity amplification. Entity references in attribute
// values read as nothing. Pure functions of the bytes (UI thread in the player: libxml2 sets
// itself up on first use).

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct _xmlDoc;
struct _xmlNode;

namespace tunola {

struct TPList;

struct TXmlDocFree {
    void operator()(_xmlDoc* doc) const;
};
using TXmlDocPtr = std::unique_ptr<_xmlDoc, TXmlDocFree>;

// The entries of the document element's first child named `listName` (every child element is
// an entry, whatever its name), in document order; an absent list gives none. Nothing when the
// bytes are not a well-formed document. An empty `listName` only checks the document.
std::optional<std::vector<TPList>> ReadListRecords(std::string_view bytes,
                                                   std::string_view listName);

// The document tree, or null when the bytes are not a well-formed document. With a non-empty
// `dropListName`, the document element's first child of that name comes back empty, exactly as
// if its children had been removed after parsing.
TXmlDocPtr ParsePlaylistTree(std::string_view bytes, std::string_view dropListName = {});

// One entry read from an entry element of a tree.
TPList ReadRecord(const _xmlNode* element);

// The document element's first child element named `name`, or null.
_xmlNode* FindListElement(_xmlDoc* doc, std::string_view name);

} // namespace tunola
