#include "overlay/ApplyHandleDrag.h"

#include "overlay/FixedMath.h"
#include "overlay/HandleDragRules.h"
#include "overlay/OverlayHandles.h"
#include "overlay/OverlayParams.h"
#include "overlay/WindowMapping.h"
#include "params/ParamIndex.h"

namespace qxv {
namespace {

void MarkChanged(PF_ParamDef* param) { param->uu.change_flags = PF_ChangeFlag_CHANGED_VALUE; }

}  // namespace

void ApplyHandleDrag(PF_InData* in_data, PF_ParamDef* params[], PF_EventExtra* extra) {
    PF_DoClickEventInfo& click = extra->u.do_click;
    const OverlayParams p = ReadOverlayParams(params);
    const PF_FixedPoint mouse = WindowToLayer(in_data, extra, click.screen_point);
    const double dx = (static_cast<double>(mouse.x) - p.origin.x) * kFixedScale;
    const double dy = (static_cast<double>(mouse.y) - p.origin.y) * kFixedScale;
    const int handle = static_cast<int>(click.continue_refcon[0]);

    switch (handle) {
        case kHandleTopLeft:
        case kHandleTopRight:
        case kHandleBottomLeft:
        case kHandleBottomRight: {
            const ShapeSize size = CornerDragSize(handle, dx, dy, PixelAspect(in_data), AngleRadians(p.angle));
            params[kParamWidth]->u.fs_d.value = size.width;
            params[kParamHeight]->u.fs_d.value = size.height;
            MarkChanged(params[kParamWidth]);
            MarkChanged(params[kParamHeight]);
            break;
        }
        case kHandleAngle:
            params[kParamAngle]->u.ad.value = AngleDragValue(dx, dy);
            MarkChanged(params[kParamAngle]);
            break;
        case kHandleFeatherLeft:
        case kHandleFeatherRight:
        case kHandleFeatherTop:
        case kHandleFeatherBottom: {
            double feather = 0;
            if (FeatherDragValue(handle, dx, dy, PixelAspect(in_data), AngleRadians(p.angle), p.width, p.height,
                                 &feather)) {
                params[kParamFeather]->u.fs_d.value = feather;
                MarkChanged(params[kParamFeather]);
            }
            break;
        }
        case kHandleOpacity: {
            PF_FixedPoint origin_window = p.origin;
            LayerToWindow(in_data, extra, &origin_window);
            PF_FixedPoint mouse_window = mouse;
            LayerToWindow(in_data, extra, &mouse_window);
            params[kParamOpacity]->u.fd.value = OpacityDragValue(origin_window.y, mouse_window.y);
            MarkChanged(params[kParamOpacity]);
            break;
        }
        default:
            break;
    }

    click.send_drag = 1;
    if (click.last_time) {
        click.continue_refcon[0] = 0;
        click.send_drag = 0;
    }
}

}  // namespace qxv
