#pragma once
// A loaded decoder add-on: the shared library and its table. Streams opened through an add-on
// keep the module alive, so freeing the add-on's handle never unloads code a stream still runs.

#include "AddonApi.h"
#include "ByteSource.h"
#include "Decoder.h"

#include <memory>
#include <string>

namespace tunaudio {

class TAddonModule : public std::enable_shared_from_this<TAddonModule> {
public:
    // Loads the shared library at `path` and checks its table. Null when it is not an add-on.
    static std::shared_ptr<TAddonModule> Load(const std::string& path);
    ~TAddonModule();
    TAddonModule(const TAddonModule&) = delete;
    TAddonModule& operator=(const TAddonModule&) = delete;

    const TunAddon& Table() const { return *table_; }
    // Null when the add-on does not take these bytes. `source` must outlive the decoder.
    std::unique_ptr<TDecoder> Open(TByteSource& source);

private:
    TAddonModule(void* library, const TunAddon* table) : library_(library), table_(table) {}

    void* library_;
    const TunAddon* table_;
};

} // namespace tunaudio
