#include "FloatText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <locale>
#include <random>

using namespace tunola;

namespace {

TEST(FloatText, GeneralNotationTable) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {245.0 / 86400, "0.00283564814814815"}, // a 4:05 track
        {1.0 / 86400, "1.15740740740741E-5"},   // one second: below 1E-4, exponent form
        {3.0 / 86400, "3.47222222222222E-5"},
        {9.0 / 86400, "0.000104166666666667"}, // nine seconds: just above 1E-4, fixed
        {0.0001, "0.0001"},
        {0.00009999, "9.999E-5"},
        {0.0, "0"},
        {-0.0, "0"},
        {1.0, "1"},
        {0.5, "0.5"},
        {1.5, "1.5"},
        {100.0, "100"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {-0.5, "-0.5"},
        {-1.0 / 86400, "-1.15740740740741E-5"},
        {123456789012345.0, "123456789012345"},
        {999999999999999.5, "1E15"}, // rounding to 15 digits carries into exponent form
        {1e15, "1E15"},
        {1234567890123456.0, "1.23456789012346E15"},
        {1e-300, "1E-300"},
        {std::numeric_limits<double>::max(), "1.79769313486232E308"},
        {std::nan(""), "0"},
        {std::numeric_limits<double>::infinity(), "0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FloatToStr(c.value), c.text) << "value " << c.value;
}

TEST(FloatText, ReadsEitherSeparatorAndRejectsNonNumbers) {
    struct Case {
        const char* text;
        double value;
    };
    const Case good[] = {
        {"0.00283564814814815", 245.0 / 86400},
        {"0,00283564814814815", 245.0 / 86400}, // saved under a comma locale
        {"1.15740740740741E-5", 1.0 / 86400},
        {"1,15740740740741E-5", 1.0 / 86400},
        {"1e+2", 100.0},
        {" 2.5 ", 2.5},
        {"+3", 3.0},
        {"-1.5", -1.5},
        {".5", 0.5},
        {"0", 0.0},
    };
    for (const Case& c : good) {
        double v = -99;
        EXPECT_TRUE(TryStrToFloat(c.text, v)) << c.text;
        EXPECT_NEAR(v, c.value, std::fabs(c.value) * 1e-14) << c.text;
    }
    for (const char* bad : {"", " ", "abc", "1.2.3", "1,2.3", "1 2", "NaN", "inf", "0x10", "1e400",
                            "--1", "+-1", "1e", "5%", "1.0E-5x"}) {
        double v = 7.0;
        EXPECT_FALSE(TryStrToFloat(bad, v)) << '"' << bad << '"';
        EXPECT_EQ(v, 7.0) << bad;
    }
}

TEST(FloatText, FlagsAreNumbersOrTrueFalse) {
    struct Case {
        const char* text;
        bool value;
    };
    const Case good[] = {{"1", true},      {"0", false},    {"-1", true},   {"2", true},
                         {"0.0", false},   {"True", true},  {"TRUE", true}, {"true", true},
                         {"False", false}, {"fAlSe", false}};
    for (const Case& c : good) {
        bool v = !c.value;
        EXPECT_TRUE(TryStrToBool(c.text, v)) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
    }
    for (const char* bad : {"", "yes", "t", "1x", "真"}) {
        bool v = true;
        EXPECT_FALSE(TryStrToBool(bad, v)) << bad;
    }
}

// Written text must read back to a number that writes the same text, across the whole range
// of lengths and beyond, whatever C++ locale is in force.
TEST(FloatText, RoundTripIsStableUnderACommaLocale) {
    struct Comma : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new Comma));
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-12, 20);
    for (int i = 0; i < 20000; ++i) {
        const double x = (i % 2 ? -1 : 1) * mantissa(random) * std::pow(10.0, exponent(random));
        const std::string text = FloatToStr(x);
        ASSERT_EQ(text.find(','), std::string::npos) << text;
        double back = 0;
        ASSERT_TRUE(TryStrToFloat(text, back)) << text;
        ASSERT_EQ(FloatToStr(back), text);
        ASSERT_NEAR(back, x, std::fabs(x) * 1e-14) << text;
    }
    std::locale::global(previous);
}

} // namespace
