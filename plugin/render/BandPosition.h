// Position across the feather band, 0 at the inner outline and 1 at the outer one. For any
// shape with a real band it lies in 0..1 already. Where the band has no width or the shape
// none at all (Width or Height 0, a feather that reaches the half-width, parameters that are
// not numbers) it can come out as 0/0, x/0 or far outside; limiting it keeps every curve's
// result finite and in 0..1, while a position inside 0..1 passes through bit for bit.
#pragma once

namespace qxv {

inline float BandPosition(float t) {
    if (t >= 0.0f && t <= 1.0f) return t;
    return t > 1.0f ? 1.0f : 0.0f;  // not-a-number counts as the inner outline
}

}  // namespace qxv
