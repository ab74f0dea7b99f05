// Image files other than Netpbm, through OpenImageIO where the build has it. They live in a
// library of their own, libqxv_openimageio.so beside qxv (OpenImageIOFiles.cpp), which
// OpenImageIOLoader.cpp opens the first time a file needs it: OpenImageIO and the few hundred
// shared libraries it pulls in then cost nothing to the commands that read no image file
// (qxv info, raw streams, --size). The Windows build reads these files through the Windows
// Imaging Component instead (WicFiles.h). ImageFiles.h describes the mapping.
#pragma once

#include <memory>
#include <string>

#include "cli/images/ImageFiles.h"

namespace qxv::cli {

bool ProbeWithOpenImageIO(const std::string& path, ImageProbe& probe, std::string& error);
std::unique_ptr<hostsim::World> ReadWithOpenImageIO(const std::string& path, hostsim::WorldFormat format,
                                                    std::string& error);
bool WriteWithOpenImageIO(const hostsim::World& world, const std::string& path, const std::string& format_name,
                          std::string& error);

// The table libqxv_openimageio.so hands qxv.
struct OpenImageIOFunctions {
    bool (*probe)(const std::string& path, ImageProbe& probe, std::string& error);
    std::unique_ptr<hostsim::World> (*read)(const std::string& path, hostsim::WorldFormat format, std::string& error);
    bool (*write)(const hostsim::World& world, const std::string& path, const std::string& format_name,
                  std::string& error);
};

inline constexpr char kOpenImageIOModule[] = "libqxv_openimageio.so";
inline constexpr char kOpenImageIOFunctionsSymbol[] = "QxvOpenImageIOFunctions";
using OpenImageIOFunctionsEntry = const OpenImageIOFunctions* (*)();

}  // namespace qxv::cli
