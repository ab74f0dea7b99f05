// Drawbot: the host's drawing interface for custom UI. Every reference is opaque and owned
// by the host; pens, brushes, fonts, images and paths made through the supplier must be
// given back with ReleaseObject, the supplier and surface never.
#pragma once

#include "A.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t DRAWBOT_Err;  // 0 is success
typedef uint8_t DRAWBOT_Boolean;
typedef uint16_t DRAWBOT_UTF16Char;

typedef struct _DRAWBOT_DrawRef* DRAWBOT_DrawRef;
typedef struct _DRAWBOT_SupplierRef* DRAWBOT_SupplierRef;
typedef struct _DRAWBOT_SurfaceRef* DRAWBOT_SurfaceRef;
typedef struct _DRAWBOT_ObjectRef* DRAWBOT_ObjectRef;
typedef struct _DRAWBOT_PenRef* DRAWBOT_PenRef;
typedef struct _DRAWBOT_BrushRef* DRAWBOT_BrushRef;
typedef struct _DRAWBOT_FontRef* DRAWBOT_FontRef;
typedef struct _DRAWBOT_ImageRef* DRAWBOT_ImageRef;
typedef struct _DRAWBOT_PathRef* DRAWBOT_PathRef;

typedef struct {
    float red, green, blue, alpha;  // each 0..1
} DRAWBOT_ColorRGBA;

typedef struct {
    float x, y;
} DRAWBOT_PointF32;

typedef struct {
    float left, top, width, height;
} DRAWBOT_RectF32;

typedef struct {
    A_long left, top, width, height;
} DRAWBOT_Rect32;

typedef struct {
    float mat[3][3];
} DRAWBOT_MatrixF32;

typedef A_long DRAWBOT_FillType;
enum { kDRAWBOT_FillType_EvenOdd = 0, kDRAWBOT_FillType_Winding = 1 };

typedef A_long DRAWBOT_PixelLayout;
enum {
    kDRAWBOT_PixelLayout_24RGB = 0,
    kDRAWBOT_PixelLayout_24BGR,
    kDRAWBOT_PixelLayout_32RGB,
    kDRAWBOT_PixelLayout_32BGR,
    kDRAWBOT_PixelLayout_32ARGB_Straight,
    kDRAWBOT_PixelLayout_32ARGB_Premul,
    kDRAWBOT_PixelLayout_32BGRA_Straight,
    kDRAWBOT_PixelLayout_32BGRA_Premul
};

typedef A_long DRAWBOT_TextAlignment;
typedef A_long DRAWBOT_TextTruncation;
typedef A_long DRAWBOT_InterpolationPolicy;
typedef A_long DRAWBOT_AntiAliasPolicy;

#define kDRAWBOT_DrawSuite "DRAWBOT Draw Suite"
#define kDRAWBOT_DrawSuite_Version1 1
#define kDRAWBOT_SupplierSuite "DRAWBOT Supplier Suite"
#define kDRAWBOT_SupplierSuite_Version1 1
#define kDRAWBOT_SurfaceSuite "DRAWBOT Surface Suite"
#define kDRAWBOT_SurfaceSuite_Version1 1
#define kDRAWBOT_PathSuite "DRAWBOT Path Suite"
#define kDRAWBOT_PathSuite_Version1 1

typedef struct {
    DRAWBOT_Err (*GetSupplier)(DRAWBOT_DrawRef in_drawbot_ref, DRAWBOT_SupplierRef* out_supplierP);
    DRAWBOT_Err (*GetSurface)(DRAWBOT_DrawRef in_drawbot_ref, DRAWBOT_SurfaceRef* out_surfaceP);
} DRAWBOT_DrawbotSuite1;

typedef struct {
    DRAWBOT_Err (*NewPen)(DRAWBOT_SupplierRef in_supplier_ref, const DRAWBOT_ColorRGBA* in_colorP, float in_size,
                          DRAWBOT_PenRef* out_penP);
    DRAWBOT_Err (*NewBrush)(DRAWBOT_SupplierRef in_supplier_ref, const DRAWBOT_ColorRGBA* in_colorP,
                            DRAWBOT_BrushRef* out_brushP);
    DRAWBOT_Err (*SupportsText)(DRAWBOT_SupplierRef in_supplier_ref, DRAWBOT_Boolean* out_supports_textB);
    DRAWBOT_Err (*GetDefaultFontSize)(DRAWBOT_SupplierRef in_supplier_ref, float* out_font_sizeF);
    DRAWBOT_Err (*NewDefaultFont)(DRAWBOT_SupplierRef in_supplier_ref, float in_font_sizeF, DRAWBOT_FontRef* out_fontP);
    DRAWBOT_Err (*NewImageFromBuffer)(DRAWBOT_SupplierRef in_supplier_ref, int in_width, int in_height,
                                      int in_row_bytes, DRAWBOT_PixelLayout in_pl, const void* in_dataP,
                                      DRAWBOT_ImageRef* out_imageP);
    DRAWBOT_Err (*NewPath)(DRAWBOT_SupplierRef in_supplier_ref, DRAWBOT_PathRef* out_pathP);
    DRAWBOT_Err (*SupportsPixelLayoutBGRA)(DRAWBOT_SupplierRef in_supplier_ref, DRAWBOT_Boolean* out_supportsB);
    DRAWBOT_Err (*PrefersPixelLayoutBGRA)(DRAWBOT_SupplierRef in_supplier_ref, DRAWBOT_Boolean* out_prefersB);
    DRAWBOT_Err (*SupportsPixelLayoutARGB)(DRAWBOT_SupplierRef in_supplier_ref, DRAWBOT_Boolean* out_supportsB);
    DRAWBOT_Err (*PrefersPixelLayoutARGB)(DRAWBOT_SupplierRef in_supplier_ref, DRAWBOT_Boolean* out_prefersB);
    DRAWBOT_Err (*RetainObject)(DRAWBOT_ObjectRef in_obj_ref);
    DRAWBOT_Err (*ReleaseObject)(DRAWBOT_ObjectRef in_obj_ref);
} DRAWBOT_SupplierSuite1;

typedef struct {
    DRAWBOT_Err (*PushStateStack)(DRAWBOT_SurfaceRef in_surface_ref);
    DRAWBOT_Err (*PopStateStack)(DRAWBOT_SurfaceRef in_surface_ref);
    DRAWBOT_Err (*PaintRect)(DRAWBOT_SurfaceRef in_surface_ref, const DRAWBOT_ColorRGBA* in_colorP,
                             const DRAWBOT_RectF32* in_rectPR);
    DRAWBOT_Err (*FillPath)(DRAWBOT_SurfaceRef in_surface_ref, DRAWBOT_BrushRef in_brush_ref,
                            DRAWBOT_PathRef in_path_ref, DRAWBOT_FillType in_fill_type);
    DRAWBOT_Err (*StrokePath)(DRAWBOT_SurfaceRef in_surface_ref, DRAWBOT_PenRef in_pen_ref,
                              DRAWBOT_PathRef in_path_ref);
    DRAWBOT_Err (*Clip)(DRAWBOT_SurfaceRef in_surface_ref, DRAWBOT_SupplierRef in_supplier_ref,
                        const DRAWBOT_Rect32* in_rectPR);
    DRAWBOT_Err (*GetClipBounds)(DRAWBOT_SurfaceRef in_surface_ref, DRAWBOT_Rect32* out_rectPR);
    DRAWBOT_Err (*IsWithinClipBounds)(DRAWBOT_SurfaceRef in_surface_ref, const DRAWBOT_Rect32* in_rectPR,
                                      DRAWBOT_Boolean* out_withinB);
    DRAWBOT_Err (*Transform)(DRAWBOT_SurfaceRef in_surface_ref, const DRAWBOT_MatrixF32* in_matrixP);
    DRAWBOT_Err (*DrawString)(DRAWBOT_SurfaceRef in_surface_ref, DRAWBOT_BrushRef in_brush_ref,
                              DRAWBOT_FontRef in_font_ref, const DRAWBOT_UTF16Char* in_stringP,
                              const DRAWBOT_PointF32* in_originP, DRAWBOT_TextAlignment in_alignment_style,
                              DRAWBOT_TextTruncation in_truncation_style, float in_truncation_width);
    DRAWBOT_Err (*DrawImage)(DRAWBOT_SurfaceRef in_surface_ref, DRAWBOT_ImageRef in_image_ref,
                             const DRAWBOT_PointF32* in_originP, float in_alpha);
    DRAWBOT_Err (*SetInterpolationPolicy)(DRAWBOT_SurfaceRef in_surface_ref, DRAWBOT_InterpolationPolicy in_policy);
    DRAWBOT_Err (*GetInterpolationPolicy)(DRAWBOT_SurfaceRef in_surface_ref, DRAWBOT_InterpolationPolicy* out_policyP);
    DRAWBOT_Err (*SetAntiAliasPolicy)(DRAWBOT_SurfaceRef in_surface_ref, DRAWBOT_AntiAliasPolicy in_policy);
    DRAWBOT_Err (*GetAntiAliasPolicy)(DRAWBOT_SurfaceRef in_surface_ref, DRAWBOT_AntiAliasPolicy* out_policyP);
    DRAWBOT_Err (*Flush)(DRAWBOT_SurfaceRef in_surface_ref);
    DRAWBOT_Err (*GetTransformToScreenScale)(DRAWBOT_SurfaceRef in_surface_ref, float* out_scale);
} DRAWBOT_SurfaceSuite1;

typedef struct {
    DRAWBOT_Err (*MoveTo)(DRAWBOT_PathRef in_path_ref, float in_x, float in_y);
    DRAWBOT_Err (*LineTo)(DRAWBOT_PathRef in_path_ref, float in_x, float in_y);
    DRAWBOT_Err (*BezierTo)(DRAWBOT_PathRef in_path_ref, const DRAWBOT_PointF32* in_pt1P,
                            const DRAWBOT_PointF32* in_pt2P, const DRAWBOT_PointF32* in_pt3P);
    DRAWBOT_Err (*AddRect)(DRAWBOT_PathRef in_path_ref, const DRAWBOT_RectF32* in_rectPR);
    // Degrees; 0 is three o'clock and the sweep runs clockwise.
    DRAWBOT_Err (*AddArc)(DRAWBOT_PathRef in_path_ref, const DRAWBOT_PointF32* in_centerP, float in_radius,
                          float in_start_angle, float in_sweep);
    DRAWBOT_Err (*Close)(DRAWBOT_PathRef in_path_ref);
} DRAWBOT_PathSuite1;

#ifdef __cplusplus
}
#endif
