// A working pixel's four channels in the lanes of one SSE register, and the host formats'
// conversions into and out of them. Each lane is converted exactly as PixelConversion.h
// converts a channel alone: byte / 255 and short × 1/32768 (the division and the product
// round the same in a lane), then × full scale, limited by max and min (not-a-number
// becomes 0) and truncated.
#pragma once

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

namespace qxv {

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

}  // namespace qxv
