#pragma once
// The playlist scroll bar's arithmetic: the slider's pixel offset and the bar's position, with
// rounding half to even. Pure functions; the scroll bar only calls them.

namespace tunola::zuplaylist {

struct TZuScrollMetrics {
    int Height = 0;  // of the bar
    int SliderH = 0; // of the slider
    int Max = 0;     // positions run 0 … Max

    // Pixels the slider can travel; none when it is taller than the bar.
    int SliderRange() const { return Height > SliderH ? Height - SliderH : 0; }
};

// round(y / SliderRange × Max); 0 without a range or positions.
int PosFromPixel(const TZuScrollMetrics& m, int y);
// round(SliderRange / Max × pos); 0 without positions.
int PixelFromPos(const TZuScrollMetrics& m, int pos);
// A pixel from the mouse kept on the bar and put on the position grid.
int SnapPixel(const TZuScrollMetrics& m, int y);

} // namespace tunola::zuplaylist
