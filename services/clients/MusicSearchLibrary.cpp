// msearch: the music-search library the player loads at run time. Its one export makes the
// object; nothing else leaves the library (it is linked with hidden symbols).

#include "MusicSearchClient.h"
#include "ServiceFactories.h"

#include <cstring>
#include <new>

TUNOLA_SERVICE_EXPORT tunola::IMusicSearch* MUSIC_SEARCH_CreateObj(const char* interfaceId,
                                                                   const char* host) {
    if (!interfaceId || std::strcmp(interfaceId, tunola::kMusicSearchInterfaceId) != 0 || !host ||
        !*host)
        return nullptr;
    try {
        return new tunola::TMusicSearchClient(host);
    } catch (...) {
        return nullptr;
    }
}
