#include "render/PixelFunctions.h"

#include <emmintrin.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <new>
#include <thread>

#include "render/Blending.h"
#include "render/Mask.h"
#include "render/PixelFormats.h"
#include "render/fastpath/FastMasks.h"
#include "render/fastpath/ShadedRuns.h"

namespace qxv {

void PrepareOutsidePairs(ShadingJob* job, const int (&table_of_byte)[4]) {
    job->outside_pairs.reset();
    if (!job->has_byte_tables || !job->span_rows || !job->outside_pairs_pay) return;
    // Not value-initialised: every entry is written below.
    job->outside_pairs.reset(new (std::nothrow) std::uint16_t[2 * 65536]);
    if (!job->outside_pairs) return;  // only a shortcut is lost: outside pixels take the per-byte tables
    const auto& tables = job->byte_tables[ClassifyFlatMask(job->outside_mask)];
    for (int half = 0; half < 2; ++half) {
        const A_u_char* first = tables[table_of_byte[2 * half]];
        const A_u_char* second = tables[table_of_byte[2 * half + 1]];
        std::uint16_t* pairs = job->outside_pairs.get() + half * 65536;
        // x86 is little-endian: the entry for the bytes {a, b} in memory is pairs[b * 256 + a],
        // and holds {first[a], second[b]}. Sixteen entries per step: first's bytes
        // interleaved with second[b].
        for (int b = 0; b < 256; ++b) {
            const __m128i high = _mm_set1_epi8(static_cast<char>(second[b]));
            std::uint16_t* row = pairs + b * 256;
            for (int a = 0; a < 256; a += 16) {
                const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + a));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(row + a), _mm_unpacklo_epi8(low, high));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(row + a + 8), _mm_unpackhi_epi8(low, high));
            }
        }
    }
}

void PrepareOutsideSpans(ShadingJob* job, A_long columns, A_long rows) {
    job->span_columns = columns;
    job->outside_mask = job->context.invert ? 0.0f : 1.0f;  // 1 - 1 is +0, as the inverted mask gives
    try {
        job->outside_spans = ComputeOutsideSpans(job->context, columns, rows);
    } catch (const std::bad_alloc&) {
        job->outside_spans.clear();  // only a shortcut is lost: every pixel takes the exact test
    }
    job->span_rows = job->outside_spans.size();
    std::uint64_t outside = 0;
    for (const RowSpan& span : job->outside_spans) {
        outside += static_cast<std::uint64_t>(columns) -
                   (span.first <= span.last ? static_cast<std::uint64_t>(span.last - span.first) + 1 : 0);
    }
    // Every pixel the test does not find pays about ten instructions for it, every one it
    // finds saves a run's mask and the shading (a hundred or more).
    job->outside_test_pays = outside * 8 >= static_cast<std::uint64_t>(columns) * job->span_rows;
    job->outside_pairs_pay = outside >= kOutsidePixelsPayingForPairs;
}

namespace {

enum class Shape { kEllipse, kRectangle };

template <Shape kShape>
inline float MaskAt(const RenderContext* ctx, A_long x, A_long y) {
    float m;
    if constexpr (kShape == Shape::kEllipse) {
        EllipseMask(ctx, x, y, &m);
    } else {
        RectangleMask(ctx, x, y, &m);
    }
    return m;
}

// Whether the pixels of a run are shaded ahead (fastpath/ShadedRuns.h) on frames of the format.
template <class Format>
constexpr bool ShadesAhead(std::int32_t code) { return Format::kEightBit && ShadesFromAmount(code); }

// Where the stack of this call is. The host's row loop calls a pixel function from the same
// place for every pixel, so the value stays the same along a row; and the stacks of threads
// do not overlap, so no two threads shading at once share it. It names the thread among
// those shading a frame without asking for thread-local storage (a call into the dynamic
// loader on every pixel).
[[gnu::always_inline]] inline std::uintptr_t StackOfThisCall() {
    std::uintptr_t stack;
    asm("mov %%rsp, %0" : "=r"(stack));
    return stack;
}

// The slot a stack hashes to: threads' stacks lie megabytes apart at the same offsets, so
// the high bits count.
inline std::size_t SlotOf(std::uintptr_t stack, int shift) {
    return static_cast<std::size_t>((stack * 0x9E3779B97F4A7C15u) >> shift);
}

// Two slots no thread ever takes, for a frame without memory for its runs.
MaskRun g_no_runs[2];

// The run of the thread on `stack` in the job's frame, taken the first time; null where
// every slot is another thread's.
MaskRun* RunOfThisThread(const ShadingJob* job, std::uintptr_t stack) {
    const MaskRuns& runs = job->mask_runs;
    if (!runs.runs) return nullptr;
    const std::size_t slots = std::size_t{1} << (64 - runs.slot_shift);
    const std::size_t home = SlotOf(stack, runs.slot_shift);
    for (std::size_t probe = 0; probe < slots; ++probe) {
        MaskRun& run = runs.slots[(home + probe) & (slots - 1)];
        std::uintptr_t owner = run.stack.load(std::memory_order_relaxed);
        if (owner == 0 && run.stack.compare_exchange_strong(owner, stack, std::memory_order_relaxed)) {
            run.y = run.first = 0;
            run.count = run.shaded = 0;
            run.row_y = run.row_first = run.row_end = 0;  // no columns yet
            run.kept = KeptRow{};
            if (const std::size_t columns = job->mirror_columns.of.size()) {
                run.row_values.reset(new (std::nothrow) float[columns]);  // null: only a shortcut is lost
            }
            return &run;
        }
        if (owner == stack) return &run;
    }
    return nullptr;
}

// The runs of a frame: hosts shade on about one thread per core, and eight slots for each
// keep a thread's stack from hashing to a slot another thread took, most of the time (it
// then finds its run a call later).
MaskRuns MakeMaskRuns() {
    static const int kShift = [] {
        const unsigned threads = std::max(std::thread::hardware_concurrency(), 1u) + 1;
        int bits = 4;
        while ((1u << bits) < 8 * threads && bits < 10) ++bits;
        return 64 - bits;
    }();
    const std::size_t slots = std::size_t{1} << (64 - kShift);
    MaskRuns runs{std::unique_ptr<MaskRun[]>(new (std::nothrow) MaskRun[slots]), g_no_runs, 63};
    if (!runs.runs) return runs;
    for (std::size_t i = 0; i < slots; ++i) runs.runs[i].stack.store(0, std::memory_order_relaxed);
    runs.slots = runs.runs.get();
    runs.slot_shift = kShift;
    return runs;
}

// FillAmount(ctx, m) * ctx->opacity for four masks, for the modes shaded from the amount:
// only a colour fill blends ("Transparent" has no mode, see SetUpCompositing), and its amount
// is the mask itself.
inline __m128 AmountLanes(const RenderContext* ctx, __m128 m) { return _mm_mul_ps(m, _mm_set1_ps(ctx->opacity)); }

// The column after the last that a run from pixel (x, y) on may serve, x within the frame's
// columns: where the pixel function answers the pixels certainly outside first, those
// beyond the row's span never ask a run.
inline A_long RunEnd(const ShadingJob* job, A_long x, A_long y, bool outside_answered_first) {
    if (outside_answered_first && static_cast<std::size_t>(y) < job->span_rows) {
        const RowSpan& span = job->outside_spans.data()[y];
        if (x <= span.last) return std::min<A_long>(job->span_columns, span.last + 1);
    }
    return job->span_columns;
}

// The run's masks (of row run->y, from column x) kept by column for the mirror columns: the
// row's columns so far extended, or begun anew where the run does not follow them.
inline void KeepInRow(A_long x, int count, MaskRun* run) {
    if (run->row_y != run->y || x != run->row_end) {
        run->row_y = run->y;
        run->row_first = x;
    }
    run->row_end = x + count;
    std::memcpy(run->row_values.get() + x, run->values, static_cast<std::size_t>(count) * sizeof(float));
}

// The run's masks (its row, first column and count set) from those the thread computed for
// the mirror columns earlier in the row, if it did for every one: true.
inline bool FromMirrorColumns(const ShadingJob* job, A_long x, int count, MaskRun* run) {
    const MirrorColumns& mirrors = job->mirror_columns;
    if (run->row_y != run->y || mirrors.ahead[static_cast<std::size_t>(x)] < count) return false;
    const A_long top = mirrors.of[static_cast<std::size_t>(x)];  // x's mirror; x + i's is top - i
    if (top - (count - 1) < run->row_first || top >= run->row_end) return false;
    for (int i = 0; i < count; ++i) run->values[i] = run->row_values[static_cast<std::size_t>(top - i)];
    // The lanes past the run that the shading in lanes reads and no pixel keeps.
    std::fill(run->values + count, run->values + ((count + 7) & ~7), 0.0f);
    return true;
}

// The run's values from pixel (x, y) up to column `end` (at most kMaskRunLength of them), x
// below end and within the frame's columns: masks, or amounts with kAmounts. Not yet shaded.
template <Shape kShape, bool kAmounts>
[[gnu::noinline]] void ComputeRun(const ShadingJob* job, A_long x, A_long y, A_long end, MaskRun* run) {
    const RenderContext* ctx = &job->context;
    // Runs stay within the frame's columns, so their columns cannot overflow.
    const int count = static_cast<int>(std::min<A_long>(kMaskRunLength, end - x));
    run->y = y;
    run->first = x;
    run->count = static_cast<A_u_long>(count);
    run->shaded = 0;
    const StoredMasks& stored = job->stored_masks;
    if (!stored || !stored.Read(x, y, count, run->values)) {
        if (!run->row_values || !FromMirrorColumns(job, x, count, run)) {
            if constexpr (kShape == Shape::kEllipse) {
                EllipseMaskRun(ctx, x, y, count, run->values);
            } else {
                const ColumnCurves* columns = job->column_curves.side.empty() ? nullptr : &job->column_curves;
                RectangleMaskRun(ctx, columns, x, y, count, run->values);
            }
        }
        if (stored) stored.Keep(x, y, count, run->values, &run->kept);
    }
    if (run->row_values) KeepInRow(x, count, run);
    if constexpr (kAmounts) {
        for (int i = 0; i < count; i += 4) {
            _mm_store_ps(run->values + i, AmountLanes(ctx, _mm_load_ps(run->values + i)));
        }
    }
}

// Whether `in`, the pixel the host handed over for (x, y), lies in the job's source world
// with the run's count pixels after it in its row, which may then be read ahead.
inline bool ReadsAhead(const ShadingJob* job, A_long x, A_long y, A_u_long count, const void* in) {
    const SourceRows& source = job->source;
    if (!source.data || y < 0 || y >= source.height || x < 0 || x > source.width ||
        count > static_cast<A_u_long>(source.width - x)) {
        return false;
    }
    const A_u_char* expected = source.data + static_cast<std::ptrdiff_t>(y) * source.row_bytes +
                               static_cast<std::ptrdiff_t>(x) * static_cast<std::ptrdiff_t>(sizeof(PF_Pixel));
    return static_cast<const void*>(expected) == in;
}

// The fill colour in lanes: alpha, red, green, blue, as the context keeps them.
inline ChannelLanes FillLanes(const RenderContext* ctx) {
    static_assert(offsetof(RenderContext, fill_blue) == offsetof(RenderContext, fill_alpha) + 3 * sizeof(float),
                  "fill channels next to each other");
    return _mm_loadu_ps(&ctx->fill_alpha);
}

// The input bytes are all read before any output byte is written: the host may iterate in
// place.
template <class Format>
inline void ApplyByteTables(const A_u_char (&tables)[4][256], const PF_Pixel* in, PF_Pixel* out) {
    const A_u_char* src = reinterpret_cast<const A_u_char*>(in);
    A_u_char* dst = reinterpret_cast<A_u_char*>(out);
    const A_u_char alpha = src[Format::kAlpha], red = src[Format::kRed], green = src[Format::kGreen],
                   blue = src[Format::kBlue];
    dst[Format::kAlpha] = tables[0][alpha];
    dst[Format::kRed] = tables[1][red];
    dst[Format::kGreen] = tables[2][green];
    dst[Format::kBlue] = tables[3][blue];
}

// The byte tables at mask m: each table entry is that channel of a pixel whose channels all
// hold the entry's byte, shaded as the pixel functions shade it.
template <std::int32_t kCode>
void ShadeByteTables(const RenderContext* ctx, float m, A_u_char (&tables)[4][256]) {
    if constexpr (ShadesInLanes(kCode)) {
        // A pixel's channels do not mix in these modes, and its alpha stays the source's: four
        // entries at a time, a lane for each byte, the fill channel in every lane.
        const float k = FillAmount(ctx, m) * ctx->opacity;
        const float fill[4] = {0.0f, ctx->fill_red, ctx->fill_green, ctx->fill_blue};
        for (int n = 0; n < 256; n += 4) {
            const ChannelLanes src = _mm_loadu_ps(&kByteToFloat[n]);
            LanesToBytes(src, &tables[0][n]);
            for (int channel = 1; channel < 4; ++channel) {
                const ChannelLanes c = _mm_set1_ps(fill[channel]);
                if constexpr (kCode == kBlendSoftLight) {
                    LanesToBytes(SoftLightLanes(src, MakeSoftLightFill(c), k), &tables[channel][n]);
                } else {
                    LanesToBytes(LaneWiseBlend<kCode>(src, c, k), &tables[channel][n]);
                }
            }
        }
    } else {
        for (int n = 0; n < 256; ++n) {
            const float v = ByteToFloat(static_cast<A_u_char>(n));
            const PF_PixelFloat src = {v, v, v, v};
            PF_PixelFloat result;
            ShadeWithMaskFor<kCode>(ctx, m, &src, &result, nullptr);
            tables[0][n] = FloatToByte(result.alpha);
            tables[1][n] = FloatToByte(result.red);
            tables[2][n] = FloatToByte(result.green);
            tables[3][n] = FloatToByte(result.blue);
        }
    }
}

// ShadeWithMaskFor on the four channels at once, for the modes shaded from the amount k;
// alpha stays the source's.
template <class Format, std::int32_t kCode>
[[gnu::always_inline]] inline PF_Err ShadeWithAmount(const ShadingJob* job, float k, typename Format::Pixel* in,
                                                     typename Format::Pixel* out) {
    const ChannelLanes src = Format::LoadLanes(in);
    ChannelLanes result;
    if constexpr (KeepsFillHue(kCode)) {
        // BlendHue with the fill's sector known.
        float sat, v;
        if constexpr (kCode == kBlendHue) {
            SaturationAndValue(src[1], src[2], src[3], &sat, &v);
        } else {
            v = std::max(std::max(src[1], src[2]), src[3]);
            sat = job->fill_hsv.s;
        }
        PF_PixelFloat composite;
        if (sat == 0.0f) {
            composite.red = composite.green = composite.blue = v;
        } else {
            HsvToRgbInSector(job->fill_sector, sat, v, &composite);
        }
        result = LaneWiseBlend<kBlendNormal>(src, _mm_setr_ps(0.0f, composite.red, composite.green, composite.blue), k);
    } else if constexpr (kCode == kBlendSoftLight) {
        result = SoftLightLanes(src, job->soft_light, k);
    } else {
        result = LaneWiseBlend<kCode>(src, FillLanes(&job->context), k);
    }
    result[0] = src[0];
    Format::StoreLanes(result, out);
    return PF_Err_NONE;
}

// A pixel whose mask m is known: the fill, the transparency or the bare mask, with the
// conversions.
template <class Format, std::int32_t kCode>
[[gnu::always_inline]] inline PF_Err ShadeWithKnownMask(const ShadingJob* job, float m, typename Format::Pixel* in,
                                                        typename Format::Pixel* out) {
    const RenderContext* ctx = &job->context;
    if constexpr (Format::kEightBit) {
        const FlatMask flat = ClassifyFlatMask(m);
        if (flat != kNotFlatMask && job->has_byte_tables) {
            ApplyByteTables<Format>(job->byte_tables[flat], in, out);
            return PF_Err_NONE;
        }
    }
    if constexpr (ShadesFromAmount(kCode)) {
        return ShadeWithAmount<Format, kCode>(job, FillAmount(ctx, m) * ctx->opacity, in, out);
    }
    const PF_PixelFloat src = Format::Load(in);
    PF_PixelFloat result;
    ShadeWithMaskFor<kCode>(ctx, m, &src, &result, &job->fill_hsv);
    Format::Store(result, out);
    return PF_Err_NONE;
}

// A pixel whose run holds its mask or amount `value`, shaded from it.
template <class Format, std::int32_t kCode>
[[gnu::always_inline]] inline PF_Err ShadeWithRunValue(const ShadingJob* job, float value,
                                                       typename Format::Pixel* in, typename Format::Pixel* out) {
    if constexpr (ShadesFromAmount(kCode)) {
        return ShadeWithAmount<Format, kCode>(job, value, in, out);
    } else {
        return ShadeWithKnownMask<Format, kCode>(job, value, in, out);
    }
}

// ShadeWithKnownMask out of line: the modes that go channel by channel or through HSV make
// calls of their own, which would cost every pixel a stack frame if inlined into the caller.
template <class Format, std::int32_t kCode>
[[gnu::noinline, gnu::flatten]] PF_Err ShadeWithKnownMaskOutOfLine(const ShadingJob* job, float m,
                                                                   typename Format::Pixel* in,
                                                                   typename Format::Pixel* out) {
    return ShadeWithKnownMask<Format, kCode>(job, m, in, out);
}

// ShadeWithRunValue out of line, for the pixels of 8-bit frames that were not shaded ahead.
template <class Format, std::int32_t kCode>
[[gnu::noinline, gnu::flatten]] PF_Err ShadeWithRunValueOutOfLine(const ShadingJob* job, float value,
                                                                  typename Format::Pixel* in,
                                                                  typename Format::Pixel* out) {
    return ShadeWithRunValue<Format, kCode>(job, value, in, out);
}

// Pixel (x, y) shaded from `run` if the run holds it: true, with the pixel written. (The
// shadings return the host's PF_Err but never fail.)
template <class Format, std::int32_t kCode>
[[gnu::always_inline]] inline bool ShadeFromRun(const ShadingJob* job, const MaskRun& run, A_long x, A_long y,
                                                typename Format::Pixel* in, typename Format::Pixel* out) {
    if (run.y != y) return false;
    const A_u_long index = static_cast<A_u_long>(x) - static_cast<A_u_long>(run.first);
    if constexpr (ShadesAhead<Format>(kCode)) {
        // Shaded ahead from the input the pixel still has: done.
        std::uint32_t pixel;
        std::memcpy(&pixel, in, sizeof pixel);
        if (index < run.shaded && pixel == run.inputs[index]) {
            std::memcpy(out, &run.outputs[index], sizeof pixel);
            return true;
        }
    }
    if (index >= run.count) return false;
    // The flat masks' byte tables hold what the lanes give, so the modes shaded from the
    // amount take it as it is, flat or not; those shaded ahead come here only when their
    // pixel was not, and out of line.
    if constexpr (ShadesFromAmount(kCode) && !ShadesAhead<Format>(kCode)) {
        ShadeWithAmount<Format, kCode>(job, run.values[index], in, out);
    } else {
        ShadeWithRunValueOutOfLine<Format, kCode>(job, run.values[index], in, out);
    }
    return true;
}

// The first pixel of a run, or one no run covers: out of line, so that the pixels that find
// theirs in the run, and the outside shortcut, stay leaves. `stack` is the caller's
// StackOfThisCall; `outside_answered_first`, whether the caller answers the pixels
// certainly outside before it looks at a run.
template <class Format, Shape kShape, std::int32_t kCode>
[[gnu::noinline, gnu::flatten]] PF_Err ShadeAfterNewRun(const ShadingJob* job, A_long x, A_long y,
                                                        typename Format::Pixel* in, typename Format::Pixel* out,
                                                        std::uintptr_t stack, bool outside_answered_first) {
    constexpr bool kAmounts = ShadesFromAmount(kCode);
    MaskRun* run = x >= 0 && x < job->span_columns ? RunOfThisThread(job, stack) : nullptr;
    if (!run) {
        const RenderContext* ctx = &job->context;
        const float m = MaskAt<kShape>(ctx, x, y);
        return ShadeWithRunValue<Format, kCode>(job, kAmounts ? FillAmount(ctx, m) * ctx->opacity : m, in, out);
    }
    // A thread whose stack hashes to another's slot has its run in a later one.
    if (ShadeFromRun<Format, kCode>(job, *run, x, y, in, out)) return PF_Err_NONE;
    ComputeRun<kShape, kAmounts>(job, x, y, RunEnd(job, x, y, outside_answered_first), run);
    if constexpr (ShadesAhead<Format>(kCode)) {
        if (ReadsAhead(job, x, y, run->count, in)) {
            ShadeRun<Format, kCode>(*job, static_cast<int>(run->count), run->values, in, run->inputs, run->outputs);
            run->shaded = run->count;
            std::memcpy(out, &run->outputs[0], sizeof(std::uint32_t));
            return PF_Err_NONE;
        }
    }
    return ShadeWithRunValue<Format, kCode>(job, run->values[0], in, out);
}

// An outside pixel of an 8-bit frame: two look-ups in the pair tables, both halves read
// before either is written.
inline void ApplyOutsidePairs(const std::uint16_t* pairs, const void* in, void* out) {
    std::uint16_t low, high;
    std::memcpy(&low, in, sizeof low);
    std::memcpy(&high, static_cast<const A_u_char*>(in) + 2, sizeof high);
    low = pairs[low];
    high = pairs[65536 + high];
    std::memcpy(out, &low, sizeof low);
    std::memcpy(static_cast<A_u_char*>(out) + 2, &high, sizeof high);
}

// How a pixel certainly outside the shape is shaded: two look-ups in the pair tables, four in
// the byte tables (8-bit frames where the pairs would not pay), or the mask's shading; or,
// where so few pixels are outside that the test would not pay, as any other pixel.
enum class Outside { kPairs, kBytes, kShaded, kUntested };

template <class Format, Shape kShape, std::int32_t kCode, Outside kOutside>
PF_Err ShadeSpecialised(void* refcon, A_long x, A_long y, typename Format::Pixel* in, typename Format::Pixel* out) {
    const ShadingJob* job = static_cast<const ShadingJob*>(refcon);
    if (kOutside != Outside::kUntested && CertainlyOutside(job, x, y)) {
        // Most pixels of a vignette.
        if constexpr (kOutside == Outside::kPairs) {
            ApplyOutsidePairs(job->outside_pairs.get(), in, out);
            return PF_Err_NONE;
        } else if constexpr (kOutside == Outside::kBytes) {
            ApplyByteTables<Format>(job->byte_tables[job->context.invert ? kFlatMaskZero : kFlatMaskOne], in, out);
            return PF_Err_NONE;
        } else {
            return ShadeWithKnownMaskOutOfLine<Format, kCode>(job, job->outside_mask, in, out);
        }
    }
    const std::uintptr_t stack = StackOfThisCall();
    const MaskRun& run = job->mask_runs.slots[SlotOf(stack, job->mask_runs.slot_shift)];
    if (run.stack.load(std::memory_order_relaxed) == stack && ShadeFromRun<Format, kCode>(job, run, x, y, in, out)) {
        return PF_Err_NONE;
    }
    return ShadeAfterNewRun<Format, kShape, kCode>(job, x, y, in, out, stack, kOutside != Outside::kUntested);
}

template <class Format, std::int32_t kCode, Outside kOutside>
auto ChooseForShape(const ShadingJob* job) {
    return job->context.is_ellipse ? &ShadeSpecialised<Format, Shape::kEllipse, kCode, kOutside>
                                   : &ShadeSpecialised<Format, Shape::kRectangle, kCode, kOutside>;
}

template <class Format>
auto ChooseForShapeAndMode(ShadingJob* job) {
    job->mask_runs = MakeMaskRuns();
    job->column_curves = ComputeColumnCurves(job->context, job->span_columns);
    job->mirror_columns = FindMirrorColumns(job->context, job->span_columns);
    job->fill_hsv = FillHsv(&job->context);
    // The alpha lane's result is not kept: it follows red's branch, so that a fill whose colour
    // channels agree takes one branch.
    const RenderContext& ctx = job->context;
    job->soft_light = MakeSoftLightFill(_mm_setr_ps(ctx.fill_red, ctx.fill_red, ctx.fill_green, ctx.fill_blue));
    job->fill_sector = SectorOfHue(job->fill_hsv.h);
    const auto choose = [job](auto mode) {
        constexpr std::int32_t kCode = decltype(mode)::value;
        if (!job->outside_test_pays) return ChooseForShape<Format, kCode, Outside::kUntested>(job);
        if constexpr (Format::kEightBit) {
            if (job->outside_pairs) return ChooseForShape<Format, kCode, Outside::kPairs>(job);
            if (job->has_byte_tables) return ChooseForShape<Format, kCode, Outside::kBytes>(job);
        }
        return ChooseForShape<Format, kCode, Outside::kShaded>(job);
    };
    // WithBlendCode leaves the hue-based modes to run-time dispatch; two of them have their own.
    switch (job->context.blend_code) {
        case kBlendHue: return choose(std::integral_constant<std::int32_t, kBlendHue>{});
        case kBlendColor: return choose(std::integral_constant<std::int32_t, kBlendColor>{});
        default: return WithBlendCode(job->context.blend_code, choose);
    }
}

// The byte_tables channel of each byte of a pixel in memory.
template <class Format>
void PrepareEightBitTables(ShadingJob* job) {
    int table_of_byte[4];
    table_of_byte[Format::kAlpha] = 0;
    table_of_byte[Format::kRed] = 1;
    table_of_byte[Format::kGreen] = 2;
    table_of_byte[Format::kBlue] = 3;
    PrepareByteTables(job);
    PrepareOutsidePairs(job, table_of_byte);
}

}  // namespace

void PrepareByteTables(ShadingJob* job) {
    const RenderContext* ctx = &job->context;
    job->has_byte_tables = !IsHueBlend(ctx->blend_code);
    if (!job->has_byte_tables) return;
    // The mode is chosen once for the 512 shadings, as the pixel functions choose it.
    WithBlendCode(ctx->blend_code, [job, ctx](auto mode) {
        ShadeByteTables<decltype(mode)::value>(ctx, 0.0f, job->byte_tables[kFlatMaskZero]);
        ShadeByteTables<decltype(mode)::value>(ctx, 1.0f, job->byte_tables[kFlatMaskOne]);
    });
}

PF_IteratePixel8Func PixelArgb8(ShadingJob* job) {
    PrepareEightBitTables<Argb8Format>(job);
    return ChooseForShapeAndMode<Argb8Format>(job);
}
PF_IteratePixel16Func PixelArgb16(ShadingJob* job) { return ChooseForShapeAndMode<Argb16Format>(job); }
PF_IteratePixel8Func PixelBgra8(ShadingJob* job) {
    PrepareEightBitTables<Bgra8Format>(job);
    return ChooseForShapeAndMode<Bgra8Format>(job);
}
PF_IteratePixelFloatFunc PixelBgraFloat(ShadingJob* job) { return ChooseForShapeAndMode<BgraFloatFormat>(job); }

}  // namespace qxv
