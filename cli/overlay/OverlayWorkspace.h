// What every overlay command sets up before sending events: the plug-in in its host (as for
// qxv render), the layer (an INPUT image or a blank --size layer), the window it is shown in
// (--window, --zoom, --layer-offset, --scroll) and the event session on that window. The
// Point of origin starts at the layer's centre, as a host places a point parameter whose
// default is given in percent of the layer, unless --set gives it.
// The options are bound to OverlayOptions and read once (usage errors), then the workspace is
// opened from them (failures of the plug-in or of the files).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hostsim/instruments/Drawbot.h"
#include "hostsim/instruments/Host.h"
#include "cli/Options.h"
#include "hostsim/instruments/OverlayEvents.h"
#include "cli/Session.h"
#include "hostsim/World.h"

namespace qxv::cli {

// The options every overlay command shares, as values.
struct OverlayOptions {
    SessionOptions session;
    hostsim::RenderSettings settings;  // --pixel-aspect and --quality
    hostsim::OverlayView view;
    bool zoom_given = false;             // --zoom; without it the preview fits the window
    bool layer_offset_given = false;     // --layer-offset, which needs --window comp
    std::string input;                   // the INPUT image; empty for a --size layer
    std::optional<PF_Point> size;        // --size
    bool trace = false;
    bool json = false;
};

struct OverlayWorkspace {
    Session session;
    hostsim::RenderSettings settings;
    std::unique_ptr<hostsim::World> layer;  // the input frame, 8-bit in the host's layout
    hostsim::OverlayView view;
    std::unique_ptr<hostsim::EventSession> events;

    hostsim::Host& host() { return *session.instruments; }
};

// Declares the options of every overlay command, bound to `options`; the command's own follow.
CommandLine& AddOverlayOptions(CommandLine& command_line, OverlayOptions& options);

// The start of the overlay commands that take one INPUT image or --size: --help, the options
// and the layer argument. Returns the exit code when the command has nothing more to do (usage
// printed, or a usage error reported); nothing when it goes on.
std::optional<int> ParseLayerCommandLine(CommandLine& command_line, const std::vector<std::string>& args,
                                         OverlayOptions& options);

// After Parse: `input` is the INPUT argument, empty with --size. False with a one-line `error`
// when options contradict each other.
bool FinishOverlayOptions(const std::string& input, OverlayOptions& options, std::string& error);

// Loads the plug-in, reads or makes the layer and opens the event session on the window.
bool OpenOverlayWorkspace(const OverlayOptions& options, OverlayWorkspace& workspace, std::string& error);

// A new event session on the workspace's view and layer (after the view changed).
void OpenEvents(OverlayWorkspace& workspace);

// Renders the layer with the current parameter values into a new world of its size.
std::unique_ptr<hostsim::World> RenderLayer(const char* command, OverlayWorkspace& workspace, std::string& error);

// The window as the user sees it: pasteboard, composition (composition window) and the
// frame at its place and zoom, with the strokes of the last draw event over it.
hostsim::RgbaPicture WindowPicture(OverlayWorkspace& workspace, const hostsim::World& frame);

// Sends a draw event and writes the window picture to `path` (no file on failure).
bool WriteOverlayPicture(OverlayWorkspace& workspace, const hostsim::World& frame, const std::string& path,
                         std::string& error);

// Writes a picture or a world through a temporary file, so nothing partial is left behind.
bool WritePicture(const hostsim::RgbaPicture& picture, const std::string& path, std::string& error);

bool WriteFrame(const hostsim::World& frame, const std::string& path, std::string& error);

// Host findings of the last command as warnings on stderr.
void WarnViolations(const std::string& command, hostsim::Host& host);

}  // namespace qxv::cli
