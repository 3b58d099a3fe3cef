// lrcdown: the lyric-download library the player loads at run time. Its one export makes the
// object; nothing else leaves the library (it is linked with hidden symbols).

#include "LyricDownClient.h"
#include "ServiceFactories.h"

#include <cstring>
#include <new>

TUNOLA_SERVICE_EXPORT tunola::ILyricDown* LRC_CreateObj(const char* interfaceId, const char* host) {
    if (!interfaceId || std::strcmp(interfaceId, tunola::kLyricDownInterfaceId) != 0 || !host ||
        !*host)
        return nullptr;
    try {
        return new tunola::TLyricDownClient(host);
    } catch (...) {
        return nullptr;
    }
}
