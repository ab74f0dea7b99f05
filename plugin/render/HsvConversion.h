// RGB <-> HSV in single precision for the hue-based blend modes. Hue runs 0..1 for a full
// turn; the value is the largest channel, not a weighted luminance.
#pragma once

#include <algorithm>
#include <cmath>

#include "AE_Effect.h"

namespace qxv {

inline void RgbToHsv(float r, float g, float b, float* h, float* sat, float* v) {
    const float max = std::max(std::max(r, g), b);
    const float min = std::min(std::min(r, g), b);
    *v = max;
    if (max == min) {
        *h = 0.0f;
        *sat = 0.0f;
        return;
    }
    const float d = max - min;
    *sat = d / max;
    // Ties go to red, then green: the tests are exact equalities with the maximum.
    if (max == r) {
        *h = ((g - b) / d + (b > g ? 6.0f : 0.0f)) / 6.0f;
    } else if (max == g) {
        *h = ((b - r) / d + 2.0f) / 6.0f;
    } else {
        *h = ((r - g) / d + 4.0f) / 6.0f;
    }
    // Float frames may carry any finite channels. A largest channel at or just above 0 with a
    // negative one below it, or channels so far apart that their difference overflows, leave
    // no saturation or hue in single precision: such a colour counts as grey rather than let
    // an infinity or a NaN into the frame. Every colour with a finite hue and saturation keeps
    // them bit for bit.
    if (!std::isfinite(*sat)) *sat = 0.0f;
    if (!std::isfinite(*h)) *h = 0.0f;
}

// Writes red, green and blue; alpha is left as it is.
inline void HsvToRgb(float h, float sat, float v, PF_PixelFloat* out) {
    if (sat == 0.0f) {
        out->red = out->green = out->blue = v;
        return;
    }
    const float h6 = h * 6.0f;
    const float sector = std::floor(h6);
    const float f = h6 - sector;
    const float p = (1.0f - sat) * v;
    const float q = (1.0f - f * sat) * v;
    const float t = (1.0f - (1.0f - f) * sat) * v;
    // Sector 6 (h = 1) and anything unexpected share the last sector's formula.
    const int i = (sector >= 0.0f && sector <= 5.0f) ? static_cast<int>(sector) : 5;
    float red, green, blue;
    switch (i) {
        case 0: red = v, green = t, blue = p; break;
        case 1: red = q, green = v, blue = p; break;
        case 2: red = p, green = v, blue = t; break;
        case 3: red = p, green = q, blue = v; break;
        case 4: red = t, green = p, blue = v; break;
        default: red = v, green = p, blue = q; break;
    }
    out->red = red;
    out->green = green;
    out->blue = blue;
}

}  // namespace qxv
