// The pow curves' bounds against the C library's pow, input by input: the double that
// FalloffCurve computes must lie inside PowCurveBounds, and the mask's float must be
// FalloffCurve's. Every run checks a sample of the floats in 0..1 (a stride through all of
// them, the last 2^16 below 1 and a uniform grid of band positions); with
// QXV_POW_CURVE_PROOF=every it checks every float in 0..1, about 10^9 per curve (the figures
// are in bench/README.md). Under wine the same test holds the .aex's C library to it, whose
// pow runs on the x87 unit: once at the precision qxv's start-up leaves (64 bits) and once
// at the 53 bits that Windows gives its threads, as in a host.
#include <gtest/gtest.h>

#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "render/FalloffCurves.h"
#include "render/RenderSetup.h"
#include "render/fastpath/FastMasks.h"
#include "render/fastpath/PowCurveBounds.h"

namespace qxv {
namespace {

constexpr std::uint32_t kOneBits = 0x3F800000u;

float FromBits(std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

struct ProofCounts {
    std::uint64_t inputs = 0;
    std::uint64_t fallbacks = 0;  // no bounds, or their ends round apart
    std::uint64_t failures = 0;
    std::string first_failure;
};

void CheckInput(const RenderContext& ctx, float t, ProofCounts* counts) {
    ++counts->inputs;
    const double exact = FalloffCurve(&ctx, t);
    CurveBounds bounds;
    const bool bounded = PowCurveBounds(ctx.falloff, t, &bounds);
    const bool outside = bounded && !(bounds.low <= exact && exact <= bounds.high);
    if (!bounded || !SameFloat(static_cast<float>(bounds.low), static_cast<float>(bounds.high))) ++counts->fallbacks;
    const bool differs = !SameFloat(BandCurve(&ctx, t), static_cast<float>(exact));
    if (outside || differs) {
        if (counts->failures++ == 0) {
            char text[160];
            std::snprintf(text, sizeof text, "t = %a: exact %a, bounds [%a, %a]%s", t, exact, bounded ? bounds.low : 0.0,
                          bounded ? bounds.high : 0.0, differs ? ", float differs" : "");
            counts->first_failure = text;
        }
    }
}

// Every stride-th float from 0 up to 1, and 1 itself.
ProofCounts CheckFloats(std::int32_t falloff, std::uint32_t first, std::uint32_t stride) {
    RenderContext ctx{};
    ctx.falloff = falloff;
    ProofCounts counts;
    for (std::uint32_t bits = first; bits < kOneBits; bits += stride) CheckInput(ctx, FromBits(bits), &counts);
    CheckInput(ctx, 1.0f, &counts);
    return counts;
}

// Band positions as pixels meet them: spread evenly over 0..1.
ProofCounts CheckUniformPositions(std::int32_t falloff, int steps) {
    RenderContext ctx{};
    ctx.falloff = falloff;
    ProofCounts counts;
    for (int i = 0; i <= steps; ++i) CheckInput(ctx, static_cast<float>(i) / static_cast<float>(steps), &counts);
    return counts;
}

// The x87 unit's precision control for the checks inside; only mingw-w64's pow depends on it.
class X87Precision {
public:
    explicit X87Precision(int bits) {
#if defined(__x86_64__) || defined(__i386__)
        asm volatile("fnstcw %0" : "=m"(saved_));
        std::uint16_t word = static_cast<std::uint16_t>(saved_ & ~0x300u);
        if (bits == 64) word |= 0x300u;
        if (bits == 53) word |= 0x200u;
        asm volatile("fldcw %0" : : "m"(word));
#else
        (void)bits;
#endif
    }
    ~X87Precision() {
#if defined(__x86_64__) || defined(__i386__)
        asm volatile("fldcw %0" : : "m"(saved_));
#endif
    }
    X87Precision(const X87Precision&) = delete;
    X87Precision& operator=(const X87Precision&) = delete;

private:
    std::uint16_t saved_ = 0;
};

bool EveryFloat() {
    const char* what = std::getenv("QXV_POW_CURVE_PROOF");
    return what && std::string(what) == "every";
}

void Report(const char* curve, const char* inputs, const ProofCounts& counts) {
    std::printf("%-12s %-26s %12" PRIu64 " inputs %10" PRIu64 " fallbacks (%.4f %%) %" PRIu64 " failures\n", curve,
                inputs, counts.inputs, counts.fallbacks, 100.0 * counts.fallbacks / counts.inputs, counts.failures);
}

struct PowCurve {
    const char* name;
    std::int32_t falloff;
};

class PowCurveProofTest : public testing::TestWithParam<PowCurve> {};

TEST_P(PowCurveProofTest, FastCurveIsTheExactOne) {
    const PowCurve curve = GetParam();
    for (const int precision : {64, 53}) {
        const X87Precision x87(precision);
        std::printf("x87 precision %d bits:\n", precision);
        const ProofCounts all = EveryFloat() ? CheckFloats(curve.falloff, 0, 1) : CheckFloats(curve.falloff, 0, 4099);
        const ProofCounts near_one = CheckFloats(curve.falloff, kOneBits - 65536, 1);
        const ProofCounts uniform = CheckUniformPositions(curve.falloff, 1 << 20);
        Report(curve.name, EveryFloat() ? "every float in 0..1" : "every 4099th float", all);
        Report(curve.name, "the 2^16 floats below 1", near_one);
        Report(curve.name, "2^20 + 1 even positions", uniform);
        for (const ProofCounts* counts : {&all, &near_one, &uniform}) {
            EXPECT_EQ(counts->failures, 0u) << curve.name << ", x87 at " << precision << " bits: first at "
                                            << counts->first_failure;
        }
        // Bounds that gave up everywhere would pass the checks above and speed nothing up.
        EXPECT_LT(uniform.fallbacks * 50, uniform.inputs) << curve.name;
#if !defined(_WIN32)
        break;  // only mingw-w64's pow uses the x87 unit
#endif
    }
}

// The proof above holds for an input alone; paired with another one (a band's neighbour, a
// corner's other axis) each lane must give the very same bounds and the same verdict,
// whatever the other lane holds: served or not, the same value or another.
TEST_P(PowCurveProofTest, EachLaneOfAPairIsTheInputAlone) {
    const std::int32_t falloff = GetParam().falloff;
    std::vector<float> inputs = {0.0f, -0.0f, 0x1p-149f, 0x1p-127f, 0x1p-126f, 0.006f, 0.5f, 0.99999994f, 1.0f,
                                 1.0000001f, -0.25f, 7.0f, std::numeric_limits<float>::infinity(),
                                 std::numeric_limits<float>::quiet_NaN()};
    for (std::uint32_t bits = 0; bits <= kOneBits; bits += 1000003) inputs.push_back(FromBits(bits));
    for (float first : inputs) {
        for (float second : inputs) {
            CurveBounds pair[2], alone[2];
            const int lanes = PowCurveBoundsPair(falloff, first, second, pair);
            const bool first_alone = PowCurveBounds(falloff, first, &alone[0]);
            const bool second_alone = PowCurveBounds(falloff, second, &alone[1]);
            ASSERT_EQ(lanes, (first_alone ? 1 : 0) | (second_alone ? 2 : 0)) << first << ", " << second;
            for (int lane = 0; lane < 2; ++lane) {
                if (!(lanes & (1 << lane))) continue;
                ASSERT_EQ(std::memcmp(&pair[lane], &alone[lane], sizeof(CurveBounds)), 0)
                    << "lane " << lane << " of " << first << ", " << second;
            }
        }
    }
}

// A run's curves, two lanes or four at a time, give each position the float BandCurve and
// CornerCurve give it alone, whatever its neighbours hold and whichever of them are wanted;
// the height axis's position either varies or is the same along the run.
TEST_P(PowCurveProofTest, EveryLaneOfARunIsTheInputAlone) {
    RenderContext ctx{};
    ctx.falloff = GetParam().falloff;
    struct RunWidth {
        const char* name;
        void (*band)(const RenderContext*, std::uint64_t, const float*, float*);
        void (*corner)(const RenderContext*, std::uint64_t, const float*, const float*, bool, float*);
    };
    std::vector<RunWidth> widths = {{"two lanes", BandCurveRun, CornerCurveRun}};
    if (HasWideLanes()) widths.push_back({"four lanes", BandCurveRunWide, CornerCurveRunWide});
    std::vector<float> inputs = {0.0f, -0.0f, 0x1p-149f, 0x1p-126f, 0.006f, 0.5f, 0.99999994f, 1.0f, 1.0000001f,
                                 -0.25f, std::numeric_limits<float>::quiet_NaN()};
    std::mt19937 rng(21);
    std::uniform_real_distribution<float> position(0.0f, 1.0f);
    while (inputs.size() < 64 * 16) inputs.push_back(position(rng));
    for (const RunWidth& width : widths) {
        for (std::size_t first = 0; first < inputs.size(); first += 64) {
            float t[64], q[64], band[64], corner[64];
            for (int i = 0; i < 64; ++i) {
                t[i] = inputs[first + i];
                q[i] = inputs[(first + 37 * i + 11) % inputs.size()];
            }
            const std::uint64_t wanted = (static_cast<std::uint64_t>(rng()) << 32 | rng()) | 1;
            const bool q_constant = first % 128 == 0;
            if (q_constant) std::fill(q, q + 64, q[0]);
            width.band(&ctx, wanted, t, band);
            width.corner(&ctx, wanted, t, q, q_constant, corner);
            for (int i = 0; i < 64; ++i) {
                if (!(wanted >> i & 1)) continue;
                ASSERT_TRUE(SameFloat(band[i], BandCurve(&ctx, t[i]))) << width.name << ", t = " << t[i];
                ASSERT_TRUE(SameFloat(corner[i], CornerCurve(&ctx, t[i], q[i])))
                    << width.name << ", p = " << t[i] << ", q = " << q[i];
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Curves, PowCurveProofTest,
                         testing::Values(PowCurve{"Gamma22", kFalloffGamma22}, PowCurve{"Gaussian", kFalloffGaussian},
                                         PowCurve{"Exponential", kFalloffExponential}),
                         [](const testing::TestParamInfo<PowCurve>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qxv
