// PF_EventCallbacks of one overlay window: layer_to_comp, comp_to_layer, source_to_frame and
// frame_to_source map through the window's view and count their calls. Each can be made to
// fail by name; a failed call leaves the point as it was, as a host does.
#pragma once

#include "AE_EffectUI.h"
#include "hostsim/OverlayWindow.h"

namespace qxv::hostsim {

// The table's refcon is `window`, which must outlive every event sent with it.
PF_EventCallbacks MakeEventCallbacks(OverlayWindow& window);

}  // namespace qxv::hostsim
