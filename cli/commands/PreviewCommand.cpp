// qxv preview: the frame rendered by the plug-in and its overlay in a window, the mouse and
// keys delivered to the plug-in as a host delivers them.

#include <iostream>

#include "cli/Commands.h"
#include "cli/OptionValues.h"
#include "cli/overlay/OverlayWorkspace.h"
#include "cli/preview/PreviewWindow.h"

namespace qxv::cli {

namespace {

const char kCommand[] = "preview";
const char kDescription[] =
    "Opens a window that plays the host: the frame rendered by the plug-in, the overlay drawn\n"
    "by its Drawbot calls, mouse clicks and drags sent to it as PF_Event_DO_CLICK and\n"
    "PF_Event_DRAG in window pixels. After every event that changes a parameter the frame is\n"
    "rendered again, at 1/--drag-downsample while a handle is held and at full resolution on\n"
    "release. The window title shows the host, the view and every parameter's value.\n"
    "\n"
    "Mouse: drag a handle with the left button; drag with the right or middle button to pan;\n"
    "the wheel zooms at the pointer.\n"
    "Keys:  + - zoom in/out, 0 fit, 1 100 %; arrows pan; shift+arrows move the layer in the\n"
    "       composition; C composition/layer window; H After Effects/Premiere Pro;\n"
    "       S save the frame as PNG and print the qxv render command line that makes it;\n"
    "       P print the parameter values as JSON; Q or Esc close.\n"
    "       Every popup and checkbox the plug-in registered steps on the first letter of its\n"
    "       name that no other key has taken (shift steps a popup back); the window lists\n"
    "       them when it opens.";

struct PreviewOptions {
    OverlayOptions overlay;
    int threads = 0;  // of the host's iterations; 0: one per core
    int drag_downsample = 2;
    PreviewWindowOptions window;
};

}  // namespace

int RunPreview(const std::vector<std::string>& args) {
    PreviewOptions options;
    CommandLine command_line(kCommand, "[INPUT]", kDescription);
    AddOverlayOptions(command_line, options.overlay)
        .Option("threads", "N", "threads of the host's iterations (default: all cores)", options.threads,
                WholeNumberOf("threads", 1, 256))
        .Option("drag-downsample", "N", "render at 1/N while a handle is held (default 2; 1: always full size)",
                options.drag_downsample, WholeNumberOf("drag-downsample", 1, 16))
        .Option("save-dir", "DIR", "where S saves frames (default: the current directory)", options.window.save_dir)
        .Flag("measure", "print each drag event's time to the redrawn window, and a summary at the end",
              options.window.measure);
    if (const auto done = ParseLayerCommandLine(command_line, args, options.overlay)) return *done;
    options.overlay.session.threads = static_cast<unsigned>(options.threads);
    options.window.fit_zoom = !options.overlay.zoom_given;
    options.window.print_json = options.overlay.json;
    std::string error;
#ifndef QXV_HAVE_SDL2
    return Fail(kCommand,
                "this qxv was built without SDL2, so it cannot open a window: install libsdl2-dev "
                "(scripts/deps.sh does) and build again",
                kExitFailure);
#else
    PreviewSession preview;
    if (!OpenPreview(options.overlay, preview, error)) return Fail(kCommand, error, kExitFailure);
    preview.drag_downsample = options.drag_downsample;
    return RunPreviewWindow(preview, options.window);
#endif
}

}  // namespace qxv::cli
