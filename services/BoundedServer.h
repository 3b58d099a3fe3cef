#pragma once
// cpp-httplib's server with the bounds a service facing a network needs and the library leaves
// out: the request head (request line and all header lines together) is capped, a whole
// request must arrive within a deadline however slowly it trickles in, and only a fixed number
// of connections are served or waiting at once; the ones beyond get 503 straight away.
//
// Threads: the accept loop runs on the thread that calls listen_after_bind (main); each
// connection is served on one of `threads` workers. A connection that finds every worker busy
// and the waiting line full is answered on the accept thread without reading it, so a flood
// never blocks accepting.

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tunola::service {

struct TServerLimits {
    size_t Threads = 64;                              // connections served at once
    size_t Queue = 128;                               // connections waiting for a worker
    size_t MaxHeadBytes = 16384;                      // request line + headers
    std::chrono::milliseconds ReadTimeout{5000};      // silence while a request arrives
    std::chrono::milliseconds RequestDeadline{30000}; // a whole request head and body
    std::chrono::milliseconds WriteTimeout{30000};    // a client that stops reading
    std::chrono::milliseconds KeepAliveTimeout{5000}; // idle time between requests
    size_t KeepAliveRequests = 100;
};

class TBoundedServer : public httplib::Server {
public:
    explicit TBoundedServer(TServerLimits limits);
    ~TBoundedServer() override;

    // Called from a handler on a worker: the connection closes after this request's answer
    // (for answers given before the body was read).
    static void CloseAfterThisRequest();

    // Serves one connected socket on the calling thread, with every bound, and closes it (what
    // a worker does with an accepted connection; the request fuzz target feeds it directly).
    bool ServeConnection(int sock) { return process_and_close_socket(sock); }

    // Binds, widens the listen backlog, returns the port (or -1).
    int Bind(const std::string& host, int port);

private:
    bool process_and_close_socket(socket_t sock) override;

    TServerLimits limits_;
};

} // namespace tunola::service
