// One function per qxv command; each takes the arguments after the command name and
// returns the process exit code (0 success, 1 the plug-in or a file failed, 2 bad usage).
#pragma once

#include <string>
#include <vector>

namespace qxv::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int RunInfo(const std::vector<std::string>& args);
int RunParamsUI(const std::vector<std::string>& args);

// The overlay commands: what the plug-in draws over a window, where its handles are, and what
// a drag of one does. They share one way of setting up the layer and the window.
int RunOverlay(const std::vector<std::string>& args);
int RunHandles(const std::vector<std::string>& args);
int RunDrag(const std::vector<std::string>& args);

// A live window that plays the host for the effect.
int RunPreview(const std::vector<std::string>& args);

// The commands that render frames: `render` (images, sequences and raw streams) and `bench`
// (timings on the simulated host).
int RunRender(const std::vector<std::string>& args);
int RunBench(const std::vector<std::string>& args);

// One line on stderr: "qxv COMMAND: message".
int Fail(const std::string& command, const std::string& message, int exit_code);

}  // namespace qxv::cli
