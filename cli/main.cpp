// qxv: drives the QX Vignette plug-in through a simulated After Effects or Premiere Pro host.
// Each command is one line in kCommands; its function lives in its own commands/*Command.cpp.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Commands.h"

namespace qxv::cli {

namespace {

struct CommandEntry {
    const char* name;
    const char* summary;
    int (*run)(const std::vector<std::string>& args);
};

const CommandEntry kCommands[] = {
    {"info", "show what a host learns at start-up: About, version, flags, PiPL, parameters", RunInfo},
    {"params-ui", "send the parameter-UI update with the supervised checkbox on or off", RunParamsUI},
    {"render", "render images, image sequences or raw video streams through the effect", RunRender},
    {"bench", "time the render per pixel format and thread count against the host's copy", RunBench},
    {"overlay", "draw the overlay over the rendered frame in a composition or layer window", RunOverlay},
    {"handles", "where the overlay's ten handles are, as the plug-in's hit test finds them", RunHandles},
    {"drag", "click and drag an overlay handle; the parameter values after each event", RunDrag},
    {"preview", "a live window: the rendered frame and its overlay, handles dragged with the mouse", RunPreview},
};

void PrintUsage(std::ostream& out) {
    out << "usage: qxv COMMAND [options]\n\ncommands:\n";
    for (const auto& command : kCommands) {
        std::string name = command.name;
        name.resize(12, ' ');
        out << "  " << name << command.summary << "\n";
    }
    out << "\nqxv COMMAND --help shows the options of a command.\n";
}

}  // namespace

int Fail(const std::string& command, const std::string& message, int exit_code) {
    std::cerr << "qxv " << command << ": " << message << "\n";
    return exit_code;
}

int Main(const std::vector<std::string>& args) {
    if (args.empty()) {
        std::cerr << "qxv: no command given (see qxv --help)\n";
        return kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintUsage(std::cout);
        return kExitOk;
    }
    for (const auto& command : kCommands) {
        if (args[0] == command.name) return command.run(std::vector<std::string>(args.begin() + 1, args.end()));
    }
    std::cerr << "qxv: unknown command \"" << args[0] << "\" (see qxv --help)\n";
    return kExitUsage;
}

}  // namespace qxv::cli

int main(int argc, char** argv) {
    try {
        return qxv::cli::Main(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::cerr << "qxv: " << e.what() << "\n";
    } catch (...) {
        std::cerr << "qxv: unexpected failure\n";
    }
    return qxv::cli::kExitFailure;
}
