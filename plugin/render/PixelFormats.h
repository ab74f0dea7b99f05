// The four pixel layouts the effect renders, each as a type with the host's pixel record
// and conversions to and from the working float pixel, so that one templated pixel function
// serves them all. LoadLanes and StoreLanes convert the same way to and from a pixel's four
// channels in SSE lanes (alpha, red, green, blue).
#pragma once

#include "AE_Effect.h"
#include "render/ChannelLanes.h"
#include "render/PixelConversion.h"

namespace qxv {

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

}  // namespace qxv
