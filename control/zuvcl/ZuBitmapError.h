#pragma once
// The one exception type of the bitmap code: allocation failures of bitmaps and every reason a
// picture could not be read. The message is the text the caller shows or logs.

#include <stdexcept>
#include <string>

namespace tunola {

class EZuBitmapError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace tunola
