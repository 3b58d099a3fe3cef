// Any answer to the update check: reading it never crashes, and an offer is only made from an
// answer that holds the marker and a version that is all digits, with the answer's tail as its
// parameter.

#include "UpdateCheck.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view answer(reinterpret_cast<const char*>(data), size);
    const std::optional<tunola::TUpdateOffer> offer = tunola::ParseUpdateAnswer(answer);
    if (!offer) {
        if (tunola::UpdateParameter(answer, 0))
            std::abort();
        return 0;
    }
    if (!tunola::HasServiceMarker(answer) || answer.size() < 10)
        std::abort();
    const size_t comma = answer.find(',', 9);
    if (comma == std::string_view::npos || answer.substr(comma + 1) != offer->Parameter)
        std::abort();
    const std::string_view digits = answer.substr(9, comma - 9);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
        std::abort();
    const std::string shortest = std::to_string(offer->Version);
    const size_t lead = digits.find_first_not_of('0');
    if (lead == std::string_view::npos ? offer->Version != 0 : digits.substr(lead) != shortest)
        std::abort();
    if (tunola::UpdateParameter(answer, UINT64_MAX) ||
        tunola::UpdateParameter(answer, offer->Version))
        std::abort();

    return 0;
}
