#pragma once
// TZuPictureControl: a graphic control that shows one of three same-sized pictures cut from its
// Image (normal, pressed, highlighted), each given by its top-left corner. Buttons, sliders and
// scroll bars take their pictures this way.

#include "ZuGraphicControl.h"

#include <cstdint>

namespace tunola {

class TZuPictureControl : public TZuGraphicControlEx {
public:
    using TZuGraphicControlEx::TZuGraphicControlEx;

    int16_t NormalX() const { return normalX_; }
    int16_t NormalY() const { return normalY_; }
    int16_t PressedX() const { return pressedX_; }
    int16_t PressedY() const { return pressedY_; }
    int16_t HighlightedX() const { return highlightedX_; }
    int16_t HighlightedY() const { return highlightedY_; }
    void SetNormalX(int16_t v) { Store(normalX_, v); }
    void SetNormalY(int16_t v) { Store(normalY_, v); }
    void SetPressedX(int16_t v) { Store(pressedX_, v); }
    void SetPressedY(int16_t v) { Store(pressedY_, v); }
    void SetHighlightedX(int16_t v) { Store(highlightedX_, v); }
    void SetHighlightedY(int16_t v) { Store(highlightedY_, v); }

protected:
    int16_t normalX_ = 0, normalY_ = 0;
    int16_t pressedX_ = 0, pressedY_ = 0;
    int16_t highlightedX_ = 0, highlightedY_ = 0;
};

} // namespace tunola
