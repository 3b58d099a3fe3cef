#pragma once
// Text bound for an XML attribute. XML 1.0 cannot carry every string: control characters other
// than tab, line feed and carriage return, U+FFFE/U+FFFF and bytes that are not UTF-8 (a file
// name from a non-UTF-8 disk, a broken tag) would make the whole file unreadable the next time.
// Pure function; any thread.

#include <string>
#include <string_view>

namespace tunola {

// The text with every invalid UTF-8 sequence and every character XML 1.0 does not allow
// replaced by U+FFFD; valid text comes back unchanged.
std::string XmlSafeText(std::string_view text);

} // namespace tunola

namespace tunola {

// Appends `value` escaped as libxml2 writes attribute values into a UTF-8 document: &, <, >
// and the double quote as entities, tab, line feed and carriage return as character
// references, everything else as is.
void AppendXmlAttributeValue(std::string& out, std::string_view value);

} // namespace tunola
