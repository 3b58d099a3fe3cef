#include "ZuAnchors.h"

#include "ZuSkinValues.h"

#include <algorithm>
#include <cstdint>

namespace tunola {

namespace {

struct TAnchorCode {
    std::string_view Code;
    TZuAnchors Anchors;
    bool Stretches;
};

constexpr TAnchorCode kAnchorCodes[] = {
    {"RT", {false, true, true, false}, false},    {"LB", {true, false, false, true}, false},
    {"RB", {false, false, true, true}, false},    {"LRCT", {false, true, false, false}, false},
    {"LRCB", {false, false, false, true}, false}, {"TBCL", {true, false, false, false}, false},
    {"TBCR", {false, false, true, false}, false}, {"C", {false, false, false, false}, false},
    {"LRT", {true, true, true, false}, true},     {"LRB", {true, false, true, true}, true},
    {"LTB", {true, true, false, true}, true},     {"RTB", {false, true, true, true}, true},
    {"LRTB", {true, true, true, true}, true},
};

// c × n ÷ o rounded to the nearest integer, halves away from zero.
int64_t ScaleRounded(int64_t c, int64_t n, int64_t o) {
    const int64_t product = c * n;
    int64_t quotient = product / o;
    const int64_t remainder = product % o;
    if (2 * (remainder < 0 ? -remainder : remainder) >= (o < 0 ? -o : o))
        quotient += ((product < 0) != (o < 0)) ? -1 : 1;
    return quotient;
}

struct TSpan {
    int64_t Start;
    int64_t Length;
};

TSpan AnchorAxis(bool nearSide, bool farSide, TSpan span, int64_t oldParent, int64_t newParent) {
    if (nearSide && farSide)
        return {span.Start, std::max<int64_t>(0, newParent - (oldParent - span.Length))};
    if (farSide)
        return {newParent - (oldParent - span.Start), span.Length};
    if (nearSide || oldParent == 0)
        return span;
    const int64_t centre = span.Start + span.Length / 2;
    return {ScaleRounded(centre, newParent, oldParent) - span.Length / 2, span.Length};
}

int ToInt(int64_t v) {
    return int(std::clamp<int64_t>(v, INT32_MIN / 2, INT32_MAX / 2));
}

} // namespace

TZuAnchors AnchorsFromCode(std::string_view code, bool stretching) {
    for (const TAnchorCode& entry : kAnchorCodes)
        if (SkinNameEquals(code, entry.Code))
            return (entry.Stretches && !stretching) ? kAnchorsLeftTop : entry.Anchors;
    return kAnchorsLeftTop;
}

QRect AnchoredBounds(const TZuAnchors& anchors, const QRect& reference,
                     const QSize& referenceParent, const QSize& newParent) {
    const TSpan x = AnchorAxis(anchors.Left, anchors.Right, {reference.x(), reference.width()},
                               referenceParent.width(), newParent.width());
    const TSpan y = AnchorAxis(anchors.Top, anchors.Bottom, {reference.y(), reference.height()},
                               referenceParent.height(), newParent.height());
    return QRect(ToInt(x.Start), ToInt(y.Start), ToInt(x.Length), ToInt(y.Length));
}

} // namespace tunola
