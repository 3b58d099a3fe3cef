#pragma once
// What the service tests share: a generated music folder with tagged tracks, an HTTP client
// and a raw socket for requests no client library would send.

#include "ServiceProcess.h"
#include "ShareLinks.h"
#include "TextCodec.h"

#include <httplib.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

namespace tunola::service::test {

struct TTrack {
    std::string File, Title, Artist;
};

// Writes a one-second tone with the given tags (MP3 through lame when the name ends in .mp3).
inline bool MakeTrack(const std::filesystem::path& folder, const TTrack& t) {
    const std::filesystem::path out = folder / std::filesystem::path(t.File);
    std::filesystem::create_directories(out.parent_path());
    const bool mp3 = out.extension() == ".mp3";
    const std::filesystem::path wav = mp3 ? std::filesystem::path(out.string() + ".tmp.wav") : out;
    if (RunProgram({TUNOLA_MAKE_TONE, wav.string(), "1", "440", "22050", "1"}) != 0)
        return false;
    if (mp3) {
        if (RunProgram({"lame", "--quiet", "-b", "32", wav.string(), out.string()}) != 0)
            return false;
        std::filesystem::remove(wav);
    }
    TagLib::FileRef ref(out.c_str());
    if (ref.isNull() || !ref.tag())
        return false;
    ref.tag()->setTitle(TagLib::String(t.Title, TagLib::String::UTF8));
    ref.tag()->setArtist(TagLib::String(t.Artist, TagLib::String::UTF8));
    return ref.save();
}

// The service's wire format for texts in queries and forms: GBK bytes, percent-encoded.
inline std::string Enc(std::string_view utf8) {
    return SharePercentEncode(Utf8ToGb18030(utf8));
}

inline httplib::Result Get(int port, const std::string& path, httplib::Headers headers = {}) {
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(10, 0);
    return client.Get(path.c_str(), headers);
}

inline httplib::Result PostForm(int port, const std::string& path, const std::string& body) {
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(10, 0);
    return client.Post(path.c_str(), body, "application/x-www-form-urlencoded");
}

// Connects, sends `request` (possibly in pieces with pauses), reads until the server closes or
// `wait` passes. The answer, and in `closedAfter` how long until the server closed.
inline std::string RawExchange(int port, const std::vector<std::string>& pieces,
                               std::chrono::milliseconds pause, std::chrono::milliseconds wait,
                               std::chrono::milliseconds* closedAfter = nullptr) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    const auto start = std::chrono::steady_clock::now();
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        for (size_t i = 0; i < pieces.size(); ++i) {
            if (i)
                std::this_thread::sleep_for(pause);
            if (send(fd, pieces[i].data(), pieces[i].size(), MSG_NOSIGNAL) < 0)
                break;
        }
        const auto until = std::chrono::steady_clock::now() + wait;
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            pollfd p{fd, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0)
                break;
            char buf[4096];
            const ssize_t n = recv(fd, buf, sizeof buf, 0);
            if (n <= 0)
                break;
            answer.append(buf, static_cast<size_t>(n));
        }
    }
    if (closedAfter)
        *closedAfter = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
    close(fd);
    return answer;
}

// The href values of the page's links with the given class, entities undone.
inline std::vector<std::string> Hrefs(const std::string& html, const std::string& cls = "") {
    std::vector<std::string> out;
    const std::string key = cls.empty() ? "href=\"" : "class=\"" + cls + "\"";
    for (size_t at = html.find(key); at != std::string::npos; at = html.find(key, at + 1)) {
        const size_t h = html.find("href=\"", at);
        if (h == std::string::npos)
            break;
        const size_t end = html.find('"', h + 6);
        std::string v = html.substr(h + 6, end - h - 6);
        std::string plain;
        for (size_t i = 0; i < v.size(); ++i) {
            if (v[i] != '&') {
                plain += v[i];
                continue;
            }
            const size_t semi = v.find(';', i);
            const std::string ent = v.substr(i, semi - i + 1);
            plain += ent == "&amp;"    ? "&"
                     : ent == "&lt;"   ? "<"
                     : ent == "&gt;"   ? ">"
                     : ent == "&quot;" ? "\""
                     : ent == "&#39;"  ? "'"
                                       : ent;
            i = semi;
        }
        out.push_back(plain);
    }
    return out;
}

} // namespace tunola::service::test
