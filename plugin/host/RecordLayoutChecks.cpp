// The records this plug-in reads or writes, pinned at the sizes and offsets the shipping hosts
// use (Windows x64; the Linux build lays them out the same way). The host and sdk/ cannot
// disagree in our own tests, since our host compiles sdk/ too, so an edit that moves any of
// these must fail the build here rather than crash a real host. tests/sdk holds the whole table.
#include <cstddef>

#include "AE_Effect.h"
#include "AE_EffectCB.h"
#include "AE_EffectPixelFormat.h"
#include "AE_EffectSuites.h"
#include "AE_EffectUI.h"
#include "DrawbotSuite.h"
#include "SPBasic.h"

static_assert(sizeof(void*) == 8, "the plug-in ships for 64-bit hosts only");

// The command records.
static_assert(sizeof(PF_InteractCallbacks) == 176 && offsetof(PF_InteractCallbacks, add_param) == 16 &&
              offsetof(PF_InteractCallbacks, register_ui) == 40);
static_assert(sizeof(PF_InData) == 408 && offsetof(PF_InData, utils) == 176 && offsetof(PF_InData, effect_ref) == 184 &&
              offsetof(PF_InData, quality) == 192 && offsetof(PF_InData, appl_id) == 204 &&
              offsetof(PF_InData, current_time) == 224 && offsetof(PF_InData, time_scale) == 240 &&
              offsetof(PF_InData, height) == 256 && offsetof(PF_InData, downsample_x) == 284 &&
              offsetof(PF_InData, downsample_y) == 292 && offsetof(PF_InData, pixel_aspect_ratio) == 300 &&
              offsetof(PF_InData, pica_basicP) == 384);
static_assert(sizeof(PF_OutData) == 408 && offsetof(PF_OutData, name) == 4 && offsetof(PF_OutData, num_params) == 48 &&
              offsetof(PF_OutData, out_flags) == 96 && offsetof(PF_OutData, return_msg) == 100 &&
              offsetof(PF_OutData, out_flags2) == 400);
static_assert(sizeof(PF_LayerDef) == 120 && offsetof(PF_LayerDef, world_flags) == 16 && offsetof(PF_LayerDef, data) == 24 &&
              offsetof(PF_LayerDef, rowbytes) == 32 && offsetof(PF_LayerDef, width) == 36 &&
              offsetof(PF_LayerDef, height) == 40 && offsetof(PF_LayerDef, extent_hint) == 44);

// Parameter records: the host allocates each PF_ParamDef at 176 bytes, so a copy of a larger
// declaration reads past it.
static_assert(sizeof(PF_ParamDefUnion) == 120 && sizeof(PF_ParamDef) == 176);
static_assert(offsetof(PF_ParamDef, ui_flags) == 4 && offsetof(PF_ParamDef, param_type) == 12 &&
              offsetof(PF_ParamDef, name) == 16 && offsetof(PF_ParamDef, flags) == 48 && offsetof(PF_ParamDef, u) == 56);
static_assert(sizeof(PF_FixedSliderDef) == 92 && offsetof(PF_FixedSliderDef, valid_min) == 68 &&
              offsetof(PF_FixedSliderDef, dephault) == 84 && offsetof(PF_FixedSliderDef, display_flags) == 90);
static_assert(sizeof(PF_FloatSliderDef) == 88 && offsetof(PF_FloatSliderDef, valid_min) == 48 &&
              offsetof(PF_FloatSliderDef, dephault) == 64 && offsetof(PF_FloatSliderDef, curve_tolerance) == 76);
static_assert(sizeof(PF_AngleDef) == 16 && offsetof(PF_AngleDef, dephault) == 4);
static_assert(sizeof(PF_CheckBoxDef) == 16 && offsetof(PF_CheckBoxDef, dephault) == 4 && offsetof(PF_CheckBoxDef, u) == 8);
static_assert(sizeof(PF_ColorDef) == 8 && offsetof(PF_ColorDef, dephault) == 4);
static_assert(sizeof(PF_PointDef) == 20 && offsetof(PF_PointDef, restrict_bounds) == 11 &&
              offsetof(PF_PointDef, x_dephault) == 12);
static_assert(sizeof(PF_PopupDef) == 16 && offsetof(PF_PopupDef, num_choices) == 4 && offsetof(PF_PopupDef, dephault) == 6 &&
              offsetof(PF_PopupDef, u) == 8);

// Custom UI: registration, the event record and what it leads to.
static_assert(sizeof(PF_CustomUIInfo) == 44 && offsetof(PF_CustomUIInfo, events) == 4);
static_assert(sizeof(PF_EventExtra) == 208 && offsetof(PF_EventExtra, e_type) == 8 && offsetof(PF_EventExtra, u) == 16 &&
              offsetof(PF_EventExtra, cbs) == 128 && offsetof(PF_EventExtra, evt_in_flags) == 200 &&
              offsetof(PF_EventExtra, evt_out_flags) == 204);
static_assert(sizeof(PF_EventCallbacks) == 72 && offsetof(PF_EventCallbacks, layer_to_comp) == 8 &&
              offsetof(PF_EventCallbacks, comp_to_layer) == 16 && offsetof(PF_EventCallbacks, source_to_frame) == 40 &&
              offsetof(PF_EventCallbacks, frame_to_source) == 48);
static_assert(sizeof(PF_Context) == 72 && offsetof(PF_Context, w_type) == 4);
static_assert(sizeof(PF_EventUnion) == 64 && sizeof(PF_DoClickEventInfo) == 64 &&
              offsetof(PF_DoClickEventInfo, screen_point) == 4 && offsetof(PF_DoClickEventInfo, continue_refcon) == 24 &&
              offsetof(PF_DoClickEventInfo, send_drag) == 56 && offsetof(PF_DoClickEventInfo, last_time) == 57);
static_assert(sizeof(PF_DrawEventInfo) == 20);
static_assert(PF_Event_DO_CLICK == 2 && PF_Event_DRAG == 3 && PF_Event_DRAW == 4);

// Callback tables and suites, by the slots the plug-in calls.
static_assert(sizeof(PF_UtilCallbacks) == 552 && offsetof(PF_UtilCallbacks, copy) == 64 &&
              offsetof(PF_UtilCallbacks, ansi) == 208 && offsetof(PF_UtilCallbacks, ansi.strcpy) == 336);
static_assert(sizeof(SPBasicSuite) == 56 && offsetof(SPBasicSuite, ReleaseSuite) == 8);
static_assert(offsetof(PF_Iterate8Suite1, iterate) == 0 && offsetof(PF_iterate16Suite1, iterate) == 0);
static_assert(offsetof(PF_WorldTransformSuite1, copy) == 24);
static_assert(offsetof(PF_ParamUtilsSuite3, PF_UpdateParamUI) == 0);
static_assert(offsetof(PF_ANSICallbacksSuite1, sprintf) == 120 && offsetof(PF_ANSICallbacksSuite1, strcpy) == 128);
static_assert(offsetof(PF_EffectCustomUISuite1, PF_GetDrawingReference) == 0);
static_assert(offsetof(PF_EffectCustomUIOverlayThemeSuite1, PF_GetPreferredForegroundColor) == 0);
static_assert(offsetof(PF_PixelFormatSuite1, AddSupportedPixelFormat) == 0 &&
              offsetof(PF_PixelFormatSuite1, ClearSupportedPixelFormats) == 8 &&
              offsetof(PF_PixelFormatSuite1, GetPixelFormat) == 32);
static_assert(offsetof(DRAWBOT_DrawbotSuite1, GetSupplier) == 0 && offsetof(DRAWBOT_DrawbotSuite1, GetSurface) == 8);
static_assert(offsetof(DRAWBOT_SupplierSuite1, NewPen) == 0 && offsetof(DRAWBOT_SupplierSuite1, NewPath) == 48 &&
              offsetof(DRAWBOT_SupplierSuite1, ReleaseObject) == 96);
static_assert(sizeof(DRAWBOT_SurfaceSuite1) == 136 && offsetof(DRAWBOT_SurfaceSuite1, StrokePath) == 32);
static_assert(offsetof(DRAWBOT_PathSuite1, MoveTo) == 0 && offsetof(DRAWBOT_PathSuite1, LineTo) == 8 &&
              offsetof(DRAWBOT_PathSuite1, AddArc) == 32 && offsetof(DRAWBOT_PathSuite1, Close) == 40);
static_assert(sizeof(DRAWBOT_ColorRGBA) == 16 && sizeof(DRAWBOT_PointF32) == 8);

// Pixels.
static_assert(sizeof(PF_Pixel) == 4 && sizeof(PF_Pixel16) == 8 && sizeof(PF_PixelFloat) == 16);
