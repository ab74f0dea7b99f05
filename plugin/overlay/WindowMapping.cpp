#include "overlay/WindowMapping.h"

#include <cstdint>

#include "overlay/FixedMath.h"

namespace qxv {
namespace {

bool InCompWindow(const PF_EventExtra* extra) { return (*extra->contextH)->w_type == PF_Window_COMP; }

void LayerToComp(const PF_InData* in_data, const PF_EventExtra* extra, PF_FixedPoint* point) {
    extra->cbs.layer_to_comp(extra->cbs.refcon, extra->contextH, in_data->current_time,
                              static_cast<A_long>(in_data->time_scale), point);
}

void SourceToFrame(const PF_EventExtra* extra, PF_FixedPoint* point) {
    extra->cbs.source_to_frame(extra->cbs.refcon, extra->contextH, point);
}

}  // namespace

void LayerToWindow(const PF_InData* in_data, const PF_EventExtra* extra, PF_FixedPoint* point) {
    if (InCompWindow(extra)) LayerToComp(in_data, extra, point);
    SourceToFrame(extra, point);
}

PF_FixedPoint WindowToLayer(const PF_InData* in_data, const PF_EventExtra* extra, PF_Point window_point) {
    PF_FixedPoint point = {SaturateToLong(static_cast<std::int64_t>(window_point.h) * kFixedOne),
                           SaturateToLong(static_cast<std::int64_t>(window_point.v) * kFixedOne)};
    extra->cbs.frame_to_source(extra->cbs.refcon, extra->contextH, &point);
    if (InCompWindow(extra)) {
        extra->cbs.comp_to_layer(extra->cbs.refcon, extra->contextH, in_data->current_time,
                                  static_cast<A_long>(in_data->time_scale), &point);
    }
    return point;
}

CornerSet CornersToWindow(const PF_InData* in_data, const PF_EventExtra* extra, const FixedRect& rect) {
    CornerSet corners;
    corners.top_left = {rect.left, rect.top};
    corners.top_right = {rect.right, rect.top};
    corners.bottom_right = {rect.right, rect.bottom};
    corners.bottom_left = {rect.left, rect.bottom};
    PF_FixedPoint* const mapping_order[] = {&corners.top_left, &corners.top_right, &corners.bottom_right,
                                            &corners.bottom_left};
    if (InCompWindow(extra)) {
        for (PF_FixedPoint* point : mapping_order) LayerToComp(in_data, extra, point);
    }
    for (PF_FixedPoint* point : mapping_order) SourceToFrame(extra, point);
    return corners;
}

}  // namespace qxv
