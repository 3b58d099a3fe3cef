#pragma once
// Keys under which titles and artists are matched. The service stores them beside the text so
// that both database engines match with plain equality. Pure; any thread.

#include <string>
#include <string_view>

namespace tunola::service {

// Exact key: blanks at both ends removed, inner runs of white space made one blank, ASCII
// letters lowered.
std::string ExactKey(std::string_view utf8);

// Loose key: the exact key without bracketed additions ("(live)", "（伴奏）", "[remix]"),
// full-width ASCII made half-width, and without white space and punctuation.
std::string LooseKey(std::string_view utf8);

// Text for substring search: the exact key (case folded for ASCII).
inline std::string SearchKey(std::string_view utf8) {
    return ExactKey(utf8);
}

// Number of Unicode characters of UTF-8 text (invalid bytes count one each).
size_t CharCount(std::string_view utf8);

// Escapes & < > " ' for HTML text and attribute values.
std::string HtmlEscape(std::string_view text);

} // namespace tunola::service
