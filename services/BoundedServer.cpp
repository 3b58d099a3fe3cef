#include "BoundedServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>

namespace tunola::service {

namespace {

using Clock = std::chrono::steady_clock;

// Set while the accept thread answers a connection it has no room for.
thread_local bool tlsShedding = false;
// Set by a handler that answered without reading the request's body.
thread_local bool tlsCloseAfter = false;

int PollFor(int fd, short events, std::chrono::milliseconds timeout) {
    pollfd p{fd, events, 0};
    for (;;) {
        const int r = ::poll(&p, 1, static_cast<int>(std::max<int64_t>(0, timeout.count())));
        if (r < 0 && errno == EINTR)
            continue;
        return r > 0 && (p.revents & (events | POLLHUP | POLLERR)) ? 1 : r < 0 ? -1 : 0;
    }
}

void IpAndPort(const sockaddr_storage& addr, std::string& ip, int& port) {
    std::array<char, INET6_ADDRSTRLEN> text{};
    if (addr.ss_family == AF_INET) {
        const auto& a = reinterpret_cast<const sockaddr_in&>(addr);
        inet_ntop(AF_INET, &a.sin_addr, text.data(), text.size());
        port = ntohs(a.sin_port);
    } else if (addr.ss_family == AF_INET6) {
        const auto& a = reinterpret_cast<const sockaddr_in6&>(addr);
        inet_ntop(AF_INET6, &a.sin6_addr, text.data(), text.size());
        port = ntohs(a.sin6_port);
    }
    ip = text.data();
}

// A socket stream that counts what the request parser reads: the head up to its blank line
// against the cap, everything against the request's deadline.
class TBoundedStream final : public httplib::Stream {
public:
    TBoundedStream(int sock, const TServerLimits& limits) : sock_(sock), limits_(limits) {}

    // Waits up to the keep-alive time for the next request; false when none comes or `stop`.
    bool WaitForRequest(const std::function<bool()>& stop) {
        if (broken_)
            return false;
        if (begin_ < end_)
            return true;
        const auto until = Clock::now() + limits_.KeepAliveTimeout;
        while (!stop()) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
            if (left.count() <= 0)
                return false;
            const int r = PollFor(sock_, POLLIN, std::min(left, std::chrono::milliseconds(200)));
            if (r != 0)
                return r > 0;
        }
        return false;
    }

    void BeginRequest() {
        headBytes_ = 0;
        headDone_ = false;
        lineEmpty_ = true;
        deadline_ = Clock::now() + limits_.RequestDeadline;
    }
    bool Broken() const { return broken_; }

    bool is_readable() const override {
        return begin_ < end_ || PollFor(sock_, POLLIN, limits_.ReadTimeout) > 0;
    }
    bool is_writable() const override { return PollFor(sock_, POLLOUT, limits_.WriteTimeout) > 0; }

    ssize_t read(char* ptr, size_t size) override {
        if (broken_)
            return -1;
        if (begin_ == end_ && !Fill())
            return -1;
        size_t n = std::min(size, end_ - begin_);
        if (!headDone_) {
            for (size_t i = 0; i < n; ++i) {
                const char c = buffer_[begin_ + i];
                if (++headBytes_ > limits_.MaxHeadBytes) {
                    broken_ = true;
                    return -1;
                }
                if (c == '\n') {
                    if (lineEmpty_) {
                        headDone_ = true;
                        n = i + 1; // the body is counted by the parser's own limits
                        break;
                    }
                    lineEmpty_ = true;
                } else if (c != '\r') {
                    lineEmpty_ = false;
                }
            }
        }
        std::copy_n(buffer_.data() + begin_, n, ptr);
        begin_ += n;
        return static_cast<ssize_t>(n);
    }

    ssize_t write(const char* ptr, size_t size) override {
        if (PollFor(sock_, POLLOUT, limits_.WriteTimeout) <= 0)
            return -1;
        for (;;) {
            const ssize_t n = ::send(sock_, ptr, size, MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR)
                continue;
            return n;
        }
    }

    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        sockaddr_storage addr{};
        socklen_t len = sizeof(addr);
        if (::getpeername(sock_, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
            IpAndPort(addr, ip, port);
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        sockaddr_storage addr{};
        socklen_t len = sizeof(addr);
        if (::getsockname(sock_, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
            IpAndPort(addr, ip, port);
    }
    socket_t socket() const override { return sock_; }

private:
    bool Fill() {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now());
        if (left.count() <= 0 || PollFor(sock_, POLLIN, std::min(left, limits_.ReadTimeout)) <= 0) {
            broken_ = true; // too slow
            return false;
        }
        for (;;) {
            const ssize_t n = ::recv(sock_, buffer_.data(), buffer_.size(), 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                broken_ = true;
                return false;
            }
            begin_ = 0;
            end_ = static_cast<size_t>(n);
            return true;
        }
    }

    int sock_;
    const TServerLimits& limits_;
    std::array<char, 16384> buffer_{};
    size_t begin_ = 0, end_ = 0;
    size_t headBytes_ = 0;
    bool headDone_ = false, lineEmpty_ = true, broken_ = false;
    Clock::time_point deadline_{};
};

// A fixed set of workers and a bounded waiting line; a connection that finds no room is
// handled at once on the accept thread with tlsShedding set.
class TBoundedQueue final : public httplib::TaskQueue {
public:
    TBoundedQueue(size_t threads, size_t queue) : capacity_(threads + queue) {
        for (size_t i = 0; i < threads; ++i)
            workers_.emplace_back([this] { Work(); });
    }

    void enqueue(std::function<void()> fn) override {
        {
            std::lock_guard lock(mutex_);
            if (busy_ + jobs_.size() < capacity_) {
                jobs_.push_back(std::move(fn));
                cond_.notify_one();
                return;
            }
        }
        tlsShedding = true;
        fn();
        tlsShedding = false;
    }

    void shutdown() override {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        cond_.notify_all();
        for (std::thread& t : workers_)
            t.join();
        workers_.clear();
    }

private:
    void Work() {
        for (;;) {
            std::function<void()> fn;
            {
                std::unique_lock lock(mutex_);
                cond_.wait(lock, [&] { return stopping_ || !jobs_.empty(); });
                if (jobs_.empty())
                    return;
                fn = std::move(jobs_.front());
                jobs_.pop_front();
                ++busy_;
            }
            fn();
            std::lock_guard lock(mutex_);
            --busy_;
        }
    }

    const size_t capacity_;
    std::mutex mutex_;
    std::condition_variable cond_;
    std::deque<std::function<void()>> jobs_;
    size_t busy_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

} // namespace

TBoundedServer::TBoundedServer(TServerLimits limits) : limits_(limits) {
    new_task_queue = [this] { return new TBoundedQueue(limits_.Threads, limits_.Queue); };
    set_keep_alive_max_count(limits_.KeepAliveRequests);
    set_keep_alive_timeout(static_cast<time_t>(limits_.KeepAliveTimeout.count() / 1000));
    set_read_timeout(static_cast<time_t>(limits_.ReadTimeout.count() / 1000));
    set_write_timeout(static_cast<time_t>(limits_.WriteTimeout.count() / 1000));
}

TBoundedServer::~TBoundedServer() = default;

void TBoundedServer::CloseAfterThisRequest() {
    tlsCloseAfter = true;
}

int TBoundedServer::Bind(const std::string& host, int port) {
    int bound = port;
    if (port == 0)
        bound = bind_to_any_port(host);
    else if (!bind_to_port(host, port))
        bound = -1;
    if (bound > 0)
        ::listen(svr_sock_, 256); // the library's backlog of 5 drops bursts of connections
    return bound;
}

bool TBoundedServer::process_and_close_socket(socket_t sock) {
    if (tlsShedding) {
        static constexpr char kBusy[] = "HTTP/1.1 503 Service Unavailable\r\n"
                                        "Content-Type: text/plain; charset=utf-8\r\n"
                                        "Content-Length: 5\r\nRetry-After: 1\r\n"
                                        "Connection: close\r\n\r\nbusy\n";
        (void)::send(sock, kBusy, sizeof(kBusy) - 1, MSG_NOSIGNAL | MSG_DONTWAIT);
        ::shutdown(sock, SHUT_RDWR);
        ::close(sock);
        return false;
    }
    TBoundedStream stream(sock, limits_);
    const auto stopped = [this] { return svr_sock_ == INVALID_SOCKET; };
    bool ok = true;
    for (size_t left = limits_.KeepAliveRequests; left > 0 && !stopped(); --left) {
        if (!stream.WaitForRequest(stopped))
            break;
        stream.BeginRequest();
        bool closed = false;
        tlsCloseAfter = false;
        ok = process_request(stream, left == 1, closed, nullptr);
        if (!ok || closed || stream.Broken() || tlsCloseAfter)
            break;
    }
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return ok;
}

} // namespace tunola::service
