#include "FloatText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace tunola {

namespace {

constexpr int kSignificantDigits = 15;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

} // namespace

std::string FloatToStr(double value) {
    if (!std::isfinite(value) || value == 0.0)
        return "0";

    // d.dddddddddddddde±XX: the value rounded to 15 significant digits, exactly.
    std::array<char, 40> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(value),
                                   std::chars_format::scientific, kSignificantDigits - 1);
    const std::string_view sci(buf.data(), static_cast<size_t>(res.ptr - buf.data()));
    const size_t e = sci.find('e');
    std::string digits;
    digits.reserve(kSignificantDigits);
    for (char c : sci.substr(0, e))
        if (c != '.')
            digits.push_back(c);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int exponent = std::atoi(std::string(sci.substr(e + 1)).c_str());

    std::string out;
    if (value < 0)
        out.push_back('-');
    const int intDigits = exponent + 1; // digits before the decimal point
    if (intDigits >= -3 && intDigits <= kSignificantDigits) {
        if (intDigits <= 0) {
            out += "0.";
            out.append(static_cast<size_t>(-intDigits), '0');
            out += digits;
        } else if (static_cast<size_t>(intDigits) >= digits.size()) {
            out += digits;
            out.append(static_cast<size_t>(intDigits) - digits.size(), '0');
        } else {
            out.append(digits, 0, static_cast<size_t>(intDigits));
            out.push_back('.');
            out.append(digits, static_cast<size_t>(intDigits));
        }
    } else {
        out.push_back(digits[0]);
        if (digits.size() > 1) {
            out.push_back('.');
            out.append(digits, 1);
        }
        out.push_back('E');
        out += std::to_string(exponent);
    }
    return out;
}

bool TryStrToFloat(std::string_view text, double& value) {
    text = Trim(text);
    // Only the characters of a plain decimal number: from_chars would also take "inf", "nan" and
    // hexadecimal forms, which no list ever held.
    std::string normal;
    normal.reserve(text.size());
    bool separatorSeen = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == ',' || c == '.') {
            if (separatorSeen)
                return false;
            separatorSeen = true;
            c = '.';
        } else if (c == '+') {
            // from_chars takes no "+" on the number itself, only in the exponent.
            if (i != 0)
                normal.push_back(c);
            continue;
        } else if (!(c >= '0' && c <= '9') && c != '-' && c != 'e' && c != 'E') {
            return false;
        }
        normal.push_back(c);
    }
    if (normal.empty() || (text.front() == '+' && normal.front() == '-'))
        return false;
    double parsed = 0.0;
    const auto res = std::from_chars(normal.data(), normal.data() + normal.size(), parsed,
                                     std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != normal.data() + normal.size() || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

bool TryStrToBool(std::string_view text, bool& value) {
    double number = 0.0;
    if (TryStrToFloat(text, number)) {
        value = number != 0.0;
        return true;
    }
    const std::string_view word = Trim(text);
    if (EqualsNoCase(word, "true")) {
        value = true;
        return true;
    }
    if (EqualsNoCase(word, "false")) {
        value = false;
        return true;
    }
    return false;
}

} // namespace tunola
