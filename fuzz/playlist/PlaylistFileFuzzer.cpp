// Playlist files from disk: whatever the bytes, reading must not crash, and a list that was read
// must survive being written and read again unchanged (the save after every change depends on
// it).

#include "FloatText.h"
#include "MoPlist.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

using namespace tunola;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto read = TMoPlist::FromBytes(bytes, "DefaultList");
    read->LoadList("PlayerList");

    // Write the records back into the same document, as a save does.
    std::vector<TPList> records;
    for (int i = 0; i < read->Count(); ++i)
        records.push_back(*read->Items(i));
    read->ClearList("PlayerList");
    for (const TPList& r : records)
        read->AddEntry("PlayerList/LIST", r.Title, r.Artist, r.Url, r.Path, r.Ltime);
    const std::string saved = read->ToBytes();

    const auto again = TMoPlist::FromBytes(saved, "DefaultList");
    if (again->LoadFailed())
        std::abort(); // a saved list must always read
    again->LoadList("PlayerList");
    if (again->Count() != static_cast<int>(records.size()))
        std::abort();
    for (int i = 0; i < again->Count(); ++i) {
        const TPList& a = records[static_cast<size_t>(i)];
        const TPList& b = *again->Items(i);
        if (a.Title != b.Title || a.Artist != b.Artist || a.Path != b.Path || a.Url != b.Url ||
            FloatToStr(a.Ltime) != FloatToStr(b.Ltime))
            std::abort();
    }
    return 0;
}
