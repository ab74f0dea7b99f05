// The window of qxv preview (SDL2): shows the frame and the overlay of a PreviewSession and
// turns the mouse and the keys into the host's events and parameter changes until the window
// is closed; and the keys it steps parameters with. The window is built only when SDL2 was
// found (QXV_HAVE_SDL2), the keys always (ParamKeys.cpp).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "hostsim/Params.h"
#include "cli/preview/PreviewSession.h"

namespace qxv::cli {

struct PreviewWindowOptions {
    bool fit_zoom = true;      // no --zoom given: the largest zoom step that fits the screen
    bool measure = false;      // one line per drag event with its latency, a summary at the end
    bool print_json = false;   // the parameter values as JSON when the window closes
    std::string save_dir = ".";  // where S writes its PNG files
};

// The exit code of qxv preview.
int RunPreviewWindow(PreviewSession& preview, const PreviewWindowOptions& options);

// The keys qxv preview steps parameters with, learnt from the registrations as everything
// else about the effect: every popup and checkbox the plug-in registered gets the first
// letter of its name that no window key and no earlier parameter has taken ("Invert" I,
// "Mask Only" M; a parameter whose letters are all taken gets none).
struct ParamKey {
    char key;   // a lower-case letter
    int index;  // the parameter's index
};

// In index order; `taken` holds the window's own letter keys.
std::vector<ParamKey> AssignParamKeys(const hostsim::ParamStore& store, std::string_view taken);

// "V Vignette Type, I Invert, ..." with the names the effect controls show now.
std::string ParamKeysText(const std::vector<ParamKey>& keys, const hostsim::ParamStore& store);

}  // namespace qxv::cli
