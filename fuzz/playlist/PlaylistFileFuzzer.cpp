// Playlist files from disk. Whatever the bytes:
//  - reading never crashes;
//  - the lazy document (streamed load, list dropped while parsing, entries spliced in as text)
//    reads and writes exactly what the plain tree does;
//  - a list that was read survives being written and read again unchanged, since the list is
//    saved after every change.

#include "FloatText.h"
#include "MoPlist.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

using namespace tunola;

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

bool SameRecords(const std::vector<TPList>& a, TMoPlist& b) {
    if (b.Count() != static_cast<int>(a.size()))
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const TPList& r = *b.Items(static_cast<int>(i));
        if (a[i].Title != r.Title || a[i].Artist != r.Artist || a[i].Path != r.Path ||
            a[i].Url != r.Url || FloatToStr(a[i].Ltime) != FloatToStr(r.Ltime))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const auto lazy = TMoPlist::FromBytes(bytes, "DefaultList");
    const auto eager = TMoPlist::FromBytes(bytes, "DefaultList", true);
    lazy->LoadList("PlayerList");
    eager->LoadList("PlayerList");
    Require(lazy->LoadFailed() == eager->LoadFailed());
    const std::vector<TPList> records = eager->TakeRecords();
    Require(SameRecords(records, *lazy));

    // Save: replace the list with what was read.
    const auto lazySave = TMoPlist::FromBytes(bytes, "DefaultList");
    lazySave->ClearList("PlayerList");
    eager->ClearList("PlayerList");
    for (const TPList& r : records) {
        lazySave->AddEntry("PlayerList/LIST", r.Title, r.Artist, r.Url, r.Path, r.Ltime);
        eager->AddEntry("PlayerList/LIST", r.Title, r.Artist, r.Url, r.Path, r.Ltime);
    }
    const std::string saved = eager->ToBytes();
    Require(lazySave->ToBytes() == saved);

    const auto again = TMoPlist::FromBytes(saved, "DefaultList");
    again->LoadList("PlayerList");
    Require(!again->LoadFailed());
    Require(SameRecords(records, *again));

    // Adding to a list that is kept, as a later version of the file might ask for.
    const auto lazyAdd = TMoPlist::FromBytes(bytes, "DefaultList");
    const auto eagerAdd = TMoPlist::FromBytes(bytes, "DefaultList", true);
    for (auto* list : {lazyAdd.get(), eagerAdd.get()}) {
        list->AddEntry("PlayerList/LIST", "t", "a", "1", "p", 0.5);
        list->AddEntry("PlayerList/LIST", "t2", "", "0", "p2", 0);
    }
    Require(lazyAdd->ToBytes() == eagerAdd->ToBytes());
    return 0;
}
