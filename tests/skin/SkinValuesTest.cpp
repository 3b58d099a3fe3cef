#include "ZuAnchors.h"
#include "ZuSkinValues.h"

#include <gtest/gtest.h>

#include <optional>

using namespace tunola;

TEST(SkinValues, IntegerForms) {
    struct Case {
        const char* text;
        std::optional<int32_t> value;
    };
    const Case cases[] = {
        {"42", 42},
        {"  +42", 42},
        {"-7", -7},
        {"$1F", 31},
        {"x1f", 31},
        {"X1F", 31},
        {"0x26201D", 0x26201D},
        {"0X10", 16},
        {"-0x10", -16},
        {"0xFF00000F", int32_t(0xFF00000F)}, // a system colour is a negative number
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"0x100000000", std::nullopt},
        {"", std::nullopt},
        {"  ", std::nullopt},
        {"-", std::nullopt},
        {"0x", std::nullopt},
        {"$", std::nullopt},
        {"12 ", std::nullopt},
        {"1 2", std::nullopt},
        {"12px", std::nullopt},
        {"1.5", std::nullopt},
        {"--1", std::nullopt},
        {"0x-1", std::nullopt},
        {"\t1", std::nullopt},
        {"0$1", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseSkinInteger(c.text), c.value) << '"' << c.text << '"';
}

TEST(SkinValues, NarrowingStopsAtTheEndOfTheRange) {
    EXPECT_EQ(SkinInt16("70000"), 32767);
    EXPECT_EQ(SkinInt16("-70000"), -32768);
    EXPECT_EQ(SkinInt16("-12"), -12);
    EXPECT_EQ(SkinByte("250"), 250);
    EXPECT_EQ(SkinByte("300"), 255);
    EXPECT_EQ(SkinByte("-1"), 0);
    EXPECT_EQ(SkinByte("junk"), 0);
}

TEST(SkinValues, Rectangles) {
    struct Case {
        const char* text;
        TZuPiece rect;
    };
    const Case cases[] = {
        {"0,0,140,150", {0, 0, 140, 150}},
        {"1, 2, 3, 4", {1, 2, 3, 4}},
        {"-1,$10,0x20,+4", {-1, 16, 32, 4}},
        {"0,0,99999,1", {0, 0, 32767, 1}},
        {"1,2,a,4", {}}, // a letter for the third number
        {"1,2,3", {}},
        {"1,2,3,4,5", {}},
        {"1,2,,4", {}},
        {"1;2;3;4", {}},
        {"1 ,2,3,4", {}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseSkinRect(c.text), c.rect) << '"' << c.text << '"';
}

TEST(SkinValues, AnchorCodes) {
    const TZuAnchors lt = kAnchorsLeftTop;
    struct Case {
        const char* code;
        bool stretching;
        TZuAnchors anchors; // left, top, right, bottom
    };
    const Case cases[] = {
        {"RT", false, {false, true, true, false}},
        {"lb", false, {true, false, false, true}},
        {"Rb", false, {false, false, true, true}},
        {"LRCT", false, {false, true, false, false}},
        {"LRCB", false, {false, false, false, true}},
        {"TBCL", false, {true, false, false, false}},
        {"TBCR", false, {false, false, true, false}},
        {"c", false, {false, false, false, false}},
        {"LRT", true, {true, true, true, false}},
        {"LRB", true, {true, false, true, true}},
        {"LTB", true, {true, true, false, true}},
        {"RTB", true, {false, true, true, true}},
        {"lrtb", true, {true, true, true, true}},
        {"lrtb", false, lt}, // stretching where it is not accepted
        {"LTB", false, lt},
        {"RT", true, {false, true, true, false}},
        {"", true, lt},
        {"LR", true, lt},
        {" RT", true, lt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AnchorsFromCode(c.code, c.stretching), c.anchors)
            << c.code << (c.stretching ? " stretching" : "");
}

TEST(SkinValues, AnchoredBoundsOnResize) {
    const QSize reference(400, 300);
    const QRect bounds(100, 50, 40, 20); // centre x 120, y 60
    struct Case {
        const char* code;
        QSize window;
        QRect expected;
    };
    const Case cases[] = {
        {"", {600, 500}, {100, 50, 40, 20}},       // left/top: never moved
        {"RT", {600, 500}, {300, 50, 40, 20}},     // keeps 260 to the right edge
        {"LB", {600, 500}, {100, 250, 40, 20}},    // keeps 230 to the bottom edge
        {"RB", {350, 280}, {50, 30, 40, 20}},      // and when the window shrinks
        {"LRTB", {600, 500}, {100, 50, 240, 220}}, // stretches both ways
        {"LRT", {600, 500}, {100, 50, 240, 20}},
        {"LTB", {600, 500}, {100, 50, 40, 220}},
        {"RTB", {600, 500}, {300, 50, 40, 220}},
        {"LRTB", {100, 100}, {100, 50, 0, 0}}, // never below zero
        // Centred: 120 × 600 / 400 = 180 → 160; 60 × 500 / 300 = 100 → 90.
        {"C", {600, 500}, {160, 90, 40, 20}},
        {"LRCT", {600, 500}, {160, 50, 40, 20}},
        {"TBCR", {600, 500}, {300, 90, 40, 20}},
        // 120 × 401 / 400 = 120.3 → 120; 120 × 402 / 400 = 120.6 → 121; 60 × 305 / 300 = 61.
        {"C", {401, 305}, {100, 51, 40, 20}},
        {"C", {402, 300}, {101, 50, 40, 20}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AnchoredBounds(AnchorsFromCode(c.code, true), bounds, reference, c.window),
                  c.expected)
            << c.code << ' ' << c.window.width() << 'x' << c.window.height();
}

TEST(SkinValues, CentringRoundsHalvesAwayFromZero) {
    const TZuAnchors centred = AnchorsFromCode("C", false);
    // Centre 5 (x 0, width 10) in a window going from 4 to 6 wide: 5 × 6 / 4 = 7.5 → 8.
    EXPECT_EQ(AnchoredBounds(centred, {0, 0, 10, 10}, {4, 4}, {6, 6}).topLeft(), QPoint(3, 3));
    // A control left of the window: centre −5 → −7.5 → −8.
    EXPECT_EQ(AnchoredBounds(centred, {-10, -10, 10, 10}, {4, 4}, {6, 6}).topLeft(),
              QPoint(-13, -13));
    // A window that had no size gives no fraction to keep.
    EXPECT_EQ(AnchoredBounds(centred, {7, 8, 10, 10}, {0, 0}, {300, 200}), QRect(7, 8, 10, 10));
}
