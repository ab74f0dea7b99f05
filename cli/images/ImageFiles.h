// Image files, the format chosen by the file's extension, read into and written from host
// worlds: Netpbm (.pam, .ppm; .pgm and .pnm in) by qxv's own NetpbmFiles in every build, the
// rest through OpenImageIO on Linux (PNG, TIFF, OpenEXR, JPEG, ...) and through the Windows
// Imaging Component in the Windows build (PNG and TIFF: WicFiles.h).
//
// Channels: RGB with alpha where the file has it; a file without alpha gets opaque alpha;
// a one-channel file is grey. Alpha stays as stored (PNG and TIFF are read and written
// unassociated, never premultiplied on the way).
// Values: 8-bit files go to 8-bit worlds byte for byte. 16-bit files hold 0..65535 while the
// host's 16-bit worlds run 0..32768: values are mapped as round(v × 32768 / 65535) on the way
// in and round(v × 65535 / 32768) on the way out, so every world value survives the way out
// and back, while a 16-bit file loses one bit of precision. Float worlds take values as the
// file's reader converts them (8-bit files as v / 255).
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <memory>
#include <string>

#include "hostsim/World.h"

namespace qxv::cli {

struct ImageProbe {
    int width = 0;
    int height = 0;
    int channels = 0;
    int bits = 8;         // 8, 16, or 32 for anything wider or floating point
    bool is_float = false;
};

bool ProbeImage(const std::string& path, ImageProbe& probe, std::string& error);

std::unique_ptr<hostsim::World> ReadImage(const std::string& path, hostsim::WorldFormat format, std::string& error);

// Writes the world to `path` (the format chosen by `format_name`'s extension, so that a
// temporary file can stand in for the final one).
bool WriteImage(const hostsim::World& world, const std::string& path, const std::string& format_name,
                std::string& error);

// The extension that chooses a file's format, with its dot and in lower case (".png"); empty
// where the file name has none.
inline std::string LowerExtension(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

// The 16-bit mappings between files (0..65535) and host worlds (0..32768).
inline std::uint16_t FileToWorld16(std::uint16_t v) {
    return static_cast<std::uint16_t>((static_cast<std::uint32_t>(v) * 32768u + 32767u) / 65535u);
}
inline std::uint16_t WorldToFile16(std::uint16_t v) {
    if (v > 32768) v = 32768;
    return static_cast<std::uint16_t>((static_cast<std::uint32_t>(v) * 65535u + 16384u) / 32768u);
}

}  // namespace qxv::cli
