#pragma once
// TZuSkin: reads a skin file and pushes its values into the controls of the player's windows.
//
// The windows register themselves (RegisterWindow); an element's control is the component of
// its window whose objectName is the name the skin addresses ("vb_play", "lv_list", ...).
// For every element whose control is there the loader first sets the control's bounds and
// anchors (the anchors keep it placed when its parent is resized), then runs the element's
// applier. Appliers exist for the controls of the control library and for plain widgets;
// the windows put their own in place for the controls they build (the playlist view, the
// lyric display, the spectrum, the tab strip, the title marquee, the desktop lyrics), e.g.
//
//     skin.Applier<TZuSkinSpectrum>() = [this](const TZuSkinSpectrum& e, QWidget&,
//                                              TZuSkinContext&) { MakeSpectrum(e); };
//
// An element whose window is not registered or whose control is not found is passed over.
// A picture that cannot be read leaves the control's picture as it was and the rest of the
// element and of the file is applied. Values a skin does not mention stay from the skin
// before: there is no reset between loads.
//
// UI thread only. The loader keeps nothing of a load; windows are held as weak pointers.

#include "ZuSkinContext.h"
#include "ZuSkinDocument.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <string>
#include <tuple>

namespace tunola {

class TZuSkin {
public:
    TZuSkin();

    // The window that a skin's window id (or the desktop lyrics) addresses. Null unregisters.
    void RegisterWindow(TZuSkinWindowId id, QWidget* window);
    QWidget* Window(TZuSkinWindowId id) const { return windows_[size_t(id)]; }

    // The applier of one kind of element (any element type but TZuSkinWindow, whose applier
    // is fixed). Assign to replace it; an empty applier leaves the element at its bounds and
    // anchors.
    template <class TElement> TZuSkinApplier<TElement>& Applier() {
        return std::get<TZuSkinApplier<TElement>>(appliers_);
    }

    // Reads and applies the skin file at `path` (UTF-8; its folder holds the pictures).
    // False only when the file's "ver" is not "2.0" (nothing is applied then); true otherwise,
    // also when the file is missing, unreadable, empty or has no root (nothing applied).
    // Never throws. `result`, when given, tells what was passed over and what failed.
    bool LoadSkin(const std::string& path, TZuSkinLoadResult* result = nullptr);

    // Applies an already read skin (its elements in order).
    void Apply(const TZuSkinDocument& document, TZuSkinLoadResult& result);

private:
    template <class TElement>
    void ApplyElement(const TElement& element, TZuSkinLoadResult& result,
                      TZuSkinPictures& pictures);
    void ApplyWindowElement(const TZuSkinWindow& element, TZuSkinLoadResult& result,
                            TZuSkinPictures& pictures);

    std::array<QPointer<QWidget>, kZuSkinWindowCount> windows_;
    std::tuple<TZuSkinApplier<TZuSkinButton>, TZuSkinApplier<TZuSkinLabel>,
               TZuSkinApplier<TZuSkinScrollText>, TZuSkinApplier<TZuSkinSlider>,
               TZuSkinApplier<TZuSkinList>, TZuSkinApplier<TZuSkinLrcView>,
               TZuSkinApplier<TZuSkinSpectrum>, TZuSkinApplier<TZuSkinDesktopLrc>,
               TZuSkinApplier<TZuSkinPanel>, TZuSkinApplier<TZuSkinTab>>
        appliers_;
};

} // namespace tunola
