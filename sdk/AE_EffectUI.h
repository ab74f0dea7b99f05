// Custom UI: event records, window contexts, the coordinate-mapping callbacks and the
// registration record passed to register_ui.
#pragma once

#include "AE_Effect.h"
#include "DrawbotSuite.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef A_long PF_EventType;
enum {
    PF_Event_NONE = -1,
    PF_Event_NEW_CONTEXT = 0,
    PF_Event_ACTIVATE = 1,
    PF_Event_DO_CLICK = 2,
    PF_Event_DRAG = 3,
    PF_Event_DRAW = 4,
    PF_Event_DEACTIVATE = 5,
    PF_Event_CLOSE_CONTEXT = 6,
    PF_Event_IDLE = 7,
    PF_Event_KEYDOWN_OBSOLETE = 8,  // still numbered, never sent
    PF_Event_ADJUST_CURSOR = 9,
    PF_Event_KEYDOWN = 10,
    PF_Event_MOUSE_EXITED = 11,
    PF_Event_NUM_EVENTS = 12
};

typedef A_long PF_WindowType;
enum { PF_Window_COMP = 0, PF_Window_LAYER = 1, PF_Window_EFFECT = 2 };

enum { PF_EO_NONE = 0, PF_EO_HANDLED_EVENT = 1 << 0, PF_EO_ALWAYS_UPDATE = 1 << 1, PF_EO_NEVER_UPDATE = 1 << 2,
       PF_EO_UPDATE_NOW = 1 << 3 };
enum { PF_EI_DONT_DRAW = 1 << 0 };

enum { PF_CustomEFlag_NONE = 0, PF_CustomEFlag_COMP = 1 << 0, PF_CustomEFlag_LAYER = 1 << 1,
       PF_CustomEFlag_EFFECT = 1 << 2, PF_CustomEFlag_PREVIEW = 1 << 3 };

typedef A_long PF_CursorType;

enum { PF_CONTEXT_MAGIC = 99251998 };

typedef struct _PF_Context {
    A_u_long magic;  // PF_CONTEXT_MAGIC
    PF_WindowType w_type;
    void* reserved_flt;
    A_intptr_t plugin_state[4];
    DRAWBOT_DrawRef reserved_drawref;
    void* reserved_paneP;
    void* reserved_job_manageP;
} PF_Context, *PF_ContextPtr;
typedef PF_ContextPtr* PF_ContextH;  // a handle: read the window type as (*contextH)->w_type

typedef struct {
    A_u_long when;
    PF_Point screen_point;  // whole window pixels
    A_long num_clicks;
    A_long modifiers;
    A_intptr_t continue_refcon[4];  // carried by the host from a click to the drags that follow it
    PF_Boolean send_drag;
    PF_Boolean last_time;  // set by the host on the final drag event
} PF_DoClickEventInfo;

typedef struct {
    PF_Rect update_rect;
    A_long depth;
} PF_DrawEventInfo;

typedef struct {
    A_u_long when;
    PF_Point screen_point;
    A_long key_code;
    A_long modifiers;
} PF_KeyDownEvent;

typedef struct {
    PF_Point screen_point;
    A_long modifiers;
    PF_CursorType set_cursor;
} PF_AdjustCursorEventInfo;

typedef union {
    PF_DoClickEventInfo do_click;
    PF_DrawEventInfo draw;
    PF_KeyDownEvent key_down;
    PF_AdjustCursorEventInfo adjust_cursor;
} PF_EventUnion;

typedef struct {
    A_long index;
    A_long area;
    PF_Rect current_frame;
    PF_Rect param_title_frame;
    A_long horiz_offset;
} PF_EffectWindowInfo;

typedef struct _PF_FloatMatrix* PF_FloatMatrixPtr;

typedef struct {
    void* refcon;
    PF_Err (*layer_to_comp)(void* refcon, PF_ContextH context, A_long curr_time, A_long time_scale,
                            PF_FixedPoint* pt);
    PF_Err (*comp_to_layer)(void* refcon, PF_ContextH context, A_long curr_time, A_long time_scale,
                            PF_FixedPoint* pt);
    PF_Err (*get_comp2layer_xform)(void* refcon, PF_ContextH context, A_long curr_time, A_long time_scale,
                                   A_long* exists, PF_FloatMatrixPtr c2l);
    PF_Err (*get_layer2comp_xform)(void* refcon, PF_ContextH context, A_long curr_time, A_long time_scale,
                                   PF_FloatMatrixPtr l2c);
    // Layer source pixels to window pixels and back; both follow the view's zoom and scroll.
    PF_Err (*source_to_frame)(void* refcon, PF_ContextH context, PF_FixedPoint* pt);
    PF_Err (*frame_to_source)(void* refcon, PF_ContextH context, PF_FixedPoint* pt);
    PF_Err (*info_draw_color)(void* refcon, PF_Pixel color);
    PF_Err (*info_draw_text)(void* refcon, const A_char* text1Z0, const A_char* text2Z0);
} PF_EventCallbacks, *PF_EventCallbacksPtr;

typedef struct {
    PF_ContextH contextH;
    PF_EventType e_type;
    PF_EventUnion u;
    PF_EffectWindowInfo effect_win;
    PF_EventCallbacks cbs;  // by value: call extra->cbs.layer_to_comp(extra->cbs.refcon, ...)
    A_long evt_in_flags;
    A_long evt_out_flags;
} PF_EventExtra;

typedef struct PF_CustomUIInfo {
    A_long reserved;
    A_long events;  // PF_CustomEFlag_... windows the UI appears in
    A_long comp_ui_width;
    A_long comp_ui_height;
    A_long comp_ui_alignment;
    A_long layer_ui_width;
    A_long layer_ui_height;
    A_long layer_ui_alignment;
    A_long preview_ui_width;
    A_long preview_ui_height;
    A_long preview_ui_alignment;
} PF_CustomUIInfo;

#ifdef __cplusplus
}
#endif
