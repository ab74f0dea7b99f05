// Image files other than Netpbm, through OpenImageIO where the build has it: qxv's
// OpenImageIOLoader.cpp opens libqxv_openimageio.so (OpenImageIOFiles.cpp) on first use and
// calls into it; builds without it (Windows) answer every call with an error that names what
// they read instead (OpenImageIOMissing.cpp). ImageFiles.h describes the mapping.
#pragma once

#include <memory>
#include <string>

#include "ImageFiles.h"

namespace qxv::cli {

bool ProbeWithOpenImageIO(const std::string& path, ImageProbe& probe, std::string& error);
std::unique_ptr<hostsim::World> ReadWithOpenImageIO(const std::string& path, hostsim::WorldFormat format,
                                                    std::string& error);
bool WriteWithOpenImageIO(const hostsim::World& world, const std::string& path, const std::string& format_name,
                          std::string& error);

}  // namespace qxv::cli
