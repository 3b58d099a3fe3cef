#pragma once
// Plain HTTP for the web client (WebClient.h): GET and form POST over a socket of our own, for
// "http://" addresses, which are all the service's. libcurl stays for "https://": loading it
// maps libcurl with its TLS, SSH, LDAP, Kerberos and RTMP libraries (about 8.5 MiB resident),
// and the player checks its service from the first seconds of every start.
//
// Same rules as the libcurl path: the bounds of TWebBounds (connect, stall, total, size), at
// most 5 redirects and only to http or https (https ones go on over libcurl), the agent name,
// no cookies, chunked and length-delimited bodies, cancellation through TWebCancel.
//
// Threads: blocks the calling thread; a name that is not a numeric address is resolved on a
// short-lived thread of its own, so the connect bound covers resolution too; that thread shares
// nothing with the call but its own result, which it drops if the call has given up.

#include "WebClient.h"

#include <string>

namespace tunola {

struct TPlainRequest {
    std::string url;          // "http://host[:port]/path"
    bool post = false;        // a form POST (HTTP/1.0) instead of a GET (HTTP/1.1)
    std::string body;         // the form body of a POST
    std::string extraHeaders; // whole lines, each ending in "\r\n"
};

// True when `url` is one this transport takes ("http://", any case).
bool IsPlainHttpUrl(const std::string& url);

TWebResponse PlainHttpRequest(TPlainRequest request, const TWebBounds& bounds,
                              TWebCancel* cancel);

} // namespace tunola
