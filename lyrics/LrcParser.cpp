#include "LrcParser.h"

#include "LrcTimeTag.h"
#include "LrcTokenReader.h"

#include <charconv>
#include <optional>
#include <string>

namespace tunola {

namespace {

constexpr size_t kNone = std::string_view::npos;

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}
bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool IsSign(const TLrcToken& token, char c) {
    return token.Kind == TLrcCharClass::Sign && token.Text.front() == c;
}

bool StartsWithNoCase(std::string_view text, size_t pos, std::string_view lowerName) {
    if (text.size() - pos < lowerName.size())
        return false;
    for (size_t k = 0; k < lowerName.size(); ++k) {
        char c = text[pos + k];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != lowerName[k])
            return false;
    }
    return true;
}

// A decimal integer with an optional sign that fits 32 bits; anything else is no offset.
std::optional<int32_t> ParseOffset(std::string_view s) {
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    if (s.empty() || s.front() == '+')
        return std::nullopt;
    int32_t value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

struct TFoundTag {
    bool IsTime = false;
    size_t Open = 0;      // the "["
    size_t Close = 0;     // the "]" of a time tag
    std::string TimeText; // the inside of a time tag, as read
};

class TLrcParser {
public:
    explicit TLrcParser(std::string_view text) : text_(text) {}

    TParsedLrc Run() {
        if (text_.size() <= 3)
            return {};
        while (std::optional<TFoundTag> tag = NextTag()) {
            if (!pending_.empty()) {
                if (tag->IsTime && tag->Open == lastTimeClose_ + 1)
                    pending_.push_back(std::move(tag->TimeText));
                else
                    Flush(tag->Open);
            }
            if (tag->IsTime) {
                if (pending_.empty())
                    pending_.push_back(std::move(tag->TimeText));
                lastTimeClose_ = tag->Close;
            }
        }
        if (!pending_.empty())
            Flush(text_.size());
        return std::move(result_);
    }

private:
    // Finds the next time or identification tag after the current "[". Identification tags
    // are stored here, as they are found.
    std::optional<TFoundTag> NextTag() {
        for (;;) {
            const size_t from = open_ == kNone ? 0 : open_ + 1;
            const size_t open = text_.find('[', from);
            if (open == kNone)
                return std::nullopt;
            open_ = open;
            // A "[" with fewer than five characters behind it is never a tag (so "[1:2]" at
            // the very end of a file is text, as it always was).
            const size_t pos = open + 1;
            if (text_.size() - pos < 5)
                return std::nullopt;
            const char c = text_[pos];
            if ((c >= '0' && c <= '9') || c == '-') {
                TFoundTag tag;
                if (ReadTimeTag(pos, tag))
                    return tag;
            } else if (LrcCharClass(c) == TLrcCharClass::Letter) {
                if (ReadInfoTag(pos)) {
                    TFoundTag tag;
                    tag.Open = open;
                    return tag;
                }
            }
        }
    }

    // [-]N, N:N, N:N:N, N.N, N:N.N or N:N:N.N, then "]". Anything else abandons the tag.
    bool ReadTimeTag(size_t pos, TFoundTag& tag) {
        tag.IsTime = true;
        tag.Open = open_;
        if (text_[pos] == '-') {
            tag.TimeText += '-';
            ++pos;
        }
        int colons = 0;
        bool hundredths = false;
        for (;;) {
            const TLrcToken number = ReadLrcToken(text_, pos);
            if (number.Kind != TLrcCharClass::Digit)
                return false;
            tag.TimeText += number.Text;
            const TLrcToken separator = ReadLrcToken(text_, pos);
            if (IsSign(separator, ']')) {
                tag.Close = separator.Start;
                return true;
            }
            // After the hundredths only "]" may follow; a tag that goes on is dropped.
            if (hundredths)
                return false;
            if (IsSign(separator, ':') && colons < 2) {
                ++colons;
            } else if (IsSign(separator, '.')) {
                hundredths = true;
            } else {
                return false;
            }
            tag.TimeText += separator.Text;
        }
    }

    bool ReadInfoTag(size_t pos) {
        struct TName {
            std::string_view Name;
            std::string TLRCInfo::*Field;
        };
        static constexpr TName kNames[] = {
            {"ti", &TLRCInfo::Title}, {"ar", &TLRCInfo::Artist},   {"al", &TLRCInfo::Album},
            {"by", &TLRCInfo::By},    {"la", &TLRCInfo::Language},
        };
        std::string TLRCInfo::*field = nullptr;
        bool isOffset = false;
        if (StartsWithNoCase(text_, pos, "offset")) {
            isOffset = true;
            pos += 6;
        } else {
            for (const TName& name : kNames) {
                if (StartsWithNoCase(text_, pos, name.Name)) {
                    field = name.Field;
                    pos += name.Name.size();
                    break;
                }
            }
            if (!field)
                return false;
        }
        if (!IsSign(ReadLrcToken(text_, pos), ':'))
            return false;
        const size_t close = text_.find(']', pos);
        if (close == kNone)
            return false;
        size_t end = pos;
        while (end < close && !IsLineEnd(text_[end]))
            ++end;
        const std::string_view value = Trim(text_.substr(pos, end - pos));
        if (isOffset) {
            if (const std::optional<int32_t> offset = ParseOffset(value))
                result_.Info.Offset = *offset;
        } else {
            result_.Info.*field = std::string(value);
        }
        return true;
    }

    // The pending tags get the text behind the last time tag, up to the end of its line or
    // `limit` (the next tag's "["), whichever comes first.
    void Flush(size_t limit) {
        const size_t start = lastTimeClose_ + 1;
        size_t end = start;
        while (end < limit && !IsLineEnd(text_[end]))
            ++end;
        const std::string lyric(Trim(text_.substr(start, end - start)));
        for (const std::string& tagText : pending_) {
            TLrcTime time = ConvertTimeTag(tagText);
            result_.Lines.push_back({lyric, std::move(time.TimeText), time.Time});
        }
        pending_.clear();
    }

    std::string_view text_;
    size_t open_ = kNone;          // the "[" the search stands on
    size_t lastTimeClose_ = kNone; // the "]" of the last complete time tag
    std::vector<std::string> pending_;
    TParsedLrc result_;
};

} // namespace

TParsedLrc ParseLrc(std::string_view text) {
    return TLrcParser(Trim(text)).Run();
}

} // namespace tunola
