#include "ServicePages.h"

#include "ShareLinks.h"
#include "TextCodec.h"
#include "TextKeys.h"

#include <charconv>

namespace tunola::service {

namespace {

constexpr std::string_view kPageHead =
    "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
    "<meta name=\"viewport\" content=\"width=device-width\">";

constexpr std::string_view kStyle =
    "<style>body{font:13px sans-serif;margin:8px;color:#222;background:#fff}"
    "table{border-collapse:collapse;width:100%}td,th{padding:3px 6px;text-align:left;"
    "border-bottom:1px solid #e4e4e4;white-space:nowrap}td.t{white-space:normal}"
    "th{background:#f0f0f0}a{color:#1a5fb4;text-decoration:none}a:hover{text-decoration:"
    "underline}.n{color:#888;text-align:right}.nav{margin:8px 0}.nav a{margin-right:12px}"
    "h1{font-size:15px;margin:4px 0 8px}h2{font-size:13px;margin:10px 0 4px}"
    "ul{list-style:none;padding:0;margin:0}li{padding:2px 0}</style>";

// A web view does not report a "qivra" link as written, so the page hands the player the raw
// href itself (see ShareLinks.h) and cancels the click's own navigation.
constexpr std::string_view kShareScript =
    "<script>document.addEventListener('click',function(e){"
    "var a=e.target&&e.target.closest?e.target.closest('a.share'):null;if(!a)return;"
    "e.preventDefault();console.log('tunola-share-link:'+a.getAttribute('href'));});</script>";

std::string Field(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    return out;
}

std::string SongAddress(const TSongRow& song) {
    return ShareFileName(song.Id, song.Extension);
}

} // namespace

std::optional<std::string> UpdateNumber(std::string_view latest) {
    const size_t dot = latest.find('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 >= latest.size())
        return std::nullopt;
    unsigned major = 0, minor = 0;
    const std::string_view a = latest.substr(0, dot), b = latest.substr(dot + 1);
    auto r1 = std::from_chars(a.data(), a.data() + a.size(), major);
    auto r2 = std::from_chars(b.data(), b.data() + b.size(), minor);
    if (r1.ec != std::errc() || r1.ptr != a.data() + a.size() || r2.ec != std::errc() ||
        r2.ptr != b.data() + b.size() || minor > 9 || major > 40000000)
        return std::nullopt;
    return std::to_string(major) + std::to_string(minor);
}

std::string UpdateAnswer(std::string_view latest, std::string_view downloadUrl) {
    const std::optional<std::string> number = latest.empty() ? std::nullopt : UpdateNumber(latest);
    std::string out = "tunola v="; // the number starts at character 10
    if (!number)
        return out + "0,";
    out += *number;
    out += ',';
    out += latest;
    if (!downloadUrl.empty()) {
        out += ' ';
        out += downloadUrl;
    }
    return out;
}

std::string IndexPageHtml(const TIndexPage& page) {
    std::string html(kPageHead);
    html += "<title>音乐分享</title>";
    html += kStyle;
    html += "</head><body><h1>音乐分享 <span class=\"n\">共 ";
    html += std::to_string(page.Total);
    html += " 首</span></h1>";
    if (page.Songs.empty()) {
        html += "<p>还没有分享的歌曲。</p>";
    } else {
        html += "<table><tr><th class=\"n\">#</th><th>歌曲</th><th>歌手</th>"
                "<th class=\"n\">播放</th><th></th></tr>";
        int rank = page.FirstRank;
        for (const TSongRow& song : page.Songs) {
            const std::string id = std::to_string(song.Id);
            const std::string address = SongAddress(song);
            html += "<tr><td class=\"n\">" + std::to_string(rank++) + "</td><td class=\"t\">";
            html += HtmlEscape(song.Title);
            html += "</td><td class=\"t\">";
            html += HtmlEscape(song.Artist);
            html += "</td><td class=\"n\">" + std::to_string(song.Plays) + "</td><td>";
            html += "<a class=\"share\" title=\"添加并播放\" href=\"";
            html += HtmlEscape(MakeShareLink(address, song.Title, song.Artist, id, true));
            html += "\">播放</a> <a class=\"share\" title=\"只添加到播放列表\" href=\"";
            html += HtmlEscape(MakeShareLink(address, song.Title, song.Artist, id, false));
            html += "\">添加</a></td></tr>";
        }
        html += "</table>";
    }
    html += "<div class=\"nav\">";
    if (page.Page > 0)
        html += "<a href=\"/index.asp?page=" + std::to_string(page.Page - 1) + "\">上一页</a>";
    if (static_cast<int64_t>(page.Page + 1) * page.PageSize < page.Total)
        html += "<a href=\"/index.asp?page=" + std::to_string(page.Page + 1) + "\">下一页</a>";
    html += "</div>";
    html += kShareScript;
    html += "</body></html>\n";
    return html;
}

std::string KeywordHref(std::string_view keyword) {
    std::string href = "/schweb/go";
    href += kSearchKeywordMarker;
    href += SharePercentEncode(Utf8ToGb18030(keyword));
    return href;
}

std::string SearchSidebarHtml(const std::vector<std::string>& searches,
                              const std::vector<std::string>& artists) {
    std::string html(kPageHead);
    html += "<title>音乐搜索</title>";
    html += kStyle;
    html += "</head><body>";
    auto list = [&](std::string_view heading, const std::vector<std::string>& words) {
        html += "<h2>";
        html += heading;
        html += "</h2><ul>";
        for (const std::string& w : words) {
            html += "<li><a href=\"" + HtmlEscape(KeywordHref(w)) + "\">";
            html += HtmlEscape(w);
            html += "</a></li>";
        }
        if (words.empty())
            html += "<li class=\"n\">暂无</li>";
        html += "</ul>";
    };
    list("热门搜索", searches);
    list("热门歌手", artists);
    html += "</body></html>\n";
    return html;
}

std::string KeywordPageHtml() {
    std::string html(kPageHead);
    html += "<title>音乐搜索</title>";
    html += kStyle;
    html += "</head><body><p>请在听风播放器的“音乐搜索”页中使用这些链接。</p>"
            "<p><a href=\"/schweb/\">返回</a></p></body></html>\n";
    return html;
}

std::string NoLyricsPageHtml(std::string_view title, std::string_view artist) {
    std::string html(kPageHead);
    html += "<title>暂无歌词</title></head><body><p>";
    html += HtmlEscape(title);
    if (!artist.empty())
        html += " - " + HtmlEscape(artist);
    // The player rejects a download containing exactly this text.
    html += "</p><p>暂无歌词<script>document.title='暂无歌词';</script></p></body></html>\n";
    return html;
}

std::string LyricResultLines(const std::vector<TLyricRow>& rows) {
    std::string out;
    for (const TLyricRow& r : rows)
        out += std::to_string(r.Id) + '\t' + Field(r.Title) + '\t' + Field(r.Artist) + '\n';
    return out;
}

std::string MusicResultLines(const std::vector<TSongRow>& rows) {
    std::string out;
    for (const TSongRow& r : rows)
        out += Field(r.Title) + '\t' + Field(r.Artist) + '\t' + SongAddress(r) + '\t' +
               std::to_string(r.Id) + '\n';
    return out;
}

} // namespace tunola::service
