#include "render/PixelFunctions.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <new>

#include "render/Blending.h"
#include "render/Mask.h"
#include "render/PixelFormats.h"
#include "render/fastpath/FastMasks.h"

namespace qxv {

void PrepareByteTables(ShadingJob* job) {
    const RenderContext* ctx = &job->context;
    job->has_byte_tables = !IsHueBlend(ctx->blend_code);
    if (!job->has_byte_tables) return;
    const float masks[kFlatMaskCount] = {0.0f, 1.0f};
    for (int flat = 0; flat < kFlatMaskCount; ++flat) {
        for (int n = 0; n < 256; ++n) {
            const float v = ByteToFloat(static_cast<A_u_char>(n));
            const PF_PixelFloat src = {v, v, v, v};
            PF_PixelFloat result;
            ShadeWithMask(ctx, masks[flat], &src, &result);
            job->byte_tables[flat][0][n] = FloatToByte(result.alpha);
            job->byte_tables[flat][1][n] = FloatToByte(result.red);
            job->byte_tables[flat][2][n] = FloatToByte(result.green);
            job->byte_tables[flat][3][n] = FloatToByte(result.blue);
        }
    }
}

void PrepareOutsidePairs(ShadingJob* job, const int (&table_of_byte)[4]) {
    job->outside_pairs.clear();
    if (!job->has_byte_tables || !job->span_rows) return;
    const auto& tables = job->byte_tables[ClassifyFlatMask(job->outside_mask)];
    try {
        job->outside_pairs.resize(2 * 65536);
    } catch (const std::bad_alloc&) {
        return;  // only a shortcut is lost: outside pixels take the per-byte tables
    }
    for (int half = 0; half < 2; ++half) {
        const A_u_char* first = tables[table_of_byte[2 * half]];
        const A_u_char* second = tables[table_of_byte[2 * half + 1]];
        std::uint16_t* pairs = job->outside_pairs.data() + half * 65536;
        for (int a = 0; a < 256; ++a) {
            for (int b = 0; b < 256; ++b) {
                // Keys and entries in memory order, whatever the machine's byte order.
                const A_u_char key_bytes[2] = {static_cast<A_u_char>(a), static_cast<A_u_char>(b)};
                const A_u_char out_bytes[2] = {first[a], second[b]};
                std::uint16_t key;
                std::memcpy(&key, key_bytes, sizeof key);
                std::memcpy(&pairs[key], out_bytes, sizeof key);
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

// The masks of the run of pixels a thread last computed. The host hands a thread one pixel
// after another along a row, so the first pixel of a run computes the masks of the next ones
// with it (see fastpath/FastMasks.h) and they find theirs here. Only masks are kept, each the
// same bits as computed alone, so any other order of pixels, threads or frames just computes
// more runs.
struct MaskRunStore {
    std::uint64_t frame = 0;  // no frame's
    A_long y = 0;
    A_long first = 0;
    A_u_long count = 0;
    alignas(16) float masks[kMaskRunLength] = {};
};

thread_local MaskRunStore t_mask_run;

std::uint64_t NextFrame() {
    static std::atomic<std::uint64_t> frames{0};
    return frames.fetch_add(1, std::memory_order_relaxed) + 1;
}

// The run from pixel (x, y) on into the thread's store, and x's mask.
template <Shape kShape>
[[gnu::noinline]] float ComputeMaskRun(const ShadingJob* job, A_long x, A_long y) {
    // Runs stay within the frame's columns, so their columns cannot overflow.
    if (x < 0 || x >= job->span_columns) return MaskAt<kShape>(&job->context, x, y);
    MaskRunStore& store = t_mask_run;
    const int count = static_cast<int>(std::min<A_long>(kMaskRunLength, job->span_columns - x));
    if constexpr (kShape == Shape::kEllipse) {
        EllipseMaskRun(&job->context, x, y, count, store.masks);
    } else {
        RectangleMaskRun(&job->context, x, y, count, store.masks);
    }
    store.frame = job->frame;
    store.y = y;
    store.first = x;
    store.count = static_cast<A_u_long>(count);
    return store.masks[0];
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

// The modes that shade a pixel's four channels in one register.
constexpr bool ShadesInLanes(std::int32_t code) { return IsLaneWiseBlend(code) || code == kBlendSoftLight; }

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
    if constexpr (ShadesInLanes(kCode)) {
        // ShadeWithMaskFor on the four channels at once; alpha stays the source's.
        const ChannelLanes src = Format::LoadLanes(in);
        const float k = FillAmount(ctx, m) * ctx->opacity;
        ChannelLanes result;
        if constexpr (kCode == kBlendSoftLight) {
            result = SoftLightLanes(src, FillLanes(ctx), k);
        } else {
            result = LaneWiseBlend<kCode>(src, FillLanes(ctx), k);
        }
        result[0] = src[0];
        Format::StoreLanes(result, out);
        return PF_Err_NONE;
    }
    const PF_PixelFloat src = Format::Load(in);
    PF_PixelFloat result;
    ShadeWithMaskFor<kCode>(ctx, m, &src, &result, &job->fill_hsv);
    Format::Store(result, out);
    return PF_Err_NONE;
}

// The first pixel of a run, or one no run covers: out of line, so that the pixels that find
// their mask in the store, and the outside shortcut, stay leaves.
template <class Format, Shape kShape, std::int32_t kCode>
[[gnu::noinline, gnu::flatten]] PF_Err ShadeAfterNewRun(const ShadingJob* job, A_long x, A_long y,
                                                        typename Format::Pixel* in, typename Format::Pixel* out) {
    return ShadeWithKnownMask<Format, kCode>(job, ComputeMaskRun<kShape>(job, x, y), in, out);
}

// ShadeWithKnownMask out of line: the modes that go channel by channel or through HSV make
// calls of their own, which would cost every pixel a stack frame if inlined into the caller.
template <class Format, std::int32_t kCode>
[[gnu::noinline, gnu::flatten]] PF_Err ShadeWithKnownMaskOutOfLine(const ShadingJob* job, float m,
                                                                   typename Format::Pixel* in,
                                                                   typename Format::Pixel* out) {
    return ShadeWithKnownMask<Format, kCode>(job, m, in, out);
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

template <class Format, Shape kShape, std::int32_t kCode, bool kOutsidePairs>
PF_Err ShadeSpecialised(void* refcon, A_long x, A_long y, typename Format::Pixel* in, typename Format::Pixel* out) {
    const ShadingJob* job = static_cast<const ShadingJob*>(refcon);
    if (CertainlyOutside(job, x, y)) {
        // Most 8-bit pixels of a vignette: two table look-ups.
        if constexpr (kOutsidePairs) {
            ApplyOutsidePairs(job->outside_pairs.data(), in, out);
            return PF_Err_NONE;
        } else {
            return ShadeWithKnownMaskOutOfLine<Format, kCode>(job, job->outside_mask, in, out);
        }
    }
    const MaskRunStore& store = t_mask_run;
    const A_u_long index = static_cast<A_u_long>(x) - static_cast<A_u_long>(store.first);
    if (store.frame != job->frame || store.y != y || index >= store.count) {
        return ShadeAfterNewRun<Format, kShape, kCode>(job, x, y, in, out);
    }
    if constexpr (ShadesInLanes(kCode)) {
        return ShadeWithKnownMask<Format, kCode>(job, store.masks[index], in, out);
    } else {
        return ShadeWithKnownMaskOutOfLine<Format, kCode>(job, store.masks[index], in, out);
    }
}

template <class Format>
auto ChooseForShapeAndMode(ShadingJob* job) {
    job->frame = NextFrame();
    job->fill_hsv = FillHsv(&job->context);
    return WithBlendCode(job->context.blend_code, [job](auto mode) {
        constexpr std::int32_t kCode = decltype(mode)::value;
        using Pixel = typename Format::Pixel;
        PF_Err (*chosen)(void*, A_long, A_long, Pixel*, Pixel*) = nullptr;
        if constexpr (Format::kEightBit) {
            if (!job->outside_pairs.empty()) {
                chosen = job->context.is_ellipse ? &ShadeSpecialised<Format, Shape::kEllipse, kCode, true>
                                                 : &ShadeSpecialised<Format, Shape::kRectangle, kCode, true>;
            }
        }
        if (!chosen) {
            chosen = job->context.is_ellipse ? &ShadeSpecialised<Format, Shape::kEllipse, kCode, false>
                                             : &ShadeSpecialised<Format, Shape::kRectangle, kCode, false>;
        }
        return chosen;
    });
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
