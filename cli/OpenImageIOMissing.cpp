// The Windows qxv: no OpenImageIO for mingw, so only Netpbm files (NetpbmFiles.h).
#include "OpenImageIO.h"

namespace qxv::cli {

namespace {

std::string Unsupported(const std::string& path) {
    return "cannot use " + path + ": this qxv reads and writes Netpbm files only (.pam, .ppm; .pgm and .pnm in)" +
           " - convert with ffmpeg -i in.png -c:v pam -f image2 in.pam";
}

}  // namespace

bool ProbeWithOpenImageIO(const std::string& path, ImageProbe&, std::string& error) {
    error = Unsupported(path);
    return false;
}

std::unique_ptr<hostsim::World> ReadWithOpenImageIO(const std::string& path, hostsim::WorldFormat, std::string& error) {
    error = Unsupported(path);
    return nullptr;
}

bool WriteWithOpenImageIO(const hostsim::World&, const std::string&, const std::string& format_name,
                          std::string& error) {
    error = Unsupported(format_name);
    return false;
}

}  // namespace qxv::cli
