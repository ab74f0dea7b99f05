// The masks computed a run at a time against the mask of each pixel alone, and
// the pixel functions that keep a run's masks per thread against any order the host may
// visit pixels in. Equality is bitwise.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <thread>
#include <tuple>
#include <vector>

#include "../ParamSet.h"
#include "render/Mask.h"
#include "render/PixelFunctions.h"
#include "render/RenderSetup.h"
#include "render/fastpath/FastMasks.h"

namespace qxv {
namespace {

using test::ParamSet;

RenderContext RandomShape(std::mt19937& rng) {
    auto uniform = [&rng](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    auto integer = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    ParamSet p;
    PF_InData in_data = test::FullResolutionInData();
    p[kParamVignetteType].u.pd.value = integer(1, 2);
    p.SetOrigin(uniform(-50, 250), uniform(-50, 150));
    p[kParamWidth].u.fs_d.value = uniform(2, 400);
    p[kParamHeight].u.fs_d.value = uniform(2, 300);
    p[kParamFeather].u.fs_d.value = integer(0, 4) == 0 ? 0.0 : uniform(0, 200);
    p.SetAngleDegrees(integer(0, 3) == 0 ? 0.0 : uniform(-360, 360));  // unturned: v the same along a row
    p[kParamInvert].u.bd.value = integer(0, 1);
    p[kParamAlphaFalloff].u.pd.value = integer(0, 7);  // 0 and 7 act as Linear
    if (integer(0, 3) == 0) in_data.downsample_x = {1, static_cast<A_u_long>(integer(2, 4))};
    if (integer(0, 5) == 0) {  // shapes without a band or without a size
        const double sizes[] = {0, 0.5, 1, 1e-3};
        p[integer(0, 1) ? kParamWidth : kParamHeight].u.fs_d.value = sizes[integer(0, 3)];
    }
    RenderContext ctx{};
    SetUpMask(&in_data, p.list, &ctx);
    return ctx;
}

// Both widths of the runs where the processor has the wider one.
struct RunWidth {
    const char* name;
    void (*ellipse)(const RenderContext*, A_long, A_long, int, float*);
    void (*rectangle)(const RenderContext*, const ColumnCurves*, A_long, A_long, int, float*);
};

std::vector<RunWidth> RunWidths() {
    std::vector<RunWidth> widths = {{"four lanes", EllipseMaskRunFourLanes, RectangleMaskRunFourLanes}};
    if (HasWideLanes()) widths.push_back({"eight lanes", EllipseMaskRunEightLanes, RectangleMaskRunEightLanes});
    return widths;
}

TEST(MaskRunTest, EveryPixelOfARunHasItsOwnMask) {
    for (const RunWidth& width : RunWidths()) {
        std::mt19937 rng(23);
        std::uniform_int_distribution<int> column(-80, 280), row(-20, 140), length(1, kMaskRunLength);
        for (int set = 0; set < 400; ++set) {
            const RenderContext ctx = RandomShape(rng);
            // An unturned rectangle's runs also take their curves from the frame's columns.
            const ColumnCurves columns = ComputeColumnCurves(ctx, 360);
            for (int run = 0; run < 40; ++run) {
                const A_long x = column(rng), y = row(rng);
                const int count = length(rng);
                alignas(32) float masks[kMaskRunLength];
                const bool from_columns = run % 2 && !columns.side.empty();
                if (ctx.is_ellipse) {
                    width.ellipse(&ctx, x, y, count, masks);
                } else {
                    width.rectangle(&ctx, from_columns ? &columns : nullptr, x, y, count, masks);
                }
                for (int i = 0; i < count; ++i) {
                    float alone;
                    (ctx.is_ellipse ? EllipseMask : RectangleMask)(&ctx, x + i, y, &alone);
                    ASSERT_EQ(std::memcmp(&alone, &masks[i], sizeof alone), 0)
                        << width.name << (from_columns ? " from the columns" : "") << ", set " << set << ", pixel ("
                        << x + i << ", " << y << "): " << masks[i] << " vs " << alone;
                }
            }
        }
    }
}

constexpr A_long kWidth = 150, kHeight = 40;

// A shape whose wide band covers most of the frame, so nearly every pixel takes a run's
// mask.
// mode_popup 0 keeps the default fill; any other is a "Blending mode" with a colour fill.
ShadingJob BandJob(double feather, std::int32_t falloff, A_long shape = kVignetteEllipse, std::int32_t mode_popup = 0) {
    ParamSet p;
    if (mode_popup) {
        p[kParamBlendingMode].u.pd.value = mode_popup;
        p[kParamFillWith].u.pd.value = kFillColor;
        p.SetColor(26, 42, 108);
        p.SetOpacityPercent(100);
    }
    p[kParamVignetteType].u.pd.value = shape;
    PF_InData in_data = test::FullResolutionInData();
    p.SetOrigin(kWidth / 2.0, kHeight / 2.0);
    p[kParamWidth].u.fs_d.value = 170;
    p[kParamHeight].u.fs_d.value = 60;
    p[kParamFeather].u.fs_d.value = feather;
    p[kParamAlphaFalloff].u.pd.value = falloff;
    ShadingJob job{};
    SetUpMask(&in_data, p.list, &job.context);
    SetUpCompositing(p.list, &job.context);
    PrepareOutsideSpans(&job, kWidth, kHeight);
    return job;
}

using Frame = std::vector<PF_Pixel>;

Frame Pattern() {
    Frame frame(static_cast<size_t>(kWidth) * kHeight);
    for (size_t i = 0; i < frame.size(); ++i) {
        frame[i] = {static_cast<A_u_char>(i * 7), static_cast<A_u_char>(i * 13), static_cast<A_u_char>(i * 29),
                    static_cast<A_u_char>(i * 31)};
    }
    return frame;
}

// Where the frame's pixels lie, for the runs that read theirs ahead.
SourceRows RowsOf(const Frame& frame) {
    return {reinterpret_cast<const A_u_char*>(frame.data()), kWidth * static_cast<A_long>(sizeof(PF_Pixel)), kWidth,
            kHeight};
}

constexpr std::int32_t kHuePopup = 11;  // its runs are shaded ahead

struct Pixel {
    A_long x, y;
};

std::vector<Pixel> RowOrder() {
    std::vector<Pixel> order;
    for (A_long y = 0; y < kHeight; ++y) {
        for (A_long x = 0; x < kWidth; ++x) order.push_back({x, y});
    }
    return order;
}

void Shade(PF_IteratePixel8Func fn, ShadingJob* job, const std::vector<Pixel>& order, const Frame& in, Frame& out) {
    for (const Pixel& p : order) {
        const size_t i = static_cast<size_t>(p.y) * kWidth + p.x;
        fn(job, p.x, p.y, const_cast<PF_Pixel*>(&in[i]), &out[i]);
    }
}

struct VisitOrder {
    const char* name;
    std::function<std::vector<Pixel>()> make;
};

// Orders a host may use: rows backwards, columns first, rows from the right, pixels shuffled.
const VisitOrder kOrders[] = {
    {"rows backwards", [] { auto o = RowOrder(); std::reverse(o.begin(), o.end()); return o; }},
    {"columns first",
     [] {
         std::vector<Pixel> o;
         for (A_long x = 0; x < kWidth; ++x) {
             for (A_long y = 0; y < kHeight; ++y) o.push_back({x, y});
         }
         return o;
     }},
    {"each row from the right",
     [] {
         std::vector<Pixel> o;
         for (A_long y = 0; y < kHeight; ++y) {
             for (A_long x = kWidth - 1; x >= 0; --x) o.push_back({x, y});
         }
         return o;
     }},
    {"shuffled",
     [] {
         auto o = RowOrder();
         std::shuffle(o.begin(), o.end(), std::mt19937(3));
         return o;
     }},
};

TEST(MaskRunTest, AnyVisitOrderGivesTheRowOrdersFrame) {
    const Frame in = Pattern();
    for (const auto& [shape, falloff, mode] :
         {std::tuple{kVignetteEllipse, 1, 0}, std::tuple{kVignetteEllipse, 5, 0}, std::tuple{kVignetteRectangle, 1, 0},
          std::tuple{kVignetteRectangle, 6, 0}, std::tuple{kVignetteEllipse, 5, kHuePopup},
          std::tuple{kVignetteRectangle, 1, kHuePopup}}) {
        ShadingJob job = BandJob(80, falloff, shape, mode);
        job.source = RowsOf(in);
        const PF_IteratePixel8Func fn = PixelArgb8(&job);
        Frame expected(in.size());
        Shade(fn, &job, RowOrder(), in, expected);
        for (const VisitOrder& order : kOrders) {
            Frame actual(in.size());
            Shade(fn, &job, order.make(), in, actual);
            EXPECT_EQ(std::memcmp(expected.data(), actual.data(), in.size() * sizeof(PF_Pixel)), 0)
                << order.name << ", shape " << shape << ", falloff " << falloff << ", mode " << mode;
        }
    }
}

// Two frames shaded pixel by pixel in turn on one thread, and one frame's rows shared by two
// threads: no pixel may take a mask kept for another frame or row.
TEST(MaskRunTest, FramesAndThreadsDoNotShareRuns) {
    const Frame in = Pattern();
    ShadingJob wide = BandJob(80, 5), narrow = BandJob(10, 1);
    const PF_IteratePixel8Func wide_fn = PixelArgb8(&wide), narrow_fn = PixelArgb8(&narrow);
    Frame wide_expected(in.size()), narrow_expected(in.size());
    Shade(wide_fn, &wide, RowOrder(), in, wide_expected);
    Shade(narrow_fn, &narrow, RowOrder(), in, narrow_expected);
    ASSERT_NE(std::memcmp(wide_expected.data(), narrow_expected.data(), in.size() * sizeof(PF_Pixel)), 0);

    Frame wide_actual(in.size()), narrow_actual(in.size());
    for (const Pixel& p : RowOrder()) {
        Shade(wide_fn, &wide, {p}, in, wide_actual);
        Shade(narrow_fn, &narrow, {p}, in, narrow_actual);
    }
    EXPECT_EQ(std::memcmp(wide_expected.data(), wide_actual.data(), in.size() * sizeof(PF_Pixel)), 0);
    EXPECT_EQ(std::memcmp(narrow_expected.data(), narrow_actual.data(), in.size() * sizeof(PF_Pixel)), 0);

    // The same job shaded again after a new choice (the next frame at the same address).
    ShadingJob reused = BandJob(10, 1);
    Shade(PixelArgb8(&reused), &reused, RowOrder(), in, narrow_actual);
    reused = BandJob(80, 5);
    Shade(PixelArgb8(&reused), &reused, RowOrder(), in, wide_actual);
    EXPECT_EQ(std::memcmp(wide_expected.data(), wide_actual.data(), in.size() * sizeof(PF_Pixel)), 0);

    Frame threaded(in.size());
    auto rows = [&](A_long parity) {
        std::vector<Pixel> order;
        for (const Pixel& p : RowOrder()) {
            if (p.y % 2 == parity) order.push_back(p);
        }
        Shade(wide_fn, &wide, order, in, threaded);
    };
    std::thread odd(rows, 1);
    rows(0);
    odd.join();
    EXPECT_EQ(std::memcmp(wide_expected.data(), threaded.data(), in.size() * sizeof(PF_Pixel)), 0);
}

// More threads than slots for their runs, so that they collide on one and find none: each
// pixel still as on one thread.
TEST(MaskRunTest, ThreadsWithoutARunOfTheirOwnShadeAsAnyOther) {
    const Frame in = Pattern();
    ShadingJob job = BandJob(80, 5, kVignetteEllipse, kHuePopup);
    job.source = RowsOf(in);
    const PF_IteratePixel8Func fn = PixelArgb8(&job);
    Frame expected(in.size()), actual(in.size());
    Shade(fn, &job, RowOrder(), in, expected);
    job.mask_runs.slot_shift = 63;  // two slots
    constexpr A_long kThreads = 4;
    auto rows = [&](A_long thread) {
        std::vector<Pixel> order;
        for (const Pixel& p : RowOrder()) {
            if (p.y % kThreads == thread) order.push_back(p);
        }
        Shade(fn, &job, order, in, actual);
    };
    std::vector<std::thread> threads;
    for (A_long thread = 1; thread < kThreads; ++thread) threads.emplace_back(rows, thread);
    rows(0);
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(std::memcmp(expected.data(), actual.data(), in.size() * sizeof(PF_Pixel)), 0);
}

// Frame after frame on two threads, each job gone before the next is made (whose runs may
// take its memory), the runs shaded ahead: a thread must never take up a run of a job gone.
// The frames take turns between two shapes, so that a pixel from the other one shows.
TEST(MaskRunTest, SuccessiveFramesKeepToTheirOwnRuns) {
    const Frame in = Pattern();
    const auto job_of_frame = [](int frame) { return BandJob(frame % 2 ? 80 : 30, 5, kVignetteEllipse, kHuePopup); };
    Frame expected[2] = {Frame(in.size()), Frame(in.size())};
    for (int frame = 0; frame < 2; ++frame) {
        ShadingJob job = job_of_frame(frame);
        Shade(PixelArgb8(&job), &job, RowOrder(), in, expected[frame]);
    }
    ASSERT_NE(std::memcmp(expected[0].data(), expected[1].data(), in.size() * sizeof(PF_Pixel)), 0);
    for (int frame = 0; frame < 40; ++frame) {
        auto job = std::make_unique<ShadingJob>(job_of_frame(frame));
        job->source = RowsOf(in);
        const PF_IteratePixel8Func fn = PixelArgb8(job.get());
        Frame actual(in.size());
        auto rows = [&](A_long parity) {
            std::vector<Pixel> order;
            for (const Pixel& p : RowOrder()) {
                if (p.y % 2 == parity) order.push_back(p);
            }
            Shade(fn, job.get(), order, in, actual);
        };
        std::thread odd(rows, 1);
        rows(0);
        odd.join();
        job.reset();
        ASSERT_EQ(std::memcmp(expected[frame % 2].data(), actual.data(), in.size() * sizeof(PF_Pixel)), 0)
            << "frame " << frame;
    }
}

// Frames of one geometry after another, as an editor renders a clip: from the second on its
// masks are kept, and the later frames copy them. Kept in pieces (a frame visited in shuffled
// order), shared by two frames at once, of another geometry of the same size, or of two
// geometries in turn (two layers' vignettes): each frame still has the bits it has alone.
TEST(MaskRunTest, KeptMasksGiveEachFrameItsOwnBits) {
    const Frame in = Pattern();
    const auto job_of = [&](int geometry) {
        auto job = std::make_unique<ShadingJob>(geometry == 0   ? BandJob(80, 5, kVignetteEllipse, kHuePopup)
                                                : geometry == 1 ? BandJob(70, 5, kVignetteEllipse, kHuePopup)
                                                                : BandJob(80, 1, kVignetteRectangle));
        job->source = RowsOf(in);
        return job;
    };
    Frame expected[3];
    for (int geometry = 0; geometry < 3; ++geometry) {
        expected[geometry].resize(in.size());
        auto job = job_of(geometry);
        Shade(PixelArgb8(job.get()), job.get(), RowOrder(), in, expected[geometry]);
    }
    ASSERT_NE(std::memcmp(expected[0].data(), expected[1].data(), in.size() * sizeof(PF_Pixel)), 0);

    const auto shuffled = kOrders[3].make();
    const int sequence[] = {0, 0, 0, 0, 1, 1, 1, 0, 0, 2, 2, 2, 2, 0, 2, 0, 2};
    constexpr int kInTurns = 4;  // the last frames: two geometries in turn, each kept from before
    int kept = 0, kept_in_turns = 0;
    for (int frame = 0; frame < static_cast<int>(std::size(sequence)); ++frame) {
        const int geometry = sequence[frame];
        // Two frames at once, each on its own thread. The second of the first frame of a
        // geometry makes the store and keeps the masks: geometry 1's in shuffled order, so
        // that its rows are kept in pieces.
        std::unique_ptr<ShadingJob> jobs[2] = {job_of(geometry), job_of(geometry)};
        Frame actual[2] = {Frame(in.size()), Frame(in.size())};
        auto render = [&](int which) {
            ShadingJob* job = jobs[which].get();
            const bool pieces = which == 1 && geometry == 1 && sequence[frame - 1] != geometry;
            Shade(PixelArgb8(job), job, pieces ? shuffled : RowOrder(), in, actual[which]);
        };
        for (auto& job : jobs) {
            job->stored_masks = StoredMasks::For(job->context, kWidth, kHeight);
            kept += static_cast<bool>(job->stored_masks);
            // Taken up as the earlier frame of the geometry left it: the centre's mask is there.
            alignas(16) float centre[8];
            if (frame >= static_cast<int>(std::size(sequence)) - kInTurns && job->stored_masks &&
                job->stored_masks.Read(kWidth / 2, kHeight / 2, 1, centre)) {
                ++kept_in_turns;
            }
        }
        std::thread second(render, 1);
        render(0);
        second.join();
        for (const Frame& frame_pixels : actual) {
            ASSERT_EQ(std::memcmp(expected[geometry].data(), frame_pixels.data(), in.size() * sizeof(PF_Pixel)), 0)
                << "frame " << frame << ", geometry " << geometry;
        }
    }
    EXPECT_GE(kept, 24);  // every frame's two jobs but the first of each geometry
    EXPECT_EQ(kept_in_turns, 2 * kInTurns);
}

}  // namespace
}  // namespace qxv
