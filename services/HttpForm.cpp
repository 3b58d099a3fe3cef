#include "HttpForm.h"

#include "PercentCoding.h"
#include "TextCodec.h"

namespace tunola::service {

std::string PercentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 &&
                   HexDigitValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

TFormFields ParseForm(std::string_view body, size_t maxFields) {
    TFormFields fields;
    while (!body.empty() && fields.size() < maxFields) {
        const size_t amp = body.find('&');
        const std::string_view part = body.substr(0, amp);
        body = amp == std::string_view::npos ? std::string_view() : body.substr(amp + 1);
        if (part.empty())
            continue;
        const size_t eq = part.find('=');
        fields.emplace_back(PercentDecode(part.substr(0, eq)),
                            eq == std::string_view::npos ? std::string()
                                                         : PercentDecode(part.substr(eq + 1)));
    }
    return fields;
}

std::optional<std::string> FormValue(const TFormFields& fields, std::string_view name) {
    for (const auto& [key, value] : fields)
        if (key == name)
            return value;
    return std::nullopt;
}

std::string FormText(std::string_view bytes) {
    return Gb18030ToUtf8(bytes);
}

std::string_view QueryOf(std::string_view target) {
    const size_t q = target.find('?');
    if (q == std::string_view::npos)
        return {};
    std::string_view query = target.substr(q + 1);
    const size_t hash = query.find('#');
    return query.substr(0, hash);
}

} // namespace tunola::service
