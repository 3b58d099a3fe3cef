#include "ZuSkinReader.h"

#include <TextCodec.h>

#include <libxml/xmlerror.h>
#include <libxml/xmlreader.h>

#include <climits>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tunola {

namespace {

struct ReaderFree {
    void operator()(xmlTextReader* reader) const { xmlFreeTextReader(reader); }
};
using ReaderPtr = std::unique_ptr<xmlTextReader, ReaderFree>;

// No network, no DTD loading or attribute defaults, no entity substitution, no XInclude
// (none of them is asked for); the file's own encoding hint is ignored, as we decoded it.
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

// Encoding converters report their failures on libxml2's generic error channel (stderr by
// default) whatever the parser options say. The player writes no log, so a skin read keeps
// that channel quiet and gives it back as it found it (the channel is per thread).
class TQuietXmlErrors {
public:
    TQuietXmlErrors() : handler_(xmlGenericError), context_(xmlGenericErrorContext) {
        xmlSetGenericErrorFunc(nullptr, Ignore);
    }
    ~TQuietXmlErrors() { xmlSetGenericErrorFunc(context_, handler_); }
    TQuietXmlErrors(const TQuietXmlErrors&) = delete;
    TQuietXmlErrors& operator=(const TQuietXmlErrors&) = delete;

private:
    static void Ignore(void*, const char*, ...) {}
    xmlGenericErrorFunc handler_;
    void* context_;
};

std::string FromXml(const xmlChar* text) {
    return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

std::string AsciiLower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return text;
}

// The attributes of one element; names are case-sensitive, an absent one reads as "".
class TAttributes {
public:
    void Add(std::string name, std::string value) {
        values_.emplace_back(std::move(name), std::move(value));
    }
    bool Empty() const { return values_.empty(); }
    std::string_view operator[](std::string_view name) const {
        for (const auto& [key, value] : values_)
            if (key == name)
                return value;
        return {};
    }
    TZuPiece Bounds() const {
        return {SkinInt16((*this)["x"]), SkinInt16((*this)["y"]), SkinInt16((*this)["w"]),
                SkinInt16((*this)["h"])};
    }
    int16_t Int16(std::string_view name) const { return SkinInt16((*this)[name]); }
    uint8_t Byte(std::string_view name) const { return SkinByte((*this)[name]); }
    int32_t Integer(std::string_view name) const { return SkinInteger((*this)[name]); }
    TColor Color(std::string_view name) const { return SkinColor((*this)[name]); }
    TZuPiece Rect(std::string_view name) const { return ParseSkinRect((*this)[name]); }
    std::string Text(std::string_view name) const { return std::string((*this)[name]); }
    TZuAnchors Anchors(bool stretching) const {
        return AnchorsFromCode((*this)["align"], stretching);
    }
    TZuSkinFont Font() const { return {Text("font"), Integer("fsize")}; }

private:
    std::vector<std::pair<std::string, std::string>> values_;
};

struct TIdEntry {
    std::string_view Id;
    TZuSkinWindowId Window;
    std::string_view Component;
};

using W = TZuSkinWindowId;

// Buttons, checked buttons and labels belong to the window they are written in.
constexpr TIdEntry kButtons[] = {
    {"previous", W::Main, "vb_previous"},
    {"next", W::Main, "vb_next"},
    {"menu", W::Main, "vb_menu"},
    {"min", W::Main, "vb_min"},
    {"close", W::Main, "vb_close"},
    {"menu", W::Plist, "btn_menu"},
    {"close", W::Plist, "btn_close"},
    {"back", W::Share, "btn_back"},
    {"forward", W::Share, "btn_forward"},
    {"refresh", W::Share, "btn_refresh"},
    {"min", W::Share, "btn_min"},
    {"max", W::Share, "btn_max"},
    {"close", W::Share, "btn_close"},
    {"dlrc", W::Lrc, "btn_lrc"},
    {"close", W::Lrc, "btn_close"},
    {"b5", W::Lrc, "b5"},
    {"f5", W::Lrc, "f5"},
};
constexpr TIdEntry kCheckedButtons[] = {
    {"play", W::Main, "vb_play"},
    {"sound", W::Main, "vb_sound"},
    {"playlist", W::Main, "vb_list"},
    {"share", W::Main, "vb_share"},
};
constexpr TIdEntry kLabels[] = {
    {"timer", W::Main, "vl_time"},
    {"stack", W::Main, "vl_stack"},
};
// These always address the same control, whichever window they are written in.
constexpr TIdEntry kSliders[] = {
    {"pgbmusic", W::Main, "pgb_music"},
    {"pgbvolume", W::Main, "pgb_volume"},
};
constexpr TIdEntry kScrollTexts[] = {{"title", W::Main, "vl_title"}};
constexpr TIdEntry kLists[] = {{"playlist", W::Plist, "lv_list"}};
constexpr TIdEntry kVisuals[] = {
    {"minlrc", W::Lrc, "Pb_lrc"},
    {"ost", W::Main, "pbx_ost"},
    {"desktoplrc", W::DesktopLrc, ""},
};
constexpr TIdEntry kPanels[] = {{"tabvsv", W::Share, "pnl_psvs"}};
constexpr TIdEntry kTabs[] = {{"tabvsv", W::Share, "tab_pnl"}};

template <size_t N>
const TIdEntry* FindId(const TIdEntry (&table)[N], std::string_view id,
                       const TZuSkinWindowId* window) {
    for (const TIdEntry& entry : table)
        if (entry.Id == id && (!window || entry.Window == *window))
            return &entry;
    return nullptr;
}

constexpr std::string_view kWindowIds[] = {"main", "plist", "share", "lrc"};
static_assert(std::size(kWindowIds) == size_t(TZuSkinWindowId::Lrc) + 1);

class TSkinWalk {
public:
    TSkinWalk(std::string_view folder, TZuSkinDocument& document)
        : folder_(folder), document_(document) {}

    // One element (start tag or empty-element tag) after the root's start.
    void Element(const std::string& name, bool emptyTag, const TAttributes& attributes, int line) {
        const std::string id = AsciiLower(std::string(attributes["id"]));
        line_ = line;
        if (name == "window") {
            if (emptyTag)
                return Skip(name, id, TZuSkinSkipReason::EmptyWindowTag);
            if (attributes.Empty())
                return Skip(name, id, TZuSkinSkipReason::NoAttributes);
            return Window(id, attributes);
        }
        if (!IsChild(name))
            return Skip(name, id, TZuSkinSkipReason::UnknownElement);
        if (!emptyTag)
            return Skip(name, id, TZuSkinSkipReason::StartTag);
        if (attributes.Empty())
            return Skip(name, id, TZuSkinSkipReason::NoAttributes);
        if (!current_)
            return Skip(name, id, TZuSkinSkipReason::NoWindow);
        if (!Child(name, id, attributes))
            Skip(name, id, TZuSkinSkipReason::UnknownId);
    }

private:
    static bool IsChild(std::string_view name) {
        constexpr std::string_view kChildren[] = {"button",     "ckbutton", "label",
                                                  "scrolltext", "slider",   "list",
                                                  "visual",     "panel",    "tab"};
        for (std::string_view child : kChildren)
            if (name == child)
                return true;
        return false;
    }

    void Skip(const std::string& name, const std::string& id, TZuSkinSkipReason reason) {
        document_.Skipped.push_back({line_, name, id, reason});
    }

    template <class T> T Base(TZuSkinWindowId window, std::string_view component) const {
        T element;
        element.Target = {window, std::string(component)};
        element.Line = line_;
        return element;
    }

    TZuSkinImage Image(const TAttributes& a) const {
        return ResolveSkinImage(folder_, a["filename"]);
    }

    void Window(const std::string& id, const TAttributes& a) {
        size_t index = 0;
        while (index < std::size(kWindowIds) && kWindowIds[index] != id)
            ++index;
        if (index == std::size(kWindowIds))
            return Skip("window", id, TZuSkinSkipReason::UnknownWindow);
        if (seen_[index])
            return Skip("window", id, TZuSkinSkipReason::RepeatedWindow);
        seen_[index] = true;
        current_ = TZuSkinWindowId(index);

        auto w = Base<TZuSkinWindow>(*current_, "ZuWindow1");
        w.Image = Image(a);
        w.MinW = a.Int16("minw");
        w.MinH = a.Int16("minh");
        w.MaxW = a.Int16("maxw");
        w.MaxH = a.Int16("maxh");
        w.W = a.Int16("w");
        w.H = a.Int16("h");
        w.TL = a.Rect("tl");
        w.TM = a.Rect("tm");
        w.TR = a.Rect("tr");
        w.BL = a.Rect("bl");
        w.BM = a.Rect("bm");
        w.BR = a.Rect("br");
        w.LM = a.Rect("lm");
        w.RM = a.Rect("rm");
        w.TC = a.Rect("tc");
        w.BgColor = a.Color("bgcolor");
        document_.Elements.emplace_back(std::move(w));
    }

    bool Child(const std::string& name, const std::string& id, const TAttributes& a) {
        if (name == "button")
            return Button(FindId(kButtons, id, &*current_), false, a);
        if (name == "ckbutton")
            return Button(FindId(kCheckedButtons, id, &*current_), true, a);
        if (name == "label")
            return Label(FindId(kLabels, id, &*current_), a);
        if (name == "scrolltext")
            return ScrollText(FindId(kScrollTexts, id, nullptr), a);
        if (name == "slider")
            return Slider(FindId(kSliders, id, nullptr), a);
        if (name == "list")
            return List(FindId(kLists, id, nullptr), a);
        if (name == "visual")
            return Visual(FindId(kVisuals, id, nullptr), a);
        if (name == "panel")
            return Panel(FindId(kPanels, id, nullptr), a);
        return Tab(FindId(kTabs, id, nullptr), a);
    }

    bool Button(const TIdEntry* target, bool checkable, const TAttributes& a) {
        if (!target)
            return false;
        auto b = Base<TZuSkinButton>(target->Window, target->Component);
        b.Checkable = checkable;
        b.Bounds = a.Bounds();
        b.NormalX = a.Int16("nx");
        b.NormalY = a.Int16("ny");
        b.PressedX = a.Int16("px");
        b.PressedY = a.Int16("py");
        b.HighlightedX = a.Int16("hx");
        b.HighlightedY = a.Int16("hy");
        if (checkable) {
            b.CheckedX = a.Int16("cx");
            b.CheckedY = a.Int16("cy");
            b.CheckedPX = a.Int16("cpx");
            b.CheckedPY = a.Int16("cpy");
            b.CheckedHX = a.Int16("chx");
            b.CheckedHY = a.Int16("chy");
        }
        b.Fade = a.Byte("fade");
        b.Anchors = a.Anchors(false);
        b.Hint = a.Text("hit");
        b.Image = Image(a);
        document_.Elements.emplace_back(std::move(b));
        return true;
    }

    bool Label(const TIdEntry* target, const TAttributes& a) {
        if (!target)
            return false;
        auto l = Base<TZuSkinLabel>(target->Window, target->Component);
        l.Bounds = a.Bounds();
        l.Font = a.Font();
        l.FontColor = a.Color("fcolor");
        l.Anchors = a.Anchors(false);
        document_.Elements.emplace_back(std::move(l));
        return true;
    }

    bool ScrollText(const TIdEntry* target, const TAttributes& a) {
        if (!target)
            return false;
        auto s = Base<TZuSkinScrollText>(target->Window, target->Component);
        s.Bounds = a.Bounds();
        s.BackColor = a.Color("bcolor");
        s.Font = a.Font();
        s.FontColor = a.Color("fcolor");
        s.Anchors = a.Anchors(false);
        document_.Elements.emplace_back(std::move(s));
        return true;
    }

    bool Slider(const TIdEntry* target, const TAttributes& a) {
        if (!target)
            return false;
        auto s = Base<TZuSkinSlider>(target->Window, target->Component);
        s.Bounds = a.Bounds();
        s.NormalX = a.Int16("normalx");
        s.NormalY = a.Int16("normaly");
        s.PressedX = a.Int16("pressedx");
        s.PressedY = a.Int16("pressedy");
        s.HighlightedX = a.Int16("highlightedx");
        s.HighlightedY = a.Int16("highlightedy");
        s.SliderW = a.Int16("buttonw");
        s.SliderH = a.Int16("buttonh");
        s.TileA = a.Rect("tilea");
        s.TileB = a.Rect("tileb");
        s.Border = a.Byte("bordersize");
        s.Horizontal = SkinNameEquals(a["kind"], "H");
        s.Anchors = a.Anchors(true);
        if (s.Horizontal)
            s.Anchors.Left = s.Anchors.Right = true;
        else
            s.Anchors.Top = s.Anchors.Bottom = true;
        // Judged on the whole number: "259" is not style 3.
        const int32_t style = a.Integer("style");
        if (style >= 0 && style <= 3)
            s.Style = uint8_t(style);
        s.Image = Image(a);
        document_.Elements.emplace_back(std::move(s));
        return true;
    }

    bool List(const TIdEntry* target, const TAttributes& a) {
        if (!target)
            return false;
        auto l = Base<TZuSkinList>(target->Window, target->Component);
        l.Bounds = a.Bounds();
        l.ScrollBarWidth = a.Byte("sw");
        l.SliderW = a.Int16("sw");
        l.SliderH = a.Int16("sh");
        l.BackColor = a.Color("bcolor");
        l.SelectionColor = a.Color("selectioncolor");
        l.TextColor = a.Color("textcolor");
        l.TextCurrentColor = a.Color("textcurrcolor");
        l.TextSelectedColor = a.Color("textscolor");
        if (!a["textfcolor"].empty())
            l.TextFailedColor = a.Color("textfcolor");
        l.Font = a.Font();
        l.Anchors = a.Anchors(true);
        l.NormalX = a.Int16("nx");
        l.NormalY = a.Int16("ny");
        l.PressedX = a.Int16("px");
        l.PressedY = a.Int16("py");
        l.HighlightedX = a.Int16("hx");
        l.HighlightedY = a.Int16("hy");
        l.TrackRect = a.Rect("ti");
        l.Image = Image(a);
        document_.Elements.emplace_back(std::move(l));
        return true;
    }

    bool Visual(const TIdEntry* target, const TAttributes& a) {
        if (!target)
            return false;
        if (target->Id == "minlrc") {
            auto v = Base<TZuSkinLrcView>(target->Window, target->Component);
            v.Anchors = a.Anchors(true);
            v.Bounds = a.Bounds();
            v.LrcSpace = a.Byte("hz");
            v.BGColor = a.Color("color");
            v.LrcColor = a.Color("fcolor");
            v.LrcCurrColor = a.Color("fccolor");
            v.FontName = a.Text("font");
            v.FontSize = a.Byte("fsize");
            document_.Elements.emplace_back(std::move(v));
        } else if (target->Id == "ost") {
            auto v = Base<TZuSkinSpectrum>(target->Window, target->Component);
            v.Bounds = a.Bounds();
            v.Anchors = a.Anchors(true);
            v.BackColor = a.Color("bc");
            v.BarColor = a.Color("pen");
            v.PeakColor = a.Color("peak");
            v.BarStyle = a.Byte("mod");
            v.MaxHeight = a.Integer("height");
            v.BarWidth = a.Integer("width");
            v.LastBar = a.Integer("ttfw");
            document_.Elements.emplace_back(std::move(v));
        } else {
            auto v = Base<TZuSkinDesktopLrc>(target->Window, target->Component);
            v.H = a.Int16("h");
            v.BackColor = a.Color("bgcolor");
            v.ColorBegin = a.Color("colorbegin");
            v.ColorEnd = a.Color("colorend");
            v.Font = a.Font();
            document_.Elements.emplace_back(std::move(v));
        }
        return true;
    }

    bool Panel(const TIdEntry* target, const TAttributes& a) {
        if (!target)
            return false;
        auto p = Base<TZuSkinPanel>(target->Window, target->Component);
        p.Anchors = a.Anchors(true);
        p.Bounds = a.Bounds();
        p.Color = a.Color("bcolor");
        document_.Elements.emplace_back(std::move(p));
        return true;
    }

    bool Tab(const TIdEntry* target, const TAttributes& a) {
        if (!target)
            return false;
        auto t = Base<TZuSkinTab>(target->Window, target->Component);
        t.Bounds = a.Bounds();
        t.AColor = a.Color("acolor");
        t.DColor = a.Color("dcolor");
        t.Anchors = a.Anchors(true);
        t.Image = Image(a);
        document_.Elements.emplace_back(std::move(t));
        return true;
    }

    std::string_view folder_;
    TZuSkinDocument& document_;
    std::optional<TZuSkinWindowId> current_;
    bool seen_[std::size(kWindowIds)] = {};
    int line_ = 0;
};

// Blanks a document type declaration in the prolog (keeping its line breaks, so lines still
// count right): a skin has no use for one, and what it declares (entities, defaults, an
// outside DTD) is never loaded or expanded, while the rest of the file reads as without it.
void BlankDocumentType(std::string& text) {
    size_t i = 0;
    const auto at = [&](std::string_view what) { return text.compare(i, what.size(), what) == 0; };
    for (;;) {
        while (i < text.size() &&
               (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
            ++i;
        if (at("<?") || at("<!--")) {
            const size_t end = text.find(at("<?") ? "?>" : "-->", i);
            if (end == std::string::npos)
                return;
            i = end + (at("<?") ? 2 : 3);
            continue;
        }
        break;
    }
    if (!at("<!DOCTYPE"))
        return;
    const size_t start = i;
    int depth = 0;
    char quote = 0;
    for (i += 9; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (at("<!--")) {
            const size_t end = text.find("-->", i + 4);
            if (end == std::string::npos)
                return;
            i = end + 2;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '[') {
            ++depth;
        } else if (c == ']') {
            --depth;
        } else if (c == '>' && depth <= 0) {
            for (size_t k = start; k <= i; ++k)
                if (text[k] != '\n')
                    text[k] = ' ';
            return;
        }
    }
}

TAttributes ReadAttributes(xmlTextReader* reader) {
    TAttributes attributes;
    while (xmlTextReaderMoveToNextAttribute(reader) == 1)
        attributes.Add(FromXml(xmlTextReaderConstName(reader)),
                       FromXml(xmlTextReaderConstValue(reader)));
    xmlTextReaderMoveToElement(reader);
    return attributes;
}

} // namespace

TZuSkinDocument ReadSkin(std::string_view bytes, std::string_view skinFolder) {
    TZuSkinDocument document;
    if (bytes.empty() || bytes.size() > size_t(INT_MAX))
        return document;
    // The bytes decide, not the declaration: a plain-text editor saves a skin in GBK and leaves
    // encoding="UTF-8" standing. A byte-order mark or valid UTF-8 is UTF-8, the rest GB18030.
    std::string text = DecodeTextFile(bytes);
    BlankDocumentType(text);
    const TQuietXmlErrors quiet;
    ReaderPtr reader(xmlReaderForMemory(text.data(), int(text.size()), nullptr, "UTF-8",
                                        kParseOptions | XML_PARSE_IGNORE_ENC));
    if (!reader)
        return document;

    TSkinWalk walk(skinFolder, document);
    bool inRoot = false;
    int result = 0;
    while ((result = xmlTextReaderRead(reader.get())) == 1) {
        const int type = xmlTextReaderNodeType(reader.get());
        if (type != XML_READER_TYPE_ELEMENT)
            continue;
        const std::string name = AsciiLower(FromXml(xmlTextReaderConstName(reader.get())));
        const bool emptyTag = xmlTextReaderIsEmptyElement(reader.get()) == 1;
        const TAttributes attributes = ReadAttributes(reader.get());
        if (!inRoot) {
            if (name != "tunola.skin")
                continue;
            if (attributes["ver"] != "2.0") {
                document.Status = TZuSkinDocument::TStatus::WrongVersion;
                return document;
            }
            document.Status = TZuSkinDocument::TStatus::Read;
            inRoot = true;
            continue;
        }
        walk.Element(name, emptyTag, attributes, xmlTextReaderGetParserLineNumber(reader.get()));
    }
    document.WellFormed = result == 0;
    return document;
}

} // namespace tunola
