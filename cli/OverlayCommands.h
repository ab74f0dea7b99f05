// The overlay commands of qxv: what the plug-in draws over a window, where its handles are,
// and what a drag of one does. They share one way of setting up the layer and the window.
#pragma once

#include <string>
#include <vector>

namespace qxv::cli {

int RunOverlay(const std::vector<std::string>& args);
int RunHandles(const std::vector<std::string>& args);
int RunDrag(const std::vector<std::string>& args);

}  // namespace qxv::cli
