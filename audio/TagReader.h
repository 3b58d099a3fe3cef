#pragma once
// Title and artist of a file through TagLib, chosen by the container the decoder found (not by
// the file name). Text comes back as UTF-8, legacy encodings decoded (see TagText.h).

#include "Decoder.h"

#include <string>

namespace tunaudio {

struct TTags {
    std::string title;
    std::string artist;
};

// `path` is UTF-8. Missing tags, unreadable files and containers without tags give empty text.
TTags ReadFileTags(const std::string& path, TContainer container);
// The same for a file held in memory.
TTags ReadMemoryTags(const std::string& bytes, TContainer container);

} // namespace tunaudio
