#pragma once
// libcurl, loaded when the first download starts rather than with the program: with the TLS,
// SSH, LDAP and RTMP libraries it brings, it adds several megabytes to every process, and most
// sessions never open an address.

#include <curl/curl.h>

namespace tunaudio {

struct TCurlApi {
    CURL* (*easyInit)();
    void (*easyCleanup)(CURL*);
    CURLcode (*easySetopt)(CURL*, CURLoption, ...);
    CURLcode (*easyPerform)(CURL*);
    CURLcode (*easyGetinfo)(CURL*, CURLINFO, ...);
};

// Loads libcurl and runs its global set-up once (any thread); null when it cannot be loaded.
const TCurlApi* Curl();

} // namespace tunaudio
