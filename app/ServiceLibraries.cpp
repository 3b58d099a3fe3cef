#include "ServiceLibraries.h"

#include "ILyricDown.h"
#include "IMusicSearch.h"
#include "PluginLibrary.h"

#include <utility>

namespace tunola {

template <class T>
TServiceObject<T> TServiceObject<T>::Load(const std::string& file, const char* factory,
                                          const char* interfaceId, const std::string& host) {
    TServiceObject holder;
    holder.library_ = OpenPluginLibrary(file);
    if (!holder.library_)
        return holder;
    if (auto make = reinterpret_cast<TFactory>(PluginLibrarySymbol(holder.library_, factory)))
        holder.object_ = make(interfaceId, host.c_str());
    if (!holder.object_)
        holder.Reset(); // nothing to keep the library for
    return holder;
}

template <class T> void TServiceObject<T>::Reset() {
    // The object's code is in the library: it goes first.
    delete std::exchange(object_, nullptr);
    if (void* library = std::exchange(library_, nullptr))
        ClosePluginLibrary(library);
}

template class TServiceObject<ILyricDown>;
template class TServiceObject<IMusicSearch>;

TServiceLibraries::TServiceLibraries(std::string programDir, std::string host)
    : programDir_(std::move(programDir)), host_(std::move(host)) {}

ILyricDown* TServiceLibraries::LoadLyricDown() {
    if (!lyricDown_.Get())
        lyricDown_ =
            TServiceObject<ILyricDown>::Load(programDir_ + kLyricDownLibrary + kPluginSuffix,
                                             kLyricDownFactory, kLyricDownInterfaceId, host_);
    return lyricDown_.Get();
}

IMusicSearch* TServiceLibraries::MusicSearch() {
    if (!musicSearchTried_) {
        musicSearchTried_ = true;
        musicSearch_ =
            TServiceObject<IMusicSearch>::Load(programDir_ + kMusicSearchLibrary + kPluginSuffix,
                                               kMusicSearchFactory, kMusicSearchInterfaceId, host_);
    }
    return musicSearch_.Get();
}

} // namespace tunola
