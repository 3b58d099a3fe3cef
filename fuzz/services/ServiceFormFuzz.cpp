// Everything the service decodes from a client before any handler looks at it: form bodies and
// query strings (percent decoding, GBK to UTF-8), share links as the player reads them back,
// match keys, HTML escaping, database URLs and version numbers. Checks that nothing crashes and
// that the invariants the pages rely on hold.

#include "HttpForm.h"
#include "ServiceDb.h"
#include "ServicePages.h"
#include "ShareLinks.h"
#include "TextKeys.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace tunola;
using namespace tunola::service;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view in(reinterpret_cast<const char*>(data), size);

    const TFormFields fields = ParseForm(in, 64);
    if (fields.size() > 64)
        std::abort();
    for (const auto& [name, value] : fields) {
        if (name.size() > in.size() || value.size() > in.size())
            std::abort(); // decoding never grows a text
        const std::string text = FormText(value);
        (void)ExactKey(text);
        (void)LooseKey(text);
        if (HtmlEscape(text).find_first_of("<>\"'") != std::string::npos)
            std::abort();
    }
    (void)QueryOf(in);
    (void)PercentDecode(in);
    (void)SharePercentDecode(in);
    (void)CharCount(in);
    (void)ParseDbUrl(in);
    (void)UpdateNumber(in);
    (void)ParseShareLink(in, "http://127.0.0.1:7860/share/");

    // A link the service writes reads back as it was written: title and artist made safe,
    // the address exactly, the identifier with its marker.
    const size_t a = in.find('\n');
    const size_t b = a == std::string_view::npos ? a : in.find('\n', a + 1);
    if (b != std::string_view::npos) {
        const std::string title(in.substr(0, a)), artist(in.substr(a + 1, b - a - 1));
        std::string address = "mm";
        for (char c : in.substr(b + 1, 24))
            if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || c == '.')
                address += c;
        const bool play = size % 2 == 0;
        const std::string link = MakeShareLink(address, title, artist, "17", play);
        const auto parsed = ParseShareLink(link, "http://h/share/");
        if (!parsed || parsed->FileName != "http://h/share/" + address ||
            parsed->Title != ShareLinkField(title) || parsed->Artist != ShareLinkField(artist) ||
            parsed->Identifier != (play ? "17@@" : "17@p") || parsed->Play != play)
            std::abort();
    }
    return 0;
}
