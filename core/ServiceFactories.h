#pragma once
// How the player finds its two service libraries: the file names without the platform's ending
// (".so"; they lie beside the audio add-ons in the program folder), the factories they export with
// C linkage, and the interface ids the factories check. A factory returns a new object, or null
// when the id is not its interface, the host is empty or the object cannot be made; it never
// throws. The player deletes the object (its destructor lives in the library) before it unloads the
// library.
//
// `host` is the service's "host" or "host:port" (ServiceAddress.h).

namespace tunola {

class ILyricDown;
class IMusicSearch;

inline constexpr const char* kLyricDownLibrary = "lrcdown";
inline constexpr const char* kMusicSearchLibrary = "msearch";

inline constexpr const char* kLyricDownFactory = "LRC_CreateObj";
inline constexpr const char* kMusicSearchFactory = "MUSIC_SEARCH_CreateObj";

inline constexpr const char* kLyricDownInterfaceId = "{14C0620A-E9D5-43E5-A409-68ECFBDDD9D0}";
inline constexpr const char* kMusicSearchInterfaceId = "{C813FF60-02A0-4C4C-85CF-C08BF613633D}";

// What the libraries put before their factories.
#ifdef _WIN32
#define TUNOLA_SERVICE_EXPORT extern "C" __declspec(dllexport)
#else
#define TUNOLA_SERVICE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

using TLyricDownFactory = ILyricDown* (*)(const char* interfaceId, const char* host);
using TMusicSearchFactory = IMusicSearch* (*)(const char* interfaceId, const char* host);

} // namespace tunola
