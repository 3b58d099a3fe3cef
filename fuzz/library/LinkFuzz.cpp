// Share links and sidebar keyword links as a page could write them: the share-link parser and
// the keyword decoder take any bytes without crashing, and what they return keeps its promises
// (a trimmed address and identifier, a marker that matches the link's end).

#include <KeywordLink.h>
#include <ShareLinks.h>

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)tunola::SearchKeywordOf(text);
    if (const auto link = tunola::ParseShareLink(text, "http://127.0.0.1:7860/share/")) {
        auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
        if (!link->FileName.empty() &&
            (blank(link->FileName.front()) || blank(link->FileName.back())))
            std::abort();
        if (text.size() < 3 || (link->Play != (text.substr(text.size() - 3, 2) == "@@")))
            std::abort();
    }
    return 0;
}
