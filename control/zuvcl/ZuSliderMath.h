#pragma once
// Slider arithmetic: pixels along the track and values, with rounding half to even. Pure
// functions; the slider controls only call them.
//
// The value is counted from the start of the track, 0 .. R with R = Max - Min; a vertical
// slider's Position is then Max - value (its top is the maximum). A rotator's value is a
// percentage and its "pixel" is the vertical offset of one of 23 frames in a strip.
//
// Min and Max may lie anywhere in int32, so R and the values (0..R) are 64-bit; a product of
// a value and pixels is formed in 64 bits too and stays below 2^63 for a track of int pixels.

#include <cstdint>

namespace tunola {

enum TZuSliderKind : uint8_t { skHorizontal, skVertical };
enum TZuSliderStyle : uint8_t { ssSimple, ssComplex, ssMix, ssRotator };

struct TZuSliderMetrics {
    TZuSliderKind Kind = skHorizontal;
    TZuSliderStyle Style = ssComplex;
    int Width = 0;
    int Height = 0;
    int SliderW = 0; // thumb size
    int SliderH = 0;
    int Min = 0;
    int Max = 10;
    bool CenterMiddle = false;

    int64_t Range() const { return int64_t(Max) - Min; }
    // Size of the control along the track, and of the thumb.
    int AxisSize() const { return Kind == skHorizontal ? Width : Height; }
    int ThumbSize() const { return Kind == skHorizontal ? SliderW : SliderH; }
};

// num / den rounded to the nearest integer, halves to the even one; 0 when den is 0.
int64_t RoundDivHalfEven(int64_t num, int64_t den);

// Pixels the thumb can travel: the control's length for ssSimple, less the thumb otherwise.
int TrackLength(const TZuSliderMetrics& m);
// round(R * pixel / L); 0 for a track without length.
int64_t PixelToValue(const TZuSliderMetrics& m, int pixel);
// round((length - thumb) / R * value); for ssRotator the offset of frame
// round(value / 100 * 22), the value kept within 0..100 (there are no other frames), frames
// being as high as the control. 0 for an empty range.
int ValueToPixel(const TZuSliderMetrics& m, int64_t value);

struct TZuSnapped {
    int Pixel = 0;
    int64_t Value = 0;
    friend bool operator==(const TZuSnapped&, const TZuSnapped&) = default;
};
// A pixel from the mouse put on the value grid: caught at the middle (CenterMiddle, within 2
// of L/2), kept on the track, turned into a value and back.
TZuSnapped SnapPixel(const TZuSliderMetrics& m, int pixel);
// A rotator value kept within 0..100, with its frame offset.
TZuSnapped SnapRotator(const TZuSliderMetrics& m, int64_t value);

// The value as a percentage of Max (the distance from the top, counted down, for skVertical).
int PercentageOf(const TZuSliderMetrics& m, int64_t value);
// The value for a percentage (clamped to 0..100) of Max, for skVertical counted from the top.
int64_t ValueForPercentage(const TZuSliderMetrics& m, int percentage);

} // namespace tunola
