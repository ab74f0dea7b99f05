// qxv's image files through OpenImageIO live in a library of their own,
// libqxv_openimageio.so beside qxv, opened the first time a file needs it: OpenImageIO and
// the few hundred shared libraries it pulls in then cost nothing to the commands that read
// no image file (qxv info, raw streams, --size). The library hands qxv one table.
#pragma once

#include <memory>
#include <string>

#include "ImageFiles.h"

namespace qxv::cli {

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
