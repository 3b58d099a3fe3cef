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
