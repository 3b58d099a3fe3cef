#include "CurlLibrary.h"

#include <dlfcn.h>

#include <mutex>

namespace tunola {

namespace {

template <typename F> bool Bind(void* module, const char* name, F& fn) {
    fn = reinterpret_cast<F>(dlsym(module, name));
    return fn != nullptr;
}

const TCurlApi* Load() {
    void* module = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    if (!module)
        return nullptr;
    static TCurlApi api;
    CURLcode (*globalInit)(long) = nullptr;
    if (!Bind(module, "curl_easy_init", api.easyInit) ||
        !Bind(module, "curl_easy_cleanup", api.easyCleanup) ||
        !Bind(module, "curl_easy_setopt", api.easySetopt) ||
        !Bind(module, "curl_easy_perform", api.easyPerform) ||
        !Bind(module, "curl_easy_getinfo", api.easyGetinfo) ||
        !Bind(module, "curl_easy_strerror", api.easyStrerror) ||
        !Bind(module, "curl_multi_init", api.multiInit) ||
        !Bind(module, "curl_multi_cleanup", api.multiCleanup) ||
        !Bind(module, "curl_multi_add_handle", api.multiAddHandle) ||
        !Bind(module, "curl_multi_remove_handle", api.multiRemoveHandle) ||
        !Bind(module, "curl_multi_perform", api.multiPerform) ||
        !Bind(module, "curl_multi_poll", api.multiPoll) ||
        !Bind(module, "curl_multi_wakeup", api.multiWakeup) ||
        !Bind(module, "curl_multi_info_read", api.multiInfoRead) ||
        !Bind(module, "curl_slist_append", api.slistAppend) ||
        !Bind(module, "curl_slist_free_all", api.slistFreeAll) ||
        !Bind(module, "curl_global_init", globalInit) ||
        globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        dlclose(module);
        return nullptr;
    }
    // Found among libcurl's own dependencies when it is built with OpenSSL.
    Bind(module, "OPENSSL_thread_stop", api.threadStop);
    return &api; // stays loaded: transfers may run until the process ends
}

} // namespace

const TCurlApi* Curl() {
    static std::once_flag once;
    static const TCurlApi* api = nullptr;
    std::call_once(once, [] { api = Load(); });
    return api;
}

} // namespace tunola
