// qxv preview: the frame rendered by the plug-in and its overlay in a window, the mouse and
// keys delivered to the plug-in as a host delivers them.
#include "PreviewCommand.h"

#include <iostream>

#include "Commands.h"
#include "OverlayWorkspace.h"
#include "PreviewWindow.h"

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

bool ParseWholeNumber(const std::string& option, const std::string& text, int low, int high, int& value,
                      std::string& error) {
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos ||
        (value = std::stoi(text)) < low || value > high) {
        error = "--" + option + " must be a whole number from " + std::to_string(low) + " to " +
                std::to_string(high) + ", not \"" + text + "\"";
        return false;
    }
    return true;
}

}  // namespace

int RunPreview(const std::vector<std::string>& args) {
    CommandLine command_line(kCommand,
                             "qxv preview " + OverlayOptionsSynopsis() +
                                 " [--threads N] [--drag-downsample N] [--save-dir DIR] [--measure] [--json]",
                             kDescription);
    AddOverlayOptions(command_line)
        .Option("threads", "N", "threads of the host's iterations (default: all cores)")
        .Option("drag-downsample", "N", "render at 1/N while a handle is held (default 2; 1: always full size)")
        .Option("save-dir", "DIR", "where S saves frames (default: the current directory)")
        .Flag("measure", "print each drag event's time to the redrawn window, and a summary at the end");
    ParsedArgs parsed;
    if (const auto done = ParseLayerCommandLine(command_line, args, parsed)) return *done;
    const auto& positional = parsed.positional();
    std::string error;
    int threads = 0, drag_downsample = 2;
    if (parsed.Has("threads") && !ParseWholeNumber("threads", parsed.Get("threads"), 1, 256, threads, error)) {
        return Fail(kCommand, error, kExitUsage);
    }
    if (parsed.Has("drag-downsample") &&
        !ParseWholeNumber("drag-downsample", parsed.Get("drag-downsample"), 1, 16, drag_downsample, error)) {
        return Fail(kCommand, error, kExitUsage);
    }
#ifndef QXV_HAVE_SDL2
    return Fail(kCommand,
                "this qxv was built without SDL2, so it cannot open a window: install libsdl2-dev "
                "(scripts/deps.sh does) and build again",
                kExitFailure);
#else
    PreviewSession preview;
    bool usage_error = false;
    if (!OpenPreview(parsed, positional.empty() ? "" : positional[0], preview, error, usage_error)) {
        return Fail(kCommand, error, usage_error ? kExitUsage : kExitFailure);
    }
    preview.drag_downsample = drag_downsample;
    PreviewWindowOptions options;
    options.fit_zoom = !parsed.Has("zoom");
    options.measure = parsed.Has("measure");
    options.print_json = parsed.Has("json");
    options.save_dir = parsed.Get("save-dir", ".");
    return RunPreviewWindow(preview, options);
#endif
}

}  // namespace qxv::cli
