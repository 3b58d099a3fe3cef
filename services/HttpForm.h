#pragma once
// Decoding what clients send: percent-encoded form bodies and query strings. The service's
// wire format is GBK bytes, percent-encoded (the player encodes every byte that is not an ASCII
// letter or digit); values are handed back as UTF-8. Pure functions; any thread; every input is
// untrusted (fuzzed).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tunola::service {

// "+" is a blank; "%" followed by two hex digits is that byte; a "%" without two hex digits
// stays as it is.
std::string PercentDecode(std::string_view text);

using TFormFields = std::vector<std::pair<std::string, std::string>>;

// Splits "a=1&b=2" into decoded (name, value) pairs in their order (raw bytes, not converted).
// At most `maxFields` pairs are kept; a field without "=" has an empty value.
TFormFields ParseForm(std::string_view body, size_t maxFields = 64);

// The first value of `name`, if there is one.
std::optional<std::string> FormValue(const TFormFields& fields, std::string_view name);

// A form or query value's GBK bytes as UTF-8 (read as GB18030; invalid bytes become U+FFFD).
std::string FormText(std::string_view bytes);

// The query of a request target ("/path?query" → "query"; empty without "?").
std::string_view QueryOf(std::string_view target);

} // namespace tunola::service
