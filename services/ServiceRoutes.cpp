#include "ServiceRoutes.h"

#include "BoundedServer.h"
#include "HttpForm.h"
#include "MusicScan.h"
#include "ServicePages.h"
#include "ShareLinks.h"

#include <httplib.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <regex>

namespace tunola::service {

namespace {

constexpr const char* kText = "text/plain; charset=utf-8";
constexpr const char* kHtml = "text/html; charset=utf-8";
constexpr int kPageSize = 100;

thread_local std::chrono::steady_clock::time_point tlsRequestStart;

std::string QueryText(const httplib::Request& req, std::string_view name) {
    const TFormFields fields = ParseForm(QueryOf(req.target));
    const std::optional<std::string> v = FormValue(fields, name);
    return v ? FormText(*v) : std::string();
}

std::optional<int64_t> ParseId(std::string_view s, bool allowNegative) {
    if (s.empty() || s.size() > 18)
        return std::nullopt;
    bool negative = false;
    if (allowNegative && s.front() == '-') {
        negative = true;
        s.remove_prefix(1);
    }
    if (s.empty())
        return std::nullopt;
    int64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return negative ? -v : v;
}

void Answer(httplib::Response& res, int status, std::string body, const char* type = kText) {
    res.status = status;
    res.set_content(std::move(body), type);
}

// One log line: time, client, method, target (control bytes escaped, cut), status, bytes, ms.
void LogRequest(const httplib::Request& req, const httplib::Response& res) {
    std::string target;
    for (char c : req.target.substr(0, 200)) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            char buf[5];
            std::snprintf(buf, sizeof buf, "\\x%02X", u);
            target += buf;
        } else {
            target += c;
        }
    }
    if (req.target.size() > 200)
        target += "...";
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    char when[32];
    std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%SZ", &tm);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - tlsRequestStart)
                        .count();
    const size_t bytes = res.body.empty() ? res.content_length_ : res.body.size();
    std::fprintf(stderr, "%s %s %s %s %d %zu %lldms\n", when, req.remote_addr.c_str(),
                 req.method.c_str(), target.c_str(), res.status, bytes, static_cast<long long>(ms));
}

void ServeShare(const TServiceContext& ctx, const httplib::Request& req, httplib::Response& res) {
    static const std::regex kName(R"(^/share/mm([0-9]{1,15})\.([a-z0-9]{1,5})$)");
    std::smatch m;
    if (ctx.MusicDir.empty() || !std::regex_match(req.path, m, kName))
        return Answer(res, 404, "no such song\n");
    const int64_t id = std::stoll(m[1].str());
    const std::optional<TSongFile> file = ctx.Db->SongFile(id);
    if (!file || file->Extension != m[2].str())
        return Answer(res, 404, "no such song\n");
    const std::optional<std::filesystem::path> path = ResolveInside(ctx.MusicDir, file->Path);
    const std::optional<std::string_view> type = ContentTypeOf(file->Extension);
    if (!path || !type)
        return Answer(res, 404, "no such song\n");
    const int fd = ::open(path->c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Answer(res, 404, "no such song\n");
    const off_t size = ::lseek(fd, 0, SEEK_END);
    if (size <= 0) {
        ::close(fd);
        return Answer(res, size == 0 ? 200 : 404, "", std::string(*type).c_str());
    }
    // The library takes ranges as they come: one starting past the end makes its length
    // underflow and one ending past the end reads beyond the file. So they are checked and
    // clamped here, and what cannot be satisfied gets 416.
    if (!req.ranges.empty()) {
        httplib::Ranges ranges;
        const auto last = static_cast<ssize_t>(size) - 1;
        bool valid = req.ranges.size() <= 16;
        for (auto [first, second] : req.ranges) {
            if (first < 0) {
                if (second <= 0) {
                    valid = false;
                    break;
                }
                first = std::max<ssize_t>(0, last + 1 - second);
                second = last;
            } else {
                if (second < 0 || second > last)
                    second = last;
                if (first > last || second < first) {
                    valid = false;
                    break;
                }
            }
            ranges.emplace_back(first, second);
        }
        if (!valid) {
            ::close(fd);
            res.set_header("Content-Range", "bytes */" + std::to_string(size));
            return Answer(res, 416, "range not satisfiable\n");
        }
        const_cast<httplib::Request&>(req).ranges = std::move(ranges); // owned by the server
    }
    auto holder = std::make_shared<int>(fd);
    res.set_header("Accept-Ranges", "bytes");
    res.set_content_provider(
        static_cast<size_t>(size), std::string(*type),
        [holder](size_t offset, size_t length, httplib::DataSink& sink) {
            char buf[65536];
            const size_t want = std::min(length, sizeof buf);
            const ssize_t n = ::pread(*holder, buf, want, static_cast<off_t>(offset));
            if (n <= 0)
                return false;
            return sink.write(buf, static_cast<size_t>(n));
        },
        [holder](bool) { ::close(*holder); });
}

void Upload(const TServiceContext& ctx, httplib::Response& res,
            const httplib::ContentReader& reader) {
    std::string body;
    bool tooLarge = false;
    if (!reader([&](const char* data, size_t n) {
            if (body.size() + n > kMaxUploadBytes) {
                tooLarge = true;
                return false;
            }
            body.append(data, n);
            return true;
        })) {
        return Answer(res, tooLarge ? 413 : 400, tooLarge ? "lyric too large\n" : "bad body\n");
    }
    const TFormFields fields = ParseForm(body, 16);
    const std::optional<std::string> title = FormValue(fields, "ltitle");
    const std::optional<std::string> artist = FormValue(fields, "lsinger");
    const std::optional<std::string> lyric = FormValue(fields, "llrc");
    if (!title || !artist || !lyric)
        return Answer(res, 400, "ltitle, lsinger and llrc are needed\n");
    const std::string t = FormText(*title), a = FormText(*artist);
    if (t.find_first_not_of(" \t\r\n") == std::string::npos)
        return Answer(res, 400, "the title is empty\n");
    if (t.size() > 1024 || a.size() > 1024)
        return Answer(res, 400, "title or artist too long\n");
    if (*lyric == kNoLyricMarker) {
        if (!ctx.Db->AddWanted(t, a))
            return Answer(res, 503, "database unavailable\n");
        return Answer(res, 200, "OK\n");
    }
    if (lyric->size() > kMaxLyricBytes)
        return Answer(res, 413, "lyric too large\n");
    const std::string text = FormText(*lyric);
    if (text.find_first_not_of(" \t\r\n") == std::string::npos)
        return Answer(res, 400, "the lyric is empty\n");
    if (!ctx.Db->AddLyric(t, a, text))
        return Answer(res, 503, "database unavailable\n");
    Answer(res, 200, "OK\n"); // only now: the row is committed
}

} // namespace

void InstallRoutes(httplib::Server& server, const TServiceContext& context) {
    const TServiceContext* ctx = &context;
    server.set_payload_max_length(kMaxUploadBytes);
    server.set_pre_routing_handler([](const httplib::Request& req, httplib::Response& res) {
        tlsRequestStart = std::chrono::steady_clock::now();
        // A body over the cap is refused before it is read (the library would read it all to
        // skip it) and the connection is closed, since the body is still on its way.
        if (req.has_header("Content-Length")) {
            const std::string length = req.get_header_value("Content-Length");
            if (length.size() > 12 ||
                std::strtoull(length.c_str(), nullptr, 10) > kMaxUploadBytes) {
                Answer(res, 413, "request too large\n");
                res.set_header("Connection", "close");
                TBoundedServer::CloseAfterThisRequest();
                return httplib::Server::HandlerResponse::Handled;
            }
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    server.set_logger(LogRequest);
    server.set_exception_handler([](const httplib::Request&, httplib::Response& res,
                                    std::exception_ptr) { Answer(res, 500, "internal error\n"); });
    server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty() && res.status >= 400)
            res.set_content(std::to_string(res.status) + "\n", kText);
    });

    server.Get("/soft/updata.asp", [ctx](const httplib::Request&, httplib::Response& res) {
        Answer(res, 200, UpdateAnswer(ctx->LatestVersion, ctx->DownloadUrl));
    });

    server.Post("/lrcpost.asp",
                [ctx](const httplib::Request&, httplib::Response& res,
                      const httplib::ContentReader& reader) { Upload(*ctx, res, reader); });

    server.Get("/api/lyrics/search", [ctx](const httplib::Request& req, httplib::Response& res) {
        const std::string title = QueryText(req, "title"), artist = QueryText(req, "artist");
        const std::optional<int64_t> mode = ParseId(QueryText(req, "mode"), false);
        if (title.empty() || !mode || (*mode != 0 && *mode != 1 && *mode != 2))
            return Answer(res, 400, "title and mode (0, 1 or 2) are needed\n");
        Answer(res, 200,
               LyricResultLines(
                   ctx->Db->SearchLyrics(title, artist, static_cast<TLyricMode>(*mode), 50)));
    });

    server.Get("/api/lyrics/get", [ctx](const httplib::Request& req, httplib::Response& res) {
        const std::optional<int64_t> id = ParseId(QueryText(req, "id"), true);
        if (!id || *id == 0)
            return Answer(res, 400, "id is needed\n");
        if (*id < 0) {
            if (!ctx->Db->WantedExists(-*id))
                return Answer(res, 404, "no such lyric\n");
            return Answer(res, 200, NoLyricsPageHtml("", ""), kHtml);
        }
        std::optional<std::string> body = ctx->Db->LyricBody(*id);
        if (!body)
            return Answer(res, 404, "no such lyric\n");
        Answer(res, 200, std::move(*body));
    });

    server.Get("/api/music/search", [ctx](const httplib::Request& req, httplib::Response& res) {
        const std::string text = QueryText(req, "q");
        const std::optional<int64_t> kind = ParseId(QueryText(req, "kind"), false);
        if (!kind || *kind > 1)
            return Answer(res, 400, "kind (0 or 1) is needed\n");
        if (text.size() > 400)
            return Answer(res, 400, "search text too long\n");
        std::vector<TSongRow> rows = ctx->Db->SearchSongs(text, static_cast<int>(*kind), 200);
        if (!rows.empty())
            ctx->Db->RecordSearch(text);
        Answer(res, 200, MusicResultLines(rows));
    });

    server.Get("/index.asp", [ctx](const httplib::Request& req, httplib::Response& res) {
        TIndexPage page;
        page.PageSize = kPageSize;
        const std::optional<int64_t> n = ParseId(QueryText(req, "page"), false);
        page.Page = n && *n < 100000 ? static_cast<int>(*n) : 0;
        page.FirstRank = page.Page * kPageSize + 1;
        page.Total = ctx->Db->SongCount();
        page.Songs = ctx->Db->TopSongs(page.Page * kPageSize, kPageSize);
        Answer(res, 200, IndexPageHtml(page), kHtml);
    });
    server.Get("/", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/index.asp");
    });

    server.Get("/schweb/", [ctx](const httplib::Request&, httplib::Response& res) {
        Answer(res, 200, SearchSidebarHtml(ctx->Db->PopularSearches(15), ctx->Db->TopArtists(15)),
               kHtml);
    });
    server.Get("/schweb", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/schweb/");
    });
    server.Get("/schweb/go", [](const httplib::Request&, httplib::Response& res) {
        Answer(res, 200, KeywordPageHtml(), kHtml);
    });

    server.Get("/hot.asp", [ctx](const httplib::Request& req, httplib::Response& res) {
        // The identifier arrives as the link carried it, marker and all.
        std::string id = FormValue(ParseForm(QueryOf(req.target)), "id").value_or("");
        if (id.ends_with(kShareAddAndPlay) || id.ends_with(kShareAddOnly))
            id.resize(id.size() - 2);
        const std::optional<int64_t> song = ParseId(id, false);
        if (!song)
            return Answer(res, 400, "id is needed\n");
        if (!ctx->Db->CountPlay(*song))
            return Answer(res, 404, "no such song\n");
        Answer(res, 200, "OK\n");
    });

    server.Get(R"(/share/.*)", [ctx](const httplib::Request& req, httplib::Response& res) {
        ServeShare(*ctx, req, res);
    });
}

} // namespace tunola::service
