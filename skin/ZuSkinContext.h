#pragma once
// What an element applier gets besides its element and its control: the window the control
// lives in, the other controls of that window, and the skin's pictures. A picture that cannot
// be had is noted in the load result and left out; the control keeps the picture it had.

#include "ZuSkinDocument.h"

#include <ZuBitmap32.h>

#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tunola {

// What one LoadSkin did, for the caller's logging and for tests.
struct TZuSkinLoadResult {
    TZuSkinDocument::TStatus Status = TZuSkinDocument::TStatus::NoRoot;
    bool WellFormed = true;
    std::vector<TZuSkinSkip> Skipped; // elements of the file that address nothing
    int Applied = 0;                  // elements pushed into a window
    // "window/component" of elements whose window is not registered or whose control is not
    // there (yet).
    std::vector<std::string> Unreached;
    // Pictures that could not be read or decoded, and elements that name no usable picture
    // ("window/component: reason").
    std::vector<std::string> ImageFailures;
    // Elements whose applier failed half-way ("window/component: reason").
    std::vector<std::string> Failures;
};

// The pictures of one skin load. Each file is decoded once, and every element that names it
// shares its pixels (copy on write); together they stay under kMaxPixels, so a skin that names
// one huge picture many times, or many huge pictures, cannot take the memory.
class TZuSkinPictures {
public:
    static constexpr int64_t kMaxPixels = int64_t(1) << 25; // 128 MiB of pixels

    // The picture at `path`, decoded on first use. Throws EZuBitmapError when it cannot be
    // read or decoded, or when it would take the skin past kMaxPixels (the same each time).
    const TZuBitmap32& Get(const std::string& path);
    int64_t Pixels() const { return pixels_; }

private:
    std::map<std::string, std::unique_ptr<TZuBitmap32>> decoded_;
    std::map<std::string, std::string> failed_;
    int64_t pixels_ = 0;
};

class TZuSkinContext {
public:
    TZuSkinContext(QWidget& window, const TZuSkinTarget& target, TZuSkinLoadResult& result,
                   TZuSkinPictures& pictures)
        : window_(window), target_(target), result_(result), pictures_(pictures) {}

    // The registered window the element addresses.
    QWidget& Window() const { return window_; }
    // Another component of that window by its object name, or null.
    QWidget* Control(std::string_view name) const;

    // Reads `image` into `picture` (a control's Image, say). False, and `picture` unchanged,
    // when the element names no usable picture or the file cannot be read or decoded; the
    // failure is noted.
    bool LoadPicture(const TZuSkinImage& image, TZuBitmap32& picture);

private:
    QWidget& window_;
    const TZuSkinTarget& target_;
    TZuSkinLoadResult& result_;
    TZuSkinPictures& pictures_;
};

// Pushes one element's values into its control. `control` is the component the element names
// (the window itself for the desktop lyrics). By the time it runs the loader has already given
// the control its bounds and anchors.
template <class TElement>
using TZuSkinApplier =
    std::function<void(const TElement& element, QWidget& control, TZuSkinContext& context)>;

// "window/component", or "window" for the window itself.
std::string SkinTargetName(const TZuSkinTarget& target);

// The object name of a window's component as a QString.
QString SkinComponentName(std::string_view component);

// The component of `window` named `name`: the nearest widget of that object name inside it,
// not looking into other windows made its children. Null when there is none.
QWidget* FindSkinControl(const QWidget& window, std::string_view name);

} // namespace tunola
