#include "KeywordLink.h"

#include <ShareLinks.h>
#include <TextCodec.h>

namespace tunola {

std::optional<std::string> SearchKeywordOf(std::string_view address) {
    std::string lower(address);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    const size_t at = lower.find(kSearchKeywordMarker);
    if (at == std::string::npos)
        return std::nullopt;
    const std::string bytes =
        SharePercentDecode(std::string_view(lower).substr(at + kSearchKeywordMarker.size()));
    return Gb18030ToUtf8(bytes);
}

} // namespace tunola
