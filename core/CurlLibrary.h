#pragma once
// libcurl, loaded when the first transfer starts rather than with the program: with the TLS,
// SSH, LDAP and RTMP libraries it brings, it adds several megabytes to every process, and most
// sessions never open an address. Everything of the program that talks to libcurl goes
// through this table (the web client, the audio library's network source).

#include <curl/curl.h>

namespace tunola {

struct TCurlApi {
    CURL* (*easyInit)();
    void (*easyCleanup)(CURL*);
    CURLcode (*easySetopt)(CURL*, CURLoption, ...);
    CURLcode (*easyPerform)(CURL*);
    CURLcode (*easyGetinfo)(CURL*, CURLINFO, ...);
    const char* (*easyStrerror)(CURLcode);
    CURLM* (*multiInit)();
    CURLMcode (*multiCleanup)(CURLM*);
    CURLMcode (*multiAddHandle)(CURLM*, CURL*);
    CURLMcode (*multiRemoveHandle)(CURLM*, CURL*);
    CURLMcode (*multiPerform)(CURLM*, int*);
    CURLMcode (*multiPoll)(CURLM*, struct curl_waitfd*, unsigned int, int, int*);
    CURLMcode (*multiWakeup)(CURLM*);
    CURLMsg* (*multiInfoRead)(CURLM*, int*);
    curl_slist* (*slistAppend)(curl_slist*, const char*);
    void (*slistFreeAll)(curl_slist*);
    // Frees the TLS library's state for the calling thread (OpenSSL's OPENSSL_thread_stop; null
    // with another TLS library). A pool thread that outlives its transfer calls it when the
    // transfer is done: OpenSSL frees that state only when a thread ends, and at exit its own
    // clean-up, which runs before an idle thread is told to end, forgets the state of every
    // thread still alive.
    void (*threadStop)();
};

// Loads libcurl and runs its global set-up once (any thread); null when it cannot be loaded.
const TCurlApi* Curl();

} // namespace tunola
