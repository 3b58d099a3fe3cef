// Any bytes through the URL decoding the player applies to what the service sends: it never
// reads past the text or grows it, and whatever UrlEncode wrote reads back exactly.

#include "WebClient.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string in(reinterpret_cast<const char*>(data), size);
    const std::string decoded = tunola::UrlDecode(in);
    if (decoded.size() > in.size())
        std::abort();
    // Without a "%", decoding is the text up to its first "&" with "+" as a space.
    if (in.find('%') == std::string::npos) {
        std::string plain = in.substr(0, in.find('&'));
        for (char& c : plain)
            c = c == '+' ? ' ' : c;
        if (decoded != plain)
            std::abort();
    }
    const std::string encoded = tunola::UrlEncode(in);
    if (encoded.find_first_not_of(
            "%0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") != std::string::npos)
        std::abort();
    if (tunola::UrlDecode(encoded) != in)
        std::abort();
    return 0;
}
