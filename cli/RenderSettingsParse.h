// The viewing settings of `qxv render` and `qxv bench` from their option text.
#pragma once

#include <string>

#include "Options.h"
#include "hostsim/RenderFrame.h"

namespace qxv::cli {

// --downsample N/D[,N/D], --pixel-aspect N/D, --quality high|low into `settings`, --threads N
// into `threads` (0 when not given: all cores).
bool ParseRenderSettings(const ParsedArgs& args, hostsim::RenderSettings& settings, unsigned& threads,
                         std::string& error);

// "1/2" -> {1, 2}; both at least 1.
bool ParseRational(const std::string& text, PF_RationalScale& value);

}  // namespace qxv::cli
