// The host library's host, ready (global and parameter set-up done), with one overlay window
// open on a 480 x 270 layer, the effect's parameters set from text as a user would set them.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "../LoadedPlugin.h"
#include "hostsim/instruments/OverlayEvents.h"

namespace qxv::host_tests {

using Settings = std::vector<std::pair<std::string, std::string>>;

constexpr PF_Point kLayerSize{480, 270};

struct OpenedOverlay {
    std::unique_ptr<hostsim::Host> host;
    std::unique_ptr<hostsim::EventSession> session;

    double Value(const std::string& name) const;  // effect-control units: pixels, percent, degrees
    A_long Raw(const std::string& name) const;    // the 16.16 value of an angle or fixed slider
};

// Point of origin at the layer's centre (240, 135); the other parameters at their defaults
// (Ellipse, 300 x 200, Angle 0, Feather 100, Opacity 25) unless `settings` says otherwise. The
// session gives every event the layer's pixel aspect ratio.
OpenedOverlay OpenOverlay(hostsim::HostApp app, const hostsim::OverlayView& view = {}, const Settings& settings = {},
                        PF_RationalScale pixel_aspect_ratio = {1, 1});

hostsim::OverlayView View(PF_WindowType window, hostsim::Zoom zoom = {}, PF_Point scroll = {0, 0},
                          PF_Point layer_offset = {0, 0});

}  // namespace qxv::host_tests
