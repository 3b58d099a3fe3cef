#include "PlainHttp.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace tunola {

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kMaxHeaderBytes = 100 * 1024; // as libcurl: a longer header is an error
constexpr int kMaxRedirects = 5;

bool StartsWithNoCase(const std::string& s, const char* prefix) {
    const size_t n = std::strlen(prefix);
    return s.size() >= n && std::equal(prefix, prefix + n, s.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

struct TAddress {
    std::string host, port, hostHeader, path;
};

bool ParseUrl(const std::string& url, TAddress& out) {
    if (!IsPlainHttpUrl(url))
        return false;
    std::string rest = url.substr(7);
    const size_t hash = rest.find('#');
    if (hash != std::string::npos)
        rest.resize(hash);
    const size_t pathAt = rest.find_first_of("/?");
    std::string authority = rest.substr(0, pathAt);
    out.path = pathAt == std::string::npos ? "/" : rest.substr(pathAt);
    if (out.path[0] == '?')
        out.path.insert(0, "/");
    if (authority.find('@') != std::string::npos || authority.empty())
        return false; // no credentials in addresses
    out.hostHeader = authority;
    out.port = "80";
    if (authority[0] == '[') {
        const size_t close = authority.find(']');
        if (close == std::string::npos)
            return false;
        out.host = authority.substr(1, close - 1);
        if (close + 1 < authority.size()) {
            if (authority[close + 1] != ':')
                return false;
            out.port = authority.substr(close + 2);
        }
    } else {
        const size_t colon = authority.rfind(':');
        out.host = authority.substr(0, colon);
        if (colon != std::string::npos)
            out.port = authority.substr(colon + 1);
    }
    if (out.port.empty())
        out.port = "80";
    return !out.host.empty() && out.port.find_first_not_of("0123456789") == std::string::npos &&
           out.port.size() <= 5;
}

// Resolves within `ms`; a slow resolver is left to finish on its own thread.
struct TResolve {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    addrinfo* result = nullptr;
    ~TResolve() {
        if (result)
            freeaddrinfo(result);
    }
};

std::shared_ptr<TResolve> Resolve(const TAddress& a, int ms, TWebCancel* cancel) {
    auto r = std::make_shared<TResolve>();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    if (getaddrinfo(a.host.c_str(), a.port.c_str(), &hints, &r->result) == 0) {
        r->finished = true;
        return r;
    }
    r->result = nullptr;
    std::thread([r, host = a.host, port = a.port] {
        addrinfo h{};
        h.ai_family = AF_UNSPEC;
        h.ai_socktype = SOCK_STREAM;
        h.ai_flags = AI_NUMERICSERV;
        addrinfo* found = nullptr;
        if (getaddrinfo(host.c_str(), port.c_str(), &h, &found) != 0)
            found = nullptr;
        std::lock_guard lock(r->mutex);
        r->result = found;
        r->finished = true;
        r->done.notify_all();
    }).detach();
    std::unique_lock lock(r->mutex);
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    while (!r->finished && Clock::now() < until && !(cancel && cancel->Cancelled()))
        r->done.wait_for(lock, std::chrono::milliseconds(20));
    return r;
}

class TConnection {
public:
    TConnection(TWebCancel* cancel) : cancel_(cancel) {
        wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        registered_ = cancel_ && wake_ >= 0 && cancel_->RegisterWakeFd(wake_);
    }
    ~TConnection() {
        if (registered_)
            cancel_->UnregisterWakeFd(wake_);
        if (fd_ >= 0)
            ::close(fd_);
        if (wake_ >= 0)
            ::close(wake_);
    }
    bool Cancelled() const { return cancel_ && cancel_->Cancelled(); }
    bool Usable() const { return wake_ >= 0 && (!cancel_ || registered_); }

    // Waits for `events` on the socket until `until`; false on time-out or cancellation.
    bool Wait(short events, Clock::time_point until) {
        for (;;) {
            if (Cancelled())
                return false;
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
            if (left.count() <= 0)
                return false;
            pollfd p[2] = {{fd_, events, 0}, {wake_, POLLIN, 0}};
            const int n = ::poll(p, 2, int(std::min<int64_t>(left.count() + 1, 1000)));
            if (n < 0 && errno != EINTR)
                return false;
            if (n > 0 && p[0].revents)
                return true;
        }
    }

    bool Connect(const addrinfo* list, Clock::time_point until, std::string& error) {
        for (const addrinfo* a = list; a; a = a->ai_next) {
            fd_ = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                           a->ai_protocol);
            if (fd_ < 0)
                continue;
            if (::connect(fd_, a->ai_addr, a->ai_addrlen) == 0)
                return true;
            if (errno == EINPROGRESS && Wait(POLLOUT, until)) {
                int err = 0;
                socklen_t len = sizeof err;
                if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0)
                    return true;
            }
            ::close(fd_);
            fd_ = -1;
            if (Cancelled() || Clock::now() >= until)
                break;
        }
        error = Cancelled() ? "cancelled" : "could not connect";
        return false;
    }

    bool SendAll(const std::string& data, Clock::time_point until) {
        size_t sent = 0;
        while (sent < data.size()) {
            if (!Wait(POLLOUT, until))
                return false;
            const ssize_t n = ::send(fd_, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (n <= 0)
                return false;
            sent += size_t(n);
        }
        return true;
    }

    // Reads what is there (at least one byte) into `out`; 0 at the end, -1 on failure or
    // time-out (`why` says which).
    ssize_t Receive(std::string& out, Clock::time_point stallAt, Clock::time_point totalAt,
                    std::string& why) {
        char buffer[16384];
        for (;;) {
            const Clock::time_point until = std::min(stallAt, totalAt);
            if (!Wait(POLLIN, until)) {
                why = Cancelled() ? "cancelled"
                      : Clock::now() >= totalAt ? "total time-out"
                                                : "stalled";
                return -1;
            }
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (n < 0) {
                why = "connection failed";
                return -1;
            }
            out.append(buffer, size_t(n));
            return n;
        }
    }

private:
    TWebCancel* cancel_;
    int fd_ = -1;
    int wake_ = -1;
    bool registered_ = false;
};

std::string HeaderValue(const std::string& head, const char* name) {
    const size_t n = std::strlen(name);
    size_t at = head.find("\r\n");
    while (at != std::string::npos && at + 2 < head.size()) {
        const size_t line = at + 2;
        const size_t end = head.find("\r\n", line);
        const std::string text = head.substr(line, end - line);
        if (text.size() > n && text[n] == ':' && StartsWithNoCase(text, name)) {
            size_t b = n + 1;
            while (b < text.size() && (text[b] == ' ' || text[b] == '\t'))
                ++b;
            size_t e = text.size();
            while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
                --e;
            return text.substr(b, e - b);
        }
        at = end;
    }
    return {};
}

// Decodes a whole chunked body from `in`; false while more is needed, `bad` on a malformed one.
bool Dechunk(const std::string& in, std::string& out, bool& bad, size_t maxBytes, bool& over) {
    out.clear();
    size_t at = 0;
    for (;;) {
        const size_t eol = in.find("\r\n", at);
        if (eol == std::string::npos)
            return false;
        size_t size = 0;
        size_t i = at;
        for (; i < eol && std::isxdigit(static_cast<unsigned char>(in[i])); ++i) {
            size = size * 16 + size_t(std::isdigit(static_cast<unsigned char>(in[i]))
                                          ? in[i] - '0'
                                          : std::tolower(static_cast<unsigned char>(in[i])) - 'a' + 10);
            if (size > maxBytes) {
                over = true;
                return true;
            }
        }
        if (i == at) {
            bad = true;
            return true;
        }
        if (size == 0)
            return true; // trailers are not read
        if (in.size() < eol + 2 + size + 2)
            return false;
        out.append(in, eol + 2, size);
        if (out.size() > maxBytes) {
            over = true;
            return true;
        }
        at = eol + 2 + size + 2;
    }
}

// One request and its answer, without redirects.
TWebResponse Exchange(const TAddress& a, const TPlainRequest& request, const TWebBounds& bounds,
                      TWebCancel* cancel, Clock::time_point totalAt, std::string& location) {
    TWebResponse response;
    TConnection c(cancel);
    if (!c.Usable()) {
        response.error = cancel && cancel->Cancelled() ? "cancelled" : "no connection";
        return response;
    }
    const auto connectAt =
        std::min(totalAt, Clock::now() + std::chrono::milliseconds(std::max(1, bounds.connectMs)));
    const auto resolved = Resolve(a, int(std::chrono::duration_cast<std::chrono::milliseconds>(
                                             connectAt - Clock::now())
                                             .count()),
                                  cancel);
    addrinfo* list = nullptr;
    {
        std::lock_guard lock(resolved->mutex);
        list = resolved->finished ? resolved->result : nullptr;
    }
    if (!list) {
        response.error = c.Cancelled() ? "cancelled" : "could not resolve the host";
        return response;
    }
    if (!c.Connect(list, connectAt, response.error))
        return response;

    static const std::string agent = WebAgentName();
    std::string head = std::string(request.post ? "POST " : "GET ") + a.path +
                       (request.post ? " HTTP/1.0\r\n" : " HTTP/1.1\r\n") + "Host: " +
                       a.hostHeader + "\r\nUser-Agent: " + agent + "\r\nAccept: */*\r\n" +
                       request.extraHeaders;
    if (request.post)
        head += "Content-Length: " + std::to_string(request.body.size()) + "\r\n";
    else
        head += "Connection: close\r\n";
    head += "\r\n";
    if (!c.SendAll(head + request.body, totalAt)) {
        response.error = c.Cancelled() ? "cancelled" : "could not send the request";
        return response;
    }

    const auto stall = std::chrono::milliseconds(std::max(1, bounds.stallMs));
    std::string in;
    size_t headEnd = std::string::npos;
    std::string responseHead;
    long long length = -1;
    bool chunked = false;
    for (;;) {
        std::string why;
        const ssize_t n = c.Receive(in, Clock::now() + stall, totalAt, why);
        if (n < 0) {
            response.error = why;
            return response;
        }
        if (headEnd == std::string::npos) {
            headEnd = in.find("\r\n\r\n");
            if (headEnd == std::string::npos) {
                if (in.size() > kMaxHeaderBytes || n == 0) {
                    response.error = n == 0 ? "no answer" : "header too long";
                    return response;
                }
                continue;
            }
            responseHead = in.substr(0, headEnd + 2);
            in.erase(0, headEnd + 4);
            if (!StartsWithNoCase(responseHead, "http/") || responseHead.size() < 12) {
                response.error = "not an HTTP answer";
                return response;
            }
            response.status = std::atol(responseHead.c_str() + responseHead.find(' ') + 1);
            if (response.status >= 100 && response.status < 200) {
                headEnd = std::string::npos; // an interim answer: the real one follows
                continue;
            }
            location = response.status >= 300 && response.status < 400
                           ? HeaderValue(responseHead, "Location")
                           : std::string();
            if (!location.empty())
                return response; // the body of a redirect is not wanted
            chunked = StartsWithNoCase(HeaderValue(responseHead, "Transfer-Encoding"), "chunked");
            const std::string len = HeaderValue(responseHead, "Content-Length");
            if (!chunked && !len.empty()) {
                length = std::atoll(len.c_str());
                if (length < 0 || size_t(length) > bounds.maxBytes) {
                    response.error = "answer over the size limit";
                    return response;
                }
            }
        }
        // The body so far.
        if (chunked) {
            bool bad = false, over = false;
            std::string body;
            if (Dechunk(in, body, bad, bounds.maxBytes, over)) {
                if (over || bad) {
                    response.error = over ? "answer over the size limit" : "bad chunked body";
                    return response;
                }
                response.body = std::move(body);
                break;
            }
            if (in.size() > bounds.maxBytes + bounds.maxBytes / 8 + 4096) {
                response.error = "answer over the size limit";
                return response;
            }
        } else if (length >= 0) {
            if (in.size() >= size_t(length)) {
                in.resize(size_t(length));
                response.body = std::move(in);
                break;
            }
        } else if (in.size() > bounds.maxBytes) {
            response.error = "answer over the size limit";
            return response;
        }
        if (n == 0) {
            if (chunked || length >= 0) {
                response.error = "the answer ended early";
                return response;
            }
            response.body = std::move(in); // delimited by the end of the connection
            break;
        }
    }
    if (response.status >= 400 || response.status == 0) {
        response.error = "HTTP status " + std::to_string(response.status);
        response.body.clear();
        return response;
    }
    response.ok = true;
    return response;
}

// Where a redirect leads, from `base`.
std::string Resolve(const TAddress& base, const std::string& location) {
    if (StartsWithNoCase(location, "http://") || StartsWithNoCase(location, "https://"))
        return location;
    if (location.find("://") != std::string::npos)
        return location; // another scheme: refused by the caller
    if (location.rfind("//", 0) == 0)
        return "http:" + location;
    if (!location.empty() && location[0] == '/')
        return "http://" + base.hostHeader + location;
    const std::string path = base.path.substr(0, base.path.find('?'));
    return "http://" + base.hostHeader + path.substr(0, path.rfind('/') + 1) + location;
}

} // namespace

bool IsPlainHttpUrl(const std::string& url) {
    return StartsWithNoCase(url, "http://");
}

TWebResponse PlainHttpRequest(TPlainRequest request, const TWebBounds& bounds,
                              TWebCancel* cancel) {
    const auto totalAt = Clock::now() + std::chrono::milliseconds(std::max(1, bounds.totalMs));
    for (int redirects = 0;; ++redirects) {
        if (cancel && cancel->Cancelled())
            return {false, 0, {}, "cancelled"};
        TAddress address;
        if (!ParseUrl(request.url, address))
            return {false, 0, {}, "not an http address"};
        std::string location;
        TWebResponse response = Exchange(address, request, bounds, cancel, totalAt, location);
        if (location.empty())
            return response;
        if (redirects == kMaxRedirects)
            return {false, response.status, {}, "too many redirects"};
        const std::string next = Resolve(address, location);
        // A redirected POST goes on as a GET (as libcurl does for 301, 302 and 303).
        if (response.status != 307 && response.status != 308) {
            request.post = false;
            request.body.clear();
        }
        if (StartsWithNoCase(next, "https://")) {
            if (request.post)
                return {false, response.status, {}, "a form is not sent on to https"};
            TWebBounds rest = bounds;
            rest.totalMs = int(std::max<int64_t>(
                1, std::chrono::duration_cast<std::chrono::milliseconds>(totalAt - Clock::now())
                       .count()));
            return WebGetResponse(next, rest, cancel);
        }
        if (!IsPlainHttpUrl(next))
            return {false, response.status, {}, "redirect to another protocol"};
        request.url = next;
    }
}

} // namespace tunola
