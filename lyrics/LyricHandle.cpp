#include "LyricHandle.h"

#include "LrcParser.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string_view>
#include <unordered_map>

namespace tunola {

namespace {

constexpr std::string_view kCrLf = "\r\n";

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

void TrimInPlace(std::string& s) {
    size_t begin = 0;
    while (begin < s.size() && IsBlank(s[begin]))
        ++begin;
    size_t end = s.size();
    while (end > begin && IsBlank(s[end - 1]))
        --end;
    s = s.substr(begin, end - begin);
}

void CheckIndex(int index, size_t size) {
    if (index < 0 || static_cast<size_t>(index) >= size)
        throw std::out_of_range("lyric line index out of range");
}

// Equal texts are written once, with all their tags in time order, at the place of their first
// line. Grouped through a hash map so that a lyric of many lines stays a linear write.
void AppendMerged(std::string& out, const std::vector<TLyricItem>& lines) {
    std::unordered_map<std::string_view, size_t> groupOfText;
    std::vector<std::vector<size_t>> groups;
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto [it, added] = groupOfText.try_emplace(lines[i].Text, groups.size());
        if (added)
            groups.emplace_back();
        groups[it->second].push_back(i);
    }
    for (const std::vector<size_t>& group : groups) {
        for (size_t i : group) {
            out += '[';
            out += lines[i].TimeText;
            out += ']';
        }
        out += lines[group.front()].Text;
        out += kCrLf;
    }
}

void AppendMilliseconds(std::string& out, const std::vector<TLyricItem>& lines, int32_t offset) {
    for (const TLyricItem& line : lines) {
        // 64-bit so that an extreme offset tag cannot overflow.
        out += '[';
        out += std::to_string(int64_t{line.Time} - offset);
        out += ']';
        out += line.Text;
        out += kCrLf;
    }
}

void AppendTimeList(std::string& out, const std::vector<TLyricItem>& lines) {
    char field[16];
    for (const TLyricItem& line : lines) {
        std::snprintf(field, sizeof field, "%10d,", static_cast<int>(line.Time));
        out += field;
        out += line.Text;
        out += kCrLf;
    }
}

void AppendWholeSeconds(std::string& out, const std::vector<TLyricItem>& lines) {
    for (const TLyricItem& line : lines) {
        const std::string_view timeText = line.TimeText;
        out += '[';
        out += timeText.substr(0, timeText.find('.'));
        out += ']';
        out += line.Text;
        out += kCrLf;
    }
}

} // namespace

void TLyricHandle::Clear() {
    lines_.clear();
    Info = TLRCInfo{};
}

void TLyricHandle::AddItem(const TLyricItem& item) {
    lines_.push_back(item);
}

void TLyricHandle::InsertItem(int index, const TLyricItem& item) {
    if (index < 0 || static_cast<size_t>(index) > lines_.size())
        throw std::out_of_range("lyric line index out of range");
    lines_.insert(lines_.begin() + index, item);
}

TLyricItem TLyricHandle::GetItem(int index) const {
    CheckIndex(index, lines_.size());
    return lines_[static_cast<size_t>(index)];
}

void TLyricHandle::DeleteItem(int index) {
    CheckIndex(index, lines_.size());
    lines_.erase(lines_.begin() + index);
}

void TLyricHandle::SortByTime() {
    std::stable_sort(lines_.begin(), lines_.end(),
                     [](const TLyricItem& a, const TLyricItem& b) { return a.Time < b.Time; });
}

void TLyricHandle::Parse(std::string_view text) {
    Clear();
    TParsedLrc parsed = ParseLrc(text);
    Info = std::move(parsed.Info);
    lines_ = std::move(parsed.Lines);
}

std::string TLyricHandle::ToText(int layout) const {
    if (lines_.empty() || layout < llMergedLrc || layout > llWholeSeconds)
        return {};
    // Work on a copy: the object keeps its line order and its untrimmed tags.
    TLyricHandle sorted = *this;
    sorted.SortByTime();
    std::string body;
    switch (layout) {
    case llMergedLrc:
        AppendMerged(body, sorted.lines_);
        break;
    case llMilliseconds:
        AppendMilliseconds(body, sorted.lines_, Info.Offset);
        break;
    case llTimeList:
        AppendTimeList(body, sorted.lines_);
        return body;
    case llWholeSeconds:
        AppendWholeSeconds(body, sorted.lines_);
        break;
    }
    std::string out = sorted.InfoText();
    out += kCrLf;
    out += body;
    return out;
}

std::string TLyricHandle::InfoText() {
    TrimInPlace(Info.Title);
    TrimInPlace(Info.By);
    TrimInPlace(Info.Language);
    TrimInPlace(Info.Artist);
    TrimInPlace(Info.Album);
    struct TTag {
        std::string_view Name;
        const std::string& Value;
    };
    const TTag tags[] = {{"La", Info.Language},
                         {"Ti", Info.Title},
                         {"Al", Info.Album},
                         {"Ar", Info.Artist},
                         {"By", Info.By}};
    std::string out;
    for (const TTag& tag : tags) {
        if (tag.Value.empty())
            continue;
        out += '[';
        out += tag.Name;
        out += ':';
        out += tag.Value;
        out += ']';
        out += kCrLf;
    }
    if (Info.Offset != 0) {
        out += "[Offset:";
        out += std::to_string(Info.Offset);
        out += ']';
    }
    while (!out.empty() && IsBlank(out.back()))
        out.pop_back();
    return out;
}

} // namespace tunola
