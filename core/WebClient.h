#pragma once
// The player's web client: a GET into a string, a form POST, URL splitting and percent
// encoding, with one set of bounds for every call. "http://" addresses go over a socket of our
// own (PlainHttp.h), "https://" ones over libcurl, which is loaded only then.
//
// Threads: every call blocks the thread that makes it (a worker thread, never the UI thread)
// and uses its own libcurl handles; nothing is shared between calls except a TWebCancel the
// caller passes, whose Cancel() may be called from any thread and ends the call at once.
//
// Text is bytes: URLs, bodies and results are byte strings (GBK on the service's wire);
// nothing here converts them.

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

typedef void CURL;

namespace tunola {

// Limits of one call. A dead server fails within `connectMs`, a silent or stalled one within
// `stallMs` of its last byte, a trickling one within `totalMs`, a huge answer at `maxBytes`.
struct TWebBounds {
    int connectMs = 5000; // name resolution and connection
    int stallMs = 10000;  // no byte received for this long
    int totalMs = 30000;  // the whole call
    size_t maxBytes = 4u << 20;
};

// Cancels the calls that were given it, from any thread: a call running now returns within a
// few milliseconds, and every later call with the same handle fails at once (until Reset).
class TWebCancel {
public:
    TWebCancel() = default;
    TWebCancel(const TWebCancel&) = delete;
    TWebCancel& operator=(const TWebCancel&) = delete;

    void Cancel();
    void Reset();
    bool Cancelled() const { return cancelled_.load(); }

    // Used by the calls: a registered transfer is woken by Cancel (a libcurl multi handle, or
    // an eventfd that the plain HTTP transport polls beside its socket).
    bool Register(void* multi);
    void Unregister(void* multi);
    bool RegisterWakeFd(int fd);
    void UnregisterWakeFd(int fd);

private:
    std::atomic<bool> cancelled_{false};
    std::mutex mutex_;
    std::vector<void*> active_;
    std::vector<int> wakeFds_;
};

struct TWebResponse {
    bool ok = false;  // completed with a status below 400 and within the bounds
    long status = 0;  // HTTP status, 0 when none arrived
    std::string body; // the bytes received (empty unless ok)
    std::string error;
};

// Our own agent name, "Tunola/<version>".
std::string WebAgentName();

struct TCurlApi;
// The options every libcurl transfer of the program shares (the audio library's network source
// too): the address, no signals, http and https only (redirects included, at most 5 followed),
// the connect time-out, our agent name; the cookie engine stays off. `api` is Curl()'s table
// (CurlLibrary.h: libcurl is loaded on the first transfer).
void ApplyWebDefaults(const TCurlApi& api, CURL* curl, const std::string& url, int connectMs);

// GET `url` (trimmed). The whole answer with its status; empty body on any failure.
TWebResponse WebGetResponse(const std::string& url, const TWebBounds& bounds = {},
                            TWebCancel* cancel = nullptr);
// GET `url` into a string: the body up to its first zero byte; empty on failure, on an HTTP
// error status, past a bound or when cancelled.
std::string WebGet(const std::string& url, const TWebBounds& bounds = {},
                   TWebCancel* cancel = nullptr);
// POST `body` as application/x-www-form-urlencoded (HTTP/1.0, "Accept: */*") to the host and
// object path SplitUrl finds in `url` (the host's port, 80 when it names none). Exactly the
// bytes of the answer; empty on failure, on an HTTP error status, past a bound or when
// cancelled — never a partial answer.
std::string WebPostForm(const std::string& url, const std::string& body,
                        const TWebBounds& bounds = {}, TWebCancel* cancel = nullptr);
TWebResponse WebPostFormResponse(const std::string& url, const std::string& body,
                                 const TWebBounds& bounds = {}, TWebCancel* cancel = nullptr);

struct TSplitUrl {
    std::string host;   // "name" or "name:port"
    std::string object; // the path after the host's "/", without that "/"
};
// Drops a leading "http://" (any case); the host is the text before the first "/", the object
// path the text after it. Without a "/" the host is empty and the whole text is the object.
TSplitUrl SplitUrl(const std::string& url);

// Keeps ASCII letters and digits; every other byte becomes "%" and two upper-case hex digits.
std::string UrlEncode(const std::string& text);
// Stops at the first "&"; "+" is a space; "%" takes the two characters after it whatever they
// are, and their value as hexadecimal read up to the first character that is not a hex digit
// (0 when the first is not one) becomes one byte; other bytes are kept.
std::string UrlDecode(const std::string& text);

} // namespace tunola
