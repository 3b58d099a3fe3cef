#include "Similarity.h"

#include "TextCodec.h"

#include <vector>

namespace tunola {

namespace {

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Letters that sound alike share a class; 0 means the letter matches only itself.
int SoundClass(char upper) {
    switch (upper) {
    case 'A':
    case 'E':
        return 1;
    case 'B':
    case 'P':
        return 2;
    case 'C':
    case 'Z':
        return 3;
    case 'D':
    case 'T':
        return 4;
    case 'F':
    case 'V':
        return 5;
    case 'G':
    case 'K':
        return 6;
    case 'I':
    case 'J':
    case 'Y':
        return 7;
    default:
        return 0;
    }
}

} // namespace

bool CharsAlike(char a, char b, bool alike) {
    if (!alike)
        return a == b;
    a = UpperAscii(a);
    b = UpperAscii(b);
    if (a == b)
        return true;
    const int cls = SoundClass(a);
    return cls != 0 && cls == SoundClass(b);
}

int Similarity(std::string_view s1, std::string_view s2, bool alike) {
    if (s1.empty() || s2.empty())
        return 0;
    const std::string_view a = s1.size() >= s2.size() ? s1 : s2;
    const std::string_view b = s1.size() >= s2.size() ? s2 : s1;
    const long la = static_cast<long>(a.size());
    const long lb = static_cast<long>(b.size());
    const long window = la / 3 + (la - lb);

    // Positions are 1-based as in the description of the walk: i runs over A, j over B.
    std::vector<bool> marked(static_cast<size_t>(la) + 1, false);
    long highestMarked = 0;
    long i = 1;
    long j = 1;
    long count = 0;
    // When i runs off the end of A, go on with the next byte of B from the last match.
    auto goBack = [&] {
        i = highestMarked > 0 ? highestMarked : 1;
        ++j;
    };
    while (j <= lb) {
        if (marked[static_cast<size_t>(i)]) {
            if (++i > la)
                goBack();
        } else if (CharsAlike(a[static_cast<size_t>(i - 1)], b[static_cast<size_t>(j - 1)],
                              alike) &&
                   (i > j ? i - j : j - i) <= window) {
            marked[static_cast<size_t>(i)] = true;
            if (i > highestMarked)
                highestMarked = i;
            ++count;
            ++i;
            ++j;
            if (i > la)
                i = 1;
        } else if (++i > la) {
            goBack();
        }
    }
    return static_cast<int>(count * 100 / la);
}

std::string LowerAscii(std::string_view utf8) {
    std::string out(utf8);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string MatchBytes(std::string_view utf8) {
    return Utf8ToGb18030(LowerAscii(utf8));
}

} // namespace tunola
