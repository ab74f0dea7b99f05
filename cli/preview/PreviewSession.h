// The host side of qxv preview, without the window: the overlay workspace (plug-in, layer,
// window view, event session), the frame last rendered and the downsampled layer a drag
// renders from. Mouse input becomes the host's click and drag events, keys become parameter
// changes, and after each change the frame is rendered again: downsampled while a handle is
// held, as a host keeps a drag fluid, and at full resolution when it is let go.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/overlay/OverlayWorkspace.h"

namespace qxv::cli {

struct PreviewSession {
    OverlayOptions options;  // as given, the host switched with the workspace's
    OverlayWorkspace workspace;
    std::unique_ptr<hostsim::World> frame;  // the last render
    int frame_downsample = 1;               // 1: `frame` is the full-resolution layer
    int drag_downsample = 2;                // while a handle is held; 1 renders every drag at full size
    std::unique_ptr<hostsim::World> small_layer;  // the layer box-filtered by drag_downsample
    std::vector<PF_Point> drawn_handles;          // from the last draw event, for the cursor
    bool holding = false;                         // a handle is held
    double render_ms = 0;                         // the last render
};

// Opens the workspace as the overlay commands do; false with a one-line `error`.
bool OpenPreview(const OverlayOptions& options, PreviewSession& preview, std::string& error);

// Renders the layer, downsampled by `downsample` (1: full resolution), into `preview.frame`.
bool RenderPreview(PreviewSession& preview, int downsample, std::string& error);

// A draw event; its strokes stay in the workspace's Drawbot recorder.
bool DrawPreviewOverlay(PreviewSession& preview, std::string& error);

// A left button press at a window point: a click event. `holding` tells whether it took a handle.
bool PressMouse(PreviewSession& preview, PF_Point at, std::string& error);
// A move with a handle held (a drag event), `release` on the button's release (last_time).
// `changed` tells whether a parameter value changed, so that the frame must be rendered again.
bool DragMouse(PreviewSession& preview, PF_Point at, bool release, bool& changed, std::string& error);

// The handle drawn nearest `at` within the hit test's reach, or 0.
int HandleNear(const PreviewSession& preview, PF_Point at);

// A new window view (zoom, scroll, window type, layer offset); not while a handle is held.
void SetPreviewView(PreviewSession& preview, const hostsim::OverlayView& view);

// The same parameters and view in the other host: After Effects <-> Premiere Pro.
bool SwitchPreviewHost(PreviewSession& preview, std::string& error);

// Next (`step` 1) or previous (-1) choice of the popup at `index`, or the other state of a
// checkbox. False when it is neither.
bool StepParam(PreviewSession& preview, int index, int step, std::string& error);

// "After Effects, layer window 50 % | Vignette Type 1 (Ellipse), ..." with every parameter.
std::string PreviewStatus(const PreviewSession& preview);

// The parameter values, raw as the host stores them: {"params": {...}}.
std::string PreviewParamsJson(const PreviewSession& preview);

// The qxv render command line that renders the current values to `output`. Values --set
// would refuse (a drag knows no limits) are named in `notes`.
std::string RenderCommandLine(const PreviewSession& preview, const std::string& output,
                              std::vector<std::string>& notes);

}  // namespace qxv::cli
