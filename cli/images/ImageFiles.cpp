// Alone so that NetpbmFiles.cpp links into the tests without the other readers: the choice of
// reader by name, Netpbm files through qxv's own, every other format through OpenImageIO on
// Linux and the Windows Imaging Component on Windows.
#include "cli/images/ImageFiles.h"

#include "cli/images/NetpbmFiles.h"
#if defined(_WIN32)
#include "cli/images/WicFiles.h"
#else
#include "cli/images/OpenImageIO.h"
#endif

namespace qxv::cli {

#if defined(_WIN32)
constexpr auto ProbeOther = ProbeWithWic;
constexpr auto ReadOther = ReadWithWic;
constexpr auto WriteOther = WriteWithWic;
#else
constexpr auto ProbeOther = ProbeWithOpenImageIO;
constexpr auto ReadOther = ReadWithOpenImageIO;
constexpr auto WriteOther = WriteWithOpenImageIO;
#endif

bool ProbeImage(const std::string& path, ImageProbe& probe, std::string& error) {
    return IsNetpbmPath(path) ? ProbeNetpbm(path, probe, error) : ProbeOther(path, probe, error);
}

std::unique_ptr<hostsim::World> ReadImage(const std::string& path, hostsim::WorldFormat format, std::string& error) {
    return IsNetpbmPath(path) ? ReadNetpbm(path, format, error) : ReadOther(path, format, error);
}

bool WriteImage(const hostsim::World& world, const std::string& path, const std::string& format_name,
                std::string& error) {
    return IsNetpbmPath(format_name) ? WriteNetpbm(world, path, format_name, error)
                                     : WriteOther(world, path, format_name, error);
}

}  // namespace qxv::cli
