#include "WebClient.h"

#include "PercentCoding.h"

#include "FileVersion.h"

#include "CurlLibrary.h"
#include "PlainHttp.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <memory>

namespace tunola {

namespace {

using Clock = std::chrono::steady_clock;

struct EasyDeleter {
    const TCurlApi* api;
    void operator()(CURL* c) const { api->easyCleanup(c); }
};
struct MultiDeleter {
    const TCurlApi* api;
    void operator()(CURLM* m) const { api->multiCleanup(m); }
};
struct SlistDeleter {
    const TCurlApi* api;
    void operator()(curl_slist* l) const { api->slistFreeAll(l); }
};
using TEasy = std::unique_ptr<CURL, EasyDeleter>;
using TSlist = std::unique_ptr<curl_slist, SlistDeleter>;

struct TTransfer {
    std::string body;
    size_t maxBytes = 0;
    bool overCap = false;
    Clock::time_point lastByte;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<TTransfer*>(user);
    const size_t n = size * count;
    if (t->body.size() + n > t->maxBytes) {
        t->overCap = true;
        return 0; // ends the transfer with CURLE_WRITE_ERROR
    }
    t->body.append(data, n);
    t->lastByte = Clock::now();
    return n;
}

// Runs the prepared handle under the bounds and the cancel handle.
TWebResponse Perform(const TCurlApi& api, CURL* easy, const TWebBounds& bounds,
                     TWebCancel* cancel) {
    TWebResponse response;
    TTransfer transfer;
    transfer.maxBytes = bounds.maxBytes;
    api.easySetopt(easy, CURLOPT_WRITEFUNCTION, WriteBody);
    api.easySetopt(easy, CURLOPT_WRITEDATA, &transfer);
    // libcurl's own total bound as a second line behind the loop's.
    api.easySetopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(std::max(1, bounds.totalMs)));
    // A server that declares more than the cap is refused before its body.
    api.easySetopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(bounds.maxBytes));

    std::unique_ptr<CURLM, MultiDeleter> multi(api.multiInit(), MultiDeleter{&api});
    if (!multi) {
        response.error = "no multi handle";
        return response;
    }
    if (cancel && !cancel->Register(multi.get())) {
        response.error = "cancelled";
        return response;
    }
    api.multiAddHandle(multi.get(), easy);

    const auto start = Clock::now();
    transfer.lastByte = start;
    const auto total = std::chrono::milliseconds(std::max(1, bounds.totalMs));
    const auto stall = std::chrono::milliseconds(std::max(1, bounds.stallMs));
    CURLcode result = CURLE_OK;
    bool done = false;
    while (!done) {
        int running = 0;
        if (api.multiPerform(multi.get(), &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            response.error = "transfer failed";
            break;
        }
        int queued = 0;
        while (CURLMsg* msg = api.multiInfoRead(multi.get(), &queued)) {
            if (msg->msg == CURLMSG_DONE) {
                result = msg->data.result;
                done = true;
            }
        }
        if (done || running == 0) {
            done = true;
            break;
        }
        const auto now = Clock::now();
        if (cancel && cancel->Cancelled()) {
            response.error = "cancelled";
            break;
        }
        if (now - start >= total) {
            response.error = "total time-out";
            break;
        }
        if (now - transfer.lastByte >= stall) {
            response.error = "stalled";
            break;
        }
        // Wake at the next deadline at the latest; Cancel wakes the poll at once.
        const auto untilTotal = total - (now - start);
        const auto untilStall = stall - (now - transfer.lastByte);
        const auto wait = std::min({std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::min(untilTotal, untilStall)),
                                    std::chrono::milliseconds(1000)});
        api.multiPoll(multi.get(), nullptr, 0, static_cast<int>(std::max<int64_t>(1, wait.count())),
                      nullptr);
    }
    if (done) {
        api.easyGetinfo(easy, CURLINFO_RESPONSE_CODE, &response.status);
        if (transfer.overCap || result == CURLE_FILESIZE_EXCEEDED)
            response.error = "answer over the size limit";
        else if (result != CURLE_OK)
            response.error = api.easyStrerror(result);
        else if (response.status >= 400 || response.status == 0)
            response.error = "HTTP status " + std::to_string(response.status);
        else
            response.ok = true;
    }
    api.multiRemoveHandle(multi.get(), easy);
    if (cancel)
        cancel->Unregister(multi.get());
    if (response.ok)
        response.body = std::move(transfer.body);
    return response;
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    return s.substr(b, e - b);
}

} // namespace

void TWebCancel::Cancel() {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    for (int fd : wakeFds_) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(fd, &one, sizeof one);
    }
    if (const TCurlApi* api = active_.empty() ? nullptr : Curl())
        for (void* multi : active_)
            api->multiWakeup(static_cast<CURLM*>(multi));
}

void TWebCancel::Reset() {
    cancelled_ = false;
}

bool TWebCancel::Register(void* multi) {
    std::lock_guard lock(mutex_);
    if (cancelled_)
        return false;
    active_.push_back(multi);
    return true;
}

bool TWebCancel::RegisterWakeFd(int fd) {
    std::lock_guard lock(mutex_);
    if (cancelled_)
        return false;
    wakeFds_.push_back(fd);
    return true;
}

void TWebCancel::UnregisterWakeFd(int fd) {
    std::lock_guard lock(mutex_);
    wakeFds_.erase(std::remove(wakeFds_.begin(), wakeFds_.end(), fd), wakeFds_.end());
}

void TWebCancel::Unregister(void* multi) {
    std::lock_guard lock(mutex_);
    active_.erase(std::remove(active_.begin(), active_.end(), multi), active_.end());
}

std::string WebAgentName() {
    const TFileVersion v = GetFileVersion();
    return "Tunola/" + std::to_string(v.Major) + "." + std::to_string(v.Minor) + "." +
           std::to_string(v.Release) + "." + std::to_string(v.Build);
}

void ApplyWebDefaults(const TCurlApi& api, CURL* c, const std::string& url, int connectMs) {
    static const std::string agent = WebAgentName();
    api.easySetopt(c, CURLOPT_URL, url.c_str());
    api.easySetopt(c, CURLOPT_NOSIGNAL, 1L);
    api.easySetopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    api.easySetopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    api.easySetopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    api.easySetopt(c, CURLOPT_MAXREDIRS, 5L);
    // Covers name resolution too (libcurl resolves on a thread of its own here).
    api.easySetopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::max(1, connectMs)));
    api.easySetopt(c, CURLOPT_USERAGENT, agent.c_str());
}

TWebResponse WebGetResponse(const std::string& url, const TWebBounds& bounds, TWebCancel* cancel) {
    const std::string address = Trim(url);
    if (IsPlainHttpUrl(address))
        return PlainHttpRequest({address, false, {}, "Cache-Control: no-cache\r\n"}, bounds, cancel);
    if (cancel && cancel->Cancelled())
        return {false, 0, {}, "cancelled"};
    const TCurlApi* api = Curl();
    if (!api)
        return {false, 0, {}, "libcurl could not be loaded"};
    TEasy easy(api->easyInit(), EasyDeleter{api});
    if (!easy)
        return {false, 0, {}, "no handle"};
    ApplyWebDefaults(*api, easy.get(), address, bounds.connectMs);
    TSlist headers(api->slistAppend(nullptr, "Cache-Control: no-cache"), SlistDeleter{api});
    api->easySetopt(easy.get(), CURLOPT_HTTPHEADER, headers.get());
    return Perform(*api, easy.get(), bounds, cancel);
}

std::string WebGet(const std::string& url, const TWebBounds& bounds, TWebCancel* cancel) {
    TWebResponse response = WebGetResponse(url, bounds, cancel);
    const size_t zero = response.body.find('\0');
    if (zero != std::string::npos)
        response.body.resize(zero);
    return std::move(response.body);
}

TWebResponse WebPostFormResponse(const std::string& url, const std::string& body,
                                 const TWebBounds& bounds, TWebCancel* cancel) {
    const TSplitUrl parts = SplitUrl(url);
    if (parts.host.empty())
        return {false, 0, {}, "no host in the address"};
    // Always plain HTTP: the host and path are put after "http://".
    return PlainHttpRequest({"http://" + parts.host + "/" + parts.object, true, body,
                             "Content-Type: application/x-www-form-urlencoded\r\n"},
                            bounds, cancel);
}

std::string WebPostForm(const std::string& url, const std::string& body, const TWebBounds& bounds,
                        TWebCancel* cancel) {
    return WebPostFormResponse(url, body, bounds, cancel).body;
}

TSplitUrl SplitUrl(const std::string& url) {
    std::string rest = url;
    static const std::string scheme = "http://";
    if (rest.size() >= scheme.size() &&
        std::equal(scheme.begin(), scheme.end(), rest.begin(),
                   [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); }))
        rest.erase(0, scheme.size());
    const size_t slash = rest.find('/');
    if (slash == std::string::npos)
        return {std::string(), rest};
    return {rest.substr(0, slash), rest.substr(slash + 1)};
}

std::string UrlEncode(const std::string& text) {
    return PercentEncode(text, IsAsciiAlnum);
}

std::string UrlDecode(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size() && text[i] != '&'; ++i) {
        const char ch = text[i];
        if (ch == '%') {
            const size_t first = i + 1;
            const size_t end = std::min(text.size(), i + 3);
            int value = 0;
            for (size_t k = first; k < end; ++k) {
                const int digit = HexDigitValue(text[k]);
                if (digit < 0)
                    break;
                value = value * 16 + digit;
            }
            out += static_cast<char>(value);
            i = end - 1;
        } else if (ch == '+') {
            out += ' ';
        } else {
            out += ch;
        }
    }
    return out;
}

} // namespace tunola
