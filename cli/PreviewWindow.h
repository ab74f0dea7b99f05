// The window of qxv preview (SDL2): shows the frame and the overlay of a PreviewSession and
// turns the mouse and the keys into the host's events and parameter changes until the window
// is closed. Built only when SDL2 was found (QXV_HAVE_SDL2).
#pragma once

#include <string>

#include "PreviewSession.h"

namespace qxv::cli {

struct PreviewWindowOptions {
    bool fit_zoom = true;      // no --zoom given: the largest zoom step that fits the screen
    bool measure = false;      // one line per drag event with its latency, a summary at the end
    bool print_json = false;   // the parameter values as JSON when the window closes
    std::string save_dir = ".";  // where S writes its PNG files
};

// The exit code of qxv preview.
int RunPreviewWindow(PreviewSession& preview, const PreviewWindowOptions& options);

}  // namespace qxv::cli
