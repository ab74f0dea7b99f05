#include "entry/Commands.h"

#include <cstdint>

#include "host/SuiteCache.h"
#include "overlay/OverlayDrawing.h"
#include "overlay/OverlayGeometry.h"
#include "overlay/OverlayInteraction.h"

namespace qxv {
namespace {

// The windows the overlay is registered for.
bool IsOverlayWindow(const PF_EventExtra* extra) {
    const PF_WindowType w_type = (*extra->contextH)->w_type;
    return w_type == PF_Window_COMP || w_type == PF_Window_LAYER;
}

// PF_Event_DO_CLICK: on a hit the event is marked handled; a miss leaves it as it came.
void HandleOverlayClick(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_EventExtra* extra) {
    if (!IsOverlayWindow(extra)) return;
    SuiteCache cache(in_data, out_data);
    if (HitTestHandles(in_data, cache, params, extra)) extra->evt_out_flags = PF_EO_HANDLED_EVENT;
}

// PF_Event_DRAG: applies the drag of the held handle (1-10) and marks the event handled;
// any other handle number leaves the event untouched.
void HandleOverlayDrag(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_EventExtra* extra) {
    if (!IsOverlayWindow(extra)) return;
    const std::int64_t handle = extra->u.do_click.continue_refcon[0];
    if (handle < 1 || handle > kHandleCount) return;
    // A drag takes no suite, but like every event the overlay acts on it holds the command's
    // cache, and so fails in the same way when the host gives no basic suite.
    const SuiteCache cache(in_data, out_data);
    ApplyHandleDrag(in_data, params, extra);
    extra->evt_out_flags = PF_EO_HANDLED_EVENT;
}

}  // namespace

PF_Err HandleOverlayEvent(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
                          PF_EventExtra* extra) {
    (void)output;
    // A click that arrives while a drag is under way continues that drag.
    if (extra->e_type == PF_Event_DO_CLICK && extra->u.do_click.send_drag) extra->e_type = PF_Event_DRAG;

    switch (extra->e_type) {
        case PF_Event_DO_CLICK:
            HandleOverlayClick(in_data, out_data, params, extra);
            break;
        case PF_Event_DRAG:
            HandleOverlayDrag(in_data, out_data, params, extra);
            break;
        case PF_Event_DRAW:
            if (IsOverlayWindow(extra)) {
                SuiteCache cache(in_data, out_data);
                DrawOverlay(in_data, cache, params, extra);
                extra->evt_out_flags = PF_EO_HANDLED_EVENT;
            }
            break;
        default:
            break;
    }
    return PF_Err_NONE;
}

}  // namespace qxv
