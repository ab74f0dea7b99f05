// The frame's set-up: the parameters and the host's scale factors resolved once into the
// RenderContext that every pixel function reads.
#pragma once

#include <cstdint>

#include "AE_Effect.h"

namespace qxv {

// Everything the pixel functions need for one frame, resolved once from the parameters and
// the host's scale factors. It lives on the stack of one render call and is read-only while
// the host iterates, so any number of threads may share it.
struct RenderContext {
    // The mask's fields come first, up to `feather`: with is_ellipse, invert and falloff they
    // are all a frame's masks depend on (fastpath/MaskStore.h keeps masks by them).
    // Maps a pixel (x, y, 1) to shape coordinates (u, v, 1): u along the width axis, v along
    // the height axis, in full-resolution square pixels. Row-major; the third row is 0, 0, 1.
    float pixel_to_shape[3][3];
    float half_width;
    float half_height;
    float coef_u;  // ellipse: 1/(a*a); rectangle: 1/feather
    float coef_v;  // ellipse: 1/(b*b); rectangle: 1/feather along the height axis
    float outer_ab;
    float inner_half_width;
    float inner_half_height;
    float inner_ab;
    float inner_width_sq;
    float inner_height_sq;
    float inv_inner_width_sq;
    float inv_inner_height_sq;
    float width_sq;
    float height_sq;
    float feather;
    float opacity;  // 0..1
    bool is_ellipse;
    bool invert;
    std::int32_t blend_code;  // a PF_TransferMode number, or 0 for plain fill / transparency
    float fill_alpha;         // 1 for a colour fill, 0 for "Transparent"
    float fill_red;
    float fill_green;
    float fill_blue;
    std::int32_t falloff;  // "Alpha falloff" popup value
};

static_assert(sizeof(bool) == 1, "the flags are single bytes");

// Resolves the shape parameters and the host's scale factors into the mask fields of the
// RenderContext, once per frame: "Vignette Type", "Point of origin", "Width", "Height",
// "Angle", "Feather", "Invert" and "Alpha falloff" from params, and downsample_x/_y and
// pixel_aspect_ratio from in_data.
void SetUpMask(const PF_InData* in_data, PF_ParamDef* const params[], RenderContext* ctx);

// Resolves "Fill with", "Color", "Opacity", "Blending mode" and "Mask Only" into the
// compositing fields of the RenderContext, once per frame.
void SetUpCompositing(PF_ParamDef* const params[], RenderContext* ctx);

}  // namespace qxv
