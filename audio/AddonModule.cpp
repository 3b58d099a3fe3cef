#include "AddonModule.h"

#include <algorithm>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace tunaudio {

namespace {

void* OpenLibrary(const std::string& path) {
#ifdef _WIN32
    const int n = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    if (n <= 0)
        return nullptr;
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), n);
    return LoadLibraryW(wide.c_str());
#else
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
}

void* FindSymbol(void* library, const char* name) {
#ifdef _WIN32
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
#else
    return dlsym(library, name);
#endif
}

void CloseLibrary(void* library) {
#ifdef _WIN32
    FreeLibrary(static_cast<HMODULE>(library));
#else
    dlclose(library);
#endif
}

struct LibraryCloser {
    void operator()(void* library) const { CloseLibrary(library); }
};

// The add-on reads through these; the context is our byte source.
size_t SourceRead(void* context, void* buffer, size_t size) {
    return static_cast<TByteSource*>(context)->Read(buffer, size);
}
int SourceSeek(void* context, int64_t offset) {
    return static_cast<TByteSource*>(context)->Seek(offset) ? 0 : -1;
}
int64_t SourceTell(void* context) {
    return static_cast<TByteSource*>(context)->Tell();
}
int64_t SourceSize(void* context) {
    return static_cast<TByteSource*>(context)->Size();
}

class TAddonDecoder final : public TDecoder {
public:
    TAddonDecoder(std::shared_ptr<TAddonModule> module, std::unique_ptr<TunAddonSource> source,
                  void* stream, const TunAddonStreamInfo& info)
        : module_(std::move(module)), source_(std::move(source)), stream_(stream), info_(info) {}
    ~TAddonDecoder() override { module_->Table().close(stream_); }

    TContainer Container() const override { return TContainer::Addon; }
    int Rate() const override { return info_.rate; }
    int Channels() const override { return info_.channels; }
    int64_t LengthFrames() const override { return info_.frames; }

    long Read(float* out, long frames) override {
        const long got = module_->Table().read(stream_, out, frames);
        return std::clamp(got, 0L, frames);
    }
    bool Seek(int64_t frame) override { return module_->Table().seek(stream_, frame) == 0; }
    bool CanSeek() const override { return source_->seekable != 0; }

    std::string Tag(const std::string& key) const override {
        if (!module_->Table().tag)
            return {};
        std::vector<char> text(1024);
        const size_t n = module_->Table().tag(stream_, key.c_str(), text.data(), text.size());
        return std::string(text.data(), std::min(n, text.size() - 1));
    }

private:
    std::shared_ptr<TAddonModule> module_;   // keeps the code loaded while the stream lives
    std::unique_ptr<TunAddonSource> source_; // the add-on holds a pointer to it
    void* stream_;
    TunAddonStreamInfo info_;
};

} // namespace

std::shared_ptr<TAddonModule> TAddonModule::Load(const std::string& path) {
    std::unique_ptr<void, LibraryCloser> library(OpenLibrary(path));
    if (!library)
        return nullptr;
    auto entry = reinterpret_cast<TunAddonEntry>(FindSymbol(library.get(), TUN_ADDON_ENTRY_NAME));
    if (!entry)
        return nullptr;
    const TunAddon* table = entry();
    if (!table || table->api_version != TUN_ADDON_API_VERSION || !table->open || !table->read ||
        !table->seek || !table->close || table->format_count < 0 ||
        (table->format_count > 0 && !table->formats))
        return nullptr;
    return std::shared_ptr<TAddonModule>(new TAddonModule(library.release(), table));
}

TAddonModule::~TAddonModule() {
    CloseLibrary(library_);
}

std::unique_ptr<TDecoder> TAddonModule::Open(TByteSource& source) {
    auto table = std::make_unique<TunAddonSource>();
    table->context = &source;
    table->read = SourceRead;
    table->seek = SourceSeek;
    table->tell = SourceTell;
    table->size = SourceSize;
    table->seekable = source.Seekable() ? 1 : 0;
    TunAddonStreamInfo info{0, 0, -1};
    void* stream = table_->open(table.get(), &info);
    if (!stream)
        return nullptr;
    if (info.rate <= 0 || info.rate > 384000 || info.channels < 1 || info.channels > 8) {
        table_->close(stream);
        return nullptr;
    }
    return std::make_unique<TAddonDecoder>(shared_from_this(), std::move(table), stream, info);
}

} // namespace tunaudio
