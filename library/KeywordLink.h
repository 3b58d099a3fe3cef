#pragma once
// Keyword links of the search sidebar: an address with "#tun#" followed by the keyword as
// percent-encoded GBK bytes starts a search for that keyword. Pure; any thread.

#include <optional>
#include <string>
#include <string_view>

namespace tunola {

// The keyword (UTF-8) of a sidebar address, or nothing when the address carries no "#tun#"
// (found in any letter case). The address is lower-cased in its ASCII letters first, so the
// keyword is too; what follows the marker is percent-decoded as share links are and read as
// GB18030, the service's wire text (a GBK keyword may well be valid UTF-8 too, so there is no
// guessing).
std::optional<std::string> SearchKeywordOf(std::string_view address);

} // namespace tunola
