// Skin files from anywhere. Whatever the bytes:
//  - reading never crashes, hangs or leaks;
//  - a file without a usable root gives no elements;
//  - every picture path stays inside the skin folder;
//  - integers read as a plain reference reading of the same text does.

#include "ZuSkinReader.h"
#include "ZuSkinValues.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

using namespace tunola;

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

// The integer form spelled out with std::from_chars.
std::optional<int32_t> ReferenceInteger(std::string_view text) {
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    } else if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X')) {
        base = 16;
        text.remove_prefix(1);
    }
    if (text.empty() || text[0] == '+' || text[0] == '-')
        return std::nullopt;
    uint64_t magnitude = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    if (magnitude > (base == 16 ? 0xFFFFFFFFull : negative ? 0x80000000ull : 0x7FFFFFFFull))
        return std::nullopt;
    const uint32_t bits = uint32_t(magnitude);
    return int32_t(negative ? 0u - bits : bits);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    constexpr std::string_view kSkins = "/skins/";
    constexpr std::string_view kFolder = "/skins/Fuzz/";

    const TZuSkinDocument document = ReadSkin(bytes, kFolder);
    if (document.Status != TZuSkinDocument::TStatus::Read)
        Require(document.Elements.empty());
    for (const TZuSkinElement& element : document.Elements)
        std::visit(
            [&](const auto& e) {
                if constexpr (requires { e.Image; }) {
                    if (e.Image) {
                        const std::string_view path = *e.Image;
                        // Anywhere under the folder of all skins (a sibling skin's
                        // picture too), never outside it.
                        Require(path.starts_with(kSkins) && path.size() > kSkins.size());
                        Require(path.find("/../") == std::string_view::npos &&
                                !path.ends_with("/.."));
                    }
                }
            },
            element);

    const std::string_view head = bytes.substr(0, 24);
    Require(ParseSkinInteger(head) == ReferenceInteger(head));
    return 0;
}
