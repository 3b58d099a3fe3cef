#pragma once
// A small HTTP/1.0 server on 127.0.0.1 for network stream and web client tests.
//
// Threads: one accept thread plus one thread per connection; the route table is fixed before
// Start, and `stop_` tells every thread to finish. Stop (or the destructor) joins them all.

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tunaudio::test {

struct THttpRoute {
    int status = 200;
    std::string contentType = "application/octet-stream";
    std::string body;
    bool sendLength = true;                // false: no Content-Length, close at the end
    size_t chunk = 16 << 10;               // bytes per write
    std::chrono::milliseconds pause{0};    // between chunks
    size_t stallAfter = std::string::npos; // stop sending (but keep the connection) here
    std::string location;                  // for 3xx
    bool endless = false;                  // the body again and again, for ever
    size_t headerBytes = 0;                // one header line this long before the blank line
    size_t resetAfter = std::string::npos; // reset the connection (RST) after this much body
    bool chunked = false;                  // HTTP/1.1 with Transfer-Encoding: chunked
    int failFirst = 0;                     // answer the first this many requests with 503
    int plainFirst = 0;                    // answer the first this many with 200 and firstBody
    std::string firstBody;
};

// What a client sent (the last request the server read).
struct THttpRequest {
    std::string method;
    std::string path;
    std::string head; // request line and header lines, as received
    std::string body; // by Content-Length
};

class THttpTestServer {
public:
    THttpTestServer() = default;
    ~THttpTestServer();
    THttpTestServer(const THttpTestServer&) = delete;
    THttpTestServer& operator=(const THttpTestServer&) = delete;

    void Route(const std::string& path, THttpRoute route) { routes_[path] = std::move(route); }
    // The answer to every path without a route of its own (404 unless set).
    void RouteOthers(THttpRoute route) { others_ = std::move(route); }
    // Listens on an ephemeral port. With `silent`, connections are never accepted or answered
    // (a dead server whose port still takes connections).
    bool Start(bool silent = false);
    void Stop();
    int Port() const { return port_; }
    std::string Url(const std::string& path) const;
    int Requests() const { return requests_.load(); }
    THttpRequest LastRequest() const;

private:
    static THttpRoute NotFound() {
        THttpRoute r;
        r.status = 404;
        r.body = "not found";
        return r;
    }
    void AcceptLoop();
    void Serve(int fd);
    bool SleepUnlessStopped(std::chrono::milliseconds duration);

    std::map<std::string, THttpRoute> routes_;
    THttpRoute others_ = NotFound();
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> requests_{0};
    mutable std::mutex lastMutex_;
    THttpRequest last_;
    std::map<std::string, int> hits_; // requests per path, guarded by lastMutex_
    std::thread acceptThread_;
    std::mutex workersMutex_;
    std::vector<std::thread> workers_;
};

// A port that nothing listens on: bound once, then closed.
inline int DeadPort() {
    THttpTestServer s;
    s.Start(true);
    const int port = s.Port();
    s.Stop();
    return port;
}

} // namespace tunaudio::test
