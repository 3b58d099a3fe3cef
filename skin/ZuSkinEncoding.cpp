#include "ZuSkinEncoding.h"

#include "ZuSkinValues.h"

#include <TextCodec.h>

namespace tunola {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool HasByteOrderMark(std::string_view bytes) {
    return bytes.starts_with(kUtf8Bom) || bytes.starts_with("\xFF\xFE") ||
           bytes.starts_with("\xFE\xFF");
}

bool IsChineseCodePage(std::string_view name) {
    constexpr std::string_view kNames[] = {
        "gbk",      "gb2312", "gb18030",  "cp936", "ms936",   "windows-936", "euc-cn",
        "x-euc-cn", "x-gbk",  "csgb2312", "csgbk", "chinese", "gb_2312-80"};
    for (std::string_view known : kNames)
        if (SkinNameEquals(name, known))
            return true;
    return false;
}

} // namespace

std::string DeclaredXmlEncoding(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom))
        bytes.remove_prefix(kUtf8Bom.size());
    if (!bytes.starts_with("<?xml") || bytes.size() < 6 || !IsXmlSpace(bytes[5]))
        return {};
    const size_t end = bytes.find("?>");
    if (end == std::string_view::npos)
        return {};
    const std::string_view declaration = bytes.substr(5, end - 5);
    // Pseudo-attributes: name = 'value' or "value".
    size_t i = 0;
    while (i < declaration.size()) {
        while (i < declaration.size() && IsXmlSpace(declaration[i]))
            ++i;
        const size_t nameStart = i;
        while (i < declaration.size() && !IsXmlSpace(declaration[i]) && declaration[i] != '=')
            ++i;
        const std::string_view name = declaration.substr(nameStart, i - nameStart);
        while (i < declaration.size() && IsXmlSpace(declaration[i]))
            ++i;
        if (i >= declaration.size() || declaration[i] != '=')
            return {};
        ++i;
        while (i < declaration.size() && IsXmlSpace(declaration[i]))
            ++i;
        if (i >= declaration.size() || (declaration[i] != '"' && declaration[i] != '\''))
            return {};
        const char quote = declaration[i++];
        const size_t close = declaration.find(quote, i);
        if (close == std::string_view::npos)
            return {};
        if (name == "encoding")
            return std::string(declaration.substr(i, close - i));
        i = close + 1;
    }
    return {};
}

TZuSkinSource PrepareSkinSource(std::string_view bytes) {
    if (HasByteOrderMark(bytes))
        return {DecodeTextFile(bytes), true};
    const std::string declared = DeclaredXmlEncoding(bytes);
    if (declared.empty())
        return {DecodeTextFile(bytes), true};
    if (IsChineseCodePage(declared))
        return {Gb18030ToUtf8(bytes), true};
    return {std::string(bytes), false};
}

} // namespace tunola
