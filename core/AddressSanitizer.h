#pragma once
// TUNOLA_ADDRESS_SANITIZER is defined in builds with AddressSanitizer (GCC says so with
// __SANITIZE_ADDRESS__, Clang through __has_feature).

#if defined(__SANITIZE_ADDRESS__)
#define TUNOLA_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TUNOLA_ADDRESS_SANITIZER 1
#endif
#endif
