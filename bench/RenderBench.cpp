// Pixel-function throughput on a 3840x2160 8-bit ARGB frame, single thread, called through a
// function pointer per pixel as a host's iterate suite does. Each case runs the plain pixel
// function (the straightforward formulas) and the specialised one Render uses, so the gain
// is measured in one run; the row memcpy of the same frame is the memory-bound floor, and a
// pixel function that only copies its pixel the floor of calling one per pixel.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "AE_Effect.h"
#include "AE_EffectSuites.h"
#include "params/BlendModes.h"
#include "params/ParamIndex.h"
#include "render/FalloffCurves.h"
#include "render/PixelFunctions.h"
#include "render/RenderSetup.h"
#include "tests/render/ParamSet.h"
#include "tests/render/PlainPixelFunctions.h"

namespace {

using namespace qxv;

constexpr A_long kWidth = 3840, kHeight = 2160;
constexpr A_long kRowbytes = kWidth * 4 + 64;  // padded rows, as hosts allocate them

enum class Case { kDefault, kWideLinearEllipse, kWideLinearRectangle, kWideGaussian, kHueMode };

// The registration's defaults, and for the wide cases a band across most of the frame: the
// shape spans it and the feather is most of the half-width.
void SetCase(Case c, test::ParamSet& params) {
    if (c == Case::kHueMode) params[kParamBlendingMode].u.pd.value = kBlendPopupLuminosity;
    if (c == Case::kDefault || c == Case::kHueMode) return;
    params.SetOrigin(kWidth / 2, kHeight / 2);
    params[kParamWidth].u.fs_d.value = 4400;
    params[kParamHeight].u.fs_d.value = 2800;
    params[kParamFeather].u.fs_d.value = 1900;
    if (c == Case::kWideLinearRectangle) params[kParamVignetteType].u.pd.value = kVignetteRectangle;
    if (c == Case::kWideGaussian) params[kParamAlphaFalloff].u.pd.value = kFalloffGaussian;
}

struct Frame {
    std::vector<unsigned char> src = std::vector<unsigned char>(static_cast<size_t>(kRowbytes) * kHeight);
    std::vector<unsigned char> dst = std::vector<unsigned char>(static_cast<size_t>(kRowbytes) * kHeight);
    Frame() {
        for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<unsigned char>(i * 2654435761u >> 24);
    }
};

void IterateFrame(Frame& frame, PF_IteratePixel8Func fn, void* refcon) {
    benchmark::DoNotOptimize(fn);  // a host only knows the function by its address
    for (A_long y = 0; y < kHeight; ++y) {
        PF_Pixel* in = reinterpret_cast<PF_Pixel*>(frame.src.data() + static_cast<size_t>(y) * kRowbytes);
        PF_Pixel* out = reinterpret_cast<PF_Pixel*>(frame.dst.data() + static_cast<size_t>(y) * kRowbytes);
        for (A_long x = 0; x < kWidth; ++x) fn(refcon, x, y, in + x, out + x);
    }
    benchmark::ClobberMemory();
}

void Prepare(Case c, ShadingJob* job) {
    test::ParamSet params;
    SetCase(c, params);
    PF_InData in_data;
    std::memset(&in_data, 0, sizeof in_data);
    in_data.downsample_x = in_data.downsample_y = in_data.pixel_aspect_ratio = {1, 1};
    SetUpMask(&in_data, params.list, &job->context);
    SetUpCompositing(params.list, &job->context);
}

void BM_Plain(benchmark::State& state, Case c) {
    Frame frame;
    ShadingJob job{};
    Prepare(c, &job);
    for (auto _ : state) IterateFrame(frame, test::PlainPixelArgb8, &job.context);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_Specialised(benchmark::State& state, Case c) {
    Frame frame;
    ShadingJob job{};
    for (auto _ : state) {
        // Choosing (and building the spans and byte tables) is part of every frame's cost.
        Prepare(c, &job);
        PrepareOutsideSpans(&job, kWidth, kHeight);
        IterateFrame(frame, PixelArgb8(&job), &job);
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

// The least a pixel function can do: copy its pixel. Iterated like the others, it is the
// cost of the per-pixel call itself, which no pixel function can go below.
PF_Err CopyPixel(void*, A_long, A_long, PF_Pixel* in, PF_Pixel* out) {
    *out = *in;
    return PF_Err_NONE;
}

void BM_CallPerPixel(benchmark::State& state) {
    Frame frame;
    for (auto _ : state) IterateFrame(frame, CopyPixel, nullptr);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_HostCopy(benchmark::State& state) {
    Frame frame;
    for (auto _ : state) {
        for (A_long y = 0; y < kHeight; ++y) {
            std::memcpy(frame.dst.data() + static_cast<size_t>(y) * kRowbytes,
                        frame.src.data() + static_cast<size_t>(y) * kRowbytes, kWidth * 4);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

}  // namespace

BENCHMARK(BM_HostCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CallPerPixel)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Plain, Default, Case::kDefault)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Specialised, Default, Case::kDefault)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Plain, WideLinearEllipse, Case::kWideLinearEllipse)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Specialised, WideLinearEllipse, Case::kWideLinearEllipse)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Plain, WideLinearRectangle, Case::kWideLinearRectangle)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Specialised, WideLinearRectangle, Case::kWideLinearRectangle)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Plain, WideGaussian, Case::kWideGaussian)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Specialised, WideGaussian, Case::kWideGaussian)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Plain, LuminosityMode, Case::kHueMode)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Specialised, LuminosityMode, Case::kHueMode)->Unit(benchmark::kMillisecond);
