// The values of qxv's options from their text: hosts, frame sizes, zooms, points, ratios and
// counts, and the viewing settings of a render. Each says what it refuses in one line that
// names the option, as the user typed it.
#pragma once

#include <string>

#include "AE_Effect.h"
#include "hostsim/instruments/Host.h"
#include "hostsim/instruments/OverlayEvents.h"
#include "Options.h"

namespace qxv::cli {

// "ae" or "premiere".
bool ParseHostApp(const std::string& text, hostsim::HostApp& app, std::string& error);

// "8", "16" or "float".
bool ParseFrameDepth(const std::string& text, hostsim::FrameDepth& depth, std::string& error);
const char* FrameDepthName(hostsim::FrameDepth depth);

// "1920x1080": both from 1 to 65536. No message: the options word it differently.
bool ParseFrameSize(const std::string& text, PF_Point& size);

// "0.5", "2", "1/3", "33.3": a positive number from 1/64 to 64, kept as a fraction.
bool ParseZoom(const std::string& text, hostsim::Zoom& zoom, std::string& error);

// "x,y" in whole pixels from -32767 to 32767.
bool ParsePoint(const std::string& option, const std::string& text, PF_Point& point, std::string& error);

// "1/2" -> {1, 2}; both from 1 to 1000000.
bool ParseRational(const std::string& text, PF_RationalScale& value);

// A thread count from 1 to 256 ("4"). No message: the commands word it differently.
bool ParseThreadCount(const std::string& text, unsigned& threads);

// Digits only, from `low` to `high`.
bool ParseWholeNumber(const std::string& option, const std::string& text, int low, int high, int& value,
                      std::string& error);

// --downsample N/D[,N/D], --pixel-aspect N/D and --quality high|low, where the command declares them.
bool ReadRenderSettings(const CommandLine& command_line, hostsim::RenderSettings& settings, std::string& error);

}  // namespace qxv::cli
