#include "UpdateCheck.h"

#include <charconv>

namespace tunola {

namespace {
constexpr size_t kVersionAt = 9; // the 10th character
} // namespace

bool HasServiceMarker(std::string_view answer) {
    return answer.find(kServiceMarker) != std::string_view::npos;
}

std::optional<TUpdateOffer> ParseUpdateAnswer(std::string_view answer) {
    if (!HasServiceMarker(answer) || answer.size() <= kVersionAt)
        return std::nullopt;
    const size_t comma = answer.find(',', kVersionAt);
    if (comma == std::string_view::npos)
        return std::nullopt;
    const std::string_view digits = answer.substr(kVersionAt, comma - kVersionAt);
    if (digits.empty())
        return std::nullopt;
    for (const char c : digits)
        if (c < '0' || c > '9')
            return std::nullopt;
    TUpdateOffer offer;
    const auto [end, ec] =
        std::from_chars(digits.data(), digits.data() + digits.size(), offer.Version);
    if (ec != std::errc() || end != digits.data() + digits.size())
        return std::nullopt; // more than 64 bits
    offer.Parameter = std::string(answer.substr(comma + 1));
    return offer;
}

uint64_t LocalUpdateNumber(const TFileVersion& version) {
    // Two 16-bit parts give at most ten digits: always within 64 bits.
    return std::stoull(std::to_string(version.Major) + std::to_string(version.Minor));
}

std::optional<std::string> UpdateParameter(std::string_view answer, uint64_t local) {
    const std::optional<TUpdateOffer> offer = ParseUpdateAnswer(answer);
    if (!offer || !(local < offer->Version))
        return std::nullopt;
    return offer->Parameter;
}

} // namespace tunola
