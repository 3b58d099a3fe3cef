#pragma once
// Skin files come from Windows tools in GBK as often as in UTF-8. Before the XML parser sees
// them: a file that declares a Chinese code page (GBK, GB2312, GB18030, CP936, ...) is decoded
// as GB18030, which contains them all (files labelled GB2312 often hold GBK characters); a
// file that declares no encoding is taken as UTF-8 when it is valid UTF-8 (or has a byte-order
// mark) and as GB18030 otherwise; a file that declares another encoding is handed to the
// parser as it is, to be decoded by the declaration.

#include <string>
#include <string_view>

namespace tunola {

struct TZuSkinSource {
    std::string Bytes;
    // True when Bytes are UTF-8 and the declaration inside them is to be ignored; false when
    // the parser should follow the file's own declaration.
    bool Utf8 = true;
};

TZuSkinSource PrepareSkinSource(std::string_view bytes);

// The encoding named by an XML declaration at the very start of `bytes` ("" when there is no
// declaration or it names none). Exposed for tests.
std::string DeclaredXmlEncoding(std::string_view bytes);

} // namespace tunola
