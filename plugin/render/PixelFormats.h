// The pixel layouts the effect renders and the conversions between their channels and the
// working float pixel, one channel at a time or a whole pixel in SSE lanes, with the same
// bits either way; and the row loop for the one layout the host's iterate suites leave out.
#pragma once

#include <emmintrin.h>

#include <array>
#include <cstdint>
#include <cstring>

#include "AE_Effect.h"
#include "AE_EffectSuites.h"

namespace qxv {

// Channel conversions between the host's integer formats and the working float pixel.
// Both directions are exact for channels the shading returns unchanged: n / 255 * 255 and
// n / 32768 * 32768 give back n for every n.

namespace detail {
constexpr std::array<float, 256> MakeByteToFloat() {
    std::array<float, 256> table{};
    for (int n = 0; n < 256; ++n) table[n] = static_cast<float>(n) / 255.0f;
    return table;
}
}  // namespace detail

// byte / 255 in single precision, computed once: the same bits as dividing per pixel.
inline constexpr std::array<float, 256> kByteToFloat = detail::MakeByteToFloat();

inline float ByteToFloat(A_u_char n) { return kByteToFloat[n]; }

// scaled > 0 ? scaled : 0, then that < full ? that : full, truncated toward zero. The
// processor's max and min are exactly these selections (not-a-number, compared false, gives
// the second operand: 0), where branches would mispredict on a band's varying values.
inline int LimitAndTruncate(float scaled, float full) {
    const __m128 above_zero = _mm_max_ss(_mm_set_ss(scaled), _mm_setzero_ps());
    return _mm_cvttss_si32(_mm_min_ss(above_zero, _mm_set_ss(full)));
}

// v * 255, limited (not-a-number counts as below 0), truncated toward zero: 127.5 gives 127.
inline A_u_char FloatToByte(float v) {
    return static_cast<A_u_char>(LimitAndTruncate(v * 255.0f, 255.0f));
}

// The host's 16-bit full scale is 32768, not 65535.
inline float Short16ToFloat(A_u_short n) { return static_cast<float>(n) * 3.0517578125e-05f; }

inline A_u_short FloatToShort16(float v) {
    return static_cast<A_u_short>(LimitAndTruncate(v * 32768.0f, 32768.0f));
}

// A working pixel's four channels in the lanes of one SSE register, and the host formats'
// conversions into and out of them. Each lane is converted exactly as the conversions above
// convert a channel alone: byte / 255 and short × 1/32768 (the division and the product
// round the same in a lane), then × full scale, limited by max and min (not-a-number
// becomes 0) and truncated.

using ChannelLanes = __m128;  // in the order of the memory read, or alpha, red, green, blue

inline ChannelLanes ReverseLanes(ChannelLanes v) { return _mm_shuffle_ps(v, v, _MM_SHUFFLE(0, 1, 2, 3)); }

// Limited to 0..full (not-a-number as 0) and truncated, as whole numbers in 32-bit lanes.
inline __m128i LimitAndTruncateLanes(ChannelLanes scaled, float full) {
    const __m128 above_zero = _mm_max_ps(scaled, _mm_setzero_ps());
    return _mm_cvttps_epi32(_mm_min_ps(above_zero, _mm_set1_ps(full)));
}

// Four bytes, lane i from byte i.
inline ChannelLanes BytesToLanes(const void* bytes) {
    std::int32_t word;
    std::memcpy(&word, bytes, sizeof word);
    const __m128i zero = _mm_setzero_si128();
    const __m128i ints = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(word), zero), zero);
    return _mm_div_ps(_mm_cvtepi32_ps(ints), _mm_set1_ps(255.0f));
}

inline void LanesToBytes(ChannelLanes v, void* bytes) {
    const __m128i ints = LimitAndTruncateLanes(_mm_mul_ps(v, _mm_set1_ps(255.0f)), 255.0f);
    const __m128i words = _mm_packs_epi32(ints, ints);  // 0..255: nothing saturates
    const std::int32_t word = _mm_cvtsi128_si32(_mm_packus_epi16(words, words));
    std::memcpy(bytes, &word, sizeof word);
}

// Four 16-bit values in the host's order, full scale 32768.
inline ChannelLanes Shorts16ToLanes(const void* shorts) {
    const __m128i ints = _mm_unpacklo_epi16(_mm_loadl_epi64(static_cast<const __m128i*>(shorts)), _mm_setzero_si128());
    return _mm_mul_ps(_mm_cvtepi32_ps(ints), _mm_set1_ps(3.0517578125e-05f));
}

inline void LanesToShorts16(ChannelLanes v, void* shorts) {
    const __m128i ints = LimitAndTruncateLanes(_mm_mul_ps(v, _mm_set1_ps(32768.0f)), 32768.0f);
    // 0..32768 does not fit a signed 16-bit pack: shift it to -32768..0, pack, and flip the
    // top bit back.
    const __m128i shifted = _mm_sub_epi32(ints, _mm_set1_epi32(32768));
    const __m128i packed = _mm_xor_si128(_mm_packs_epi32(shifted, shifted), _mm_set1_epi16(static_cast<short>(0x8000)));
    _mm_storel_epi64(static_cast<__m128i*>(shorts), packed);
}

// The four pixel layouts the effect renders, each as a type with the host's pixel record
// and conversions to and from the working float pixel, so that one templated pixel function
// serves them all. LoadLanes and StoreLanes convert the same way to and from a pixel's four
// channels in SSE lanes (alpha, red, green, blue).

// After Effects 8-bit: alpha, red, green, blue bytes.
struct Argb8Format {
    using Pixel = PF_Pixel;
    static constexpr bool kEightBit = true;
    static constexpr int kAlpha = 0, kRed = 1, kGreen = 2, kBlue = 3;  // byte offsets
    static PF_PixelFloat Load(const Pixel* p) {
        return {ByteToFloat(p->alpha), ByteToFloat(p->red), ByteToFloat(p->green), ByteToFloat(p->blue)};
    }
    static void Store(const PF_PixelFloat& v, Pixel* p) {
        p->alpha = FloatToByte(v.alpha);
        p->red = FloatToByte(v.red);
        p->green = FloatToByte(v.green);
        p->blue = FloatToByte(v.blue);
    }
    static ChannelLanes LoadLanes(const Pixel* p) { return BytesToLanes(p); }
    static void StoreLanes(ChannelLanes v, Pixel* p) { LanesToBytes(v, p); }
};

// Premiere Pro 8-bit BGRA: blue, green, red, alpha bytes, handed over as a PF_Pixel.
struct Bgra8Format {
    using Pixel = PF_Pixel;
    static constexpr bool kEightBit = true;
    static constexpr int kAlpha = 3, kRed = 2, kGreen = 1, kBlue = 0;
    static PF_PixelFloat Load(const Pixel* p) {
        const A_u_char* bytes = reinterpret_cast<const A_u_char*>(p);
        return {ByteToFloat(bytes[kAlpha]), ByteToFloat(bytes[kRed]), ByteToFloat(bytes[kGreen]),
                ByteToFloat(bytes[kBlue])};
    }
    static void Store(const PF_PixelFloat& v, Pixel* p) {
        A_u_char* bytes = reinterpret_cast<A_u_char*>(p);
        bytes[kAlpha] = FloatToByte(v.alpha);
        bytes[kRed] = FloatToByte(v.red);
        bytes[kGreen] = FloatToByte(v.green);
        bytes[kBlue] = FloatToByte(v.blue);
    }
    static ChannelLanes LoadLanes(const Pixel* p) { return ReverseLanes(BytesToLanes(p)); }
    static void StoreLanes(ChannelLanes v, Pixel* p) { LanesToBytes(ReverseLanes(v), p); }
};

// After Effects 16-bit: alpha, red, green, blue, full scale 32768.
struct Argb16Format {
    using Pixel = PF_Pixel16;
    static constexpr bool kEightBit = false;
    static PF_PixelFloat Load(const Pixel* p) {
        return {Short16ToFloat(p->alpha), Short16ToFloat(p->red), Short16ToFloat(p->green), Short16ToFloat(p->blue)};
    }
    static void Store(const PF_PixelFloat& v, Pixel* p) {
        p->alpha = FloatToShort16(v.alpha);
        p->red = FloatToShort16(v.red);
        p->green = FloatToShort16(v.green);
        p->blue = FloatToShort16(v.blue);
    }
    static ChannelLanes LoadLanes(const Pixel* p) { return Shorts16ToLanes(p); }
    static void StoreLanes(ChannelLanes v, Pixel* p) { LanesToShorts16(v, p); }
};

// Premiere Pro 32-bit float BGRA: blue, green, red, alpha floats, reordered only, unlimited.
struct BgraFloatFormat {
    using Pixel = PF_PixelFloat;
    static constexpr bool kEightBit = false;
    static PF_PixelFloat Load(const Pixel* p) {
        const float* f = reinterpret_cast<const float*>(p);
        return {f[3], f[2], f[1], f[0]};
    }
    static void Store(const PF_PixelFloat& v, Pixel* p) {
        float* f = reinterpret_cast<float*>(p);
        f[0] = v.blue;
        f[1] = v.green;
        f[2] = v.red;
        f[3] = v.alpha;
    }
    static ChannelLanes LoadLanes(const Pixel* p) { return ReverseLanes(_mm_loadu_ps(reinterpret_cast<const float*>(p))); }
    static void StoreLanes(ChannelLanes v, Pixel* p) { _mm_storeu_ps(reinterpret_cast<float*>(p), ReverseLanes(v)); }
};

// The effect's own row loop for Premiere Pro's float BGRA frames, which the host's 8- and
// 16-bit iterate suites do not cover. Runs on the calling thread, without progress or abort
// checks.
//
// Calls pixel_fn for rows first_row..end_row-1 and every column, passing each pixel's
// column and row in the output world. Only rows and columns that exist in both worlds are
// visited, so a source smaller than the output, or a row range beyond either world, never
// leads outside a buffer. Pixel results are ignored; returns PF_Err_NONE.
PF_Err IterateBgraFloat(A_long first_row, A_long end_row, PF_EffectWorld* src, void* refcon,
                        PF_IteratePixelFloatFunc pixel_fn, PF_EffectWorld* dst);

}  // namespace qxv
