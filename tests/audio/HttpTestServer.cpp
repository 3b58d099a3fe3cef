#include "HttpTestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace tunaudio::test {

using namespace std::chrono_literals;

THttpTestServer::~THttpTestServer() {
    Stop();
}

bool THttpTestServer::Start(bool silent) {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (listenFd_ < 0)
        return false;
    int one = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listenFd_, 16) != 0)
        return false;
    socklen_t len = sizeof addr;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    if (!silent)
        acceptThread_ = std::thread([this] { AcceptLoop(); });
    return true;
}

void THttpTestServer::Stop() {
    stop_ = true;
    if (acceptThread_.joinable())
        acceptThread_.join();
    std::vector<std::thread> workers;
    {
        std::lock_guard lock(workersMutex_);
        workers.swap(workers_);
    }
    for (auto& w : workers)
        w.join();
    if (listenFd_ >= 0)
        ::close(listenFd_);
    listenFd_ = -1;
}

std::string THttpTestServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

bool THttpTestServer::SleepUnlessStopped(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
        if (stop_)
            return false;
        std::this_thread::sleep_for(std::min<std::chrono::milliseconds>(duration, 10ms));
    }
    return !stop_;
}

void THttpTestServer::AcceptLoop() {
    while (!stop_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        const int fd = ::accept(listenFd_, nullptr, nullptr);
        if (fd < 0)
            continue;
        std::lock_guard lock(workersMutex_);
        workers_.emplace_back([this, fd] { Serve(fd); });
    }
}

void THttpTestServer::Serve(int fd) {
    std::string request;
    char buf[2048];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536 && !stop_) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            break;
        request.append(buf, static_cast<size_t>(n));
    }
    const size_t headEnd = request.find("\r\n\r\n");
    THttpRequest received;
    received.head = request.substr(0, headEnd);
    if (headEnd != std::string::npos) {
        received.body = request.substr(headEnd + 4);
        std::string lower = received.head;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        const size_t at = lower.find("\r\ncontent-length:");
        const size_t want = at == std::string::npos ? 0 : std::stoul(lower.substr(at + 17));
        while (received.body.size() < want && !stop_) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0)
                break;
            received.body.append(buf, static_cast<size_t>(n));
        }
    }
    const size_t sp1 = request.find(' ');
    const size_t sp2 = request.find(' ', sp1 + 1);
    const std::string path = sp1 == std::string::npos ? "" : request.substr(sp1 + 1, sp2 - sp1 - 1);
    received.method = request.substr(0, std::min(sp1, request.size()));
    received.path = path;
    int hit = 0;
    {
        std::lock_guard lock(lastMutex_);
        last_ = std::move(received);
        hit = ++hits_[path];
    }
    ++requests_;
    const auto it = routes_.find(path);
    THttpRoute route = it == routes_.end() ? others_ : it->second;
    if (hit <= route.failFirst) {
        route.status = 503;
        route.body = "not yet";
    } else if (hit <= route.failFirst + route.plainFirst) {
        THttpRoute plain;
        plain.body = route.firstBody;
        route = plain;
    }
    std::string head =
        (route.chunked ? "HTTP/1.1 " : "HTTP/1.0 ") + std::to_string(route.status) + " X\r\n";
    head += "Content-Type: " + route.contentType + "\r\n";
    if (route.chunked)
        head += "Transfer-Encoding: chunked\r\n";
    else if (route.sendLength)
        head += "Content-Length: " + std::to_string(route.body.size()) + "\r\n";
    if (!route.location.empty())
        head += "Location: " + route.location + "\r\n";
    head += "Connection: close\r\n";
    bool ok = ::send(fd, head.data(), head.size(), MSG_NOSIGNAL) == ssize_t(head.size());
    // A header line without end, sent in pieces until it is as long as asked.
    if (route.headerBytes > 0 && ok) {
        ok = ::send(fd, "X-Filler: ", 10, MSG_NOSIGNAL) == 10;
        const std::string filler(64 << 10, 'x');
        for (size_t left = route.headerBytes; ok && left > 0 && !stop_;) {
            const size_t n = std::min(left, filler.size());
            ok = ::send(fd, filler.data(), n, MSG_NOSIGNAL) == ssize_t(n);
            left -= n;
        }
        ok = ok && ::send(fd, "\r\n", 2, MSG_NOSIGNAL) == 2;
    }
    ok = ok && ::send(fd, "\r\n", 2, MSG_NOSIGNAL) == 2;
    size_t sent = 0;
    while (ok && !stop_ && (sent < route.body.size() || (route.endless && !route.body.empty()))) {
        if (sent >= route.stallAfter) {
            SleepUnlessStopped(60000ms);
            break;
        }
        if (sent >= route.resetAfter) {
            const linger reset{1, 0}; // closing now sends RST, not FIN
            ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
            break;
        }
        const size_t at = sent % route.body.size();
        const size_t limit =
            std::min({route.body.size() - at, route.stallAfter - sent, route.resetAfter - sent});
        const size_t n = std::min(route.chunk, limit);
        if (route.chunked) {
            char size[32];
            std::snprintf(size, sizeof size, "%zx\r\n", n);
            const std::string framed = size + route.body.substr(at, n) + "\r\n";
            ok = ::send(fd, framed.data(), framed.size(), MSG_NOSIGNAL) == ssize_t(framed.size());
        } else {
            ok = ::send(fd, route.body.data() + at, n, MSG_NOSIGNAL) == ssize_t(n);
        }
        sent += n;
        if (route.pause.count() > 0 && !SleepUnlessStopped(route.pause))
            break;
    }
    if (ok && route.chunked && sent == route.body.size())
        ::send(fd, "0\r\n\r\n", 5, MSG_NOSIGNAL);
    ::close(fd);
}

THttpRequest THttpTestServer::LastRequest() const {
    std::lock_guard lock(lastMutex_);
    return last_;
}

} // namespace tunaudio::test
