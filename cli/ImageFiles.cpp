// Alone so that NetpbmFiles.cpp links into the tests without the OpenImageIO loader: the
// choice of reader by name, Netpbm files through qxv's own, every other format through OpenImageIO.
#include "ImageFiles.h"

#include "NetpbmFiles.h"
#include "OpenImageIO.h"

namespace qxv::cli {

bool ProbeImage(const std::string& path, ImageProbe& probe, std::string& error) {
    return IsNetpbmPath(path) ? ProbeNetpbm(path, probe, error) : ProbeWithOpenImageIO(path, probe, error);
}

std::unique_ptr<hostsim::World> ReadImage(const std::string& path, hostsim::WorldFormat format, std::string& error) {
    return IsNetpbmPath(path) ? ReadNetpbm(path, format, error) : ReadWithOpenImageIO(path, format, error);
}

bool WriteImage(const hostsim::World& world, const std::string& path, const std::string& format_name,
                std::string& error) {
    return IsNetpbmPath(format_name) ? WriteNetpbm(world, path, format_name, error)
                                     : WriteWithOpenImageIO(world, path, format_name, error);
}

}  // namespace qxv::cli
