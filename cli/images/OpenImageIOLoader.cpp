// The Linux qxv: image files other than Netpbm go to libqxv_openimageio.so, opened on the
// first such file and kept for the rest of the run (OpenImageIO.h says why).
#include <dlfcn.h>

#include "cli/images/OpenImageIO.h"
#include "cli/Session.h"

namespace qxv::cli {

namespace {

struct LoadedModule {
    const OpenImageIOFunctions* functions = nullptr;
    std::string error;  // why there are no functions
};

LoadedModule Load() {
    LoadedModule loaded;
    const std::string path = BesideQxv(kOpenImageIOModule);
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        // dlerror names the library that is missing: the module or OpenImageIO itself.
        loaded.error = std::string("OpenImageIO cannot be loaded (") + dlerror() +
                       ") - install it with scripts/deps.sh, or use Netpbm files (.pam, .ppm)";
        return loaded;
    }
    auto entry = reinterpret_cast<OpenImageIOFunctionsEntry>(dlsym(handle, kOpenImageIOFunctionsSymbol));
    if (!entry) {
        loaded.error = path + " is not qxv's OpenImageIO module (no " + kOpenImageIOFunctionsSymbol + ")";
        return loaded;
    }
    loaded.functions = entry();
    return loaded;
}

// Opened once, on first use, from whichever thread gets here first.
const OpenImageIOFunctions* Functions(const std::string& path, std::string& error) {
    static const LoadedModule loaded = Load();
    if (!loaded.functions) error = "cannot use " + path + ": " + loaded.error;
    return loaded.functions;
}

}  // namespace

bool ProbeWithOpenImageIO(const std::string& path, ImageProbe& probe, std::string& error) {
    const OpenImageIOFunctions* functions = Functions(path, error);
    return functions && functions->probe(path, probe, error);
}

std::unique_ptr<hostsim::World> ReadWithOpenImageIO(const std::string& path, hostsim::WorldFormat format,
                                                    std::string& error) {
    const OpenImageIOFunctions* functions = Functions(path, error);
    return functions ? functions->read(path, format, error) : nullptr;
}

bool WriteWithOpenImageIO(const hostsim::World& world, const std::string& path, const std::string& format_name,
                          std::string& error) {
    const OpenImageIOFunctions* functions = Functions(format_name, error);
    return functions && functions->write(world, path, format_name, error);
}

}  // namespace qxv::cli
