#pragma once
// The service's list answers: one result a line (ending "\n" or "\r\n"), its fields split by
// tabs. Header-only, so that each service library keeps building from its own sources alone.

#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace tunola {

// Splits `line` at its tabs into exactly `n` (at least 1) fields; false for fewer, and for more
// unless `restInLast`, where the last field keeps the rest of the line, tabs and all.
inline bool SplitTabFields(std::string_view line, std::string_view* fields, size_t n,
                           bool restInLast = false) {
    for (size_t i = 0; i + 1 < n; ++i) {
        const size_t tab = line.find('\t');
        if (tab == std::string_view::npos)
            return false;
        fields[i] = line.substr(0, tab);
        line.remove_prefix(tab + 1);
    }
    if (!restInLast && line.find('\t') != std::string_view::npos)
        return false;
    fields[n - 1] = line;
    return true;
}

// Each line of `body`, without its line end, through `parseLine` (a line → an optional
// Result): the results it gives, in order; reading stops once there are `maxResults`.
template <class Result, class ParseLine>
std::vector<Result> ReadTabLines(std::string_view body, size_t maxResults, ParseLine parseLine) {
    std::vector<Result> out;
    while (!body.empty() && out.size() < maxResults) {
        const size_t end = body.find('\n');
        std::string_view line = body.substr(0, end);
        body = end == std::string_view::npos ? std::string_view() : body.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (std::optional<Result> result = parseLine(line))
            out.push_back(std::move(*result));
    }
    return out;
}

} // namespace tunola
