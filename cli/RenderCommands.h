// The qxv commands that render frames: `render` (images, sequences and raw streams) and
// `bench` (timings on the simulated host). Same shape as the commands of Commands.h.
#pragma once

#include <string>
#include <vector>

namespace qxv::cli {

int RunRender(const std::vector<std::string>& args);
int RunBench(const std::vector<std::string>& args);

}  // namespace qxv::cli
