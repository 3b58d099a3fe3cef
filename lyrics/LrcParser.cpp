#include "LrcParser.h"

#include "LrcTimeTag.h"
#include "LrcTokenReader.h"

#include <algorithm>
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

// The first "]" (or line end) at or after a position. Identification tags ask for it from
// positions that only grow, so one forward search serves them all: a text full of unclosed
// "[ti:" stays a linear read instead of a search to the end per tag.
template <typename IsWanted> class TAhead {
public:
    size_t Find(std::string_view text, size_t from) {
        if (found_ != kNone && found_ >= from)
            return found_;
        if (searched_ && found_ == kNone)
            return kNone;
        searched_ = true;
        found_ = kNone;
        for (size_t i = from; i < text.size(); ++i) {
            if (IsWanted{}(text[i])) {
                found_ = i;
                break;
            }
        }
        return found_;
    }

private:
    bool searched_ = false;
    size_t found_ = kNone;
};

struct TIsClose {
    bool operator()(char c) const { return c == ']'; }
};
struct TIsLineEnd {
    bool operator()(char c) const { return IsLineEnd(c); }
};

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
        StoreTextTags();
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
        static constexpr std::string_view kNames[kTextTags] = {"ti", "ar", "al", "by", "la"};
        const bool isOffset = StartsWithNoCase(text_, pos, "offset");
        size_t tag = 0;
        if (isOffset) {
            pos += 6;
        } else {
            while (tag < kTextTags && !StartsWithNoCase(text_, pos, kNames[tag]))
                ++tag;
            if (tag == kTextTags)
                return false;
            pos += 2;
        }
        if (!IsSign(ReadLrcToken(text_, pos), ':'))
            return false;
        const size_t close = closeAhead_.Find(text_, pos);
        if (close == kNone)
            return false;
        const size_t end = std::min(close, lineEndAhead_.Find(text_, pos));
        size_t begin = pos;
        while (begin < end && IsBlank(text_[begin]))
            ++begin;
        const std::string_view value = text_.substr(begin, TrimmedEnd(begin, end) - begin);
        if (isOffset) {
            if (const std::optional<int32_t> offset = ParseOffset(value))
                result_.Info.Offset = *offset;
        } else {
            // Kept as a view until the end: a later tag of the same name replaces it.
            textTags_[tag] = value;
        }
        return true;
    }

    // Where [begin, end) ends without its trailing blanks. Tags that share their end share
    // the answer, so long blank runs are walked once.
    size_t TrimmedEnd(size_t begin, size_t end) {
        if (end != trimEnd_) {
            trimEnd_ = end;
            lastNonBlank_ = end;
            while (lastNonBlank_ > 0 && IsBlank(text_[lastNonBlank_ - 1]))
                --lastNonBlank_;
        }
        return std::max(begin, lastNonBlank_);
    }

    void StoreTextTags() {
        static constexpr std::string TLRCInfo::*kFields[kTextTags] = {
            &TLRCInfo::Title, &TLRCInfo::Artist, &TLRCInfo::Album, &TLRCInfo::By,
            &TLRCInfo::Language};
        for (size_t k = 0; k < kTextTags; ++k) {
            if (textTags_[k])
                result_.Info.*kFields[k] = std::string(*textTags_[k]);
        }
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
    static constexpr size_t kTextTags = 5;
    std::optional<std::string_view> textTags_[kTextTags];
    size_t trimEnd_ = kNone;
    size_t lastNonBlank_ = 0;
    TAhead<TIsClose> closeAhead_;
    TAhead<TIsLineEnd> lineEndAhead_;
    TParsedLrc result_;
};

} // namespace

TParsedLrc ParseLrc(std::string_view text) {
    return TLrcParser(Trim(text)).Run();
}

} // namespace tunola
