#include "CurlLibrary.h"

#include <dlfcn.h>

#include <mutex>

namespace tunaudio {

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
        !Bind(module, "curl_global_init", globalInit) ||
        globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        dlclose(module);
        return nullptr;
    }
    return &api; // stays loaded: downloads may run until the process ends
}

} // namespace

const TCurlApi* Curl() {
    static std::once_flag once;
    static const TCurlApi* api = nullptr;
    std::call_once(once, [] { api = Load(); });
    return api;
}

} // namespace tunaudio
