// Whole requests as a client sends them, through the service's bounded connection handling and
// the HTTP library's parser, to handlers that decode query and form the way the service does.
// The input is written to one end of a socket pair and the server serves the other end.

#include "BoundedServer.h"
#include "HttpForm.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace tunola::service;

namespace {

TBoundedServer& Server() {
    static TBoundedServer* server = [] {
        TServerLimits limits;
        limits.ReadTimeout = std::chrono::milliseconds(50);
        limits.RequestDeadline = std::chrono::milliseconds(200);
        limits.KeepAliveTimeout = std::chrono::milliseconds(50);
        auto* s = new TBoundedServer(limits);
        s->set_payload_max_length(1 << 16);
        s->Get(".*", [](const httplib::Request& req, httplib::Response& res) {
            const TFormFields fields = ParseForm(QueryOf(req.target));
            std::string out;
            for (const auto& [k, v] : fields)
                out += FormText(k) + "=" + FormText(v) + "\n";
            res.set_content(out, "text/plain");
        });
        s->Post(".*", [](const httplib::Request&, httplib::Response& res,
                         const httplib::ContentReader& reader) {
            std::string body;
            reader([&](const char* d, size_t n) {
                if (body.size() + n > (1 << 16))
                    return false;
                body.append(d, n);
                return true;
            });
            res.set_content(std::to_string(ParseForm(body).size()), "text/plain");
        });
        // Serving needs a listening socket, which says the server runs; nothing connects to it.
        if (s->Bind("127.0.0.1", 0) <= 0)
            std::abort();
        return s;
    }();
    return *server;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TBoundedServer& server = Server();
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, pair) != 0)
        return 0;
    int sndbuf = 1 << 20;
    setsockopt(pair[0], SOL_SOCKET, SO_SNDBUF, &sndbuf, sizeof sndbuf);
    setsockopt(pair[1], SOL_SOCKET, SO_SNDBUF, &sndbuf, sizeof sndbuf);
    if (size > 0 && write(pair[0], data, size) < 0) {
        close(pair[0]);
        close(pair[1]);
        return 0;
    }
    shutdown(pair[0], SHUT_WR);      // the client is done: end of input
    server.ServeConnection(pair[1]); // closes pair[1]
    close(pair[0]);
    return 0;
}
