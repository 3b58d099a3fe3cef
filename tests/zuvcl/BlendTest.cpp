// The blend loops of every path this machine has, against the formulas written out per byte.

#include "BlendReference.h"
#include "ZuBitmap32Blend.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tunola {
namespace {

using reference::Family;

struct PathCase {
    TZuBlendPath Path;
    Family Formulas;
};

std::string PathName(const testing::TestParamInfo<PathCase>& info) {
    switch (info.param.Path) {
    case TZuBlendPath::Portable:
        return "Portable";
    case TZuBlendPath::SSE2:
        return "SSE2";
    case TZuBlendPath::AVX2:
        return "AVX2";
    }
    return "Unknown";
}

class BlendPathTest : public testing::TestWithParam<PathCase> {
protected:
    void SetUp() override {
        routines_ = BlendRoutinesFor(GetParam().Path);
        if (!routines_)
            GTEST_SKIP() << "this processor or build lacks the path";
    }
    const TZuBlendRoutines* routines_ = nullptr;
};

// Source and destination pixels whose four bytes all differ, so that a mixed-up byte shows.
TColor32 SourcePixel(uint32_t a, uint32_t s) {
    return a << 24 | s << 16 | (255 - s) << 8 | (s ^ 0x5A);
}
TColor32 DestPixel(uint32_t d) {
    return d << 24 | (d ^ 0xA5) << 16 | d << 8 | (255 - d);
}

// Every source alpha, every source byte and every destination byte.
TEST_P(BlendPathTest, BlendLineMatchesFormulaForAllValues) {
    std::vector<TColor32> src(256), dst(256);
    for (uint32_t a = 0; a < 256; ++a) {
        for (uint32_t s = 0; s < 256; ++s) {
            for (uint32_t d = 0; d < 256; ++d) {
                src[d] = SourcePixel(a, s);
                dst[d] = DestPixel(d);
            }
            routines_->BlendLine(src.data(), dst.data(), 256);
            for (uint32_t d = 0; d < 256; ++d) {
                const TColor32 want = reference::Blend(GetParam().Formulas, src[d], DestPixel(d));
                ASSERT_EQ(dst[d], want) << "a=" << a << " s=" << s << " d=" << d;
            }
        }
    }
}

// Every master alpha and source alpha with edge and middle bytes, then every byte under one
// master alpha.
TEST_P(BlendPathTest, BlendLineMasterMatchesFormula) {
    const uint32_t bytes[] = {0, 1, 2, 127, 128, 129, 200, 254, 255};
    std::vector<TColor32> src, dst, before;
    for (uint32_t s : bytes)
        for (uint32_t d : bytes)
            for (uint32_t a = 0; a < 256; ++a) {
                src.push_back(SourcePixel(a, s));
                before.push_back(DestPixel(d));
            }
    for (uint32_t m = 0; m < 256; ++m) {
        dst = before;
        routines_->BlendLineMaster(src.data(), dst.data(), int32_t(src.size()), uint8_t(m));
        for (size_t i = 0; i < src.size(); ++i)
            ASSERT_EQ(dst[i], reference::BlendMaster(GetParam().Formulas, src[i], before[i], m))
                << "m=" << m << " src=" << std::hex << src[i] << " dst=" << before[i];
    }

    std::vector<TColor32> line(256), back(256);
    for (uint32_t m : {128u})
        for (uint32_t a = 0; a < 256; ++a)
            for (uint32_t s = 0; s < 256; ++s) {
                for (uint32_t d = 0; d < 256; ++d) {
                    line[d] = SourcePixel(a, s);
                    back[d] = DestPixel(d);
                }
                routines_->BlendLineMaster(line.data(), back.data(), 256, uint8_t(m));
                for (uint32_t d = 0; d < 256; ++d)
                    ASSERT_EQ(back[d],
                              reference::BlendMaster(GetParam().Formulas, line[d], DestPixel(d), m))
                        << "m=" << m << " a=" << a << " s=" << s << " d=" << d;
            }
}

// Lengths that end inside a vector, and uniform blocks that take the opaque and transparent
// short cuts, next to mixed ones.
TEST_P(BlendPathTest, LinesOfAnyLengthAndMixture) {
    std::mt19937 random(7);
    for (int32_t length = 0; length <= 40; ++length) {
        for (int kind = 0; kind < 4; ++kind) {
            std::vector<TColor32> src(size_t(length) + 1), dst(src.size());
            for (size_t i = 0; i < src.size(); ++i) {
                const TColor32 rgb = random() & 0xFFFFFF;
                const uint32_t alpha = kind == 0   ? 0
                                       : kind == 1 ? 255
                                       : kind == 2 ? random() & 0xFF
                                                   : (i / 8) % 2 * 255;
                src[i] = alpha << 24 | rgb;
                dst[i] = random();
            }
            const TColor32 guard = dst[size_t(length)];
            std::vector<TColor32> plain = dst, master = dst;
            routines_->BlendLine(src.data(), plain.data(), length);
            routines_->BlendLineMaster(src.data(), master.data(), length, 200);
            for (int32_t i = 0; i < length; ++i) {
                ASSERT_EQ(plain[size_t(i)],
                          reference::Blend(GetParam().Formulas, src[size_t(i)], dst[size_t(i)]));
                ASSERT_EQ(master[size_t(i)],
                          reference::BlendMaster(GetParam().Formulas, src[size_t(i)],
                                                 dst[size_t(i)], 200));
            }
            EXPECT_EQ(plain[size_t(length)], guard) << "wrote past the line, length " << length;
            EXPECT_EQ(master[size_t(length)], guard) << "wrote past the line, length " << length;
        }
    }
}

TEST_P(BlendPathTest, FillLongwordFillsExactlyCount) {
    for (int32_t length : {0, 1, 3, 4, 7, 8, 9, 33}) {
        std::vector<TColor32> line(size_t(length) + 1, 0x12345678u);
        routines_->FillLongword(line.data(), length, 0xFF00FF00u);
        for (int32_t i = 0; i < length; ++i)
            ASSERT_EQ(line[size_t(i)], 0xFF00FF00u);
        EXPECT_EQ(line[size_t(length)], 0x12345678u);
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, BlendPathTest,
                         testing::Values(PathCase{TZuBlendPath::Portable, Family::Portable},
                                         PathCase{TZuBlendPath::SSE2, Family::Vector},
                                         PathCase{TZuBlendPath::AVX2, Family::Vector}),
                         PathName);

// The rules at their thresholds, spelled out: which pixels a master alpha skips.
TEST(BlendThresholds, MasterAlphaSkipsFaintPixels) {
    struct Case {
        Family Formulas;
        uint32_t Master;
        uint32_t Alpha;
        bool Skipped;
    };
    const Case cases[] = {
        {Family::Vector, 127, 1, true},    // 127 * 2 = 254
        {Family::Vector, 128, 1, false},   // 128 * 2 = 256
        {Family::Vector, 255, 0, true},    // 255 * 1 = 255
        {Family::Vector, 1, 254, true},    // 1 * 255
        {Family::Vector, 1, 255, false},   // 1 * 256
        {Family::Portable, 127, 1, true},  // 128 * 1
        {Family::Portable, 127, 2, false}, // 128 * 2 = 256
        {Family::Portable, 126, 2, true},  // 127 * 2 = 254
        {Family::Portable, 0, 255, true},  // 1 * 255
        {Family::Portable, 1, 128, false}, // 2 * 128 = 256
    };
    for (const Case& c : cases) {
        const TColor32 s = c.Alpha << 24 | 0xFFFFFF;
        const TColor32 d = 0xFF000000u;
        const bool skipped = reference::BlendMaster(c.Formulas, s, d, c.Master) == d;
        EXPECT_EQ(skipped, c.Skipped) << "m=" << c.Master << " a=" << c.Alpha;
        const auto* routines = BlendRoutinesFor(
            c.Formulas == Family::Portable ? TZuBlendPath::Portable : TZuBlendPath::SSE2);
        if (routines) {
            TColor32 out = d;
            routines->BlendLineMaster(&s, &out, 1, uint8_t(c.Master));
            EXPECT_EQ(out == d, c.Skipped) << "m=" << c.Master << " a=" << c.Alpha;
        }
    }
}

TEST(BlendThresholds, HalfAlphaWhiteOverBlack) {
    // (128*255 + 128) >> 8 = 128 in each colour byte, on every path.
    const TColor32 s = 0x80FFFFFFu;
    for (TZuBlendPath path : {TZuBlendPath::Portable, TZuBlendPath::SSE2, TZuBlendPath::AVX2}) {
        if (const auto* routines = BlendRoutinesFor(path)) {
            TColor32 d = 0;
            routines->BlendLine(&s, &d, 1);
            EXPECT_EQ(d & 0xFFFFFFu, 0x808080u);
        }
    }
}

TEST(BlendSelection, WidestPathTheProcessorHas) {
    TZuCPUCaps caps;
    EXPECT_EQ(SelectBlendPath(caps), TZuBlendPath::Portable);
#if defined(__x86_64__) || defined(__i386__) || defined(_M_X64) || defined(_M_IX86)
    caps.MMX = caps.SSE2 = true;
    EXPECT_EQ(SelectBlendPath(caps), TZuBlendPath::SSE2);
    caps.AVX2 = true;
    EXPECT_EQ(SelectBlendPath(caps), TZuBlendPath::AVX2);
#endif
    EXPECT_EQ(BlendRoutines().Path, SelectBlendPath(CPUCaps()));
}

} // namespace
} // namespace tunola
