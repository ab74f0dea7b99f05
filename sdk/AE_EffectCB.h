// Utility callbacks reached through in_data->utils. Only the slots this effect calls carry
// full signatures; the others keep their place in the table.
#pragma once

#include "AE_Effect.h"

#ifdef __cplusplus
extern "C" {
#endif

// Standard-library services of the host, all angles in radians, in the order both the utils
// table and "PF ANSI Suite" lay them out. sprintf is variadic: floats travel as the C ABI says.
#define PF_ANSI_CALLBACK_MEMBERS \
    A_FpLong (*atan)(A_FpLong);                          \
    A_FpLong (*atan2)(A_FpLong y, A_FpLong x);           \
    A_FpLong (*ceil)(A_FpLong);                          \
    A_FpLong (*cos)(A_FpLong);                           \
    A_FpLong (*exp)(A_FpLong);                           \
    A_FpLong (*fabs)(A_FpLong);                          \
    A_FpLong (*floor)(A_FpLong);                         \
    A_FpLong (*fmod)(A_FpLong x, A_FpLong y);            \
    A_FpLong (*hypot)(A_FpLong x, A_FpLong y);           \
    A_FpLong (*log)(A_FpLong);                           \
    A_FpLong (*log10)(A_FpLong);                         \
    A_FpLong (*pow)(A_FpLong x, A_FpLong y);             \
    A_FpLong (*sin)(A_FpLong);                           \
    A_FpLong (*sqrt)(A_FpLong);                          \
    A_FpLong (*tan)(A_FpLong);                           \
    int (*sprintf)(A_char* dst, const A_char* fmt, ...); \
    A_char* (*strcpy)(A_char* dst, const A_char* src);   \
    A_FpLong (*asin)(A_FpLong);                          \
    A_FpLong (*acos)(A_FpLong);

typedef struct {
    PF_ANSI_CALLBACK_MEMBERS
    void* ansi_procs[1];
} PF_ANSICallbacks;

typedef struct {
    void* RGBtoHLS;
    void* HLStoRGB;
    void* RGBtoYIQ;
    void* YIQtoRGB;
    void* Luminance;
    void* Hue;
    void* Lightness;
    void* Saturation;
} PF_ColorCallbacks;

typedef PF_Err (*PF_WorldCopyFunc)(PF_ProgPtr effect_ref, PF_EffectWorld* src, PF_EffectWorld* dst, PF_Rect* src_r,
                                   PF_Rect* dst_r);

typedef struct _PF_UtilCallbacks {
    void* begin_sampling;
    void* subpixel_sample;
    void* area_sample;
    void* get_batch_func_is_deprecated;
    void* end_sampling;
    void* composite_rect;
    void* blend;
    void* convolve;
    PF_WorldCopyFunc copy;  // a null rectangle means the whole world
    void* fill;
    void* gaussian_kernel;
    void* iterate;
    void* premultiply;
    void* premultiply_color;
    void* new_world;
    void* dispose_world;
    void* iterate_origin;
    void* iterate_lut;
    void* transfer_rect;
    void* transform_world;
    void* host_new_handle;
    void* host_lock_handle;
    void* host_unlock_handle;
    void* host_dispose_handle;
    void* get_callback_addr;
    void* app;
    PF_ANSICallbacks ansi;
    PF_ColorCallbacks colorCB;
    void* get_platform_data;
    void* host_get_handle_size;
    void* iterate_origin_non_clip_src;
    void* iterate_generic;
    void* host_resize_handle;
    void* subpixel_sample16;
    void* area_sample16;
    void* fill16;
    void* premultiply_color16;
    void* iterate16;
    void* iterate_origin16;
    void* iterate_origin_non_clip_src16;
    void* get_pixel_data8;
    void* get_pixel_data16;
    void* reserved[1];
} PF_UtilCallbacks;

#ifdef __cplusplus
}
#endif
